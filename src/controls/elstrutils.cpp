#include "controls/elstrutils.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <memory>
#include <mutex>

#include "controls/casefold_table.h"
#include "platform/core/datetime.h"
#include "platform/win32.h"

namespace morvane {

std::string RepeatString(int Count, const std::string& S) {
  std::string r;
  if (Count <= 0) return r;
  r.reserve(S.size() * static_cast<size_t>(Count));
  for (int i = 0; i < Count; ++i) r += S;
  return r;
}

bool SameTextLocale(const std::string& S1, const std::string& S2) {
  return CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, S1.data(), static_cast<int>(S1.size()),
                        S2.data(), static_cast<int>(S2.size())) == CSTR_EQUAL;
}

// ---- currency ----

namespace {

constexpr int64_t kCurrencyMax = std::numeric_limits<int64_t>::max();

}  // namespace

Currency TextToCurrency(const std::string& S) {
  const TFormatSettings& f = FormatSettings();
  return TextToCurrencyEx(S, f.CurrencyString, f.ThousandSeparator, f.DecimalSeparator);
}

// Lenient on purpose: the text of a grid cell, not a validated entry. "," and
// "." always mark the decimal point (they are tested before the locale's
// separators), a second separator ends the number, digits after the fourth
// fraction digit are dropped, and a value past the Currency range stays at
// its limit.
Currency TextToCurrencyEx(std::string_view S, std::string_view CurrencySymbol, char ThousandSeparator,
                         char DecimalSeparator) {
  if (S.empty()) return 0;
  size_t symbolAt = std::string_view::npos;
  if (!CurrencySymbol.empty()) symbolAt = S.find(CurrencySymbol);
  int64_t value = 0;
  int64_t fractionScale = 0;
  bool inFraction = false, digits = false, negative = false;
  size_t i = 0;
  while (i < S.size()) {
    if (i == symbolAt) {
      if (digits && negative) break;
      i += CurrencySymbol.size();
      continue;
    }
    const unsigned char c = static_cast<unsigned char>(S[i]);
    if (c == '(' || c == '-') {
      negative = true;
      if (digits) break;
    } else if (c >= '0' && c <= '9') {
      const int64_t d = c - '0';
      digits = true;
      if (inFraction) {
        if (fractionScale > 0) {
          value = value > kCurrencyMax - d * fractionScale ? kCurrencyMax : value + d * fractionScale;
          fractionScale /= 10;
        }
      } else if (value > (kCurrencyMax - d * 10000) / 10) {
        value = kCurrencyMax;
      } else {
        value = value * 10 + d * 10000;
      }
    } else if (c == ',' || c == '.' ||
               (c != static_cast<unsigned char>(ThousandSeparator) &&
                c == static_cast<unsigned char>(DecimalSeparator))) {
      digits = true;
      if (inFraction) break;
      inFraction = true;
      fractionScale = 1000;
    } else if (c == static_cast<unsigned char>(ThousandSeparator)) {
      // grouping: skipped
    } else if (c > ' ') {
      break;
    }
    ++i;
  }
  return negative ? -value : value;
}

// ---- wide strings ----

int WidePos(const WideString& SubStr, const WideString& S) {
  if (SubStr.empty() || SubStr.size() > S.size()) return 0;
  const size_t at = S.find(SubStr);
  return at == WideString::npos ? 0 : static_cast<int>(at) + 1;
}

int WideCompareOrdinal(const WideString& S1, const WideString& S2) {
  // NUL is the smallest unit, so a string that ends first compares lower
  // without a test of its own.
  const size_t n1 = S1.size(), n2 = S2.size(), n = n1 < n2 ? n1 : n2;
  const wchar_t* a = S1.data();
  const wchar_t* b = S2.data();
  for (size_t k = 0; k < n; ++k) {
    const unsigned c1 = static_cast<unsigned>(a[k]), c2 = static_cast<unsigned>(b[k]);
    if (c1 != c2) return c1 < c2 ? -1 : 1;
    if (c1 == 0) return 0;
  }
  if (n1 == n2) return 0;
  return n1 > n2 ? (a[n] == 0 ? 0 : 1) : (b[n] == 0 ? 0 : -1);
}

int WideCompareStr(const WideString& S1, const WideString& S2) { return WideStrComp(S1.c_str(), S2.c_str()); }

WideString WideCopy(const WideString& S, int Index, int Count) {
  const long long len = static_cast<long long>(S.size());
  long long start = static_cast<long long>(Index) - 1;
  long long end = start + Count;
  if (start < 0) start = 0;
  if (end > len) end = len;
  if (end <= start) return WideString();
  return S.substr(static_cast<size_t>(start), static_cast<size_t>(end - start));
}

WideString WideStringOfChar(wchar_t Ch, int Count) {
  return Count > 0 ? WideString(static_cast<size_t>(Count), Ch) : WideString();
}

WideString WideFromPWide(const wchar_t* P) { return P ? WideString(P, WideStrLen(P)) : WideString(); }

void SetWideString(WideString& S, const wchar_t* Buffer, int Len) {
  if (Len <= 0)
    S.clear();
  else if (!Buffer)
    S.assign(static_cast<size_t>(Len), L'\0');
  else
    S.assign(Buffer, static_cast<size_t>(Len));
}

