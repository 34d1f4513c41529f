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
  Image1 = b.SystemIcon("Image1", IDI_WARNING, 14, 14);
  lblDeleteMessage = b.Add<TLabel>("lblDeleteMessage", 60, 14, 330, 40);
  lblDeleteMessage->SetAutoSize(false);
  lblDeleteMessage->SetWordWrap(true);
  b.Label("Label1", "Do you want to continue?", 60, 60);
  chkDeleteCookie = b.Check("chkDeleteCookie", "Delete selected cookie", 60, 84, 320, true);
  chkBlockCookie = b.Check("chkBlockCookie", "Block all future cookies from selected domains", 60, 106, 320);
  chkBlockImage = b.Check("chkBlockImage", "Block Images from selected domaind", 60, 128, 320);
  chkBlockPopup = b.Check("chkBlockPopup", "Block pop-up windows from selected domains", 60, 150, 320);
  btnOK = b.Button("btnOK", "&OK", mrOk, 227, 190);
  btnOK->SetDefault(true);
  btnCancel = b.Button("btnCancel", "&Cancel", mrCancel, 312, 190);
  btnCancel->SetCancel(true);
}

}  // namespace morvane
