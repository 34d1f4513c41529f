// The editor of one Netscape/Mozilla/Firefox cookie: name, value, expiry,
// secure flag, domain and domain scope. The main window sets the caption,
// fills the controls, shows it and reads them back on OK.
#pragma once

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

 private:
  void BuildLayout();
};

}  // namespace morvane
