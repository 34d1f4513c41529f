// The general commands of the real program, driven from outside: Save as in
// its three formats, Copy selection, the search panel's filter, and the
// Internet Explorer page's disk search for cookie folders no profile names.
// ctest: desktop
// ctest: clipboard
// ctest: timeout=300
// ctest: lock=registry_qbmorvane
// ctest: lock=ie_cookies
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "e2e_support.h"
#include "platform/core/registry.h"
#include "platform/win32.h"
#include "support/test_env.h"

#include <shlobj.h>

namespace morvane {
namespace {

using test::RunDriveScript;
using test::TDriveResult;

// One record of an Internet Explorer cookie file: nine lines ended by LF.
struct TIECookie {
  std::string name, value, hostPath, flags;
  unsigned expiresLow, expiresHigh, createdLow, createdHigh;
};

std::string CookieFileBytes(const std::vector<TIECookie>& Cookies) {
  std::string s;
  for (const TIECookie& c : Cookies)
    s += c.name + "\n" + c.value + "\n" + c.hostPath + "\n" + c.flags + "\n" + std::to_string(c.expiresLow) + "\n" +
         std::to_string(c.expiresHigh) + "\n" + std::to_string(c.createdLow) + "\n" + std::to_string(c.createdHigh) +
         "\n*\n";
  return s;
}

// File times (UTC) of the fixtures, whole seconds: 2030-01-02 10:00:00,
// 2024-05-06 07:08:10 and 2025-03-04 05:06:08.
constexpr unsigned kExpiresLow = 2619052032u, kExpiresHigh = 31520733u;
constexpr unsigned kCreatedLow = 654649600u, kCreatedHigh = 31104900u;
constexpr unsigned kWrittenLow = 595927040u, kWrittenHigh = 31165635u;

// Writes a cookie file and gives it a known last-write time: the grid shows
// that time as the file's date.
void WriteCookieFile(const std::string& Path, const std::vector<TIECookie>& Cookies) {
  test::WriteFileBytes(Path, CookieFileBytes(Cookies));
  HANDLE h = CreateFileA(Path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(h, INVALID_HANDLE_VALUE) << Path;
  FILETIME t{kWrittenLow, kWrittenHigh};
  EXPECT_TRUE(SetFileTime(h, nullptr, nullptr, &t));
  CloseHandle(h);
}

// First-run settings without the update check: no scenario reaches for the network.
class TQuietSettings {
 public:
  TQuietSettings() {
    TRegistry reg;
    if (reg.OpenKey("\\SOFTWARE\\Quenbry\\QbMorvane\\Props\\UserDefined", true)) reg.WriteString("checkForUpdates", "0");
  }

 private:
  test::TSettingsGuard guard_;
};

// The clipboard's 8-bit text ("" when it holds none); the clipboard is
// shared by the whole desktop, so opening it may have to wait a moment.
bool OpenTheClipboard() {
  for (int i = 0; i < 100; ++i) {
    if (OpenClipboard(nullptr)) return true;
    Sleep(20);
  }
  return false;
}

std::string ClipboardText() {
  if (!OpenTheClipboard()) return "(the clipboard cannot be opened)";
  std::string text;
  if (HANDLE h = GetClipboardData(CF_TEXT))
    if (const char* p = static_cast<const char*>(GlobalLock(h))) {
      text = p;
      GlobalUnlock(h);
    }
  CloseClipboard();
  return text;
}

void EmptyTheClipboard() {
  ASSERT_TRUE(OpenTheClipboard());
  EmptyClipboard();
  CloseClipboard();
}


// How many entries the cookie-folder list starts with: every profile folder
// that holds a "cookies" folder, and the user's own cookie folder when it is
// none of them. A folder the search finds comes after these.
int StartingCookieFolderEntries() {
  std::string profiles;
  {
    TRegistry reg;
    reg.SetRootKey(HKEY_LOCAL_MACHINE);
    if (reg.OpenKeyReadOnly("\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList"))
      profiles = reg.ReadString("ProfilesDirectory");
  }
  char expanded[MAX_PATH] = {};
  ExpandEnvironmentStringsA(profiles.c_str(), expanded, MAX_PATH);
  const std::string own = test::UserFolder(CSIDL_COOKIES) + "\\";
  int count = 0;
  bool ownListed = false;
  WIN32_FIND_DATAA fd;
  HANDLE h = profiles.empty() ? INVALID_HANDLE_VALUE : FindFirstFileA((std::string(expanded) + "\\*").c_str(), &fd);
  if (h != INVALID_HANDLE_VALUE) {
    do {
      const std::string name = fd.cFileName;
      if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || name == "." || name == "..") continue;
      const std::string cookies = std::string(expanded) + "\\" + name + "\\cookies\\";
      const DWORD attrs = GetFileAttributesA(cookies.c_str());
      if (attrs == INVALID_FILE_ATTRIBUTES || !(attrs & FILE_ATTRIBUTE_DIRECTORY)) continue;
      ++count;
      if (lstrcmpiA(cookies.c_str(), own.c_str()) == 0) ownListed = true;
    } while (FindNextFileA(h, &fd));
    FindClose(h);
  }
  return count + (ownListed ? 0 : 1);
}

// A value of the program's settings ("(none)" when it is not there).
std::string StoredValue(const std::string& Name) {
  TRegistry reg;
  if (!reg.OpenKeyReadOnly("\\SOFTWARE\\Quenbry\\QbMorvane\\Props\\UserDefined") || !reg.ValueExists(Name)) return "(none)";
  return reg.ReadString(Name);
}

// A stored array of the program's settings, as its elements joined by "|".
std::string StoredArray(const std::string& Name) {
  TRegistry reg;
  if (!reg.OpenKeyReadOnly("\\SOFTWARE\\Quenbry\\QbMorvane\\Props\\UserDefinedArrays")) return "(none)";
  std::string v = reg.ValueExists(Name) ? reg.ReadString(Name) : "(none)";
  for (size_t at; (at = v.find("!@~")) != std::string::npos;) v.replace(at, 3, "|");
  return v;
}

// What the message boxes that `show` printed said, as "CAPTION: TEXT" lines
// joined by " / ".
std::string Messages(const std::string& Output) {
  std::string out, caption;
  size_t at = 0;
  while (at < Output.size()) {
    size_t end = Output.find('\n', at);
    if (end == std::string::npos) end = Output.size();
    const std::string line = Output.substr(at, end - at);
    at = end + 1;
    if (line.rfind("window \"", 0) == 0) caption = line.substr(8, line.size() - 9);
    else if (line.rfind("  Static: ", 0) == 0 && !caption.empty())
      out += (out.empty() ? "" : " / ") + caption + ": " + line.substr(10);
  }
  return out;
}

// ---- the scenarios ----


const char kCaptions[] =
    "Row Number\tFile Name\tCookie Name\tCookie Value\tCookie Domain\tSecure\tHttpOnly\tCreated Date\t"
    "Expitration Date\tLast Modified Date";
const char kDates[] = "5/6/2024 7:08:10 AM\t1/2/2030 10:00:00 AM\t3/4/2025 5:06:08 AM";

const std::vector<TIECookie> kShopCookies = {
    {"tag<b>", "x&y", "shop.example/", "0", kExpiresLow, kExpiresHigh, kCreatedLow, kCreatedHigh},
    {"q\"uote", "caf\xE9", "www.caf\xE9.fr/path/", "8193", kExpiresLow, kExpiresHigh, kCreatedLow, kCreatedHigh}};
const std::vector<TIECookie> kNewsCookies = {
    {"Session", "ABCdef", "news.site/", "0", kExpiresLow, kExpiresHigh, kCreatedLow, kCreatedHigh}};

// The cells of the three rows as the grid shows them (in its order), without
// the row number.
const std::string kNewsRow = "\tuser@news[1].txt\tSession\tABCdef\tnews.site/\tNo\tNo\t" + std::string(kDates);
const std::string kQuoteRow =
    "\tuser@shop[1].txt\tq\"uote\tcaf\xE9\twww.caf\xE9.fr/path/\tYes\tYes\t" + std::string(kDates);
const std::string kTagRow = "\tuser@shop[1].txt\ttag<b>\tx&y\tshop.example/\tNo\tNo\t" + std::string(kDates);

// The tab-separated file of Save as: the captions, then row k as k and its cells.
std::string TabText(const std::vector<std::string>& Rows) {
  std::string out = std::string(kCaptions) + "\r\n";
  int k = 0;
  for (const std::string& r : Rows) out += std::to_string(++k) + r + "\r\n";
  return out;
}

// The user's cookie folder with two cookie files (three cookies between
// them), the program run in a folder of the scenario's own.
class CommandsScenario : public ::testing::Test {
 protected:
  void SetUp() override {
    WriteCookieFile(cookies.File("user@shop[1].txt"), kShopCookies);
    WriteCookieFile(cookies.File("user@news[1].txt"), kNewsCookies);
  }
  TDriveResult Drive(const std::string& Script) { return RunDriveScript(Script, {"--cwd", cwd.Path()}); }
  std::string Out(const std::string& Name) const { return test::QuoteWord(cwd.File(Name)); }
  std::string Read(const std::string& Name) const { return test::ReadFileBytes(cwd.File(Name)); }

