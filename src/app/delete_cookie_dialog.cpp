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
  const auto q = b.DeleteCookieQuestion();
  Image1 = q.icon;
  lblDeleteMessage = q.message;
  chkDeleteCookie = q.remove;
  chkBlockCookie = q.block;
  chkBlockCookie->SetHint("All cookies from deleted domains will be blocked by Internet Explorer");
  chkBlockCookie->SetShowHint(true);
  Button1 = b.Button("Button1", "&OK", mrOk, 228, 144);
  Button1->SetDefault(true);
  Button2 = b.Button("Button2", "&Cancel", mrCancel, 313, 144);
  Button2->SetCancel(true);
}

}  // namespace morvane
