// The drawing helpers: colour arithmetic, frames, arrows, transparent
// blits, flat scroll bars, alpha fills, repeat timings and hint texts.
#include "controls/elvclutils.h"

#include <gtest/gtest.h>

#include "platform/ui/graphics.h"
#include "platform/win32.h"

namespace morvane {
namespace {

TEST(ElVclUtils, ColoursAndHls) {
  EXPECT_EQ(InvertColor(clBlack), clWhite);
  const COLORREF face = GetSysColor(COLOR_BTNFACE);
  EXPECT_EQ(InvertColor(clBtnFace), RGBToColor(255 - GetRValue(face), 255 - GetGValue(face), 255 - GetBValue(face)));
  EXPECT_EQ(RGBToColor(1, 2, 3), 0x030201);
  EXPECT_EQ(GetGValue(RGBToColor(10, 20, 30)), 20);
  for (int g : {0, 37, 128, 200, 255}) {
    uint32_t hls = RGBtoHLS(RGBToColor(g, g, g));
    EXPECT_EQ(HLSSaturation(hls), 0) << g;
    EXPECT_EQ(HLSHue(hls), 168) << g;
  }
  uint32_t grey = RGBtoHLS(RGBToColor(128, 128, 128));
  EXPECT_EQ(HLSLightness(grey), 126);
  EXPECT_EQ(HLStoRGB(grey), RGBToColor(127, 127, 127));
  // Pure colours survive the round trip.
  for (TColor c : {clRed, clLime, clBlue, clYellow, clFuchsia, clAqua}) EXPECT_EQ(HLStoRGB(RGBtoHLS(c)), c) << c;
  EXPECT_EQ(HLSHue(RGBtoHLS(clRed)), 0);
  EXPECT_EQ(HLSHue(RGBtoHLS(clLime)), 84);
  EXPECT_EQ(HLSHue(RGBtoHLS(clBlue)), 168);
}

TEST(ElVclUtils, TimingsAndHints) {
  EXPECT_EQ(KeybDelayToMs(1), 500);
  EXPECT_EQ(KeybDelayToMs(0), 250);
  EXPECT_EQ(KeybSpeedToMs(31), 31);
  EXPECT_EQ(KeybSpeedToMs(0), 1000);
  EXPECT_GT(GetKeybRepeatTiming(SPI_GETKEYBOARDDELAY), 0);
  EXPECT_EQ(GetShortHintW(L"Open|Opens a file"), L"Open");
  EXPECT_EQ(GetShortHintW(L"Open a file"), L"Open a file");
  const std::string packed = PackWideHint(L"H\u00e9llo");
  EXPECT_EQ(packed.size(), 5u + 2 * 5 + 5);
  std::wstring back;
  EXPECT_TRUE(UnpackWideHint(packed, back));
  EXPECT_EQ(back, L"H\u00e9llo");
  EXPECT_FALSE(UnpackWideHint("plain hint", back));
  EXPECT_FALSE(UnpackWideHint(std::string("x\0\0\xFE\xFF", 4), back));
}

TEST(ElVclUtils, ButtonFramesAndSides) {
  TDibSection dib(20, 20);
  dib.Fill(RGB(1, 2, 3));
  const RECT r{2, 2, 12, 12};
  struct {
    bool pressed, deep;
    int otl, obr, itl, ibr;
  } rows[] = {{false, false, COLOR_BTNHIGHLIGHT, COLOR_BTNSHADOW, COLOR_BTNFACE, COLOR_BTNFACE},
              {false, true, COLOR_BTNHIGHLIGHT, COLOR_3DDKSHADOW, COLOR_BTNFACE, COLOR_BTNSHADOW},
              {true, false, COLOR_BTNSHADOW, COLOR_BTNHIGHLIGHT, COLOR_BTNFACE, COLOR_BTNFACE},
              {true, true, COLOR_3DDKSHADOW, COLOR_BTNHIGHLIGHT, COLOR_BTNSHADOW, COLOR_BTNFACE}};
  for (auto& row : rows) {
    DrawButtonFrameEx(dib.DC(), r, row.deep, false, clBtnFace, row.pressed);
    EXPECT_EQ(dib.Pixel(2, 5), GetSysColor(row.otl));
    EXPECT_EQ(dib.Pixel(11, 5), GetSysColor(row.obr));
    EXPECT_EQ(dib.Pixel(3, 5), GetSysColor(row.itl));
    EXPECT_EQ(dib.Pixel(10, 5), GetSysColor(row.ibr));
  }
  dib.Fill(RGB(1, 2, 3));
  DrawButtonFrameEx(dib.DC(), r, true, true, clBtnFace, false);
  EXPECT_EQ(dib.Pixel(3, 5), RGB(1, 2, 3)) << "only the outer frame";
  // Sides: only the chosen ones.
  dib.Fill(RGB(1, 2, 3));
  Draw3DSides(dib.DC(), 0, 0, clRed, clBlue, 10, 10, ebsLeft | ebsBottom);
  EXPECT_EQ(dib.Pixel(0, 4), ColorToRGB(clBlue));
  EXPECT_EQ(dib.Pixel(4, 9), ColorToRGB(clRed));
  EXPECT_EQ(dib.Pixel(4, 0), RGB(1, 2, 3));
  EXPECT_EQ(dib.Pixel(9, 4), RGB(1, 2, 3));
}

TEST(ElVclUtils, Arrows) {
  TBitmap bmp(20, 20);
  TCanvas* c = bmp.Canvas();
  auto count = [&](COLORREF color) {
    int n = 0;
    for (int y = 0; y < 20; ++y)
      for (int x = 0; x < 20; ++x) n += ColorToRGB(c->Pixels(x, y)) == color;
    return n;
  };
  auto clear = [&] {
    c->Brush()->SetColor(clWhite);
    c->FillRect(RECT{0, 0, 20, 20});
  };
  for (int dir = 0; dir < 4; ++dir) {
    clear();
    DrawArrow(c, dir, RECT{0, 0, 5, 5}, true, clRed);
    EXPECT_EQ(count(ColorToRGB(clRed)), 0) << "too small: " << dir;
    clear();
    c->Pen()->SetColor(clLime);
    DrawArrow(c, dir, RECT{0, 0, 20, 20}, true, clRed);
    EXPECT_EQ(count(ColorToRGB(clRed)), 16) << dir;
    EXPECT_EQ(c->Pen()->Color(), clLime);
  }
  clear();
  DrawArrow(c, 3, RECT{0, 0, 20, 20}, false, clRed);
  EXPECT_EQ(count(GetSysColor(COLOR_BTNSHADOW)), 16);
  EXPECT_EQ(count(ColorToRGB(clRed)), 0);
  // Tip toward the direction: the downward arrow's single pixel is its lowest.
  clear();
  DrawArrow(c, 3, RECT{0, 0, 20, 20}, true, clRed);
  RECT box = CenterRects(7, 4, RECT{0, 0, 20, 20});
  EXPECT_EQ(ColorToRGB(c->Pixels(box.left + 3, box.top + 3)), ColorToRGB(clRed));
  EXPECT_NE(ColorToRGB(c->Pixels(box.left + 2, box.top + 3)), ColorToRGB(clRed));
  EXPECT_EQ(ColorToRGB(c->Pixels(box.left, box.top)), ColorToRGB(clRed));
}

TEST(ElVclUtils, TransparentBlitAndAlpha) {
  TBitmap src(4, 1);
  src.Canvas()->SetPixels(0, 0, clFuchsia);
  src.Canvas()->SetPixels(1, 0, clRed);
  src.Canvas()->SetPixels(2, 0, clFuchsia);
  src.Canvas()->SetPixels(3, 0, clBlue);
  TDibSection dib(10, 3);
  dib.Fill(RGB(0, 128, 0));
  DrawTransparentBitmapEx(dib.DC(), &src, 2, 1, RECT{0, 0, 4, 1}, clFuchsia);
  EXPECT_EQ(dib.Pixel(2, 1), RGB(0, 128, 0));
  EXPECT_EQ(dib.Pixel(3, 1), RGB(255, 0, 0));
  EXPECT_EQ(dib.Pixel(4, 1), RGB(0, 128, 0));
  EXPECT_EQ(dib.Pixel(5, 1), RGB(0, 0, 255));
  EXPECT_EQ(ColorToRGB(src.Canvas()->Pixels(0, 0)), ColorToRGB(clFuchsia)) << "the source is kept";

  TBitmap b(4, 4);
  b.Canvas()->Brush()->SetColor(RGBToColor(0, 0, 200));
  b.Canvas()->FillRect(RECT{0, 0, 4, 4});
  AlphaFillRect(b.Canvas(), RECT{0, 0, 2, 4}, RGBToColor(200, 0, 0), 128);
  EXPECT_EQ(ColorToRGB(b.Canvas()->Pixels(0, 0)), RGB(100, 0, 100));
  EXPECT_EQ(ColorToRGB(b.Canvas()->Pixels(3, 0)), RGB(0, 0, 200));
}

TEST(ElVclUtils, FlatScrollBarThumbStaysOutOfTheArrowButton) {
  HWND w = CreateWindowExA(0, "STATIC", "", WS_POPUP | WS_HSCROLL, 0, 0, 200, 60, nullptr, nullptr, nullptr, nullptr);
  ASSERT_TRUE(w);
  // A page as large as the range: the thumb fills the track from its start.
  SCROLLINFO si{sizeof si, SIF_ALL | SIF_DISABLENOSCROLL, 0, 9, 10, 0, 0};
  SetScrollInfo(w, SB_HORZ, &si, FALSE);
  TDibSection dib(200, 60);
  dib.Fill(RGB(1, 2, 3));
  DrawFlatScrollbars(w, dib.DC(), RECT{0, 0, 200, 60}, 0, WS_HSCROLL, 1, false, false);
  const int button = GetSystemMetrics(SM_CXHSCROLL);
  const int y = 60 - GetSystemMetrics(SM_CYHSCROLL) / 2;
  EXPECT_EQ(dib.Pixel(button - 1, y), GetSysColor(COLOR_3DDKSHADOW)) << "the arrow button's right edge";
  EXPECT_EQ(dib.Pixel(button, y), GetSysColor(COLOR_BTNFACE)) << "the thumb's left edge";
  DestroyWindow(w);
}

TEST(ElVclUtils, FlatFramesOnChosenSides) {
  TDibSection dib(30, 30);
  dib.Fill(RGB(1, 2, 3));
  DrawFlatFrameEx(dib.DC(), RECT{5, 5, 25, 25}, clRed, fbtFlat, kAllBorderSides, clWhite);
  EXPECT_EQ(dib.Pixel(5, 10), GetSysColor(COLOR_BTNSHADOW));
  EXPECT_EQ(dib.Pixel(6, 10), ColorToRGB(clRed));
  EXPECT_EQ(dib.Pixel(24, 10), GetSysColor(COLOR_BTNHIGHLIGHT));
  dib.Fill(RGB(1, 2, 3));
  DrawFlatFrameEx(dib.DC(), RECT{5, 5, 25, 25}, clRed, fbtColorLineBorder, ebsTop, clBlue);
  EXPECT_EQ(dib.Pixel(10, 5), ColorToRGB(clBlue));
  EXPECT_EQ(dib.Pixel(10, 6), ColorToRGB(clRed));
  EXPECT_EQ(dib.Pixel(5, 10), RGB(1, 2, 3));
  dib.Fill(RGB(1, 2, 3));
  DrawFlatFrameEx(dib.DC(), RECT{5, 5, 25, 25}, clRed, fbtSunken, kAllBorderSides, clWhite);
  EXPECT_NE(dib.Pixel(5, 10), RGB(1, 2, 3));
  EXPECT_EQ(dib.Pixel(15, 15), RGB(1, 2, 3));
}

}  // namespace
}  // namespace morvane
