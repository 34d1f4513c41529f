#include "treeview/eltree_inputport.h"

#include "controls/elhintwnd.h"
#include "platform/core/sysutils.h"
#include "platform/ui/application.h"
#include "platform/ui/dragdrop.h"

namespace morvane {

TElTreeWindowInputPort::TElTreeWindowInputPort(HWND Wnd) : wnd_(Wnd) {}
TElTreeWindowInputPort::~TElTreeWindowInputPort() = default;

bool TElTreeWindowInputPort::Focused() const { return wnd_ && GetFocus() == wnd_; }

bool TElTreeWindowInputPort::CanFocus() const {
  return wnd_ && IsWindowVisible(wnd_) && IsWindowEnabled(wnd_);
}

void TElTreeWindowInputPort::SetFocus() {
  if (wnd_) ::SetFocus(wnd_);
}

void TElTreeWindowInputPort::SetCapture(bool Capture) {
  if (!wnd_) return;
  if (Capture)
    ::SetCapture(wnd_);
  else if (GetCapture() == wnd_)
    ReleaseCapture();
}

bool TElTreeWindowInputPort::KeyHeld(int VirtualKey) const {
  return (GetKeyState(VirtualKey) & 0x8000) != 0;
}

void TElTreeWindowInputPort::ClientToScreen(int& X, int& Y) const {
  POINT p{X + left_, Y + top_};
  if (wnd_) ::ClientToScreen(wnd_, &p);
  X = p.x;
  Y = p.y;
}

void TElTreeWindowInputPort::CursorPos(int& X, int& Y) const {
  POINT p{};
  GetCursorPos(&p);
  if (wnd_) ::ScreenToClient(wnd_, &p);
  X = p.x - left_;
  Y = p.y - top_;
}

unsigned TElTreeWindowInputPort::HintShortPause() const {
  return Application ? static_cast<unsigned>(Application->HintShortPause) : 50;
}

unsigned TElTreeWindowInputPort::HintHidePause() const {
  return Application ? static_cast<unsigned>(Application->HintHidePause) : 2500;
}

void TElTreeWindowInputPort::SetHint(const TElFString& Hint) {
  if (Application) Application->SetHint(WideToAnsi(Hint));
}

void TElTreeWindowInputPort::ActivateHint(int ScreenX, int ScreenY) {
  if (Application) Application->ActivateHint(POINT{ScreenX, ScreenY});
}

TElHintWindow* TElTreeWindowInputPort::LineHintWindow() {
  if (!hint_) hint_ = std::make_unique<TElHintWindow>(nullptr);
  return hint_.get();
}

TElRect TElTreeWindowInputPort::MeasureLineHint(const TElFString& Text, int MaxWidth) {
  RECT r = LineHintWindow()->CalcHintRectW(MaxWidth, Text);
  return {r.left, r.top, r.right, r.bottom};
}

void TElTreeWindowInputPort::ShowLineHint(const TElFString& Text, const TElRect& R,
                                          bool SystemColors, int32_t Color) {
  TElHintWindow* w = LineHintWindow();
  if (OnLineHintFont) OnLineHintFont(w->Font());
  if (SystemColors) {
    w->SetColor(clInfoBk);
    w->Font()->SetColor(clInfoText);
  } else {
    w->SetColor(Color);
    if (OnLineHintTextColor) w->Font()->SetColor(OnLineHintTextColor());
  }
  w->ActivateHintW(RECT{R.Left, R.Top, R.Right, R.Bottom}, Text);
}

void TElTreeWindowInputPort::HideLineHint() {
  if (hint_) hint_->ReleaseHandle();
}

void TElTreeWindowInputPort::BeginDrag() {
  if (OnBeginDrag) OnBeginDrag();
}

bool TElTreeWindowInputPort::Dragging() const { return DragObject() != nullptr; }

void TElTreeWindowInputPort::HideDragImage() {
  if (TDragObject* d = DragObject()) d->HideDragImage();
}

void TElTreeWindowInputPort::ShowDragImage() {
  if (TDragObject* d = DragObject()) d->ShowDragImage();
}

void TElTreeWindowInputPort::DrawFrameOutline(const TElRect& R) {
  if (!wnd_ || R.IsEmpty()) return;
  HDC dc = GetDC(wnd_);
  if (!dc) return;
  RECT r{R.Left + left_, R.Top + top_, R.Right + left_, R.Bottom + top_};
  DrawFocusRect(dc, &r);
  ReleaseDC(wnd_, dc);
}

void TElTreeWindowInputPort::ContextMenu(int ScreenX, int ScreenY) {
  // As the default window procedure does after WM_RBUTTONUP, which does not
  // run for a release the tree handled.
  if (wnd_)
    SendMessageA(wnd_, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(wnd_),
                 MAKELPARAM(static_cast<short>(ScreenX), static_cast<short>(ScreenY)));
}

}  // namespace morvane
