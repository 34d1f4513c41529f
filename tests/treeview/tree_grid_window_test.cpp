// The tree window as the program's grids use it: every event a grid's
// handler relies on, driven through real messages to the header, the view
// and the grid itself, with the grid as Sender.
// ctest: desktop
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "controls/controls_fixture.h"
#include "controls/elhintwnd.h"
#include "controls/elscrollbar.h"
#include "controls/elvclutils.h"
#include "platform/ui/menus.h"
#include "platform/ui/stdctrls.h"
#include "tree_fixture.h"
#include "platform/ui/dragdrop.h"
#include "platform/ui/imglist.h"
#include "treeview/eltree_drag.h"
#include "treeview/eltree_editor.h"
#include "treeview/eltree_input.h"
#include "treeview/eltree_window.h"
#include "treeview/eltreeports.h"

namespace morvane {
namespace {

class TreeGridWindow : public test::ControlsTest {
 protected:
  void SetUp() override {
    ControlsTest::SetUp();
    grid = new TElTreeWindow(form.get());
    grid->SetParent(form.get());
    grid->SetBounds(4, 4, 400, 200);
    other = new TEdit(form.get());
    other->SetParent(form.get());
    other->SetBounds(4, 210, 100, 22);
    for (int width : {120, 100, 100}) {
      TElHeaderSection* s = T().HeaderSections().AddSection();
      s->SetText(L"C" + std::to_wstring(T().HeaderSections().Count()));
      s->SetWidth(width);
    }
    T().SetShowColumns(true);
    T().SetSortMode(smClick);
    std::vector<std::string> rows;
    for (int i = 0; i < 60; ++i) rows.push_back("row" + std::to_string(100 + i) + "|" + std::to_string(60 - i) + "|x");
    test::Load(T(), rows);
    grid->HandleNeeded();
    Application->ProcessMessages();
  }
  TElTree& T() { return grid->Tree(); }
  HWND View() { return grid->View()->Handle(); }
  // A point on a row of the view, in the view's coordinates, inside the
  // first column's empty part (right of the text).
  LPARAM Row(int row) { return At(100, row * T().LineHeight() + T().LineHeight() / 2); }
  void Click(UINT down, UINT up, LPARAM at, WPARAM keys = MK_LBUTTON) {
    SendMessageA(View(), down, keys, at);
    SendMessageA(View(), up, 0, at);
  }
  void ClickHeader(int section) {
    TElHeaderSection* s = T().HeaderSections().GetSection(section);
    const LPARAM at = At(s->Left() + s->Width() / 2, grid->Header()->Height() / 2);
    SendMessageA(grid->Header()->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageA(grid->Header()->Handle(), WM_LBUTTONUP, 0, at);
  }
  void Wheel(HWND to, UINT msg, int delta) {
    RECT r;
    GetWindowRect(View(), &r);
    SendMessageA(to, msg, MAKEWPARAM(0, static_cast<WORD>(delta)), MAKELPARAM(r.left + 20, r.top + 20));
  }

  TElTreeWindow* grid = nullptr;
  TEdit* other = nullptr;
};

UINT WheelLines() {
  UINT lines = 3;
  SystemParametersInfoA(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
  return lines;
}

TEST_F(TreeGridWindow, EventsReachTheGridThroughRealMessages) {
  struct TCase {
    const char* name;
    std::function<void()> run;
  };
  const TCase cases[] = {
      {"header click: the handler runs once per click and the direction alternates",
       [&] {
         int calls = 0;
         bool ascending = false;
         std::vector<bool> directions;
         T().OnHeaderColumnClick = [&](TObject* sender, int section) {
           EXPECT_EQ(sender, grid);
           EXPECT_EQ(section, 1);
           ++calls;
           ascending = !ascending;  // as a handler that keeps its own direction
           directions.push_back(ascending);
         };
         int compared = 0;
         T().OnCompareItems = [&](TObject* sender, TElTreeItem*, TElTreeItem*, int&) {
           EXPECT_EQ(sender, grid);
           ++compared;
         };
         T().HeaderSections().GetSection(1)->SetFieldType(sftCustom);
         ClickHeader(1);
         ClickHeader(1);
         EXPECT_EQ(calls, 2);
         EXPECT_EQ(directions, (std::vector<bool>{true, false}));
         EXPECT_GT(compared, 0) << "the click sorts through OnCompareItems";
         EXPECT_EQ(T().HeaderSections().GetSection(1)->SortMode(), hsmDescend);
         T().OnHeaderColumnClick = nullptr;
         T().OnCompareItems = nullptr;
       }},
      {"wheel over the view, the grid and as the toolkit's message: the rows scroll",
       [&] {
         const int lines = static_cast<int>(WheelLines());
         ASSERT_GT(lines, 0);
         T().SetTopIndex(0);
         Wheel(View(), WM_MOUSEWHEEL, -WHEEL_DELTA);
         EXPECT_EQ(T().TopIndex(), lines);
         Wheel(grid->Handle(), WM_MOUSEWHEEL, -WHEEL_DELTA);
         EXPECT_EQ(T().TopIndex(), 2 * lines);
         Wheel(View(), CM_BASE + WM_MOUSEWHEEL, WHEEL_DELTA);
         EXPECT_EQ(T().TopIndex(), lines);
         // A handler that takes the wheel keeps the rows where they are.
         grid->OnMouseWheel = [](TObject*, TShiftState, int, POINT, bool& handled) { handled = true; };
         Wheel(View(), WM_MOUSEWHEEL, -WHEEL_DELTA);
         EXPECT_EQ(T().TopIndex(), lines);
         grid->OnMouseWheel = nullptr;
         T().SetTopIndex(0);
       }},
      {"a click below the header focuses the row under the mouse, selection change with the grid as Sender",
       [&] {
         std::vector<TElTreeItem*> changed;
         T().OnItemSelectedChange = [&](TObject* sender, TElTreeItem* item) {
           EXPECT_EQ(sender, grid);
           changed.push_back(item);
         };
         int clicks = 0;
         grid->OnClick = [&](TObject* sender) {
           EXPECT_EQ(sender, grid);
           ++clicks;
         };
         POINT down{-1, -1};
         grid->OnMouseDown = [&](TObject*, TMouseButton, TShiftState, int x, int y) { down = {x, y}; };
         Click(WM_LBUTTONDOWN, WM_LBUTTONUP, Row(0));
         EXPECT_EQ(T().ItemFocused(), T().Items().Item(0)) << "the first row, right below the header";
         EXPECT_TRUE(T().ItemFocused() && T().ItemFocused()->Selected());
         EXPECT_FALSE(changed.empty());
         EXPECT_EQ(clicks, 1);
         EXPECT_EQ(down.y, T().LineHeight() / 2 + grid->View()->Top()) << "points in the grid's coordinates";
         T().OnItemSelectedChange = nullptr;
         grid->OnClick = nullptr;
         grid->OnMouseDown = nullptr;
       }},
      {"double click: OnDblClick fires once",
       [&] {
         int dbl = 0;
         grid->OnDblClick = [&](TObject* sender) {
           EXPECT_EQ(sender, grid);
           ++dbl;
         };
         Click(WM_LBUTTONDOWN, WM_LBUTTONUP, Row(2));
         Click(WM_LBUTTONDBLCLK, WM_LBUTTONUP, Row(2));
         EXPECT_EQ(dbl, 1);
         grid->OnDblClick = nullptr;
       }},
      {"F5 and Ctrl+F in the grid reach the form's key preview, arrows still move the focus",
       [&] {
         form->SetKeyPreview(true);
         std::vector<WORD> formKeys, gridKeys;
         form->OnKeyDown = [&](TObject*, WORD& key, TShiftState shift) {
           formKeys.push_back(key);
           if (key == 'F' && (shift & ssCtrl)) key = 0;  // the form takes it
         };
         grid->OnKeyDown = [&](TObject* sender, WORD& key, TShiftState) {
           EXPECT_EQ(sender, grid);
           gridKeys.push_back(key);
         };
         grid->SetFocus();
         ASSERT_EQ(GetFocus(), View());
         T().SetItemFocused(T().Items().Item(0));
         SendMessageA(View(), WM_KEYDOWN, VK_F5, 0);
         BYTE keys[256];
         GetKeyboardState(keys);
         const BYTE ctrl = keys[VK_CONTROL];
         keys[VK_CONTROL] = 0x80;
         SetKeyboardState(keys);
         SendMessageA(View(), WM_KEYDOWN, 'F', 0);
         keys[VK_CONTROL] = ctrl;
         SetKeyboardState(keys);
         SendMessageA(View(), WM_KEYDOWN, VK_DOWN, 0);
         EXPECT_EQ(formKeys, (std::vector<WORD>{VK_F5, 'F', VK_DOWN}));
         EXPECT_EQ(gridKeys, (std::vector<WORD>{VK_F5, VK_DOWN})) << "a key the form took goes no further";
         EXPECT_EQ(T().ItemFocused(), T().Items().Item(1));
         form->SetKeyPreview(false);
         form->OnKeyDown = nullptr;
         grid->OnKeyDown = nullptr;
       }},
      {"focus: OnEnter when it comes in, OnExit once when it leaves, none for the move to the view",
       [&] {
         other->SetFocus();
         int enters = 0, exits = 0;
         grid->OnEnter = [&](TObject* sender) {
           EXPECT_EQ(sender, grid);
           ++enters;
         };
         grid->OnExit = [&](TObject* sender) {
           EXPECT_EQ(sender, grid);
           ++exits;
         };
         grid->SetFocus();  // the grid passes the focus on to its view
         EXPECT_EQ(GetFocus(), View());
         EXPECT_TRUE(grid->Focused());
         EXPECT_EQ(form->ActiveControl(), grid);
         EXPECT_EQ(enters, 1);
         EXPECT_EQ(exits, 0);
         other->SetFocus();
         EXPECT_EQ(exits, 1);
         EXPECT_FALSE(grid->Focused());
         grid->OnEnter = nullptr;
         grid->OnExit = nullptr;
       }},
      {"right click: the row under the mouse is selected, then the pop-up menu shows; so does the menu key",
       [&] {
         TPopupMenu menu(form.get());
         menu.SetName("GridMenu");
         auto* item = new TMenuItem(&menu);
         item->SetCaption("&Edit");
         menu.Items()->Add(item);
         grid->SetPopupMenu(&menu);
         T().DeselectAll();
         TElTreeItem* target = static_cast<TElTreeItem*>(T().View().VisibleRows().Get(4));
         std::vector<TElTreeItem*> focusedAtPopup;
         auto answer = [&](TModalRequest& r) {
           EXPECT_EQ(r.Menu, &menu);
           focusedAtPopup.push_back(T().ItemFocused());
           EXPECT_TRUE(T().ItemFocused() && T().ItemFocused()->Selected());
           return 0;
         };
         script_.Expect(TModalKind::mkPopupMenu, "", answer);
         script_.Expect(TModalKind::mkPopupMenu, "", answer);
         Click(WM_RBUTTONDOWN, WM_RBUTTONUP, Row(4), MK_RBUTTON);
         SendMessageA(View(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(View()), -1);
         EXPECT_EQ(focusedAtPopup, (std::vector<TElTreeItem*>{target, target}));
         EXPECT_EQ(T().GetSelectedCount(), 1);
         grid->SetPopupMenu(nullptr);
       }},
      {"owner-drawn header section and cells are drawn by the grid's handlers",
       [&] {
         TElHeaderSection* s = T().HeaderSections().GetSection(2);
         s->SetStyle(ElhsOwnerDraw);
         int headerDraws = 0, cellDraws = 0;
         grid->OnHeaderColumnDraw = [&](TObject* sender, TCanvas*, TElHeaderSection* section, RECT, bool) {
           EXPECT_EQ(sender, grid);
           EXPECT_EQ(section, s);
           ++headerDraws;
         };
         grid->OnItemDraw = [&](TObject* sender, TElTreeItem*, TCanvas*, RECT, int section) {
           EXPECT_EQ(sender, grid);
           EXPECT_EQ(section, 2);
           ++cellDraws;
         };
         RedrawWindow(grid->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
         EXPECT_GE(headerDraws, 1);
         EXPECT_GE(cellDraws, T().View().VisibleRows().Count() - 1);
         s->SetStyle(ElhsText);
         grid->OnHeaderColumnDraw = nullptr;
         grid->OnItemDraw = nullptr;
       }},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.name);
    c.run();
  }
  EXPECT_EQ(TElTreeWindow::FromSender(grid), grid);
  EXPECT_EQ(TElTreeWindow::FromSender(grid->View()), grid);
  EXPECT_EQ(TElTreeWindow::FromSender(&T()), nullptr);
}

// Scrolling through the grid's bars, its scroll messages and the wheel
// while a rubber-band frame runs.
TEST_F(TreeGridWindow, ScrollBarsMessagesAndTheWheelMoveTheRows) {
  std::vector<std::pair<TElScrollBarKind, int>> scrolls;
  T().OnScroll = [&](TObject* sender, TElScrollBarKind kind, int code) {
    EXPECT_EQ(sender, grid);
    scrolls.emplace_back(kind, code);
  };
  const int fit = T().View().RowsThatFit();
  struct TCase {
    const char* name;
    std::function<void()> act;
    int top;               // TopIndex after it
    int left;              // LeftPosition after it
    int scrollCode;        // a vertical OnScroll with this code was fired (-1: none checked)
  };
  const TCase cases[] = {
      {"a click on the vertical bar's forward arrow",
       [&] {
         TWinControl* bar = grid->VScrollBar();
         const LPARAM at = At(bar->Width() / 2, bar->Height() - 3);
         SendMessageA(bar->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, at);
         SendMessageA(bar->Handle(), WM_LBUTTONUP, 0, at);
       },
       1, 0, SB_LINEDOWN},
      {"a custom second button of the vertical bar tells OnScroll and scrolls nothing",
       [&] {
         grid->VertScrollBarStyles()->SetSecondaryButtons(true);
         grid->VertScrollBarStyles()->SetSecondBtnKind(TElSecButtonsKind::sbkCustom);
         auto* bar = static_cast<TElScrollBar*>(grid->VScrollBar());
         const RECT r = bar->PartRect(spForwardSecondary);
         const LPARAM at = At((r.left + r.right) / 2, (r.top + r.bottom) / 2);
         SendMessageA(bar->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, at);
         SendMessageA(bar->Handle(), WM_LBUTTONUP, 0, at);
         grid->VertScrollBarStyles()->SetSecondaryButtons(false);
         grid->VertScrollBarStyles()->SetSecondBtnKind(TElSecButtonsKind::sbkOpposite);
       },
       0, 0, scCustomForwardSide},
      {"WM_VSCROLL page down sent to the grid",
       [&] { SendMessageA(grid->Handle(), WM_VSCROLL, SB_PAGEDOWN, 0); }, fit - 1, 0, -1},
      {"WM_VSCROLL line down sent to the grid",
       [&] { SendMessageA(grid->Handle(), WM_VSCROLL, SB_LINEDOWN, 0); }, 1, 0, -1},
      {"WM_HSCROLL line right sent to the grid",
       [&] {
         T().HeaderSections().GetSection(2)->SetWidth(600);
         SendMessageA(grid->Handle(), WM_HSCROLL, SB_LINERIGHT, 0);
       },
       0, 4, -1},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.name);
    T().SetTopIndex(0);
    T().SetLeftPosition(0);
    scrolls.clear();
    c.act();
    EXPECT_EQ(T().TopIndex(), c.top);
    EXPECT_EQ(T().LeftPosition(), c.left);
    if (c.scrollCode >= 0)
      EXPECT_NE(std::find(scrolls.begin(), scrolls.end(), std::make_pair(TElScrollBarKind::sbVertical, c.scrollCode)),
                scrolls.end());
  }
  T().OnScroll = nullptr;

  // A frame from row 1 to row 3 of the screen, then the wheel: its end
  // follows the row now under the mouse.
  T().SetTopIndex(0);
  T().SetLeftPosition(0);
  const int lh = T().LineHeight(), x = grid->View()->Width() - 10;
  SendMessageA(View(), WM_LBUTTONDOWN, MK_LBUTTON, At(x, lh + 2));
  SendMessageA(View(), WM_MOUSEMOVE, MK_LBUTTON, At(x, 3 * lh + 2));
  SendMessageA(View(), WM_MOUSEMOVE, MK_LBUTTON, At(x, 3 * lh + 3));
  ASSERT_TRUE(T().View().Input().FrameSelecting());
  EXPECT_EQ(T().GetSelectedCount(), 3);
  POINT mouse{x, 3 * lh + 3};
  ClientToScreen(View(), &mouse);
  SetCursorPos(mouse.x, mouse.y);
  SendMessageA(View(), WM_MOUSEWHEEL, MAKEWPARAM(MK_LBUTTON, static_cast<WORD>(-WHEEL_DELTA)),
               MAKELPARAM(mouse.x, mouse.y));
  const int lines = static_cast<int>(WheelLines());
  EXPECT_EQ(T().TopIndex(), lines);
  EXPECT_EQ(T().GetSelectedCount(), 3 + lines) << "rows 1 to " << 3 + lines;
  SendMessageA(View(), WM_LBUTTONUP, 0, At(x, 3 * lh + 3));
  EXPECT_FALSE(T().View().Input().FrameSelecting());
}

// What the view does on losing the focus, the mouse or the active form, and
// the hint it gives the toolkit.
TEST_F(TreeGridWindow, ViewMessagesEndTheirModesAndGiveHints) {
  const TElFString wide = L"Gr\u00FC\u00DFe \u2603";
  T().Items().Item(1)->SetHint(wide);
  T().Hint = L"the grid|its long hint";
  const int lh = T().LineHeight(), x = grid->View()->Width() - 10;
  auto hintAt = [&](int row) {
    THintInfo info;
    info.HintControl = grid->View();
    info.CursorPos = POINT{20, row * lh + 2};
    SendMessageA(View(), CM_HINTSHOW, 0, reinterpret_cast<LPARAM>(&info));
    std::wstring text;
    if (!UnpackWideHint(info.HintStr, text)) text = AnsiToWide(info.HintStr);
    return text;
  };
  struct TCase {
    const char* name;
    std::function<void()> run;
  };
  const TCase cases[] = {
      {"losing the focus ends a running frame and its capture",
       [&] {
         grid->SetFocus();
         SendMessageA(View(), WM_LBUTTONDOWN, MK_LBUTTON, At(x, lh + 2));
         SendMessageA(View(), WM_MOUSEMOVE, MK_LBUTTON, At(x, 3 * lh + 2));
         ASSERT_TRUE(T().View().Input().FrameSelecting());
         other->SetFocus();
         EXPECT_FALSE(T().View().Input().FrameSelecting());
         EXPECT_FALSE(T().View().Input().LeftButtonHeld());
         EXPECT_NE(GetCapture(), View());
       }},
      {"the mouse leaving forgets the hot-tracked row",
       [&] {
         T().Tracking = true;
         SendMessageA(View(), WM_MOUSEMOVE, 0, At(30, 2 * lh + 2));
         EXPECT_EQ(T().HotTrackItem(), T().Items().Item(2));
         SendMessageA(View(), WM_MOUSELEAVE, 0, 0);
         EXPECT_EQ(T().HotTrackItem(), nullptr);
       }},
      {"the form going inactive repaints a hidden selection",
       [&] {
         grid->SetHideSelection(true);
         ValidateRect(View(), nullptr);
         SendMessageA(View(), CM_DEACTIVATE, 0, 0);
         RECT dirty{};
         EXPECT_TRUE(GetUpdateRect(View(), &dirty, FALSE));
         grid->SetHideSelection(false);
       }},
      {"a cut text's line hint shows in the grid's font and text colour; the form going inactive hides it",
       [&] {
         T().HeaderSections().GetSection(0)->SetWidth(40);
         grid->SetTextColor(clMaroon);
         grid->Font()->SetHeight(-13);
         SendMessageA(View(), WM_MOUSEMOVE, 0, At(20, 5 * lh + 3));
         IElTreeTimer* timer = T().View().Input().LineHintTimer();
         ASSERT_NE(timer, nullptr);
         ASSERT_TRUE(timer->OnTimer);
         timer->OnTimer();
         TElHintWindow* hint = T().View().Input().Port().LineHintWindow();
         ASSERT_TRUE(hint && hint->HandleAllocated() && IsWindowVisible(hint->Handle()));
         EXPECT_EQ(hint->WideCaption(), T().Items().Item(5)->Text());
         EXPECT_EQ(hint->Font()->Color(), clMaroon);
         EXPECT_EQ(hint->Font()->Height(), -13);
         EXPECT_EQ(hint->Font()->Name(), grid->View()->Font()->Name());
         SendMessageA(View(), CM_DEACTIVATE, 0, 0);
         EXPECT_FALSE(hint->HandleAllocated() && IsWindowVisible(hint->Handle()));
         EXPECT_EQ(T().View().Input().LineHintItem(), nullptr);
         T().HeaderSections().GetSection(0)->SetWidth(120);
       }},
      {"the hint is the item's, in Unicode, else the short part of the grid's",
       [&] {
         EXPECT_EQ(hintAt(1), wide);
         EXPECT_EQ(T().View().Input().HintItem(), T().Items().Item(1));
         EXPECT_EQ(hintAt(2), L"the grid");
         T().Hint.clear();
         EXPECT_EQ(hintAt(2), L"");
       }},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.name);
    c.run();
  }
}

// The header's own events reach the grid's handlers, the grid as Sender.
TEST_F(TreeGridWindow, HeaderEventsReachTheGrid) {
  HWND header = grid->Header()->Handle();
  const int y = grid->Header()->Height() / 2;
  auto centre = [&](int section) {
    TElHeaderSection* s = T().HeaderSections().GetSection(section);
    return s->Left() + s->Width() / 2;
  };
  std::vector<std::string> seen;
  TElHeaderSection* target = nullptr;
  grid->OnHeaderLookup = [&](TObject* sender, TElHeaderSection* s, std::string& text) {
    EXPECT_EQ(sender, grid);
    EXPECT_EQ(s, target);
    seen.push_back("lookup " + text);
  };
  grid->OnHeaderLookupDone = [&](TObject* sender, TElHeaderSection* s, const std::string& text, bool accepted) {
    EXPECT_EQ(sender, grid);
    EXPECT_EQ(s, target);
    seen.push_back("done " + text + (accepted ? " accepted" : " cancelled"));
  };
  grid->OnHeaderSectionExpand = [&](TObject* sender, TElHeaderSection* s) {
    EXPECT_EQ(sender, grid);
    EXPECT_EQ(s, target);
    seen.push_back("expand");
  };
  grid->OnHeaderSectionCollapse = [&](TObject* sender, TElHeaderSection* s) {
    EXPECT_EQ(sender, grid);
    EXPECT_EQ(s, target);
    seen.push_back("collapse");
  };
  grid->OnHeaderSectionFilterCall = [&](TObject* sender, int index) {
    EXPECT_EQ(sender, grid);
    seen.push_back("filter " + std::to_string(index));
  };
  grid->OnHeaderSectionMeasure = [&](TObject* sender, TElHeaderSection* s, POINT& size) {
    EXPECT_EQ(sender, grid);
    size = POINT{50, 0};
    EXPECT_EQ(s, target);
    seen.push_back("measure");
  };
  grid->OnHeaderMouseDown = [&](TObject* sender, TMouseButton, TShiftState, int, int) {
    EXPECT_EQ(sender, grid);
    seen.push_back("down");
  };
  grid->OnHeaderColumnMove = [&](TObject* sender, TElHeaderSection* s, int from, int to) {
    EXPECT_EQ(sender, grid);
    seen.push_back("move " + WideToAnsi(s->Text()) + " " + std::to_string(from) + ">" + std::to_string(to));
  };
  grid->OnHeaderResize = [&](TObject* sender) {
    EXPECT_EQ(sender, grid);
    seen.push_back("resize");
  };
  struct TCase {
    const char* name;
    std::function<void()> act;
    std::vector<std::string> expected;
  };
  const TCase cases[] = {
      {"a press on the header",
       [&] {
         SendMessageA(header, WM_LBUTTONDOWN, MK_LBUTTON, At(centre(1), y));
         SendMessageA(header, WM_LBUTTONUP, 0, At(centre(1), y));
       },
       {"down"}},
      {"a section dragged onto the last one",
       [&] {
         const int to = centre(2);
         SendMessageA(header, WM_LBUTTONDOWN, MK_LBUTTON, At(centre(0), y));
         for (int x = centre(0); x <= to; x += 20) SendMessageA(header, WM_MOUSEMOVE, MK_LBUTTON, At(x, y));
         SendMessageA(header, WM_MOUSEMOVE, MK_LBUTTON, At(to, y));
         SendMessageA(header, WM_LBUTTONUP, 0, At(to, y));
       },
       {"down", "move C1 0>2"}},
      {"the expand sign of an expandable section, twice",
       [&] {
         TElHeaderSection* s = target = T().HeaderSections().GetSection(1);
         s->SetExpandable(true);
         const LPARAM sign = At(s->Right() - 4 - 3, 5);
         for (int i = 0; i < 2; ++i) {
           SendMessageA(header, WM_LBUTTONDOWN, MK_LBUTTON, sign);
           SendMessageA(header, WM_LBUTTONUP, 0, sign);
         }
         s->SetExpandable(false);
       },
       {"expand", "down", "collapse", "down"}},
      {"the filter sign of a section",
       [&] {
         TElHeaderSection* s = T().HeaderSections().GetSection(2);
         s->SetFilterEnabled(true);
         const LPARAM sign = At(s->Right() - 4 - 3, 14);
         SendMessageA(header, WM_LBUTTONDOWN, MK_LBUTTON, sign);
         SendMessageA(header, WM_LBUTTONUP, 0, sign);
         s->SetFilterEnabled(false);
       },
       {"filter 2", "down"}},
      {"a double click on an owner-drawn section's divider measures it",
       [&] {
         TElHeaderSection* s = target = T().HeaderSections().GetSection(0);
         s->SetStyle(ElhsOwnerDraw);
         const LPARAM edge = At(s->Right() - 1, y);
         SendMessageA(header, WM_LBUTTONDBLCLK, MK_LBUTTON, edge);
         SendMessageA(header, WM_LBUTTONUP, 0, edge);
         s->SetStyle(ElhsText);
       },
       {"measure", "down"}},
      {"a lookup in the main column with AutoLookup focuses the first row that starts with the text",
       [&] {
         T().AutoLookup = true;
         T().SetItemFocused(T().Items().Item(0));
         T().SetTopIndex(0);
         TElHeaderSection* s = target = T().HeaderSections().GetSection(T().MainTreeColumn());
         s->SetLookupEnabled(true);
         const LPARAM sign = At(s->Right() - 4 - 3, 14);
         SendMessageA(header, WM_LBUTTONDOWN, MK_LBUTTON, sign);
         SendMessageA(header, WM_LBUTTONUP, 0, sign);
         ASSERT_TRUE(grid->Header()->LookupOpen());
         COMBOBOXINFO ci{sizeof ci};
         ASSERT_TRUE(GetComboBoxInfo(grid->Header()->LookupBox()->Handle(), &ci));
         HWND edit = ci.hwndItem;
         for (char ch : std::string("Row14")) SendMessageA(edit, WM_CHAR, static_cast<WPARAM>(ch), 0);
         // The earlier clicks sorted the rows: the first in the tree's order.
         TElTreeItem* first = nullptr;
         for (int i = 0; i < T().Items().Count() && !first; ++i)
           if (test::Main(T().Items().Item(i)).rfind("row14", 0) == 0) first = T().Items().Item(i);
         ASSERT_NE(first, T().Items().Item(0));
         EXPECT_EQ(T().ItemFocused(), first);
         EXPECT_TRUE(T().IsOnScreen(T().ItemFocused()));
         SendMessageA(edit, WM_KEYDOWN, VK_RETURN, 0);
         s->SetLookupEnabled(false);
         T().AutoLookup = false;
       },
       {"down", "lookup R", "lookup Ro", "lookup Row", "lookup Row1", "lookup Row14", "done Row14 accepted"}},
      // Last: the header measures its own height again when its sections change.
      {"a new header height", [&] { grid->SetHeaderHeight(grid->Header()->Height() + 6); }, {"resize"}},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.name);
    seen.clear();
    c.act();
    // A header placed anew may settle its height in more than one step.
    seen.erase(std::unique(seen.begin(), seen.end()), seen.end());
    EXPECT_EQ(seen, c.expected);
  }
}


// An editor of our own over the cell: a plain edit box on the form.
class TBoxEditor : public TElTreeInplaceEditor {
 public:
  explicit TBoxEditor(TWinControl* Parent) : TElTreeInplaceEditor(nullptr), parent_(Parent) {
    SetTypes(FieldTypeBit(sftText));
  }
  ~TBoxEditor() override { delete box_; }
  bool IsShown() const override { return box_ && box_->Visible(); }
  void ShowEditor() override {
    if (!box_) {
      box_ = new TEdit(nullptr);
      box_->SetParent(parent_);
    }
    box_->SetBounds(CellRect.Left, CellRect.Top, 80, 20);
    box_->SetText(WideToAnsi(ValueAsText));
    box_->SetVisible(true);
    box_->SetFocus();
  }
  void Finish(bool Accepted) {
    ValueAsText = AnsiToWide(box_->Text());
    box_->SetVisible(false);
    CompleteOperation(Accepted);
  }
  TEdit* Box() const { return box_; }

