#include "controls/eluxtheme.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/win32.h"

namespace morvane {
namespace {

TEST(ElUxTheme, BindsOnlyAboveWindows2000) {
  struct {
    DWORD platform, major, minor;
    bool expect;
  } rows[] = {{VER_PLATFORM_WIN32_NT, 5, 0, false},       {VER_PLATFORM_WIN32_NT, 5, 1, true},
              {VER_PLATFORM_WIN32_NT, 4, 0, false},       {VER_PLATFORM_WIN32_NT, 6, 0, true},
              {VER_PLATFORM_WIN32_NT, 10, 0, true},       {VER_PLATFORM_WIN32_WINDOWS, 5, 1, false}};
  for (auto& r : rows)
    EXPECT_EQ(ThemesSupportedOn(r.platform, r.major, r.minor), r.expect) << r.major << "." << r.minor;
}

TEST(ElUxTheme, EntryPointsAndMissingOnes) {
  ASSERT_TRUE(ThemesAvailable()) << "Wine's uxtheme is bound at start-up";
  ASSERT_NE(ThemeLibrary(), nullptr);
  EXPECT_GE(BoundThemeFunctionCount(), 40);
  EXPECT_STREQ(kThemeFunctionNames[0], "IsThemeActive");
  EXPECT_STREQ(kThemeFunctionNames[46], "GetCurrentThemeName");

  // A themed draw by class name, with the Light theme of a fresh prefix.
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP bmp = CreateCompatibleBitmap(screen, 40, 20);
  ReleaseDC(nullptr, screen);
  HGDIOBJ old = SelectObject(dc, bmp);
  RECT r{0, 0, 40, 20};
  EXPECT_EQ(DrawThemeBackgroundByClass(L"HEADER", dc, 1, 1, &r, nullptr), S_OK);
  EXPECT_EQ(DrawThemeBackgroundByClass(L"NO-SUCH-THEME-CLASS", dc, 1, 1, &r, nullptr), E_NOTIMPL);

  // A library that has none of the entry points: every call answers as a
  // failed call would, and nothing calls through a null pointer.
  RebindThemeLibrary("kernel32.dll");
  EXPECT_TRUE(ThemesAvailable());
  EXPECT_EQ(BoundThemeFunctionCount(), 0);
  EXPECT_EQ(OpenThemeData(nullptr, L"HEADER"), nullptr);
  EXPECT_EQ(CloseThemeData(nullptr), E_NOTIMPL);
  EXPECT_EQ(DrawThemeBackground(nullptr, dc, 0, 0, &r, nullptr), E_NOTIMPL);
  EXPECT_FALSE(IsThemeActive());
  EXPECT_EQ(GetThemeSysSize(nullptr, 0), 0);
  SetThemeAppProperties(0);
  EXPECT_EQ(DrawThemeBackgroundByClass(L"HEADER", dc, 1, 1, &r, nullptr), E_NOTIMPL);

  RebindThemeLibrary(nullptr);
  EXPECT_FALSE(ThemesAvailable());
  EXPECT_EQ(ThemeLibrary(), nullptr);
  RebindThemeLibrary("uxtheme.dll");
  EXPECT_TRUE(ThemesAvailable());
  EXPECT_EQ(DrawThemeBackgroundByClass(L"HEADER", dc, 1, 1, &r, nullptr), S_OK);
  SelectObject(dc, old);
  DeleteObject(bmp);
  DeleteDC(dc);
}

}  // namespace
}  // namespace morvane
