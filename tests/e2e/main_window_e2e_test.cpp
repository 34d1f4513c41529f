// The main window as a user meets it: what a first run shows and saves, what
// a second run brings back of the first, the caption of each browser page,
// the leftovers of interrupted rewrites cleared at start, and the update
// check asked for only when it is due, of the scripted local server.
// ctest: desktop
// ctest: lock=registry_qbmorvane
// ctest: lock=mozilla_profiles
// ctest: lock=opera_profile
// ctest: fixture=http_server
// ctest: timeout=400
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <algorithm>
#include <atomic>
#include <map>
#include <sstream>
#include <thread>

#include "e2e/e2e_support.h"
#include "platform/core/datetime.h"
#include "platform/core/files.h"
#include "platform/ui/automation.h"
#include "platform/win32.h"
#include "support/test_env.h"

#include <shlobj.h>

namespace morvane {
namespace {

using test::RunDriveScript;
using test::TDriveResult;

const char kProps[] = "Software\\Quenbry\\QbMorvane\\Props";
const char kUserDefined[] = "Software\\Quenbry\\QbMorvane\\Props\\UserDefined";

// The grids that have columns; the Opera domain list has none to sort by.
const char* const kSortedGrids[] = {"IECookiesElTree",      "ElTreeDomains",      "ElTreeHistory",
                                    "MozillaCookiesElTree", "ElTreeMozillaDomains", "OperaCookiesElTree"};

bool ReadValue(const char* Key, const std::string& Name, DWORD Type, std::string& Data) {
  HKEY k = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, Key, 0, KEY_READ, &k) != ERROR_SUCCESS) return false;
  DWORD type = 0, size = 0;
  bool ok = RegQueryValueExA(k, Name.c_str(), nullptr, &type, nullptr, &size) == ERROR_SUCCESS && type == Type;
  if (ok) {
    Data.assign(size, '\0');
    ok = RegQueryValueExA(k, Name.c_str(), nullptr, nullptr, reinterpret_cast<BYTE*>(Data.data()), &size) ==
         ERROR_SUCCESS;
    Data.resize(size);
  }
  RegCloseKey(k);
  return ok;
}

// A named value of the program's store; "<absent>" when it has none.
std::string Stored(const std::string& Name) {
  std::string data;
  if (!ReadValue(kUserDefined, Name, REG_SZ, data)) return "<absent>";
  if (!data.empty() && data.back() == '\0') data.pop_back();
  return data;
}

// One of the window fields of the store; -1 when absent.
long StoredNumber(const std::string& Name) {
  std::string data;
  if (!ReadValue(kProps, Name, REG_DWORD, data) || data.size() != 4) return -1;
  DWORD v = 0;
  std::memcpy(&v, data.data(), 4);
  return static_cast<long>(v);
}

// Every named value of the store, for the messages of failed checks.
std::string StoredValues() {
  HKEY k = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, kUserDefined, 0, KEY_READ, &k) != ERROR_SUCCESS) return "(no store)";
  std::string all;
  char name[256];
  BYTE data[1024];
  for (DWORD i = 0;; ++i) {
    DWORD n = sizeof name, size = sizeof data - 1, type = 0;
    if (RegEnumValueA(k, i, name, &n, nullptr, &type, data, &size) != ERROR_SUCCESS) break;
    data[size] = 0;
    all += std::string(name) + "=" + reinterpret_cast<char*>(data) + "\n";
  }
  RegCloseKey(k);
  return all;
}

void Store(const std::string& Name, const std::string& Value) {
  HKEY k = nullptr;
  ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, kUserDefined, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &k, nullptr),
            ERROR_SUCCESS);
  RegSetValueExA(k, Name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(Value.c_str()),
                 static_cast<DWORD>(Value.size() + 1));
  RegCloseKey(k);
}

// The line `state NAME` printed, without "NAME: "; empty when there is none.
std::string Shown(const TDriveResult& R, const std::string& Name) {
  std::istringstream in(R.output);
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.compare(0, Name.size() + 2, Name + ": ") == 0) return line.substr(Name.size() + 2);
  }
  return std::string();
}

