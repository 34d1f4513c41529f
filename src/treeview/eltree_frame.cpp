// The grid's frame and what hangs on its non-client area: the border it
// draws itself (flat, sunken or themed, on the chosen sides), the room the
// frame takes from the client area, the hit test of the border, and the
// hook on the parent form that tells the painting when the form is being
// sized or moved.
#include <algorithm>

#include "controls/elhook.h"
#include "controls/eluxtheme.h"
#include "platform/ui/forms.h"
#include "treeview/eltree_bracket.h"
#include "treeview/eltree_window.h"

namespace morvane {

bool TElTreeWindow::OwnFrame() {
  return borderStyle_ == TBorderStyle::bsSingle && (flat_ || tree_->UseCustomScrollBars || IsThemeApplied());
}

void TElTreeWindow::RedrawFrame() {
  if (!HandleAllocated() || !OwnFrame()) return;
  HDC dc = GetWindowDC(Handle());
  if (!dc) return;
  DrawFrame(dc);
  ReleaseDC(Handle(), dc);
}

void TElTreeWindow::DrawFrame(HDC DC) {
  if (!HandleAllocated() || borderStyle_ != TBorderStyle::bsSingle) return;
  const HWND wnd = Handle();
  RECT client{}, window{};
  GetClientRect(wnd, &client);
  MapWindowPoints(wnd, nullptr, reinterpret_cast<POINT*>(&client), 2);
  GetWindowRect(wnd, &window);
  const LONG style = GetWindowLongA(wnd, GWL_STYLE);
  // Standard scroll bars lie inside the frame: they are not the frame's.
  if (style & WS_VSCROLL) client.right += GetSystemMetrics(SM_CXVSCROLL);
  if (style & WS_HSCROLL) client.bottom += GetSystemMetrics(SM_CYHSCROLL);
  OffsetRect(&client, -window.left, -window.top);
  OffsetRect(&window, -window.left, -window.top);
  const int saved = SaveDC(DC);
  ExcludeClipRect(DC, client.left, client.top, client.right, client.bottom);
  bool themed = false;
  if (IsThemeApplied()) {
    if (HTHEME theme = OpenThemeData(wnd, L"EDIT")) {
      DrawThemeBackground(theme, DC, 0, 0, &window, nullptr);
      CloseThemeData(theme);
      themed = true;
    }
  }
  const bool active = (view_ && view_->HasFocus()) || mouseInside_;
  if (!themed) {
    TElFlatBorderType type = active ? activeBorderType_ : inactiveBorderType_;
    if (!flat_ && tree_->UseCustomScrollBars) type = fbtSunken;
    if (type == fbtRaised) type = fbtRaisedOuter;
    const TColor line = active ? lineBorderActiveColor_ : lineBorderInactiveColor_;
    DrawFlatFrameEx(DC, window, line, type, borderSides_, BkColor());
  }
  RestoreDC(DC, saved);
  if (!themed && (style & (WS_VSCROLL | WS_HSCROLL))) {
    const int bars = ((style & WS_HSCROLL) ? 1 : 0) | ((style & WS_VSCROLL) ? 2 : 0);
    DrawFlatScrollbars(wnd, DC, window, GetWindowLongA(wnd, GWL_EXSTYLE), style, bars,
                       !(active && !flatFocusedScrollbars_), false);
  }
}

void TElTreeWindow::NCCalcSize(TMessage& m) {
  // The system takes the edge (or the thin border) and any standard bars;
  // the sides the grid leaves without a border get their width back.
  DefaultHandler(m);
  if (borderStyle_ != TBorderStyle::bsSingle || m.LParam == 0) return;
  RECT& r = *reinterpret_cast<RECT*>(m.LParam);  // rgrc[0] when WParam is TRUE
  const bool edge = (GetWindowLongA(Handle(), GWL_EXSTYLE) & WS_EX_CLIENTEDGE) != 0;
  const int bx = GetSystemMetrics(edge ? SM_CXEDGE : SM_CXBORDER);
  const int by = GetSystemMetrics(edge ? SM_CYEDGE : SM_CYBORDER);
  if (!(borderSides_ & ebsLeft)) r.left -= bx;
  if (!(borderSides_ & ebsRight)) r.right += bx;
  if (!(borderSides_ & ebsTop)) r.top -= by;
  if (!(borderSides_ & ebsBottom)) r.bottom += by;
}

void TElTreeWindow::FrameStateChanged(bool FocusDependent) {
  (void)FocusDependent;
  RedrawFrame();
}

void TElTreeWindow::SetFlat(bool v) {
  if (v == flat_) return;
  flat_ = v;
  if (v) SetCtl3D(true);
  RedrawFrame();
}

void TElTreeWindow::SetActiveBorderType(TElFlatBorderType v) {
  if (v == activeBorderType_) return;
  activeBorderType_ = v;
  RedrawFrame();
}

void TElTreeWindow::SetInactiveBorderType(TElFlatBorderType v) {
  if (v == inactiveBorderType_) return;
  inactiveBorderType_ = v;
  RedrawFrame();
}

void TElTreeWindow::SetLineBorderActiveColor(TColor v) {
  if (v == lineBorderActiveColor_) return;
  lineBorderActiveColor_ = v;
  RedrawFrame();
}

void TElTreeWindow::SetLineBorderInactiveColor(TColor v) {
  if (v == lineBorderInactiveColor_) return;
  lineBorderInactiveColor_ = v;
  RedrawFrame();
}

void TElTreeWindow::SetFlatFocusedScrollbars(bool v) {
  if (v == flatFocusedScrollbars_) return;
  flatFocusedScrollbars_ = v;
  RedrawFrame();
}

void TElTreeWindow::SetBorderSides(TElBorderSides v) {
  v &= kAllBorderSides;
  if (v == borderSides_) return;
  borderSides_ = v;
  // The client area changes: the frame is measured again and the pieces
  // are placed in the new client area (WM_SIZE follows the frame change).
  if (HandleAllocated())
    SetWindowPos(Handle(), nullptr, 0, 0, 0, 0,
                 SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// ---- double buffering and the parent form's size-move loop ----

bool TElTreeWindow::PaintsOffScreen() const {
  return sizeMove_ ? doubleBufferedOnResize_ : DoubleBuffered();
}

void TElTreeWindow::SetDoubleBuffered(bool v) {
  TElXPThemedControl::SetDoubleBuffered(v);
  BindSizeMoveHook();
}

void TElTreeWindow::BindSizeMoveHook() {
  if (!sizeMoveHook_) return;
  TCustomForm* form = GetParentForm(this);
  if (sizeMoveHook_->Control() != form) {
    sizeMoveHook_->SetActive(false);
    sizeMoveHook_->SetControl(form);
  }
  sizeMoveHook_->SetActive(form && DoubleBuffered() && !HasState(csDesigning));
}

void TElTreeWindow::SetParent(TWinControl* AParent) {
  TElXPThemedControl::SetParent(AParent);
  sizeMove_ = false;
  BindSizeMoveHook();
}

}  // namespace morvane
