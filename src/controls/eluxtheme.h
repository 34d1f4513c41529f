// The visual-styles library, bound at run time by name.
//
// Older systems have no "uxtheme.dll", and a library may lack single entry
// points, so nothing here is linked against it. The library is loaded once,
// on first use, on NT systems above version 5.0; each of its functions is
// reached through a wrapper of the same name that checks the bound pointer
// first and answers as the library does on failure (E_NOTIMPL, a null
// handle, FALSE or 0) when the entry point is missing.
#pragma once

#include <string>

#include "platform/win32.h"

namespace morvane {

using HTHEME = HANDLE;

// True once the library was loaded and its entry points looked up (whether or
// not every single name was found).
bool ThemesAvailable();
// The loaded library, null when none.
HMODULE ThemeLibrary();

// Binding policy: only NT above 5.0 (Windows XP and later) has visual styles.
bool ThemesSupportedOn(DWORD PlatformId, DWORD Major, DWORD Minor);
// Replaces the binding with the one of another library (null or "" unbinds):
// lets a test run the controls over a library that lacks entry points.
void RebindThemeLibrary(const char* FileName);
// Number of the 47 entry points that were found.
int BoundThemeFunctionCount();

// The names looked up, in lookup order.
extern const char* const kThemeFunctionNames[47];

// Opens theme data for ClassName without a window, draws the part's
// background and closes the theme data again. E_NOTIMPL when no theme data
// opens.
HRESULT DrawThemeBackgroundByClass(const wchar_t* ClassName, HDC DC, int PartId, int StateId, const RECT* Rect,
                                   const RECT* ClipRect);

// Wrappers over the bound entry points.
BOOL IsThemeActive();
HRESULT EnableTheming(BOOL fEnable);
HTHEME OpenThemeData(HWND hwnd, const wchar_t* pszClassList);
HRESULT CloseThemeData(HTHEME hTheme);
HRESULT DrawThemeParentBackground(HWND hwnd, HDC hdc, RECT* prc);
HRESULT DrawThemeBackground(HTHEME hTheme, HDC hdc, int iPartId, int iStateId, const RECT* pRect,
                            const RECT* pClipRect);
HRESULT DrawThemeText(HTHEME hTheme, HDC hdc, int iPartId, int iStateId, const wchar_t* pszText, int iCharCount,
                      DWORD dwTextFlags, DWORD dwTextFlags2, const RECT* pRect);
HRESULT GetThemeBackgroundContentRect(HTHEME hTheme, HDC hdc, int iPartId, int iStateId, const RECT* pBoundingRect,
                                      RECT* pContentRect);
HRESULT GetThemeBackgroundExtent(HTHEME hTheme, HDC hdc, int iPartId, int iStateId, const RECT* pContentRect,
                                 RECT* pExtentRect);
// eSize: 0 minimum, 1 true size, 2 draw size.
HRESULT GetThemePartSize(HTHEME hTheme, HDC hdc, int iPartId, int iStateId, RECT* prc, int eSize, SIZE* psz);
HRESULT GetThemeTextExtent(HTHEME hTheme, HDC hdc, int iPartId, int iStateId, const wchar_t* pszText, int iCharCount,
                           DWORD dwTextFlags, const RECT* pBoundingRect, RECT* pExtentRect);
HRESULT GetThemeTextMetrics(HTHEME hTheme, HDC hdc, int iPartId, int iStateId, TEXTMETRICW* ptm);
HRESULT GetThemeBackgroundRegion(HTHEME hTheme, HDC hdc, int iPartId, int iStateId, const RECT* pRect,
                                 HRGN* pRegion);
HRESULT HitTestThemeBackground(HTHEME hTheme, HDC hdc, int iPartId, int iStateId, DWORD dwOptions, const RECT* pRect,
                               HRGN hrgn, POINT ptTest, WORD* pwHitTestCode);
HRESULT DrawThemeEdge(HTHEME hTheme, HDC hdc, int iPartId, int iStateId, const RECT* pDestRect, UINT uEdge,
                      UINT uFlags, RECT* pContentRect);
HRESULT DrawThemeIcon(HTHEME hTheme, HDC hdc, int iPartId, int iStateId, const RECT* pRect, HIMAGELIST himl,
                      int iImageIndex);
BOOL IsThemePartDefined(HTHEME hTheme, int iPartId, int iStateId);
BOOL IsThemeBackgroundPartiallyTransparent(HTHEME hTheme, int iPartId, int iStateId);
HRESULT GetThemeColor(HTHEME hTheme, int iPartId, int iStateId, int iPropId, COLORREF* pColor);
HRESULT GetThemeMetric(HTHEME hTheme, HDC hdc, int iPartId, int iStateId, int iPropId, int* piVal);
HRESULT GetThemeString(HTHEME hTheme, int iPartId, int iStateId, int iPropId, wchar_t* pszBuff, int cchMaxBuffChars);
HRESULT GetThemeBool(HTHEME hTheme, int iPartId, int iStateId, int iPropId, BOOL* pfVal);
HRESULT GetThemeInt(HTHEME hTheme, int iPartId, int iStateId, int iPropId, int* piVal);
HRESULT GetThemeEnumValue(HTHEME hTheme, int iPartId, int iStateId, int iPropId, int* piVal);
HRESULT GetThemeFileName(HTHEME hTheme, int iPartId, int iStateId, int iPropId, wchar_t* pszThemeFileName,
                         int cchMaxBuffChars);
HRESULT GetThemePosition(HTHEME hTheme, int iPartId, int iStateId, int iPropId, POINT* pPoint);
HRESULT GetThemeFont(HTHEME hTheme, HDC hdc, int iPartId, int iStateId, int iPropId, LOGFONTW* pFont);
HRESULT GetThemeRect(HTHEME hTheme, int iPartId, int iStateId, int iPropId, RECT* pRect);
// pMargins: four ints (left, right, top, bottom widths).
HRESULT GetThemeMargins(HTHEME hTheme, HDC hdc, int iPartId, int iStateId, int iPropId, RECT* prc, void* pMargins);
// pIntList: a count followed by the values.
HRESULT GetThemeIntList(HTHEME hTheme, int iPartId, int iStateId, int iPropId, void* pIntList);
HRESULT GetThemePropertyOrigin(HTHEME hTheme, int iPartId, int iStateId, int iPropId, int* pOrigin);
HRESULT SetWindowTheme(HWND hwnd, const wchar_t* pszSubAppName, const wchar_t* pszSubIdList);
COLORREF GetThemeSysColor(HTHEME hTheme, int iColorId);
HBRUSH GetThemeSysColorBrush(HTHEME hTheme, int iColorId);
int GetThemeSysSize(HTHEME hTheme, int iSizeId);
BOOL GetThemeSysBool(HTHEME hTheme, int iBoolId);
HRESULT GetThemeSysFont(HTHEME hTheme, int iFontId, LOGFONTW* plf);
HRESULT GetThemeSysString(HTHEME hTheme, int iStringId, wchar_t* pszStringBuff, int cchMaxStringChars);
HRESULT GetThemeSysInt(HTHEME hTheme, int iIntId, int* piValue);
BOOL IsAppThemed();
HTHEME GetWindowTheme(HWND hwnd);
HRESULT EnableThemeDialogTexture(HWND hwnd, DWORD dwFlags);
BOOL IsThemeDialogTextureEnabled(HWND hwnd);
DWORD GetThemeAppProperties();
void SetThemeAppProperties(DWORD dwFlags);
HRESULT GetThemeDocumentationProperty(const wchar_t* pszThemeName, const wchar_t* pszPropertyName,
                                      wchar_t* pszValueBuff, int cchMaxValChars);
HRESULT GetCurrentThemeName(wchar_t* pszThemeFileName, int cchMaxNameChars, wchar_t* pszColorBuff,
                            int cchMaxColorChars, wchar_t* pszSizeBuff, int cchMaxSizeChars);

}  // namespace morvane
