// Free drawing routines of the toolkit: colour arithmetic (channels,
// inversion, an integer HLS model and 3-D frame colours from any base
// colour), arrows, transparent blits, 3-D and flat frames, flat painting of a
// window's system scroll bars, alpha fills, the keyboard repeat timings and
// the short part of a wide hint.
#pragma once

#include <cstdint>
#include <string>

#include "controls/eldrawtext.h"
#include "platform/ui/graphics.h"
#include "platform/win32.h"

namespace morvane {

class TComponent;
class TCustomForm;

enum TElBorderSide : uint8_t { ebsLeft = 1, ebsRight = 2, ebsTop = 4, ebsBottom = 8 };
using TElBorderSides = uint8_t;
constexpr TElBorderSides kAllBorderSides = ebsLeft | ebsRight | ebsTop | ebsBottom;

enum TElFlatBorderType : uint8_t {
  fbtFlat, fbtSunken, fbtSunkenInner, fbtSunkenOuter, fbtRaised, fbtRaisedInner, fbtRaisedOuter, fbtBump,
  fbtBigBump, fbtEtched, fbtFramed, fbtLine, fbtLineBorder, fbtNone, fbtColorLineBorder
};

// Colour channels of ColorToRGB(Color).
int GetRValue(TColor Color);
int GetGValue(TColor Color);
int GetBValue(TColor Color);
TColor RGBToColor(int R, int G, int B);
TColor InvertColor(TColor Color);

// HLS, each part 0..252, packed hue | lightness << 8 | saturation << 16.
constexpr int kHLSMax = 252;
uint32_t RGBtoHLS(TColor Color);
TColor HLStoRGB(uint32_t HLS);
constexpr int HLSHue(uint32_t hls) { return hls & 0xFF; }
constexpr int HLSLightness(uint32_t hls) { return (hls >> 8) & 0xFF; }
constexpr int HLSSaturation(uint32_t hls) { return (hls >> 16) & 0xFF; }
constexpr uint32_t MakeHLS(int h, int l, int s) {
  return static_cast<uint32_t>(h & 0xFF) | static_cast<uint32_t>(l & 0xFF) << 8 | static_cast<uint32_t>(s & 0xFF) << 16;
}

// A rectangle of Width x Height centred in R.
RECT CenterRects(int Width, int Height, const RECT& R);

// Fills (X, Y, X + Width, Y + Height).
void FillSolidRect(HDC DC, int X, int Y, int Height, int Width, TColor Color);
void Draw3DSides(HDC DC, int X, int Y, TColor BottomRightColor, TColor TopLeftColor, int Height, int Width,
                 TElBorderSides Sides);
void Draw3DSides(HDC DC, int X, int Y, TColor BottomRightColor, TColor TopLeftColor, int Height, int Width);
void Draw3DFrameColors(HDC DC, const RECT& Rect, TColor OuterTopLeft, bool OnlyOuter, TColor InnerBottomRight,
                       TColor InnerTopLeft, TColor OuterBottomRight);
void DrawButtonFrameEx(HDC DC, const RECT& Rect, bool Deep, bool OnlyOuter, TColor Color, bool Pressed);
void DrawSysColorFrame(HDC DC, const RECT& Rect, int OuterTopLeft, int OuterBottomRight, int InnerTopLeft,
                       int InnerBottomRight);
void DrawScrollButtonFrame(HDC DC, const RECT& Rect, bool Pushed);
// Direction 0 left, 1 up, 2 right, 3 down.
void DrawArrow(TCanvas* Canvas, int Direction, const RECT& Rect, bool Enabled, TColor Color);
void DrawTransparentBitmapEx(HDC DC, HBITMAP Bitmap, int X, int Y, const RECT& SrcRect, TColor TransparentColor);
void DrawTransparentBitmapEx(HDC DC, TBitmap* Bitmap, int X, int Y, const RECT& SrcRect, TColor TransparentColor);
void DrawFlatFrameEx(HDC DC, const RECT& Rect, TColor LineColor, TElFlatBorderType BorderType, TElBorderSides Sides,
                     TColor BackColor);
// Bars: 0 none, 1 horizontal, 2 vertical, 3 both.
void DrawFlatScrollbars(HWND Wnd, HDC DC, const RECT& Rect, DWORD ExStyle, DWORD Style, int Bars, bool Pushed,
                        bool Tracking);
void AlphaFillRect(TCanvas* Canvas, const RECT& Rect, TColor Color, int Alpha);
// SPI_GETKEYBOARDDELAY or SPI_GETKEYBOARDSPEED in milliseconds.
int GetKeybRepeatTiming(UINT Which);
int KeybDelayToMs(int Setting);
int KeybSpeedToMs(int Setting);
TCustomForm* GetOwnerForm(TComponent* Component);
std::wstring GetShortHintW(const std::wstring& Hint);

// The packed wide hint that travels in a control's 8-bit hint: the 8-bit
// text, a NUL, the UTF-16 units, a 16-bit zero and the 16-bit value 0xFFFE.
std::string PackWideHint(const std::wstring& Hint);
// The wide text of a packed hint; false when Hint is a plain 8-bit hint.
bool UnpackWideHint(const std::string& Hint, std::wstring& Wide);

}  // namespace morvane
