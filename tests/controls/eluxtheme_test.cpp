#include "controls/eluxtheme.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/ui/dib.h"
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

// A 32-bit picture over a patterned background, so that whatever a part
// lets through shows.
struct TSurface {
  HDC Dc = nullptr;
  HBITMAP Bitmap = nullptr;
  HGDIOBJ Old = nullptr;
  uint32_t* Bits = nullptr;
  int Width, Height;
  TSurface(int W, int H, uint32_t Seed) : Width(W), Height(H) {
    Bitmap = NewDibSection32(W, H, Bits);
    for (int y = 0; y < H; ++y)
      for (int x = 0; x < W; ++x) Bits[y * W + x] = (Seed * 2654435761u + x * 40503u + y * 977u) & 0x00FFFFFFu;
    Dc = CreateCompatibleDC(nullptr);
    Old = SelectObject(Dc, Bitmap);
  }
  ~TSurface() {
    SelectObject(Dc, Old);
    DeleteDC(Dc);
    DeleteObject(Bitmap);
  }
  // The first pixel whose colour differs from Other's, -1 when none does.
  int FirstDifference(const TSurface& Other) const {
    GdiFlush();
    for (int k = 0; k < Width * Height; ++k)
      if ((Bits[k] ^ Other.Bits[k]) & 0x00FFFFFFu) return k;
    return -1;
  }
};

// Parts drawn again and again are copied from a first drawing: every copy
// must look exactly as the library's own drawing over the same background,
// for parts that cover their rectangle and for parts that let it through, in
// a clip rectangle, and after the theme was closed and opened again.
TEST(ElUxTheme, KeptPartsLookAsTheLibraryDrawsThem) {
  using TDraw = HRESULT(WINAPI*)(HTHEME, HDC, int, int, const RECT*, const RECT*);
  auto direct = reinterpret_cast<TDraw>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("uxtheme.dll"), "DrawThemeBackground")));
  ASSERT_NE(direct, nullptr);
  struct TRow {
    const wchar_t* Class;
    int Part, State;
    RECT Rect;
    bool Clipped;
  } rows[] = {
      {L"SCROLLBAR", 1, 1, {3, 2, 20, 19}, false},     // arrow button
      {L"SCROLLBAR", 1, 5, {0, 0, 17, 17}, false},     // arrow button, another state
      {L"SCROLLBAR", 3, 1, {0, 10, 17, 50}, false},    // vertical thumb
      {L"SCROLLBAR", 9, 1, {0, 10, 17, 50}, false},    // gripper: drawn at its own size
      {L"SCROLLBAR", 7, 1, {0, 0, 17, 300}, false},    // lower track, tall
      {L"HEADER", 1, 1, {5, 0, 125, 19}, false},       // header item
      {L"HEADER", 1, 1, {5, 0, 125, 19}, true},        // the same, clipped
      {L"HEADER", 1, 2, {0, 0, 300, 300}, false},      // too big to keep
      {L"BUTTON", 3, 5, {4, 4, 17, 17}, false},        // check box: round corners
  };
  for (const TRow& row : rows) {
    const RECT clip{row.Rect.left + 7, row.Rect.top + 3, row.Rect.left + 40, row.Rect.bottom - 2};
    const RECT* c = row.Clipped ? &clip : nullptr;
    for (int round = 0; round < 3; ++round) {
      HTHEME theme = OpenThemeData(nullptr, row.Class);
      ASSERT_NE(theme, nullptr);
      // Twice per theme: the first drawing may be kept, the second a copy.
      for (uint32_t seed : {1u + round, 7u + round}) {
        TSurface expected(320, 320, seed), actual(320, 320, seed);
        ASSERT_EQ(direct(theme, expected.Dc, row.Part, row.State, &row.Rect, c), S_OK);
        ASSERT_EQ(DrawThemeBackground(theme, actual.Dc, row.Part, row.State, &row.Rect, c), S_OK);
        const int k = actual.FirstDifference(expected);
        EXPECT_EQ(k, -1) << std::string(row.Class, row.Class + wcslen(row.Class)) << " part " << row.Part
                         << " state " << row.State << (row.Clipped ? " clipped" : "") << " round " << round
                         << ": pixel " << k % 320 << "," << k / 320;
      }
      CloseThemeData(theme);
    }
  }
}

}  // namespace
}  // namespace morvane
