#include "platform/core/sysutils.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>

#include "platform/core/datetime.h"
#include "platform/core/exceptions.h"
#include "platform/win32.h"

namespace morvane {

// ---- code-page conversion ----

std::wstring AnsiToWide(std::string_view s) {
  if (s.empty()) return {};
  const int n = MultiByteToWideChar(CP_ACP, 0, s.data(), static_cast<int>(s.size()), nullptr, 0);
  std::wstring out(static_cast<size_t>(n), L'\0');
  if (n > 0)
    MultiByteToWideChar(CP_ACP, 0, s.data(), static_cast<int>(s.size()), out.data(), n);
  return out;
}

std::string WideToAnsi(std::wstring_view s) {
  if (s.empty()) return {};
  const int n = WideCharToMultiByte(CP_ACP, 0, s.data(), static_cast<int>(s.size()), nullptr, 0,
                                    nullptr, nullptr);
  std::string out(static_cast<size_t>(n), '\0');
  if (n > 0)
    WideCharToMultiByte(CP_ACP, 0, s.data(), static_cast<int>(s.size()), out.data(), n, nullptr,
                        nullptr);
  return out;
}

// ---- trimming and case ----

namespace {
bool IsBlankOrControl(char c) { return static_cast<unsigned char>(c) <= ' '; }
char AsciiUpper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c; }
char AsciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; }
}  // namespace

std::string TrimLeft(std::string_view s) {
  size_t i = 0;
  while (i < s.size() && IsBlankOrControl(s[i])) ++i;
  return std::string(s.substr(i));
}

std::string TrimRight(std::string_view s) {
  size_t n = s.size();
  while (n > 0 && IsBlankOrControl(s[n - 1])) --n;
  return std::string(s.substr(0, n));
}

std::string Trim(std::string_view s) {
  size_t i = 0, n = s.size();
  while (i < n && IsBlankOrControl(s[i])) ++i;
  while (n > i && IsBlankOrControl(s[n - 1])) --n;
  return std::string(s.substr(i, n - i));
}

std::string UpperCase(std::string_view s) {
  std::string r(s);
  for (char& c : r) c = AsciiUpper(c);
  return r;
}

std::string LowerCase(std::string_view s) {
  std::string r(s);
  for (char& c : r) c = AsciiLower(c);
  return r;
}

std::string AnsiUpperCase(std::string_view s) {
  std::string r(s);
  if (!r.empty()) CharUpperBuffA(r.data(), static_cast<DWORD>(r.size()));
  return r;
}

std::string AnsiLowerCase(std::string_view s) {
  std::string r(s);
  if (!r.empty()) CharLowerBuffA(r.data(), static_cast<DWORD>(r.size()));
  return r;
}

// ---- comparison ----

int CompareStr(std::string_view a, std::string_view b) {
  const size_t n = std::min(a.size(), b.size());
  for (size_t i = 0; i < n; ++i) {
    const int d = static_cast<unsigned char>(a[i]) - static_cast<unsigned char>(b[i]);
    if (d != 0) return d;
  }
  return a.size() < b.size() ? -1 : (a.size() > b.size() ? 1 : 0);
}

int CompareText(std::string_view a, std::string_view b) {
  const size_t n = std::min(a.size(), b.size());
  for (size_t i = 0; i < n; ++i) {
    const int d = static_cast<unsigned char>(AsciiUpper(a[i])) -
                  static_cast<unsigned char>(AsciiUpper(b[i]));
    if (d != 0) return d;
  }
  return a.size() < b.size() ? -1 : (a.size() > b.size() ? 1 : 0);
}

bool SameText(std::string_view a, std::string_view b) {
  return a.size() == b.size() && CompareText(a, b) == 0;
}

namespace {
int LocaleCompare(std::string_view a, std::string_view b, DWORD flags) {
  const int r = CompareStringA(LOCALE_USER_DEFAULT, flags, a.data(), static_cast<int>(a.size()),
                               b.data(), static_cast<int>(b.size()));
  if (r == 0) return CompareStr(a, b) < 0 ? -1 : (CompareStr(a, b) > 0 ? 1 : 0);
  return r - CSTR_EQUAL;
}
}  // namespace

int AnsiCompareStr(std::string_view a, std::string_view b) { return LocaleCompare(a, b, 0); }
int AnsiCompareText(std::string_view a, std::string_view b) {
  return LocaleCompare(a, b, NORM_IGNORECASE);
}
bool AnsiSameText(std::string_view a, std::string_view b) { return AnsiCompareText(a, b) == 0; }

