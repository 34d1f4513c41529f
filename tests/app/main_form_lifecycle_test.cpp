// The main window's creation and destruction against the property store: the
// first run's defaults, what a second run restores (also from values an older
// layout left), the update check's schedule, the manual profiles and cookie
// folders written back, the leftovers of interrupted rewrites, the toggles.
// ctest: desktop
// ctest: lock=registry_qbmorvane
#include <gtest/gtest.h>

#include <string>

#include "app/settings_dlg.h"
#include "app/splash.h"
#include "browserdata/netscape/mozilla_cookies.h"
#include "main_form_fixture.h"
#include "platform/control_ids.h"
#include "platform/core/datetime.h"
#include "platform/core/files.h"
#include "platform/core/sysutils.h"
#include "platform/ui/modal.h"
#include "support/test_env.h"

namespace morvane {
namespace {

std::string StoredValue(const std::string& Name) {
  TPersitentProperties props;
  std::string v;
  props.GetProperty(Name, v);
  return v;
}

std::vector<std::string> StoredArray(const std::string& Name) {
  TPersitentProperties props;
  std::vector<std::string> out;
  for (int i = 0; i < props.GetArrayCount(Name); ++i) {
    std::string v;
    props.GetArrayItem(Name, i, v);
    out.push_back(v);
  }
  return out;
}

// Counts the update checks while it lives, without the network.
struct TCheckCounter {
  int runs = 0;
  bool splashOnTop = false;
  std::function<void()> saved = TMainFrm::SoftwareUpdateCheck();
  TCheckCounter() {
    TMainFrm::SoftwareUpdateCheck() = [this] {
      ++runs;
      if (MainFrm && MainFrm->Splash)
        splashOnTop = (GetWindowLongA(MainFrm->Splash->Handle(), GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
    };
  }
  ~TCheckCounter() { TMainFrm::SoftwareUpdateCheck() = saved; }
};

TEST(MainFormLifecycle, FirstRunDefaults) {
  TCheckCounter checks;
  test::TMainFormFixture app({.Properties = {{"checkForUpdates", ""}}});
  EXPECT_EQ(checks.runs, 1) << "the first run is due";
  EXPECT_FALSE(checks.splashOnTop) << "the update notice must not open under the splash";
  EXPECT_EQ(app->Caption(), "Morvane 1.9 - IE");
  EXPECT_FALSE(app->TopSearchPanel->Visible());
  for (TCheckBox* c : {app->chkFileNames, app->chkCookieNames, app->chkCookieValues, app->chkURLs})
    EXPECT_TRUE(c->Checked()) << c->Name();
  EXPECT_FALSE(app->chkCaseSensitive->Checked());
  for (TElTreeWindow* g : app->Grids) {
    if (g->Tree().HeaderSections().Count() < 2) continue;
    EXPECT_EQ(app->GridTabSheet(g)->Tag(), 1) << g->Name();
    EXPECT_EQ(g->Tree().SortDir, sdAscend) << g->Name();
    EXPECT_EQ(g->Tree().HeaderSections().GetSection(1)->SortMode(), hsmAscend) << g->Name();
  }
  EXPECT_TRUE(app->tb->Visible());
  EXPECT_TRUE(app->Toolbar1->Checked());
  EXPECT_TRUE(app->StatusBar1->Checked());
  for (TPageControl* p : {app->BrowsersPageControl, app->IEViewableElementsPageControl,
                          app->NetscapeViewableElementsPageControl}) {
    EXPECT_EQ(p->ActivePageIndex(), 0) << p->Name();
    for (int i = 0; i < p->PageCount(); ++i) EXPECT_FALSE(p->Pages(i)->TabVisible());
  }
  EXPECT_NE(app->Splash, nullptr) << "the splash waits for the first activation";
}

TEST(MainFormLifecycle, UpdateCheckRunsWhenDue) {
  struct Case {
    const char* enabled;
    int daysAgo;
    int frequency;
    int runs;
  };
  for (const Case& c : {Case{"-1", 14, 14, 1}, Case{"-1", 13, 14, 0}, Case{"0", 400, 14, 0}, Case{"-1", 3, 3, 1}}) {
    TCheckCounter checks;
    test::TMainFormFixture app({.Properties = {{"checkForUpdates", c.enabled},
                                               {"checkForUpdatesFrequency", IntToStr(c.frequency)},
                                               {"SoftwareCheckDate", DateTimeToStr(Now() - c.daysAgo - 1e-4)}}});
    EXPECT_EQ(checks.runs, c.runs) << c.enabled << " " << c.daysAgo << "/" << c.frequency;
    EXPECT_EQ(app->CheckForUpdatesFrequency, c.frequency);
  }
}

TEST(MainFormLifecycle, SecondRunRestoresWhatTheFirstSaved) {
  {
    test::TMainFormFixture first;
    TElTreeWindow* g = first->MozillaCookiesElTree;
    first->IECookiesElTreeHeaderColumnClick(g, 3);  // descending after the restored ascending
    g->Tree().HeaderSections().MoveSection(g->Tree().HeaderSections().GetSection(2), 4);
    first->Toolbar1Click(first->Toolbar1);
    first->chkURLs->SetChecked(false);
    first->chkCaseSensitive->SetChecked(true);
    first->SaveProfiles = false;
    first.Close();
    EXPECT_EQ(StoredValue("MozillaCookiesElTree-SortColumn"), "3");
    EXPECT_EQ(StoredValue("MozillaCookiesElTree-SortDir"), "Descending");
    EXPECT_EQ(StoredValue("SearchURLs"), "0");
    EXPECT_EQ(StoredValue("SaveProfiles"), "0");
    // A second window, without the fixture clearing the store in between.
    auto* second = new TMainFrm(nullptr);
    second->AfterConstruction();
    TElTree& t = second->MozillaCookiesElTree->Tree();
    EXPECT_EQ(second->NetscapeCookiesTabSheet->Tag(), 3);
    EXPECT_EQ(t.SortDir, sdDescend);
    EXPECT_EQ(t.HeaderSections().GetSection(3)->SortMode(), hsmDescend);
    EXPECT_EQ(t.HeaderSections().GetSection(2)->Position(), 4) << "the column order";
    EXPECT_FALSE(second->tb->Visible());
    EXPECT_FALSE(second->Toolbar1->Checked());
    EXPECT_TRUE(second->sb->Visible());
    EXPECT_FALSE(second->chkURLs->Checked());
    EXPECT_TRUE(second->chkCaseSensitive->Checked());
    EXPECT_FALSE(second->SaveProfiles);
    delete second;
  }
}

// Values an older layout left do not cost the later grids their order.
TEST(MainFormLifecycle, StoredSortsOutsideTheHeaderAreClamped) {
  test::TMainFormFixture app({.Properties = {{"IECookiesElTree-SortColumn", "99"},
                                             {"ElTreeDomains-SortColumn", "-4"},
                                             {"ElTreeHistory-SectionOrder", "i1:w50:vt,ix:w1:vt,"},
                                             {"EltreeOperaDomains-SortColumn", "1"},
                                             {"OperaCookiesElTree-SortColumn", "4"},
                                             {"OperaCookiesElTree-SortDir", "Descending"}}});
  EXPECT_EQ(app->IECookiesTabSheet->Tag(), 9);
  EXPECT_EQ(app->IEBlockedDomainsTabSheet->Tag(), 1);
  EXPECT_EQ(app->OperaCookiesTabSheet->Tag(), 4);
  EXPECT_EQ(app->OperaCookiesElTree->Tree().SortDir, sdDescend);
  EXPECT_EQ(app->MozillaCookiesElTree->Tree().HeaderSections().GetSection(1)->SortMode(), hsmAscend);
}

TEST(MainFormLifecycle, ManualProfilesAndFoldersSurviveOnlyWhileTheyExist) {
  test::TTempDir dir;
  const std::string p1 = dir.Path() + "\\p1", p2 = dir.Path() + "\\p2", gone = dir.Path() + "\\gone";
  for (const std::string& p : {p1, p2}) {
    CreateDirectoryA(p.c_str(), nullptr);
    dir.Write(p.substr(dir.Path().size() + 1) + "\\cookies.txt", "# Netscape HTTP Cookie File\n");
  }
  const std::string ie = dir.Path() + "\\iefolder\\";
  CreateDirectoryA(ie.c_str(), nullptr);
  {
    // Arrays go into the store the way it writes them.
    test::ClearPropertyStore();
    TPersitentProperties props;
    int i = 0;
    for (const std::string& s : {ie, gone + "\\"}) props.SetArrayItem("ManuallyEnteredIEProfilePaths", i++, s);
    i = 0;
    for (const char* s : {"Mine", "Gone"}) props.SetArrayItem("ManuallyEnteredIEProfileNames", i++, s);
    i = 0;
    for (const std::string& s : {p1, gone}) props.SetArrayItem("ManuallyEnteredProfiles", i++, s);
    props.SetProperty("checkForUpdates", "0");
    props.Save(TSavedWindowState{true, false, props.Left, props.Top, props.Width, props.Height});
  }
  auto* f = new TMainFrm(nullptr);
  f->AfterConstruction();
  int mine = -1;
  for (int i = 0; i < f->CboIECookieFolders->Items()->Count(); ++i) {
    const tIEProfileInfo* info = f->IECookieFolder(i);
    EXPECT_NE(f->CboIECookieFolders->Items()->Strings(i), "Gone");
    if (info->IsManual) mine = i;
  }
  ASSERT_GE(mine, 0);
  EXPECT_EQ(f->CboIECookieFolders->Items()->Strings(mine), "Mine");
  ASSERT_NE(f->ActiveStore, nullptr);
  EXPECT_GE(f->ActiveStore->ProfileDirs.IndexOf(p1), 0);
  EXPECT_LT(f->ActiveStore->ProfileDirs.IndexOf(gone), 0);
  // Both stores' manual lists are written back, the Netscape one first,
  // each folder once.
  if (!f->NetscapeStore) f->NetscapeStore = QbMozillaCookiesClass::CreateForProfile(p2);
  if (!f->FirefoxStore) f->FirefoxStore = QbMozillaCookiesClass::CreateForProfile(p2);
  f->NetscapeStore->ProfileDirs.Clear();
  f->NetscapeStore->ProfileDirs.Add(p2);
  f->FirefoxStore->ProfileDirs.Clear();
  for (const std::string& s : {p1, std::string(), AnsiUpperCase(p2)}) f->FirefoxStore->ProfileDirs.Add(s);
  delete f;
  EXPECT_EQ(StoredArray("ManuallyEnteredProfiles"), (std::vector<std::string>{p2, p1}));
  EXPECT_EQ(StoredArray("ManuallyEnteredIEProfilePaths"), (std::vector<std::string>{ie}));
  EXPECT_EQ(StoredArray("ManuallyEnteredIEProfileNames"), (std::vector<std::string>{"Mine"}));

  // Without "SaveProfiles" the arrays go and nothing comes back.
  {
    test::TMainFormFixture app({.Properties = {{"SaveProfiles", "0"}}});
    app.Close();
    EXPECT_TRUE(StoredArray("ManuallyEnteredProfiles").empty());
    EXPECT_TRUE(StoredArray("ManuallyEnteredIEProfilePaths").empty());
  }
}

TEST(MainFormLifecycle, LeftoversOfInterruptedRewritesGoAtStart) {
  const std::string folder = ExtractFilePath(ProgramFileName());
  const std::string leftover = folder + "$TMP$_cookie.txt", kept = folder + "TMP_kept.txt";
  for (const std::string& f : {leftover, kept}) {
    HANDLE h = CreateFileA(f.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    CloseHandle(h);
  }
  {
    test::TMainFormFixture app;
  }
  EXPECT_FALSE(FileExists(leftover));
  EXPECT_TRUE(FileExists(kept));
  DeleteFileA(kept.c_str());
}

TEST(MainFormLifecycle, FirstActivationClosesTheSplashAndMenusToggleBars) {
  test::TMainFormFixture app({.Show = true});
  // The splash fades within a second or so of being asked.
  for (int i = 0; i < 300 && app->Splash; ++i) {
    Application->ProcessMessages();
    Sleep(10);
  }
  EXPECT_EQ(app->Splash, nullptr);
  SendMessageA(app->Handle(), WM_COMMAND, ids::kMnuStatusbar, 0);
  EXPECT_FALSE(app->sb->Visible());
  EXPECT_FALSE(app->StatusBar1->Checked());
  SendMessageA(app->Handle(), WM_COMMAND, ids::kMnuStatusbar, 0);
  EXPECT_TRUE(app->sb->Visible());
  SendMessageA(app->Handle(), WM_COMMAND, ids::kMnuToolbar, 0);
  EXPECT_FALSE(app->tb->Visible());
  EXPECT_FALSE(app->Toolbar1->Checked());
}

TEST(MainFormLifecycle, SettingsReadBackOnlyOnOk) {
  test::TMainFormFixture app;
  for (int answer : {mrCancel, mrOk}) {
    SetModalResponder([&](TModalRequest& r) {
      EXPECT_EQ(r.Identity, "SettingsDlg");
      EXPECT_EQ(SettingsDlg->edtFrequency->Text(), "14");
      SettingsDlg->chkSaveProfiles->SetChecked(false);
      SettingsDlg->edtFrequency->SetText("30");
      return answer;
    });
    SendMessageA(app->Handle(), WM_COMMAND, ids::kMnuSettings, 0);
    SetModalResponder(nullptr);
    EXPECT_EQ(app->SaveProfiles, answer != mrOk);
    EXPECT_EQ(app->CheckForUpdatesFrequency, answer == mrOk ? 30 : 14);
    if (answer == mrOk) break;
  }
}

TEST(MainFormLifecycle, AboutBoxShowsModallyUnderItsCaption) {
  test::TMainFormFixture app;
  int shown = 0;
  SetModalResponder([&](TModalRequest& r) {
    ++shown;
    EXPECT_EQ(r.Caption, "About Morvane");
    return mrOk;
  });
  SendMessageA(app->Handle(), WM_COMMAND, ids::kMnuAbout, 0);
  app->ToolButtonHelpClick(nullptr);
  SetModalResponder(nullptr);
  EXPECT_EQ(shown, 2);
}

}  // namespace
}  // namespace morvane
