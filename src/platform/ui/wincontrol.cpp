#include "platform/ui/controls.h"

#include <algorithm>
#include <cstring>
#include <functional>
#include <vector>

#include "platform/core/exceptions.h"
#include "platform/ui/application.h"
#include "platform/ui/dragdrop.h"
#include "platform/ui/forms.h"
#include "platform/ui/menus.h"

namespace morvane {

extern TControl* gCaptureControl;

// Window procedure ---------------------------------------------------------------

namespace {
thread_local TWinControl* gCreating = nullptr;
const char* const kNameProp = "Name";

// Under Wine LoadCursor, AdjustWindowRectEx and GetSystemMetrics(SM_CYMENU)
// cost tens of microseconds each, and a window-less control asks for them
// every time its client rectangle is wanted, which aligning a form does a
// thousand times and more before its first window exists. The arrow is a
// shared system cursor, never freed; the frames depend only on the styles.
HCURSOR ArrowCursor() {
  static const HCURSOR arrow = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
  return arrow;
}

struct TFrameSize {
  DWORD Style, ExStyle;
  RECT Frame;
};

RECT FrameOf(DWORD Style, DWORD ExStyle) {
  thread_local std::vector<TFrameSize> known;
  for (const TFrameSize& f : known)
    if (f.Style == Style && f.ExStyle == ExStyle) return f.Frame;
  RECT frame{0, 0, 0, 0};
  AdjustWindowRectEx(&frame, Style, FALSE, ExStyle);
  // A handful of style pairs in practice; the bound only keeps an unusual
  // program from growing the list without end.
  if (known.size() < 64) known.push_back({Style, ExStyle, frame});
  return frame;
}

int MenuBarHeight() {
  thread_local const int height = GetSystemMetrics(SM_CYMENU);
  return height;
}
}  // namespace

LRESULT CALLBACK ControlWindowProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto* c = reinterpret_cast<TWinControl*>(GetWindowLongPtrA(wnd, GWLP_USERDATA));
  if (!c && gCreating) {
    c = std::exchange(gCreating, nullptr);
    c->AttachHandle(wnd);
  }
  if (!c) return DefWindowProcA(wnd, msg, wParam, lParam);
  TMessage m{msg, wParam, lParam, 0};
  try {
    if (c->HasState(csDestroying)) {
      // Going away: no more events, only the class's own handling.
      c->DefaultHandler(m);
    } else {
      c->windowProc_(m);
    }
  } catch (...) {
    Application->HandleException(c);
  }
  if (msg == WM_NCDESTROY) c->DetachHandle();
  return m.Result;
}

// TWinControl --------------------------------------------------------------------

TWinControl::TWinControl(TComponent* AOwner) : TControl(AOwner) {
  brush_.SetColor(Color());
}

TWinControl::~TWinControl() {
  Destroying();
  // Children first: each takes its own window down with userdata cleared.
  while (!controls_.empty()) {
    TControl* c = controls_.back();
    delete c;
    if (!controls_.empty() && controls_.back() == c) controls_.pop_back();
  }
  if (handle_) {
    HWND h = handle_;
    SetWindowLongPtrA(h, GWLP_USERDATA, 0);
    if (subclassed_) SetWindowLongPtrA(h, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(defWndProc_));
    if (ATOM a = static_cast<ATOM>(reinterpret_cast<uintptr_t>(RemovePropA(h, kNameProp)))) GlobalDeleteAtom(a);
    handle_ = nullptr;
    DestroyWindow(h);
  }
}

TWinControl* TWinControl::FromHandle(HWND wnd) {
  if (!wnd || !GetPropA(wnd, "MorvaneCtl")) return nullptr;
  DWORD pid = 0;
  GetWindowThreadProcessId(wnd, &pid);
  if (pid != GetCurrentProcessId()) return nullptr;
  return reinterpret_cast<TWinControl*>(GetWindowLongPtrA(wnd, GWLP_USERDATA));
}

