#include "treeview/eltree_glyphs.h"

#include "platform/ui/application.h"

namespace morvane {
namespace {

int gCounter = 0;
int gLoads = 0;
HMODULE gOle = nullptr;
HBITMAP gPlus = nullptr, gMinus = nullptr, gLeaf = nullptr;
bool gFromResources = false;

enum class TGlyph { Plus, Minus, Leaf };

// The built-in look: a grey box with a dark sign on the window colour. The
// inside and the margin are the window colour, which is also the pixel the
// transparent drawing keys on.
HBITMAP DrawGlyph(TGlyph Kind) {
  const int n = 10;
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof bi.bmiHeader;
  bi.bmiHeader.biWidth = n;
  bi.bmiHeader.biHeight = -n;
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  HBITMAP bmp = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!bmp) return nullptr;
  auto px = static_cast<uint32_t*>(bits);
  auto rgb = [](COLORREF c) {
    return static_cast<uint32_t>((c & 0xFF) << 16 | (c & 0xFF00) | (c >> 16 & 0xFF));
  };
  const uint32_t back = rgb(GetSysColor(COLOR_WINDOW));
  const uint32_t frame = rgb(GetSysColor(COLOR_BTNSHADOW));
  const uint32_t sign = rgb(GetSysColor(COLOR_WINDOWTEXT));
  for (int i = 0; i < n * n; ++i) px[i] = back;
  auto set = [&](int x, int y, uint32_t c) { px[y * n + x] = c; };
  // The box covers (0,1)-(8,9).
  for (int i = 0; i <= 8; ++i) {
    set(i, 1, frame);
    set(i, 9, frame);
    set(0, 1 + i, frame);
    set(8, 1 + i, frame);
  }
  if (Kind != TGlyph::Leaf) {
    for (int x = 2; x <= 6; ++x) set(x, 5, sign);
    if (Kind == TGlyph::Plus)
      for (int y = 3; y <= 7; ++y) set(4, y, sign);
  } else {
    set(4, 5, sign);
  }
  return bmp;
}

void FreeGlyphs() {
  for (HBITMAP* b : {&gLeaf, &gMinus, &gPlus})
    if (*b) {
      DeleteObject(*b);
      *b = nullptr;
    }
}

// A 32-bit top-down copy of the bitmap (the source is freed), so that the
// recolouring can work on the pixels themselves.
HBITMAP To32Bits(HBITMAP Source) {
  if (!Source) return nullptr;
  BITMAP bm{};
  GetObjectW(Source, sizeof bm, &bm);
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof bi.bmiHeader;
  bi.bmiHeader.biWidth = bm.bmWidth;
  bi.bmiHeader.biHeight = -bm.bmHeight;
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  HBITMAP out = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (out) {
    HDC from = CreateCompatibleDC(nullptr), to = CreateCompatibleDC(nullptr);
    HGDIOBJ a = SelectObject(from, Source), b = SelectObject(to, out);
    BitBlt(to, 0, 0, bm.bmWidth, bm.bmHeight, from, 0, 0, SRCCOPY);
    SelectObject(from, a);
    SelectObject(to, b);
    DeleteDC(from);
    DeleteDC(to);
  }
  DeleteObject(Source);
  return out;
}

// Exact black, 50% grey and white become the window-text, button-shadow
// and window colours; every other pixel stays, so that a second change of
// the system colours moves only pixels that still hold one of the three.
void Recolor(HBITMAP Bitmap) {
  DIBSECTION ds{};
  if (!Bitmap || GetObjectW(Bitmap, sizeof ds, &ds) != sizeof ds || ds.dsBm.bmBitsPixel != 32 || !ds.dsBm.bmBits)
    return;
  auto rgb = [](COLORREF c) {
    return static_cast<uint32_t>((c & 0xFF) << 16 | (c & 0xFF00) | (c >> 16 & 0xFF));
  };
  const uint32_t text = rgb(GetSysColor(COLOR_WINDOWTEXT));
  const uint32_t shadow = rgb(GetSysColor(COLOR_BTNSHADOW));
  const uint32_t window = rgb(GetSysColor(COLOR_WINDOW));
  auto* px = static_cast<uint32_t*>(ds.dsBm.bmBits);
  const int n = ds.dsBm.bmWidth * ds.dsBm.bmHeight;
  for (int i = 0; i < n; ++i) {
    const uint32_t p = px[i] & 0xFFFFFF;
    if (p == 0x000000)
      px[i] = text;
    else if (p == 0x808080)
      px[i] = shadow;
    else if (p == 0xFFFFFF)
      px[i] = window;
  }
  GdiFlush();
}

void LoadGlyphs() {
  HINSTANCE inst = GetModuleHandleA(nullptr);
  auto load = [&](const char* name) {
    return To32Bits(static_cast<HBITMAP>(LoadImageA(inst, name, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
  };
  gPlus = load("PlusBmp");
  gMinus = load("MinusBmp");
  gLeaf = load("LeafBmp");
  gFromResources = gPlus && gMinus && gLeaf;
  if (gFromResources)
    for (HBITMAP b : {gPlus, gMinus, gLeaf}) Recolor(b);
  if (!gFromResources) {
    // A program without the bitmaps draws its own.
    FreeGlyphs();
    gPlus = DrawGlyph(TGlyph::Plus);
    gMinus = DrawGlyph(TGlyph::Minus);
    gLeaf = DrawGlyph(TGlyph::Leaf);
  }
}

}  // namespace

void ElTreeUnitStartup() {
  if (gCounter-- != 0) return;
  ++gLoads;
  gOle = LoadLibraryA("OLE32.DLL");
  if (gOle && Screen)
    for (int n = 1; n <= 3; ++n)
      if (HCURSOR c = LoadCursorA(gOle, MAKEINTRESOURCEA(n))) Screen->SetCursors(crElTreeDragCursorBase + n, c);
  LoadGlyphs();
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
  if (gCounter >= 0) return;
  if (gFromResources) {
    for (HBITMAP b : {gPlus, gMinus, gLeaf}) Recolor(b);
    return;
  }
  FreeGlyphs();
  LoadGlyphs();
}

}  // namespace morvane
