// Where the navigation keys move the focus, and scrolling after an
// expansion.
#include <algorithm>
#include <vector>

#include "treeview/eltree.h"
#include "treeview/eltree_bracket.h"
#include "treeview/eltreeview.h"

namespace morvane {

namespace {

constexpr int kPrior = 0x21, kNext = 0x22, kEnd = 0x23, kHome = 0x24, kUp = 0x26, kDown = 0x28;

// The rows that can be shown, in order.
std::vector<TElTreeItem*> ShownRows(const TCustomElTree& Tree) {
  std::vector<TElTreeItem*> rows;
  const TElList& flat = Tree.AllItems();
  for (int i = 0; i < flat.Count();) {
    auto* it = static_cast<TElTreeItem*>(flat.Get(i));
    if (Tree.FilteredVisibility() && it->Hidden()) {
      i = it->LastDescendant()->AbsIndex() + 1;
      continue;
    }
    rows.push_back(it);
    i = it->Expanded() ? i + 1 : it->LastDescendant()->AbsIndex() + 1;
  }
  return rows;
}

}  // namespace

TElTreeItem* TElTreeView::NavigationTarget(int Key, int& RowIndex, bool& TargetSelected) {
  TCustomElTree& t = *tree_;
  const std::vector<TElTreeItem*> rows = ShownRows(t);
  const int n = static_cast<int>(rows.size());
  auto enabled = [&](int i) { return t.IgnoreEnabled || rows[static_cast<size_t>(i)]->Enabled(); };
  TElTreeItem* focused = t.ItemFocused();
  const int fi = focused ? static_cast<int>(std::find(rows.begin(), rows.end(), focused) - rows.begin()) : n;
  const bool hasRow = fi < n;
  int target = -1;
  bool atTop = false;  // no target: the focused item at the top row
  auto firstEnabled = [&](int from, int step) {
    for (int i = from; i >= 0 && i < n; i += step)
      if (enabled(i)) return i;
    return -1;
  };
  // The page-th enabled row from the focused one, or the last enabled one
  // on the way when the tree ends first.
  auto page = [&](int step) {
    const int pageRows = std::max(1, RowsThatFit() - 1);
    int found = -1, count = 0;
    for (int i = fi + step; i >= 0 && i < n; i += step) {
      if (!enabled(i)) continue;
      found = i;
      if (++count == pageRows) break;
    }
    return found;
  };
  switch (Key) {
    case kUp:
      target = hasRow ? firstEnabled(fi - 1, -1) : firstEnabled(0, 1);
      break;
    case kDown:
      target = hasRow ? firstEnabled(fi + 1, 1) : firstEnabled(0, 1);
      break;
    case kNext:
    case kPrior:
      if (!focused) return TargetSelected = false, nullptr;
      if (hasRow) target = page(Key == kNext ? 1 : -1);
      break;
    case kHome:
    case kEnd:
      if (!focused) return TargetSelected = false, nullptr;
      target = Key == kHome ? firstEnabled(0, 1) : firstEnabled(n - 1, -1);
      atTop = target < 0;
      break;
    default:
      TargetSelected = false;
      return nullptr;
  }
  TElTreeItem* result;
  if (target >= 0) {
    result = rows[static_cast<size_t>(target)];
    RowIndex = target;
  } else {
    result = focused;
    RowIndex = atTop || !hasRow ? t.TopIndex() : fi;
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
