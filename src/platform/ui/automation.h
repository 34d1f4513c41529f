// Finding the program's controls from outside (tests, automation tools): each
// window of a named control carries the property "Name", a global atom
// holding the component name, and its fixed control id.
#pragma once

#include <string>

#include "platform/win32.h"

namespace morvane {

// The "Name" of a window ("" when it has none); works across processes.
std::string WindowName(HWND Wnd);
// Root itself or the first window below it with that name (case-sensitive).
HWND FindNamedWindow(HWND Root, const std::string& Name);

}  // namespace morvane
