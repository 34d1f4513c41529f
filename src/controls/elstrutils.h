// Wide-string routines of the control family (UTF-16 code units, positions
// 1-based), the Unicode upper-casing used for sort keys, the lenient
// currency parser of currency columns and a few 8-bit helpers.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/core/datetime.h"

namespace morvane {

using WideString = std::wstring;
using PWide = wchar_t*;

std::string RepeatString(int Count, const std::string& S);
// The system's case-insensitive comparison in the user's locale says equal.
bool SameTextLocale(const std::string& S1, const std::string& S2);

// Reads an amount the way a user typed it ("$12.50", "(12)", "-1.5"): see the
// .cpp. Uses the currency symbol and separators of FormatSettings().
Currency TextToCurrency(const std::string& S);
// The same with the locale values given.
Currency TextToCurrencyEx(std::string_view S, std::string_view CurrencySymbol,
                         char ThousandSeparator, char DecimalSeparator);

int WidePos(const WideString& SubStr, const WideString& S);
// -1, 0 or 1 by code units; the first NUL of either string ends it.
int WideCompareOrdinal(const WideString& S1, const WideString& S2);
int WideCompareStr(const WideString& S1, const WideString& S2);
// Upper-cases S through the case-folding table: one code unit for one, the
// sharp s and final sigma stay as they are.
WideString WideUpperCaseEx(const WideString& S);
WideString WideCopy(const WideString& S, int Index, int Count);
WideString WideStringOfChar(wchar_t Ch, int Count);
WideString WideFromPWide(const wchar_t* P);
void SetWideString(WideString& S, const wchar_t* Buffer, int Len);

wchar_t* WideStrPCopy(wchar_t* Dest, const WideString& Source);
int WideStrLen(const wchar_t* P);
wchar_t* WideStrEnd(const wchar_t* P);
wchar_t* WideStrCopy(wchar_t* Dest, const wchar_t* Source);
wchar_t* WideStrLCopy(wchar_t* Dest, const wchar_t* Source, int MaxLen);
void WideStrCat(wchar_t* Dest, const wchar_t* Source);
void WideStrMove(const wchar_t* Source, wchar_t* Dest, int Count);
void WideFillChar(wchar_t* Dest, int Count, wchar_t Ch);
int WideStrComp(const wchar_t* S1, const wchar_t* S2);
wchar_t* WideStrRScan(const wchar_t* P, wchar_t Ch);
wchar_t* WideStrPos(const wchar_t* Str, const wchar_t* SubStr);

// The reverse case lookup: the number (1-based) of the first record of the
// case-folding table whose status has a bit in Mask (0..15) and whose folded
// form starts with Unit, or 0. Built on first use.
int CaseFoldReverseLookup(int Mask, wchar_t Unit);

}  // namespace morvane
