// The one place <windows.h> is included. Names of our own (the toolkit layer's
// and the program's) win over the Windows macros that would rename them.
#pragma once

#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef STRICT
#define STRICT
#endif

// Winsock 2 first: with WIN32_LEAN_AND_MEAN <windows.h> leaves out the old
// <winsock.h> that would clash with it.
#include <winsock2.h>
#include <ws2tcpip.h>
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>
#include <shlobj.h>

// Macros that collide with member and function names of the layers above.
// With them gone, code calls the A or W form of a Win32 function explicitly.
#undef GetRValue
#undef GetGValue
#undef GetBValue
#undef DrawText
#undef TextOut
#undef GetObject
#undef CreateWindow
#undef MessageBox
#undef DeleteFile
#undef CopyFile
#undef MoveFile
#undef FindFirstFile
#undef FindNextFile
#undef GetClassName
#undef SendMessage
#undef PostMessage
#undef LoadBitmap
#undef LoadCursor
#undef LoadIcon
#undef GetUserName
#undef GetCurrentTime
#undef Yield
#undef FindWindow
#undef CreateFont
#undef GetMessage
#undef DispatchMessage
#undef RegisterClass
#undef StartDoc
#undef GetTempPath
#undef GetTempFileName
#undef ExpandEnvironmentStrings
#undef FormatMessage
#undef GetVersionEx
#undef LoadLibrary
#undef GetModuleFileName
#undef CreateFile
#undef CreateDirectory
#undef RemoveDirectory
#undef GetFileAttributes
#undef SetFileAttributes
#undef GetWindowsDirectory
#undef ShellExecute
#undef FindExecutable
#undef SHGetPathFromIDList
#undef RegOpenKeyEx
#undef RegCreateKeyEx
#undef RegQueryValueEx
#undef RegSetValueEx
#undef RegDeleteValue
#undef RegDeleteKey
#undef RegEnumKeyEx
#undef RegEnumValue
#undef RegQueryInfoKey
#undef GetProfileString
#undef WritePrivateProfileString
#undef GetPrivateProfileString
#undef GetPrivateProfileSection
#undef GetLocaleInfo
#undef CompareString
#undef LoadString
#undef SetWindowText
#undef GetWindowText
#undef GetWindowTextLength
#undef CreateEvent
#undef CreateMutex
#undef OpenMutex
#undef ExitWindows
#undef GetTextExtentPoint32
#undef GetTextMetrics
#undef EnumFonts
#undef CreateFontIndirect
#undef DrawTextEx
#undef ExtTextOut
#undef TabbedTextOut
#undef GetCharWidth
#undef GetProp
#undef SetProp
#undef RemoveProp
#undef CharUpper
#undef CharLower
#undef IsCharAlpha
#undef IsCharAlphaNumeric
#undef PlaySound
