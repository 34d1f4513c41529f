// Line splitting: never reads out of bounds, and joining the lines with the
// ends they were read with gives the input back.
// fuzz-sources: platform/core/text_lines.cpp
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/core/text_lines.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view text(reinterpret_cast<const char*>(data), size);
  morvane::TTextLineReader reader(text);
  std::string joined;
  while (!reader.Eof()) {
    joined += reader.ReadLn();
    if (reader.LastLineHadCR()) joined += '\r';
    if (reader.LastLineHadEnd()) joined += '\n';
  }
  if (joined != text) std::abort();
  return 0;
}
