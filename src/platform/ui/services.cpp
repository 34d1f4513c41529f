#include "platform/ui/services.h"

namespace morvane {

TSystemServices RealSystemServices() {
  TSystemServices s;
  s.ShellExecute = [](HWND w, const std::string& op, const std::string& file, const std::string& params,
                      const std::string& dir, int show) -> intptr_t {
    return reinterpret_cast<intptr_t>(ShellExecuteA(w, op.empty() ? nullptr : op.c_str(), file.c_str(),
                                                    params.empty() ? nullptr : params.c_str(),
                                                    dir.empty() ? nullptr : dir.c_str(), show));
  };
  s.FindExecutable = [](const std::string& file, const std::string& dir, std::string& result) -> intptr_t {
    char buf[MAX_PATH] = {};
    intptr_t r = reinterpret_cast<intptr_t>(FindExecutableA(file.c_str(), dir.empty() ? nullptr : dir.c_str(), buf));
    result = r > 32 ? buf : "";
    return r;
  };
  s.ExitWindows = [](UINT flags) -> bool {
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
    return ExitWindowsEx(flags, 0) != FALSE;
  };
  return s;
}

TSystemServices& SystemServices() {
  static TSystemServices s = RealSystemServices();
  return s;
}

TSystemServicesScope::TSystemServicesScope(TSystemServices Services) : previous_(SystemServices()) {
  TSystemServices& cur = SystemServices();
  // A service left empty keeps the one in place.
  if (Services.ShellExecute) cur.ShellExecute = std::move(Services.ShellExecute);
  if (Services.FindExecutable) cur.FindExecutable = std::move(Services.FindExecutable);
  if (Services.ExitWindows) cur.ExitWindows = std::move(Services.ExitWindows);
}

TSystemServicesScope::~TSystemServicesScope() { SystemServices() = std::move(previous_); }

intptr_t ShellExecute(HWND Wnd, const std::string& Operation, const std::string& File, const std::string& Parameters,
                      const std::string& Directory, int ShowCmd) {
  return SystemServices().ShellExecute(Wnd, Operation, File, Parameters, Directory, ShowCmd);
}

intptr_t FindExecutable(const std::string& File, const std::string& Directory, std::string& Result) {
  return SystemServices().FindExecutable(File, Directory, Result);
}

bool ExitWindows(UINT Flags) { return SystemServices().ExitWindows(Flags); }

}  // namespace morvane
