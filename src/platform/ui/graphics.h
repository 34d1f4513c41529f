// Colours, drawing tools (font, pen, brush), the canvas and the pictures
// (bitmap, icon) of the control layer, over GDI.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>

#include "platform/core/components.h"
#include "platform/ui/gdi_handles.h"
#include "platform/win32.h"

namespace morvane {

// 0x00BBGGRR, or 0x80000000 | COLOR_xxx for a system colour.
using TColor = int32_t;
constexpr TColor SysColor(int index) { return static_cast<TColor>(0x80000000u | static_cast<uint32_t>(index)); }

constexpr TColor clScrollBar = SysColor(COLOR_SCROLLBAR);
constexpr TColor clBackground = SysColor(COLOR_BACKGROUND);
constexpr TColor clActiveCaption = SysColor(COLOR_ACTIVECAPTION);
constexpr TColor clInactiveCaption = SysColor(COLOR_INACTIVECAPTION);
constexpr TColor clMenu = SysColor(COLOR_MENU);
constexpr TColor clWindow = SysColor(COLOR_WINDOW);
constexpr TColor clWindowFrame = SysColor(COLOR_WINDOWFRAME);
constexpr TColor clMenuText = SysColor(COLOR_MENUTEXT);
constexpr TColor clWindowText = SysColor(COLOR_WINDOWTEXT);
constexpr TColor clCaptionText = SysColor(COLOR_CAPTIONTEXT);
constexpr TColor clActiveBorder = SysColor(COLOR_ACTIVEBORDER);
constexpr TColor clInactiveBorder = SysColor(COLOR_INACTIVEBORDER);
constexpr TColor clAppWorkSpace = SysColor(COLOR_APPWORKSPACE);
constexpr TColor clHighlight = SysColor(COLOR_HIGHLIGHT);
constexpr TColor clHighlightText = SysColor(COLOR_HIGHLIGHTTEXT);
constexpr TColor clBtnFace = SysColor(COLOR_BTNFACE);
constexpr TColor clBtnShadow = SysColor(COLOR_BTNSHADOW);
constexpr TColor clGrayText = SysColor(COLOR_GRAYTEXT);
constexpr TColor clBtnText = SysColor(COLOR_BTNTEXT);
constexpr TColor clInactiveCaptionText = SysColor(COLOR_INACTIVECAPTIONTEXT);
constexpr TColor clBtnHighlight = SysColor(COLOR_BTNHIGHLIGHT);
constexpr TColor cl3DDkShadow = SysColor(COLOR_3DDKSHADOW);
constexpr TColor cl3DLight = SysColor(COLOR_3DLIGHT);
constexpr TColor clInfoText = SysColor(COLOR_INFOTEXT);
constexpr TColor clInfoBk = SysColor(COLOR_INFOBK);

constexpr TColor clBlack = 0x000000;
constexpr TColor clMaroon = 0x000080;
constexpr TColor clGreen = 0x008000;
constexpr TColor clOlive = 0x008080;
constexpr TColor clNavy = 0x800000;
constexpr TColor clPurple = 0x800080;
constexpr TColor clTeal = 0x808000;
constexpr TColor clGray = 0x808080;
constexpr TColor clSilver = 0xC0C0C0;
constexpr TColor clRed = 0x0000FF;
constexpr TColor clLime = 0x00FF00;
constexpr TColor clYellow = 0x00FFFF;
constexpr TColor clBlue = 0xFF0000;
constexpr TColor clFuchsia = 0xFF00FF;
constexpr TColor clAqua = 0xFFFF00;
constexpr TColor clWhite = 0xFFFFFF;
constexpr TColor clNone = 0x1FFFFFFF;
constexpr TColor clDefault = 0x20000000;

// The RGB value of a colour; system colours through GetSysColor.
COLORREF ColorToRGB(TColor Color);

// Fonts ------------------------------------------------------------------
enum TFontStyle : uint8_t { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };
using TFontStyles = uint8_t;
enum class TFontPitch { fpDefault, fpVariable, fpFixed };

// Shared base of font, pen and brush: a change notice and a lazily made handle.
class TGraphicsObject : public TPersistent {
 public:
  TNotifyEvent OnChange;
  // Called by the canvas that has this tool selected when the tool changes.
  std::function<void()> OwnerChanged;

