#include "controls/elvclutils.h"

#include <algorithm>
#include <vector>

#include "platform/core/sysutils.h"
#include "platform/ui/forms.h"
#include "platform/ui/gdi_handles.h"

namespace morvane {
namespace {

constexpr int kRGBMax = 255;
constexpr int kUndefinedHue = kHLSMax * 2 / 3;  // 168

COLORREF RGBOf(TColor c) { return ColorToRGB(c); }

void Line(HDC dc, int x, int y, int w, int h, COLORREF c) {
  if (w <= 0 || h <= 0) return;
  COLORREF old = ::SetBkColor(dc, c);
  RECT r{x, y, x + w, y + h};
  ::ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &r, nullptr, 0, nullptr);
  ::SetBkColor(dc, old);
}

void FillWith(HDC dc, const RECT& r, int sysIndex, bool frame) {
  HBRUSH b = ::GetSysColorBrush(sysIndex);
  if (frame)
    ::FrameRect(dc, &r, b);
  else
    ::FillRect(dc, &r, b);
}

int HueToValue(int m1, int m2, int hue) {
  if (hue < 0) hue += kHLSMax;
  if (hue > kHLSMax) hue -= kHLSMax;
  if (hue < kHLSMax / 6) return m1 + ((m2 - m1) * hue + kHLSMax / 12) / (kHLSMax / 6);
  if (hue < kHLSMax / 2) return m2;
  if (hue < kHLSMax * 2 / 3) return m1 + ((m2 - m1) * (kHLSMax * 2 / 3 - hue) + kHLSMax / 12) / (kHLSMax / 6);
  return m1;
}

TColor WithLightness(TColor c, int l) {
  uint32_t hls = RGBtoHLS(c);
  return HLStoRGB(MakeHLS(HLSHue(hls), std::clamp(l, 0, kHLSMax), HLSSaturation(hls)));
}

}  // namespace

int GetRValue(TColor Color) { return RGBOf(Color) & 0xFF; }
int GetGValue(TColor Color) { return (RGBOf(Color) >> 8) & 0xFF; }
int GetBValue(TColor Color) { return (RGBOf(Color) >> 16) & 0xFF; }
TColor RGBToColor(int R, int G, int B) { return (R & 0xFF) | (G & 0xFF) << 8 | (B & 0xFF) << 16; }
TColor InvertColor(TColor Color) {
  return RGBToColor(255 - GetRValue(Color), 255 - GetGValue(Color), 255 - GetBValue(Color));
}

uint32_t RGBtoHLS(TColor Color) {
  const int r = GetRValue(Color), g = GetGValue(Color), b = GetBValue(Color);
  const int cMax = std::max({r, g, b}), cMin = std::min({r, g, b});
  const int l = ((cMax + cMin) * kHLSMax + kRGBMax) / (2 * kRGBMax);
  if (cMax == cMin) return MakeHLS(kUndefinedHue, l, 0);
  const int d = cMax - cMin, sum = cMax + cMin;
  int s;
  if (l <= kHLSMax / 2)
    s = (d * kHLSMax + sum / 2) / sum;
  else
    s = (d * kHLSMax + (2 * kRGBMax - sum) / 2) / (2 * kRGBMax - sum);
  const int rd = ((cMax - r) * (kHLSMax / 6) + d / 2) / d;
  const int gd = ((cMax - g) * (kHLSMax / 6) + d / 2) / d;
  const int bd = ((cMax - b) * (kHLSMax / 6) + d / 2) / d;
  int h;
  if (r == cMax)
    h = bd - gd;
  else if (g == cMax)
    h = kHLSMax / 3 + rd - bd;
  else
    h = kHLSMax * 2 / 3 + gd - rd;
  if (h < 0) h += kHLSMax;
  if (h > kHLSMax) h -= kHLSMax;
  return MakeHLS(h, l, s);
}

