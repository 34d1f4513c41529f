// Firefox's profile list "profiles.ini" and the captions of profiles added by
// folder. Pure: no I/O, no Windows headers; whether a folder exists is asked
// of the caller.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace morvane {

// An INI text read the way the system's profile-string functions read it:
// section and key names ignore case, names and values are trimmed, a value in
// double quotes loses them, lines starting with ";" are comments, and the
// first of two equal sections or keys wins.
class TIniText {
 public:
  explicit TIniText(std::string_view text);
  bool SectionExists(std::string_view section) const;
  std::optional<std::string> Value(std::string_view section, std::string_view key) const;
  std::string ReadString(std::string_view section, std::string_view key, const std::string& def) const;
  // An integer as the system reads one: leading digits after an optional
  // sign; `def` when there are none.
  int ReadInteger(std::string_view section, std::string_view key, int def) const;

 private:
  struct TSection {
    std::string Name;
    std::vector<std::pair<std::string, std::string>> Keys;
  };
  const TSection* Find(std::string_view section) const;
  std::vector<TSection> sections_;
};

struct TProfilesIniEntry {
  std::string Path;  // empty when the file or the section does not exist
  std::string Name;
};

namespace profiles_ini {

// The folder and name of section "Profile<number>". `iniPath` is the file's
// full name; `directoryExists` tells whether a folder exists.
TProfilesIniEntry ReadEntry(const TIniText& ini, const std::string& iniPath, int number,
                            const std::function<bool(const std::string&)>& directoryExists);

// The caption of a profile added by folder, before any asterisks are added:
// "Mozilla_Firefox_Profiles (*)" for a folder ending in
// "\Mozilla\Firefox\Profiles\ab12cd34.default", "cookies (*)" for "D:\Backup\cookies".
// While `taken` says a caption is in use, one more asterisk goes in.
std::string MakeProfileCaption(std::string dir, const std::function<bool(const std::string&)>& taken);

// `caption`, or, while `taken` says it is in use, `caption` + " (2)", " (3)", ...
std::string UniqueCaption(const std::string& caption, const std::function<bool(const std::string&)>& taken);

}  // namespace profiles_ini
}  // namespace morvane
