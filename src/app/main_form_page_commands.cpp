// Commands on the element pages' grids: blocking the sites of the selected
// cookies, the grid menus by page, the row order of the sorted grids, the
// window's shortcut keys and the log viewer.
#include <memory>
#include <set>

#include "app/grid_sort_keys.h"
#include "app/main_form.h"
#include "app/view_text_file_dlg.h"
#include "browserdata/net/qb_net_utils.h"
#include "browserdata/netscape/mozilla_cookies.h"
#include "platform/core/files.h"
#include "platform/core/sysutils.h"
#include "platform/ui/modal.h"
#include "treeview/eltreeitems.h"

namespace morvane {

namespace {

std::string UpToSlash(const std::string& s) { return s.substr(0, s.find('/')); }

constexpr int kPermissionCookie = 0;
constexpr uint8_t kPermissionBlock = 2;

}  // namespace

void TMainFrm::Blockcookiesfromselecteddomains1Click(TObject* /*Sender*/) {
  int n = 0;
  switch (GetViewKind()) {
    case 1: n = BlockSelectedIECookies(); break;
    case 5: n = BlockSelectedMozillaCookies(); break;
    default: return;
  }
  if (n >= 1) ShowMessage("Future Cookies from " + IntToStr(n) + " domain have been blocked.");
}

int TMainFrm::BlockSelectedIECookies() {
  std::set<std::string> domains;
  TElTree& tree = IECookiesElTree->Tree();
  for (TElTreeItem* it = tree.GetNextSelected(nullptr); it; it = tree.GetNextSelected(it)) {
    const std::string host = UpToSlash(RowCell(it, 3));
    std::string domain = host;
    GetDomainFromURL(host, domain);
    if (!domain.empty()) domains.insert(domain);
  }
  // Only domains that really went into the list count; each failure has
  // already been reported.
  int blocked = 0;
  for (const std::string& d : domains)
    if (AddIEBlockedDomain(d, true)) ++blocked;
  return blocked;
}

int TMainFrm::BlockSelectedMozillaCookies() {
  if (!ActiveStore) return 0;
  // The permission store keeps hosts without their leading ".".
  std::set<std::string> hosts;
  TElTree& tree = MozillaCookiesElTree->Tree();
  for (TElTreeItem* it = tree.GetNextSelected(nullptr); it; it = tree.GetNextSelected(it)) {
    std::string host = UpToSlash(RowCell(it, 2));
    if (!host.empty() && host[0] == '.') host.erase(0, 1);
    if (!host.empty()) hosts.insert(host);
  }
  if (hosts.empty()) return 0;
  const std::string profile = cboMozillaProfiles->Text();
  // Only the cookie permission changes: what a host's record says about
  // images, pop-ups and installs stays.
  for (const std::string& h : hosts) ActiveStore->SetPermission(profile, h, kPermissionBlock, kPermissionCookie);
  bool saved = false;
  try {
    saved = ActiveStore->SavePermissions(profile);
  } catch (const std::exception&) {
  }
  if (!saved) {
    // Keep what is shown in line with the files, which still hold the old
    // permissions.
    try {
      ActiveStore->ReloadPermissions(profile);
    } catch (const std::exception&) {
    }
    MessageDlg("Cannot Add to blocked domains list", TMsgDlgType::mtError, mbOK);
    return 0;
  }
  return static_cast<int>(hosts.size());
}

void TMainFrm::ComposeGridMenu(TMenuItem* Menu) {
  switch (GetViewKind()) {
    case 1: ComposeCookiesMenu(Menu, IECookiesElTree); break;
    case 2: ComposeDomainsMenu(Menu, ElTreeDomains); break;
    case 3:
    case 4: ComposeHistoryFilesMenu(Menu, ElTreeHistoryFiles); break;
    case 5: ComposeCookiesMenu(Menu, MozillaCookiesElTree); break;
    case 6: ComposeDomainsMenu(Menu, ElTreeMozillaDomains); break;
    case 7: ComposeCookiesMenu(Menu, OperaCookiesElTree); break;
    case 8: ComposeDomainsMenu(Menu, EltreeOperaDomains); break;
    default: break;
  }
}

namespace {

struct TSortColumn {
  int Column = 0;
  int Sections = 0;
  bool Date = false;
};

}  // namespace

static TSortColumn SortColumnOf(TMainFrm* Form, TElTreeWindow* Grid) {
  TSortColumn s;
  if (TTabSheet* sheet = Form->GridTabSheet(Grid)) s.Column = static_cast<int>(sheet->Tag());
  const TElHeaderSections& sections = Grid->Tree().HeaderSections();
  s.Sections = sections.Count();
  if (s.Column > 0 && s.Column < s.Sections)
    s.Date = sections.GetSection(s.Column)->FieldType() == sftDateTime;
  return s;
}

void TMainFrm::GridSortBegin(TObject* Sender) {
  TElTreeWindow* grid = GridOf(Sender);
  if (!grid || !grid->Tree().OnCompareItems) return;
  if (!SortKeys) SortKeys = std::make_shared<TRowKeyCache>();
  const TSortColumn s = SortColumnOf(this, grid);
  SortKeys->Build(&grid->Tree(), s.Column, s.Sections, s.Date);
}

void TMainFrm::GridSortEnd(TObject* /*Sender*/) {
  if (SortKeys) SortKeys->Clear();
}

void TMainFrm::IECookiesElTreeCompareItems(TObject* Sender, TElTreeItem* Item1, TElTreeItem* Item2, int& Result) {
  // Within a sort the window began, the keys made for it are found by the
  // rows' places, which the tree hands along.
  if (SortKeys && SortKeys->Tree() && SortKeys->Tree()->EventSender() == Sender) {
    int p1 = -1, p2 = -1;
    SortKeys->Tree()->ComparedPositions(p1, p2);
    const int a = SortKeys->IndexOf(Item1, p1), b = SortKeys->IndexOf(Item2, p2);
    if (a >= 0 && b >= 0) {
      Result = SortKeys->Compare(a, b);
      return;
    }
  }
  TElTreeWindow* grid = GridOf(Sender);
  if (!grid) {
    Result = 0;
    return;
  }
  // Outside such a sort (a single comparison, a row added since): the keys
  // are made here.
  const TSortColumn s = SortColumnOf(this, grid);
  TRowSortKey a, b;
  BuildRowSortKey(Item1, s.Column, s.Sections, s.Date, a);
  BuildRowSortKey(Item2, s.Column, s.Sections, s.Date, b);
  Result = CompareRowSortKeys(a, b);
}

void TMainFrm::ToolButtonNewClick(TObject* Sender) { nmuNewClick(Sender); }

void TMainFrm::FormKeyDown(TObject* /*Sender*/, WORD& Key, TShiftState Shift) {
  const bool ctrl = (Shift & ssCtrl) != 0;
  if (Key == VK_F3 || (ctrl && Key == 'F')) {
    mnuSearchClick(nullptr);
  } else if (Key == VK_F5) {
    Refresh1Click(nullptr);
  } else if (ctrl && Key == 'L') {
    ViewLogFile1Click(nullptr);
  } else {
    return;
  }
  Key = 0;
}

void TMainFrm::ViewLogFile1Click(TObject* /*Sender*/) {
  std::unique_ptr<TViewTextFileDlg> viewer(
      new TViewTextFileDlg(this, ExtractFilePath(ProgramFileName()) + "QbLog.Log", "LogFile"));
  viewer->btnEmail->SetVisible(true);
  viewer->ShowModal();
  viewer->btnEmail->SetVisible(false);
}

}  // namespace morvane
