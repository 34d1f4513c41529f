// The update list and version comparison: never crash, and a version is
// never newer than itself.
// fuzz-sources: browserdata/net/update_list.cpp browserdata/net/http_codec.cpp browserdata/sys/qb_string_utils.cpp
#include <cstdint>
#include <cstdlib>
#include <string>

#include "browserdata/net/http_codec.h"
#include "browserdata/net/update_list.h"
#include "browserdata/sys/qb_string_utils.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view text(reinterpret_cast<const char*>(data), size);
  const auto lines = morvane::SplitBodyLines(text);
  if (const auto list = morvane::ParseUpdateList(lines)) {
    if (list->Notes.size() + 1 != lines.size()) std::abort();
    const auto same = morvane::IsNewerVersion(list->NewestVersion, list->NewestVersion);
    if (same && *same) std::abort();
    (void)morvane::IsNewerVersion(list->DownloadPath, list->NewestVersion);
  }
  std::string joined;
  const auto pieces = morvane::SplitString(text, "#", false);
  for (size_t i = 0; i < pieces.size(); ++i) joined += (i ? "#" : "") + pieces[i];
  std::string expected(text);
  if (!expected.empty() && expected.back() == '#') expected.pop_back();
  if (joined != expected) std::abort();
  return 0;
}
