#include "controls/elscrollbar.h"

#include <algorithm>
#include <cmath>

#include "controls/elhintwnd.h"
#include "controls/elvclutils.h"
#include "platform/ui/application.h"

namespace morvane {
namespace {

// The blend pattern all scroll bars share. Bars hold it by reference, so it
// lives as long as any bar that uses it.
std::weak_ptr<TBitmap>& SharedBlend() {
  static std::weak_ptr<TBitmap> blend;
  return blend;
}

int Clamp(int v, int lo, int hi) { return v < lo ? lo : (v > hi ? hi : v); }

}  // namespace

TCustomElScrollBar::TCustomElScrollBar(TComponent* AOwner) : TElXPThemedControl(AOwner) {
  SetControlStyle((ControlStyle() | csOpaque) & ~csCaptureMouse);
  SetDoubleBuffered(true);
  SetParentColor(false);
  SetColor(clBtnFace);
  SetCtl3D(false);
  SetTabStop(true);
  SetBounds(Left(), Top(), 121, ::GetSystemMetrics(SM_CYHSCROLL));
  buttonSize_ = ::GetSystemMetrics(SM_CXHSCROLL);
  timer_ = new TTimer(this);
  timer_->SetEnabled(false);
  timer_->OnTimer = [this](TObject* s) { OnTimerTick(s); };
  blend_ = SharedBlend().lock();
  if (!blend_) {
    blend_ = std::make_shared<TBitmap>(8, 8);
    SharedBlend() = blend_;
    ownsBlend_ = true;
    RefillBlendPattern();
  }
  UpdateThumbOffset();
}

TCustomElScrollBar::~TCustomElScrollBar() {
  Destroying();
  if (timer_) timer_->SetEnabled(false);
  if (::GetCapture() && HandleAllocated() && ::GetCapture() == Handle()) {
    releasing_ = true;
    ::ReleaseCapture();
  }
  delete hintWindow_;
  hintWindow_ = nullptr;
  DestroyComponents();
}

// Geometry ---------------------------------------------------------------------

int TCustomElScrollBar::Length() {
  RECT r = ClientRect();
  return Horizontal() ? r.right - r.left : r.bottom - r.top;
}

int TCustomElScrollBar::CrossLength() {
  RECT r = ClientRect();
  return Horizontal() ? r.bottom - r.top : r.right - r.left;
}

int TCustomElScrollBar::BackButtons() const { return showLeftArrows_ ? (secondaryButtons_ ? 2 : 1) : 0; }
int TCustomElScrollBar::ForwardButtons() const { return showRightArrows_ ? (secondaryButtons_ ? 2 : 1) : 0; }

int TCustomElScrollBar::EffectiveButton() {
  int b = buttonSize_;
  if (useSystemMetrics_ && !IsThemeApplied())
    b = Horizontal() ? ::GetSystemMetrics(SM_CXHSCROLL) : ::GetSystemMetrics(SM_CYVSCROLL);
  const int n = BackButtons() + ForwardButtons();
  const int l = Length();
  if (n > 0 && l < b * n) b = l / n;
  return b;
}

int TCustomElScrollBar::ButtonSize() { return EffectiveButton(); }

int TCustomElScrollBar::SystemThumbSize() const {
  return kind_ == TScrollBarKind::sbHorizontal ? ::GetSystemMetrics(SM_CXHTHUMB) : ::GetSystemMetrics(SM_CYVTHUMB);
}

int TCustomElScrollBar::ThumbLength() {
  const int b = EffectiveButton();
  const int a = Length() - b * (BackButtons() + ForwardButtons());
  int t;
  if (thumbMode_ == TElScrollThumbMode::etmFixed) {
    t = useSystemMetrics_ ? SystemThumbSize() : thumbSize_;
  } else {
    if (a < 0) return 0;
    const int range = max_ - min_ + 1;
    if (page_ > 0 && max_ - min_ >= page_ && max_ > min_)
      t = ::MulDiv(std::min(page_, range), a, range);
    else if (page_ == 0 && max_ > min_)
      t = SystemThumbSize();
    else
      t = a;
    t = std::max(t, minThumbSize_);
  }
  if (t > a) t = 0;
  return t;
}

int TCustomElScrollBar::OffsetForPosition(int Pos) {
  const int b = EffectiveButton(), nB = BackButtons(), nF = ForwardButtons();
  const int l = Length(), t = ThumbLength();
  if (t + b * (nB + nF) < l && min_ <= max_) {
    const int p = std::min(page_, max_ - min_ + 1);
    const int span = max_ - min_ - p + 1;
    const int room = l - (nB + nF) * b - t;
    int off = span > 0 ? ::MulDiv(room, std::min(max_ - page_ + 1, Pos) - min_, span) : 0;
    return nB * b + std::max(0, off);
  }
  return nB * b;
}

void TCustomElScrollBar::UpdateThumbOffset() { thumbOffset_ = OffsetForPosition(position_); }

int TCustomElScrollBar::TrackPosition() {
  const int b = EffectiveButton(), nB = BackButtons(), nF = ForwardButtons();
  const int t = ThumbLength();
  const int p = std::min(page_, max_ - min_ + 1);
  const int divisor = Length() - (nB + nF) * b - t;
  const int hi = std::max(min_, max_ - p + 1);
  // A thumb that fills the track stands for the current position.
  if (divisor <= 0) return Clamp(position_, min_, hi);
  return Clamp(min_ + ::MulDiv(thumbOffset_ - b * nB, max_ - min_ - p + 1, divisor), min_, hi);
}

RECT TCustomElScrollBar::PartRect(TElScrollBarPart Part) {
  const int b = EffectiveButton(), l = Length(), cross = CrossLength(), t = ThumbLength();
  const int nB = BackButtons(), nF = ForwardButtons();
  int from = 0, to = 0;
  switch (Part) {
    case spBackArrow:
      if (!showLeftArrows_) return RECT{};
      from = 0, to = b;
      break;
    case spBackSecondary:
      if (!showLeftArrows_ || !secondaryButtons_) return RECT{};
      from = b, to = 2 * b;
      break;
    case spForwardSecondary:
      if (!showRightArrows_ || !secondaryButtons_) return RECT{};
      from = l - 2 * b, to = l - b;
      break;
    case spForwardArrow:
      if (!showRightArrows_) return RECT{};
      from = l - b, to = l;
      break;
    case spBackPage:
      from = nB * b, to = t ? thumbOffset_ : nB * b;
      break;
    case spThumb:
      if (!t) return RECT{};
      from = thumbOffset_, to = thumbOffset_ + t;
      break;
    case spForwardPage:
      from = t ? thumbOffset_ + t : nB * b, to = l - nF * b;
      break;
    default:
      return RECT{};
  }
  if (to < from) to = from;
  return Horizontal() ? RECT{from, 0, to, cross} : RECT{0, from, cross, to};
}

TElScrollBarPart TCustomElScrollBar::GetHitTest(int X, int Y) {
  TElScrollBarPart part = spNone;
  bool defaultTest = true;
  TriggerHitTestEvent(X, Y, part, defaultTest);
  if (!defaultTest) return part;
  const int c = Horizontal() ? X : Y, across = Horizontal() ? Y : X;
  const int l = Length(), b = EffectiveButton();
  if (across < 0 || across >= CrossLength()) return spNone;
  if (showLeftArrows_ && c >= 0 && c <= b) return spBackArrow;
  if (showRightArrows_ && l - c < b) return spForwardArrow;
  if (secondaryButtons_) {
    if (showLeftArrows_ && c >= b && c <= 2 * b) return spBackSecondary;
    if (showRightArrows_ && c >= l - 2 * b && c <= l - b) return spForwardSecondary;
  }
  if (c < thumbOffset_) return spBackPage;
  if (c < thumbOffset_ + ThumbLength()) return spThumb;
  return spForwardPage;
}

// Properties -------------------------------------------------------------------

void TCustomElScrollBar::SetPosition(int v) {
  if (v == position_) return;
  const int requested = v;
  if (Loading()) {
    position_ = v;
    return;
  }
  auto inside = [this](int p) { return p > min_ && p < max_; };
  const bool wasInside = inside(position_);
  position_ = Clamp(v, min_, max_);
  UpdateThumbOffset();
  if (HandleAllocated()) {
    if (noDisableButtons_ || wasInside == inside(position_)) {
      InvalidateTrack();
      ::UpdateWindow(Handle());
    } else {
      Invalidate();
    }
  }
  int pos = requested;
  bool doChange = true;
  TriggerScrollEvent(scPosition, pos, doChange);
}

void TCustomElScrollBar::SetMax(int v) {
  if (v == max_) return;
  max_ = v;
  if (Loading()) return;
  if (min_ >= max_) max_ = min_;
  page_ = std::min(page_, max_ - min_ + 1);
  UpdateThumbOffset();
  Invalidate();
  if (position_ > max_) SetPosition(max_);
}

void TCustomElScrollBar::SetMin(int v) {
  if (v == min_) return;
  min_ = v;
  if (Loading()) return;
  if (min_ >= max_) max_ = min_;
  page_ = std::min(page_, max_ - min_ + 1);
  UpdateThumbOffset();
  Invalidate();
  if (position_ < min_) SetPosition(min_);
}

void TCustomElScrollBar::SetPage(int v) {
  if (v == page_ || v < 0) return;
  page_ = v;
  UpdateThumbOffset();
  Invalidate();
}

void TCustomElScrollBar::Loaded() {
  TElXPThemedControl::Loaded();
  if (min_ >= max_) max_ = min_;
  page_ = std::min(page_, max_ - min_ + 1);
  position_ = Clamp(position_, min_, max_);
  if (useSystemMetrics_) ApplySystemMetrics();
  UpdateThumbOffset();
}

void TCustomElScrollBar::SetKind(TScrollBarKind v) {
  if (v == kind_) return;
  kind_ = v;
  if (!Loading()) SetBounds(Left(), Top(), Height(), Width());
  if (useSystemMetrics_)
    ApplySystemMetrics();
  else
    UpdateThumbOffset();
  Invalidate();
}

void TCustomElScrollBar::ApplySystemMetrics() {
  if (Loading()) return;
  SIZE sz{};
  if (IsThemeApplied() &&
      SUCCEEDED(GetThemePartSize(Theme(), nullptr, 1 /* SBP_ARROWBTN */, 1, nullptr, 1 /* TS_TRUE */, &sz)) &&
      sz.cx > 0 && sz.cy > 0) {
    buttonSize_ = Horizontal() ? sz.cx : sz.cy;
    if (Horizontal())
      SetHeight(sz.cy);
    else
      SetWidth(sz.cx);
  } else if (Horizontal()) {
    buttonSize_ = ::GetSystemMetrics(SM_CXHSCROLL);
    SetHeight(::GetSystemMetrics(SM_CYHSCROLL));
  } else {
    buttonSize_ = ::GetSystemMetrics(SM_CYVSCROLL);
    SetWidth(::GetSystemMetrics(SM_CXVSCROLL));
  }
  UpdateThumbOffset();
  Invalidate();
}

void TCustomElScrollBar::SetUseSystemMetrics(bool v) {
  if (v == useSystemMetrics_) return;
  useSystemMetrics_ = v;
  if (v) ApplySystemMetrics();
  UpdateThumbOffset();
  Invalidate();
}

void TCustomElScrollBar::SetButtonSize(int v) {
  if (v == buttonSize_ || v <= 0) return;
  if (HandleAllocated() && Length() < 2 * v) return;
  buttonSize_ = v;
  UpdateThumbOffset();
  Invalidate();
}

void TCustomElScrollBar::SetThumbMode(TElScrollThumbMode v) {
  if (v == thumbMode_) return;
  thumbMode_ = v;
  if (v == TElScrollThumbMode::etmFixed && useSystemMetrics_) thumbSize_ = SystemThumbSize();
  UpdateThumbOffset();
  Invalidate();
}

void TCustomElScrollBar::SetThumbSize(int v) {
  if (v == thumbSize_ || v <= 0) return;
  thumbSize_ = v;
  UpdateThumbOffset();
  Invalidate();
}

void TCustomElScrollBar::SetMinThumbSize(int v) {
  if (v == minThumbSize_ || v <= 0) return;
  minThumbSize_ = v;
  UpdateThumbOffset();
  Invalidate();
}

void TCustomElScrollBar::SetSecondBtnKind(TElSecButtonsKind v) {
  if (v == secondBtnKind_) return;
  secondBtnKind_ = v;
  Invalidate();
}

void TCustomElScrollBar::SetBarOffset(uint32_t v) {
  if (v == barOffset_) return;
  barOffset_ = v;
  Invalidate();
}

void TCustomElScrollBar::SetHint(const std::wstring& v) {
  wideHint_ = v;
  TControl::SetHint(PackWideHint(v));
}

// Events -------------------------------------------------------------------------

void TCustomElScrollBar::TriggerChangeEvent() {
  if (OnChange) OnChange(this);
}
void TCustomElScrollBar::TriggerScrollEvent(TElScrollCode ScrollCode, int& ScrollPos, bool& DoChange) {
  DoChange = true;
  if (OnScroll) OnScroll(this, ScrollCode, ScrollPos, DoChange);
}
void TCustomElScrollBar::TriggerScrollHintNeededEvent(int TrackPosition, std::wstring& Hint) {
  if (OnScrollHintNeeded) OnScrollHintNeeded(this, TrackPosition, Hint);
}
void TCustomElScrollBar::TriggerHitTestEvent(int X, int Y, TElScrollBarPart& Part, bool& DefaultTest) {
  DefaultTest = true;
  if (OnHitTest) OnHitTest(this, X, Y, Part, DefaultTest);
}

// Actions ------------------------------------------------------------------------

bool TCustomElScrollBar::CanScrollBack() const { return position_ > min_ && max_ - min_ >= page_; }
bool TCustomElScrollBar::CanScrollForward() const {
  const int limit = altDisablingArrows_ ? max_ - page_ + 1 : max_;
  return position_ < limit && max_ - min_ >= page_;
}

bool TCustomElScrollBar::PartAction(TElScrollBarPart Part, TElScrollCode& Code, int& Proposal) {
  const int page = page_ == 0 && timer_->Enabled() ? 1 : page_;
  switch (Part) {
    case spBackArrow:
      Code = scLineBack, Proposal = position_ - step_;
      return CanScrollBack();
    case spForwardArrow:
      Code = scLineForward, Proposal = position_ + step_;
      return CanScrollForward();
    case spBackPage:
      Code = scPageBack, Proposal = position_ - page;
      return CanScrollBack();
    case spForwardPage:
      Code = scPageForward, Proposal = position_ + page;
      return CanScrollForward();
    case spForwardSecondary:
      if (secondBtnKind_ == TElSecButtonsKind::sbkOpposite) return PartAction(spBackArrow, Code, Proposal);
      if (secondBtnKind_ == TElSecButtonsKind::sbkPage) return PartAction(spForwardPage, Code, Proposal);
      Code = scCustomForwardSide, Proposal = position_;
      return true;
    case spBackSecondary:
      if (secondBtnKind_ == TElSecButtonsKind::sbkOpposite) return PartAction(spForwardArrow, Code, Proposal);
      if (secondBtnKind_ == TElSecButtonsKind::sbkPage) return PartAction(spBackPage, Code, Proposal);
      Code = scCustomBackSide, Proposal = position_;
      return true;
    default:
      return false;
  }
}

void TCustomElScrollBar::DoAction(TElScrollBarPart Part, bool FireChange) {
  TElScrollCode code;
  int proposal;
  PartAction(Part, code, proposal);
  if (code != scCustomForwardSide && code != scCustomBackSide) proposal = Clamp(proposal, min_, max_);
  bool doChange = true;
  TriggerScrollEvent(code, proposal, doChange);
  if (doChange) {
    SetPosition(proposal);
    if (FireChange) TriggerChangeEvent();
  }
}

POINT TCustomElScrollBar::ClientCursor() {
  POINT p{};
  ::GetCursorPos(&p);
  if (HandleAllocated()) ::ScreenToClient(Handle(), &p);
  return p;
}

void TCustomElScrollBar::InvalidateTrack() {
  if (!HandleAllocated()) return;
  const int b = EffectiveButton();
  RECT r = ClientRect();
  if (Horizontal()) {
    r.left += BackButtons() * b;
    r.right -= ForwardButtons() * b;
  } else {
    r.top += BackButtons() * b;
    r.bottom -= ForwardButtons() * b;
  }
  InvalidateRect(r);
}

void TCustomElScrollBar::ShowTrackHintNow() {
  std::wstring text;
  TriggerScrollHintNeededEvent(TrackPosition(), text);
  if (!hintWindow_) hintWindow_ = new TElHintWindow(nullptr);
  hintWindow_->Font()->Assign(Font());
  hintWindow_->Font()->SetColor(clInfoText);
  hintWindow_->SetColor(clInfoBk);
  const RECT desktop = Screen ? Screen->DesktopRect() : RECT{0, 0, 1024, 768};
  RECT r = hintWindow_->CalcHintRectW(desktop.right - desktop.left, text);
  POINT anchor = Horizontal() ? POINT{thumbOffset_ - 2, -5} : POINT{-2, thumbOffset_ - 2};
  if (HandleAllocated()) ::ClientToScreen(Handle(), &anchor);
  const int w = r.right - r.left, h = r.bottom - r.top;
  RECT place{anchor.x - 1 - w, anchor.y - 1 - h, anchor.x - 1, anchor.y - 1};
  if (place.left < desktop.left) ::OffsetRect(&place, desktop.left - place.left, 0);
  if (place.top < desktop.top) ::OffsetRect(&place, 0, desktop.top - place.top);
  if (place.right > desktop.right) ::OffsetRect(&place, desktop.right - place.right, 0);
  if (place.bottom > desktop.bottom) ::OffsetRect(&place, 0, desktop.bottom - place.bottom);
  hintWindow_->ActivateHintW(place, text);
}

void TCustomElScrollBar::ReleaseMouse() {
  releasing_ = true;
  if (savedCapture_ && ::IsWindow(savedCapture_))
    ::SetCapture(savedCapture_);
  else if (HandleAllocated() && ::GetCapture() == Handle())
    ::ReleaseCapture();
  savedCapture_ = nullptr;
  releasing_ = false;
}

// Mouse and keys -------------------------------------------------------------------

void TCustomElScrollBar::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (Button == TMouseButton::mbLeft) {
    const TElScrollBarPart before = pressedPart_;
    if (pressedPart_ == spNone) {
      pressedPart_ = GetHitTest(X, Y);
      const int c = Horizontal() ? X : Y;
      bool can = false;
      if (pressedPart_ == spThumb) {
        can = page_ < max_ - min_ + 1 && max_ != min_;
        thumbDrag_ = can;
        if (can) {
          pressPoint_ = POINT{X, Y};
          startPosition_ = position_;
          startOffset_ = thumbOffset_;
          grabOffset_ = c - thumbOffset_;
          if (showTrackHint_ && !IsDesigning()) ShowTrackHintNow();
        }
      } else if (pressedPart_ != spNone) {
        TElScrollCode code;
        int proposal;
        can = PartAction(pressedPart_, code, proposal);
      }
      canScroll_ = can;
      if (pressedPart_ != spNone && (can || (noDisableButtons_ && pressedPart_ != spThumb))) {
        HWND cap = ::GetCapture();
        savedCapture_ = HandleAllocated() && cap != Handle() ? cap : nullptr;
        ::SetCapture(Handle());
        if (pressedPart_ == spThumb) {
          InvalidateTrack();
        } else {
          pressPoint_ = POINT{X, Y};
          timer_->SetInterval(static_cast<unsigned>(GetKeybRepeatTiming(SPI_GETKEYBOARDDELAY)));
          timer_->SetEnabled(true);
          DoAction(pressedPart_, true);
        }
      } else {
        pressedPart_ = spNone;
        thumbDrag_ = false;
      }
    }
    if (pressedPart_ != before) Invalidate();
  }
  TElXPThemedControl::MouseDown(Button, Shift, X, Y);
}

