#include "controls/eltools.h"

#include "platform/win32.h"

namespace morvane {

void CenterRects(int InnerWidth, int OuterWidth, int InnerHeight, int OuterHeight, tagRECT& R) {
  R.left = Max(OuterWidth / 2 - InnerWidth / 2, 0);
  R.right = R.left + Min(InnerWidth, OuterWidth) - 1;
  R.top = Max(OuterHeight / 2 - InnerHeight / 2, 0);
  R.bottom = R.top + Min(InnerHeight, OuterHeight) - 1;
}

uint32_t GetShiftState() {
  uint32_t r = 0;
  if (GetKeyState(VK_SHIFT) < 0) r |= 1;
  if (GetKeyState(VK_MENU) < 0) r |= 2;
  if (GetKeyState(VK_CONTROL) < 0) r |= 4;
  return r;
}

namespace {

struct TOsFlags {
  bool nt = false;
  bool win98up = false;
};

TOsFlags ReadOsFlags() {
  TOsFlags f;
  OSVERSIONINFOA vi{};
  vi.dwOSVersionInfoSize = sizeof vi;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
  if (GetVersionExA(&vi)) {
#pragma GCC diagnostic pop
    f.nt = vi.dwPlatformId == VER_PLATFORM_WIN32_NT;
    f.win98up = vi.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS && vi.dwMinorVersion != 0;
  }
  return f;
}

const TOsFlags g_osFlags = ReadOsFlags();

}  // namespace

bool IsWinNTFamily = g_osFlags.nt;
bool IsWin98Up9x = g_osFlags.win98up;

}  // namespace morvane
