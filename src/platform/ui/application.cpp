#include "platform/ui/application.h"

#include <algorithm>
#include <cstdlib>

#include "platform/ui/forms.h"
#include "platform/ui/menus.h"
#include "platform/ui/modal.h"

#include "platform/core/threads.h"

namespace morvane {

TApplication* Application = new TApplication(nullptr);
TScreen* Screen = new TScreen(nullptr);

namespace {
constexpr UINT_PTR kHintTimer = 1;
}

// THintWindow ----------------------------------------------------------------------

THintWindow::THintWindow(TComponent* AOwner) : TCustomControl(AOwner) {
  SetVisibleFlag(false);
  SetColor(clInfoBk);
  Font()->SetColor(clInfoText);
}

void THintWindow::CreateParams(TCreateParams& p) {
  TCustomControl::CreateParams(p);
  p.Style = WS_POPUP | WS_BORDER;
  p.ExStyle = WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_NOACTIVATE;
  p.WindowClass.style |= CS_SAVEBITS;
  p.WndParent = nullptr;
}

void THintWindow::Dispatch(TMessage& m) {
  if (m.Msg == WM_NCHITTEST) {
    m.Result = HTTRANSPARENT;
    return;
  }
  if (m.Msg == WM_MOUSEACTIVATE) {
    m.Result = MA_NOACTIVATE;
    return;
  }
  TCustomControl::Dispatch(m);
}

RECT THintWindow::CalcHintRect(int MaxWidth, const std::string& AHint, void*) {
  RECT r{0, 0, MaxWidth, 0};
  Canvas()->Font()->Assign(Font());
  DrawTextA(Canvas()->Handle(), AHint.c_str(), static_cast<int>(AHint.size()), &r,
            DT_CALCRECT | DT_LEFT | DT_WORDBREAK | DT_NOPREFIX);
  r.right += 6;
  r.bottom += 2;
  return r;
}

void THintWindow::ActivateHint(RECT Rect, const std::string& AHint) {
  SetCaption(AHint);
  const int w = Rect.right - Rect.left, h = Rect.bottom - Rect.top;
  RECT scr{GetSystemMetrics(SM_XVIRTUALSCREEN), GetSystemMetrics(SM_YVIRTUALSCREEN), 0, 0};
  scr.right = scr.left + GetSystemMetrics(SM_CXVIRTUALSCREEN);
  scr.bottom = scr.top + GetSystemMetrics(SM_CYVIRTUALSCREEN);
  if (Rect.left + w > scr.right) Rect.left = scr.right - w;
  if (Rect.left < scr.left) Rect.left = scr.left;
  if (Rect.top + h > scr.bottom) Rect.top = scr.bottom - h;
  if (Rect.top < scr.top) Rect.top = scr.top;
  SetBounds(Rect.left, Rect.top, w, h);
  HWND hw = Handle();
  SetWindowPos(hw, HWND_TOPMOST, Rect.left, Rect.top, w, h, SWP_SHOWWINDOW | SWP_NOACTIVATE);
  SetVisibleFlag(true);
  Invalidate();
}

void THintWindow::ReleaseHandle() {
  SetVisibleFlag(false);
  DestroyHandle();
}

bool THintWindow::IsShowing() { return HandleAllocated() && IsWindowVisible(Handle()); }

void THintWindow::Paint() {
  RECT r = ClientRect();
  Canvas()->Brush()->SetColor(Color());
  Canvas()->FillRect(r);
  r.left += 2;
  r.top += 1;
  Canvas()->Font()->Assign(Font());
  Canvas()->Brush()->SetStyle(TBrushStyle::bsClear);
  std::string t = Caption();
  HDC dc = Canvas()->Handle();
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, ColorToRGB(Font()->Color()));
  DrawTextA(dc, t.c_str(), static_cast<int>(t.size()), &r, DT_LEFT | DT_NOPREFIX | DT_WORDBREAK);
}

// TScreen --------------------------------------------------------------------------

TScreen::TScreen(TComponent* AOwner) : TComponent(AOwner) {}

int TScreen::Width() const { return GetSystemMetrics(SM_CXSCREEN); }
int TScreen::Height() const { return GetSystemMetrics(SM_CYSCREEN); }

RECT TScreen::DesktopRect() const {
  RECT r{GetSystemMetrics(SM_XVIRTUALSCREEN), GetSystemMetrics(SM_YVIRTUALSCREEN), 0, 0};
  r.right = r.left + GetSystemMetrics(SM_CXVIRTUALSCREEN);
  r.bottom = r.top + GetSystemMetrics(SM_CYVIRTUALSCREEN);
  return r;
}

