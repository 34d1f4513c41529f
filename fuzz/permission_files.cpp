// cookperm.txt and hostperm.1: parsing never reads out of bounds; for text
// without CR, writing what was read settles after one round (a CR before a
// line end is taken as part of it), and every permission written reads back.
// fuzz-sources: browserdata/netscape/permission_files.cpp platform/core/text_lines.cpp
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "browserdata/netscape/permission_files.h"

namespace {

using namespace morvane;

std::vector<const tQbBlockedDomain*> Pointers(const TPermissionFile& f) {
  std::vector<const tQbBlockedDomain*> v;
  for (const auto& r : f.Hosts) v.push_back(&r);
  return v;
}

const std::vector<std::string>* Opt(const std::optional<std::vector<std::string>>& o) { return o ? &*o : nullptr; }

std::string WriteC(const TPermissionFile& f) {
  return permission_files::WriteCookperm(Opt(f.Header), Pointers(f), Opt(f.Extra));
}
std::string WriteH(const TPermissionFile& f) {
  return permission_files::WriteHostperm(f.Header ? *f.Header : permission_files::DefaultHostpermHeader(),
                                         Pointers(f));
}

const tQbBlockedDomain* FindHost(const TPermissionFile& f, const std::string& host) {
  for (const auto& r : f.Hosts)
    if (permission_files::SameHost(r.Host, host)) return &r;
  return nullptr;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);

  const bool hasCR = text.find('\r') != std::string_view::npos;
  const std::string c1 = WriteC(permission_files::ParseCookperm(text));
  const TPermissionFile cp = permission_files::ParseCookperm(c1);
  if (!hasCR && WriteC(cp) != c1) std::abort();

  const TPermissionFile h0 = permission_files::ParseHostperm(text);
  const std::string h1 = WriteH(h0);
  const TPermissionFile hp = permission_files::ParseHostperm(h1);
  if (!hasCR && WriteH(hp) != h1) std::abort();

  if (hasCR) return 0;
  for (const auto& r : h0.Hosts) {
    if (!(r.Cookie | r.Image | r.Popup | r.Install)) continue;
    const tQbBlockedDomain* back = FindHost(hp, r.Host);
    if (!back || back->Cookie != r.Cookie || back->Image != r.Image || back->Popup != r.Popup ||
        back->Install != r.Install || back->Kind != r.Kind)
      std::abort();
  }
  return 0;
}
