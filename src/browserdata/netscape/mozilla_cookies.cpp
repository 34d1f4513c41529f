#include "browserdata/netscape/mozilla_cookies.h"


#include "browserdata/netscape/file_replace.h"
#include "browserdata/netscape/mozilla_registry.h"
#include "browserdata/netscape/profiles_ini.h"
#include "browserdata/sys/qb_sys_utils.h"
#include "platform/core/datetime.h"
#include "platform/core/exceptions.h"
#include "platform/core/file_view.h"
#include "platform/core/files.h"
#include "platform/core/owned_objects.h"
#include "platform/core/sysutils.h"
#include "platform/core/textfiles.h"

namespace morvane {
namespace {

std::string CutTrailingBackslash(std::string dir) {
  if (!dir.empty() && dir.back() == '\\') dir.pop_back();
  return dir;
}

std::string UserAppDataFolder() {
  std::string path;
  try {
    GetSpecialFolderPath(nullptr, csidlAppData, path);
  } catch (const std::exception&) {
    path.clear();
  }
  return path;
}

}  // namespace

// ---- construction ----

QbMozillaCookiesClass::QbMozillaCookiesClass(uint8_t Kind)
    : QbMozillaCookiesClass(Kind, UserAppDataFolder(), QbMozillaRegistry::DefaultCopyFolders()) {}

QbMozillaCookiesClass::QbMozillaCookiesClass(uint8_t Kind, const std::string& AppDataFolder,
                                             const std::vector<std::string>& CopyFolders,
                                             QbMozillaCookiesClass* Previous) {
  if (Previous && Previous->Profiles)
    for (int i = 0; i < Previous->Profiles->Count(); ++i) {
      qbMozillaProfileInfo* p = Previous->Profile(i);
      if (!p) continue;
      if (p->Cookies.capacity() > 0)
        spare_.emplace_back(AnsiUpperCase(CutTrailingBackslash(p->Dir)), std::move(p->Cookies));
      p->Cookies.clear();
    }
  Discover(Kind, AppDataFolder, CopyFolders);
}

QbMozillaCookiesClass::QbMozillaCookiesClass(uint8_t Kind, QbMozillaCookiesClass& Previous)
    : QbMozillaCookiesClass(Kind, UserAppDataFolder(), QbMozillaRegistry::DefaultCopyFolders(), &Previous) {}

void QbMozillaCookiesClass::ReleaseCookieMemory() { decltype(spare_)().swap(spare_); }

void QbMozillaCookiesClass::Discover(uint8_t Kind, const std::string& AppDataFolder,
                                     const std::vector<std::string>& CopyFolders) {
  try {
    if (Kind == 0)
      DiscoverNetscapeProfiles(AppDataFolder, CopyFolders);
    else if (Kind == 1)
      DiscoverFirefoxProfiles(AppDataFolder);
  } catch (const std::exception&) {
    // The profiles found so far stay.
  }
}

std::unique_ptr<QbMozillaCookiesClass> QbMozillaCookiesClass::CreateForProfile(const std::string& ProfileDir) {
  std::unique_ptr<QbMozillaCookiesClass> store(new QbMozillaCookiesClass());
  const std::string dir = CutTrailingBackslash(ProfileDir);
  std::string caption;
  MakeProfileCaption(dir, nullptr, caption);
  store->CurrentProfile = caption;
  store->ProfileDirs.Add(dir);
  store->EnsureProfiles();
  store->AddProfile(caption, store->MakeProfile(dir, std::string()));
  return store;
}

std::unique_ptr<QbMozillaCookiesClass> QbMozillaCookiesClass::CreateForProfiles(const TStrings& Dirs) {
  std::unique_ptr<QbMozillaCookiesClass> store;
  for (int i = 0; i < Dirs.Count(); ++i) {
    const std::string dir = Dirs.Strings(i);
    if (!FileExists(CutTrailingBackslash(dir) + "\\cookies.txt")) continue;
    if (!store)
      store = CreateForProfile(dir);
    else
      store->AddProfileDir(dir);
  }
  if (!store) throw Exception("cannot create mozilla cookies class");
  return store;
}

QbMozillaCookiesClass::~QbMozillaCookiesClass() = default;

std::unique_ptr<qbMozillaProfileInfo> QbMozillaCookiesClass::MakeProfile(const std::string& Dir,
                                                                         const std::string& Label) {
  auto info = std::make_unique<qbMozillaProfileInfo>();
  info->Dir = Dir;
  info->BrowserLabel = Label;
  if (!spare_.empty()) {
    const std::string upper = AnsiUpperCase(CutTrailingBackslash(Dir));
    for (auto it = spare_.begin(); it != spare_.end(); ++it)
      if (it->first == upper) {
        info->Cookies = std::move(it->second);
        spare_.erase(it);
        break;
      }
  }
  if (FileExists(Dir + "\\cookies.txt"))
    info->Unreadable = !ReadCookiesFile(Dir + "\\cookies.txt", info->Header, info->Cookies);
  else
    info->Cookies.clear();
  info->Permissions = std::make_unique<TMozillaBlockedEntities>(Dir);
  return info;
}

void QbMozillaCookiesClass::EnsureProfiles() {
  // The list owns the profile records.
  if (!Profiles) Profiles = std::make_unique<TOwningStringList>();
}

void QbMozillaCookiesClass::AddProfile(const std::string& Caption, std::unique_ptr<qbMozillaProfileInfo> Info) {
  EnsureProfiles();
  // Captions name profiles in every call: two alike would send the edits of
  // one profile to the other's files.
  const std::string caption =
      profiles_ini::UniqueCaption(Caption, [this](const std::string& c) { return Profiles->IndexOf(c) >= 0; });
  Profiles->AddObject(caption, Info.release());
}

bool QbMozillaCookiesClass::AddProfileDir(const std::string& ADir) {
  const std::string dir = CutTrailingBackslash(ADir);
  const std::string upper = AnsiUpperCase(dir);
  if (Profiles)
    for (int i = 0; i < Profiles->Count(); ++i)
      if (AnsiUpperCase(Profile(i)->Dir) == upper) return false;
  EnsureProfiles();
  std::string caption;
  MakeProfileCaption(dir, Profiles.get(), caption);
  AddProfile(caption, MakeProfile(dir, std::string()));
  ProfileDirs.Add(dir);
  return true;
}

// ---- lookups ----

qbMozillaProfileInfo* QbMozillaCookiesClass::Profile(int Index) const {
  if (!Profiles || Index < 0 || Index >= Profiles->Count()) return nullptr;
  return static_cast<qbMozillaProfileInfo*>(Profiles->Objects(Index));
}

qbMozillaProfileInfo* QbMozillaCookiesClass::FindProfile(const std::string& ProfileCaption) const {
  return Profiles ? Profile(Profiles->IndexOf(ProfileCaption)) : nullptr;
}

void QbMozillaCookiesClass::GetProfileDir(int ProfileIndex, std::string& Dir) const {
  const qbMozillaProfileInfo* p = Profile(ProfileIndex);
  Dir = p ? p->Dir : std::string();
}

void QbMozillaCookiesClass::GetCookies(int ProfileIndex, TCookiesArray& Cookies) const {
  const qbMozillaProfileInfo* p = Profile(ProfileIndex);
  if (p)
    Cookies = p->Cookies;
  else
    Cookies.clear();
}

// ---- cookies ----

std::string QbMozillaCookiesClass::ExpiresText(uint32_t Seconds) {
  return DateTimeToStr(cookies_txt::UnixSecondsToDateTime(Seconds));
}

void QbMozillaCookiesClass::ExpiresTextInto(uint32_t Seconds, std::string& Text) {
  DateTimeToString(Text, "c", cookies_txt::UnixSecondsToDateTime(Seconds));
}


uint32_t QbMozillaCookiesClass::ExpiresSeconds(const std::string& Text) {
  return cookies_txt::DateTimeToUnixSeconds(StrToDateTime(Text));
}

bool QbMozillaCookiesClass::ReadCookiesFile(const std::string& Path, std::optional<std::vector<std::string>>& Header,
                                            TCookiesArray& Cookies) {
  // Into the cookies Cookies already holds, reusing their memory.
  Header.emplace();
  TFileView file;
  if (!file.Open(Path)) {
    Cookies.clear();
    return false;
  }
  try {
    cookies_txt::ParseInto(file.Bytes(), ExpiresTextInto, *Header, Cookies);
  } catch (const ECookiesTxtFormat& e) {
    Cookies.clear();
    throw EConvertError(e.what());
  }
  return true;
}

void QbMozillaCookiesClass::WriteCookiesFile(const std::string& Path, const TCookiesArray& Cookies,
                                             const std::vector<std::string>* Header) {
  // Every edited expiry is read before the first piece is written: one that
  // is no date stops the save before the file is touched.
  ReplaceFileWith(Path, [&](const TBytesSink& put) {
    cookies_txt::WriteTo(Header, Cookies, ExpiresTextInto, ExpiresSeconds, put);
  });
}

void QbMozillaCookiesClass::SaveCookies(const std::string& ProfileCaption) {
  const qbMozillaProfileInfo* p = FindProfile(ProfileCaption);
  if (!p) return;
  // The file on disk is not the one these cookies came from: writing them
  // would replace cookies nobody has seen.
  if (p->Unreadable)
    throw EWriteError("Cannot write \"" + p->Dir + "\\cookies.txt\": the file could not be read when it was loaded");
  WriteCookiesFile(p->Dir + "\\cookies.txt", p->Cookies, p->Header ? &*p->Header : nullptr);
}

void QbMozillaCookiesClass::ReloadCookies(const std::string& ProfileCaption) {
  qbMozillaProfileInfo* p = FindProfile(ProfileCaption);
  if (!p) return;
  // The file is read into the profile's own arrays, reusing their memory:
  // an edit reads a file of 100,000 cookies again before it writes, and
  // fresh memory for all of them cost more than their text. A file that
  // does not parse raises before anything has changed, so the profile keeps
  // what it showed, and it is not saved over the file it could not read.
  const std::string file = p->Dir + "\\cookies.txt";
  try {
    TFileView bytes;
    if (!FileExists(file)) {
      p->Header.reset();
      p->Cookies.clear();
    } else if (!bytes.Open(file)) {
      // Shown as a profile without cookies, but the file is still there
      // (another program holds it, or its rights keep us out): a save now
      // would write the shown cookies, none or one, over all of its own.
      p->Header.emplace();
      p->Cookies.clear();
      p->Unreadable = true;
      return;
    } else {
      std::vector<std::string> header;
      try {
        cookies_txt::ParseInto(bytes.Bytes(), ExpiresTextInto, header, p->Cookies);
      } catch (const ECookiesTxtFormat& e) {
        throw EConvertError(e.what());
      }
      p->Header = std::move(header);
    }
  } catch (...) {
    p->Unreadable = true;
    throw;
  }
  p->Unreadable = false;
}

int QbMozillaCookiesClass::FindCookie(const TCookiesArray& Cookies, const TQbCookie& Cookie) {
  const std::string key = Cookie.Host + Cookie.Path;
  for (size_t i = 0; i < Cookies.size(); ++i) {
    const TQbCookie& c = Cookies[i];
    if (c.Name == Cookie.Name && c.Host.size() + c.Path.size() == key.size() &&
        key.compare(0, c.Host.size(), c.Host) == 0 && key.compare(c.Host.size(), std::string::npos, c.Path) == 0)
      return static_cast<int>(i);
  }
  return -1;
}

void QbMozillaCookiesClass::SetCookie(const std::string& ProfileCaption, const TQbCookie& Cookie) {
  qbMozillaProfileInfo* p = FindProfile(ProfileCaption);
  if (!p) return;
  const int i = FindCookie(p->Cookies, Cookie);
  TQbCookie stored = Cookie;
  if (i >= 0) {
    const TQbCookie& old = p->Cookies[i];
    stored.LineEnd = old.LineEnd;
    // A cookie rebuilt from the grid carries only what the grid shows: the
    // file's own expiry field and the HttpOnly mark stay with it.
    if (stored.ExpiresField.empty()) stored.ExpiresField = old.ExpiresField;
    stored.HttpOnly = stored.HttpOnly || old.HttpOnly;
    p->Cookies[i] = std::move(stored);
  } else {
    stored.LineEnd = p->Cookies.empty() ? std::string() : p->Cookies.back().LineEnd;
    p->Cookies.push_back(std::move(stored));
  }
}

void QbMozillaCookiesClass::DeleteCookie(const std::string& ProfileCaption, const TQbCookie& Cookie) {
  qbMozillaProfileInfo* p = FindProfile(ProfileCaption);
  if (!p) return;
  const int i = FindCookie(p->Cookies, Cookie);
  if (i >= 0) p->Cookies.erase(p->Cookies.begin() + i);
}

// ---- permissions ----

TQbBlockedHostList* QbMozillaCookiesClass::GetBlockedHosts(const std::string& ProfileCaption) const {
  const qbMozillaProfileInfo* p = FindProfile(ProfileCaption);
  return (p && p->Permissions) ? p->Permissions->GetHosts() : nullptr;
}

bool QbMozillaCookiesClass::SavePermissions(const std::string& ProfileCaption) {
  const qbMozillaProfileInfo* p = FindProfile(ProfileCaption);
  return p && p->Permissions && p->Permissions->Save();
}

void QbMozillaCookiesClass::ReloadPermissions(const std::string& ProfileCaption) {
  qbMozillaProfileInfo* p = FindProfile(ProfileCaption);
  if (!p) return;
  // Read the new one first: when that raises, the profile keeps the old one.
  auto fresh = std::make_unique<TMozillaBlockedEntities>(p->Dir);
  p->Permissions = std::move(fresh);
}

void QbMozillaCookiesClass::AddPermission(const std::string& ProfileCaption, PQbBlockedDomain Rec) {
  qbMozillaProfileInfo* p = FindProfile(ProfileCaption);
  if (!p || !p->Permissions) {
    delete Rec;
    return;
  }
  p->Permissions->Add(Rec);
}

void QbMozillaCookiesClass::DeletePermission(const std::string& ProfileCaption, const tQbBlockedDomain& Rec) {
  qbMozillaProfileInfo* p = FindProfile(ProfileCaption);
  if (p && p->Permissions) p->Permissions->DeleteHost(Rec.Host);
}

uint8_t QbMozillaCookiesClass::GetPermissionFileFormat(const std::string& ProfileCaption) const {
  const qbMozillaProfileInfo* p = FindProfile(ProfileCaption);
  return (p && p->Permissions) ? p->Permissions->GetFormat() : 1;
}

void QbMozillaCookiesClass::SetPermission(const std::string& ProfileCaption, const std::string& Host, uint8_t Value,
                                          int Kind) {
  qbMozillaProfileInfo* p = FindProfile(ProfileCaption);
  if (!p || !p->Permissions || Kind < 0 || Kind > 3) return;
  auto slot = [Kind](tQbBlockedDomain& r) -> uint8_t& {
    switch (Kind) {
      case 0: return r.Cookie;
      case 1: return r.Image;
      case 2: return r.Popup;
      default: return r.Install;
    }
  };
  const std::string bare = (!Host.empty() && Host[0] == '.') ? Host.substr(1) : Host;
  TQbBlockedHostList* hosts = p->Permissions->GetHosts();
  const int i = hosts->IndexOf(bare);
  if (i >= 0) {
    tQbBlockedDomain& rec = *hosts->Objects(i);
    slot(rec) = Value;
    if (!(rec.Cookie | rec.Image | rec.Popup | rec.Install)) p->Permissions->DeleteAt(i);
    return;
  }
  auto rec = std::make_unique<tQbBlockedDomain>();
  rec->Kind = "host";
  rec->Host = bare;
  slot(*rec) = Value;
  p->Permissions->Add(std::move(rec));
}

}  // namespace morvane
