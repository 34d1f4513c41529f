// What the program does outside itself, behind services a test can replace:
// opening documents and links with the shell, and restarting Windows.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "platform/win32.h"

namespace morvane {

struct TSystemServices {
  // ShellExecuteA; the result is the instance value (> 32 on success).
  std::function<intptr_t(HWND Wnd, const std::string& Operation, const std::string& File,
                         const std::string& Parameters, const std::string& Directory, int ShowCmd)>
      ShellExecute;
  // FindExecutableA; Result gets the program's path.
  std::function<intptr_t(const std::string& File, const std::string& Directory, std::string& Result)> FindExecutable;
  // Asks for the shutdown privilege and calls ExitWindowsEx(Flags).
  std::function<bool(UINT Flags)> ExitWindows;
};

// The services in use; the real ones until a test replaces them.
TSystemServices& SystemServices();
// The real ones.
TSystemServices RealSystemServices();

// Puts other services in place for a scope.
class TSystemServicesScope {
 public:
  explicit TSystemServicesScope(TSystemServices Services);
  ~TSystemServicesScope();
  TSystemServicesScope(const TSystemServicesScope&) = delete;
  TSystemServicesScope& operator=(const TSystemServicesScope&) = delete;

 private:
  TSystemServices previous_;
};

intptr_t ShellExecute(HWND Wnd, const std::string& Operation, const std::string& File,
                      const std::string& Parameters = std::string(), const std::string& Directory = std::string(),
                      int ShowCmd = SW_SHOWNORMAL);
intptr_t FindExecutable(const std::string& File, const std::string& Directory, std::string& Result);
bool ExitWindows(UINT Flags);

}  // namespace morvane
