// The toolkit's own custom-drawn scroll bar: flat, themed or owner-drawn,
// with optional secondary buttons and a hint that shows the position while
// the thumb is dragged. Every scroll action is reported through OnScroll
// with a code and a proposed position, which the owner may change or veto.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "controls/elxpthemed.h"
#include "platform/ui/timers.h"

namespace morvane {

class TElHintWindow;

enum class TElScrollThumbMode { etmFixed, etmAuto };
enum class TElSecButtonsKind { sbkOpposite, sbkPage, sbkCustom };
enum TElScrollBarPart : uint8_t {
  spNone, spBackArrow, spForwardSecondary, spForwardArrow, spBackSecondary, spThumb, spBackPage, spForwardPage
};
enum TElScrollCode : uint8_t {
  scLineBack, scLineForward, scPageBack, scPageForward, scPosition, scTrack, scFirst, scLast, scEndScroll,
  scCustomForwardSide, scCustomBackSide
};

using TElScrollEvent =
    std::function<void(TObject* Sender, TElScrollCode ScrollCode, int& ScrollPos, bool& DoChange)>;
using TElScrollHitTestEvent =
    std::function<void(TObject* Sender, int X, int Y, TElScrollBarPart& Part, bool& DefaultTest)>;
using TElScrollHintNeededEvent = std::function<void(TObject* Sender, int TrackPosition, std::wstring& Hint)>;
using TElScrollDrawPartEvent = std::function<void(TObject* Sender, TCanvas* Canvas, RECT R, TElScrollBarPart Part,
                                                  bool Enabled, bool Focused, bool Pressed, bool& DefaultDraw)>;

class TCustomElScrollBar : public TElXPThemedControl {
 public:
  explicit TCustomElScrollBar(TComponent* AOwner);
  ~TCustomElScrollBar() override;

  TScrollBarKind Kind() const { return kind_; }
  void SetKind(TScrollBarKind v);
  int Position() const { return position_; }
  void SetPosition(int v);
  int Min() const { return min_; }
  void SetMin(int v);
  int Max() const { return max_; }
  void SetMax(int v);
  int Page() const { return page_; }
  void SetPage(int v);
  int Step() const { return step_; }
  void SetStep(int v) { step_ = v; }
  bool Flat() const { return flat_; }
  void SetFlat(bool v) { SetAndRepaint(flat_, v); }
  bool ActiveFlat() const { return activeFlat_; }
  void SetActiveFlat(bool v) { SetAndRepaint(activeFlat_, v); }
  // The effective size of an arrow button along the bar.
  int ButtonSize();
  void SetButtonSize(int v);
  TElScrollThumbMode ThumbMode() const { return thumbMode_; }
  void SetThumbMode(TElScrollThumbMode v);
  int ThumbSize() const { return thumbSize_; }
  void SetThumbSize(int v);
  int MinThumbSize() const { return minThumbSize_; }
  void SetMinThumbSize(int v);
  bool SecondaryButtons() const { return secondaryButtons_; }
  void SetSecondaryButtons(bool v) { SetGeometry(secondaryButtons_, v); }
  TElSecButtonsKind SecondBtnKind() const { return secondBtnKind_; }
  void SetSecondBtnKind(TElSecButtonsKind v);
  bool ShowLeftArrows() const { return showLeftArrows_; }
  void SetShowLeftArrows(bool v) { SetGeometry(showLeftArrows_, v); }
  bool ShowRightArrows() const { return showRightArrows_; }
  void SetShowRightArrows(bool v) { SetGeometry(showRightArrows_, v); }
  bool NoDisableButtons() const { return noDisableButtons_; }
  void SetNoDisableButtons(bool v) { SetAndRepaint(noDisableButtons_, v); }
  bool AltDisablingArrows() const { return altDisablingArrows_; }
  void SetAltDisablingArrows(bool v) { SetAndRepaint(altDisablingArrows_, v); }
  bool NoSunkenThumb() const { return noSunkenThumb_; }
  void SetNoSunkenThumb(bool v) { SetAndRepaint(noSunkenThumb_, v); }
  bool ShowTrackHint() const { return showTrackHint_; }
  void SetShowTrackHint(bool v) { showTrackHint_ = v; }
  bool OwnerDraw() const { return ownerDraw_; }
  void SetOwnerDraw(bool v) { SetAndRepaint(ownerDraw_, v); }
  bool UseSystemMetrics() const { return useSystemMetrics_; }
  void SetUseSystemMetrics(bool v);
  bool BlendBackground() const { return blendBackground_; }
  void SetBlendBackground(bool v) { SetAndRepaint(blendBackground_, v); }
  bool SystemBkColor() const { return systemBkColor_; }
  void SetSystemBkColor(bool v) { SetAndRepaint(systemBkColor_, v); }
  bool ChangeColorsOnScroll() const { return changeColorsOnScroll_; }
  void SetChangeColorsOnScroll(bool v) { SetAndRepaint(changeColorsOnScroll_, v); }
  bool DrawFrames() const { return drawFrames_; }
  void SetDrawFrames(bool v) { SetAndRepaint(drawFrames_, v); }
  bool DrawArrowFrames() const { return drawArrowFrames_; }
  void SetDrawArrowFrames(bool v) { SetAndRepaint(drawArrowFrames_, v); }
  bool ThinFrames() const { return thinFrames_; }
  void SetThinFrames(bool v) { SetAndRepaint(thinFrames_, v); }
  bool DrawBars() const { return drawBars_; }
  void SetDrawBars(bool v) { SetAndRepaint(drawBars_, v); }
  uint32_t BarOffset() const { return barOffset_; }
  void SetBarOffset(uint32_t v);
  TColor BarColor() const { return barColor_; }
  void SetBarColor(TColor v) { SetAndRepaint(barColor_, v); }
  TColor ArrowColor() const { return arrowColor_; }
  void SetArrowColor(TColor v) { SetAndRepaint(arrowColor_, v); }
  TColor ArrowHotTrackColor() const { return arrowHotTrackColor_; }
  void SetArrowHotTrackColor(TColor v) { SetAndRepaint(arrowHotTrackColor_, v); }
  TColor HintColor() const { return hintColor_; }
  void SetHintColor(TColor v) { hintColor_ = v; }
  TColor HintTextColor() const { return hintTextColor_; }
  void SetHintTextColor(TColor v) { hintTextColor_ = v; }
  bool NoParentScrollMessages() const { return noParentScrollMessages_; }
  void SetNoParentScrollMessages(bool v) { noParentScrollMessages_ = v; }
  const std::wstring& Hint() const { return wideHint_; }
  void SetHint(const std::wstring& v);