void TWinControl::AttachHandle(HWND wnd) {
  handle_ = wnd;
  SetWindowLongPtrA(wnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  SetPropA(wnd, "MorvaneCtl", reinterpret_cast<HANDLE>(1));
}

void TWinControl::DetachHandle() {
  HWND h = handle_;
  if (!h) return;
  SetWindowLongPtrA(h, GWLP_USERDATA, 0);
  RemovePropA(h, "MorvaneCtl");
  if (ATOM a = static_cast<ATOM>(reinterpret_cast<uintptr_t>(RemovePropA(h, kNameProp)))) GlobalDeleteAtom(a);
  if (subclassed_) {
    SetWindowLongPtrA(h, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(defWndProc_));
    subclassed_ = false;
  }
  handle_ = nullptr;
  mouseInside_ = false;
  mouseControl_ = nullptr;
}

HWND TWinControl::Handle() {
  HandleNeeded();
  return handle_;
}

void TWinControl::HandleNeeded() {
  if (handle_) return;
  if (parent_) parent_->HandleNeeded();
  if (!handle_) CreateHandle();
}

void TWinControl::CreateSubClass(TCreateParams& Params, const char* ClassName) {
  Params.SubClassOf = ClassName;
  Params.WinClassName = ClassName;
}

void TWinControl::CreateParams(TCreateParams& p) {
  p = TCreateParams{};
  p.Caption = text_;
  p.Style = WS_CHILD | WS_CLIPSIBLINGS;
  if (ControlStyle() & csAcceptsControls) p.Style |= WS_CLIPCHILDREN;
  if (!Enabled()) p.Style |= WS_DISABLED;
  if (tabStop_) p.Style |= WS_TABSTOP;
  if (Visible()) p.Style |= WS_VISIBLE;
  p.X = Left();
  p.Y = Top();
  p.Width = Width();
  p.Height = Height();
  p.WindowClass.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
  p.WindowClass.hCursor = ArrowCursor();
  p.WinClassName = "Morvane" + ClassName();
}

void TWinControl::CreateWnd() {
  TCreateParams p;
  CreateParams(p);
  if (p.Style & WS_CHILD) {
    if (!p.WndParent) {
      if (!parent_) throw EInvalidOperation("Control '" + Name() + "' has no parent window");
      p.WndParent = parent_->Handle();
    }
  }
  HINSTANCE inst = GetModuleHandleA(nullptr);
  if (p.SubClassOf.empty()) {
    WNDCLASSA existing{};
    if (!GetClassInfoA(inst, p.WinClassName.c_str(), &existing)) {
      WNDCLASSA wc = p.WindowClass;
      wc.lpfnWndProc = &ControlWindowProc;
      wc.hInstance = inst;
      wc.lpszClassName = p.WinClassName.c_str();
      if (!RegisterClassA(&wc)) throw EOSError("Could not register window class " + p.WinClassName);
    }
    defWndProc_ = &DefWindowProcA;
  }
  CreateWindowHandle(p);
  if (!handle_) throw EOSError("Error creating window for " + ClassName() + " '" + Name() + "'");
}

void TWinControl::CreateWindowHandle(const TCreateParams& p) {
  HINSTANCE inst = GetModuleHandleA(nullptr);
  HMENU id = (p.Style & WS_CHILD) ? reinterpret_cast<HMENU>(static_cast<INT_PTR>(controlId_)) : nullptr;
  if (p.SubClassOf.empty()) {
    gCreating = this;
    HWND h = CreateWindowExA(p.ExStyle, p.WinClassName.c_str(), p.Caption.c_str(), p.Style, p.X, p.Y, p.Width,
                             p.Height, p.WndParent, id, inst, p.Param);
    gCreating = nullptr;
    if (!h) handle_ = nullptr;
    return;
  }
  HWND h = CreateWindowExA(p.ExStyle, p.SubClassOf.c_str(), p.Caption.c_str(), p.Style, p.X, p.Y, p.Width, p.Height,
                           p.WndParent, id, inst, p.Param);
  if (!h) return;
  AttachHandle(h);
  defWndProc_ = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrA(h, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ControlWindowProc)));
  subclassed_ = true;
}

