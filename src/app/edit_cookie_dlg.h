// The editor of one Internet Explorer cookie: name, value, expiry, the
// secure and HTTP-only flags. The main window sets the caption, fills the
// controls, shows it and reads them back on OK.
#pragma once

#include "platform/ui/comctrls.h"
#include "platform/ui/forms.h"
#include "platform/ui/stdctrls.h"

namespace morvane {

class TEditcookieDlg : public TForm {
 public:
  explicit TEditcookieDlg(TComponent* AOwner);

  TMaskEdit* edtCookieName = nullptr;   // at most 15 characters
  TMaskEdit* edtCookieValue = nullptr;
  TLabel* Label3 = nullptr;  // "Expiration Date and Time:"
  TDateTimePicker* dtExpirationDate = nullptr;
  TDateTimePicker* dtExpirationTime = nullptr;
  TCheckBox* ChkSecure = nullptr;
  TCheckBox* chkHttpOnly = nullptr;
  TLabel* lblinfo1 = nullptr;
  TLabel* lblInfo2 = nullptr;
  TButton* BtnSave = nullptr;
  TButton* Button1 = nullptr;  // "&Cancel"

  // Once, at creation: empty edits, secure checked, expiry a day from now.
  void FormCreate(TObject* Sender);

 private:
  void BuildLayout();
};

}  // namespace morvane
