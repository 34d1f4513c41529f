// Command splitting: never reads out of bounds, every command comes back
// trimmed, and joining the commands with ";" splits into the same commands
// again (the separators it split at were outside parentheses, and trimming
// touches no parenthesis).
// fuzz-sources: app/command_line_parser.cpp
#include <cstdint>
#include <cstdlib>
#include <string>

#include "app/command_line_parser.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view text(reinterpret_cast<const char*>(data), size);
  const auto commands = morvane::SplitCommands(text);
  std::string joined;
  for (size_t i = 0; i < commands.size(); ++i) {
    const std::string& c = commands[i];
    if (!c.empty() && (static_cast<unsigned char>(c.front()) <= ' ' || static_cast<unsigned char>(c.back()) <= ' '))
      std::abort();
    if (i) joined += ';';
    joined += c;
  }
  // A trailing empty command does not survive the join; everything else does.
  if (!commands.empty() && !commands.back().empty() && morvane::SplitCommands(joined) != commands) std::abort();
  return 0;
}