void TWinControl::CreateHandle() {
  if (handle_) return;
  controlState_ |= csCreating;
  try {
    CreateWnd();
  } catch (...) {
    controlState_ &= ~csCreating;
    throw;
  }
  controlState_ &= ~csCreating;
  if (!Name().empty()) {
    SetPropA(handle_, kNameProp, reinterpret_cast<HANDLE>(static_cast<uintptr_t>(GlobalAddAtomA(Name().c_str()))));
  }
  SendMessageA(handle_, WM_SETFONT, reinterpret_cast<WPARAM>(font_.Handle()), 0);
  // What the actual window got (a top-level frame may have been adjusted).
  RECT r{};
  GetWindowRect(handle_, &r);
  if (HWND p = GetParent(handle_); p && (GetWindowLongA(handle_, GWL_STYLE) & WS_CHILD)) MapWindowPoints(nullptr, p, reinterpret_cast<POINT*>(&r), 2);
  if (GetWindowLongA(handle_, GWL_STYLE) & WS_CHILD) UpdateBoundsFields(r.left, r.top, r.right - r.left, r.bottom - r.top);
  InitializeWindow();
  for (TControl* c : controls_) {
    if (auto* w = dynamic_cast<TWinControl*>(c); w && w->Visible()) w->CreateHandle();
  }
  AlignChildren();
}

void TWinControl::SetName(const std::string& NewName) {
  TControl::SetName(NewName);
  if (!handle_) return;
  if (ATOM a = static_cast<ATOM>(reinterpret_cast<uintptr_t>(RemovePropA(handle_, kNameProp)))) GlobalDeleteAtom(a);
  if (!NewName.empty())
    SetPropA(handle_, kNameProp, reinterpret_cast<HANDLE>(static_cast<uintptr_t>(GlobalAddAtomA(NewName.c_str()))));
}

void TWinControl::SetControlId(int v) {
  controlId_ = v;
  if (handle_ && (GetWindowLongA(handle_, GWL_STYLE) & WS_CHILD)) SetWindowLongPtrA(handle_, GWLP_ID, v);
}

void TWinControl::DestroyWnd() {
  SaveWindowState();
  text_ = GetText();
  DestroyWindowHandle();
}

void TWinControl::DestroyWindowHandle() {
  if (!handle_) return;
  controlState_ |= csDestroyingHandle;
  HWND h = handle_;
  DestroyWindow(h);
  controlState_ &= ~csDestroyingHandle;
  if (handle_ == h) DetachHandle();  // WM_NCDESTROY did not come through us
}

void TWinControl::DestroyHandle() {
  if (!handle_) return;
  for (TControl* c : controls_)
    if (auto* w = dynamic_cast<TWinControl*>(c)) w->DestroyHandle();
  DestroyWnd();
}

void TWinControl::RecreateWnd() {
  if (!handle_) return;
  controlState_ |= csRecreating;
  const bool hadFocus = Focused();
  DestroyHandle();
  try {
    HandleNeeded();
  } catch (...) {
    controlState_ &= ~csRecreating;
    throw;
  }
  controlState_ &= ~csRecreating;
  if (hadFocus && CanFocus()) ::SetFocus(handle_);
}

void TWinControl::InsertControl(TControl* AControl) {
  if (!AControl || AControl->parent_ == this) return;
  controls_.push_back(AControl);
  AControl->parent_ = this;
  if (AControl->parentFont_) AControl->ParentFontChanged();
  if (AControl->parentColor_) AControl->ParentColorChanged();
  if (AControl->parentShowHint_) AControl->showHint_ = ShowHint();
  if (auto* w = dynamic_cast<TWinControl*>(AControl)) {
    if (handle_ && w->Visible()) w->CreateHandle();
  } else {
    AControl->Invalidate();
  }
  Realign();
}

