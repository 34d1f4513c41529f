// What the stores have to tell the user: a cookie file that could not be
// deleted, a damaged browser registry, a move the system refused. The data
// layer shows no windows itself; the program installs its message box here,
// tools and tests install what they need. With nothing installed the text
// goes to the debugger's output, so nothing can ever stop on a box.
#pragma once

#include <functional>
#include <string>

namespace morvane {

using TTellUserFn = std::function<void(const std::string& Text)>;

// Installs Fn (empty: the debugger output) and returns the one it replaces.
TTellUserFn SetTellUser(TTellUserFn Fn);
// Hands Text to the installed function.
void TellUser(const std::string& Text);

// Installs a function for its own lifetime, then puts the previous one back.
class TTellUserScope {
 public:
  explicit TTellUserScope(TTellUserFn Fn) : previous_(SetTellUser(std::move(Fn))) {}
  ~TTellUserScope() { SetTellUser(std::move(previous_)); }
  TTellUserScope(const TTellUserScope&) = delete;
  TTellUserScope& operator=(const TTellUserScope&) = delete;

 private:
  TTellUserFn previous_;
};

}  // namespace morvane
