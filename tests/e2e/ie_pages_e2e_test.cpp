// The Internet Explorer pages of the real program, driven from outside: the
// cookie files in the user's real cookie folder, the per-site privacy list
// in the real registry, and the history index files in the user's real
// history folder. Each scenario seeds the smallest data that shows the
// behaviour and checks the bytes on disk, the registry and the exports.
// ctest: desktop
// ctest: lock=registry_qbmorvane
// ctest: lock=ie_cookies
// ctest: lock=ie_history
// ctest: lock=p3p
// ctest: lock=pending_renames
#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "e2e_support.h"
#include "fixture-gen/index_dat_gen.h"
#include "platform/win32.h"
#include "support/test_env.h"

#include <shlobj.h>

namespace morvane {
namespace {

using test::kPrivacyListKey;
using test::PrivacyEntry;
using test::QuoteWord;
using test::SetPrivacyEntry;
using test::ReadFileBytes;
using test::TDriveResult;
using test::TFolderGuard;
using test::TPrivacyListGuard;
using test::TSettingsGuard;
using test::WriteFileBytes;


// The driver run in a working folder of the scenario's own: the program
// writes its temporary files there, and nothing of another test is in it.
TDriveResult Drive(const std::string& Script, const test::TTempDir& Cwd) {
  return test::RunDriveScript(Script, {"--cwd", Cwd.Path()});
}

// Names in Folder that match Mask.
std::vector<std::string> FilesLike(const std::string& Folder, const std::string& Mask) {
  std::vector<std::string> out;
  WIN32_FIND_DATAA fd;
  HANDLE h = FindFirstFileA((Folder + "\\" + Mask).c_str(), &fd);
  if (h == INVALID_HANDLE_VALUE) return out;
  do out.push_back(fd.cFileName);
  while (FindNextFileA(h, &fd));
  FindClose(h);
  return out;
}

bool Exists(const std::string& Path) { return GetFileAttributesA(Path.c_str()) != INVALID_FILE_ATTRIBUTES; }

void SetWriteTime(const std::string& Path, uint64_t FileTime) {
  HANDLE h = CreateFileA(Path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                         OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(h, INVALID_HANDLE_VALUE) << Path;
  FILETIME ft{static_cast<DWORD>(FileTime), static_cast<DWORD>(FileTime >> 32)};
  ASSERT_TRUE(SetFileTime(h, nullptr, nullptr, &ft));
  CloseHandle(h);
}

// ---- Internet Explorer's per-site privacy list ----

// ---- Internet Explorer cookies ----

// File times (UTC; the test prefix runs in UTC, so local time is the same).
constexpr uint64_t kCreated = 134117966460000000ull;     // 2026-01-02 03:04:06
constexpr uint64_t kMidnight = 135496800000000000ull;    // 2030-05-17 00:00:00
constexpr uint64_t kAfternoon = 135497269240000000ull;   // 2030-05-17 13:02:04
constexpr uint64_t kLater = 135723315060000000ull;       // 2031-02-03 04:05:06
constexpr uint64_t kFileWritten = 134405856000000000ull;  // 2026-12-01 08:00:00

// One record of an Internet Explorer cookie file: nine lines.
std::string Record(const std::string& Name, const std::string& Value, const std::string& HostPath,
                   const std::string& Flags, uint64_t Expires) {
  return test::IeCookieRecord(Name, Value, HostPath, Flags, Expires, kCreated);
}

const char kAlphaFile[] = "user@alpha.example[2].txt";
const char kZetaFile[] = "user@zeta.example[1].txt";
const std::string kAlphaFirst = Record("a1", "old1", "alpha.example/", "0", kAfternoon);
const std::string kAlphaSecond = Record("a2", "old2", "alpha.example/path/", "9216", kLater);
const std::string kZeta = Record("z1", "zv", "www.shop.zeta.example/", "8193", kMidnight);

const char kCookieCaptions[] =
    "Row Number\tFile Name\tCookie Name\tCookie Value\tCookie Domain\tSecure\tHttpOnly\tCreated Date\t"
    "Expitration Date\tLast Modified Date\r\n";
const char kRowA1[] =
    "\tuser@alpha.example[2].txt\ta1\told1\talpha.example/\tNo\tNo\t1/2/2026 3:04:06 AM\t5/17/2030 1:02:04 PM\t"
    "12/1/2026 8:00:00 AM\r\n";
const char kRowA2[] =
    "\tuser@alpha.example[2].txt\ta2\told2\talpha.example/path/\tNo\tYes\t1/2/2026 3:04:06 AM\t2/3/2031 4:05:06 AM\t"
    "12/1/2026 8:00:00 AM\r\n";
const char kRowZ1[] =
    "\tuser@zeta.example[1].txt\tz1\tzv\twww.shop.zeta.example/\tYes\tYes\t1/2/2026 3:04:06 AM\t5/17/2030\t"
    "12/1/2026 8:00:00 AM\r\n";

std::string Rows(std::initializer_list<const char*> Lines) {
  std::string out = kCookieCaptions;
  int n = 0;
  for (const char* l : Lines) out += std::to_string(++n) + l;
  return out;
}

// The user's cookie folder with two cookie files (one of two records, one
// of one) and the folder's index file, the privacy list present and empty.
class IECookiesScenario : public ::testing::Test {
 protected:
  void SetUp() override {
    WriteFileBytes(cookies.File(kZetaFile), kZeta);
    WriteFileBytes(cookies.File(kAlphaFile), kAlphaFirst + kAlphaSecond);
    WriteFileBytes(cookies.File("index.dat"), "Client UrlCache MMF Ver 5.2");
    for (const char* f : {kZetaFile, kAlphaFile}) SetWriteTime(cookies.File(f), kFileWritten);
  }
  std::string Start() const { return "start\npress IECheck\nselect IETabControl 0\n"; }
  std::string SaveTo(const std::string& Name) const { return "save " + QuoteWord(cwd.File(Name)) + "\n"; }

  TSettingsGuard settings;
  test::TPendingRenamesGuard renames;
  TPrivacyListGuard privacy;
  TFolderGuard cookies{test::UserFolder(CSIDL_COOKIES)};
  test::TTempDir cwd;
};

// The program's own settings, where it keeps each grid's sort.
void SetSetting(const std::string& Name, const std::string& Value) {
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "SOFTWARE\\Quenbry\\QbMorvane\\Props\\UserDefined", 0, nullptr, 0,
                            KEY_ALL_ACCESS, nullptr, &key, nullptr),
            ERROR_SUCCESS);
  RegSetValueExA(key, Name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(Value.c_str()),
                 static_cast<DWORD>(Value.size() + 1));
  RegCloseKey(key);
}

// Every cookie a row, in the grid's sort: by file name on a first run, by
// the column and direction the user left otherwise.
TEST_F(IECookiesScenario, ExportListsEveryCookieInTheGridsSortOrder) {
  {
    const TDriveResult r = Drive(Start() + SaveTo("rows.txt") + "close\n", cwd);
    ASSERT_EQ(r.exitCode, 0) << r.output;
    EXPECT_EQ(ReadFileBytes(cwd.File("rows.txt")), Rows({kRowA1, kRowA2, kRowZ1})) << r.output;
  }
  // Cookie Name (column 2), descending.
  SetSetting("IECookiesElTree-SortColumn", "2");
  SetSetting("IECookiesElTree-SortDir", "Descending");
  const TDriveResult r = Drive(Start() + SaveTo("sorted.txt") + "close\n", cwd);
  ASSERT_EQ(r.exitCode, 0) << r.output;
  EXPECT_EQ(ReadFileBytes(cwd.File("sorted.txt")), Rows({kRowZ1, kRowA2, kRowA1})) << r.output;
}

// The second record of a file is edited: its lines change, the first
// record's lines and the other file keep their bytes, and the program's
// temporary file is gone.
TEST_F(IECookiesScenario, EditRewritesOnlyTheEditedRecord) {
  const TDriveResult r = Drive(Start() +
                                   "row IECookiesElTree 1\n"
                                   "menu \"&Edit\" \"&Edit\"\n"
                                   "expect \"Edit Cookie a2\"\n"
                                   "text edtCookieValue new2\n"
                                   "click ChkSecure\n"
                                   "press BtnSave\n"
                                   "expect-gone \"Edit Cookie a2\"\n" +
                                   SaveTo("rows.txt") + "close\n",
                               cwd);
  ASSERT_EQ(r.exitCode, 0) << r.output;
  EXPECT_EQ(ReadFileBytes(cookies.File(kAlphaFile)),
            kAlphaFirst + Record("a2", "new2", "alpha.example/path/", "9217", kLater));
  EXPECT_EQ(ReadFileBytes(cookies.File(kZetaFile)), kZeta);
  EXPECT_EQ(FilesLike(cwd.Path(), "$TMP$_*"), std::vector<std::string>{});
  EXPECT_EQ(FilesLike(cookies.Path(), "$TMP$_*"), std::vector<std::string>{});
  const std::string edited =
      "\tuser@alpha.example[2].txt\ta2\tnew2\talpha.example/path/\tYes\tYes\t1/2/2026 3:04:06 AM\t"
      "2/3/2031 4:05:06 AM\t12/1/2026 8:00:00 AM\r\n";
  EXPECT_EQ(ReadFileBytes(cwd.File("rows.txt")), Rows({kRowA1, edited.c_str(), kRowZ1})) << r.output;
}

// Deleting a file's only cookie with the block option removes the file and
// puts the cookie's domain, reduced as Internet Explorer keys it, on the
// privacy list as "always block".
TEST_F(IECookiesScenario, DeleteWithBlockRemovesTheFileAndBlocksTheDomain) {
  const TDriveResult r = Drive(Start() +
                                   "row IECookiesElTree 2\n"
                                   "menu \"&Edit\" \"&Delete\"\n"
                                   "show \"Delete Intermet Explorer Cookie(s)\"\n"
                                   "click chkBlockCookie\n"
                                   "press Button1\n"
                                   "expect-gone \"Delete Intermet Explorer Cookie(s)\"\n" +
                                   SaveTo("rows.txt") + "close\n",
                               cwd);
  ASSERT_EQ(r.exitCode, 0) << r.output;
  EXPECT_NE(r.output.find("You are about to delete selected cookie: z1\n"), std::string::npos) << r.output;
  EXPECT_NE(r.output.find("Block all future cookies from 'www.shop.zeta.example'\n"), std::string::npos) << r.output;
  EXPECT_FALSE(Exists(cookies.File(kZetaFile)));
  EXPECT_EQ(ReadFileBytes(cookies.File(kAlphaFile)), kAlphaFirst + kAlphaSecond);
  EXPECT_EQ(PrivacyEntry("zeta.example"), "dword:5");
  EXPECT_EQ(PrivacyEntry("www.shop.zeta.example"), "gone");
  EXPECT_EQ(ReadFileBytes(cwd.File("rows.txt")), Rows({kRowA1, kRowA2})) << r.output;
  EXPECT_FALSE(test::PendingFileRenamesHold(cookies.File("index.dat"))) << "cookies are left: no restart is needed";
}

// Deleting every cookie empties the folder: its index file waits for the
// restart, and the restart is offered; "No" leaves it at that.
TEST_F(IECookiesScenario, DeletingEveryCookieOffersTheRestartAndNoKeepsWindowsRunning) {
  const TDriveResult r = Drive(Start() +
                                   "row IECookiesElTree 0\n"
                                   "menu \"&Edit\" \"&Select all\"\n"
                                   "menu \"&Edit\" \"&Delete\"\n"
                                   "show \"Delete Intermet Explorer Cookie(s)\"\n"
                                   "press Button1\n"
                                   "show Confirmation\n"
                                   "answer Confirmation No\n"
                                   "expect-gone Confirmation\n" +
                                   SaveTo("rows.txt") + "close\n",
                               cwd);
  ASSERT_EQ(r.exitCode, 0) << r.output;
  EXPECT_NE(r.output.find("You are about to delete all selected cookies (3)\n"), std::string::npos) << r.output;
  EXPECT_NE(r.output.find("All Internet Explorer cookies have been deleted. \n"), std::string::npos) << r.output;
  EXPECT_FALSE(Exists(cookies.File(kZetaFile)));
  EXPECT_FALSE(Exists(cookies.File(kAlphaFile)));
  EXPECT_TRUE(test::PendingFileRenamesHold(cookies.File("index.dat"))) << ::testing::PrintToString(test::PendingFileRenames());
  EXPECT_EQ(ReadFileBytes(cwd.File("rows.txt")), kCookieCaptions) << r.output;
}

// ---- the privacy list page ----

// Entries of every kind the list key can hold: only "always block" (5) and
// "always allow" (1) are the page's; the others belong to someone else and
// must come through every command untouched.
// The user's own list, with an entry of theirs, is set aside for the
// scenario and is back as it was afterwards.
class IEPrivacyScenario : public ::testing::Test {
 protected:
  void SetUp() override {
    userListExisted = test::PrivacyListExists();
    SetPrivacyEntry("mv-users-own.example", "dword:5");
    privacy.emplace();
    for (const auto& [domain, value] : kSeeded) SetPrivacyEntry(domain, value);
  }
  void TearDown() override {
    privacy.reset();
    EXPECT_EQ(PrivacyEntry("mv-users-own.example"), "dword:5");
    for (const auto& [domain, value] : kSeeded) EXPECT_EQ(PrivacyEntry(domain), "gone") << domain;
    RegDeleteTreeA(HKEY_CURRENT_USER, (std::string(kPrivacyListKey) + "\\mv-users-own.example").c_str());
    if (!userListExisted) RegDeleteTreeA(HKEY_CURRENT_USER, kPrivacyListKey);
  }
  std::string SaveTo(const std::string& Name) const { return "save " + QuoteWord(cwd.File(Name)) + "\n"; }

