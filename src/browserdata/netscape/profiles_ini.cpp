#include "browserdata/netscape/profiles_ini.h"

#include "platform/core/text_lines.h"

namespace morvane {
namespace {

std::string_view TrimBlanks(std::string_view s) {
  auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r'; };
  while (!s.empty() && blank(s.front())) s.remove_prefix(1);
  while (!s.empty() && blank(s.back())) s.remove_suffix(1);
  return s;
}

bool SameTextAscii(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
    if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
    if (x != y) return false;
  }
  return true;
}

std::string ReplaceAll(std::string s, char from, char to) {
  for (char& c : s)
    if (c == from) c = to;
  return s;
}

}  // namespace

TIniText::TIniText(std::string_view text) {
  TSection* current = nullptr;
  for (const std::string& raw : SplitTextLines(text)) {
    const std::string_view line = TrimBlanks(raw);
    if (line.empty() || line[0] == ';') continue;
    if (line[0] == '[') {
      const size_t close = line.find(']');
      const std::string_view name = TrimBlanks(line.substr(1, close == std::string_view::npos ? line.size() - 1 : close - 1));
      current = nullptr;
      for (auto& s : sections_)
        if (SameTextAscii(s.Name, name)) current = &s;
      if (!current) {
        sections_.push_back({std::string(name), {}});
        current = &sections_.back();
      }
      continue;
    }
    if (!current) continue;
    const size_t eq = line.find('=');
    if (eq == std::string_view::npos) continue;
    std::string_view value = TrimBlanks(line.substr(eq + 1));
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"') value = value.substr(1, value.size() - 2);
    current->Keys.emplace_back(std::string(TrimBlanks(line.substr(0, eq))), std::string(value));
  }
}

const TIniText::TSection* TIniText::Find(std::string_view section) const {
  for (const auto& s : sections_)
    if (SameTextAscii(s.Name, section)) return &s;
  return nullptr;
}

bool TIniText::SectionExists(std::string_view section) const { return Find(section) != nullptr; }

std::optional<std::string> TIniText::Value(std::string_view section, std::string_view key) const {
  const TSection* s = Find(section);
  if (!s) return std::nullopt;
  for (const auto& [k, v] : s->Keys)
    if (SameTextAscii(k, key)) return v;
  return std::nullopt;
}

std::string TIniText::ReadString(std::string_view section, std::string_view key, const std::string& def) const {
  return Value(section, key).value_or(def);
}

int TIniText::ReadInteger(std::string_view section, std::string_view key, int def) const {
  const auto v = Value(section, key);
  if (!v) return def;
  std::string_view s = *v;
  bool negative = false;
  size_t i = 0;
  if (i < s.size() && (s[i] == '-' || s[i] == '+')) negative = s[i++] == '-';
  if (i == s.size() || s[i] < '0' || s[i] > '9') return def;
  long long n = 0;
  for (; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i) {
    n = n * 10 + (s[i] - '0');
    if (n > 0x7fffffff) n = 0x7fffffff;
  }
  return static_cast<int>(negative ? -n : n);
}

namespace profiles_ini {

TProfilesIniEntry ReadEntry(const TIniText& ini, const std::string& iniPath, int number,
                            const std::function<bool(const std::string&)>& directoryExists) {
  TProfilesIniEntry e;
  const std::string section = "Profile" + std::to_string(number);
  if (!ini.SectionExists(section)) return e;
  e.Name = ini.ReadString(section, "Name", "");
  std::string folder = ReplaceAll(ini.ReadString(section, "Path", "\\"), '/', '\\');
  if (!folder.empty() && folder.front() == '\\') folder.erase(0, 1);
  if (!folder.empty() && folder.back() == '\\') folder.pop_back();
  // The value is read as a number; anything else counts as 0.
  const int relative = ini.ReadInteger(section, "isRelative", 0);
  const size_t slash = iniPath.find_last_of("\\:");
  const std::string iniDir = slash == std::string::npos ? std::string() : iniPath.substr(0, slash + 1);
  if (relative != 0 || !directoryExists(folder + "\\")) folder = iniDir + folder;
  e.Path = folder;
  return e;
}

std::string MakeProfileCaption(std::string dir, const std::function<bool(const std::string&)>& taken) {
  if (!dir.empty() && dir.back() == '\\') dir.pop_back();
  const size_t lastSlash = dir.rfind('\\');
  const size_t lastDot = dir.rfind('.');
  if (lastSlash != std::string::npos && lastDot != std::string::npos && lastSlash < lastDot) dir.erase(lastSlash);
  std::string caption;
  if (dir.find("\\Mozilla\\") != std::string::npos) {
    // Keep what follows the first backslash of "\Mozilla\", so the text
    // starts with "Mozilla".
    caption = ReplaceAll(dir.substr(dir.find("\\Mozilla\\") + 1), '\\', '_');
  } else {
    const size_t s = dir.rfind('\\');
    caption = s == std::string::npos ? dir : dir.substr(s + 1);
  }
  caption += " (*)";
  while (taken(caption)) caption.insert(caption.size() - 1, "*");
  return caption;
}

std::string UniqueCaption(const std::string& caption, const std::function<bool(const std::string&)>& taken) {
  if (!taken(caption)) return caption;
  for (int n = 2;; ++n) {
    std::string c = caption + " (" + std::to_string(n) + ")";
    if (!taken(c)) return c;
  }
}

}  // namespace profiles_ini
}  // namespace morvane
