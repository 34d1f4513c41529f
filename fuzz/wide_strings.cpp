// Wide-string list streams: text with or without a byte-order mark and the
// "Strings" layout list. Nothing reads out of bounds, and a list read writes
// back to a list that reads the same.
// fuzz-sources: controls/stream_codec.cpp
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "controls/stream_codec.h"
#include "fuzz_widen.h"

using namespace morvane::elcodec;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TBytes in(data, size);
  const TDecodedText text = DecodeText(in);
  const std::vector<std::wstring> lines = SplitLines(text.Unicode ? text.Wide : Widen(text.Ansi));
  for (const std::wstring& l : lines)
    if (l.find_first_of(std::wstring(L"\r\n\0", 3)) != std::wstring::npos) std::abort();

  size_t pos = 0;
  std::vector<TStringsItem> items;
  const TStringsResult r = DecodeStrings(in, pos, items);
  if (pos > size) std::abort();
  if (r != TStringsResult::Ok) return 0;
  std::vector<std::wstring> wide;
  for (const TStringsItem& it : items) wide.push_back(it.Wide ? it.W : Widen(it.A));
  // 8-bit items become wide ones; an embedded NUL was already cut off.
  for (std::wstring& w : wide) {
    const size_t nul = w.find(L'\0');
    if (nul != std::wstring::npos) w.resize(nul);
  }
  std::string bytes;
  EncodeStrings(bytes, wide);
  size_t pos2 = 0;
  std::vector<TStringsItem> again;
  if (DecodeStrings(TBytes(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()), pos2, again) !=
          TStringsResult::Ok ||
      pos2 != bytes.size() || again.size() != wide.size())
    std::abort();
  for (size_t i = 0; i < wide.size(); ++i)
    if (!again[i].Wide || again[i].W != wide[i]) std::abort();
  return 0;
}
