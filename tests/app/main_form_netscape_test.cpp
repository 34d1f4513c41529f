// The Netscape/Mozilla, Firefox and Opera pages in the real main window: a
// profile folder in the temp folder, the page's own commands run as the menu
// runs them, the dialogs answered through the modal responder, and the
// profile's files checked byte for byte afterwards.
// ctest: desktop
// ctest: lock=registry_qbmorvane
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "app/delete_mozilla_cookie_dialog.h"
#include "app/edit_mozilla_blocked_domains_dialog.h"
#include "app/edit_mozilla_cookie_dlg.h"
#include "app/grid_sort_keys.h"
#include "app/main_form.h"
#include "browserdata/netscape/mozilla_cookies.h"
#include "browserdata/opera/qb_opera_cookie_info.h"
#include "browserdata/settings/persitent_properties.h"
#include "platform/core/sysutils.h"
#include "platform/ui/application.h"
#include "platform/ui/modal.h"
#include "support/test_env.h"
#include "../../tools/fixture-gen/opera_gen.h"
#include "treeview/eltree.h"
#include "treeview/eltreeitem.h"

namespace morvane {
namespace {

const std::string kHeader =
    "# Netscape HTTP Cookie File\n"
    "# http://www.netscape.com/newsref/std/cookie_spec.html\n"
    "# This is a generated file!  Do not edit.\n"
    "\n";
const std::string kShopLine = ".shop.example\tTRUE\t/cart/items\tFALSE\t1924992000\tSID\tabc\n";
const std::string kLangLine = "www.example.org\tFALSE\t/\tTRUE\t1924992000\tlang\ten\n";
const std::string kHostperm =
    "# Permission File\n"
    "# This is a generated file! Do not edit.\n"
    "\n"
    "host\tcookie\t1\told.example\n"
    "host\tinstall\t2\told.example\n";
const std::string kCookperm =
    "# HTTP Permission File\n"
    "old.example\t0T\t1F\n"
    "@@@@\t0F\t1F\t2F\n";

std::vector<std::string> Lines(const std::string& Bytes) {
  std::vector<std::string> lines;
  std::istringstream in(Bytes);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

bool HasLine(const std::string& Bytes, const std::string& Line) {
  const auto lines = Lines(Bytes);
  return std::find(lines.begin(), lines.end(), Line) != lines.end();
}

// The cells after the row number, whether the row keeps them or its grid
// asks the store for them.
std::vector<std::string> Row(TElTreeItem* Item) {
  std::vector<std::string> cells;
  std::wstring scratch;
  for (int i = 0; i < RowCellCount(Item); ++i) cells.push_back(WideToAnsi(RowCellText(Item, i, scratch)));
  return cells;
}

// Answers a modal form: Work fills it, then Button is clicked. A click that
// leaves the form open (a refused OK) ends it with Cancel, after the
// message box went to OnMessage.
TModalResponder Answering(std::function<void(TForm*)> Work, std::function<TButton*(TForm*)> Button,
                          std::function<int(TModalRequest&)> OnMessage = nullptr) {
  return [=](TModalRequest& r) -> int {
    if (r.Kind != TModalKind::mkForm) {
      if (OnMessage) return OnMessage(r);
      ADD_FAILURE() << "unexpected message: " << r.Text;
      return IDCANCEL;
    }
    auto* form = dynamic_cast<TForm*>(r.Form);
    if (Work) Work(form);
    Button(form)->Click();
    return form->ModalResult() != mrNone ? mrKeepOpen : mrCancel;
  };
}

class NetscapePage : public testing::Test {
 protected:
  void SetUp() override {
    CreateProgramDialogs(&owner_);
    frm_ = std::make_unique<TMainFrm>(nullptr);
    if (frm_->MozillaCookiesElTree->Tree().HeaderSections().Count() == 0) frm_->SetupGrids();
    frm_->Properties = std::make_unique<TPersitentProperties>();
  }
  void TearDown() override {
    frm_.reset();
    owner_.DestroyComponents();
  }

  // A Netscape/Mozilla store of the profile folders, as the folders the
  // user added come back at start-up.
  void UseProfiles(const std::vector<std::string>& Dirs) {
    frm_->BrowserKind = 0;
    frm_->NetscapeStore = QbMozillaCookiesClass::CreateForProfile(Dirs[0]);
    for (size_t i = 1; i < Dirs.size(); ++i) frm_->NetscapeStore->AddProfileDir(Dirs[i]);
    for (const std::string& d : Dirs) frm_->NetscapeStore->ProfileDirs.Add(d);
    frm_->ActiveStore = frm_->NetscapeStore.get();
  }

  std::string Profile(const std::string& Cookies, const std::string& PermName = "",
                      const std::string& Perms = "") {
    auto dir = std::make_unique<test::TTempDir>();
    dir->Write("cookies.txt", Cookies);
    if (!PermName.empty()) dir->Write(PermName, Perms);
    dirs_.push_back(std::move(dir));
    return dirs_.back()->Path();
  }

  TElTree& Cookies() { return frm_->MozillaCookiesElTree->Tree(); }
  TElTree& Domains() { return frm_->ElTreeMozillaDomains->Tree(); }
  TElTreeItem* CookieRow(const std::string& Name) {
    for (int i = 0; i < Cookies().Items().Count(); ++i)
      if (Row(Cookies().Items().Item(i))[0] == Name) return Cookies().Items().Item(i);
    return nullptr;
  }
  void SelectOnly(TElTree& Tree, TElTreeItem* Item) {
    Tree.SetItemFocused(Item);
    Tree.DeselectAll();
    Item->SetSelected(true);
  }

  TComponent owner_{nullptr};
  std::unique_ptr<TMainFrm> frm_;
  std::vector<std::unique_ptr<test::TTempDir>> dirs_;
};

TEST_F(NetscapePage, StoredProfileIndexIsClampedToTheProfiles) {
  UseProfiles({Profile(kHeader + kShopLine), Profile(kHeader + kLangLine)});
  struct Case {
    const char* stored;
    int expected;
  } cases[] = {{"1", 1}, {"7", 1}, {"-3", 0}, {"two", 0}, {"", 0}};
  for (const Case& c : cases) {
    frm_->Properties->SetProperty("MozillaProfileIdx", c.stored);
    frm_->FillMozillaProfiles(-1);
    EXPECT_EQ(frm_->cboMozillaProfiles->ItemIndex(), c.expected) << c.stored;
    EXPECT_EQ(Cookies().Items().Count(), 1) << c.stored;
    std::string kept;
    frm_->Properties->GetProperty("MozillaProfileIdx", kept);
    EXPECT_EQ(kept, IntToStr(c.expected)) << c.stored;
  }
}

// The files keep their own order; the grids show the order their headers
// show, also after the user picks another profile in the combo.
TEST_F(NetscapePage, ChoosingAProfileShowsItsRowsInTheHeadersOrder) {
  const std::string zeta = "b.example\tFALSE\t/\tFALSE\t1924992000\tzeta\t1\n";
  const std::string alpha = "a.example\tFALSE\t/\tFALSE\t1924992000\talpha\t2\n";
  const std::string perms = "# Permission File\n\nhost\tcookie\t2\tb.example\nhost\tcookie\t2\ta.example\n";
  UseProfiles({Profile(kHeader + kShopLine), Profile(kHeader + zeta + alpha, "hostperm.1", perms)});
  frm_->FillMozillaProfiles(0);
  frm_->cboMozillaProfiles->SetItemIndex(1);
  frm_->cboMozillaProfilesClick(frm_->cboMozillaProfiles);
  ASSERT_EQ(Cookies().Items().Count(), 2);
  EXPECT_EQ(Row(Cookies().Items().Item(0))[0], "alpha");
  EXPECT_EQ(Row(Cookies().Items().Item(1))[0], "zeta");
  ASSERT_EQ(Domains().Items().Count(), 2);
  EXPECT_EQ(Row(Domains().Items().Item(0))[0], "a.example");
  EXPECT_EQ(Row(Domains().Items().Item(1))[0], "b.example");
}

TEST_F(NetscapePage, RowsShowHostWithPathAndTheInstallColumnOnlyForHostperm) {
  struct Case {
    const char* file;
    std::string perms;
    bool installs;
    std::vector<std::string> row;
  } cases[] = {
      {"hostperm.1", kHostperm, true, {"old.example", "always allow", "default", "default", "always block"}},
      {"cookperm.txt", kCookperm, false, {"old.example", "always allow", "always block", "default"}},
  };
  for (const Case& c : cases) {
    UseProfiles({Profile(kHeader + kShopLine + kLangLine, c.file, c.perms)});
    frm_->LoadMozillaCookies();
    ASSERT_EQ(Cookies().Items().Count(), 2) << c.file;
    EXPECT_EQ(Row(CookieRow("SID")),
              (std::vector<std::string>{"SID", "abc", ".shop.example/cart/items",
                                        QbMozillaCookiesClass::ExpiresText(1924992000), "No", "Yes"}));
    EXPECT_EQ(Row(CookieRow("lang"))[4], "Yes");
    EXPECT_EQ(frm_->sb->Panels(1)->Text(), "Total Cookies: 2");
    EXPECT_EQ(frm_->sb->Panels(4)->Text(), "Cookie Folder: " + dirs_.back()->Path());
    frm_->LoadMozillaBlockedDomains();
    ASSERT_EQ(Domains().Items().Count(), 1) << c.file;
    EXPECT_EQ(Row(Domains().Items().Item(0)), c.row) << c.file;
    TElHeaderSections& sections = Domains().HeaderSections();
    bool installsVisible = false;
    for (int i = 0; i < sections.Count(); ++i)
      if (sections[i]->Text() == L"Block Installs") installsVisible = sections[i]->Visible();
    EXPECT_EQ(installsVisible, c.installs) << c.file;
  }
}

TEST_F(NetscapePage, EditRewritesOnlyTheEditedLineAndKeepsTheLongPath) {
  const std::string dir = Profile(kHeader + kShopLine + kLangLine);
  UseProfiles({dir});
  frm_->LoadMozillaCookies();
  SelectOnly(Cookies(), CookieRow("SID"));
  std::string caption, domain;
  bool nameEnabled = true, domainEnabled = true;
  TModalResponderScope scope(Answering(
      [&](TForm* f) {
        auto* d = static_cast<TEditMozillaCookieDlg*>(f);
        caption = d->Caption();
        domain = d->edtDomain->Text();
        nameEnabled = d->edtCookieName->Enabled();
        domainEnabled = d->edtDomain->Enabled();
        d->edtCookieValue->SetText("xyz");
      },
      [](TForm* f) { return static_cast<TEditMozillaCookieDlg*>(f)->BtnSave; }));
  frm_->EditMozillaCookie();
  EXPECT_EQ(caption, "Edit Mozilla Cookie");
  EXPECT_EQ(domain, ".shop.example/cart/items");
  EXPECT_FALSE(nameEnabled);
  EXPECT_FALSE(domainEnabled);
  // The expiry is unchanged, so the file keeps its field as written.
  EXPECT_EQ(test::ReadFileBytes(dir + "\\cookies.txt"),
            kHeader + ".shop.example\tTRUE\t/cart/items\tFALSE\t1924992000\tSID\txyz\n" + kLangLine);
  EXPECT_EQ(Row(CookieRow("SID"))[1], "xyz");
}

TEST_F(NetscapePage, NewCookieAppendsOneLine) {
  const std::string dir = Profile(kHeader + kShopLine);
  UseProfiles({dir});
  frm_->LoadMozillaCookies();
  std::string caption;
  TModalResponderScope scope(Answering(
      [&](TForm* f) {
        auto* d = static_cast<TEditMozillaCookieDlg*>(f);
        caption = d->Caption();
        EXPECT_TRUE(d->edtCookieName->Enabled());
        EXPECT_EQ(d->edtDomain->Text(), "");
        EXPECT_FALSE(d->ChkSecure->Checked());
        d->edtCookieName->SetText("pref");
        d->edtCookieValue->SetText("dark");
        d->edtDomain->SetText("news.example/");
        d->chkScope->SetChecked(false);
        d->dtExpirationDate->SetDate(EncodeDate(2031, 1, 2));
        d->dtExpirationTime->SetTime(EncodeTime(3, 4, 5, 0));
      },
      [](TForm* f) { return static_cast<TEditMozillaCookieDlg*>(f)->BtnSave; }));
  frm_->NewMozillaCookie();
  EXPECT_EQ(caption, "New Cookie");
  const std::string seconds =
      IntToStr(QbMozillaCookiesClass::ExpiresSeconds(DateTimeToStr(EncodeDate(2031, 1, 2) + EncodeTime(3, 4, 5, 0))));
  EXPECT_EQ(test::ReadFileBytes(dir + "\\cookies.txt"),
            kHeader + kShopLine + "news.example\tFALSE\t/\tFALSE\t" + seconds + "\tpref\tdark\n");
  EXPECT_EQ(Cookies().Items().Count(), 2);
}

TEST_F(NetscapePage, NewCookieOfVeryLongTextsIsSavedWhole) {
  // Hundreds of letters in every field: the line holds them all, cut nowhere.
  const std::string dir = Profile(kHeader + kShopLine);
  UseProfiles({dir});
  frm_->LoadMozillaCookies();
  std::string host;
  for (int i = 0; i < 14; ++i) host += "part" + std::to_string(i) + std::string(40, 'x') + ".";
  host += "example";
  const std::string name(400, 'n'), value(900, 'v'), path = "/" + std::string(300, 'p');
  TModalResponderScope scope(Answering(
      [&](TForm* f) {
        auto* d = static_cast<TEditMozillaCookieDlg*>(f);
        d->edtCookieName->SetText(name);
        d->edtCookieValue->SetText(value);
        d->edtDomain->SetText(host + path);
        d->chkScope->SetChecked(false);
        d->dtExpirationDate->SetDate(EncodeDate(2031, 1, 2));
        d->dtExpirationTime->SetTime(EncodeTime(3, 4, 5, 0));
      },
      [](TForm* f) { return static_cast<TEditMozillaCookieDlg*>(f)->BtnSave; }));
  frm_->NewMozillaCookie();
  const std::string seconds =
      IntToStr(QbMozillaCookiesClass::ExpiresSeconds(DateTimeToStr(EncodeDate(2031, 1, 2) + EncodeTime(3, 4, 5, 0))));
  EXPECT_TRUE(HasLine(test::ReadFileBytes(dir + "\\cookies.txt"),
                      host + "\tFALSE\t" + path + "\tFALSE\t" + seconds + "\t" + name + "\t" + value));
  ASSERT_EQ(Cookies().Items().Count(), 2);
}

TEST_F(NetscapePage, NewCookieWithADomainOfTwentyThousandLettersShowsAtOnce) {
  // Saved from the window on screen, such a cookie kept the page from
  // answering for minutes: fitting the cell's text to its column measured
  // the whole text once for every letter it dropped.
  frm_->Show();
  Application->ProcessMessages();
  const std::string dir = Profile(kHeader + kShopLine);
  UseProfiles({dir});
  frm_->BrowsersPageControl->SetActivePage(frm_->NetscapeTabSheet);
  frm_->LoadMozillaCookies();
  Application->ProcessMessages();
  const std::string host(20000, 'g');
  TModalResponderScope scope(Answering(
      [&](TForm* f) {
        auto* d = static_cast<TEditMozillaCookieDlg*>(f);
        d->edtCookieName->SetText("SESSIONID");
        d->edtDomain->SetText(host + "/");
      },
      [](TForm* f) { return static_cast<TEditMozillaCookieDlg*>(f)->BtnSave; }));
  const DWORD start = GetTickCount();
  frm_->NewMozillaCookie();
  frm_->MozillaCookiesElTree->Invalidate();
  UpdateWindow(frm_->MozillaCookiesElTree->Handle());
  const DWORD took = GetTickCount() - start;
  EXPECT_EQ(Cookies().Items().Count(), 2);
  // A second is plenty for a grid of two rows; the fault took minutes.
  EXPECT_LT(took, 5000u);
}

// Texts cookies.txt cannot hold are refused with a message while the
// dialog stays open; nothing is written.
TEST_F(NetscapePage, NewCookieRefusesTextsThatBreakTheFile) {
  const std::string dir = Profile(kHeader + kShopLine);
  UseProfiles({dir});
  frm_->LoadMozillaCookies();
  struct Case {
    const char* name;
    const char* value;
    const char* domain;
  } cases[] = {{"a\tb", "v", "x.example/"}, {"n", "line\r\nbreak", "x.example/"}, {"n", "v", "x.exa\nmple/"},
               {"", "v", "x.example/"},     {"n", "v", "/path"},                  {"n", "v", ""}};
  for (const Case& c : cases) {
    int messages = 0;
    bool stayedOpen = false;
    TEditMozillaCookieDlg* dlg = nullptr;
    TModalResponderScope scope(Answering(
        [&](TForm* f) {
          dlg = static_cast<TEditMozillaCookieDlg*>(f);
          dlg->edtCookieName->SetText(c.name);
          dlg->edtCookieValue->SetText(c.value);
          dlg->edtDomain->SetText(c.domain);
        },
        [](TForm* f) { return static_cast<TEditMozillaCookieDlg*>(f)->BtnSave; },
        [&](TModalRequest&) {
          // Refused while closing: the dialog is still up, to be cancelled.
          ++messages;
          stayedOpen = dlg && dlg->Visible();
          if (dlg) PostMessageA(dlg->btnCancel->Handle(), BM_CLICK, 0, 0);
          return IDOK;
        }));
    frm_->NewMozillaCookie();
    EXPECT_EQ(messages, 1) << c.name << "|" << c.value << "|" << c.domain;
    EXPECT_TRUE(stayedOpen) << c.name << "|" << c.value << "|" << c.domain;
  }
  EXPECT_EQ(test::ReadFileBytes(dir + "\\cookies.txt"), kHeader + kShopLine);
}

TEST_F(NetscapePage, DeleteWithTheThreeBlocksAddsPermissionLinesAndKeepsTheOldOnes) {
  const std::string dir = Profile(kHeader + kShopLine + kLangLine, "hostperm.1", kHostperm);
  UseProfiles({dir});
  frm_->LoadMozillaCookies();
  SelectOnly(Cookies(), CookieRow("SID"));
  std::string message;
  std::vector<std::string> boxes;
  TModalResponderScope scope(Answering(
      [&](TForm* f) {
        auto* d = static_cast<TDeleteMozillacookieDialog*>(f);
        message = d->lblDeleteMessage->Caption();
        for (TCheckBox* b : {d->chkDeleteCookie, d->chkBlockCookie, d->chkBlockImage, d->chkBlockPopup}) {
          EXPECT_TRUE(b->Visible());
          boxes.push_back(b->Caption());
        }
        d->chkBlockCookie->SetChecked(true);
        d->chkBlockImage->SetChecked(true);
        d->chkBlockPopup->SetChecked(true);
      },
      [](TForm* f) { return static_cast<TDeleteMozillacookieDialog*>(f)->btnOK; }));
  frm_->DeleteMozillaCookies();
  EXPECT_EQ(message, "You are about to delete selected item: SID\r\nDo you want to continue?");
  EXPECT_EQ(boxes, (std::vector<std::string>{"Delete selected cookie",
                                             "Block all future cookies from '.shop.example'",
                                             "Block all future images from '.shop.example'",
                                             "Block all future pop-up windows from '.shop.example'"}));
  EXPECT_EQ(test::ReadFileBytes(dir + "\\cookies.txt"), kHeader + kLangLine);
  const std::string perms = test::ReadFileBytes(dir + "\\hostperm.1");
  for (const char* line : {"host\tcookie\t1\told.example", "host\tinstall\t2\told.example",
                           "host\tcookie\t2\tshop.example", "host\timage\t2\tshop.example",
                           "host\tpopup\t2\tshop.example"})
    EXPECT_TRUE(HasLine(perms, line)) << line << " in\n" << perms;
  EXPECT_EQ(Lines(perms).size(), 8u) << perms;
  EXPECT_EQ(Cookies().Items().Count(), 1);
}

// The rows stand for places in the profile's cookies: deleting the first
// chosen cookie must not make the next chosen row name its neighbour.
TEST_F(NetscapePage, DeleteOfSeveralRowsRemovesExactlyTheChosenCookies) {
  const std::string third = "c.example\tFALSE\t/\tFALSE\t1924992000\tzed\t9\n";
  const std::string dir = Profile(kHeader + kShopLine + kLangLine + third);
  UseProfiles({dir});
  frm_->LoadMozillaCookies();
  ASSERT_EQ(Cookies().Items().Count(), 3);
  SelectOnly(Cookies(), CookieRow("SID"));
  CookieRow("zed")->SetSelected(true);
  TModalResponderScope scope(Answering([](TForm*) {},
                                       [](TForm* f) { return static_cast<TDeleteMozillacookieDialog*>(f)->btnOK; }));
  frm_->DeleteMozillaCookies();
  EXPECT_EQ(test::ReadFileBytes(dir + "\\cookies.txt"), kHeader + kLangLine);
  ASSERT_EQ(Cookies().Items().Count(), 1);
  EXPECT_EQ(Row(Cookies().Items().Item(0)),
            (std::vector<std::string>{"lang", "en", "www.example.org/", Row(Cookies().Items().Item(0))[3], "Yes", "No"}));
}

TEST_F(NetscapePage, DeleteOfSeveralRowsAsksForAllAndCancelChangesNothing) {
  const std::string dir = Profile(kHeader + kShopLine + kLangLine);
  UseProfiles({dir});
  frm_->LoadMozillaCookies();
  Cookies().SelectAll();
  Cookies().SetItemFocused(Cookies().Items().Item(0));
  std::string message;
  TModalResponderScope scope(Answering(
      [&](TForm* f) { message = static_cast<TDeleteMozillacookieDialog*>(f)->lblDeleteMessage->Caption(); },
      [](TForm* f) { return static_cast<TDeleteMozillacookieDialog*>(f)->btnCancel; }));
  frm_->DeleteMozillaCookies();
  EXPECT_EQ(message, "You are about to delete all selected items (2)\r\nDo you want to continue?");
  EXPECT_EQ(test::ReadFileBytes(dir + "\\cookies.txt"), kHeader + kShopLine + kLangLine);
  EXPECT_EQ(Cookies().Items().Count(), 2);
}

TEST_F(NetscapePage, PermissionEditWritesOnOkOnlyAndNewAddsABareHost) {
  const std::string dir = Profile(kHeader, "cookperm.txt", kCookperm);
  UseProfiles({dir});
  frm_->LoadMozillaBlockedDomains();
  ASSERT_EQ(Domains().Items().Count(), 1);
  SelectOnly(Domains(), Domains().Items().Item(0));
  auto ok = [](TForm* f) { return static_cast<TEditMozillaBlockedDomainsDialog*>(f)->okBtn; };
  auto cancel = [](TForm* f) { return static_cast<TEditMozillaBlockedDomainsDialog*>(f)->CancelBtn; };
  auto blockAll = [](TForm* f) {
    auto* d = static_cast<TEditMozillaBlockedDomainsDialog*>(f);
    d->cboCookies->SetItemIndex(1);
    d->CboImages->SetItemIndex(1);
    d->cboAds->SetItemIndex(1);
  };
  {
    // Cancel: neither the live record nor the file changes.
    TModalResponderScope scope(Answering(blockAll, cancel));
    frm_->EditMozillaBlockedDomain();
  }
  PQbBlockedDomain live = frm_->ActiveStore->GetBlockedHosts(frm_->MozillaProfileCaption())->Objects(0);
  EXPECT_EQ(live->Cookie, 1);
  EXPECT_EQ(live->Popup, 0);
  EXPECT_EQ(test::ReadFileBytes(dir + "\\cookperm.txt"), kCookperm);
  {
    std::string caption;
    bool domainEnabled = true;
    int cookieItems = 0;
    TModalResponderScope scope(Answering(
        [&](TForm* f) {
          auto* d = static_cast<TEditMozillaBlockedDomainsDialog*>(f);
          caption = d->Caption();
          domainEnabled = d->edtDomain->Enabled();
          cookieItems = d->cboCookies->Items()->Count();
          blockAll(f);
        },
        ok));
    frm_->EditMozillaBlockedDomain();
    EXPECT_EQ(caption, "Edit Blocked Domain");
    EXPECT_FALSE(domainEnabled);
    EXPECT_EQ(cookieItems, 3);  // cookperm.txt has no "session cookies only"
  }
  EXPECT_TRUE(HasLine(test::ReadFileBytes(dir + "\\cookperm.txt"), "old.example\t0F\t1F\t2F"));
  {
    TModalResponderScope scope(Answering(
        [](TForm* f) { static_cast<TEditMozillaBlockedDomainsDialog*>(f)->edtDomain->SetText("ads.example"); },
        cancel));
    frm_->NewMozillaBlockedDomain();
  }
  EXPECT_EQ(Domains().Items().Count(), 1);
  {
    std::string caption;
    TModalResponderScope scope(Answering(
        [&](TForm* f) {
          auto* d = static_cast<TEditMozillaBlockedDomainsDialog*>(f);
          caption = d->Caption();
          EXPECT_TRUE(d->edtDomain->Enabled());
          EXPECT_EQ(d->cboAds->ItemIndex(), 1);
          d->edtDomain->SetText("ads.example");
        },
        ok));
    frm_->NewMozillaBlockedDomain();
    EXPECT_EQ(caption, "New Blocked Domain");
  }
  const std::string perms = test::ReadFileBytes(dir + "\\cookperm.txt");
  EXPECT_TRUE(HasLine(perms, "ads.example\t0F\t1F\t2F")) << perms;
  EXPECT_TRUE(HasLine(perms, "@@@@\t0F\t1F\t2F")) << perms;
  EXPECT_EQ(Domains().Items().Count(), 2);
}

// Neither permission file yet: the dialog offers what both files can hold.
TEST_F(NetscapePage, ProfileWithoutPermissionFileOffersNoSessionOnlyChoice) {
  UseProfiles({Profile(kHeader)});
  frm_->LoadMozillaBlockedDomains();
  int cookieItems = 0;
  bool installs = true;
  TModalResponderScope scope(Answering(
      [&](TForm* f) {
        auto* d = static_cast<TEditMozillaBlockedDomainsDialog*>(f);
        cookieItems = d->cboCookies->Items()->Count();
        installs = d->cboInstalls->Visible();
      },
      [](TForm* f) { return static_cast<TEditMozillaBlockedDomainsDialog*>(f)->CancelBtn; }));
  frm_->NewMozillaBlockedDomain();
  EXPECT_EQ(cookieItems, 3);
  EXPECT_FALSE(installs);
}

TEST_F(NetscapePage, PermissionDeleteAsksAndRemovesTheSelectedHosts) {
  const std::string dir =
      Profile(kHeader, "hostperm.1", kHostperm + "host\tpopup\t2\tkeep.example\n" + "host\timage\t2\tgone.example\n");
  UseProfiles({dir});
  frm_->LoadMozillaBlockedDomains();
  ASSERT_EQ(Domains().Items().Count(), 3);
  TElTreeItem* gone = nullptr;
  for (int i = 0; i < 3; ++i)
    if (Row(Domains().Items().Item(i))[0] == "gone.example") gone = Domains().Items().Item(i);
  ASSERT_TRUE(gone);
  SelectOnly(Domains(), gone);
  int answer = IDNO;
  std::string text;
  TModalResponderScope scope([&](TModalRequest& r) {
    text = r.Text;
    return answer;
  });
  frm_->DeleteMozillaBlockedDomains();
  EXPECT_EQ(text, "You are about to delete selected item: gone.example\r\nDo you want to continue?");
  EXPECT_EQ(Domains().Items().Count(), 3);
  answer = IDYES;
  frm_->DeleteMozillaBlockedDomains();
  const std::string perms = test::ReadFileBytes(dir + "\\hostperm.1");
  EXPECT_FALSE(HasLine(perms, "host\timage\t2\tgone.example")) << perms;
  EXPECT_TRUE(HasLine(perms, "host\tpopup\t2\tkeep.example")) << perms;
  EXPECT_TRUE(HasLine(perms, "host\tinstall\t2\told.example")) << perms;
  EXPECT_EQ(Domains().Items().Count(), 2);
}

// Opera's store is read only: a delete takes the rows away and leaves the
// file as Opera wrote it, saying so once in the status bar.
class OperaPage : public NetscapePage {};

TEST_F(OperaPage, DeleteRemovesTheRowsLeavesTheFileAndOffersNoBlocks) {
  std::vector<fixturegen::TOperaGenDomain> domains;
  for (const char* name : {"SID", "pref", "lang"}) {
    fixturegen::TOperaGenCookie c;
    c.Name = name;
    c.Value = "v";
    c.Expires = 1924992000;
    c.LastUsed = 1700000000;
    fixturegen::AddOperaCookie(domains, "www.example.com", "/", c);
  }
  test::TTempDir dir;
  const std::string file = dir.Write("cookies4.dat", fixturegen::WriteOperaCookies(domains, {}));
  const std::string before = test::ReadFileBytes(file);
  frm_->OperaStore = std::make_unique<QbOperaCookieInfo>(file);
  TElTree& tree = frm_->OperaCookiesElTree->Tree();
  // The rows as the Opera page lists them: name, value, domain/path.
  TStringList rows;
  for (TOperaCookieNode* n = frm_->OperaStore->First(); (n = frm_->OperaStore->Next());) {
    std::string name;
    frm_->OperaStore->GetNodeName(name);
    for (const auto& c : n->Cookies) rows.Add("1\t" + c->Name + "\t" + c->Value + "\t" + name);
  }
  ASSERT_GE(rows.Count(), 2);
  tree.Items().LoadFromStrings(rows);
  const int count = tree.Items().Count();

  std::vector<bool> visible;
  std::string caption;
  bool deleteBox = true;
  TModalResponderScope scope(Answering(
      [&](TForm* f) {
        auto* d = static_cast<TDeleteMozillacookieDialog*>(f);
        caption = d->Caption();
        for (TCheckBox* b : {d->chkDeleteCookie, d->chkBlockCookie, d->chkBlockImage, d->chkBlockPopup})
          visible.push_back(b->Visible());
        d->chkDeleteCookie->SetChecked(deleteBox);
      },
      [](TForm* f) { return static_cast<TDeleteMozillacookieDialog*>(f)->btnOK; }));
  // With "Delete selected cookie" cleared, OK deletes nothing.
  deleteBox = false;
  SelectOnly(tree, tree.Items().Item(0));
  frm_->DeleteOperaCookies();
  EXPECT_EQ(tree.Items().Count(), count);
  EXPECT_EQ(frm_->sb->Panels(0)->Text(), "");

  deleteBox = true;
  visible.clear();
  frm_->DeleteOperaCookies();
  EXPECT_EQ(caption, "Delete Opera Cookie(s)");
  EXPECT_EQ(visible, (std::vector<bool>{true, false, false, false}));
  EXPECT_EQ(tree.Items().Count(), count - 1);
  EXPECT_EQ(frm_->sb->Panels(0)->Text(), TMainFrm::kOperaFileNotice);
  EXPECT_EQ(frm_->sb->Panels(1)->Text(), "Total Cookies: " + IntToStr(count - 1));

  // The notice comes once a run.
  frm_->sb->Panels(0)->SetText("");
  SelectOnly(tree, tree.Items().Item(0));
  frm_->DeleteOperaCookies();
  EXPECT_EQ(tree.Items().Count(), count - 2);
  EXPECT_EQ(frm_->sb->Panels(0)->Text(), "");
  EXPECT_EQ(test::ReadFileBytes(file), before);

  // The Netscape delete shows its block boxes again.
  visible.clear();
  UseProfiles({Profile(kHeader + kShopLine)});
  frm_->LoadMozillaCookies();
  SelectOnly(Cookies(), CookieRow("SID"));
  frm_->DeleteMozillaCookies();
  EXPECT_EQ(visible, (std::vector<bool>{true, true, true, true}));
}

}  // namespace
}  // namespace morvane