void TCustomElScrollBar::OnTimerTick(TObject*) {
  timer_->SetInterval(static_cast<unsigned>(GetKeybRepeatTiming(SPI_GETKEYBOARDSPEED)));
  if (pressedPart_ == spNone || pressedPart_ == spThumb) {
    timer_->SetEnabled(false);
    return;
  }
  TElScrollCode code;
  int proposal;
  PartAction(pressedPart_, code, proposal);
  if (pressedPart_ == spBackPage || pressedPart_ == spForwardPage) {
    POINT p = ClientCursor();
    if (GetHitTest(p.x, p.y) != pressedPart_) proposal = position_;
  }
  if (code != scCustomForwardSide && code != scCustomBackSide) proposal = Clamp(proposal, min_, max_);
  bool doChange = true;
  TriggerScrollEvent(code, proposal, doChange);
  if (doChange) SetPosition(proposal);
}

void TCustomElScrollBar::SetAlongThumbOffset(int v) {
  const int b = EffectiveButton();
  const int lo = b * BackButtons(), hi = Length() - b * ForwardButtons() - ThumbLength();
  thumbOffset_ = std::max(lo, std::min(v, hi));
}

void TCustomElScrollBar::MouseMove(TShiftState Shift, int X, int Y) {
  if (pressedPart_ == spNone) {
    TElScrollBarPart hot = GetHitTest(X, Y);
    if (hot != hotPart_) {
      hotPart_ = hot;
      Invalidate();
    }
  } else if (pressedPart_ == spThumb && thumbDrag_) {
    const int c = Horizontal() ? X : Y, across = Horizontal() ? Y : X;
    const int l = Length(), cross = CrossLength();
    const int reach = l / 2;
    const bool away = across < -reach || across >= cross + reach || c < -reach || c >= l + reach;
    const int old = thumbOffset_;
    if (away)
      thumbOffset_ = startOffset_;
    else
      SetAlongThumbOffset(c - grabOffset_);
    int track = TrackPosition();
    if (!noParentScrollMessages_ && Parent() && Parent()->HandleAllocated())
      ::SendMessageA(Parent()->Handle(), Horizontal() ? WM_HSCROLL : WM_VSCROLL,
                     MAKEWPARAM(SB_THUMBPOSITION, static_cast<WORD>(track)), reinterpret_cast<LPARAM>(Handle()));
    bool doChange = true;
    TriggerScrollEvent(scTrack, track, doChange);
    if (thumbOffset_ != old) {
      InvalidateTrack();
      if (hintWindow_ && showTrackHint_) ShowTrackHintNow();
    }
  } else if (pressedPart_ != spThumb) {
    // The repeat pauses while the pointer is off the pressed part.
    const bool on = GetHitTest(X, Y) == pressedPart_;
    if (on != timer_->Enabled()) timer_->SetEnabled(on);
  }
  TElXPThemedControl::MouseMove(Shift, X, Y);
}

