// The tree as a window: its pieces are placed, and its rows are painted with
// the selection, focus, stripe, grid-line and tree-line rules. Pictures are
// painted into a 32-bit DIB through WM_PAINT with a device context and
// probed at computed points; colours come from the system.
// ctest: desktop
#include <gtest/gtest.h>

#include "controls/controls_fixture.h"
#include "platform/ui/application.h"
#include "platform/ui/screenshot.h"
#include "tree_fixture.h"
#include "treeview/eltree_glyphs.h"
#include "treeview/eltree_editor.h"
#include "treeview/eltree_window.h"

namespace morvane {
namespace {

COLORREF Sys(int index) { return GetSysColor(index); }

class TreePaint : public test::ControlsTest {
 protected:
  void SetUp() override {
    ControlsTest::SetUp();
    w = new TElTreeWindow(form.get());
    w->SetParent(form.get());
    w->SetBounds(4, 4, 400, 220);
    w->SetBorderStyle(TBorderStyle::bsNone);
    w->HandleNeeded();
  }
  TElTree& T() { return w->Tree(); }
  // Three columns, the first the tree column.
  void Columns(std::initializer_list<int> widths) {
    int i = 0;
    for (int width : widths) {
      TElHeaderSection* s = T().HeaderSections().AddSection();
      s->SetText(L"C" + std::to_wstring(i++));
      s->SetWidth(width);
    }
    T().SetShowColumns(true);
  }
  void Paint(TDibSection& dib) { PaintInto(w->View(), dib); }
  void Focus(bool on) { SendMessageA(w->View()->Handle(), on ? WM_SETFOCUS : WM_KILLFOCUS, 0, 0); }
  int RowY(int row) { return row * T().LineHeight() + T().LineHeight() / 2; }

