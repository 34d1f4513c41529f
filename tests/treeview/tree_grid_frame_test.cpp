// The grid's own window around its rows: the frame it draws and the room
// the frame takes, the border's hit test, painting off screen while the
// form is sized or moved, the drag picture of rows and the typed values of
// a virtual grid's cells, all through real messages to the grid.
// ctest: desktop
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "controls/controls_fixture.h"
#include "platform/core/variant.h"
#include "platform/ui/dragdrop.h"
#include "platform/ui/imglist.h"
#include "platform/ui/stdctrls.h"
#include "tree_fixture.h"
#include "treeview/eltree_input.h"
#include "treeview/eltree_window.h"

namespace morvane {
namespace {

class TreeGridFrame : public test::ControlsTest {
 protected:
  void SetUp() override {
    ControlsTest::SetUp();
    grid = new TElTreeWindow(form.get());
    grid->SetParent(form.get());
    grid->SetBounds(10, 10, 300, 150);
    grid->SetUseXPThemes(false);
    other = new TEdit(form.get());
    other->SetParent(form.get());
    other->SetBounds(10, 170, 100, 22);
    test::Load(T(), {"alpha", "beta", "gamma"});
    grid->HandleNeeded();
    Application->ProcessMessages();
  }
  TElTree& T() { return grid->Tree(); }
  HWND G() { return grid->Handle(); }
  HWND View() { return grid->View()->Handle(); }
  // The client area's insets from the window's edges: left, top, right, bottom.
  std::vector<int> Insets() {
    RECT w{}, c{};
    GetWindowRect(G(), &w);
    GetClientRect(G(), &c);
    MapWindowPoints(G(), nullptr, reinterpret_cast<POINT*>(&c), 2);
    return {c.left - w.left, c.top - w.top, w.right - c.right, w.bottom - c.bottom};
  }
  // The whole window as WM_PRINT draws it, frame included.
  std::unique_ptr<TDibSection> Print() {
    RECT w{};
    GetWindowRect(G(), &w);
    auto dib = std::make_unique<TDibSection>(w.right - w.left, w.bottom - w.top);
    dib->Fill(RGB(1, 2, 3));
    SendMessageA(G(), WM_PRINT, reinterpret_cast<WPARAM>(dib->DC()), PRF_NONCLIENT);
    return dib;
  }
  LRESULT HitAt(int dx, int dy) {
    RECT w{};
    GetWindowRect(G(), &w);
    return SendMessageA(G(), WM_NCHITTEST, 0, MAKELPARAM(w.left + dx, w.top + dy));
  }

  TElTreeWindow* grid = nullptr;
  TEdit* other = nullptr;
};

TEST_F(TreeGridFrame, FrameTakesItsRoomOnTheChosenSidesAndAnswersAsBorder) {
  const int ex = GetSystemMetrics(SM_CXEDGE), ey = GetSystemMetrics(SM_CYEDGE);
  const int bx = GetSystemMetrics(SM_CXBORDER), by = GetSystemMetrics(SM_CYBORDER);
  struct TCase {
    const char* name;
    TBorderStyle style;
    bool ctl3d;
    TElBorderSides sides;
    std::vector<int> insets;
  };
  const TCase cases[] = {
      {"all four sides, sunken edge", TBorderStyle::bsSingle, true, kAllBorderSides, {ex, ey, ex, ey}},
      {"no left side: the rows reach the window's left edge", TBorderStyle::bsSingle, true,
       ebsTop | ebsRight | ebsBottom, {0, ey, ex, ey}},
      {"top and bottom only", TBorderStyle::bsSingle, true, ebsTop | ebsBottom, {0, ey, 0, ey}},
      {"no side at all", TBorderStyle::bsSingle, true, 0, {0, 0, 0, 0}},
      {"without Ctl3D the thin line", TBorderStyle::bsSingle, false, ebsLeft | ebsTop, {bx, by, 0, 0}},
      {"no border style: the sides do not matter", TBorderStyle::bsNone, true, ebsLeft, {0, 0, 0, 0}},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.name);
    grid->SetBorderStyle(c.style);
    grid->SetCtl3D(c.ctl3d);
    grid->SetBorderSides(c.sides);
    grid->HandleNeeded();
    Application->ProcessMessages();
    EXPECT_EQ(Insets(), c.insets);
    // The pieces fill the new client area.
    RECT cr{};
    GetClientRect(G(), &cr);
    EXPECT_EQ(grid->View()->Width(), cr.right);
    EXPECT_EQ(grid->View()->Height(), cr.bottom);
    // The left edge of the window: border where there is one, rows where not.
    RECT w{};
    GetWindowRect(G(), &w);
    EXPECT_EQ(HitAt(0, (w.bottom - w.top) / 2), c.insets[0] ? HTBORDER : HTCLIENT);
  }
  grid->SetCtl3D(true);
  grid->SetBorderStyle(TBorderStyle::bsSingle);
  grid->SetBorderSides(kAllBorderSides);
  grid->HandleNeeded();

