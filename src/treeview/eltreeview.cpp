#include "treeview/eltreeview.h"

#include <algorithm>

#include "treeview/eltree.h"
#include "treeview/eltree_input.h"
#include "treeview/eltree_bracket.h"

namespace morvane {

TElTreeView::TElTreeView(TCustomElTree* Tree) : tree_(Tree) {}
TElTreeView::~TElTreeView() = default;

int TElTreeView::ClientWidth() const { return tree_->port_->ClientWidth(); }
int TElTreeView::ClientHeight() const { return tree_->port_->ClientHeight(); }

TElRect TElTreeView::RowRect(int Index) const {
  if (Index < 0 || Index >= visibleRows_.Count() || tree_->IsDestroying()) return {};
  int h = tree_->lineHeight_;
  return {0, Index * h, ClientWidth(), Index * h + h};
}

TElTreeItem* TElTreeView::RowAt(int Y) const {
  if (Y < 0) return nullptr;
  int row = Y / tree_->lineHeight_;
  return row < visibleRows_.Count() ? static_cast<TElTreeItem*>(visibleRows_.Get(row)) : nullptr;
}

int TElTreeView::RowsHeight() const { return visibleRows_.Count() * tree_->lineHeight_; }

int TElTreeView::RowsThatFit() const {
  int h = tree_->lineHeight_;
  return (ClientHeight() + h - 1) / h;
}

int TElTreeView::FullRowsThatFit() const { return ClientHeight() / tree_->lineHeight_; }

void TElTreeView::FillVisibleRows(int From) {
  visibleRows_.Clear();
  const TElList& flat = tree_->allItems_;
  const int height = ClientHeight();
  const int lh = tree_->lineHeight_;
  int vis = 0, used = 0, first = 0;
  if (tree_->RowsAreFlat()) vis = first = std::max(0, From);
  for (int i = first; i < flat.Count();) {
    auto* it = static_cast<TElTreeItem*>(flat.List()[i]);
    if (tree_->filteredVisibility_ && it->Hidden()) {
      i = tree_->FlatIndexOf(it->LastDescendant()) + 1;
      continue;
    }
    if (vis >= From) {
      // A row that starts exactly at the bottom edge still counts.
      if (used > height) break;
      visibleRows_.Add(it);
      used += lh;
    }
    ++vis;
    i = tree_->SkipsSubtree(it) ? tree_->FlatIndexOf(it->LastDescendant()) + 1 : i + 1;
  }
}

void TElTreeView::SetTopRow(int Index) {
  TTreeBracket b(tree_);
  tree_->hotTrack_ = nullptr;
  if (tree_->IsLoading()) {
    tree_->topIndex_ = Index;
    return;
  }
  if (tree_->visibleRowCount_ == 0) tree_->CountVisibleRows();
  // One row of blank space may show below the last row at the end.
  int lastTop = tree_->visibleRowCount_ - FullRowsThatFit() + 1;
  Index = std::clamp(Index, 0, std::max(0, lastTop));
  if (Index != tree_->topIndex_) {
    tree_->MarkRows();
    tree_->MarkFullRepaint();
    tree_->MarkUpdate();
    FillVisibleRows(Index);
    tree_->topIndex_ = Index;
    if (Index == 0 && tree_->allItems_.Count() == 0)
      tree_->lastIndex_ = 0;
    else
      tree_->lastIndex_ = visibleRows_.Count() + Index - 1;
  }
  tree_->port_->ScrollBarChanged(TElScrollBarKind::sbVertical,
                                 std::max(0, tree_->visibleRowCount_ - 1),
                                 std::max(1, FullRowsThatFit() - 1), tree_->topIndex_,
                                 tree_->vertBarVisible_);
  tree_->DoScroll(TElScrollBarKind::sbVertical, 0);
}

void TElTreeView::SetHPosition(int Position) {
  TTreeBracket b(tree_);
  if (tree_->IsLoading()) {
    tree_->leftPosition_ = Position;
    return;
  }
  int longest = tree_->treePartWidth_;
  Position = std::min(Position, longest - ClientWidth());
  Position = std::max(Position, 0);
  if (Position != tree_->leftPosition_) {
    tree_->leftPosition_ = Position;
    tree_->header_->SetLeftPos(Position);
    tree_->MarkFullRepaint();
    tree_->MarkRepaint();
    tree_->MarkUpdate();
    tree_->port_->ScrollBarChanged(TElScrollBarKind::sbHorizontal, std::max(0, longest),
                                   ClientWidth() + 1, Position, tree_->horzBarVisible_);
  }
  tree_->DoScroll(TElScrollBarKind::sbHorizontal, 0);
}

int TElTreeView::PageUpTarget(int Index) const {
  if (Index <= 0 || tree_->allItems_.Count() == 0) return 0;
  int lh = tree_->lineHeight_;
  int rows = std::max(1, ClientHeight() / lh);
  return std::max(0, Index - rows + 1);
}

int TElTreeView::PageDownTarget(int Index) const {
  int lh = tree_->lineHeight_;
  int rows = std::max(1, ClientHeight() / lh);
  if (tree_->visibleRowCount_ == 0) tree_->CountVisibleRows();
  return std::min(std::max(0, tree_->visibleRowCount_ - 1), Index + rows - 1);
}

int TElTreeView::ComputeLongestRowWidth() const {
  int best = 0;
  const TElList& flat = tree_->allItems_;
  for (int i = 0; i < flat.Count();) {
    auto* it = static_cast<TElTreeItem*>(flat.List()[i]);
    if (tree_->filteredVisibility_ && it->Hidden()) {
      i = tree_->FlatIndexOf(it->LastDescendant()) + 1;
      continue;
    }
    best = std::max(best, it->GetTreePartWidth());
    i = tree_->SkipsSubtree(it) ? tree_->FlatIndexOf(it->LastDescendant()) + 1 : i + 1;
  }
  return best;
}

namespace {

// Where a scroll code (0 to 7) moves a position: a line or a page back or
// forward, the thumb's position (while dragging only with Tracking), the
// start or the end; false for a code that moves nothing.
bool ScrollTarget(int Code, int Given, int Current, int Line, int PageBack, int PageForward, int End, bool Tracking,
                  int& Target) {
  switch (Code) {
    case 0: Target = Current - Line; return true;
    case 1: Target = Current + Line; return true;
    case 2: Target = Current - PageBack; return true;
    case 3: Target = Current + PageForward; return true;
    case 5:
      if (!Tracking) return false;
      [[fallthrough]];
    case 4: Target = Given; return true;
    case 6: Target = 0; return true;
    case 7: Target = End; return true;
    default: return false;
  }
}

}  // namespace

void TElTreeView::OnHScroll(int ScrollCode, int ScrollPos) {
  IElTreeViewPort& port = *tree_->port_;
  if (port.EditorActive()) port.EndEdit(true);
  const int vw = ClientWidth();
  int pos;
  if (!ScrollTarget(ScrollCode, ScrollPos, tree_->leftPosition_, 4, vw / 2, vw / 2, tree_->treePartWidth_,
                    tree_->ScrollTracking, pos))
    return;
  SetHPosition(pos);
}

void TElTreeView::OnVScroll(int ScrollCode, int ScrollPos) {
  IElTreeViewPort& port = *tree_->port_;
  if (port.EditorActive()) {
    // Every first event only ends the bar's scrolling; the second ends the
    // edit (keeping its text) and scrolls.
    scrollToggle_ = !scrollToggle_;
    if (scrollToggle_) {
      port.EndBarScrolling(TElScrollBarKind::sbVertical);
      return;
    }
    if (ScrollCode != 8) port.EndEdit(true);
  }
  const int top = tree_->topIndex_;
  // Paging counts the partly shown row, so one partial row still pages.
  const int fit = RowsThatFit();
  int forward = fit - 1;
  if (forward == 0 && visibleRows_.Count() == 1 && tree_->visibleRowCount_ != 1) ++forward;
  int pos;
  if (!ScrollTarget(ScrollCode, ScrollPos, top, 1, std::min(top, fit - 1), forward, tree_->visibleRowCount_,
                    tree_->ScrollTracking, pos))
    return;
  SetTopRow(pos);
}

void TElTreeView::MouseWheel(int Delta, int ScreenX, int ScreenY) {
  IElTreeViewPort& port = *tree_->port_;
  unsigned lines = port.WheelScrollLines();
  int steps;
  if (lines == kWheelPageScroll) {
    steps = Delta / 120 * std::max(1, FullRowsThatFit());
  } else {
    if (lines == 0) lines = 1;
    int divisor = std::max(1, static_cast<int>(120 / std::min(lines, 120u)));
    steps = Delta / divisor;
  }
  // The message carries screen coordinates.
  int x = ScreenX, y = ScreenY;
  port.ScreenToClient(x, y);
  if (steps != 0) {
    // A running frame follows the rows it scrolled over.
    if (input_ && input_->FrameSelecting())
      input_->FrameScrolled(tree_->topIndex_ - steps, x, y);
    else
      SetTopRow(tree_->topIndex_ - steps);
  }
  port.MouseMoveAt(x, y);
}

void TElTreeView::RepaintDirty() {
  IElTreeViewPort& port = *tree_->port_;
  if (!port.HandleAllocated()) {
    tree_->MarkUpdate();
    return;
  }
  if (!tree_->repaintPending_ && !tree_->fullRepaintPending_) return;
  if (tree_->fullRepaintPending_ || (tree_->verticalLines_ && tree_->showColumns_)) {
    tree_->fullRepaintPending_ = false;
    port.Invalidate();
  } else {
    port.InvalidateRect({0, 0, ClientWidth(), RowsHeight()});
  }
  tree_->repaintPending_ = false;
  port.Update();
}

void TElTreeView::ToggleSelectionStep(TElTreeItem* Item) {
  TCustomElTree* t = tree_;
  if (!t->multiSelect_) {
    if (TElTreeItem* old = t->anchor_) {
      old->SetSelectedBits(false);
      old->RedrawItem(true);
      t->anchor_ = nullptr;
      t->selectionChanged_ = true;
      t->DoItemSelectedChange(old);
    }
    if (Item) {
      Item->SetSelectedBits(true);
      t->anchor_ = Item;
      t->selectionChanged_ = true;
      t->DoItemSelectedChange(Item);
      Item->RedrawItem(true);
    }
    return;
  }
  if (!Item) return;
  TElList& sel = *t->selectedItems_;
  if (t->multiSelectLevel_ >= 0) {
    int firstLevel = sel.Count() ? static_cast<TElTreeItem*>(sel.Get(0))->Level()
                                 : t->multiSelectLevel_;
    if (Item->Level() != t->multiSelectLevel_ || firstLevel != t->multiSelectLevel_)
      t->DeselectAllItems(true);
  }
  if (Item->Selected()) {
    Item->SetSelectedBits(false);
    sel.Remove(Item);
    if (t->anchor_ == Item) t->anchor_ = nullptr;
  } else {
    if (t->KeepSelectionWithinLevel && sel.Count() && sel.Get(0) != Item &&
        static_cast<TElTreeItem*>(sel.Get(0))->Level() != Item->Level())
      return;
    Item->SetSelectedBits(true);
    sel.Add(Item);
  }
  t->selectionChanged_ = true;
  t->DoItemSelectedChange(Item);
  Item->RedrawItem(true);
}

TElTreeItem* TElTreeView::HitTest(int X, int Y, int& SectionIndex, TElHitPart& Part) const {
  // Callers always get a defined column.
  SectionIndex = -1;
  Part = hpNowhere;
  TElTreeItem* item = RowAt(Y);
  if (!item) return nullptr;
  const TCustomElTree* t = tree_;
  int x = X + t->leftPosition_;
  TElHitPart basePart = hpNowhere;
  if (t->showColumns_) {
    const TElHeaderSections& secs = t->HeaderSections();
    for (int i = 0; i < secs.Count(); ++i) {
      TElHeaderSection* s = secs.GetSection(i);
      if (!s || !s->Visible() || !(s->Left() <= x && x < s->Right())) continue;
      SectionIndex = i;
      if (i != t->mainTreeColumn_) {
        Part = hpColumn;
        return item;
      }
      basePart = hpMainCell;
      break;
    }
  }
  Part = basePart;
  // A row that was never painted has no text rectangle to hit.
  const TElRect& tr = item->TextRect;
  if (tr.Left == 0 && tr.Right == 0 && tr.Top == 0 && tr.Bottom == 0) return item;
  const int third = t->itemIndent_ / 3;
  const bool checkBox = t->showCheckboxes_ && item->Flag(tifShowCheckBox);
  int checkWidth = t->CheckBoxSize();
  if (t->CustomCheckboxes)
    checkWidth = (item->CheckBoxType == 2 ? t->RadioButtonGlyphWidth : t->CheckBoxGlyphWidth) / 6;
  const int images2Width = t->images2_.Assigned() ? t->images2_.Width : t->images_.Width;
  const bool hasButton = t->showButtons_ && (item->HasVisibleChildren() ||
                                             item->Flag(tifForceButtons) || t->ShowLeafButton());
  auto found = [&](TElHitPart p) {
    Part = p;
    SectionIndex = t->mainTreeColumn_;
    return item;
  };
  if (!t->RightAlignedTree()) {
    if (x >= tr.Left - third + 1 && x <= tr.Right) return found(hpText);
    int d = tr.Left - third + 1;
    if (item->Flag(tifImageDrawn)) {
      if (x >= d - t->images_.Width && x < d) return found(hpImage);
      d -= t->images_.Width;
      if (item->Flag(tifImage2Drawn) || checkBox) d -= third;
    }
    if (item->Flag(tifImage2Drawn)) {
      if (x >= d - images2Width && x < d) return found(hpImage2);
      d -= images2Width;
      // The painter leaves the same gap between a check box and the image.
      if (checkBox) d -= third;
    }
    if (checkBox) {
      d += 1;
      if (x >= d - checkWidth && x < d) return found(hpCheckBox);
      d -= checkWidth;
    }
    if (hasButton && x >= d - t->itemIndent_ && x < d)
      return found(item->Flag(tifSuppressButtons) ? hpMainCell : hpButton);
    return item;
  }
  if (x >= tr.Left && x <= tr.Right + third - 1) return found(hpText);
  int c = tr.Right + third - 1;
  if (item->Flag(tifImageDrawn)) {
    if (x >= c && x < c + t->images_.Width) return found(hpImage);
    c += t->images_.Width;
    if (item->Flag(tifImage2Drawn) || checkBox) c += third;
  }
  if (item->Flag(tifImage2Drawn)) {
    if (x >= c && x < c + images2Width) return found(hpImage2);
    c += images2Width;
    if (checkBox) c += third;
  }
  if (checkBox) {
    if (x >= c - 1 && x < c - 1 + checkWidth) return found(hpCheckBox);
    c += checkWidth;
  }
  if (hasButton && x >= c && x < c + t->itemIndent_)
    return found(item->Flag(tifSuppressButtons) ? hpMainCell : hpButton);
  return item;
}

}  // namespace morvane
