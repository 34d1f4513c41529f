// Finding the profiles of a browser family: Netscape/Mozilla from its binary
// registry file, Firefox from profiles.ini; and the captions of profiles
// added by folder.
#include "browserdata/netscape/mozilla_cookies.h"
#include "browserdata/netscape/mozilla_registry.h"
#include "browserdata/netscape/profiles_ini.h"
#include "browserdata/sys/qb_sys_utils.h"
#include "platform/core/files.h"
#include "platform/core/sysutils.h"
#include "platform/core/textfiles.h"

namespace morvane {

void QbMozillaCookiesClass::DiscoverNetscapeProfiles(const std::string& AppDataFolder,
                                                     const std::vector<std::string>& CopyFolders) {
  QbMozillaRegistry registry(AppDataFolder, CopyFolders);
  registry.SelectKey("Common/profiles");
  registry.GetValue("CurrentProfile", CurrentProfile);
  const std::vector<TRegDataSubkey> names = registry.GetSubkeyNames();
  if (names.empty()) return;
  EnsureProfiles();
  for (const auto& sub : names) {
    try {
      std::string name = sub.Name;
      if (!name.empty() && name[0] == '/') name.erase(0, 1);
      registry.SelectKey("Common/profiles/" + name);
      std::string dir;
      registry.GetValue("directory", dir);
      const std::string label = "Netscape/Mozilla";
      AddProfile(label + ": " + name, MakeProfile(dir, label));
      ProfileDirs.Add(dir);
    } catch (const std::exception&) {
      // This profile is left out; the next one is tried.
    }
  }
}

void QbMozillaCookiesClass::DiscoverFirefoxProfiles(const std::string& AppDataFolder) {
  EnsureProfiles();
  if (AppDataFolder.empty()) return;
  const std::string ini = IncludeTrailingBackslash(AppDataFolder) + "Mozilla\\FireFox\\profiles.ini";
  for (int n = 0;; ++n) {
    std::string path, name;
    ReadProfilesIniEntry(ini, n, path, name);
    if (path.empty()) break;
    const std::string label = "FireFox";
    AddProfile(label + ": " + name, MakeProfile(path, label));
  }
}

void GetProfilesIniPath(std::string& Path) {
  Path.clear();
  try {
    std::string appData;
    GetSpecialFolderPath(nullptr, csidlAppData, appData);
    if (!appData.empty()) Path = IncludeTrailingBackslash(appData) + "Mozilla\\FireFox\\" + "profiles.ini";
  } catch (const std::exception&) {
    Path.clear();
  }
}

void ReadProfilesIniEntry(const std::string& IniPath, int Number, std::string& Path, std::string& Name) {
  Path.clear();
  std::string bytes;
  if (!FileExists(IniPath) || !TryLoadFileBytes(IniPath, bytes)) return;
  const TProfilesIniEntry e = profiles_ini::ReadEntry(TIniText(bytes), IniPath, Number,
                                                      [](const std::string& d) { return DirectoryExists(d); });
  if (e.Path.empty()) return;
  Path = e.Path;
  Name = e.Name;
}

void MakeProfileCaption(const std::string& Dir, const TStrings* Existing, std::string& Caption) {
  Caption = profiles_ini::MakeProfileCaption(
      Dir, [Existing](const std::string& c) { return Existing && Existing->IndexOf(c) >= 0; });
}

}  // namespace morvane
