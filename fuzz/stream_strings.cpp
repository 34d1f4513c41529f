// Length-prefixed stream strings: any length field is handled without
// reading past the data or allocating more than it holds, and a string read
// writes back to the bytes it came from.
// fuzz-sources: controls/stream_codec.cpp
#include <cstdint>
#include <cstdlib>
#include <string>

#include "controls/stream_codec.h"

using namespace morvane::elcodec;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TBytes in(data, size);
  size_t pos = 0;
  // Alternate 8-bit and wide strings until the data run out.
  for (bool wide = false; pos < size; wide = !wide) {
    const size_t before = pos;
    std::string s = "unchanged";
    std::wstring w = L"unchanged";
    const TDecodeResult r = wide ? DecodeWideString(in, pos, w) : DecodeString(in, pos, s);
    if (pos < before || pos > size) std::abort();
    if (r != TDecodeResult::Ok) {
      if ((wide ? w != L"unchanged" : s != "unchanged")) std::abort();
      if (r == TDecodeResult::BadHeader && pos != before + 4) std::abort();
      continue;
    }
    std::string again;
    if (wide)
      EncodeWideString(again, w);
    else
      EncodeString(again, s);
    if (again.size() != pos - before || again.compare(0, again.size(), reinterpret_cast<const char*>(data + before),
                                                      again.size()) != 0)
      std::abort();
  }
  return 0;
}
