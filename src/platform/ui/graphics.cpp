#include "platform/ui/graphics.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "platform/core/exceptions.h"

namespace morvane {

COLORREF ColorToRGB(TColor Color) {
  if (Color < 0) return GetSysColor(static_cast<int>(static_cast<uint32_t>(Color) & 0xFF));
  return static_cast<COLORREF>(Color) & 0x00FFFFFF;
}

void TGraphicsObject::Changed() {
  if (OwnerChanged) OwnerChanged();
  if (OnChange) OnChange(this);
}

// TFont -----------------------------------------------------------------------

namespace {
int ScreenPixelsPerInch() {
  static int ppi = [] {
    HDC dc = GetDC(nullptr);
    int v = dc ? GetDeviceCaps(dc, LOGPIXELSY) : 96;
    if (dc) ReleaseDC(nullptr, dc);
    return v > 0 ? v : 96;
  }();
  return ppi;
}
}  // namespace

TFont::TFont() : ppi_(ScreenPixelsPerInch()) { height_ = -MulDiv(8, ppi_, 72); }

void TFont::Modified() {
  handle_.Reset();
  Changed();
}

void TFont::Assign(TPersistent* Source) {
  if (auto* f = dynamic_cast<TFont*>(Source)) {
    if (f == this) return;
    if (Equals(*f)) return;
    name_ = f->name_;
    height_ = f->height_;
    style_ = f->style_;
    color_ = f->color_;
    charset_ = f->charset_;
    pitch_ = f->pitch_;
    Modified();
    return;
  }
  TPersistent::Assign(Source);
}

bool TFont::Equals(const TFont& o) const {
  return name_ == o.name_ && height_ == o.height_ && style_ == o.style_ && color_ == o.color_ &&
         charset_ == o.charset_ && pitch_ == o.pitch_;
}

HFONT TFont::Handle() {
  if (!handle_) {
    LOGFONTA lf{};
    lf.lfHeight = height_;
    lf.lfWeight = (style_ & fsBold) ? FW_BOLD : FW_NORMAL;
    lf.lfItalic = (style_ & fsItalic) ? 1 : 0;
    lf.lfUnderline = (style_ & fsUnderline) ? 1 : 0;
    lf.lfStrikeOut = (style_ & fsStrikeOut) ? 1 : 0;
    lf.lfCharSet = static_cast<BYTE>(charset_);
    lf.lfOutPrecision = OUT_DEFAULT_PRECIS;
    lf.lfClipPrecision = CLIP_DEFAULT_PRECIS;
    lf.lfQuality = DEFAULT_QUALITY;
    lf.lfPitchAndFamily = pitch_ == TFontPitch::fpFixed ? FIXED_PITCH
                          : pitch_ == TFontPitch::fpVariable ? VARIABLE_PITCH : DEFAULT_PITCH;
    lstrcpynA(lf.lfFaceName, name_.c_str(), LF_FACESIZE);
    handle_.Reset(CreateFontIndirectA(&lf));
  }
  return handle_.Get();
}

void TFont::SetHandle(HFONT Value) {
  LOGFONTA lf{};
  if (!Value || !GetObjectA(Value, sizeof(lf), &lf)) return;
  name_ = lf.lfFaceName;
  height_ = lf.lfHeight;
  style_ = static_cast<TFontStyles>((lf.lfWeight >= FW_BOLD ? fsBold : 0) | (lf.lfItalic ? fsItalic : 0) |
                                    (lf.lfUnderline ? fsUnderline : 0) | (lf.lfStrikeOut ? fsStrikeOut : 0));
  charset_ = lf.lfCharSet;
  Modified();
}

void TFont::SetName(const std::string& v) {
  if (v == name_ || v.empty()) return;
  name_ = v;
  Modified();
}
int TFont::Size() const { return -MulDiv(height_, 72, ppi_); }
void TFont::SetSize(int v) { SetHeight(-MulDiv(v, ppi_, 72)); }
void TFont::SetHeight(int v) {
  if (v == height_) return;
  height_ = v;
  Modified();
}
void TFont::SetStyle(TFontStyles v) {
  if (v == style_) return;
  style_ = v;
  Modified();
}
void TFont::SetColor(TColor v) {
  if (v == color_) return;
  color_ = v;
  Changed();  // the handle does not depend on the colour
}
void TFont::SetCharset(int v) {
  if (v == charset_) return;
  charset_ = v;
  Modified();
}
void TFont::SetPitch(TFontPitch v) {
  if (v == pitch_) return;
  pitch_ = v;
  Modified();
}

// TPen -----------------------------------------------------------------------

void TPen::Modified() {
  handle_.Reset();
  Changed();
}
void TPen::Assign(TPersistent* Source) {
  if (auto* p = dynamic_cast<TPen*>(Source)) {
    color_ = p->color_;
    width_ = p->width_;
    style_ = p->style_;
    mode_ = p->mode_;
    Modified();
    return;
  }
  TPersistent::Assign(Source);
}
HPEN TPen::Handle() {
  if (!handle_) {
    static const int styles[] = {PS_SOLID, PS_DASH, PS_DOT, PS_DASHDOT, PS_DASHDOTDOT, PS_NULL, PS_INSIDEFRAME};
    handle_.Reset(CreatePen(styles[static_cast<int>(style_)], width_, ColorToRGB(color_)));
  }
  return handle_.Get();
}
void TPen::SetColor(TColor v) {
  if (v == color_) return;
  color_ = v;
  Modified();
}
void TPen::SetWidth(int v) {
  if (v == width_ || v < 0) return;
  width_ = v;
  Modified();
}
void TPen::SetStyle(TPenStyle v) {
  if (v == style_) return;
  style_ = v;
  Modified();
}
void TPen::SetMode(TPenMode v) {
  if (v == mode_) return;
  mode_ = v;
  Changed();
}

// TBrush ---------------------------------------------------------------------

TBrush::TBrush() = default;
TBrush::~TBrush() = default;
void TBrush::Modified() {
  handle_.Reset();
  Changed();
}
void TBrush::Assign(TPersistent* Source) {
  if (auto* b = dynamic_cast<TBrush*>(Source)) {
    color_ = b->color_;
    style_ = b->style_;
    SetBitmap(b->bitmap_.get());
    Modified();
    return;
  }
  TPersistent::Assign(Source);
}
HBRUSH TBrush::Handle() {
  if (!handle_) {
    LOGBRUSH lb{};
    if (bitmap_ && !bitmap_->Empty()) {
      handle_.Reset(CreatePatternBrush(bitmap_->Handle()));
    } else {
      lb.lbColor = ColorToRGB(color_);
      switch (style_) {
        case TBrushStyle::bsSolid: lb.lbStyle = BS_SOLID; break;
        case TBrushStyle::bsClear: lb.lbStyle = BS_HOLLOW; break;
        default:
          lb.lbStyle = BS_HATCHED;
          lb.lbHatch = static_cast<ULONG_PTR>(static_cast<int>(style_) - 2);
      }
      handle_.Reset(CreateBrushIndirect(&lb));
    }
  }
  return handle_.Get();
}
void TBrush::SetColor(TColor v) {
  if (v == color_) return;
  color_ = v;
  if (style_ == TBrushStyle::bsClear) style_ = TBrushStyle::bsSolid;
  Modified();
}
void TBrush::SetStyle(TBrushStyle v) {
  if (v == style_) return;
  style_ = v;
  Modified();
}
void TBrush::SetBitmap(TBitmap* v) {
  if (v == bitmap_.get()) return;
  if (v) {
    auto copy = std::make_unique<TBitmap>();
    copy->Assign(v);
    bitmap_ = std::move(copy);
  } else {
    bitmap_.reset();
  }
  Modified();
}

// TCanvas --------------------------------------------------------------------

TCanvas::TCanvas() {
  font_.OwnerChanged = [this] { state_ &= ~csFontValid; };
  pen_.OwnerChanged = [this] { state_ &= ~csPenValid; };
  brush_.OwnerChanged = [this] { state_ &= ~csBrushValid; };
}

TCanvas::~TCanvas() {
  // The DC belongs to whoever gave it; only our selections are undone.
  DeselectHandles();
}

HDC TCanvas::Handle() {
  RequiredState(csHandleValid);
  return dc_;
}

void TCanvas::SetHandle(HDC Value) {
  if (Value == dc_) return;
  DeselectHandles();
  dc_ = Value;
  state_ = Value ? csHandleValid : 0;
}

void TCanvas::DeselectHandles() {
  if (dc_ && (state_ & (csFontValid | csPenValid | csBrushValid))) {
    if (oldFont_) SelectObject(dc_, oldFont_);
    if (oldPen_) SelectObject(dc_, oldPen_);
    if (oldBrush_) SelectObject(dc_, oldBrush_);
  }
  oldFont_ = oldPen_ = oldBrush_ = nullptr;
  state_ &= csHandleValid;
}

void TCanvas::ApplyFont() {
  HGDIOBJ old = SelectObject(dc_, font_.Handle());
  if (!oldFont_) oldFont_ = old;
  SetTextColor(dc_, ColorToRGB(font_.Color()));
}

void TCanvas::ApplyPen() {
  HGDIOBJ old = SelectObject(dc_, pen_.Handle());
  if (!oldPen_) oldPen_ = old;
  static const int rops[] = {R2_BLACK, R2_WHITE, R2_NOP, R2_NOT, R2_COPYPEN, R2_NOTCOPYPEN, R2_MERGEPENNOT,
                             R2_MASKPENNOT, R2_MERGENOTPEN, R2_MASKNOTPEN, R2_MERGEPEN, R2_NOTMERGEPEN,
                             R2_MASKPEN, R2_NOTMASKPEN, R2_XORPEN, R2_NOTXORPEN};
  SetROP2(dc_, rops[static_cast<int>(pen_.Mode())]);
}

void TCanvas::ApplyBrush() {
  UnrealizeObject(brush_.Handle());
  HGDIOBJ old = SelectObject(dc_, brush_.Handle());
  if (!oldBrush_) oldBrush_ = old;
  if (brush_.Style() == TBrushStyle::bsSolid) {
    SetBkColor(dc_, ColorToRGB(brush_.Color()));
    SetBkMode(dc_, OPAQUE);
  } else {
    SetBkColor(dc_, ~ColorToRGB(brush_.Color()) & 0xFFFFFF);
    SetBkMode(dc_, TRANSPARENT);
  }
}

void TCanvas::RequiredState(uint8_t req) {
  uint8_t need = static_cast<uint8_t>(req & ~state_);
  if (!need) return;
  if ((need & csHandleValid) || !dc_) {
    CreateHandle();
    if (!dc_) throw EInvalidOperation("Canvas does not allow drawing");
    state_ |= csHandleValid;
  }
  if (need & csFontValid) ApplyFont();
  if (need & csPenValid) ApplyPen();
  if (need & csBrushValid) ApplyBrush();
  state_ |= need;
}

void TCanvas::Changing() {
  if (OnChanging) OnChanging(this);
}
void TCanvas::Changed() {
  if (OnChange) OnChange(this);
}

POINT TCanvas::PenPos() {
  RequiredState(csHandleValid);
  POINT p{};
  GetCurrentPositionEx(dc_, &p);
  return p;
}

void TCanvas::FillRect(const RECT& r) {
  Changing();
  RequiredState(csHandleValid | csBrushValid);
  ::FillRect(dc_, &r, brush_.Handle());
  Changed();
}

void TCanvas::FrameRect(const RECT& r) {
  Changing();
  RequiredState(csHandleValid | csBrushValid);
  ::FrameRect(dc_, &r, brush_.Handle());
  Changed();
}

void TCanvas::Rectangle(int x1, int y1, int x2, int y2) {
  Changing();
  RequiredState(csHandleValid | csPenValid | csBrushValid);
  ::Rectangle(dc_, x1, y1, x2, y2);
  Changed();
}

void TCanvas::Ellipse(int x1, int y1, int x2, int y2) {
  Changing();
  RequiredState(csHandleValid | csPenValid | csBrushValid);
  ::Ellipse(dc_, x1, y1, x2, y2);
  Changed();
}

void TCanvas::RoundRect(int x1, int y1, int x2, int y2, int x3, int y3) {
  Changing();
  RequiredState(csHandleValid | csPenValid | csBrushValid);
  ::RoundRect(dc_, x1, y1, x2, y2, x3, y3);
  Changed();
}

void TCanvas::Polygon(const POINT* points, int count) {
  if (count <= 0) return;
  Changing();
  RequiredState(csHandleValid | csPenValid | csBrushValid);
  ::Polygon(dc_, points, count);
  Changed();
}

void TCanvas::Polyline(const POINT* points, int count) {
  if (count <= 0) return;
  Changing();
  RequiredState(csHandleValid | csPenValid | csBrushValid);
  ::Polyline(dc_, points, count);
  Changed();
}

void TCanvas::MoveTo(int x, int y) {
  RequiredState(csHandleValid);
  MoveToEx(dc_, x, y, nullptr);
}

void TCanvas::LineTo(int x, int y) {
  Changing();
  RequiredState(csHandleValid | csPenValid | csBrushValid);
  ::LineTo(dc_, x, y);
  Changed();
}

TColor TCanvas::Pixels(int x, int y) {
  RequiredState(csHandleValid);
  COLORREF c = GetPixel(dc_, x, y);
  return c == CLR_INVALID ? static_cast<TColor>(-1) : static_cast<TColor>(c);
}

void TCanvas::SetPixels(int x, int y, TColor c) {
  Changing();
  RequiredState(csHandleValid | csPenValid);
  SetPixel(dc_, x, y, ColorToRGB(c));
  Changed();
}

void TCanvas::TextOut(int x, int y, const std::string& text) {
  Changing();
  RequiredState(csHandleValid | csFontValid | csBrushValid);
  UINT opts = brush_.Style() == TBrushStyle::bsClear ? 0 : ETO_OPAQUE;
  ExtTextOutA(dc_, x, y, opts, nullptr, text.data(), static_cast<UINT>(text.size()), nullptr);
  MoveToEx(dc_, x + TextExtent(text).cx, y, nullptr);
  Changed();
}

void TCanvas::TextOutW(int x, int y, const std::wstring& text) {
  Changing();
  RequiredState(csHandleValid | csFontValid | csBrushValid);
  UINT opts = brush_.Style() == TBrushStyle::bsClear ? 0 : ETO_OPAQUE;
  ExtTextOutW(dc_, x, y, opts, nullptr, text.data(), static_cast<UINT>(text.size()), nullptr);
  Changed();
}

void TCanvas::TextRect(const RECT& r, int x, int y, const std::string& text) {
  Changing();
  RequiredState(csHandleValid | csFontValid | csBrushValid);
  UINT opts = ETO_CLIPPED | (brush_.Style() == TBrushStyle::bsClear ? 0 : ETO_OPAQUE);
  ExtTextOutA(dc_, x, y, opts, &r, text.data(), static_cast<UINT>(text.size()), nullptr);
  Changed();
}

SIZE TCanvas::TextExtent(const std::string& text) {
  RequiredState(csHandleValid | csFontValid);
  SIZE s{};
  GetTextExtentPoint32A(dc_, text.data(), static_cast<int>(text.size()), &s);
  return s;
}

SIZE TCanvas::TextExtentW(const std::wstring& text) {
  RequiredState(csHandleValid | csFontValid);
  SIZE s{};
  GetTextExtentPoint32W(dc_, text.data(), static_cast<int>(text.size()), &s);
  return s;
}

void TCanvas::Draw(int x, int y, TGraphic* graphic) {
  if (!graphic || graphic->Empty()) return;
  RECT r{x, y, x + graphic->Width(), y + graphic->Height()};
  StretchDraw(r, graphic);
}

void TCanvas::StretchDraw(const RECT& r, TGraphic* graphic) {
  if (!graphic || graphic->Empty()) return;
  Changing();
  RequiredState(csHandleValid);
  graphic->Draw(this, r);
  Changed();
}

void TCanvas::CopyRect(const RECT& dest, TCanvas* source, const RECT& src) {
  if (!source) return;
  Changing();
  RequiredState(csHandleValid | csFontValid | csBrushValid);
  HDC sdc = source->Handle();
  StretchBlt(dc_, dest.left, dest.top, dest.right - dest.left, dest.bottom - dest.top, sdc, src.left, src.top,
             src.right - src.left, src.bottom - src.top, copyMode_);
  Changed();
}

void TCanvas::BrushCopy(const RECT& dest, TBitmap* bitmap, const RECT& src, TColor Transparent) {
  if (!bitmap || bitmap->Empty()) return;
  Changing();
  RequiredState(csHandleValid | csBrushValid);
  const int dw = dest.right - dest.left, dh = dest.bottom - dest.top;
  const int sw = src.right - src.left, sh = src.bottom - src.top;
  if (dw <= 0 || dh <= 0 || sw <= 0 || sh <= 0) return;
  HDC sdc = bitmap->Canvas()->Handle();
  // A mask that is white where the picture has the transparent colour.
  TMemoryDC maskDC(dc_);
  TBitmapHandle mask(CreateBitmap(sw, sh, 1, 1, nullptr));
  {
    TSelectObject sel(maskDC.Get(), mask.Get());
    COLORREF oldBk = SetBkColor(sdc, ColorToRGB(Transparent));
    BitBlt(maskDC.Get(), 0, 0, sw, sh, sdc, src.left, src.top, SRCCOPY);
    SetBkColor(sdc, oldBk);
  }
  // The picture with black in the transparent places, then the destination
  // masked and the two combined.
  TMemoryDC picDC(dc_);
  TBitmapHandle pic(CreateCompatibleBitmap(dc_, sw, sh));
  TSelectObject selPic(picDC.Get(), pic.Get());
  BitBlt(picDC.Get(), 0, 0, sw, sh, sdc, src.left, src.top, SRCCOPY);
  {
    TSelectObject sel(maskDC.Get(), mask.Get());
    COLORREF ob = SetBkColor(picDC.Get(), RGB(255, 255, 255));
    COLORREF ot = SetTextColor(picDC.Get(), RGB(0, 0, 0));
    BitBlt(picDC.Get(), 0, 0, sw, sh, maskDC.Get(), 0, 0, 0x00220326);  // DSna: picture and not mask
    SetBkColor(picDC.Get(), ob);
    SetTextColor(picDC.Get(), ot);
    COLORREF ob2 = SetBkColor(dc_, RGB(255, 255, 255));
    COLORREF ot2 = SetTextColor(dc_, RGB(0, 0, 0));
    StretchBlt(dc_, dest.left, dest.top, dw, dh, maskDC.Get(), 0, 0, sw, sh, SRCAND);
    SetBkColor(dc_, ob2);
    SetTextColor(dc_, ot2);
  }
  StretchBlt(dc_, dest.left, dest.top, dw, dh, picDC.Get(), 0, 0, sw, sh, SRCPAINT);
  // The canvas's own colours were disturbed above.
  state_ &= ~(csBrushValid | csFontValid);
  Changed();
}

void TCanvas::DrawFocusRect(const RECT& r) {
  Changing();
  RequiredState(csHandleValid | csBrushValid);
  ::DrawFocusRect(dc_, &r);
  Changed();
}

RECT TCanvas::ClipRect() {
  RequiredState(csHandleValid);
  RECT r{};
  GetClipBox(dc_, &r);
  return r;
}

void TCanvas::Lock() {
  lock_.lock();
  ++lockCount_;
}
void TCanvas::Unlock() {
  --lockCount_;
  lock_.unlock();
}
bool TCanvas::TryLock() {
  if (!lock_.try_lock()) return false;
  ++lockCount_;
  return true;
}

// TGraphic / TBitmap ---------------------------------------------------------

void TGraphic::Changed() {
  if (OnChange) OnChange(this);
}
void TGraphic::SetTransparent(bool v) {
  if (v == transparent_) return;
  transparent_ = v;
  Changed();
}

// The canvas of a bitmap: a memory DC with the bitmap selected while it is needed.
class TBitmapCanvas : public TCanvas {
 public:
  explicit TBitmapCanvas(TBitmap* b) : bitmap_(b) {}
  ~TBitmapCanvas() override { Free(); }
  void Free() {
    if (!dc_.Get()) return;
    HDC dc = dc_.Get();
    SetHandle(nullptr);
    if (oldBmp_) SelectObject(dc, oldBmp_);
    oldBmp_ = nullptr;
    dc_.Reset();
  }