// Every such line, in the order the script printed them.
std::vector<std::string> AllShown(const TDriveResult& R, const std::string& Name) {
  std::vector<std::string> all;
  std::istringstream in(R.output);
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.compare(0, Name.size() + 2, Name + ": ") == 0) all.push_back(line.substr(Name.size() + 2));
  }
  return all;
}

// The screen rectangle a state line ends with.
RECT RectOf(const std::string& Line) {
  RECT r{};
  int l = 0, t = 0, w = 0, h = 0;
  const size_t at = Line.rfind(" at ");
  if (at != std::string::npos && std::sscanf(Line.c_str() + at, " at %d,%d size %dx%d", &l, &t, &w, &h) == 4)
    r = RECT{l, t, l + w, t + h};
  return r;
}

bool Has(const std::string& Line, const std::string& Word) {
  return (" " + Line + " ").find(" " + Word + " ") != std::string::npos;
}

// The widths of a grid's sections in the order its "-SectionOrder" text lists
// them ("i0:w37:vt,i1:w100:vt,..."), and their indexes.
struct TSection {
  int index, width;
};
std::vector<TSection> SectionsOf(const std::string& Order) {
  std::vector<TSection> r;
  std::istringstream in(Order);
  std::string entry;
  while (std::getline(in, entry, ',')) {
    int i = 0, w = 0;
    if (std::sscanf(entry.c_str(), "i%d:w%d", &i, &w) == 2) r.push_back({i, w});
  }
  return r;
}

std::string IndexesOf(const std::string& Order) {
  std::string r;
  for (const TSection& s : SectionsOf(Order)) r += (r.empty() ? "" : " ") + std::to_string(s.index);
  return r;
}

TEST(MainWindow, FirstRunSortsEveryGridAscendingHidesTheSearchPanelAndTakesTheDefaultPlacement) {
  test::TSettingsGuard settings;
  const TDriveResult r = RunDriveScript(
      "start\n"
      "state MainFrm\n"
      "state ToolBtnSearch\n"
      "state tb\nstate sb\n"
      // The panel opened, looked at, and closed again as it was.
      "press ToolBtnSearch\n"
      "state TopSearchPanel\n"
      "state chkFileNames\nstate chkCookieNames\nstate chkCookieValues\nstate chkURLs\nstate chkCaseSensitive\n"
      "press ToolBtnSearch\n"
      "close\n");
  ASSERT_EQ(r.exitCode, 0) << r.output;

  // 80 % of the screen in each direction, centred.
  const int sw = GetSystemMetrics(SM_CXSCREEN), sh = GetSystemMetrics(SM_CYSCREEN);
  const int w = sw * 8 / 10, h = sh * 8 / 10, left = (sw - w) / 2, top = (sh - h) / 2;
  const std::string place =
      "at " + std::to_string(left) + "," + std::to_string(top) + " size " + std::to_string(w) + "x" + std::to_string(h);
  EXPECT_EQ(Shown(r, "MainFrm"), "\"Morvane 1.9 - IE\" shown enabled " + place) << r.output;
  EXPECT_TRUE(Has(Shown(r, "TopSearchPanel"), "shown")) << r.output;
  EXPECT_EQ(Shown(r, "ToolBtnSearch"), "shown enabled unchecked") << r.output;
  for (const char* box : {"chkFileNames", "chkCookieNames", "chkCookieValues", "chkURLs"})
    EXPECT_TRUE(Has(Shown(r, box), "checked")) << box << "\n" << r.output;
  EXPECT_TRUE(Has(Shown(r, "chkCaseSensitive"), "unchecked")) << r.output;
  EXPECT_TRUE(Has(Shown(r, "tb"), "shown")) << r.output;
  EXPECT_TRUE(Has(Shown(r, "sb"), "shown")) << r.output;

  // What the exit saved: the same placement and bars, every grid sorted
  // ascending on its first column after the row number, the search panel
  // closed with its four places to look in checked.
  EXPECT_EQ(StoredNumber("Left"), left);
  EXPECT_EQ(StoredNumber("Top"), top);
  EXPECT_EQ(StoredNumber("Width"), w);
  EXPECT_EQ(StoredNumber("Height"), h);
  EXPECT_EQ(StoredNumber("Maximized"), 0);
  EXPECT_EQ(StoredNumber("ViewToolbar"), 1);
  EXPECT_EQ(StoredNumber("ViewStatusbar"), 1);
  for (const char* grid : kSortedGrids) {
    EXPECT_EQ(Stored(std::string(grid) + "-SortColumn"), "1") << grid;
    EXPECT_EQ(Stored(std::string(grid) + "-SortDir"), "Ascending") << grid;
    EXPECT_EQ(IndexesOf(Stored(std::string(grid) + "-SectionOrder")).compare(0, 5, "0 1 2"), 0) << grid;
  }
  const std::map<std::string, std::string> search = {
      {"SearchDlg", "0"},          {"SearchFileNames", "-1"}, {"SearchCookieNames", "-1"},
      {"SearchCookieValues", "-1"}, {"SearchURLs", "-1"},      {"SearchCaseSensitive", "0"}};
  for (const auto& [name, value] : search) EXPECT_EQ(Stored(name), value) << name;
}

