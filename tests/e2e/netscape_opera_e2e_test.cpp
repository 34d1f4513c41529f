// The Firefox, Netscape/Mozilla and Opera pages of the real program: the
// browsers' files written into the user's application-data folder as the
// browsers keep them, the program driven through its own windows, and the
// files checked byte for byte afterwards.
// ctest: desktop
// ctest: lock=registry_qbmorvane
// ctest: lock=mozilla_profiles
// ctest: lock=opera_profile
// ctest: timeout=300
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <ctime>
#include <string>
#include <utility>
#include <vector>

#include "e2e/e2e_support.h"
#include "fixture-gen/opera_gen.h"
#include "platform/win32.h"
#include "support/test_env.h"

#include <shlobj.h>

namespace morvane {
namespace {

using test::QuoteWord;
using test::ReadFileBytes;
using test::RunDrive;
using test::RunDriveScript;
using test::TDriveResult;
using test::TFolderGuard;
using test::TSettingsGuard;
using test::TTempDir;
using test::UserFolder;
using test::WriteFileBytes;

// ---- the browsers' files ------------------------------------------------------------------

const std::string kFirefoxHeader =
    "# HTTP Cookie File\n"
    "# http://www.netscape.com/newsref/std/cookie_spec.html\n"
    "# This is a generated file!  Do not edit.\n"
    "\n";
// 2031-01-01 01:02:03 and 2032-01-01 13:05:00 UTC.
const std::string kSidLine = ".shop.example\tTRUE\t/cart/items\tFALSE\t1924995723\tsid\tabc\n";
const std::string kLangLine = "www.example.org\tFALSE\t/\tTRUE\t1956575100\tlang\ten\n";
// The other profile's cookie: an export of the chosen profile must not show it.
const std::string kOtherLine = ".other.example\tTRUE\t/\tFALSE\t1924995723\tother\t1\n";
const std::string kHostperm =
    "# Permission File\n"
    "# This is a generated file! Do not edit.\n"
    "\n"
    "host\tcookie\t1\told.example\n"
    "host\tinstall\t2\told.example\n"
    "host\tpopup\t2\tads.example\n";

const std::string kMozillaHeader =
    "# HTTP Cookie File\n"
    "# http://www.netscape.com/newsref/std/cookie_spec.html\n"
    "\n";
const std::string kCookperm =
    "# HTTP Permission File\n"
    "old.example\t0T\t1F\n"
    "ads.example\t2F\n"
    "@@@@\t0F\t1F\t2F\n";

// The user's Mozilla folder, emptied for the scenario, with a Firefox of two
// profiles ("default" and "work") and a Netscape/Mozilla profile "default".
class TMozillaMachine {
 public:
  TMozillaMachine()
      : appData_(UserFolder(CSIDL_APPDATA)), mozilla_(appData_ + "\\Mozilla") {
    WriteFileBytes(mozilla_.File("Firefox\\profiles.ini"),
                   "[General]\r\nStartWithLastProfile=1\r\n\r\n"
                   "[Profile0]\r\nName=default\r\nIsRelative=1\r\nPath=Profiles/e2e0.default\r\nDefault=1\r\n\r\n"
                   "[Profile1]\r\nName=work\r\nIsRelative=1\r\nPath=Profiles/e2e1.work\r\n");
    WriteFileBytes(FirefoxOther() + "\\cookies.txt", kFirefoxHeader + kOtherLine);
    WriteFileBytes(FirefoxWork() + "\\cookies.txt", kFirefoxHeader + kSidLine + kLangLine);
    WriteFileBytes(FirefoxWork() + "\\hostperm.1", kHostperm);
    WriteFileBytes(mozilla_.File("Registry.dat"), test::MozillaRegistryDat("default", "default", Mozilla()));
    WriteFileBytes(Mozilla() + "\\cookies.txt", kMozillaHeader + kSidLine + kLangLine);
    WriteFileBytes(Mozilla() + "\\cookperm.txt", kCookperm);
  }
  std::string FirefoxOther() const { return mozilla_.File("Firefox\\Profiles\\e2e0.default"); }
  std::string FirefoxWork() const { return mozilla_.File("Firefox\\Profiles\\e2e1.work"); }
  std::string Mozilla() const { return mozilla_.File("Profiles\\default\\e2e9q2ab.slt"); }