wchar_t* WideStrPCopy(wchar_t* Dest, const WideString& Source) {
  size_t k = 0;
  for (; k < Source.size() && Source[k] != 0; ++k) Dest[k] = Source[k];
  Dest[k] = 0;
  return Dest;
}

int WideStrLen(const wchar_t* P) {
  if (!P) return 0;
  const wchar_t* e = P;
  while (*e) ++e;
  return static_cast<int>(e - P);
}

wchar_t* WideStrEnd(const wchar_t* P) {
  if (!P) return nullptr;
  while (*P) ++P;
  return const_cast<wchar_t*>(P);
}

wchar_t* WideStrCopy(wchar_t* Dest, const wchar_t* Source) {
  wchar_t* d = Dest;
  if (Source)
    while ((*d++ = *Source++) != 0) {
    }
  else
    *d = 0;
  return Dest;
}

wchar_t* WideStrLCopy(wchar_t* Dest, const wchar_t* Source, int MaxLen) {
  int k = 0;
  if (Source)
    for (; k < MaxLen && Source[k] != 0; ++k) Dest[k] = Source[k];
  Dest[k] = 0;
  return Dest;
}

void WideStrCat(wchar_t* Dest, const wchar_t* Source) { WideStrCopy(WideStrEnd(Dest), Source); }

void WideStrMove(const wchar_t* Source, wchar_t* Dest, int Count) {
  if (Count > 0) std::memmove(Dest, Source, sizeof(wchar_t) * static_cast<size_t>(Count));
}

void WideFillChar(wchar_t* Dest, int Count, wchar_t Ch) {
  for (int k = 0; k < Count; ++k) Dest[k] = Ch;
}

int WideStrComp(const wchar_t* S1, const wchar_t* S2) {
  static const wchar_t empty[1] = {0};
  if (!S1) S1 = empty;
  if (!S2) S2 = empty;
  for (;; ++S1, ++S2) {
    const int d = static_cast<int>(static_cast<unsigned>(*S1)) - static_cast<int>(static_cast<unsigned>(*S2));
    if (d != 0 || *S2 == 0) return d;
  }
}

wchar_t* WideStrRScan(const wchar_t* P, wchar_t Ch) {
  if (!P) return nullptr;
  // The terminator counts, so a search for NUL finds the end.
  for (const wchar_t* q = WideStrEnd(P);; --q) {
    if (*q == Ch) return const_cast<wchar_t*>(q);
    if (q == P) return nullptr;
  }
}

wchar_t* WideStrPos(const wchar_t* Str, const wchar_t* SubStr) {
  if (!Str || !SubStr) return nullptr;
  const int n = WideStrLen(Str), m = WideStrLen(SubStr);
  if (m == 0 || m > n) return nullptr;
  for (int i = 0; i + m <= n; ++i)
    if (std::memcmp(Str + i, SubStr, sizeof(wchar_t) * static_cast<size_t>(m)) == 0)
      return const_cast<wchar_t*>(Str + i);
  return nullptr;
}

// ---- case folding ----

namespace {

constexpr int kMasks = 16;
constexpr int kUnits = 65536;

// One record number per (mask, code unit): the memory buys one array read
// per character of a sort key. Freed when the program ends.
std::unique_ptr<uint32_t[]> g_reverse;
std::once_flag g_reverseOnce;

const uint32_t* ReverseTable() {
  std::call_once(g_reverseOnce, [] {
    g_reverse.reset(new uint32_t[static_cast<size_t>(kMasks) * kUnits]());
    for (int r = 0; r < kCaseFoldCount; ++r) {
      const TCaseFoldRecord& rec = kCaseFoldTable[r];
      for (int mask = 0; mask < kMasks; ++mask) {
        if ((rec.Status & mask) == 0) continue;
        uint32_t& cell = g_reverse[static_cast<size_t>(mask) * kUnits + rec.Folded[0]];
        if (cell == 0) cell = static_cast<uint32_t>(r + 1);
      }
    }
  });
  return g_reverse.get();
}

}  // namespace

int CaseFoldReverseLookup(int Mask, wchar_t Unit) {
  if (Mask < 0 || Mask >= kMasks) return 0;
  return static_cast<int>(ReverseTable()[static_cast<size_t>(Mask) * kUnits + static_cast<uint16_t>(Unit)]);
}

WideString WideUpperCaseEx(const WideString& S) {
  // Common, simple and Turkic records: full folds are never used, so one
  // code unit becomes one code unit.
  constexpr int kMask = cfCommon | cfSimple | cfTurkic;
  WideString r;
  const size_t n = S.size();
  if (n == 0) return r;
  const uint32_t* row = ReverseTable() + static_cast<size_t>(kMask) * kUnits;
  r.resize(n);
  wchar_t* out = r.data();
  size_t o = 0;
  for (size_t i = 0; i < n;) {
    const uint32_t rn = row[static_cast<uint16_t>(S[i])];
    if (rn) {
      const TCaseFoldRecord& rec = kCaseFoldTable[rn - 1];
      size_t m = 1;
      while (m < 3 && rec.Folded[m] != 0) ++m;
      bool match = i + m <= n;
      for (size_t k = 1; match && k < m; ++k) match = static_cast<uint16_t>(S[i + k]) == rec.Folded[k];
      if (match) {
        out[o++] = static_cast<wchar_t>(rec.Source);
        i += m;
        continue;
      }
    }
    out[o++] = S[i++];
  }
  r.resize(o);
  return r;
}

}  // namespace morvane