TEST(MainWindow, SecondRunRestoresColumnsSortPlacementAndBars) {
  test::TSettingsGuard settings;
  // A first run tells where the columns of the cookie grid are.
  TDriveResult r = RunDriveScript("start\nclose\n");
  ASSERT_EQ(r.exitCode, 0) << r.output;
  const std::vector<TSection> cols = SectionsOf(Stored("IECookiesElTree-SectionOrder"));
  ASSERT_GE(cols.size(), 5u) << Stored("IECookiesElTree-SectionOrder");
  const int x2 = cols[0].width + cols[1].width + cols[2].width / 2;            // "Cookie Name"
  const int x3 = cols[0].width + cols[1].width + cols[2].width + cols[3].width / 2;  // "Cookie Value"
  const int x1 = cols[0].width + cols[1].width / 4;                            // over "File Name"

  // Run 1: sort by "Cookie Name" (descending: it was ascending), move
  // "Cookie Value" in front of "File Name", move and size the window, hide
  // the tool bar and the status bar, open the search panel.
  r = RunDriveScript("start\n"
                     "header IECookiesElTree " + std::to_string(x2) + "\n"
                     "header IECookiesElTree " + std::to_string(x3) + " " + std::to_string(x1) + "\n"
                     "place 40 30 700 500\n"
                     "menu \"&View\" \"&Toolbar\"\n"
                     "menu \"&View\" \"&Statusbar\"\n"
                     "close\n");
  ASSERT_EQ(r.exitCode, 0) << r.output;
  const std::string order = Stored("IECookiesElTree-SectionOrder");
  EXPECT_EQ(IndexesOf(order).compare(0, 7, "0 3 1 2"), 0) << order;
  // What run 1 left, which every later run must save again as it found it.
  auto expectRunOneSaved = [&](const char* After) {
    SCOPED_TRACE(After);
    EXPECT_EQ(Stored("IECookiesElTree-SectionOrder"), order);
    EXPECT_EQ(Stored("IECookiesElTree-SortColumn"), "2");
    EXPECT_EQ(Stored("IECookiesElTree-SortDir"), "Descending");
    EXPECT_EQ(StoredNumber("Left"), 40);
    EXPECT_EQ(StoredNumber("Top"), 30);
    EXPECT_EQ(StoredNumber("Width"), 700);
    EXPECT_EQ(StoredNumber("Height"), 500);
    EXPECT_EQ(StoredNumber("ViewToolbar"), 0);
    EXPECT_EQ(StoredNumber("ViewStatusbar"), 0);
  };
  expectRunOneSaved("after run 1");

  // Run 2 starts as run 1 ended and, left alone, saves it all again (the
  // bars, hidden from the start, have no window to look at).
  r = RunDriveScript("start\nstate MainFrm\nclose\n");
  ASSERT_EQ(r.exitCode, 0) << r.output;
  EXPECT_EQ(Shown(r, "MainFrm"), "\"Morvane 1.9 - IE\" shown enabled at 40,30 size 700x500") << r.output;
  expectRunOneSaved("after run 2");
}