  const std::map<std::string, std::string> kSeeded = {
      {"mv-block.example", "dword:5"}, {"mv-allow.example", "dword:1"}, {"mv-two.example", "dword:2"},
      {"mv-text.example", "sz:5"},     {"mv-none.example", "none"},
  };
  TSettingsGuard settings;
  bool userListExisted = false;
  std::optional<TPrivacyListGuard> privacy;
  test::TTempDir cwd;
};

TEST_F(IEPrivacyScenario, NewEditAndDeleteTouchOnlyBlockAndAllowEntries) {
  const std::string dialog = "Add New Blocked/Allowed Domain";
  const TDriveResult r = Drive(
      "start\npress IECheck\nselect IETabControl 1\n" + SaveTo("before.txt") +
          // A whole URL: the entry is the registrable domain of its host.
          "menu \"&Edit\" \"&New\"\n"
          "expect " + QuoteWord(dialog) + "\n"
          "text txtDomainName \"http://user@www.shop.example.co.uk:8080/x\"\n"
          "select cboBlockedDomainSetting 1\n"
          "press Button1\n"
          "expect-gone " + QuoteWord(dialog) + "\n"
          // No dot: refused, and the dialog stays open with the text typed.
          "menu \"&Edit\" \"&New\"\n"
          "expect " + QuoteWord(dialog) + "\n"
          "text txtDomainName nodot\n"
          "press Button1\n"
          "show Morvane\n"
          "answer Morvane OK\n"
          "show " + QuoteWord(dialog) + "\n"
          "press btnCancel\n"
          "expect-gone " + QuoteWord(dialog) + "\n"
          // A backslash would make a nested key Internet Explorer ignores.
          "menu \"&Edit\" \"&New\"\n"
          "expect " + QuoteWord(dialog) + "\n"
          "text txtDomainName " + QuoteWord("a\\b.com") + "\n"
          "press Button1\n"
          "show Morvane\n"
          "answer Morvane OK\n"
          "expect-gone " + QuoteWord(dialog) + "\n"
          // Rows in domain order: example.co.uk, mv-allow.example, mv-block.example.
          "row ElTreeDomains 1\n"
          "menu \"&Edit\" \"&Edit\"\n"
          "expect \"Edit Blocked/Allowed Domain\"\n"
          "select cboBlockedDomainSetting 0\n"
          "press BtnSave\n"
          "expect-gone \"Edit Blocked/Allowed Domain\"\n"
          "row ElTreeDomains 2\n"
          "menu \"&Edit\" \"&Delete\"\n"
          "show Confirm\n"
          "answer Confirm Yes\n"
          "expect-gone Confirm\n" +
          SaveTo("after.txt") + "close\n",
      cwd);
  ASSERT_EQ(r.exitCode, 0) << r.output;
  EXPECT_EQ(ReadFileBytes(cwd.File("before.txt")),
            "Row Number\tCookie Domain\tValue\r\n"
            "1\tmv-allow.example\tAlways Allow\r\n"
            "2\tmv-block.example\tAlways Block\r\n")
      << r.output;
  EXPECT_EQ(ReadFileBytes(cwd.File("after.txt")),
            "Row Number\tCookie Domain\tValue\r\n"
            "1\texample.co.uk\tAlways Allow\r\n"
            "2\tmv-allow.example\tAlways Block\r\n")
      << r.output;
  EXPECT_NE(r.output.find("Static: You have entered invalid domain."), std::string::npos) << r.output;
  EXPECT_NE(r.output.find("Edit: nodot\n"), std::string::npos) << "the dialog kept the text\n" << r.output;
  EXPECT_NE(r.output.find("Static: You are about to delete selected item: mv-block.example\r\nDo you want to continue?\n"),
            std::string::npos)
      << r.output;
  EXPECT_EQ(PrivacyEntry("example.co.uk"), "dword:1");
  EXPECT_EQ(PrivacyEntry("mv-allow.example"), "dword:5");
  EXPECT_EQ(PrivacyEntry("mv-block.example"), "gone");
  EXPECT_EQ(PrivacyEntry("nodot"), "gone");
  EXPECT_NE(r.output.find("Static: Cannot Add to blocked domains list\n"), std::string::npos) << r.output;
  EXPECT_EQ(PrivacyEntry("a"), "gone");
  EXPECT_EQ(PrivacyEntry("a\\b.com"), "gone");
  EXPECT_EQ(PrivacyEntry("www.shop.example.co.uk"), "gone");
  EXPECT_EQ(PrivacyEntry("mv-two.example"), "dword:2");
  EXPECT_EQ(PrivacyEntry("mv-text.example"), "sz:5");
  EXPECT_EQ(PrivacyEntry("mv-none.example"), "none");
}

// ---- the history page ----

// 2026-12-08 09:30:00 UTC as a file time.
constexpr uint64_t kVisited = 134411958000000000ull;

std::string IndexDat(std::vector<fixturegen::TIndexDatGenRecord> Records) {
  return fixturegen::WriteIndexDat(Records);
}

// The user's history folder: a cache folder with two weekly folders below
// it, a sibling folder after it, and a folder without an index file.
class IEHistoryScenario : public ::testing::Test {
 protected:
  void SetUp() override {
    cache = history.File("History.IE5") + "\\";
    week1 = cache + "MSHist012026120720261214\\";
    week2 = cache + "MSHist012026121420261221\\";
    zed = history.File("Zed") + "\\";
    WriteFileBytes(cache + "index.dat", IndexDat({{"URL ", "Visited: user@http://cache.example/", kVisited, kVisited}}));
    WriteFileBytes(week1 + "index.dat",
                   IndexDat({{"URL ", "Visited: user@http://a.example/x", 0, kVisited},
                             {"LEAK", "Visited: user@http://leak.example/", kVisited, kVisited},
                             {"URL ", "Visited: bob@file:///C:/b.htm", kVisited, kVisited + 20000000}}));
    WriteFileBytes(week2 + "index.dat", IndexDat({{"URL ", "Visited: user@http://c.example/", kVisited, kVisited}}));
    WriteFileBytes(zed + "index.dat", IndexDat({{"URL ", "Visited: x@:Host: d.example", kVisited, kVisited}}));
    WriteFileBytes(history.File("Empty") + "\\readme.txt", "no index here");
  }
  std::string Start() const { return "start\npress IECheck\nselect IETabControl 2\n"; }
  std::string SaveTo(const std::string& Name) const { return "save " + QuoteWord(cwd.File(Name)) + "\n"; }