void TWinControl::RemoveControl(TControl* AControl) {
  if (!AControl || AControl->parent_ != this) return;
  if (mouseControl_ == AControl) mouseControl_ = nullptr;
  if (auto* w = dynamic_cast<TWinControl*>(AControl)) {
    if (!HasState(csDestroying)) w->DestroyHandle();
  } else {
    AControl->Invalidate();
  }
  controls_.erase(std::remove(controls_.begin(), controls_.end(), AControl), controls_.end());
  AControl->parent_ = nullptr;
  if (!HasState(csDestroying)) Realign();
}

void TWinControl::SetParent(TWinControl* AParent) {
  if (AParent == Parent()) return;
  TControl::SetParent(AParent);
}

bool TWinControl::ContainsControl(TControl* Control) {
  while (Control && Control != this) Control = Control->Parent();
  return Control == this;
}

TControl* TWinControl::ControlAtPos(POINT Pos, bool AllowDisabled, bool AllowWinControls) {
  for (auto it = controls_.rbegin(); it != controls_.rend(); ++it) {
    TControl* c = *it;
    if (!AllowWinControls && dynamic_cast<TWinControl*>(c)) continue;
    if (!c->Visible() || (!AllowDisabled && !c->Enabled())) continue;
    RECT r = c->BoundsRect();
    if (PtInRect(&r, Pos)) return c;
  }
  return nullptr;
}

void TWinControl::EnableAlign() {
  if (alignLevel_ > 0 && --alignLevel_ == 0) Realign();
}

void TWinControl::Realign() { AlignChildren(); }

void TWinControl::AlignChildren() {
  if (alignLevel_ > 0 || (controlState_ & csAlignmentNeeded)) return;
  controlState_ |= csAlignmentNeeded;  // guards against re-entry from the children's SetBounds
  RECT r = ClientRect();
  AdjustClientRect(r);
  try {
    AlignControls(nullptr, r);
  } catch (...) {
    controlState_ &= ~csAlignmentNeeded;
    throw;
  }
  controlState_ &= ~csAlignmentNeeded;
}

void TWinControl::AlignControls(TControl* AControl, RECT& Rect) {
  auto place = [&](TAlign a) {
    std::vector<TControl*> list;
    for (TControl* c : controls_)
      if (c->Visible() && c->Align() == a) list.push_back(c);
    std::stable_sort(list.begin(), list.end(), [a](TControl* x, TControl* y) {
      switch (a) {
        case TAlign::alTop: return x->Top() < y->Top();
        case TAlign::alBottom: return x->Top() + x->Height() > y->Top() + y->Height();
        case TAlign::alLeft: return x->Left() < y->Left();
        case TAlign::alRight: return x->Left() + x->Width() > y->Left() + y->Width();
        default: return false;
      }
    });
    for (TControl* c : list) {
      int w = Rect.right - Rect.left, h = Rect.bottom - Rect.top;
      switch (a) {
        case TAlign::alTop:
          c->SetBounds(Rect.left, Rect.top, w, c->Height());
          Rect.top += c->Height();
          break;
        case TAlign::alBottom:
          c->SetBounds(Rect.left, Rect.bottom - c->Height(), w, c->Height());
          Rect.bottom -= c->Height();
          break;
        case TAlign::alLeft:
          c->SetBounds(Rect.left, Rect.top, c->Width(), h);
          Rect.left += c->Width();
          break;
        case TAlign::alRight:
          c->SetBounds(Rect.right - c->Width(), Rect.top, c->Width(), h);
          Rect.right -= c->Width();
          break;
        case TAlign::alClient:
          c->SetBounds(Rect.left, Rect.top, std::max(0, w), std::max(0, h));
          break;
        default: break;
      }
    }
  };
  place(TAlign::alTop);
  place(TAlign::alBottom);
  place(TAlign::alLeft);
  place(TAlign::alRight);
  place(TAlign::alClient);
}

