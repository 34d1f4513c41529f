#include "app/edit_cookie_dlg.h"

#include "app/dialog_layout.h"
#include "platform/control_ids.h"
#include "platform/core/datetime.h"

namespace morvane {

TEditcookieDlg::TEditcookieDlg(TComponent* AOwner) : TForm(AOwner) {
  SetName("EditcookieDlg");
  BuildLayout();
  FormCreate(this);
}

void TEditcookieDlg::BuildLayout() {
  SetupDialogForm(this, "", 463, 202);
  TDialogBuilder b(this, ids::kEditcookieDlg);
  b.Label("Label1", "Cookie Name:", 12, 14);
  edtCookieName = b.Add<TMaskEdit>("edtCookieName", 170, 10, 280, 21);
  edtCookieName->SetMaxLength(15);
  b.Label("Label2", "Cookie Value:", 12, 42);
  edtCookieValue = b.Add<TMaskEdit>("edtCookieValue", 170, 38, 280, 21);
  Label3 = b.Label("Label3", "Expiration Date and Time:", 12, 70);
  dtExpirationDate = b.Add<TDateTimePicker>("dtExpirationDate", 170, 66, 120, 21);
  dtExpirationDate->SetKind(TDateTimeKind::dtkDate);
  dtExpirationDate->SetDateFormat(TDTDateFormat::dfShort);
  dtExpirationTime = b.Add<TDateTimePicker>("dtExpirationTime", 300, 66, 110, 21);
  dtExpirationTime->SetKind(TDateTimeKind::dtkTime);
  ChkSecure = b.Check("ChkSecure", "Secure", 170, 96, 100);
  chkHttpOnly = b.Check("chkHttpOnly", "HttpOnly", 280, 96, 100);
  lblinfo1 = b.Label("lblinfo1", "", 12, 124);
  lblInfo2 = b.Label("lblInfo2", "", 12, 142);
  BtnSave = b.Button("BtnSave", "&Save", mrOk, 290, 168);
  BtnSave->SetDefault(true);
  Button1 = b.Button("Button1", "&Cancel", mrCancel, 375, 168);
  Button1->SetCancel(true);
}

void TEditcookieDlg::FormCreate(TObject*) {
  edtCookieName->SetText("");
  edtCookieValue->SetText("");
  ChkSecure->SetChecked(true);
  const TDateTime tomorrow = Now() + 1;
  dtExpirationDate->SetDateTime(tomorrow);
  dtExpirationTime->SetDateTime(tomorrow);
}

}  // namespace morvane
