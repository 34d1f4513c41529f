#include "app/delete_mozilla_cookie_dialog.h"

#include "app/dialog_layout.h"
#include "platform/control_ids.h"

namespace morvane {

TDeleteMozillacookieDialog::TDeleteMozillacookieDialog(TComponent* AOwner) : TForm(AOwner) {
  SetName("DeleteMozillacookieDialog");
  BuildLayout();
}

void TDeleteMozillacookieDialog::BuildLayout() {
  SetupDialogForm(this, "", 401, 226);
  TDialogBuilder b(this, ids::kDeleteMozillacookieDialog);
  const auto q = b.DeleteCookieQuestion();
  Image1 = q.icon;
  lblDeleteMessage = q.message;
  chkDeleteCookie = q.remove;
  chkBlockCookie = q.block;
  chkBlockImage = b.Check("chkBlockImage", "Block Images from selected domaind", 60, 128, 320);
  chkBlockPopup = b.Check("chkBlockPopup", "Block pop-up windows from selected domains", 60, 150, 320);
  btnOK = b.Button("btnOK", "&OK", mrOk, 227, 190);
  btnOK->SetDefault(true);
  btnCancel = b.Button("btnCancel", "&Cancel", mrCancel, 312, 190);
  btnCancel->SetCancel(true);
}

}  // namespace morvane
