// ie-cookies FOLDER: every cookie of the Internet Explorer cookie folder, as
// the store reads it:
//   file, name, value, flags, host/path, secure, HTTP-only,
//   created (ISO 8601 UTC), created (raw file time),
//   expires (ISO 8601 UTC), expires (raw file time)
// The ISO times come from the file times themselves, not from the store's
// local two-second dates; a zero file time prints as an empty time.
#include <cstdio>

#include "browserdata/ie/cookie_info.h"
#include "browserdata/ie/ie_cookie_records.h"
#include "dump.h"

namespace morvane::dump {
namespace {

std::string IsoFromFileTime(uint64_t ft) {
  if (ft == 0) return {};
  const int64_t unixEpoch = 116444736000000000ll;
  const int64_t ticks = static_cast<int64_t>(ft) - unixEpoch;
  return IsoUtcFromUnix(ticks >= 0 ? ticks / 10000000 : -((-ticks + 9999999) / 10000000));
}

int RunIECookies(const std::vector<std::string>& args) {
  if (args.size() != 1) {
    std::fprintf(stderr, "usage: morvane-dump ie-cookies FOLDER\n");
    return 2;
  }
  TCookieInfo info(args[0]);
  for (int i = 0; i < info.GetFoundFileCount(); ++i) {
    TCookieInfoDetails d;
    info.GetFileDetails(i, d);
    if (d.FileSize == 0) continue;
    for (const TCookieValueInfo& c : d.Cookies) {
      int flags = 0;
      const bool numeric = TryParseIEFlags(c.Flags, flags);
      const uint64_t created = IEFileTime(c.CreatedLowText, c.CreatedHighText);
      const uint64_t expires = IEFileTime(c.ExpiresLowText, c.ExpiresHighText);
      PrintRecord({d.FileName, c.Name, c.Value, c.Flags, c.HostPath,
                   numeric && (flags & ieFlagSecure) ? "Yes" : "No", numeric && (flags & ieFlagHttpOnly) ? "Yes" : "No",
                   IsoFromFileTime(created), std::to_string(created), IsoFromFileTime(expires),
                   std::to_string(expires)});
    }
  }
  return 0;
}

TCommand command("ie-cookies", "FOLDER",
                 "Internet Explorer cookies of FOLDER and its sub-folders: file, name, value, flags, host/path, "
                 "secure, HTTP-only, created, expires (ISO UTC and raw file time)",
                 RunIECookies);

}  // namespace
}  // namespace morvane::dump
