// A combo box of the places under My Computer (the drives), each with its path.
#pragma once

#include <string>
#include <vector>

#include "platform/ui/stdctrls.h"

namespace morvane {

enum class TRootFolder { rfMyComputer };

class TShellComboBox : public TComboBox {
 public:
  explicit TShellComboBox(TComponent* AOwner);
  TRootFolder Root() const { return TRootFolder::rfMyComputer; }
  int ObjectTypes() const { return objectTypes_; }
  void SetObjectTypes(int v) { objectTypes_ = v; }
  // The path of item Index ("" for My Computer itself).
  std::string Path(int Index) const;
  // The path of the chosen item, or the typed text when none is chosen.
  std::string SelectedPath();
  // Reads the drives again.
  void Refresh();

 protected:
  std::string ClassName() const override { return "TShellComboBox"; }

 private:
  std::vector<std::string> paths_;
  int objectTypes_ = 4;
};

}  // namespace morvane