RECT TScreen::WorkAreaRect() const {
  RECT r{};
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &r, 0);
  return r;
}

int TScreen::PixelsPerInch() const {
  TWindowDC dc(nullptr);
  return GetDeviceCaps(dc.Get(), LOGPIXELSY);
}

HCURSOR TScreen::Cursors(int Index) {
  auto it = cursors_.find(Index);
  if (it != cursors_.end()) return it->second;
  LPCSTR id = nullptr;
  switch (Index) {
    case crNone: return nullptr;
    case crCross: id = reinterpret_cast<LPCSTR>(IDC_CROSS); break;
    case crIBeam: id = reinterpret_cast<LPCSTR>(IDC_IBEAM); break;
    case crSizeNESW: id = reinterpret_cast<LPCSTR>(IDC_SIZENESW); break;
    case crSizeNS: case crVSplit: id = reinterpret_cast<LPCSTR>(IDC_SIZENS); break;
    case crSizeNWSE: id = reinterpret_cast<LPCSTR>(IDC_SIZENWSE); break;
    case crSizeWE: case crHSplit: id = reinterpret_cast<LPCSTR>(IDC_SIZEWE); break;
    case crUpArrow: id = reinterpret_cast<LPCSTR>(IDC_UPARROW); break;
    case crHourGlass: case crSQLWait: id = reinterpret_cast<LPCSTR>(IDC_WAIT); break;
    case crNoDrop: case crNo: id = reinterpret_cast<LPCSTR>(IDC_NO); break;
    case crAppStart: id = reinterpret_cast<LPCSTR>(IDC_APPSTARTING); break;
    case crHelp: id = reinterpret_cast<LPCSTR>(IDC_HELP); break;
    case crHandPoint: id = reinterpret_cast<LPCSTR>(IDC_HAND); break;
    case crSizeAll: id = reinterpret_cast<LPCSTR>(IDC_SIZEALL); break;
    default: id = reinterpret_cast<LPCSTR>(IDC_ARROW); break;
  }
  HCURSOR h = LoadCursorA(nullptr, id);
  cursors_[Index] = h;
  return h;
}

void TScreen::SetCursors(int Index, HCURSOR Handle) {
  if (Handle) cursors_[Index] = Handle;
  else cursors_.erase(Index);
}

void TScreen::SetCursor(TCursor v) {
  if (v == cursor_) return;
  cursor_ = v;
  POINT p{};
  GetCursorPos(&p);
  if (v != crDefault) {
    ::SetCursor(Cursors(v));
  } else if (HWND w = WindowFromPoint(p); w && TWinControl::FromHandle(w)) {
    SendMessageA(w, WM_SETCURSOR, reinterpret_cast<WPARAM>(w), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
  }
}

TWinControl* TScreen::ActiveControl() const { return activeForm_ ? activeForm_->ActiveControl() : nullptr; }

// TApplication ---------------------------------------------------------------------

TApplication::TApplication(TComponent* AOwner) : TComponent(AOwner) {}

TApplication::~TApplication() {
  Destroying();
  if (handle_) DeallocateHWnd(handle_);
}

void TApplication::Initialize() {
  INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_WIN95_CLASSES | ICC_DATE_CLASSES | ICC_BAR_CLASSES | ICC_TAB_CLASSES |
                                            ICC_LISTVIEW_CLASSES | ICC_USEREX_CLASSES | ICC_STANDARD_CLASSES |
                                            ICC_UPDOWN_CLASS | ICC_PROGRESS_CLASS};
  InitCommonControlsEx(&icc);
  HWND h = Handle();
  // A Synchronize call from another thread wakes the loop that waits for input.
  SetWakeMainThread([h] { PostMessageA(h, CM_INVOKE, 0, 0); });
}

HWND TApplication::Handle() {
  if (!handle_) handle_ = AllocateHWnd(TWndMethod(this, &TApplication::WndProc));
  return handle_;
}

std::string TApplication::ExeName() const {
  char buf[MAX_PATH * 2] = {};
  DWORD n = GetModuleFileNameA(nullptr, buf, sizeof(buf));
  return std::string(buf, n);
}

int TApplication::ParamCount() const { return __argc > 0 ? __argc - 1 : 0; }

std::string TApplication::ParamStr(int Index) const {
  if (Index == 0) return ExeName();
  if (Index < 0 || Index >= __argc || !__argv) return std::string();
  return __argv[Index];
}

void TApplication::FormCreated(TCustomForm* f) { f->AfterConstruction(); }

void TApplication::Run() {
  Handle();
  if (mainForm_) mainForm_->Show();
  while (!terminated_) HandleMessage();
}

