#include "browserdata/sys/tell_user.h"

#include <mutex>

#include "platform/win32.h"

namespace morvane {
namespace {

std::mutex gLock;
TTellUserFn& Installed() {
  static TTellUserFn fn;
  return fn;
}

}  // namespace

TTellUserFn SetTellUser(TTellUserFn Fn) {
  std::lock_guard<std::mutex> lock(gLock);
  std::swap(Installed(), Fn);
  return Fn;
}

void TellUser(const std::string& Text) {
  TTellUserFn fn;
  {
    std::lock_guard<std::mutex> lock(gLock);
    fn = Installed();
  }
  if (fn) {
    fn(Text);
    return;
  }
  ::OutputDebugStringA(("Morvane: " + Text + "\n").c_str());
}

}  // namespace morvane
