// Internet Explorer's per-site privacy list: one subkey per domain under the
// current user's P3P history key, whose default DWORD says always block (5)
// or always allow (1). The key belongs to Internet Explorer: subkeys with
// any other value, and everything else under the key, are left as they are.
#include "app/main_form.h"

#include <algorithm>

#include "app/edit_blocked_domain_dlg.h"
#include "app/new_blocked_domain.h"
#include "browserdata/net/qb_net_utils.h"
#include "platform/core/registry.h"
#include "platform/core/sysutils.h"
#include "platform/ui/modal.h"

namespace morvane {
namespace {

const char kPrivacyListKey[] = "\\Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings\\P3P\\History";
constexpr int kAlwaysBlock = 5;
constexpr int kAlwaysAllow = 1;
const char kBlockText[] = "Always Block";
const char kAllowText[] = "Always Allow";

std::string DomainKey(const std::string& Domain) { return std::string(kPrivacyListKey) + "\\" + Domain; }

// Writes the domain's setting; false when the key could not be opened or
// the value not written.
bool WriteDomainSetting(const std::string& Domain, int Setting) {
  TRegistry reg;
  reg.SetRootKey(HKEY_CURRENT_USER);
  if (!reg.OpenKey(DomainKey(Domain), true)) return false;
  reg.WriteInteger("", Setting);
  reg.CloseKey();
  return true;
}

}  // namespace

bool TMainFrm::IsIEPrivacyListAvailable() {
  try {
    TRegistry reg(KEY_READ);
    reg.SetRootKey(HKEY_CURRENT_USER);
    return reg.KeyExists(kPrivacyListKey);
  } catch (...) {
    return false;
  }
}

bool TMainFrm::AddIEBlockedDomain(const std::string& Domain, bool Block) {
  if (Domain.empty()) return false;
  // A "\" would make a nested key that Internet Explorer ignores and this
  // list never shows, so it could not be removed here either.
  bool written = false;
  if (Domain.find('\\') == std::string::npos) {
    try {
      written = WriteDomainSetting(Domain, Block ? kAlwaysBlock : kAlwaysAllow);
    } catch (...) {
      written = false;
    }
  }
  if (!written) ShowMessage("Cannot Add to blocked domains list");
  return written;
}

void TMainFrm::LoadIEBlockedDomains() {
  TElTree& tree = ElTreeDomains->Tree();
  TElTreeItems& items = tree.Items();
  const int topIndex = tree.TopIndex();
  TElTreeItem* focused = tree.ItemFocused();
  const int focusedIndex = focused ? focused->AbsIndex() : -1;
  items.BeginUpdate();
  try {
    items.Clear();
    TStringList lines;
    TRegistry reg(KEY_READ);
    reg.SetRootKey(HKEY_CURRENT_USER);
    if (reg.KeyExists(kPrivacyListKey) && reg.OpenKeyReadOnly(kPrivacyListKey)) {
      TStringList names;
      reg.GetKeyNames(names);
      reg.CloseKey();
      for (int i = 0; i < names.Count(); ++i) {
        const std::string& name = names.Strings(i);
        TRegistry sub(KEY_READ);
        sub.SetRootKey(HKEY_CURRENT_USER);
        if (!sub.OpenKeyReadOnly(DomainKey(name))) continue;
        int setting = 0;
        try {
          setting = sub.ReadInteger("");
        } catch (const std::exception&) {
          setting = 0;  // no default value, or not a DWORD
        }
        if (setting == kAlwaysBlock)
          lines.Add("1\t" + LineCell(name) + "\t" + kBlockText);
        else if (setting == kAlwaysAllow)
          lines.Add("1\t" + LineCell(name) + "\t" + kAllowText);
      }
    }
    items.LoadFromStrings(lines);
    if (items.Count() > 0) {
      TElTreeItem* first = items.Item(0);
      first->SetSelected(true);
      tree.SetItemFocused(first);
      tree.SetAnchorItem(tree.ItemFocused());
    }
    RestoreSort(ElTreeDomains);
    RestoreGridPosition(ElTreeDomains, focusedIndex, topIndex);
  } catch (...) {
    items.EndUpdate();
    throw;
  }
  items.EndUpdate();
  ElTreeDomains->Repaint();
}

void TMainFrm::NewIEBlockedDomain() {
  if (NewBlockedDomain->ShowModal() != mrOk) return;
  std::string domain;
  GetDomainFromURL(NewBlockedDomain->txtDomainName->Text(), domain);
  if (domain.empty()) {
    // Nothing left of the text to add ("http://", ".com", a user part only).
    ShowMessage(TNewBlockedDomain::kInvalidDomainMessage);
    return;
  }
  AddIEBlockedDomain(domain, NewBlockedDomain->cboBlockedDomainSetting->Text() == kBlockText);
  LoadIEBlockedDomains();
}

void TMainFrm::EditIEBlockedDomain() {
  TElTreeItem* row = GetSelectedItem(ElTreeDomains);
  if (!row) return;
  TEditBlockedDomainDlg* dlg = EditBlockedDomainDlg;
  dlg->SetCaption("Edit Blocked/Allowed Domain");
  dlg->lblDomainName->SetCaption(RowCell(row, 0));
  dlg->cboBlockedDomainSetting->SetItemIndex(dlg->cboBlockedDomainSetting->Items()->IndexOf(RowCell(row, 1)));
  if (dlg->ShowModal() != mrOk) return;

  const std::string text = dlg->cboBlockedDomainSetting->Text();
  int setting = 0;
  if (text == kBlockText)
    setting = kAlwaysBlock;
  else if (text == kAllowText)
    setting = kAlwaysAllow;
  else
    return;
  // The row changes only once the registry has the new value.
  bool written = false;
  try {
    written = WriteDomainSetting(dlg->lblDomainName->Caption(), setting);
  } catch (...) {
    written = false;
  }
  if (!written) {
    ShowMessage("Cannot Save blocked domains value");
    return;
  }
  SetColumnText(row, 1, text);
}

void TMainFrm::DeleteIEBlockedDomains() {
  TElTree& tree = ElTreeDomains->Tree();
  const int n = tree.GetSelectedCount();
  if (n <= 0) return;
  std::string message;
  if (n == 1)
    message = "You are about to delete selected item: " + RowCell(GetSelectedItem(ElTreeDomains), 0);
  else
    message = "You are about to delete all selected items (" + IntToStr(n) + ")";
  message += "\r\nDo you want to continue?";
  if (MessageDlg(message, TMsgDlgType::mtConfirmation, mbYesNo) != mrYes) return;

  TElTreeItem* focused = tree.ItemFocused();
  const int position = focused ? focused->AbsIndex() : 0;
  {
    TRegistry reg;
    reg.SetRootKey(HKEY_CURRENT_USER);
    for (TElTreeItem* row = tree.GetNextSelected(nullptr); row; row = tree.GetNextSelected(row)) {
      const std::string name = RowCell(row, 0);
      if (name.empty()) continue;
      if (reg.KeyExists(DomainKey(name))) reg.DeleteKey(DomainKey(name));
    }
  }

  LoadIEBlockedDomains();
  TElTreeItems& items = tree.Items();
  if (items.Count() > 0) {
    TElTreeItem* row = items.Item(std::min(position, items.Count() - 1));
    tree.DeselectAll();
    tree.SetItemFocused(row);
    row->SetSelected(true);
    tree.MakeVisible(row);
  }
  ElTreeDomains->SetVisible(true);
}

}  // namespace morvane
