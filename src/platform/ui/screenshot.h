// A window's picture as it is on the screen, written as PNG (or BMP when the
// name ends in ".bmp"), so people can look at what a test built. The pixels
// come from the window's DC: under Xvfb that is the screen, child windows
// included (PrintWindow would leave them out).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/win32.h"

namespace morvane {

// 0x00RRGGBB pixels, rows top-down.
struct TScreenImage {
  int Width = 0, Height = 0;
  std::vector<uint32_t> Pixels;
  // As a COLORREF, comparable with GetSysColor.
  COLORREF Pixel(int x, int y) const;
};

TScreenImage CaptureWindow(HWND Wnd);
// Throws EFCreateError / EWriteError.
void SaveImage(const TScreenImage& Image, const std::string& Path);
void SaveWindowScreenshot(HWND Wnd, const std::string& Path);
// PNG bytes of the image (stored, not compressed).
std::string EncodePng(const TScreenImage& Image);

}  // namespace morvane
