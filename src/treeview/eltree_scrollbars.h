// The two custom scroll bars of a tree window, behind a small interface:
// the bar control's scroll event type and the tree's share one name, so the
// bars are reached only from here.
#pragma once

#include <functional>
#include <memory>

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

 private:
  TWinControl* horz_;
  TWinControl* vert_;
  TScrolled onScrolled_;
};

}  // namespace morvane
