// Owners of GDI and user handles: non-copyable, movable, each with Detach().
#pragma once

#include <utility>

#include "platform/win32.h"

namespace morvane {

// A pen, brush, font, bitmap, region or palette, freed with DeleteObject.
template <class H>
class TGdiObject {
 public:
  TGdiObject() = default;
  explicit TGdiObject(H h) : h_(h) {}
  ~TGdiObject() { Reset(); }
  TGdiObject(const TGdiObject&) = delete;
  TGdiObject& operator=(const TGdiObject&) = delete;
  TGdiObject(TGdiObject&& o) noexcept : h_(o.Detach()) {}
  TGdiObject& operator=(TGdiObject&& o) noexcept {
    if (this != &o) Reset(o.Detach());
    return *this;
  }
  H Get() const { return h_; }
  explicit operator bool() const { return h_ != nullptr; }
  H Detach() { return std::exchange(h_, nullptr); }
  void Reset(H h = nullptr) {
    if (h_ && h_ != h) DeleteObject(h_);
    h_ = h;
  }

 private:
  H h_ = nullptr;
};
using TPenHandle = TGdiObject<HPEN>;
using TBrushHandle = TGdiObject<HBRUSH>;
using TFontHandle = TGdiObject<HFONT>;
using TBitmapHandle = TGdiObject<HBITMAP>;
using TRegionHandle = TGdiObject<HRGN>;

// A memory device context (CreateCompatibleDC), freed with DeleteDC.
class TMemoryDC {
 public:
  TMemoryDC() = default;
  explicit TMemoryDC(HDC compatibleWith) : dc_(CreateCompatibleDC(compatibleWith)) {}
  ~TMemoryDC() { Reset(); }
  TMemoryDC(const TMemoryDC&) = delete;
  TMemoryDC& operator=(const TMemoryDC&) = delete;
  TMemoryDC(TMemoryDC&& o) noexcept : dc_(o.Detach()) {}
  TMemoryDC& operator=(TMemoryDC&& o) noexcept {
    if (this != &o) { Reset(); dc_ = o.Detach(); }
    return *this;
  }
  HDC Get() const { return dc_; }
  HDC Detach() { return std::exchange(dc_, nullptr); }
  void Reset() {
    if (dc_) DeleteDC(dc_);
    dc_ = nullptr;
  }

 private:
  HDC dc_ = nullptr;
};

// A window's (GetDC/GetWindowDC) device context, given back with ReleaseDC.
class TWindowDC {
 public:
  explicit TWindowDC(HWND wnd, bool wholeWindow = false)
      : wnd_(wnd), dc_(wholeWindow ? GetWindowDC(wnd) : GetDC(wnd)) {}
  ~TWindowDC() {
    if (dc_) ReleaseDC(wnd_, dc_);
  }
  TWindowDC(const TWindowDC&) = delete;
  TWindowDC& operator=(const TWindowDC&) = delete;
  HDC Get() const { return dc_; }

 private:
  HWND wnd_;
  HDC dc_;
};

// Selects an object into a DC for a scope and puts the previous one back.
class TSelectObject {
 public:
  TSelectObject(HDC dc, HGDIOBJ obj) : dc_(dc), old_(obj ? SelectObject(dc, obj) : nullptr) {}
  ~TSelectObject() {
    if (old_) SelectObject(dc_, old_);
  }
  TSelectObject(const TSelectObject&) = delete;
  TSelectObject& operator=(const TSelectObject&) = delete;

 private:
  HDC dc_;
  HGDIOBJ old_;
};

// A menu that is not attached to a window, destroyed with DestroyMenu.
class TMenuHandle {
 public:
  TMenuHandle() = default;
  explicit TMenuHandle(HMENU h) : h_(h) {}
  ~TMenuHandle() { Reset(); }
  TMenuHandle(const TMenuHandle&) = delete;
  TMenuHandle& operator=(const TMenuHandle&) = delete;
  TMenuHandle(TMenuHandle&& o) noexcept : h_(o.Detach()) {}
  HMENU Get() const { return h_; }
  HMENU Detach() { return std::exchange(h_, nullptr); }
  void Reset(HMENU h = nullptr) {
    if (h_ && h_ != h) DestroyMenu(h_);
    h_ = h;
  }

 private:
  HMENU h_ = nullptr;
};

// An icon made by CreateIconIndirect / CopyIcon / LoadImage (not a shared one).
class TIconHandle {
 public:
  TIconHandle() = default;
  explicit TIconHandle(HICON h) : h_(h) {}
  ~TIconHandle() { Reset(); }
  TIconHandle(const TIconHandle&) = delete;
  TIconHandle& operator=(const TIconHandle&) = delete;
  TIconHandle(TIconHandle&& o) noexcept : h_(o.Detach()) {}
  HICON Get() const { return h_; }
  HICON Detach() { return std::exchange(h_, nullptr); }
  void Reset(HICON h = nullptr) {
    if (h_ && h_ != h) DestroyIcon(h_);
    h_ = h;
  }

 private:
  HICON h_ = nullptr;
};

}  // namespace morvane
