#include "controls/eldrawtext.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "platform/ui/dib.h"
#include "platform/win32.h"

namespace morvane {
namespace {

// A 32-bit top-down DIB section with a font selected, white on black so that
// every text pixel can be compared.
class TTextDib {
 public:
  TTextDib(int w, int h) : w_(w), h_(h) {
    dc_ = CreateCompatibleDC(nullptr);
    bmp_ = NewDibSection32(w, h, bits_);
    oldBmp_ = SelectObject(dc_, bmp_);
    font_ = CreateFontW(-11, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, NONANTIALIASED_QUALITY, 0,
                        L"Tahoma");
    oldFont_ = SelectObject(dc_, font_);
    SetTextColor(dc_, RGB(255, 255, 255));
    SetBkMode(dc_, TRANSPARENT);
    Clear();
  }
  ~TTextDib() {
    SelectObject(dc_, oldFont_);
    SelectObject(dc_, oldBmp_);
    DeleteObject(font_);
    DeleteObject(bmp_);
    DeleteDC(dc_);
  }
  HDC DC() const { return dc_; }
  void Clear() { std::fill(bits_, bits_ + w_ * h_, 0u); }
  std::vector<uint32_t> Pixels() const { return std::vector<uint32_t>(bits_, bits_ + w_ * h_); }
  // The pixels inside R, row by row.
  std::vector<uint32_t> Inside(const RECT& R) const {
    std::vector<uint32_t> v;
    for (int y = std::max<LONG>(R.top, 0); y < std::min<LONG>(R.bottom, h_); ++y)
      for (int x = std::max<LONG>(R.left, 0); x < std::min<LONG>(R.right, w_); ++x) v.push_back(bits_[y * w_ + x]);
    return v;
  }
  int Lit() const {
    int n = 0;
    for (int i = 0; i < w_ * h_; ++i) n += (bits_[i] & 0xFFFFFF) != 0;
    return n;
  }
  // Columns and rows that hold text pixels.
  RECT Ink() const {
    RECT r{w_, h_, -1, -1};
    for (int y = 0; y < h_; ++y)
      for (int x = 0; x < w_; ++x)
        if (bits_[y * w_ + x] & 0xFFFFFF) {
          r.left = std::min<LONG>(r.left, x);
          r.top = std::min<LONG>(r.top, y);
          r.right = std::max<LONG>(r.right, x + 1);
          r.bottom = std::max<LONG>(r.bottom, y + 1);
        }
    return r;
  }

