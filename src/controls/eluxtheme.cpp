#include "controls/eluxtheme.h"

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <mutex>
#include <vector>

namespace morvane {

// X(name, result, failure value, parameter list, argument list)
#define EL_THEME_FUNCTIONS(X)                                                                                      \
  X(IsThemeActive, BOOL, FALSE, (), ())                                                                            \
  X(EnableTheming, HRESULT, E_NOTIMPL, (BOOL a), (a))                                                              \
  X(OpenThemeData, HTHEME, nullptr, (HWND a, const wchar_t* b), (a, b))                                            \
  X(CloseThemeData, HRESULT, E_NOTIMPL, (HTHEME a), (a))                                                           \
  X(DrawThemeParentBackground, HRESULT, E_NOTIMPL, (HWND a, HDC b, RECT* c), (a, b, c))                            \
  X(DrawThemeBackground, HRESULT, E_NOTIMPL, (HTHEME a, HDC b, int c, int d, const RECT* e, const RECT* f),       \
    (a, b, c, d, e, f))                                                                                            \
  X(DrawThemeText, HRESULT, E_NOTIMPL,                                                                             \
    (HTHEME a, HDC b, int c, int d, const wchar_t* e, int f, DWORD g, DWORD h, const RECT* i),                     \
    (a, b, c, d, e, f, g, h, i))                                                                                   \
  X(GetThemeBackgroundContentRect, HRESULT, E_NOTIMPL, (HTHEME a, HDC b, int c, int d, const RECT* e, RECT* f),   \
    (a, b, c, d, e, f))                                                                                            \
  X(GetThemeBackgroundExtent, HRESULT, E_NOTIMPL, (HTHEME a, HDC b, int c, int d, const RECT* e, RECT* f),        \
    (a, b, c, d, e, f))                                                                                            \
  X(GetThemePartSize, HRESULT, E_NOTIMPL, (HTHEME a, HDC b, int c, int d, RECT* e, int f, SIZE* g),               \
    (a, b, c, d, e, f, g))                                                                                         \
  X(GetThemeTextExtent, HRESULT, E_NOTIMPL,                                                                        \
    (HTHEME a, HDC b, int c, int d, const wchar_t* e, int f, DWORD g, const RECT* h, RECT* i),                     \
    (a, b, c, d, e, f, g, h, i))                                                                                   \
  X(GetThemeTextMetrics, HRESULT, E_NOTIMPL, (HTHEME a, HDC b, int c, int d, TEXTMETRICW* e), (a, b, c, d, e))    \
  X(GetThemeBackgroundRegion, HRESULT, E_NOTIMPL, (HTHEME a, HDC b, int c, int d, const RECT* e, HRGN* f),        \
    (a, b, c, d, e, f))                                                                                            \
  X(HitTestThemeBackground, HRESULT, E_NOTIMPL,                                                                    \
    (HTHEME a, HDC b, int c, int d, DWORD e, const RECT* f, HRGN g, POINT h, WORD* i), (a, b, c, d, e, f, g, h, i)) \
  X(DrawThemeEdge, HRESULT, E_NOTIMPL, (HTHEME a, HDC b, int c, int d, const RECT* e, UINT f, UINT g, RECT* h),   \
    (a, b, c, d, e, f, g, h))                                                                                      \
  X(DrawThemeIcon, HRESULT, E_NOTIMPL, (HTHEME a, HDC b, int c, int d, const RECT* e, HIMAGELIST f, int g),       \
    (a, b, c, d, e, f, g))                                                                                         \
  X(IsThemePartDefined, BOOL, FALSE, (HTHEME a, int b, int c), (a, b, c))                                          \
  X(IsThemeBackgroundPartiallyTransparent, BOOL, FALSE, (HTHEME a, int b, int c), (a, b, c))                       \
  X(GetThemeColor, HRESULT, E_NOTIMPL, (HTHEME a, int b, int c, int d, COLORREF* e), (a, b, c, d, e))             \
  X(GetThemeMetric, HRESULT, E_NOTIMPL, (HTHEME a, HDC b, int c, int d, int e, int* f), (a, b, c, d, e, f))        \
  X(GetThemeString, HRESULT, E_NOTIMPL, (HTHEME a, int b, int c, int d, wchar_t* e, int f), (a, b, c, d, e, f))    \
  X(GetThemeBool, HRESULT, E_NOTIMPL, (HTHEME a, int b, int c, int d, BOOL* e), (a, b, c, d, e))                  \
  X(GetThemeInt, HRESULT, E_NOTIMPL, (HTHEME a, int b, int c, int d, int* e), (a, b, c, d, e))                    \
  X(GetThemeEnumValue, HRESULT, E_NOTIMPL, (HTHEME a, int b, int c, int d, int* e), (a, b, c, d, e))              \
  X(GetThemeFileName, HRESULT, E_NOTIMPL, (HTHEME a, int b, int c, int d, wchar_t* e, int f), (a, b, c, d, e, f))  \
  X(GetThemePosition, HRESULT, E_NOTIMPL, (HTHEME a, int b, int c, int d, POINT* e), (a, b, c, d, e))             \
  X(GetThemeFont, HRESULT, E_NOTIMPL, (HTHEME a, HDC b, int c, int d, int e, LOGFONTW* f), (a, b, c, d, e, f))     \
  X(GetThemeRect, HRESULT, E_NOTIMPL, (HTHEME a, int b, int c, int d, RECT* e), (a, b, c, d, e))                  \
  X(GetThemeMargins, HRESULT, E_NOTIMPL, (HTHEME a, HDC b, int c, int d, int e, RECT* f, void* g),                \
    (a, b, c, d, e, f, g))                                                                                         \
  X(GetThemeIntList, HRESULT, E_NOTIMPL, (HTHEME a, int b, int c, int d, void* e), (a, b, c, d, e))               \
  X(GetThemePropertyOrigin, HRESULT, E_NOTIMPL, (HTHEME a, int b, int c, int d, int* e), (a, b, c, d, e))         \
  X(SetWindowTheme, HRESULT, E_NOTIMPL, (HWND a, const wchar_t* b, const wchar_t* c), (a, b, c))                   \
  X(GetThemeSysColor, COLORREF, 0, (HTHEME a, int b), (a, b))                                                      \
  X(GetThemeSysColorBrush, HBRUSH, nullptr, (HTHEME a, int b), (a, b))                                             \
  X(GetThemeSysSize, int, 0, (HTHEME a, int b), (a, b))                                                            \
  X(GetThemeSysBool, BOOL, FALSE, (HTHEME a, int b), (a, b))                                                       \
  X(GetThemeSysFont, HRESULT, E_NOTIMPL, (HTHEME a, int b, LOGFONTW* c), (a, b, c))                                \
  X(GetThemeSysString, HRESULT, E_NOTIMPL, (HTHEME a, int b, wchar_t* c, int d), (a, b, c, d))                     \
  X(GetThemeSysInt, HRESULT, E_NOTIMPL, (HTHEME a, int b, int* c), (a, b, c))                                      \
  X(IsAppThemed, BOOL, FALSE, (), ())                                                                              \
  X(GetWindowTheme, HTHEME, nullptr, (HWND a), (a))                                                                \
  X(EnableThemeDialogTexture, HRESULT, E_NOTIMPL, (HWND a, DWORD b), (a, b))                                       \
  X(IsThemeDialogTextureEnabled, BOOL, FALSE, (HWND a), (a))                                                       \
  X(GetThemeAppProperties, DWORD, 0, (), ())                                                                       \
  X(SetThemeAppProperties, void, , (DWORD a), (a))                                                                 \
  X(GetThemeDocumentationProperty, HRESULT, E_NOTIMPL, (const wchar_t* a, const wchar_t* b, wchar_t* c, int d),    \
    (a, b, c, d))                                                                                                  \
  X(GetCurrentThemeName, HRESULT, E_NOTIMPL, (wchar_t* a, int b, wchar_t* c, int d, wchar_t* e, int f),            \
    (a, b, c, d, e, f))

namespace {

enum TThemeFunction {
#define EL_ENUM(name, ret, fail, params, args) tf##name,
  EL_THEME_FUNCTIONS(EL_ENUM)
#undef EL_ENUM
      tfCount
};
static_assert(tfCount == 47, "the library has 47 bound entry points");

struct TThemeBinding {
  HMODULE Library = nullptr;
  std::atomic<bool> Available{false};
  FARPROC Entries[tfCount] = {};

