// The pictures of the tree window's rows: images from two lists with
// overlays and empty slots, the custom check-box and radio strips, cell
// controls, virtual cell styles, a right-aligned tree drawn (and hit) from
// the right edge, and the button glyphs. Everything goes through WM_PAINT
// into a 32-bit DIB and through real mouse messages.
// ctest: desktop
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <functional>

#include "controls/controls_fixture.h"
#include "platform/ui/application.h"
#include "platform/ui/gdi_handles.h"
#include "platform/ui/screenshot.h"
#include "tree_fixture.h"
#include "treeview/eltree_glyphs.h"
#include "treeview/eltree_styles.h"
#include "treeview/eltree_window.h"

namespace morvane {
namespace {

constexpr COLORREF kKey = RGB(255, 0, 255);  // the transparent colour of the pictures made here

// A picture of W x H in one colour with a frame of the key colour.
std::unique_ptr<TBitmap> Square(int W, int H, COLORREF Inside) {
  auto b = std::make_unique<TBitmap>();
  b->SetSize(W, H);
  TCanvas* c = b->Canvas();
  c->Brush()->SetColor(static_cast<TColor>(kKey));
  c->FillRect(RECT{0, 0, W, H});
  c->Brush()->SetColor(static_cast<TColor>(Inside));
  c->FillRect(RECT{1, 1, W - 1, H - 1});
  return b;
}

// A strip of six cells of Q x Q, cell k framed in the key colour around
// Colors[k].
std::unique_ptr<TBitmap> Strip(int Q, const COLORREF (&Colors)[6]) {
  auto b = std::make_unique<TBitmap>();
  b->SetSize(6 * Q, Q);
  TCanvas* c = b->Canvas();
  c->Brush()->SetColor(static_cast<TColor>(kKey));
  c->FillRect(RECT{0, 0, 6 * Q, Q});
  for (int k = 0; k < 6; ++k) {
    c->Brush()->SetColor(static_cast<TColor>(Colors[k]));
    c->FillRect(RECT{k * Q + 1, 1, k * Q + Q - 1, Q - 1});
  }
  return b;
}

class TreePictures : public test::ControlsTest {
 protected:
  void SetUp() override {
    ControlsTest::SetUp();
    w = new TElTreeWindow(form.get());
    w->SetParent(form.get());
    w->SetBounds(4, 4, 400, 220);
    w->SetBorderStyle(TBorderStyle::bsNone);
    w->SetUseXPThemes(false);
    w->HandleNeeded();
    T().SetShowLines(false);
    T().SetShowButtons(false);
  }
  TElTree& T() { return w->Tree(); }
  TElTreeItem* Item(int i) { return T().Items().Item(i); }
  void Paint() {
    dib = std::make_unique<TDibSection>(w->View()->Width(), w->View()->Height());
    PaintInto(w->View(), *dib);
  }
  int Count(int Row, COLORREF C) const {
    const int lh = w->Tree().LineHeight();
    int n = 0;
    for (int y = Row * lh; y < (Row + 1) * lh; ++y)
      for (int x = 0; x < dib->Width(); ++x) n += dib->Pixel(x, y) == C;
    return n;
  }
  // The first and one past the last column of row Row holding C (-1 when none).
  std::pair<int, int> Span(int Row, COLORREF C) const {
    const int lh = w->Tree().LineHeight();
    int a = -1, b = -1;
    for (int x = 0; x < dib->Width(); ++x)
      for (int y = Row * lh; y < (Row + 1) * lh; ++y)
        if (dib->Pixel(x, y) == C) {
          if (a < 0) a = x;
          b = x + 1;
        }
    return {a, b};
  }
  int RowY(int Row) { return Row * T().LineHeight() + T().LineHeight() / 2; }
  void Click(int X, int Y) {
    HWND v = w->View()->Handle();
    SendMessageA(v, WM_LBUTTONDOWN, MK_LBUTTON, At(X, Y));
    SendMessageA(v, WM_LBUTTONUP, 0, At(X, Y));
  }