 private:
  int w_, h_;
  HDC dc_;
  HBITMAP bmp_;
  HGDIOBJ oldBmp_;
  HFONT font_;
  HGDIOBJ oldFont_;
  uint32_t* bits_ = nullptr;
};

struct TCase {
  const char* name;
  const wchar_t* text;
  UINT format;
  RECT rect;
  bool clipped = false;  // the text runs past the rectangle
};

// The layout is our own; for the flags both support it must put the same
// pixels where the system's own text drawing does.
TEST(ElDrawText, SamePixelsAsSystemDrawText) {
  const TCase cases[] = {
      {"left", L"Cookie name", DT_LEFT, {4, 3, 196, 60}},
      {"centre", L"Cookie name", DT_CENTER, {4, 3, 196, 60}},
      {"right", L"Cookie name", DT_RIGHT, {4, 3, 196, 60}},
      {"vcentre", L"Host", DT_SINGLELINE | DT_VCENTER, {0, 0, 120, 31}},
      {"bottom", L"Host", DT_SINGLELINE | DT_BOTTOM, {0, 0, 120, 40}},
      {"lines", L"one\r\ntwo\nthree\rfour", DT_LEFT, {2, 2, 190, 90}},
      {"single-line keeps breaks out", L"one two", DT_SINGLELINE, {2, 2, 190, 20}},
      {"word break", L"the quick brown fox jumps over", DT_WORDBREAK, {0, 0, 70, 90}},
      {"word break centred", L"the quick brown fox", DT_WORDBREAK | DT_CENTER, {0, 0, 60, 90}},
      {"no prefix", L"&File && more", DT_NOPREFIX, {1, 1, 190, 20}},
      {"double ampersand", L"Salt && pepper", DT_LEFT, {1, 1, 190, 20}},
      {"clipped at the rectangle", L"a rather long caption here", DT_SINGLELINE, {10, 2, 60, 12}, true},
      {"lines stop at the bottom", L"1\n2\n3\n4\n5\n6", DT_LEFT, {0, 0, 40, 26}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TTextDib ours(200, 100), sys(200, 100);
    RECT r1 = c.rect, r2 = c.rect;
    int h1 = ElDrawTextW(ours.DC(), c.text, -1, r1, c.format);
    int h2 = DrawTextW(sys.DC(), c.text, -1, &r2, c.format);
    EXPECT_GT(sys.Lit(), 0);
    if (c.clipped) {
      // Ours keeps the pixel past the right and bottom edges (see below), the
      // system does not: the same inside the rectangle, nothing further out.
      EXPECT_EQ(ours.Inside(c.rect), sys.Inside(c.rect));
      RECT ink = ours.Ink();
      EXPECT_LE(ink.right, c.rect.right + 1);
      EXPECT_LE(ink.bottom, c.rect.bottom + 1);
    } else {
      EXPECT_EQ(ours.Pixels(), sys.Pixels());
    }
    if (!(c.format & (DT_VCENTER | DT_BOTTOM))) {
      EXPECT_EQ(h1, h2);
    }
  }
  // Lines are clipped to the rectangle grown by one pixel, so a glyph that
  // overhangs its advance at the right edge keeps that pixel: right-aligned
  // text ends where the system's unclipped text ends.
  TTextDib dib(200, 40), unclipped(200, 40);
  RECT r{0, 0, 120, 20}, r2 = r;
  ElDrawTextW(dib.DC(), L"Host", -1, r, DT_SINGLELINE | DT_RIGHT);
  DrawTextW(unclipped.DC(), L"Host", -1, &r2, DT_SINGLELINE | DT_RIGHT | DT_NOCLIP);
  EXPECT_LE(dib.Ink().right, 121);
  EXPECT_EQ(dib.Ink().right, std::min<LONG>(unclipped.Ink().right, 121));
}

TEST(ElDrawText, CalcRectAsSystem) {
  const TCase cases[] = {
      {"one line", L"Expires", DT_SINGLELINE, {5, 5, 0, 0}},
      {"lines", L"a\nlonger line\nb", DT_LEFT, {0, 0, 0, 0}},
      {"prefix", L"&Open", DT_SINGLELINE, {0, 0, 0, 0}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TTextDib dib(10, 10);
    RECT r1 = c.rect, r2 = c.rect;
    int h1 = ElDrawTextW(dib.DC(), c.text, -1, r1, c.format | DT_CALCRECT);
    int h2 = DrawTextW(dib.DC(), c.text, -1, &r2, c.format | DT_CALCRECT);
    EXPECT_EQ(r1.left, r2.left);
    EXPECT_EQ(r1.top, r2.top);
    EXPECT_EQ(r1.right, r2.right);
    EXPECT_EQ(r1.bottom, r2.bottom);
    EXPECT_EQ(h1, h2);
    EXPECT_EQ(dib.Lit(), 0) << "measuring draws nothing";
  }
  TTextDib dib(10, 10);
  RECT r{3, 4, 50, 50};
  EXPECT_EQ(ElDrawTextW(dib.DC(), L"", -1, r, DT_CALCRECT), 0);
  EXPECT_EQ(r.right, 3);
  EXPECT_EQ(r.bottom, 4);
}

TEST(ElDrawText, PrefixUnderlinesTheMarkedCharacter) {
  TTextDib a(120, 20), b(120, 20), c(120, 20);
  RECT r{2, 2, 118, 18};
  RECT r1 = r, r2 = r, r3 = r;
  ElDrawTextW(a.DC(), L"&File", -1, r1, DT_SINGLELINE);
  ElDrawTextW(b.DC(), L"File", -1, r2, DT_SINGLELINE);
  ElDrawTextW(c.DC(), L"&File", -1, r3, DT_SINGLELINE | DT_HIDEPREFIX);
  TEXTMETRICW tm{};
  GetTextMetricsW(a.DC(), &tm);
  SIZE f{};
  GetTextExtentPoint32W(a.DC(), L"F", 1, &f);
  // The one-pixel line under "F" and nothing else differs.
  auto pa = a.Pixels(), pb = b.Pixels();
  int underlineRow = 2 + tm.tmAscent + 1;
  for (int x = 0; x < 120; ++x) {
    bool marked = x >= 2 && x < 2 + f.cx;
    EXPECT_EQ((pa[underlineRow * 120 + x] & 0xFFFFFF) != 0, marked || (pb[underlineRow * 120 + x] & 0xFFFFFF) != 0)
        << x;
  }
  EXPECT_EQ(c.Pixels(), b.Pixels()) << "a hidden prefix removes the & but draws no line";
  TTextDib d(120, 20);
  RECT r4 = r;
  ElDrawTextW(d.DC(), L"&File", -1, r4, DT_SINGLELINE | DT_PREFIXONLY);
  EXPECT_EQ(d.Ink().top, underlineRow);
  EXPECT_EQ(d.Ink().bottom, underlineRow + 1);
}

TEST(ElDrawText, TabsExpandToStopsOfOWidths) {
  TTextDib dib(10, 10);
  SIZE o{}, sp{}, x{};
  GetTextExtentPoint32W(dib.DC(), L"o", 1, &o);
  GetTextExtentPoint32W(dib.DC(), L" ", 1, &sp);
  GetTextExtentPoint32W(dib.DC(), L"x", 1, &x);
  const int stop = o.cx * 8;
  RECT r{0, 0, 0, 0};
  ElDrawTextW(dib.DC(), L"x\tx", -1, r, DT_CALCRECT | DT_EXPANDTABS | DT_SINGLELINE);
  int spaces = (stop - x.cx) / sp.cx;
  EXPECT_EQ(r.right, 2 * x.cx + spaces * sp.cx);
  // The tab length comes from the parameters with DT_TABSTOP...
  r = RECT{0, 0, 0, 0};
  DRAWTEXTPARAMS p{sizeof p, 2, 0, 0, 0};
  ElDrawTextExW(dib.DC(), L"\tx", -1, r, DT_CALCRECT | DT_EXPANDTABS | DT_TABSTOP | DT_SINGLELINE, &p);
  EXPECT_EQ(r.right, (2 * o.cx / sp.cx) * sp.cx + x.cx);
  // ...or from bits 8..15 of the format, which then are no flags.
  TTextDib one(100, 20);
  RECT d1{0, 0, 100, 20};
  ElDrawTextW(one.DC(), L"\tx", -1, d1, DT_EXPANDTABS | DT_TABSTOP | (2 << 8) | DT_SINGLELINE);
  TTextDib xonly(40, 20);
  RECT q{0, 0, 40, 20};
  ElDrawTextW(xonly.DC(), L"x", -1, q, DT_SINGLELINE);
  EXPECT_EQ(one.Ink().left, (2 * o.cx / sp.cx) * sp.cx + xonly.Ink().left);
  // Thousands of tabs: the line grows as needed instead of overrunning a
  // fixed work buffer.
  std::wstring many(5000, L'\t');
  many += L"end";
  r = RECT{0, 0, 0, 0};
  ElDrawTextW(dib.DC(), many.c_str(), -1, r, DT_CALCRECT | DT_EXPANDTABS | DT_SINGLELINE);
  SIZE e{};
  GetTextExtentPoint32W(dib.DC(), L"end", 3, &e);
  EXPECT_EQ(r.right, 5000 * (stop / sp.cx) * sp.cx + e.cx);
  TTextDib wide(400, 20);
  RECT d{0, 0, 400, 20};
  EXPECT_GT(ElDrawTextW(wide.DC(), many.c_str(), -1, d, DT_EXPANDTABS | DT_SINGLELINE), 0);
}

TEST(ElDrawText, Ellipses) {
  TTextDib dib(10, 10);
  SIZE dots{};
  GetTextExtentPoint32W(dib.DC(), L"...", 3, &dots);
  struct {
    const char* name;
    const wchar_t* text;
    UINT flag;
    int width;
    const wchar_t* expect;
  } cases[] = {
      {"fits untouched", L"abc", DT_END_ELLIPSIS, 200, L"abc"},
      {"end", L"abcdefghijklmnop", DT_END_ELLIPSIS, 0, nullptr},
      {"path keeps the file name", L"c:\\some\\long\\folder\\file.txt", DT_PATH_ELLIPSIS, 0, nullptr},
  };
  for (auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::wstring buf = c.text;
    buf.push_back(0);
    SIZE full{};
    GetTextExtentPoint32W(dib.DC(), c.text, static_cast<int>(wcslen(c.text)), &full);
    int width = c.width ? c.width : full.cx / 2 + dots.cx;
    RECT r{0, 0, width, 20};
    ElDrawTextW(dib.DC(), buf.data(), -1, r, c.flag | DT_SINGLELINE | DT_MODIFYSTRING);
    std::wstring shown = buf.c_str();
    if (c.expect) {
      EXPECT_EQ(shown, c.expect);
      continue;
    }
    ASSERT_GE(shown.size(), 4u);
    SIZE s{};
    GetTextExtentPoint32W(dib.DC(), shown.c_str(), static_cast<int>(shown.size()), &s);
    EXPECT_LE(s.cx, width);
    if (c.flag == DT_END_ELLIPSIS) {
      EXPECT_EQ(shown.substr(shown.size() - 3), L"...");
      EXPECT_EQ(std::wstring(c.text).compare(0, shown.size() - 3, shown, 0, shown.size() - 3), 0);
    } else {
      EXPECT_NE(shown.find(L"...\\file.txt"), std::wstring::npos) << std::string(shown.begin(), shown.end());
    }
  }
  // Write-back never goes past the caller's units: a two-unit text in a
  // rectangle too narrow for it becomes "..." only as far as it fits.
  wchar_t two[6] = {L'W', L'W', L'#', L'#', L'#', 0};
  RECT r{0, 0, 3, 20};
  ElDrawTextW(dib.DC(), two, 2, r, DT_SINGLELINE | DT_END_ELLIPSIS | DT_MODIFYSTRING);
  EXPECT_EQ(two[0], L'.');
  EXPECT_EQ(two[1], L'.');
  EXPECT_EQ(two[2], L'#');
  EXPECT_EQ(two[3], L'#');
}

TEST(ElDrawText, ParamsMarginsAndLengthDrawn) {
  TTextDib a(200, 20), b(200, 20);
  TEXTMETRICW tm{};
  GetTextMetricsW(a.DC(), &tm);
  DRAWTEXTPARAMS p{sizeof p, 8, 2, 1, 0};
  RECT r1{0, 0, 200, 12}, r2{2 * tm.tmAveCharWidth, 0, 200, 12};
  ElDrawTextExW(a.DC(), L"margin\nnext", -1, r1, 0, &p);
  ElDrawTextW(b.DC(), L"margin\nnext", -1, r2, 0);
  EXPECT_EQ(a.Pixels(), b.Pixels());
  EXPECT_EQ(p.uiLengthDrawn, 7u) << "the second line starts below the rectangle";
}

}  // namespace
}  // namespace morvane
