// The Unicode hint window: measuring, placement on the desktop, painting of
// the wide caption and the packed wide hints of the application.
// ctest: desktop
#include "controls/elhintwnd.h"

#include <gtest/gtest.h>

#include "controls/elvclutils.h"
#include "controls/elxpthemed.h"
#include "controls_fixture.h"

namespace morvane::test {
namespace {

class ElHintWindowTest : public ControlsTest {};

TEST_F(ElHintWindowTest, PlacementKeepsHintsOnTheDesktop) {
  struct {
    const char* name;
    RECT desktop, hint, expect;
  } rows[] = {
      {"inside", {0, 0, 1024, 768}, {100, 100, 160, 120}, {100, 100, 160, 120}},
      {"below", {0, 0, 1024, 768}, {100, 760, 160, 780}, {100, 748, 160, 768}},
      {"right", {0, 0, 1024, 768}, {1000, 10, 1060, 30}, {964, 10, 1024, 30}},
      {"left and top", {0, 0, 1024, 768}, {-20, -5, 40, 15}, {0, 0, 60, 20}},
      // A monitor left of the primary one: the far edges are origin + size.
      {"negative origin", {-1280, 0, 1024, 1024}, {-300, 1010, -240, 1030}, {-300, 1004, -240, 1024}},
      {"negative origin, right", {-1280, -200, 1024, 768}, {1000, -150, 1060, -130}, {964, -150, 1024, -130}},
  };
  for (auto& r : rows) {
    RECT got = TElHintWindow::PlaceOnDesktop(r.hint, r.desktop);
    EXPECT_EQ(got.left, r.expect.left) << r.name;
    EXPECT_EQ(got.top, r.expect.top) << r.name;
    EXPECT_EQ(got.right, r.expect.right) << r.name;
    EXPECT_EQ(got.bottom, r.expect.bottom) << r.name;
  }
}

TEST_F(ElHintWindowTest, MeasuresShowsAndPaintsWideText) {
  TElHintWindow hint(nullptr);
  const std::wstring text = L"A long hint text that will need more than one line \u00e9\u00e8";
  RECT one = hint.CalcHintRectW(120, text);
  hint.SetWordWrap(true);
  RECT wrapped = hint.CalcHintRectW(120, text);
  EXPECT_GT(one.right, 126) << "without word wrap the text stays on one line";
  EXPECT_LE(wrapped.right, 126);
  EXPECT_GT(wrapped.bottom, one.bottom);
  hint.SetWordWrap(false);

  RECT r = hint.CalcHintRectW(400, L"Wide \u0416");
  OffsetRect(&r, 100, 100);
  hint.ActivateHintW(r, L"Wide \u0416");
  EXPECT_TRUE(IsWindowVisible(hint.Handle()));
  EXPECT_EQ(hint.WideCaption(), L"Wide \u0416");
  RECT wr{};
  GetWindowRect(hint.Handle(), &wr);
  EXPECT_EQ(wr.left, 100);
  EXPECT_EQ(wr.bottom - wr.top, r.bottom - r.top + 4);
  TDibSection dib(hint.ClientWidth(), hint.ClientHeight());
  PaintInto(&hint, dib);
  int ink = 0;
  const COLORREF bk = GetSysColor(COLOR_INFOBK), fg = GetSysColor(COLOR_INFOTEXT);
  EXPECT_EQ(dib.Pixel(1, 1), bk);
  for (int y = 0; y < dib.Height(); ++y)
    for (int x = 0; x < dib.Width(); ++x) ink += dib.Pixel(x, y) == fg;
  EXPECT_GT(ink, 10);

  // The application's packed hints show in their wide form.
  hint.ActivateHint(r, PackWideHint(L"\u0416\u0417"));
  EXPECT_EQ(hint.WideCaption(), L"\u0416\u0417");
  hint.ActivateHint(r, "plain");
  EXPECT_EQ(hint.WideCaption(), L"plain");
  RECT packed = hint.CalcHintRect(400, PackWideHint(L"Wide \u0416"), nullptr);
  RECT wide = hint.CalcHintRectW(400, L"Wide \u0416");
  EXPECT_EQ(packed.right, wide.right);
  hint.ReleaseHandle();
}

// A themed control of the toolkit, for the base class.
class TThemedProbe : public TElXPThemedControl {
 public:
  using TElXPThemedControl::TElXPThemedControl;
  int recreated = 0;
  void Paint() override {}

 protected:
  std::wstring GetThemedClassName() const override { return L"HEADER"; }
  void CreateWnd() override {
    ++recreated;
    TElXPThemedControl::CreateWnd();
  }
};

TEST_F(ElHintWindowTest, ThemedBaseOpensAndClosesItsTheme) {
  auto* off = new TThemedProbe(form.get());
  off->SetUseXPThemes(false);
  off->SetParent(form.get());
  off->HandleNeeded();
  EXPECT_EQ(off->Theme(), nullptr) << "switched off before the window: never opened";
  EXPECT_FALSE(off->IsThemeApplied());

  auto* on = new TThemedProbe(form.get());
  on->SetParent(form.get());
  on->HandleNeeded();
  if (!on->Theme()) GTEST_SKIP() << "no visual style for HEADER";
  EXPECT_TRUE(on->IsThemeApplied());
  const int before = on->recreated;
  on->SetUseXPThemes(true);
  EXPECT_EQ(on->recreated, before) << "the same value recreates nothing";
  on->SetUseXPThemes(false);
  EXPECT_EQ(on->recreated, before + 1);
  EXPECT_EQ(on->Theme(), nullptr);
  on->SetUseXPThemes(true);
  EXPECT_NE(on->Theme(), nullptr);
  EXPECT_EQ(SendMessageA(on->Handle(), WM_THEMECHANGED, 0, 0), 1);
  EXPECT_NE(on->Theme(), nullptr);
  // The window going with its parent's gives the theme back.
  on->DestroyHandle();
  EXPECT_EQ(on->Theme(), nullptr);

  // Over a library without the entry points nothing is opened.
  RebindThemeLibrary("kernel32.dll");
  auto* bare = new TThemedProbe(form.get());
  bare->SetParent(form.get());
  bare->HandleNeeded();
  EXPECT_EQ(bare->Theme(), nullptr);
  delete bare;
  RebindThemeLibrary("uxtheme.dll");
}

}  // namespace
}  // namespace morvane::test