// Sort columns an older layout or a hand left behind: each grid keeps what
// it can of its own, and none of them costs the grids after it their sort.
TEST(MainWindow, StoredSortColumnsOutsideAGridAreClampedGridByGrid) {
  test::TSettingsGuard settings;
  struct TCase {
    const char* grid;
    const char* column;
    const char* dir;
    const char* savedColumn;
    const char* savedDir;
  };
  const TCase cases[] = {
      {"IECookiesElTree", "99", "Ascending", "9", "Ascending"},  // ten columns: the last
      {"ElTreeDomains", "-3", "Descending", "1", "Descending"},
      {"ElTreeHistory", "abc", "Descending", "1", "Descending"},
      {"MozillaCookiesElTree", "2", "Descending", "2", "Descending"},
      {"ElTreeMozillaDomains", "0", "Ascending", "1", "Ascending"},
      {"OperaCookiesElTree", "7", "Descending", "7", "Descending"},
  };
  for (const TCase& c : cases) {
    Store(std::string(c.grid) + "-SortColumn", c.column);
    Store(std::string(c.grid) + "-SortDir", c.dir);
  }
  // The Opera domain list has no column at all.
  Store("EltreeOperaDomains-SortColumn", "1");
  const TDriveResult r = RunDriveScript("start\nclose\n");
  ASSERT_EQ(r.exitCode, 0) << r.output;
  for (const TCase& c : cases) {
    EXPECT_EQ(Stored(std::string(c.grid) + "-SortColumn"), c.savedColumn) << c.grid << "\n" << StoredValues();
    EXPECT_EQ(Stored(std::string(c.grid) + "-SortDir"), c.savedDir) << c.grid;
  }
}

TEST(MainWindow, LeftoversOfInterruptedRewritesBesideTheProgramAreGoneAfterStart) {
  test::TSettingsGuard settings;
  test::TTempDir dir;
  const std::string exe = dir.File("Morvane.exe");
  ASSERT_TRUE(CopyFileA(test::BinPath("Morvane.exe").c_str(), exe.c_str(), FALSE));
  const char* const gone[] = {"$TMP$_index.dat", "$TMP$_user@example[1].txt", "$TMP$_a.b.c"};
  const char* const kept[] = {"index.dat", "TMP$_x.txt", "a$TMP$_b.txt", "$TMP$.txt"};
  for (const char* f : gone) test::WriteFileBytes(dir.File(f), "half-written\r\n");
  for (const char* f : kept) test::WriteFileBytes(dir.File(f), "kept\r\n");
  const TDriveResult r = RunDriveScript("start\nclose\n", {"--exe", exe});
  ASSERT_EQ(r.exitCode, 0) << r.output;
  for (const char* f : gone) EXPECT_FALSE(FileExists(dir.File(f))) << f;
  for (const char* f : kept) EXPECT_EQ(test::ReadFileBytes(dir.File(f)), "kept\r\n") << f;
}

// The Firefox and Netscape/Mozilla profiles that make their buttons show,
// each with a cookie file.
class TMozillaProfiles {
 public:
  TMozillaProfiles() : mozilla_(test::UserFolder(CSIDL_APPDATA) + "\\Mozilla") {
    const std::string header = "# HTTP Cookie File\n\n";
    test::WriteFileBytes(mozilla_.File("Firefox\\profiles.ini"),
                         "[General]\r\nStartWithLastProfile=1\r\n\r\n"
                         "[Profile0]\r\nName=default\r\nIsRelative=1\r\nPath=Profiles/e2e.default\r\nDefault=1\r\n");
    test::WriteFileBytes(mozilla_.File("Firefox\\Profiles\\e2e.default\\cookies.txt"),
                         header + ".example.com\tTRUE\t/\tFALSE\t2000000000\tff\t1\n");
    const std::string netscape = mozilla_.File("Profiles\\default\\e2e.slt");
    test::WriteFileBytes(mozilla_.File("Registry.dat"), test::MozillaRegistryDat("default", "default", netscape));
    test::WriteFileBytes(netscape + "\\cookies.txt", header + ".example.org\tTRUE\t/\tFALSE\t2000000000\tns\t1\n");
  }

 private:
  test::TFolderGuard mozilla_;
};