 private:
  TSettingsGuard settings_;
  std::string appData_;
  TFolderGuard mozilla_;
};


// The driver in a working folder of the scenario's own: the program's
// temporary copies go there, beside nothing of another test.
TDriveResult Drive(const std::string& Script, const TTempDir& Cwd) {
  return RunDriveScript(Script, {"--cwd", Cwd.Path()});
}

// The two browsers of the Netscape page, each with the profile that holds
// the sid and lang cookies: where its files are and how its page is reached.
struct TMozillaBrowser {
  const char* button;
  int profile;
  std::string (TMozillaMachine::*dir)() const;
  const std::string* header;
};
const TMozillaBrowser kBrowsers[] = {
    {"FireFoxCheck", 1, &TMozillaMachine::FirefoxWork, &kFirefoxHeader},
    {"NetscapeCheck", 0, &TMozillaMachine::Mozilla, &kMozillaHeader},
};

std::string CookiesPage(const TMozillaBrowser& B) {
  return std::string("start\npress ") + B.button + "\nselect NetscapeTabControl 0\nselect cboMozillaProfiles " +
         std::to_string(B.profile) + "\n";
}

const char kCookieCaptions[] =
    "Row Number\tCookie Name\tCookie Value\tCookie Domain\tExpitration Date\tSecure\tSubdomains\r\n";
const char kLangRow[] = "\tlang\ten\twww.example.org/\t1/1/2032 1:05:00 PM\tYes\tNo\r\n";

// ---- Firefox and Netscape/Mozilla --------------------------------------------------------

TEST(MozillaPagesEndToEnd, ExportShowsTheChosenProfilesRowsAndInstallsOnlyForHostperm) {
  TMozillaMachine machine;
  TTempDir out;
  struct Case {
    const char* view;
    const char* profile;
    std::string expected;
  } cases[] = {
      {"firefox-cookies", "1",
       "Row Number\tCookie Name\tCookie Value\tCookie Domain\tExpitration Date\tSecure\tSubdomains\r\n"
       "1\tlang\ten\twww.example.org/\t1/1/2032 1:05:00 PM\tYes\tNo\r\n"
       "2\tsid\tabc\t.shop.example/cart/items\t1/1/2031 1:02:03 AM\tNo\tYes\r\n"},
      {"firefox-permissions", "1",
       "Row Number\tCookie Domain\tBlock Cookies\tBlock Images\tBlock Ads\tBlock Installs\r\n"
       "1\tads.example\tdefault\tdefault\talways block\tdefault\r\n"
       "2\told.example\talways allow\tdefault\tdefault\talways block\r\n"},
      {"netscape-cookies", "0",
       "Row Number\tCookie Name\tCookie Value\tCookie Domain\tExpitration Date\tSecure\tSubdomains\r\n"
       "1\tlang\ten\twww.example.org/\t1/1/2032 1:05:00 PM\tYes\tNo\r\n"
       "2\tsid\tabc\t.shop.example/cart/items\t1/1/2031 1:02:03 AM\tNo\tYes\r\n"},
      // cookperm.txt knows no installs: the hidden column's cells are empty.
      {"netscape-permissions", "0",
       "Row Number\tCookie Domain\tBlock Cookies\tBlock Images\tBlock Ads\tBlock Installs\r\n"
       "1\tads.example\tdefault\tdefault\talways block\t\r\n"
       "2\told.example\talways allow\talways block\tdefault\t\r\n"},
  };
  for (const Case& c : cases) {
    const std::string file = out.File(std::string(c.view) + ".txt");
    const TDriveResult r = RunDrive({"export", c.view, file, "--profile", c.profile});
    ASSERT_EQ(r.exitCode, 0) << c.view << "\n" << r.output;
    EXPECT_EQ(ReadFileBytes(file), c.expected) << c.view;
  }
  // Looking changes nothing, and the copy of Registry.dat that the program
  // reads beside itself is gone with it.
  WIN32_FIND_DATAA fd;
  HANDLE copies = FindFirstFileA(test::BinPath("qbM*.tmp").c_str(), &fd);
  EXPECT_EQ(copies, INVALID_HANDLE_VALUE) << fd.cFileName;
  if (copies != INVALID_HANDLE_VALUE) FindClose(copies);
  EXPECT_EQ(ReadFileBytes(machine.FirefoxWork() + "\\cookies.txt"), kFirefoxHeader + kSidLine + kLangLine);
  EXPECT_EQ(ReadFileBytes(machine.FirefoxWork() + "\\hostperm.1"), kHostperm);
  EXPECT_EQ(ReadFileBytes(machine.Mozilla() + "\\cookperm.txt"), kCookperm);
}

// The profile chosen in one run is the one shown at the next start.
TEST(MozillaPagesEndToEnd, TheChosenProfileComesBackAtTheNextStart) {
  TMozillaMachine machine;
  TTempDir cwd;
  const TDriveResult first = Drive("start\n"
                                   "press FireFoxCheck\n"
                                   "select NetscapeTabControl 0\n"
                                   "select cboMozillaProfiles 1\n"
                                   "close\n",
                                   cwd);
  ASSERT_EQ(first.exitCode, 0) << first.output;
  const std::string file = cwd.File("rows.txt");
  const TDriveResult second = RunDrive({"export", "firefox-cookies", file});
  ASSERT_EQ(second.exitCode, 0) << second.output;
  EXPECT_EQ(ReadFileBytes(file), std::string(kCookieCaptions) + "1" + kLangRow +
                                     "2\tsid\tabc\t.shop.example/cart/items\t1/1/2031 1:02:03 AM\tNo\tYes\r\n");
}

// The sid cookie's path is longer than "/": an edit of its value rewrites
// its own line under the same path, and the header lines and the other
// cookie keep their bytes.
TEST(MozillaPagesEndToEnd, EditKeepsTheHeaderLinesAndThePath) {
  for (const TMozillaBrowser& b : kBrowsers) {
    TMozillaMachine machine;
    TTempDir cwd;
    const TDriveResult r = Drive(CookiesPage(b) +
                                     "row MozillaCookiesElTree 1\n"
                                     "press ToolButtonEdit\n"
                                     "show \"Edit Mozilla Cookie\"\n"
                                     "text edtCookieValue xyz\n"
                                     "press BtnSave\n"
                                     "expect-gone \"Edit Mozilla Cookie\"\n"
                                     "save " + QuoteWord(cwd.File("rows.txt")) + "\nclose\n",
                                 cwd);
    ASSERT_EQ(r.exitCode, 0) << b.button << "\n" << r.output;
    EXPECT_NE(r.output.find(": .shop.example/cart/items\n"), std::string::npos) << r.output;
    const std::string dir = (machine.*b.dir)();
    EXPECT_EQ(ReadFileBytes(dir + "\\cookies.txt"),
              *b.header + ".shop.example\tTRUE\t/cart/items\tFALSE\t1924995723\tsid\txyz\n" + kLangLine)
        << b.button;
    EXPECT_EQ(ReadFileBytes(cwd.File("rows.txt")),
              std::string(kCookieCaptions) + "1" + kLangRow +
                  "2\tsid\txyz\t.shop.example/cart/items\t1/1/2031 1:02:03 AM\tNo\tYes\r\n")
        << b.button;
  }
}

// A new cookie is one line at the end; the lines before it keep their bytes.
// Its expiry is the dialog's own proposal, a day from now. A value with a
// TAB, which would shift the file's fields, is refused first and the dialog
// stays open for the correction.
TEST(MozillaPagesEndToEnd, NewAppendsOneLine) {
  for (const TMozillaBrowser& b : kBrowsers) {
    TMozillaMachine machine;
    TTempDir cwd;
    const long long before = static_cast<long long>(std::time(nullptr));
    const TDriveResult r = Drive(CookiesPage(b) +
                                     "press ToolButtonNew\n"
                                     "expect \"New Cookie\"\n"
                                     "text edtCookieName pref\n"
                                     "text edtCookieValue \"da\trk\"\n"
                                     "text edtDomain news.example/\n"
                                     "press BtnSave\n"
                                     "show Information\n"
                                     "answer Information OK\n"
                                     "expect-gone Information\n"
                                     "expect \"New Cookie\"\n"
                                     "text edtCookieValue dark\n"
                                     "press BtnSave\n"
                                     "expect-gone \"New Cookie\"\n"
                                     "close\n",
                                 cwd);
    const long long after = static_cast<long long>(std::time(nullptr));
    ASSERT_EQ(r.exitCode, 0) << b.button << "\n" << r.output;
    EXPECT_NE(r.output.find(": The cookie name, value and domain cannot contain tabs or line breaks.\n"),
              std::string::npos)
        << r.output;
    const std::string kept = *b.header + kSidLine + kLangLine;
    const std::string bytes = ReadFileBytes((machine.*b.dir)() + "\\cookies.txt");
    ASSERT_EQ(bytes.substr(0, kept.size()), kept) << b.button;
    const std::string added = bytes.substr(kept.size());
    const std::string lead = "news.example\tFALSE\t/\tFALSE\t", tail = "\tpref\tdark\n";
    ASSERT_GT(added.size(), lead.size() + tail.size()) << added;
    EXPECT_EQ(added.substr(0, lead.size()), lead) << added;
    EXPECT_EQ(added.substr(added.size() - tail.size()), tail) << added;
    const long long expires = std::atoll(added.substr(lead.size(), added.size() - lead.size() - tail.size()).c_str());
    EXPECT_GE(expires, before + 86400 - 1) << added;
    EXPECT_LE(expires, after + 86400 + 1) << added;
  }
}

// Delete with the three block boxes: the cookie's line goes, the host (its
// leading "." dropped) is blocked for cookies, images and pop-ups, and the
// permissions that were there stay, in each browser's own file format.
TEST(MozillaPermissionsEndToEnd, DeleteWithTheThreeBlocksAddsPermissionsAndKeepsTheOldOnes) {
  struct Case {
    const TMozillaBrowser* browser;
    const char* file;
    std::string expected;
  } cases[] = {
      {&kBrowsers[0], "hostperm.1",
       "# Permission File\n"
       "# This is a generated file! Do not edit.\n"
       "\n"
       "host\tpopup\t2\tads.example\n"
       "host\tcookie\t1\told.example\n"
       "host\tinstall\t2\told.example\n"
       "host\tcookie\t2\tshop.example\n"
       "host\timage\t2\tshop.example\n"
       "host\tpopup\t2\tshop.example\n"},
      {&kBrowsers[1], "cookperm.txt",
       "# HTTP Permission File\n"
       "ads.example\t2F\n"
       "old.example\t0T\t1F\n"
       "shop.example\t0F\t1F\t2F\n"
       "@@@@\t0F\t1F\t2F"},
  };
  for (const Case& c : cases) {
    const TMozillaBrowser& b = *c.browser;
    TMozillaMachine machine;
    TTempDir cwd;
    const TDriveResult r = Drive(CookiesPage(b) +
                                     "row MozillaCookiesElTree 1\n"
                                     "press ToolButtonDelete\n"
                                     "show \"Delete Netscape/Mozilla Cookie(s)\"\n"
                                     "click chkBlockCookie\n"
                                     "click chkBlockImage\n"
                                     "click chkBlockPopup\n"
                                     "press btnOK\n"
                                     "expect-gone \"Delete Netscape/Mozilla Cookie(s)\"\n"
                                     "save " + QuoteWord(cwd.File("rows.txt")) + "\nclose\n",
                                 cwd);
    ASSERT_EQ(r.exitCode, 0) << b.button << "\n" << r.output;
    for (const char* text : {"You are about to delete selected item: sid\r\nDo you want to continue?\n",
                             "Block all future cookies from '.shop.example'\n",
                             "Block all future images from '.shop.example'\n",
                             "Block all future pop-up windows from '.shop.example'\n"})
      EXPECT_NE(r.output.find(text), std::string::npos) << text << " in\n" << r.output;
    const std::string dir = (machine.*b.dir)();
    EXPECT_EQ(ReadFileBytes(dir + "\\cookies.txt"), *b.header + kLangLine) << b.button;
    EXPECT_EQ(ReadFileBytes(dir + "\\" + c.file), c.expected) << b.button;
    EXPECT_EQ(ReadFileBytes(cwd.File("rows.txt")), std::string(kCookieCaptions) + "1" + kLangRow) << b.button;
  }
}

// A profile without a permission file: the first block writes both files,
// each in its own format with its default header; hostperm.1 is the one read
// from then on, so the page shows installs.
TEST(MozillaPermissionsEndToEnd, FirstBlockInAProfileWithoutPermissionsWritesBothFiles) {
  TMozillaMachine machine;
  TTempDir cwd;
  const TDriveResult r = Drive("start\n"
                               "press FireFoxCheck\n"
                               "select NetscapeTabControl 0\n"
                               "select cboMozillaProfiles 0\n"
                               "row MozillaCookiesElTree 0\n"
                               "press ToolButtonDelete\n"
                               "expect \"Delete Netscape/Mozilla Cookie(s)\"\n"
                               "click chkBlockCookie\n"
                               "press btnOK\n"
                               "expect-gone \"Delete Netscape/Mozilla Cookie(s)\"\n"
                               "select NetscapeTabControl 1\n"
                               "save " + QuoteWord(cwd.File("rows.txt")) + "\n"
                               "close\n",
                               cwd);
  ASSERT_EQ(r.exitCode, 0) << r.output;
  const std::string dir = machine.FirefoxOther();
  EXPECT_EQ(ReadFileBytes(dir + "\\cookies.txt"), kFirefoxHeader);
  EXPECT_EQ(ReadFileBytes(dir + "\\cookperm.txt"),
            "# HTTP Permission File\n"
            "# http://www.netscape.com/newsref/std/cookie_spec.html\n"
            "# This is a generated file!  Do not edit.\n"
            "other.example\t0F\n"
            "@@@@\t0F\t1F\t2F");
  EXPECT_EQ(ReadFileBytes(dir + "\\hostperm.1"),
            "# Permision File\n"
            "#This is generated file! Do not edit.\n"
            "\n"
            "host\tcookie\t2\tother.example\n");
  EXPECT_EQ(ReadFileBytes(cwd.File("rows.txt")),
            "Row Number\tCookie Domain\tBlock Cookies\tBlock Images\tBlock Ads\tBlock Installs\r\n"
            "1\tother.example\talways block\tdefault\tdefault\tdefault\r\n");
  // The other profile is not touched.
  EXPECT_EQ(ReadFileBytes(machine.FirefoxWork() + "\\cookies.txt"), kFirefoxHeader + kSidLine + kLangLine);
  EXPECT_EQ(ReadFileBytes(machine.FirefoxWork() + "\\hostperm.1"), kHostperm);
}

// The permission page's own commands, one after the other: New adds a bare
// host blocked for cookies, images and pop-ups; Edit changes one host; Delete
// asks and removes one. Each browser's file keeps its format, and only
// hostperm.1 offers installs.
TEST(MozillaPermissionsEndToEnd, PermissionNewEditAndDeleteRewriteThePermissionFile) {
  struct Case {
    const TMozillaBrowser* browser;
    const char* file;
    const char* editInstalls;  // what the edit does to the installs choice
    bool installsShown;
    std::string expected;
    std::string rows;
  } cases[] = {
      {&kBrowsers[0], "hostperm.1", "select cboInstalls 0\n", true,
       "# Permission File\n"
       "# This is a generated file! Do not edit.\n"
       "\n"
       "host\tcookie\t2\tnew.example\n"
       "host\timage\t2\tnew.example\n"
       "host\tpopup\t2\tnew.example\n"
       "host\tcookie\t1\told.example\n"
       "host\tpopup\t2\told.example\n",
       "1\tnew.example\talways block\talways block\talways block\tdefault\r\n"
       "2\told.example\talways allow\tdefault\talways block\tdefault\r\n"},
      {&kBrowsers[1], "cookperm.txt", "", false,
       "# HTTP Permission File\n"
       "new.example\t0F\t1F\t2F\n"
       "old.example\t0T\t1F\t2F\n"
       "@@@@\t0F\t1F\t2F",
       "1\tnew.example\talways block\talways block\talways block\t\r\n"
       "2\told.example\talways allow\talways block\talways block\t\r\n"},
  };
  for (const Case& c : cases) {
    const TMozillaBrowser& b = *c.browser;
    TMozillaMachine machine;
    TTempDir cwd;
    const TDriveResult r = Drive(std::string("start\npress ") + b.button +
                                     "\nselect NetscapeTabControl 1\nselect cboMozillaProfiles " +
                                     std::to_string(b.profile) +
                                     "\n"
                                     "press ToolButtonNew\n"
                                     "expect \"New Blocked Domain\"\n"
                                     "text edtDomain new.example\n"
                                     "press okBtn\n"
                                     "expect-gone \"New Blocked Domain\"\n"
                                     "row ElTreeMozillaDomains 2\n"
                                     "press ToolButtonEdit\n"
                                     "show \"Edit Blocked Domain\"\n"
                                     "select cboAds 1\n" +
                                     c.editInstalls +
                                     "press okBtn\n"
                                     "expect-gone \"Edit Blocked Domain\"\n"
                                     "row ElTreeMozillaDomains 0\n"
                                     "press ToolButtonDelete\n"
                                     "show Confirm\n"
                                     "answer Confirm Yes\n"
                                     "expect-gone Confirm\n"
                                     "save " + QuoteWord(cwd.File("rows.txt")) + "\nclose\n",
                                 cwd);
    ASSERT_EQ(r.exitCode, 0) << b.button << "\n" << r.output;
    EXPECT_NE(r.output.find(": old.example\n"), std::string::npos) << r.output;
    EXPECT_EQ(r.output.find(": Installs:\n") != std::string::npos, c.installsShown) << r.output;
    EXPECT_NE(r.output.find("You are about to delete selected item: ads.example\r\nDo you want to continue?"),
              std::string::npos)
        << r.output;
    const std::string dir = (machine.*b.dir)();
    EXPECT_EQ(ReadFileBytes(dir + "\\" + c.file), c.expected) << b.button;
    EXPECT_EQ(ReadFileBytes(dir + "\\cookies.txt"), *b.header + kSidLine + kLangLine) << b.button;
    EXPECT_EQ(ReadFileBytes(cwd.File("rows.txt")),
              "Row Number\tCookie Domain\tBlock Cookies\tBlock Images\tBlock Ads\tBlock Installs\r\n" + c.rows)
        << b.button;
  }
}

// ---- Opera ---------------------------------------------------------------------------------

// The user's Opera folder, emptied for the scenario: opera6.ini names the
// folder that holds cookies4.dat, which is not the ini's own folder.
// The two cookies most scenarios use: one at a host's root, one under a path.
std::vector<fixturegen::TOperaGenDomain> TwoOperaCookies() {
  std::vector<fixturegen::TOperaGenDomain> domains;
  fixturegen::TOperaGenCookie sid;
  sid.Name = "sid";
  sid.Value = "1";
  sid.Expires = 1924995723;
  sid.LastUsed = 1700000000;  // 2023-11-14 22:13:20
  sid.Secure = true;
  fixturegen::TOperaGenCookie pref;
  pref.Name = "pref";
  pref.Value = "2";
  pref.Expires = 1956575100;
  pref.HasLastUsed = false;
  pref.ServerOnly = true;  // its flag says: not sent to subdomains
  fixturegen::AddOperaCookie(domains, "www.example.com", "/", sid);
  fixturegen::AddOperaCookie(domains, "shop.test", "/cart", pref);
  return domains;
}

class TOperaMachine {
 public:
  explicit TOperaMachine(const std::vector<fixturegen::TOperaGenDomain>& Domains = TwoOperaCookies())
      : opera_(UserFolder(CSIDL_APPDATA) + "\\Opera") {
    WriteFileBytes(opera_.File("Opera7\\Profile\\opera6.ini"),
                   "[User Prefs]\r\nOpera Directory=" + opera_.File("Data") + "\r\n");
    bytes_ = fixturegen::WriteOperaCookies(Domains, {});
    WriteFileBytes(CookieFile(), bytes_);
  }
  std::string CookieFile() const { return opera_.File("Data\\cookies4.dat"); }
  const std::string& Bytes() const { return bytes_; }

