// Canvas, tools and pictures, probed on 32-bit DIB sections.
#include <gtest/gtest.h>

#include "platform/win32.h"
#include <winspool.h>

#include "platform/core/exceptions.h"
#include "platform/ui/dialogs.h"
#include "platform/ui/graphics.h"
#include "platform/ui/imglist.h"
#include "platform/ui/screenshot.h"

namespace morvane::test {
namespace {

TEST(Colours, SystemColoursResolveThroughTheSystem) {
  struct Case { TColor c; COLORREF want; } cases[] = {
      {clBtnFace, GetSysColor(COLOR_BTNFACE)},     {clHighlight, GetSysColor(COLOR_HIGHLIGHT)},
      {clInfoBk, GetSysColor(COLOR_INFOBK)},       {cl3DDkShadow, GetSysColor(COLOR_3DDKSHADOW)},
      {clRed, RGB(255, 0, 0)},                      {clGreen, RGB(0, 128, 0)},
      {static_cast<TColor>(0x00123456), 0x00123456},
  };
  for (const Case& k : cases) EXPECT_EQ(k.want, ColorToRGB(k.c)) << std::hex << k.c;
  EXPECT_EQ(static_cast<TColor>(0x8000000F), clBtnFace);
}

TEST(CanvasDrawing, ToolsAreSelectedWhenNeededAndAgainAfterAChange) {
  TDibSection dib(60, 20);
  dib.Fill(RGB(0, 0, 0));
  TCanvas c;
  c.SetHandle(dib.DC());
  c.Brush()->SetColor(clRed);
  c.FillRect(RECT{0, 0, 10, 10});
  EXPECT_EQ(RGB(255, 0, 0), dib.Pixel(5, 5));
  c.Brush()->SetColor(clHighlight);  // changed after being selected
  c.FillRect(RECT{10, 0, 20, 10});
  EXPECT_EQ(GetSysColor(COLOR_HIGHLIGHT), dib.Pixel(15, 5));
  c.Pen()->SetColor(clBlue);
  c.MoveTo(0, 15);
  c.LineTo(60, 15);
  EXPECT_EQ(RGB(0, 0, 255), dib.Pixel(30, 15));
  c.SetPixels(59, 19, clLime);
  EXPECT_EQ(static_cast<TColor>(RGB(0, 255, 0)), c.Pixels(59, 19));
  // Text takes the font's colour on the brush colour; a clear brush leaves the ground.
  c.Font()->SetColor(clWhite);
  c.Brush()->SetColor(clBlue);
  c.TextOut(22, 0, "\xdb\xdb");
  EXPECT_EQ(RGB(0, 0, 255), dib.Pixel(22, 1));
  c.Brush()->SetStyle(TBrushStyle::bsClear);
  c.TextOut(40, 0, " ");
  EXPECT_EQ(RGB(0, 0, 0), dib.Pixel(41, 5));
  EXPECT_GT(c.TextWidth("Cookies"), c.TextWidth("C"));
  RECT clip = c.ClipRect();
  EXPECT_EQ(60, clip.right);
  c.SetHandle(nullptr);
}

TEST(BitmapPictures, PixelFormatSwitchKeepsThePicture) {
  TBitmap b(8, 8);
  b.Canvas()->Brush()->SetColor(clRed);
  b.Canvas()->FillRect(RECT{0, 0, 4, 8});
  b.Canvas()->Brush()->SetColor(clBlue);
  b.Canvas()->FillRect(RECT{4, 0, 8, 8});
  for (TPixelFormat pf : {TPixelFormat::pf32bit, TPixelFormat::pfDevice, TPixelFormat::pf32bit}) {
    b.SetPixelFormat(pf);
    EXPECT_EQ(static_cast<TColor>(RGB(255, 0, 0)), b.Canvas()->Pixels(1, 1));
    EXPECT_EQ(static_cast<TColor>(RGB(0, 0, 255)), b.Canvas()->Pixels(6, 6));
  }
  ASSERT_TRUE(b.ScanLine(0));
  EXPECT_EQ(0xFF0000FFu, b.ScanLine(0)[6]) << "opaque blue in 32 bits";
  TBitmap copy;
  copy.Assign(&b);
  EXPECT_EQ(8, copy.Width());
  EXPECT_EQ(static_cast<TColor>(RGB(0, 0, 255)), copy.Canvas()->Pixels(7, 0));
}

TEST(BitmapPictures, BrushCopyLeavesTheTransparentColourOut) {
  TBitmap glyph(4, 4);
  glyph.Canvas()->Brush()->SetColor(clWhite);  // the transparent colour
  glyph.Canvas()->FillRect(RECT{0, 0, 4, 4});
  glyph.Canvas()->Brush()->SetColor(clBlack);
  glyph.Canvas()->FillRect(RECT{1, 1, 3, 3});
  TDibSection dib(8, 8);
  dib.Fill(RGB(0, 128, 0));
  TCanvas c;
  c.SetHandle(dib.DC());
  c.BrushCopy(RECT{2, 2, 6, 6}, &glyph, RECT{0, 0, 4, 4}, clWhite);
  EXPECT_EQ(RGB(0, 128, 0), dib.Pixel(2, 2)) << "transparent corner";
  EXPECT_EQ(RGB(0, 0, 0), dib.Pixel(3, 3)) << "glyph";
  EXPECT_EQ(RGB(0, 128, 0), dib.Pixel(0, 0)) << "outside";
  c.SetHandle(nullptr);
  glyph.SetTransparent(true);
  EXPECT_EQ(static_cast<TColor>(RGB(255, 255, 255)), glyph.TransparentColor()) << "bottom-left pixel";
}

TEST(ImageLists, ChangeLinksHearAndCanLeave) {
  TImageList list(nullptr, 8, 8);
  int heard = 0;
  {
    TChangeLink link;
    link.OnChange = [&](TObject* s) {
      EXPECT_EQ(&list, s);
      ++heard;
    };
    list.RegisterChanges(&link);
    TBitmap b(8, 8);
    EXPECT_EQ(0, list.AddMasked(&b, clWhite));
    EXPECT_EQ(1, list.Count());
    EXPECT_EQ(1, heard);
  }  // the link goes away with its owner
  list.Clear();
  EXPECT_EQ(1, heard);
  EXPECT_EQ(0, list.Count());
}

TEST(Printing, NoPrinterIsAnErrorNotACrash) {
  TPrinter p;
  p.Title = "Morvane";
  char name[256] = {};
  DWORD n = sizeof(name);
  if (GetDefaultPrinterA(name, &n)) GTEST_SKIP() << "a printer exists here: " << name;
  EXPECT_THROW(p.BeginDoc(), EInvalidOperation);
  EXPECT_FALSE(p.Printing());
  EXPECT_THROW(p.EndDoc(), EInvalidOperation);
  EXPECT_THROW(p.NewPage(), EInvalidOperation);
}

TEST(Screenshots, PngHeaderAndPixels) {
  TScreenImage img;
  img.Width = 2;
  img.Height = 1;
  img.Pixels = {0x00FF0000, 0x000000FF};
  std::string png = EncodePng(img);
  ASSERT_GT(png.size(), 40u);
  EXPECT_EQ(std::string("\x89PNG\r\n\x1a\n", 8), png.substr(0, 8));
  EXPECT_EQ("IHDR", png.substr(12, 4));
  EXPECT_EQ(RGB(255, 0, 0), img.Pixel(0, 0));
  EXPECT_EQ(RGB(0, 0, 255), img.Pixel(1, 0));
}

}  // namespace
}  // namespace morvane::test
