#include "browserdata/ie/ie_cookie_records.h"

#include <stdexcept>

#include "platform/core/text_lines.h"

namespace morvane {
namespace {

bool IsBlankText(std::string_view s) {
  for (char c : s)
    if (static_cast<unsigned char>(c) > ' ') return false;
  return true;
}

bool TryParseInt64(std::string_view s, int64_t& out) {
  size_t i = 0;
  bool negative = false;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
  if (i == s.size()) return false;
  uint64_t v = 0;
  const uint64_t limit = negative ? 9223372036854775808ull : 9223372036854775807ull;
  for (; i < s.size(); ++i) {
    if (s[i] < '0' || s[i] > '9') return false;
    const unsigned d = static_cast<unsigned>(s[i] - '0');
    if (v > (limit - d) / 10) return false;
    v = v * 10 + d;
  }
  out = negative ? static_cast<int64_t>(0 - v) : static_cast<int64_t>(v);
  return true;
}

}  // namespace

bool TryParseIETimeText(std::string_view text, uint32_t& half) {
  int64_t v = 0;
  if (!TryParseInt64(text, v)) return false;
  half = static_cast<uint32_t>(static_cast<uint64_t>(v) & 0xFFFFFFFFu);
  return true;
}

uint64_t IEFileTime(std::string_view lowText, std::string_view highText) {
  uint32_t low = 0, high = 0;
  if (!TryParseIETimeText(lowText, low) || !TryParseIETimeText(highText, high)) return 0;
  return (static_cast<uint64_t>(high) << 32) | low;
}

std::vector<TIECookieRecord> ParseIECookieRecords(std::string_view bytes) {
  std::vector<TIECookieRecord> records;
  const std::vector<std::string> lines = SplitTextLines(bytes);
  const size_t n = lines.size();
  size_t i = 0;
  auto next = [&]() -> const std::string& {
    static const std::string none;
    return i < n ? lines[i++] : (++i, none);
  };
  uint32_t half = 0;
  while (i < n) {
    const size_t start = i;
    TIECookieRecord r;
    r.Name = next();
    r.Value = next();
    r.HostPath = next();
    r.Flags = next();
    r.ExpiresLowText = next();
    r.ExpiresHighText = next();
    bool numbers = TryParseIETimeText(r.ExpiresLowText, half) && TryParseIETimeText(r.ExpiresHighText, half);
    if (numbers) {
      r.CreatedLowText = next();
      r.CreatedHighText = next();
      numbers = TryParseIETimeText(r.CreatedLowText, half) && TryParseIETimeText(r.CreatedHighText, half);
    }
    if (!numbers) {
      // A damaged record: go on after the next "*" so that one bad line does
      // not shift every later record out of step (and out of the file at the
      // next rewrite).
      i = start + 1;
      while (i < n && lines[i] != "*") ++i;
      ++i;
      continue;
    }
    if (next() != "*") continue;  // nine lines without the end mark: the next record follows
    if (IEFileTime(r.ExpiresLowText, r.ExpiresHighText) == 0 && IsBlankText(r.Name) && IsBlankText(r.Value))
      continue;
    records.push_back(std::move(r));
  }
  return records;
}

std::string FormatIECookieRecords(const std::vector<TIECookieRecord>& records) {
  std::string out;
  for (const TIECookieRecord& r : records) {
    for (const std::string* line : {&r.Name, &r.Value, &r.HostPath, &r.Flags, &r.ExpiresLowText, &r.ExpiresHighText,
                                    &r.CreatedLowText, &r.CreatedHighText}) {
      out += *line;
      // A line that itself ends in CR keeps it: the reader takes one CR
      // before the LF as part of the line end.
      if (!line->empty() && line->back() == '\r') out += '\r';
      out += '\n';
    }
    out += "*\n";
  }
  return out;
}

bool IsIECookieFile(std::string_view name, uint64_t size) {
  if (size > ieMaxCookieFileSize || name.find('@') == std::string_view::npos || name.size() < 4) return false;
  std::string_view ext = name.substr(name.size() - 4);
  auto up = [](char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; };
  return ext[0] == '.' && up(ext[1]) == 'T' && up(ext[2]) == 'X' && up(ext[3]) == 'T';
}

std::string FitToLength(std::string_view text, size_t length) {
  std::string s(text.substr(0, length));
  s.resize(length, ' ');
  return s;
}

bool TryParseIEFlags(std::string_view text, int& flags) {
  size_t end = text.size();
  while (end > 0 && text[end - 1] == ' ') --end;
  int64_t v = 0;
  if (!TryParseInt64(text.substr(0, end), v) || v < INT32_MIN || v > INT32_MAX) return false;
  flags = static_cast<int>(v);
  return true;
}

std::string EditIEFlags(std::string_view oldText, bool secure, bool httpOnly) {
  int flags = 0;
  if (!TryParseIEFlags(oldText, flags))
    throw std::invalid_argument("'" + std::string(oldText) + "' is not a valid integer value");
  flags = secure ? (flags | ieFlagSecure) : (flags & ~ieFlagSecure);
  flags = httpOnly ? (flags | ieFlagHttpOnly) : (flags & ~ieFlagHttpOnly);
  std::string text = std::to_string(flags);
  if (text.size() > oldText.size()) return std::string(oldText);
  return FitToLength(text, oldText.size());
}

void EditIEExpiry(const TIECookieRecord& old, uint64_t fileTime, std::string& lowText, std::string& highText) {
  lowText = std::to_string(fileTime & 0xFFFFFFFFu);
  highText = std::to_string(fileTime >> 32);
  const size_t had = old.ExpiresLowText.size() + old.ExpiresHighText.size();
  const size_t has = lowText.size() + highText.size();
  if (has < had) lowText.insert(0, had - has, '0');
}

void BlankIECookieRecord(TIECookieRecord& record) {
  record.Name.assign(record.Name.size(), ' ');
  record.Value.assign(record.Value.size(), ' ');
  record.ExpiresLowText.assign(record.ExpiresLowText.size(), '0');
  record.ExpiresHighText.assign(record.ExpiresHighText.size(), '0');
}

}  // namespace morvane