void TWinControl::UpdateBoundsFields(int ALeft, int ATop, int AWidth, int AHeight) {
  const bool sized = AWidth != Width() || AHeight != Height();
  TControl::UpdateBoundsFields(ALeft, ATop, AWidth, AHeight);
  if (sized) AlignChildren();
}

void TWinControl::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
  if (AWidth < 0) AWidth = 0;
  if (AHeight < 0) AHeight = 0;
  if (ALeft == Left() && ATop == Top() && AWidth == Width() && AHeight == Height()) return;
  if (handle_ && !IsIconic(handle_)) {
    SetWindowPos(handle_, nullptr, ALeft, ATop, AWidth, AHeight, SWP_NOZORDER | SWP_NOACTIVATE);
    // WM_WINDOWPOSCHANGED has brought the fields up to date; a window the
    // system refused to change keeps its own bounds.
  } else {
    UpdateBoundsFields(ALeft, ATop, AWidth, AHeight);
  }
  RequestAlign();
}

RECT TWinControl::ClientRect() {
  if (handle_) {
    RECT r{};
    GetClientRect(handle_, &r);
    return r;
  }
  TCreateParams p;
  CreateParams(p);
  // AdjustWindowRectEx counts WS_EX_CLIENTEDGE as well.
  const RECT frame = FrameOf(p.Style & ~WS_VISIBLE, p.ExStyle);
  RECT r{0, 0, Width() - (frame.right - frame.left), Height() - (frame.bottom - frame.top)};
  if (auto* f = dynamic_cast<TCustomForm*>(this); f && f->Menu()) r.bottom -= MenuBarHeight();
  if (r.right < 0) r.right = 0;
  if (r.bottom < 0) r.bottom = 0;
  return r;
}

POINT TWinControl::ClientOrigin() {
  if (handle_) {
    POINT p{0, 0};
    ::ClientToScreen(handle_, &p);
    return p;
  }
  return TControl::ClientOrigin();
}

void TWinControl::Invalidate() {
  if (handle_) ::InvalidateRect(handle_, nullptr, !(ControlStyle() & csOpaque));
}

void TWinControl::Update() {
  if (handle_) UpdateWindow(handle_);
}

void TWinControl::Repaint() {
  Invalidate();
  Update();
}

void TWinControl::SetVisible(bool v) {
  if (v == Visible()) return;
  TControl::SetVisible(v);
  UpdateShowing();
}

void TWinControl::UpdateShowing() {
  const bool child = !dynamic_cast<TCustomForm*>(this);
  if (!child) return;  // forms show through Show/ShowModal
  if (Visible()) {
    if (!handle_ && Parent() && Parent()->HandleAllocated()) CreateHandle();
    if (handle_) ShowWindow(handle_, SW_SHOWNA);
  } else if (handle_) {
    ShowWindow(handle_, SW_HIDE);
  }
}

void TWinControl::SetEnabled(bool v) {
  if (v == Enabled()) return;
  TControl::SetEnabled(v);
  if (handle_) EnableWindow(handle_, v);
}

void TWinControl::SetTabStop(bool v) {
  if (v == tabStop_) return;
  tabStop_ = v;
  if (handle_) {
    LONG s = GetWindowLongA(handle_, GWL_STYLE);
    SetWindowLongA(handle_, GWL_STYLE, v ? (s | WS_TABSTOP) : (s & ~WS_TABSTOP));
  }
}

