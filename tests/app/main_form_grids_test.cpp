// The main window's grids: column sets and font sizes, the header click with
// its sort memory and the indexes outside the header, the restored sort, text
// fitting, the tool-bar state per view kind, the grid menus' captions, the
// selection text and the view kind of the history entries.
// ctest: desktop
// ctest: lock=registry_qbmorvane
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "main_form_fixture.h"
#include "platform/control_ids.h"
#include "platform/core/sysutils.h"
#include "treeview/eltree_input.h"

namespace morvane {
namespace {

std::vector<std::string> Captions(TElTreeWindow* g) {
  std::vector<std::string> out;
  TElHeaderSections& s = g->Tree().HeaderSections();
  for (int i = 0; i < s.Count(); ++i) out.push_back(WideToAnsi(s.GetSection(i)->Text()));
  return out;
}

void Load(TElTreeWindow* g, const std::vector<std::string>& Lines) {
  TStringList l;
  for (const std::string& s : Lines) l.Add(s);
  g->Tree().Items().BeginUpdate();
  g->Tree().Items().LoadFromStrings(l);
  g->Tree().Items().EndUpdate();
}

std::vector<std::string> Column(TElTreeWindow* g, int Section) {
  std::vector<std::string> out;
  for (int i = 0; i < g->Tree().Items().Count(); ++i)
    out.push_back(WideToAnsi(g->Tree().CellText(g->Tree().Items().Item(i), Section)));
  return out;
}

// A click on the section's header cell, as the mouse makes it.
void ClickHeader(TElTreeWindow* g, int Section) {
  TElHeaderSection* s = g->Tree().HeaderSections().GetSection(Section);
  HWND header = g->Header()->Handle();
  const LPARAM at = MAKELPARAM(s->Left() + 6, 6);
  SendMessageA(header, WM_LBUTTONDOWN, MK_LBUTTON, at);
  SendMessageA(header, WM_LBUTTONUP, 0, at);
}

std::string Stored(TMainFrm& f, const std::string& Name) {
  std::string v;
  f.Properties->GetProperty(Name, v);
  return v;
}

TEST(MainFormGrids, ColumnSetsAndFontSizes) {
  for (auto [stored, size] : {std::pair{"3", 6}, {"40", 18}, {"abc", 8}, {"12", 12}}) {
    test::TMainFormFixture app({.Properties = {{"FontSize", stored}}});
    for (TElTreeWindow* g : app->Grids) EXPECT_EQ(g->Font()->Size(), size) << stored << " " << g->Name();
  }
  test::TMainFormFixture app({.FormCreate = false});
  using V = std::vector<std::string>;
  EXPECT_EQ(Captions(app->IECookiesElTree),
            (V{"Row Number", "File Name", "Cookie Name", "Cookie Value", "Cookie Domain", "Secure", "HttpOnly",
               "Created Date", "Expitration Date", "Last Modified Date"}));
  EXPECT_EQ(Captions(app->ElTreeDomains), (V{"Row Number", "Cookie Domain", "Value"}));
  EXPECT_EQ(Captions(app->ElTreeHistory), (V{"Row Number", "URL", "Create Date", "Save Date"}));
  EXPECT_EQ(Captions(app->MozillaCookiesElTree), (V{"Row Number", "Cookie Name", "Cookie Value", "Cookie Domain",
                                                    "Expitration Date", "Secure", "Subdomains"}));
  EXPECT_EQ(Captions(app->ElTreeMozillaDomains),
            (V{"Row Number", "Cookie Domain", "Block Cookies", "Block Images", "Block Ads", "Block Installs"}));
  EXPECT_EQ(Captions(app->OperaCookiesElTree), (V{"Row Number", "Cookie Name", "Cookie Value", "Cookie Domain",
                                                  "Expitration Date", "Last Time Used", "Secure", "Subdomains"}));
  EXPECT_TRUE(Captions(app->EltreeOperaDomains).empty());
  EXPECT_FALSE(app->ElTreeMozillaDomains->Tree().HeaderSections().GetSection(5)->OwnVisible());
  // Setting the grids up again (the settings dialog's apply) gives the same sets.
  app->SetupGrids();
  EXPECT_EQ(Captions(app->ElTreeDomains), (V{"Row Number", "Cookie Domain", "Value"}));
  TElHeaderSection* number = app->IECookiesElTree->Tree().HeaderSections().GetSection(0);
  EXPECT_EQ(number->Style(), ElhsOwnerDraw);
  EXPECT_GT(number->Width(), 10);
}

TEST(MainFormGrids, HeaderClickAlternatesAndRemembers) {
  test::TMainFormFixture app({.Show = true});
  app->BrowserCheckClick(app->OperaCheck);
  Application->ProcessMessages();
  TElTreeWindow* g = app->OperaCookiesElTree;
  Load(g, {"1\tb\t2", "1\tc\t1", "1\ta\t3"});
  ClickHeader(g, 1);
  const int first = g->Tree().SortDir;
  const std::vector<std::string> once = Column(g, 1);
  ClickHeader(g, 1);
  EXPECT_NE(g->Tree().SortDir, first) << "a second click turns the direction";
  const std::vector<std::string> asc{"a", "b", "c"}, desc{"c", "b", "a"};
  EXPECT_EQ(once, first == sdAscend ? asc : desc);
  EXPECT_EQ(Column(g, 1), first == sdAscend ? desc : asc);
  EXPECT_EQ(app->OperaCookiesTabSheet->Tag(), 1);
  EXPECT_EQ(Stored(app.Form(), "OperaCookiesElTree-SortColumn"), "1");
  EXPECT_EQ(Stored(app.Form(), "OperaCookiesElTree-SortDir"), g->Tree().SortDir == sdDescend ? "Descending" : "Ascending");

  // The row-number column is remembered and sorts nothing.
  ClickHeader(g, 0);
  EXPECT_EQ(app->OperaCookiesTabSheet->Tag(), 0);
  EXPECT_EQ(Column(g, 1), first == sdAscend ? desc : asc);
}

TEST(MainFormGrids, IndexesOutsideTheHeaderAreOnlyRemembered) {
  test::TMainFormFixture app;
  TElTreeWindow* g = app->OperaCookiesElTree;
  Load(g, {"1\tb", "1\ta"});
  const TSortDirs dir = g->Tree().SortDir;
  const std::string column = Stored(app.Form(), "OperaCookiesElTree-SortColumn");
  struct Case {
    TElTreeWindow* grid;
    int index;
    int tag;
  };
  const int last = g->Tree().HeaderSections().Count() - 1;
  for (const Case& c : {Case{g, 99, last}, Case{g, -1, 0}, Case{app->EltreeOperaDomains, 1, 0},
                        Case{app->EltreeOperaDomains, -1, 0}}) {
    EXPECT_NO_THROW(app->IECookiesElTreeHeaderColumnClick(&c.grid->Tree(), c.index)) << c.index;
    EXPECT_EQ(app->GridTabSheet(c.grid)->Tag(), c.tag) << c.grid->Name() << " " << c.index;
  }
  EXPECT_EQ(g->Tree().SortDir, dir);
  EXPECT_EQ(Column(g, 1), (std::vector<std::string>{"b", "a"}));
  EXPECT_EQ(Stored(app.Form(), "OperaCookiesElTree-SortColumn"), column);
  EXPECT_NO_THROW(app->RestoreSort(app->EltreeOperaDomains));
}

TEST(MainFormGrids, RestoreSortTakesTheStoredColumnAndDirection) {
  test::TMainFormFixture app;
  TElTreeWindow* g = app->OperaCookiesElTree;
  Load(g, {"1\tx\tb", "1\ty\tc", "1\tz\ta"});
  struct Case {
    const char* dir;
    const char* column;
    TSortDirs sorted;
    int tag;
    std::vector<std::string> values;
  };
  const Case cases[] = {
      {"Descending", "2", sdDescend, 2, {"c", "b", "a"}},
      {"Ascending", "2", sdAscend, 2, {"a", "b", "c"}},
      {"", "junk", sdAscend, 1, {"x", "y", "z"}},
      {"Dx", "99", sdDescend, 7, {}},
  };
  for (const Case& c : cases) {
    app->Properties->SetProperty("OperaCookiesElTree-SortDir", c.dir);
    app->Properties->SetProperty("OperaCookiesElTree-SortColumn", c.column);
    app->RestoreSort(g);
    EXPECT_EQ(g->Tree().SortDir, c.sorted) << c.dir << " " << c.column;
    EXPECT_EQ(app->OperaCookiesTabSheet->Tag(), c.tag) << c.column;
    if (!c.values.empty()) {
      EXPECT_EQ(Column(g, c.tag), c.values) << c.dir << " " << c.column;
    }
  }
}

TEST(MainFormGrids, FitTextToWidth) {
  test::TMainFormFixture app({.FormCreate = false});
  TCanvas canvas;
  HDC dc = CreateCompatibleDC(nullptr);
  canvas.SetHandle(dc);
  const int dots = canvas.TextExtentW(L"...").cx;
  const int word = canvas.TextExtentW(L"cookie").cx;
  struct Case {
    std::wstring text;
    int width;
  };
  for (const Case& c : {Case{L"cookie", word + 1}, Case{L"cookie value", word}, Case{L"cookie", dots + 2},
                        Case{L"cookie", dots - 1}, Case{L"cookie", 1}, Case{L"", 0}}) {
    std::wstring fitted;
    app->FitTextToWidth(c.text, c.width, fitted, &canvas);
    const bool fits = canvas.TextExtentW(c.text).cx < c.width;
    if (fits) {
      EXPECT_EQ(fitted, c.text);
    } else {
      EXPECT_TRUE(fitted.empty() || canvas.TextExtentW(fitted).cx < c.width) << c.width;
      if (c.width > dots) {
        EXPECT_EQ(fitted.substr(fitted.size() - 3), L"...") << c.width;
      }
      if (!fitted.empty() && c.width <= dots) {
        EXPECT_EQ(fitted.find_first_not_of(L'.'), std::wstring::npos) << c.width;
      }
    }
  }
  canvas.SetHandle(nullptr);
  DeleteDC(dc);
}

TEST(MainFormGrids, ToolBarStateFollowsViewKindAndRows) {
  test::TMainFormFixture app({.FormCreate = false});
  struct Case {
    TTabSheet* browser;
    TPageControl* pages;
    TTabSheet* page;
    uint8_t kind;
    bool newOn;  // with rows
    bool editOn;
  };
  const Case cases[] = {
      {app->IETabSheet, app->IEViewableElementsPageControl, app->IECookiesTabSheet, 1, false, true},
      {app->IETabSheet, app->IEViewableElementsPageControl, app->IEBlockedDomainsTabSheet, 2, true, true},
      {app->IETabSheet, app->IEViewableElementsPageControl, app->IEHistoryTabSheet, 3, false, false},
      {app->NetscapeTabSheet, app->NetscapeViewableElementsPageControl, app->NetscapeCookiesTabSheet, 5, true, true},
      {app->NetscapeTabSheet, app->NetscapeViewableElementsPageControl, app->NetscapeBlockedDomainsTabSheet, 6,
       true, true},
      {app->OperaTabSheet, app->OperaPageControl, app->OperaCookiesTabSheet, 7, false, true},
      {app->OperaTabSheet, app->OperaPageControl, app->OperaBlockedDomainsTabSheet, 8, false, true},
  };
  for (const Case& c : cases) {
    app->BrowsersPageControl->SetActivePage(c.browser);
    c.pages->SetActivePage(c.page);
    ASSERT_EQ(app->GetViewKind(), c.kind);
    for (bool rows : {true, false}) {
      app->UpdateToolbarState(rows);
      EXPECT_EQ(app->ToolButtonNew->Enabled(), c.newOn) << int(c.kind);
      EXPECT_EQ(app->ToolButtonNew->Marked(), !c.newOn) << int(c.kind);
      EXPECT_EQ(app->ToolButtonEdit->Enabled(), rows && c.editOn) << int(c.kind) << rows;
      EXPECT_EQ(app->ToolButtonDelete->Enabled(), rows) << int(c.kind);
      EXPECT_EQ(app->ToolButtonSave->Marked(), !rows) << int(c.kind);
    }
  }
  app->BrowsersPageControl->SetActivePage(app->EmptyTabSheet);
  EXPECT_EQ(app->GetViewKind(), 0);
  EXPECT_EQ(app->GetActiveGrid(), nullptr);
}

// The history entries are view kind 4 while they hold the focus.
TEST(MainFormGrids, HistoryEntriesAreKindFourWhileFocused) {
  test::TMainFormFixture app({.FormCreate = false, .Show = true});
  app->IEViewableElementsPageControl->SetActivePage(app->IEHistoryTabSheet);
  Application->ProcessMessages();
  app->ElTreeHistory->SetFocus();
  EXPECT_EQ(app->GetViewKind(), 4);
  EXPECT_EQ(app->GetActiveGrid(), app->ElTreeHistory);
  app->ElTreeHistoryFiles->SetFocus();
  EXPECT_EQ(app->GetViewKind(), 3);
  EXPECT_EQ(app->GetActiveGrid(), app->ElTreeHistoryFiles);
}

// The captions of a composed menu: "~" before a disabled item, "hidden"
// for one not shown.
std::vector<std::string> MenuCaptions(TMenuItem* Menu) {
  std::vector<std::string> seen;
  for (int i = 0; i < Menu->Count(); ++i) {
    TMenuItem* m = Menu->Items(i);
    seen.push_back(m->Visible() ? (m->Enabled() ? "" : "~") + m->Caption() : std::string("hidden"));
  }
  return seen;
}

TEST(MainFormGrids, GridMenusNameWhatTheySelect) {
  test::TMainFormFixture app({.Show = true});
  TMenuItem* menu = app->GridMenu->Items();
  TElTreeWindow* g = app->OperaCookiesElTree;
  Load(g, {"1\tsid\tv1\twww.example.com/a", "1\tpref\tv2\t.shop.test/"});
  TElTree& t = g->Tree();
  t.DeselectAll();
  app->ComposeCookiesMenu(menu, g);
  std::vector<std::string> none = MenuCaptions(menu);
  ASSERT_EQ(none.size(), 14u);
  EXPECT_EQ(none[1], "~&Edit ");
  EXPECT_EQ(none[2], "~&Delete");
  EXPECT_EQ(none[13], "~&Open in the browser");
  EXPECT_EQ(none[0], "&New");
  t.Items().Item(0)->SetSelected(true);
  app->ComposeCookiesMenu(menu, g);
  std::vector<std::string> one = MenuCaptions(menu);
  EXPECT_EQ(one[1], "&Edit cookie: 'sid'");
  EXPECT_EQ(one[2], "&Delete selected cookie: 'sid'");
  EXPECT_EQ(one[4], "Block cookies from 'example.com' domain");
  EXPECT_EQ(one[13], "&Open 'www.example.com/a' in the browser");
  t.Items().Item(1)->SetSelected(true);
  app->ComposeCookiesMenu(app->mnuEdit, g);
  std::vector<std::string> two = MenuCaptions(app->mnuEdit);
  EXPECT_EQ(two[2], "&Delete all selected cookies (Total: 2 cookies)");
  EXPECT_EQ(menu->Items(4)->Caption(), "Block cookies from selected domains");

  // Without rows or a cookie folder the IE cookie menu shows nothing.
  app->CookieInfo.reset();
  Load(app->IECookiesElTree, {});
  app->ComposeCookiesMenu(menu, app->IECookiesElTree);
  for (const std::string& c : MenuCaptions(menu)) EXPECT_EQ(c, "hidden");

  Load(app->ElTreeDomains, {"1\tads.test\tBlock", "1\tnews.test\tAllow"});
  app->ElTreeDomains->Tree().Items().Item(1)->SetSelected(true);
  app->ComposeDomainsMenu(menu, app->ElTreeDomains);
  std::vector<std::string> domain = MenuCaptions(menu);
  EXPECT_EQ(domain[1], "&Edit domain: 'news.test'");
  EXPECT_EQ(domain[2], "&Delete selected item: 'news.test'");
  EXPECT_EQ(domain[13], "&Open 'news.test' in the browser");
  EXPECT_EQ(domain[4], "hidden");
  EXPECT_EQ(domain[3], "hidden");

  Load(app->ElTreeHistoryFiles, {"1\tC:\\h1\\", "2\tC:\\h2\\"});
  app->ElTreeHistoryFiles->Tree().SelectAll();
  app->ComposeHistoryFilesMenu(menu, app->ElTreeHistoryFiles);
  std::vector<std::string> files = MenuCaptions(menu);
  EXPECT_EQ(files[0], "hidden");
  EXPECT_EQ(files[1], "hidden");
  EXPECT_EQ(files[2], "&Delete all selected history files (Total: 2 files)");
  EXPECT_EQ(files[13], "hidden");
  EXPECT_NE(files[9], "hidden");
  app->ElTreeHistoryFiles->Tree().DeselectAll();
  app->ComposeHistoryFilesMenu(menu, app->ElTreeHistoryFiles);
  EXPECT_EQ(MenuCaptions(menu)[2], "hidden");
}

TEST(MainFormGrids, SelectionShowsItsCountAndSelectAllWorksOnTheActiveGrid) {
  test::TMainFormFixture app({.Show = true});
  Load(app->IECookiesElTree, {"1\ta", "1\tb", "1\tc"});
  app->SelectAll2Click(nullptr);
  EXPECT_EQ(app->IECookiesElTree->Tree().GetSelectedCount(), 3);
  EXPECT_EQ(app->sb->Panels(2)->Text(), "Selected: 3");
  app->UnselectAll1Click(nullptr);
  EXPECT_EQ(app->sb->Panels(2)->Text(), "Selected: 0");
  app->RestoreGridPosition(app->IECookiesElTree, 7, 0);
  EXPECT_EQ(app->GetSelectedItem(app->IECookiesElTree), app->IECookiesElTree->Tree().Items().Item(2));
  app->RestoreGridPosition(app->IECookiesElTree, -1, 0);
  EXPECT_EQ(app->GetSelectedItem(app->IECookiesElTree), app->IECookiesElTree->Tree().Items().Item(0));
}

// Counts the texts the status bar is given for its selection panel: each
// one repaints the bar at once.
struct TSelectionTexts {
  TControl* bar;
  TWndMethod saved;
  int count = 0;
  explicit TSelectionTexts(TControl* Bar) : bar(Bar), saved(Bar->WindowProc()) {
    bar->SetWindowProc(TWndMethod(this, &TSelectionTexts::Hook));
  }
  ~TSelectionTexts() { bar->SetWindowProc(saved); }
  void Hook(TMessage& m) {
    if (m.Msg == SB_SETTEXTA && LOBYTE(m.WParam) == 2) ++count;
    saved(m);
  }
};

// A key as the grid's view hands it to the rows.
void PressKey(TElTreeWindow* Grid, WORD Key, TShiftState Shift) { Grid->Tree().View().Input().KeyDown(Key, Shift); }

TEST(MainFormGrids, ASelectionOfManyRowsShowsItsCountOnce) {
  // Selecting many rows at once changes each row in turn; the status bar
  // shows the count where it ends, not every count on the way (a repaint per
  // row kept the window from answering for seconds on a long history).
  test::TMainFormFixture app({.Show = true});
  const int rows = 600;
  std::vector<std::string> lines;
  for (int i = 0; i < rows; ++i) lines.push_back(std::to_string(i + 1) + "\thttp://example.test/" + std::to_string(i));
  Load(app->ElTreeHistory, lines);
  Load(app->IECookiesElTree, lines);
  const std::string all = "Selected: " + std::to_string(rows);
  struct TCase {
    const char* what;
    std::function<void()> act;
    std::string text;
    int steps = 1;  // each may show the count once (its text, then the bar laid out again)
  } cases[] = {
      {"history menu: select all", [&] { app->Selectall4Click(nullptr); }, all},
      {"history menu: deselect all", [&] { app->DeselectAll1Click(nullptr); }, "Selected: 0"},
      {"grid menu: select all", [&] { app->SelectAll2Click(nullptr); }, all},
      {"grid menu: deselect all", [&] { app->UnselectAll1Click(nullptr); }, "Selected: 0"},
      {"Down onto the first row, then Shift+End",
       [&] {
         PressKey(app->IECookiesElTree, VK_DOWN, 0);
         PressKey(app->IECookiesElTree, VK_END, ssShift);
       },
       all, 2},
      {"Shift+Home back to the first row",
       [&] { PressKey(app->IECookiesElTree, VK_HOME, ssShift); }, "Selected: 1"},
  };
  for (const TCase& c : cases) {
    TSelectionTexts texts(app->sb);
    c.act();
    EXPECT_EQ(app->sb->Panels(2)->Text(), c.text) << c.what;
    EXPECT_LE(texts.count, 2 * c.steps) << c.what;
  }
}

}  // namespace
}  // namespace morvane
