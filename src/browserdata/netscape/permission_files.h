// The per-host permission files of a Netscape/Mozilla or Firefox profile,
// "cookperm.txt" (older) and "hostperm.1" (newer): bytes to header lines and
// host records, and back. Pure: no I/O, no Windows headers.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace morvane {

// One host's permissions: 0 default (no entry), 1 allow, 2 block; values read
// from hostperm.1 are kept as read.
struct tQbBlockedDomain {
  std::string Kind;
  std::string Host;
  uint8_t Cookie = 0;
  uint8_t Image = 0;
  uint8_t Popup = 0;
  uint8_t Install = 0;
};
using PQbBlockedDomain = tQbBlockedDomain*;

struct TPermissionFile {
  // Header lines as read; nothing when there was none to read.
  std::optional<std::vector<std::string>> Header;
  // cookperm.txt lines whose first field is "@@@@", kept whole.
  std::optional<std::vector<std::string>> Extra;
  // One record per host (hosts compared ignoring ASCII case), in the order
  // they first appear.
  std::vector<tQbBlockedDomain> Hosts;
};

namespace permission_files {

const std::vector<std::string>& DefaultCookpermHeader();
const std::vector<std::string>& DefaultHostpermHeader();
inline constexpr const char* kDefaultCookpermExtra = "@@@@\t0F\t1F\t2F";

TPermissionFile ParseCookperm(std::string_view bytes);
TPermissionFile ParseHostperm(std::string_view bytes);

// `hosts` in the order they are to be written. A host with no permission the
// format can say gets no line at all.
std::string WriteCookperm(const std::vector<std::string>* header, const std::vector<const tQbBlockedDomain*>& hosts,
                          const std::vector<std::string>* extra);
std::string WriteHostperm(const std::vector<std::string>& header, const std::vector<const tQbBlockedDomain*>& hosts);

// ASCII case-insensitive equality, as host names compare.
bool SameHost(std::string_view a, std::string_view b);

}  // namespace permission_files
}  // namespace morvane