TWinControl* TWinControl::FindNextControl(TWinControl* CurControl, bool GoForward, bool CheckTabStop) {
  std::vector<TWinControl*> list;
  std::function<void(TWinControl*)> walk = [&](TWinControl* p) {
    std::vector<TWinControl*> kids;
    for (TControl* c : p->controls_)
      if (auto* w = dynamic_cast<TWinControl*>(c)) kids.push_back(w);
    std::stable_sort(kids.begin(), kids.end(), [](TWinControl* a, TWinControl* b) {
      const int ta = a->TabOrder() < 0 ? 1 << 20 : a->TabOrder(), tb = b->TabOrder() < 0 ? 1 << 20 : b->TabOrder();
      return ta < tb;
    });
    for (TWinControl* w : kids) {
      if (!w->Visible() || !w->Enabled()) continue;
      if (!CheckTabStop || w->TabStop() || w == CurControl) list.push_back(w);
      walk(w);
    }
  };
  walk(this);
  if (list.empty()) return nullptr;
  const int n = static_cast<int>(list.size());
  int cur = -1;
  for (int i = 0; i < n; ++i)
    if (list[static_cast<size_t>(i)] == CurControl) cur = i;
  for (int step = 1; step <= n; ++step) {
    int i = cur < 0 ? (GoForward ? step - 1 : n - step) : ((cur + (GoForward ? step : -step)) % n + n) % n;
    TWinControl* w = list[static_cast<size_t>(i)];
    if (w != CurControl && (!CheckTabStop || w->TabStop())) return w;
  }
  return nullptr;
}

void TWinControl::SelectNext(TWinControl* CurControl, bool GoForward, bool CheckTabStop) {
  if (TWinControl* w = FindNextControl(CurControl, GoForward, CheckTabStop)) w->SetFocus();
}

bool TWinControl::CanFocus() {
  for (TControl* c = this; c; c = c->Parent())
    if (!c->Visible() || !c->Enabled()) return false;
  return true;
}

bool TWinControl::Focused() { return handle_ && GetFocus() == handle_; }

void TWinControl::SetFocus() {
  if (!CanFocus()) return;
  if (TCustomForm* f = GetParentForm(this)) f->SetFocusedControl(this);
  HWND h = Handle();
  if (h && GetFocus() != h) ::SetFocus(h);
}

void TWinControl::SetCtl3D(bool v) {
  if (v == ctl3D_) return;
  ctl3D_ = v;
  Perform(CM_CTL3DCHANGED);
  RecreateWnd();
}

void TWinControl::SetBorderWidth(int v) {
  if (v == borderWidth_) return;
  borderWidth_ = v;
  if (handle_) SetWindowPos(handle_, nullptr, 0, 0, 0, 0, SWP_FRAMECHANGED | SWP_NOZORDER | SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  Realign();
}
void TWinControl::SetBevelKind(TBevelKind v) {
  if (v == bevelKind_) return;
  bevelKind_ = v;
  RecreateWnd();
}
void TWinControl::SetBevelInner(TBevelCut v) {
  if (v == bevelInner_) return;
  bevelInner_ = v;
  RecreateWnd();
}
void TWinControl::SetBevelOuter(TBevelCut v) {
  if (v == bevelOuter_) return;
  bevelOuter_ = v;
  RecreateWnd();
}
void TWinControl::SetBevelWidth(int v) {
  if (v == bevelWidth_ || v < 1) return;
  bevelWidth_ = v;
  RecreateWnd();
}
void TWinControl::SetBevelEdges(TBevelEdges v) {
  if (v == bevelEdges_) return;
  bevelEdges_ = v;
  RecreateWnd();
}

std::string TWinControl::GetText() {
  if (!handle_) return text_;
  int n = GetWindowTextLengthA(handle_);
  std::string s(static_cast<size_t>(n) + 1, '\0');
  n = GetWindowTextA(handle_, s.data(), n + 1);
  s.resize(static_cast<size_t>(std::max(n, 0)));
  return s;
}

void TWinControl::SetTextBuf(const std::string& v) {
  text_ = v;
  if (handle_) SetWindowTextA(handle_, v.c_str());
}

}  // namespace morvane
