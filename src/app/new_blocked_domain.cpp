#include "app/new_blocked_domain.h"

#include "app/dialog_layout.h"
#include "platform/control_ids.h"
#include "platform/ui/modal.h"

namespace morvane {

const char* const TNewBlockedDomain::kInvalidDomainMessage =
    "You have entered invalid domain.\n\r\n\rExamples of valid domains:\n\r\n\r"
    "www.example.com\n\rexample.com\n\rhttp://www.example.com";

TNewBlockedDomain::TNewBlockedDomain(TComponent* AOwner) : TForm(AOwner) {
  SetName("NewBlockedDomain");
  BuildLayout();
  OnCloseQuery = [this](TObject* Sender, bool& CanClose) { FormCloseQuery(Sender, CanClose); };
}

void TNewBlockedDomain::BuildLayout() {
  SetupDialogForm(this, "Add New Blocked/Allowed Domain", 372, 124);
  TDialogBuilder b(this, ids::kNewBlockedDomain);
  b.Label("Label1", "Domain Name:", 12, 16);
  txtDomainName = b.Add<TEdit>("txtDomainName", 100, 12, 260, 21);
  b.Label("Label2", "Setting:", 12, 50);
  cboBlockedDomainSetting = b.List("cboBlockedDomainSetting", {"Always Block", "Always Allow"}, 100, 46, 160);
  cboBlockedDomainSetting->SetItemIndex(0);
  Button1 = b.Button("Button1", "Save", mrOk, 200, 88);
  Button1->SetDefault(true);
  btnCancel = b.Button("btnCancel", "&Cancel", mrCancel, 285, 88);
  btnCancel->SetCancel(true);
}

void TNewBlockedDomain::FormCloseQuery(TObject*, bool& CanClose) {
  if (ModalResult() != mrOk) return;
  if (txtDomainName->Text().find('.') != std::string::npos) return;
  ShowMessage(kInvalidDomainMessage);
  CanClose = false;
}

}  // namespace morvane