// ---- searching and slicing ----

int Pos(std::string_view sub, std::string_view s) {
  if (sub.empty()) return 0;
  const size_t p = s.find(sub);
  return p == std::string_view::npos ? 0 : static_cast<int>(p) + 1;
}

std::string Copy(std::string_view s, int64_t index, int64_t count) {
  if (index < 1) index = 1;
  if (count <= 0 || index > static_cast<int64_t>(s.size())) return {};
  const size_t start = static_cast<size_t>(index - 1);
  return std::string(s.substr(start, static_cast<size_t>(count)));
}

std::string StringReplace(std::string_view s, std::string_view oldPattern,
                          std::string_view newPattern, TReplaceFlags flags) {
  if (oldPattern.empty()) return std::string(s);
  std::string searchIn, pattern;
  std::string_view hay = s, needle = oldPattern;
  if (flags & rfIgnoreCase) {
    searchIn = AnsiUpperCase(s);
    pattern = AnsiUpperCase(oldPattern);
    hay = searchIn;
    needle = pattern;
  }
  std::string out;
  size_t from = 0;
  while (from <= hay.size()) {
    const size_t p = hay.find(needle, from);
    if (p == std::string_view::npos) break;
    out.append(s.substr(from, p - from));
    out.append(newPattern);
    from = p + needle.size();
    if (!(flags & rfReplaceAll)) break;
  }
  out.append(s.substr(std::min(from, s.size())));
  return out;
}

std::string QuotedStr(std::string_view s) {
  std::string r = "'";
  for (char c : s) {
    if (c == '\'') r += '\'';
    r += c;
  }
  r += '\'';
  return r;
}

// ---- integers ----

std::string IntToStr(int64_t value) { return std::to_string(value); }

std::string IntToHex(uint64_t value, int digits) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string r;
  do {
    r.insert(r.begin(), kHex[value & 15]);
    value >>= 4;
  } while (value != 0);
  if (digits > 32) digits = 32;
  if (static_cast<int>(r.size()) < digits) r.insert(0, static_cast<size_t>(digits) - r.size(), '0');
  return r;
}

std::string IntToHex(int64_t value, int digits) {
  return IntToHex(static_cast<uint64_t>(value), digits);
}

namespace {
// The toolkit's integer reading (see the header). Bits = 32 or 64.
bool ScanInteger(std::string_view s, int bits, int64_t& out) {
  size_t i = 0;
  while (i < s.size() && (s[i] == ' ' || s[i] == '\t')) ++i;
  bool negative = false;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
    negative = s[i] == '-';
    ++i;
  }
  bool hex = false;
  if (i < s.size() && s[i] == '$') {
    hex = true;
    ++i;
  } else if (i + 1 < s.size() && s[i] == '0' && (s[i + 1] == 'x' || s[i + 1] == 'X')) {
    hex = true;
    i += 2;
  }
  if (i >= s.size()) return false;
  const uint64_t hexLimit = bits == 32 ? 0xFFFFFFFFull : ~0ull;
  // Decimal: magnitude up to 2^(bits-1), the extra one only for a minus sign.
  const uint64_t decLimit = (1ull << (bits - 1)) - (negative ? 0 : 1);
  uint64_t v = 0;
  for (; i < s.size(); ++i) {
    const char c = s[i];
    unsigned d;
    if (c >= '0' && c <= '9') d = static_cast<unsigned>(c - '0');
    else if (hex && c >= 'a' && c <= 'f') d = static_cast<unsigned>(c - 'a' + 10);
    else if (hex && c >= 'A' && c <= 'F') d = static_cast<unsigned>(c - 'A' + 10);
    else return false;
    if (hex) {
      if (v > (hexLimit >> 4)) return false;
      v = (v << 4) | d;
    } else {
      if (v > (decLimit - d) / 10) return false;
      v = v * 10 + d;
    }
  }
  if (hex) {
    // The hex digits are the bits of the value; a minus sign negates them.
    int64_t r = bits == 32 ? static_cast<int64_t>(static_cast<int32_t>(static_cast<uint32_t>(v)))
                           : static_cast<int64_t>(v);
    if (negative) r = static_cast<int64_t>(0 - static_cast<uint64_t>(r));
    if (bits == 32) r = static_cast<int32_t>(static_cast<uint32_t>(r));
    out = r;
  } else {
    out = negative ? static_cast<int64_t>(0 - v) : static_cast<int64_t>(v);
  }
  return true;
}

