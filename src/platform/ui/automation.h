// Finding the program's controls from outside (tests, automation tools): each
// window of a named control carries the property "Name", a global atom
// holding the component name, and its fixed control id.
#pragma once

#include <string>
#include <vector>

#include "platform/win32.h"

namespace morvane {

// The "Name" of a window ("" when it has none); works across processes.
std::string WindowName(HWND Wnd);
// Root itself or the first window below it with that name (case-sensitive).
HWND FindNamedWindow(HWND Root, const std::string& Name);

// Tool buttons and menu items have no window of their own, and their texts
// cannot be read from another process. Their windows publish them as window
// properties holding the command id: a tool bar carries "Button:<Name>" for
// each named button, a form "Menu:<caption>\t<caption>..." (the captions with
// their '&', from the menu bar down) for each command of its menu bar.
std::string ToolButtonProperty(const std::string& Name);
std::string MenuPathProperty(const std::vector<std::string>& Captions);
// The command id a window publishes under that property (0 when none).
int PublishedCommand(HWND Wnd, const std::string& Property);

class TMenuItem;
// Publishes every command below Items (a menu bar's items) on Form, in place
// of what it published before; called whenever the menu or the window changes.
void PublishMenuCommands(HWND Form, TMenuItem* Items);

}  // namespace morvane
