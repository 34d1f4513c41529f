#include "controls/elstrutils.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <string>

#include "controls/casefold_table.h"
#include "controls/eltools.h"
#include "platform/win32.h"

namespace morvane {
namespace {

int RecordOf(uint16_t source, uint8_t status) {
  for (int i = 0; i < kCaseFoldCount; ++i)
    if (kCaseFoldTable[i].Source == source && kCaseFoldTable[i].Status == status) return i;
  return -1;
}

TEST(CaseFoldTable, TellingRowsAndOrder) {
  struct Row {
    uint16_t source;
    uint8_t status;
    uint16_t f0, f1;
  } rows[] = {
      {0x0041, cfCommon, 0x0061, 0},   {0x00DF, cfFull, 0x0073, 0x0073},
      {0x0130, cfTurkic, 0x0069, 0},   {0x0131, cfTurkic, 0x0069, 0},
      {0x1F88, cfSimple, 0x1F80, 0},   {0x1F88, cfFull, 0x1F00, 0x03B9},
      {0x03C2, cfCommon, 0x03C3, 0},   {0xFF21, cfCommon, 0xFF41, 0},
  };
  for (const Row& r : rows) {
    const int i = RecordOf(r.source, r.status);
    ASSERT_GE(i, 0) << std::hex << r.source;
    EXPECT_EQ(kCaseFoldTable[i].Folded[0], r.f0) << std::hex << r.source;
    EXPECT_EQ(kCaseFoldTable[i].Folded[1], r.f1) << std::hex << r.source;
    EXPECT_EQ(kCaseFoldTable[i].Reserved, 0);
  }
  // Data of later Unicode versions must not be in: a capital sharp s, and
  // lower-case targets for the Cherokee capitals.
  for (int i = 0; i < kCaseFoldCount; ++i) {
    EXPECT_NE(kCaseFoldTable[i].Source, 0x1E9E);
    EXPECT_FALSE(kCaseFoldTable[i].Source >= 0x13A0 && kCaseFoldTable[i].Source <= 0x13F5);
    EXPECT_FALSE(kCaseFoldTable[i].Source >= 0xAB70 && kCaseFoldTable[i].Source <= 0xABBF);
  }
  // Ascending by source, except U+0345 right after U+0399 and U+00B5 right
  // after U+039C; a full and a simple entry of one source side by side.
  EXPECT_EQ(RecordOf(0x0345, cfCommon), RecordOf(0x0399, cfCommon) + 1);
  EXPECT_EQ(RecordOf(0x00B5, cfCommon), RecordOf(0x039C, cfCommon) + 1);
  EXPECT_EQ(RecordOf(0x1F88, cfSimple), RecordOf(0x1F88, cfFull) + 1);
  for (int i = 1; i < kCaseFoldCount; ++i) {
    const uint16_t s = kCaseFoldTable[i].Source;
    if (s == 0x0345 || s == 0x00B5 || kCaseFoldTable[i - 1].Source == 0x0345 || kCaseFoldTable[i - 1].Source == 0x00B5)
      continue;
    EXPECT_LE(kCaseFoldTable[i - 1].Source, s) << "row " << i;
  }
  EXPECT_EQ(kCaseFoldTable[kCaseFoldCount - 1].Source, 0xFF3A);
  EXPECT_EQ(kCaseFoldTable[kCaseFoldCount - 26].Source, 0xFF21);
}

TEST(CaseFoldTable, ReverseLookupKeepsTheFirstRecord) {
  auto source = [](int mask, wchar_t unit) -> int {
    const int r = CaseFoldReverseLookup(mask, unit);
    return r ? kCaseFoldTable[r - 1].Source : 0;
  };
  EXPECT_EQ(source(11, L'i'), 0x0049);   // the common record precedes the Turkic ones
  EXPECT_EQ(source(cfTurkic, L'i'), 0x0130);
  EXPECT_EQ(source(11, 0x03B9), 0x0399);  // not U+0345
  EXPECT_EQ(source(11, 0x03BC), 0x039C);  // not U+00B5
  EXPECT_EQ(source(11, 0x03C3), 0x03A3);  // not final sigma
  EXPECT_EQ(source(cfSimple, 0x1F80), 0x1F88);
  EXPECT_EQ(source(cfFull, L's'), 0x00DF);
  EXPECT_EQ(source(cfCommon, L's'), 0x0053);
  EXPECT_EQ(CaseFoldReverseLookup(0, L'a'), 0);
  EXPECT_EQ(CaseFoldReverseLookup(15, L'A'), 0);
}

TEST(WideUpperCaseEx, ConvertsOneUnitForOne) {
  struct Case {
    const wchar_t* in;
    const wchar_t* out;
  } cases[] = {
      {L"", L""},
      {L"stra\u00DFe", L"STRA\u00DFE"},
      {L"abc xyz 123", L"ABC XYZ 123"},
      {L"\u03C3\u03C2\u03B9\u03BC", L"\u03A3\u03C2\u0399\u039C"},
      {L"\u0131i", L"\u0131I"},
      {L"\u1F80\uFF41\u0450", L"\u1F88\uFF21\u0400"},
      {L"\xD83D\xDE00", L"\xD83D\xDE00"},
  };
  for (const Case& c : cases) EXPECT_EQ(WideUpperCaseEx(c.in), c.out);
}

TEST(TextToCurrency, LenientAmounts) {
  // en-US: "$", thousands ",", decimal "."
  struct Case {
    const char* text;
    int64_t value;
  } cases[] = {
      {"", 0},
      {"-1.5", -15000},
      {"1.2.3", 12000},
      {"12abc", 120000},
      {"  7", 70000},
      {"(12)", -120000},
      {"$1,234.56", 12340},  // "," always starts the fraction
      {"$-3", -30000},
      {"-$3", -30000},
      {"3-", -30000},         // a trailing sign counts and ends the number
      {"0.123456", 1234},     // digits after the fourth are dropped, not taken as integer digits
      {"1.23456.7", 12345},   // a second separator ends the number, even after four digits
      {"99999999999999999999999", LLONG_MAX},  // stays at the limit
      {"-99999999999999999999999.9", -LLONG_MAX},
  };
  for (const Case& c : cases) EXPECT_EQ(TextToCurrencyEx(c.text, "$", ',', '.'), c.value) << c.text;
  // A locale whose separators are neither "," nor ".".
  EXPECT_EQ(TextToCurrencyEx("1'234;5 Fr", "Fr", '\'', ';'), 12345000);
  // The user locale of the test prefix is en-US.
  EXPECT_EQ(TextToCurrency("$12.50"), 125000);
}

TEST(WideStrings, PositionsComparisonsAndCopies) {
  EXPECT_EQ(WidePos(L"", L"abc"), 0);
  EXPECT_EQ(WidePos(L"abcd", L"abc"), 0);
  EXPECT_EQ(WidePos(L"bc", L"abc"), 2);
  EXPECT_EQ(WideCompareOrdinal(std::wstring(L"ab\0zz", 5), L"ab"), 0);
  EXPECT_EQ(WideCompareOrdinal(L"ab", L"abc"), -1);
  EXPECT_EQ(WideCompareOrdinal(L"\xFF01", L"a"), 1);
  EXPECT_LT(WideCompareStr(L"a", L"b"), 0);
  EXPECT_EQ(WideCompareStr(L"", L""), 0);
  EXPECT_EQ(WideCopy(L"abcdef", 2, 3), L"bcd");
  EXPECT_EQ(WideCopy(L"abcdef", 0, 3), L"ab");
  EXPECT_EQ(WideCopy(L"abcdef", 5, 10), L"ef");
  EXPECT_EQ(WideCopy(L"abcdef", 7, 1), L"");
  EXPECT_EQ(WideCopy(L"abcdef", 2, -1), L"");
  EXPECT_EQ(WideStringOfChar(L'x', 3), L"xxx");
  EXPECT_EQ(WideFromPWide(nullptr), L"");
  std::wstring s = L"old";
  SetWideString(s, nullptr, 2);
  EXPECT_EQ(s, std::wstring(2, L'\0'));
  SetWideString(s, L"abc", -1);
  EXPECT_EQ(s, L"");
  EXPECT_EQ(RepeatString(3, "ab"), "ababab");
  EXPECT_TRUE(SameTextLocale("Stra\xDF" "e", "STRA\xDF" "E"));
  EXPECT_FALSE(SameTextLocale("a", "b"));
}

TEST(WideStrings, NulTerminatedRoutines) {
  wchar_t buf[16];
  WideStrPCopy(buf, std::wstring(L"ab\0cd", 5));
  EXPECT_EQ(WideStrLen(buf), 2);
  WideStrCat(buf, L"xyz");
  EXPECT_EQ(std::wstring(buf), L"abxyz");
  EXPECT_EQ(WideStrEnd(buf), buf + 5);
  WideStrLCopy(buf, L"abcdef", 3);
  EXPECT_EQ(std::wstring(buf), L"abc");
  WideStrCopy(buf, L"hello");
  WideStrMove(buf, buf + 1, 5);  // overlapping, upwards
  EXPECT_EQ(std::wstring(buf, 6), L"hhello");
  WideFillChar(buf, 3, L'z');
  WideFillChar(buf, -1, L'q');
  EXPECT_EQ(std::wstring(buf, 3), L"zzz");
  EXPECT_EQ(WideStrComp(L"abc", L"abd"), -1);
  EXPECT_EQ(WideStrComp(L"abc", L"ab"), L'c');
  EXPECT_EQ(WideStrComp(nullptr, L""), 0);
  const wchar_t* t = L"a/b/c";
  EXPECT_EQ(WideStrRScan(t, L'/'), t + 3);
  EXPECT_EQ(WideStrRScan(t, L'q'), nullptr);
  EXPECT_EQ(WideStrPos(t, L"b/"), t + 2);
  EXPECT_EQ(WideStrPos(t, L""), nullptr);
  EXPECT_EQ(WideStrPos(nullptr, L"a"), nullptr);
  EXPECT_EQ(WideStrPos(L"ab", L"abc"), nullptr);
}

TEST(ElTools, IntegersRectanglesAndFlags) {
  EXPECT_EQ(Max(-1, 2), 2);
  EXPECT_EQ(Min(-1, 2), -1);
  EXPECT_EQ(Sign(-7), -1);
  EXPECT_EQ(Sign(0), 0);
  EXPECT_TRUE(InRange(1, 3, 3));
  EXPECT_FALSE(InRange(1, 3, 4));
  RECT r;
  CenterRects(10, 4, 10, 4, r);
  EXPECT_EQ(r.left, 0);
  EXPECT_EQ(r.right, 3);
  EXPECT_EQ(r.top, 0);
  EXPECT_EQ(r.bottom, 3);
  CenterRects(3, 9, 5, 11, r);
  EXPECT_EQ(r.left, 3);
  EXPECT_EQ(r.right, 5);
  EXPECT_EQ(r.top, 3);
  EXPECT_EQ(r.bottom, 7);
  BYTE keys[256] = {};
  ASSERT_TRUE(GetKeyboardState(keys));
  BYTE held[256];
  std::copy(keys, keys + 256, held);
  held[VK_SHIFT] = held[VK_CONTROL] = 0x80;
  held[VK_MENU] = 0;
  SetKeyboardState(held);
  EXPECT_EQ(GetShiftState(), 5u);
  SetKeyboardState(keys);
  EXPECT_TRUE(IsWinNTFamily);
  EXPECT_FALSE(IsWin98Up9x);
}

}  // namespace
}  // namespace morvane
