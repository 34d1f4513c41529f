// Writes a picture of a showing window to <build>/screenshots/<name>.png.
#pragma once

#include <string>

#include "platform/ui/screenshot.h"
#include "platform/win32.h"
#include "support/test_env.h"

namespace morvane::test {

inline void SnapWindow(HWND Wnd, const std::string& Name) {
  const std::string dir = BinPath("..\\screenshots");
  CreateDirectoryA(dir.c_str(), nullptr);
  SaveWindowScreenshot(Wnd, dir + "\\" + Name + ".png");
}

}  // namespace morvane::test