 protected:
  void Changed();
};

class TFont : public TGraphicsObject {
 public:
  TFont();
  void Assign(TPersistent* Source) override;

  HFONT Handle();
  // Takes over an existing font (the object then owns a copy of its description).
  void SetHandle(HFONT Value);

  const std::string& Name() const { return name_; }
  void SetName(const std::string& v);
  // Points; negative values are pixels, as Height.
  int Size() const;
  void SetSize(int v);
  // Pixels; negative = character height without internal leading.
  int Height() const { return height_; }
  void SetHeight(int v);
  TFontStyles Style() const { return style_; }
  void SetStyle(TFontStyles v);
  TColor Color() const { return color_; }
  void SetColor(TColor v);
  int Charset() const { return charset_; }
  void SetCharset(int v);
  TFontPitch Pitch() const { return pitch_; }
  void SetPitch(TFontPitch v);
  int PixelsPerInch() const { return ppi_; }
  bool Equals(const TFont& o) const;

 protected:
  std::string ClassName() const override { return "TFont"; }

 private:
  void Modified();
  std::string name_ = "Tahoma";
  int height_ = -11;
  TFontStyles style_ = 0;
  TColor color_ = clWindowText;
  int charset_ = DEFAULT_CHARSET;
  TFontPitch pitch_ = TFontPitch::fpDefault;
  int ppi_ = 96;
  TFontHandle handle_;
};

// Pens ---------------------------------------------------------------------
enum class TPenStyle { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame };
enum class TPenMode { pmBlack, pmWhite, pmNop, pmNot, pmCopy, pmNotCopy, pmMergePenNot, pmMaskPenNot,
                      pmMergeNotPen, pmMaskNotPen, pmMerge, pmNotMerge, pmMask, pmNotMask, pmXor, pmNotXor };

class TPen : public TGraphicsObject {
 public:
  void Assign(TPersistent* Source) override;
  HPEN Handle();
  TColor Color() const { return color_; }
  void SetColor(TColor v);
  int Width() const { return width_; }
  void SetWidth(int v);
  TPenStyle Style() const { return style_; }
  void SetStyle(TPenStyle v);
  TPenMode Mode() const { return mode_; }
  void SetMode(TPenMode v);

 protected:
  std::string ClassName() const override { return "TPen"; }

 private:
  void Modified();
  TColor color_ = clBlack;
  int width_ = 1;
  TPenStyle style_ = TPenStyle::psSolid;
  TPenMode mode_ = TPenMode::pmCopy;
  TPenHandle handle_;
};

// Brushes -------------------------------------------------------------------
enum class TBrushStyle { bsSolid, bsClear, bsHorizontal, bsVertical, bsFDiagonal, bsBDiagonal, bsCross, bsDiagCross };
class TBitmap;

class TBrush : public TGraphicsObject {
 public:
  TBrush();
  ~TBrush() override;
  void Assign(TPersistent* Source) override;
  HBRUSH Handle();
  TColor Color() const { return color_; }
  void SetColor(TColor v);
  TBrushStyle Style() const { return style_; }
  void SetStyle(TBrushStyle v);
  // A pattern brush from a copy of the bitmap (8x8 is what every system takes);
  // null goes back to the style and colour.
  TBitmap* Bitmap() const { return bitmap_.get(); }
  void SetBitmap(TBitmap* v);

 protected:
  std::string ClassName() const override { return "TBrush"; }

 private:
  void Modified();
  TColor color_ = clWhite;
  TBrushStyle style_ = TBrushStyle::bsSolid;
  std::unique_ptr<TBitmap> bitmap_;
  TBrushHandle handle_;
};

// Canvas --------------------------------------------------------------------
class TGraphic;


// Draws on a device context it is given (or asks for one through CreateHandle).
// The font, pen and brush are selected only when a drawing call needs them,
// and again after they change.
class TCanvas : public TPersistent {
 public:
  TCanvas();
  ~TCanvas() override;

  HDC Handle();
  // Puts back what the canvas selected into the previous DC, then uses Value.
  void SetHandle(HDC Value);
  bool HandleAllocated() const { return dc_ != nullptr; }

  TFont* Font() { return &font_; }
  TPen* Pen() { return &pen_; }
  TBrush* Brush() { return &brush_; }
  void SetFont(TFont* v) { font_.Assign(v); }

