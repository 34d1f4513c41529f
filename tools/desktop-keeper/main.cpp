// Holds the Wine desktop open for a whole test or benchmark session.
//
// Wine starts the process that owns the desktop (explorer.exe /desktop) from
// the first program that needs it, and that process inherits the program's
// stderr; it ends a second after the desktop's last other program has left,
// and the next program to need it starts it again. A test started under ctest
// would so lend its output pipe to the desktop process, and ctest, which waits
// for that pipe to close, would see the test hang after its last line for as
// long as other programs kept the desktop in use. Started by the scripts with
// stdin and stderr on /dev/null before anything else runs, this program makes
// the desktop start from it, says "ready" on stdout once the desktop is
// there, and keeps the desktop until the scripts end it.
#include <cstdio>

#include "platform/win32.h"

int main() {
  // Asking for the desktop window starts the desktop process and returns once
  // the desktop is there.
  if (!GetDesktopWindow()) {
    std::printf("no desktop\n");
    return 1;
  }
  std::printf("ready\n");
  std::fflush(stdout);
  for (;;) Sleep(INFINITE);
}
