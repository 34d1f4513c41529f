// Changes the setting of one domain of Internet Explorer's per-site privacy
// list: the domain is shown, the setting chosen.
#pragma once

#include "platform/ui/forms.h"
#include "platform/ui/stdctrls.h"

namespace morvane {

class TEditBlockedDomainDlg : public TForm {
 public:
  explicit TEditBlockedDomainDlg(TComponent* AOwner);

  TStaticText* lblDomainName = nullptr;
  TComboBox* cboBlockedDomainSetting = nullptr;  // "Always Block", "Always Allow"
  TButton* BtnSave = nullptr;
  TButton* BtnCancel = nullptr;

 private:
  void BuildLayout();
};

}  // namespace morvane