TEST(MainWindow, EachBrowserButtonShowsItsPageUnderItsCaption) {
  test::TSettingsGuard settings;
  TMozillaProfiles profiles;
  struct TCase {
    const char* button;
    const char* caption;
    const char* grid;  // the page's grid, shown while the page is
  };
  const TCase cases[] = {
      {"NetscapeCheck", "Netscape", "MozillaCookiesElTree"},
      {"FireFoxCheck", "FireFox", "MozillaCookiesElTree"},
      {"OperaCheck", "Opera", "OperaCookiesElTree"},
      {"IECheck", "IE", "IECookiesElTree"},
  };
  // Each page as it is on the screen, for people to look at: the frame's
  // caption buttons, the tool bar and the page's controls.
  const std::string shots = test::BinPath("..\\screenshots");
  CreateDirectoryA(shots.c_str(), nullptr);
  std::string script = "start\nstate MainFrm\nstate IECookiesElTree\n";
  for (const TCase& c : cases)
    script += std::string("press ") + c.button + "\nstate " + c.button + "\nstate MainFrm\nstate " + c.grid +
              "\nstate IECookiesElTree\nscreenshot " + shots + "\\main-window-" + c.caption + ".png\n";
  const TDriveResult r = RunDriveScript(script + "close\n");
  ASSERT_EQ(r.exitCode, 0) << r.output;

  // Each line in the order printed: the start's, then four for each press.
  std::map<std::string, size_t> next;
  auto line = [&](const std::string& Name) {
    const std::vector<std::string> all = AllShown(r, Name);
    const size_t i = next[Name]++;
    return i < all.size() ? all[i] : std::string("<not printed>");
  };
  EXPECT_EQ(line("MainFrm").compare(0, 18, "\"Morvane 1.9 - IE\""), 0) << r.output;
  EXPECT_TRUE(Has(line("IECookiesElTree"), "shown")) << r.output;
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.button);
    // The button stays down.
    EXPECT_EQ(line(c.button), "shown enabled checked") << r.output;
    const std::string caption = std::string("\"Morvane 1.9 - ") + c.caption + "\"";
    EXPECT_EQ(line("MainFrm").compare(0, caption.size(), caption), 0) << r.output;
    EXPECT_TRUE(Has(line(c.grid), "shown")) << r.output;
    // The IE page's grid is seen only on the IE page.
    const bool ie = std::string(c.grid) == "IECookiesElTree";
    EXPECT_TRUE(Has(line("IECookiesElTree"), ie ? "shown" : "hidden")) << r.output;
  }
}

const char kArrays[] = "Software\\Quenbry\\QbMorvane\\Props\\UserDefinedArrays";

void StoreArray(const std::string& Name, const std::string& Joined) {
  HKEY k = nullptr;
  ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, kArrays, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &k, nullptr),
            ERROR_SUCCESS);
  RegSetValueExA(k, Name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(Joined.c_str()),
                 static_cast<DWORD>(Joined.size() + 1));
  RegCloseKey(k);
}

std::string StoredArray(const std::string& Name) {
  std::string data;
  if (!ReadValue(kArrays, Name, REG_SZ, data)) return "<absent>";
  if (!data.empty() && data.back() == '\0') data.pop_back();
  return data;
}

// Profiles and cookie folders the user added by hand outlive a restart,
// also while the Firefox store (which takes the Netscape-style ones) exists;
// a cookie folder that is gone is dropped.
TEST(MainWindow, ManuallyAddedProfilesAndCookieFoldersSurviveARestart) {
  test::TSettingsGuard settings;
  TMozillaProfiles profiles;
  test::TTempDir manual, ieFolder;
  manual.Write("cookies.txt", "# HTTP Cookie File\n\n.manual.example\tTRUE\t/\tFALSE\t2000000000\tm\t1\n");
  const std::string gone = ieFolder.Path() + "\\gone";
  StoreArray("ManuallyEnteredProfiles", manual.Path() + "!@~");
  StoreArray("ManuallyEnteredIEProfilePaths", gone + "!@~" + ieFolder.Path() + "!@~");
  StoreArray("ManuallyEnteredIEProfileNames", "Gone!@~Found on D!@~");
  // The Netscape store's list also holds the folders its discovery found;
  // they are written with the manual ones, once each, Netscape's first.
  const std::string discovered = test::UserFolder(CSIDL_APPDATA) + "\\Mozilla\\Profiles\\default\\e2e.slt";
  for (int run = 1; run <= 2; ++run) {
    SCOPED_TRACE("run " + std::to_string(run));
    const TDriveResult r = RunDriveScript("start\nclose\n");
    ASSERT_EQ(r.exitCode, 0) << r.output;
    EXPECT_EQ(StoredArray("ManuallyEnteredProfiles"), discovered + "!@~" + manual.Path() + "!@~");
    EXPECT_EQ(StoredArray("ManuallyEnteredIEProfilePaths"), ieFolder.Path() + "!@~");
    EXPECT_EQ(StoredArray("ManuallyEnteredIEProfileNames"), "Found on D!@~");
  }
}

