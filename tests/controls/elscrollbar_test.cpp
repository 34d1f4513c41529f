// The custom scroll bar: geometry, range rules, painting (classic, with
// system colours), mouse, keys, wheel and the scroll-info messages.
// ctest: desktop
#include "controls/elscrollbar.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "controls/elhintwnd.h"
#include "controls/elscrollbarstyles.h"
#include "controls/elvclutils.h"
#include "controls_fixture.h"

namespace morvane::test {
namespace {

struct TScrollLog {
  struct TEntry {
    TElScrollCode code;
    int pos;
  };
  std::vector<TEntry> entries;
  void Attach(TCustomElScrollBar* bar) {
    bar->OnScroll = [this](TObject*, TElScrollCode c, int& p, bool&) { entries.push_back({c, p}); };
  }
  bool Has(TElScrollCode c, int p) const {
    for (auto& e : entries)
      if (e.code == c && e.pos == p) return true;
    return false;
  }
  int Count(TElScrollCode c) const {
    int n = 0;
    for (auto& e : entries) n += e.code == c;
    return n;
  }
};

class ElScrollBarTest : public ControlsTest {
 protected:
  TElScrollBar* MakeBar(TScrollBarKind kind = TScrollBarKind::sbHorizontal, int length = 200) {
    auto* bar = new TElScrollBar(form.get());
    bar->SetUseXPThemes(false);
    bar->SetKind(kind);
    if (kind == TScrollBarKind::sbHorizontal)
      bar->SetBounds(10, 10, length, bar->Height());
    else
      bar->SetBounds(10, 10, bar->Width(), length);
    bar->SetParent(form.get());
    bar->HandleNeeded();
    return bar;
  }
  // The centre pixel of the arrow drawn in a button.
  static POINT ArrowCentre(const RECT& r, bool horizontal) {
    RECT box = horizontal ? CenterRects(4, 7, r) : CenterRects(7, 4, r);
    return horizontal ? POINT{box.left + 3, box.top + 3} : POINT{box.left + 3, box.top + 3};
  }
};

TEST_F(ElScrollBarTest, GeometryAndHitTest) {
  TElScrollBar* bar = MakeBar();
  const int b = GetSystemMetrics(SM_CXHSCROLL);
  ASSERT_EQ(bar->ClientWidth(), 200);
  EXPECT_EQ(bar->ButtonSize(), b);
  const int a = 200 - 2 * b;
  EXPECT_EQ(bar->ThumbLength(), MulDiv(14, a, 101));
  EXPECT_EQ(bar->ThumbOffset(), b);
  bar->SetPosition(50);
  const int t = bar->ThumbLength();
  EXPECT_EQ(bar->ThumbOffset(), b + MulDiv(a - t, 50, 100 - 14 + 1));
  EXPECT_EQ(bar->TrackPosition(), 50);

  struct {
    int x;
    TElScrollBarPart part;
  } rows[] = {{0, spBackArrow},  {b, spBackArrow},  {b + 1, spBackPage}, {bar->ThumbOffset() + 1, spThumb},
              {199, spForwardArrow}, {200 - b + 1, spForwardArrow}, {200 - b, spForwardPage}};
  for (auto& r : rows) EXPECT_EQ(int(bar->GetHitTest(r.x, 5)), int(r.part)) << r.x;
  EXPECT_EQ(bar->GetHitTest(50, -1), spNone);
  EXPECT_EQ(bar->GetHitTest(50, bar->ClientHeight()), spNone);

  bar->SetSecondaryButtons(true);
  EXPECT_EQ(bar->GetHitTest(b + 3, 5), spBackSecondary);
  EXPECT_EQ(bar->GetHitTest(200 - b - 3, 5), spForwardSecondary);

  // A hit-test handler may answer instead.
  bar->OnHitTest = [](TObject*, int, int, TElScrollBarPart& p, bool& def) {
    p = spThumb;
    def = false;
  };
  EXPECT_EQ(bar->GetHitTest(0, 5), spThumb);
  bar->OnHitTest = nullptr;

  // Too short for its buttons: they share the length and there is no thumb.
  TElScrollBar* tiny = MakeBar(TScrollBarKind::sbHorizontal, 20);
  EXPECT_EQ(tiny->ButtonSize(), 10);
  EXPECT_EQ(tiny->ThumbLength(), 0);
  EXPECT_EQ(tiny->GetHitTest(3, 5), spBackArrow);
  EXPECT_EQ(tiny->GetHitTest(15, 5), spForwardArrow);
}

TEST_F(ElScrollBarTest, RangeRulesAndPositionEvents) {
  TElScrollBar* bar = MakeBar();
  TScrollLog log;
  log.Attach(bar);
  bar->SetMin(150);
  EXPECT_EQ(bar->Max(), 150);
  EXPECT_EQ(bar->Page(), 1);
  EXPECT_EQ(bar->Position(), 150);
  EXPECT_TRUE(log.Has(scPosition, 150));

  bar->SetMin(0);
  bar->SetMax(100);
  log.entries.clear();
  // scPosition carries the requested value; the position is clamped.
  bar->SetPosition(500);
  EXPECT_EQ(bar->Position(), 100);
  EXPECT_TRUE(log.Has(scPosition, 500));
  bar->SetMax(40);
  EXPECT_EQ(bar->Position(), 40);
  bar->SetPage(-3);
  EXPECT_EQ(bar->Page(), 1);

  // An owner that moves the bar from its own OnScroll sees a nested event.
  std::vector<int> seen;
  bar->OnScroll = [&](TObject*, TElScrollCode c, int& p, bool&) {
    seen.push_back(p);
    if (c == scPosition && p == 10) bar->SetPosition(20);
  };
  bar->SetPosition(10);
  EXPECT_EQ((std::vector<int>{10, 20}), seen);
  EXPECT_EQ(bar->Position(), 20);
}

TEST_F(ElScrollBarTest, ClassicPaintingWithSystemColours) {
  TElScrollBar* h = MakeBar();
  TElScrollBar* v = MakeBar(TScrollBarKind::sbVertical, 160);
  v->SetLeft(250);
  const COLORREF text = GetSysColor(COLOR_BTNTEXT), shadow = GetSysColor(COLOR_BTNSHADOW);
  const COLORREF face = GetSysColor(COLOR_BTNFACE), track = GetSysColor(COLOR_SCROLLBAR);

  TDibSection dib(200, h->Height());
  PaintInto(h, dib);
  SaveBitmap(dib, "scrollbar-horizontal.bmp");
  const RECT back = h->PartRect(spBackArrow), fwd = h->PartRect(spForwardArrow);
  POINT pb = ArrowCentre(back, true), pf = ArrowCentre(fwd, true);
  // At position 0 the back arrow is disabled (shadow), the forward one not.
  EXPECT_EQ(dib.Pixel(pb.x, pb.y), shadow);
  EXPECT_EQ(dib.Pixel(pf.x, pf.y), text);
  // Button face, thumb face, and the track in the system scroll-bar colour
  // (it differs from the button face, so no blend pattern).
  EXPECT_EQ(dib.Pixel(back.left + 2, 2), face);
  RECT thumb = h->PartRect(spThumb);
  EXPECT_EQ(dib.Pixel(thumb.left + 3, 3), face);
  RECT page = h->PartRect(spForwardPage);
  if (track != face) {
    EXPECT_EQ(dib.Pixel((page.left + page.right) / 2, 8), track);
  }
  // Grip lines of the thumb in the bar colour.
  if (thumb.right - thumb.left > 14) {
    int c = thumb.left + (thumb.right - thumb.left) / 2;
    EXPECT_EQ(dib.Pixel(c - 3, h->Height() / 2), shadow);
    EXPECT_EQ(dib.Pixel(c - 2, h->Height() / 2), face);
  }

  h->SetPosition(87);
  PaintInto(h, dib);
  EXPECT_EQ(dib.Pixel(pb.x, pb.y), text);
  EXPECT_EQ(dib.Pixel(pf.x, pf.y), text);
  h->SetAltDisablingArrows(true);
  PaintInto(h, dib);
  EXPECT_EQ(dib.Pixel(pf.x, pf.y), shadow) << "from Max - Page + 1 on the forward arrow is disabled";
  h->SetPosition(86);
  PaintInto(h, dib);
  EXPECT_EQ(dib.Pixel(pf.x, pf.y), text);

  TDibSection vd(v->Width(), 160);
  PaintInto(v, vd);
  SaveBitmap(vd, "scrollbar-vertical.bmp");
  POINT up = ArrowCentre(v->PartRect(spBackArrow), false), down = ArrowCentre(v->PartRect(spForwardArrow), false);
  EXPECT_EQ(vd.Pixel(up.x, up.y), shadow);
  EXPECT_EQ(vd.Pixel(down.x, down.y), text);

  // Both kinds side by side, for a look.
  TDibSection both(300, 180);
  both.Fill(GetSysColor(COLOR_WINDOW));
  BitBlt(both.DC(), 10, 10, 200, h->Height(), dib.DC(), 0, 0, SRCCOPY);
  h->SetSecondaryButtons(true);
  h->SetSecondBtnKind(TElSecButtonsKind::sbkPage);
  h->SetPosition(30);
  PaintInto(h, dib);
  BitBlt(both.DC(), 10, 40, 200, h->Height(), dib.DC(), 0, 0, SRCCOPY);
  BitBlt(both.DC(), 250, 10, v->Width(), 160, vd.DC(), 0, 0, SRCCOPY);
  SaveBitmap(both, "scrollbars.bmp");
}

TEST_F(ElScrollBarTest, ThemedDiffersFromClassic) {
  TElScrollBar* classic = MakeBar();
  auto* themed = new TElScrollBar(form.get());
  themed->SetBounds(10, 40, 200, classic->Height());
  themed->SetParent(form.get());
  themed->HandleNeeded();
  if (!themed->IsThemeApplied()) GTEST_SKIP() << "no visual style for SCROLLBAR";
  TDibSection a(200, classic->Height()), b(200, classic->Height());
  PaintInto(classic, a);
  PaintInto(themed, b);
  int differ = 0;
  for (int x = 0; x < 200; ++x)
    for (int y = 0; y < classic->Height(); ++y) differ += a.Pixel(x, y) != b.Pixel(x, y);
  EXPECT_GT(differ, 100);
}

TEST_F(ElScrollBarTest, ArrowAndPagePressesRepeat) {
  TElScrollBar* bar = MakeBar();
  TScrollLog log;
  log.Attach(bar);
  int changes = 0;
  bar->OnChange = [&](TObject*) { ++changes; };
  HWND w = bar->Handle();
  RECT fwd = bar->PartRect(spForwardArrow);
  SendMessageA(w, WM_LBUTTONDOWN, MK_LBUTTON, At(fwd.left + 3, 5));
  EXPECT_EQ(bar->Position(), 1);
  EXPECT_TRUE(log.Has(scLineForward, 1));
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(GetCapture(), w);
  EXPECT_TRUE(bar->RepeatTimer()->Enabled());
  bar->RepeatTimer()->OnTimer(bar->RepeatTimer());
  EXPECT_EQ(bar->Position(), 2);
  SendMessageA(w, WM_LBUTTONUP, 0, At(fwd.left + 3, 5));
  EXPECT_FALSE(bar->RepeatTimer()->Enabled());
  EXPECT_NE(GetCapture(), w);
  EXPECT_TRUE(log.Has(scEndScroll, 2));

  // A page press repeats only while the pointer stays in the pressed area.
  log.entries.clear();
  RECT page = bar->PartRect(spForwardPage);
  POINT inPage{page.right - 5, 5};
  SendMessageA(w, WM_LBUTTONDOWN, MK_LBUTTON, At(inPage.x, inPage.y));
  EXPECT_EQ(bar->Position(), 16);
  POINT screen = inPage;
  ClientToScreen(w, &screen);
  SetCursorPos(screen.x, screen.y);
  bar->RepeatTimer()->OnTimer(bar->RepeatTimer());
  EXPECT_EQ(bar->Position(), 30);
  POINT outside{5, 5};  // over the back arrow
  ClientToScreen(w, &outside);
  SetCursorPos(outside.x, outside.y);
  bar->RepeatTimer()->OnTimer(bar->RepeatTimer());
  EXPECT_EQ(bar->Position(), 30);
  SendMessageA(w, WM_MOUSEMOVE, MK_LBUTTON, At(5, 5));
  EXPECT_FALSE(bar->RepeatTimer()->Enabled()) << "off the pressed part the repeat pauses";
  SendMessageA(w, WM_MOUSEMOVE, MK_LBUTTON, At(inPage.x, inPage.y));
  EXPECT_TRUE(bar->RepeatTimer()->Enabled());
  SendMessageA(w, WM_LBUTTONUP, 0, At(inPage.x, inPage.y));

  // A veto keeps the position.
  bar->OnScroll = [](TObject*, TElScrollCode c, int&, bool& doChange) {
    if (c == scLineBack) doChange = false;
  };
  RECT back = bar->PartRect(spBackArrow);
  SendMessageA(w, WM_LBUTTONDOWN, MK_LBUTTON, At(back.left + 3, 5));
  EXPECT_EQ(bar->Position(), 30);
  SendMessageA(w, WM_LBUTTONUP, 0, At(back.left + 3, 5));
}

TEST_F(ElScrollBarTest, ThumbDragTracksSnapsBackAndEnds) {
  TElScrollBar* bar = MakeBar();
  bar->SetPosition(20);
  TScrollLog log;
  log.Attach(bar);
  struct TParentLog {
    std::vector<WPARAM> hscroll;
    TWndMethod old;
    void Hook(TMessage& m) {
      if (m.Msg == WM_HSCROLL) hscroll.push_back(m.WParam);
      old(m);
    }
  } parentLog;
  parentLog.old = form->WindowProc();
  form->SetWindowProc(TWndMethod(&parentLog, &TParentLog::Hook));

  HWND w = bar->Handle();
  RECT thumb = bar->PartRect(spThumb);
  const int grabX = thumb.left + 4, startTrack = bar->TrackPosition();
  SendMessageA(w, WM_LBUTTONDOWN, MK_LBUTTON, At(grabX, 5));
  EXPECT_EQ(bar->PressedPart(), spThumb);
  SendMessageA(w, WM_MOUSEMOVE, MK_LBUTTON, At(grabX + 40, 5));
  const int track = bar->TrackPosition();
  EXPECT_GT(track, 20);
  EXPECT_TRUE(log.Has(scTrack, track));
  ASSERT_FALSE(parentLog.hscroll.empty());
  EXPECT_EQ(LOWORD(parentLog.hscroll.back()), SB_THUMBPOSITION);
  EXPECT_EQ(HIWORD(parentLog.hscroll.back()), track);
  EXPECT_EQ(bar->Position(), 20) << "tracking does not move the position";

  // Far away from the bar the thumb goes back to where the drag began.
  SendMessageA(w, WM_MOUSEMOVE, MK_LBUTTON, At(grabX + 40, 400));
  EXPECT_EQ(bar->TrackPosition(), startTrack);
  SendMessageA(w, WM_LBUTTONUP, 0, At(grabX + 40, 400));
  EXPECT_TRUE(log.Has(scPosition, startTrack));
  EXPECT_EQ(bar->PressedPart(), spNone);

  // Another window taking the capture ends the drag as a release does.
  log.entries.clear();
  thumb = bar->PartRect(spThumb);
  SendMessageA(w, WM_LBUTTONDOWN, MK_LBUTTON, At(thumb.left + 2, 5));
  SendMessageA(w, WM_MOUSEMOVE, MK_LBUTTON, At(thumb.left + 32, 5));
  const int tracked = bar->TrackPosition();
  SetCapture(form->Handle());
  EXPECT_EQ(bar->PressedPart(), spNone);
  EXPECT_EQ(bar->Position(), tracked);
  EXPECT_TRUE(log.Has(scPosition, tracked));
  ReleaseCapture();
  form->SetWindowProc(parentLog.old);
}

TEST_F(ElScrollBarTest, VerticalBarDragsAlongItsHeight) {
  TElScrollBar* bar = MakeBar(TScrollBarKind::sbVertical, 200);
  EXPECT_EQ(bar->Width(), GetSystemMetrics(SM_CXVSCROLL));
  EXPECT_EQ(bar->ButtonSize(), GetSystemMetrics(SM_CYVSCROLL));
  TScrollLog log;
  log.Attach(bar);
  HWND w = bar->Handle();
  RECT thumb = bar->PartRect(spThumb);
  EXPECT_EQ(bar->GetHitTest(5, thumb.top + 2), spThumb);
  SendMessageA(w, WM_LBUTTONDOWN, MK_LBUTTON, At(5, thumb.top + 2));
  SendMessageA(w, WM_MOUSEMOVE, MK_LBUTTON, At(5, thumb.top + 62));
  SendMessageA(w, WM_LBUTTONUP, 0, At(5, thumb.top + 62));
  EXPECT_GT(bar->Position(), 30);
  EXPECT_TRUE(log.Has(scPosition, bar->Position()));
  SendMessageA(w, WM_KEYDOWN, VK_HOME, 0);
  EXPECT_EQ(bar->Position(), 0);
}

TEST_F(ElScrollBarTest, ThumbFillingTheTrackTracksTheCurrentPosition) {
  // A minimum thumb as long as the track leaves no room to move: the track
  // position stays the position instead of MulDiv's -1 giving Min - 1.
  TElScrollBar* bar = MakeBar();
  bar->SetMin(10);
  bar->SetMax(60);
  bar->SetPosition(25);
  bar->SetMinThumbSize(200 - 2 * bar->ButtonSize());
  ASSERT_EQ(bar->ThumbLength(), 200 - 2 * bar->ButtonSize());
  EXPECT_EQ(bar->TrackPosition(), 25);
  TScrollLog log;
  log.Attach(bar);
  HWND w = bar->Handle();
  SendMessageA(w, WM_LBUTTONDOWN, MK_LBUTTON, At(100, 5));
  SendMessageA(w, WM_MOUSEMOVE, MK_LBUTTON, At(110, 5));
  SendMessageA(w, WM_LBUTTONUP, 0, At(110, 5));
  for (auto& e : log.entries) EXPECT_GE(e.pos, 10);
}

TEST_F(ElScrollBarTest, KeysAndWheel) {
  TElScrollBar* bar = MakeBar();
  TScrollLog log;
  log.Attach(bar);
  HWND w = bar->Handle();
  struct {
    WPARAM key;
    TElScrollCode code;
    int expect;
  } keys[] = {{VK_RIGHT, scLineForward, 1}, {VK_DOWN, scLineForward, 2}, {VK_NEXT, scPageForward, 16},
              {VK_LEFT, scLineBack, 15},    {VK_PRIOR, scPageBack, 1},    {VK_END, scLast, 100},
              {VK_HOME, scFirst, 0},        {VK_UP, scLineBack, 0}};
  for (auto& k : keys) {
    SendMessageA(w, WM_KEYDOWN, k.key, 0);
    EXPECT_EQ(bar->Position(), k.expect) << k.key;
    EXPECT_EQ(log.entries.empty() ? scEndScroll : log.entries.front().code, k.code) << k.key;
    log.entries.clear();
  }
  SendMessageA(w, WM_KEYDOWN, 'A', 0);
  EXPECT_TRUE(log.entries.empty());

  // Wheel: lines per notch from the system; a page per notch for
  // WHEEL_PAGESCROLL; values above 120 are taken as 120.
  UINT saved = 3;
  SystemParametersInfoA(SPI_GETWHEELSCROLLLINES, 0, &saved, 0);
  struct {
    UINT lines;
    int delta;
    int from, expect;
  } wheel[] = {{3, -WHEEL_DELTA, 50, 53}, {3, WHEEL_DELTA, 50, 47}, {1, -WHEEL_DELTA, 50, 51},
               {500, -WHEEL_DELTA, 0, 100}, {WHEEL_PAGESCROLL, -WHEEL_DELTA, 50, 64},
               {WHEEL_PAGESCROLL, WHEEL_DELTA, 50, 36}, {0, -WHEEL_DELTA, 50, 51}};
  for (auto& c : wheel) {
    SystemParametersInfoA(SPI_SETWHEELSCROLLLINES, c.lines, nullptr, 0);
    bar->SetPosition(c.from);
    log.entries.clear();
    SendMessageA(w, WM_MOUSEWHEEL, MAKEWPARAM(0, c.delta), 0);
    EXPECT_EQ(bar->Position(), c.expect) << c.lines << " " << c.delta;
    ASSERT_FALSE(log.entries.empty());
    EXPECT_EQ(log.entries.back().code, scEndScroll);
  }
  SystemParametersInfoA(SPI_SETWHEELSCROLLLINES, saved, nullptr, 0);
}

TEST_F(ElScrollBarTest, ScrollInfoMessages) {
  TElScrollBar* bar = MakeBar();
  HWND w = bar->Handle();
  bar->SetPosition(40);
  TScrollLog log;
  log.Attach(bar);
  SCROLLINFO si{sizeof si, SIF_ALL};
  EXPECT_TRUE(SendMessageA(w, SBM_GETSCROLLINFO, 0, reinterpret_cast<LPARAM>(&si)));
  EXPECT_EQ(si.nMin, 0);
  EXPECT_EQ(si.nMax, 100);
  EXPECT_EQ(si.nPage, 14u);
  EXPECT_EQ(si.nPos, 40);
  SCROLLINFO shortOne{8, SIF_ALL};
  EXPECT_FALSE(SendMessageA(w, SBM_GETSCROLLINFO, 0, reinterpret_cast<LPARAM>(&shortOne)));

  struct {
    int min, max, pos;
    UINT mask;
    int expectMin, expectMax, expectPos;
  } rows[] = {
      // A range alone that leaves the position (40) outside is not taken;
      // one that holds it is.
      {0, 30, 0, SIF_RANGE, 0, 100, 40},
      {0, 60, 0, SIF_RANGE, 0, 60, 40},
      // With a position outside the new range the position becomes Max.
      {50, 90, 10, SIF_RANGE | SIF_POS, 50, 90, 90},
      {0, 100, 70, SIF_RANGE | SIF_POS, 0, 100, 70},
      // A position alone is taken only inside the range.
      {0, 0, 120, SIF_POS, 0, 100, 70},
      {0, 0, -5, SIF_POS, 0, 100, 70},
      {0, 0, 20, SIF_POS, 0, 100, 20},
      // An invalid range is ignored, also with its position.
      {10, 5, 0, SIF_RANGE, 0, 100, 20},
      {10, 5, 7, SIF_RANGE | SIF_POS, 0, 100, 7},
  };
  for (auto& r : rows) {
    SCROLLINFO s{sizeof s, r.mask, r.min, r.max, 0, r.pos, 0};
    LRESULT res = SendMessageA(w, SBM_SETSCROLLINFO, TRUE, reinterpret_cast<LPARAM>(&s));
    EXPECT_EQ(bar->Min(), r.expectMin);
    EXPECT_EQ(bar->Max(), r.expectMax);
    EXPECT_EQ(bar->Position(), r.expectPos);
    EXPECT_EQ(res, r.expectPos);
  }
  EXPECT_TRUE(log.entries.empty()) << "scroll-info changes fire no OnScroll";
}

TEST_F(ElScrollBarTest, BlendPatternOutlivesTheBarThatMadeIt) {
  TElScrollBar* first = MakeBar();
  TElScrollBar* second = MakeBar();
  second->SetTop(40);
  second->SetSystemBkColor(false);
  delete first;
  TDibSection dib(200, second->Height());
  PaintInto(second, dib);
  RECT page = second->PartRect(spForwardPage);
  const COLORREF a = dib.Pixel(page.left + 10, 6), b = dib.Pixel(page.left + 11, 6);
  EXPECT_NE(a, b) << "the track still shows the two-colour pattern";
  EXPECT_TRUE(a == GetSysColor(COLOR_BTNFACE) || b == GetSysColor(COLOR_BTNFACE));
  auto* third = new TElScrollBar(form.get());
  (void)third;
}

TEST_F(ElScrollBarTest, TrackHintAndOwnerDrawing) {
  TElScrollBar* bar = MakeBar();
  bar->SetShowTrackHint(true);
  std::vector<int> asked;
  bar->OnScrollHintNeeded = [&](TObject*, int track, std::wstring& hint) {
    asked.push_back(track);
    hint = L"Row " + std::to_wstring(track);
  };
  HWND w = bar->Handle();
  RECT thumb = bar->PartRect(spThumb);
  SendMessageA(w, WM_LBUTTONDOWN, MK_LBUTTON, At(thumb.left + 2, 5));
  ASSERT_NE(bar->TrackHintWindow(), nullptr);
  EXPECT_TRUE(IsWindowVisible(bar->TrackHintWindow()->Handle()));
  EXPECT_EQ(bar->TrackHintWindow()->WideCaption(), L"Row 0");
  SendMessageA(w, WM_MOUSEMOVE, MK_LBUTTON, At(thumb.left + 52, 5));
  EXPECT_EQ(bar->TrackHintWindow()->WideCaption(), L"Row " + std::to_wstring(bar->TrackPosition()));
  // The hint sits above the bar, its right edge left of the thumb.
  RECT hr{}, br{};
  GetWindowRect(bar->TrackHintWindow()->Handle(), &hr);
  GetWindowRect(w, &br);
  EXPECT_LT(hr.bottom, br.top);
  EXPECT_LE(hr.right, br.left + bar->ThumbOffset());
  SendMessageA(w, WM_LBUTTONUP, 0, At(thumb.left + 52, 5));
  EXPECT_EQ(bar->TrackHintWindow(), nullptr);

  // Owner drawing: asked for every part; a cleared DefaultDraw leaves it.
  bar->SetOwnerDraw(true);
  std::vector<TElScrollBarPart> parts;
  bar->OnDrawPart = [&](TObject*, TCanvas* c, RECT r, TElScrollBarPart p, bool, bool, bool, bool& def) {
    parts.push_back(p);
    if (p == spThumb) {
      c->Brush()->SetColor(clLime);
      c->FillRect(r);
      def = false;
    }
  };
  TDibSection dib(200, bar->Height());
  PaintInto(bar, dib);
  EXPECT_EQ(parts, (std::vector<TElScrollBarPart>{spBackArrow, spForwardArrow, spBackPage, spThumb, spForwardPage}));
  RECT t = bar->PartRect(spThumb);
  EXPECT_EQ(dib.Pixel(t.left + 1, 1), RGB(0, 255, 0));
}

TEST_F(ElScrollBarTest, WideHintIsPacked) {
  TElScrollBar* bar = MakeBar();
  bar->SetHint(L"Pos|Scroll position");
  const std::string packed = bar->TControl::Hint();
  EXPECT_EQ(packed.size(), std::string("Pos|Scroll position").size() + 2 * 19 + 5);
  std::wstring back;
  ASSERT_TRUE(UnpackWideHint(packed, back));
  EXPECT_EQ(back, L"Pos|Scroll position");
  THintInfo info;
  info.HintStr = GetShortHint(packed);
  EXPECT_EQ(bar->Perform(CM_HINTSHOW, 0, reinterpret_cast<LPARAM>(&info)), 0);
  ASSERT_TRUE(UnpackWideHint(info.HintStr, back));
  EXPECT_EQ(back, L"Pos");
  bar->SetHint(L"");
  EXPECT_NE(bar->Perform(CM_HINTSHOW, 0, reinterpret_cast<LPARAM>(&info)), 0);
}

TEST_F(ElScrollBarTest, StylesForwardToTheBar) {
  try {
    TElScrollBarStyles s(nullptr, form.get());
    ADD_FAILURE() << "no exception";
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message(), "No scrollbar specified when attempting to create TElScrollBarStyles instance");
  }
  TElScrollBar* a = MakeBar();
  TElScrollBar* b = MakeBar();
  TElScrollBarStyles sa(a, form.get()), sb(b, form.get());
  int changes = 0;
  sa.OnChange = [&](TObject*) { ++changes; };
  const int thick = sa.Width();
  EXPECT_EQ(thick, GetSystemMetrics(SM_CYHSCROLL));
  sa.SetWidth(30);
  EXPECT_EQ(sa.Width(), thick);
  EXPECT_EQ(changes, 1);
  sa.SetUseSystemMetrics(false);
  sa.SetWidth(30);
  EXPECT_EQ(a->Height(), 30);
  EXPECT_EQ(changes, 3);

  sb.SetColor(clRed);
  sb.SetFlat(false);
  sb.SetArrowColor(clLime);
  sb.SetMinThumbSize(9);
  sa.Assign(&sb);
  EXPECT_EQ(a->Color(), clRed);
  EXPECT_FALSE(a->Flat());
  EXPECT_EQ(a->MinThumbSize(), 9);
  EXPECT_EQ(a->ArrowColor(), clBtnText) << "arrow colours are not copied";
}

}  // namespace
}  // namespace morvane::test