  DWORD CopyMode() const { return copyMode_; }
  void SetCopyMode(DWORD v) { copyMode_ = v; }
  POINT PenPos();
  void SetPenPos(POINT p) { MoveTo(p.x, p.y); }

  void FillRect(const RECT& r);
  void FrameRect(const RECT& r);
  void Rectangle(int x1, int y1, int x2, int y2);
  void Rectangle(const RECT& r) { Rectangle(r.left, r.top, r.right, r.bottom); }
  void Ellipse(int x1, int y1, int x2, int y2);
  void RoundRect(int x1, int y1, int x2, int y2, int x3, int y3);
  void Polygon(const POINT* points, int count);
  void Polyline(const POINT* points, int count);
  void MoveTo(int x, int y);
  void LineTo(int x, int y);
  // Pixels outside the clip box read as clNone (-1 cast) and writes there are dropped.
  TColor Pixels(int x, int y);
  void SetPixels(int x, int y, TColor c);
  // Text in Font.Color on Brush.Color, transparent for a clear brush.
  void TextOut(int x, int y, const std::string& text);
  void TextOutW(int x, int y, const std::wstring& text);
  void TextRect(const RECT& r, int x, int y, const std::string& text);
  SIZE TextExtent(const std::string& text);
  SIZE TextExtentW(const std::wstring& text);
  int TextWidth(const std::string& text) { return TextExtent(text).cx; }
  int TextHeight(const std::string& text) { return TextExtent(text).cy; }
  void Draw(int x, int y, TGraphic* graphic);
  void StretchDraw(const RECT& r, TGraphic* graphic);
  void CopyRect(const RECT& dest, TCanvas* source, const RECT& src);
  // Copies src of the bitmap to dest; pixels of colour Transparent show what is below.
  void BrushCopy(const RECT& dest, TBitmap* bitmap, const RECT& src, TColor Transparent);
  void DrawFocusRect(const RECT& r);
  RECT ClipRect();

  // Serialises drawing from several threads on one canvas.
  void Lock();
  void Unlock();
  bool TryLock();
  int LockCount() const { return lockCount_; }

  TNotifyEvent OnChange;
  TNotifyEvent OnChanging;

 protected:
  enum StateFlag : uint8_t { csHandleValid = 1, csFontValid = 2, csPenValid = 4, csBrushValid = 8 };
  void RequiredState(uint8_t req);
  virtual void CreateHandle() {}
  void DeselectHandles();
  void Changing();
  void Changed();
  std::string ClassName() const override { return "TCanvas"; }

 private:
  void ApplyFont();
  void ApplyPen();
  void ApplyBrush();

  HDC dc_ = nullptr;
  uint8_t state_ = 0;
  TFont font_;
  TPen pen_;
  TBrush brush_;
  DWORD copyMode_ = SRCCOPY;
  HGDIOBJ oldFont_ = nullptr, oldPen_ = nullptr, oldBrush_ = nullptr;
  std::recursive_mutex lock_;
  int lockCount_ = 0;
};

// A canvas on a memory DC compatible with the screen: text measuring
// without a window.
class TMeasureCanvas : public TCanvas {
 public:
  TMeasureCanvas() : dc_(nullptr) { SetHandle(dc_.Get()); }
  ~TMeasureCanvas() override { SetHandle(nullptr); }

 private:
  TMemoryDC dc_;
};

// Pictures ------------------------------------------------------------------
class TGraphic : public TPersistent {
 public:
  virtual int Width() const = 0;
  virtual int Height() const = 0;
  virtual bool Empty() const = 0;
  virtual void Draw(TCanvas* canvas, const RECT& r) = 0;
  bool Transparent() const { return transparent_; }
  virtual void SetTransparent(bool v);
  TNotifyEvent OnChange;

 protected:
  void Changed();
  bool transparent_ = false;
};

enum class TPixelFormat { pfDevice, pf1bit, pf4bit, pf8bit, pf24bit, pf32bit };
enum class TTransparentMode { tmAuto, tmFixed };

class TBitmapCanvas;

class TBitmap : public TGraphic {
 public:
  TBitmap();
  TBitmap(int w, int h);
  ~TBitmap() override;
  void Assign(TPersistent* Source) override;

  int Width() const override { return width_; }
  int Height() const override { return height_; }
  bool Empty() const override { return width_ == 0 || height_ == 0; }
  void SetWidth(int v) { SetSize(v, height_); }
  void SetHeight(int v) { SetSize(width_, v); }
  void SetSize(int w, int h);