TColor HLStoRGB(uint32_t HLS) {
  const int h = HLSHue(HLS), l = HLSLightness(HLS), s = HLSSaturation(HLS);
  if (s == 0) {
    int v = l * kRGBMax / kHLSMax;
    return RGBToColor(v, v, v);
  }
  int m2;
  if (l <= kHLSMax / 2)
    m2 = (l * (kHLSMax + s) + kHLSMax / 2) / kHLSMax;
  else
    m2 = l + s - (l * s + kHLSMax / 2) / kHLSMax;
  const int m1 = 2 * l - m2;
  auto channel = [&](int hue) {
    return std::clamp((HueToValue(m1, m2, hue) * kRGBMax + kHLSMax / 2) / kHLSMax, 0, 255);
  };
  return RGBToColor(channel(h + kHLSMax / 3), channel(h), channel(h - kHLSMax / 3));
}

RECT CenterRects(int Width, int Height, const RECT& R) {
  RECT c;
  c.left = R.left + ((R.right - R.left) - Width) / 2;
  c.top = R.top + ((R.bottom - R.top) - Height) / 2;
  c.right = c.left + Width;
  c.bottom = c.top + Height;
  return c;
}

void FillSolidRect(HDC DC, int X, int Y, int Height, int Width, TColor Color) {
  Line(DC, X, Y, Width, Height, RGBOf(Color));
}

void Draw3DSides(HDC DC, int X, int Y, TColor BottomRightColor, TColor TopLeftColor, int Height, int Width,
                 TElBorderSides Sides) {
  const COLORREF tl = RGBOf(TopLeftColor), br = RGBOf(BottomRightColor);
  if (Sides & ebsTop) Line(DC, X, Y, Width - 1, 1, tl);
  if (Sides & ebsLeft) Line(DC, X, Y, 1, Height - 1, tl);
  if (Sides & ebsRight) Line(DC, X + Width - 1, Y, 1, Height, br);
  if (Sides & ebsBottom) Line(DC, X, Y + Height - 1, Width, 1, br);
}

void Draw3DSides(HDC DC, int X, int Y, TColor BottomRightColor, TColor TopLeftColor, int Height, int Width) {
  Draw3DSides(DC, X, Y, BottomRightColor, TopLeftColor, Height, Width, kAllBorderSides);
}

void Draw3DFrameColors(HDC DC, const RECT& Rect, TColor OuterTopLeft, bool OnlyOuter, TColor InnerBottomRight,
                       TColor InnerTopLeft, TColor OuterBottomRight) {
  const int w = Rect.right - Rect.left, h = Rect.bottom - Rect.top;
  Draw3DSides(DC, Rect.left, Rect.top, OuterBottomRight, OuterTopLeft, h, w);
  if (!OnlyOuter) Draw3DSides(DC, Rect.left + 1, Rect.top + 1, InnerBottomRight, InnerTopLeft, h - 2, w - 2);
}

void DrawButtonFrameEx(HDC DC, const RECT& Rect, bool Deep, bool OnlyOuter, TColor Color, bool Pressed) {
  TColor highlight, dark, face, shadow;
  const int l = HLSLightness(RGBtoHLS(Color));
  if (Color == clBtnFace || l == 0) {
    highlight = clBtnHighlight;
    dark = cl3DDkShadow;
    face = Color == clBtnFace ? clBtnFace : Color;
    shadow = clBtnShadow;
  } else {
    highlight = WithLightness(Color, std::min(239, l + l / 3));
    dark = WithLightness(Color, std::min(239, l - l / 2));
    face = Color;
    shadow = WithLightness(Color, std::min(239, l - l / 3));
  }
  TColor otl, obr, itl, ibr;
  if (!Pressed) {
    otl = highlight;
    obr = Deep ? dark : shadow;
    itl = face;
    ibr = Deep ? shadow : face;
  } else {
    otl = Deep ? dark : shadow;
    obr = highlight;
    itl = Deep ? shadow : face;
    ibr = face;
  }
  Draw3DFrameColors(DC, Rect, otl, OnlyOuter, ibr, itl, obr);
}

