#include "app/edit_mozilla_cookie_dlg.h"

#include "app/dialog_layout.h"
#include "platform/control_ids.h"

namespace morvane {

TEditMozillaCookieDlg::TEditMozillaCookieDlg(TComponent* AOwner) : TForm(AOwner) {
  SetName("EditMozillaCookieDlg");
  BuildLayout();
}

void TEditMozillaCookieDlg::BuildLayout() {
  SetupDialogForm(this, "", 466, 260);
  TDialogBuilder b(this, ids::kEditMozillaCookieDlg);
  b.Label("Label1", "Cookie Name:", 12, 14);
  edtCookieName = b.Add<TEdit>("edtCookieName", 170, 10, 280, 21);
  b.Label("Label2", "Cookie Value:", 12, 42);
  edtCookieValue = b.Add<TEdit>("edtCookieValue", 170, 38, 280, 21);
  b.Label("Label3", "Expiration Date and Time:", 12, 70);
  dtExpirationDate = b.Add<TDateTimePicker>("dtExpirationDate", 170, 66, 120, 21);
  dtExpirationDate->SetKind(TDateTimeKind::dtkDate);
  dtExpirationDate->SetDateFormat(TDTDateFormat::dfShort);
  dtExpirationTime = b.Add<TDateTimePicker>("dtExpirationTime", 300, 66, 110, 21);
  dtExpirationTime->SetKind(TDateTimeKind::dtkTime);
  ChkSecure = b.Check("ChkSecure", "Secure", 170, 98, 100);
  b.Label("Label4", "Domain:", 12, 134);
  edtDomain = b.Add<TEdit>("edtDomain", 170, 130, 280, 21);
  chkScope = b.Check("chkScope", "Domain scope", 170, 162, 150);
  BtnSave = b.Button("BtnSave", "&Save", mrOk, 290, 222);
  BtnSave->SetDefault(true);
  btnCancel = b.Button("btnCancel", "&Cancel", mrCancel, 375, 222);
  btnCancel->SetCancel(true);
}

}  // namespace morvane
