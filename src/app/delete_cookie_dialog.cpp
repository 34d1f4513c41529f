#include "app/delete_cookie_dialog.h"

#include "app/dialog_layout.h"
#include "platform/control_ids.h"

namespace morvane {

TDeleteCookieDialog::TDeleteCookieDialog(TComponent* AOwner) : TForm(AOwner) {
  SetName("DeleteCookieDialog");
  BuildLayout();
}

void TDeleteCookieDialog::BuildLayout() {
  SetupDialogForm(this, "", 402, 180);
  TDialogBuilder b(this, ids::kDeleteCookieDialog);
  Image1 = b.SystemIcon("Image1", IDI_WARNING, 14, 14);
  lblDeleteMessage = b.Add<TLabel>("lblDeleteMessage", 60, 14, 330, 40);
  lblDeleteMessage->SetAutoSize(false);
  lblDeleteMessage->SetWordWrap(true);
  b.Label("Label1", "Do you want to continue?", 60, 60);
  chkDeleteCookie = b.Check("chkDeleteCookie", "Delete selected cookie", 60, 84, 320, true);
  chkBlockCookie = b.Check("chkBlockCookie", "Block all future cookies from selected domains", 60, 106, 320);
  chkBlockCookie->SetHint("All cookies from deleted domains will be blocked by Internet Explorer");
  chkBlockCookie->SetShowHint(true);
  Button1 = b.Button("Button1", "&OK", mrOk, 228, 144);
  Button1->SetDefault(true);
  Button2 = b.Button("Button2", "&Cancel", mrCancel, 313, 144);
  Button2->SetCancel(true);
}

}  // namespace morvane