  TElTreeWindow* w = nullptr;
  std::unique_ptr<TDibSection> dib;
};

// Three 8 x 8 images (red, green, blue) and a masked overlay that covers
// only the top-left corner in yellow.
class TreeImages : public TreePictures {
 protected:
  void SetUp() override {
    TreePictures::SetUp();
    list = std::make_unique<TImageList>(nullptr, 8, 8);
    for (COLORREF c : {RGB(255, 0, 0), RGB(0, 255, 0), RGB(0, 0, 255)}) {
      auto b = std::make_unique<TBitmap>();
      b->SetSize(8, 8);
      b->Canvas()->Brush()->SetColor(static_cast<TColor>(c));
      b->Canvas()->FillRect(RECT{0, 0, 8, 8});
      list->AddMasked(b.get(), static_cast<TColor>(kKey));
    }
    auto ov = std::make_unique<TBitmap>();
    ov->SetSize(8, 8);
    ov->Canvas()->Brush()->SetColor(static_cast<TColor>(kKey));
    ov->Canvas()->FillRect(RECT{0, 0, 8, 8});
    ov->Canvas()->Brush()->SetColor(static_cast<TColor>(RGB(255, 255, 0)));
    ov->Canvas()->FillRect(RECT{0, 0, 3, 3});
    overlay = list->AddMasked(ov.get(), static_cast<TColor>(kKey));
    ASSERT_TRUE(list->Overlay(overlay, 0));
  }
  std::unique_ptr<TImageList> list;
  int overlay = -1;
};

TEST_F(TreeImages, RowsShowTheirImagesOverlaysAndEmptySlots) {
  const COLORREF red = RGB(255, 0, 0), green = RGB(0, 255, 0), blue = RGB(0, 0, 255), yellow = RGB(255, 255, 0);
  test::Load(T(), {"plain", "asks", "missing", "state", "overlaid", "second"});
  w->SetImages(list.get());
  EXPECT_EQ(T().Images().Count, 4) << "the model learns the list's size";
  Item(0)->ImageIndex = 0;
  Item(1)->ImageIndex = -1;  // the handler answers 1
  Item(2)->ImageIndex = 7;   // not in the list
  Item(3)->ImageIndex = 0;
  Item(3)->StImageIndex = 2;  // shown while selected
  Item(4)->ImageIndex = 0;
  Item(4)->OverlayIndex = 0;
  Item(5)->ImageIndex = 1;
  Item(5)->ImageIndex2 = 2;  // the second image comes from the same list
  std::vector<std::string> asked;
  T().OnItemPicDraw = [&](TObject* sender, TElTreeItem* item, int& index) {
    EXPECT_EQ(sender, w);
    asked.push_back(test::Main(item));
    if (item == Item(1)) index = 1;
  };
  Item(3)->SetSelected(true);
  Paint();
  struct TCase {
    int row;
    COLORREF color;
    int pixels;
  } cases[] = {
      {0, red, 64}, {1, green, 64}, {2, red, 0},  {2, green, 0},        {3, blue, 64}, {3, red, 0},
      {4, red, 55}, {4, yellow, 9}, {5, blue, 64}, {5, green, 64},
  };
  for (const TCase& c : cases) EXPECT_EQ(Count(c.row, c.color), c.pixels) << "row " << c.row;
  EXPECT_EQ(asked, std::vector<std::string>{"asks"});
  // The second image lies left of the main one, the text right of both.
  EXPECT_LT(Span(5, blue).second, Span(5, green).first);
  EXPECT_LE(Span(5, green).second, Item(5)->TextRect.Left);
  EXPECT_FALSE(Item(2)->Flag(tifImageDrawn));
  EXPECT_TRUE(Item(0)->Flag(tifImageDrawn));
  EXPECT_TRUE(Item(5)->Flag(tifImage2Drawn));

  // An empty slot keeps the text where an image would put it, and a click
  // there is on the image.
  const int bare = Item(2)->TextRect.Left;
  T().ShowEmptyImages = true;
  Paint();
  EXPECT_EQ(Item(2)->TextRect.Left, bare + 8);
  EXPECT_EQ(Item(2)->TextRect.Left, Item(0)->TextRect.Left) << "beside a row that has its image";
  TElHitPart part = hpNowhere;
  int col = -1;
  EXPECT_EQ(T().GetItemAt(Span(0, red).first + 3, RowY(2), part, col), Item(2));
  EXPECT_EQ(part, hpImage);

  // A list that goes away is let go of; nothing is drawn from it.
  list.reset();
  EXPECT_EQ(w->Images(), nullptr);
  Paint();
  EXPECT_EQ(Count(0, red), 0);
}

// The check-box and radio strips: which of the six cells a row shows, drawn
// with the strip's transparent colour, and the box a click hits.
TEST_F(TreePictures, CustomCheckBoxesShowTheirStripCell) {
  const COLORREF cb[6] = {RGB(200, 0, 0), RGB(0, 200, 0), RGB(0, 0, 200), RGB(200, 200, 0), RGB(0, 200, 200),
                          RGB(200, 0, 200)};
  const COLORREF rb[6] = {RGB(100, 0, 0), RGB(0, 100, 0), RGB(0, 0, 100), RGB(100, 100, 0), RGB(0, 100, 100),
                          RGB(100, 0, 100)};
  auto cbStrip = Strip(10, cb), rbStrip = Strip(10, rb);
  w->CheckBoxGlyph()->Assign(cbStrip.get());
  w->RadioButtonGlyph()->Assign(rbStrip.get());
  EXPECT_EQ(T().CheckBoxGlyphWidth, 60);
  w->SetCustomCheckboxes(true);
  T().SetShowCheckboxes(true);
  struct TCase {
    const char* text;
    uint8_t type, state;
    bool enabled;
    COLORREF shown;
  } cases[] = {
      {"unchecked", 0, 0, true, cb[0]},     {"unchecked off", 0, 0, false, cb[1]}, {"checked", 0, 1, true, cb[2]},
      {"checked off", 0, 1, false, cb[3]},  {"grayed", 1, 2, true, cb[4]},         {"grayed off", 1, 2, false, cb[5]},
      {"two-state grayed", 0, 2, true, cb[0]}, {"radio", 2, 0, true, rb[0]},      {"radio on", 2, 1, true, rb[2]},
      {"radio on off", 2, 1, false, rb[3]},
  };
  std::vector<std::string> lines;
  for (const TCase& c : cases) lines.push_back(c.text);
  test::Load(T(), lines);
  for (int i = 0; i < static_cast<int>(std::size(cases)); ++i) {
    TElTreeItem* it = Item(i);
    it->SetFlag(tifShowCheckBox, true);
    it->CheckBoxType = cases[i].type;
    it->SetCheckBoxState(cases[i].state);
    it->SetFlag(tifCheckBoxEnabled, cases[i].enabled);
  }
  Paint();
  for (int i = 0; i < static_cast<int>(std::size(cases)); ++i) {
    EXPECT_EQ(Count(i, cases[i].shown), 64) << cases[i].text;
    EXPECT_EQ(Count(i, kKey), 0) << cases[i].text << ": the strip's transparent colour shows the cell";
  }
  // A click on either end of the painted box toggles it.
  const auto box = Span(0, cb[0]);
  Click(box.first, RowY(0));
  EXPECT_EQ(Item(0)->CheckBoxState(), 1);
  Click(box.second - 1, RowY(0));
  EXPECT_EQ(Item(0)->CheckBoxState(), 0);
}

// The themed box when the platform draws visual styles; otherwise the
// classic box keeps the stored size.
TEST_F(TreePictures, ThemedCheckBoxesFollowTheTheme) {
  w->SetUseXPThemes(true);
  if (!w->IsThemeApplied()) GTEST_SKIP() << "no visual styles in this session";
  test::Load(T(), {"a", "b"});
  T().SetShowCheckboxes(true);
  for (int i = 0; i < 2; ++i) Item(i)->SetFlag(tifShowCheckBox, true);
  Item(1)->SetCheckBoxState(1);
  Paint();
  int differ = 0;
  for (int x = 0; x < 30; ++x)
    for (int y = 0; y < T().LineHeight(); ++y) differ += dib->Pixel(x, y) != dib->Pixel(x, y + T().LineHeight());
  EXPECT_GT(differ, 0) << "a checked box looks other than an unchecked one";
}

// A cell control draws its cell inside its border; a hidden one leaves the
// cell alone; the mouse reaches it through the view.
class TSwatchControl : public TElCellControl {
 public:
  void Paint(TCanvas* Canvas, const RECT& R) override {
    painted.push_back(R);
    TBrushHandle b(CreateSolidBrush(RGB(0, 128, 64)));
    FillRect(Canvas->Handle(), &R, b.Get());
  }
  bool MouseDown(int Button, unsigned, int X, int Y) override {
    downs.push_back({Button, X, Y});
    return true;
  }
  std::vector<RECT> painted;
  std::vector<std::array<int, 3>> downs;
};

TEST_F(TreePictures, CellControlsPaintInsideTheirBorderAndTakeTheMouse) {
  for (int width : {100, 120}) T().HeaderSections().AddSection()->SetWidth(width);
  T().SetShowColumns(true);
  test::Load(T(), {"a|x", "b|y"});
  TElTreeItem* it = Item(0);
  it->SetFlag(tifUseStyles, true);
  TElCellStyle* st = it->AddStyle();
  st->OwnerProps = false;
  auto* control = new TSwatchControl;
  control->BorderWidth = 3;
  st->SetControl(control);
  control->painted.clear();
  Paint();
  ASSERT_EQ(control->painted.size(), 1u);
  const int lh = T().LineHeight();
  const RECT r = control->painted[0];
  EXPECT_EQ(r.left, 100 + 3);
  EXPECT_EQ(r.top, 3);
  EXPECT_EQ(r.bottom, lh - 3);
  EXPECT_EQ(dib->Pixel(150, lh / 2), RGB(0, 128, 64));
  EXPECT_NE(dib->Pixel(101, lh / 2), RGB(0, 128, 64)) << "the border is the cell's";
  Click(150, lh / 2);
  ASSERT_EQ(control->downs.size(), 1u);
  EXPECT_EQ(control->downs[0][1], 50) << "x from the cell's left edge";
  control->Visible = false;
  control->painted.clear();
  Paint();
  EXPECT_TRUE(control->painted.empty());
  EXPECT_EQ(Count(0, RGB(0, 128, 64)), 0);
}

// A virtual tree's cells take the one shared style the application fills
// for each cell on screen.
TEST_F(TreePictures, VirtualCellStylesComeFromTheHandler) {
  for (int width : {100, 120}) T().HeaderSections().AddSection()->SetWidth(width);
  T().SetShowColumns(true);
  test::Load(T(), {"a", "b"});
  for (int i = 0; i < 2; ++i) Item(i)->SetFlag(tifUseStyles, true);
  T().SetVirtualityLevel(vlTextAndStyles);
  T().OnVirtualTextNeeded = [](TObject*, TElTreeItem*, int section, TElFString& text) {
    text = section == 0 ? L"main" : L"";
  };
  std::vector<std::pair<std::string, int>> asked;
  T().OnVirtualStyleNeeded = [&](TObject*, TElTreeItem* item, int section, TElCellStyle* style) {
    asked.push_back({test::Main(item), section});
    style->OwnerProps = false;
    style->UseBkColor = true;
    style->CellBkColor = static_cast<TColor>(section == 1 ? RGB(0, 0, 200) : RGB(200, 0, 0));
    style->TextBkColor = style->CellBkColor;
  };
  Paint();
  EXPECT_EQ(dib->Pixel(150, RowY(0)), RGB(0, 0, 200));
  EXPECT_EQ(dib->Pixel(150, RowY(1)), RGB(0, 0, 200));
  EXPECT_EQ(dib->Pixel(90, RowY(1)), RGB(200, 0, 0)) << "the main cell asks for section 0";
  int mainAsks = 0, columnAsks = 0;
  for (auto& a : asked) {
    mainAsks += a.second == 0;
    columnAsks += a.second == 1;
  }
  EXPECT_GE(mainAsks, 2);
  EXPECT_GE(columnAsks, 2);
}

// A right-aligned tree is the left-aligned one mirrored in its cell, and a
// click finds the parts where they are painted.
TEST_F(TreeImages, ARightAlignedTreeIsPaintedAndHitFromTheRight) {
  T().HeaderSections().AddSection()->SetWidth(200);
  T().HeaderSections().AddSection()->SetWidth(100);
  T().SetShowColumns(true);
  T().SetShowButtons(true);
  test::Load(T(), {"parent", "child"});
  T().Items().AddChild(Item(0), L"kid");
  Item(0)->Expand(false);
  w->SetImages(list.get());
  for (int i = 0; i < 3; ++i) {
    Item(i)->ImageIndex = 0;
    Item(i)->ImageIndex2 = 1;
    Item(i)->SetFlag(tifShowCheckBox, true);
  }
  T().SetShowCheckboxes(true);
  Paint();
  TElTreeItem* kid = T().GetItemAtY(RowY(1) + w->View()->Top());
  ASSERT_EQ(test::Main(kid), "kid");
  const auto red = Span(1, RGB(255, 0, 0)), green = Span(1, RGB(0, 255, 0));
  ASSERT_GT(red.first, 0);
  // The box left of the second image (the check box), a pixel in it.
  const int boxX = green.first - T().ItemIndent() / 3 - 2;
  const int leftBefore = T().HeaderSections().GetSection(T().MainTreeColumn())->Left();

  T().SetRightAlignedTree(true);
  Paint();
  // The main column keeps its width; the header may have moved it (its
  // order is mirrored too). What lay x from the cell's left edge lies x from
  // its right edge: x becomes m - 1 - x.
  TElHeaderSection* main = T().HeaderSections().GetSection(T().MainTreeColumn());
  ASSERT_EQ(main->Width(), 200);
  const int m = leftBefore + main->Right() - T().LeftPosition();
  const auto red2 = Span(1, RGB(255, 0, 0)), green2 = Span(1, RGB(0, 255, 0));
  EXPECT_EQ(red2.first, m - red.second);
  EXPECT_EQ(red2.second, m - red.first);
  EXPECT_EQ(green2.first, m - green.second);
  EXPECT_LT(kid->TextRect.Right, red2.first) << "the text lies left of the images";
  EXPECT_GT(kid->TextRect.Right - kid->TextRect.Left, 0);
  EXPECT_EQ(Count(1, RGB(255, 0, 0)), 64) << "the image itself is not mirrored";
  // The parts are hit where they are painted.
  struct TCase {
    int x;
    TElHitPart part;
  } cases[] = {{(red2.first + red2.second) / 2, hpImage},
               {(green2.first + green2.second) / 2, hpImage2},
               {m - 1 - boxX, hpCheckBox},
               {(kid->TextRect.Left + kid->TextRect.Right) / 2, hpText}};
  for (const TCase& c : cases) {
    TElHitPart part = hpNowhere;
    int col = -1;
    EXPECT_EQ(T().GetItemAt(c.x, RowY(1) + w->View()->Top(), part, col), kid) << c.x;
    EXPECT_EQ(part, c.part) << c.x;
  }
  Click(m - 1 - boxX, RowY(1));
  EXPECT_EQ(kid->CheckBoxState(), 1) << "a click on the painted box checks it";
}

// With a check box and both images, each gap the painter leaves is where
// the hit test expects it: both ends of the box toggle it.
TEST_F(TreeImages, ACheckBoxBesideBothImagesIsHitOverItsWholeWidth) {
  test::Load(T(), {"row"});
  w->SetImages(list.get());
  Item(0)->ImageIndex = 0;
  Item(0)->ImageIndex2 = 1;
  Item(0)->SetFlag(tifShowCheckBox, true);
  T().SetShowCheckboxes(true);
  Paint();
  const auto green = Span(0, RGB(0, 255, 0));
  const int q = T().CheckBoxSize();
  const int boxRight = green.first - T().ItemIndent() / 3;  // one past the box
  for (int x : {boxRight - q + 1, boxRight - 2}) {
    TElHitPart part = hpNowhere;
    int col = -1;
    T().GetItemAt(x, RowY(0), part, col);
    EXPECT_EQ(part, hpCheckBox) << x;
  }
}

// The glyphs come from the program's bitmaps in the system's colours, in
// the screen's format; a change of the system colours is followed again
// and again.
TEST_F(TreePictures, ButtonGlyphsAreTheProgramsBitmapsInTheSystemColours) {
  HINSTANCE inst = GetModuleHandleA(nullptr);
  for (const char* name : {"PlusBmp", "MinusBmp", "LeafBmp"})
    EXPECT_NE(FindResourceA(inst, name, MAKEINTRESOURCEA(2) /* RT_BITMAP */), nullptr) << name;
  auto pixel = [](HBITMAP g, int x, int y) {
    HDC mem = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(mem, g);
    COLORREF c = GetPixel(mem, x, y);
    SelectObject(mem, old);
    DeleteDC(mem);
    return c;
  };
  BITMAP bm{};
  GetObjectW(ElTreePlusGlyph(), sizeof bm, &bm);
  HDC screen = GetDC(nullptr);
  EXPECT_EQ(bm.bmBitsPixel, GetDeviceCaps(screen, BITSPIXEL));
  ReleaseDC(nullptr, screen);
  // Sign (4, 3 of the plus), box (0, 1), inside (1, 8).
  struct TProbe {
    int x, y;
    int index;
  } probes[] = {{4, 3, COLOR_WINDOWTEXT}, {0, 1, COLOR_BTNSHADOW}, {1, 8, COLOR_WINDOW}};
  for (const TProbe& p : probes) EXPECT_EQ(pixel(ElTreePlusGlyph(), p.x, p.y), GetSysColor(p.index)) << p.index;
  ElTreeRecolorGlyphs(RGB(200, 0, 0), RGB(0, 200, 0), RGB(0, 0, 200));
  EXPECT_EQ(pixel(ElTreePlusGlyph(), 4, 3), RGB(200, 0, 0));
  ElTreeRecolorGlyphs(RGB(10, 20, 30), RGB(40, 50, 60), RGB(70, 80, 90));
  EXPECT_EQ(pixel(ElTreeMinusGlyph(), 4, 5), RGB(10, 20, 30)) << "a second change is followed too";
  EXPECT_EQ(pixel(ElTreeLeafGlyph(), 0, 1), RGB(40, 50, 60));
  // The view hears the system's change and takes the system's colours back.
  SendMessageA(w->View()->Handle(), WM_SYSCOLORCHANGE, 0, 0);
  for (const TProbe& p : probes) EXPECT_EQ(pixel(ElTreePlusGlyph(), p.x, p.y), GetSysColor(p.index)) << p.index;
}

// A grid as the program's pages have it (three columns, many rows, lines
// and buttons on), with the image list of TreeImages.
class TreePicturesGrid : public TreeImages {
 protected:
  void SetUp() override {
    TreeImages::SetUp();
    T().SetShowLines(true);
    T().SetShowButtons(true);
    for (int width : {120, 100, 100}) T().HeaderSections().AddSection()->SetWidth(width);
    T().SetShowColumns(true);
    std::vector<std::string> rows;
    for (int i = 0; i < 60; ++i) rows.push_back("row" + std::to_string(100 + i) + "|" + std::to_string(60 - i) + "|x");
    test::Load(T(), rows);
    Application->ProcessMessages();
  }
  HWND View() { return w->View()->Handle(); }
  // The view's paint as the system asks for it, then its picture from the
  // screen.
  void PaintFromTheSystem() {
    RedrawWindow(View(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    Application->ProcessMessages();
    shot = CaptureWindow(View());
  }
  int Shown(int Row, COLORREF C) const {
    const int lh = w->Tree().LineHeight();
    int n = 0;
    for (int y = Row * lh; y < (Row + 1) * lh && y < shot.Height; ++y)
      for (int x = 0; x < 120; ++x) n += shot.Pixel(x, y) == C;
    return n;
  }
  TScreenImage shot;
};

// Images with their overlay and the one OnItemPicDraw names, the state
// image of the focused row, the check-box and radio strips and the custom
// expand button, all through the view's own paint; a click on a painted box
// checks it. Painting leaves the view with nothing to paint again (a row
// that asked for its own repaint while painting kept the view painting for
// ever).
TEST_F(TreePicturesGrid, RowPicturesThroughTheViewsOwnPaint) {
  const COLORREF red = RGB(255, 0, 0), green = RGB(0, 255, 0), blue = RGB(0, 0, 255), yellow = RGB(255, 255, 0);
  const COLORREF cb[6] = {RGB(200, 0, 0),   RGB(0, 200, 0),   RGB(0, 0, 200),
                          RGB(200, 200, 0), RGB(0, 200, 200), RGB(200, 0, 200)};
  const COLORREF rb[6] = {RGB(100, 0, 0),   RGB(0, 100, 0),   RGB(0, 0, 100),
                          RGB(100, 100, 0), RGB(0, 100, 100), RGB(100, 0, 100)};
  const COLORREF minusColour = RGB(128, 128, 0), plusColour = RGB(0, 128, 128);
  w->SetImages(list.get());
  T().SetShowCheckboxes(true);
  w->SetCustomCheckboxes(true);
  auto cbStrip = Strip(10, cb), rbStrip = Strip(10, rb);
  w->CheckBoxGlyph()->Assign(cbStrip.get());
  w->RadioButtonGlyph()->Assign(rbStrip.get());
  w->SetCustomPlusMinus(true);
  auto minus = Square(9, 9, minusColour), plus = Square(9, 9, plusColour);
  w->MinusPicture()->Assign(minus.get());
  w->PlusPicture()->Assign(plus.get());

  Item(0)->ImageIndex = 0;
  Item(0)->StImageIndex = 1;  // not shown: the row is neither focused, selected nor open
  Item(1)->ImageIndex = -1;   // the handler answers 2
  Item(2)->ImageIndex = 0;
  Item(2)->OverlayIndex = 0;
  Item(3)->ImageIndex = 0;
  Item(3)->StImageIndex = 1;  // shown: the row is focused
  struct TBox {
    int row;
    uint8_t type, state;
  } boxes[] = {{4, 0, 0}, {5, 2, 1}, {6, 1, 2}};
  for (const TBox& b : boxes) {
    Item(b.row)->SetFlag(tifShowCheckBox, true);
    Item(b.row)->CheckBoxType = b.type;
    Item(b.row)->SetCheckBoxState(b.state);
  }
  T().Items().AddChild(Item(7), L"open");
  T().Items().AddChild(Item(9), L"closed");
  Item(7)->Expand(false);
  std::vector<std::string> asked;
  T().OnItemPicDraw = [&](TObject* sender, TElTreeItem* item, int& index) {
    EXPECT_EQ(sender, w);
    asked.push_back(test::Main(item));
    if (item == Item(1)) index = 2;
  };
  T().SetItemFocused(Item(3));

  // The paint of a DC the caller gives asks for no new paint...
  ValidateRect(View(), nullptr);
  Paint();
  ASSERT_FALSE(GetUpdateRect(View(), nullptr, FALSE)) << "painting asked for a repaint of itself";
  // ...and the system's own paint comes to an end.
  PaintFromTheSystem();
  EXPECT_FALSE(GetUpdateRect(View(), nullptr, FALSE));
  ASSERT_GT(shot.Width, 0);

  struct TCase {
    const char* what;
    int row;
    COLORREF colour;
    int pixels;
  } cases[] = {
      {"the row's image", 0, red, 64},
      {"no state image for a plain row", 0, green, 0},
      {"the image OnItemPicDraw names", 1, blue, 64},
      {"the image under its overlay", 2, red, 55},
      {"the overlay's corner", 2, yellow, 9},
      {"the focused row's state image", 3, green, 64},
      {"no plain image for the focused row", 3, red, 0},
      {"an unchecked box: the strip's first cell", 4, cb[0], 64},
      {"a checked radio button: the radio strip's third cell", 5, rb[2], 64},
      {"a grayed three-state box: the fifth cell", 6, cb[4], 64},
      {"the open row's collapse picture", 7, minusColour, 49},
      {"the closed row's expand picture", 9, plusColour, 49},
      {"no picture's transparent colour on screen", 4, kKey, 0},
  };
  for (const TCase& c : cases) EXPECT_EQ(Shown(c.row, c.colour), c.pixels) << c.what;
  EXPECT_NE(std::find(asked.begin(), asked.end(), "row101"), asked.end());

  // A click on the painted box of row 4 checks it; the view paints it so.
  int boxLeft = -1;
  for (int x = 0; x < 120 && boxLeft < 0; ++x)
    if (shot.Pixel(x, RowY(4)) == cb[0]) boxLeft = x;
  ASSERT_GE(boxLeft, 0);
  Click(boxLeft + 2, RowY(4));
  EXPECT_EQ(Item(4)->CheckBoxState(), 1);
  PaintFromTheSystem();
  EXPECT_EQ(Shown(4, cb[2]), 64) << "the checked cell after the click";
  EXPECT_EQ(Shown(4, cb[0]), 0);
  w->SetImages(nullptr);
}

// A picture of two real tree windows for people to look at: images, check
// boxes, radio buttons, picture cells, and the same tree right-aligned.
// A strip of six boxes that look like the real thing, for the picture:
// unchecked, checked and grayed, each enabled then disabled, in a margin of
// the key colour.
std::unique_ptr<TBitmap> BoxStrip(int Q, bool Radio) {
  auto b = std::make_unique<TBitmap>();
  b->SetSize(6 * Q, Q);
  TCanvas* c = b->Canvas();
  c->Brush()->SetColor(static_cast<TColor>(kKey));
  c->FillRect(RECT{0, 0, 6 * Q, Q});
  for (int k = 0; k < 6; ++k) {
    const bool disabled = k % 2 == 1;
    const int state = k / 2, l = k * Q + 1;
    const RECT box{l, 0, l + Q - 2, Q - 2};
    const TColor ink = static_cast<TColor>(disabled ? RGB(150, 150, 150) : RGB(30, 30, 30));
    c->Pen()->SetColor(static_cast<TColor>(RGB(90, 90, 90)));
    c->Brush()->SetColor(static_cast<TColor>(disabled ? RGB(225, 225, 225) : RGB(255, 255, 255)));
    if (Radio) {
      c->Ellipse(box.left, box.top, box.right, box.bottom);
      if (state == 1) {
        c->Pen()->SetColor(ink);
        c->Brush()->SetColor(ink);
        c->Ellipse(box.left + 3, box.top + 3, box.right - 3, box.bottom - 3);
      }
      continue;
    }
    c->Rectangle(box.left, box.top, box.right, box.bottom);
    if (state == 2) {
      c->Brush()->SetColor(static_cast<TColor>(RGB(160, 160, 160)));
      c->FillRect(RECT{box.left + 3, box.top + 3, box.right - 3, box.bottom - 3});
    } else if (state == 1) {
      // A tick: down from the left, then up to the right, two pixels thick.
      const int x0 = box.left + 2, y0 = box.top + (Q - 2) / 2 - 1;
      for (int i = 0; i < 3; ++i)
        for (int d = 0; d < 2; ++d) c->SetPixels(x0 + i, y0 + i + d, ink);
      for (int i = 0; i < Q - 8; ++i)
        for (int d = 0; d < 2; ++d) c->SetPixels(x0 + 3 + i, y0 + 1 - i + d, ink);
    }
  }
  return b;
}

using TreePicturesScreenshot = TreeImages;
TEST_F(TreePicturesScreenshot, PicturesAndARightAlignedTree) {
  form->SetBounds(20, 20, 760, 300);
  auto cbStrip = BoxStrip(13, false), rbStrip = BoxStrip(13, true);
  auto picture = Square(40, 12, RGB(255, 160, 0));
  picture->SetTransparent(true);
  auto build = [&](TElTreeWindow* g, bool right) {
    g->SetUseXPThemes(false);
    TElTree& t = g->Tree();
    for (int width : {200, 80, 70}) t.HeaderSections().AddSection()->SetWidth(width);
    t.HeaderSections().GetSection(0)->SetText(L"Cookie");
    t.HeaderSections().GetSection(1)->SetText(L"Kept");
    t.HeaderSections().GetSection(2)->SetText(L"Picture");
    t.SetShowColumns(true);
    t.SetShowRoot(true);
    t.SetShowLines(true);
    t.SetShowButtons(true);
    g->SetImages(list.get());
    g->CheckBoxGlyph()->Assign(cbStrip.get());
    g->RadioButtonGlyph()->Assign(rbStrip.get());
    g->SetCustomCheckboxes(true);
    t.SetShowCheckboxes(true);
    t.SetRightAlignedTree(right);
    test::Load(t, {"example.com|yes", "news.example|no", "shop.example|yes"});
    TElTreeItem* a = t.Items().Item(0);
    t.Items().AddChild(a, L"id|session");
    t.Items().AddChild(a, L"pref|always");
    a->Expand(false);
    for (int i = 0; i < t.Items().Count(); ++i) {
      TElTreeItem* it = t.Items().Item(i);
      // The last row's image is named by the handler.
      it->ImageIndex = i == t.Items().Count() - 1 ? -1 : i % 3;
      it->ImageIndex2 = (i + 1) % 3;
      it->OverlayIndex = i == 2 ? 0 : -1;
      it->SetFlag(tifShowCheckBox, true);
      it->CheckBoxType = it->Level() > 0 ? 2 : 1;
      it->SetCheckBoxState(i == 1 || i == 3 ? 1 : i == 4 ? 2 : 0);
      it->SetFlag(tifUseStyles, true);
      it->AddStyle()->OwnerProps = true;
      TElCellStyle* pic = it->AddStyle();
      pic->OwnerProps = false;
      pic->Style = ElhsPictureOnly;
      pic->Picture = picture.get();
      pic->CellBkColor = clWindow;
    }
    t.OnItemPicDraw = [&t](TObject*, TElTreeItem* item, int& index) {
      if (item == t.Items().Item(t.Items().Count() - 1)) index = 1;
    };
    t.SetItemFocused(t.Items().Item(1));
    t.Items().Item(1)->SetSelected(true);
  };
  build(w, false);
  w->SetBounds(4, 4, 370, 200);
  auto* right = new TElTreeWindow(form.get());
  right->SetParent(form.get());
  right->SetBounds(380, 4, 370, 200);
  build(right, true);
  // Both windows painted as the system asks them to, and taken from the
  // screen.
  RedrawWindow(form->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  Application->ProcessMessages();
  std::string dir = test::BinPath("screenshots");
  CreateDirectoryA(dir.c_str(), nullptr);
  SaveWindowScreenshot(form->Handle(), dir + "\\tree_pictures.png");
  const TScreenImage shot = CaptureWindow(right->View()->Handle());
  ASSERT_GT(shot.Width, 0);
  int orange = 0;
  for (int x = 0; x < shot.Width; ++x)
    for (int y = 0; y < shot.Height; ++y) orange += shot.Pixel(x, y) == RGB(255, 160, 0);
  EXPECT_EQ(orange, 5 * 38 * 10) << "a picture cell per row";
}

}  // namespace
}  // namespace morvane
