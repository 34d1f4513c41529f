#include "browserdata/net/update_list.h"

#include "browserdata/sys/qb_string_utils.h"

#include <cctype>
#include <climits>

namespace morvane {

std::optional<TUpdateList> ParseUpdateList(const std::vector<std::string>& Lines) {
  if (Lines.empty()) return std::nullopt;
  const std::vector<std::string> head = SplitString(Lines[0], "#", false);
  if (head.size() < 2) return std::nullopt;
  TUpdateList list;
  list.NewestVersion = head[0];
  list.DownloadPath = head[1];
  for (size_t i = 1; i < Lines.size(); ++i) {
    if (Lines[i].find('#') == std::string::npos) {
      list.Notes.emplace_back();
      continue;
    }
    const std::vector<std::string> fields = SplitString(Lines[i], "#", false);
    list.Notes.push_back(fields.empty() ? std::string() : fields.back());
  }
  return list;
}

namespace {

// A version part as the toolkit's integer conversion reads it: optional
// blanks, an optional sign, decimal digits (or "$" and hexadecimal digits).
std::optional<long long> ParsePart(const std::string& s) {
  size_t i = 0;
  while (i < s.size() && s[i] == ' ') ++i;
  bool negative = false;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
  int base = 10;
  if (i < s.size() && s[i] == '$') {
    base = 16;
    ++i;
  }
  if (i >= s.size()) return std::nullopt;
  long long v = 0;
  for (; i < s.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(s[i]);
    int d;
    if (std::isdigit(c)) d = c - '0';
    else if (base == 16 && std::isxdigit(c)) d = std::tolower(c) - 'a' + 10;
    else return std::nullopt;
    v = v * base + d;
    if (v > INT_MAX) return std::nullopt;
  }
  return negative ? -v : v;
}

}  // namespace

std::optional<bool> IsNewerVersion(const std::string& Running, const std::string& Newest) {
  const std::vector<std::string> r = SplitString(Running, ".", false);
  const std::vector<std::string> w = SplitString(Newest, ".", false);
  size_t n = r.size() < w.size() ? r.size() : w.size();
  if (n > 3) n = 3;
  for (size_t i = 0; i < n; ++i) {
    const auto a = ParsePart(r[i]);
    const auto b = ParsePart(w[i]);
    if (!a || !b) return std::nullopt;
  }
  for (size_t i = 0; i < n; ++i) {
    const long long a = *ParsePart(r[i]);
    const long long b = *ParsePart(w[i]);
    if (a != b) return b > a;
  }
  return false;
}

}  // namespace morvane
