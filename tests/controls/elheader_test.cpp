// The column header: heights, layout and resize zones, painting with sort
// marks (classic, with system colours), sticky sizing, and the mouse:
// clicks, resizing, dragging, buttons and the lookup box.
// ctest: desktop
#include "controls/elheader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "controls/elvclutils.h"
#include "controls_fixture.h"
#include "platform/core/streams.h"
#include "platform/ui/menus.h"

namespace morvane::test {
namespace {

constexpr COLORREF kMark = RGB(128, 128, 128);  // the sort marks' grey

class ElHeaderTest : public ControlsTest {
 protected:
  TElHeader* MakeHeader(std::initializer_list<int> widths, bool themed = false) {
    auto* h = new TElHeader(form.get());
    h->SetUseXPThemes(themed);
    h->SetAlign(TAlign::alNone);
    h->SetBounds(0, 0, 400, 20);
    h->SetParent(form.get());
    h->BeginUpdate();
    int n = 0;
    for (int w : widths) {
      TElHeaderSection* s = h->Sections()->AddSection();
      s->SetWidth(w);
      s->SetText(L"Col" + std::to_wstring(n++));
    }
    h->EndUpdate();
    h->HandleNeeded();
    return h;
  }
  static TElHeaderSection* Sec(TElHeader* h, int pos) { return h->Sections()->GetSectionByPos(pos); }
  static void Send(TElHeader* h, UINT msg, int x, int y, WPARAM wp = 0) {
    SendMessageA(h->Handle(), msg, wp, MAKELPARAM(x, y));
  }
  // Grey mark pixels per row inside a section.
  static std::vector<int> MarkRows(const TDibSection& dib, const RECT& r) {
    std::vector<int> rows;
    for (int y = r.top; y < r.bottom; ++y) {
      int n = 0;
      for (int x = r.left; x < r.right; ++x) n += dib.Pixel(x, y) == kMark;
      if (n) rows.push_back(n);
    }
    return rows;
  }
};

TEST_F(ElHeaderTest, HeightsFollowTheFont) {
  TElHeader* h = MakeHeader({100});
  struct {
    int fontHeight;
    bool flat;
    int expect;
  } rows[] = {{-6, true, 17}, {-6, false, 19}, {-11, true, 19}, {-20, false, 30}};
  for (auto& r : rows) {
    h->SetFlat(r.flat);
    h->Font()->SetHeight(r.fontHeight);
    h->AdjustHeight();
    EXPECT_EQ(h->ClientHeight(), r.expect) << r.fontHeight << " " << r.flat;
  }
  h->SetLockHeight(true);
  h->Font()->SetHeight(-30);
  EXPECT_EQ(h->ClientHeight(), 30);
}

TEST_F(ElHeaderTest, CreationAndDeletionReportedOncePerBracket) {
  auto* h = new TElHeader(form.get());
  std::vector<TElHeaderSection*> created, deleted;
  h->OnSectionCreate = [&](TObject*, TElHeaderSection* s) { created.push_back(s); };
  h->OnSectionDelete = [&](TObject*, TElHeaderSection* s) { deleted.push_back(s); };
  h->BeginUpdate();
  for (int i = 0; i < 3; ++i) h->Sections()->AddSection();
  h->EndUpdate();
  EXPECT_EQ(created, (std::vector<TElHeaderSection*>{nullptr}));
  h->Sections()->DeleteSection(Sec(h, 1));
  EXPECT_EQ(deleted, (std::vector<TElHeaderSection*>{nullptr}));
  EXPECT_EQ(h->Sections()->Count(), 2);
  h->EndUpdate();  // unbalanced: nothing happens
  EXPECT_EQ(created.size(), 1u);
}

TEST_F(ElHeaderTest, SectionAtAndResizeZones) {
  TElHeader* h = MakeHeader({100, 60, 12, 80});
  EXPECT_EQ(h->SectionsWidth(), 252);
  EXPECT_EQ(h->SectionAt(0, 5), Sec(h, 0));
  EXPECT_EQ(h->SectionAt(99, 5), Sec(h, 0));
  EXPECT_EQ(h->SectionAt(100, 5), Sec(h, 1));
  EXPECT_EQ(h->SectionAt(300, 5), nullptr);
  EXPECT_EQ(h->SectionAt(50, -1), nullptr);
  Sec(h, 1)->SetVisible(false);
  EXPECT_EQ(h->SectionAt(100, 5), Sec(h, 2)) << "a hidden section is never the result";
  Sec(h, 1)->SetVisible(true);
  h->SetLeftPos(30);
  EXPECT_EQ(h->SectionAt(70, 5), Sec(h, 1));
  h->SetLeftPos(0);

  struct {
    int x;
    bool zone;
    int section;
  } rows[] = {
      {97, true, 0},    // 3 pixels left of the boundary
      {103, true, 0},   // 3 pixels right of it: still the left section
      {130, false, 1},  // the middle of a section
      {156, true, 1},   // near the right edge of the second section
      {165, false, 2},  // a section of 12 pixels has no zone of its own
      {174, true, 2},   // ... but the next wide one lends its first 5 pixels
      {255, true, 3},   // right of the last section
      {258, false, -1},
  };
  for (auto& r : rows) {
    TElHeaderSection* s = nullptr;
    EXPECT_EQ(h->GetResizableSectionAt(r.x, s), r.zone) << r.x;
    if (r.zone) {
      EXPECT_EQ(s, Sec(h, r.section)) << r.x;
    }
  }
  int kind = -1;
  EXPECT_EQ(h->HitTest(130, 5, kind), Sec(h, 1));
  EXPECT_EQ(kind, 1);
  h->HitTest(98, 5, kind);
  EXPECT_EQ(kind, 0);
}

TEST_F(ElHeaderTest, SortMarksAndTheirInversion) {
  TElHeader* h = MakeHeader({120, 120, 30});
  ASSERT_NE(ElHeaderAscBmp(), nullptr) << "the marks are resources of the program";
  TDibSection dib(400, h->Height());
  RECT s0 = h->SectionRect(Sec(h, 0)), s1 = h->SectionRect(Sec(h, 1));
  const std::vector<int> up{1, 3, 5, 7, 9}, down{9, 7, 5, 3, 1};
  Sec(h, 0)->SetSortMode(hsmAscend);
  PaintInto(h, dib);
  SaveBitmap(dib, "header-sort-ascending.bmp");
  EXPECT_EQ(MarkRows(dib, s0), up);
  EXPECT_TRUE(MarkRows(dib, s1).empty());
  // The mark sits at the right, vertically centred.
  int markRight = -1;
  for (int x = s0.right - 1; x >= s0.left && markRight < 0; --x)
    for (int y = 0; y < h->Height(); ++y)
      if (dib.Pixel(x, y) == kMark) markRight = x;
  EXPECT_GT(markRight, s0.right - 20);
  EXPECT_LT(markRight, s0.right - 4);

  // Only one section carries a mark.
  Sec(h, 1)->SetSortMode(hsmDescend);
  PaintInto(h, dib);
  SaveBitmap(dib, "header-sort-descending.bmp");
  EXPECT_TRUE(MarkRows(dib, s0).empty());
  EXPECT_EQ(MarkRows(dib, s1), down);

  h->SetInvertSortArrows(true);
  PaintInto(h, dib);
  EXPECT_EQ(MarkRows(dib, s1), up);
  Sec(h, 1)->SetSortMode(hsmAscend);
  PaintInto(h, dib);
  EXPECT_EQ(MarkRows(dib, s1), down);
  h->SetInvertSortArrows(false);

  // Fewer than 9 pixels left of the buttons: no mark.
  Sec(h, 2)->SetSortMode(hsmAscend);
  Sec(h, 2)->SetWidth(15);
  PaintInto(h, dib);
  RECT s2 = h->SectionRect(Sec(h, 2));
  EXPECT_TRUE(MarkRows(dib, s2).empty());
  Sec(h, 2)->SetWidth(40);
  PaintInto(h, dib);
  s2 = h->SectionRect(Sec(h, 2));
  EXPECT_FALSE(MarkRows(dib, s2).empty());

  // Classic faces and the raised edge of the empty area at the right.
  const COLORREF face = GetSysColor(COLOR_BTNFACE);
  EXPECT_EQ(dib.Pixel(s0.left + 3, 3), face);
  EXPECT_EQ(dib.Pixel(390, 3), face);
  EXPECT_EQ(dib.Pixel(h->SectionsWidth(), 0), GetSysColor(COLOR_BTNHIGHLIGHT));
}

TEST_F(ElHeaderTest, ThemedDiffersFromClassic) {
  TElHeader* classic = MakeHeader({120, 120});
  TElHeader* themed = MakeHeader({120, 120}, true);
  if (!themed->IsThemeApplied()) GTEST_SKIP() << "no visual style for HEADER";
  TDibSection a(400, classic->Height()), b(400, themed->Height());
  PaintInto(classic, a);
  PaintInto(themed, b);
  int differ = 0;
  for (int x = 0; x < 400; ++x)
    for (int y = 0; y < std::min(classic->Height(), themed->Height()); ++y) differ += a.Pixel(x, y) != b.Pixel(x, y);
  EXPECT_GT(differ, 50);
}

TEST_F(ElHeaderTest, ClicksAndDrags) {
  TElHeader* h = MakeHeader({100, 100, 100});
  std::vector<TElHeaderSection*> clicks;
  std::vector<std::pair<int, int>> moves;
  h->OnSectionClick = [&](TObject*, TElHeaderSection* s) { clicks.push_back(s); };
  h->OnSectionMove = [&](TObject*, TElHeaderSection*, int o, int n) { moves.push_back({o, n}); };
  Send(h, WM_LBUTTONDOWN, 50, 8, MK_LBUTTON);
  EXPECT_TRUE(h->Pressing());
  EXPECT_EQ(h->PressedSection(), Sec(h, 0));
  Send(h, WM_LBUTTONUP, 52, 9);
  EXPECT_EQ(clicks, (std::vector<TElHeaderSection*>{Sec(h, 0)}));

  // A move under 5 pixels is still a click.
  Send(h, WM_LBUTTONDOWN, 150, 8, MK_LBUTTON);
  Send(h, WM_MOUSEMOVE, 153, 10, MK_LBUTTON);
  EXPECT_EQ(h->DragSection(), nullptr);
  Send(h, WM_LBUTTONUP, 153, 10);
  EXPECT_EQ(clicks.size(), 2u);
  EXPECT_EQ(clicks.back(), Sec(h, 1));

  // Released over another section: no click (and no drag without moving
  // far enough first)... a long way is a drag that moves the section.
  TElHeaderSection* first = Sec(h, 0);
  Send(h, WM_LBUTTONDOWN, 50, 8, MK_LBUTTON);
  Send(h, WM_MOUSEMOVE, 60, 8, MK_LBUTTON);
  EXPECT_EQ(h->DragSection(), first);
  EXPECT_FALSE(h->Pressing());
  Send(h, WM_MOUSEMOVE, 250, 8, MK_LBUTTON);
  Send(h, WM_LBUTTONUP, 250, 8);
  EXPECT_EQ(clicks.size(), 2u);
  EXPECT_EQ(Sec(h, 2), first);
  EXPECT_EQ(moves, (std::vector<std::pair<int, int>>{{0, 2}}));
  EXPECT_EQ(h->DragSection(), nullptr);
  EXPECT_NE(GetCapture(), h->Handle());

  // Escape ends a drag where the section is.
  Send(h, WM_LBUTTONDOWN, 50, 8, MK_LBUTTON);
  Send(h, WM_MOUSEMOVE, 70, 8, MK_LBUTTON);
  TElHeaderSection* dragged = h->DragSection();
  ASSERT_NE(dragged, nullptr);
  SendMessageA(h->Handle(), WM_KEYDOWN, VK_ESCAPE, 0);
  EXPECT_EQ(h->DragSection(), nullptr);
  EXPECT_EQ(Sec(h, 0), dragged);
  Send(h, WM_LBUTTONUP, 70, 8);

  // Releasing over another section than the pressed one is no click.
  h->SetAllowDrag(false);
  Send(h, WM_LBUTTONDOWN, 50, 8, MK_LBUTTON);
  Send(h, WM_MOUSEMOVE, 150, 8, MK_LBUTTON);
  Send(h, WM_LBUTTONUP, 150, 8);
  EXPECT_EQ(clicks.size(), 2u);

  // A section that does not take clicks.
  Sec(h, 0)->SetAllowClick(false);
  Send(h, WM_LBUTTONDOWN, 50, 8, MK_LBUTTON);
  EXPECT_EQ(h->PressedSection(), nullptr);
  Send(h, WM_LBUTTONUP, 50, 8);
  EXPECT_EQ(clicks.size(), 2u);
}

// A drag ended by the system (cancel mode, another window taking the mouse,
// as a task switch does) ends like Escape: the column stays where it was.
TEST_F(ElHeaderTest, CancelledDragLeavesTheColumnInPlace) {
  struct TCase {
    const char* name;
    bool takeCapture;
  };
  for (const TCase& c : {TCase{"cancel mode", false}, TCase{"capture lost", true}}) {
    SCOPED_TRACE(c.name);
    TElHeader* h = MakeHeader({100, 100, 100});
    int moves = 0;
    h->OnSectionMove = [&](TObject*, TElHeaderSection*, int, int) { ++moves; };
    TElHeaderSection* last = Sec(h, 2);
    Send(h, WM_LBUTTONDOWN, 250, 8, MK_LBUTTON);
    Send(h, WM_MOUSEMOVE, 150, 8, MK_LBUTTON);
    ASSERT_EQ(h->DragSection(), last);
    if (c.takeCapture)
      SetCapture(form->Handle());
    else
      SendMessageA(h->Handle(), WM_CANCELMODE, 0, 0);
    EXPECT_EQ(h->DragSection(), nullptr);
    EXPECT_EQ(Sec(h, 2), last);
    EXPECT_EQ(moves, 0);
    if (c.takeCapture) ReleaseCapture();
    EXPECT_NE(GetCapture(), h->Handle());
    Send(h, WM_LBUTTONUP, 150, 8);
    EXPECT_EQ(Sec(h, 2), last);
    delete h;
  }
}

TEST_F(ElHeaderTest, MoveOnDragMovesWhileDragging) {
  TElHeader* h = MakeHeader({100, 100, 100});
  h->SetMoveOnDrag(true);
  TElHeaderSection* first = Sec(h, 0);
  Send(h, WM_LBUTTONDOWN, 50, 8, MK_LBUTTON);
  Send(h, WM_MOUSEMOVE, 60, 8, MK_LBUTTON);
  ASSERT_EQ(h->DragSection(), first);
  // Over the next section, past its right edge less the dragged width. The
  // ghost follows the mouse alone, wherever the section itself went.
  Send(h, WM_MOUSEMOVE, 150, 8, MK_LBUTTON);
  EXPECT_EQ(Sec(h, 1), first);
  EXPECT_EQ(h->GhostRect().left, 100);
  Send(h, WM_MOUSEMOVE, 160, 8, MK_LBUTTON);
  EXPECT_EQ(Sec(h, 1), first) << "over itself it stays";
  EXPECT_EQ(h->GhostRect().left, 110);
  Send(h, WM_MOUSEMOVE, 380, 8, MK_LBUTTON);  // beyond every section: last place
  EXPECT_EQ(Sec(h, 2), first);
  EXPECT_EQ(h->GhostRect().left, 330);
  Send(h, WM_LBUTTONUP, 380, 8);
  EXPECT_EQ(Sec(h, 2), first);
  EXPECT_EQ(h->DragSection(), nullptr);
}

TEST_F(ElHeaderTest, ResizingWithATrackingLine) {
  TElHeader* h = MakeHeader({100, 100});
  struct TEv {
    int state, width;
  };
  std::vector<TEv> events;
  int resized = 0;
  h->OnSectionResizing = [&](TObject*, TElHeaderSection*, TElHResizingStates st, int w) {
    events.push_back({st, w});
  };
  h->OnSectionResize = [&](TObject*, TElHeaderSection*) {
    ++resized;
    events.push_back({9, 0});  // the width writer reports too
  };
  Sec(h, 0)->SetMaxWidth(150);
  Send(h, WM_LBUTTONDOWN, 98, 8, MK_LBUTTON);
  ASSERT_TRUE(h->Resizing());
  EXPECT_TRUE(h->LineShown());
  EXPECT_EQ(h->LineX(), 100);
  Send(h, WM_MOUSEMOVE, 128, 8, MK_LBUTTON);
  EXPECT_EQ(Sec(h, 0)->Width(), 100) << "without ResizeOnDrag the width waits for the release";
  EXPECT_EQ(h->LineX(), 130);
  Send(h, WM_MOUSEMOVE, 198, 8, MK_LBUTTON);  // beyond MaxWidth: not taken
  EXPECT_EQ(h->LineX(), 130);
  Send(h, WM_LBUTTONUP, 198, 8);
  EXPECT_FALSE(h->Resizing());
  EXPECT_FALSE(h->LineShown());
  EXPECT_EQ(Sec(h, 0)->Width(), 130);
  ASSERT_EQ(events.size(), 5u);
  EXPECT_EQ(events[0].state, trsBegin);
  EXPECT_EQ(events[0].width, 100);
  EXPECT_EQ(events[1].state, trsMove);
  EXPECT_EQ(events[1].width, 130);
  EXPECT_EQ(events[2].state, 9) << "the width is set at the release";
  EXPECT_EQ(events[3].state, trsEnd);
  EXPECT_EQ(events[3].width, 130);
  EXPECT_EQ(events[4].state, 9);

  // Live resizing.
  h->SetResizeOnDrag(true);
  Send(h, WM_LBUTTONDOWN, 129, 8, MK_LBUTTON);
  Send(h, WM_MOUSEMOVE, 109, 8, MK_LBUTTON);
  EXPECT_EQ(Sec(h, 0)->Width(), 110);
  Send(h, WM_LBUTTONUP, 109, 8);

  // Another window taking the capture ends the gesture: the line is gone
  // and the resize ends with its last tracked width.
  h->SetResizeOnDrag(false);
  events.clear();
  Send(h, WM_LBUTTONDOWN, 109, 8, MK_LBUTTON);
  Send(h, WM_MOUSEMOVE, 139, 8, MK_LBUTTON);
  ASSERT_TRUE(h->LineShown());
  SetCapture(form->Handle());
  EXPECT_FALSE(h->Resizing());
  EXPECT_FALSE(h->LineShown());
  EXPECT_EQ(Sec(h, 0)->Width(), 140);
  ASSERT_GE(events.size(), 2u);
  EXPECT_EQ(events[events.size() - 2].state, trsEnd);
  ReleaseCapture();

  // Cancel mode does the same.
  Send(h, WM_LBUTTONDOWN, 139, 8, MK_LBUTTON);
  ASSERT_TRUE(h->Resizing());
  SendMessageA(h->Handle(), WM_CANCELMODE, 0, 0);
  EXPECT_FALSE(h->Resizing());
  EXPECT_EQ(Sec(h, 0)->Width(), 140);

  // A double click on an edge asks for an automatic size.
  std::vector<TElHeaderSection*> auto_;
  h->OnSectionAutoSize = [&](TObject*, TElHeaderSection* s) { auto_.push_back(s); };
  Send(h, WM_LBUTTONDBLCLK, 138, 8, MK_LBUTTON);
  Send(h, WM_LBUTTONUP, 138, 8);
  EXPECT_EQ(auto_, (std::vector<TElHeaderSection*>{Sec(h, 0)}));
}

TEST_F(ElHeaderTest, ButtonsInSections) {
  TElHeader* h = MakeHeader({100, 100});
  h->SetHeight(20);
  int expands = 0, collapses = 0, filters = 0, clicks = 0;
  h->OnSectionExpand = [&](TObject*, TElHeaderSection*) { ++expands; };
  h->OnSectionCollapse = [&](TObject*, TElHeaderSection*) { ++collapses; };
  h->OnFilterCall = [&](TObject*, TElHeaderSection*) { ++filters; };
  h->OnSectionClick = [&](TObject*, TElHeaderSection*) { ++clicks; };
  Sec(h, 0)->SetExpandable(true);
  Send(h, WM_LBUTTONDOWN, 92, 5, MK_LBUTTON);
  Send(h, WM_LBUTTONUP, 92, 5);
  EXPECT_TRUE(Sec(h, 0)->Expanded());
  Send(h, WM_LBUTTONDOWN, 92, 5, MK_LBUTTON);
  Send(h, WM_LBUTTONUP, 92, 5);
  EXPECT_EQ(expands, 1);
  EXPECT_EQ(collapses, 1);
  Sec(h, 1)->SetFilterEnabled(true);
  Send(h, WM_LBUTTONDOWN, 193, 14, MK_LBUTTON);
  Send(h, WM_LBUTTONUP, 193, 14);
  EXPECT_EQ(filters, 1);
  EXPECT_EQ(clicks, 0);
  int kind = -1;
  h->HitTest(193, 14, kind);
  EXPECT_EQ(kind, 4);
  h->HitTest(92, 5, kind);
  EXPECT_EQ(kind, 2);

  // The expand arrow sits above the lookup mark; a section with both shows both.
  const COLORREF face = GetSysColor(COLOR_BTNFACE);
  auto marked = [&](int top, int bottom) {
    TDibSection dib(400, h->Height());
    PaintInto(h, dib);
    int n = 0;
    for (int y = top; y < bottom; ++y)
      for (int x = 86; x < 96; ++x) n += dib.Pixel(x, y) != face;
    return n > 0;
  };
  struct TCase {
    bool expandable, lookup;
  };
  for (const TCase& c : {TCase{true, false}, TCase{false, true}, TCase{true, true}}) {
    SCOPED_TRACE(std::to_string(c.expandable) + std::to_string(c.lookup));
    Sec(h, 0)->SetExpandable(c.expandable);
    Sec(h, 0)->SetLookupEnabled(c.lookup);
    EXPECT_EQ(marked(1, 9), c.expandable) << "the arrow";
    EXPECT_EQ(marked(11, 16), c.lookup) << "the lookup mark";
  }
}

TEST_F(ElHeaderTest, StickySectionsFillTheWidth) {
  TElHeader* h = MakeHeader({100, 60, 100});
  Sec(h, 1)->SetResizable(false);
  h->SetStickySections(true);
  // Narrowing squeezes; widening gives the fixed section its width back
  // before the resizable ones are rescaled.
  h->SetWidth(120);
  EXPECT_EQ(h->SectionsWidth(), h->ClientWidth() - 1);
  h->SetWidth(30);
  EXPECT_LE(h->SectionsWidth(), h->ClientWidth());
  EXPECT_LT(Sec(h, 1)->Width(), 60);
  h->SetWidth(400);
  EXPECT_EQ(Sec(h, 1)->Width(), 60);
  EXPECT_EQ(Sec(h, 1)->SavedWidth(), -1);
  EXPECT_EQ(h->SectionsWidth(), h->ClientWidth() - 1);
  // A header of no width leaves every width at 0 or above.
  h->SetWidth(0);
  h->FitSections(nullptr);
  for (int i = 0; i < 3; ++i) EXPECT_GE(Sec(h, i)->Width(), 0) << i;
}

TEST_F(ElHeaderTest, LookupBoxTakesTextIntoHistoryAndGoesWithTheHeader) {
  TElHeader* h = MakeHeader({100, 100});
  h->SetHeight(20);
  Sec(h, 0)->SetLookupEnabled(true);
  Sec(h, 0)->LookupHistory().Add("older");
  Sec(h, 0)->LookupHistory().Add("cookie");
  std::vector<std::string> lookups;
  std::vector<std::pair<std::string, bool>> done;
  h->OnHeaderLookup = [&](TObject*, TElHeaderSection*, std::string& t) { lookups.push_back(t); };
  h->OnHeaderLookupDone = [&](TObject*, TElHeaderSection*, const std::string& t, bool ok) { done.push_back({t, ok}); };
  Send(h, WM_LBUTTONDOWN, 92, 14, MK_LBUTTON);
  Send(h, WM_LBUTTONUP, 92, 14);
  ASSERT_TRUE(h->LookupOpen());
  TWinControl* box = h->LookupBox();
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(box->Parent(), form.get());
  EXPECT_TRUE(IsWindowVisible(box->Handle()));
  SetWindowTextA(box->Handle(), "cookie");
  COMBOBOXINFO ci{sizeof ci};
  ASSERT_TRUE(GetComboBoxInfo(box->Handle(), &ci));
  SendMessageA(ci.hwndItem, WM_KEYDOWN, VK_RETURN, 0);
  EXPECT_FALSE(h->LookupOpen());
  ASSERT_EQ(done.size(), 1u);
  EXPECT_EQ(done[0], (std::pair<std::string, bool>{"cookie", true}));
  EXPECT_EQ(Sec(h, 0)->LookupHistory().Count(), 2);
  EXPECT_EQ(Sec(h, 0)->LookupHistory().Strings(0), "cookie");
  EXPECT_FALSE(IsWindowVisible(box->Handle()));

  // A press on the header closes an open box without accepting it.
  Send(h, WM_LBUTTONDOWN, 92, 14, MK_LBUTTON);
  Send(h, WM_LBUTTONUP, 92, 14);
  ASSERT_TRUE(h->LookupOpen());
  Send(h, WM_LBUTTONDOWN, 150, 8, MK_LBUTTON);
  Send(h, WM_LBUTTONUP, 150, 8);
  EXPECT_FALSE(h->LookupOpen());
  EXPECT_FALSE(done.back().second);

  // The box is the header's: it goes with it, though its parent stays.
  HWND boxWnd = box->Handle();
  delete h;
  EXPECT_FALSE(IsWindow(boxWnd));
  SetFocus(form->Handle());
  Pump(20);

  // A parent that frees its children frees the box first: the header,
  // freed after it, must not free it again.
  auto other = std::make_unique<TForm>(nullptr);
  other->Show();
  auto* h2 = new TElHeader(other.get());
  h2->SetUseXPThemes(false);
  h2->SetParent(other.get());
  h2->Sections()->AddSection()->SetLookupEnabled(true);
  h2->Sections()->GetSectionByPos(0)->SetWidth(100);
  h2->SetHeight(20);
  SendMessageA(h2->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(92, 14));
  SendMessageA(h2->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(92, 14));
  ASSERT_TRUE(h2->LookupOpen());
  delete h2->LookupBox();
  EXPECT_EQ(h2->LookupBox(), nullptr);
  EXPECT_FALSE(h2->LookupOpen());
  other.reset();
}

// A section freed in the middle of a gesture (a click handler rebuilding the
// columns, a stored layout loaded) leaves nothing of itself in the header:
// the following move, release, leave, Enter and paint touch live sections only.
TEST_F(ElHeaderTest, SectionsLeavingMidGestureAreForgotten) {
  enum TState { Hot, Pressed, Resized, Dragged, Lookup };
  enum TOp { Delete, Clear, Reload };
  const char* const stateNames[] = {"hot", "pressed", "resized", "dragged", "lookup"};
  const char* const opNames[] = {"delete", "clear", "reload"};
  for (TState state : {Hot, Pressed, Resized, Dragged, Lookup})
    for (TOp op : {Delete, Clear, Reload}) {
      SCOPED_TRACE(std::string(stateNames[state]) + " then " + opNames[op]);
      TElHeader* h = MakeHeader({100, 100, 100});
      h->SetHeight(20);
      Sec(h, 1)->SetLookupEnabled(true);
      TMemoryStream saved;
      h->Sections()->SaveToStream(saved);
      int doneCalls = 0;
      h->OnHeaderLookupDone = [&](TObject*, TElHeaderSection*, const std::string&, bool) { ++doneCalls; };
      h->Perform(CM_MOUSEENTER, 0, 0);
      switch (state) {
        case Hot:
          Send(h, WM_MOUSEMOVE, 150, 8);
          ASSERT_EQ(h->HotSection(), Sec(h, 1));
          break;
        case Pressed:
          Send(h, WM_LBUTTONDOWN, 150, 8, MK_LBUTTON);
          ASSERT_EQ(h->PressedSection(), Sec(h, 1));
          break;
        case Resized:
          Send(h, WM_LBUTTONDOWN, 198, 8, MK_LBUTTON);
          Send(h, WM_MOUSEMOVE, 210, 8, MK_LBUTTON);
          ASSERT_EQ(h->ResizeSection(), Sec(h, 1));
          ASSERT_TRUE(h->LineShown());
          break;
        case Dragged:
          Send(h, WM_LBUTTONDOWN, 150, 8, MK_LBUTTON);
          Send(h, WM_MOUSEMOVE, 170, 8, MK_LBUTTON);
          ASSERT_EQ(h->DragSection(), Sec(h, 1));
          break;
        case Lookup:
          Send(h, WM_LBUTTONDOWN, 192, 14, MK_LBUTTON);
          Send(h, WM_LBUTTONUP, 192, 14);
          ASSERT_TRUE(h->LookupOpen());
          ASSERT_EQ(h->LookupSection(), Sec(h, 1));
          break;
      }
      HWND box = h->LookupBox() ? h->LookupBox()->Handle() : nullptr;
      switch (op) {
        case Delete:
          h->Sections()->DeleteSection(Sec(h, 1));
          break;
        case Clear:
          h->Sections()->Clear();
          break;
        case Reload:
          saved.SetPosition(0);
          h->Sections()->LoadFromStream(saved);
          break;
      }
      // Reloaded sections may sit where the old ones were: nothing may
      // point anywhere until the mouse says so.
      EXPECT_EQ(h->HotSection(), nullptr);
      EXPECT_EQ(h->PressedSection(), nullptr);
      EXPECT_EQ(h->ResizeSection(), nullptr);
      EXPECT_EQ(h->DragSection(), nullptr);
      EXPECT_EQ(h->LookupSection(), nullptr);
      EXPECT_FALSE(h->Pressing());
      EXPECT_FALSE(h->Resizing());
      EXPECT_FALSE(h->LineShown());
      EXPECT_FALSE(h->LookupOpen());
      if (box) EXPECT_FALSE(IsWindowVisible(box));
      EXPECT_NE(GetCapture(), h->Handle());

      Send(h, WM_MOUSEMOVE, 60, 8, MK_LBUTTON);
      Send(h, WM_LBUTTONUP, 60, 8);
      h->Perform(CM_MOUSELEAVE, 0, 0);
      COMBOBOXINFO ci{sizeof ci};
      if (box && GetComboBoxInfo(box, &ci)) SendMessageA(ci.hwndItem, WM_KEYDOWN, VK_RETURN, 0);
      EXPECT_EQ(doneCalls, 0) << "a box closed with its section reports nothing";
      TDibSection dib(400, h->Height());
      PaintInto(h, dib);
      EXPECT_EQ(h->Sections()->Count(), op == Delete ? 2 : op == Clear ? 0 : 3);
      delete h;
    }

  // The case that started it: a click handler that loads the columns anew.
  TElHeader* h = MakeHeader({100, 100, 100});
  TMemoryStream saved;
  h->Sections()->SaveToStream(saved);
  int clicks = 0;
  h->OnSectionClick = [&](TObject*, TElHeaderSection*) {
    ++clicks;
    saved.SetPosition(0);
    h->Sections()->LoadFromStream(saved);
  };
  h->Perform(CM_MOUSEENTER, 0, 0);
  Send(h, WM_MOUSEMOVE, 150, 8);
  Send(h, WM_LBUTTONDOWN, 150, 8, MK_LBUTTON);
  Send(h, WM_LBUTTONUP, 150, 8);
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(h->HotSection(), nullptr);
  EXPECT_EQ(h->PressedSection(), nullptr);
  h->Perform(CM_MOUSELEAVE, 0, 0);
  Send(h, WM_MOUSEMOVE, 250, 8);
  EXPECT_EQ(h->Sections()->Count(), 3);
}

TEST_F(ElHeaderTest, HotTrackingFocusLossAndLookupText) {
  TElHeader* h = MakeHeader({100, 100});
  h->SetHeight(20);
  h->Perform(CM_MOUSEENTER, 0, 0);
  Send(h, WM_MOUSEMOVE, 150, 8);
  EXPECT_EQ(h->HotSection(), Sec(h, 1));
  TDibSection dib(400, h->Height());
  PaintInto(h, dib);
  const COLORREF hi = GetSysColor(COLOR_HIGHLIGHT), text = GetSysColor(COLOR_BTNTEXT);
  auto count = [&](int x0, int x1, COLORREF c) {
    int n = 0;
    for (int y = 0; y < dib.Height(); ++y)
      for (int x = x0; x < x1; ++x) n += dib.Pixel(x, y) == c;
    return n;
  };
  EXPECT_GT(count(100, 200, hi), 10) << "the hot section's text is drawn in the highlight colour";
  EXPECT_EQ(count(0, 100, hi), 0);
  EXPECT_GT(count(0, 100, text), 10);
  h->Perform(CM_MOUSELEAVE, 0, 0);
  EXPECT_EQ(h->HotSection(), nullptr);

  // Focus loss during a press reports a mouse release; the press stays.
  int ups = 0;
  h->OnMouseUp = [&](TObject*, TMouseButton b, TShiftState, int, int) { ups += b == TMouseButton::mbLeft; };
  Send(h, WM_LBUTTONDOWN, 50, 8, MK_LBUTTON);
  SendMessageA(h->Handle(), WM_KILLFOCUS, 0, 0);
  EXPECT_EQ(ups, 1);
  EXPECT_TRUE(h->Pressing());
  Send(h, WM_LBUTTONUP, 50, 8);

  // Typing in the lookup box asks the owner; a changed text is shown.
  Sec(h, 0)->SetLookupEnabled(true);
  std::vector<std::string> asked;
  h->OnHeaderLookup = [&](TObject*, TElHeaderSection*, std::string& t) {
    asked.push_back(t);
    if (t == "x") t = "xy";
  };
  Send(h, WM_LBUTTONDOWN, 92, 14, MK_LBUTTON);
  Send(h, WM_LBUTTONUP, 92, 14);
  ASSERT_TRUE(h->LookupOpen());
  COMBOBOXINFO ci{sizeof ci};
  ASSERT_TRUE(GetComboBoxInfo(h->LookupBox()->Handle(), &ci));
  SendMessageA(ci.hwndItem, WM_CHAR, 'x', 0);
  ASSERT_FALSE(asked.empty());
  EXPECT_EQ(asked.front(), "x");
  char buf[16] = {};
  GetWindowTextA(h->LookupBox()->Handle(), buf, sizeof buf);
  EXPECT_STREQ(buf, "xy");
  SendMessageA(ci.hwndItem, WM_KEYDOWN, VK_ESCAPE, 0);
  EXPECT_FALSE(h->LookupOpen());
  EXPECT_EQ(Sec(h, 0)->LookupHistory().Count(), 0) << "Escape takes nothing into the history";
}

TEST_F(ElHeaderTest, MeasureSectionAndImages) {
  TElHeader* h = MakeHeader({100, 100});
  int tw = 0, th = 0;
  const int w = h->MeasureSection(Sec(h, 0), tw, th);
  EXPECT_GT(tw, 10);
  EXPECT_GT(th, 8);
  EXPECT_EQ(w, 22 + tw);
  Sec(h, 0)->SetExpandable(true);
  EXPECT_EQ(h->MeasureSection(Sec(h, 0), tw, th), 30 + tw);
  Sec(h, 0)->SetMinWidth(200);
  Sec(h, 0)->SetWidth(200);
  EXPECT_EQ(h->MeasureSection(Sec(h, 0), tw, th), 200);

  TCustomImageList images(form.get(), 16, 16);
  TBitmap pic(16, 16);
  pic.Canvas()->Brush()->SetColor(clRed);
  pic.Canvas()->FillRect(RECT{0, 0, 16, 16});
  images.Add(&pic, nullptr);
  h->SetImages(&images);
  EXPECT_EQ(h->NeededHeight(), 16 + 4 + 2);
  Sec(h, 1)->SetImageIndex(0);
  EXPECT_EQ(h->MeasureSection(Sec(h, 1), tw, th), 22 + 16 + tw);
  TDibSection dib(400, h->Height());
  PaintInto(h, dib);
  int red = 0;
  for (int y = 0; y < dib.Height(); ++y)
    for (int x = 200; x < 300; ++x) red += dib.Pixel(x, y) == RGB(255, 0, 0);
  EXPECT_GT(red, 100) << "the picture is drawn left of the text";

  // An owner-drawn section's handler draws its content; a right-aligned
  // picture is still the header's.
  int drawn = 0;
  h->OnSectionDraw = [&](TObject*, TCanvas*, TElHeaderSection*, RECT, bool) { ++drawn; };
  Sec(h, 1)->SetStyle(ElhsOwnerDraw);
  Sec(h, 1)->SetPictureAlign(hsaRight);
  PaintInto(h, dib);
  red = 0;
  for (int y = 0; y < dib.Height(); ++y)
    for (int x = 200; x < 300; ++x) red += dib.Pixel(x, y) == RGB(255, 0, 0);
  EXPECT_GT(drawn, 0);
  EXPECT_GT(red, 100) << "the right-aligned picture of an owner-drawn section";
  h->SetImages(nullptr);
}

TEST_F(ElHeaderTest, ContextMenusOfSectionsAndHeader) {
  TElHeader* h = MakeHeader({100, 100, 100});
  auto* own = new TPopupMenu(form.get());
  own->SetName("HeaderMenu");
  auto* forSection = new TPopupMenu(form.get());
  forSection->SetName("SectionMenu");
  auto* silent = new TPopupMenu(form.get());
  silent->SetName("SilentMenu");
  silent->SetAutoPopup(false);
  h->SetPopupMenu(own);
  Sec(h, 1)->SetPopupMenu(forSection);
  Sec(h, 2)->SetPopupMenu(silent);
  script_.Expect(TModalKind::mkPopupMenu, "SectionMenu", 0);
  script_.Expect(TModalKind::mkPopupMenu, "HeaderMenu", 0);
  Send(h, WM_RBUTTONDOWN, 150, 8, MK_RBUTTON);
  Send(h, WM_RBUTTONUP, 150, 8);
  Send(h, WM_RBUTTONDOWN, 50, 8, MK_RBUTTON);
  Send(h, WM_RBUTTONUP, 50, 8);
  // A section menu that does not pop up by itself shows nothing at all.
  Send(h, WM_RBUTTONDOWN, 250, 8, MK_RBUTTON);
  Send(h, WM_RBUTTONUP, 250, 8);
  // While resizing the right button is swallowed.
  Send(h, WM_LBUTTONDOWN, 99, 8, MK_LBUTTON);
  ASSERT_TRUE(h->Resizing());
  Send(h, WM_RBUTTONDOWN, 50, 8, MK_RBUTTON | MK_LBUTTON);
  Send(h, WM_RBUTTONUP, 50, 8);
  Send(h, WM_LBUTTONUP, 99, 8);
  // A freed menu is dropped by the sections that used it.
  delete forSection;
  EXPECT_EQ(Sec(h, 1)->PopupMenu(), nullptr);
}

TEST_F(ElHeaderTest, WideHintsArePacked) {
  TElHeader* h = MakeHeader({100, 100});
  h->SetHint(L"Columns|Drag to reorder");
  const std::string packed = h->TControl::Hint();
  EXPECT_EQ(packed.size(), 23u + 2 * 23 + 5);
  EXPECT_EQ(static_cast<unsigned char>(packed[packed.size() - 2]), 0xFE);
  EXPECT_EQ(static_cast<unsigned char>(packed[packed.size() - 1]), 0xFF);
  Sec(h, 1)->SetHint(L"Expires");
  THintInfo info;
  info.CursorPos = POINT{150, 5};
  info.HintStr = GetShortHint(packed);
  h->Perform(CM_HINTSHOW, 0, reinterpret_cast<LPARAM>(&info));
  std::wstring wide;
  ASSERT_TRUE(UnpackWideHint(info.HintStr, wide));
  EXPECT_EQ(wide, L"Expires");
  info.CursorPos = POINT{50, 5};
  info.HintStr = GetShortHint(packed);
  h->Perform(CM_HINTSHOW, 0, reinterpret_cast<LPARAM>(&info));
  ASSERT_TRUE(UnpackWideHint(info.HintStr, wide));
  EXPECT_EQ(wide, L"Columns");
}

}  // namespace
}  // namespace morvane::test