void TApplication::ProcessMessages() {
  MSG msg;
  while (ProcessMessage(msg)) {
  }
  ServeSynchronize();
}

bool TApplication::HandleMessage() {
  MSG msg;
  if (!ProcessMessage(msg)) Idle();
  return !terminated_;
}

void TApplication::Idle() {
  bool done = true;
  if (OnIdle) {
    try {
      OnIdle(this, done);
    } catch (...) {
      HandleException(this);
    }
  }
  ServeSynchronize();
  // Queued Synchronize calls wake the loop through the utility window; the
  // short time-out only bounds how late a missed wake-up is noticed.
  if (done) MsgWaitForMultipleObjectsEx(0, nullptr, 50, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
}

void TApplication::ServeSynchronize() {
  if (IsMainThread()) CheckSynchronize(0);
}

bool TApplication::ProcessMessage(MSG& msg) {
  if (!PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) return false;
  if (msg.message == WM_QUIT) {
    terminated_ = true;
    return true;
  }
  switch (msg.message) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_NCLBUTTONDOWN:
      CancelHint();
      break;
    default:
      break;
  }
  if (!IsDialogKeyMsg(msg)) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  ServeSynchronize();
  return true;
}

bool TApplication::IsDialogKeyMsg(MSG& msg) {
  if (msg.message != WM_KEYDOWN && msg.message != WM_SYSKEYDOWN) return false;
  TWinControl* c = nullptr;
  for (HWND w = msg.hwnd; w && !c; w = GetParent(w)) c = TWinControl::FromHandle(w);
  if (!c) return false;
  c->Perform(CM_APPKEYDOWN, msg.wParam, msg.lParam);
  const WPARAM key = msg.wParam;
  if (msg.message != WM_KEYDOWN || (key != VK_TAB && key != VK_RETURN && key != VK_ESCAPE)) return false;
  const LRESULT code = SendMessageA(msg.hwnd, WM_GETDLGCODE, key, reinterpret_cast<LPARAM>(&msg));
  if (code & (DLGC_WANTALLKEYS | DLGC_WANTMESSAGE)) return false;
  if (key == VK_TAB && (code & DLGC_WANTTAB)) return false;
  TCustomForm* f = GetParentForm(c);
  if (!f) return false;
  // The control's own key events (and the form's preview) come first.
  TMessage m{WM_KEYDOWN, key, msg.lParam, 0};
  if (TWinControl* own = TWinControl::FromHandle(msg.hwnd); own && own->DoKeyDown(m)) return true;
  if (f->Perform(CM_DIALOGKEY, m.WParam, msg.lParam)) return true;
  return false;
}

void TApplication::Terminate() {
  terminated_ = true;
  PostQuitMessage(0);
}

void TApplication::HandleException(TObject* Sender) {
  std::exception_ptr p = std::current_exception();
  if (!p) return;
  try {
    std::rethrow_exception(p);
  } catch (const EAbort&) {
  } catch (const Exception& e) {
    if (OnException) OnException(Sender, e);
    else ShowException(e);
  } catch (const std::exception& e) {
    Exception ex(e.what());
    if (OnException) OnException(Sender, ex);
    else ShowException(ex);
  } catch (...) {
    Exception ex("Unknown exception");
    if (OnException) OnException(Sender, ex);
    else ShowException(ex);
  }
}

void TApplication::ShowException(const std::exception& E) {
  std::string msg = E.what();
  if (!msg.empty() && static_cast<unsigned char>(msg.back()) > '.') msg += '.';
  std::string caption = title_.empty() ? "Error" : title_;
  morvane::MessageBox(msg, caption, MB_OK | MB_ICONSTOP);
}

int TApplication::MessageBox(const std::string& Text, const std::string& Caption, UINT Flags) {
  return morvane::MessageBox(Text, Caption, Flags);
}

void TApplication::WndProc(TMessage& m) {
  switch (m.Msg) {
    case WM_TIMER:
      if (m.WParam == kHintTimer) {
        const bool hide = hintTimerIsHide_;
        StopHintTimer();
        if (hide) {
          HideHint();
        } else {
          POINT p{};
          GetCursorPos(&p);
          ActivateHint(p);
        }
      }
      return;
    case CM_INVOKE:
      ServeSynchronize();
      return;
    case CM_RELEASE: {
      auto* f = reinterpret_cast<TCustomForm*>(m.LParam);
      for (int i = 0; i < Screen->FormCount(); ++i) {
        if (Screen->Forms(i) == f) {
          f->BeforeDestruction();
          delete f;
          break;
        }
      }
      return;
    }
    case WM_INITMENUPOPUP:
      TMenuItem::DispatchPopup(reinterpret_cast<HMENU>(m.WParam));
      return;
    case WM_COMMAND:
      if (!m.LParam && TMenuItem::DispatchCommand(LOWORD(m.WParam))) return;
      break;
    case WM_QUERYENDSESSION:
      m.Result = 1;
      return;
    default:
      break;
  }
  m.Result = DefWindowProcA(handle_, m.Msg, m.WParam, m.LParam);
}

