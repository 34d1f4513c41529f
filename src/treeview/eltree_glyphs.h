// What every tree of the process shares: the three drag cursors of the
// system's OLE library in the screen's cursor table (20001 to 20003) and
// the expand, collapse and leaf button glyphs.
#pragma once

#include "platform/win32.h"

namespace morvane {

inline constexpr int crElTreeDragCursorBase = 20000;

// Counted: only the first start-up loads, only the matching last end frees.
void ElTreeUnitStartup();
void ElTreeUnitEnd();
// 10 x 10 glyphs; their transparent colour is the pixel at (1, height - 2).
HBITMAP ElTreePlusGlyph();
HBITMAP ElTreeMinusGlyph();
HBITMAP ElTreeLeafGlyph();
// The system colours changed: the glyphs take them again. They are made
// afresh from their three-colour originals, so that every change of the
// colours is followed, not only the first.
void ElTreeRecolorGlyphs();
// The same with given colours for the originals' black (the sign), grey
// 0x808080 (the box) and white (the inside, the transparent colour).
void ElTreeRecolorGlyphs(COLORREF Text, COLORREF Shadow, COLORREF Window);
// Whether the last start-up loaded anything (for tests of the counting).
int ElTreeUnitLoads();

}  // namespace morvane
