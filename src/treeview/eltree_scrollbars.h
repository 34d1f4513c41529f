// The two custom scroll bars of a tree window and their style objects.
#pragma once

#include <functional>
#include <memory>

#include "controls/elscrollbarstyles.h"
#include "platform/ui/controls.h"

namespace morvane {

class TElTreeScrollBars {
 public:
  // Code is the bar's scroll code (0 to 10), Pos its proposed position.
  using TScrolled = std::function<void(bool Vertical, int Code, int Pos)>;
  // The bars are owned by Parent (as components) and start hidden.
  TElTreeScrollBars(TWinControl* Parent, TScrolled OnScrolled);
  TWinControl* Bar(bool Vertical) const;
  void SetRange(bool Vertical, int Max, int Page, int Position);
  void EndScrolling(bool Vertical);
  void SetBarsEnabled(bool Value);
  // Where the thumb is being dragged to, or the position when it is not.
  int TrackPosition(bool Vertical) const;
  // The hint shown beside the vertical thumb while it is dragged.
  void SetVertHint(std::function<std::wstring(int TrackPosition)> Hint);
  // The horizontal bar's thumb hint: Hint fills the text (empty: none).
  void SetHorzHint(std::function<void(int TrackPosition, std::wstring& Hint)> Hint);
  // A bar part about to be drawn (Part is the bar's part number); the
  // handler clears DefaultDraw when it drew the part itself.
  using TDrawPart = std::function<void(TCanvas* Canvas, RECT R, int Part, bool Enabled, bool Focused, bool Pressed,
                                       bool& DefaultDraw)>;
  void SetDrawPart(bool Vertical, TDrawPart Draw);
  // What the bar's second button pair does (the bar's TElSecButtonsKind as
  // a number: 0 the opposite arrow, 1 a page, 2 the owner's own codes).
  int SecondBtnKind(bool Vertical) const;
  // The look of each bar as the grid publishes it.
  TElScrollBarStyles* Styles(bool Vertical) const { return Vertical ? vertStyles_.get() : horzStyles_.get(); }

 private:
  TWinControl* horz_;
  TWinControl* vert_;
  TScrolled onScrolled_;
  std::unique_ptr<TElScrollBarStyles> horzStyles_, vertStyles_;
};

}  // namespace morvane
