// Confirms the deletion of the selected Netscape/Mozilla/Firefox cookies,
// with the choice to block cookies, images and pop-up windows of their
// domains as well.
#pragma once

#include "platform/ui/extctrls.h"
#include "platform/ui/forms.h"
#include "platform/ui/stdctrls.h"

namespace morvane {

class TDeleteMozillacookieDialog : public TForm {
 public:
  explicit TDeleteMozillacookieDialog(TComponent* AOwner);

  TImage* Image1 = nullptr;
  TLabel* lblDeleteMessage = nullptr;
  TCheckBox* chkDeleteCookie = nullptr;  // checked
  TCheckBox* chkBlockCookie = nullptr;
  TCheckBox* chkBlockImage = nullptr;
  TCheckBox* chkBlockPopup = nullptr;
  TButton* btnOK = nullptr;
  TButton* btnCancel = nullptr;

 private:
  void BuildLayout();
};

}  // namespace morvane
