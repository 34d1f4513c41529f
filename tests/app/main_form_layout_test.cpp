// The main window as built: every named control is there with its window,
// name property and own fixed id; the menus carry their captions and fixed
// command ids; the window looks right on screen.
// ctest: desktop
// ctest: lock=registry_qbmorvane
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "dialog_snap.h"
#include "main_form_fixture.h"
#include "platform/control_ids.h"
#include "platform/ui/automation.h"

namespace morvane {
namespace {

const char* const kNamedControls[] = {
    "tb", "sb", "TopSearchPanel", "CloseLbl", "EdtItemToSearch", "BtnSearch", "btnClearSearch", "chkCaseSensitive",
    "SearchOptionsGropuBox", "chkFileNames", "chkCookieNames", "chkCookieValues", "chkURLs", "lblSearchStatus",
    "lbldomain", "HiddenLbl", "BrowsersPageControl", "IETabSheet", "NetscapeTabSheet", "OperaTabSheet",
    "EmptyTabSheet", "IETabControl", "lblIESearchInProgress1", "CboIECookieFolders", "chkIECookiesSearch",
    "pnlIEAdvancedSearch", "panelIESearchLeft", "lblIECookiesSearchClose", "cboLocalIEDrives",
    "btnIEBrowseForFolder", "btnIECookiesSearch", "lblIESearching", "lblIEFound", "btnIEFoundInfo",
    "IEViewableElementsPageControl", "IECookiesTabSheet", "IEBlockedDomainsTabSheet", "IEHistoryTabSheet",
    "IECookiesElTree", "ElTreeDomains", "ElTreeHistoryFiles", "lblHistoryFile", "pgHistory", "TabSheet1",
    "TabSheet2", "ElTreeHistory", "QBBinaryFileListView1", "NetscapeTabControl", "lblProfile",
    "cboMozillaProfiles", "chkMozillaCookiesSearch", "cboLocalDrives", "lblMozillaFound",
    "NetscapeViewableElementsPageControl", "NetscapeCookiesTabSheet", "NetscapeBlockedDomainsTabSheet",
    "MozillaCookiesElTree", "ElTreeMozillaDomains", "OperaPageControl", "OperaCookiesTabSheet",
    "OperaBlockedDomainsTabSheet", "OperaCookiesElTree", "EltreeOperaDomains"};

TEST(MainFormLayout, EveryNamedControlHasItsWindowNameAndOwnId) {
  test::TMainFormFixture app({.FormCreate = false, .Show = true});
  HWND root = app->Handle();
  std::set<int> ids;
  for (const char* name : kNamedControls) {
    auto* c = dynamic_cast<TWinControl*>(app->FindNamedControl(name));
    ASSERT_NE(c, nullptr) << name;
    HWND w = c->Handle();
    EXPECT_EQ(WindowName(w), name);
    EXPECT_EQ(FindNamedWindow(root, name), w) << name;
    const int id = GetDlgCtrlID(w);
    EXPECT_GE(id, ids::kMainFrm) << name;
    EXPECT_LT(id, ids::kMainFrm + 300) << name;
    EXPECT_TRUE(ids.insert(id).second) << name << " shares id " << id;
  }
  for (const char* name : {"IECheck", "NetscapeCheck", "FireFoxCheck", "OperaCheck", "ToolBtnSearch"})
    EXPECT_NE(app->FindNamedControl(name), nullptr) << name;
}

TEST(MainFormLayout, MenusCarryTheirCaptionsAndCommandIds) {
  test::TMainFormFixture app({.FormCreate = false});
  const char* const grid[] = {"&New",
                              "&Edit",
                              "&Delete",
                              "-",
                              "Block cookies from selected domains",
                              "-",
                              "&Select all",
                              "Deselect &all",
                              "-",
                              "Sa&ve as...",
                              "Save selec&tion as...",
                              "&Copy selection to the clipboard",
                              "-",
                              "&Open in the browser"};
  TMenuItem* popup = app->GridMenu->Items();
  ASSERT_EQ(app->mnuEdit->Count(), 14);
  ASSERT_EQ(popup->Count(), 14);
  for (int i = 0; i < 14; ++i) {
    EXPECT_EQ(app->mnuEdit->Items(i)->Caption(), grid[i]) << i;
    EXPECT_EQ(popup->Items(i)->Caption(), grid[i]) << i;
    if (popup->Items(i)->IsLine()) continue;
    EXPECT_EQ(TMenuItem::FindByCommand(ids::kMnuEditItems + i), app->mnuEdit->Items(i));
    EXPECT_EQ(TMenuItem::FindByCommand(ids::kGridMenuItems + i), popup->Items(i));
  }
  struct Case {
    int id;
    TMenuItem* item;
    const char* caption;
  };
  const Case cases[] = {
      {ids::kMnuFile, app->mnuFile, "&File"},
      {ids::kMnuSaveAs, app->mnuSaveAs, "Sa&ve as..."},
      {ids::kMnuSaveSelectedAs, app->mnuSaveSelectedAs, "Save selec&tion as..."},
      {ids::kMnuExit, app->Exit1, "E&xit"},
      {ids::kMnuView, app->mnuView, "&View"},
      {ids::kMnuToolbar, app->Toolbar1, "&Toolbar"},
      {ids::kMnuStatusbar, app->StatusBar1, "&Statusbar"},
      {ids::kMnuSearch, app->mnuSearch, "&Search..."},
      {ids::kMnuRefresh, app->Refresh1, "&Refresh"},
      {ids::kMnuIECookies, app->mnuIECookies, "&IE Cookies"},
      {ids::kMnuMozilla, app->mnuMozilla, "&Netscape/Mozilla"},
      {ids::kMnuFireFox, app->mnuFireFox, "&FireFox"},
      {ids::kMnuOpera, app->mnuOpera, "&Opera"},
      {ids::kMnuTools, app->mnuTools, "&Tools"},
      {ids::kMnuSettings, app->mnuSettings, "S&ettings..."},
      {ids::kMnuViewLogFile, app->ViewLogFile1, "&View Log File..."},
      {ids::kMnuHelp, app->mnuHelp, "&Help"},
      {ids::kMnuMorvaneHelp, app->MorvaneHelp1, "Morvane Help"},
      {ids::kMnuAbout, app->About1, "&About Morvane..."},
      {ids::kMnuRename, app->Rename1, "&Rename"},
      {ids::kMnuViewHistoryObject, app->ViewHistoryObject1, "V&iew history object"},
      {ids::kMnuHistorySelectAll, app->Selectall4, "&Select all"},
      {ids::kMnuHistoryDeselectAll, app->DeselectAll1, "Deselect &all"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.item->Caption(), c.caption);
    EXPECT_EQ(TMenuItem::FindByCommand(c.id), c.item) << c.caption;
  }
  EXPECT_EQ(app->Menu(), app->MainMenu1);
  EXPECT_EQ(app->CboIECookieFolders->PopupMenu(), app->mnuProfileRename);
  EXPECT_EQ(app->ElTreeHistory->PopupMenu(), app->HistoryMenu);
  for (TElTreeWindow* g : {app->IECookiesElTree, app->ElTreeDomains, app->MozillaCookiesElTree,
                           app->ElTreeMozillaDomains, app->OperaCookiesElTree, app->EltreeOperaDomains})
    EXPECT_EQ(g->PopupMenu(), app->GridMenu) << g->Name();
}

// The pieces stack without overlapping: tool bar, (search panel,) pages,
// status bar; inside the IE page the element buttons sit above the grid.
TEST(MainFormLayout, PiecesStackWithoutOverlap) {
  test::TMainFormFixture app({.FormCreate = false, .Show = true});
  auto screenRect = [](TWinControl* c) {
    RECT r{};
    GetWindowRect(c->Handle(), &r);
    return r;
  };
  for (bool search : {false, true}) {
    app->TopSearchPanel->SetVisible(search);
    Application->ProcessMessages();
    const RECT tool = screenRect(app->tb), pages = screenRect(app->BrowsersPageControl),
               status = screenRect(app->sb);
    EXPECT_GT(tool.bottom - tool.top, 16) << "the tool bar shows its captions";
    int below = tool.bottom;
    if (search) {
      const RECT panel = screenRect(app->TopSearchPanel);
      EXPECT_GE(panel.top, tool.bottom);
      below = panel.bottom;
    }
    EXPECT_GE(pages.top, below);
    EXPECT_LE(pages.bottom, status.top);
    const RECT tabs = screenRect(app->IETabControl), grid = screenRect(app->IECookiesElTree);
    EXPECT_LE(tabs.bottom, grid.top);
    EXPECT_GT(grid.bottom - grid.top, 200);
    test::SnapWindow(app->Handle(), search ? "main_form_search_panel" : "main_form_layout");
  }
}

}  // namespace
}  // namespace morvane
