// Rows on screen, scrolling, the wheel, the hit test, selection and
// visibility, on a view without a window.
#include <functional>

#include "platform/core/streams.h"
#include "tree_fixture.h"

namespace morvane {
namespace {

using test::ExpectConsistent;
using test::Load;
using test::Main;
using test::NewTree;

std::unique_ptr<TElTree> Rows(int n, int viewHeight) {
  auto t = NewTree();
  t->HeadlessView()->Height = viewHeight;
  std::vector<std::string> lines;
  for (int i = 0; i < n; ++i) lines.push_back(std::to_string(i));
  Load(*t, lines);
  return t;
}

TEST(TreeGeometry, RowsOnScreenAndRowRectangles) {
  struct TCase {
    int height, rows;
  } cases[] = {{100, 6}, {102, 7}, {17, 2}, {10, 1}};
  for (auto c : cases) {
    auto t = Rows(10, c.height);
    EXPECT_EQ(t->View().VisibleRows().Count(), c.rows) << c.height;
  }
  auto t = Rows(10, 100);
  TElRect r;
  t->GetItemRect(2, r);
  EXPECT_EQ(r, (TElRect{0, 34, 200, 51}));
  t->GetItemRect(6, r);
  EXPECT_TRUE(r.IsEmpty());
  EXPECT_EQ(Main(t->GetItemAtY(33)), "1");
  EXPECT_EQ(t->GetItemAtY(-1), nullptr);
  // Below a header 20 pixels high.
  t->HeadlessView()->Top = 20;
  t->GetItemRect(2, r);
  EXPECT_EQ(r, (TElRect{0, 54, 200, 71}));
  EXPECT_EQ(Main(t->GetItemAtY(53)), "1");
  EXPECT_EQ(t->GetItemAtY(10), nullptr);
}

TEST(TreeGeometry, TopRowClampAndPaging) {
  auto t = Rows(10, 100);  // 5 whole rows fit
  t->SetTopIndex(100);
  EXPECT_EQ(t->TopIndex(), 6);  // one blank row may show at the end
  t->SetTopIndex(-3);
  EXPECT_EQ(t->TopIndex(), 0);
  t->HandleVScroll(3, 0);
  EXPECT_EQ(t->TopIndex(), 5);
  t->HandleVScroll(2, 0);
  EXPECT_EQ(t->TopIndex(), 0);
  // One partial row on screen: page down still moves.
  auto one = Rows(10, 10);
  one->HandleVScroll(3, 0);
  EXPECT_EQ(one->TopIndex(), 1);
}

TEST(TreeGeometry, WheelSteps) {
  struct TCase {
    int delta;
    unsigned lines;
    int moved;  // rows up (top decreases)
  } cases[] = {
      {120, 3, 3}, {60, 3, 1}, {30, 3, 0}, {60, 1, 0}, {120, 0, 1},
      {120, 500, 120}, {120, kWheelPageScroll, 5}, {-120, 3, -3},
  };
  for (auto c : cases) {
    auto t = Rows(300, 100);
    t->SetTopIndex(150);
    t->HeadlessView()->WheelLines = c.lines;
    t->View().MouseWheel(c.delta, 0, 0);
    EXPECT_EQ(150 - t->TopIndex(), c.moved) << c.delta << " " << c.lines;
  }
  // The message's point is on the screen; the move goes in client terms.
  auto t = Rows(10, 100);
  t->HeadlessView()->ScreenOffsetX = 300;
  t->HeadlessView()->ScreenOffsetY = 200;
  t->View().MouseWheel(120, 310, 220);
  ASSERT_EQ(t->HeadlessView()->MouseMoves.size(), 1u);
  EXPECT_EQ(t->HeadlessView()->MouseMoves[0], std::make_pair(10, 20));
}

TEST(TreeGeometry, ScrollingWithAnEditorKeepsItsText) {
  auto t = Rows(50, 100);
  THeadlessTreeView* v = t->HeadlessView();
  v->Editing = true;
  v->EditText = L"edited";
  t->HandleVScroll(1, 0);  // first event only ends the bar's scrolling
  EXPECT_EQ(t->TopIndex(), 0);
  t->HandleVScroll(1, 0);
  EXPECT_EQ(t->TopIndex(), 1);
  EXPECT_EQ(v->EditText, L"edited");
  EXPECT_EQ(v->Calls.back() == "end edit accept" ||
                std::find(v->Calls.begin(), v->Calls.end(), "end edit accept") != v->Calls.end(),
            true);
}

TEST(TreeGeometry, HitTestParts) {
  auto t = Rows(3, 100);
  TElTreeItem* it = t->Items().Item(0);
  TElHitPart part;
  int col = 99;
  // Never painted: only the row.
  EXPECT_EQ(t->GetItemAt(0, 5, part, col), it);
  EXPECT_EQ(part, hpNowhere);
  EXPECT_EQ(col, -1);
  col = 99;
  EXPECT_EQ(t->GetItemAt(0, 90, part, col), nullptr);
  EXPECT_EQ(col, -1);
  t->SetImages({16, 16, 4});
  it->TextRect = {60, 0, 90, 17};
  it->SetFlag(tifImageDrawn, true);
  struct TCase {
    int x;
    TElHitPart part;
  } cases[] = {{70, hpText}, {56, hpText}, {50, hpImage}, {40, hpImage}, {20, hpNowhere}};
  for (auto c : cases) {
    t->GetItemAt(c.x, 5, part, col);
    EXPECT_EQ(part, c.part) << c.x;
  }
  // With columns the empty indent belongs to the main cell.
  test::AddSections(*t, 2);
  t->SetShowColumns(true);
  t->GetItemAt(20, 5, part, col);
  EXPECT_EQ(part, hpMainCell);
  EXPECT_EQ(col, 0);
  t->GetItemAt(150, 5, part, col);
  EXPECT_EQ(part, hpColumn);
  EXPECT_EQ(col, 1);
}

TEST(TreeSelection, WholeTreeOperationsUnderTheFilter) {
  auto t = NewTree();
  Load(*t, {"a", "b", "c", "d"});
  t->SelectAll();
  EXPECT_EQ(t->GetSelectedCount(), 4);
  t->Items().Item(1)->SetHidden(true);
  t->SetFilteredVisibility(true);
  t->DeselectAll();
  EXPECT_EQ(t->GetSelectedCount(), 1);
  EXPECT_TRUE(t->Items().Item(1)->Selected());
  t->DeselectAllItems(true);
  EXPECT_EQ(t->GetSelectedCount(), 0);
  t->SelectVisibleRangeWith(t->Items().Item(0), t->Items().Item(3), true, true, false);
  EXPECT_EQ(t->GetSelectedCount(), 3);
  EXPECT_FALSE(t->Items().Item(1)->Selected());
  ExpectConsistent(*t);
}

TEST(TreeSelection, ChangesInsideABracketEndWithOneEventWhenItCloses) {
  // Every row still gets its own selection event; the end event comes once
  // per outermost bracket that changed a selection, after the bracket's work,
  // with the selection as it ends up.
  struct TCase {
    const char* what;
    std::function<void(TElTree&)> act;
    int rowEvents, endEvents, selectedAtEnd;
  } cases[] = {
      {"select all", [](TElTree& t) { t.SelectAll(); }, 4, 1, 4},
      {"select all twice in one outer bracket",
       [](TElTree& t) {
         t.BeginUpdate();
         t.SelectAll();
         t.DeselectAll();
         t.SelectAll();
         t.EndUpdate();
       },
       12, 1, 4},
      {"invert", [](TElTree& t) { t.InvertSelection(); }, 4, 1, 4},
      {"range", [](TElTree& t) { t.SelectRangeWith(t.Items().Item(1), t.Items().Item(3), true, true); }, 3, 1, 3},
      {"one row outside a bracket", [](TElTree& t) { t.Items().Item(2)->SetSelected(true); }, 1, 0, 1},
      {"a bracket that changes nothing", [](TElTree& t) { t.DeselectAll(); }, 0, 0, 0},
      {"clearing the selected rows",
       [](TElTree& t) {
         t.SelectAll();
         t.Items().Clear();
       },
       8, 2, 0},
  };
  for (const TCase& c : cases) {
    auto t = NewTree();
    Load(*t, {"a", "b", "c", "d"});
    int rows = 0, ends = 0, selected = -1;
    t->OnItemSelectedChange = [&](TObject*, TElTreeItem*) { ++rows; };
    t->OnItemSelectedChangesEnd = [&](TObject*) {
      ++ends;
      EXPECT_FALSE(t->IsUpdating()) << c.what;
      selected = t->GetSelectedCount();
    };
    c.act(*t);
    EXPECT_EQ(rows, c.rowEvents) << c.what;
    EXPECT_EQ(ends, c.endEvents) << c.what;
    if (c.endEvents) EXPECT_EQ(selected, c.selectedAtEnd) << c.what;
    EXPECT_EQ(t->GetSelectedCount(), c.selectedAtEnd) << c.what;
    ExpectConsistent(*t);
  }
}

TEST(TreeSelection, RangeWithAnItemOfAnotherTreeDoesNothing) {
  auto t = NewTree();
  auto other = NewTree();
  Load(*t, {"a", "b"});
  Load(*other, {"x"});
  t->SelectRangeWith(t->Items().Item(1), other->Items().Item(0), true, true);
  EXPECT_EQ(t->GetSelectedCount(), 0);
  t->SelectRange(t->Items().Item(1), nullptr);
  EXPECT_EQ(t->GetSelectedCount(), 2);
}

TEST(TreeSelection, HidingMovesFocusToARowThatCanBeShown) {
  struct TCase {
    const char* name;
    std::vector<std::string> lines;
    std::vector<int> hide;
    int focus;
    const char* expected;
  } cases[] = {
      {"earlier-row", {"a", "b", "c"}, {1}, 1, "a"},
      {"first-row-counts", {"a", "b"}, {1}, 1, "a"},
      {"later-row", {"a", "b", "c"}, {0, 1}, 1, "c"},
      {"none-left", {"a", "b"}, {0, 1}, 0, "<nil>"},
      {"child-to-ancestor", {"p", "|c"}, {1}, 1, "p"},
      // An unhidden child of a hidden row cannot be shown either.
      {"not-into-hidden-parent", {"a", "h", "|h1", "x"}, {1, 3}, 3, "a"},
  };
  for (const auto& c : cases) {
    auto t = NewTree();
    Load(*t, c.lines);
    t->ExpandAll();
    t->SetItemFocused(t->Items().Item(c.focus));
    t->BeginUpdate();
    for (int i : c.hide) t->Items().Item(i)->SetHidden(true);
    t->SetFilteredVisibility(true);
    t->EndUpdate();
    EXPECT_EQ(Main(t->ItemFocused()), c.expected) << c.name;
  }
}

TEST(TreeSelection, SmallerOperations) {
  auto t = NewTree();
  Load(*t, {"a", "|a1", "||a2", "b"});
  t->BeginUpdate();
  t->MakeVisible(t->Items().Item(2));  // inside a bracket: nothing
  EXPECT_FALSE(t->Items().Item(0)->Expanded());
  t->EndUpdate();
  t->MakeVisible(t->Items().Item(2));
  EXPECT_TRUE(t->Items().Item(1)->Expanded());
  EXPECT_TRUE(t->IsOnScreen(t->Items().Item(2)));
  EXPECT_THROW(t->ScrollToItem(nullptr), EElTreeError);
  TStringStream s;
  t->WriteItemLines(s);
  EXPECT_EQ(s.DataString(), "a\r\na1\r\n a2\r\nb\r\n");
  t->SetMultiSelect(false);
  t->SetItemFocused(t->Items().Item(3));
  EXPECT_EQ(t->GetNextSelected(nullptr), t->Items().Item(3));
}

TEST(TreeColumns, DefaultLineHeightAndAutoSize) {
  struct TCase {
    int indent;
    bool lines;
    int height;
  } cases[] = {{17, false, 17}, {10, false, 15}, {10, true, 16}};
  for (auto c : cases) {
    auto t = NewTree();
    t->SetItemIndent(c.indent);
    t->SetHorizontalLines(c.lines);
    EXPECT_EQ(t->GetDefaultLineHeight(), c.height);
  }
  auto t = NewTree();
  test::AddSections(*t, 3);
  t->HeaderSections().GetSection(2)->SetAutoSize(true);
  t->SetShowColumns(true);
  Load(*t, {"1|a|abcdef", "2|b|abc"});
  // 6 characters of 8 pixels, 4 of margin, 3/5 of the indent.
  EXPECT_EQ(t->HeaderSections().GetSection(2)->Width(), 48 + 4 + 10);
}

}  // namespace
}  // namespace morvane