  TQuietSettings settings;
  test::TFolderGuard cookies{test::UserFolder(CSIDL_COOKIES)};
  test::TTempDir cwd;
};

TEST_F(CommandsScenario, SaveAsWritesEachFormatByteForByte) {
  const TDriveResult r = Drive("start\n"
                               "save " + Out("rows.txt") + " txt\n"
                               "save " + Out("rows.xls") + " xls\n"
                               "save " + Out("rows.htm") + " htm\n"
                               "close\n");
  ASSERT_EQ(r.exitCode, 0) << r.output;
  // The next save starts where this one ended: its folder and file type.
  EXPECT_EQ(StoredValue("LastSaveAsDirectory"), cwd.Path() + "\\");
  EXPECT_EQ(StoredValue("FilterIndex"), "3");
  const std::string tab = TabText({kNewsRow, kQuoteRow, kTagRow});
  EXPECT_EQ(Read("rows.txt"), tab);
  EXPECT_EQ(Read("rows.xls"), tab);
  // What web sites put into cookies stays text in the page: & < > and "
  // become character references; the 8-bit letter is written as it is.
  EXPECT_EQ(Read("rows.htm"),
            "<table border=1><thead>\r\n"
            "<th>Row Number</th><th>File Name</th><th>Cookie Name</th><th>Cookie Value</th><th>Cookie Domain</th>"
            "<th>Secure</th><th>HttpOnly</th><th>Created Date</th><th>Expitration Date</th>"
            "<th>Last Modified Date</th>\r\n"
            "</thead><tbody>\r\n"
            "<tr>\r\n"
            "<td>1</td><td>user@news[1].txt</td><td>Session</td><td>ABCdef</td><td>news.site/</td><td>No</td>"
            "<td>No</td><td>5/6/2024 7:08:10 AM</td><td>1/2/2030 10:00:00 AM</td><td>3/4/2025 5:06:08 AM</td>\r\n"
            "</tr>\r\n"
            "<tr>\r\n"
            "<td>2</td><td>user@shop[1].txt</td><td>q&quot;uote</td><td>caf\xE9</td><td>www.caf\xE9.fr/path/</td>"
            "<td>Yes</td><td>Yes</td><td>5/6/2024 7:08:10 AM</td><td>1/2/2030 10:00:00 AM</td>"
            "<td>3/4/2025 5:06:08 AM</td>\r\n"
            "</tr>\r\n"
            "<tr>\r\n"
            "<td>3</td><td>user@shop[1].txt</td><td>tag&lt;b&gt;</td><td>x&amp;y</td><td>shop.example/</td>"
            "<td>No</td><td>No</td><td>5/6/2024 7:08:10 AM</td><td>1/2/2030 10:00:00 AM</td>"
            "<td>3/4/2025 5:06:08 AM</td>\r\n"
            "</tr>\r\n"
            "</tbody></table>\r\n");
}


// Copy puts the captions and every cell of the selected rows (also those no
// column shows), numbered from 1, joined by CR LF with none at the end.
TEST_F(CommandsScenario, CopyPutsTheCaptionsAndTheSelectedRowsOnTheClipboard) {
  EmptyTheClipboard();
  const TDriveResult r = Drive("start\n"
                               "row IECookiesElTree 1\n"
                               "key IECookiesElTree Shift+Down\n"
                               "menu \"&Edit\" \"&Copy selection to the clipboard\"\n"
                               "close\n");
  ASSERT_EQ(r.exitCode, 0) << r.output;
  EXPECT_EQ(ClipboardText(), std::string(kCaptions) + "\r\n1" + kQuoteRow + "\t8193\t654649600\r\n2" + kTagRow +
                                 "\t0\t654649600");
}

// The search panel's filter on the cookie page, each step read back as the
// rows that Select all and Save selection as find visible. Coming back from
// the save dialog activates the main window, which clears the filter and
// its text: every step types its text again.
TEST_F(CommandsScenario, FilterHidesAndShowsRowsAsTheSearchSays) {
  auto search = [](const std::string& Text) { return "text EdtItemToSearch " + test::QuoteWord(Text) + "\npress BtnSearch\n"; };
  auto saveVisible = [this](const std::string& Name) {
    return "menu \"&Edit\" \"&Select all\"\nsave-selection " + Out(Name) + "\n";
  };
  const std::string boxes = "click chkFileNames\nclick chkCookieNames\nclick chkCookieValues\nclick chkURLs\n";
  const TDriveResult r = Drive("start\n"
                               "press ToolBtnSearch\n" +
                               search("DEF") + saveVisible("upper.txt") +
                               "click chkCaseSensitive\n" + search("DEF") + saveVisible("sensitive.txt") +
                               "click chkCaseSensitive\n" +
                               search("www.caf\xE9.fr/path/") + saveVisible("whole.txt") +
                               search("www.caf\xE9.fr/path/x") + saveVisible("longer.txt") +
                               boxes + search("e") + saveVisible("nowhere.txt") + boxes +
                               saveVisible("activated.txt") +
                               search("DEF") + "press btnClearSearch\n" + saveVisible("cleared.txt") +
                               search("DEF") + "press ToolButtonRefresh\n" + saveVisible("refreshed.txt") +
                               "close\n");
  ASSERT_EQ(r.exitCode, 0) << r.output;
  auto selected = [](const std::string& Row, const std::string& Flags) {
    return std::string(kCaptions) + "\r\n1" + Row + "\t" + Flags + "\t654649600\r\n";
  };
  const std::string all = std::string(kCaptions) + "\r\n1" + kNewsRow + "\t0\t654649600\r\n2" + kQuoteRow +
                          "\t8193\t654649600\r\n3" + kTagRow + "\t0\t654649600\r\n";
  const std::string none = std::string(kCaptions) + "\r\n";
  // Upper case finds lower case inside a longer cell, unless case counts.
  EXPECT_EQ(Read("upper.txt"), selected(kNewsRow, "0"));
  EXPECT_EQ(Read("sensitive.txt"), none);
  // A cell exactly as long as the text still matches; one letter more never does.
  EXPECT_EQ(Read("whole.txt"), selected(kQuoteRow, "8193"));
  EXPECT_EQ(Read("longer.txt"), none);
  // Nothing searched in: every row hidden.
  EXPECT_EQ(Read("nowhere.txt"), none);
  // The window activated again, Clear, Refresh: every row back.
  EXPECT_EQ(Read("activated.txt"), all);
  EXPECT_EQ(Read("cleared.txt"), all);
  EXPECT_EQ(Read("refreshed.txt"), all);
}


// The search panel of the Internet Explorer page over a folder tree with one
// cookie folder and one decoy (an index file with no cookie file beside it):
// one new entry, named after the manual entries before it, that opens like
// any other folder, then and at the next start.
TEST_F(CommandsScenario, DiskSearchAddsTheOneCookieFolderItFinds) {
  test::TTempDir tree;
  const std::string real = tree.File("a\\real\\"), decoy = tree.File("b\\decoy\\");
  test::WriteFileBytes(real + "index.dat", "Client UrlCache MMF Ver 5.2");
  WriteCookieFile(real + "user@host[1].txt",
                  {{"found", "yes", "host.example/", "0", kExpiresLow, kExpiresHigh, kCreatedLow, kCreatedHigh}});
  test::WriteFileBytes(decoy + "index.dat", "Client UrlCache MMF Ver 5.2");
  const int entry = StartingCookieFolderEntries();
  const TDriveResult r = Drive("start\n"
                               "click chkIECookiesSearch\n"
                               "text cboLocalIEDrives " + test::QuoteWord(tree.Path()) + "\n"
                               "press btnIECookiesSearch\n"
                               "show Information\n"
                               "answer Information OK\n"
                               "select CboIECookieFolders " + std::to_string(entry) + "\n"
                               "save " + Out("found.txt") + "\n"
                               "close\n");
  ASSERT_EQ(r.exitCode, 0) << r.output;
  // The count alone: the decoy does not make the search say that nothing new was found.
  EXPECT_EQ(Messages(r.output), "Information: One IE cookie folder was found.") << r.output;
  const std::string rows = TabText({"\tuser@host[1].txt\tfound\tyes\thost.example/\tNo\tNo\t" + std::string(kDates)});
  EXPECT_EQ(Read("found.txt"), rows);
  EXPECT_EQ(StoredArray("ManuallyEnteredIEProfileNames"), "Manually Found(0)|");
  EXPECT_EQ(StoredArray("ManuallyEnteredIEProfilePaths"), real + "|");

  const TDriveResult again = test::RunDrive({"export", "ie-cookies", cwd.File("again.txt"), "--ie-folder",
                                             std::to_string(entry), "--cwd", cwd.Path()});
  ASSERT_EQ(again.exitCode, 0) << again.output;
  EXPECT_EQ(Read("again.txt"), rows);
}


// Stop while the search is deep in a large tree: the cancel message and no
// other, and nothing left running that keeps the program from ending at once.
TEST_F(CommandsScenario, StopCancelsTheSearchAndTheProgramEndsCleanly) {
  test::TTempDir tree;
  // Every folder holds an index file and no cookie file: each is reported
  // and looked into, which keeps the search busy for seconds after Stop.
  for (int i = 0; i < 25; ++i)
    for (int k = 0; k < 20; ++k)
      test::WriteFileBytes(tree.File("d" + std::to_string(i) + "\\e" + std::to_string(k) + "\\index.dat"), "x");
  const TDriveResult r = Drive("start\n"
                               "click chkIECookiesSearch\n"
                               "text cboLocalIEDrives " + test::QuoteWord(tree.Path()) + "\n"
                               "press btnIECookiesSearch\n"
                               "press btnIECookiesSearch\n"
                               "show Information\n"
                               "answer Information OK\n"
                               "timeout 3\n"  // no search thread may keep the program from ending
                               "close\n");
  ASSERT_EQ(r.exitCode, 0) << r.output;
  EXPECT_EQ(Messages(r.output), "Information: Internet Explorer cookies search was cancelled!") << r.output;
}

}  // namespace
}  // namespace morvane