  // A standard bar put on the window from outside is under the custom bars'
  // rule: a press there is on the border.
  SetWindowLongA(G(), GWL_STYLE, GetWindowLongA(G(), GWL_STYLE) | WS_VSCROLL);
  SetWindowPos(G(), nullptr, 0, 0, 0, 0, SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER);
  RECT w{};
  GetWindowRect(G(), &w);
  const int barX = w.right - w.left - ex - GetSystemMetrics(SM_CXVSCROLL) / 2;
  EXPECT_EQ(HitAt(barX, (w.bottom - w.top) / 2), HTBORDER);
  SetWindowLongA(G(), GWL_STYLE, GetWindowLongA(G(), GWL_STYLE) & ~WS_VSCROLL);
  SetWindowPos(G(), nullptr, 0, 0, 0, 0, SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER);
}

TEST_F(TreeGridFrame, FrameIsDrawnByTheGridInTheLookOfItsActivity) {
  const COLORREF red = RGB(255, 0, 0), blue = RGB(0, 0, 255);
  grid->SetInactiveBorderType(fbtLine);
  grid->SetLineBorderInactiveColor(red);
  grid->SetActiveBorderType(fbtFlat);
  grid->SetLineBorderActiveColor(blue);
  other->SetFocus();
  auto park = [&] {
    // The mouse far from the grid.
    RECT w{};
    GetWindowRect(other->Handle(), &w);
    SetCursorPos(w.left + 5, w.top + 5);
  };
  park();
  // The pointer may have been over the grid when its form came up (where an
  // earlier test left it): the grid hears that it has gone.
  SendMessageA(View(), CM_MOUSELEAVE, 0, 0);
  ASSERT_FALSE(grid->MouseInside());
  struct TCase {
    const char* name;
    std::function<void()> act;
    COLORREF outer, inner;  // the left border's two columns, half-way down
  };
  const TCase cases[] = {
      {"not flat: the sunken edge the custom bars stand in", [&] { grid->SetFlat(false); },
       GetSysColor(COLOR_BTNSHADOW), GetSysColor(COLOR_3DDKSHADOW)},
      {"flat, neither focused nor under the mouse: the inactive line", [&] { grid->SetFlat(true); }, red, red},
      {"focused: the active type and colour",
       [&] {
         grid->SetFocus();
         ASSERT_EQ(GetFocus(), View());
       },
       GetSysColor(COLOR_BTNSHADOW), blue},
      {"focus gone again", [&] { other->SetFocus(); }, red, red},
      {"the mouse enters a piece of the grid",
       [&] {
         SendMessageA(View(), CM_MOUSEENTER, 0, 0);
         EXPECT_TRUE(grid->MouseInside());
       },
       GetSysColor(COLOR_BTNSHADOW), blue},
      {"and leaves the grid",
       [&] {
         park();
         SendMessageA(View(), CM_MOUSELEAVE, 0, 0);
         EXPECT_FALSE(grid->MouseInside());
       },
       red, red},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.name);
    c.act();
    auto dib = Print();
    const int y = dib->Height() / 2;
    EXPECT_EQ(dib->Pixel(0, y), c.outer);
    EXPECT_EQ(dib->Pixel(1, y), c.inner);
  }
  // A side left out has no frame drawn: the window's edge is the rows'.
  grid->SetBorderSides(ebsTop | ebsRight | ebsBottom);
  Application->ProcessMessages();
  auto dib = Print();
  EXPECT_NE(dib->Pixel(0, dib->Height() / 2), red);
  EXPECT_EQ(dib->Pixel(dib->Width() - 1, dib->Height() / 2), red);
}

