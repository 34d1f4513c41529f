// Cookie-file records: parsing never reads out of bounds, writing the records
// and reading them again gives the same records, and layout-keeping edits
// leave a record that reads back with the new time.
// fuzz-sources: browserdata/ie/ie_cookie_records.cpp platform/core/text_lines.cpp
#include <cstdint>
#include <cstdlib>
#include <string>

#include "browserdata/ie/ie_cookie_records.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace morvane;
  std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const std::vector<TIECookieRecord> records = ParseIECookieRecords(bytes);
  const std::string text = FormatIECookieRecords(records);
  if (ParseIECookieRecords(text) != records) std::abort();

  const uint64_t fileTime = static_cast<uint64_t>(size) * 0x9E3779B97F4A7C15ull;
  for (TIECookieRecord r : records) {
    std::string low, high;
    EditIEExpiry(r, fileTime, low, high);
    if (IEFileTime(low, high) != fileTime) std::abort();
    if (low.size() + high.size() < r.ExpiresLowText.size() + r.ExpiresHighText.size()) std::abort();
    r.ExpiresLowText = low;
    r.ExpiresHighText = high;
    int flags = 0;
    if (TryParseIEFlags(r.Flags, flags)) {
      const std::string edited = EditIEFlags(r.Flags, size & 1, size & 2);
      if (edited.size() != r.Flags.size()) std::abort();
      r.Flags = edited;
    }
    const std::vector<TIECookieRecord> edited = ParseIECookieRecords(FormatIECookieRecords({r}));
    if (fileTime != 0 && (edited.size() != 1 || !(edited[0] == r))) std::abort();
  }
  return 0;
}
