// Layout and drawing of UTF-16 text over a device context, with the DT_
// flags of the system's text drawing call: line breaks, word breaking,
// tab expansion, prefix underlines, alignment, ellipses and measuring.
// Text drawing goes through ExtTextOutW line by line; the layout is our own,
// so the same result is had on every system the program runs on.
#pragma once

#include <string>

#include "platform/win32.h"

namespace morvane {

// Lays out and draws (or with DT_CALCRECT measures) Count units of Text in
// Rect; Count -1 means up to the NUL. Returns the height of the text. With
// DT_MODIFYSTRING the shortened text of an ellipsis is written back into
// Text, never more than Count units. Params may be null.
int ElDrawTextExW(HDC DC, const wchar_t* Text, int Count, RECT& Rect, UINT Format, DRAWTEXTPARAMS* Params);
int ElDrawTextW(HDC DC, const wchar_t* Text, int Count, RECT& Rect, UINT Format);
inline int ElDrawTextW(HDC DC, const std::wstring& Text, RECT& Rect, UINT Format) {
  return ElDrawTextW(DC, Text.c_str(), static_cast<int>(Text.size()), Rect, Format);
}

}  // namespace morvane
