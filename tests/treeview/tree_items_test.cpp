// Items, the item collection and the row-text format, without a window.
#include <random>

#include "tree_fixture.h"

namespace morvane {
namespace {

using test::ExpectConsistent;
using test::Load;
using test::Main;
using test::NewTree;
using test::Outline;

TEST(TreeRowText, LoadsLevelsFromLeadingTabs) {
  struct TCase {
    const char* name;
    std::vector<std::string> lines;
    std::string outline;
  } cases[] = {
      {"deeper-lines-clamped", {"a", "|b", "|||c", "d"}, "a .b ..c d"},
      {"first-line-with-tabs-is-top-level", {"||x", "|y"}, "x .y"},
      {"shallower-line-closes-levels", {"a", "|b", "||c", "|d"}, "a .b ..c .d"},
      {"empty-list", {}, ""},
  };
  for (const auto& c : cases) {
    auto t = NewTree();
    Load(*t, c.lines);
    EXPECT_EQ(Outline(*t), c.outline) << c.name;
    EXPECT_EQ(t->ItemFocused(), nullptr) << c.name;
    ExpectConsistent(*t);
  }
}

TEST(TreeRowText, CellsGoToMainAndColumnTexts) {
  auto t = NewTree();
  test::AddSections(*t, 3);
  t->SetShowColumns(true);
  Load(*t, {"x|y|"});
  TElTreeItem* it = t->Items().Item(0);
  EXPECT_EQ(Main(it), "x");
  ASSERT_EQ(it->ColumnTexts()->Count(), 2);
  EXPECT_EQ(it->ColumnTexts()->Get(0), L"y");
  EXPECT_EQ(it->ColumnTexts()->Get(1), L"");
  EXPECT_EQ(t->Items().Item(-1), nullptr);
  EXPECT_EQ(t->Items().Item(1), nullptr);
}

TEST(TreeRowText, SavesOneCellPerSectionAndKeepsCellsApart) {
  auto t = NewTree();
  test::AddSections(*t, 3);
  t->SetShowColumns(true);
  t->SetMainTreeColumn(1);
  Load(*t, {"c0|main|c1", "|c0b|child"});
  // A text with separators inside must not shift the later cells.
  t->Items().Item(0)->ColumnTexts()->Put(0, L"a\tb\r\nc");
  TStringList out;
  t->Items().SaveToStrings(out);
  ASSERT_EQ(out.Count(), 2);
  EXPECT_EQ(out.Strings(0), "a b  c\tmain\tc1");
  EXPECT_EQ(out.Strings(1), "\tc0b\tchild\t");
}

TEST(TreeItem, NewItemDefaults) {
  auto t = NewTree();
  TElTreeItem* it = t->Items().AddItem(nullptr, L"a");
  EXPECT_EQ(it->Flags(), 0x128783u);
  EXPECT_EQ(it->State(), 0);
  EXPECT_EQ(it->ImageIndex, -1);
  EXPECT_EQ(it->StImageIndex2, -1);
  EXPECT_EQ(it->OverlayIndex, -1);
  EXPECT_EQ(it->Level(), 0);
  EXPECT_EQ(it->Parent(), nullptr);
}

// A deletion handler that deletes a sibling or adds a child must neither run
// past the end of the children nor leave items behind.
TEST(TreeItem, DeleteChildrenSurvivesHandlersThatChangeTheTree) {
  for (int mode = 0; mode < 2; ++mode) {
    auto t = NewTree();
    Load(*t, {"p", "|a", "|b", "|c", "q"});
    TElTreeItem* p = t->Items().Item(0);
    bool once = false;
    t->OnItemDeletion = [&](TObject*, TElTreeItem* item) {
      if (once || item->Parent() != p) return;
      once = true;
      if (mode == 0)
        p->FirstChild()->Delete();
      else
        t->Items().AddChild(p, L"late");
    };
    p->DeleteChildren();
    EXPECT_EQ(p->ChildCount(), 0) << mode;
    EXPECT_EQ(Outline(*t), "p q") << mode;
    ExpectConsistent(*t);
  }
}

TEST(TreeItem, MoveRejectsBadTargetsBeforeAnyChange) {
  auto t = NewTree();
  auto other = NewTree();
  Load(*t, {"a", "|a1", "b"});
  Load(*other, {"x"});
  TElTreeItem* a = t->Items().Item(0);
  TElTreeItem* b = t->Items().Item(2);
  struct TCase {
    const char* name;
    TElTreeItem* parent;
    int index;
    const char* message;
  } cases[] = {
      {"own-child", t->Items().Item(1), 0, "Can't move Item to one of its subitems."},
      {"negative-index", b, -1, "ElTree item index out of bounds."},
      {"index-past-end", b, 1, "ElTree item index out of bounds."},
      {"other-tree", other->Items().Item(0), 0, nullptr},
  };
  for (const auto& c : cases) {
    try {
      a->MoveToIns(c.parent, c.index);
      ADD_FAILURE() << c.name;
    } catch (const EElTreeError& e) {
      if (c.message) EXPECT_EQ(e.Message(), c.message) << c.name;
    }
    EXPECT_EQ(Outline(*t), "a .a1 b") << c.name;
    ExpectConsistent(*t);
  }
  a->MoveToIns(a, 0);  // onto itself: nothing
  EXPECT_EQ(Outline(*t), "a .a1 b");
  a->MoveToIns(nullptr, 5);  // same parent, past the end: appended
  EXPECT_EQ(Outline(*t), "b a .a1");
  a->MoveTo(b);
  EXPECT_EQ(Outline(*t), "b .a ..a1");
  ExpectConsistent(*t);
}

TEST(TreeItem, InsertChildLinkRejectsNegativeIndex) {
  auto t = NewTree();
  EXPECT_THROW(t->Items().InsertChildAt(nullptr, -1), EElTreeError);
  EXPECT_THROW(t->Items().InsertChildAt(nullptr, 1), EElTreeError);
  EXPECT_EQ(t->Items().Count(), 0);
}

TEST(TreeItem, AssignCopiesWithoutFocusSelectionOrStaleCounts) {
  auto t = NewTree();
  Load(*t, {"src", "|c1", "||c2", "dst", "|old"});
  TElTreeItem* src = t->Items().Item(0);
  TElTreeItem* dst = t->Items().Item(3);
  src->SetHidden(true);
  src->SetSelected(true);
  dst->Assign(src);
  EXPECT_EQ(Outline(*t), "src .c1 ..c2 src .c1 ..c2");
  EXPECT_TRUE(dst->Hidden());
  EXPECT_FALSE(dst->Selected());
  EXPECT_EQ(t->HiddenCount(), 2);
  ExpectConsistent(*t);
  // Source inside the own subtree or above it: refused, nothing changed.
  EXPECT_THROW(dst->Assign(dst->FirstChild()), EElTreeError);
  EXPECT_THROW(dst->FirstChild()->Assign(dst), EElTreeError);
  dst->Assign(dst);
  EXPECT_EQ(Outline(*t), "src .c1 ..c2 src .c1 ..c2");
  dst->Delete();
  src->Delete();
  EXPECT_EQ(t->HiddenCount(), 0);
}

TEST(TreeItem, SubtreeHeightCountsHiddenChildrenWhileUnfiltered) {
  auto t = NewTree();
  t->SetAutoLineHeight(false);
  t->SetLineHeight(10);
  Load(*t, {"p", "|a", "|b", "||b1"});
  TElTreeItem* p = t->Items().Item(0);
  p->Expand(true);
  t->Items().Item(1)->SetHidden(true);
  EXPECT_EQ(p->SubtreeRowsHeight(), 30);
  t->SetFilteredVisibility(true);
  EXPECT_EQ(p->SubtreeRowsHeight(), 20);
}

TEST(TreeItem, DeletingTheFocusedItemMovesTheFocus) {
  struct TCase {
    const char* name;
    std::vector<std::string> lines;
    int focus;
    const char* expected;
  } cases[] = {
      {"next-sibling", {"a", "b", "c"}, 1, "c"},
      {"previous-sibling", {"a", "b"}, 1, "a"},
      {"parent", {"p", "|only"}, 1, "p"},
      {"only-top-level-item", {"a"}, 0, "<nil>"},
  };
  for (const auto& c : cases) {
    auto t = NewTree();
    Load(*t, c.lines);
    t->SetItemFocused(t->Items().Item(c.focus));
    t->Items().Item(c.focus)->Delete();
    EXPECT_EQ(Main(t->ItemFocused()), c.expected) << c.name;
    ExpectConsistent(*t);
  }
}

TEST(TreeItem, SelectionRulesOfTheItem) {
  auto t = NewTree();
  Load(*t, {"a", "|a1", "b"});
  t->KeepSelectionWithinLevel = true;
  t->Items().Item(0)->SetSelected(true);
  t->Items().Item(1)->SetSelected(true);  // another level: refused
  EXPECT_FALSE(t->Items().Item(1)->Selected());
  t->SetMultiSelect(false);
  EXPECT_FALSE(t->Items().Item(0)->Selected());
  t->Items().Item(2)->SetSelected(true);  // single select: no effect
  EXPECT_FALSE(t->Items().Item(2)->Selected());
}

TEST(TreeItem, RadioButtonsUncheckOnlyRadioSiblings) {
  auto t = NewTree();
  Load(*t, {"r1", "r2", "box"});
  TElTreeItem *r1 = t->Items().Item(0), *r2 = t->Items().Item(1), *box = t->Items().Item(2);
  r1->CheckBoxType = r2->CheckBoxType = 2;
  r1->SetChecked(true);
  box->SetChecked(true);
  r2->SetChecked(true);
  EXPECT_FALSE(r1->Checked());
  EXPECT_TRUE(r2->Checked());
  EXPECT_TRUE(box->Checked());
}

TEST(TreeWalks, NumbersAndSkips) {
  auto t = NewTree();
  Load(*t, {"a", "|a1", "b", "|b1", "c"});
  t->Items().Item(0)->Expand(false);  // b stays collapsed
  auto collect = [&](auto walk) {
    std::string s;
    walk([&](TElTreeItem* it, int n, bool&, void*, TCustomElTree*) {
      s += Main(it) + ":" + std::to_string(n) + " ";
    });
    return s;
  };
  EXPECT_EQ(collect([&](auto cb) { t->Items().Iterate(false, false, cb, nullptr); }),
            "a:0 a1:1 b:2 c:3 ");
  EXPECT_EQ(collect([&](auto cb) { t->Items().IterateBackward(false, false, cb, nullptr); }),
            "c:3 b:2 a1:1 a:0 ");
  EXPECT_EQ(collect([&](auto cb) { t->Items().IterateBackward(false, true, cb, nullptr); }),
            "c:4 b1:3 b:2 a1:1 a:0 ");
  EXPECT_EQ(collect([&](auto cb) {
              t->Items().IterateFrom(false, true, cb, nullptr, t->Items().Item(3));
            }),
            "b1:1 c:2 ");
}

// Random adds, inserts, moves, deletes, hides and selections: after each
// step the flat list is the pre-order walk of the children lists.
TEST(TreeInvariant, RandomOperationsKeepFlatListAndChildrenInStep) {
  std::mt19937 rng(20261210);
  auto t = NewTree();
  int next = 0;
  unsigned op = 0;
  auto pick = [&]() -> TElTreeItem* {
    int n = t->Items().Count();
    if (n == 0) return nullptr;
    return t->Items().Item(static_cast<int>(rng() % n));
  };
  for (int step = 0; step < 3000; ++step) {
    TElTreeItem* a = pick();
    TElTreeItem* b = pick();
    std::wstring name = std::to_wstring(next++);
    try {
    op = rng() % 10;
    switch (op) {
      case 0: t->Items().AddItem(a, name); break;
      case 1: t->Items().AddChild(a, name); break;
      case 2: t->Items().AddChildFirst(a, name); break;
      case 3: t->Items().InsertItem(a, name); break;
      case 4: t->Items().InsertItemAfter(a, name); break;
      case 5:
        if (a && b && !b->IsUnder(a)) a->MoveToIns(b, static_cast<int>(rng() % (b->ChildCount() + 1)));
        break;
      case 6:
        if (a && t->Items().Count() > 20) a->Delete();
        break;
      case 7:
        if (a) a->SetHidden(!a->Hidden());
        if (rng() % 7 == 0) t->SetFilteredVisibility(!t->FilteredVisibility());
        break;
      case 8:
        if (a) a->SetSelected(!a->Selected());
        if (b) t->SetItemFocused(b);
        break;
      case 9:
        if (a && b) a->MoveRelative(b, static_cast<int>(rng() % 5));
        if (rng() % 50 == 0) t->Sort(true);
        break;
    }
    } catch (const EElTreeError&) {
      // refused moves change nothing
    } catch (const Exception& e) {
      FAIL() << "step " << step << ": " << e.Message() << " op " << op;
    }
    ExpectConsistent(*t);
    if (HasFatalFailure()) FAIL() << "step " << step;
  }
  t->Items().Clear();
  EXPECT_EQ(t->Items().Count(), 0);
  EXPECT_EQ(t->HiddenCount(), 0);
}

}  // namespace
}  // namespace morvane