void DrawSysColorFrame(HDC DC, const RECT& Rect, int OuterTopLeft, int OuterBottomRight, int InnerTopLeft,
                       int InnerBottomRight) {
  Draw3DFrameColors(DC, Rect, SysColor(OuterTopLeft), false, SysColor(InnerBottomRight), SysColor(InnerTopLeft),
                    SysColor(OuterBottomRight));
}

void DrawScrollButtonFrame(HDC DC, const RECT& Rect, bool Pushed) {
  if (!Pushed)
    DrawSysColorFrame(DC, Rect, COLOR_BTNFACE, COLOR_3DDKSHADOW, COLOR_BTNHIGHLIGHT, COLOR_BTNSHADOW);
  else
    DrawSysColorFrame(DC, Rect, COLOR_BTNSHADOW, COLOR_BTNSHADOW, COLOR_BTNFACE, COLOR_BTNFACE);
}

void DrawArrow(TCanvas* Canvas, int Direction, const RECT& Rect, bool Enabled, TColor Color) {
  const int w = Rect.right - Rect.left, h = Rect.bottom - Rect.top;
  const bool horizontal = Direction == 0 || Direction == 2;
  if (horizontal ? (w < 3 || h < 6) : (w < 6 || h < 3)) return;
  const RECT box = horizontal ? CenterRects(4, 7, Rect) : CenterRects(7, 4, Rect);
  const TColor oldPen = Canvas->Pen()->Color();
  HDC dc = Canvas->Handle();
  auto paint = [&](int dx, int dy, TColor c) {
    const COLORREF rgb = ColorToRGB(c);
    for (int k = 0; k < 4; ++k) {
      const int run = 2 * k + 1;  // 1, 3, 5, 7 from the tip
      const int offset = 3 - k;
      switch (Direction) {
        case 0: Line(dc, box.left + k + dx, box.top + offset + dy, 1, run, rgb); break;
        case 2: Line(dc, box.left + 3 - k + dx, box.top + offset + dy, 1, run, rgb); break;
        case 1: Line(dc, box.left + offset + dx, box.top + k + dy, run, 1, rgb); break;
        default: Line(dc, box.left + offset + dx, box.top + 3 - k + dy, run, 1, rgb); break;
      }
    }
  };
  if (Enabled) {
    paint(0, 0, Color);
  } else {
    paint(1, 1, clBtnHighlight);
    paint(0, 0, clBtnShadow);
  }
  Canvas->Pen()->SetColor(oldPen);
}

namespace {

// The blit over a DC that has the source picture selected.
void TransparentBlit(HDC DC, HDC Src, int X, int Y, const RECT& SrcRect, TColor TransparentColor) {
  const int w = SrcRect.right - SrcRect.left, h = SrcRect.bottom - SrcRect.top;
  if (w <= 0 || h <= 0) return;
  TMemoryDC save(DC), back(DC), obj(DC), mem(DC);
  const int oldMap = ::SetMapMode(Src, ::GetMapMode(DC));
  TBitmapHandle backBmp(::CreateBitmap(w, h, 1, 1, nullptr));
  TBitmapHandle objBmp(::CreateBitmap(w, h, 1, 1, nullptr));
  TBitmapHandle memBmp(::CreateCompatibleBitmap(DC, w, h));
  TBitmapHandle saveBmp(::CreateCompatibleBitmap(DC, w, h));
  TSelectObject s1(back.Get(), backBmp.Get()), s2(obj.Get(), objBmp.Get()), s3(mem.Get(), memBmp.Get()),
      s4(save.Get(), saveBmp.Get());
  // Keep the source part; the mask has the transparent pixels white.
  ::BitBlt(save.Get(), 0, 0, w, h, Src, SrcRect.left, SrcRect.top, SRCCOPY);
  COLORREF oldBk = ::SetBkColor(Src, ColorToRGB(TransparentColor));
  ::BitBlt(obj.Get(), 0, 0, w, h, Src, SrcRect.left, SrcRect.top, SRCCOPY);
  ::SetBkColor(Src, oldBk);
  ::BitBlt(back.Get(), 0, 0, w, h, obj.Get(), 0, 0, NOTSRCCOPY);
  ::BitBlt(mem.Get(), 0, 0, w, h, DC, X, Y, SRCCOPY);
  ::BitBlt(mem.Get(), 0, 0, w, h, obj.Get(), 0, 0, SRCAND);
  ::BitBlt(Src, SrcRect.left, SrcRect.top, w, h, back.Get(), 0, 0, SRCAND);
  ::BitBlt(mem.Get(), 0, 0, w, h, Src, SrcRect.left, SrcRect.top, SRCPAINT);
  ::BitBlt(DC, X, Y, w, h, mem.Get(), 0, 0, SRCCOPY);
  ::BitBlt(Src, SrcRect.left, SrcRect.top, w, h, save.Get(), 0, 0, SRCCOPY);
  ::SetMapMode(Src, oldMap);
}

}  // namespace

