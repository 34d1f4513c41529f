#include "controls/eluxtheme.h"

#include <atomic>
#include <mutex>

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

#define EL_WRAPPER(name, ret, fail, params, args)              \
  ret name params {                                            \
    using TFn = ret(WINAPI*) params;                           \
    TFn fn = Entry<TFn>(tf##name);                             \
    if (!fn) return fail;                                      \
    return fn args;                                            \
  }
EL_THEME_FUNCTIONS(EL_WRAPPER)
#undef EL_WRAPPER

HRESULT DrawThemeBackgroundByClass(const wchar_t* ClassName, HDC DC, int PartId, int StateId, const RECT* Rect,
                                   const RECT* ClipRect) {
  HTHEME theme = OpenThemeData(nullptr, ClassName);
  if (!theme) return E_NOTIMPL;
  struct TCloser {
    HTHEME t;
    ~TCloser() { CloseThemeData(t); }
  } closer{theme};
  return DrawThemeBackground(theme, DC, PartId, StateId, Rect, ClipRect);
}

}  // namespace morvane
