#include "treeview/eltreewindowport.h"

namespace morvane {

bool TElTreeWindowPort::HandleAllocated() const { return wnd_ && IsWindow(wnd_); }

int TElTreeWindowPort::ClientWidth() const {
  RECT r{};
  if (HandleAllocated()) GetClientRect(wnd_, &r);
  return r.right - left_ > 0 ? r.right - left_ : 0;
}

int TElTreeWindowPort::ClientHeight() const {
  RECT r{};
  if (HandleAllocated()) GetClientRect(wnd_, &r);
  return r.bottom - top_ > 0 ? r.bottom - top_ : 0;
}

void TElTreeWindowPort::InvalidateRect(const TElRect& R) {
  if (!HandleAllocated()) return;
  RECT r{R.Left + left_, R.Top + top_, R.Right + left_, R.Bottom + top_};
  ::InvalidateRect(wnd_, &r, FALSE);
}

void TElTreeWindowPort::Invalidate() {
  if (HandleAllocated()) ::InvalidateRect(wnd_, nullptr, FALSE);
}

void TElTreeWindowPort::Update() {
  if (HandleAllocated()) UpdateWindow(wnd_);
}

void TElTreeWindowPort::ScrollBarChanged(TElScrollBarKind Kind, int Max, int Page, int Position, bool Visible) {
  if (!HandleAllocated()) return;
  const int bar = Kind == TElScrollBarKind::sbVertical ? SB_VERT : SB_HORZ;
  SCROLLINFO si{};
  si.cbSize = sizeof si;
  si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
  si.nMin = 0;
  si.nMax = Max > 0 ? Max : 0;
  si.nPage = static_cast<UINT>(Page > 0 ? Page : 0);
  si.nPos = Position;
  SetScrollInfo(wnd_, bar, &si, TRUE);
  ShowScrollBar(wnd_, bar, Visible);
}

unsigned TElTreeWindowPort::WheelScrollLines() const {
  UINT lines = 3;
  SystemParametersInfoA(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
  return lines;
}

void TElTreeWindowPort::ScreenToClient(int& X, int& Y) const {
  POINT p{X, Y};
  if (HandleAllocated()) ::ScreenToClient(wnd_, &p);
  X = p.x;
  Y = p.y;
}

}  // namespace morvane
