// The last word before Windows restarts: save your work first.
#pragma once

#include "platform/ui/extctrls.h"
#include "platform/ui/forms.h"
#include "platform/ui/stdctrls.h"

namespace morvane {

class TRebotReminderDlg : public TForm {
 public:
  explicit TRebotReminderDlg(TComponent* AOwner);

  TImage* Image1 = nullptr;
  TLabel* Label1 = nullptr;
  TButton* Button1 = nullptr;  // "Continue rebooot"
  TButton* Button2 = nullptr;  // "Cancel"

 private:
  void BuildLayout();
};

}  // namespace morvane
