// TElTreeView: the geometry of the tree's inner view: the rows on screen,
// the top row and horizontal position, row rectangles, the hit test, the
// scroll-bar and wheel handling. The window that paints and takes input
// stands on it; without one it works on the port's client size.
#pragma once

#include <memory>

#include "treeview/eltreedefs.h"

namespace morvane {

class TElTreeInput;

class TElTreeView {
 public:
  explicit TElTreeView(TCustomElTree* Tree);
  ~TElTreeView();
  TElTreeView(const TElTreeView&) = delete;
  TElTreeView& operator=(const TElTreeView&) = delete;

  // The items of the rows on screen, top to bottom.
  TElList& VisibleRows() { return visibleRows_; }
  const TElList& VisibleRows() const { return visibleRows_; }
  int ClientWidth() const;
  int ClientHeight() const;

  TElRect RowRect(int Index) const;
  TElTreeItem* RowAt(int Y) const;
  TElTreeItem* HitTest(int X, int Y, int& SectionIndex, TElHitPart& Part) const;
  int RowsHeight() const;
  int RowsThatFit() const;
  int FullRowsThatFit() const;
  void FillVisibleRows(int From);
  void SetTopRow(int Index);
  void SetHPosition(int Position);
  int PageUpTarget(int Index) const;
  int PageDownTarget(int Index) const;
  // The widest tree part over all rows that can be shown.
  int ComputeLongestRowWidth() const;

  // The scroll bars' scroll events (codes 0 to 10) and the mouse wheel.
  void OnHScroll(int ScrollCode, int ScrollPos);
  void OnVScroll(int ScrollCode, int ScrollPos);
  void MouseWheel(int Delta, int ScreenX, int ScreenY);

  // Repaints what the marks say is dirty (or only keeps the marks without a
  // window).
  void RepaintDirty();
  // The focus-selection step of a focus change.
  void ToggleSelectionStep(TElTreeItem* Item);
  // The row a navigation key (VK_UP, VK_DOWN, VK_PRIOR, VK_NEXT, VK_HOME,
  // VK_END) moves the focus to; null when there is none for the key.
  TElTreeItem* NavigationTarget(int Key, int& RowIndex, bool& TargetSelected);
  // After Item was expanded: scrolls its new child rows into view, never
  // Item itself off the top.
  void EnsureExpandedVisible(TElTreeItem* Item);

  // The mouse and key handling of the view window (its messages go to
  // Input().HandleMessage).
  TElTreeInput& Input();
  // An item is going away: the input handling drops its references.
  void InputItemForgotten(TElTreeItem* Item);

 private:
  TCustomElTree* tree_;
  TElList visibleRows_;
  bool scrollToggle_ = false;
  // Created on first use; shared_ptr so that this header needs no definition.
  std::shared_ptr<TElTreeInput> input_;
};

}  // namespace morvane
