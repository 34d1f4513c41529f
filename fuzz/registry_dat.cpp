// Registry.dat: no read outside the bytes, and every walk ends, whatever the
// positions in the file say.
// fuzz-sources: browserdata/netscape/registry_dat.cpp
#include <cstdint>
#include <string>

#include "browserdata/netscape/registry_dat.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace morvane;
  TRegistryDatReader r(std::string(reinterpret_cast<const char*>(data), size), [](const std::string&) {});
  const TRegDataKeyItem profiles = r.ReadKey(r.FindKey("Common/profiles", static_cast<uint32_t>(r.Root().Location)));
  std::string value;
  r.GetValue(profiles, "CurrentProfile", value);
  for (const auto& sub : r.SubkeyNames(profiles)) {
    const TRegDataKeyItem k = r.ReadKey(sub.Position);
    r.GetValue(k, "directory", value);
  }
  for (const auto& sub : r.SubkeyNames(r.Root())) r.SubkeyNames(r.ReadKey(sub.Position));
  return 0;
}
