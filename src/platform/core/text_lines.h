// Splitting text-file bytes into lines the way the toolkit's text files read
// them. Pure: no I/O, no Windows headers, so it also builds natively for fuzzing.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace morvane {

// Reads the text one line at a time.
//  - LF and CR LF end a line; a lone CR is part of the line.
//  - Eof() is true right after the last line, whether or not it ends in LF.
//  - Ctrl-Z (0x1A) is ordinary data: the files we read (cookie and permission
//    files) are written by programs that never use it as an end marker.
class TTextLineReader {
 public:
  explicit TTextLineReader(std::string_view text) : text_(text) {}
  bool Eof() const { return pos_ >= text_.size(); }
  // The next line without its end; empty at end of file.
  std::string ReadLn();
  // Whether the line read last was ended by LF (false for a final line
  // without one). A writer uses it to give the line back as it was.
  bool LastLineHadEnd() const { return lastHadEnd_; }
  bool LastLineHadCR() const { return lastHadCR_; }
  size_t Position() const { return pos_; }

 private:
  std::string_view text_;
  size_t pos_ = 0;
  bool lastHadEnd_ = false;
  bool lastHadCR_ = false;
};

// All lines of a text (a final line without LF counts; an empty text has none).
std::vector<std::string> SplitTextLines(std::string_view text);

}  // namespace morvane
