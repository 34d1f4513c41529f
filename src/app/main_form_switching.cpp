// Choosing what the window shows: the browser buttons and menu items, the
// element tabs, the pages' loaders with their totals in the status bar, the
// Opera loader, the Internet Explorer cookie-folder combo, the history
// page's file list and views, and the status bar's panel widths.
#include <algorithm>
#include <memory>

#include "app/binary_file_list_view.h"
#include "app/main_form.h"
#include "browserdata/ie/cookie_info.h"
#include "browserdata/netscape/mozilla_cookies.h"
#include "browserdata/opera/qb_opera_cookie_info.h"
#include "browserdata/settings/application_defaults.h"
#include "browserdata/settings/persitent_properties.h"
#include "platform/core/datetime.h"
#include "platform/core/sysutils.h"
#include "platform/ui/modal.h"

namespace morvane {

namespace {

int RowCount(TElTreeWindow* Grid) { return Grid->Tree().Items().Count(); }

// A page's grid is filled while the page is still on its way to the screen:
// its rows are painted again once it is there.
void RepaintRows(TElTreeWindow* Grid) {
  if (Grid->HandleAllocated())
    RedrawWindow(Grid->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

}  // namespace

// ---- Browser switch --------------------------------------------------------------

void TMainFrm::BrowserCheckClick(TObject* Sender) {
  auto* button = dynamic_cast<TToolButton*>(Sender);
  if (!button) return;
  if (mnuSearch->Checked()) mnuSearchClick(nullptr);
  // The Netscape page serves two stores: its element page reloads unless
  // showing the page just did that by itself.
  auto showNetscape = [this](uint8_t Kind, TMenuItem* Item, QbMozillaCookiesClass* Store, bool& Shown) {
    ToolButtonNew->SetEnabled(true);
    BrowserKind = Kind;
    Item->SetChecked(true);
    ActiveStore = Store;
    BrowsersPageControl->SetActivePage(NetscapeTabSheet);
    if (!Shown) {
      TTabSheet* page = NetscapeViewableElementsPageControl->ActivePage();
      if (page && page->OnShow) page->OnShow(page);
    }
    Shown = false;
  };
  if (button == FireFoxCheck) {
    showNetscape(1, mnuFireFox, FirefoxStore.get(), FirefoxPageShown);
  } else if (button == NetscapeCheck) {
    showNetscape(0, mnuMozilla, NetscapeStore.get(), NetscapePageShown);
  } else if (button == OperaCheck) {
    ToolButtonNew->SetEnabled(false);
    mnuOpera->SetChecked(true);
    BrowserKind = 3;
    BrowsersPageControl->SetActivePage(OperaTabSheet);
  } else if (button == IECheck) {
    mnuIECookies->SetChecked(true);
    BrowserKind = 2;
    BrowsersPageControl->SetActivePage(IETabSheet);
    ToolButtonNew->SetEnabled(IEViewableElementsPageControl->ActivePage() == IEBlockedDomainsTabSheet);
  }
  for (TToolButton* b : {IECheck, NetscapeCheck, FireFoxCheck, OperaCheck}) b->SetDown(b == button);
  SetCaption(ProgramTitle() + " 1.9 - " + button->Caption());
}

void TMainFrm::mnuIECookiesClick(TObject* /*Sender*/) { BrowserCheckClick(IECheck); }
void TMainFrm::mnuMozillaClick(TObject* /*Sender*/) { BrowserCheckClick(NetscapeCheck); }
void TMainFrm::mnuFireFoxClick(TObject* /*Sender*/) { BrowserCheckClick(FireFoxCheck); }
void TMainFrm::mnuOperaClick(TObject* /*Sender*/) { BrowserCheckClick(OperaCheck); }

// ---- Element tabs ----------------------------------------------------------------

void TMainFrm::IETabControlChange(TObject* Sender) {
  auto* tabs = dynamic_cast<TTabControl*>(Sender);
  if (!tabs) return;
  ToolButtonEdit->SetVisible(true);
  const int tab = tabs->TabIndex();
  if (tabs == IETabControl) {
    switch (tab) {
      case 0:
        ToolButtonNew->SetEnabled(false);
        IEViewableElementsPageControl->SetActivePage(IECookiesTabSheet);
        break;
      case 1:
        ToolButtonNew->SetEnabled(true);
        IEViewableElementsPageControl->SetActivePage(IEBlockedDomainsTabSheet);
        break;
      case 2:
        ToolButtonEdit->SetEnabled(false);
        IEViewableElementsPageControl->SetActivePage(IEHistoryTabSheet);
        break;
      default: break;
    }
  } else if (tabs == NetscapeTabControl) {
    ToolButtonNew->SetEnabled(true);
    if (tab == 0) NetscapeViewableElementsPageControl->SetActivePage(NetscapeCookiesTabSheet);
    if (tab == 1) NetscapeViewableElementsPageControl->SetActivePage(NetscapeBlockedDomainsTabSheet);
  }
  chkFileNames->SetVisible(GetViewKind() == 1);
  SearchOptionsGropuBox->SetVisible(tab == 0);
  chkCaseSensitive->SetVisible(tab == 0);
  lbldomain->SetVisible(tab == 1);
  ListViewsPageControlChange(nullptr);
}

// ---- Element page loaders --------------------------------------------------------

namespace {

void SetTotals(TStatusBar* Bar, const std::string& Panel0, const std::string& Panel1) {
  Bar->Panels(0)->SetText(Panel0);
  Bar->Panels(1)->SetText(Panel1);
}

}  // namespace

void TMainFrm::IECookiesTabSheetShow(TObject* /*Sender*/) {
  SearchOptionsGropuBox->SetVisible(true);
  ReloadIECookies();
  SetTotals(sb, "Total Files: " + IntToStr(CookieInfo ? CookieInfo->GetFileCount() : 0),
            "Total Cookies: " + IntToStr(RowCount(IECookiesElTree)));
  sbResize(sb);
}

void TMainFrm::IEBlockedDomainsTabSheetShow(TObject* /*Sender*/) {
  SearchOptionsGropuBox->SetVisible(false);
  LoadIEBlockedDomains();
  SetTotals(sb, "", "Total Domains: " + IntToStr(RowCount(ElTreeDomains)));
  sbResize(sb);
}

void TMainFrm::IEHistoryTabSheetShow(TObject* /*Sender*/) {
  SearchOptionsGropuBox->SetVisible(true);
  LoadIEHistory();
  SetTotals(sb, "Total Files: " + IntToStr(RowCount(ElTreeHistoryFiles)), "");
  sbResize(sb);
}

void TMainFrm::NetscapeCookiesTabSheetShow(TObject* /*Sender*/) {
  SearchOptionsGropuBox->SetVisible(true);
  LoadMozillaCookies();
  SetTotals(sb, "", "Total Cookies: " + IntToStr(RowCount(MozillaCookiesElTree)));
  sb->Panels(2)->SetText("");
  if (BrowserKind == 1)
    FirefoxPageShown = true;
  else
    NetscapePageShown = true;
  RepaintRows(MozillaCookiesElTree);
  sbResize(sb);
}

void TMainFrm::NetscapeBlockedDomainsTabSheetShow(TObject* /*Sender*/) {
  LoadMozillaBlockedDomains();
  SearchOptionsGropuBox->SetVisible(false);
  SetTotals(sb, "", "Total Domains: " + IntToStr(RowCount(ElTreeMozillaDomains)));
  sb->Panels(2)->SetText("");
  RepaintRows(ElTreeMozillaDomains);
  sbResize(sb);
}

void TMainFrm::OperaCookiesTabSheetShow(TObject* /*Sender*/) {
  LoadOperaCookies();
  // The tool buttons follow these rows, not the page shown before.
  FocusActiveGridRow();
  SetTotals(sb, "", "Total Cookies: " + IntToStr(RowCount(OperaCookiesElTree)));
  RepaintRows(OperaCookiesElTree);
  sbResize(sb);
}

void TMainFrm::OperaBlockedDomainsTabSheetShow(TObject* /*Sender*/) {
  FocusActiveGridRow();
  SetTotals(sb, "", "Total Domains: " + IntToStr(RowCount(EltreeOperaDomains)));
  RepaintRows(EltreeOperaDomains);
  sbResize(sb);
}

// The Opera grid's "Subdomains" cell tells whether the cookie also goes to
// the subdomains of the host that set it: the file marks the cookies that go
// back only to that server with the flag 0x801B.
void TMainFrm::LoadOperaCookies() {
  // The previous store goes first; a store that cannot be made leaves
  // nothing behind to delete from, so its grid is emptied.
  OperaStore.reset();
  try {
    OperaStore = std::make_unique<QbOperaCookieInfo>();
  } catch (...) {
    OperaStore.reset();
  }
  TElTreeItems& items = OperaCookiesElTree->Tree().Items();
  if (!OperaStore) {
    items.BeginUpdate();
    items.Clear();
    items.EndUpdate();
    return;
  }
  TStringList lines;
  OperaStore->First();
  std::string node;
  for (TOperaCookieNode* n = OperaStore->Next(); n; n = OperaStore->Next()) {
    if (n->Cookies.empty()) continue;
    OperaStore->GetNodeName(node);
    for (const auto& c : n->Cookies) {
      const std::string lastUsed = c->LastUsed > UnixDateDelta ? DateTimeToStr(c->LastUsed) : "-";
      lines.Add("1\t" + c->Name + "\t" + c->Value + "\t" + node + "\t" + DateTimeToStr(c->Expires) + "\t" +
                lastUsed + "\t" + (c->Flag8019 ? "Yes" : "No") + "\t" + (c->Flag801B ? "No" : "Yes"));
    }
  }
  items.LoadFromStrings(lines);
  // The rows follow the grid's remembered sort, as on the other pages.
  RestoreSort(OperaCookiesElTree);
}

// ---- Internet Explorer cookie folders --------------------------------------------

void TMainFrm::CboIECookieFoldersClick(TObject* /*Sender*/) {
  try {
    // Cleared before anything can fail, so nothing keeps the freed store.
    CookieInfo.reset();
    const int index = CboIECookieFolders->ItemIndex();
    const tIEProfileInfo* folder = IECookieFolder(index);
    if (!folder) return;
    TMenuItem* rename = mnuProfileRename->Items()->Items(0);
    if (folder->IsManual) {
      rename->SetCaption("Rename Profile '" + CboIECookieFolders->Items()->Strings(index) + "'");
      rename->SetEnabled(true);
    } else {
      rename->SetCaption("Rename Profile ");
      rename->SetEnabled(false);
    }
    CookieInfo = std::make_unique<TCookieInfo>(folder->Folder);
    sb->Panels(4)->SetText(folder->Folder);
    FillIECookieTree();
    FocusActiveGridRow();
  } catch (...) {
  }
}

void TMainFrm::Rename1Click(TObject* /*Sender*/) {
  const int index = CboIECookieFolders->ItemIndex();
  tIEProfileInfo* folder = IECookieFolder(index);
  if (!folder) return;
  const std::string old = CboIECookieFolders->Items()->Strings(index);
  const std::string answer = InputBox("Edit Profile Name", "Profile Name", old);
  // The names are stored as one text whose elements end with the array
  // terminator: a name holding it, or no name, would break the pairing of
  // names and folders.
  if (Trim(answer).empty() || answer.find(TPersitentProperties::kArrayTerminator) != std::string::npos) return;
  CboIECookieFolders->Items()->SetStrings(index, answer);
  folder->UserName = answer;
  CboIECookieFolders->SetItemIndex(index);
  CboIECookieFolders->Invalidate();
}

// ---- History page ----------------------------------------------------------------

namespace {

std::string HistoryFileOf(TElTreeWindow* Files, TElTreeItem* Item) {
  return WideToAnsi(Files->Tree().CellText(Item, 1)) + "index.dat";
}

}  // namespace

void TMainFrm::ElTreeHistoryFilesChanging(TObject* /*Sender*/, TElTreeItem* Item, bool& AllowChange) {
  AllowChange = true;
  if (!Item || pgHistory->ActivePage() != TabSheet2) return;
  const std::string file = HistoryFileOf(ElTreeHistoryFiles, Item);
  try {
    QBBinaryFileListView1->OpenFile(file);
  } catch (...) {
  }
  static_cast<TControl*>(QBBinaryFileListView1)->Repaint();
  sb->Panels(4)->SetText("History File: " + file);
}

void TMainFrm::ElTreeHistoryFilesExit(TObject* /*Sender*/) {
  if (TElTreeItem* item = ElTreeHistoryFiles->Tree().ItemFocused())
    sb->Panels(4)->SetText("History File: " + HistoryFileOf(ElTreeHistoryFiles, item));
}

void TMainFrm::ElTreeHistoryFilesResize(TObject* /*Sender*/) {
  TElHeaderSections& s = ElTreeHistoryFiles->Tree().HeaderSections();
  if (s.Count() < 2) return;
  const RECT r = ElTreeHistoryFiles->ClientRect();
  s.GetSection(1)->SetWidth(std::max(0, static_cast<int>(r.right - r.left) - s.GetSection(0)->Width()));
}

void TMainFrm::pgHistoryChange(TObject* /*Sender*/) {
  bool allow = true;
  ElTreeHistoryFilesChanging(ElTreeHistoryFiles, ElTreeHistoryFiles->Tree().ItemFocused(), allow);
  btnClearSearchClick(nullptr);
}

void TMainFrm::TabSheet1Show(TObject* /*Sender*/) { lbldomain->SetVisible(true); }
void TMainFrm::TabSheet2Show(TObject* /*Sender*/) { lbldomain->SetVisible(false); }

void TMainFrm::Selectall4Click(TObject* /*Sender*/) { ElTreeHistory->Tree().SelectAll(); }
void TMainFrm::DeselectAll1Click(TObject* /*Sender*/) { ElTreeHistory->Tree().DeselectAll(); }

// ---- Netscape profiles and status bar --------------------------------------------

void TMainFrm::cboMozillaProfilesChange(TObject* /*Sender*/) {
  std::string dir;
  if (ActiveStore) {
    try {
      ActiveStore->GetProfileDir(cboMozillaProfiles->ItemIndex(), dir);
    } catch (...) {
      dir.clear();
    }
  }
  cboMozillaProfiles->SetHint(dir);
}

void TMainFrm::sbResize(TObject* /*Sender*/) {
  TCanvas* canvas = sb->Canvas();
  const int border = sb->BorderWidth();
  for (int i = 0; i < 4 && i < sb->PanelCount(); ++i) {
    TStatusPanel* p = sb->Panels(i);
    p->SetWidth(p->Text().empty() ? 0 : canvas->TextWidth("    " + p->Text()) + 2 * border);
  }
}

}  // namespace morvane
