// The Netscape-format cookie store: the profiles of one browser family
// (Netscape/Mozilla or Firefox), or of folders the user named, each with its
// "cookies.txt" cookies and its per-host permissions.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "browserdata/netscape/cookies_txt.h"
#include "browserdata/netscape/mozilla_blocked_entities.h"
#include "platform/core/classes.h"
#include "platform/core/components.h"

namespace morvane {

// One profile, owned by its store.
class qbMozillaProfileInfo : public TObject {
 public:
  std::string Dir;  // without a trailing backslash
  // The header lines of cookies.txt as last read; nothing when none was read.
  std::optional<std::vector<std::string>> Header;
  TCookiesArray Cookies;
  std::unique_ptr<TMozillaBlockedEntities> Permissions;
  std::string BrowserLabel;  // "Netscape/Mozilla", "FireFox", or empty for a folder
  // The last read of cookies.txt failed: the cookies are the ones read
  // before (none when the file could not be opened or read at all), and
  // SaveCookies refuses to write them over the file.
  bool Unreadable = false;
};

class QbMozillaCookiesClass {
 public:
  // Kind 0 finds the Netscape/Mozilla profiles of the running user, Kind 1
  // the Firefox ones. A failure while looking leaves the profiles found so far.
  explicit QbMozillaCookiesClass(uint8_t Kind);
  // The same, looking in AppDataFolder in place of the user's application
  // data, and copying Registry.dat into CopyFolders.
  //
  // With Previous, the store is made afresh to replace it: the profiles it
  // finds (and those added with AddProfileDir until ReleaseCookieMemory)
  // read their cookies.txt into the memory of Previous's profile of the same
  // folder, and Previous's profiles are left without cookies. What the new
  // store holds is what it would hold without Previous.
  QbMozillaCookiesClass(uint8_t Kind, const std::string& AppDataFolder, const std::vector<std::string>& CopyFolders,
                        QbMozillaCookiesClass* Previous = nullptr);
  QbMozillaCookiesClass(uint8_t Kind, QbMozillaCookiesClass& Previous);
  // A store holding exactly the profile folder ProfileDir.
  static std::unique_ptr<QbMozillaCookiesClass> CreateForProfile(const std::string& ProfileDir);
  // A store of every folder of Dirs that holds a cookies.txt; raises
  // Exception("cannot create mozilla cookies class") when none does.
  static std::unique_ptr<QbMozillaCookiesClass> CreateForProfiles(const TStrings& Dirs);
  virtual ~QbMozillaCookiesClass();
  QbMozillaCookiesClass(const QbMozillaCookiesClass&) = delete;
  QbMozillaCookiesClass& operator=(const QbMozillaCookiesClass&) = delete;

  // False when a profile of that folder (ignoring case) is already listed.
  bool AddProfileDir(const std::string& Dir);
  // Frees what was taken from the store this one replaced and no profile
  // of this one has used.
  void ReleaseCookieMemory();
  // Captions with their qbMozillaProfileInfo objects; null before the first profile.
  TStringList* GetProfiles() const { return Profiles.get(); }
  qbMozillaProfileInfo* Profile(int Index) const;
  qbMozillaProfileInfo* FindProfile(const std::string& ProfileCaption) const;
  void GetProfileDir(int ProfileIndex, std::string& Dir) const;
  void GetCookies(int ProfileIndex, TCookiesArray& Cookies) const;

  // Rewrites the profile's cookies.txt. Raises when the file cannot be
  // written, an edited expiry is no date, or the last reload could not read
  // the file; the file is then left as it was.
  void SaveCookies(const std::string& ProfileCaption);
  // Reads cookies.txt again. When that raises, the profile keeps the cookies
  // and header it had (and is not saved until a reload succeeds).
  void ReloadCookies(const std::string& ProfileCaption);
  // Replaces the cookie of the same host, path and name, or appends Cookie.
  void SetCookie(const std::string& ProfileCaption, const TQbCookie& Cookie);
  void DeleteCookie(const std::string& ProfileCaption, const TQbCookie& Cookie);
  static int FindCookie(const TCookiesArray& Cookies, const TQbCookie& Cookie);

  TQbBlockedHostList* GetBlockedHosts(const std::string& ProfileCaption) const;
  bool SavePermissions(const std::string& ProfileCaption);
  void ReloadPermissions(const std::string& ProfileCaption);
  // The profile's store takes Rec (see TMozillaBlockedEntities::Add); for an
  // unknown caption Rec is freed.
  void AddPermission(const std::string& ProfileCaption, PQbBlockedDomain Rec);
  void DeletePermission(const std::string& ProfileCaption, const tQbBlockedDomain& Rec);
  uint8_t GetPermissionFileFormat(const std::string& ProfileCaption) const;
  // Kind 0 cookies, 1 images, 2 pop-ups, 3 installs; Value 0 default, 1
  // allow, 2 block. Changes only the store held in memory.
  void SetPermission(const std::string& ProfileCaption, const std::string& Host, uint8_t Value, int Kind);

  // cookies.txt to header lines and cookies, with the Expires texts of the
  // user's locale. An unreadable file gives an empty header, no cookies and
  // false; a cookie line whose expiry is no number raises EConvertError.
  static bool ReadCookiesFile(const std::string& Path, std::optional<std::vector<std::string>>& Header,
                              TCookiesArray& Cookies);
  static void WriteCookiesFile(const std::string& Path, const TCookiesArray& Cookies,
                               const std::vector<std::string>* Header);
  // The Expires text of a count of seconds, and back (EConvertError).
  static std::string ExpiresText(uint32_t Seconds);
  static void ExpiresTextInto(uint32_t Seconds, std::string& Text);
  static uint32_t ExpiresSeconds(const std::string& Text);

  std::unique_ptr<TStringList> Profiles;
  std::string CurrentProfile;
  TStringList ProfileDirs;

 private:
  QbMozillaCookiesClass() = default;
  void DiscoverNetscapeProfiles(const std::string& AppDataFolder, const std::vector<std::string>& CopyFolders);
  void DiscoverFirefoxProfiles(const std::string& AppDataFolder);
  void Discover(uint8_t Kind, const std::string& AppDataFolder, const std::vector<std::string>& CopyFolders);
  // A profile record for Dir: its cookies when the file exists, its permissions.
  std::unique_ptr<qbMozillaProfileInfo> MakeProfile(const std::string& Dir, const std::string& Label);
  // Lists Info under Caption, made unique when another profile has it.
  void AddProfile(const std::string& Caption, std::unique_ptr<qbMozillaProfileInfo> Info);
  void EnsureProfiles();

  // Cookie arrays of a replaced store's profiles, by upper-case folder: a
  // reload of 100,000 cookies into memory that is already there costs their
  // text; into fresh memory it cost several times that.
  std::vector<std::pair<std::string, TCookiesArray>> spare_;
};

// The Firefox profile list of the running user ("" when there is no
// application-data folder).
void GetProfilesIniPath(std::string& Path);
// The folder and name of section "Profile" + Number; Path is empty when the
// file or the section does not exist.
void ReadProfilesIniEntry(const std::string& IniPath, int Number, std::string& Path, std::string& Name);
// The caption of a profile added by folder; Existing may be null.
void MakeProfileCaption(const std::string& Dir, const TStrings* Existing, std::string& Caption);

}  // namespace morvane
