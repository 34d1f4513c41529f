// String, number, Boolean and path-text functions of the run-time layer.
//
// Strings are 8-bit texts in the system code page (CP_ACP); wide strings are
// UTF-16. Index arguments and results are 1-based, as in the toolkit these
// functions stand in for (Pos returns 0 when nothing is found).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

namespace morvane {

// ---- code-page conversion (system code page <-> UTF-16) ----
// Characters the code page cannot hold become '?'.
std::wstring AnsiToWide(std::string_view s);
std::string WideToAnsi(std::wstring_view s);

// ---- trimming and case ----
// Trim* remove every character up to and including the blank (controls too).
std::string Trim(std::string_view s);
std::string TrimLeft(std::string_view s);
std::string TrimRight(std::string_view s);
// a-z / A-Z only; bytes above 127 stay as they are.
std::string UpperCase(std::string_view s);
std::string LowerCase(std::string_view s);
// Whole system code page (CharUpperBuffA / CharLowerBuffA).
std::string AnsiUpperCase(std::string_view s);
std::string AnsiLowerCase(std::string_view s);

// ---- comparison ----
// Ordinal byte comparison: < 0, 0 or > 0.
int CompareStr(std::string_view a, std::string_view b);
// Ordinal, with a-z folded to A-Z only.
int CompareText(std::string_view a, std::string_view b);
bool SameText(std::string_view a, std::string_view b);
// Under the user's default locale (CompareStringA): -1, 0 or 1.
int AnsiCompareStr(std::string_view a, std::string_view b);
int AnsiCompareText(std::string_view a, std::string_view b);
bool AnsiSameText(std::string_view a, std::string_view b);

// ---- searching and slicing ----
// 1-based position of the first Sub in S; 0 when absent or Sub is empty.
int Pos(std::string_view sub, std::string_view s);
// Count characters from the 1-based Index; an Index below 1 counts from 1,
// one past the end or a Count below 1 gives "".
std::string Copy(std::string_view s, int64_t index, int64_t count);

enum TReplaceFlag : unsigned { rfReplaceAll = 1, rfIgnoreCase = 2 };
using TReplaceFlags = unsigned;
// rfIgnoreCase matches with AnsiUpperCase. An empty OldPattern changes nothing.
std::string StringReplace(std::string_view s, std::string_view oldPattern,
                          std::string_view newPattern, TReplaceFlags flags);
// 'text' with every quote doubled.
std::string QuotedStr(std::string_view s);

// ---- integers ----
std::string IntToStr(int64_t value);
// Upper-case hex digits, at least Digits of them (more when the value needs
// them). A negative value shows its two's complement in 64 bits.
std::string IntToHex(int64_t value, int digits);
std::string IntToHex(uint64_t value, int digits);
inline std::string IntToHex(int value, int digits) {
  return IntToHex(static_cast<uint64_t>(static_cast<uint32_t>(value)), digits);
}
inline std::string IntToHex(unsigned value, int digits) {
  return IntToHex(static_cast<uint64_t>(value), digits);
}
// long is 32 bits here (DWORD is unsigned long).
inline std::string IntToHex(long value, int digits) {
  return IntToHex(static_cast<uint64_t>(static_cast<uint32_t>(value)), digits);
}
inline std::string IntToHex(unsigned long value, int digits) {
  return IntToHex(static_cast<uint64_t>(static_cast<uint32_t>(value)), digits);
}

// Integer text as the toolkit reads it: leading blanks (spaces and tabs),
// then an optional '+' or '-', then decimal digits, or hex digits after a
// "$" or "0x" prefix. Nothing may follow the digits, not even a blank.
// Decimal values must fit the type's signed range; hex values may use the
// whole width of the type ("$FFFFFFFF" is -1 for the 32-bit forms).
// StrToInt and StrToInt64 raise EConvertError
// "'<text>' is not a valid integer value".
bool TryStrToInt(std::string_view s, int& value);
bool TryStrToInt64(std::string_view s, int64_t& value);
int StrToInt(std::string_view s);
int StrToIntDef(std::string_view s, int def);
int64_t StrToInt64(std::string_view s);
int64_t StrToInt64Def(std::string_view s, int64_t def);

// ---- Booleans ----
// Process-wide texts for true and false (the program sets "Yes"/"No"). When a
// list is empty, "True" or "False" is used in its place.
std::vector<std::string>& TrueBoolStrs();
std::vector<std::string>& FalseBoolStrs();
// Without UseBoolStrs: "-1" and "0". With it: the first true/false text.
std::string BoolToStr(bool b, bool useBoolStrs = false);
// A number (non-zero is true; integer or decimal with '.' or the locale's
// separator), or one of the true/false texts, compared without case.
bool TryStrToBool(std::string_view s, bool& value);
// Raises EConvertError "'<text>' is not a valid boolean value".
bool StrToBool(std::string_view s);
bool StrToBoolDef(std::string_view s, bool def);

// ---- path texts (delimiters '\' and ':') ----
// Up to and including the last '\' or ':'.
std::string ExtractFilePath(std::string_view fileName);
// As ExtractFilePath without the final '\', except after a drive ("C:\").
std::string ExtractFileDir(std::string_view fileName);
std::string ExtractFileName(std::string_view fileName);
// From the last '.' of the name part, dot included; "" without one.
std::string ExtractFileExt(std::string_view fileName);
std::string ChangeFileExt(std::string_view fileName, std::string_view extension);
// "" becomes "\".
std::string IncludeTrailingBackslash(std::string_view s);
std::string ExcludeTrailingBackslash(std::string_view s);

// ---- floating point ----
// General format, 15 significant digits, the locale's decimal separator,
// exponent form ("1E20", "1E-5") outside 1E-5 .. 1E15.
std::string FloatToStr(double value);

// ---- Format ----
// One argument of Format. Built implicitly from integers, floating point
// values, texts, characters and pointers.
struct TFormatArg {
  enum Kind { kInt, kUInt, kFloat, kString, kWide, kPointer } kind;
  int64_t i = 0;  // kInt and kUInt (the bits)
  bool wide64 = false;  // a 64-bit integer (shows in 16 hex digits when negative)
  double f = 0;
  std::string s;
  const void* p = nullptr;