  TElTreeWindow* w = nullptr;
};

// An editor without a window of its own.
class TShownFlagEditor : public TElTreeInplaceEditor {
 public:
  TShownFlagEditor() : TElTreeInplaceEditor(nullptr) { SetTypes(FieldTypeBit(sftText)); }
  bool IsShown() const override { return shown; }
  void ShowEditor() override { shown = true; }
  void CompleteOperation(bool Accepted) override {
    shown = false;
    accepted = Accepted;
    TElTreeInplaceEditor::CompleteOperation(Accepted);
  }
  bool shown = false;
  bool accepted = false;
};

TEST_F(TreePaint, ScrollingEndsAnEditInProgress) {
  std::vector<std::string> rows;
  for (int i = 0; i < 60; ++i) rows.push_back("row" + std::to_string(i));
  test::Load(T(), rows);
  TShownFlagEditor editor;
  editor.SetTree(&T());
  ASSERT_TRUE(T().EditItem(T().Items().Item(0), -1));
  ASSERT_TRUE(T().IsEditing());
  T().HandleVScroll(SB_LINEDOWN, 0);
  T().HandleVScroll(SB_LINEDOWN, 0);
  EXPECT_FALSE(T().IsEditing()) << "scrolling must end the edit";
  EXPECT_TRUE(editor.accepted);
  EXPECT_GT(T().TopIndex(), 0);
  editor.SetTree(nullptr);
}

TEST_F(TreePaint, PiecesArePlacedHeaderOnTopViewBelow) {
  Columns({120, 100, 100});
  test::Load(T(), {"a|1|2", "b|3|4"});
  EXPECT_TRUE(w->Header()->Visible());
  EXPECT_EQ(w->View()->Top(), w->Header()->Height());
  EXPECT_EQ(w->View()->Height(), w->ClientHeight() - w->Header()->Height());
  EXPECT_EQ(T().View().VisibleRows().Count(), 2);
  // Without columns the view takes the whole client area.
  T().SetShowColumns(false);
  w->PlacePieces();
  EXPECT_FALSE(w->Header()->Visible());
  EXPECT_EQ(w->View()->Top(), 0);
  // Many rows bring the vertical bar, and the view gives it room.
  std::vector<std::string> rows;
  for (int i = 0; i < 60; ++i) rows.push_back("r" + std::to_string(i));
  test::Load(T(), rows);
  EXPECT_TRUE(w->VScrollBar()->Visible());
  EXPECT_EQ(w->View()->Width() + w->VScrollBar()->Width(), w->ClientWidth());
}

// Which colour a selected row shows, cell by cell, by RowSelect, focus and
// HideSelection.
TEST_F(TreePaint, SelectionColoursFollowFocusAndRowSelect) {
  Columns({120, 100, 100});
  test::Load(T(), {"first|x|y", "second|x|y", "third|x|y"});
  T().SetItemFocused(T().Items().Item(1));
  T().Items().Item(1)->SetSelected(true);
  struct TCase {
    const char* name;
    bool rowSelect, focused, hideSelection;
    COLORREF cellColour;  // in the second column, away from the text
  };
  const TCase cases[] = {
      {"row-select-focused", true, true, false, Sys(COLOR_HIGHLIGHT)},
      {"row-select-unfocused-shown", true, false, false, Sys(COLOR_HIGHLIGHT)},
      {"row-select-unfocused-hidden", true, false, true, Sys(COLOR_BTNFACE)},
      {"no-row-select", false, true, false, Sys(COLOR_WINDOW)},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.name);
    T().SetRowSelect(c.rowSelect);
    w->SetHideSelection(c.hideSelection);
    Focus(c.focused);
    TDibSection dib(w->View()->Width(), w->View()->Height());
    Paint(dib);
    EXPECT_EQ(dib.Pixel(200, RowY(1)), c.cellColour);
    EXPECT_EQ(dib.Pixel(200, RowY(0)), Sys(COLOR_WINDOW)) << "an unselected row keeps the background";
  }
}

TEST_F(TreePaint, WithoutRowSelectOnlyTheMeasuredTextIsHighlighted) {
  Columns({160, 100});
  test::Load(T(), {"ab|x", "cd|y"});
  T().SetRowSelect(false);
  T().Items().Item(0)->SetSelected(true);
  Focus(true);
  TDibSection dib(w->View()->Width(), w->View()->Height());
  Paint(dib);
  const TElRect tr = T().Items().Item(0)->TextRect;
  ASSERT_FALSE(tr.IsEmpty()) << "painting keeps the text rectangle";
  EXPECT_LT(tr.Right, 150) << "the text rectangle is the text's, not the cell's";
  bool highlighted = false;
  for (int x = tr.Left; x < tr.Right; ++x) highlighted |= dib.Pixel(x, RowY(0)) == Sys(COLOR_HIGHLIGHT);
  EXPECT_TRUE(highlighted);
  EXPECT_EQ(dib.Pixel(tr.Right + 8, RowY(0)), Sys(COLOR_WINDOW));
  EXPECT_EQ(dib.Pixel(200, RowY(0)), Sys(COLOR_WINDOW));
}

TEST_F(TreePaint, StripesFollowTheAbsoluteRowNumber) {
  std::vector<std::string> rows;
  for (int i = 0; i < 40; ++i) rows.push_back("row" + std::to_string(i));
  test::Load(T(), rows);
  w->SetStripedItems(true);
  w->SetStripedEvenColor(clWindow);
  w->SetStripedOddColor(clBtnFace);
  TDibSection dib(w->View()->Width(), w->View()->Height());
  Paint(dib);
  const int x = w->View()->Width() - 4;
  EXPECT_EQ(dib.Pixel(x, RowY(0)), Sys(COLOR_WINDOW)) << "the first row of the tree is even";
  EXPECT_EQ(dib.Pixel(x, RowY(1)), Sys(COLOR_BTNFACE));
  T().SetTopIndex(1);
  Paint(dib);
  EXPECT_EQ(dib.Pixel(x, RowY(0)), Sys(COLOR_BTNFACE)) << "scrolling by one row swaps the colours";
  EXPECT_EQ(dib.Pixel(x, RowY(1)), Sys(COLOR_WINDOW));
}

TEST_F(TreePaint, FocusRectangleAndHorizontalLines) {
  Columns({120, 100});
  test::Load(T(), {"a|1", "b|2", "c|3"});
  T().SetItemFocused(T().Items().Item(1));
  T().Items().Item(1)->SetSelected(false);
  T().SetHorizontalLines(true);
  w->SetHorzDivLinesColor(clBtnShadow);
  Focus(true);
  TDibSection dib(w->View()->Width(), w->View()->Height());
  Paint(dib);
  const int lh = T().LineHeight();
  // The grid line lies on the last pixel of each row, to the end of the columns.
  EXPECT_EQ(dib.Pixel(60, lh - 1), Sys(COLOR_BTNSHADOW));
  EXPECT_EQ(dib.Pixel(210, lh - 1), Sys(COLOR_BTNSHADOW));
  EXPECT_EQ(dib.Pixel(300, lh - 1), Sys(COLOR_WINDOW)) << "no line right of the last column";
  // The focused row gets the dotted focus frame: some pixels of its top
  // edge differ from the background.
  int changed = 0;
  for (int x = 0; x < 200; ++x) changed += dib.Pixel(x, lh) != Sys(COLOR_WINDOW);
  EXPECT_GT(changed, 20);
  w->SetDrawFocusRect(false);
  Paint(dib);
  changed = 0;
  for (int x = 0; x < 200; ++x) changed += dib.Pixel(x, lh) != Sys(COLOR_WINDOW);
  EXPECT_EQ(changed, 0);
}

TEST_F(TreePaint, DottedTreeLinesStayOnOneCheckerboard) {
  test::Load(T(), {"parent", "parent2"});
  TElTreeItem* p = T().Items().Item(0);
  T().Items().AddChild(p, L"child1");
  T().Items().AddChild(p, L"child2");
  p->Expand(false);
  T().SetShowRoot(true);
  T().SetShowLines(true);
  w->SetLinesColor(clBlack);
  TDibSection dib(w->View()->Width(), w->View()->Height());
  Paint(dib);
  // The vertical line of the top level runs through the child rows at the
  // centre of the first slot.
  const int x = T().ItemIndent() / 2;
  const int lh = T().LineHeight();
  int on = 0, wrong = 0;
  for (int y = lh; y < 3 * lh; ++y) {
    const bool black = dib.Pixel(x, y) == RGB(0, 0, 0);
    on += black;
    if (black != (((x + y) & 1) == 0)) ++wrong;
  }
  EXPECT_GT(on, lh - 2);
  EXPECT_EQ(wrong, 0) << "dots sit where x + y is even, across rows";
  w->SetLinesStyle(TPenStyle::psSolid);
  Paint(dib);
  on = 0;
  for (int y = lh; y < 3 * lh; ++y) on += dib.Pixel(x, y) == RGB(0, 0, 0);
  EXPECT_EQ(on, 2 * lh);
}

// The built-in glyphs (a themed tree draws the theme's, with no leaf glyph).
TEST_F(TreePaint, ButtonsShowPlusMinusAndLeaf) {
  w->SetUseXPThemes(false);
  test::Load(T(), {"open", "shut", "leaf"});
  TElTreeItem* open = T().Items().Item(0);
  TElTreeItem* shut = T().Items().Item(1);
  T().Items().AddChild(open, L"kid");
  T().Items().AddChild(shut, L"kid2");
  open->Expand(false);
  T().SetShowLines(false);
  // Rows: open (expanded), kid, shut (collapsed with a child), leaf.
  TDibSection dib(w->View()->Width(), w->View()->Height());
  Paint(dib);
  const int lh = T().LineHeight();
  // A top-level button lies in the root indent. Its sign, counted in the
  // glyph's middle column and in a column left of it: minus and plus share
  // the horizontal bar, plus adds the vertical one, the leaf is one dot.
  auto ink = [&](int row, int dx) {
    const int x = (T().ItemIndent() - 10) / 2 + dx;
    int n = 0;
    for (int y = row * lh; y < (row + 1) * lh; ++y) n += dib.Pixel(x, y) == Sys(COLOR_WINDOWTEXT);
    return n;
  };
  EXPECT_EQ(ink(0, 4), 1) << "minus";
  EXPECT_EQ(ink(0, 2), 1);
  EXPECT_EQ(ink(2, 4), 5) << "plus";
  EXPECT_EQ(ink(2, 2), 1);
  EXPECT_EQ(ink(3, 4), 0) << "a childless row shows no button without ShowLeafButton";
  T().SetShowLeafButton(true);
  Paint(dib);
  EXPECT_EQ(ink(3, 4), 1) << "the leaf glyph's dot";
  EXPECT_EQ(ink(3, 2), 0);
}

TEST_F(TreePaint, PasswordColumnsAndPaintWhileUpdating) {
  Columns({100, 120});
  T().HeaderSections().GetSection(1)->SetPassword(true);
  test::Load(T(), {"a|secret", "b"});
  TDibSection dib(w->View()->Width(), w->View()->Height());
  Paint(dib);
  // "******" is drawn for a present text; a missing one stays empty.
  int ink0 = 0, ink1 = 0;
  for (int x = 100; x < 220; ++x)
    for (int y = 0; y < T().LineHeight(); ++y) {
      ink0 += dib.Pixel(x, y) != Sys(COLOR_WINDOW);
      ink1 += dib.Pixel(x, y + T().LineHeight()) != Sys(COLOR_WINDOW);
    }
  EXPECT_GT(ink0, 0);
  EXPECT_EQ(ink1, 0);
  // Inside an update bracket a paint message draws nothing.
  T().BeginUpdate();
  Paint(dib);
  T().EndUpdate();
  EXPECT_EQ(dib.Pixel(5, 5), RGB(1, 2, 3));
}

TEST_F(TreePaint, UnitStartUpIsCountedAndRegistersTheDragCursors) {
  const int loads = ElTreeUnitLoads();
  auto second = std::make_unique<TElTreeWindow>(nullptr);
  EXPECT_EQ(ElTreeUnitLoads(), loads) << "a second start-up loads nothing again";
  second.reset();
  EXPECT_NE(ElTreePlusGlyph(), nullptr) << "the first tree still holds the glyphs";
  // The glyphs' signs: the middle column has one, five and one ink pixels.
  auto column = [](HBITMAP g) {
    HDC mem = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(mem, g);
    int n = 0;
    for (int y = 0; y < 10; ++y) n += GetPixel(mem, 4, y) == Sys(COLOR_WINDOWTEXT);
    SelectObject(mem, old);
    DeleteDC(mem);
    return n;
  };
  EXPECT_EQ(column(ElTreeMinusGlyph()), 1);
  EXPECT_EQ(column(ElTreePlusGlyph()), 5);
  EXPECT_EQ(column(ElTreeLeafGlyph()), 1);
  // They are the program's own bitmaps, taken to the system colours once:
  // the box in the button shadow, the inside in the window colour.
  for (const char* name : {"PlusBmp", "MinusBmp", "LeafBmp"})
    EXPECT_NE(FindResourceA(GetModuleHandleA(nullptr), name, MAKEINTRESOURCEA(2)), nullptr) << name;
  {
    HDC mem = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(mem, ElTreePlusGlyph());
    EXPECT_EQ(GetPixel(mem, 0, 1), Sys(COLOR_BTNSHADOW));
    EXPECT_EQ(GetPixel(mem, 1, 8), Sys(COLOR_WINDOW));
    EXPECT_EQ(GetPixel(mem, 9, 0), Sys(COLOR_WINDOW));
    SelectObject(mem, old);
    DeleteDC(mem);
  }
  for (int n = 1; n <= 3; ++n)
    EXPECT_NE(Screen->Cursors(crElTreeDragCursorBase + n), Screen->Cursors(crDefault)) << n;
}

// A column's own cell style gives the cell its colours unless it takes the
// tree's; an owner-drawn style hands the cell to OnItemDraw.
TEST_F(TreePaint, CellStylesColourAndOwnerDrawTheirCells) {
  Columns({100, 100, 100});
  test::Load(T(), {"a|x|y", "b|x|y"});
  TElTreeItem* it = T().Items().Item(0);
  it->SetFlag(tifUseStyles, true);
  TElCellStyle* first = it->AddStyle();
  TElCellStyle* second = it->AddStyle();
  ASSERT_TRUE(first && second);
  first->OwnerProps = false;
  first->CellBkColor = clRed;
  first->TextBkColor = clRed;
  first->UseBkColor = true;
  second->OwnerProps = false;
  second->Style = ElhsOwnerDraw;
  std::vector<int> drawn;
  w->OnItemDraw = [&](TObject*, TElTreeItem* item, TCanvas*, RECT, int section) {
    if (item == it) drawn.push_back(section);
  };
  TDibSection dib(w->View()->Width(), w->View()->Height());
  Paint(dib);
  EXPECT_EQ(dib.Pixel(190, RowY(0)), RGB(255, 0, 0));
  EXPECT_EQ(dib.Pixel(190, RowY(1)), Sys(COLOR_WINDOW)) << "the other row has no styles";
  EXPECT_EQ(drawn, std::vector<int>{2});
  first->OwnerProps = true;
  Paint(dib);
  EXPECT_EQ(dib.Pixel(190, RowY(0)), Sys(COLOR_WINDOW)) << "a style that takes the tree's colours";
}

// The view window hands its mouse messages to the tree's input handling.
TEST_F(TreePaint, AClickOnARowReachesTheTree) {
  test::Load(T(), {"a", "b", "c"});
  HWND view = w->View()->Handle();
  SendMessageA(view, WM_LBUTTONDOWN, MK_LBUTTON, At(40, RowY(2)));
  SendMessageA(view, WM_LBUTTONUP, 0, At(40, RowY(2)));
  EXPECT_EQ(test::Main(T().ItemFocused()), "c");
  EXPECT_TRUE(T().Items().Item(2)->Selected());
}

// A picture of a real tree window with cookie-like rows, for people to look at.
TEST_F(TreePaint, ScreenshotOfCookieRows) {
  TElHeaderSections& s = T().HeaderSections();
  const wchar_t* caps[] = {L"#", L"Name", L"Value", L"Domain", L"Expires"};
  const int widths[] = {30, 70, 90, 100, 80};
  for (int i = 0; i < 5; ++i) {
    TElHeaderSection* sec = s.AddSection();
    sec->SetText(caps[i]);
    sec->SetWidth(widths[i]);
  }
  T().SetShowColumns(true);
  T().SetShowLines(false);
  T().SetShowButtons(false);
  T().SetHorizontalLines(true);
  T().SetVerticalLines(true);
  w->SetStripedItems(true);
  test::Load(T(), {"1|id|4F2A91C0|.example.com|2027-01-01", "1|session|a8d|www.news.example|Session",
                   "1|pref|lang=en|.shop.example|2026-12-31", "1|track|0|ads.example.net|2030-06-30",
                   "1|theme|dark|blog.example.org|2027-03-15"});
  T().SetItemFocused(T().Items().Item(1));
  T().Items().Item(1)->SetSelected(true);
  w->View()->SetFocus();
  form->Update();
  w->Repaint();
  Pump(100);
  std::string dir = test::BinPath("screenshots");
  CreateDirectoryA(dir.c_str(), nullptr);
  SaveWindowScreenshot(w->Handle(), dir + "\\tree_cookie_rows.png");
  TScreenImage img = CaptureWindow(w->View()->Handle());
  ASSERT_GT(img.Width, 0);
  const int y = T().LineHeight() + 2;
  EXPECT_EQ(img.Pixel(img.Width - 10, y), Sys(COLOR_WINDOW)) << "right of the columns is background";
  EXPECT_EQ(img.Pixel(250, y), Sys(COLOR_HIGHLIGHT));
}

}  // namespace
}  // namespace morvane
