// The Netscape/Mozilla and Firefox page: the profile combo, the cookie and
// permission grids of the chosen profile and their Edit, New and Delete
// commands, each of which rewrites the profile's files through the store and
// then reloads the page from disk.
//
// And the Opera page's commands. The Opera store is read only: a delete
// takes the cookies out of the store in memory and their rows out of the
// grid, and Opera's cookie file stays as it is. Edit, New and the
// blocked-domains commands have nothing to work on.
#include <cmath>
#include <memory>

#include "app/delete_mozilla_cookie_dialog.h"
#include "app/edit_mozilla_blocked_domains_dialog.h"
#include "app/edit_mozilla_cookie_dlg.h"
#include "app/grid_sort_keys.h"
#include "app/main_form.h"
#include "browserdata/netscape/mozilla_cookies.h"
#include "browserdata/opera/qb_opera_cookie_info.h"
#include "browserdata/settings/persitent_properties.h"
#include "platform/core/datetime.h"
#include "platform/core/sysutils.h"
#include "platform/ui/modal.h"
#include "treeview/eltree.h"
#include "treeview/eltreeitem.h"

namespace morvane {

namespace {

constexpr const char* kProfileIdxProperty = "MozillaProfileIdx";

const char* YesNo(bool b) { return b ? "Yes" : "No"; }

// Column text Index of a row, in the program's 8-bit code page.
std::string Cell(TElTreeItem* Item, int Index) {
  std::wstring scratch;
  return WideToAnsi(RowCellText(Item, Index, scratch));
}

// "host/path" into its host (before the first "/") and path (from it on).
void SplitDomainText(const std::string& Text, std::string& Host, std::string& Path) {
  const size_t slash = Text.find('/');
  Host = Text.substr(0, slash);
  Path = slash == std::string::npos ? std::string() : Text.substr(slash);
}

TQbCookie CookieFromRow(TElTreeItem* Item) {
  TQbCookie c;
  c.Name = Cell(Item, 0);
  c.Value = Cell(Item, 1);
  SplitDomainText(Cell(Item, 2), c.Host, c.Path);
  c.Expires = Cell(Item, 3);
  c.Secure = Cell(Item, 4) == "Yes";
  c.DomainFlag = Cell(Item, 5) == "Yes";
  return c;
}

// The grid's text of one section of a cookie's row: the row number, name,
// value, host and path, expiry, secure, subdomains.
void AppendCookieCell(std::string& Out, const TQbCookie& c, int Section) {
  switch (Section) {
    case 1: Out += c.Name; break;
    case 2: Out += c.Value; break;
    case 3: Out += c.Host; Out += c.Path; break;
    case 4: Out += c.Expires; break;
    case 5: Out += YesNo(c.Secure); break;
    case 6: Out += YesNo(c.DomainFlag); break;
    default: Out += '1'; break;
  }
}

const char* CookiePermissionWord(uint8_t v) {
  switch (v) {
    case 2: return "always block";
    case 1: return "always allow";
    case 8: return "session cookies only";
    default: return "default";
  }
}

const char* OtherPermissionWord(uint8_t v) {
  switch (v) {
    case 2: return "always block";
    case 1: return "always allow";
    default: return "default";
  }
}

TElHeaderSection* SectionByCaption(TElTreeWindow* Grid, const wchar_t* Caption) {
  TElHeaderSections& sections = Grid->Tree().HeaderSections();
  for (int i = 0; i < sections.Count(); ++i)
    if (sections[i]->Text() == Caption) return sections[i];
  return nullptr;
}

int FocusedIndex(TElTreeWindow* Grid) {
  TElTreeItem* focused = Grid->Tree().ItemFocused();
  return focused ? focused->AbsIndex() : -1;
}

// The anchor of a multi-row command: the focused row when there is none yet.
bool EnsureAnchor(TElTree& Tree) {
  if (!Tree.AnchorItem() && Tree.ItemFocused()) Tree.SetAnchorItem(Tree.ItemFocused());
  return Tree.AnchorItem() != nullptr;
}

std::vector<TElTreeItem*> SelectedRows(TElTree& Tree) {
  TElList list;
  Tree.AllSelected(list);
  std::vector<TElTreeItem*> rows;
  rows.reserve(list.Count());
  for (int i = 0; i < list.Count(); ++i) rows.push_back(static_cast<TElTreeItem*>(list.Get(i)));
  return rows;
}

std::string DeleteMessage(size_t Count, TElTreeItem* First) {
  if (Count == 1)
    return "You are about to delete selected item: " + Cell(First, 0) + "\r\nDo you want to continue?";
  return "You are about to delete all selected items (" + IntToStr(static_cast<int64_t>(Count)) + ")" +
         "\r\nDo you want to continue?";
}

void SetPanel(TStatusBar* Bar, int Index, const std::string& Text) {
  if (Bar && Index < Bar->PanelCount()) Bar->Panels(Index)->SetText(Text);
}

}  // namespace

// ---- profiles --------------------------------------------------------------------------------

std::string TMainFrm::MozillaProfileCaption() {
  const int i = cboMozillaProfiles->ItemIndex();
  if (i < 0 || i >= cboMozillaProfiles->Items()->Count()) return std::string();
  return cboMozillaProfiles->Items()->Strings(i);
}

void TMainFrm::FillMozillaProfiles(int Index) {
  if (Index == -1) {
    std::string text;
    if (Properties) Properties->GetProperty(kProfileIdxProperty, text);
    if (!TryStrToInt(Trim(text), Index)) Index = 0;
  }
  cboMozillaProfiles->Items()->Clear();
  if (!ActiveStore || !ActiveStore->GetProfiles()) return;
  TStringList* profiles = ActiveStore->GetProfiles();
  for (int i = 0; i < profiles->Count(); ++i) cboMozillaProfiles->Items()->Add(profiles->Strings(i));
  // A stored index beyond the list picks the last profile; a negative one
  // the first.
  const int count = cboMozillaProfiles->Items()->Count();
  const int pick = std::max(0, std::min(Index, count - 1));
  if (count > 0) cboMozillaProfiles->SetItemIndex(pick);
  cboMozillaProfilesClick(cboMozillaProfiles);
}

void TMainFrm::cboMozillaProfilesClick(TObject* /*Sender*/) {
  const int index = cboMozillaProfiles->ItemIndex();
  if (index >= 0 && Properties) Properties->SetProperty(kProfileIdxProperty, IntToStr(index));
  TrueBoolStrs() = {"Yes"};
  FalseBoolStrs() = {"No"};
  TElTree& cookies = MozillaCookiesElTree->Tree();
  TElTree& domains = ElTreeMozillaDomains->Tree();
  cookies.Items().Clear();
  if (!ActiveStore || index < 0) {
    MozillaRowsProfile = -1;
    cookies.SetVirtualityLevel(vlNone);
    domains.Items().Clear();
    SetPanel(sb, 0, "");
    SetPanel(sb, 1, "Total Cookies: 0");
    return;
  }
  std::string dir;
  ActiveStore->GetProfileDir(index, dir);
  SetPanel(sb, 4, "Cookie Folder: " + dir);

  // Each row holds its cookie's place in the profile's own array, and the
  // grid asks for the texts as it paints, sorts, filters or saves: a copy of
  // 100,000 cookies' texts in the grid cost more memory than the cookies
  // themselves, and most of the page's load time.
  MozillaRowsProfile = index;
  cookies.SetVirtualityLevel(vlTextAndStyles);
  if (const qbMozillaProfileInfo* info = ActiveStore->Profile(index)) {
    TElTreeItems& items = cookies.Items();
    items.BeginUpdate();
    for (size_t i = 0; i < info->Cookies.size(); ++i) items.AddLastChild(nullptr)->SetData(reinterpret_cast<void*>(i));
    items.EndUpdate();
  }
  MozillaCookiesElTree->Invalidate();

  domains.Items().Clear();
  const std::string caption = cboMozillaProfiles->Items()->Strings(index);
  // Only hostperm.1 can say anything about installs.
  const bool installs = ActiveStore->GetPermissionFileFormat(caption) == 1;
  if (TElHeaderSection* s = SectionByCaption(ElTreeMozillaDomains, L"Block Installs")) s->SetVisible(installs);
  if (TQbBlockedHostList* hosts = ActiveStore->GetBlockedHosts(caption)) {
    TStringList rows;
    rows.SetCapacity(hosts->Count());
    for (int i = 0; i < hosts->Count(); ++i) {
      const tQbBlockedDomain& r = *hosts->Objects(i);
      std::string line = "1\t" + hosts->Strings(i) + '\t' + CookiePermissionWord(r.Cookie) + '\t' +
                         OtherPermissionWord(r.Image) + '\t' + OtherPermissionWord(r.Popup);
      if (installs) line += std::string("\t") + OtherPermissionWord(r.Install);
      rows.Add(line);
    }
    domains.Items().LoadFromStrings(rows);
  }
  // The rows come in the files' order; the user sees them in the order the
  // headers show, also after choosing another profile.
  RestoreSort(MozillaCookiesElTree);
  RestoreSort(ElTreeMozillaDomains);
  FocusActiveGridRow();
  SetPanel(sb, 0, "");
  SetPanel(sb, 1, "Total Cookies: " + IntToStr(cookies.Items().Count()));
  if (!cookies.IsUpdating()) cookies.AutoSizeAllColumns();
}

void TMainFrm::MozillaCookieText(TElTreeItem* Item, int SectionIndex, TElFString& Text) {
  Text.clear();
  // The rows are made again whenever the array changes; a row asked for in
  // between (while the store is made afresh) shows nothing rather than read
  // past the array.
  const qbMozillaProfileInfo* info = ActiveStore && Item ? ActiveStore->Profile(MozillaRowsProfile) : nullptr;
  const auto i = reinterpret_cast<uintptr_t>(Item ? Item->Data() : nullptr);
  if (!info || i >= info->Cookies.size()) return;
  std::string& cell = MozillaCellBuffer;
  cell.clear();
  AppendCookieCell(cell, info->Cookies[i], SectionIndex);
  WidenInto(Text, cell);
}

void TMainFrm::RecreateMozillaStore(bool ForPermissions) {
  try {
    TStringList dirs;
    if (ActiveStore) dirs.Assign(&ActiveStore->ProfileDirs);
    // The store that goes lends its cookies' memory to the one that comes:
    // the files are read afresh, into arrays that are already there.
    std::unique_ptr<QbMozillaCookiesClass> previous;
    if (ActiveStore == NetscapeStore.get()) previous = std::move(NetscapeStore);
    if (ActiveStore == FirefoxStore.get()) previous = std::move(FirefoxStore);
    ActiveStore = nullptr;

    const bool firefox = BrowserKind == 1;
    if (ForPermissions || BrowserKind <= 1) {
      std::unique_ptr<QbMozillaCookiesClass>& slot = firefox ? FirefoxStore : NetscapeStore;
      const uint8_t kind = firefox ? 1 : 0;
      if (previous) {
        try {
          slot = std::make_unique<QbMozillaCookiesClass>(kind, *previous);
        } catch (...) {
          slot.reset();
        }
      } else {
        CreateMozillaStore(slot, kind);
      }
      ActiveStore = slot.get();
    }
    if (ActiveStore) {
      QbMozillaCookiesClass* target = ForPermissions ? ActiveStore : NetscapeStore.get();
      if (target) {
        for (int i = 0; i < dirs.Count(); ++i) target->AddProfileDir(dirs.Strings(i));
        target->ReleaseCookieMemory();
      }
      ActiveStore->ReleaseCookieMemory();
    } else if (dirs.Count() > 0) {
      NetscapeStore = QbMozillaCookiesClass::CreateForProfiles(dirs);
      ActiveStore = NetscapeStore.get();
    }
  } catch (...) {
  }
}

void TMainFrm::ReloadMozillaGrid(TElTreeWindow* Grid, bool ForPermissions) {
  // The place is taken before the rows go, so that a change keeps the user
  // where they were.
  TElTree& tree = Grid->Tree();
  const int top = tree.TopIndex();
  const int focused = FocusedIndex(Grid);
  RecreateMozillaStore(ForPermissions);
  tree.BeginUpdate();
  // This shows the chosen profile in both grids.
  FillMozillaProfiles(cboMozillaProfiles->ItemIndex());
  const bool shown = ActiveStore && (ForPermissions || ActiveStore->GetProfiles());
  // The fill has sorted the rows already.
  if (shown) RestoreGridPosition(Grid, focused, top);
  tree.EndUpdate();
  // The cookie rows ask their texts as they are needed: the columns that
  // fit their texts are measured once the rows are all there.
  if (Grid == MozillaCookiesElTree && !tree.IsUpdating()) tree.AutoSizeAllColumns();
  if (shown) Grid->Invalidate();
}

void TMainFrm::LoadMozillaCookies() { ReloadMozillaGrid(MozillaCookiesElTree, false); }

void TMainFrm::LoadMozillaBlockedDomains() { ReloadMozillaGrid(ElTreeMozillaDomains, true); }

// ---- cookies ---------------------------------------------------------------------------------

bool TMainFrm::RunMozillaCookieDialog(TQbCookie& Cookie) {
  TEditMozillaCookieDlg* d = EditMozillaCookieDlg;
  if (d->ShowModal() != mrOk) return false;
  Cookie.Name = d->edtCookieName->Text();
  Cookie.Value = d->edtCookieValue->Text();
  Cookie.Secure = d->ChkSecure->Checked();
  Cookie.DomainFlag = d->chkScope->Checked();
  SplitDomainText(d->edtDomain->Text(), Cookie.Host, Cookie.Path);
  Cookie.Expires = DateTimeToStr(Trunc(d->dtExpirationDate->Date()) + Frac(d->dtExpirationTime->Time()));
  return true;
}

void TMainFrm::SaveMozillaCookie(const TQbCookie& Cookie) {
  const std::string profile = MozillaProfileCaption();
  try {
    ActiveStore->ReloadCookies(profile);
    ActiveStore->SetCookie(profile, Cookie);
    ActiveStore->SaveCookies(profile);
  } catch (...) {
  }
  LoadMozillaCookies();
}

void TMainFrm::EditMozillaCookie() {
  try {
    TElTreeItem* row = MozillaCookiesElTree->Tree().GetNextSelected(nullptr);
    if (!row || !ActiveStore) return;
    TQbCookie cookie = CookieFromRow(row);
    TEditMozillaCookieDlg* d = EditMozillaCookieDlg;
    d->SetCaption("Edit Mozilla Cookie");
    d->edtCookieName->SetText(cookie.Name);
    d->edtCookieName->SetEnabled(false);
    d->edtCookieValue->SetText(cookie.Value);
    d->ChkSecure->SetChecked(cookie.Secure);
    d->chkScope->SetChecked(cookie.DomainFlag);
    // The whole host and path: an unchanged edit then finds and replaces
    // the cookie itself instead of adding a second one under "/".
    d->edtDomain->SetText(cookie.Host + cookie.Path);
    d->edtDomain->SetEnabled(false);
    const TDateTime expires = StrToDateTime(cookie.Expires);
    d->dtExpirationDate->SetDate(Trunc(expires));
    d->dtExpirationTime->SetTime(Frac(expires));
    if (!RunMozillaCookieDialog(cookie)) return;
    SaveMozillaCookie(cookie);
  } catch (...) {
  }
}

void TMainFrm::NewMozillaCookie() {
  try {
    if (!ActiveStore || MozillaProfileCaption().empty()) return;
    TEditMozillaCookieDlg* d = EditMozillaCookieDlg;
    d->SetCaption("New Cookie");
    d->edtCookieName->SetText("");
    d->edtCookieName->SetEnabled(true);
    d->edtCookieValue->SetText("");
    d->edtDomain->SetText("");
    d->edtDomain->SetEnabled(true);
    const TDateTime tomorrow = Now() + 1;
    d->dtExpirationDate->SetDate(Trunc(tomorrow));
    d->dtExpirationTime->SetTime(Frac(tomorrow));
    d->ChkSecure->SetChecked(false);
    TQbCookie cookie;
    if (!RunMozillaCookieDialog(cookie)) return;
    SaveMozillaCookie(cookie);
  } catch (...) {
  }
}

void TMainFrm::DeleteMozillaCookies() {
  TElTree& tree = MozillaCookiesElTree->Tree();
  const std::vector<TElTreeItem*> rows = SelectedRows(tree);
  if (rows.empty() || !ActiveStore) return;
  TDeleteMozillacookieDialog* d = DeleteMozillacookieDialog;
  d->SetCaption("Delete Netscape/Mozilla Cookie(s)");
  d->chkBlockCookie->SetVisible(true);
  d->chkBlockImage->SetVisible(true);
  d->chkBlockPopup->SetVisible(true);
  const bool anchored = EnsureAnchor(tree);
  if (rows.size() == 1) {
    if (!anchored) return;
    std::string host, path;
    SplitDomainText(Cell(rows[0], 2), host, path);
    d->chkBlockCookie->SetCaption("Block all future cookies from '" + host + "'");
    d->chkBlockImage->SetCaption("Block all future images from '" + host + "'");
    d->chkBlockPopup->SetCaption("Block all future pop-up windows from '" + host + "'");
  } else {
    d->chkBlockCookie->SetCaption("Block all future cookies from selected domains");
    d->chkBlockImage->SetCaption("Block all future images from selected domains");
    d->chkBlockPopup->SetCaption("Block all future pop-up windows from selected domains");
  }
  d->chkDeleteCookie->SetCaption("Delete selected cookie");
  d->lblDeleteMessage->SetCaption(DeleteMessage(rows.size(), rows[0]));
  if (d->ShowModal() == mrCancel) return;
  const std::string profile = MozillaProfileCaption();
  // The rows show the cookies they stand for only until the store changes:
  // what the user chose is taken before the file is read again.
  std::vector<TQbCookie> chosen;
  chosen.reserve(rows.size());
  for (TElTreeItem* row : rows) chosen.push_back(CookieFromRow(row));
  try {
    ActiveStore->ReloadCookies(profile);
    for (const TQbCookie& cookie : chosen) {
      if (d->chkDeleteCookie->Checked()) ActiveStore->DeleteCookie(profile, cookie);
      if (d->chkBlockCookie->Checked()) ActiveStore->SetPermission(profile, cookie.Host, 2, 0);
      if (d->chkBlockImage->Checked()) ActiveStore->SetPermission(profile, cookie.Host, 2, 1);
      if (d->chkBlockPopup->Checked()) ActiveStore->SetPermission(profile, cookie.Host, 2, 2);
    }
  } catch (...) {
  }
  // Each file on its own: a cookie file that cannot be written does not
  // keep the blocks from being saved.
  try {
    if (d->chkDeleteCookie->Checked()) ActiveStore->SaveCookies(profile);
  } catch (...) {
  }
  try {
    if (d->chkBlockCookie->Checked() || d->chkBlockImage->Checked() || d->chkBlockPopup->Checked())
      ActiveStore->SavePermissions(profile);
  } catch (...) {
  }
  LoadMozillaCookies();
}

// ---- permissions -----------------------------------------------------------------------------

uint8_t TMainFrm::MozillaPermissionFormat(const std::string& Profile) {
  // Neither file existed: both get written, so the dialog offers only what
  // both can store.
  const uint8_t format = ActiveStore->GetPermissionFileFormat(Profile);
  return format == 1 ? 1 : 0;
}

void TMainFrm::EditMozillaBlockedDomain() {
  try {
    TElTreeItem* row = ElTreeMozillaDomains->Tree().GetNextSelected(nullptr);
    if (!row || !ActiveStore) return;
    const std::string profile = MozillaProfileCaption();
    TQbBlockedHostList* hosts = ActiveStore->GetBlockedHosts(profile);
    if (!hosts) return;
    const int i = hosts->IndexOf(Cell(row, 0));
    if (i < 0) return;
    TEditMozillaBlockedDomainsDialog* d = EditMozillaBlockedDomainsDialog;
    d->SetCaption("Edit Blocked Domain");
    d->edtDomain->SetEnabled(false);
    // The dialog changes the live record only when it closes with OK.
    d->BlockedDomain = hosts->Objects(i);
    d->PermissionFormat = MozillaPermissionFormat(profile);
    const int result = d->ShowModal();
    d->BlockedDomain = nullptr;
    if (result != mrOk) return;
    try {
      ActiveStore->AddPermission(profile, hosts->Objects(i));
      ActiveStore->SavePermissions(profile);
    } catch (...) {
    }
    LoadMozillaBlockedDomains();
  } catch (...) {
  }
}

void TMainFrm::NewMozillaBlockedDomain() {
  try {
    if (!ActiveStore || MozillaProfileCaption().empty()) return;
    const std::string profile = MozillaProfileCaption();
    auto rec = std::make_unique<tQbBlockedDomain>(tQbBlockedDomain{"host", "", 2, 2, 2, 0});
    TEditMozillaBlockedDomainsDialog* d = EditMozillaBlockedDomainsDialog;
    d->SetCaption("New Blocked Domain");
    d->edtDomain->SetEnabled(true);
    d->BlockedDomain = rec.get();
    d->PermissionFormat = MozillaPermissionFormat(profile);
    const int result = d->ShowModal();
    d->BlockedDomain = nullptr;
    if (result != mrOk) return;  // the record goes with rec
    try {
      ActiveStore->ReloadPermissions(profile);
      ActiveStore->AddPermission(profile, rec.release());
      ActiveStore->SavePermissions(profile);
    } catch (...) {
    }
    LoadMozillaBlockedDomains();
  } catch (...) {
  }
}

void TMainFrm::DeleteMozillaBlockedDomains() {
  TElTree& tree = ElTreeMozillaDomains->Tree();
  const std::vector<TElTreeItem*> rows = SelectedRows(tree);
  if (rows.empty() || !ActiveStore) return;
  if (!EnsureAnchor(tree)) return;
  if (MessageDlg(DeleteMessage(rows.size(), rows[0]), TMsgDlgType::mtConfirmation, mbYesNo) != mrYes) return;
  const std::string profile = MozillaProfileCaption();
  try {
    std::vector<std::string> hosts;
    for (TElTreeItem* row : rows) hosts.push_back(Cell(row, 0));
    ActiveStore->ReloadPermissions(profile);
    for (const std::string& host : hosts) {
      tQbBlockedDomain rec;
      rec.Host = host;
      ActiveStore->DeletePermission(profile, rec);
    }
    ActiveStore->SavePermissions(profile);
  } catch (...) {
  }
  LoadMozillaBlockedDomains();
}

// ---- Opera ---------------------------------------------------------------------------------

void TMainFrm::DeleteOperaCookies() {
  if (!OperaStore) return;
  TElTree& tree = OperaCookiesElTree->Tree();
  const std::vector<TElTreeItem*> rows = SelectedRows(tree);
  if (rows.empty()) return;

  TDeleteMozillacookieDialog* d = DeleteMozillacookieDialog;
  d->SetCaption("Delete Opera Cookie(s)");
  // Nothing here can block a host or change the third-party setting, so
  // those choices are not offered.
  d->chkBlockCookie->SetVisible(false);
  d->chkBlockImage->SetVisible(false);
  d->chkBlockPopup->SetVisible(false);
  d->chkDeleteCookie->SetCaption("Delete selected cookie");
  d->lblDeleteMessage->SetCaption(DeleteMessage(rows.size(), rows[0]));
  if (rows.size() == 1) {
    std::string host, path;
    SplitDomainText(Cell(rows[0], 2), host, path);
    d->chkBlockCookie->SetCaption("Block all future cookies from '" + host + "'");
    d->chkBlockImage->SetCaption("Disable third-party cookies for  '" + host + "'");
  } else {
    d->chkBlockCookie->SetCaption("Block all future cookies from selected domains");
    d->chkBlockImage->SetCaption("Block all future images from selected domains");
  }
  const int result = d->ShowModal();
  d->chkBlockCookie->SetVisible(true);
  d->chkBlockImage->SetVisible(true);
  d->chkBlockPopup->SetVisible(true);
  if (result == mrCancel || !d->chkDeleteCookie->Checked()) return;

  tree.BeginUpdate();
  for (TElTreeItem* row : rows) {
    try {
      OperaStore->DeleteCookie(Cell(row, 2), Cell(row, 0));
    } catch (...) {
    }
    tree.Items().DeleteItem(row);
  }
  tree.EndUpdate();
  OperaCookiesElTree->Invalidate();
  if (sb && sb->PanelCount() > 1) {
    sb->Panels(1)->SetText("Total Cookies: " + IntToStr(tree.Items().Count()));
    // Said once a run, in the status bar rather than in a box of its own:
    // the rows are gone from the list, the file is as Opera wrote it.
    if (!OperaFileNoticeShown) {
      sb->Panels(0)->SetText(kOperaFileNotice);
      OperaFileNoticeShown = true;
    }
  }
}

void TMainFrm::EditOperaCookie() {}
void TMainFrm::NewOperaCookie() {}
void TMainFrm::EditOperaBlockedDomain() {}
void TMainFrm::NewOperaBlockedDomain() {}
void TMainFrm::DeleteOperaBlockedDomains() {}

}  // namespace morvane
