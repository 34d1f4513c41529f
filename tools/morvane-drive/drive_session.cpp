#include "drive_session.h"

#include <algorithm>
#include <cctype>
#include <cstring>

#include "platform/ui/automation.h"
#include "platform/ui/screenshot.h"

namespace morvane::drive {

std::string ClassOf(HWND W) {
  char buf[128] = {};
  GetClassNameA(W, buf, sizeof buf);
  return buf;
}

std::string TextOf(HWND W) {
  char buf[1024] = {};
  DWORD_PTR n = 0;
  if (!SendMessageTimeoutA(W, WM_GETTEXT, sizeof buf, reinterpret_cast<LPARAM>(buf), SMTO_ABORTIFHUNG, 2000, &n))
    return std::string();
  return std::string(buf, std::min<size_t>(n, sizeof buf - 1));
}

bool IsDialogLike(HWND W) {
  if (ClassOf(W) == "#32770") return true;
  const LONG style = GetWindowLongA(W, GWL_STYLE);
  return (style & WS_CAPTION) == WS_CAPTION;
}

std::string StripAmpersands(std::string S) {
  S.erase(std::remove(S.begin(), S.end(), '&'), S.end());
  return S;
}

namespace {

// Control ids of the common file dialog: the file name (combo with an edit
// in the Explorer-style dialog, a plain edit in the old one) and the filter.
constexpr int kFileNameCombo = 0x47C;
constexpr int kFileNameEdit = 0x480;
constexpr int kFilterCombo = 0x470;

// The toolkit registers its window classes as "Morvane" + the control's
// class name.
const char kGridClass[] = "MorvaneTElTree";
const char kGridViewClass[] = "MorvaneTElTreeView";

// The rows' window of a grid; the window itself for anything else.
HWND RowsWindowOf(HWND W) {
  if (ClassOf(W) == kGridClass)
    if (HWND view = FindWindowExA(W, nullptr, kGridViewClass, nullptr)) return view;
  return W;
}

LPARAM Point(int X, int Y) { return MAKELPARAM(static_cast<WORD>(X), static_cast<WORD>(Y)); }

POINT Middle(HWND W) {
  RECT r{};
  GetClientRect(W, &r);
  return POINT{(r.right - r.left) / 2, (r.bottom - r.top) / 2};
}

struct TSendJob {
  std::vector<TSentMessage> messages;
  HANDLE done;
  std::string text;  // a WM_SETTEXT's text, owned here: the caller may be gone before it is sent
};

DWORD WINAPI SendThread(LPVOID P) {
  auto* job = static_cast<TSendJob*>(P);
  for (TSentMessage m : job->messages) {
    DWORD_PTR r = 0;
    if (m.msg == WM_SETTEXT) m.lParam = reinterpret_cast<LPARAM>(job->text.c_str());
    // A modal loop inside the handler keeps the call open: the waiting is
    // done by the caller, which sees the dialog.
    SendMessageTimeoutA(m.wnd, m.msg, m.wParam, m.lParam, SMTO_NORMAL, 600000, &r);
  }
  SetEvent(job->done);
  CloseHandle(job->done);
  delete job;
  return 0;
}

}  // namespace

TSession::TSession(std::string Exe, std::string Cwd) : exe_(std::move(Exe)), cwd_(std::move(Cwd)) {}

TSession::~TSession() {
  for (HANDLE h : pending_) CloseHandle(h);
  if (process_) {
    // A run that ended early leaves no program behind.
    if (WaitForSingleObject(process_, 0) == WAIT_TIMEOUT) TerminateProcess(process_, 1);
    CloseHandle(process_);
  }
}

void TSession::Start(const std::vector<std::string>& Args) {
  if (process_) throw TDriveError(kExitFailed, "the program is already started");
  std::string cmd = "\"" + exe_ + "\"";
  for (const std::string& a : Args) cmd += " \"" + a + "\"";
  STARTUPINFOA si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  if (!CreateProcessA(exe_.c_str(), cmd.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      cwd_.empty() ? nullptr : cwd_.c_str(), &si, &pi))
    throw TDriveError(kExitFailed, "cannot start " + exe_ + " (error " + std::to_string(GetLastError()) + ")");
  CloseHandle(pi.hThread);
  process_ = pi.hProcess;
  pid_ = pi.dwProcessId;
  const DWORD end = GetTickCount() + timeoutMs_;
  while (!main_) {
    // One look at the windows for both questions: a main window that shows
    // between two looks would otherwise be taken for a dialog nobody asked for.
    const std::vector<HWND> windows = ProcessWindows();
    for (HWND w : windows)
      if (WindowName(w) == "MainFrm") main_ = w;
    if (main_) break;
    for (HWND w : windows)
      if (!accepted_.count(w) && IsDialogLike(w)) Unexpected(w);
    if (WaitForSingleObject(process_, 0) == WAIT_OBJECT_0) {
      DWORD code = 0;
      GetExitCodeProcess(process_, &code);
      throw TDriveError(kExitTimeout, "the program ended (exit code " + std::to_string(code) +
                                          ") without showing its main window");
    }
    if (static_cast<LONG>(GetTickCount() - end) >= 0)
      throw TDriveError(kExitTimeout, "no main window within " + std::to_string(timeoutMs_ / 1000) + " s");
    WaitForSingleObject(process_, 50);
  }
  accepted_.insert(main_);
  WaitForInputIdle(process_, timeoutMs_);
}

std::vector<HWND> TSession::ProcessWindows() const {
  struct TCollect {
    DWORD pid;
    std::vector<HWND> found;
  } c{pid_, {}};
  EnumWindows(
      [](HWND w, LPARAM p) -> BOOL {
        auto* c = reinterpret_cast<TCollect*>(p);
        DWORD owner = 0;
        GetWindowThreadProcessId(w, &owner);
        if (owner == c->pid && IsWindowVisible(w)) c->found.push_back(w);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&c));
  return c.found;
}

HWND TSession::NewDialog() const {
  for (HWND w : ProcessWindows())
    if (!accepted_.count(w) && IsDialogLike(w)) return w;
  return nullptr;
}

void TSession::Unexpected(HWND W) const {
  std::string text = "unexpected window \"" + TextOf(W) + "\"";
  std::string body;
  EnumChildWindows(
      W,
      [](HWND c, LPARAM p) -> BOOL {
        const std::string cls = ClassOf(c);
        if (!IsWindowVisible(c) || cls == "Button") return TRUE;
        std::string t = TextOf(c);
        if (!t.empty()) {
          auto* body = reinterpret_cast<std::string*>(p);
          if (!body->empty()) *body += " | ";
          *body += t;
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&body));
  if (!body.empty()) text += ": " + body;
  throw TDriveError(kExitUnexpected, text);
}

HWND TSession::OpenMenu() const {
  for (HWND w : ProcessWindows())
    if (ClassOf(w) == "#32768") return w;
  return nullptr;
}

bool TSession::Ended(DWORD& Code) {
  if (!process_ || WaitForSingleObject(process_, 0) != WAIT_OBJECT_0) return false;
  GetExitCodeProcess(process_, &Code);
  CloseHandle(process_);
  process_ = nullptr;
  main_ = nullptr;
  accepted_.clear();
  return true;
}

void TSession::ForgetClosedDialogs() {
  // The program hides its dialogs and shows them again the next time: one
  // that has closed is new again when it comes back.
  for (auto it = accepted_.begin(); it != accepted_.end();)
    if (*it != main_ && (!IsWindow(*it) || !IsWindowVisible(*it))) it = accepted_.erase(it);
    else ++it;
}

void TSession::CheckNoUnexpectedWindow() {
  if (!process_) return;
  ForgetClosedDialogs();
  if (HWND d = NewDialog()) Unexpected(d);
}

HWND TSession::Control(const std::string& Name) {
  if (!main_) throw TDriveError(kExitFailed, "the program is not started");
  if (HWND w = FindNamedWindow(main_, Name)) return w;
  for (HWND a : accepted_)
    if (IsWindow(a))
      if (HWND w = FindNamedWindow(a, Name)) return w;
  for (HWND w : ProcessWindows())
    if (HWND c = FindNamedWindow(w, Name)) return c;
  throw TDriveError(kExitFailed, "no control named \"" + Name + "\"");
}

bool TSession::HasControl(const std::string& Name) {
  try {
    return Control(Name) != nullptr;
  } catch (const TDriveError&) {
    return false;
  }
}

void TSession::Perform(const std::vector<TSentMessage>& Messages, const std::string& What, const std::string& Text) {
  HANDLE done = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  HANDLE mine = nullptr;
  DuplicateHandle(GetCurrentProcess(), done, GetCurrentProcess(), &mine, 0, FALSE, DUPLICATE_SAME_ACCESS);
  auto* job = new TSendJob{Messages, done, Text};
  HANDLE t = CreateThread(nullptr, 0, &SendThread, job, 0, nullptr);
  if (!t) {
    CloseHandle(done);
    CloseHandle(mine);
    delete job;
    throw TDriveError(kExitFailed, "cannot start a thread for " + What);
  }
  CloseHandle(t);
  HANDLE own = nullptr;
  DuplicateHandle(GetCurrentProcess(), mine, GetCurrentProcess(), &own, 0, FALSE, DUPLICATE_SAME_ACCESS);
  pending_.push_back(mine);
  try {
    Settle(What, own);
  } catch (...) {
    CloseHandle(own);
    throw;
  }
  CloseHandle(own);
}

void TSession::Settle(const std::string& What, HANDLE Own) {
  const DWORD end = GetTickCount() + timeoutMs_;
  for (;;) {
    pending_.erase(std::remove_if(pending_.begin(), pending_.end(),
                                  [](HANDLE h) {
                                    if (WaitForSingleObject(h, 0) != WAIT_OBJECT_0) return false;
                                    CloseHandle(h);
                                    return true;
                                  }),
                   pending_.end());
    ForgetClosedDialogs();
    // A new dialog holds the messages in its modal loop: the next step answers it.
    // So does an open menu, whose loop waits for keys.
    if (NewDialog() || OpenMenu()) return;
    // Sends made before an answered dialog came up stay open while it shows:
    // only the ones made since must be done.
    bool modal = false;
    for (HWND a : accepted_)
      if (a != main_ && IsWindow(a) && IsWindowVisible(a) && IsDialogLike(a)) modal = true;
    const bool ownDone = !Own || WaitForSingleObject(Own, 0) == WAIT_OBJECT_0;
    if (pending_.empty() || (modal && ownDone)) {
      WaitForInputIdle(process_, timeoutMs_);
      return;
    }
    if (WaitForSingleObject(process_, 0) == WAIT_OBJECT_0) return;
    if (static_cast<LONG>(GetTickCount() - end) >= 0)
      throw TDriveError(kExitFailed, "the program did not finish " + What + " within " +
                                         std::to_string(timeoutMs_ / 1000) + " s");
    WaitForMultipleObjects(static_cast<DWORD>(std::min<size_t>(pending_.size(), MAXIMUM_WAIT_OBJECTS)),
                           pending_.data(), FALSE, 20);
  }
}

void TSession::ClickAt(HWND W, POINT P, int Count, bool Right, const std::string& What) {
  if (!IsWindowEnabled(W)) throw TDriveError(kExitFailed, What + " is disabled");
  const UINT down = Right ? WM_RBUTTONDOWN : WM_LBUTTONDOWN, up = Right ? WM_RBUTTONUP : WM_LBUTTONUP;
  const WPARAM key = Right ? MK_RBUTTON : MK_LBUTTON;
  const LPARAM at = Point(P.x, P.y);
  std::vector<TSentMessage> m{{W, WM_MOUSEMOVE, 0, at}, {W, down, key, at}, {W, up, 0, at}};
  if (Count == 2) {
    m.push_back({W, static_cast<UINT>(Right ? WM_RBUTTONDBLCLK : WM_LBUTTONDBLCLK), key, at});
    m.push_back({W, up, 0, at});
  }
  if (Right) {
    POINT s = P;
    ClientToScreen(W, &s);
    m.push_back({W, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(W), Point(s.x, s.y)});
  }
  Perform(m, What);
}

void TSession::PressToolButton(HWND ToolBar, int Command, const std::string& Name) {
  const int index = static_cast<int>(SendMessageA(ToolBar, TB_COMMANDTOINDEX, static_cast<WPARAM>(Command), 0));
  if (index < 0) throw TDriveError(kExitFailed, "the tool button \"" + Name + "\" is not on its tool bar");
  if (!SendMessageA(ToolBar, TB_ISBUTTONENABLED, static_cast<WPARAM>(Command), 0))
    throw TDriveError(kExitFailed, "the tool button \"" + Name + "\" is disabled");
  // The button's place cannot be asked for from outside: the mouse finds it,
  // as the tool bar's hot tracking follows it.
  RECT r{};
  GetClientRect(ToolBar, &r);
  int first = -1, last = -1;
  for (int y = r.bottom / 2, x = 0; x < r.right; x += 2) {
    SendMessageA(ToolBar, WM_MOUSEMOVE, 0, Point(x, y));
    if (static_cast<int>(SendMessageA(ToolBar, TB_GETHOTITEM, 0, 0)) == index) {
      if (first < 0) first = x;
      last = x;
    } else if (first >= 0) {
      break;
    }
  }
  SendMessageA(ToolBar, WM_MOUSELEAVE, 0, 0);
  if (first < 0) throw TDriveError(kExitFailed, "the tool button \"" + Name + "\" is not shown");
  ClickAt(ToolBar, POINT{(first + last) / 2, r.bottom / 2}, 1, false, "the tool button \"" + Name + "\"");
}

HWND TSession::FindToolButton(const std::string& Name, int& Command) const {
  const std::string prop = ToolButtonProperty(Name);
  struct TFind {
    const std::string* prop;
    HWND bar = nullptr;
    int command = 0;
  } f{&prop};
  auto look = [](HWND w, LPARAM p) -> BOOL {
    auto* f = reinterpret_cast<TFind*>(p);
    if (int c = PublishedCommand(w, *f->prop)) {
      f->bar = w;
      f->command = c;
      return FALSE;
    }
    return TRUE;
  };
  EnumChildWindows(main_, look, reinterpret_cast<LPARAM>(&f));
  Command = f.command;
  return f.bar;
}

void TSession::Press(const std::string& Name) {
  if (!main_) throw TDriveError(kExitFailed, "the program is not started");
  // A tool button is published on its tool bar.
  int command = 0;
  if (HWND bar = FindToolButton(Name, command)) return PressToolButton(bar, command, Name);
  HWND w = Control(Name);
  ClickAt(w, Middle(w), 1, false, "\"" + Name + "\"");
}

void TSession::Screenshot(const std::string& File) {
  if (!main_) throw TDriveError(kExitFailed, "the program is not started");
  Settle("drawing before the screenshot");
  RECT r{};
  GetWindowRect(main_, &r);
  // Paint what is still to be painted now, then take the screen once it has
  // stopped changing: a page shown by the last step may still be on its way
  // to the screen, and a picture of it half drawn shows the page before.
  RedrawWindow(main_, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
  // The screen's pixels: the frame is drawn there, and another process's
  // window DC would not hold them.
  TScreenImage screen = CaptureWindow(GetDesktopWindow());
  for (int tries = 0; tries < 30; ++tries) {
    Sleep(100);
    TScreenImage again = CaptureWindow(GetDesktopWindow());
    const bool same = again.Pixels == screen.Pixels;
    screen = std::move(again);
    if (same) break;
  }
  const int left = std::max<LONG>(r.left, 0), top = std::max<LONG>(r.top, 0);
  const int right = std::min<LONG>(r.right, screen.Width), bottom = std::min<LONG>(r.bottom, screen.Height);
  if (right <= left || bottom <= top) throw TDriveError(kExitFailed, "the main window is not on the screen");
  TScreenImage img;
  img.Width = right - left;
  img.Height = bottom - top;
  for (int y = top; y < bottom; ++y)
    img.Pixels.insert(img.Pixels.end(), screen.Pixels.begin() + static_cast<size_t>(y) * screen.Width + left,
                      screen.Pixels.begin() + static_cast<size_t>(y) * screen.Width + right);
  try {
    SaveImage(img, File);
  } catch (const std::exception& e) {
    throw TDriveError(kExitFailed, "cannot write " + File + ": " + e.what());
  }
}

void TSession::Place(int Left, int Top, int Width, int Height) {
  if (!main_) throw TDriveError(kExitFailed, "the program is not started");
  // The window manager's part of a frame drag: the program hears of it
  // through the position messages this sends.
  if (!SetWindowPos(main_, nullptr, Left, Top, Width, Height, SWP_NOZORDER | SWP_NOACTIVATE))
    throw TDriveError(kExitFailed, "cannot move the main window (error " + std::to_string(GetLastError()) + ")");
  Settle("moving the main window");
}

std::string TSession::State(const std::string& Name) {
  if (!main_) throw TDriveError(kExitFailed, "the program is not started");
  auto flag = [](bool On, const char* Yes, const char* No) { return std::string(" ") + (On ? Yes : No); };
  int command = 0;
  if (HWND bar = FindToolButton(Name, command)) {
    const auto id = static_cast<WPARAM>(command);
    const bool shown = IsWindowVisible(bar) && !SendMessageA(bar, TB_ISBUTTONHIDDEN, id, 0);
    return Name + ":" + flag(shown, "shown", "hidden") +
           flag(SendMessageA(bar, TB_ISBUTTONENABLED, id, 0) != 0, "enabled", "disabled") +
           flag(SendMessageA(bar, TB_ISBUTTONCHECKED, id, 0) != 0, "checked", "unchecked");
  }
  HWND w = Control(Name);
  std::string line = Name + ": \"" + TextOf(w) + "\"" + flag(IsWindowVisible(w) != FALSE, "shown", "hidden") +
                     flag(IsWindowEnabled(w) != FALSE, "enabled", "disabled");
  const LONG type = GetWindowLongA(w, GWL_STYLE) & BS_TYPEMASK;
  std::string cls = ClassOf(w);
  std::transform(cls.begin(), cls.end(), cls.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  if (cls == "button" && (type == BS_CHECKBOX || type == BS_AUTOCHECKBOX || type == BS_3STATE ||
                          type == BS_AUTO3STATE || type == BS_RADIOBUTTON || type == BS_AUTORADIOBUTTON))
    line += flag(SendMessageA(w, BM_GETCHECK, 0, 0) == BST_CHECKED, "checked", "unchecked");
  RECT r{};
  GetWindowRect(w, &r);
  line += " at " + std::to_string(r.left) + "," + std::to_string(r.top) + " size " + std::to_string(r.right - r.left) +
          "x" + std::to_string(r.bottom - r.top);
  return line;
}

void TSession::SendCommand(int Command, const std::string& What) {
  Perform({{main_, WM_COMMAND, MAKEWPARAM(Command, 0), 0}}, What);
}

void TSession::Menu(const std::vector<std::string>& CaptionsOrId) {
  if (!main_) throw TDriveError(kExitFailed, "the program is not started");
  int id = 0;
  if (CaptionsOrId.size() != 1 || !ParseIndex(CaptionsOrId[0], id)) {
    id = PublishedCommand(main_, MenuPathProperty(CaptionsOrId));
    if (!id) {
      std::string path;
      for (const std::string& c : CaptionsOrId) path += (path.empty() ? "" : " > ") + c;
      throw TDriveError(kExitFailed, "the menu bar has no command " + path);
    }
  }
  SendCommand(id, "the menu command " + std::to_string(id));
}

void TSession::Keys(const std::string& Name, const std::vector<TKey>& Keys) {
  HWND w = RowsWindowOf(Control(Name));
  // Modifier keys are held in the program's key state while the key goes in:
  // attached input queues share it.
  const DWORD theirs = GetWindowThreadProcessId(w, nullptr);
  const bool attached = AttachThreadInput(GetCurrentThreadId(), theirs, TRUE) != FALSE;
  for (const TKey& k : Keys) {
    BYTE state[256] = {};
    GetKeyboardState(state);
    BYTE before[256];
    std::memcpy(before, state, sizeof state);
    if (k.ctrl) state[VK_CONTROL] = state[VK_LCONTROL] = 0x80;
    if (k.shift) state[VK_SHIFT] = state[VK_LSHIFT] = 0x80;
    if (k.alt) state[VK_MENU] = state[VK_LMENU] = 0x80;
    if (attached) SetKeyboardState(state);
    const UINT scan = MapVirtualKeyA(k.vk, 0);
    const LPARAM downBits = 1 | (static_cast<LPARAM>(scan) << 16) | (k.alt ? (1 << 29) : 0);
    const LPARAM upBits = downBits | (static_cast<LPARAM>(1) << 30) | (static_cast<LPARAM>(1) << 31);
    std::vector<TSentMessage> m{{w, static_cast<UINT>(k.alt ? WM_SYSKEYDOWN : WM_KEYDOWN), k.vk, downBits}};
    if (k.ch) m.push_back({w, WM_CHAR, static_cast<WPARAM>(static_cast<unsigned char>(k.ch)), downBits});
    m.push_back({w, static_cast<UINT>(k.alt ? WM_SYSKEYUP : WM_KEYUP), k.vk, upBits});
    try {
      Perform(m, "the key in \"" + Name + "\"");
    } catch (...) {
      if (attached) {
        SetKeyboardState(before);
        AttachThreadInput(GetCurrentThreadId(), theirs, FALSE);
      }
      throw;
    }
    if (attached) SetKeyboardState(before);
  }
  if (attached) AttachThreadInput(GetCurrentThreadId(), theirs, FALSE);
}

void TSession::SetText(const std::string& Name, const std::string& Text) {
  HWND w = Control(Name);
  // WM_SETTEXT is carried between processes; the edit tells its parent.
  Perform({{w, WM_SETTEXT, 0, 0}}, "setting the text of \"" + Name + "\"", Text);
}

void TSession::SelectTab(HWND Tabs, int Index, const std::string& Name) {
  const int count = static_cast<int>(SendMessageA(Tabs, TCM_GETITEMCOUNT, 0, 0));
  const int target = Index == kLastTab ? count - 1 : Index;
  if (target < 0 || target >= count)
    throw TDriveError(kExitFailed, "\"" + Name + "\" has " + std::to_string(count) + " tabs, not tab " +
                                       std::to_string(Index));
  if (static_cast<int>(SendMessageA(Tabs, TCM_GETCURSEL, 0, 0)) == target) return;
  // Tabs stand left to right in their row; clicking along it reaches the
  // wanted one as a user's eye would find it.
  RECT r{};
  GetClientRect(Tabs, &r);
  for (int x = 4; x < r.right; x += 6) {
    ClickAt(Tabs, POINT{x, 8}, 1, false, "a tab of \"" + Name + "\"");
    CheckNoUnexpectedWindow();
    const int now = static_cast<int>(SendMessageA(Tabs, TCM_GETCURSEL, 0, 0));
    if (now == target) return;
    if (now > target) break;
  }
  throw TDriveError(kExitFailed, "tab " + std::to_string(target) + " of \"" + Name + "\" could not be clicked");
}

void TSession::Select(const std::string& Name, int Index) {
  HWND w = Control(Name);
  const std::string cls = ClassOf(w);
  if (cls == "SysTabControl32" || cls.find("Tab") != std::string::npos || cls.find("Page") != std::string::npos)
    if (SendMessageA(w, TCM_GETITEMCOUNT, 0, 0) > 0) return SelectTab(w, Index, Name);
  const int count = static_cast<int>(SendMessageA(w, CB_GETCOUNT, 0, 0));
  if (count <= 0 || Index >= count)
    throw TDriveError(kExitFailed, "\"" + Name + "\" has " + std::to_string(std::max(count, 0)) +
                                       " entries, not entry " + std::to_string(Index));
  if (!IsWindowEnabled(w)) throw TDriveError(kExitFailed, "\"" + Name + "\" is disabled");
  // What the list sends when a user picks an entry.
  const int id = GetDlgCtrlID(w);
  Perform({{w, CB_SETCURSEL, static_cast<WPARAM>(Index), 0},
           {GetParent(w), WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(w)}},
          "choosing entry " + std::to_string(Index) + " of \"" + Name + "\"");
}

void TSession::SelectRow(const std::string& Grid, int Row) {
  HWND view = RowsWindowOf(Control(Grid));
  if (ClassOf(view) != kGridViewClass) throw TDriveError(kExitFailed, "\"" + Grid + "\" is not a grid");
  RECT r{};
  GetClientRect(view, &r);
  // Into the grid for the focus, then Home and Down as a user counts rows.
  // Home moves only a focus the grid already has; Down first gives it one
  // (the first row when none was focused).
  ClickAt(view, POINT{r.right / 2, std::max<LONG>(r.bottom - 4, 0)}, 1, false, "\"" + Grid + "\"");
  TKey home, down;
  home.vk = VK_HOME;
  down.vk = VK_DOWN;
  std::vector<TKey> keys{down, home};
  keys.insert(keys.end(), static_cast<size_t>(Row), down);
  Keys(Grid, keys);
}

void TSession::Click(const std::string& Name, const POINT* At, int Count, bool Right) {
  HWND w = RowsWindowOf(Control(Name));
  ClickAt(w, At ? *At : Middle(w), Count, Right, "\"" + Name + "\"");
}

void TSession::Header(const std::string& Grid, int X, const int* ToX) {
  HWND w = Control(Grid);
  HWND header = nullptr;
  for (HWND c = GetWindow(w, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
    if (ClassOf(c).find("Header") != std::string::npos) header = c;
  if (!header) throw TDriveError(kExitFailed, "\"" + Grid + "\" has no header");
  RECT r{};
  GetClientRect(header, &r);
  const int y = r.bottom / 2;
  const std::string what = "the header of \"" + Grid + "\"";
  if (!ToX) return ClickAt(header, POINT{X, y}, 1, false, what);
  // A drag as the hand makes it: press, move in small steps, release.
  std::vector<TSentMessage> m{{header, WM_MOUSEMOVE, 0, Point(X, y)}, {header, WM_LBUTTONDOWN, MK_LBUTTON, Point(X, y)}};
  const int step = *ToX >= X ? 4 : -4;
  for (int x = X + step; step > 0 ? x < *ToX : x > *ToX; x += step)
    m.push_back({header, WM_MOUSEMOVE, MK_LBUTTON, Point(x, y)});
  m.push_back({header, WM_MOUSEMOVE, MK_LBUTTON, Point(*ToX, y)});
  m.push_back({header, WM_LBUTTONUP, 0, Point(*ToX, y)});
  Perform(m, "dragging a column of " + what);
}

HWND TSession::FindByCaption(const std::string& Caption) const {
  for (HWND w : ProcessWindows())
    if (TextOf(w) == Caption) return w;
  return nullptr;
}

HWND TSession::WaitForCaption(const std::string& Caption) {
  const DWORD end = GetTickCount() + timeoutMs_;
  for (;;) {
    if (HWND w = FindByCaption(Caption)) return w;
    if (!process_ || WaitForSingleObject(process_, 0) == WAIT_OBJECT_0)
      throw TDriveError(kExitFailed, "the program ended before \"" + Caption + "\" showed");
    if (static_cast<LONG>(GetTickCount() - end) >= 0)
      throw TDriveError(kExitFailed, "no window \"" + Caption + "\" within " + std::to_string(timeoutMs_ / 1000) + " s");
    WaitForSingleObject(process_, 20);
  }
}

void TSession::PressDialogButton(HWND Dialog, const std::string& Button) {
  int id = 0;
  HWND button = nullptr;
  if (ParseIndex(Button, id)) {
    button = GetDlgItem(Dialog, id);
  } else {
    struct TFind {
      std::string caption;
      HWND found = nullptr;
    } f{StripAmpersands(Button)};
    EnumChildWindows(
        Dialog,
        [](HWND c, LPARAM p) -> BOOL {
          auto* f = reinterpret_cast<TFind*>(p);
          if (IsWindowVisible(c) && StripAmpersands(TextOf(c)) == f->caption) {
            f->found = c;
            return FALSE;
          }
          return TRUE;
        },
        reinterpret_cast<LPARAM>(&f));
    button = f.found;
  }
  if (!button) throw TDriveError(kExitFailed, "\"" + TextOf(Dialog) + "\" has no button " + Button);
  if (!IsWindowEnabled(button)) throw TDriveError(kExitFailed, "the button " + Button + " is disabled");
  ClickAt(button, Middle(button), 1, false, "the button " + Button);
}

void TSession::Answer(const std::string& Caption, const std::string& Button, const std::string* Text) {
  HWND d = WaitForCaption(Caption);
  accepted_.insert(d);
  if (Text) {
    HWND edit = GetDlgItem(d, kFileNameCombo);
    if (!edit) edit = GetDlgItem(d, kFileNameEdit);
    if (!edit) edit = FindWindowExA(d, nullptr, "Edit", nullptr);
    if (!edit) throw TDriveError(kExitFailed, "\"" + Caption + "\" has no edit for the text");
    Perform({{edit, WM_SETTEXT, 0, 0}}, "typing into \"" + Caption + "\"", *Text);
  }
  PressDialogButton(d, Button);
}

void TSession::Expect(const std::string& Caption) { accepted_.insert(WaitForCaption(Caption)); }

std::string TSession::Show(const std::string& Caption) {
  HWND w = WaitForCaption(Caption);
  accepted_.insert(w);
  std::vector<TControlText> controls;
  EnumChildWindows(
      w,
      [](HWND c, LPARAM p) -> BOOL {
        if (IsWindowVisible(c)) reinterpret_cast<std::vector<TControlText>*>(p)->push_back({ClassOf(c), TextOf(c)});
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&controls));
  return WindowTextsReport(Caption, controls);
}

std::vector<std::string> TSession::ListRow(const std::string& Name, int Row) {
  HWND w = Control(Name);
  if (ClassOf(w) != WC_LISTVIEWA) throw TDriveError(kExitFailed, "\"" + Name + "\" is not a list view");
  const int count = static_cast<int>(SendMessageA(w, LVM_GETITEMCOUNT, 0, 0));
  if (Row >= count)
    throw TDriveError(kExitFailed, "\"" + Name + "\" has " + std::to_string(count) + " rows, not row " + std::to_string(Row));
  HWND header = reinterpret_cast<HWND>(SendMessageA(w, LVM_GETHEADER, 0, 0));
  const int columns = std::max(1, header ? static_cast<int>(SendMessageA(header, HDM_GETITEMCOUNT, 0, 0)) : 1);
  // The list answers into memory of its own process: the request and the
  // room for the text are lent to it there, and the text read back.
  constexpr size_t kRoom = 4096;
  char* remote = static_cast<char*>(
      VirtualAllocEx(process_, nullptr, sizeof(LVITEMA) + kRoom, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
  if (!remote) throw TDriveError(kExitFailed, "cannot lend the program room for the texts of \"" + Name + "\"");
  std::vector<std::string> cells;
  bool ok = true;
  for (int c = 0; c < columns && ok; ++c) {
    LVITEMA item{};
    item.iSubItem = c;
    item.cchTextMax = static_cast<int>(kRoom);
    item.pszText = remote + sizeof(LVITEMA);
    char text[kRoom] = {};
    DWORD_PTR n = 0;
    ok = WriteProcessMemory(process_, remote, &item, sizeof item, nullptr) &&
         SendMessageTimeoutA(w, LVM_GETITEMTEXTA, static_cast<WPARAM>(Row), reinterpret_cast<LPARAM>(remote),
                             SMTO_ABORTIFHUNG, timeoutMs_, &n) &&
         ReadProcessMemory(process_, remote + sizeof(LVITEMA), text, kRoom, nullptr);
    text[kRoom - 1] = '\0';
    cells.emplace_back(text);
  }
  VirtualFreeEx(process_, remote, 0, MEM_RELEASE);
  if (!ok) throw TDriveError(kExitFailed, "the texts of row " + std::to_string(Row) + " of \"" + Name + "\" could not be read");
  return cells;
}

void TSession::ExpectGone(const std::string& Caption) {
  const DWORD end = GetTickCount() + timeoutMs_;
  while (FindByCaption(Caption)) {
    if (static_cast<LONG>(GetTickCount() - end) >= 0)
      throw TDriveError(kExitFailed, "\"" + Caption + "\" still shows after " + std::to_string(timeoutMs_ / 1000) + " s");
    WaitForSingleObject(process_, 20);
  }
}

void TSession::SaveAs(const std::string& File, const std::string& Format, bool Selection) {
  const int filter = FilterIndexOf(Format);
  if (!filter) throw TDriveError(kExitUsage, "unknown format " + Format);
  if (Selection)
    Menu({"&Edit", "Save selec&tion as..."});
  else
    Menu({"&File", "Sa&ve as..."});
  HWND d = nullptr;
  const DWORD end = GetTickCount() + timeoutMs_;
  while (!d) {
    for (HWND w : ProcessWindows())
      if (!accepted_.count(w) && ClassOf(w) == "#32770" && GetDlgItem(w, kFilterCombo)) d = w;
    if (d) break;
    if (HWND other = NewDialog()) Unexpected(other);
    if (static_cast<LONG>(GetTickCount() - end) >= 0)
      throw TDriveError(kExitFailed, "no save dialog within " + std::to_string(timeoutMs_ / 1000) + " s");
    WaitForSingleObject(process_, 20);
  }
  accepted_.insert(d);
  HWND combo = GetDlgItem(d, kFilterCombo);
  // A user's pick ends with CBN_SELENDOK, and that is the notice the file
  // dialog takes the file type from.
  Perform({{combo, CB_SETCURSEL, static_cast<WPARAM>(filter - 1), 0},
           {d, WM_COMMAND, MAKEWPARAM(kFilterCombo, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo)},
           {d, WM_COMMAND, MAKEWPARAM(kFilterCombo, CBN_SELENDOK), reinterpret_cast<LPARAM>(combo)}},
          "choosing the file type");
  HWND name = GetDlgItem(d, kFileNameCombo);
  if (!name) name = GetDlgItem(d, kFileNameEdit);
  if (!name) throw TDriveError(kExitFailed, "the save dialog has no file name box");
  Perform({{name, WM_SETTEXT, 0, 0}}, "typing the file name", File);
  PressDialogButton(d, std::to_string(IDOK));
  // Replacing a file the user named is what was asked for.
  for (HWND w : ProcessWindows())
    if (!accepted_.count(w) && ClassOf(w) == "#32770" && GetWindow(w, GW_OWNER) == d && GetDlgItem(w, IDYES)) {
      accepted_.insert(w);
      PressDialogButton(w, std::to_string(IDYES));
    }
  Settle("saving " + File);
  if (IsWindow(d) && IsWindowVisible(d)) throw TDriveError(kExitFailed, "the save dialog did not accept " + File);
}

void TSession::Close() {
  if (!main_) throw TDriveError(kExitFailed, "the program is not started");
  CheckNoUnexpectedWindow();
  PostMessageA(main_, WM_CLOSE, 0, 0);
  WaitExit();
}

void TSession::WaitExit() {
  if (!process_) throw TDriveError(kExitFailed, "the program is not started");
  const DWORD end = GetTickCount() + timeoutMs_;
  while (WaitForSingleObject(process_, 20) == WAIT_TIMEOUT) {
    CheckNoUnexpectedWindow();
    if (static_cast<LONG>(GetTickCount() - end) >= 0)
      throw TDriveError(kExitTimeout, "the program did not end within " + std::to_string(timeoutMs_ / 1000) + " s");
  }
  DWORD code = 0;
  GetExitCodeProcess(process_, &code);
  CloseHandle(process_);
  process_ = nullptr;
  main_ = nullptr;
  accepted_.clear();
  if (code != 0) throw TDriveError(kExitFailed, "the program ended with exit code " + std::to_string(code));
}

}  // namespace morvane::drive
