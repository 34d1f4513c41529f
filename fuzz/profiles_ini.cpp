// profiles.ini and profile captions: no read out of bounds, every entry
// resolves, captions end with their asterisk mark.
// fuzz-sources: browserdata/netscape/profiles_ini.cpp platform/core/text_lines.cpp
#include <cstdint>
#include <cstdlib>
#include <set>
#include <string>

#include "browserdata/netscape/profiles_ini.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace morvane;
  const std::string text(reinterpret_cast<const char*>(data), size);
  const TIniText ini(text);
  for (int n = 0; n < 64; ++n) {
    profiles_ini::ReadEntry(ini, "C:\\a\\profiles.ini", n, [](const std::string& d) { return d.size() % 2 == 0; });
  }
  std::set<std::string> taken;
  for (int i = 0; i < 3; ++i) {
    const std::string c = profiles_ini::MakeProfileCaption(text, [&](const std::string& s) { return taken.count(s) > 0; });
    if (c.size() < 4 || c.compare(c.size() - 2, 2, "*)") != 0 || !taken.insert(c).second) std::abort();
  }
  return 0;
}
