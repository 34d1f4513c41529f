// Browser and page switching: the browser commands with their captions and
// pages, the Netscape page's reload for the store now shown, the element
// tabs, the Opera loader (also without a readable file), the cookie-folder
// combo with its rename, the history views and the status bar's fitting.
// ctest: desktop
// ctest: lock=registry_qbmorvane
// ctest: lock=opera_profile
#include <gtest/gtest.h>

#include <string>

#include "../../tools/fixture-gen/opera_gen.h"
#include "app/binary_file_list_view.h"
#include "browserdata/opera/qb_opera_cookie_info.h"
#include "browserdata/sys/qb_sys_utils.h"
#include "main_form_fixture.h"
#include "platform/control_ids.h"
#include "platform/core/files.h"
#include "platform/core/sysutils.h"
#include "platform/ui/modal.h"
#include "support/test_env.h"

namespace morvane {
namespace {

void Command(TMainFrm& f, int Id) { SendMessageA(f.Handle(), WM_COMMAND, Id, 0); }

TEST(MainFormSwitching, BrowserCommandsShowTheirPagesUnderTheirCaptions) {
  test::TMainFormFixture app({.Show = true});
  struct Case {
    int command;
    TToolButton* button;
    TMenuItem* item;
    TTabSheet* page;
    uint8_t kind;
    const char* caption;
  };
  const Case cases[] = {
      {ids::kMnuFireFox, app->FireFoxCheck, app->mnuFireFox, app->NetscapeTabSheet, 1, "Morvane 1.9 - FireFox"},
      {ids::kMnuOpera, app->OperaCheck, app->mnuOpera, app->OperaTabSheet, 3, "Morvane 1.9 - Opera"},
      {ids::kMnuMozilla, app->NetscapeCheck, app->mnuMozilla, app->NetscapeTabSheet, 0, "Morvane 1.9 - Netscape"},
      {ids::kMnuIECookies, app->IECheck, app->mnuIECookies, app->IETabSheet, 2, "Morvane 1.9 - IE"},
  };
  for (const Case& c : cases) {
    Command(app.Form(), c.command);
    EXPECT_EQ(app->Caption(), c.caption);
    EXPECT_EQ(app->BrowsersPageControl->ActivePage(), c.page) << c.caption;
    EXPECT_EQ(app->BrowserKind, c.kind) << c.caption;
    EXPECT_TRUE(c.item->Checked()) << c.caption;
    for (TToolButton* b : {app->IECheck, app->NetscapeCheck, app->FireFoxCheck, app->OperaCheck})
      EXPECT_EQ(b->Down(), b == c.button) << c.caption << " " << b->Name();
  }
  // Switching with the search panel open closes it.
  app->mnuSearchClick(nullptr);
  if (app->mnuSearch->Checked()) {
    Command(app.Form(), ids::kMnuOpera);
    EXPECT_FALSE(app->mnuSearch->Checked());
    EXPECT_FALSE(app->TopSearchPanel->Visible());
  }
}

TEST(MainFormSwitching, NetscapePageReloadsOnceForTheStoreShown) {
  test::TMainFormFixture app({.Show = true});
  std::vector<uint8_t> loads;
  TNotifyEvent original = app->NetscapeCookiesTabSheet->OnShow;
  app->NetscapeCookiesTabSheet->OnShow = [&](TObject* s) {
    loads.push_back(app->BrowserKind);
    original(s);
  };
  Command(app.Form(), ids::kMnuMozilla);
  EXPECT_EQ(loads, (std::vector<uint8_t>{0})) << "showing the page loads it once";
  loads.clear();
  Command(app.Form(), ids::kMnuFireFox);
  EXPECT_EQ(loads, (std::vector<uint8_t>{1})) << "the page stays: reloaded for Firefox";
  EXPECT_EQ(app->ActiveStore, app->FirefoxStore.get());
  loads.clear();
  Command(app.Form(), ids::kMnuOpera);
  Command(app.Form(), ids::kMnuFireFox);
  EXPECT_EQ(loads, (std::vector<uint8_t>{1})) << "shown again: its own show reloads it, nothing more";
  EXPECT_FALSE(app->FirefoxPageShown);
}

TEST(MainFormSwitching, ElementTabsChooseTheirPages) {
  test::TMainFormFixture app({.Show = true});
  struct Case {
    TTabControl* tabs;
    int tab;
    TPageControl* pages;
    TTabSheet* page;
    bool group;
    bool domainLabel;
  };
  app->IETabControl->SetVisible(true);
  const Case cases[] = {
      {app->IETabControl, 1, app->IEViewableElementsPageControl, app->IEBlockedDomainsTabSheet, false, true},
      {app->IETabControl, 2, app->IEViewableElementsPageControl, app->IEHistoryTabSheet, false, false},
      {app->IETabControl, 0, app->IEViewableElementsPageControl, app->IECookiesTabSheet, true, false},
      {app->NetscapeTabControl, 1, app->NetscapeViewableElementsPageControl, app->NetscapeBlockedDomainsTabSheet,
       false, true},
      {app->NetscapeTabControl, 0, app->NetscapeViewableElementsPageControl, app->NetscapeCookiesTabSheet, true,
       false},
  };
  for (const Case& c : cases) {
    if (c.tabs == app->NetscapeTabControl) Command(app.Form(), ids::kMnuFireFox);
    c.tabs->SetTabIndex(c.tab);
    app->IETabControlChange(c.tabs);
    EXPECT_EQ(c.pages->ActivePage(), c.page) << c.page->Name();
    EXPECT_EQ(app->SearchOptionsGropuBox->Visible(), c.group) << c.page->Name();
    EXPECT_EQ(app->lbldomain->Visible(), c.domainLabel) << c.page->Name();
  }
  EXPECT_FALSE(app->chkFileNames->Visible()) << "file names are searched only on the IE cookies page";
}

// The Opera cookie file of a user whose Opera lives in Folder.
struct TOperaProfile {
  std::string ini;
  explicit TOperaProfile(const std::string& Folder) {
    std::string appData;
    GetSpecialFolderPath(nullptr, csidlAppData, appData);
    std::string dir = appData + "\\Opera";
    CreateDirectoryA(dir.c_str(), nullptr);
    CreateDirectoryA((dir += "\\Opera7").c_str(), nullptr);
    CreateDirectoryA((dir += "\\Profile").c_str(), nullptr);
    ini = dir + "\\opera6.ini";
    const std::string text = "[User Prefs]\r\nOpera Directory=" + Folder + "\r\n";
    HANDLE h = CreateFileA(ini.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD n = 0;
    WriteFile(h, text.data(), static_cast<DWORD>(text.size()), &n, nullptr);
    CloseHandle(h);
  }
  ~TOperaProfile() { DeleteFileA(ini.c_str()); }
};

TEST(MainFormSwitching, OperaPageShowsTheFileAndNothingWhenItCannotBeRead) {
  test::TMainFormFixture app({.Show = true});
  test::TTempDir dir;
  TOperaProfile profile(dir.Path());
  std::vector<fixturegen::TOperaGenDomain> domains;
  fixturegen::TOperaGenCookie used{.Name = "sid", .Value = "1", .Expires = 2000000000, .LastUsed = 1700000000};
  used.Secure = true;
  fixturegen::TOperaGenCookie never{.Name = "pref", .Value = "2", .Expires = 2000000000, .HasLastUsed = false};
  never.ServerOnly = true;
  fixturegen::AddOperaCookie(domains, "www.example.com", "/", used);
  fixturegen::AddOperaCookie(domains, "shop.test", "/cart", never);
  const std::string good = fixturegen::WriteOperaCookies(domains, {});
  dir.Write("cookies4.dat", good);
  Command(app.Form(), ids::kMnuOpera);
  TElTree& t = app->OperaCookiesElTree->Tree();
  EXPECT_NE(app->OperaStore, nullptr);
  EXPECT_EQ(app->sb->Panels(1)->Text(), "Total Cookies: " + IntToStr(t.Items().Count()));
  ASSERT_EQ(t.Items().Count(), 2);
  for (int i = 0; i < 2; ++i) {
    TElTreeItem* row = t.Items().Item(i);
    EXPECT_EQ(row->ColumnTexts()->Count(), 7) << "seven cells behind the row number";
    const bool isNever = WideToAnsi(t.CellText(row, 1)) == "pref";
    EXPECT_EQ(WideToAnsi(t.CellText(row, 3)), isNever ? ".shop.test/cart" : ".www.example.com");
    EXPECT_EQ(WideToAnsi(t.CellText(row, 5)) == "-", isNever) << "never used";
    EXPECT_EQ(WideToAnsi(t.CellText(row, 6)), isNever ? "No" : "Yes") << "secure";
    EXPECT_EQ(WideToAnsi(t.CellText(row, 7)), isNever ? "No" : "Yes") << "sent to subdomains";
  }

  // The tool buttons follow the Opera rows, whatever the page before had.
  EXPECT_TRUE(app->ToolButtonDelete->Enabled());
  EXPECT_TRUE(app->ToolButtonSave->Enabled());

  // A file that ends inside a record: the store is gone and so are the rows.
  dir.Write("cookies4.dat", good.substr(0, good.find("pref") + 2));
  Command(app.Form(), ids::kMnuIECookies);
  Command(app.Form(), ids::kMnuOpera);
  EXPECT_EQ(app->OperaStore, nullptr);
  EXPECT_EQ(t.Items().Count(), 0);
  EXPECT_EQ(app->sb->Panels(1)->Text(), "Total Cookies: 0");
  EXPECT_FALSE(app->ToolButtonDelete->Enabled());
  EXPECT_FALSE(app->ToolButtonSave->Enabled());
}

TEST(MainFormSwitching, CookieFolderComboAndItsRename) {
  test::TMainFormFixture app({.Show = true});
  test::TTempDir dir;
  const int manual = app->AddIECookieFolder(tIEProfileInfo{"Found", dir.Path() + "\\", false, true});
  const int builtIn = app->AddIECookieFolder(tIEProfileInfo{"Someone", dir.Path() + "\\", true, false});
  auto choose = [&](int Index) {
    HWND combo = app->CboIECookieFolders->Handle();
    SendMessageA(combo, CB_SETCURSEL, Index, 0);
    SendMessageA(GetParent(combo), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(combo), CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(combo));
  };
  TMenuItem* rename = app->mnuProfileRename->Items()->Items(0);
  choose(builtIn);
  EXPECT_EQ(rename->Caption(), "Rename Profile ");
  EXPECT_FALSE(rename->Enabled());
  EXPECT_NE(app->CookieInfo, nullptr);
  EXPECT_EQ(app->sb->Panels(4)->Text(), dir.Path() + "\\");
  choose(manual);
  EXPECT_EQ(rename->Caption(), "Rename Profile 'Found'");
  EXPECT_TRUE(rename->Enabled());

  struct Case {
    const char* answer;
    int result;
    const char* name;
  };
  for (const Case& c : {Case{"Work", IDOK, "Work"}, Case{"a!@~b", IDOK, "Work"}, Case{"   ", IDOK, "Work"},
                        Case{"", IDOK, "Work"}, Case{"Other", IDCANCEL, "Work"}, Case{" Home ", IDOK, " Home "}}) {
    SetModalResponder([&](TModalRequest& r) {
      EXPECT_EQ(r.Kind, TModalKind::mkInputBox);
      EXPECT_EQ(r.Caption, "Edit Profile Name");
      if (r.Value && r.Kind == TModalKind::mkInputBox && c.result == IDOK) *r.Value = c.answer;
      return c.result;
    });
    Command(app.Form(), ids::kMnuRename);
    SetModalResponder(nullptr);
    EXPECT_EQ(app->CboIECookieFolders->Items()->Strings(manual), c.name) << c.answer;
    EXPECT_EQ(app->IECookieFolder(manual)->UserName, c.name) << c.answer;
    EXPECT_EQ(app->CboIECookieFolders->ItemIndex(), manual);
  }
}

TEST(MainFormSwitching, HistoryFilesOpenInTheBinaryView) {
  test::TMainFormFixture app({.Show = true});
  test::TTempDir dir;
  CreateDirectoryA((dir.Path() + "\\a").c_str(), nullptr);
  dir.Write("a\\index.dat", std::string(300, 'x'));
  app->IETabControl->SetVisible(true);
  app->IETabControl->SetTabIndex(2);
  app->IETabControlChange(app->IETabControl);
  TStringList lines;
  lines.Add("1\t" + dir.Path() + "\\a\\");
  app->ElTreeHistoryFiles->Tree().Items().LoadFromStrings(lines);
  app->pgHistory->SetActivePage(app->TabSheet2);
  EXPECT_FALSE(app->lbldomain->Visible());
  TElTreeItem* row = app->ElTreeHistoryFiles->Tree().Items().Item(0);
  app->ElTreeHistoryFiles->Tree().SetItemFocused(row);
  EXPECT_EQ(app->QBBinaryFileListView1->FileName(), dir.Path() + "\\a\\index.dat");
  EXPECT_EQ(app->sb->Panels(4)->Text(), "History File: " + dir.Path() + "\\a\\index.dat");
  app->pgHistory->SetActivePage(app->TabSheet1);
  EXPECT_TRUE(app->lbldomain->Visible());
}

TEST(MainFormSwitching, StatusPanelsFitTheirTexts) {
  test::TMainFormFixture app({.Show = true});
  app->sb->Panels(0)->SetText("Total Files: 12");
  app->sb->Panels(1)->SetText("");
  app->sbResize(app->sb);
  TCanvas* c = app->sb->Canvas();
  EXPECT_EQ(app->sb->Panels(0)->Width(), c->TextWidth("    Total Files: 12") + 2);
  EXPECT_EQ(app->sb->Panels(1)->Width(), 0);
  EXPECT_EQ(app->sb->Panels(4)->Width(), 50) << "the last panel keeps its width";
}

}  // namespace
}  // namespace morvane
