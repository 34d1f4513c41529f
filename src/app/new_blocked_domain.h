// Adds a domain to Internet Explorer's per-site privacy list: the domain is
// typed, the setting chosen. A text without any "." is refused on Save and
// the dialog stays open.
#pragma once

#include "platform/ui/forms.h"
#include "platform/ui/stdctrls.h"

namespace morvane {

class TNewBlockedDomain : public TForm {
 public:
  explicit TNewBlockedDomain(TComponent* AOwner);

  TEdit* txtDomainName = nullptr;
  TComboBox* cboBlockedDomainSetting = nullptr;  // "Always Block" (selected), "Always Allow"
  TButton* Button1 = nullptr;                    // "Save"
  TButton* btnCancel = nullptr;

  void FormCloseQuery(TObject* Sender, bool& CanClose);

  // The message shown for a domain without a ".".
  static const char* const kInvalidDomainMessage;

 private:
  void BuildLayout();
};

}  // namespace morvane