  TSettingsGuard settings;
  test::TPendingRenamesGuard renames;
  TPrivacyListGuard privacy;  // present: the history page is the third tab
  TFolderGuard history{test::UserFolder(CSIDL_HISTORY)};
  test::TTempDir cwd;
  std::string cache, week1, week2, zed;
};

TEST_F(IEHistoryScenario, FoldersDepthFirstThenTheChosenFoldersPeriodEntriesAndBytes) {
  const TDriveResult r = Drive(Start() + "row ElTreeHistoryFiles 1\n" + SaveTo("folders.txt") +
                                   "show \"Morvane 1.9 - IE\"\n"
                                   "click ElTreeHistory\n" +
                                   SaveTo("entries.txt") +
                                   "select pgHistory 1\n"
                                   "row ElTreeHistoryFiles 1\n"
                                   "list-row ListView 0\n"
                                   "close\n",
                               cwd);
  ASSERT_EQ(r.exitCode, 0) << r.output;
  EXPECT_EQ(ReadFileBytes(cwd.File("folders.txt")),
            "Row Number\tHistory Folders\r\n"
            "1\t" + cache + "\r\n"
            "2\t" + week1 + "\r\n"
            "3\t" + week2 + "\r\n"
            "4\t" + zed + "\r\n")
      << r.output;
  EXPECT_NE(r.output.find(": History data for period: 12/7/2026 - 12/14/2026\n"), std::string::npos) << r.output;
  EXPECT_EQ(ReadFileBytes(cwd.File("entries.txt")),
            "Row Number\tURL\tCreate Date\tSave Date\r\n"
            "1\thttp://a.example/x\t-\t12/8/2026 9:30:00 AM\r\n"
            "2\tfile:///C:/b.htm\t12/8/2026 9:30:00 AM\t12/8/2026 9:30:02 AM\r\n")
      << r.output;
  // The first 32 bytes of the chosen folder's file: the signature, its end
  // and the file's length (0x8000, little-endian), as hex in 2-byte groups
  // and as text, at a hex address.
  ASSERT_EQ(ReadFileBytes(week1 + "index.dat").size(), 0x8000u);
  EXPECT_NE(r.output.find("row 0 of \"ListView\": 00000000 \t"
                          "436C 6965 6E74 2055 726C 4361 6368 6520 4D4D 4620 5665 7220 352E 3200 0080 0000 \t"
                          "Client UrlCache MMF Ver 5.2..\x80..\n"),
            std::string::npos)
      << r.output;
}

// Two index files deleted while another program (this test) holds one of
// them open: one box names the deleted file and the locked one and asks
// about the restart; "No" leaves the locked file waiting for the restart.
TEST_F(IEHistoryScenario, DeleteOfTwoFilesOneHeldOpenNamesBothAndLeavesTheLockedOneForTheRestart) {
  const std::string gone = week1 + "index.dat", held = week2 + "index.dat";
  HANDLE other = CreateFileA(held.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(other, INVALID_HANDLE_VALUE);
  const std::string dialog = "Delete IE  History File(s)";
  const TDriveResult r = Drive(Start() +
                                   "row ElTreeHistoryFiles 1\n"
                                   "key ElTreeHistoryFiles Shift+Down\n"
                                   "menu \"&Edit\" \"&Delete\"\n"
                                   "show " + QuoteWord(dialog) + "\n"
                                   "answer " + QuoteWord(dialog) + " OK\n"
                                   "show Information\n"
                                   "answer Information No\n"
                                   "expect-gone Information\n" +
                                   SaveTo("folders.txt") + "close\n",
                               cwd);
  CloseHandle(other);
  ASSERT_EQ(r.exitCode, 0) << r.output;
  EXPECT_NE(r.output.find("Static: You are about to delete 2 Internet Explorer history files.\n"), std::string::npos)
      << r.output;
  // The box's controls in whatever order the system makes them: its text,
  // and Yes and No as its only buttons.
  const size_t at = r.output.find("window \"Information\"\n");
  ASSERT_NE(at, std::string::npos) << r.output;
  const std::string box = r.output.substr(at);
  EXPECT_NE(box.find("  Static: Following history files were deleted successfully:\r\n\r\n" + gone +
                     "\r\n\r\nFollowing history files are locked by Internet Explorer and will be deleted after "
                     "reboot:\r\n\r\n" + held + "\r\n\r\nDo you want to reboot Windows now?\n"),
            std::string::npos)
      << r.output;
  EXPECT_NE(box.find("  Button: &Yes\n"), std::string::npos) << r.output;
  EXPECT_NE(box.find("  Button: &No\n"), std::string::npos) << r.output;
  EXPECT_EQ(box.find("  Button: OK\n"), std::string::npos) << r.output;
  EXPECT_FALSE(Exists(gone));
  EXPECT_TRUE(Exists(held));
  EXPECT_TRUE(test::PendingFileRenamesHold(held)) << ::testing::PrintToString(test::PendingFileRenames());
  EXPECT_FALSE(test::PendingFileRenamesHold(gone)) << ::testing::PrintToString(test::PendingFileRenames());
  // The list read again: the folder whose file went is no longer a history folder.
  EXPECT_EQ(ReadFileBytes(cwd.File("folders.txt")),
            "Row Number\tHistory Folders\r\n"
            "1\t" + cache + "\r\n"
            "2\t" + week2 + "\r\n"
            "3\t" + zed + "\r\n")
      << r.output;
}

}  // namespace
}  // namespace morvane
