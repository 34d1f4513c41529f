// Small helpers of the control family: integers, rectangle centring,
// length-prefixed strings in streams, the keyboard shift state and the
// operating-system flags.
#pragma once

#include <cstdint>
#include <string>

struct tagRECT;

namespace morvane {

class TStream;

inline int Max(int A, int B) { return A > B ? A : B; }
inline int Min(int A, int B) { return A < B ? A : B; }
inline int Sign(int Value) { return Value > 0 ? 1 : (Value < 0 ? -1 : 0); }
inline bool InRange(int Low, int High, int Value) { return Low <= Value && Value <= High; }

// Centres an inner box in an outer one, clipped to it; R's right and bottom
// are inclusive.
void CenterRects(int InnerWidth, int OuterWidth, int InnerHeight, int OuterHeight, tagRECT& R);

// Strings in streams: int32 length (bytes, or UTF-16 code units for wide
// strings), then the characters. The readers give False and leave S as it
// was for a negative length, a length past the end of the stream, or a
// stream that ends early; the writers give False when the stream fails.
bool WriteStringToStream(TStream& Stream, const std::string& S);
bool ReadStringFromStream(TStream& Stream, std::string& S);
bool WriteWideStringToStream(TStream& Stream, const std::wstring& S);
bool ReadWideStringFromStream(TStream& Stream, std::wstring& S);
// As ReadWideStringFromStream, but S is empty after a failed read.
bool ReadWideStringFromStreamOrEmpty(TStream& Stream, std::wstring& S);

// Bit 0 Shift, bit 1 Alt, bit 2 Ctrl: the keys held down now.
uint32_t GetShiftState();

// Set once at start-up from the running system's version.
extern bool IsWinNTFamily;
extern bool IsWin98Up9x;

}  // namespace morvane
