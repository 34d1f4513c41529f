// Confirms the deletion of the selected Internet Explorer cookies, with the
// choice to block their domains as well.
#pragma once

#include "platform/ui/extctrls.h"
#include "platform/ui/forms.h"
#include "platform/ui/stdctrls.h"

namespace morvane {

class TDeleteCookieDialog : public TForm {
 public:
  explicit TDeleteCookieDialog(TComponent* AOwner);

  TImage* Image1 = nullptr;
  TLabel* lblDeleteMessage = nullptr;
  TCheckBox* chkDeleteCookie = nullptr;  // checked
  TCheckBox* chkBlockCookie = nullptr;
  TButton* Button1 = nullptr;  // "&OK"
  TButton* Button2 = nullptr;  // "&Cancel"

 private:
  void BuildLayout();
};

}  // namespace morvane
