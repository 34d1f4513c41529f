// Mouse, keyboard, drag and line-hint handling of the tree's view, driven
// with synthetic window messages on a tree without a window.
#include "tree_fixture.h"
#include "treeview/eltree_drag.h"
#include "platform/ui/imglist.h"
#include "treeview/eltree_input.h"

namespace morvane {
namespace {

using test::Load;
using test::Main;
using test::NewTree;

constexpr int kRow = 17;  // default line height

// Rows whose text rectangles lie at x 20..80, as painting would leave them.
void PlaceTexts(TCustomElTree& t) {
  for (int i = 0; i < t.Items().Count(); ++i) {
    TElTreeItem* it = t.Items().Item(i);
    int v = t.Items().VisibleIndexOf(it);
    it->TextRect = {20 + it->Level() * 17, v * kRow, 80 + it->Level() * 17, v * kRow + kRow};
  }
}

struct TFixture {
  std::unique_ptr<TElTree> tree = NewTree();
  TElTreeInput& in = tree->View().Input();
  THeadlessInputPort& port = *in.HeadlessPort();
  int clicks = 0, dblClicks = 0, afterSel = 0;

  explicit TFixture(const std::vector<std::string>& lines, bool multi = true, int height = 200) {
    tree->SetMultiSelect(multi);
    tree->HeadlessView()->Height = height;
    Load(*tree, lines);
    PlaceTexts(*tree);
    in.OnClick = [this] { ++clicks; };
    in.OnDblClick = [this] { ++dblClicks; };
    tree->OnAfterSelectionChange = [this](TObject*) { ++afterSel; };
  }
  TElTreeItem* Row(int i) { return tree->Items().Item(i); }
  void Send(UINT msg, int x, int y, WPARAM keys = 0) {
    LRESULT r;
    tree->View().Input().HandleMessage(msg, keys, MAKELPARAM(x, y), r);
  }
  // A left click on the text of the row at visible position v.
  void Click(int v, WPARAM keys = 0, int x = 40) {
    Send(WM_LBUTTONDOWN, x, v * kRow + 5, keys | MK_LBUTTON);
    Send(WM_LBUTTONUP, x, v * kRow + 5, keys);
  }
  void Key(WORD vk, std::set<int> held = {}) {
    port.HeldKeys = held;
    LRESULT r;
    tree->View().Input().HandleMessage(WM_KEYDOWN, vk, 0, r);
    port.HeldKeys.clear();
  }
  std::string Selected() {
    std::string s;
    for (int i = 0; i < tree->Items().Count(); ++i)
      if (Row(i)->Selected()) s += (s.empty() ? "" : " ") + Main(Row(i));
    return s;
  }
};

TManualTreeTimer* Manual(IElTreeTimer* t) { return static_cast<TManualTreeTimer*>(t); }

TEST(TreeMouseSelection, ClicksWithModifiers) {
  TFixture f({"0", "1", "2", "3", "4", "5"});
  f.Click(1);
  EXPECT_EQ(f.Selected(), "1");
  EXPECT_EQ(f.tree->ItemFocused(), f.Row(1));
  EXPECT_EQ(f.tree->AnchorItem(), f.Row(1));
  f.Click(4, MK_SHIFT);
  EXPECT_EQ(f.Selected(), "1 2 3 4");
  EXPECT_EQ(f.tree->AnchorItem(), f.Row(1));
  EXPECT_EQ(f.tree->ItemFocused(), f.Row(4));
  f.Click(2, MK_CONTROL);  // toggles one row off, the anchor stays
  EXPECT_EQ(f.Selected(), "1 3 4");
  EXPECT_EQ(f.tree->AnchorItem(), f.Row(1));
  f.Click(5, MK_CONTROL);
  EXPECT_EQ(f.Selected(), "1 3 4 5");
  f.Click(0);
  EXPECT_EQ(f.Selected(), "0");
  EXPECT_GT(f.afterSel, 0);
  EXPECT_EQ(f.clicks, 5);
}

TEST(TreeMouseSelection, PressOnSelectionWaitsForReleaseOrDrag) {
  TFixture f({"0", "1", "2", "3"});
  f.Click(0);
  f.Click(2, MK_SHIFT);
  ASSERT_EQ(f.Selected(), "0 1 2");
  // Press without moving: all three stay until the release.
  f.Send(WM_LBUTTONDOWN, 40, kRow + 5, MK_LBUTTON);
  EXPECT_EQ(f.Selected(), "0 1 2");
  EXPECT_TRUE(f.in.DelayedSelectionPending());
  f.Send(WM_LBUTTONUP, 40, kRow + 5);
  EXPECT_EQ(f.Selected(), "1");
  // Moving 5 pixels first drags all of them.
  f.Click(0);
  f.Click(2, MK_SHIFT);
  f.tree->DragAllowed = true;
  f.Send(WM_LBUTTONDOWN, 40, kRow + 5, MK_LBUTTON);
  f.Send(WM_MOUSEMOVE, 43, kRow + 8, MK_LBUTTON);  // 4.2 pixels: not yet
  EXPECT_FALSE(f.port.Dragging());
  f.Send(WM_MOUSEMOVE, 43, kRow + 9, MK_LBUTTON);  // 5 pixels
  EXPECT_TRUE(f.port.Dragging());
  EXPECT_FALSE(f.in.DelayedSelectionPending());
  f.Send(WM_LBUTTONUP, 43, kRow + 9);
  EXPECT_EQ(f.Selected(), "0 1 2");
}

TEST(TreeMouseSelection, ButtonsEmptySpaceAndRefusedFocus) {
  TFixture f({"a", "|a1", "|a2", "b"});
  f.Click(1);
  // The expand button left of the text: neither focus nor selection moves.
  f.Click(0, 0, 5);
  EXPECT_TRUE(f.Row(0)->Expanded());
  EXPECT_EQ(f.tree->ItemFocused(), f.Row(3));
  EXPECT_EQ(f.Selected(), "b");
  // A right click on the button acts as one on the text.
  f.Send(WM_RBUTTONDOWN, 5, 5, MK_RBUTTON);
  EXPECT_EQ(f.tree->ItemFocused(), f.Row(0));
  EXPECT_TRUE(f.Row(0)->Expanded());
  EXPECT_EQ(f.Selected(), "a");
  // Below the last row: focus goes, the selection stays (AlwaysKeepSelection).
  PlaceTexts(*f.tree);
  f.Click(8);
  EXPECT_EQ(f.tree->ItemFocused(), nullptr);
  EXPECT_EQ(f.Selected(), "a");
  f.tree->AlwaysKeepSelection = false;
  f.Click(0);
  f.Click(8);
  EXPECT_EQ(f.Selected(), "");
  // An OnChanging that never allows: the focus stays put.
  f.tree->AlwaysKeepSelection = true;
  f.Click(1);
  f.tree->OnChanging = [](TObject*, TElTreeItem*, bool&) {};
  f.Click(2);
  f.Click(3);
  EXPECT_EQ(f.tree->ItemFocused(), f.Row(1));
  EXPECT_EQ(f.Selected(), "a1");
}

TEST(TreeMouseSelection, RightClickKeepsMultiRowSelection) {
  TFixture f({"0", "1", "2", "3"});
  f.Click(0);
  f.Click(1, MK_CONTROL);
  f.Send(WM_RBUTTONDOWN, 40, 3 * kRow + 5, MK_RBUTTON);
  EXPECT_EQ(f.Selected(), "0 1");  // a context menu acts on both
  f.Click(2);
  f.Send(WM_RBUTTONDOWN, 40, 3 * kRow + 5, MK_RBUTTON);
  EXPECT_EQ(f.Selected(), "3");
  f.tree->RightClickSelect = false;
  f.Send(WM_RBUTTONDOWN, 40, 0 * kRow + 5, MK_RBUTTON);
  EXPECT_EQ(f.Selected(), "3");
}

TEST(TreeMouseSelection, RowsDeletedMidGesture) {
  TFixture f({"0", "1", "2", "3", "4"});
  f.Click(1);
  f.Click(3, MK_SHIFT);
  // A press on the selection waits for the release; the row goes first.
  f.Send(WM_LBUTTONDOWN, 40, 2 * kRow + 5, MK_LBUTTON);
  ASSERT_TRUE(f.in.DelayedSelectionPending());
  f.Row(2)->Delete();
  EXPECT_FALSE(f.in.DelayedSelectionPending());
  std::string before = f.Selected();
  f.Send(WM_LBUTTONUP, 40, 2 * kRow + 5);
  EXPECT_EQ(f.Selected(), before);
  // A frame whose start row is deleted ends and lets the mouse go.
  PlaceTexts(*f.tree);
  f.Send(WM_LBUTTONDOWN, 150, 5, MK_LBUTTON);
  f.Send(WM_MOUSEMOVE, 150, 2 * kRow + 5, MK_LBUTTON);
  ASSERT_TRUE(f.in.FrameSelecting());
  f.Row(0)->Delete();
  EXPECT_FALSE(f.in.FrameSelecting());
  EXPECT_FALSE(f.port.Captured);
  f.Send(WM_MOUSEMOVE, 150, 3 * kRow + 5, MK_LBUTTON);
  f.Send(WM_LBUTTONUP, 150, 3 * kRow + 5);
  test::ExpectConsistent(*f.tree);
}

TEST(TreeMouseSelection, RightReleaseAsksForTheContextMenu) {
  TFixture f({"0"});
  f.port.ScreenOffsetX = 100;
  f.port.ScreenOffsetY = 50;
  f.Send(WM_RBUTTONDOWN, 40, 5, MK_RBUTTON);
  f.Send(WM_RBUTTONUP, 40, 5);
  EXPECT_EQ(f.port.Calls.back(), "context menu 140,55");
}

TEST(TreeMouseSelection, SingleSelectClicks) {
  TFixture f({"0", "1", "2"}, false);
  f.Click(1);
  EXPECT_EQ(f.Selected(), "1");
  f.Click(2, MK_CONTROL);
  EXPECT_EQ(f.Selected(), "2");
  f.Click(0, MK_SHIFT);
  EXPECT_EQ(f.Selected(), "0");
}

TEST(TreeMouseCheckBoxes, CyclesAndEvents) {
  TFixture f({"0", "1"});
  f.tree->SetShowCheckboxes(true);
  TElTreeItem* it = f.Row(0);
  it->SetFlag(tifShowCheckBox, true);
  it->CheckBoxType = 1;
  std::vector<int> seen;
  int changes = 0;
  f.tree->OnItemChecked = [&](TObject*, TElTreeItem* i) { seen.push_back(i->CheckBoxState()); };
  f.tree->OnItemChange = [&](TObject*, TElTreeItem*, TItemChangeMode m) {
    changes += m == icmCheckState;
  };
  for (int i = 0; i < 3; ++i) f.Click(0, 0, 10);
  EXPECT_EQ(seen, (std::vector<int>{2, 1, 0}));
  EXPECT_GE(changes, 3);
  // A plain box toggles; a disabled one stays.
  it->CheckBoxType = 0;
  f.Click(0, 0, 10);
  EXPECT_TRUE(it->Checked());
  it->SetFlag(tifCheckBoxEnabled, false);
  f.Click(0, 0, 10);
  EXPECT_TRUE(it->Checked());
}

TEST(TreeMouseFrame, RubberBandSelectsRowsAndFiresNoClick) {
  TFixture f({"0", "1", "2", "3", "4"});
  f.Send(WM_LBUTTONDOWN, 120, kRow + 5, MK_LBUTTON);
  f.Send(WM_MOUSEMOVE, 120, 3 * kRow + 5, MK_LBUTTON);  // starts the frame
  ASSERT_TRUE(f.in.FrameSelecting());
  EXPECT_TRUE(f.port.Captured);
  f.Send(WM_MOUSEMOVE, 121, 3 * kRow + 6, MK_LBUTTON);
  EXPECT_EQ(f.Selected(), "1 2 3");
  f.Send(WM_MOUSEMOVE, 121, 2 * kRow + 6, MK_LBUTTON);
  EXPECT_EQ(f.Selected(), "1 2");
  int before = f.clicks;
  f.Send(WM_LBUTTONUP, 121, 2 * kRow + 6);
  EXPECT_FALSE(f.in.FrameSelecting());
  EXPECT_FALSE(f.port.Captured);
  EXPECT_EQ(f.clicks, before);
  EXPECT_EQ(f.Selected(), "1 2");
}

TEST(TreeMouseFrame, DraggingPastTheEdgesScrolls) {
  std::vector<std::string> lines;
  for (int i = 0; i < 20; ++i) lines.push_back(std::to_string(i));
  TFixture f(lines, true, 100);
  f.Send(WM_LBUTTONDOWN, 120, 5, MK_LBUTTON);
  f.Send(WM_MOUSEMOVE, 120, 50, MK_LBUTTON);
  ASSERT_TRUE(f.in.FrameSelecting());
  f.Send(WM_MOUSEMOVE, 120, 130, MK_LBUTTON);  // below: one row per move
  f.Send(WM_MOUSEMOVE, 120, 131, MK_LBUTTON);
  EXPECT_EQ(f.tree->TopIndex(), 2);
  f.Send(WM_MOUSEMOVE, 120, -10, MK_LBUTTON);  // above
  EXPECT_EQ(f.tree->TopIndex(), 1);
  f.Send(WM_MOUSEMOVE, 120, 90, MK_LBUTTON);  // inside again: the frame ends here
  EXPECT_EQ(f.Selected(), "0 1 2 3 4 5 6");
  f.Send(WM_LBUTTONUP, 120, 90);
}

TEST(TreeMouseHotTrack, HotItemFollowsTheMouse) {
  TFixture f({"0", "1", "2"});
  std::vector<std::string> seen;
  f.tree->OnHotTrack = [&](TObject*, TElTreeItem* o, TElTreeItem* n) {
    seen.push_back(Main(o) + ">" + Main(n));
  };
  f.Row(2)->SetFlag(tifEnabled, false);
  f.Send(WM_MOUSEMOVE, 40, 5);
  f.Send(WM_MOUSEMOVE, 41, 6);
  f.Send(WM_MOUSEMOVE, 40, kRow + 5);
  f.Send(WM_MOUSEMOVE, 40, 2 * kRow + 5);  // disabled: no hot item
  EXPECT_EQ(seen, (std::vector<std::string>{"<nil>>0", "0>1", "1><nil>"}));
}

TEST(TreeMouseEditing, SecondClickSchedulesEditDoubleClickDisarms) {
  TFixture f({"0", "1"});
  std::vector<std::string> edits;
  f.in.StartEditing = [&](TElTreeItem* it, int s) {
    edits.push_back(Main(it) + "/" + std::to_string(s));
  };
  f.Click(0);
  EXPECT_TRUE(f.in.ClickEditArmed());
  EXPECT_TRUE(f.in.EditTimer() == nullptr || !f.in.EditTimer()->Enabled());
  f.Click(0);
  ASSERT_NE(f.in.EditTimer(), nullptr);
  EXPECT_TRUE(f.in.EditTimer()->Enabled());
  EXPECT_EQ(f.in.EditTimer()->Interval(), 500u);
  Manual(f.in.EditTimer())->Fire();
  EXPECT_EQ(edits, (std::vector<std::string>{"0/0"}));
  // A double click disarms and expands nothing here; with dcmEdit it edits
  // after 1 ms.
  f.Send(WM_LBUTTONDBLCLK, 40, 5, MK_LBUTTON);
  EXPECT_FALSE(f.in.ClickEditArmed());
  EXPECT_EQ(f.in.LastClickedSection(), -2);
  EXPECT_EQ(f.dblClicks, 1);
  f.tree->SetDblClickMode(dcmEdit);
  f.Click(0);
  EXPECT_FALSE(f.in.EditTimer()->Enabled());  // dcmEdit: single clicks never edit
  f.Send(WM_LBUTTONDBLCLK, 40, 5, MK_LBUTTON);
  EXPECT_TRUE(f.in.EditTimer()->Enabled());
  EXPECT_EQ(f.in.EditTimer()->Interval(), 1u);
  // An item that does not allow editing is never scheduled.
  f.tree->SetDblClickMode(dcmExpand);
  f.Row(1)->SetFlag(tifAllowEdit, false);
  f.Click(1);
  f.Click(1);
  EXPECT_FALSE(f.in.EditTimer()->Enabled());
}

TEST(TreeMouseEditing, DoubleClickExpands) {
  TFixture f({"a", "|a1", "b"});
  f.Send(WM_LBUTTONDBLCLK, 40, 5, MK_LBUTTON);
  EXPECT_TRUE(f.Row(0)->Expanded());
  f.Send(WM_LBUTTONDBLCLK, 40, 5, MK_LBUTTON);
  EXPECT_FALSE(f.Row(0)->Expanded());
}

TEST(TreeMouseHints, ItemHintBecomesTheApplicationHint) {
  TFixture f({"0", "1", "2"});
  f.tree->Hint = L"tree";
  f.Row(1)->SetHint(L"one");
  f.Row(2)->SetHint(L"two");
  f.Send(WM_MOUSEMOVE, 40, kRow + 5);  // ShowHint off: only the texts change
  EXPECT_EQ(f.port.Hint, L"one");
  f.Send(WM_MOUSEMOVE, 40, 5);
  EXPECT_EQ(f.port.Hint, L"tree");
  f.tree->ShowHint = true;
  f.port.Calls.clear();
  f.in.HintItemShown(f.Row(1));
  f.port.ScreenOffsetX = 100;
  f.Send(WM_MOUSEMOVE, 40, 2 * kRow + 5);
  EXPECT_EQ(f.port.Hint, L"two");
  ASSERT_FALSE(f.port.Calls.empty());
  EXPECT_EQ(f.port.Calls.back(), "activate hint 140,39");
  // Not while something is dragged over the view.
  f.port.Calls.clear();
  f.in.DragEnter();
  f.Send(WM_MOUSEMOVE, 40, kRow + 5);
  EXPECT_EQ(f.port.Hint, L"one");
  EXPECT_TRUE(f.port.Calls.empty());
}

struct TRecordingControl : TElCellControl {
  std::vector<std::string>* log;
  bool wants = true;
  explicit TRecordingControl(std::vector<std::string>* l) : log(l) {}
  static std::string P(int x, int y) { return std::to_string(x) + "," + std::to_string(y); }
  void MouseMove(unsigned, int X, int Y) override { log->push_back("move " + P(X, Y)); }
  bool MouseDown(int B, unsigned, int X, int Y) override {
    log->push_back("down" + std::to_string(B) + " " + P(X, Y));
    return wants;
  }
  void MouseUp(int B, unsigned, int X, int Y) override {
    log->push_back("up" + std::to_string(B) + " " + P(X, Y));
  }
  void DblClick(int B, unsigned, int X, int Y) override {
    log->push_back("dbl" + std::to_string(B) + " " + P(X, Y));
  }
};

TEST(TreeMouseCellControls, ForwardedInCellCoordinates) {
  TFixture f({"0|a|b", "1|c|d"});
  test::AddSections(*f.tree, 3);
  for (int i = 0; i < 3; ++i) f.tree->HeaderSections().GetSection(i)->SetWidth(60);
  f.tree->SetShowColumns(true);
  std::vector<std::string> log;
  int downs = 0, moves = 0;
  f.in.OnMouseDown = [&](TMouseButton, TShiftState, int, int) { ++downs; };
  f.in.OnMouseMove = [&](TShiftState, int, int) { ++moves; };
  TElTreeItem* it = f.Row(1);
  it->SetFlag(tifUseStyles, true);
  it->AddStyle();
  TElCellStyle* st = it->AddStyle();  // column text 1, the third section
  st->OwnerProps = false;
  auto* control = new TRecordingControl(&log);
  st->SetControl(control);
  const int y = kRow + 9;
  f.Send(WM_MOUSEMOVE, 130, y);
  f.Send(WM_LBUTTONDOWN, 130, y, MK_LBUTTON);
  EXPECT_EQ(f.in.ActiveCellControl(), control);
  f.Send(WM_LBUTTONUP, 150, 3);  // released elsewhere: (-1, -1)
  EXPECT_EQ(f.in.ActiveCellControl(), nullptr);
  control->wants = false;
  f.Send(WM_RBUTTONDOWN, 125, y, MK_RBUTTON);
  f.Send(WM_RBUTTONUP, 125, y);
  f.Send(WM_LBUTTONDBLCLK, 125, y, MK_LBUTTON);
  EXPECT_EQ(log, (std::vector<std::string>{"move 10,17", "down0 10,17", "up0 -1,-1", "down1 5,17",
                                           "up1 5,17", "dbl0 5,17"}));
  EXPECT_EQ(f.Selected(), "");  // the cell's clicks select nothing
  EXPECT_EQ(downs, 2);  // the unwanted click and the double click's press
  EXPECT_EQ(moves, 0);
  // An invisible control, or one of a style with the tree's colours, gets nothing.
  control->Visible = false;
  f.Send(WM_LBUTTONDOWN, 130, y, MK_LBUTTON);
  f.Send(WM_LBUTTONUP, 130, y);
  EXPECT_EQ(log.size(), 6u);
  EXPECT_EQ(f.Selected(), "1");
}

// ---- keys ----

TEST(TreeKeys, SingleSelectArrowsAndSpace) {
  TFixture f({"0", "1", "2"}, false);
  f.Click(0);
  f.Key(VK_DOWN);
  EXPECT_EQ(f.Selected(), "1");
  EXPECT_EQ(f.tree->ItemFocused(), f.Row(1));
  f.Key(VK_END);
  EXPECT_EQ(f.Selected(), "2");
  f.Key(VK_DOWN);  // at the last row nothing changes
  EXPECT_EQ(f.Selected(), "2");
  f.Key(VK_SPACE);
  EXPECT_EQ(f.Selected(), "2");
  f.Key(VK_HOME);
  EXPECT_EQ(f.Selected(), "0");
}

TEST(TreeKeys, ShiftAndCtrlArrowsInMultiSelect) {
  TFixture f({"0", "1", "2", "3", "4", "5", "6"});
  f.Click(3);
  f.Key(VK_DOWN, {VK_SHIFT});
  f.Key(VK_DOWN, {VK_SHIFT});
  EXPECT_EQ(f.Selected(), "3 4 5");
  EXPECT_EQ(f.tree->AnchorItem(), f.Row(3));
  EXPECT_EQ(f.tree->ItemFocused(), f.Row(5));
  f.Key(VK_UP, {VK_SHIFT});
  EXPECT_EQ(f.Selected(), "3 4");
  // Ctrl+Down moves the focus and toggles the row reached.
  f.Key(VK_DOWN, {VK_CONTROL});
  EXPECT_EQ(f.Selected(), "3 4 5");
  EXPECT_EQ(f.tree->ItemFocused(), f.Row(5));
  f.Key(VK_UP, {VK_CONTROL});
  EXPECT_EQ(f.Selected(), "3 5");
  // Plain Down: the reached row alone.
  f.Key(VK_DOWN);
  EXPECT_EQ(f.Selected(), "5");
  EXPECT_EQ(f.tree->AnchorItem(), f.Row(5));
}

TEST(TreeKeys, SpaceInMultiSelect) {
  TFixture f({"0", "1", "2"});
  f.Click(0);
  f.Click(2, MK_CONTROL);
  f.Key(VK_SPACE);  // smUsual, no modifiers: only the focused row
  EXPECT_EQ(f.Selected(), "2");
  f.Key(VK_SPACE, {VK_CONTROL});
  EXPECT_EQ(f.Selected(), "");
  f.Key(VK_SPACE, {VK_CONTROL});
  EXPECT_EQ(f.Selected(), "2");
  f.tree->SelectionMode = smSimple;
  f.Click(0, MK_CONTROL);
  f.Key(VK_SPACE);
  EXPECT_EQ(f.tree->ItemFocused(), f.Row(0));
  EXPECT_EQ(f.Selected(), "2");
}

TEST(TreeKeys, ExpandCollapseAndParent) {
  TFixture f({"a", "|a1", "||a11", "|a2", "b"});
  f.Click(0);
  f.Key(VK_RIGHT);
  EXPECT_TRUE(f.Row(0)->Expanded());
  f.Key(VK_RIGHT);  // expanded: to the first child
  EXPECT_EQ(f.tree->ItemFocused(), f.Row(1));
  f.Key(VK_BACK);
  EXPECT_EQ(f.tree->ItemFocused(), f.Row(0));
  f.Key(VK_BACK);  // top level: nothing
  EXPECT_EQ(f.tree->ItemFocused(), f.Row(0));
  f.Key(VK_LEFT);
  EXPECT_FALSE(f.Row(0)->Expanded());
  f.Key('8', {VK_SHIFT});  // the main keyboard's asterisk: the whole subtree
  EXPECT_TRUE(f.Row(0)->Expanded());
  EXPECT_TRUE(f.Row(1)->Expanded());
  f.Key(VK_DIVIDE);
  EXPECT_FALSE(f.Row(0)->Expanded());
  EXPECT_FALSE(f.Row(1)->Expanded());
  f.tree->SetRightAlignedTree(true);
  f.Key(VK_LEFT);
  EXPECT_TRUE(f.Row(0)->Expanded());
  f.Key(VK_RIGHT);
  EXPECT_FALSE(f.Row(0)->Expanded());
  // A disabled focused row neither expands.
  f.Row(0)->SetFlag(tifEnabled, false);
  f.Key(VK_ADD);
  EXPECT_FALSE(f.Row(0)->Expanded());
}

TEST(TreeKeys, NavigationScrollsTheFocusIntoView) {
  std::vector<std::string> lines;
  for (int i = 0; i < 20; ++i) lines.push_back(std::to_string(i));
  TFixture f(lines, true, 100);  // 5 whole rows
  f.Click(0);
  for (int i = 0; i < 6; ++i) f.Key(VK_DOWN);
  EXPECT_EQ(f.tree->ItemFocused(), f.Row(6));
  EXPECT_TRUE(f.tree->IsOnScreen(f.Row(6)));
  f.Key(VK_END);
  EXPECT_EQ(f.tree->ItemFocused(), f.Row(19));
  EXPECT_TRUE(f.tree->IsOnScreen(f.Row(19)));
  f.Key(VK_HOME);
  EXPECT_EQ(f.tree->TopIndex(), 0);
  f.Key(VK_NEXT);  // the rows that fit (6, one partial) less one
  EXPECT_EQ(f.tree->ItemFocused(), f.Row(5));
}

TEST(TreeKeys, IncrementalSearchTakesCharacters) {
  TFixture f({"0"});
  std::wstring searched, pressed;
  f.in.IncrementalSearchKey = [&](wchar_t c) {
    searched += c;
    return c != L'x';
  };
  f.in.OnKeyPress = [&](wchar_t& c) { pressed += c; };
  LRESULT r;
  for (wchar_t c : std::wstring(L"ax")) f.tree->View().Input().HandleMessage(WM_CHAR, c, 0, r);
  EXPECT_EQ(searched, L"");  // switched off
  EXPECT_EQ(pressed, L"ax");
  f.tree->IncrementalSearch = true;
  for (wchar_t c : std::wstring(L"ax")) f.tree->View().Input().HandleMessage(WM_CHAR, c, 0, r);
  EXPECT_EQ(searched, L"ax");
  EXPECT_EQ(pressed, L"axx");
}

// ---- line hints ----

struct THintFixture : TFixture {
  THintFixture() : TFixture({"short|c1|", "a much longer main text|c2|x"}) {
    test::AddSections(*tree, 3);
    for (int i = 0; i < 3; ++i) tree->HeaderSections().GetSection(i)->SetWidth(60);
    tree->SetShowColumns(true);
    PlaceTexts(*tree);
    Row(1)->TextRect.Right = 60;  // painting cut it at the column edge
  }
  void Rest(int x, int y) {
    Send(WM_MOUSEMOVE, x, y);
    port.CursorX = x;
    port.CursorY = y;
    Manual(in.LineHintTimer())->Fire();
  }
};

TEST(TreeLineHints, ShownOnlyForCutTexts) {
  THintFixture f;
  f.Rest(40, 5);
  EXPECT_FALSE(f.port.LineHintShowing);
  EXPECT_EQ(f.in.LineHintTimer()->Interval(), 50u);  // the application's short pause
  f.Rest(40, kRow + 5);
  ASSERT_TRUE(f.port.LineHintShowing);
  EXPECT_EQ(f.port.LineHintText, L"a much longer main text");
  EXPECT_EQ(f.port.LineHintRect.Left, 20);
  EXPECT_EQ(f.port.LineHintRect.Top, kRow);
  EXPECT_EQ(f.in.LineHintItem(), f.Row(1));
  // A key hides it (HideHintOnMove).
  f.Key(VK_DOWN);
  EXPECT_FALSE(f.port.LineHintShowing);
  // With shmAll the short one shows too.
  f.tree->LineHintMode = shmAll;
  f.Rest(40, 5);
  EXPECT_EQ(f.port.LineHintText, L"short");
}

TEST(TreeLineHints, TextChoice) {
  THintFixture f;
  f.tree->LineHintMode = shmAll;
  TElHeaderSection* s = f.tree->HeaderSections().GetSection(2);
  struct TCase {
    TElHintType type;
    TLineHintType line;
    const wchar_t* hint;
    int row, section;
    std::wstring text;
    int resultSection;
  } cases[] = {
      {shtHintOrText, lhtSmart, L"tip|long help", 1, 2, L"tip", 2},
      {shtHintOrText, lhtSmart, L"", 1, 2, L"x", 2},
      {shtHintOrText, lhtSmart, L"", 0, 2, L"short", 0},  // empty cell: main text
      {shtHintOrText, lhtCellTextOnly, L"", 0, 2, L"", 2},
      {shtMainText, lhtMainTextOnly, L"tip", 1, 2, L"a much longer main text", 2},
      {shtHintOnly, lhtSmart, L"", 1, 2, L"", 2},
      {shtMainText, lhtSmart, L"", 0, 1, L"c1", 1},
  };
  // An owner-drawn cell shows the main text, or nothing for cell text only.
  TElTreeItem* styled = f.Row(1);
  styled->SetFlag(tifUseStyles, true);
  styled->AddStyle();
  styled->AddStyle()->Style = ElhsOwnerDraw;  // the style of column text 1
  f.tree->HintType = shtMainText;
  f.tree->LineHintType = lhtSmart;
  TElHeaderSection* sec2 = s;
  EXPECT_EQ(f.in.LineHintText(styled, sec2), L"a much longer main text");
  f.tree->LineHintType = lhtCellTextOnly;
  EXPECT_EQ(f.in.LineHintText(styled, sec2), L"");
  styled->SetFlag(tifUseStyles, false);
  for (const auto& c : cases) {
    f.tree->HintType = c.type;
    f.tree->LineHintType = c.line;
    f.Row(c.row)->SetHint(c.hint);
    TElHeaderSection* sec = f.tree->HeaderSections().GetSection(c.section);
    EXPECT_EQ(f.in.LineHintText(f.Row(c.row), sec), c.text) << c.row << "/" << c.section;
    EXPECT_EQ(sec->Index(), c.resultSection);
    f.Row(c.row)->SetHint(L"");
  }
}

TEST(TreeLineHints, HideOnTimerAndRefusal) {
  THintFixture f;
  f.tree->HideHintOnTimer = true;
  f.tree->LineHintTimeout = 0;
  f.port.HidePause = 700;
  f.Rest(40, kRow + 5);
  ASSERT_TRUE(f.port.LineHintShowing);
  EXPECT_TRUE(f.in.LineHintTimer()->Enabled());
  EXPECT_EQ(f.in.LineHintTimer()->Interval(), 700u);
  Manual(f.in.LineHintTimer())->Fire();
  EXPECT_FALSE(f.port.LineHintShowing);
  // OnShowLineHint may change the text or refuse.
  f.tree->HideHintOnTimer = false;
  f.tree->OnShowLineHint = [](TObject*, TElTreeItem*, TElHeaderSection*, TElFString& Text,
                              TElHintWindow*, int, int, bool& Show) {
    Show = Text != L"short";
    Text += L"!";
  };
  f.tree->LineHintMode = shmAll;
  f.Rest(40, 5);
  EXPECT_FALSE(f.port.LineHintShowing);
  f.Rest(40, kRow + 5);
  EXPECT_EQ(f.port.LineHintText, L"a much longer main text!");
  // A button press hides; a deleted item takes its hint with it.
  f.Send(WM_MOUSEMOVE, 40, 5);
  f.Send(WM_LBUTTONDOWN, 40, 5, MK_LBUTTON);
  EXPECT_FALSE(f.port.LineHintShowing);
  f.Send(WM_LBUTTONUP, 40, 5);
  f.Rest(40, kRow + 5);
  ASSERT_TRUE(f.port.LineHintShowing);
  f.Row(1)->Delete();
  EXPECT_FALSE(f.port.LineHintShowing);
  EXPECT_EQ(f.in.LineHintItem(), nullptr);
}

// ---- drag ----

TEST(TreeDrag, CursorsTargetsAndDisabledRows) {
  TFixture f({"0", "1", "2"});
  EXPECT_EQ(f.in.DragCursor(false), kCursorDropDenied);
  EXPECT_EQ(f.in.DragCursor(true), kCursorDragMove);
  f.port.HeldKeys = {VK_CONTROL};
  EXPECT_EQ(f.in.DragCursor(true), kCursorDragCopy);
  f.port.HeldKeys.clear();
  std::vector<std::string> changes;
  f.tree->OnDragTargetChange = [&](TObject*, TElTreeItem* it, const TElRect& r, int, int y) {
    changes.push_back(Main(it) + "@" + std::to_string(r.Top) + "," + std::to_string(y));
  };
  f.in.DragEnter();
  f.in.DragOver(40, kRow + 3, true);
  EXPECT_EQ(f.tree->DropTarget(), f.Row(1));
  EXPECT_TRUE(f.in.DropAccepted());
  f.Row(2)->SetFlag(tifEnabled, false);
  f.in.DragOver(40, 2 * kRow + 3, false);
  EXPECT_EQ(f.tree->DropTarget(), nullptr);
  EXPECT_EQ(changes, (std::vector<std::string>{"1@17,20", "<nil>@0,37"}));
  f.in.DragOver(40, 3, true);
  f.in.DragLeave(false);
  EXPECT_EQ(f.tree->DropTarget(), nullptr);
  EXPECT_FALSE(f.in.DragOverView());
}

TEST(TreeDrag, EdgeScrollingAndExpandOnRest) {
  std::vector<std::string> lines{"a", "|a1"};
  for (int i = 0; i < 20; ++i) lines.push_back(std::to_string(i));
  TFixture f(lines, true, 100);
  f.tree->DragScrollInterval = 80;
  f.in.DragEnter();
  // Near the top with the first row on top: no scrolling.
  f.in.DragOver(40, 5, true);
  EXPECT_TRUE(f.in.DragScrollTimer() == nullptr || !f.in.DragScrollTimer()->Enabled());
  // Within the last row's height of the bottom edge: after 1 s, then every 80 ms.
  f.port.CursorY = 95;
  f.in.DragOver(40, 95, true);
  ASSERT_NE(f.in.DragScrollTimer(), nullptr);
  EXPECT_EQ(f.in.DragScrollTimer()->Interval(), 1000u);
  Manual(f.in.DragScrollTimer())->Fire();
  EXPECT_EQ(f.tree->TopIndex(), 1);
  EXPECT_EQ(f.in.DragScrollTimer()->Interval(), 80u);
  Manual(f.in.DragScrollTimer())->Fire();
  EXPECT_EQ(f.tree->TopIndex(), 2);
  f.port.CursorY = 50;  // out of the zone: it stops
  Manual(f.in.DragScrollTimer())->Fire();
  EXPECT_EQ(f.tree->TopIndex(), 2);
  EXPECT_FALSE(f.in.DragScrollTimer()->Enabled());
  // Resting on a collapsed row expands it after the delay.
  f.tree->SetTopIndex(0);
  f.tree->ExpandOnDragOver = true;
  f.in.DragOver(40, 5, true);
  ASSERT_NE(f.in.DragExpandTimer(), nullptr);
  EXPECT_EQ(f.in.DragExpandTimer()->Interval(), 500u);
  EXPECT_FALSE(f.Row(0)->Expanded());
  Manual(f.in.DragExpandTimer())->Fire();
  EXPECT_TRUE(f.Row(0)->Expanded());
}

TEST(TreeDrag, ImageSpansTheSelectedRowsOnScreen) {
  TFixture f({"0", "1", "2", "3", "4", "5"});
  f.Click(2);
  f.Click(5, MK_CONTROL);
  f.tree->DragAllowed = true;
  struct TCase {
    TDragImgMode mode;
    bool image;
    int height;
  } cases[] = {{dimNever, false, 0}, {dimOne, false, 0}, {dimAll, true, 4 * kRow + 1}};
  for (const auto& c : cases) {
    f.tree->DragImageMode = c.mode;
    f.port.InDrag = false;
    f.Send(WM_LBUTTONDOWN, 40, 2 * kRow + 5, MK_LBUTTON);
    f.Send(WM_MOUSEMOVE, 40, 2 * kRow + 12, MK_LBUTTON);
    ASSERT_TRUE(f.port.Dragging());
    TDragImageList* img = f.in.DragImages();
    ASSERT_EQ(img != nullptr, c.image) << int(c.mode);
    if (img) {
      EXPECT_EQ(img->Height(), c.height);
      EXPECT_EQ(f.in.DragImageOffset(), 2 * kRow);
    }
    f.in.DoEndDrag(nullptr, 0, 0);
    EXPECT_EQ(f.in.DragImages(), nullptr);
    f.Send(WM_LBUTTONUP, 40, 2 * kRow + 12);
  }
  EXPECT_EQ(f.Selected(), "2 5");
  // One selected row: dimOne has its picture.
  f.Click(1);
  f.tree->DragImageMode = dimOne;
  f.port.InDrag = false;
  f.Send(WM_LBUTTONDOWN, 40, kRow + 5, MK_LBUTTON);
  f.Send(WM_MOUSEMOVE, 40, kRow + 12, MK_LBUTTON);
  ASSERT_NE(f.in.DragImages(), nullptr);
  EXPECT_EQ(f.in.DragImages()->Height(), kRow + 1);
}

TEST(TreeDrag, GlyphRecolouring) {
  TBitmap b;
  b.SetSize(4, 1);
  TCanvas* c = b.Canvas();
  c->SetPixels(0, 0, 0x000000);
  c->SetPixels(1, 0, 0x808080);
  c->SetPixels(2, 0, 0xFFFFFF);
  c->SetPixels(3, 0, 0x123456);
  RecolorGlyph(b);
  EXPECT_EQ(c->Pixels(0, 0) & 0xFFFFFF, static_cast<TColor>(GetSysColor(COLOR_WINDOWTEXT)));
  EXPECT_EQ(c->Pixels(1, 0) & 0xFFFFFF, static_cast<TColor>(GetSysColor(COLOR_BTNSHADOW)));
  EXPECT_EQ(c->Pixels(2, 0) & 0xFFFFFF, static_cast<TColor>(GetSysColor(COLOR_WINDOW)));
  EXPECT_EQ(c->Pixels(3, 0) & 0xFFFFFF, 0x123456);
}

}  // namespace
}  // namespace morvane