[[noreturn]] void RaiseInvalidInteger(std::string_view s) {
  throw EConvertError("'" + std::string(s) + "' is not a valid integer value");
}
}  // namespace

bool TryStrToInt(std::string_view s, int& value) {
  int64_t v;
  if (!ScanInteger(s, 32, v)) return false;
  value = static_cast<int>(v);
  return true;
}

bool TryStrToInt64(std::string_view s, int64_t& value) { return ScanInteger(s, 64, value); }

int StrToInt(std::string_view s) {
  int v;
  if (!TryStrToInt(s, v)) RaiseInvalidInteger(s);
  return v;
}

int StrToIntDef(std::string_view s, int def) {
  int v;
  return TryStrToInt(s, v) ? v : def;
}

int64_t StrToInt64(std::string_view s) {
  int64_t v;
  if (!TryStrToInt64(s, v)) RaiseInvalidInteger(s);
  return v;
}

int64_t StrToInt64Def(std::string_view s, int64_t def) {
  int64_t v;
  return TryStrToInt64(s, v) ? v : def;
}

// ---- Booleans ----

std::vector<std::string>& TrueBoolStrs() {
  static std::vector<std::string> strs{"True"};
  return strs;
}

std::vector<std::string>& FalseBoolStrs() {
  static std::vector<std::string> strs{"False"};
  return strs;
}

std::string BoolToStr(bool b, bool useBoolStrs) {
  if (!useBoolStrs) return b ? "-1" : "0";
  const auto& strs = b ? TrueBoolStrs() : FalseBoolStrs();
  return strs.empty() ? (b ? "True" : "False") : strs.front();
}

bool TryStrToBool(std::string_view s, bool& value) {
  double number;
  if (TextToFloat(s, number)) {
    value = number != 0;
    return true;
  }
  auto matches = [&](const std::vector<std::string>& strs, const char* fallback) {
    if (strs.empty()) return AnsiSameText(s, fallback);
    for (const auto& t : strs)
      if (AnsiSameText(s, t)) return true;
    return false;
  };
  if (matches(TrueBoolStrs(), "True")) {
    value = true;
    return true;
  }
  if (matches(FalseBoolStrs(), "False")) {
    value = false;
    return true;
  }
  return false;
}

bool StrToBool(std::string_view s) {
  bool v;
  if (!TryStrToBool(s, v))
    throw EConvertError("'" + std::string(s) + "' is not a valid boolean value");
  return v;
}

bool StrToBoolDef(std::string_view s, bool def) {
  bool v;
  return TryStrToBool(s, v) ? v : def;
}

// ---- path texts ----

namespace {
// 0-based index of the last character of S that is in Delims, or npos.
size_t LastDelimiter(std::string_view delims, std::string_view s) {
  return s.find_last_of(delims);
}
}  // namespace

std::string ExtractFilePath(std::string_view fileName) {
  const size_t i = LastDelimiter("\\:", fileName);
  return i == std::string_view::npos ? std::string() : std::string(fileName.substr(0, i + 1));
}

std::string ExtractFileDir(std::string_view fileName) {
  size_t i = LastDelimiter("\\:", fileName);
  if (i == std::string_view::npos) return {};
  // Keep the '\' of a root ("C:\", "\") but drop it after a folder name.
  if (i > 0 && fileName[i] == '\\' && fileName[i - 1] != '\\' && fileName[i - 1] != ':')
    return std::string(fileName.substr(0, i));
  return std::string(fileName.substr(0, i + 1));
}

std::string ExtractFileName(std::string_view fileName) {
  const size_t i = LastDelimiter("\\:", fileName);
  return std::string(i == std::string_view::npos ? fileName : fileName.substr(i + 1));
}

std::string ExtractFileExt(std::string_view fileName) {
  const size_t i = LastDelimiter(".\\:", fileName);
  if (i != std::string_view::npos && fileName[i] == '.') return std::string(fileName.substr(i));
  return {};
}

std::string ChangeFileExt(std::string_view fileName, std::string_view extension) {
  size_t i = LastDelimiter(".\\:", fileName);
  if (i == std::string_view::npos || fileName[i] != '.') i = fileName.size();
  std::string r(fileName.substr(0, i));
  r.append(extension);
  return r;
}

std::string IncludeTrailingBackslash(std::string_view s) {
  std::string r(s);
  if (r.empty() || r.back() != '\\') r += '\\';
  return r;
}

std::string ExcludeTrailingBackslash(std::string_view s) {
  if (!s.empty() && s.back() == '\\') s.remove_suffix(1);
  return std::string(s);
}

}  // namespace morvane