  // Geometry (client coordinates along the bar).
  int ThumbOffset() const { return thumbOffset_; }
  int ThumbLength();
  int TrackPosition();
  RECT PartRect(TElScrollBarPart Part);
  TElScrollBarPart GetHitTest(int X, int Y);
  TElScrollBarPart PressedPart() const { return pressedPart_; }
  TElScrollBarPart HotPart() const { return hotPart_; }
  bool Scrolling() const { return pressedPart_ != spNone; }
  // Stops a running mouse action as a button release does.
  void EndScrolling();
  TElHintWindow* TrackHintWindow() const { return hintWindow_; }
  // The auto-repeat timer of button and page presses.
  TTimer* RepeatTimer() const { return timer_; }

  TNotifyEvent OnChange;
  TElScrollEvent OnScroll;
  TElScrollHitTestEvent OnHitTest;
  TElScrollHintNeededEvent OnScrollHintNeeded;
  TElScrollDrawPartEvent OnDrawPart;

  virtual void TriggerChangeEvent();
  virtual void TriggerScrollEvent(TElScrollCode ScrollCode, int& ScrollPos, bool& DoChange);
  virtual void TriggerScrollHintNeededEvent(int TrackPosition, std::wstring& Hint);
  virtual void TriggerHitTestEvent(int X, int Y, TElScrollBarPart& Part, bool& DefaultTest);

 protected:
  std::wstring GetThemedClassName() const override { return L"SCROLLBAR"; }
  void CreateWnd() override;
  void Loaded() override;
  void Paint() override;
  void Dispatch(TMessage& Message) override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void KeyDown(WORD& Key, TShiftState Shift) override;
  bool DoMouseWheel(TShiftState Shift, int WheelDelta, POINT MousePos) override;
  std::string ClassName() const override { return "TCustomElScrollBar"; }