 private:
  TWinControl* parent_;
  TEdit* box_ = nullptr;
};

// The view's input, its drags, its painting and the custom bars reach the
// grid's own events, the grid as Sender and points in its coordinates.
TEST_F(TreeGridWindow, ViewDragAndBarEventsReachTheGrid) {
  const int lh = T().LineHeight();
  auto screenOf = [&](int x, int y) {
    POINT p{x, y};
    ClientToScreen(View(), &p);
    return p;
  };
  struct TCase {
    const char* name;
    std::function<void()> run;
  };
  const TCase cases[] = {
      {"key up and key press reach OnKeyUp and OnKeyPress",
       [&] {
         std::vector<std::string> keys;
         grid->OnKeyUp = [&](TObject* sender, WORD& key, TShiftState) {
           EXPECT_EQ(sender, grid);
           keys.push_back("up " + std::to_string(key));
         };
         grid->OnKeyPress = [&](TObject* sender, char& key) {
           EXPECT_EQ(sender, grid);
           keys.push_back(std::string("press ") + key);
         };
         grid->SetFocus();
         SendMessageA(View(), WM_KEYUP, VK_F7, 0);
         SendMessageA(View(), WM_CHAR, 'q', 0);
         EXPECT_EQ(keys, (std::vector<std::string>{"up " + std::to_string(VK_F7), "press q"}));
         grid->OnKeyUp = nullptr;
         grid->OnKeyPress = nullptr;
       }},
      {"mouse move and release come in the grid's coordinates",
       [&] {
         std::vector<POINT> moves, ups;
         grid->OnMouseMove = [&](TObject* sender, TShiftState, int x, int y) {
           EXPECT_EQ(sender, grid);
           moves.push_back({x, y});
         };
         grid->OnMouseUp = [&](TObject* sender, TMouseButton, TShiftState, int x, int y) {
           EXPECT_EQ(sender, grid);
           ups.push_back({x, y});
         };
         SendMessageA(View(), WM_MOUSEMOVE, 0, At(30, 2 * lh + 3));
         Click(WM_LBUTTONDOWN, WM_LBUTTONUP, At(31, 2 * lh + 4));
         ASSERT_FALSE(moves.empty());
         EXPECT_EQ(moves.front().x, 30 + grid->View()->Left());
         EXPECT_EQ(moves.front().y, 2 * lh + 3 + grid->View()->Top());
         ASSERT_EQ(ups.size(), 1u);
         EXPECT_EQ(ups[0].y, 2 * lh + 4 + grid->View()->Top());
         grid->OnMouseMove = nullptr;
         grid->OnMouseUp = nullptr;
       }},
      {"OnItemPreDraw hears every row painted, before it is drawn",
       [&] {
         std::vector<TElTreeItem*> rows;
         grid->OnItemPreDraw = [&](TObject* sender, TElTreeItem* item) {
           EXPECT_EQ(sender, grid);
           rows.push_back(item);
         };
         RedrawWindow(View(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
         ASSERT_FALSE(rows.empty());
         EXPECT_EQ(rows.front(), T().GetFirstOnScreen());
         EXPECT_GE(static_cast<int>(rows.size()), T().View().VisibleRows().Count() - 1);
         grid->OnItemPreDraw = nullptr;
       }},
      {"owner-drawn bars ask the grid for each part; the horizontal thumb asks for its hint",
       [&] {
         T().HeaderSections().GetSection(2)->SetWidth(600);
         Application->ProcessMessages();
         ASSERT_TRUE(grid->HScrollBar()->Visible());
         std::vector<TElScrollBarPart> vparts, hparts;
         grid->OnVertScrollDrawPart = [&](TObject* sender, TCanvas*, RECT, TElScrollBarPart part, bool, bool, bool,
                                          bool&) {
           EXPECT_EQ(sender, grid);
           vparts.push_back(part);
         };
         grid->OnHorzScrollDrawPart = [&](TObject* sender, TCanvas*, RECT, TElScrollBarPart part, bool, bool, bool,
                                          bool&) {
           EXPECT_EQ(sender, grid);
           hparts.push_back(part);
         };
         grid->VertScrollBarStyles()->SetOwnerDraw(true);
         grid->HorzScrollBarStyles()->SetOwnerDraw(true);
         RedrawWindow(grid->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
         EXPECT_NE(std::find(vparts.begin(), vparts.end(), spThumb), vparts.end());
         EXPECT_NE(std::find(hparts.begin(), hparts.end(), spThumb), hparts.end());
         int hints = 0;
         grid->OnHorzScrollHintNeeded = [&](TObject* sender, int, std::wstring& hint) {
           EXPECT_EQ(sender, grid);
           hint = L"column";
           ++hints;
         };
         grid->HorzScrollBarStyles()->SetShowTrackHint(true);
         auto* bar = static_cast<TElScrollBar*>(grid->HScrollBar());
         const RECT thumb = bar->PartRect(spThumb);
         const LPARAM at = At((thumb.left + thumb.right) / 2, (thumb.top + thumb.bottom) / 2);
         SendMessageA(bar->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, at);
         SendMessageA(bar->Handle(), WM_LBUTTONUP, 0, at);
         EXPECT_GE(hints, 1);
         grid->HorzScrollBarStyles()->SetShowTrackHint(false);
         grid->VertScrollBarStyles()->SetOwnerDraw(false);
         grid->HorzScrollBarStyles()->SetOwnerDraw(false);
         grid->OnVertScrollDrawPart = nullptr;
         grid->OnHorzScrollDrawPart = nullptr;
         grid->OnHorzScrollHintNeeded = nullptr;
         T().HeaderSections().GetSection(2)->SetWidth(100);
       }},
      {"a drag of a row onto another: start, over, drop and end, the grid as source and target",
       [&] {
         T().DragAllowed = true;
         T().DragImageMode = dimAll;
         T().SetTopIndex(0);
         std::vector<std::string> seen;
         grid->OnStartDrag = [&](TObject* sender, TDragObject*& obj) {
           EXPECT_EQ(sender, grid);
           EXPECT_EQ(obj, nullptr);
           seen.push_back("start");
         };
         TElTreeItem* overTarget = nullptr;
         grid->OnDragOver = [&](TObject* sender, TObject* source, int, int y, TDragState state, bool& accept) {
           EXPECT_EQ(sender, grid);
           EXPECT_EQ(source, grid);
           EXPECT_FALSE(accept) << "a handler starts from a refusal";
           accept = true;
           if (state == TDragState::dsDragEnter) seen.push_back("enter");
           if (state == TDragState::dsDragLeave) seen.push_back("leave");
           EXPECT_GE(y, grid->View()->Top());
         };
         POINT dropped{-1, -1};
         grid->OnDragDrop = [&](TObject* sender, TObject* source, int x, int y) {
           EXPECT_EQ(sender, grid);
           EXPECT_EQ(source, grid);
           overTarget = T().DropTarget();
           dropped = {x, y};
           seen.push_back("drop");
         };
         grid->OnEndDrag = [&](TObject* sender, TObject* target, int, int) {
           EXPECT_EQ(sender, grid);
           EXPECT_EQ(target, grid);
           seen.push_back("end");
         };
         Click(WM_LBUTTONDOWN, WM_LBUTTONUP, Row(1));
         const POINT start = screenOf(100, lh + lh / 2);
         SetCursorPos(start.x, start.y);
         SendMessageA(View(), WM_LBUTTONDOWN, MK_LBUTTON, Row(1));
         SendMessageA(View(), WM_MOUSEMOVE, MK_LBUTTON, At(100, lh + lh / 2 + 8));
         ASSERT_NE(DragObject(), nullptr);
         auto* obj = dynamic_cast<TElTreeDragObject*>(DragObject());
         ASSERT_NE(obj, nullptr) << "the grid's own drag object when the handler gives none";
         EXPECT_EQ(obj->Control(), grid);
         EXPECT_NE(obj->GetDragImages(), nullptr) << "the picture of the selected row";
         SendMessageA(View(), WM_MOUSEMOVE, MK_LBUTTON, At(100, 4 * lh + lh / 2));
         EXPECT_EQ(T().DropTarget(), T().Items().Item(4));
         EXPECT_TRUE(T().View().Input().DragOverView());
         SendMessageA(View(), WM_LBUTTONUP, 0, At(100, 4 * lh + lh / 2));
         EXPECT_EQ(DragObject(), nullptr);
         EXPECT_EQ(seen, (std::vector<std::string>{"start", "enter", "drop", "end"}));
         EXPECT_EQ(dropped.y, 4 * lh + lh / 2 + grid->View()->Top());
         EXPECT_EQ(T().DropTarget(), nullptr) << "the drop forgets the target";
         EXPECT_FALSE(T().View().Input().DragOverView());
         EXPECT_EQ(T().View().Input().DragImages(), nullptr);
         EXPECT_NE(GetCapture(), View());
         grid->OnStartDrag = nullptr;
         grid->OnDragOver = nullptr;
         grid->OnDragDrop = nullptr;
         grid->OnEndDrag = nullptr;
         T().DragAllowed = false;
         T().DragImageMode = dimNever;
       }},
      {"an in-place edit that ends gives the focus back to the view",
       [&] {
         TBoxEditor editor(form.get());
         editor.SetTree(&T());
         grid->SetFocus();
         ASSERT_EQ(GetFocus(), View());
         TElTreeItem* item = T().Items().Item(3);
         T().HeaderSections().GetSection(0)->SetEditable(true);
         ASSERT_TRUE(T().EditItem(item, 0));
         ASSERT_NE(editor.Box(), nullptr);
         EXPECT_EQ(GetFocus(), editor.Box()->Handle());
         SetWindowTextA(editor.Box()->Handle(), "renamed");
         editor.Finish(true);
         EXPECT_EQ(item->Text(), L"renamed");
         EXPECT_EQ(GetFocus(), View());
         editor.SetTree(nullptr);
       }},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.name);
    c.run();
  }
}


// Setters that change the layout take effect on the next paint of the real
// window without anything else asked; the coupled ones keep each other true.
TEST_F(TreeGridWindow, SettersLayTheGridOutAgain) {
  auto repaint = [&] { UpdateWindow(View()); };
  auto textLeft = [&](int i) {
    RedrawWindow(View(), nullptr, nullptr, RDW_UPDATENOW);
    return T().Items().Item(i)->TextRect.Left;
  };
  const int indent = T().ItemIndent();
  const int barW = GetSystemMetrics(SM_CXVSCROLL);
  struct TCase {
    const char* name;
    std::function<void()> run;
  };
  const TCase cases[] = {
      {"without root buttons the rows start a button's width further left",
       [&] {
         repaint();
         const int before = textLeft(0);
         T().SetShowRootButtons(false);
         repaint();
         EXPECT_EQ(T().Items().Item(0)->TextRect.Left, before - (indent - indent / 5));
         T().SetShowRootButtons(true);
         repaint();
         EXPECT_EQ(T().Items().Item(0)->TextRect.Left, before);
       }},
      {"a larger check box moves the text of the rows that show one",
       [&] {
         T().SetShowCheckboxes(true);
         T().Items().Item(0)->SetFlag(tifShowCheckBox, true);
         repaint();
         const int before = textLeft(0);
         T().SetCheckBoxSize(T().CheckBoxSize() + 6);
         repaint();
         EXPECT_EQ(T().Items().Item(0)->TextRect.Left, before + 6);
         T().SetCheckBoxSize(15);
         T().SetShowCheckboxes(false);
       }},
      {"a leaf button on childless rows",
       [&] {
         repaint();
         int painted = 0;
         grid->OnItemPreDraw = [&](TObject*, TElTreeItem*) { ++painted; };
         T().SetShowLeafButton(true);
         EXPECT_GE(painted, T().View().VisibleRows().Count() - 1) << "every row on screen is painted again";
         painted = 0;
         T().SetShowLeafButton(false);
         EXPECT_GE(painted, T().View().VisibleRows().Count() - 1);
         grid->OnItemPreDraw = nullptr;
       }},
      {"a hidden vertical bar gives its width to the rows; forcing the horizontal one shows it",
       [&] {
         ASSERT_TRUE(grid->VScrollBar()->Visible());
         ASSERT_FALSE(grid->HScrollBar()->Visible());
         T().SetHideVertScrollBar(true);
         EXPECT_FALSE(grid->VScrollBar()->Visible());
         EXPECT_EQ(grid->View()->Width(), grid->ClientWidth());
         T().SetHideVertScrollBar(false);
         EXPECT_TRUE(grid->VScrollBar()->Visible());
         T().SetForcedScrollBars(TElForcedScrollBars::ssHorizontal);
         EXPECT_TRUE(grid->HScrollBar()->Visible());
         EXPECT_EQ(grid->View()->Height(), grid->ClientHeight() - grid->Header()->Height() - grid->HScrollBar()->Height());
         EXPECT_EQ(T().LeftPosition(), 0);
         T().SetForcedScrollBars(TElForcedScrollBars::ssNone);
         EXPECT_FALSE(grid->HScrollBar()->Visible());
         T().SetHideHorzScrollBar(true);
         T().HeaderSections().GetSection(2)->SetWidth(900);
         EXPECT_FALSE(grid->HScrollBar()->Visible()) << "however wide the columns";
         T().SetHideHorzScrollBar(false);
         EXPECT_TRUE(grid->HScrollBar()->Visible());
         T().HeaderSections().GetSection(2)->SetWidth(100);
       }},
      {"the bar on the opposite side, sticky sections one pixel wider",
       [&] {
         grid->SetScrollbarOpposite(true);
         EXPECT_EQ(grid->VScrollBar()->Left(), 0);
         EXPECT_EQ(grid->View()->Left(), barW);
         EXPECT_EQ(grid->Header()->Left(), barW);
         grid->SetScrollbarOpposite(false);
         EXPECT_EQ(grid->View()->Left(), 0);
         EXPECT_EQ(grid->VScrollBar()->Left(), grid->View()->Width());
         grid->SetStickyHeaderSections(true);
         EXPECT_EQ(grid->Header()->Width(), grid->View()->Width() + 1);
         grid->SetStickyHeaderSections(false);
         EXPECT_EQ(grid->Header()->Width(), grid->View()->Width());
       }},
      {"double click mode and expanding on a double click follow each other",
       [&] {
         TElTreeItem* parent = T().Items().Item(0);
         T().Items().AddChild(parent, L"child");
         T().SetDblClickMode(dcmEdit);
         EXPECT_FALSE(T().ExpandOnDblClick());
         T().SetDblClickMode(dcmNone);
         EXPECT_FALSE(T().ExpandOnDblClick());
         Click(WM_LBUTTONDOWN, WM_LBUTTONUP, Row(0));
         Click(WM_LBUTTONDBLCLK, WM_LBUTTONUP, Row(0));
         EXPECT_FALSE(parent->Expanded());
         T().SetExpandOnDblClick(true);
         EXPECT_EQ(T().DblClickMode(), dcmExpand);
         Click(WM_LBUTTONDOWN, WM_LBUTTONUP, Row(0));
         Click(WM_LBUTTONDBLCLK, WM_LBUTTONUP, Row(0));
         EXPECT_TRUE(parent->Expanded());
         parent->Collapse(false);
       }},
      {"the select column takes -1 to the last section only",
       [&] {
         T().SetSelectColumn(2);
         EXPECT_EQ(T().SelectColumn(), 2);
         T().SetSelectColumn(3);
         EXPECT_EQ(T().SelectColumn(), 2) << "three sections";
         T().SetSelectColumn(-2);
         EXPECT_EQ(T().SelectColumn(), 2);
         T().SetSelectColumn(-1);
         EXPECT_EQ(T().SelectColumn(), -1);
       }},
      {"a right-aligned tree orders the header from the right and draws the text at the column's right",
       [&] {
         T().SetRightAlignedTree(true);
         EXPECT_TRUE(grid->Header()->RightAlignedOrder());
         repaint();
         TElHeaderSection* main = T().HeaderSections().GetSection(T().MainTreeColumn());
         RedrawWindow(View(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
         const TElRect tr = T().Items().Item(0)->TextRect;
         EXPECT_GE(tr.Left, main->Left()) << "the main column is the rightmost now";
         EXPECT_LE(tr.Right, main->Right());
         T().SetRightAlignedTree(false);
         EXPECT_FALSE(grid->Header()->RightAlignedOrder());
       }},
      {"the header keeps its own font only without HeaderUseTreeFont",
       [&] {
         grid->HeaderFont()->SetHeight(-20);
         EXPECT_NE(grid->Header()->Font()->Height(), -20) << "the tree's font is still used";
         grid->SetHeaderUseTreeFont(false);
         EXPECT_EQ(grid->Header()->Font()->Height(), -20);
         grid->Font()->SetHeight(-15);
         EXPECT_EQ(grid->Header()->Font()->Height(), -20);
         EXPECT_EQ(grid->View()->Top(), grid->Header()->Height());
         grid->SetHeaderUseTreeFont(true);
         EXPECT_EQ(grid->Header()->Font()->Height(), -15);
         EXPECT_EQ(grid->View()->Top(), grid->Header()->Height());
       }},
      {"a new font measures the auto-sized column again, and the line hints, in the new font",
       [&] {
         // The grids' font comes from the settings at any time: the column
         // is measured during the change, while the old measurer goes away.
         TElHeaderSection* first = T().HeaderSections().GetSection(0);
         first->SetAutoSize(true);
         for (int height : {-11, -30, -13}) {
           SCOPED_TRACE(height);
           grid->Font()->SetHeight(height);
           TGdiTextMeasurer fresh(AnsiToWide(grid->Font()->Name()), height);
           int widest = 0;
           for (int i = 0; i < T().Items().Count(); ++i)
             widest = std::max(widest, fresh.MeasureText(T().Items().Item(i)->Text(), 0).cx);
           EXPECT_GE(first->Width(), widest);
           EXPECT_EQ(T().TextMeasurer().MeasureText(L"row159", 0).cx, fresh.MeasureText(L"row159", 0).cx);
         }
         // A cut text's line hint measures it in the grid's font.
         first->SetAutoSize(false);
         first->SetWidth(40);
         const int lh = T().LineHeight();
         SendMessageA(View(), WM_MOUSEMOVE, 0, At(20, 5 * lh + 3));
         IElTreeTimer* timer = T().View().Input().LineHintTimer();
         ASSERT_NE(timer, nullptr);
         ASSERT_TRUE(timer->OnTimer);
         timer->OnTimer();
         TElHintWindow* hint = T().View().Input().Port().LineHintWindow();
         ASSERT_TRUE(hint && hint->HandleAllocated() && IsWindowVisible(hint->Handle()));
         ASSERT_NE(T().View().Input().LineHintItem(), nullptr);
         EXPECT_EQ(hint->WideCaption(), T().View().Input().LineHintItem()->Text());
         SendMessageA(View(), CM_DEACTIVATE, 0, 0);
         first->SetWidth(120);
       }},
      {"visual styles, the default section width and the background colour",
       [&] {
         grid->SetUseXPThemes(false);
         EXPECT_FALSE(grid->Header()->UseXPThemes());
         EXPECT_FALSE(grid->HorzScrollBarStyles()->UseXPThemes());
         EXPECT_FALSE(grid->VertScrollBarStyles()->UseXPThemes());
         grid->SetUseXPThemes(true);
         EXPECT_TRUE(grid->Header()->UseXPThemes());
         EXPECT_TRUE(grid->VertScrollBarStyles()->UseXPThemes());
         grid->SetDefaultSectionWidth(77);
         EXPECT_EQ(grid->Header()->Sections()->AddSection()->Width(), 77);
         grid->Header()->Sections()->DeleteSection(grid->Header()->Sections()->GetSection(3));
         grid->SetColor(clRed);
         EXPECT_EQ(grid->Canvas()->Brush()->Color(), clRed);
       }},
      {"a grid copies another's items and settings",
       [&] {
         auto* other = new TElTreeWindow(form.get());
         other->SetParent(form.get());
         test::Load(other->Tree(), {"one", "|one.a", "two"});
         other->Tree().SetShowLines(false);
         other->Tree().SetHideVertScrollBar(true);
         other->SetBkColor(clYellow);
         other->Tree().OwnerDrawMask = L"#";
         grid->AssignTree(other);
         EXPECT_EQ(test::Outline(T()), "one .one.a two");
         EXPECT_FALSE(T().ShowLines());
         EXPECT_TRUE(T().HideVertScrollBar());
         EXPECT_EQ(grid->BkColor(), clYellow);
         EXPECT_EQ(T().OwnerDrawMask, L"#");
         delete other;
       }},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.name);
    c.run();
  }
}


}  // namespace
}  // namespace morvane
