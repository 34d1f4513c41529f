#include "platform/core/text_lines.h"

namespace morvane {

std::string TTextLineReader::ReadLn() {
  lastHadEnd_ = false;
  lastHadCR_ = false;
  if (pos_ >= text_.size()) return std::string();
  const size_t lf = text_.find('\n', pos_);
  size_t end = (lf == std::string_view::npos) ? text_.size() : lf;
  const size_t next = (lf == std::string_view::npos) ? text_.size() : lf + 1;
  if (lf != std::string_view::npos) {
    lastHadEnd_ = true;
    if (end > pos_ && text_[end - 1] == '\r') {
      --end;
      lastHadCR_ = true;
    }
  }
  std::string line(text_.substr(pos_, end - pos_));
  pos_ = next;
  return line;
}

std::vector<std::string> SplitTextLines(std::string_view text) {
  std::vector<std::string> lines;
  TTextLineReader reader(text);
  while (!reader.Eof()) lines.push_back(reader.ReadLn());
  return lines;
}

}  // namespace morvane