  void Bind(const char* FileName) {
    Unbind();
    if (!FileName || !*FileName) return;
    Library = ::LoadLibraryA(FileName);
    if (!Library) return;
    for (int i = 0; i < tfCount; ++i) Entries[i] = ::GetProcAddress(Library, kThemeFunctionNames[i]);
    Available = true;
  }
  void Unbind() {
    Available = false;
    for (auto& e : Entries) e = nullptr;
    if (Library) ::FreeLibrary(Library);
    Library = nullptr;
  }
  // The library stays loaded at exit: theme handles of windows that outlive
  // the binding's own destruction must not point into an unloaded module.
  ~TThemeBinding() { Available = false; }
};

std::recursive_mutex& BindingLock() {
  static std::recursive_mutex m;
  return m;
}

TThemeBinding& Binding() {
  static TThemeBinding* b = [] {
    static TThemeBinding binding;
    OSVERSIONINFOA vi{};
    vi.dwOSVersionInfoSize = sizeof vi;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    if (::GetVersionExA(&vi) && ThemesSupportedOn(vi.dwPlatformId, vi.dwMajorVersion, vi.dwMinorVersion))
      binding.Bind("uxtheme.dll");
#pragma GCC diagnostic pop
    return &binding;
  }();
  return *b;
}

template <class F>
F Entry(TThemeFunction f) {
  return reinterpret_cast<F>(reinterpret_cast<void*>(Binding().Entries[f]));
}

}  // namespace

const char* const kThemeFunctionNames[47] = {
    "IsThemeActive", "EnableTheming", "OpenThemeData", "CloseThemeData", "DrawThemeParentBackground",
    "DrawThemeBackground", "DrawThemeText", "GetThemeBackgroundContentRect", "GetThemeBackgroundExtent",
    "GetThemePartSize", "GetThemeTextExtent", "GetThemeTextMetrics", "GetThemeBackgroundRegion",
    "HitTestThemeBackground", "DrawThemeEdge", "DrawThemeIcon", "IsThemePartDefined",
    "IsThemeBackgroundPartiallyTransparent", "GetThemeColor", "GetThemeMetric", "GetThemeString", "GetThemeBool",
    "GetThemeInt", "GetThemeEnumValue", "GetThemeFileName", "GetThemePosition", "GetThemeFont", "GetThemeRect",
    "GetThemeMargins", "GetThemeIntList", "GetThemePropertyOrigin", "SetWindowTheme", "GetThemeSysColor",
    "GetThemeSysColorBrush", "GetThemeSysSize", "GetThemeSysBool", "GetThemeSysFont", "GetThemeSysString",
    "GetThemeSysInt", "IsAppThemed", "GetWindowTheme", "EnableThemeDialogTexture", "IsThemeDialogTextureEnabled",
    "GetThemeAppProperties", "SetThemeAppProperties", "GetThemeDocumentationProperty", "GetCurrentThemeName"};

bool ThemesSupportedOn(DWORD PlatformId, DWORD Major, DWORD Minor) {
  return PlatformId == VER_PLATFORM_WIN32_NT && (Major > 5 || (Major == 5 && Minor > 0));
}

bool ThemesAvailable() { return Binding().Available; }
HMODULE ThemeLibrary() { return Binding().Library; }

void RebindThemeLibrary(const char* FileName) {
  std::lock_guard<std::recursive_mutex> g(BindingLock());
  Binding().Bind(FileName);
}

int BoundThemeFunctionCount() {
  int n = 0;
  for (auto e : Binding().Entries) n += e != nullptr;
  return n;
}

// The two wrappers that the part cache below stands in front of are made
// under names of their own.
HRESULT DrawThemeBackgroundUncached(HTHEME, HDC, int, int, const RECT*, const RECT*);
HRESULT CloseThemeDataUncached(HTHEME);
#define DrawThemeBackground DrawThemeBackgroundUncached
#define CloseThemeData CloseThemeDataUncached
#define EL_WRAPPER(name, ret, fail, params, args)              \
  ret name params {                                            \
    using TFn = ret(WINAPI*) params;                           \
    TFn fn = Entry<TFn>(tf##name);                             \
    if (!fn) return fail;                                      \
    return fn args;                                            \
  }
EL_THEME_FUNCTIONS(EL_WRAPPER)
#undef EL_WRAPPER
#undef DrawThemeBackground
#undef CloseThemeData

// ---- Drawn parts, kept ---------------------------------------------------------
//
// Some parts cost milliseconds each time the library draws them (a scroll
// bar's arrow button some 4 ms, a header item 2 ms under Wine's styles), and
// a grid draws its header items and both arrow buttons at every page it
// scrolls. A part that covers its whole rectangle looks the same whatever was
// under it: it is drawn once per theme, part, state and size into a bitmap of
// its own and copied from there afterwards. A part that lets the background
// through anywhere (a round check box, a glyph drawn at its true size) is
// always drawn by the library. The copies of a theme go when it is closed, so
// that a handle the library hands out again never shows another theme's part.

namespace {

struct TPartKey {
  HTHEME Theme;
  int Part, State, Width, Height;
  bool operator==(const TPartKey& o) const {
    return Theme == o.Theme && Part == o.Part && State == o.State && Width == o.Width && Height == o.Height;
  }
};

struct TKeptPart {
  TPartKey Key;
  HBITMAP Bitmap;  // null: the part lets the background through
  uint64_t LastUse;
};

constexpr size_t kMaxKeptParts = 96;
constexpr int kMaxKeptPixels = 256 * 256;

struct TPartCache {
  std::mutex Lock;
  std::vector<TKeptPart> Parts;
  uint64_t Clock = 0;
};

TPartCache& PartCache() {
  static TPartCache* c = new TPartCache;  // outlives every window's last paint
  return *c;
}

// A 32-bit top-down bitmap of Width x Height filled with Fill; Bits points
// to its pixels.
HBITMAP MakeSurface(int Width, int Height, uint32_t Fill, uint32_t*& Bits) {
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof bi.bmiHeader;
  bi.bmiHeader.biWidth = Width;
  bi.bmiHeader.biHeight = -Height;
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  bi.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP b = ::CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
  Bits = static_cast<uint32_t*>(bits);
  if (b && Bits) std::fill(Bits, Bits + static_cast<size_t>(Width) * static_cast<size_t>(Height), Fill);
  return b;
}

// Draws the part over black and over white: the same colours both times
// mean that it covers every pixel. Returns the bitmap (null when the part
// lets the background through) and the library's answer in Result.
HBITMAP RenderPart(const TPartKey& Key, HRESULT& Result) {
  uint32_t *black = nullptr, *white = nullptr;
  HBITMAP onBlack = MakeSurface(Key.Width, Key.Height, 0x00000000u, black);
  HBITMAP onWhite = MakeSurface(Key.Width, Key.Height, 0x00FFFFFFu, white);
  Result = E_FAIL;
  bool covers = false;
  if (onBlack && onWhite && black && white) {
    HDC dc = ::CreateCompatibleDC(nullptr);
    const RECT r{0, 0, Key.Width, Key.Height};
    HGDIOBJ old = ::SelectObject(dc, onBlack);
    Result = DrawThemeBackgroundUncached(Key.Theme, dc, Key.Part, Key.State, &r, nullptr);
    ::SelectObject(dc, onWhite);
    if (SUCCEEDED(Result)) Result = DrawThemeBackgroundUncached(Key.Theme, dc, Key.Part, Key.State, &r, nullptr);
    ::SelectObject(dc, old);
    ::DeleteDC(dc);
    ::GdiFlush();
    if (SUCCEEDED(Result)) {
      covers = true;
      const size_t n = static_cast<size_t>(Key.Width) * static_cast<size_t>(Key.Height);
      for (size_t k = 0; k < n && covers; ++k) covers = ((black[k] ^ white[k]) & 0x00FFFFFFu) == 0;
    }
  }
  if (onWhite) ::DeleteObject(onWhite);
  if (!covers && onBlack) {
    ::DeleteObject(onBlack);
    onBlack = nullptr;
  }
  return onBlack;
}

// Copies a kept part to Rect of DC, within Clip when there is one.
void CopyPart(HBITMAP Bitmap, HDC DC, const RECT& Rect, const RECT* Clip) {
  RECT to = Rect;
  if (Clip && !::IntersectRect(&to, &Rect, Clip)) return;
  HDC src = ::CreateCompatibleDC(nullptr);
  HGDIOBJ old = ::SelectObject(src, Bitmap);
  ::BitBlt(DC, to.left, to.top, to.right - to.left, to.bottom - to.top, src, to.left - Rect.left, to.top - Rect.top,
           SRCCOPY);
  ::SelectObject(src, old);
  ::DeleteDC(src);
}

// Only a plain device context gets a copy: a mirrored one or one with a
// transformation is drawn by the library, which knows what they do.
bool PlainContext(HDC DC) {
  return ::GetLayout(DC) == 0 && ::GetMapMode(DC) == MM_TEXT && ::GetGraphicsMode(DC) == GM_COMPATIBLE;
}

}  // namespace

HRESULT DrawThemeBackground(HTHEME hTheme, HDC hdc, int iPartId, int iStateId, const RECT* pRect,
                            const RECT* pClipRect) {
  if (!hTheme || !hdc || !pRect || !Entry<void*>(tfDrawThemeBackground))
    return DrawThemeBackgroundUncached(hTheme, hdc, iPartId, iStateId, pRect, pClipRect);
  const TPartKey key{hTheme, iPartId, iStateId, pRect->right - pRect->left, pRect->bottom - pRect->top};
  if (key.Width <= 0 || key.Height <= 0 || key.Width * key.Height > kMaxKeptPixels || !PlainContext(hdc))
    return DrawThemeBackgroundUncached(hTheme, hdc, iPartId, iStateId, pRect, pClipRect);
  TPartCache& cache = PartCache();
  std::lock_guard<std::mutex> g(cache.Lock);
  auto it = std::find_if(cache.Parts.begin(), cache.Parts.end(), [&](const TKeptPart& p) { return p.Key == key; });
  if (it == cache.Parts.end()) {
    HRESULT result = E_FAIL;
    HBITMAP bitmap = RenderPart(key, result);
    // A part the library could not draw is not remembered: it may draw later.
    if (FAILED(result)) return DrawThemeBackgroundUncached(hTheme, hdc, iPartId, iStateId, pRect, pClipRect);
    if (cache.Parts.size() >= kMaxKeptParts) {
      auto oldest = std::min_element(cache.Parts.begin(), cache.Parts.end(),
                                     [](const TKeptPart& a, const TKeptPart& b) { return a.LastUse < b.LastUse; });
      if (oldest->Bitmap) ::DeleteObject(oldest->Bitmap);
      cache.Parts.erase(oldest);
    }
    cache.Parts.push_back({key, bitmap, 0});
    it = cache.Parts.end() - 1;
  }
  it->LastUse = ++cache.Clock;
  if (!it->Bitmap) return DrawThemeBackgroundUncached(hTheme, hdc, iPartId, iStateId, pRect, pClipRect);
  CopyPart(it->Bitmap, hdc, *pRect, pClipRect);
  return S_OK;
}

HRESULT CloseThemeData(HTHEME hTheme) {
  {
    TPartCache& cache = PartCache();
    std::lock_guard<std::mutex> g(cache.Lock);
    auto gone = std::remove_if(cache.Parts.begin(), cache.Parts.end(), [&](const TKeptPart& p) {
      if (p.Key.Theme != hTheme) return false;
      if (p.Bitmap) ::DeleteObject(p.Bitmap);
      return true;
    });
    cache.Parts.erase(gone, cache.Parts.end());
  }
  return CloseThemeDataUncached(hTheme);
}

HRESULT DrawThemeBackgroundByClass(const wchar_t* ClassName, HDC DC, int PartId, int StateId, const RECT* Rect,
                                   const RECT* ClipRect) {
  HTHEME theme = OpenThemeData(nullptr, ClassName);
  if (!theme) return E_NOTIMPL;
  struct TCloser {
    HTHEME t;
    ~TCloser() { CloseThemeData(t); }
  } closer{theme};
  // The theme data goes right after: nothing to keep for a next time.
  return DrawThemeBackgroundUncached(theme, DC, PartId, StateId, Rect, ClipRect);
}

}  // namespace morvane