// The splash while the program starts: its version, name and maker lines,
// read from outside as long as it shows.
struct TSplashLines {
  std::string version, name, company;
};

TSplashLines WatchForTheSplash(const std::atomic<bool>& Stop) {
  TSplashLines seen;
  auto text = [](HWND W) {
    char buf[256] = {};
    DWORD_PTR n = 0;
    if (!W || !SendMessageTimeoutA(W, WM_GETTEXT, sizeof buf, reinterpret_cast<LPARAM>(buf), SMTO_ABORTIFHUNG, 2000, &n))
      return std::string();
    return std::string(buf, std::min<size_t>(n, sizeof buf - 1));
  };
  while (!Stop && seen.version.empty()) {
    HWND splash = nullptr;
    EnumWindows(
        [](HWND w, LPARAM p) -> BOOL {
          if (!IsWindowVisible(w) || WindowName(w) != "Splash") return TRUE;
          *reinterpret_cast<HWND*>(p) = w;
          return FALSE;
        },
        reinterpret_cast<LPARAM>(&splash));
    if (splash) {
      seen.version = text(FindNamedWindow(splash, "lblVersion"));
      seen.name = text(FindNamedWindow(splash, "lblName"));
      seen.company = text(FindNamedWindow(splash, "lblCompanyName"));
    }
    Sleep(5);
  }
  return seen;
}

TEST(MainWindow, AboutBoxAndSplashShowTheVersionResource) {
  test::TSettingsGuard settings;
  std::atomic<bool> stop{false};
  TSplashLines splash;
  std::thread watch([&] { splash = WatchForTheSplash(stop); });
  const TDriveResult r = RunDriveScript(
      "start\n"
      "menu \"&Help\" \"&About Morvane...\"\n"
      "expect \"About Morvane\"\n"
      "state lblProductName\nstate lblCopyright\nstate lblVersionText\nstate lblVersion\n"
      "answer \"About Morvane\" OK\n"
      "close\n");
  stop = true;
  watch.join();
  ASSERT_EQ(r.exitCode, 0) << r.output;
  // resources/morvane.rc: FileDescription, LegalCopyright, FileVersion.
  EXPECT_EQ(Shown(r, "lblProductName").compare(0, 9, "\"Morvane\""), 0) << r.output;
  EXPECT_EQ(Shown(r, "lblCopyright").compare(0, 23, "\"Copyright (C) Quenbry\""), 0) << r.output;
  EXPECT_EQ(Shown(r, "lblVersionText").compare(0, 11, "\"Version: \""), 0) << r.output;
  EXPECT_EQ(Shown(r, "lblVersion").compare(0, 9, "\"1.9.0.0\""), 0) << r.output;
  for (const char* label : {"lblProductName", "lblCopyright", "lblVersionText", "lblVersion"})
    EXPECT_TRUE(Has(Shown(r, label), "shown")) << label << "\n" << r.output;
  // The version stands after "Version: ", not over it.
  const RECT text = RectOf(Shown(r, "lblVersionText")), version = RectOf(Shown(r, "lblVersion"));
  EXPECT_GE(version.left, text.right) << r.output;
  EXPECT_EQ(version.top, text.top) << r.output;
  EXPECT_GT(version.right - version.left, 20) << r.output;

  EXPECT_EQ(splash.version, "1.9.0.0");
  EXPECT_EQ(splash.name, "Morvane");
  EXPECT_EQ(splash.company, "by Quenbry");
}

