#include "treeview/eltree_glyphs.h"

#include <cstdint>

#include "platform/ui/application.h"
#include "platform/ui/dib.h"

namespace morvane {
namespace {

int gCounter = 0;
int gLoads = 0;
HMODULE gOle = nullptr;
HBITMAP gPlus = nullptr, gMinus = nullptr, gLeaf = nullptr;

enum class TGlyph { Plus, Minus, Leaf };

constexpr int kGlyphSize = 10;


// The original look of a glyph when the program carries no bitmaps: the
// same three colours as the resources.
HBITMAP DrawOriginal(TGlyph Kind) {
  uint32_t* px = nullptr;
  HBITMAP bmp = NewDibSection32(kGlyphSize, kGlyphSize, px);
  if (!bmp) return nullptr;
  const uint32_t white = 0xFFFFFF, grey = 0x808080, black = 0;
  const int n = kGlyphSize;
  for (int i = 0; i < n * n; ++i) px[i] = white;
  auto set = [&](int x, int y, uint32_t c) { px[y * n + x] = c; };
  // The box covers (0,1)-(8,9).
  for (int i = 0; i <= 8; ++i) {
    set(i, 1, grey);
    set(i, 9, grey);
    set(0, 1 + i, grey);
    set(8, 1 + i, grey);
  }
  if (Kind != TGlyph::Leaf) {
    for (int x = 2; x <= 6; ++x) set(x, 5, black);
    if (Kind == TGlyph::Plus)
      for (int y = 3; y <= 7; ++y) set(4, y, black);
  } else {
    set(4, 5, black);
  }
  return bmp;
}

HBITMAP LoadOriginal(TGlyph Kind) {
  static const char* const names[] = {"PlusBmp", "MinusBmp", "LeafBmp"};
  HINSTANCE inst = GetModuleHandleA(nullptr);
  if (HANDLE h = LoadImageA(inst, names[static_cast<int>(Kind)], IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION))
    return static_cast<HBITMAP>(h);
  // A program without the bitmaps draws its own.
  return DrawOriginal(Kind);
}

// The glyph in 32 bits with its three colours replaced (every other pixel
// stays), then in the screen's own format for fast drawing.
HBITMAP Recolor(HBITMAP Original, COLORREF Text, COLORREF Shadow, COLORREF Window) {
  if (!Original) return nullptr;
  BITMAP bm{};
  GetObjectW(Original, sizeof bm, &bm);
  const int w = bm.bmWidth, h = bm.bmHeight;
  uint32_t* px = nullptr;
  HBITMAP dib = NewDibSection32(w, h, px);
  HDC screen = GetDC(nullptr);
  HDC src = CreateCompatibleDC(screen);
  HDC dst = CreateCompatibleDC(screen);
  HGDIOBJ oldSrc = SelectObject(src, Original);
  HGDIOBJ oldDst = SelectObject(dst, dib);
  BitBlt(dst, 0, 0, w, h, src, 0, 0, SRCCOPY);
  GdiFlush();
  auto dibColor = [](COLORREF c) {
    return static_cast<uint32_t>((c & 0xFF) << 16 | (c & 0xFF00) | (c >> 16 & 0xFF));
  };
  for (int x = 0; x < w; ++x)
    for (int y = 0; y < h; ++y) {
      uint32_t& p = px[y * w + x];
      switch (p & 0xFFFFFF) {
        case 0x000000: p = dibColor(Text); break;
        case 0x808080: p = dibColor(Shadow); break;
        case 0xFFFFFF: p = dibColor(Window); break;
        default: break;
      }
    }
  HBITMAP device = CreateCompatibleBitmap(screen, w, h);
  SelectObject(src, device);
  BitBlt(src, 0, 0, w, h, dst, 0, 0, SRCCOPY);
  SelectObject(src, oldSrc);
  SelectObject(dst, oldDst);
  DeleteDC(src);
  DeleteDC(dst);
  ReleaseDC(nullptr, screen);
  DeleteObject(dib);
  return device;
}

void FreeGlyphs() {
  for (HBITMAP* b : {&gLeaf, &gMinus, &gPlus})
    if (*b) {
      DeleteObject(*b);
      *b = nullptr;
    }
}

void MakeGlyphs(COLORREF Text, COLORREF Shadow, COLORREF Window) {
  FreeGlyphs();
  HBITMAP* slots[] = {&gPlus, &gMinus, &gLeaf};
  for (int k = 0; k < 3; ++k) {
    HBITMAP original = LoadOriginal(static_cast<TGlyph>(k));
    *slots[k] = Recolor(original, Text, Shadow, Window);
    if (original) DeleteObject(original);
  }
}

void MakeGlyphs() {
  MakeGlyphs(GetSysColor(COLOR_WINDOWTEXT), GetSysColor(COLOR_BTNSHADOW), GetSysColor(COLOR_WINDOW));
}

}  // namespace

void ElTreeUnitStartup() {
  if (gCounter-- != 0) return;
  ++gLoads;
  gOle = LoadLibraryA("OLE32.DLL");
  if (gOle && Screen)
    for (int n = 1; n <= 3; ++n)
      if (HCURSOR c = LoadCursorA(gOle, MAKEINTRESOURCEA(n))) Screen->SetCursors(crElTreeDragCursorBase + n, c);
  MakeGlyphs();
}

void ElTreeUnitEnd() {
  if (gCounter++ != -1) return;
  FreeGlyphs();
  if (gOle) {
    FreeLibrary(gOle);
    gOle = nullptr;
  }
}

HBITMAP ElTreePlusGlyph() { return gPlus; }
HBITMAP ElTreeMinusGlyph() { return gMinus; }
HBITMAP ElTreeLeafGlyph() { return gLeaf; }
int ElTreeUnitLoads() { return gLoads; }

void ElTreeRecolorGlyphs() {
  if (gCounter < 0) MakeGlyphs();
}

void ElTreeRecolorGlyphs(COLORREF Text, COLORREF Shadow, COLORREF Window) {
  if (gCounter < 0) MakeGlyphs(Text, Shadow, Window);
}

}  // namespace morvane
