#include "app/command_line_parser.h"

namespace morvane {

namespace {

// Blanks and control characters go, as the program's Trim does.
std::string TrimBlanks(std::string_view s) {
  size_t b = 0, e = s.size();
  while (b < e && static_cast<unsigned char>(s[b]) <= ' ') ++b;
  while (e > b && static_cast<unsigned char>(s[e - 1]) <= ' ') --e;
  return std::string(s.substr(b, e - b));
}

// Splits Data in place; the depth carries over from one command to the next.
void Split(std::string& Data, std::vector<std::string>& Commands) {
  int depth = 0;
  size_t i = 0;
  while (i < Data.size()) {
    const char c = Data[i];
    if (c == '(') {
      ++depth;
    } else if (c == ')') {
      --depth;
    } else if (c == ';' && depth == 0) {
      Commands.push_back(TrimBlanks(std::string_view(Data).substr(0, i)));
      Data.erase(0, i + 1);
      i = 0;
      continue;
    }
    ++i;
  }
  std::string rest = TrimBlanks(Data);
  if (!rest.empty()) Commands.push_back(std::move(rest));
  Data.clear();
}

}  // namespace

std::vector<std::string> SplitCommands(std::string_view Argument) {
  std::string data(Argument);
  std::vector<std::string> commands;
  Split(data, commands);
  return commands;
}

TCommandLineParser::TCommandLineParser(const std::vector<std::string>& Arguments) {
  if (Arguments.empty()) return;
  Data = Arguments.front();
  Commands = std::make_unique<std::vector<std::string>>();
  Split(Data, *Commands);
}

}  // namespace morvane