  template <class T, std::enable_if_t<std::is_integral_v<T> && !std::is_same_v<T, char>, int> = 0>
  TFormatArg(T v)  // NOLINT: implicit on purpose
      : kind(std::is_signed_v<T> || std::is_same_v<T, bool> ? kInt : kUInt),
        i(static_cast<int64_t>(v)),
        wide64(sizeof(T) > 4) {}
  TFormatArg(char c) : kind(kString), s(1, c) {}
  TFormatArg(double v) : kind(kFloat), f(v) {}
  TFormatArg(float v) : kind(kFloat), f(v) {}
  TFormatArg(long double v) : kind(kFloat), f(static_cast<double>(v)) {}
  TFormatArg(const char* v) : kind(kString), s(v ? v : "") {}
  TFormatArg(const std::string& v) : kind(kString), s(v) {}
  TFormatArg(std::string_view v) : kind(kString), s(v) {}
  TFormatArg(const std::wstring& v) : kind(kWide), s(WideToAnsi(v)) {}
  TFormatArg(const wchar_t* v) : kind(kWide), s(WideToAnsi(v ? v : L"")) {}
  TFormatArg(const void* v) : kind(kPointer), p(v) {}
  TFormatArg(void* v) : kind(kPointer), p(v) {}
};

// The toolkit's Format: "%" ["index:"] ["-"] [width] ["." precision] type,
// width and precision may be "*" (taken from the arguments), "%%" is a '%'.
//   d  decimal integer, precision = minimum digits
//   u  unsigned decimal (a 32-bit argument as 32 bits)
//   x  upper-case hex, precision = minimum digits
//   s  text, precision = maximum characters
//   f  fixed (precision default 2), e  scientific "d.dddE+ddd" (default 15
//   significant digits), g  general (default 15), n  fixed with thousands
//   separators; decimal and thousands separators from FormatSettings()
//   p  pointer as upper-case hex
// A type that does not fit its argument, a missing argument or a broken
// specifier raises EConvertError.
std::string FormatV(std::string_view format, const std::vector<TFormatArg>& args);
template <class... Args>
std::string Format(std::string_view format, const Args&... args) {
  return FormatV(format, std::vector<TFormatArg>{TFormatArg(args)...});
}

}  // namespace morvane
