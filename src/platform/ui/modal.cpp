#include "platform/ui/modal.h"

#include <atomic>
#include <chrono>
#include <map>
#include <mutex>
#include <thread>

#include "platform/ui/application.h"
#include "platform/ui/forms.h"

namespace morvane {

namespace {
TModalResponder& Responder() {
  static TModalResponder r;
  return r;
}
}  // namespace

const char* ModalKindName(TModalKind k) {
  switch (k) {
    case TModalKind::mkMessageBox: return "message box";
    case TModalKind::mkForm: return "form";
    case TModalKind::mkInputBox: return "input box";
    case TModalKind::mkOpenDialog: return "open dialog";
    case TModalKind::mkSaveDialog: return "save dialog";
    case TModalKind::mkSelectDirectory: return "select directory";
    case TModalKind::mkPrintDialog: return "print dialog";
    case TModalKind::mkPopupMenu: return "popup menu";
    case TModalKind::mkSystemDialog: return "system dialog";
  }
  return "modal";
}

void SetModalResponder(TModalResponder R) { Responder() = std::move(R); }
const TModalResponder& ModalResponder() { return Responder(); }
bool HasModalResponder() { return static_cast<bool>(Responder()); }

int AskModalResponder(TModalRequest& Request) {
  if (Request.Identity.empty()) Request.Identity = ModalKindName(Request.Kind);
  // A copy: the responder may replace itself while it answers.
  TModalResponder r = Responder();
  return r ? r(Request) : 0;
}

TModalResponderScope::TModalResponderScope(TModalResponder R) : previous_(Responder()) { Responder() = std::move(R); }
TModalResponderScope::~TModalResponderScope() { Responder() = std::move(previous_); }

void TScriptedResponder::Expect(TModalKind Kind, const std::string& TextContains, int Answer) {
  steps_.push_back(TStep{Kind, TextContains, [Answer](TModalRequest&) { return Answer; }});
}

void TScriptedResponder::Expect(TModalKind Kind, const std::string& TextContains,
                                std::function<int(TModalRequest&)> Answer) {
  steps_.push_back(TStep{Kind, TextContains, std::move(Answer)});
}

int TScriptedResponder::operator()(TModalRequest& r) {
  const std::string what = std::string(ModalKindName(r.Kind)) + " [" + r.Identity + "]: " + r.Caption + " | " + r.Text;
  Seen.push_back(what);
  if (next_ < steps_.size()) {
    TStep& s = steps_[next_];
    const std::string hay = r.Caption + "\n" + r.Text;
    if (s.Kind == r.Kind && (s.TextContains.empty() || hay.find(s.TextContains) != std::string::npos ||
                             r.Identity == s.TextContains)) {
      ++next_;
      return s.Answer(r);
    }
  }
  if (OnUnexpected) OnUnexpected("unexpected " + what);
  // The safe way out of anything: cancel (a form closes with mrCancel).
  return r.Kind == TModalKind::mkPopupMenu ? 0 : IDCANCEL;
}

// The watchdog --------------------------------------------------------------------

std::string DialogText(HWND Dialog) {
  char buf[1024] = {};
  GetWindowTextA(Dialog, buf, sizeof(buf));
  std::string s = buf;
  buf[0] = 0;
  if (GetDlgItemTextA(Dialog, 0xFFFF, buf, sizeof(buf)) > 0) s += " | " + std::string(buf);
  return s;
}

struct TModalWatchdog::Impl {
  std::function<void(const std::string&)> onStuck;
  int timeout;
  std::atomic<bool> stop{false};
  std::thread worker;
  std::map<HWND, std::chrono::steady_clock::time_point> seen;

