#include "platform/core/gettext.h"

#include <cstdlib>
#include <map>
#include <vector>

#include "platform/core/threads.h"
#include "platform/win32.h"

// Last: libintl.h turns printf and friends into macros of its own.
#include <libintl.h>

namespace morvane {
namespace {

struct TDomain {
  std::string name;
  bool bound = false;   // bindtextdomain done
  bool usable = false;  // a UTF-8 catalog exists for the current language
};

struct TCatalogs {
  TCriticalSection lock;
  bool chosen = false;
  std::string language = "C";
  std::vector<TDomain> domains{{"default"}, {"korvel"}};
  std::map<std::string, std::string> cache;  // original -> result, for the current language
};

// Never freed: messages may be translated while static objects go away.
TCatalogs& Catalogs() {
  static TCatalogs* c = new TCatalogs;
  return *c;
}

std::string Env(const char* name) {
  char buf[1024];
  DWORD n = GetEnvironmentVariableA(name, buf, sizeof buf);
  if (n == 0 || n >= sizeof buf) return std::string();
  return std::string(buf, n);
}

// The CRT's copy of the environment is what libintl reads; _putenv_s keeps the
// system's copy in step. An empty value removes the variable.
void PutEnv(const char* name, const std::string& value) { _putenv_s(name, value.c_str()); }

// "de_DE.UTF-8@euro" -> "de_DE@euro": libintl finds catalogs by language,
// territory and modifier; the code set of the catalogs is always UTF-8.
std::string StripCodeset(const std::string& locale) {
  std::string::size_type dot = locale.find('.');
  if (dot == std::string::npos) return locale;
  std::string::size_type at = locale.find('@', dot);
  return locale.substr(0, dot) + (at == std::string::npos ? std::string() : locale.substr(at));
}

bool IsCLocale(const std::string& language) {
  return language.empty() || language == "C" || language == "POSIX";
}

bool DeclaresUtf8(const char* header) {
  std::string h(header);
  for (char& c : h) c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
  std::string::size_type p = h.find("charset=");
  if (p == std::string::npos) return false;
  p += 8;
  std::string::size_type e = h.find_first_of(" \t\r\n;", p);
  std::string cs = h.substr(p, e == std::string::npos ? std::string::npos : e - p);
  return cs == "utf-8" || cs == "utf8";
}

// Opens the catalog of d for the current language (libintl loads it on the
// first lookup) and checks its header, the translation of "".
void ProbeDomain(TDomain& d, const std::string& folder) {
  if (!d.bound) {
    bindtextdomain(d.name.c_str(), folder.c_str());
    d.bound = true;
  }
  const char* header = dgettext(d.name.c_str(), "");
  d.usable = header && *header && DeclaresUtf8(header);
}

void ApplyLanguage(TCatalogs& c) {
  c.cache.clear();
  c.chosen = true;
  if (IsCLocale(c.language)) {
    for (TDomain& d : c.domains) d.usable = false;
    return;
  }
  PutEnv("LANGUAGE", c.language);
  PutEnv("LC_MESSAGES", c.language);
  PutEnv("LC_ALL", std::string());
  // Setting the text domain to itself is libintl's signal that the
  // environment changed: it drops the translations it remembered.
  textdomain(textdomain(nullptr));
  const std::string folder = LocaleFolder();
  for (TDomain& d : c.domains) ProbeDomain(d, folder);
}

void EnsureChosen(TCatalogs& c) {
  if (c.chosen) return;
  c.language = DefaultLanguage();
  ApplyLanguage(c);
}

// UTF-8 to the system code page ("?" for what it lacks, no look-alikes);
// false when the bytes are not UTF-8.
bool Utf8ToAnsi(const char* s, std::string& out) {
  int wn = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, s, -1, nullptr, 0);
  if (wn <= 0) return false;
  std::wstring w(static_cast<size_t>(wn), L'\0');
  MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, s, -1, w.data(), wn);
  int an = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, w.c_str(), -1, nullptr, 0, nullptr, nullptr);
  if (an <= 0) return false;
  std::string a(static_cast<size_t>(an), '\0');
  WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, w.c_str(), -1, a.data(), an, nullptr, nullptr);
  a.resize(static_cast<size_t>(an - 1));
  out = std::move(a);
  return true;
}

}  // namespace

std::string LocaleFolder() {
  char path[MAX_PATH * 2];
  DWORD n = GetModuleFileNameA(nullptr, path, sizeof path);
  std::string p(path, n < sizeof path ? n : 0);
  std::string::size_type slash = p.find_last_of("\\/:");
  p = slash == std::string::npos ? std::string() : p.substr(0, slash + 1);
  return p + "locale";
}

std::string DefaultLanguage() {
  std::string lang = Env("LANG");
  if (!lang.empty()) return IsCLocale(StripCodeset(lang)) ? std::string("C") : StripCodeset(lang);
  char ll[16] = {}, cc[16] = {};
  if (GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SISO639LANGNAME, ll, sizeof ll) <= 1) return "C";
  std::string result = ll;
  if (GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SISO3166CTRYNAME, cc, sizeof cc) > 1) result += std::string("_") + cc;
  return result;
}

void UseLanguage(const std::string& Language) {
  TCatalogs& c = Catalogs();
  TCriticalSectionLock l(c.lock);
  c.language = Language.empty() ? DefaultLanguage() : StripCodeset(Language);
  if (IsCLocale(c.language)) c.language = "C";
  ApplyLanguage(c);
}

std::string CurrentLanguage() {
  TCatalogs& c = Catalogs();
  TCriticalSectionLock l(c.lock);
  EnsureChosen(c);
  return c.language;
}

void AddDomainForResourceString(const std::string& Domain) {
  TCatalogs& c = Catalogs();
  TCriticalSectionLock l(c.lock);
  for (const TDomain& d : c.domains)
    if (d.name == Domain) return;
  c.domains.push_back(TDomain{Domain});
  c.cache.clear();
  if (c.chosen && !IsCLocale(c.language)) ProbeDomain(c.domains.back(), LocaleFolder());
}

bool DomainHasCatalog(const std::string& Domain) {
  TCatalogs& c = Catalogs();
  TCriticalSectionLock l(c.lock);
  EnsureChosen(c);
  for (const TDomain& d : c.domains)
    if (d.name == Domain) return d.usable;
  return false;
}

std::string LoadResString(const std::string& Original) {
  // "" would give a catalog's header.
  if (Original.empty()) return Original;
  TCatalogs& c = Catalogs();
  TCriticalSectionLock l(c.lock);
  EnsureChosen(c);
  auto hit = c.cache.find(Original);
  if (hit != c.cache.end()) return hit->second;
  std::string result = Original;
  for (const TDomain& d : c.domains) {
    if (!d.usable) continue;
    const char* t = dgettext(d.name.c_str(), Original.c_str());
    if (t == Original.c_str() || !t || Original == t) continue;
    if (Utf8ToAnsi(t, result)) break;
    result = Original;  // a broken translation is no translation
  }
  c.cache.emplace(Original, result);
  return result;
}

}  // namespace morvane
