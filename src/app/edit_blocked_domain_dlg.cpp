#include "app/edit_blocked_domain_dlg.h"

#include "app/dialog_layout.h"
#include "platform/control_ids.h"

namespace morvane {

TEditBlockedDomainDlg::TEditBlockedDomainDlg(TComponent* AOwner) : TForm(AOwner) {
  SetName("EditBlockedDomainDlg");
  BuildLayout();
}

void TEditBlockedDomainDlg::BuildLayout() {
  SetupDialogForm(this, "Edit Domain", 372, 124);
  TDialogBuilder b(this, ids::kEditBlockedDomainDlg);
  b.Label("Label1", "Domain Name:", 12, 16);
  lblDomainName = b.Add<TStaticText>("lblDomainName", 100, 13, 260, 19);
  lblDomainName->SetBorderStyle(TStaticBorderStyle::sbsSunken);
  b.Label("Label2", "Setting:", 12, 50);
  cboBlockedDomainSetting = b.List("cboBlockedDomainSetting", {"Always Block", "Always Allow"}, 100, 46, 160);
  BtnSave = b.Button("BtnSave", "&Save", mrOk, 200, 88);
  BtnSave->SetDefault(true);
  BtnCancel = b.Button("BtnCancel", "&Cancel", mrCancel, 285, 88);
  BtnCancel->SetCancel(true);
}

}  // namespace morvane