  static BOOL CALLBACK Enum(HWND w, LPARAM p) {
    auto* self = reinterpret_cast<Impl*>(p);
    DWORD pid = 0;
    GetWindowThreadProcessId(w, &pid);
    if (pid != GetCurrentProcessId() || !IsWindowVisible(w)) return TRUE;
    char cls[16] = {};
    GetClassNameA(w, cls, sizeof(cls));
    const bool dialog = std::string(cls) == "#32770", menu = std::string(cls) == "#32768";
    if (!dialog && !menu) return TRUE;
    auto now = std::chrono::steady_clock::now();
    auto it = self->seen.find(w);
    if (it == self->seen.end()) {
      self->seen[w] = now;
    } else if (now - it->second > std::chrono::milliseconds(self->timeout)) {
      if (menu) {
        // A menu loop nobody ends: what EndMenu would do, from here.
        self->onStuck("menu left open");
        PostMessageA(w, WM_CANCELMODE, 0, 0);
        PostMessageA(w, WM_KEYDOWN, VK_ESCAPE, 0);
        PostMessageA(w, WM_KEYDOWN, VK_ESCAPE, 0);
      } else {
        self->onStuck("dialog left open: " + DialogText(w));
        // Cancel, or the negative answer when there is no cancel button.
        PostMessageA(w, WM_COMMAND, IDCANCEL, 0);
        PostMessageA(w, WM_COMMAND, IDNO, 0);
        PostMessageA(w, WM_COMMAND, IDOK, 0);
        PostMessageA(w, WM_CLOSE, 0, 0);
      }
      it->second = now + std::chrono::hours(1);
    }
    return TRUE;
  }

  void Run() {
    while (!stop) {
      EnumWindows(&Impl::Enum, reinterpret_cast<LPARAM>(this));
      for (auto it = seen.begin(); it != seen.end();) it = IsWindow(it->first) ? std::next(it) : seen.erase(it);
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
  }
};

TModalWatchdog::TModalWatchdog(std::function<void(const std::string&)> OnStuck, int TimeoutMs) : impl_(new Impl) {
  impl_->onStuck = std::move(OnStuck);
  impl_->timeout = TimeoutMs;
  impl_->worker = std::thread([this] { impl_->Run(); });
}

TModalWatchdog::~TModalWatchdog() {
  impl_->stop = true;
  impl_->worker.join();
  delete impl_;
}

// Message boxes -------------------------------------------------------------------

namespace {
HWND DefaultOwner() {
  if (Screen->ActiveForm() && Screen->ActiveForm()->HandleAllocated()) return Screen->ActiveForm()->Handle();
  if (Application->MainForm() && Application->MainForm()->HandleAllocated()) return Application->MainForm()->Handle();
  return nullptr;
}
}  // namespace

int MessageBox(HWND Owner, const std::string& Text, const std::string& Caption, UINT Flags) {
  if (HasModalResponder()) {
    TModalRequest r;
    r.Kind = TModalKind::mkMessageBox;
    r.Caption = Caption;
    r.Text = Text;
    r.Flags = Flags;
    int a = AskModalResponder(r);
    if (a != mrShowReal) return a;
  }
  return MessageBoxA(Owner, Text.c_str(), Caption.c_str(), Flags);
}

int MessageBox(const std::string& Text, const std::string& Caption, UINT Flags) {
  return MessageBox(DefaultOwner(), Text, Caption, Flags);
}

int MessageDlg(const std::string& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons, int) {
  static const char* const captions[] = {"Warning", "Error", "Information", "Confirm", ""};
  static const UINT icons[] = {MB_ICONWARNING, MB_ICONERROR, MB_ICONINFORMATION, MB_ICONQUESTION, 0};
  const int t = static_cast<int>(DlgType);
  UINT flags = icons[t];
  if ((Buttons & mbYesNoCancel) == mbYesNoCancel) flags |= MB_YESNOCANCEL;
  else if ((Buttons & mbYesNo) == mbYesNo) flags |= MB_YESNO;
  else if ((Buttons & mbAbortRetryIgnore) == mbAbortRetryIgnore) flags |= MB_ABORTRETRYIGNORE;
  else if ((Buttons & (mbRetry | mbCancel)) == (mbRetry | mbCancel)) flags |= MB_RETRYCANCEL;
  else if ((Buttons & mbOKCancel) == mbOKCancel) flags |= MB_OKCANCEL;
  else flags |= MB_OK;
  std::string caption = captions[t];
  if (caption.empty()) caption = Application->Title();
  return MessageBox(Msg, caption, flags);
}

void ShowMessage(const std::string& Msg) {
  std::string caption = Application->Title();
  if (caption.empty()) {
    caption = Application->ExeName();
    size_t p = caption.find_last_of("\\/:");
    if (p != std::string::npos) caption = caption.substr(p + 1);
    p = caption.rfind('.');
    if (p != std::string::npos) caption.resize(p);
  }
  MessageBox(Msg, caption, MB_OK);
}

}  // namespace morvane