 private:
  template <class T>
  void SetAndRepaint(T& field, T v) {
    if (field == v) return;
    field = v;
    Invalidate();
  }
  void SetGeometry(bool& field, bool v) {
    if (field == v) return;
    field = v;
    UpdateThumbOffset();
    Invalidate();
  }
  bool Horizontal() const { return kind_ == TScrollBarKind::sbHorizontal; }
  bool Loading() const { return HasState(csLoading) || (Owner() && Owner()->HasState(csLoading)); }
  int Length();
  int CrossLength();
  int BackButtons() const;
  int ForwardButtons() const;
  int EffectiveButton();
  int SystemThumbSize() const;
  void UpdateThumbOffset();
  int OffsetForPosition(int Pos);
  void ApplySystemMetrics();
  bool CanScrollBack() const;
  bool CanScrollForward() const;
  // The action of a part: its code, proposal and whether it can scroll.
  bool PartAction(TElScrollBarPart Part, TElScrollCode& Code, int& Proposal);
  void DoAction(TElScrollBarPart Part, bool FireChange);
  void OnTimerTick(TObject* Sender);
  void InvalidateTrack();
  void ShowTrackHintNow();
  void ReleaseMouse();
  void SetAlongThumbOffset(int v);
  POINT ClientCursor();
  void CaptureLost();

  // Painting (elscrollbar_paint.cpp).
  void PaintPart(HDC DC, TElScrollBarPart Part, const RECT& R);
  void PaintButton(HDC DC, TElScrollBarPart Part, const RECT& R);
  void PaintThumb(HDC DC, const RECT& R);
  void PaintPage(HDC DC, TElScrollBarPart Part, const RECT& R);
  void FillTrack(HDC DC, const RECT& R);
  bool PartEnabled(TElScrollBarPart Part) const;
  bool PartHot(TElScrollBarPart Part) const;
  bool PartPressed(TElScrollBarPart Part);
  TColor DarkerColor() const;
  TColor LighterColor() const;
  void RefillBlendPattern();

  TScrollBarKind kind_ = TScrollBarKind::sbHorizontal;
  int position_ = 0, min_ = 0, max_ = 100, page_ = 14, step_ = 1;
  bool flat_ = true, activeFlat_ = false;
  int buttonSize_ = 0;
  TElScrollThumbMode thumbMode_ = TElScrollThumbMode::etmAuto;
  int thumbSize_ = 0, minThumbSize_ = 4;
  bool secondaryButtons_ = false;
  TElSecButtonsKind secondBtnKind_ = TElSecButtonsKind::sbkOpposite;
  bool showLeftArrows_ = true, showRightArrows_ = true;
  bool noDisableButtons_ = false, altDisablingArrows_ = false, noSunkenThumb_ = false;
  bool showTrackHint_ = false, ownerDraw_ = false, useSystemMetrics_ = true;
  bool blendBackground_ = true, systemBkColor_ = true, changeColorsOnScroll_ = true;
  bool drawFrames_ = true, drawArrowFrames_ = true, thinFrames_ = false, drawBars_ = true;
  uint32_t barOffset_ = 2;
  TColor barColor_ = clBtnShadow, arrowColor_ = clBtnText, arrowHotTrackColor_ = clHighlight;
  TColor hintColor_ = clInfoBk, hintTextColor_ = clInfoText;
  bool noParentScrollMessages_ = false;
  std::wstring wideHint_;

  TElScrollBarPart pressedPart_ = spNone;
  TElScrollBarPart hotPart_ = spNone;
  bool canScroll_ = false;      // the running button or page action can scroll
  bool thumbDrag_ = false;      // the thumb is being dragged
  int thumbOffset_ = 0;
  int grabOffset_ = 0;
  int startPosition_ = 0;
  int startOffset_ = 0;
  POINT pressPoint_{};
  HWND savedCapture_ = nullptr;
  bool releasing_ = false;
  bool mouseInside_ = false;
  TTimer* timer_ = nullptr;
  TElHintWindow* hintWindow_ = nullptr;
  std::shared_ptr<TBitmap> blend_;
  bool ownsBlend_ = false;
};

class TElScrollBar : public TCustomElScrollBar {
 public:
  using TCustomElScrollBar::TCustomElScrollBar;

 protected:
  std::string ClassName() const override { return "TElScrollBar"; }
};

}  // namespace morvane
