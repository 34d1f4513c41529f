#include "app/edit_mozilla_cookie_dlg.h"

#include "app/dialog_layout.h"
#include "platform/control_ids.h"
#include "platform/core/sysutils.h"
#include "platform/ui/modal.h"

namespace morvane {

TEditMozillaCookieDlg::TEditMozillaCookieDlg(TComponent* AOwner) : TForm(AOwner) {
  SetName("EditMozillaCookieDlg");
  BuildLayout();
  OnCloseQuery = [this](TObject* Sender, bool& CanClose) { FormCloseQuery(Sender, CanClose); };
}

std::string TEditMozillaCookieDlg::TextProblem(const std::string& Name, const std::string& Value,
                                               const std::string& Domain) {
  // cookies.txt has no escapes: a TAB would shift the fields and a line
  // break end the line, so the reader would cut the cookie short or drop it.
  auto breaks = [](const std::string& s) { return s.find_first_of("\t\r\n") != std::string::npos; };
  if (breaks(Name) || breaks(Value) || breaks(Domain))
    return "The cookie name, value and domain cannot contain tabs or line breaks.";
  if (Trim(Name).empty()) return "The cookie name cannot be empty. Please enter a cookie name.";
  if (Trim(Domain.substr(0, Domain.find('/'))).empty())
    return "The cookie domain cannot be empty. Please enter a domain, for example \".example.com/\".";
  return std::string();
}

void TEditMozillaCookieDlg::FormCloseQuery(TObject*, bool& CanClose) {
  if (ModalResult() != mrOk) return;
  const std::string problem = TextProblem(edtCookieName->Text(), edtCookieValue->Text(), edtDomain->Text());
  if (problem.empty()) return;
  MessageDlg(problem, TMsgDlgType::mtInformation, mbOK);
  CanClose = false;
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
