#include "controls/elhintwnd.h"

#include "controls/elvclutils.h"
#include "platform/core/sysutils.h"

namespace morvane {

TElHintWindow::TElHintWindow(TComponent* AOwner) : THintWindow(AOwner) {
  font_.Assign(THintWindow::Font());
}

TElHintWindow::~TElHintWindow() = default;

void TElHintWindow::SetWordWrap(bool Value) {
  if (wordWrap_ == Value) return;
  wordWrap_ = Value;
  if (!activating_) FitToCaption();
}

void TElHintWindow::FitToCaption() {
  RECT r = CalcHintRectW(10000, wideCaption_);
  SetBounds(Left(), Top(), r.right - r.left, r.bottom - r.top);
}

RECT TElHintWindow::CalcHintRectW(int MaxWidth, const std::wstring& Text) {
  Canvas()->Font()->Assign(&font_);
  RECT r{0, 0, MaxWidth, 0};
  UINT flags = DT_CALCRECT | DT_NOPREFIX;
  if (wordWrap_) flags |= DT_WORDBREAK;
  if (HandleAllocated() && (::GetWindowLongA(Handle(), GWL_EXSTYLE) & WS_EX_RTLREADING)) flags |= DT_RTLREADING;
  HDC dc = Canvas()->Handle();
  ::SelectObject(dc, font_.Handle());
  ElDrawTextW(dc, Text.c_str(), static_cast<int>(Text.size()), r, flags);
  r.right += 6;
  r.bottom += 2;
  return r;
}

RECT TElHintWindow::CalcHintRect(int MaxWidth, const std::string& AHint, void* AData) {
  std::wstring wide;
  if (UnpackWideHint(AHint, wide)) return CalcHintRectW(MaxWidth, wide);
  Canvas()->Font()->Assign(&font_);
  RECT r{0, 0, MaxWidth, 0};
  UINT flags = DT_CALCRECT | DT_NOPREFIX | (wordWrap_ ? DT_WORDBREAK : 0);
  HDC dc = Canvas()->Handle();
  ::SelectObject(dc, font_.Handle());
  ::DrawTextA(dc, AHint.c_str(), static_cast<int>(AHint.size()), &r, flags);
  r.right += 6;
  r.bottom += 2;
  (void)AData;
  return r;
}

void TElHintWindow::ActivateHint(RECT Rect, const std::string& AHint) {
  std::wstring wide;
  if (!UnpackWideHint(AHint, wide)) wide = AnsiToWide(AHint);
  ActivateHintW(Rect, wide);
}

RECT TElHintWindow::PlaceOnDesktop(RECT Rect, const RECT& Desktop) {
  const int w = Rect.right - Rect.left, h = Rect.bottom - Rect.top;
  // The far edges are origin + size: a desktop whose origin is not (0, 0)
  // (a monitor left of or above the primary one) keeps hints on it.
  if (Rect.top + h > Desktop.bottom) Rect.top = Desktop.bottom - h;
  if (Rect.left + w > Desktop.right) Rect.left = Desktop.right - w;
  if (Rect.left < Desktop.left) Rect.left = Desktop.left;
  if (Rect.top < Desktop.top) Rect.top = Desktop.top;
  Rect.right = Rect.left + w;
  Rect.bottom = Rect.top + h;
  return Rect;
}

void TElHintWindow::ActivateHintW(RECT Rect, const std::wstring& Text) {
  activating_ = true;
  struct TDone {
    bool& f;
    ~TDone() { f = false; }
  } done{activating_};
  wideCaption_ = Text;
  Rect.bottom += 4;
  const RECT desktop = Screen ? Screen->DesktopRect()
                              : RECT{::GetSystemMetrics(SM_XVIRTUALSCREEN), ::GetSystemMetrics(SM_YVIRTUALSCREEN),
                                     ::GetSystemMetrics(SM_XVIRTUALSCREEN) + ::GetSystemMetrics(SM_CXVIRTUALSCREEN),
                                     ::GetSystemMetrics(SM_YVIRTUALSCREEN) + ::GetSystemMetrics(SM_CYVIRTUALSCREEN)};
  Rect = PlaceOnDesktop(Rect, desktop);
  const int w = Rect.right - Rect.left, h = Rect.bottom - Rect.top;
  SetBounds(Rect.left, Rect.top, w, h);
  ::SetWindowPos(Handle(), HWND_TOPMOST, Rect.left, Rect.top, w, h, SWP_SHOWWINDOW | SWP_NOACTIVATE);
  SetVisibleFlag(true);
  activating_ = false;
  Invalidate();
}

void TElHintWindow::Paint() {
  RECT r = ClientRect();
  Canvas()->Brush()->SetColor(Color());
  Canvas()->FillRect(r);
  r.left += 2;
  r.top += 2;
  HDC dc = Canvas()->Handle();
  HGDIOBJ old = ::SelectObject(dc, font_.Handle());
  ::SetBkMode(dc, TRANSPARENT);
  ::SetTextColor(dc, ColorToRGB(font_.Color()));
  ElDrawTextW(dc, wideCaption_.c_str(), static_cast<int>(wideCaption_.size()), r,
              DT_NOPREFIX | (wordWrap_ ? DT_WORDBREAK : 0));
  ::SelectObject(dc, old);
}

void TElHintWindow::Dispatch(TMessage& Message) {
  THintWindow::Dispatch(Message);
  if (Message.Msg == CM_TEXTCHANGED && !activating_) FitToCaption();
}

void UseElHintWindow(TApplication* App) {
  if (App) App->SetHintWindowClass([](TComponent* Owner) -> THintWindow* { return new TElHintWindow(Owner); });
}

}  // namespace morvane
