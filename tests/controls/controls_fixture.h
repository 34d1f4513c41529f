// Shared by the window tests of the toolkit controls: a shown top-level form
// to put controls on, painting into a 32-bit DIB section, and pictures of
// what was painted saved for a look.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "platform/ui/forms.h"
#include "platform/ui/graphics.h"
#include "platform/ui/ui_fixture.h"
#include "platform/win32.h"
#include "support/test_env.h"

namespace morvane::test {

class ControlsTest : public UiTest {
 protected:
  void SetUp() override {
    UiTest::SetUp();
    form = std::make_unique<TForm>(nullptr);
    form->SetBounds(40, 40, 420, 260);
    form->Show();
  }
  void TearDown() override {
    form.reset();
    UiTest::TearDown();
  }
  // Paints a control the way WM_PAINT with a device context does.
  static void PaintInto(TWinControl* c, TDibSection& dib) {
    dib.Fill(RGB(1, 2, 3));
    SendMessageA(c->Handle(), WM_PAINT, reinterpret_cast<WPARAM>(dib.DC()), 0);
  }
  static LPARAM At(int x, int y) { return MAKELPARAM(x, y); }
  // Writes the picture as a 32-bit BMP (opaque) beside the test programs.
  static void SaveBitmap(const TDibSection& dib, const std::string& name) {
    const int w = dib.Width(), h = dib.Height();
    std::string bytes;
    BITMAPFILEHEADER fh{};
    BITMAPINFOHEADER ih{};
    ih.biSize = sizeof ih;
    ih.biWidth = w;
    ih.biHeight = -h;
    ih.biPlanes = 1;
    ih.biBitCount = 32;
    fh.bfType = 0x4D42;
    fh.bfOffBits = sizeof fh + sizeof ih;
    fh.bfSize = fh.bfOffBits + w * h * 4;
    bytes.append(reinterpret_cast<const char*>(&fh), sizeof fh);
    bytes.append(reinterpret_cast<const char*>(&ih), sizeof ih);
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) {
        uint32_t v = dib.Raw(x, y) | 0xFF000000u;
        bytes.append(reinterpret_cast<const char*>(&v), 4);
      }
    std::string dir = BinPath("screenshots");
    CreateDirectoryA(dir.c_str(), nullptr);
    FILE* f = fopen((dir + "\\" + name).c_str(), "wb");
    if (f) {
      fwrite(bytes.data(), 1, bytes.size(), f);
      fclose(f);
    }
  }

  std::unique_ptr<TForm> form;
};

}  // namespace morvane::test