void DrawTransparentBitmapEx(HDC DC, HBITMAP Bitmap, int X, int Y, const RECT& SrcRect, TColor TransparentColor) {
  if (!Bitmap) return;
  TMemoryDC src(DC);
  TSelectObject sel(src.Get(), Bitmap);
  TransparentBlit(DC, src.Get(), X, Y, SrcRect, TransparentColor);
}

void DrawTransparentBitmapEx(HDC DC, TBitmap* Bitmap, int X, int Y, const RECT& SrcRect, TColor TransparentColor) {
  // The bitmap stays selected in its own canvas: blit from there.
  if (Bitmap && !Bitmap->Empty()) TransparentBlit(DC, Bitmap->Canvas()->Handle(), X, Y, SrcRect, TransparentColor);
}

void DrawFlatFrameEx(HDC DC, const RECT& Rect, TColor LineColor, TElFlatBorderType BorderType, TElBorderSides Sides,
                     TColor BackColor) {
  const bool L = Sides & ebsLeft, T = Sides & ebsTop, R = Sides & ebsRight, B = Sides & ebsBottom;
  RECT rc = Rect;
  const COLORREF line = ColorToRGB(LineColor);
  auto twoLines = [&](COLORREF outerTL, COLORREF outerBR, COLORREF innerTL, COLORREF innerBR) {
    const int l = rc.left, t = rc.top, r = rc.right, b = rc.bottom;
    if (L) Line(DC, l, t, 1, b - t, outerTL);
    if (T) Line(DC, l, t, r - l, 1, outerTL);
    if (R) Line(DC, r - 1, t, 1, b - t, outerBR);
    if (B) Line(DC, l, b - 1, r - l, 1, outerBR);
    if (L) Line(DC, l + 1, t + 1, 1, b - t - 2, innerTL);
    if (T) Line(DC, l + 1, t + 1, r - l - 2, 1, innerTL);
    if (R) Line(DC, r - 2, t + 1, 1, b - t - 2, innerBR);
    if (B) Line(DC, l + 1, b - 2, r - l - 2, 1, innerBR);
  };
  switch (BorderType) {
    case fbtFlat:
      twoLines(::GetSysColor(COLOR_BTNSHADOW), ::GetSysColor(COLOR_BTNHIGHLIGHT), line, line);
      return;
    case fbtLine:
    case fbtLineBorder:
    case fbtNone: {
      twoLines(line, line, line, line);
      const COLORREF frame = ::GetSysColor(COLOR_WINDOWFRAME);
      if (BorderType == fbtLine) {
        if (B) Line(DC, rc.left, rc.bottom - 1, rc.right - rc.left, 1, frame);
      } else if (BorderType == fbtLineBorder) {
        twoLines(frame, frame, line, line);
      }
      return;
    }
    case fbtColorLineBorder: {
      const COLORREF back = ColorToRGB(BackColor);
      twoLines(back, back, line, line);
      return;
    }
    default:
      break;
  }
  static const UINT kEdges[] = {0, EDGE_SUNKEN, BDR_SUNKENINNER, BDR_SUNKENOUTER, EDGE_RAISED, BDR_RAISEDINNER,
                                BDR_RAISEDOUTER, EDGE_BUMP, EDGE_BUMP, EDGE_ETCHED, EDGE_BUMP};
  UINT flags = BF_ADJUST;
  if (L) flags |= BF_LEFT;
  if (T) flags |= BF_TOP;
  if (R) flags |= BF_RIGHT;
  if (B) flags |= BF_BOTTOM;
  ::DrawEdge(DC, &rc, kEdges[BorderType], flags);
  const int l = rc.left, t = rc.top, r = rc.right, b = rc.bottom;
  auto fill = [&](int x1, int y1, int x2, int y2, int sys) { FillWith(DC, RECT{x1, y1, x2, y2}, sys, false); };
  auto frame = [&](int x1, int y1, int x2, int y2, int sys) { FillWith(DC, RECT{x1, y1, x2, y2}, sys, true); };
  switch (BorderType) {
    case fbtSunkenInner:
      if (L) frame(l, t, l + 1, b, COLOR_BTNFACE);
      if (T) frame(l, t, r, t + 1, COLOR_BTNFACE);
      if (R) fill(r - 1, t, r, b, COLOR_BTNFACE), fill(r, t - 1, r + 1, b + 1, COLOR_BTNFACE);
      if (B) fill(l, b - 1, r, b, COLOR_BTNFACE), fill(l - 1, b, r + 1, b + 1, COLOR_BTNFACE);
      break;
    case fbtSunkenOuter:
      if (L) frame(l, t, l + 1, b - 1, COLOR_BTNFACE);
      if (T) frame(l, t, r - 1, t + 1, COLOR_BTNFACE);
      if (R) fill(r - 1, t, r, b, COLOR_BTNFACE), fill(r, t - 1, r + 1, b + 1, COLOR_WINDOW);
      if (B) fill(l, b - 1, r, b, COLOR_BTNFACE), fill(l - 1, b, r + 1, b + 1, COLOR_WINDOW);
      break;
    case fbtRaised: {
      const COLORREF sh = ::GetSysColor(COLOR_BTNSHADOW), hi = ::GetSysColor(COLOR_BTNHIGHLIGHT);
      if (L) Line(DC, l, t, 1, b - t, sh), Line(DC, l + 1, t + 1, 1, b - t - 2, line);
      if (T) Line(DC, l, t, r - l, 1, sh), Line(DC, l + 1, t + 1, r - l - 2, 1, line);
      if (R) Line(DC, r - 1, t, 1, b - t, hi), Line(DC, r - 2, t + 1, 1, b - t - 2, line);
      if (B) Line(DC, l, b - 1, r - l, 1, hi), Line(DC, l + 1, b - 2, r - l - 2, 1, line);
      break;
    }
    case fbtRaisedInner:
      if (L) frame(l, t, l + 1, b, COLOR_BTNFACE);
      if (T) frame(l, t, r, t + 1, COLOR_BTNFACE);
      if (R) fill(r - 1, t, r, b, COLOR_BTNFACE);
      if (B) fill(l, b - 1, r, b, COLOR_BTNFACE);
      break;
    case fbtRaisedOuter:
      if (L) fill(l, t, l + 1, b, COLOR_BTNFACE);
      if (T) fill(l, t, r, t + 1, COLOR_BTNFACE);
      if (R) fill(r - 1, t, r, b, COLOR_BTNFACE), fill(r, t - 1, r + 1, b + 1, COLOR_BTNSHADOW);
      if (B) fill(l, b - 1, r, b, COLOR_BTNFACE), fill(l - 1, b, r + 1, b + 1, COLOR_BTNSHADOW);
      break;
    case fbtBump:
    case fbtBigBump:
      if (L) fill(l - 1, t - 1, l, b, COLOR_BTNSHADOW);
      if (T) fill(l, t - 1, r, t, COLOR_BTNSHADOW);
      // The right side matches the left: a shadow line just outside.
      if (R) fill(r, t - 1, r + 1, b, COLOR_BTNSHADOW);
      if (B) fill(l - 2, b + 1, r + 2, b + 2, COLOR_BTNSHADOW);
      if (BorderType == fbtBigBump) {
        if (L) fill(l - 2, t - 2, l - 1, b + 1, COLOR_WINDOW);
        if (T) fill(l - 2, t - 2, r + 1, t - 1, COLOR_WINDOW);
        if (R) fill(r + 1, t - 2, r + 2, b + 1, COLOR_WINDOW);
        if (B) fill(l - 2, b, r + 1, b + 1, COLOR_WINDOW);
      }
      break;
    case fbtEtched:
      if (L && T) fill(l - 1, t - 1, r, t, COLOR_BTNFACE);
      if (T && !L) fill(l, t - 1, r, t, COLOR_BTNFACE);
      break;
    case fbtFramed:
      if (L) frame(l - 1, t, l, b, COLOR_BTNFACE);
      if (T) frame(l - 2, t - 1, r + 1, t, COLOR_BTNFACE);
      if (R) frame(r + 1, t - 2, r + 2, b + 2, COLOR_BTNSHADOW);
      if (B) frame(l - 2, b + 1, r + 2, b + 2, COLOR_BTNSHADOW);
      break;
    default:
      break;
  }
}

