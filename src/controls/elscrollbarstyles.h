// The look of one scroll bar as a nested property bag of its owner. It holds
// no values of its own: every property reads and writes the scroll bar.
#pragma once

#include "controls/elscrollbar.h"
#include "platform/core/exceptions.h"

namespace morvane {

MORVANE_EXCEPTION(EElScrollBarError, Exception);

class TElScrollBarStyles : public TPersistent {
 public:
  // Raises when either is missing.
  TElScrollBarStyles(TElScrollBar* ScrollBar, TComponent* Owner);

  TElScrollBar* ScrollBar() const { return bar_; }
  void Assign(TPersistent* Source) override;

  bool ActiveFlat() const { return bar_->ActiveFlat(); }
  void SetActiveFlat(bool v) { bar_->SetActiveFlat(v); }
  bool BlendBackground() const { return bar_->BlendBackground(); }
  void SetBlendBackground(bool v) { bar_->SetBlendBackground(v); }
  TColor Color() const { return bar_->Color(); }
  void SetColor(TColor v) { bar_->SetColor(v); }
  bool Flat() const { return bar_->Flat(); }
  void SetFlat(bool v) { bar_->SetFlat(v); }
  int MinThumbSize() const { return bar_->MinThumbSize(); }
  void SetMinThumbSize(int v) { bar_->SetMinThumbSize(v); }
  bool NoDisableButtons() const { return bar_->NoDisableButtons(); }
  void SetNoDisableButtons(bool v) { bar_->SetNoDisableButtons(v); }
  bool NoSunkenThumb() const { return bar_->NoSunkenThumb(); }
  void SetNoSunkenThumb(bool v) { bar_->SetNoSunkenThumb(v); }
  bool OwnerDraw() const { return bar_->OwnerDraw(); }
  void SetOwnerDraw(bool v) { bar_->SetOwnerDraw(v); }
  bool SecondaryButtons() const { return bar_->SecondaryButtons(); }
  void SetSecondaryButtons(bool v) { bar_->SetSecondaryButtons(v); }
  TElSecButtonsKind SecondBtnKind() const { return bar_->SecondBtnKind(); }
  void SetSecondBtnKind(TElSecButtonsKind v) { bar_->SetSecondBtnKind(v); }
  bool ShowLeftArrows() const { return bar_->ShowLeftArrows(); }
  void SetShowLeftArrows(bool v) { bar_->SetShowLeftArrows(v); }
  bool ShowRightArrows() const { return bar_->ShowRightArrows(); }
  void SetShowRightArrows(bool v) { bar_->SetShowRightArrows(v); }
  bool ShowTrackHint() const { return bar_->ShowTrackHint(); }
  void SetShowTrackHint(bool v) { bar_->SetShowTrackHint(v); }
  TElScrollThumbMode ThumbMode() const { return bar_->ThumbMode(); }
  void SetThumbMode(TElScrollThumbMode v) { bar_->SetThumbMode(v); }
  int ThumbSize() const { return bar_->ThumbSize(); }
  void SetThumbSize(int v) { bar_->SetThumbSize(v); }
  // The bar's thickness.
  int Width() const;
  void SetWidth(int v);
  int ButtonSize() const { return bar_->ButtonSize(); }
  void SetButtonSize(int v) { bar_->SetButtonSize(v); }
  bool UseSystemMetrics() const { return bar_->UseSystemMetrics(); }
  void SetUseSystemMetrics(bool v);
  TColor ArrowColor() const { return bar_->ArrowColor(); }
  void SetArrowColor(TColor v) { bar_->SetArrowColor(v); }
  TColor ArrowHotTrackColor() const { return bar_->ArrowHotTrackColor(); }
  void SetArrowHotTrackColor(TColor v) { bar_->SetArrowHotTrackColor(v); }
  bool DrawFrames() const { return bar_->DrawFrames(); }
  void SetDrawFrames(bool v) { bar_->SetDrawFrames(v); }
  bool DrawArrowFrames() const { return bar_->DrawArrowFrames(); }
  void SetDrawArrowFrames(bool v) { bar_->SetDrawArrowFrames(v); }
  bool DrawBars() const { return bar_->DrawBars(); }
  void SetDrawBars(bool v) { bar_->SetDrawBars(v); }
  uint32_t BarOffset() const { return bar_->BarOffset(); }
  void SetBarOffset(uint32_t v) { bar_->SetBarOffset(v); }
  TColor BarColor() const { return bar_->BarColor(); }
  void SetBarColor(TColor v) { bar_->SetBarColor(v); }
  bool ThinFrames() const { return bar_->ThinFrames(); }
  void SetThinFrames(bool v) { bar_->SetThinFrames(v); }
  TColor HintColor() const { return bar_->HintColor(); }
  void SetHintColor(TColor v) { bar_->SetHintColor(v); }
  TColor HintTextColor() const { return bar_->HintTextColor(); }
  void SetHintTextColor(TColor v) { bar_->SetHintTextColor(v); }
  bool SystemBkColor() const { return bar_->SystemBkColor(); }
  void SetSystemBkColor(bool v) { bar_->SetSystemBkColor(v); }
  bool UseXPThemes() const { return bar_->UseXPThemes(); }
  void SetUseXPThemes(bool v) { bar_->SetUseXPThemes(v); }

  TNotifyEvent OnChange;

 protected:
  std::string ClassName() const override { return "TElScrollBarStyles"; }

 private:
  void Changed() {
    if (OnChange) OnChange(this);
  }
  TElScrollBar* bar_;
  TComponent* owner_;
};

}  // namespace morvane
