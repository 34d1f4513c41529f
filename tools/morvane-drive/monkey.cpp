#include "monkey.h"

#include <algorithm>
#include <cstdio>
#include <deque>
#include <fstream>
#include <map>
#include <set>
#include <sstream>

#include "drive_session.h"
// After the one Windows include, which it needs.
#include <psapi.h>
#include "monkey_log.h"
#include "platform/ui/automation.h"

namespace morvane::drive {

namespace {

// Control ids of the common dialogs: the save dialog's filter combo, its OK
// and Cancel.
constexpr int kFilterCombo = 0x470;

// The menu bar, left to right: the letter that opens each menu, and how many
// commands it holds (separators do not count: the keyboard skips them).
struct TBarMenu {
  char letter;
  int commands;
  int weight;
};
const TBarMenu kBarMenus[] = {{'f', 3, 2}, {'e', 10, 5}, {'v', 8, 4}, {'t', 2, 2}, {'h', 2, 1}};
constexpr int kFileMenu = 0, kExitDowns = 2;

const char* const kToolButtons[] = {"IECheck",          "NetscapeCheck",  "FireFoxCheck",  "OperaCheck",
                                    "ToolButtonRefresh", "ToolButtonEdit", "ToolButtonNew", "ToolButtonDelete",
                                    "ToolButtonSave",    "ToolBtnSearch",  "ToolButtonHelp"};
const char* const kGrids[] = {"IECookiesElTree",      "ElTreeDomains",        "ElTreeHistoryFiles", "ElTreeHistory",
                              "MozillaCookiesElTree", "ElTreeMozillaDomains", "OperaCookiesElTree", "EltreeOperaDomains"};
const char* const kTabs[] = {"IETabControl", "NetscapeTabControl", "OperaPageControl", "pgHistory"};
const char* const kCombos[] = {"CboIECookieFolders", "cboMozillaProfiles"};
const char* const kSearchControls[] = {"BtnSearch",      "btnClearSearch",  "chkCaseSensitive", "chkFileNames",
                                       "chkCookieNames", "chkCookieValues", "chkURLs"};
const char* const kGridKeys[] = {"Up",        "Down",       "PgUp",      "PgDn",        "Home",       "End",
                                 "Left",      "Right",      "Shift+Up",  "Shift+Down",  "Shift+PgUp", "Shift+PgDn",
                                 "Shift+Home", "Shift+End", "Ctrl+Up",   "Ctrl+Down",   "Ctrl+Home",  "Ctrl+End",
                                 "Ctrl+Space", "Space",     "F3",        "F5",          "Ctrl+F",     "Ctrl+L",
                                 "Ctrl+A",    "Ctrl+C",     "Delete",    "Enter",       "Esc",        "Tab",
                                 "Shift+Tab", "Back",       "a",         "z"};

// A failed check: ends the run with exit status 1.
struct TMonkeyFailure : std::runtime_error {
  using std::runtime_error::runtime_error;
};

std::vector<HWND> Children(HWND W) {
  std::vector<HWND> out;
  EnumChildWindows(
      W,
      [](HWND c, LPARAM p) -> BOOL {
        reinterpret_cast<std::vector<HWND>*>(p)->push_back(c);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&out));
  return out;
}

bool Usable(HWND W) { return W && IsWindow(W) && IsWindowVisible(W) && IsWindowEnabled(W); }

enum class TButtonKind { kNone, kPush, kCheck };
TButtonKind ButtonKind(HWND W) {
  if (ClassOf(W) != "Button") return TButtonKind::kNone;
  const LONG type = GetWindowLongA(W, GWL_STYLE) & BS_TYPEMASK;
  if (type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON) return TButtonKind::kPush;
  if (type == BS_CHECKBOX || type == BS_AUTOCHECKBOX || type == BS_3STATE || type == BS_AUTO3STATE ||
      type == BS_RADIOBUTTON || type == BS_AUTORADIOBUTTON)
    return TButtonKind::kCheck;
  return TButtonKind::kNone;
}

// The window and the texts of its controls, for the checks and the messages.
TShownWindow Describe(HWND W) {
  TShownWindow d;
  d.name = WindowName(W);
  d.caption = TextOf(W);
  for (HWND c : Children(W))
    if (IsWindowVisible(c)) {
      std::string t = TextOf(c);
      if (!t.empty()) d.texts.push_back(t);
    }
  return d;
}

std::string AllText(const TShownWindow& D) {
  std::string all = D.caption;
  for (const std::string& t : D.texts) all += " | " + t;
  return all;
}

std::string SpecialFolder(int Csidl) {
  char path[MAX_PATH] = {};
  if (FAILED(SHGetFolderPathA(nullptr, Csidl, nullptr, SHGFP_TYPE_CURRENT, path))) return std::string();
  return path;
}

std::string LowerName(std::string S) {
  for (char& c : S) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return S;
}

// What a browser file looked like before an action.
struct TFileState {
  uint64_t size = 0;
  uint64_t written = 0;
  uint64_t hash = 0;
  bool operator==(const TFileState& o) const { return size == o.size && written == o.written && hash == o.hash; }
};

uint64_t HashFile(const std::string& Path) {
  HANDLE h = CreateFileA(Path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                         OPEN_EXISTING, 0, nullptr);
  if (h == INVALID_HANDLE_VALUE) return 0;
  uint64_t hash = 1469598103934665603ull;
  char buf[65536];
  DWORD n = 0;
  while (ReadFile(h, buf, sizeof buf, &n, nullptr) && n)
    for (DWORD i = 0; i < n; ++i) hash = (hash ^ static_cast<unsigned char>(buf[i])) * 1099511628211ull;
  CloseHandle(h);
  return hash;
}

// One watched place: the user's folder and the name the pages know it by.
struct TRoot {
  std::string folder;  // "cookies", "history", "appdata"
  std::string path;
  std::vector<std::string> below;  // only these sub-folders ("" for all)
};

class TMonkey {
 public:
  TMonkey(const TMonkeyRequest& R, const std::string& Exe, const std::string& Cwd)
      : request_(R), session_(Exe, Cwd), random_(R.seed) {
    char self[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    dumpExe_ = FolderOf(self) + "\\morvane-dump.exe";
    roots_ = {{"cookies", SpecialFolder(CSIDL_COOKIES), {""}},
              {"history", SpecialFolder(CSIDL_HISTORY), {""}},
              {"appdata", SpecialFolder(CSIDL_APPDATA), {"Mozilla", "Opera"}}};
  }
  ~TMonkey() {
    if (log_) std::fclose(log_);
    if (!outDir_.empty()) RemoveOutDir();
  }

  int Run();

 private:
  void Do(const TStep& Step);
  void Execute(const TStep& Step);
  TStep Choose();
  TStep ChooseInDialog(HWND Dialog);
  TStep ChooseInMain();
  void Finish();
  // A failed run: into the log, and on stderr with the last actions, which
  // are what a user needs to see the fault again.
  void ReportFailure(const char* What);

  // The checks after each action.
  void CheckEnded(const TStep& Step);
  void CheckAnswers();
  void CheckWindows();
  void CheckFiles(const std::map<std::string, TFileState>& Before);
  void Sample();
  void CheckResources();
  void CheckDumps(bool Baseline);

  std::map<std::string, TFileState> Snapshot() const;
  std::vector<std::pair<std::string, std::string>> DumpChecks() const;
  HWND TopDialog() const;
  HWND Named(const std::string& Name) const;
  HWND GridView(HWND Grid) const;
  void MenuKeys(int Downs, const std::string& What);
  void Note(const std::string& Line);
  void RemoveOutDir();
  [[noreturn]] void Fail(const std::string& Message) { throw TMonkeyFailure(Message); }

  TMonkeyRequest request_;
  TSession session_;
  TRandom random_;
  std::string dumpExe_, outDir_;
  std::vector<TRoot> roots_;
  FILE* log_ = nullptr;
  std::deque<std::string> recent_;
  struct TDone {
    std::string page;
    bool changes;
  };
  std::deque<TDone> done_;
  std::map<std::string, TFileState> files_;
  std::vector<TResourceSample> samples_;
  std::set<std::string> readable_;
  std::set<HWND> judged_;
  bool exitAsked_ = false;
  int actions_ = 0, skipped_ = 0, restarts_ = 0;
};

HWND TMonkey::Named(const std::string& Name) const {
  if (!session_.Main()) return nullptr;
  return FindNamedWindow(session_.Main(), Name);
}

HWND TMonkey::GridView(HWND Grid) const {
  for (HWND c = GetWindow(Grid, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
    if (ClassOf(c).find("TElTreeView") != std::string::npos) return c;
  return Grid;
}

HWND TMonkey::TopDialog() const {
  // The window a user can act on: a modal window disables the ones below it.
  for (HWND w : session_.Windows())
    if (w != session_.Main() && IsDialogLike(w) && IsWindowEnabled(w)) return w;
  return nullptr;
}

void TMonkey::Note(const std::string& Line) {
  recent_.push_back(Line);
  if (recent_.size() > 25) recent_.pop_front();
  if (log_) {
    std::fputs((Line + "\n").c_str(), log_);
    std::fflush(log_);
  }
}

std::map<std::string, TFileState> TMonkey::Snapshot() const {
  std::map<std::string, TFileState> out;
  for (const TRoot& root : roots_) {
    if (root.path.empty()) continue;
    std::vector<std::string> pending;
    for (const std::string& b : root.below) pending.push_back(b);
    while (!pending.empty()) {
      const std::string rel = pending.back();
      pending.pop_back();
      const std::string dir = rel.empty() ? root.path : root.path + "\\" + rel;
      WIN32_FIND_DATAA fd;
      HANDLE h = FindFirstFileA((dir + "\\*").c_str(), &fd);
      if (h == INVALID_HANDLE_VALUE) continue;
      do {
        const std::string name = fd.cFileName;
        if (name == "." || name == "..") continue;
        const std::string sub = rel.empty() ? name : rel + "\\" + name;
        if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
          pending.push_back(sub);
          continue;
        }
        TFileState st;
        st.size = (static_cast<uint64_t>(fd.nFileSizeHigh) << 32) | fd.nFileSizeLow;
        st.written = (static_cast<uint64_t>(fd.ftLastWriteTime.dwHighDateTime) << 32) | fd.ftLastWriteTime.dwLowDateTime;
        // Small files are compared byte for byte: a rewrite within the
        // clock's resolution keeps the time.
        st.hash = st.size <= (8u << 20) ? HashFile(dir + "\\" + name) : 0;
        out[root.folder + "|" + sub] = st;
      } while (FindNextFileA(h, &fd));
      FindClose(h);
    }
  }
  return out;
}

std::vector<std::pair<std::string, std::string>> TMonkey::DumpChecks() const {
  std::set<std::pair<std::string, std::string>> checks;
  for (const auto& [key, st] : files_) {
    const size_t bar = key.find('|');
    const std::string folder = key.substr(0, bar), rest = key.substr(bar + 1);
    std::string base;
    for (const TRoot& r : roots_)
      if (r.folder == folder) base = r.path;
    const std::string path = base + "\\" + rest;
    const std::string name = LowerName(rest.substr(rest.find_last_of('\\') == std::string::npos ? 0 : rest.find_last_of('\\') + 1));
    if (name == "index.dat") checks.insert({"history", path});
    else if (folder == "cookies" && name.size() > 4 && name.substr(name.size() - 4) == ".txt")
      checks.insert({"ie-cookies", FolderOf(path)});
    else if (name == "cookies.txt") checks.insert({"netscape-cookies", path});
    else if (name == "hostperm.1" || name == "cookperm.txt") checks.insert({"permissions", FolderOf(path)});
    else if (name == "cookies4.dat") checks.insert({"opera", path});
    else if (name == "registry.dat") checks.insert({"registry-dat", path});
  }
  return {checks.begin(), checks.end()};
}

// Runs morvane-dump on each browser file: those it read before the run must
// still read after it (no cut or corrupt file).
void TMonkey::CheckDumps(bool Baseline) {
  files_ = Snapshot();
  for (const auto& [command, path] : DumpChecks()) {
    const std::string key = command + " " + path;
    if (!Baseline && !readable_.count(key)) continue;
    char tempDir[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, tempDir);
    const std::string errFile = outDir_ + "\\dump.err";
    SECURITY_ATTRIBUTES sa{sizeof sa, nullptr, TRUE};
    HANDLE err = CreateFileA(errFile.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &sa, CREATE_ALWAYS, 0, nullptr);
    HANDLE nul = CreateFileA("NUL", GENERIC_WRITE, FILE_SHARE_WRITE, &sa, OPEN_EXISTING, 0, nullptr);
    STARTUPINFOA si{};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdInput = nullptr;
    si.hStdOutput = nul;
    si.hStdError = err;
    std::string cmd = "\"" + dumpExe_ + "\" " + command + " \"" + path + "\"";
    PROCESS_INFORMATION pi{};
    const bool started = CreateProcessA(dumpExe_.c_str(), cmd.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr,
                                        nullptr, &si, &pi);
    CloseHandle(err);
    if (nul != INVALID_HANDLE_VALUE) CloseHandle(nul);
    if (!started) Fail("cannot run " + dumpExe_ + " (error " + std::to_string(GetLastError()) + ")");
    DWORD code = 1;
    if (WaitForSingleObject(pi.hProcess, 60000) != WAIT_OBJECT_0) TerminateProcess(pi.hProcess, 99);
    GetExitCodeProcess(pi.hProcess, &code);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    if (Baseline) {
      if (code == 0) readable_.insert(key);
      continue;
    }
    if (code != 0) {
      std::ifstream in(errFile, std::ios::binary);
      std::stringstream says;
      says << in.rdbuf();
      Fail("morvane-dump " + key + " read it before the run and fails now (exit " + std::to_string(code) + "): " +
           says.str());
    }
  }
}

void TMonkey::RemoveOutDir() {
  WIN32_FIND_DATAA fd;
  HANDLE h = FindFirstFileA((outDir_ + "\\*").c_str(), &fd);
  if (h != INVALID_HANDLE_VALUE) {
    do {
      if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) DeleteFileA((outDir_ + "\\" + fd.cFileName).c_str());
    } while (FindNextFileA(h, &fd));
    FindClose(h);
  }
  RemoveDirectoryA(outDir_.c_str());
}

// The handles a process holds. Wine answers GetProcessHandleCount for
// another process with 0; the system's handle table counts them anyway.
uint32_t HandleCount(HANDLE Process, DWORD Pid) {
  DWORD n = 0;
  if (GetProcessHandleCount(Process, &n) && n) return n;
  using TQuery = LONG(WINAPI*)(int, void*, ULONG, ULONG*);
  static const auto query = reinterpret_cast<TQuery>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQuerySystemInformation")));
  if (!query) return 0;
  struct TEntry {
    ULONG ownerPid;
    BYTE objectType, flags;
    USHORT value;
    void* object;
    ULONG access;
  };
  constexpr int kSystemHandleInformation = 16;
  std::vector<char> buf(1 << 20);
  ULONG needed = 0;
  LONG status;
  while ((status = query(kSystemHandleInformation, buf.data(), static_cast<ULONG>(buf.size()), &needed)) ==
             static_cast<LONG>(0xC0000004) &&
         buf.size() < (64u << 20))
    buf.resize(std::max<size_t>(buf.size() * 2, needed + 4096));
  if (status != 0) return 0;
  const ULONG count = *reinterpret_cast<const ULONG*>(buf.data());
  const auto* entries = reinterpret_cast<const TEntry*>(buf.data() + sizeof(void*));
  uint32_t mine = 0;
  for (ULONG i = 0; i < count && sizeof(void*) + (i + 1) * sizeof(TEntry) <= buf.size(); ++i)
    if (entries[i].ownerPid == Pid) ++mine;
  return mine;
}

void TMonkey::Sample() {
  HANDLE p = session_.Process();
  if (!p) return;
  TResourceSample s;
  s.handles = HandleCount(p, session_.Pid());
  PROCESS_MEMORY_COUNTERS pmc{};
  pmc.cb = sizeof pmc;
  if (K32GetProcessMemoryInfo(p, &pmc, sizeof pmc)) s.workingSet = pmc.WorkingSetSize;
  samples_.push_back(s);
}

void TMonkey::CheckResources() {
  const std::string growth = ResourceGrowth(samples_);
  if (!growth.empty()) Fail("over " + std::to_string(samples_.size()) + " actions " + growth);
}

void TMonkey::CheckAnswers() {
  HWND main = session_.Main();
  if (!main) return;
  DWORD_PTR r = 0;
  const DWORD before = GetTickCount();
  if (!SendMessageTimeoutA(main, WM_NULL, 0, 0, SMTO_NORMAL, 2000, &r)) {
    const DWORD error = GetLastError();
    if (WaitForSingleObject(session_.Process(), 0) == WAIT_OBJECT_0) return;  // ended: CheckEnded says so
    const DWORD waited = GetTickCount() - before;
    std::string crash;
    if (HWND w = FindWindowA(nullptr, "Program Error")) crash = " (Wine shows \"" + TextOf(w) + "\": the program crashed)";
    // A program that crashed is held by Wine's debugger while it writes the
    // backtrace (to this run's error output), and ended after it: give it the time.
    if (WaitForSingleObject(session_.Process(), 60000) == WAIT_OBJECT_0) {
      DWORD code = 0;
      GetExitCodeProcess(session_.Process(), &code);
      crash = " and then ended with exit code " + std::to_string(code) + ": it crashed";
    }
    Fail("the main window did not answer a message within 2 s (waited " + std::to_string(waited) + " ms, error " +
         std::to_string(error) + (IsWindow(main) ? "" : ", the window is gone") + ")" + crash);
  }
}

void TMonkey::CheckWindows() {
  // The program hides its dialogs and shows them again: one shown anew is judged anew.
  const std::vector<HWND> shown = session_.Windows();
  for (auto it = judged_.begin(); it != judged_.end();)
    if (std::find(shown.begin(), shown.end(), *it) == shown.end()) it = judged_.erase(it);
    else ++it;
  for (HWND w : shown) {
    if (w == session_.Main() || judged_.count(w)) continue;
    judged_.insert(w);
    const TShownWindow d = Describe(w);
    const std::string error = UnexplainedError(d);
    if (!error.empty()) Fail("an error window showed: " + AllText(d));
  }
}

void TMonkey::CheckFiles(const std::map<std::string, TFileState>& Before) {
  files_ = Snapshot();
  auto explained = [&](const std::string& key) {
    const size_t bar = key.find('|');
    const std::string page = PageOfFile(key.substr(0, bar), key.substr(bar + 1));
    for (const TDone& d : done_)
      if (d.changes && !page.empty() && d.page == page) return true;
    return false;
  };
  auto say = [&](const std::string& key, const char* what) {
    std::string pages;
    for (const TDone& d : done_) pages += (pages.empty() ? "" : ", ") + (d.page.empty() ? "?" : d.page) + (d.changes ? "*" : "");
    Fail(key.substr(key.find('|') + 1) + " (" + key.substr(0, key.find('|')) + ") " + what +
         " without an accepted edit, delete or block of its page (the last actions' pages, * where they may change "
         "files: " + pages + ")");
  };
  for (const auto& [key, st] : Before) {
    auto now = files_.find(key);
    if (now == files_.end()) {
      if (!explained(key)) say(key, "vanished");
    } else if (!(now->second == st)) {
      if (!explained(key)) say(key, "changed");
    }
  }
  for (const auto& [key, st] : files_)
    if (!Before.count(key) && !explained(key)) say(key, "appeared");
}

void TMonkey::CheckEnded(const TStep& Step) {
  DWORD code = 0;
  if (!session_.Ended(code)) return;
  if (!exitAsked_) Fail("the program ended (exit code " + std::to_string(code) + ") without being told to");
  if (code != 0) Fail("the program ended with exit code " + std::to_string(code) + " after File > Exit");
  (void)Step;
  exitAsked_ = false;
  ++restarts_;
  CheckDumps(false);
  CheckResources();
  samples_.clear();
  judged_.clear();
  Do(TStep{0, "start", {}});
}

void TMonkey::MenuKeys(int Downs, const std::string& What) {
  HWND menu = nullptr;
  for (int i = 0; i < 100 && !(menu = session_.OpenMenu()); ++i) WaitForSingleObject(session_.Process(), 20);
  if (!menu) throw TDriveError(kExitFailed, "no menu opened for " + What);
  auto post = [&](WPARAM vk) {
    const LPARAM bits = 1 | (static_cast<LPARAM>(MapVirtualKeyA(static_cast<UINT>(vk), 0)) << 16);
    PostMessageA(menu, WM_KEYDOWN, vk, bits);
    PostMessageA(menu, WM_KEYUP, vk, bits | (static_cast<LPARAM>(3) << 30));
  };
  for (int i = 0; i < Downs; ++i) post(VK_DOWN);
  post(VK_RETURN);
  // A command that is greyed leaves the menu open: Esc closes it as a user would.
  for (int i = 0; i < 50 && session_.OpenMenu(); ++i) WaitForSingleObject(session_.Process(), 20);
  for (int i = 0; i < 5 && (menu = session_.OpenMenu()); ++i) {
    post(VK_ESCAPE);
    WaitForSingleObject(session_.Process(), 100);
  }
}

void TMonkey::Execute(const TStep& Step) {
  const auto& a = Step.args;
  const std::string& v = Step.verb;
  int n = 0, x = 0, y = 0;
  // A menu left open would take the next action's keys.
  if (HWND menu = session_.OpenMenu()) {
    PostMessageA(menu, WM_KEYDOWN, VK_ESCAPE, 1);
    WaitForSingleObject(session_.Process(), 100);
  }
  // A control behind a modal window takes no clicks or keys from a user:
  // a replayed action that comes before its window has closed waits its turn
  // as not done.
  if (v != "start" && v != "answer" && v != "close-window" && v != "menu" && v != "wait" && session_.Main()) {
    HWND root = session_.Main();
    try {
      root = GetAncestor(session_.Control(a[0]), GA_ROOT);
    } catch (const TDriveError&) {
      // A tool button has no window: it is the main window's.
    }
    if (!IsWindowEnabled(root)) throw TDriveError(kExitFailed, "\"" + a[0] + "\" is behind a modal window");
  }
  if (v == "start") {
    session_.Start({});
  } else if (v == "press") {
    session_.Press(a[0]);
  } else if (v == "select") {
    ParseIndex(a[1], n);
    session_.Select(a[0], n);
  } else if (v == "text") {
    session_.SetText(a[0], a[1]);
  } else if (v == "htext") {
    std::string bytes;
    FromHex(a[1], bytes);
    session_.SetText(a[0], bytes);
  } else if (v == "key") {
    session_.Keys(a[0], KeysOf(a, 1));
  } else if (v == "click" || v == "dclick") {
    ParseIndex(a[1], x);
    ParseIndex(a[2], y);
    POINT p{x, y};
    session_.Click(a[0], &p, v == "dclick" ? 2 : 1, false);
  } else if (v == "header") {
    ParseIndex(a[1], n);
    session_.Header(a[0], n);
  } else if (v == "answer") {
    // A replayed log is held to the same rule as the random run.
    for (HWND w : session_.Windows())
      if (TextOf(w) == a[0] && MustDecline(AllText(Describe(w))) && !IsDeclining(a[1]))
        Fail("the log confirms \"" + a[0] + "\" with " + a[1] + ": it asks to restart Windows or to download");
    session_.Answer(a[0], a[1], a.size() == 3 ? &a[2] : nullptr);
  } else if (v == "close-window") {
    HWND target = nullptr;
    for (HWND w : session_.Windows())
      if (!target && TextOf(w) == a[0]) target = w;
    if (!target) throw TDriveError(kExitFailed, "no window \"" + a[0] + "\"");
    PostMessageA(target, WM_CLOSE, 0, 0);
    session_.WaitIdle("closing \"" + a[0] + "\"");
  } else if (v == "menu") {
    ParseIndex(a[0], n);
    int downs = 0;
    ParseIndex(a[1], downs);
    if (n >= static_cast<int>(sizeof kBarMenus / sizeof kBarMenus[0])) throw TDriveError(kExitFailed, "no menu " + a[0]);
    if (!session_.Main()) throw TDriveError(kExitFailed, "the program is not started");
    // Alt and the menu's letter, as a user opens it: the menu composes its
    // commands as it opens.
    PostMessageA(session_.Main(), WM_SYSCOMMAND, SC_KEYMENU, kBarMenus[n].letter);
    MenuKeys(downs, "menu " + a[0]);
    if (n == kFileMenu && downs == kExitDowns) exitAsked_ = true;
    session_.WaitIdle("the menu command");
  } else if (v == "popup") {
    HWND grid = Named(a[0]);
    if (!grid || !IsWindowVisible(grid)) throw TDriveError(kExitFailed, "no grid \"" + a[0] + "\" shows");
    HWND view = GridView(grid);
    ParseIndex(a[1], x);
    ParseIndex(a[2], y);
    ParseIndex(a[3], n);
    const LPARAM at = MAKELPARAM(x, y);
    PostMessageA(view, WM_MOUSEMOVE, 0, at);
    PostMessageA(view, WM_RBUTTONDOWN, MK_RBUTTON, at);
    PostMessageA(view, WM_RBUTTONUP, 0, at);
    HWND menu = nullptr;
    for (int i = 0; i < 25 && !(menu = session_.OpenMenu()); ++i) WaitForSingleObject(session_.Process(), 20);
    if (!menu && !session_.PendingDialog()) {
      POINT s{x, y};
      ClientToScreen(view, &s);
      PostMessageA(view, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(view), MAKELPARAM(s.x, s.y));
    }
    if (!session_.PendingDialog()) MenuKeys(n, "the pop-up menu of " + a[0]);
    session_.WaitIdle("the pop-up command");
  } else if (v == "wait") {
    ParseIndex(a[0], n);
    const DWORD end = GetTickCount() + static_cast<DWORD>(n);
    while (static_cast<LONG>(GetTickCount() - end) < 0 && session_.Process() &&
           WaitForSingleObject(session_.Process(), 100) == WAIT_TIMEOUT)
      CheckAnswers();
  }
}

void TMonkey::Do(const TStep& Step) {
  const std::string line = FormatStep(Step);
  {
    // Every logged action must replay: a line the log cannot read back is the monkey's own fault.
    std::vector<TStep> back;
    std::string error;
    if (!ParseMonkeyLog(line, back, error) || back.size() != 1 || back[0].args != Step.args)
      throw TDriveError(kExitFailed, "the run chose an action its log cannot replay: " + line + " (" + error + ")");
  }
  Note(line);
  ++actions_;
  const auto before = files_;
  std::string page;
  if (HWND main = session_.Main()) page = PageOfCaption(TextOf(main));
  // What may change a browser file: an accepted window (the edit, delete,
  // block or new dialogs and their confirmations), the Delete key, the Edit
  // and pop-up menus' commands, the tool bar's Delete.
  const bool changes = (Step.verb == "answer" && !IsDeclining(Step.args[1])) ||
                       (Step.verb == "key" && std::find(Step.args.begin() + 1, Step.args.end(), "Delete") != Step.args.end()) ||
                       (Step.verb == "menu" && Step.args[0] == "1") || Step.verb == "popup" ||
                       (Step.verb == "press" && Step.args[0] == "ToolButtonDelete");
  done_.push_back(TDone{page, changes});
  // A write may land while the next actions are done (a thread, a timer).
  if (done_.size() > 3) done_.pop_front();
  try {
    Execute(Step);
  } catch (const TDriveError& e) {
    const std::string what = e.what();
    if (e.code == kExitTimeout || what.find("did not finish") != std::string::npos)
      Fail("the program did not finish the action: " + what);
    // A control that is hidden or disabled now: a user could not do it either.
    ++skipped_;
    Note("# not done: " + what);
  }
  // File > Exit: the program is given the time to save and end.
  if (exitAsked_ && session_.Process()) WaitForSingleObject(session_.Process(), 20000);
  CheckEnded(Step);
  exitAsked_ = false;
  CheckAnswers();
  CheckWindows();
  CheckFiles(before);
  Sample();
}

TStep TMonkey::ChooseInDialog(HWND Dialog) {
  const std::string caption = TextOf(Dialog);
  if (ClassOf(Dialog) == "#32770" && GetDlgItem(Dialog, kFilterCombo)) {
    if (random_.Percent(25)) return TStep{0, "answer", {caption, "2"}};
    return TStep{0, "answer", {caption, "1", outDir_ + "\\" + RandomFileName(random_)}};
  }
  std::vector<HWND> edits, checks, combos, buttons;
  bool tree = false;
  for (HWND c : Children(Dialog)) {
    if (!Usable(c)) continue;
    const std::string cls = ClassOf(c);
    if (cls == "SysTreeView32") tree = true;
    const bool named = !WindowName(c).empty();
    const TButtonKind kind = ButtonKind(c);
    if (kind == TButtonKind::kPush && !TextOf(c).empty()) buttons.push_back(c);
    if (!named) continue;
    if (kind == TButtonKind::kCheck) checks.push_back(c);
    if (cls == "Edit" && !(GetWindowLongA(c, GWL_STYLE) & ES_READONLY)) edits.push_back(c);
    if (cls == "ComboBox" && SendMessageA(c, CB_GETCOUNT, 0, 0) > 0) combos.push_back(c);
  }
  // The folder browser: its OK or Cancel.
  if (tree && ClassOf(Dialog) == "#32770") return TStep{0, "answer", {caption, random_.Percent(50) ? "1" : "2"}};
  const TShownWindow d = Describe(Dialog);
  if (MustDecline(AllText(d))) {
    for (HWND b : buttons)
      if (IsDeclining(TextOf(b))) return TStep{0, "answer", {caption, StripAmpersands(TextOf(b))}};
    return TStep{0, "close-window", {caption}};
  }
  const size_t fields = edits.size() + checks.size() + combos.size();
  if (fields && random_.Percent(55)) {
    size_t i = static_cast<size_t>(random_.Below(static_cast<int>(fields)));
    if (i < edits.size()) {
      const std::string text = RandomText(random_);
      const std::string name = WindowName(edits[i]);
      return NeedsHex(text) ? TStep{0, "htext", {name, ToHex(text)}} : TStep{0, "text", {name, text}};
    }
    i -= edits.size();
    if (i < checks.size()) return TStep{0, "press", {WindowName(checks[i])}};
    i -= checks.size();
    const int count = static_cast<int>(SendMessageA(combos[i], CB_GETCOUNT, 0, 0));
    return TStep{0, "select", {WindowName(combos[i]), std::to_string(random_.Below(count))}};
  }
  if (buttons.empty() || random_.Percent(8)) return TStep{0, "close-window", {caption}};
  HWND b = buttons[static_cast<size_t>(random_.Below(static_cast<int>(buttons.size())))];
  return TStep{0, "answer", {caption, StripAmpersands(TextOf(b))}};
}

TStep TMonkey::ChooseInMain() {
  auto visible = [&](const char* const* Names, size_t Count) {
    std::vector<std::string> out;
    for (size_t i = 0; i < Count; ++i) {
      HWND w = Named(Names[i]);
      if (w && IsWindowVisible(w) && IsWindowEnabled(w)) out.push_back(Names[i]);
    }
    return out;
  };
  auto pick = [&](const std::vector<std::string>& From) { return From[static_cast<size_t>(random_.Below(static_cast<int>(From.size())))]; };
  const std::vector<std::string> grids = visible(kGrids, sizeof kGrids / sizeof kGrids[0]);
  auto point = [&](const std::string& Grid, int& X, int& Y) {
    RECT r{};
    GetClientRect(GridView(Named(Grid)), &r);
    X = random_.Below(std::max<int>(r.right, 1));
    Y = random_.Below(std::max<int>(r.bottom, 1));
  };
  for (;;) {
    const int roll = random_.Below(100);
    if (roll < 13) {
      return TStep{0, "press", {kToolButtons[random_.Below(sizeof kToolButtons / sizeof kToolButtons[0])]}};
    } else if (roll < 27) {
      int total = 0;
      for (const TBarMenu& m : kBarMenus) total += m.weight;
      int w = random_.Below(total), menu = 0;
      while (w >= kBarMenus[menu].weight) w -= kBarMenus[menu++].weight;
      const int downs = random_.Below(kBarMenus[menu].commands);
      // Exit ends the run's program: now and then, to check that it starts again.
      if (menu == kFileMenu && downs == kExitDowns && !random_.Percent(10)) continue;
      return TStep{0, "menu", {std::to_string(menu), std::to_string(downs)}};
    } else if (roll < 37) {
      std::vector<std::string> tabs = visible(kTabs, sizeof kTabs / sizeof kTabs[0]);
      for (const std::string& c : visible(kCombos, sizeof kCombos / sizeof kCombos[0])) tabs.push_back(c);
      if (tabs.empty()) continue;
      const std::string name = pick(tabs);
      HWND w = Named(name);
      int count = static_cast<int>(SendMessageA(w, TCM_GETITEMCOUNT, 0, 0));
      if (count <= 0) count = static_cast<int>(SendMessageA(w, CB_GETCOUNT, 0, 0));
      if (count <= 0) continue;
      return TStep{0, "select", {name, std::to_string(random_.Below(count))}};
    } else if (roll < 60) {
      if (grids.empty()) continue;
      TStep s{0, "key", {pick(grids)}};
      for (int n = random_.Percent(75) ? 1 : 2 + random_.Below(3); n > 0; --n)
        s.args.push_back(kGridKeys[random_.Below(sizeof kGridKeys / sizeof kGridKeys[0])]);
      return s;
    } else if (roll < 70) {
      if (grids.empty()) continue;
      const std::string g = pick(grids);
      int x = 0, y = 0;
      point(g, x, y);
      return TStep{0, random_.Percent(30) ? "dclick" : "click", {g, std::to_string(x), std::to_string(y)}};
    } else if (roll < 75) {
      if (grids.empty()) continue;
      const std::string g = pick(grids);
      int x = 0, y = 0;
      point(g, x, y);
      return TStep{0, "popup", {g, std::to_string(x), std::to_string(y), std::to_string(random_.Below(11))}};
    } else if (roll < 81) {
      if (grids.empty()) continue;
      const std::string g = pick(grids);
      RECT r{};
      GetClientRect(Named(g), &r);
      return TStep{0, "header", {g, std::to_string(random_.Below(std::max<int>(r.right, 1)))}};
    } else if (roll < 93) {
      HWND edit = Named("EdtItemToSearch");
      if (!edit || !IsWindowVisible(edit)) {
        // The panel opens from its tool button or with F3 in a grid.
        if (grids.empty() || random_.Percent(50)) return TStep{0, "press", {"ToolBtnSearch"}};
        return TStep{0, "key", {pick(grids), "F3"}};
      }
      if (random_.Percent(55)) {
        const std::string text = RandomText(random_);
        return NeedsHex(text) ? TStep{0, "htext", {"EdtItemToSearch", ToHex(text)}}
                              : TStep{0, "text", {"EdtItemToSearch", text}};
      }
      const std::vector<std::string> controls = visible(kSearchControls, sizeof kSearchControls / sizeof kSearchControls[0]);
      if (controls.empty()) continue;
      return TStep{0, "press", {pick(controls)}};
    } else if (roll < 97) {
      // The other buttons and check boxes of the main window: the advanced
      // search, its folder browser and its start button among them.
      std::vector<std::string> names;
      for (HWND c : Children(session_.Main()))
        if (Usable(c) && ButtonKind(c) != TButtonKind::kNone && !WindowName(c).empty()) names.push_back(WindowName(c));
      if (names.empty()) continue;
      return TStep{0, "press", {pick(names)}};
    } else if (roll < 98) {
      HWND drives = Named("cboLocalIEDrives");
      if (!drives || !IsWindowVisible(drives)) continue;
      const std::string text = random_.Percent(50) ? "C:\\users" : RandomText(random_);
      return NeedsHex(text) ? TStep{0, "htext", {"cboLocalIEDrives", ToHex(text)}}
                            : TStep{0, "text", {"cboLocalIEDrives", text}};
    } else {
      return TStep{0, "wait", {std::to_string(200 + random_.Below(1300))}};
    }
  }
}

TStep TMonkey::Choose() {
  if (HWND d = TopDialog()) return ChooseInDialog(d);
  return ChooseInMain();
}

// Closes what is open and then the program, declining every question, and
// checks that it ends cleanly.
void TMonkey::Finish() {
  for (int i = 0; i < 20 && session_.Process(); ++i) {
    HWND d = TopDialog();
    if (!d) break;
    const std::string caption = TextOf(d);
    std::string decline;
    for (HWND c : Children(d))
      if (Usable(c) && ButtonKind(c) == TButtonKind::kPush && IsDeclining(TextOf(c))) decline = StripAmpersands(TextOf(c));
    if (ClassOf(d) == "#32770" && GetDlgItem(d, IDCANCEL)) decline = "2";
    Do(decline.empty() ? TStep{0, "close-window", {caption}} : TStep{0, "answer", {caption, decline}});
  }
  if (!session_.Process()) return;
  Note("# closing the program");
  PostMessageA(session_.Main(), WM_CLOSE, 0, 0);
  const DWORD end = GetTickCount() + 20000;
  DWORD code = 0;
  while (!session_.Ended(code)) {
    if (static_cast<LONG>(GetTickCount() - end) >= 0) Fail("the program did not end within 20 s of WM_CLOSE");
    if (HWND d = session_.PendingDialog()) {
      session_.Accept(d);
      const TShownWindow shown = Describe(d);
      if (!UnexplainedError(shown).empty()) Fail("an error window showed on closing: " + AllText(shown));
      PostMessageA(d, WM_CLOSE, 0, 0);
    }
    WaitForSingleObject(session_.Process(), 50);
  }
  if (code != 0) Fail("the program ended with exit code " + std::to_string(code) + " after WM_CLOSE");
}

void TMonkey::ReportFailure(const char* What) {
  Note(std::string("# FAILED: ") + What);
  std::fprintf(stderr, "morvane-drive monkey: FAILED after %d actions: %s\nthe last actions:\n", actions_, What);
  for (const std::string& l : recent_) std::fprintf(stderr, "  %s\n", l.c_str());
}

int TMonkey::Run() {
  char temp[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, temp);
  outDir_ = std::string(temp) + "morvane-monkey-" + std::to_string(GetCurrentProcessId());
  CreateDirectoryA(outDir_.c_str(), nullptr);
  std::vector<TStep> replay;
  if (!request_.replay.empty()) {
    std::string error;
    if (!LoadSteps(request_.replay, ParseMonkeyLog, replay, error)) {
      std::fprintf(stderr, "morvane-drive: %s\n", error.c_str());
      return kExitUsage;
    }
  }
  if (!request_.log.empty() && !(log_ = std::fopen(request_.log.c_str(), "wb"))) {
    std::fprintf(stderr, "morvane-drive: cannot write %s\n", request_.log.c_str());
    return kExitUsage;
  }
  Note(request_.replay.empty()
           ? "# morvane-drive monkey --seconds " + std::to_string(request_.seconds) + " --seed " + std::to_string(request_.seed)
           : "# morvane-drive monkey --replay " + request_.replay);
  try {
    CheckDumps(true);
    files_ = Snapshot();
    const DWORD start = GetTickCount();
    if (!replay.empty()) {
      // Saved exports go to this run's own folder.
      for (TStep s : replay) {
        if (s.verb == "answer" && s.args.size() == 3) {
          const size_t slash = s.args[2].find_last_of('\\');
          s.args[2] = outDir_ + "\\" + (slash == std::string::npos ? s.args[2] : s.args[2].substr(slash + 1));
        }
        if (s.verb == "start" && session_.Process()) continue;  // started again by the run after its Exit
        Do(s);
      }
    } else {
      Do(TStep{0, "start", {}});
      while (static_cast<LONG>(GetTickCount() - start) < request_.seconds * 1000) Do(Choose());
    }
    Finish();
    CheckDumps(false);
    CheckResources();
  } catch (const TMonkeyFailure& f) {
    ReportFailure(f.what());
    return kExitFailed;
  } catch (const TDriveError& e) {
    ReportFailure(e.what());
    return e.code == kExitOk ? kExitFailed : e.code;
  }
  // The figures of the last run of the program, for the report.
  uint32_t handlesMax = 0;
  uint64_t memoryMax = 0;
  for (const TResourceSample& x : samples_) {
    handlesMax = std::max(handlesMax, x.handles);
    memoryMax = std::max(memoryMax, x.workingSet);
  }
  const TResourceSample first = samples_.empty() ? TResourceSample{} : samples_.front();
  const TResourceSample last = samples_.empty() ? TResourceSample{} : samples_.back();
  std::printf("monkey: %d actions (%d not possible when chosen), %d restarts, %zu browser files read by morvane-dump "
              "before and after; handles %u first, %u most, %u last; working set %llu MB first, %llu MB most, %llu MB "
              "last; every check held\n",
              actions_, skipped_, restarts_, readable_.size(), first.handles, handlesMax, last.handles,
              static_cast<unsigned long long>(first.workingSet >> 20), static_cast<unsigned long long>(memoryMax >> 20),
              static_cast<unsigned long long>(last.workingSet >> 20));
  Note("# every check held");
  return kExitOk;
}

}  // namespace

int RunMonkey(const TMonkeyRequest& Request, const std::string& Exe, const std::string& Cwd) {
  TMonkey monkey(Request, Exe, Cwd);
  return monkey.Run();
}

}  // namespace morvane::drive