  HBITMAP Handle();
  // Takes ownership of the bitmap.
  void SetHandle(HBITMAP h);
  HBITMAP ReleaseHandle();
  TCanvas* Canvas();

  bool Monochrome() const { return pixelFormat_ == TPixelFormat::pf1bit; }
  void SetMonochrome(bool v) { SetPixelFormat(v ? TPixelFormat::pf1bit : TPixelFormat::pfDevice); }
  TPixelFormat PixelFormat() const { return pixelFormat_; }
  // Converts, keeping the picture.
  void SetPixelFormat(TPixelFormat v);
  // The bits of a 32-bit bitmap (rows top-down), null otherwise.
  uint32_t* ScanLine(int row);

  TColor TransparentColor();
  void SetTransparentColor(TColor c);
  TTransparentMode TransparentMode() const { return transparentMode_; }
  void SetTransparentMode(TTransparentMode v);

  // From a bitmap resource of the module (null = the program).
  void LoadFromResourceName(HINSTANCE instance, const std::string& name);
  void LoadFromResourceID(HINSTANCE instance, int id);
  void LoadFromFile(const std::string& path);
  void SaveToFile(const std::string& path);
  void Dormant() {}
  void FreeImage() {}

  void Draw(TCanvas* canvas, const RECT& r) override;

 protected:
  std::string ClassName() const override { return "TBitmap"; }

 private:
  friend class TBitmapCanvas;
  void Replace(HBITMAP h, int w, int h2, TPixelFormat pf);
  HBITMAP Create(int w, int h, TPixelFormat pf, void** bits);
  void DetachCanvas();

  int width_ = 0, height_ = 0;
  TPixelFormat pixelFormat_ = TPixelFormat::pfDevice;
  TBitmapHandle handle_;
  void* bits_ = nullptr;
  std::unique_ptr<TBitmapCanvas> canvas_;
  TColor transparentColor_ = clDefault;
  TTransparentMode transparentMode_ = TTransparentMode::tmAuto;
};

class TIcon : public TGraphic {
 public:
  TIcon() = default;
  ~TIcon() override;
  void Assign(TPersistent* Source) override;
  int Width() const override;
  int Height() const override;
  bool Empty() const override { return handle_ == nullptr; }
  HICON Handle() const { return handle_; }
  // Takes ownership when owns is true (system icons from LoadIcon are shared).
  void SetHandle(HICON h, bool owns = true);
  void LoadFromResourceName(HINSTANCE instance, const std::string& name);
  void Draw(TCanvas* canvas, const RECT& r) override;

 protected:
  std::string ClassName() const override { return "TIcon"; }

 private:
  void Release();
  HICON handle_ = nullptr;
  bool owns_ = false;
};

// What a TImage shows: a bitmap or an icon.
class TPicture : public TPersistent {
 public:
  TPicture();
  ~TPicture() override;
  void Assign(TPersistent* Source) override;
  TBitmap* Bitmap();   // makes the picture a bitmap
  TIcon* Icon();       // makes the picture an icon
  TGraphic* Graphic() const { return graphic_.get(); }
  int Width() const { return graphic_ ? graphic_->Width() : 0; }
  int Height() const { return graphic_ ? graphic_->Height() : 0; }
  TNotifyEvent OnChange;

 private:
  void Hook();
  std::unique_ptr<TGraphic> graphic_;
};

// Pixel helpers for tests and effects: a 32-bit top-down DIB section with its DC.
class TDibSection {
 public:
  TDibSection(int w, int h);
  ~TDibSection();
  TDibSection(const TDibSection&) = delete;
  TDibSection& operator=(const TDibSection&) = delete;
  HDC DC() const { return dc_.Get(); }
  HBITMAP Bitmap() const { return bmp_.Get(); }
  int Width() const { return w_; }
  int Height() const { return h_; }
  // 0x00RRGGBB as stored.
  uint32_t Raw(int x, int y) const;
  // As a COLORREF (0x00BBGGRR), comparable with GetSysColor.
  COLORREF Pixel(int x, int y) const;
  void Fill(COLORREF c);

 private:
  int w_, h_;
  TMemoryDC dc_;
  TBitmapHandle bmp_;
  uint32_t* bits_ = nullptr;
  HGDIOBJ old_ = nullptr;
};

}  // namespace morvane