void DrawFlatScrollbars(HWND Wnd, HDC DC, const RECT& Rect, DWORD ExStyle, DWORD Style, int Bars, bool Pushed,
                        bool Tracking) {
  int border = 0;
  if (Style & WS_BORDER)
    border = ::GetSystemMetrics(SM_CXBORDER);
  else if (ExStyle & WS_EX_CLIENTEDGE)
    border = ::GetSystemMetrics(SM_CXEDGE);
  const int bw = ::GetSystemMetrics(SM_CXVSCROLL), bh = ::GetSystemMetrics(SM_CYHSCROLL);
  const bool hasV = (Style & WS_VSCROLL) != 0, hasH = (Style & WS_HSCROLL) != 0;
  RECT inner = Rect;
  ::InflateRect(&inner, -border, -border);
  if (hasV && hasH) {
    RECT grip{inner.right - bw, inner.bottom - bh, inner.right, inner.bottom};
    ::FillRect(DC, &grip, ::GetSysColorBrush(COLOR_BTNFACE));
  }
  auto bar = [&](bool vertical) {
    RECT r = vertical ? RECT{inner.right - bw, inner.top, inner.right, inner.bottom - (hasH ? bh : 0)}
                      : RECT{inner.left, inner.bottom - bh, inner.right - (hasV ? bw : 0), inner.bottom};
    if (r.right <= r.left || r.bottom <= r.top) return;  // no room for it
    const int len = vertical ? r.bottom - r.top : r.right - r.left;
    int button = vertical ? ::GetSystemMetrics(SM_CYVSCROLL) : ::GetSystemMetrics(SM_CXHSCROLL);
    if (len < 2 * button) button = len / 2;
    ::FillRect(DC, &r, ::GetSysColorBrush(COLOR_SCROLLBAR));
    RECT b1 = r, b2 = r;
    if (vertical) {
      b1.bottom = b1.top + button;
      b2.top = b2.bottom - button;
    } else {
      b1.right = b1.left + button;
      b2.left = b2.right - button;
    }
    ::FillRect(DC, &b1, ::GetSysColorBrush(COLOR_BTNFACE));
    ::FillRect(DC, &b2, ::GetSysColorBrush(COLOR_BTNFACE));
    DrawScrollButtonFrame(DC, b1, Pushed);
    DrawScrollButtonFrame(DC, b2, Pushed);
    SCROLLINFO si{sizeof si, SIF_ALL};
    if (!Wnd || !::GetScrollInfo(Wnd, vertical ? SB_VERT : SB_HORZ, &si)) return;
    const int track = len - 2 * button;
    const int range = si.nMax - si.nMin + 1;
    if (track <= 0 || range <= 0) return;
    int thumb = si.nPage ? std::max(::MulDiv(static_cast<int>(si.nPage), track, range), 8)
                         : ::GetSystemMetrics(vertical ? SM_CYVTHUMB : SM_CXHTHUMB);
    if (thumb > track) return;
    const int pos = Tracking ? si.nTrackPos : si.nPos;
    const int span = range - static_cast<int>(si.nPage);
    // A page as large as the range leaves no room to move: the thumb stays
    // at the start instead of MulDiv's -1 pushing it into the arrow button.
    const int offset = span > 0 ? std::clamp(::MulDiv(pos - si.nMin, track - thumb, span), 0, track - thumb) : 0;
    RECT t = r;
    if (vertical) {
      t.top = r.top + button + offset;
      t.bottom = t.top + thumb;
    } else {
      t.left = r.left + button + offset;
      t.right = t.left + thumb;
    }
    ::FillRect(DC, &t, ::GetSysColorBrush(COLOR_BTNFACE));
    DrawScrollButtonFrame(DC, t, false);
  };
  if ((Bars & 2) && hasV) bar(true);
  if ((Bars & 1) && hasH) bar(false);
}