TEST_F(TreeGridFrame, RowsPaintOffScreenUnlessTheFormIsSizedWithoutIt) {
  // An owner-drawn row tells which surface the rows are painted on.
  T().OwnerDrawByColumn = false;
  T().Items().Item(1)->SetText(T().OwnerDrawMask);
  DWORD surface = 0;
  grid->OnItemDraw = [&](TObject*, TElTreeItem*, TCanvas* c, RECT, int) { surface = GetObjectType(c->Handle()); };
  HWND f = form->Handle();
  struct TCase {
    const char* name;
    bool buffered, onResize, sizing;
    bool sizeMoving;
    DWORD surface;
  };
  const TCase cases[] = {
      {"double buffered", true, true, false, false, OBJ_MEMDC},
      {"straight to the screen", false, true, false, false, OBJ_DC},
      {"the form in its size-move loop, buffered during resizing", true, true, true, true, OBJ_MEMDC},
      {"the form in its size-move loop, straight during resizing", true, false, true, true, OBJ_DC},
      {"not double buffered: the form's loop is not followed", false, false, true, false, OBJ_DC},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.name);
    grid->SetDoubleBuffered(c.buffered);
    grid->SetDoubleBufferedOnResize(c.onResize);
    if (c.sizing) SendMessageA(f, WM_ENTERSIZEMOVE, 0, 0);
    EXPECT_EQ(grid->SizeMoving(), c.sizeMoving);
    surface = 0;
    RedrawWindow(View(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    EXPECT_EQ(surface, c.surface);
    if (c.sizing) SendMessageA(f, WM_EXITSIZEMOVE, 0, 0);
    EXPECT_FALSE(grid->SizeMoving());
  }
  // On another form the grid follows that form's loop and forgets the old one.
  grid->SetDoubleBuffered(true);
  TForm second(nullptr);
  second.SetBounds(60, 60, 200, 200);
  second.Show();
  SendMessageA(f, WM_ENTERSIZEMOVE, 0, 0);
  ASSERT_TRUE(grid->SizeMoving());
  grid->SetParent(&second);
  EXPECT_FALSE(grid->SizeMoving()) << "a new parent starts outside any loop";
  SendMessageA(f, WM_EXITSIZEMOVE, 0, 0);
  SendMessageA(f, WM_ENTERSIZEMOVE, 0, 0);
  EXPECT_FALSE(grid->SizeMoving());
  SendMessageA(f, WM_EXITSIZEMOVE, 0, 0);
  SendMessageA(second.Handle(), WM_ENTERSIZEMOVE, 0, 0);
  EXPECT_TRUE(grid->SizeMoving());
  SendMessageA(second.Handle(), WM_EXITSIZEMOVE, 0, 0);
  grid->SetParent(form.get());
  grid->OnItemDraw = nullptr;
}

// Settings of the grid that its pieces must follow.
TEST_F(TreeGridFrame, PiecesFollowTheReadingDirectionAndTheCursor) {
  std::vector<std::string> rows;
  for (int i = 0; i < 40; ++i) rows.push_back("r" + std::to_string(i));
  test::Load(T(), rows);
  T().HeaderSections().AddSection()->SetWidth(120);
  T().SetShowColumns(true);
  Application->ProcessMessages();
  ASSERT_TRUE(grid->VScrollBar()->Visible());
  struct TCase {
    const char* name;
    bool rightAligned, opposite;
    bool barLeft;
  };
  const TCase cases[] = {
      {"left to right: the bar at the right", false, false, false},
      {"right to left: the bar at the left", true, false, true},
      {"right to left, the bar on the opposite side", true, true, false},
      {"left to right, the bar on the opposite side", false, true, true},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.name);
    grid->SetRightAlignedText(c.rightAligned);
    grid->SetScrollbarOpposite(c.opposite);
    Application->ProcessMessages();
    const LONG ex = GetWindowLongA(G(), GWL_EXSTYLE);
    EXPECT_EQ((ex & WS_EX_RIGHT) != 0, c.rightAligned);
    EXPECT_EQ((ex & WS_EX_RTLREADING) != 0, c.rightAligned);
    EXPECT_EQ(grid->Header()->RightAlignedText(), c.rightAligned);
    ASSERT_TRUE(grid->VScrollBar()->Visible());
    RECT cr{};
    GetClientRect(G(), &cr);
    const int barW = grid->VScrollBar()->Width();
    EXPECT_EQ(grid->VScrollBar()->Left(), c.barLeft ? 0 : cr.right - barW);
    EXPECT_EQ(grid->View()->Left(), c.barLeft ? barW : 0);
    EXPECT_EQ(grid->Header()->Left(), grid->View()->Left());
    EXPECT_TRUE(IsWindow(View()));
  }
  grid->SetRightAlignedText(false);
  grid->SetScrollbarOpposite(false);
  // The cursor set on the grid is the one over its rows.
  grid->SetCursor(crHandPoint);
  EXPECT_EQ(grid->View()->Cursor(), crHandPoint);
  grid->SetCursor(crDefault);
  EXPECT_EQ(grid->View()->Cursor(), crDefault);
}

