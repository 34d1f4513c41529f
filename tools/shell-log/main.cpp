// Stands in for the browser and the mail client in the test prefix: every
// "open" of a URL, a mailto: link or an .html document lands here, and the
// command line is appended to shell-log.txt beside this program.
#include <cstdio>
#include <string>

#include "platform/win32.h"

int main() {
  char self[MAX_PATH];
  DWORD n = GetModuleFileNameA(nullptr, self, MAX_PATH);
  std::string log(self, n);
  log = log.substr(0, log.find_last_of('\\') + 1) + "shell-log.txt";
  if (FILE* f = std::fopen(log.c_str(), "ab")) {
    std::fprintf(f, "%s\n", GetCommandLineA());
    std::fclose(f);
  }
  return 0;
}