void AlphaFillRect(TCanvas* Canvas, const RECT& Rect, TColor Color, int Alpha) {
  HDC dc = Canvas->Handle();
  const COLORREF c = ColorToRGB(Color);
  const int a = std::clamp(Alpha, 0, 255);
  auto mix = [a](int p, int q) { return ((256 - a) * p + a * q) >> 8; };
  for (int y = Rect.top; y < Rect.bottom; ++y)
    for (int x = Rect.left; x < Rect.right; ++x) {
      COLORREF p = ::GetPixel(dc, x, y);
      if (p == CLR_INVALID) continue;
      ::SetPixelV(dc, x, y,
                  RGB(mix(p & 0xFF, c & 0xFF), mix((p >> 8) & 0xFF, (c >> 8) & 0xFF),
                      mix((p >> 16) & 0xFF, (c >> 16) & 0xFF)));
    }
}

int KeybDelayToMs(int Setting) { return Setting * 250 + 250; }
int KeybSpeedToMs(int Setting) { return 1000 / (Setting + 1); }

int GetKeybRepeatTiming(UINT Which) {
  int v = 0;
  ::SystemParametersInfoA(Which, 0, &v, 0);
  return Which == SPI_GETKEYBOARDDELAY ? KeybDelayToMs(v) : KeybSpeedToMs(v);
}