// A 16 x 16 image of one colour.
void AddSolid(TImageList& list, COLORREF colour) {
  TBitmap b;
  b.SetSize(16, 16);
  b.Canvas()->Brush()->SetColor(static_cast<TColor>(colour));
  b.Canvas()->FillRect(RECT{0, 0, 16, 16});
  list.AddMasked(&b, clFuchsia);
}

TEST_F(TreeGridFrame, DragPictureShowsTheRowsAsTheGridDoes) {
  TImageList images(nullptr, 16, 16);
  AddSolid(images, RGB(0, 160, 0));  // 0: the state image of a dragged (selected) row
  AddSolid(images, RGB(0, 0, 160));  // 1: the plain image
  grid->SetImages(&images);
  grid->SetBkColor(static_cast<TColor>(RGB(250, 250, 200)));
  grid->SetTextColor(static_cast<TColor>(RGB(200, 0, 0)));
  T().DragAllowed = true;
  T().DragImageMode = dimOne;
  T().SetMultiSelect(false);
  const int lh = T().LineHeight();
  auto drag = [&](int row) -> std::unique_ptr<TDibSection> {
    const LPARAM at = MAKELPARAM(30, row * lh + lh / 2);
    SendMessageA(View(), WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageA(View(), WM_LBUTTONUP, 0, at);
    POINT p{30, row * lh + lh / 2};
    ClientToScreen(View(), &p);
    SetCursorPos(p.x, p.y);
    SendMessageA(View(), WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageA(View(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(30, row * lh + lh / 2 + 8));
    std::unique_ptr<TDibSection> dib;
    if (TDragImageList* pic = T().View().Input().DragImages()) {
      dib = std::make_unique<TDibSection>(pic->Width(), pic->Height());
      dib->Fill(RGB(1, 2, 3));
      TCanvas c;
      c.SetHandle(dib->DC());
      pic->Draw(&c, 0, 0, 0);
      c.SetHandle(nullptr);
    }
    SendMessageA(View(), WM_LBUTTONUP, 0, MAKELPARAM(30, row * lh + lh / 2 + 8));
    return dib;
  };
  auto count = [](const TDibSection& d, COLORREF c) {
    int n = 0;
    for (int y = 0; y < d.Height(); ++y)
      for (int x = 0; x < d.Width(); ++x) n += d.Pixel(x, y) == c;
    return n;
  };
  TElTreeItem* it = T().Items().Item(1);
  it->StImageIndex = 0;
  it->ImageIndex = 1;
  std::vector<TElTreeItem*> asked;
  T().OnItemPicDraw = [&](TObject*, TElTreeItem* item, int& index) {
    asked.push_back(item);
    index = 1;
  };
  int ownerDrawn = 0;
  grid->OnItemDraw = [&](TObject* sender, TElTreeItem*, TCanvas* c, RECT r, int) {
    EXPECT_EQ(sender, grid);
    ++ownerDrawn;
    c->Brush()->SetColor(static_cast<TColor>(RGB(0, 0, 250)));
    c->FillRect(r);
  };
  struct TCase {
    const char* name;
    std::function<void()> prepare;
    int row;
    COLORREF image;  // the image's colour in the picture, 0 for none
    bool ownerDrawn;
  };
  const TCase cases[] = {
      {"the state image of the dragged row, and its text in the grid's colour", [] {}, 1, RGB(0, 160, 0), false},
      {"no image index: the handler gives one", [&] { it->StImageIndex = -1; }, 1, RGB(0, 0, 160), false},
      {"images switched off", [&] { T().SetShowImages(false); }, 1, 0, false},
      {"an owner-drawn row is drawn by the grid's handler",
       [&] {
         T().SetShowImages(true);
         it->StImageIndex = 0;
         T().OwnerDrawByColumn = false;
         it->SetText(T().OwnerDrawMask);
       },
       1, RGB(0, 160, 0), true},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.name);
    c.prepare();
    asked.clear();
    ownerDrawn = 0;
    auto dib = drag(c.row);
    ASSERT_NE(dib, nullptr);
    EXPECT_EQ(dib->Height(), lh + 1) << "one row";
    if (c.image) {
      // The focus style blends a quarter of the image's pixels.
      EXPECT_GE(count(*dib, c.image), 16 * 16 * 3 / 4) << "the whole image";
    } else {
      EXPECT_EQ(count(*dib, RGB(0, 160, 0)) + count(*dib, RGB(0, 0, 160)), 0);
    }
    EXPECT_EQ(count(*dib, RGB(250, 250, 200)), 0) << "the grid's background is see-through";
    if (c.ownerDrawn) {
      EXPECT_GE(ownerDrawn, 1);
      EXPECT_GT(count(*dib, RGB(0, 0, 250)), 0);
    } else {
      EXPECT_GT(count(*dib, RGB(200, 0, 0)), 0) << "the text in the grid's text colour";
    }
    // Painting the rows asks too: the picture's image above is the proof.
    EXPECT_EQ(std::count(asked.begin(), asked.end(), it) > 0, it->StImageIndex == -1 && T().ShowImages());
  }
  grid->OnItemDraw = nullptr;
  T().OnItemPicDraw = nullptr;
  grid->SetImages(nullptr);
}

// A virtual grid sorted by a click on its header: typed cells come from
// OnVirtualValueNeeded, and a value that does not convert is sorted by the
// cell's text.
TEST_F(TreeGridFrame, VirtualCellsSortByTheirValuesAndFallBackToText) {
  for (int i = 0; i < 2; ++i) T().HeaderSections().AddSection()->SetWidth(100);
  T().SetShowColumns(true);
  T().SetSortMode(smClick);
  T().SetVirtualityLevel(vlTextAndStyles);
  Application->ProcessMessages();
  struct TCell {
    std::wstring text;
    TVariant value;
  };
  std::vector<TCell> cells;
  auto name = [&](TElTreeItem* it) { return std::to_string(it->UserTag); };
  T().OnVirtualTextNeeded = [&](TObject*, TElTreeItem* it, int, TElFString& text) { text = cells[it->UserTag].text; };
  std::vector<int> askedTypes;
  bool startedEmpty = true;
  auto valueHandler = [&](TObject* sender, TElTreeItem* it, int section, int varType, TVariant& v) {
    EXPECT_EQ(sender, grid);
    EXPECT_EQ(section, 1);
    startedEmpty = startedEmpty && v.IsEmpty();
    askedTypes.push_back(varType);
    v = cells[it->UserTag].value;
  };
  auto order = [&] {
    std::string s;
    for (int i = 0; i < T().Items().Count(); ++i) s += (s.empty() ? "" : " ") + name(T().Items().Item(i));
    return s;
  };
  auto clickHeader = [&] {
    TElHeaderSection* s = T().HeaderSections().GetSection(1);
    const LPARAM at = MAKELPARAM(s->Left() + s->Width() / 2, grid->Header()->Height() / 2);
    SendMessageA(grid->Header()->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageA(grid->Header()->Handle(), WM_LBUTTONUP, 0, at);
  };
  struct TCase {
    const char* name;
    TElFieldType field;
    bool handler;
    std::vector<TCell> cells;
    int varType;
    std::string ascending;
  };
  const TCase cases[] = {
      {"numbers by value, not by text", sftNumber, true,
       {{L"c", TVariant(10)}, {L"a", TVariant(9)}, {L"b", TVariant(100)}}, 0, "1 0 2"},
      {"a value that is no number sorts by its text", sftNumber, true,
       {{L"50", TVariant(L"x")}, {L"", TVariant(9)}, {L"", TVariant(L"20")}}, 0, "1 2 0"},
      {"no handler: the texts", sftNumber, false,
       {{L"10", TVariant(1)}, {L"9", TVariant(2)}, {L"x", TVariant(3)}}, -1, "2 1 0"},
      {"an empty value (the handler gave none) sorts by its text", sftNumber, true,
       {{L"3", TVariant()}, {L"", TVariant(5)}, {L"1", TVariant()}}, 0, "2 0 1"},
      {"floating values, dates too", sftDateTime, true,
       {{L"", TVariant(2.5)}, {L"", TVariant(-1.25)}, {L"", TVariant(2.25)}}, 3, "1 2 0"},
      {"currency values", sftCurrency, true,
       {{L"", TVariant::FromCurrency(30000)}, {L"", TVariant::FromCurrency(-5)}, {L"", TVariant(2)}}, 12,
       "1 2 0"},
      {"Boolean values", sftBool, true, {{L"", TVariant(true)}, {L"", TVariant(false)}, {L"", TVariant(0)}}, 1,
       "1 2 0"},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.name);
    cells = c.cells;
    T().OnVirtualValueNeeded = c.handler ? TVirtualValueNeededEvent(valueHandler) : nullptr;
    T().Items().Clear();
    for (int i = 0; i < 3; ++i) T().Items().AddItem(nullptr, L"")->UserTag = i;
    TElHeaderSection* s = T().HeaderSections().GetSection(1);
    s->SetFieldType(c.field);
    s->SetSortMode(hsmNone);
    T().SortDir = sdAscend;
    askedTypes.clear();
    startedEmpty = true;
    clickHeader();
    EXPECT_EQ(order(), c.ascending);
    EXPECT_TRUE(startedEmpty) << "every value starts empty";
    if (c.varType >= 0) {
      ASSERT_FALSE(askedTypes.empty());
      for (int t : askedTypes) EXPECT_EQ(t, c.varType);
    } else {
      EXPECT_TRUE(askedTypes.empty());
    }
  }
  T().OnVirtualValueNeeded = nullptr;
  T().OnVirtualTextNeeded = nullptr;
}

}  // namespace
}  // namespace morvane
