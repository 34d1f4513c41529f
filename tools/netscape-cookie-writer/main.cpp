// netscape-cookie-writer: sets cookies in a profile folder's cookies.txt
// through the Netscape-format cookie store and saves it, so that other
// programs can be checked against files our store wrote.
//
//   netscape-cookie-writer DIR [HOST PATH NAME VALUE SECONDS SECURE DOMAIN]...
//
// Each group of seven sets (replaces or appends) one cookie; SECURE and
// DOMAIN are TRUE or FALSE, SECONDS the expiry since 1970.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "browserdata/netscape/mozilla_cookies.h"

int main(int argc, char** argv) {
  using namespace morvane;
  if (argc < 2 || (argc - 2) % 7 != 0) {
    std::fprintf(stderr, "usage: netscape-cookie-writer DIR [HOST PATH NAME VALUE SECONDS SECURE DOMAIN]...\n");
    return 2;
  }
  try {
    auto store = QbMozillaCookiesClass::CreateForProfile(argv[1]);
    const std::string profile = store->GetProfiles()->Strings(0);
    for (int i = 2; i + 6 < argc; i += 7) {
      TQbCookie c;
      c.Host = argv[i];
      c.Path = argv[i + 1];
      c.Name = argv[i + 2];
      c.Value = argv[i + 3];
      c.Expires = QbMozillaCookiesClass::ExpiresText(static_cast<uint32_t>(std::strtoul(argv[i + 4], nullptr, 10)));
      c.Secure = std::string(argv[i + 5]) == "TRUE";
      c.DomainFlag = std::string(argv[i + 6]) == "TRUE";
      store->SetCookie(profile, c);
    }
    store->SaveCookies(profile);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "netscape-cookie-writer: %s\n", e.what());
    return 1;
  }
  return 0;
}
