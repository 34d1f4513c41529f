// Painting of the scroll bar: each part in its rectangle along the bar,
// themed, classic or by the owner.
#include <algorithm>

#include "controls/elscrollbar.h"
#include "controls/elvclutils.h"

namespace morvane {
namespace {

// Visual-style parts and states of the scroll-bar class.
constexpr int SBP_ARROWBTN = 1, SBP_THUMBBTNHORZ = 2, SBP_THUMBBTNVERT = 3, SBP_LOWERTRACKHORZ = 4,
              SBP_UPPERTRACKHORZ = 5, SBP_LOWERTRACKVERT = 6, SBP_UPPERTRACKVERT = 7, SBP_GRIPPERHORZ = 8,
              SBP_GRIPPERVERT = 9;

void Fill(HDC dc, const RECT& r, TColor c) {
  FillSolidRect(dc, r.left, r.top, r.bottom - r.top, r.right - r.left, c);
}

}  // namespace

TColor TCustomElScrollBar::DarkerColor() const {
  if (Color() == clBtnFace) return clBtnShadow;
  const uint32_t hls = RGBtoHLS(Color());
  const int l = HLSLightness(hls);
  return HLStoRGB(MakeHLS(HLSHue(hls), l - l / 4, HLSSaturation(hls)));
}

TColor TCustomElScrollBar::LighterColor() const {
  if (Color() == clBtnFace) return clBtnHighlight;
  const uint32_t hls = RGBtoHLS(Color());
  const int l = HLSLightness(hls);
  return HLStoRGB(MakeHLS(HLSHue(hls), std::min(255, l + l / 4), HLSSaturation(hls)));
}

void TCustomElScrollBar::RefillBlendPattern() {
  if (!blend_) return;
  TCanvas* c = blend_->Canvas();
  const TColor light = LighterColor();
  for (int j = 0; j < 8; ++j)
    for (int i = 0; i < 8; ++i) c->SetPixels(i, j, (i + j) % 2 ? Color() : light);
}

bool TCustomElScrollBar::PartEnabled(TElScrollBarPart Part) const {
  if (!Enabled()) return false;
  auto* self = const_cast<TCustomElScrollBar*>(this);
  TElScrollCode code;
  int proposal;
  switch (Part) {
    case spBackArrow: return CanScrollBack();
    case spForwardArrow: return CanScrollForward();
    case spBackSecondary:
    case spForwardSecondary:
      return secondBtnKind_ == TElSecButtonsKind::sbkCustom || self->PartAction(Part, code, proposal);
    case spThumb: return max_ >= min_ + 1 && page_ < max_ - min_ + 1;
    default: return CanScrollBack() || CanScrollForward();
  }
}

bool TCustomElScrollBar::PartHot(TElScrollBarPart Part) const {
  return mouseInside_ && pressedPart_ == spNone && hotPart_ == Part;
}

bool TCustomElScrollBar::PartPressed(TElScrollBarPart Part) {
  if (pressedPart_ != Part) return false;
  if (Part == spThumb) return true;
  POINT p = ClientCursor();
  return GetHitTest(p.x, p.y) == Part;
}

void TCustomElScrollBar::Paint() {
  HDC dc = Canvas()->Handle();
  static const TElScrollBarPart order[] = {spBackArrow, spForwardArrow, spBackSecondary, spForwardSecondary,
                                           spBackPage, spThumb, spForwardPage};
  for (TElScrollBarPart part : order) {
    RECT r = PartRect(part);
    if (r.right <= r.left || r.bottom <= r.top) continue;
    if (ownerDraw_ && OnDrawPart) {
      bool defaultDraw = true;
      OnDrawPart(this, Canvas(), r, part, PartEnabled(part), Focused(), PartPressed(part), defaultDraw);
      if (!defaultDraw) continue;
    }
    PaintPart(dc, part, r);
  }
}

void TCustomElScrollBar::PaintPart(HDC DC, TElScrollBarPart Part, const RECT& R) {
  switch (Part) {
    case spThumb: PaintThumb(DC, R); break;
    case spBackPage:
    case spForwardPage: PaintPage(DC, Part, R); break;
    default: PaintButton(DC, Part, R); break;
  }
}

void TCustomElScrollBar::FillTrack(HDC DC, const RECT& R) {
  const bool sameAsFace = ::GetSysColor(COLOR_SCROLLBAR) == ::GetSysColor(COLOR_BTNFACE);
  if (blendBackground_ && blend_ && (!systemBkColor_ || sameAsFace)) {
    HBRUSH b = ::CreatePatternBrush(blend_->Handle());
    POINT old{};
    ::SetBrushOrgEx(DC, 0, 0, &old);
    ::FillRect(DC, &R, b);
    ::SetBrushOrgEx(DC, old.x, old.y, nullptr);
    ::DeleteObject(b);
  } else if (IsThemeApplied()) {
    COLORREF c = 0;
    if (SUCCEEDED(GetThemeColor(Theme(), SBP_LOWERTRACKHORZ, 1, 3821 /* TMT_FILLCOLOR */, &c)))
      Fill(DC, R, static_cast<TColor>(c));
    else
      Fill(DC, R, clScrollBar);
  } else {
    Fill(DC, R, systemBkColor_ ? clScrollBar : Color());
  }
}

void TCustomElScrollBar::PaintButton(HDC DC, TElScrollBarPart Part, const RECT& R) {
  const bool back = Part == spBackArrow || Part == spBackSecondary;
  const bool secondary = Part == spBackSecondary || Part == spForwardSecondary;
  // The way the button's action goes: a secondary button of the opposite
  // kind scrolls the other way.
  bool pointsBack = back;
  if (secondary && secondBtnKind_ == TElSecButtonsKind::sbkOpposite) pointsBack = !back;
  const int dir = Horizontal() ? (pointsBack ? 0 : 2) : (pointsBack ? 1 : 3);
  const bool enabled = noDisableButtons_ || PartEnabled(Part);
  const bool hot = PartHot(Part) && !activeFlat_;
  const bool pressed = PartPressed(Part);
  const bool twoArrows = secondary && secondBtnKind_ == TElSecButtonsKind::sbkPage;

  auto arrows = [&](const RECT& in, bool drawEnabled) {
    const TColor c = hot ? arrowHotTrackColor_ : arrowColor_;
    if (!twoArrows) {
      DrawArrow(Canvas(), dir, in, drawEnabled, c);
      return;
    }
    RECT a = in, b = in;
    if (Horizontal())
      ::OffsetRect(&a, -3, 0), ::OffsetRect(&b, 3, 0);
    else
      ::OffsetRect(&a, 0, -3), ::OffsetRect(&b, 0, 3);
    DrawArrow(Canvas(), dir, a, drawEnabled, c);
    DrawArrow(Canvas(), dir, b, drawEnabled, c);
  };

  if (IsThemeApplied()) {
    const int base = Horizontal() ? (pointsBack ? 9 : 13) : (pointsBack ? 1 : 5);
    const int state = !enabled ? 3 : pressed ? 2 : (mouseInside_ && pressedPart_ == spNone && hotPart_ == Part) ? 1 : 0;
    if (secondary) {
      DrawThemeBackground(Theme(), DC, Horizontal() ? SBP_THUMBBTNHORZ : SBP_THUMBBTNVERT, state + 1, &R, nullptr);
      arrows(R, enabled);
    } else {
      DrawThemeBackground(Theme(), DC, SBP_ARROWBTN, base + state, &R, nullptr);
    }
    return;
  }
  if (drawArrowFrames_) {
    Fill(DC, R, Color());
    const bool deep = !flat_ || (PartHot(Part) && !activeFlat_ && (enabled || noDisableButtons_));
    DrawButtonFrameEx(DC, R, deep, thinFrames_, Color(), pressed);
  } else {
    FillTrack(DC, R);
  }
  RECT in = R;
  if (pressed) ::OffsetRect(&in, 1, 1);
  arrows(in, enabled);
}

void TCustomElScrollBar::PaintThumb(HDC DC, const RECT& R) {
  const bool pressed = pressedPart_ == spThumb;
  if (IsThemeApplied()) {
    const int part = Horizontal() ? SBP_THUMBBTNHORZ : SBP_THUMBBTNVERT;
    const int state = !Enabled() ? 4 : pressed ? 3 : PartHot(spThumb) ? 2 : 1;
    DrawThemeBackground(Theme(), DC, part, state, &R, nullptr);
    if (drawBars_) {
      RECT content = R;
      GetThemeBackgroundContentRect(Theme(), DC, part, state, &R, &content);
      DrawThemeBackground(Theme(), DC, Horizontal() ? SBP_GRIPPERHORZ : SBP_GRIPPERVERT, state, &content, nullptr);
    }
    return;
  }
  Fill(DC, R, Color());
  const bool sunken = pressed && !noSunkenThumb_;
  if (drawFrames_) {
    const bool deep = (Focused() && !activeFlat_) || !flat_ ||
                      (mouseInside_ && !activeFlat_ && hotPart_ == spThumb && max_ >= min_ + 1 && page_ < max_ - min_);
    DrawButtonFrameEx(DC, R, deep, thinFrames_, Color(), sunken);
  }
  const int along = Horizontal() ? R.right - R.left : R.bottom - R.top;
  const int thick = Horizontal() ? R.bottom - R.top : R.right - R.left;
  const int inset = static_cast<int>(barOffset_) + (drawFrames_ ? 1 : 0);
  if (drawBars_ && along > 14 && thick >= 2 * inset + 3) {
    const int shift = sunken ? 1 : 0;
    const int centre = (Horizontal() ? R.left : R.top) + along / 2 + shift;
    for (int d : {-3, -1, 1, 3}) {
      RECT line = Horizontal() ? RECT{centre + d, R.top + inset + shift, centre + d + 1, R.bottom - inset + shift}
                               : RECT{R.left + inset + shift, centre + d, R.right - inset + shift, centre + d + 1};
      Fill(DC, line, barColor_);
    }
  }
}

void TCustomElScrollBar::PaintPage(HDC DC, TElScrollBarPart Part, const RECT& R) {
  const bool pressed = PartPressed(Part);
  if (IsThemeApplied()) {
    const int part = Horizontal() ? (Part == spBackPage ? SBP_LOWERTRACKHORZ : SBP_UPPERTRACKHORZ)
                                  : (Part == spBackPage ? SBP_LOWERTRACKVERT : SBP_UPPERTRACKVERT);
    const int state = !Enabled() ? 4 : pressed ? 3 : 1;
    DrawThemeBackground(Theme(), DC, part, state, &R, nullptr);
    return;
  }
  if (pressed && changeColorsOnScroll_)
    Fill(DC, R, DarkerColor());
  else
    FillTrack(DC, R);
}

}  // namespace morvane
