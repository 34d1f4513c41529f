// The update notice: the newest version and its release notes, with the
// choice to download it.
#pragma once

#include "browserdata/net/software_update.h"
#include "platform/ui/forms.h"
#include "platform/ui/stdctrls.h"

namespace morvane {

class TdlgSoftwareUpdates : public TForm {
 public:
  explicit TdlgSoftwareUpdates(TComponent* AOwner);

  TLabel* Label1 = nullptr;
  TLabel* lblCurrentVersion = nullptr;
  TLabel* lblNewestVersion = nullptr;
  TMemo* Memo1 = nullptr;
  TButton* Button1 = nullptr;  // "&Download updates"
  TButton* Button2 = nullptr;  // "&Cancel"

 private:
  void BuildLayout();
};

// Creates the dialog for one notice, shows it modally and frees it; true when
// the user chose "&Download updates".
bool ShowSoftwareUpdateNotice(const TUpdateNotice& Notice);

}  // namespace morvane
