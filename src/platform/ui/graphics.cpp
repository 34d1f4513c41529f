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

}  // namespace morvane
