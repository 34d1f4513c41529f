// The editor of one Netscape/Mozilla/Firefox cookie: name, value, expiry,
// secure flag, domain and domain scope. The main window sets the caption,
// fills the controls, shows it and reads them back on OK. OK is refused,
// with a message, for texts that cookies.txt cannot hold.
#pragma once

#include <string>

#include "platform/ui/comctrls.h"
#include "platform/ui/forms.h"
#include "platform/ui/stdctrls.h"

namespace morvane {

class TEditMozillaCookieDlg : public TForm {
 public:
  explicit TEditMozillaCookieDlg(TComponent* AOwner);

  TEdit* edtCookieName = nullptr;
  TEdit* edtCookieValue = nullptr;
  TDateTimePicker* dtExpirationDate = nullptr;
  TDateTimePicker* dtExpirationTime = nullptr;
  TCheckBox* ChkSecure = nullptr;
  TEdit* edtDomain = nullptr;
  TCheckBox* chkScope = nullptr;
  TButton* BtnSave = nullptr;
  TButton* btnCancel = nullptr;

  void FormCloseQuery(TObject* Sender, bool& CanClose);
  // Why the texts cannot be saved ("" when they can): a TAB, CR or LF in
  // any of them, an empty name, or no host before the domain's first "/".
  static std::string TextProblem(const std::string& Name, const std::string& Value, const std::string& Domain);

 private:
  void BuildLayout();
};

}  // namespace morvane
