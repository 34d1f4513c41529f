// The cookie-folder disk search of the Internet Explorer page in the real
// main window: a prepared folder tree in the temp folder, the panel's own
// buttons, the search threads' reports served on this thread, and the
// messages answered through the modal responder.
// ctest: desktop
// ctest: lock=registry_qbmorvane
#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <string>
#include <vector>

#include "app/found_info_dlg.h"
#include "app/main_form.h"
#include "browserdata/ie/cookie_info.h"
#include "browserdata/settings/persitent_properties.h"
#include "platform/core/sysutils.h"
#include "platform/ui/application.h"
#include "platform/ui/modal.h"
#include "support/test_env.h"

namespace morvane {
namespace {

// Collects every message box and answers it with OK.
struct TMessages {
  std::vector<std::string> Texts;
  TModalResponder Responder() {
    return [this](TModalRequest& r) {
      EXPECT_EQ(r.Kind, TModalKind::mkMessageBox) << r.Caption;
      Texts.push_back(r.Text);
      return IDOK;
    };
  }
};

const char* kNothingFound =
    "Search finished, but no new Internet Explorer cookie folders where found.\r\n"
    "Please refine your search criteria and try again.";

class DiskSearch : public testing::Test {
 protected:
  void SetUp() override {
    CreateProgramDialogs(&owner_);
    frm_ = std::make_unique<TMainFrm>(nullptr);
    frm_->Properties = std::make_unique<TPersitentProperties>();
    frm_->lblIESearchInProgress1->SetTag(1);
  }
  void TearDown() override {
    frm_->IESearchStopped = true;
    frm_->StopIESearch();
    frm_.reset();
    owner_.DestroyComponents();
  }

  void Folder(const std::string& Rel) { CreateDirectoryA(tree_.File(Rel).c_str(), nullptr); }
  void File(const std::string& Rel, size_t Size = 40) { tree_.Write(Rel, std::string(Size, 'x')); }
  void AddEntry(const std::string& Name, const std::string& Folder, bool Manual) {
    tIEProfileInfo info;
    info.UserName = Name;
    info.Folder = Folder;
    info.IsManual = Manual;
    frm_->AddIECookieFolder(info);
  }
  void ClickSearch(const std::string& Root) {
    frm_->cboLocalIEDrives->SetItemIndex(-1);
    frm_->cboLocalIEDrives->SetText(Root);
    frm_->btnIECookiesSearchClick(frm_->btnIECookiesSearch);
  }
  // Serves the search's reports until it has ended and been released.
  bool WaitForEnd() {
    const DWORD start = GetTickCount();
    while (frm_->IESearchThread || !frm_->IESearchStopped) {
      if (GetTickCount() - start > 30000) return false;
      CheckSynchronize(20);
      Application->ProcessMessages();
    }
    return true;
  }
  std::vector<std::string> Entries() {
    std::vector<std::string> names;
    for (int i = 0; i < frm_->CboIECookieFolders->Items()->Count(); ++i)
      names.push_back(frm_->CboIECookieFolders->Items()->Strings(i) + " = " + frm_->IECookieFolder(i)->Folder);
    return names;
  }

