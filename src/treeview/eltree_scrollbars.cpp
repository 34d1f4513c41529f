#include "treeview/eltree_scrollbars.h"

#include <algorithm>

#include "controls/elscrollbar.h"

namespace morvane {

TElTreeScrollBars::TElTreeScrollBars(TWinControl* Parent, TScrolled OnScrolled)
    : onScrolled_(std::move(OnScrolled)) {
  auto make = [&](bool vertical) {
    auto* b = new TElScrollBar(Parent);
    b->SetKind(vertical ? TScrollBarKind::sbVertical : TScrollBarKind::sbHorizontal);
    b->SetVisible(false);
    b->SetParent(Parent);
    // The tree moves itself and sets the bar's position back.
    // The bar turns its second button pair into line or page steps by its
    // SecondBtnKind; custom ones arrive as codes 9 and 10.
    b->OnScroll = [this, vertical](TObject*, TElScrollCode code, int& pos, bool& doChange) {
      doChange = false;
      if (onScrolled_) onScrolled_(vertical, code, pos);
    };
    return b;
  };
  horz_ = make(false);
  vert_ = make(true);
  horzStyles_ = std::make_unique<TElScrollBarStyles>(static_cast<TElScrollBar*>(horz_), Parent);
  vertStyles_ = std::make_unique<TElScrollBarStyles>(static_cast<TElScrollBar*>(vert_), Parent);
}

TWinControl* TElTreeScrollBars::Bar(bool Vertical) const { return Vertical ? vert_ : horz_; }

void TElTreeScrollBars::SetRange(bool Vertical, int Max, int Page, int Position) {
  auto* b = static_cast<TElScrollBar*>(Bar(Vertical));
  b->SetMax(std::max(0, Max));
  b->SetPage(std::max(1, Page));
  b->SetPosition(Position);
}

void TElTreeScrollBars::EndScrolling(bool Vertical) { static_cast<TElScrollBar*>(Bar(Vertical))->EndScrolling(); }

int TElTreeScrollBars::TrackPosition(bool Vertical) const {
  return static_cast<TElScrollBar*>(Bar(Vertical))->TrackPosition();
}

void TElTreeScrollBars::SetVertHint(std::function<std::wstring(int TrackPosition)> Hint) {
  static_cast<TElScrollBar*>(vert_)->OnScrollHintNeeded = [Hint = std::move(Hint)](TObject*, int track,
                                                                                    std::wstring& text) {
    if (Hint && text.empty()) text = Hint(track);
  };
}

void TElTreeScrollBars::SetHorzHint(std::function<void(int TrackPosition, std::wstring& Hint)> Hint) {
  static_cast<TElScrollBar*>(horz_)->OnScrollHintNeeded = [Hint = std::move(Hint)](TObject*, int track,
                                                                                    std::wstring& text) {
    if (Hint) Hint(track, text);
  };
}

void TElTreeScrollBars::SetDrawPart(bool Vertical, TDrawPart Draw) {
  static_cast<TElScrollBar*>(Bar(Vertical))->OnDrawPart =
      [Draw = std::move(Draw)](TObject*, TCanvas* c, RECT r, TElScrollBarPart part, bool enabled, bool focused,
                               bool pressed, bool& defaultDraw) {
        if (Draw) Draw(c, r, part, enabled, focused, pressed, defaultDraw);
      };
}

int TElTreeScrollBars::SecondBtnKind(bool Vertical) const {
  return static_cast<int>(static_cast<TElScrollBar*>(Bar(Vertical))->SecondBtnKind());
}

void TElTreeScrollBars::SetBarsEnabled(bool Value) {
  horz_->SetEnabled(Value);
  vert_->SetEnabled(Value);
}

}  // namespace morvane
