#include "platform/ui/graphics.h"
#include "platform/ui/dib.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "platform/core/exceptions.h"

namespace morvane {

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
      {
        // The copy leaves the work DC before it is handed over: a bitmap
        // still selected there could not be selected into this canvas.
        TMemoryDC a(nullptr);
        TSelectObject sa(a.Get(), nb);
        HDC sdc = b->Canvas()->Handle();
        BitBlt(a.Get(), 0, 0, b->width_, b->height_, sdc, 0, 0, SRCCOPY);
      }
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
namespace {
// An icon's size from its bitmaps (GetIconInfo hands out copies that the
// caller frees); a monochrome icon's mask holds the AND and XOR halves.
bool IconSize(HICON Icon, SIZE& Size) {
  ICONINFO ii{};
  if (!GetIconInfo(Icon, &ii)) return false;
  TBitmapHandle color(ii.hbmColor), mask(ii.hbmMask);
  BITMAP bm{};
  GetObjectA(color ? color.Get() : mask.Get(), sizeof(bm), &bm);
  Size = SIZE{bm.bmWidth, color ? bm.bmHeight : bm.bmHeight / 2};
  return true;
}
}  // namespace

int TIcon::Width() const {
  if (!handle_) return 0;
  SIZE sz{};
  return IconSize(handle_, sz) ? sz.cx : GetSystemMetrics(SM_CXICON);
}
int TIcon::Height() const {
  if (!handle_) return 0;
  SIZE sz{};
  return IconSize(handle_, sz) ? sz.cy : GetSystemMetrics(SM_CYICON);
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

HBITMAP NewDibSection32(int Width, int Height, uint32_t*& Bits) {
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
  bi.bmiHeader.biWidth = Width;
  bi.bmiHeader.biHeight = -Height;
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  bi.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP b = ::CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
  Bits = b ? static_cast<uint32_t*>(bits) : nullptr;
  return b;
}

TDibSection::TDibSection(int w, int h) : w_(w), h_(h), dc_(nullptr) {
  bmp_.Reset(NewDibSection32(w, h, bits_));
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