  TComponent owner_{nullptr};
  std::unique_ptr<TMainFrm> frm_;
  test::TTempDir tree_;
};

TEST_F(DiskSearch, AddsEachCookieFolderOnceNamedAfterTheManualEntries) {
  const std::string root = tree_.Path() + "\\";
  for (const char* f : {"a", "a\\real", "b", "b\\decoy", "c", "c\\big", "d", "d\\listed", "e", "e\\two", ".hidden"})
    Folder(f);
  File("a\\real\\index.dat");
  File("a\\real\\user@host[1].txt");
  File("b\\decoy\\index.dat");
  File("b\\decoy\\user@host.dat");  // not a .txt
  File("c\\big\\index.dat");
  File("c\\big\\user@big[1].txt", 65536);
  File("d\\listed\\index.dat");
  File("d\\listed\\me@x[1].txt");
  File("e\\two\\index.dat");
  File("e\\two\\me@one[1].TXT");
  File("e\\two\\me@two[1].txt");
  File(".hidden\\index.dat");
  File(".hidden\\me@h[1].txt");
  AddEntry("Default User", "C:\\users\\default\\cookies\\", false);
  AddEntry("Mine", "C:\\mine\\", true);
  AddEntry("Listed", UpperCase(root + "d\\listed\\"), true);
  // Nothing chosen and the list hidden, as start-up leaves an empty list.
  frm_->CboIECookieFolders->SetItemIndex(-1);
  frm_->CboIECookieFolders->SetVisible(false);
  frm_->IETabControl->SetVisible(false);
  frm_->IEPrivacyListAvailable = false;

  TMessages messages;
  TModalResponderScope scope(messages.Responder());
  ClickSearch(tree_.Path());
  EXPECT_EQ(frm_->btnIECookiesSearch->Caption(), "Stop");
  EXPECT_EQ(frm_->btnIECookiesSearch->Hint(), "Stop search process");
  EXPECT_FALSE(frm_->cboLocalIEDrives->Enabled());
  EXPECT_TRUE(frm_->lblIESearchInProgress1->Visible());
  ASSERT_TRUE(WaitForEnd());

  const std::vector<std::string> entries = Entries();
  ASSERT_EQ(entries.size(), 5u);
  EXPECT_EQ(std::set<std::string>(entries.begin() + 3, entries.end()),
            (std::set<std::string>{"Manually Found(2) = " + root + "a\\real\\",
                                   "Manually Found(3) = " + root + "e\\two\\"}));
  EXPECT_TRUE(frm_->IECookieFolder(3)->IsManual);
  EXPECT_FALSE(frm_->IECookieFolder(3)->IsDefault);
  EXPECT_EQ(messages.Texts, (std::vector<std::string>{"2 Internet Explorer cookie folders were found."}));
  EXPECT_EQ(frm_->lblIEFound->Caption(), "Found: 2");
  // Found folders can be chosen: the list is shown and the first found one
  // is chosen when nothing was.
  EXPECT_TRUE(frm_->CboIECookieFolders->Visible());
  EXPECT_EQ(frm_->CboIECookieFolders->Items()->Strings(frm_->CboIECookieFolders->ItemIndex()).substr(0, 15),
            "Manually Found(");
  // Without a privacy list its tab control stays hidden.
  EXPECT_FALSE(frm_->IETabControl->Visible());
  EXPECT_EQ(frm_->btnIECookiesSearch->Caption(), "Start Search");
  EXPECT_EQ(frm_->btnIECookiesSearch->Hint(), "Start searching for Internet Explorer cookies");
  EXPECT_TRUE(frm_->cboLocalIEDrives->Enabled());
  EXPECT_FALSE(frm_->lblIESearchInProgress1->Visible());
  EXPECT_FALSE(frm_->FoundIEFolders);
}

TEST_F(DiskSearch, EndsWithTheNothingFoundMessageForDecoysAndMissingFolders) {
  Folder("decoy");
  File("decoy\\index.dat");
  TMessages messages;
  TModalResponderScope scope(messages.Responder());
  ClickSearch(tree_.Path() + "\\decoy");
  ASSERT_TRUE(WaitForEnd());
  EXPECT_EQ(messages.Texts, (std::vector<std::string>{kNothingFound}));
  EXPECT_EQ(frm_->CboIECookieFolders->Items()->Count(), 0);

  messages.Texts.clear();
  const std::string missing = tree_.Path() + "\\missing";
  ClickSearch(missing);
  EXPECT_FALSE(frm_->IESearchThread);
  EXPECT_EQ(messages.Texts, (std::vector<std::string>{"Directory '" + missing +
                                                      "\\' does not exist or is not accessible.\r\n"
                                                      "Please refine your search criteria and try again."}));
  EXPECT_EQ(frm_->btnIECookiesSearch->Caption(), "Start Search");
}

// My Computer searches every place below it that has a folder on disk; a
// place without one (a control-panel or printers folder) is left out, not
// searched as "\\", which is the root of the current drive.
TEST_F(DiskSearch, MyComputerSearchesOnlyThePlacesWithAFolder) {
  Folder("real");
  File("real\\index.dat");
  File("real\\user@host[1].txt");
  TShellComboBox* places = frm_->cboLocalIEDrives;
  places->ClearPlaces();
  places->AddPlace("My Computer", "");
  places->AddPlace("Control Panel", "");
  places->AddPlace("Tree", tree_.Path());
  places->AddPlace("Printers", "");
  places->SetItemIndex(0);

  TMessages messages;
  TModalResponderScope scope(messages.Responder());
  frm_->btnIECookiesSearchClick(frm_->btnIECookiesSearch);
  ASSERT_TRUE(WaitForEnd()) << "the search did not end: it went beyond the places with a folder";
  EXPECT_EQ(Entries(), std::vector<std::string>{"Manually Found(0) = " + tree_.Path() + "\\real\\"});
  EXPECT_EQ(messages.Texts, std::vector<std::string>{"One IE cookie folder was found."});
}

// Stop while the search thread waits in its first report: the cancel
// message alone, and no thread left behind.
TEST_F(DiskSearch, StopShowsTheCancelMessageAndReleasesTheThread) {
  for (int i = 0; i < 20; ++i) {
    Folder("f" + IntToStr(i));
    File("f" + IntToStr(i) + "\\index.dat");
  }
  TMessages messages;
  TModalResponderScope scope(messages.Responder());
  ClickSearch(tree_.Path());
  ASSERT_TRUE(frm_->IESearchThread);
  HANDLE thread = nullptr;
  DuplicateHandle(GetCurrentProcess(), frm_->IESearchThread->Handle(), GetCurrentProcess(), &thread, SYNCHRONIZE,
                  FALSE, 0);
  frm_->btnIECookiesSearchClick(frm_->btnIECookiesSearch);
  EXPECT_EQ(messages.Texts, (std::vector<std::string>{"Internet Explorer cookies search was cancelled!"}));
  EXPECT_FALSE(frm_->IESearchThread);
  EXPECT_EQ(WaitForSingleObject(thread, 0), WAIT_OBJECT_0);
  CloseHandle(thread);
  EXPECT_EQ(frm_->btnIECookiesSearch->Caption(), "Start Search");
  EXPECT_EQ(frm_->btnIECookiesSearch->Hint(), "Start searching for Internet Explorer cookies");
  EXPECT_FALSE(frm_->btnIEFoundInfo->Visible());
  // Nothing comes after: the thread's own end report is not handled again.
  for (int i = 0; i < 10; ++i) {
    CheckSynchronize(20);
    Application->ProcessMessages();
  }
  EXPECT_EQ(messages.Texts.size(), 1u);

  // At the window's end the search is stopped without a word.
  messages.Texts.clear();
  frm_->IESearchStopped = false;
  ClickSearch(tree_.Path());
  ASSERT_TRUE(frm_->IESearchThread);
  frm_->IESearchStopped = true;
  frm_->StopIESearch();
  EXPECT_FALSE(frm_->IESearchThread);
  EXPECT_TRUE(messages.Texts.empty());
}

TEST_F(DiskSearch, FoundListShowsTheFoldersUnderItsCaption) {
  frm_->FoundIEFolders = std::make_unique<TStringList>();
  frm_->FoundIEFolders->Add("C:\\one\\");
  frm_->FoundIEFolders->Add("D:\\two\\");
  std::vector<std::string> shown;
  std::string caption;
  TModalResponderScope scope([&](TModalRequest& r) {
    auto* d = dynamic_cast<TFoundInfoDlg*>(r.Form);
    EXPECT_TRUE(d);
    if (!d) return IDCANCEL;
    caption = d->Caption();
    for (int i = 0; i < d->lbFolderList->Items()->Count(); ++i) shown.push_back(d->lbFolderList->Items()->Strings(i));
    EXPECT_EQ(d->ClientWidth(), 578);
    EXPECT_EQ(d->ClientHeight(), 203);
    d->OKBtn->Click();
    return mrKeepOpen;
  });
  frm_->btnIEFoundInfoClick(frm_->btnIEFoundInfo);
  EXPECT_EQ(caption, "Found Internet Explorer Cookie Folders");
  EXPECT_EQ(shown, (std::vector<std::string>{"C:\\one\\", "D:\\two\\"}));
}

// The indicator pulses its red between 15 and 255 in steps of 16.
TEST_F(DiskSearch, IndicatorPulsesAndStopsWithTheSearch) {
  TLabel* label = frm_->lblIESearchInProgress1;
  label->Font()->SetColor(static_cast<TColor>(255));
  label->SetTag(1);
  frm_->IESearchStopped = false;
  frm_->TimerIESearchProgress->SetEnabled(true);
  std::vector<int> seen;
  for (int i = 0; i < 32; ++i) {
    frm_->TimerIESearchProgressTimer(frm_->TimerIESearchProgress);
    seen.push_back(static_cast<int>(label->Font()->Color()));
  }
  std::vector<int> expected;
  for (int c = 15; c <= 255; c += 16) expected.push_back(c);
  for (int c = 239; c >= 15; c -= 16) expected.push_back(c);
  expected.push_back(-1);
  EXPECT_EQ(seen, expected);
  frm_->IESearchStopped = true;
  frm_->TimerIESearchProgressTimer(frm_->TimerIESearchProgress);
  EXPECT_FALSE(frm_->TimerIESearchProgress->Enabled());
}

}  // namespace
}  // namespace morvane
