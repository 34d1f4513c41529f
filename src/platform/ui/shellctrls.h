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
  // Adds a place below My Computer; Path is "" for a place with no folder
  // on disk (a printers or control-panel folder).
  void AddPlace(const std::string& Name, const std::string& Path);
  // Removes every place, My Computer itself included.
  void ClearPlaces();

 protected:
  std::string ClassName() const override { return "TShellComboBox"; }

 private:
  std::vector<std::string> paths_;
  int objectTypes_ = 4;
};

}  // namespace morvane