 protected:
  void CreateHandle() override {
    if (dc_.Get()) return;
    dc_ = TMemoryDC(nullptr);
    HBITMAP h = bitmap_->Handle();
    oldBmp_ = h ? SelectObject(dc_.Get(), h) : nullptr;
    SetHandle(dc_.Get());
  }

 private:
  TBitmap* bitmap_;
  TMemoryDC dc_;
  HGDIOBJ oldBmp_ = nullptr;
};

TBitmap::TBitmap() = default;
TBitmap::TBitmap(int w, int h) { SetSize(w, h); }
TBitmap::~TBitmap() { DetachCanvas(); }

void TBitmap::DetachCanvas() {
  if (canvas_) canvas_->Free();
}

HBITMAP TBitmap::Create(int w, int h, TPixelFormat pf, void** bits) {
  *bits = nullptr;
  if (w <= 0 || h <= 0) return nullptr;
  if (pf == TPixelFormat::pf1bit) return CreateBitmap(w, h, 1, 1, nullptr);
  if (pf == TPixelFormat::pfDevice) {
    TWindowDC screen(nullptr);
    return CreateCompatibleBitmap(screen.Get(), w, h);
  }
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
  bi.bmiHeader.biWidth = w;
  bi.bmiHeader.biHeight = -h;
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = pf == TPixelFormat::pf32bit ? 32 : pf == TPixelFormat::pf24bit ? 24
                            : pf == TPixelFormat::pf8bit ? 8 : 4;
  bi.bmiHeader.biCompression = BI_RGB;
  std::vector<unsigned char> buf;
  BITMAPINFO* pbi = &bi;
  if (bi.bmiHeader.biBitCount <= 8) {
    // A grey ramp for the palette formats; nothing here draws in them.
    int n = 1 << bi.bmiHeader.biBitCount;
    buf.resize(sizeof(BITMAPINFOHEADER) + n * sizeof(RGBQUAD));
    std::memcpy(buf.data(), &bi.bmiHeader, sizeof(BITMAPINFOHEADER));
    auto* q = reinterpret_cast<RGBQUAD*>(buf.data() + sizeof(BITMAPINFOHEADER));
    for (int i = 0; i < n; ++i) q[i].rgbRed = q[i].rgbGreen = q[i].rgbBlue = static_cast<BYTE>(i * 255 / (n - 1));
    pbi = reinterpret_cast<BITMAPINFO*>(buf.data());
  }
  return CreateDIBSection(nullptr, pbi, DIB_RGB_COLORS, bits, nullptr, 0);
}

void TBitmap::Replace(HBITMAP h, int w, int hh, TPixelFormat pf) {
  DetachCanvas();
  handle_.Reset(h);
  width_ = h ? w : 0;
  height_ = h ? hh : 0;
  pixelFormat_ = pf;
  DIBSECTION ds{};
  bits_ = (h && GetObjectA(h, sizeof(ds), &ds) == sizeof(ds)) ? ds.dsBm.bmBits : nullptr;
  Changed();
}

void TBitmap::SetSize(int w, int h) {
  if (w < 0) w = 0;
  if (h < 0) h = 0;
  if (w == width_ && h == height_) return;
  void* bits = nullptr;
  HBITMAP nb = Create(w, h, pixelFormat_, &bits);
  if (nb && handle_) {
    // Keep what fits of the old picture.
    TMemoryDC a(nullptr), b(nullptr);
    TSelectObject sa(a.Get(), nb);
    PatBlt(a.Get(), 0, 0, w, h, WHITENESS);
    DetachCanvas();
    TSelectObject sb(b.Get(), handle_.Get());
    BitBlt(a.Get(), 0, 0, std::min(w, width_), std::min(h, height_), b.Get(), 0, 0, SRCCOPY);
  } else if (nb) {
    TMemoryDC a(nullptr);
    TSelectObject sa(a.Get(), nb);
    PatBlt(a.Get(), 0, 0, w, h, WHITENESS);
  }
  int ow = w, oh = h;
  Replace(nb, ow, oh, pixelFormat_);
}

HBITMAP TBitmap::Handle() { return handle_.Get(); }

void TBitmap::SetHandle(HBITMAP h) {
  BITMAP bm{};
  TPixelFormat pf = TPixelFormat::pfDevice;
  int w = 0, hh = 0;
  if (h && GetObjectA(h, sizeof(bm), &bm)) {
    w = bm.bmWidth;
    hh = std::abs(bm.bmHeight);
    DIBSECTION ds{};
    if (bm.bmBitsPixel == 1) pf = TPixelFormat::pf1bit;
    else if (GetObjectA(h, sizeof(ds), &ds) == sizeof(ds))
      pf = bm.bmBitsPixel == 32 ? TPixelFormat::pf32bit : bm.bmBitsPixel == 24 ? TPixelFormat::pf24bit
           : bm.bmBitsPixel == 8 ? TPixelFormat::pf8bit : TPixelFormat::pf4bit;
  }
  Replace(h, w, hh, pf);
}

HBITMAP TBitmap::ReleaseHandle() {
  DetachCanvas();
  HBITMAP h = handle_.Detach();
  width_ = height_ = 0;
  bits_ = nullptr;
  return h;
}

TCanvas* TBitmap::Canvas() {
  if (!canvas_) canvas_ = std::make_unique<TBitmapCanvas>(this);
  return canvas_.get();
}

void TBitmap::SetPixelFormat(TPixelFormat v) {
  if (v == pixelFormat_) return;
  if (!handle_) {
    pixelFormat_ = v;
    return;
  }
  void* bits = nullptr;
  HBITMAP nb = Create(width_, height_, v, &bits);
  if (!nb) throw EOutOfResources("Out of system resources");
  {
    TMemoryDC a(nullptr), b(nullptr);
    TSelectObject sa(a.Get(), nb);
    DetachCanvas();
    TSelectObject sb(b.Get(), handle_.Get());
    BitBlt(a.Get(), 0, 0, width_, height_, b.Get(), 0, 0, SRCCOPY);
  }
  if (v == TPixelFormat::pf32bit && bits) {
    // GDI leaves the alpha byte 0; an opaque picture says 0xFF.
    auto* p = static_cast<uint32_t*>(bits);
    GdiFlush();
    for (int i = 0; i < width_ * height_; ++i) p[i] |= 0xFF000000u;
  }
  Replace(nb, width_, height_, v);
}

uint32_t* TBitmap::ScanLine(int row) {
  if (!bits_ || pixelFormat_ != TPixelFormat::pf32bit || row < 0 || row >= height_) return nullptr;
  GdiFlush();
  return static_cast<uint32_t*>(bits_) + static_cast<size_t>(row) * width_;
}

TColor TBitmap::TransparentColor() {
  if (transparentMode_ == TTransparentMode::tmFixed && transparentColor_ != clDefault) return transparentColor_;
  if (Empty()) return clDefault;
  // The bottom-left pixel names the transparent colour.
  return Canvas()->Pixels(0, height_ - 1);
}

void TBitmap::SetTransparentColor(TColor c) {
  transparentColor_ = c;
  transparentMode_ = c == clDefault ? TTransparentMode::tmAuto : TTransparentMode::tmFixed;
  Changed();
}

void TBitmap::SetTransparentMode(TTransparentMode v) {
  transparentMode_ = v;
  Changed();
}

void TBitmap::LoadFromResourceName(HINSTANCE instance, const std::string& name) {
  if (!instance) instance = GetModuleHandleA(nullptr);
  HBITMAP h = static_cast<HBITMAP>(LoadImageA(instance, name.c_str(), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
  if (!h) throw EOSError("Bitmap resource " + name + " not found");
  SetHandle(h);
}

void TBitmap::LoadFromResourceID(HINSTANCE instance, int id) {
  if (!instance) instance = GetModuleHandleA(nullptr);
  HBITMAP h = static_cast<HBITMAP>(LoadImageA(instance, MAKEINTRESOURCEA(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
  if (!h) throw EOSError("Bitmap resource " + std::to_string(id) + " not found");
  SetHandle(h);
}

void TBitmap::LoadFromFile(const std::string& path) {
  HBITMAP h = static_cast<HBITMAP>(LoadImageA(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION));
  if (!h) throw EFOpenError("Cannot open file \"" + path + "\"");
  SetHandle(h);
}

void TBitmap::SaveToFile(const std::string& path) {
  if (Empty()) return;
  TPixelFormat keep = pixelFormat_;
  TBitmap copy;
  copy.Assign(this);
  copy.SetPixelFormat(TPixelFormat::pf32bit);
  (void)keep;
  BITMAPFILEHEADER fh{};
  BITMAPINFOHEADER ih{};
  ih.biSize = sizeof(ih);
  ih.biWidth = width_;
  ih.biHeight = -height_;
  ih.biPlanes = 1;
  ih.biBitCount = 32;
  ih.biCompression = BI_RGB;
  const DWORD bytes = static_cast<DWORD>(width_) * height_ * 4;
  fh.bfType = 0x4D42;
  fh.bfOffBits = sizeof(fh) + sizeof(ih);
  fh.bfSize = fh.bfOffBits + bytes;
  HANDLE f = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (f == INVALID_HANDLE_VALUE) throw EFCreateError("Cannot create file \"" + path + "\"");
  DWORD done = 0;
  bool ok = WriteFile(f, &fh, sizeof(fh), &done, nullptr) && done == sizeof(fh) &&
            WriteFile(f, &ih, sizeof(ih), &done, nullptr) && done == sizeof(ih) &&
            WriteFile(f, copy.ScanLine(0), bytes, &done, nullptr) && done == bytes;
  CloseHandle(f);
  if (!ok) throw EWriteError("Stream write error");
}

void TBitmap::Assign(TPersistent* Source) {
  if (Source == this) return;
  if (auto* b = dynamic_cast<TBitmap*>(Source)) {
    if (b->Empty()) {
      pixelFormat_ = b->pixelFormat_;
      Replace(nullptr, 0, 0, b->pixelFormat_);
    } else {
      void* bits = nullptr;
      HBITMAP nb = Create(b->width_, b->height_, b->pixelFormat_, &bits);
      TMemoryDC a(nullptr);
      TSelectObject sa(a.Get(), nb);
      HDC sdc = b->Canvas()->Handle();
      BitBlt(a.Get(), 0, 0, b->width_, b->height_, sdc, 0, 0, SRCCOPY);
      Replace(nb, b->width_, b->height_, b->pixelFormat_);
    }
    transparent_ = b->transparent_;
    transparentColor_ = b->transparentColor_;
    transparentMode_ = b->transparentMode_;
    return;
  }
  if (!Source) {
    Replace(nullptr, 0, 0, pixelFormat_);
    return;
  }
  TPersistent::Assign(Source);
}

void TBitmap::Draw(TCanvas* canvas, const RECT& r) {
  if (Empty()) return;
  if (transparent_) {
    canvas->BrushCopy(r, this, RECT{0, 0, width_, height_}, TransparentColor());
    return;
  }
  HDC dst = canvas->Handle();
  HDC src = Canvas()->Handle();
  if (Monochrome()) {
    // A monochrome bitmap paints in the destination's text and background colours.
    SetTextColor(dst, RGB(0, 0, 0));
    SetBkColor(dst, RGB(255, 255, 255));
  }
  SetStretchBltMode(dst, COLORONCOLOR);
  StretchBlt(dst, r.left, r.top, r.right - r.left, r.bottom - r.top, src, 0, 0, width_, height_, canvas->CopyMode());
}

// TIcon ----------------------------------------------------------------------

TIcon::~TIcon() { Release(); }
void TIcon::Release() {
  if (handle_ && owns_) DestroyIcon(handle_);
  handle_ = nullptr;
  owns_ = false;
}
void TIcon::SetHandle(HICON h, bool owns) {
  if (h == handle_) return;
  Release();
  handle_ = h;
  owns_ = owns;
  Changed();
}
void TIcon::Assign(TPersistent* Source) {
  if (auto* i = dynamic_cast<TIcon*>(Source)) {
    if (i == this) return;
    SetHandle(i->handle_ ? CopyIcon(i->handle_) : nullptr, true);
    return;
  }
  TPersistent::Assign(Source);
}
int TIcon::Width() const {
  if (!handle_) return 0;
  ICONINFO ii{};
  if (!GetIconInfo(handle_, &ii)) return GetSystemMetrics(SM_CXICON);
  BITMAP bm{};
  GetObjectA(ii.hbmColor ? ii.hbmColor : ii.hbmMask, sizeof(bm), &bm);
  if (ii.hbmColor) DeleteObject(ii.hbmColor);
  if (ii.hbmMask) DeleteObject(ii.hbmMask);
  return bm.bmWidth;
}
int TIcon::Height() const {
  if (!handle_) return 0;
  ICONINFO ii{};
  if (!GetIconInfo(handle_, &ii)) return GetSystemMetrics(SM_CYICON);
  BITMAP bm{};
  GetObjectA(ii.hbmColor ? ii.hbmColor : ii.hbmMask, sizeof(bm), &bm);
  int h = ii.hbmColor ? bm.bmHeight : bm.bmHeight / 2;
  if (ii.hbmColor) DeleteObject(ii.hbmColor);
  if (ii.hbmMask) DeleteObject(ii.hbmMask);
  return h;
}
void TIcon::LoadFromResourceName(HINSTANCE instance, const std::string& name) {
  if (!instance) instance = GetModuleHandleA(nullptr);
  HICON h = static_cast<HICON>(LoadImageA(instance, name.c_str(), IMAGE_ICON, 0, 0, LR_DEFAULTSIZE));
  if (!h) throw EOSError("Icon resource " + name + " not found");
  SetHandle(h, true);
}
void TIcon::Draw(TCanvas* canvas, const RECT& r) {
  if (!handle_) return;
  DrawIconEx(canvas->Handle(), r.left, r.top, handle_, r.right - r.left, r.bottom - r.top, 0, nullptr, DI_NORMAL);
}

// TPicture -------------------------------------------------------------------

TPicture::TPicture() = default;
TPicture::~TPicture() = default;
void TPicture::Hook() {
  if (graphic_) graphic_->OnChange = [this](TObject*) { if (OnChange) OnChange(this); };
  if (OnChange) OnChange(this);
}
TBitmap* TPicture::Bitmap() {
  if (!dynamic_cast<TBitmap*>(graphic_.get())) {
    graphic_ = std::make_unique<TBitmap>();
    Hook();
  }
  return static_cast<TBitmap*>(graphic_.get());
}
TIcon* TPicture::Icon() {
  if (!dynamic_cast<TIcon*>(graphic_.get())) {
    graphic_ = std::make_unique<TIcon>();
    Hook();
  }
  return static_cast<TIcon*>(graphic_.get());
}
void TPicture::Assign(TPersistent* Source) {
  if (!Source) {
    graphic_.reset();
    Hook();
  } else if (auto* p = dynamic_cast<TPicture*>(Source)) {
    if (p == this) return;
    if (!p->graphic_) { graphic_.reset(); Hook(); }
    else if (dynamic_cast<TBitmap*>(p->graphic_.get())) Bitmap()->Assign(p->graphic_.get());
    else Icon()->Assign(p->graphic_.get());
  } else if (auto* b = dynamic_cast<TBitmap*>(Source)) {
    Bitmap()->Assign(b);
  } else if (auto* i = dynamic_cast<TIcon*>(Source)) {
    Icon()->Assign(i);
  } else {
    TPersistent::Assign(Source);
  }
}

// TDibSection ----------------------------------------------------------------

TDibSection::TDibSection(int w, int h) : w_(w), h_(h), dc_(nullptr) {
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
  bi.bmiHeader.biWidth = w;
  bi.bmiHeader.biHeight = -h;
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  bi.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  bmp_.Reset(CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
  bits_ = static_cast<uint32_t*>(bits);
  old_ = SelectObject(dc_.Get(), bmp_.Get());
}
TDibSection::~TDibSection() {
  if (old_) SelectObject(dc_.Get(), old_);
}
uint32_t TDibSection::Raw(int x, int y) const {
  if (x < 0 || y < 0 || x >= w_ || y >= h_ || !bits_) return 0;
  GdiFlush();
  return bits_[static_cast<size_t>(y) * w_ + x] & 0x00FFFFFF;
}
COLORREF TDibSection::Pixel(int x, int y) const {
  uint32_t v = Raw(x, y);
  return static_cast<COLORREF>(((v >> 16) & 0xFF) | (v & 0xFF00) | ((v & 0xFF) << 16));
}
void TDibSection::Fill(COLORREF c) {
  GdiFlush();
  uint32_t v = 0xFF000000u | ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
  for (int i = 0; i < w_ * h_; ++i) bits_[i] = v;
}

}  // namespace morvane