// The scripted server's log of request lines, beside its port file.
std::string ServerLog() {
  std::string file = std::getenv("MORVANE_HTTP_PORT_FILE");
  file = file.substr(0, file.find_last_of('\\') + 1) + "requests.log";
  return FileExists(file) ? test::ReadFileBytes(file) : std::string();
}

int CountOf(const std::string& Text, const std::string& Part) {
  int n = 0;
  for (size_t at = Text.find(Part); at != std::string::npos; at = Text.find(Part, at + 1)) ++n;
  return n;
}

// Points the programs started from here at the scripted server for one scope.
class TUpdateServerGuard {
 public:
  TUpdateServerGuard() {
    char old[256] = {};
    GetEnvironmentVariableA("MORVANE_UPDATE_SERVER", old, sizeof old);
    old_ = old;
    const std::string port = test::ReadFileBytes(std::getenv("MORVANE_HTTP_PORT_FILE"));
    SetEnvironmentVariableA("MORVANE_UPDATE_SERVER", ("127.0.0.1:" + port).c_str());
  }
  ~TUpdateServerGuard() { SetEnvironmentVariableA("MORVANE_UPDATE_SERVER", old_.c_str()); }

 private:
  std::string old_;
};

TEST(MainWindow, UpdateCheckAsksTheServerOnlyWhenItIsDue) {
  TUpdateServerGuard server;
  const std::string asked = "GET /morvane/updates.txt HTTP/1.0";
  struct TCase {
    const char* what;
    const char* enabled;    // "checkForUpdates", nullptr: absent
    const char* frequency;  // "checkForUpdatesFrequency"
    double daysAgo;         // "SoftwareCheckDate" that long ago; < 0: absent
    bool runs;
  };
  const TCase cases[] = {
      {"first run", nullptr, nullptr, -1, true},
      {"14 days after the last check", "-1", "14", 14.01, true},
      {"13 days after the last check", "-1", "14", 13, false},
      {"a check an hour ago, every day", nullptr, "1", 1.0 / 24, false},
      {"switched off, never checked", "0", nullptr, -1, false},
      {"switched off, long due", "0", "14", 40, false},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.what);
    test::TSettingsGuard settings;
    std::string seeded = "<absent>";
    if (c.enabled) Store("checkForUpdates", c.enabled);
    if (c.frequency) Store("checkForUpdatesFrequency", c.frequency);
    if (c.daysAgo >= 0) Store("SoftwareCheckDate", seeded = DateTimeToStr(Now() - c.daysAgo));
    const int before = CountOf(ServerLog(), asked);
    const TDriveResult r = RunDriveScript("start\nclose\n");
    ASSERT_EQ(r.exitCode, 0) << r.output;
    EXPECT_EQ(CountOf(ServerLog(), asked), before + (c.runs ? 1 : 0)) << ServerLog();
    // The date of the check is stored before the server is asked.
    const std::string date = Stored("SoftwareCheckDate");
    if (c.runs) {
      TDateTime when = 0;
      ASSERT_TRUE(TryStrToDateTime(date, when)) << date << "\n" << StoredValues();
      EXPECT_LT(std::abs(Now() - when), 1.0 / 24) << date;
    } else {
      EXPECT_EQ(date, seeded);
    }
  }
}

// The visible top-level windows of a process, highest in the z-order first.
std::vector<HWND> WindowsOf(DWORD Pid) {
  std::vector<HWND> found;
  for (HWND w = GetTopWindow(nullptr); w; w = GetWindow(w, GW_HWNDNEXT)) {
    DWORD owner = 0;
    GetWindowThreadProcessId(w, &owner);
    if (owner == Pid && IsWindowVisible(w)) found.push_back(w);
  }
  return found;
}

std::string WindowText(HWND W) {
  char buf[1024] = {};
  DWORD_PTR n = 0;
  if (!W || !SendMessageTimeoutA(W, WM_GETTEXT, sizeof buf, reinterpret_cast<LPARAM>(buf), SMTO_ABORTIFHUNG, 5000, &n))
    return std::string();
  return std::string(buf, std::min<size_t>(n, sizeof buf - 1));
}