void TCustomElScrollBar::EndScrolling() {
  if (pressedPart_ == spNone) return;
  timer_->SetEnabled(false);
  ReleaseMouse();
  const bool wasThumb = pressedPart_ == spThumb && thumbDrag_;
  pressedPart_ = spNone;
  thumbDrag_ = false;
  if (wasThumb) {
    delete hintWindow_;
    hintWindow_ = nullptr;
    int pos = TrackPosition();
    bool doChange = true;
    TriggerScrollEvent(scPosition, pos, doChange);
    if (doChange) {
      SetPosition(pos);
      TriggerChangeEvent();
    }
  } else {
    int pos = position_;
    bool doChange = true;
    TriggerScrollEvent(scEndScroll, pos, doChange);
    if (doChange) {
      SetPosition(pos);
      TriggerChangeEvent();
    }
  }
  UpdateThumbOffset();
  Invalidate();
}

void TCustomElScrollBar::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (Button == TMouseButton::mbLeft) EndScrolling();
  TElXPThemedControl::MouseUp(Button, Shift, X, Y);
}

void TCustomElScrollBar::CaptureLost() {
  if (releasing_ || pressedPart_ == spNone) return;
  savedCapture_ = nullptr;
  EndScrolling();
}

void TCustomElScrollBar::KeyDown(WORD& Key, TShiftState Shift) {
  if ((Shift & (ssShift | ssAlt | ssCtrl)) == 0) {
    TElScrollCode code;
    int proposal;
    switch (Key) {
      case VK_LEFT: case VK_UP: code = scLineBack, proposal = position_ - 1; break;
      case VK_RIGHT: case VK_DOWN: code = scLineForward, proposal = position_ + 1; break;
      case VK_PRIOR: code = scPageBack, proposal = position_ - page_; break;
      case VK_NEXT: code = scPageForward, proposal = position_ + page_; break;
      case VK_HOME: code = scFirst, proposal = min_; break;
      case VK_END: code = scLast, proposal = max_; break;
      default:
        TElXPThemedControl::KeyDown(Key, Shift);
        return;
    }
    proposal = Clamp(proposal, min_, max_);
    bool doChange = true;
    TriggerScrollEvent(code, proposal, doChange);
    if (doChange && proposal != position_) {
      SetPosition(proposal);
      TriggerChangeEvent();
    }
    Key = 0;
    return;
  }
  TElXPThemedControl::KeyDown(Key, Shift);
}

