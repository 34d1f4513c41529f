// A 32-bit top-down DIB section: rows run from the top, one uint32_t
// (0x00RRGGBB) per pixel, the pixels writable through Bits.
#pragma once

#include <cstdint>

#include "platform/win32.h"

namespace morvane {

// Null (and Bits null) when the system cannot make it.
HBITMAP NewDibSection32(int Width, int Height, uint32_t*& Bits);

}  // namespace morvane
