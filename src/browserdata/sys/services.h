// Side effects that reach outside the program: opening documents and URLs with
// their programs, looking up a document's program and restarting Windows.
// Each is a replaceable function with the real system call as its default, so
// tests can watch what would have happened without starting a browser, a mail
// client or a restart. (Message boxes go through the modal layer,
// platform/ui/modal.h.)
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace morvane {

struct TSysServices {
  // ShellExecute: result above 32 means success.
  std::function<intptr_t(const std::string& Verb, const std::string& File, const std::string& Parameters,
                         const std::string& Directory, int ShowCmd)>
      ShellExecute;
  // FindExecutable: result above 32 means Program holds the program's path.
  std::function<intptr_t(const std::string& File, const std::string& Directory, std::string& Program)>
      FindExecutable;
  // ExitWindowsEx with the shutdown privilege enabled; true when it was accepted.
  std::function<bool(uint32_t Flags)> ExitWindows;
  // ShowMessage of the modal layer (where a test's responder sees it).
  std::function<void(const std::string& Text)> ShowMessage;
};

// The process-wide services; a test swaps members and restores them.
TSysServices& SysServices();
// The real ones.
TSysServices DefaultSysServices();

// Installs a copy of the given services for the lifetime of the object and
// puts the previous ones back afterwards.
class TSysServicesScope {
 public:
  explicit TSysServicesScope(TSysServices services) : saved_(SysServices()) { SysServices() = std::move(services); }
  ~TSysServicesScope() { SysServices() = std::move(saved_); }
  TSysServicesScope(const TSysServicesScope&) = delete;
  TSysServicesScope& operator=(const TSysServicesScope&) = delete;

 private:
  TSysServices saved_;
};

}  // namespace morvane