bool TCustomElScrollBar::DoMouseWheel(TShiftState Shift, int WheelDelta, POINT MousePos) {
  if (TElXPThemedControl::DoMouseWheel(Shift, WheelDelta, MousePos)) return true;
  UINT lines = 3;
  ::SystemParametersInfoA(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
  int steps;
  bool pages = lines == WHEEL_PAGESCROLL;
  if (pages) {
    // "One screen per notch": a page action for each notch.
    steps = WheelDelta / WHEEL_DELTA;
  } else {
    const int perNotch = Clamp(static_cast<int>(lines), 1, WHEEL_DELTA);
    steps = WheelDelta / (WHEEL_DELTA / perNotch);
  }
  for (int i = 0; i < std::abs(steps); ++i) {
    TElScrollCode code;
    int proposal;
    if (pages) {
      code = steps > 0 ? scPageBack : scPageForward;
      proposal = steps > 0 ? position_ - page_ : position_ + page_;
    } else {
      code = steps > 0 ? scLineBack : scLineForward;
      proposal = position_ - (steps > 0 ? 1 : -1);
    }
    proposal = Clamp(proposal, min_, max_);
    bool doChange = true;
    TriggerScrollEvent(code, proposal, doChange);
    if (!doChange) break;
    SetPosition(proposal);
  }
  int pos = position_;
  bool doChange = true;
  TriggerScrollEvent(scEndScroll, pos, doChange);
  return true;
}

// Messages -------------------------------------------------------------------------

void TCustomElScrollBar::CreateWnd() {
  TElXPThemedControl::CreateWnd();
  if (useSystemMetrics_ && IsThemeApplied()) ApplySystemMetrics();
  UpdateThumbOffset();
}

void TCustomElScrollBar::Dispatch(TMessage& m) {
  switch (m.Msg) {
    case SBM_GETSCROLLINFO: {
      auto* si = reinterpret_cast<SCROLLINFO*>(m.LParam);
      if (si && si->cbSize >= sizeof(SCROLLINFO)) {
        if (si->fMask & SIF_RANGE) si->nMin = min_, si->nMax = max_;
        if (si->fMask & SIF_PAGE) si->nPage = static_cast<UINT>(page_);
        if (si->fMask & SIF_POS) si->nPos = position_;
        if (si->fMask & SIF_TRACKPOS) si->nTrackPos = thumbDrag_ ? TrackPosition() : position_;
        m.Result = TRUE;
      } else {
        m.Result = FALSE;
      }
      return;
    }
    case SBM_SETSCROLLINFO: {
      auto* si = reinterpret_cast<const SCROLLINFO*>(m.LParam);
      if (si && si->cbSize >= sizeof(SCROLLINFO)) {
        // A range comes with its position or not at all: with a position
        // the range is taken and the position too when it lies inside
        // (else Max); without one the range is taken only when the current
        // position lies inside it. A position alone is taken only inside
        // the range. Nothing here fires OnScroll or OnChange.
        bool posDone = false;
        if ((si->fMask & SIF_RANGE) && si->nMax >= si->nMin) {
          if (si->fMask & SIF_POS) {
            min_ = si->nMin;
            max_ = si->nMax;
            position_ = si->nPos >= min_ && si->nPos <= max_ ? si->nPos : max_;
            posDone = true;
          } else if (position_ >= si->nMin && position_ <= si->nMax) {
            min_ = si->nMin;
            max_ = si->nMax;
          }
        }
        if (si->fMask & SIF_PAGE) page_ = static_cast<int>(std::min<UINT>(si->nPage, 0x7FFFFFFF));
        if ((si->fMask & SIF_POS) && !posDone && si->nPos >= min_ && si->nPos <= max_) position_ = si->nPos;
        UpdateThumbOffset();
        if (m.WParam) Invalidate();
      }
      m.Result = position_;
      return;
    }
    case WM_GETDLGCODE:
      TElXPThemedControl::Dispatch(m);
      m.Result = 1;
      return;
    case WM_ERASEBKGND:
      m.Result = 1;
      return;
    case WM_SIZE:
      TElXPThemedControl::Dispatch(m);
      UpdateThumbOffset();
      Invalidate();
      return;
    case WM_CAPTURECHANGED:
      TElXPThemedControl::Dispatch(m);
      if (HandleAllocated() && reinterpret_cast<HWND>(m.LParam) != Handle()) CaptureLost();
      return;
    case WM_CANCELMODE:
      TElXPThemedControl::Dispatch(m);
      if (pressedPart_ != spNone) EndScrolling();
      return;
    case CM_MOUSEENTER:
    case CM_MOUSELEAVE:
      if (m.LParam == 0) {
        mouseInside_ = m.Msg == CM_MOUSEENTER;
        if (!mouseInside_) hotPart_ = spNone;
        if ((flat_ && !activeFlat_) || IsThemeApplied() || !mouseInside_) Invalidate();
      }
      TElXPThemedControl::Dispatch(m);
      return;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      TElXPThemedControl::Dispatch(m);
      if ((flat_ && !activeFlat_) || IsThemeApplied()) Invalidate();
      return;
    case CM_ENABLEDCHANGED:
      TElXPThemedControl::Dispatch(m);
      if (IsThemeApplied()) Invalidate();
      return;
    case WM_SYSCOLORCHANGE:
    case CM_SYSCOLORCHANGE:
    case CM_COLORCHANGED:
      if (ownsBlend_) RefillBlendPattern();
      TElXPThemedControl::Dispatch(m);
      Invalidate();
      return;
    case CM_HINTSHOW: {
      auto* info = reinterpret_cast<THintInfo*>(m.LParam);
      if (wideHint_.empty()) {
        m.Result = 1;
        return;
      }
      if (info) {
        const bool shortOne = info->HintStr != TControl::Hint();
        info->HintStr = PackWideHint(shortOne ? GetShortHintW(wideHint_) : wideHint_);
      }
      m.Result = 0;
      return;
    }
    default:
      TElXPThemedControl::Dispatch(m);
  }
}

}  // namespace morvane