 private:
  TSettingsGuard settings_;
  TFolderGuard opera_;
  std::string bytes_;
};

const char kOperaCaptions[] =
    "Row Number\tCookie Name\tCookie Value\tCookie Domain\tExpitration Date\tLast Time Used\tSecure\t"
    "Subdomains\r\n";
const char kPrefRow[] = "\tpref\t2\t.shop.test/cart\t1/1/2032 1:05:00 PM\t-\tNo\tNo\r\n";
const char kSidRow[] = "\tsid\t1\t.www.example.com\t1/1/2031 1:02:03 AM\t11/14/2023 10:13:20 PM\tYes\tYes\r\n";

TEST(OperaPageEndToEnd, ExportShowsTheCookiesOfTheFileTheIniNames) {
  TOperaMachine machine;
  TTempDir out;
  struct Case {
    const char* view;
    std::string expected;
  } cases[] = {
      {"opera-cookies", std::string(kOperaCaptions) + "1" + kPrefRow + "2" + kSidRow},
      // The domains page has no columns and no rows.
      {"opera-domains", "\r\n"},
  };
  for (const Case& c : cases) {
    const std::string file = out.File(std::string(c.view) + ".txt");
    const TDriveResult r = RunDrive({"export", c.view, file});
    ASSERT_EQ(r.exitCode, 0) << c.view << "\n" << r.output;
    EXPECT_EQ(ReadFileBytes(file), c.expected) << c.view;
  }
  EXPECT_EQ(ReadFileBytes(machine.CookieFile()), machine.Bytes());
}

// Opera's file is only read: a delete takes the row off the page and leaves
// the file as Opera wrote it. The dialog offers no blocks it could not
// keep, the page's other commands do nothing, and no message box shows at
// any point (the driver ends with 3 on one).
TEST(OperaPageEndToEnd, DeleteRemovesTheRowAndLeavesTheFileAsItWas) {
  TOperaMachine machine;
  TTempDir cwd;
  const TDriveResult r = Drive("start\n"
                               "press OperaCheck\n"
                               "select OperaPageControl 0\n"
                               "row OperaCookiesElTree 1\n"
                               "menu \"&Edit\" \"&Edit\"\n"
                               "menu \"&Edit\" \"&New\"\n"
                               "press ToolButtonDelete\n"
                               "show \"Delete Opera Cookie(s)\"\n"
                               "press btnOK\n"
                               "expect-gone \"Delete Opera Cookie(s)\"\n"
                               "show \"Morvane 1.9 - Opera\"\n"
                               "save " + QuoteWord(cwd.File("rows.txt")) + "\n"
                               "select OperaPageControl 1\n"
                               "menu \"&Edit\" \"&New\"\n"
                               "menu \"&Edit\" \"&Edit\"\n"
                               "menu \"&Edit\" \"&Delete\"\n"
                               "close\n",
                               cwd);
  ASSERT_EQ(r.exitCode, 0) << r.output;
  EXPECT_NE(r.output.find("You are about to delete selected item: sid\r\nDo you want to continue?\n"),
            std::string::npos)
      << r.output;
  EXPECT_NE(r.output.find(": Delete selected cookie\n"), std::string::npos) << r.output;
  EXPECT_EQ(r.output.find("Block all future"), std::string::npos) << r.output;
  EXPECT_EQ(r.output.find("third-party"), std::string::npos) << r.output;
  // The user is told in the status bar, not in a box.
  EXPECT_NE(r.output.find(": Opera's file is unchanged\n"), std::string::npos) << r.output;
  EXPECT_EQ(ReadFileBytes(cwd.File("rows.txt")), std::string(kOperaCaptions) + "1" + kPrefRow);
  EXPECT_EQ(ReadFileBytes(machine.CookieFile()), machine.Bytes());
}

// A file as a current Opera writes it (8-byte times, comment addresses,
// fields no reader knows, cookies at a host, under paths and in sub-domains):
// every row is listed, and deleting them all takes every row off the page
// without a single message box, the file left as it was.
TEST(OperaPageEndToEnd, EveryCookieOfAFullFileListedAndDeletedWithoutABox) {
  TOperaMachine machine(fixturegen::MakeOperaCookies(40));
  TTempDir cwd;
  const TDriveResult r = Drive("start\n"
                               "press OperaCheck\n"
                               "select OperaPageControl 0\n"
                               "save " + QuoteWord(cwd.File("before.txt")) + "\n"
                               "row OperaCookiesElTree 0\n"
                               "menu \"&Edit\" \"&Select all\"\n"
                               "press ToolButtonDelete\n"
                               "show \"Delete Opera Cookie(s)\"\n"
                               "press btnOK\n"
                               "expect-gone \"Delete Opera Cookie(s)\"\n"
                               "save " + QuoteWord(cwd.File("after.txt")) + "\n"
                               "close\n",
                               cwd);
  ASSERT_EQ(r.exitCode, 0) << r.output;
  EXPECT_NE(r.output.find("You are about to delete all selected items (40)\r\nDo you want to continue?\n"),
            std::string::npos)
      << r.output;
  const std::string before = ReadFileBytes(cwd.File("before.txt"));
  std::vector<std::string> names;
  for (size_t at = before.find("\r\n") + 2; at < before.size();) {
    const size_t end = before.find("\r\n", at);
    ASSERT_NE(end, std::string::npos) << before;
    const std::string line = before.substr(at, end - at);
    size_t cells = 1;
    for (char ch : line) cells += ch == '\t';
    EXPECT_EQ(cells, 8u) << line;
    const size_t first = line.find('\t') + 1;
    names.push_back(line.substr(first, line.find('\t', first) - first));
    at = end + 2;
  }
  EXPECT_EQ(names.size(), 40u) << before;
  for (int i = 0; i < 40; ++i)
    EXPECT_NE(std::find(names.begin(), names.end(), "c" + std::to_string(i)), names.end()) << "c" << i;
  EXPECT_EQ(ReadFileBytes(cwd.File("after.txt")), kOperaCaptions);
  EXPECT_EQ(ReadFileBytes(machine.CookieFile()), machine.Bytes());
}

}  // namespace
}  // namespace morvane
