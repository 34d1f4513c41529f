// Netscape/Mozilla and Firefox data as the stores read it:
//   netscape-cookies FILE   host, domain flag, path, secure, expires (ISO 8601
//                           UTC), expires (the file's field), name, value,
//                           HTTP-only
//   permissions DIR         type, host, cookie, image, pop-up, install (the
//                           file format read goes to stderr)
//   registry-dat FILE       key path, then value name and value for each entry
//                           of the key (a key without entries: its path alone)
//   profiles-ini FILE       number, name, folder of each profile section
//   profiles                family, caption, folder, cookies, permission
//                           format, current profile (Yes/No)
#include <cstdio>
#include <functional>
#include <unordered_set>

#include "browserdata/netscape/mozilla_cookies.h"
#include "browserdata/netscape/registry_dat.h"
#include "dump.h"
#include "platform/core/textfiles.h"

namespace morvane::dump {
namespace {

bool Usage(const std::vector<std::string>& args, size_t n, const char* usage) {
  if (args.size() == n) return false;
  std::fprintf(stderr, "usage: morvane-dump %s\n", usage);
  return true;
}

int RunNetscapeCookies(const std::vector<std::string>& args) {
  if (Usage(args, 1, "netscape-cookies FILE")) return 2;
  std::optional<std::vector<std::string>> header;
  TCookiesArray cookies;
  QbMozillaCookiesClass::ReadCookiesFile(args[0], header, cookies);
  for (const TQbCookie& c : cookies) {
    uint32_t seconds = 0;
    cookies_txt::ParseExpiryField(c.ExpiresField, seconds);
    PrintRecord({c.Host, c.DomainFlag ? "TRUE" : "FALSE", c.Path, c.Secure ? "TRUE" : "FALSE", IsoUtcFromUnix(seconds),
                 c.ExpiresField, c.Name, c.Value, c.HttpOnly ? "Yes" : "No"});
  }
  return 0;
}

int RunPermissions(const std::vector<std::string>& args) {
  if (Usage(args, 1, "permissions DIR")) return 2;
  TMozillaBlockedEntities perms(args[0]);
  static const char* const formats[] = {"cookperm.txt", "hostperm.1", "neither file"};
  std::fprintf(stderr, "format %d (%s)\n", perms.GetFormat(), formats[perms.GetFormat() % 3]);
  TQbBlockedHostList* hosts = perms.GetHosts();
  for (int i = 0; i < hosts->Count(); ++i) {
    const tQbBlockedDomain* r = hosts->Objects(i);
    PrintRecord({r->Kind, r->Host, std::to_string(r->Cookie), std::to_string(r->Image), std::to_string(r->Popup),
                 std::to_string(r->Install)});
  }
  return 0;
}

int RunRegistryDat(const std::vector<std::string>& args) {
  if (Usage(args, 1, "registry-dat FILE")) return 2;
  TRegistryDatReader reader(LoadFileBytes(args[0]), [](const std::string& t) {
    std::fprintf(stderr, "unexpected node type (%s)\n", t.c_str());
  });
  if (!reader.Valid()) {
    std::fprintf(stderr, "morvane-dump: %s is no Netscape/Mozilla registry file\n", args[0].c_str());
    return 1;
  }
  std::unordered_set<uint32_t> seen;
  std::function<void(const TRegDataKeyItem&, const std::string&)> walk = [&](const TRegDataKeyItem& key,
                                                                             const std::string& path) {
    if (key.Location < 0 || !seen.insert(static_cast<uint32_t>(key.Location)).second) return;
    bool any = false;
    std::unordered_set<uint32_t> entries;
    for (uint32_t e = key.FirstValue; e != 0 && entries.insert(e).second;) {
      const TRegDataValueItem v = reader.ReadValue(e);
      if (v.Location < 0) break;
      PrintRecord({path, v.Name, v.Value});
      any = true;
      e = v.NextEntry;
    }
    if (!any) PrintRecord({path});
    for (const TRegDataSubkey& sub : reader.SubkeyNames(key))
      walk(reader.ReadKey(sub.Position), path == "/" ? sub.Name : path + sub.Name);
  };
  walk(reader.Root(), "/");
  return 0;
}

int RunProfilesIni(const std::vector<std::string>& args) {
  if (Usage(args, 1, "profiles-ini FILE")) return 2;
  for (int n = 0;; ++n) {
    std::string path, name;
    ReadProfilesIniEntry(args[0], n, path, name);
    if (path.empty()) break;
    PrintRecord({std::to_string(n), name, path});
  }
  return 0;
}

int RunProfiles(const std::vector<std::string>& args) {
  if (Usage(args, 0, "profiles")) return 2;
  for (uint8_t kind : {0, 1}) {
    QbMozillaCookiesClass store(kind);
    const TStringList* list = store.GetProfiles();
    if (!list) continue;
    for (int i = 0; i < list->Count(); ++i) {
      const qbMozillaProfileInfo* p = store.Profile(i);
      const std::string caption = list->Strings(i);
      const bool current =
          !store.CurrentProfile.empty() && (caption == store.CurrentProfile ||
                                            caption == p->BrowserLabel + ": " + store.CurrentProfile);
      PrintRecord({kind == 0 ? "Netscape/Mozilla" : "FireFox", caption, p->Dir, std::to_string(p->Cookies.size()),
                   std::to_string(p->Permissions ? p->Permissions->GetFormat() : 1), current ? "Yes" : "No"});
    }
  }
  return 0;
}

TCommand netscapeCookies("netscape-cookies", "FILE",
                         "cookies of a cookies.txt: host, domain flag, path, secure, expires (ISO UTC and the file's "
                         "field), name, value, HTTP-only",
                         RunNetscapeCookies);
TCommand permissions("permissions", "DIR",
                     "per-host permissions of a profile folder: type, host, cookie, image, pop-up, install",
                     RunPermissions);
TCommand registryDat("registry-dat", "FILE", "keys and values of a Netscape/Mozilla Registry.dat", RunRegistryDat);
TCommand profilesIni("profiles-ini", "FILE", "profiles a profiles.ini names: number, name, folder", RunProfilesIni);
TCommand profiles("profiles", "",
                  "Netscape/Mozilla and Firefox profiles of the running user: family, caption, folder, cookies, "
                  "permission format, current",
                  RunProfiles);

}  // namespace
}  // namespace morvane::dump
