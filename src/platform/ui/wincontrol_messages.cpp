#include "platform/ui/controls.h"

#include <algorithm>
#include <cstring>

#include "platform/core/exceptions.h"
#include "platform/ui/application.h"
#include "platform/ui/dragdrop.h"
#include "platform/ui/forms.h"
#include "platform/ui/menus.h"

// Painting, input and the message handlers of window controls.
namespace morvane {

// The graphic control that holds the mouse (controls.cpp).
extern TControl* gCaptureControl;

void TWinControl::PaintTo(HDC DC, int X, int Y) {
  int saved = SaveDC(DC);
  SetViewportOrgEx(DC, X, Y, nullptr);
  IntersectClipRect(DC, 0, 0, Width(), Height());
  Perform(WM_ERASEBKGND, reinterpret_cast<WPARAM>(DC), reinterpret_cast<LPARAM>(DC));
  Perform(WM_PAINT, reinterpret_cast<WPARAM>(DC), 0);
  RestoreDC(DC, saved);
  for (TControl* c : controls_) {
    auto* w = dynamic_cast<TWinControl*>(c);
    if (w && w->Visible()) w->PaintTo(DC, X + w->Left(), Y + w->Top());
  }
}

void TWinControl::ShowControl(TControl*) {
  if (Parent()) Parent()->ShowControl(this);
}

void TWinControl::PaintWindow(HDC DC) {
  if (!subclassed_) return;  // a window of our own class draws nothing by itself
  TMessage m{WM_PAINT, reinterpret_cast<WPARAM>(DC), 0, 0};
  DefaultHandler(m);
}

void TWinControl::PaintControls(HDC DC, TControl* First) {
  bool started = First == nullptr;
  for (TControl* c : controls_) {
    if (!started) {
      started = c == First;
      continue;
    }
    if (dynamic_cast<TWinControl*>(c) || !c->Visible()) continue;
    RECT r = c->BoundsRect(), clip{}, dummy{};
    GetClipBox(DC, &clip);
    if (!IntersectRect(&dummy, &r, &clip)) continue;
    int saved = SaveDC(DC);
    POINT org{};
    GetViewportOrgEx(DC, &org);
    SetViewportOrgEx(DC, org.x + c->Left(), org.y + c->Top(), nullptr);
    IntersectClipRect(DC, 0, 0, c->Width(), c->Height());
    c->Perform(WM_PAINT, reinterpret_cast<WPARAM>(DC), 0);
    RestoreDC(DC, saved);
  }
}

void TWinControl::PaintHandler(TMessage& m) {
  HDC dc = reinterpret_cast<HDC>(m.WParam);
  bool hasGraphic = false;
  if (RoutesMouseToChildren())
    for (TControl* c : controls_)
      if (!dynamic_cast<TWinControl*>(c) && c->Visible()) hasGraphic = true;
  if (!dc && subclassed_ && !hasGraphic && !doubleBuffered_) {
    DefaultHandler(m);
    return;
  }
  PAINTSTRUCT ps{};
  if (!dc) {
    dc = BeginPaint(handle_, &ps);
    if (doubleBuffered_) {
      RECT cr{};
      GetClientRect(handle_, &cr);
      RECT box = ps.rcPaint;
      if (IsRectEmpty(&box)) box = cr;
      TMemoryDC mem(dc);
      TBitmapHandle bmp(CreateCompatibleBitmap(dc, std::max<LONG>(cr.right, 1), std::max<LONG>(cr.bottom, 1)));
      {
        TSelectObject sel(mem.Get(), bmp.Get());
        IntersectClipRect(mem.Get(), box.left, box.top, box.right, box.bottom);
        Perform(WM_ERASEBKGND, reinterpret_cast<WPARAM>(mem.Get()), reinterpret_cast<LPARAM>(mem.Get()));
        TMessage inner{WM_PAINT, reinterpret_cast<WPARAM>(mem.Get()), 0, 0};
        PaintHandler(inner);
        BitBlt(dc, box.left, box.top, box.right - box.left, box.bottom - box.top, mem.Get(), box.left, box.top, SRCCOPY);
      }
      EndPaint(handle_, &ps);
      return;
    }
    try {
      PaintWindow(dc);
      if (hasGraphic) PaintControls(dc, nullptr);
    } catch (...) {
      EndPaint(handle_, &ps);
      throw;
    }
    EndPaint(handle_, &ps);
    return;
  }
  PaintWindow(dc);
  if (hasGraphic) PaintControls(dc, nullptr);
}

int TWinControl::BevelSize() const {
  if (bevelKind_ == TBevelKind::bkNone) return 0;
  return (bevelInner_ != TBevelCut::bvNone ? bevelWidth_ : 0) + (bevelOuter_ != TBevelCut::bvNone ? bevelWidth_ : 0);
}

// The classic frame of a control with a bevel kind or a border width: the
// bevel edges around the border ring, the ring in the control's colour.
void TWinControl::PaintBevelFrame() {
  TWindowDC dc(handle_, true);
  RECT client{}, window{};
  GetClientRect(handle_, &client);
  GetWindowRect(handle_, &window);
  MapWindowPoints(nullptr, handle_, reinterpret_cast<POINT*>(&window), 2);
  OffsetRect(&client, -window.left, -window.top);
  ExcludeClipRect(dc.Get(), client.left, client.top, client.right, client.bottom);
  RECT r = client;
  const LONG style = GetWindowLongA(handle_, GWL_STYLE);
  if (style & WS_VSCROLL) r.right += GetSystemMetrics(SM_CXVSCROLL);
  if (style & WS_HSCROLL) r.bottom += GetSystemMetrics(SM_CYHSCROLL);
  InflateRect(&r, borderWidth_, borderWidth_);
  RECT ring = r;
  if (bevelKind_ != TBevelKind::bkNone) {
    const int e = BevelSize();
    if (bevelEdges_ & beLeft) r.left -= e;
    if (bevelEdges_ & beTop) r.top -= e;
    if (bevelEdges_ & beRight) r.right += e;
    if (bevelEdges_ & beBottom) r.bottom += e;
    static const UINT inner[] = {0, BDR_SUNKENINNER, BDR_RAISEDINNER, 0};
    static const UINT outer[] = {0, BDR_SUNKENOUTER, BDR_RAISEDOUTER, 0};
    static const UINT kind[] = {0, 0, BF_SOFT, BF_FLAT};
    UINT edge = inner[static_cast<int>(bevelInner_)] | outer[static_cast<int>(bevelOuter_)];
    UINT flags = bevelEdges_ | kind[static_cast<int>(bevelKind_)] | (Ctl3D() ? 0 : BF_MONO) | BF_ADJUST;
    RECT er = r;
    if (edge) DrawEdge(dc.Get(), &er, edge, flags);
  }
  if (borderWidth_ > 0) {
    // Only the ring between the client (and scroll bars) and the bevel.
    ExcludeClipRect(dc.Get(), ring.left + borderWidth_, ring.top + borderWidth_, ring.right - borderWidth_,
                    ring.bottom - borderWidth_);
    IntersectClipRect(dc.Get(), ring.left, ring.top, ring.right, ring.bottom);
    ::FillRect(dc.Get(), &ring, brush_.Handle());
  }
}

void TWinControl::KeyDown(WORD& Key, TShiftState Shift) {
  if (OnKeyDown) OnKeyDown(this, Key, Shift);
}
void TWinControl::KeyUp(WORD& Key, TShiftState Shift) {
  if (OnKeyUp) OnKeyUp(this, Key, Shift);
}
void TWinControl::KeyPress(char& Key) {
  if (OnKeyPress) OnKeyPress(this, Key);
}

bool TWinControl::DoKeyDown(TMessage& m) {
  TCustomForm* f = GetParentForm(this);
  if (f && f != this && f->KeyPreview() && f->DoKeyDown(m)) return true;
  WORD key = static_cast<WORD>(m.WParam);
  if (!(ControlStyle() & csNoStdEvents)) {
    KeyDown(key, KeyDataToShiftState(m.LParam));
    if (key == 0) return true;
  }
  m.WParam = key;
  return false;
}

bool TWinControl::DoKeyUp(TMessage& m) {
  TCustomForm* f = GetParentForm(this);
  if (f && f != this && f->KeyPreview() && f->DoKeyUp(m)) return true;
  WORD key = static_cast<WORD>(m.WParam);
  if (!(ControlStyle() & csNoStdEvents)) {
    KeyUp(key, KeyDataToShiftState(m.LParam));
    if (key == 0) return true;
  }
  m.WParam = key;
  return false;
}

bool TWinControl::DoKeyPress(TMessage& m) {
  TCustomForm* f = GetParentForm(this);
  if (f && f != this && f->KeyPreview() && f->DoKeyPress(m)) return true;
  char ch = static_cast<char>(m.WParam);
  if (!(ControlStyle() & csNoStdEvents)) {
    KeyPress(ch);
    if (ch == 0) return true;
  }
  m.WParam = static_cast<unsigned char>(ch);
  return false;
}

bool TWinControl::DoMouseWheel(TShiftState Shift, int WheelDelta, POINT MousePos) {
  bool handled = false;
  if (OnMouseWheel) OnMouseWheel(this, Shift, WheelDelta, MousePos, handled);
  if (!handled) {
    if (WheelDelta < 0 && OnMouseWheelDown) OnMouseWheelDown(this, Shift, MousePos, handled);
    else if (WheelDelta > 0 && OnMouseWheelUp) OnMouseWheelUp(this, Shift, MousePos, handled);
  }
  return handled;
}

void TWinControl::DoEnter() {
  if (OnEnter) OnEnter(this);
}
void TWinControl::DoExit() {
  if (OnExit) OnExit(this);
}

void TWinControl::HandleMouseTracking(TMessage& m) {
  if (m.Msg != WM_MOUSEMOVE) return;
  if (!mouseInside_) {
    mouseInside_ = true;
    TRACKMOUSEEVENT t{sizeof(t), TME_LEAVE, handle_, 0};
    TrackMouseEvent(&t);
    Perform(CM_MOUSEENTER);
  }
  POINT p{static_cast<short>(LOWORD(m.LParam)), static_cast<short>(HIWORD(m.LParam))};
  TControl* over = RoutesMouseToChildren() ? ControlAtPos(p, false) : nullptr;
  if (over != mouseControl_) {
    if (mouseControl_) mouseControl_->Perform(CM_MOUSELEAVE);
    mouseControl_ = over;
    if (over) over->Perform(CM_MOUSEENTER);
  }
}

void TWinControl::HandleMouseLeave() {
  if (mouseControl_) {
    TControl* c = std::exchange(mouseControl_, nullptr);
    c->Perform(CM_MOUSELEAVE);
  }
  if (mouseInside_) {
    mouseInside_ = false;
    Perform(CM_MOUSELEAVE);
  }
}

void TWinControl::WndProc(TMessage& m) {
  if (m.Msg >= WM_MOUSEFIRST && m.Msg <= WM_MOUSELAST && m.Msg != WM_MOUSEWHEEL && m.Msg != WM_MOUSEHWHEEL) {
    if (handle_) HandleMouseTracking(m);
  }
  if (m.Msg >= WM_MOUSEFIRST && m.Msg <= WM_MOUSELAST && m.Msg != WM_MOUSEWHEEL && m.Msg != WM_MOUSEHWHEEL &&
      RoutesMouseToChildren()) {
    // Mouse messages over (or captured by) a graphic child are that child's.
    TControl* target = gCaptureControl && gCaptureControl->Parent() == this ? gCaptureControl : nullptr;
    if (!target) {
      POINT p{static_cast<short>(LOWORD(m.LParam)), static_cast<short>(HIWORD(m.LParam))};
      if (!gCaptureControl) target = ControlAtPos(p, false);
    }
    if (target) {
      POINT p{static_cast<short>(LOWORD(m.LParam)) - target->Left(), static_cast<short>(HIWORD(m.LParam)) - target->Top()};
      m.Result = target->Perform(m.Msg, m.WParam, MAKELPARAM(p.x, p.y));
      return;
    }
  }
  TControl::WndProc(m);
}

void TWinControl::Dispatch(TMessage& m) {
  switch (m.Msg) {
    case WM_PAINT:
    case WM_PRINTCLIENT:
      if (m.Msg == WM_PRINTCLIENT) {
        TMessage p{WM_PAINT, m.WParam, 0, 0};
        PaintHandler(p);
        return;
      }
      PaintHandler(m);
      return;
    case WM_ERASEBKGND:
      if (!subclassed_) {
        if (ControlStyle() & csOpaque) {
          m.Result = 1;
          return;
        }
        RECT r{};
        GetClientRect(handle_, &r);
        ::FillRect(reinterpret_cast<HDC>(m.WParam), &r, brush_.Handle());
        m.Result = 1;
        return;
      }
      DefaultHandler(m);
      return;
    case WM_WINDOWPOSCHANGED: {
      DefaultHandler(m);
      auto* wp = reinterpret_cast<WINDOWPOS*>(m.LParam);
      if (!(wp->flags & SWP_NOSIZE) || !(wp->flags & SWP_NOMOVE)) {
        RECT r{};
        GetWindowRect(handle_, &r);
        if (GetWindowLongA(handle_, GWL_STYLE) & WS_CHILD) MapWindowPoints(nullptr, GetParent(handle_), reinterpret_cast<POINT*>(&r), 2);
        if (!IsIconic(handle_)) UpdateBoundsFields(r.left, r.top, r.right - r.left, r.bottom - r.top);
      }
      return;
    }
    case WM_SIZE:
      DefaultHandler(m);
      return;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
      if (!DoKeyDown(m)) DefaultHandler(m);
      return;
    case WM_KEYUP:
    case WM_SYSKEYUP:
      if (!DoKeyUp(m)) DefaultHandler(m);
      return;
    case WM_CHAR:
      if (!DoKeyPress(m)) DefaultHandler(m);
      return;
    case WM_SETFOCUS:
      if (TCustomForm* f = GetParentForm(this); f && f != this) f->SetFocusedControl(this);
      DefaultHandler(m);
      DoEnter();
      return;
    case WM_KILLFOCUS:
      DefaultHandler(m);
      DoExit();
      return;
    case WM_MOUSEWHEEL: {
      POINT p{static_cast<short>(LOWORD(m.LParam)), static_cast<short>(HIWORD(m.LParam))};
      if (DoMouseWheel(KeysToShiftState(LOWORD(m.WParam)), static_cast<short>(HIWORD(m.WParam)), p)) {
        m.Result = 1;
        return;
      }
      DefaultHandler(m);
      return;
    }
    case WM_MOUSELEAVE:
      HandleMouseLeave();
      DefaultHandler(m);
      return;
    case WM_SETCURSOR:
      if (reinterpret_cast<HWND>(m.WParam) == handle_ && LOWORD(m.LParam) == HTCLIENT) {
        TCursor c = Screen->Cursor();
        if (c == crDefault) {
          POINT p{};
          GetCursorPos(&p);
          ::ScreenToClient(handle_, &p);
          TControl* over = RoutesMouseToChildren() ? ControlAtPos(p, false) : nullptr;
          c = over ? over->Cursor() : Cursor();
        }
        if (c != crDefault) {
          ::SetCursor(Screen->Cursors(c));
          m.Result = 1;
          return;
        }
      }
      DefaultHandler(m);
      return;
    case WM_COMMAND:
      if (m.LParam) {
        if (TWinControl* t = FromHandle(reinterpret_cast<HWND>(m.LParam)); t && t != this) {
          m.Result = t->Perform(CN_COMMAND, m.WParam, m.LParam);
          return;
        }
      } else if (HIWORD(m.WParam) == 0 || HIWORD(m.WParam) == 1) {
        if (TMenuItem::DispatchCommand(LOWORD(m.WParam))) return;
      }
      DefaultHandler(m);
      return;
    case WM_NOTIFY: {
      auto* nm = reinterpret_cast<NMHDR*>(m.LParam);
      if (TWinControl* t = FromHandle(nm->hwndFrom); t && t != this) {
        m.Result = t->Perform(CN_NOTIFY, m.WParam, m.LParam);
        return;
      }
      DefaultHandler(m);
      return;
    }
    case WM_HSCROLL:
    case WM_VSCROLL:
    case WM_DRAWITEM:
    case WM_MEASUREITEM:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORLISTBOX: {
      HWND from = nullptr;
      if (m.Msg == WM_DRAWITEM) from = reinterpret_cast<DRAWITEMSTRUCT*>(m.LParam)->hwndItem;
      else if (m.Msg == WM_MEASUREITEM) from = m.WParam ? GetDlgItem(handle_, static_cast<int>(m.WParam)) : nullptr;
      else from = reinterpret_cast<HWND>(m.LParam);
      if (TWinControl* t = FromHandle(from); t && t != this) {
        m.Result = t->Perform(CN_BASE + m.Msg, m.WParam, m.LParam);
        return;
      }
      if (m.Msg == WM_DRAWITEM && m.WParam == 0) {
        if (TMenuItem::DispatchDrawItem(reinterpret_cast<DRAWITEMSTRUCT*>(m.LParam))) { m.Result = 1; return; }
      }
      DefaultHandler(m);
      return;
    }
    case CN_CTLCOLOREDIT:
    case CN_CTLCOLORSTATIC:
    case CN_CTLCOLORBTN:
    case CN_CTLCOLORLISTBOX: {
      HDC dc = reinterpret_cast<HDC>(m.WParam);
      SetTextColor(dc, ColorToRGB(font_.Color()));
      SetBkColor(dc, ColorToRGB(brush_.Color()));
      m.Result = reinterpret_cast<LRESULT>(brush_.Handle());
      return;
    }
    case WM_SYSCOLORCHANGE:
      DefaultHandler(m);
      Perform(CM_SYSCOLORCHANGE);
      return;
    case WM_NCCALCSIZE:
      DefaultHandler(m);
      if (bevelKind_ != TBevelKind::bkNone || borderWidth_ > 0) {
        // The first rectangle either way (wParam FALSE while the window is made).
        RECT& r = *reinterpret_cast<RECT*>(m.LParam);
        InflateRect(&r, -borderWidth_, -borderWidth_);
        const int e = BevelSize();
        if (bevelEdges_ & beLeft) r.left += e;
        if (bevelEdges_ & beTop) r.top += e;
        if (bevelEdges_ & beRight) r.right -= e;
        if (bevelEdges_ & beBottom) r.bottom -= e;
      }
      return;
    case WM_NCPAINT:
      DefaultHandler(m);
      if (bevelKind_ != TBevelKind::bkNone || borderWidth_ > 0) PaintBevelFrame();
      return;
    case CM_SYSCOLORCHANGE:
      // Child windows hear it as the system message (the common controls
      // reload their colours from it), which comes back here as CM_ for them.
      for (TControl* c : std::vector<TControl*>(controls_)) {
        auto* w = dynamic_cast<TWinControl*>(c);
        if (w && w->HandleAllocated()) SendMessageA(w->Handle(), WM_SYSCOLORCHANGE, 0, 0);
        else c->Perform(CM_SYSCOLORCHANGE);
      }
      if (!subclassed_) Invalidate();
      return;
    case WM_GETDLGCODE:
      DefaultHandler(m);
      return;
    case CM_COLORCHANGED:
      brush_.SetColor(Color());
      for (TControl* c : std::vector<TControl*>(controls_)) c->Perform(CM_PARENTCOLORCHANGED);
      Invalidate();
      return;
    case CM_FONTCHANGED:
      if (handle_) SendMessageA(handle_, WM_SETFONT, reinterpret_cast<WPARAM>(font_.Handle()), TRUE);
      for (TControl* c : std::vector<TControl*>(controls_)) c->Perform(CM_PARENTFONTCHANGED);
      Invalidate();
      return;
    case CM_SHOWHINTCHANGED:
      for (TControl* c : controls_)
        if (c->ParentShowHint()) {
          c->SetShowHint(ShowHint());
          c->SetParentShowHint(true);
        }
      return;
    case CM_ENABLEDCHANGED:
      if (handle_ && !subclassed_) Invalidate();
      return;
    case CM_DIALOGKEY:
      // Offered to every child until one takes it (default and cancel buttons).
      for (TControl* c : std::vector<TControl*>(controls_)) {
        if (!c->Visible() || !c->Enabled()) continue;
        if (c->Perform(CM_DIALOGKEY, m.WParam, m.LParam)) {
          m.Result = 1;
          return;
        }
      }
      return;
    default:
      TControl::Dispatch(m);
  }
}

void TWinControl::DefaultHandler(TMessage& m) {
  if (!handle_) {
    TControl::DefaultHandler(m);
    return;
  }
  if (m.Msg >= CM_BASE && m.Msg < CN_BASE + 0x400 && m.Msg >= 0xB000) {
    // Our own notifications mean nothing to the window class.
    if (m.Msg >= CN_BASE) {
      // A reflected message nobody took: the class's default for the original.
      TMessage orig{m.Msg - CN_BASE, m.WParam, m.LParam, 0};
      if (orig.Msg >= WM_CTLCOLORMSGBOX && orig.Msg <= WM_CTLCOLORSTATIC) {
        m.Result = CallWindowProcA(&DefWindowProcA, handle_, orig.Msg, orig.WParam, orig.LParam);
      }
    }
    return;
  }
  m.Result = CallWindowProcA(defWndProc_ ? defWndProc_ : &DefWindowProcA, handle_, m.Msg, m.WParam, m.LParam);
}

}  // namespace morvane
