// Splits the program's first command-line argument into commands at every
// ";" that is not inside parentheses. Only the standard library, so that it
// builds natively for fuzzing.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace morvane {

// The commands of one argument, in order: each trimmed of blanks and control
// characters; an empty command between two ";" is kept, an empty rest after
// the last ";" is not. Depth counting runs on across commands, so an
// unbalanced "(" keeps every later ";" inside the current command.
std::vector<std::string> SplitCommands(std::string_view Argument);

class TCommandLineParser {
 public:
  // Arguments: the program's arguments without the program name. With none,
  // Commands stays null.
  explicit TCommandLineParser(const std::vector<std::string>& Arguments);
  // The text still to be split: empty once parsing is done.
  std::string Data;
  // The commands found; null when the program got no argument.
  std::unique_ptr<std::vector<std::string>> Commands;
};

}  // namespace morvane