// Owns the started program: a failed check ends it.
struct TChild {
  PROCESS_INFORMATION pi{};
  ~TChild() {
    if (pi.hProcess && WaitForSingleObject(pi.hProcess, 0) == WAIT_TIMEOUT) {
      TerminateProcess(pi.hProcess, 1);
      WaitForSingleObject(pi.hProcess, 5000);
    }
    if (pi.hThread) CloseHandle(pi.hThread);
    if (pi.hProcess) CloseHandle(pi.hProcess);
  }
};

// A newer version on the server: the notice comes up during the start, in
// front of the splash (which no longer stays on top of everything), says
// what it should, and Cancel lets the start go on without a download.
TEST(MainWindow, UpdateNoticeShowsInFrontOfTheSplashAndCancelGoesOnWithTheStart) {
  TUpdateServerGuard server;
  test::TSettingsGuard settings;
  std::string list = std::getenv("MORVANE_HTTP_PORT_FILE");
  list = list.substr(0, list.find_last_of('\\') + 1) + "updates.txt";
  test::WriteFileBytes(list, "9.9.0#/files/morvane-9.9.exe\r\n#A newer release\r\n");
  struct TRemove {
    std::string file;
    ~TRemove() { DeleteFileA(file.c_str()); }
  } remove{list};
  test::TTempDir cwd;
  const std::string exe = test::BinPath("Morvane.exe");
  std::string cmd = "\"" + exe + "\"";
  STARTUPINFOA si{};
  si.cb = sizeof si;
  TChild child;
  ASSERT_TRUE(CreateProcessA(exe.c_str(), cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, cwd.Path().c_str(), &si,
                             &child.pi));
  const DWORD pid = child.pi.dwProcessId;
  auto waitFor = [&](auto Found) {
    const DWORD end = GetTickCount() + 20000;
    HWND w = nullptr;
    while (!(w = Found()) && static_cast<LONG>(GetTickCount() - end) < 0 &&
           WaitForSingleObject(child.pi.hProcess, 20) == WAIT_TIMEOUT) {
    }
    return w;
  };
  std::vector<HWND> order;
  HWND notice = waitFor([&]() -> HWND {
    order = WindowsOf(pid);
    for (HWND w : order)
      if (WindowText(w) == "Software Update") return w;
    return nullptr;
  });
  std::string seen;
  for (HWND w : order) seen += "\"" + WindowText(w) + "\" (" + WindowName(w) + ")\n";
  ASSERT_NE(notice, nullptr) << "no update notice; windows:\n" << seen << "server:\n" << ServerLog();
  HWND splash = nullptr;
  for (HWND w : order)
    if (WindowName(w) == "Splash") splash = w;
  ASSERT_NE(splash, nullptr) << "the splash is not showing under the notice";
  EXPECT_FALSE(GetWindowLongA(splash, GWL_EXSTYLE) & WS_EX_TOPMOST);
  EXPECT_LT(std::find(order.begin(), order.end(), notice), std::find(order.begin(), order.end(), splash))
      << "the notice is behind the splash";
  EXPECT_EQ(WindowText(FindNamedWindow(notice, "lblCurrentVersion")),
            "You are using version 1.9.0.0 of Morvane. Version you can download now is 9.9.0.");
  EXPECT_NE(WindowText(FindNamedWindow(notice, "Memo1")).find("A newer release"), std::string::npos);
  HWND cancel = FindNamedWindow(notice, "Button2");
  ASSERT_NE(cancel, nullptr);
  EXPECT_EQ(WindowText(cancel), "&Cancel");
  PostMessageA(cancel, BM_CLICK, 0, 0);

  HWND main = waitFor([&]() -> HWND {
    for (HWND w : WindowsOf(pid))
      if (WindowName(w) == "MainFrm") return w;
    return nullptr;
  });
  ASSERT_NE(main, nullptr) << "the start did not go on after Cancel";
  PostMessageA(main, WM_CLOSE, 0, 0);
  ASSERT_EQ(WaitForSingleObject(child.pi.hProcess, 20000), WAIT_OBJECT_0) << "the program did not end";
  DWORD code = 99;
  GetExitCodeProcess(child.pi.hProcess, &code);
  EXPECT_EQ(code, 0u);
  EXPECT_FALSE(FileExists(cwd.File("morvane1.exe"))) << "Cancel downloaded the new version";
}

}  // namespace
}  // namespace morvane
