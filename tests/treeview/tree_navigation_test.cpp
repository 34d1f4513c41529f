// Where the navigation keys lead, and scrolling after an expansion.
#include "tree_fixture.h"

namespace morvane {
namespace {

using test::Load;
using test::Main;
using test::NewTree;

constexpr int kPrior = 0x21, kNext = 0x22, kEnd = 0x23, kHome = 0x24, kUp = 0x26, kDown = 0x28;

TEST(TreeNavigationTarget, KeysSkipDisabledAndInvisibleRows) {
  struct TCase {
    const char* name;
    const char* focused;  // nullptr: none
    int key;
    std::string target;
    int row;
  } cases[] = {
      {"up-on-first-enabled-keeps-focus", "b", kUp, "b", 1},
      {"down-skips-disabled", "b", kDown, "d", 3},
      {"down-skips-collapsed-children", "d", kDown, "f", 4},
      {"up-without-focus-first-enabled", nullptr, kUp, "b", 1},
      {"down-without-focus-first-enabled", nullptr, kDown, "b", 1},
      {"home-first-enabled", "f", kHome, "b", 1},
      {"end-skips-disabled-at-end", "b", kEnd, "g", 5},
      {"page-down", "b", kNext, "g", 5},  // five rows fit: the 5th enabled row after, or the last
      {"page-up", "g", kPrior, "b", 1},
      {"page-without-focus", nullptr, kNext, "<nil>", -9},
      {"home-without-focus", nullptr, kHome, "<nil>", -9},
      {"other-key", "b", 0x41, "<nil>", -9},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    auto t = NewTree();
    t->HeadlessView()->Height = 100;  // 17-pixel rows: 6 partly, 5 fully
    Load(*t, {"a", "b", "c", "d", "|d1", "f", "g", "h", "i"});
    for (const char* name : {"a", "c", "h", "i"})
      for (int i = 0; i < t->Items().Count(); ++i)
        if (Main(t->Items().Item(i)) == name) t->Items().Item(i)->SetFlag(tifEnabled, false);
    if (c.focused)
      for (int i = 0; i < t->Items().Count(); ++i)
        if (Main(t->Items().Item(i)) == c.focused) t->SetItemFocused(t->Items().Item(i));
    int row = -9;
    bool selected = true;
    TElTreeItem* it = t->View().NavigationTarget(c.key, row, selected);
    EXPECT_EQ(Main(it), c.target);
    EXPECT_EQ(row, c.row);
    if (it) EXPECT_EQ(selected, it->Selected());
  }
}

// Rows filtered out, alone or with their subtree, under an expanded or a
// collapsed parent: the keys pass over them both ways, and the row index
// counts only the rows shown.
TEST(TreeNavigationTarget, KeysSkipFilteredOutRowsBothWays) {
  struct TCase {
    const char* name;
    const char* focused;
    int key;
    std::string target;
    int row;
  } cases[] = {
      {"down-out-of-child-past-hidden", "b2", kDown, "e", 4},
      {"up-into-last-shown-child", "e", kUp, "b2", 3},
      {"up-over-hidden-subtree", "g", kUp, "e", 4},
      {"down-over-hidden-subtree", "e", kDown, "g", 5},
      {"up-to-collapsed-parent", "h", kUp, "g", 5},
      {"end-skips-hidden-last", "a", kEnd, "h", 6},
      {"home-skips-hidden-first", "h", kHome, "a", 0},
      {"page-up-from-end", "h", kPrior, "b", 1},
      {"page-down-counts-shown-rows", "a", kNext, "g", 5},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    auto t = NewTree();
    t->HeadlessView()->Height = 100;  // five full rows: a page is five rows on
    // Shown: a b b1 b2 e g h; f (with f1) and the last row z are filtered
    // out, b3 inside expanded b, and g1 under collapsed g.
    Load(*t, {"x", "a", "b", "|b1", "|b2", "|b3", "e", "f", "|f1", "g", "|g1", "|g2", "h", "z"});
    TElTreeItem* focus = nullptr;
    for (int i = 0; i < t->Items().Count(); ++i) {
      TElTreeItem* it = t->Items().Item(i);
      const std::string name = Main(it);
      if (name == "x" || name == "b3" || name == "f" || name == "g1" || name == "z") it->SetHidden(true);
      if (name == "b") it->Expand(false);
      if (name == c.focused) focus = it;
    }
    t->SetFilteredVisibility(true);
    t->SetItemFocused(focus);
    int row = -9;
    bool selected = true;
    EXPECT_EQ(Main(t->View().NavigationTarget(c.key, row, selected)), c.target);
    EXPECT_EQ(row, c.row);
  }
}

TEST(TreeNavigationTarget, IgnoreEnabledCountsEveryRow) {
  auto t = NewTree();
  Load(*t, {"a", "b", "c"});
  for (int i = 0; i < 3; ++i) t->Items().Item(i)->SetFlag(tifEnabled, false);
  t->SetItemFocused(t->Items().Item(1));
  int row;
  bool sel;
  EXPECT_EQ(Main(t->View().NavigationTarget(kUp, row, sel)), "b");
  t->IgnoreEnabled = true;
  EXPECT_EQ(Main(t->View().NavigationTarget(kUp, row, sel)), "a");
  EXPECT_EQ(Main(t->View().NavigationTarget(kEnd, row, sel)), "c");
}

TEST(TreeEnsureExpandedVisible, ScrollsChildRowsInWithoutLosingTheItem) {
  struct TCase {
    const char* name;
    int item;  // top-level index of the expanded item
    int top;   // top row before
    int children;
    int topAfter;
  } cases[] = {
      {"children-pulled-into-view", 3, 0, 3, 2},
      {"item-never-leaves-the-top", 3, 0, 20, 3},
      {"fits-already", 1, 0, 2, 0},
      {"item-is-top-row", 3, 3, 20, 3},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    auto t = NewTree();
    t->HeadlessView()->Height = 100;
    std::vector<std::string> lines;
    for (int i = 0; i < 12; ++i) {
      lines.push_back("r" + std::to_string(i));
      if (i == c.item)
        for (int k = 0; k < c.children; ++k) lines.push_back("|c" + std::to_string(k));
    }
    Load(*t, lines);
    t->SetTopIndex(c.top);
    TElTreeItem* it = t->Items().Item(c.item);
    it->Expand(false);
    t->View().EnsureExpandedVisible(it);
    EXPECT_EQ(t->TopIndex(), c.topAfter);
  }
}

}  // namespace
}  // namespace morvane