TCustomForm* GetOwnerForm(TComponent* Component) {
  for (TComponent* c = Component; c; c = c->Owner())
    if (auto* f = dynamic_cast<TCustomForm*>(c)) return f;
  return nullptr;
}

std::wstring GetShortHintW(const std::wstring& Hint) {
  size_t bar = Hint.find(L'|');
  return bar == std::wstring::npos ? Hint : Hint.substr(0, bar);
}

std::string PackWideHint(const std::wstring& Hint) {
  std::string s = WideToAnsi(Hint);
  s.push_back('\0');
  for (wchar_t c : Hint) {
    s.push_back(static_cast<char>(c & 0xFF));
    s.push_back(static_cast<char>((c >> 8) & 0xFF));
  }
  s.append("\0\0\xFE\xFF", 4);
  return s;
}

bool UnpackWideHint(const std::string& Hint, std::wstring& Wide) {
  const size_t n = Hint.size();
  if (n < 5 || static_cast<unsigned char>(Hint[n - 2]) != 0xFE || static_cast<unsigned char>(Hint[n - 1]) != 0xFF ||
      Hint[n - 3] != 0 || Hint[n - 4] != 0)
    return false;
  const size_t nul = Hint.find('\0');
  if (nul == std::string::npos || nul + 5 > n || (n - nul - 5) % 2 != 0) return false;
  Wide.clear();
  for (size_t i = nul + 1; i + 1 < n - 4; i += 2)
    Wide.push_back(static_cast<wchar_t>(static_cast<unsigned char>(Hint[i]) |
                                        static_cast<unsigned char>(Hint[i + 1]) << 8));
  return true;
}

}  // namespace morvane
