// Where the navigation keys move the focus, and scrolling after an
// expansion.
#include <algorithm>

#include "treeview/eltree.h"
#include "treeview/eltree_bracket.h"
#include "treeview/eltreeview.h"

namespace morvane {

namespace {

constexpr int kPrior = 0x21, kNext = 0x22, kEnd = 0x23, kHome = 0x24, kUp = 0x26, kDown = 0x28;

// Steps through the rows that can be shown, from one to the next, so that a
// key costs the rows it passes and not a list of every row: Page Down in a
// grid of many thousand rows stays within one frame.
class TShownRows {
 public:
  explicit TShownRows(const TCustomElTree& Tree)
      : flat_(Tree.AllItems()), filtered_(Tree.FilteredVisibility()) {}

  TElTreeItem* First() const { return AtOrAfter(0); }
  TElTreeItem* Last() const { return Before(flat_.Count()); }
  // Item is a shown row.
  TElTreeItem* Next(TElTreeItem* Item) const {
    return AtOrAfter(Item->Expanded() ? Item->AbsIndex() + 1 : Item->LastDescendant()->AbsIndex() + 1);
  }
  TElTreeItem* Prev(TElTreeItem* Item) const { return Before(Item->AbsIndex()); }

 private:
  TElTreeItem* At(int i) const { return static_cast<TElTreeItem*>(flat_.Get(i)); }
  // The first shown row from flat index I on, where I follows a shown row's
  // subtree (or is 0): only filtered-out subtrees are left to skip.
  TElTreeItem* AtOrAfter(int i) const {
    while (i < flat_.Count()) {
      TElTreeItem* it = At(i);
      if (!filtered_ || !it->Hidden()) return it;
      i = it->LastDescendant()->AbsIndex() + 1;
    }
    return nullptr;
  }
  // The last shown row before flat index I. The item just before I is shown
  // unless an ancestor hides it: the outermost filtered-out one takes its
  // subtree away, else the outermost collapsed one is the row.
  TElTreeItem* Before(int i) const {
    for (int j = i - 1; j >= 0;) {
      TElTreeItem* p = At(j);
      TElTreeItem* hidden = nullptr;
      TElTreeItem* collapsed = nullptr;
      for (TElTreeItem* a = p; a; a = a->Parent()) {
        if (filtered_ && a->Hidden()) hidden = a;
        if (a != p && !a->Expanded()) collapsed = a;
      }
      if (!hidden) return collapsed ? collapsed : p;
      j = hidden->AbsIndex() - 1;
    }
    return nullptr;
  }

  const TElList& flat_;
  const bool filtered_;
};

}  // namespace

TElTreeItem* TElTreeView::NavigationTarget(int Key, int& RowIndex, bool& TargetSelected) {
  TCustomElTree& t = *tree_;
  const TShownRows rows(t);
  auto enabled = [&](TElTreeItem* it) { return t.IgnoreEnabled || it->Enabled(); };
  TElTreeItem* focused = t.ItemFocused();
  const bool hasRow = focused && focused->IsShown();
  TElTreeItem* target = nullptr;
  bool atTop = false;  // no target: the focused item at the top row
  auto firstEnabled = [&](TElTreeItem* from, bool forward) {
    for (TElTreeItem* it = from; it; it = forward ? rows.Next(it) : rows.Prev(it))
      if (enabled(it)) return it;
    return static_cast<TElTreeItem*>(nullptr);
  };
  // The page-th enabled row from the focused one, or the last enabled one
  // on the way when the tree ends first.
  auto page = [&](bool forward) {
    const int pageRows = std::max(1, RowsThatFit() - 1);
    TElTreeItem* found = nullptr;
    int count = 0;
    for (TElTreeItem* it = forward ? rows.Next(focused) : rows.Prev(focused); it;
         it = forward ? rows.Next(it) : rows.Prev(it)) {
      if (!enabled(it)) continue;
      found = it;
      if (++count == pageRows) break;
    }
    return found;
  };
  switch (Key) {
    case kUp:
      target = hasRow ? firstEnabled(rows.Prev(focused), false) : firstEnabled(rows.First(), true);
      break;
    case kDown:
      target = hasRow ? firstEnabled(rows.Next(focused), true) : firstEnabled(rows.First(), true);
      break;
    case kNext:
    case kPrior:
      if (!focused) return TargetSelected = false, nullptr;
      if (hasRow) target = page(Key == kNext);
      break;
    case kHome:
    case kEnd:
      if (!focused) return TargetSelected = false, nullptr;
      target = Key == kHome ? firstEnabled(rows.First(), true) : firstEnabled(rows.Last(), false);
      atTop = !target;
      break;
    default:
      TargetSelected = false;
      return nullptr;
  }
  TElTreeItem* result;
  if (target) {
    result = target;
    RowIndex = t.Items().VisibleIndexOf(target);
  } else {
    result = focused;
    RowIndex = atTop || !hasRow ? t.TopIndex() : t.Items().VisibleIndexOf(focused);
  }
  TargetSelected = result && result->Selected();
  return result;
}

void TElTreeView::EnsureExpandedVisible(TElTreeItem* Item) {
  TCustomElTree& t = *tree_;
  if (!Item || !Item->IsShown()) return;
  const int row = visibleRows_.IndexOf(Item);
  if (row < 0) return;
  const int itemIndex = t.Items().VisibleIndexOf(Item);
  int top = t.TopIndex();
  if (top >= itemIndex) return;  // Item is the top row
  const int h = Item->SubtreeRowsHeight();
  const int lh = t.LineHeight();
  int bottom = RowRect(row).Bottom;
  int count = 0;
  while (bottom > 0 && bottom + h >= ClientHeight()) {
    bottom -= lh;
    ++count;
    if (++top >= itemIndex) break;
  }
  if (count == 0) return;
  t.CountVisibleRows();
  t.SetTopIndex(t.TopIndex() + count);
}

}  // namespace morvane
