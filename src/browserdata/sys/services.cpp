#include "browserdata/sys/services.h"

#include "platform/ui/modal.h"
#include "platform/win32.h"

namespace morvane {
namespace {

intptr_t RealShellExecute(const std::string& verb, const std::string& file, const std::string& params,
                          const std::string& dir, int show) {
  HINSTANCE h = ShellExecuteA(nullptr, verb.empty() ? nullptr : verb.c_str(), file.c_str(),
                              params.empty() ? nullptr : params.c_str(), dir.empty() ? nullptr : dir.c_str(), show);
  return reinterpret_cast<intptr_t>(h);
}

intptr_t RealFindExecutable(const std::string& file, const std::string& dir, std::string& program) {
  char buf[MAX_PATH + 1] = {};
  HINSTANCE h = FindExecutableA(file.c_str(), dir.empty() ? nullptr : dir.c_str(), buf);
  intptr_t r = reinterpret_cast<intptr_t>(h);
  program = r > 32 ? std::string(buf) : std::string();
  return r;
}

bool RealExitWindows(uint32_t flags) {
  // The NT family only lets a process shut down with the privilege enabled.
  HANDLE token = nullptr;
  if (OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token)) {
    TOKEN_PRIVILEGES tp{};
    if (LookupPrivilegeValueA(nullptr, "SeShutdownPrivilege", &tp.Privileges[0].Luid)) {
      tp.PrivilegeCount = 1;
      tp.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
      AdjustTokenPrivileges(token, FALSE, &tp, 0, nullptr, nullptr);
    }
    CloseHandle(token);
  }
  return ExitWindowsEx(flags, 0) != 0;
}

}  // namespace

TSysServices DefaultSysServices() {
  TSysServices s;
  s.ShellExecute = RealShellExecute;
  s.FindExecutable = RealFindExecutable;
  s.ExitWindows = RealExitWindows;
  s.ShowMessage = [](const std::string& text) { ShowMessage(text); };
  return s;
}

TSysServices& SysServices() {
  static TSysServices services = DefaultSysServices();
  return services;
}

}  // namespace morvane
