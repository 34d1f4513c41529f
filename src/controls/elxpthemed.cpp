#include "controls/elxpthemed.h"

namespace morvane {

TElXPThemedControl::TElXPThemedControl(TComponent* AOwner) : TCustomControl(AOwner) { useXPThemes_ = true; }

TElXPThemedControl::~TElXPThemedControl() {
  // A control freed with its window still open (or whose window went with
  // its parent's) gives its theme handle back here.
  if (theme_) FreeThemeHandle();
}

void TElXPThemedControl::SetUseXPThemes(bool Value) {
  if (useXPThemes_ == Value) return;
  useXPThemes_ = Value;
  if (ThemesAvailable() && HandleAllocated() && !HasState(csDestroying)) {
    if (Value)
      CreateThemeHandle();
    else
      FreeThemeHandle();
    RecreateWnd();
  }
}

void TElXPThemedControl::CreateThemeHandle() {
  if (theme_) CloseThemeData(theme_);
  theme_ = ThemesAvailable() && HandleAllocated() ? OpenThemeData(Handle(), GetThemedClassName().c_str()) : nullptr;
}

void TElXPThemedControl::FreeThemeHandle() {
  if (ThemesAvailable() && theme_) CloseThemeData(theme_);
  theme_ = nullptr;
}

void TElXPThemedControl::CreateWnd() {
  TCustomControl::CreateWnd();
  if (useXPThemes_ && !theme_) CreateThemeHandle();
}

void TElXPThemedControl::DestroyWnd() {
  TCustomControl::DestroyWnd();
  if (theme_) FreeThemeHandle();
}

void TElXPThemedControl::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case WM_NCPAINT:
      WMNCPaint(Message);
      return;
    case WM_THEMECHANGED:
      if (ThemesAvailable() && useXPThemes_ && HandleAllocated()) {
        FreeThemeHandle();
        CreateThemeHandle();
        ::SetWindowPos(Handle(), nullptr, 0, 0, 0, 0, SWP_FRAMECHANGED | SWP_NOZORDER | SWP_NOMOVE | SWP_NOSIZE);
        ::RedrawWindow(Handle(), nullptr, nullptr, RDW_FRAME | RDW_ERASE | RDW_INVALIDATE);
      }
      Message.Result = 1;
      return;
    case WM_NCDESTROY:
      // The window can go without DestroyWnd (its parent's window went).
      TCustomControl::Dispatch(Message);
      if (theme_) FreeThemeHandle();
      return;
    default:
      TCustomControl::Dispatch(Message);
  }
}

void TElXPThemedControl::WMNCPaint(TMessage& Message) {
  if (!IsThemeApplied()) {
    TCustomControl::Dispatch(Message);
    return;
  }
  if (BevelKind() != TBevelKind::bkNone || BorderWidth() > 0) {
    HWND wnd = Handle();
    HDC dc = ::GetWindowDC(wnd);
    struct TRelease {
      HWND w;
      HDC d;
      ~TRelease() { ::ReleaseDC(w, d); }
    } release{wnd, dc};
    RECT client{}, window{};
    ::GetClientRect(wnd, &client);
    ::GetWindowRect(wnd, &window);
    POINT origin{window.left, window.top};
    ::ScreenToClient(wnd, &origin);
    ::OffsetRect(&client, -origin.x, -origin.y);
    ::ExcludeClipRect(dc, client.left, client.top, client.right, client.bottom);
    RECT r = client;
    ::InflateRect(&r, BorderWidth(), BorderWidth());
    RECT content = r;
    if (BevelKind() != TBevelKind::bkNone) {
      auto size = [&](TBevelCut c) { return c == TBevelCut::bvNone ? 0 : BevelWidth(); };
      const int bevel = size(BevelInner()) + size(BevelOuter());
      const TBevelEdges edges = BevelEdges();
      if (edges & beLeft) r.left -= bevel;
      if (edges & beTop) r.top -= bevel;
      if (edges & beRight) r.right += bevel;
      if (edges & beBottom) r.bottom += bevel;
      const LONG style = ::GetWindowLongA(wnd, GWL_STYLE);
      if (style & WS_VSCROLL) r.right += ::GetSystemMetrics(SM_CXVSCROLL);
      if (style & WS_HSCROLL) r.bottom += ::GetSystemMetrics(SM_CYHSCROLL);
      auto inner = [](TBevelCut c) -> UINT {
        return c == TBevelCut::bvLowered ? BDR_SUNKENINNER : c == TBevelCut::bvRaised ? BDR_RAISEDINNER : 0;
      };
      auto outer = [](TBevelCut c) -> UINT {
        return c == TBevelCut::bvLowered ? BDR_SUNKENOUTER : c == TBevelCut::bvRaised ? BDR_RAISEDOUTER : 0;
      };
      UINT kind = BevelKind() == TBevelKind::bkSoft ? BF_SOFT : BevelKind() == TBevelKind::bkFlat ? BF_FLAT : 0;
      UINT flags = (edges & beLeft ? BF_LEFT : 0) | (edges & beTop ? BF_TOP : 0) | (edges & beRight ? BF_RIGHT : 0) |
                   (edges & beBottom ? BF_BOTTOM : 0) | kind | (Ctl3D() ? 0 : BF_MONO) | BF_ADJUST;
      DrawThemeEdge(Theme(), dc, 0, 0, &r, inner(BevelInner()) | outer(BevelOuter()), flags, &content);
    }
    ::IntersectClipRect(dc, r.left, r.top, r.right, r.bottom);
    DrawThemeBackground(Theme(), dc, 0, 0, &content, nullptr);
  }
  DefaultHandler(Message);
}

}  // namespace morvane
