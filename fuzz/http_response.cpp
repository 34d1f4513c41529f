// The answer scanner: any split of the same bytes gives the same header and
// body, and the body lines never hold a line end.
// fuzz-sources: browserdata/net/http_codec.cpp
#include <cstdint>
#include <cstdlib>
#include <string>

#include "browserdata/net/http_codec.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const size_t cut = data[0] % size;
  std::string_view bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
  morvane::THttpResponseScanner whole, split;
  const std::string wholeBody(whole.Feed(bytes));
  std::string splitBody(split.Feed(bytes.substr(0, cut < bytes.size() ? cut : bytes.size())));
  if (cut < bytes.size()) splitBody += split.Feed(bytes.substr(cut));
  if (wholeBody != splitBody || whole.Header() != split.Header() || whole.HeaderComplete() != split.HeaderComplete())
    std::abort();
  (void)whole.StatusOk();
  (void)whole.ContentLength();
  for (const std::string& line : morvane::SplitBodyLines(wholeBody))
    if (line.find_first_of("\r\n") != std::string::npos || line.find('\0') != std::string::npos) std::abort();
  return 0;
}