void TApplication::SetShowHint(bool v) {
  if (v == showHint_) return;
  showHint_ = v;
  if (!v) CancelHint();
}

void TApplication::SetHint(const std::string& v) {
  if (v == hint_) return;
  hint_ = v;
  if (OnHint) OnHint(this);
}

void TApplication::SetHintWindowClass(std::function<THintWindow*(TComponent*)> f) {
  CancelHint();
  delete std::exchange(hintWindow_, nullptr);
  HintWindowClass = std::move(f);
}

void TApplication::StartHintTimer(int ms) {
  SetTimer(Handle(), kHintTimer, static_cast<UINT>(std::max(ms, 1)), nullptr);
  hintTimerRunning_ = true;
  hintTimerIsHide_ = false;
}

void TApplication::StopHintTimer() {
  if (hintTimerRunning_ && handle_) KillTimer(handle_, kHintTimer);
  hintTimerRunning_ = false;
  hintTimerIsHide_ = false;
}

void TApplication::HintMouseMessage(TControl* Control, TMessage& m) {
  if (!showHint_ || !Control) return;
  POINT cp{static_cast<short>(LOWORD(m.LParam)), static_cast<short>(HIWORD(m.LParam))};
  POINT sp = Control->ClientToScreen(cp);
  if (Control != hintControl_) {
    const bool wasActive = hintActive_;
    HideHint();
    hintControl_ = Control->ShowHint() ? Control : nullptr;
    SetHint(GetLongHint(Control->Hint()));
    if (hintControl_) StartHintTimer(wasActive ? HintShortPause : HintPause);
  } else if (hintActive_ && !PtInRect(&hintCursorRect_, sp)) {
    HideHint();
    StartHintTimer(HintShortPause);
  }
}

void TApplication::ActivateHint(POINT CursorPos) {
  StopHintTimer();
  TControl* c = hintControl_;
  if (!c || !showHint_) return;
  THintInfo info;
  info.HintControl = c;
  info.CursorPos = c->ScreenToClient(CursorPos);
  info.CursorRect = c->ClientRect();
  info.HintPos = POINT{CursorPos.x, CursorPos.y + GetSystemMetrics(SM_CYCURSOR) * 2 / 3};
  info.HintMaxWidth = Screen->Width();
  info.HintStr = GetShortHint(c->Hint());
  info.HideTimeout = HintHidePause;
  if (c->Perform(CM_HINTSHOW, 0, reinterpret_cast<LPARAM>(&info)) != 0 || info.HintStr.empty() ||
      hintControl_ != c) {
    hintActive_ = false;
    return;
  }
  if (!hintWindow_) hintWindow_ = HintWindowClass ? HintWindowClass(this) : new THintWindow(this);
  hintWindow_->SetColor(HintColor);
  RECT r = hintWindow_->CalcHintRect(info.HintMaxWidth, info.HintStr, nullptr);
  OffsetRect(&r, info.HintPos.x, info.HintPos.y);
  hintWindow_->ActivateHint(r, info.HintStr);
  POINT tl = c->ClientToScreen(POINT{info.CursorRect.left, info.CursorRect.top});
  POINT br = c->ClientToScreen(POINT{info.CursorRect.right, info.CursorRect.bottom});
  hintCursorRect_ = RECT{tl.x, tl.y, br.x, br.y};
  hintActive_ = true;
  if (info.HideTimeout > 0) {
    StartHintTimer(info.HideTimeout);
    hintTimerIsHide_ = true;
  }
}

void TApplication::HideHint() {
  hintActive_ = false;
  if (hintWindow_ && hintWindow_->IsShowing()) hintWindow_->ReleaseHandle();
}

void TApplication::CancelHint() {
  StopHintTimer();
  HideHint();
  hintControl_ = nullptr;
}

void TApplication::ControlDestroyed(TControl* Control) {
  if (Control == hintControl_) {
    StopHintTimer();
    hintControl_ = nullptr;
  }
  if (Control == hintWindow_) {
    hintWindow_ = nullptr;
    hintActive_ = false;
  }
  if (Control == mainForm_) mainForm_ = nullptr;
}

}  // namespace morvane
