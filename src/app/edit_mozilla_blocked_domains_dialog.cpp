#include "app/edit_mozilla_blocked_domains_dialog.h"

#include "app/dialog_layout.h"
#include "platform/control_ids.h"
#include "platform/core/sysutils.h"
#include "platform/ui/modal.h"

namespace morvane {

namespace {
constexpr const char* kSessionOnly = "session cookies only";
}

TEditMozillaBlockedDomainsDialog::TEditMozillaBlockedDomainsDialog(TComponent* AOwner) : TForm(AOwner) {
  SetName("EditMozillaBlockedDomainsDialog");
  BuildLayout();
  OnShow = [this](TObject* s) { FormShow(s); };
  OnActivate = [this](TObject* s) { FormActivate(s); };
  OnHide = [this](TObject* s) { FormHide(s); };
  okBtn->OnClick = [this](TObject* s) { okBtnClick(s); };
}

void TEditMozillaBlockedDomainsDialog::BuildLayout() {
  SetupDialogForm(this, "Block Domain", 363, 191);
  TDialogBuilder b(this, ids::kEditMozillaBlockedDomainsDialog);
  const auto items = {"use default settings", "always block", "always allow"};
  b.Label("Label1", "Domain name:", 12, 14);
  edtDomain = b.Add<TEdit>("edtDomain", 150, 10, 200, 21);
  edtDomain->SetEnabled(false);
  b.Label("Label2", "Cookies blocking:", 12, 42);
  cboCookies = b.List("cboCookies", items, 150, 38, 200);
  b.Label("Label3", "Images blocking:", 12, 70);
  CboImages = b.List("CboImages", items, 150, 66, 200);
  b.Label("Label4", "Ads (pop-ups) blocking:", 12, 98);
  cboAds = b.List("cboAds", items, 150, 94, 200);
  lblInstalls = b.Label("lblInstalls", "Installs:", 12, 126);
  cboInstalls = b.List("cboInstalls", items, 150, 122, 200);
  lblInstalls->SetVisible(false);
  cboInstalls->SetVisible(false);
  okBtn = b.Button("okBtn", "&OK", mrOk, 190, 158);
  okBtn->SetDefault(true);
  CancelBtn = b.Button("CancelBtn", "&Cancel", mrCancel, 275, 158);
  CancelBtn->SetCancel(true);
}

int TEditMozillaBlockedDomainsDialog::CookieIndex(uint8_t Value) {
  switch (Value) {
    case 2: return 1;
    case 1: return 2;
    case 8: return 3;
    default: return 0;
  }
}

int TEditMozillaBlockedDomainsDialog::OtherIndex(uint8_t Value) {
  switch (Value) {
    case 2: return 1;
    case 1: return 2;
    default: return 0;
  }
}

uint8_t TEditMozillaBlockedDomainsDialog::CookieValue(int Index) {
  switch (Index) {
    case 1: return 2;
    case 2: return 1;
    case 3: return 8;
    default: return 0;
  }
}

uint8_t TEditMozillaBlockedDomainsDialog::OtherValue(int Index) {
  switch (Index) {
    case 1: return 2;
    case 2: return 1;
    default: return 0;
  }
}

void TEditMozillaBlockedDomainsDialog::FormShow(TObject*) {
  // The cookie list gets its fourth item before the record's value is
  // shown, so that a "session cookies only" host shows that value.
  const bool hostperm = PermissionFormat == 1;
  lblInstalls->SetVisible(hostperm);
  cboInstalls->SetVisible(hostperm);
  if (PermissionFormat == 1 && cboCookies->Items()->Count() < 4) cboCookies->Items()->Add(kSessionOnly);
  if (PermissionFormat == 0 && cboCookies->Items()->Count() > 3) cboCookies->Items()->Delete(3);
  if (!BlockedDomain) return;
  edtDomain->SetText(BlockedDomain->Host);
  int cookie = CookieIndex(BlockedDomain->Cookie);
  if (cookie >= cboCookies->Items()->Count()) cookie = 0;
  cboCookies->SetItemIndex(cookie);
  CboImages->SetItemIndex(OtherIndex(BlockedDomain->Image));
  cboAds->SetItemIndex(OtherIndex(BlockedDomain->Popup));
  cboInstalls->SetItemIndex(OtherIndex(BlockedDomain->Install));
}

void TEditMozillaBlockedDomainsDialog::FormActivate(TObject*) {
  if (edtDomain->Enabled() && edtDomain->Visible()) edtDomain->SetFocus();
}

void TEditMozillaBlockedDomainsDialog::okBtnClick(TObject*) {
  const std::string domain = Trim(edtDomain->Text());
  auto refuse = [this](const std::string& message) {
    MessageDlg(message, TMsgDlgType::mtInformation, mbOK);
    if (edtDomain->Enabled()) edtDomain->SetFocus();
    SetModalResult(mrNone);
  };
  if (domain.empty()) return refuse("Domain name cannot be empty. Please enter domain name.");
  if (domain.find('.') == std::string::npos) return refuse("Domain name has to contain at least one '.' character");
  if (cboCookies->ItemIndex() == 0 && CboImages->ItemIndex() == 0 && cboAds->ItemIndex() == 0) {
    const std::string question = "All properties are set to 'Default'.\r\nThis is equivalient to removing domain '" +
                                 edtDomain->Text() +
                                 "' from blocked domains list.\r\n\r\nDo you want to continue?";
    if (MessageDlg(question, TMsgDlgType::mtConfirmation, mbYesNo) != mrYes) SetModalResult(mrNone);
  }
}

void TEditMozillaBlockedDomainsDialog::FormHide(TObject*) {
  // Only a confirmed close changes the record: after Cancel the host keeps
  // what it had, so a later save of the profile cannot write the
  // abandoned choices.
  if (!BlockedDomain || ModalResult() != mrOk) return;
  BlockedDomain->Host = edtDomain->Text();
  BlockedDomain->Cookie = CookieValue(cboCookies->ItemIndex());
  BlockedDomain->Image = OtherValue(CboImages->ItemIndex());
  BlockedDomain->Popup = OtherValue(cboAds->ItemIndex());
  BlockedDomain->Install = OtherValue(cboInstalls->ItemIndex());
}

}  // namespace morvane
