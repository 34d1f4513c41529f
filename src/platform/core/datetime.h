// TDateTime and the locale's date and time texts.
//
// A TDateTime is a double: the whole part counts days since 1899-12-30, the
// fraction is the time of day (0.5 = noon). Before 1899-12-30 the whole part
// is negative and the fraction still counts forwards from midnight as its
// absolute value (-1.25 is 1899-12-29 06:00).
//
// Texts follow the format settings of the process (FormatSettings()), which
// come from the user's Windows locale (GetLocaleInfoA) the first time they
// are used and can be replaced, for example by a test.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

struct _SYSTEMTIME;

namespace morvane {

using TDateTime = double;

constexpr TDateTime UnixDateDelta = 25569;  // 1970-01-01 as a TDateTime
constexpr int64_t MSecsPerDay = 86400000;

// ---- format settings ----
// Format texts use the toolkit's date-format language (see FormatDateTime);
// the Windows locale's pictures are translated when they are loaded.
struct TFormatSettings {
  std::string ShortDateFormat = "M/d/yyyy";
  std::string LongDateFormat = "dddd, MMMM d, yyyy";
  std::string ShortTimeFormat = "h:mm AMPM";
  std::string LongTimeFormat = "h:mm:ss AMPM";
  char DateSeparator = '/';
  char TimeSeparator = ':';
  char DecimalSeparator = '.';
  char ThousandSeparator = ',';
  std::string TimeAMString = "AM";
  std::string TimePMString = "PM";
  std::string CurrencyString = "$";
  std::array<std::string, 12> ShortMonthNames;
  std::array<std::string, 12> LongMonthNames;
  std::array<std::string, 7> ShortDayNames;  // Sunday first
  std::array<std::string, 7> LongDayNames;
  // Two-digit years are placed in the 100 years from (current year - 50).
  // 0 means "the current century".
  int TwoDigitYearCenturyWindow = 50;

  TFormatSettings();  // English names, US formats
  // A Windows locale (LOCALE_USER_DEFAULT = 0x0400), as GetLocaleInfoA
  // reports it. Wine reads the user's settings from the registry once per
  // process: a later change made there is not seen, one made through
  // SetLocaleInfoA is.
  static TFormatSettings FromLocale(uint32_t lcid = 0x0400);
};

// A Windows date or time picture (LOCALE_SSHORTDATE, "dd/MM/yy",
// "h:mm:ss tt") in our format language ("dd/mm/yy", "h:nn:ss AMPM").
std::string TranslateLocalePicture(std::string_view windowsPicture);

// The settings every function below uses. Loaded from the locale on first use.
TFormatSettings& FormatSettings();
// Replace them (a test), or reload them from the locale.
void SetFormatSettings(const TFormatSettings& settings);
void ReloadFormatSettings();

// ---- encoding and decoding ----
bool TryEncodeDate(int year, int month, int day, TDateTime& date);
bool TryEncodeTime(int hour, int min, int sec, int msec, TDateTime& time);
// Raise EConvertError "Invalid argument to date encode" / "... time encode".
TDateTime EncodeDate(int year, int month, int day);
TDateTime EncodeTime(int hour, int min, int sec, int msec);
void DecodeDate(TDateTime date, int& year, int& month, int& day);
void DecodeTime(TDateTime time, int& hour, int& min, int& sec, int& msec);
// 1 = Sunday .. 7 = Saturday
int DayOfWeek(TDateTime date);
bool IsLeapYear(int year);
int DaysInMonth(int year, int month);

// Whole days (towards zero) and the fraction.
double Trunc(double value);
double Frac(double value);
// To the nearest integer, halves to even (2.5 -> 2, 3.5 -> 4).
int64_t Round(double value);

// ---- clock ----
TDateTime Now();   // local time
TDateTime Date();  // today, local
TDateTime Time();  // time of day, local

// ---- system formats ----
TDateTime SystemTimeToDateTime(const _SYSTEMTIME& st);
void DateTimeToSystemTime(TDateTime dt, _SYSTEMTIME& st);
// DOS date and time (the local date of a file): date in the high 16 bits,
// time in the low 16 bits, two-second steps, years 1980 to 2107.
// FileDateToDateTime of a value whose fields are not a valid date raises
// EConvertError; DateTimeToFileDate of a date outside 1980 to 2107 gives 0
// (the value 0 means "no date").
TDateTime FileDateToDateTime(int32_t fileDate);
bool TryFileDateToDateTime(int32_t fileDate, TDateTime& dt);
int32_t DateTimeToFileDate(TDateTime dt);
// Seconds since 1970-01-01 (no zone conversion).
TDateTime UnixToDateTime(int64_t seconds);
int64_t DateTimeToUnix(TDateTime dt);

// ---- texts ----
// The toolkit's date-format language:
//   c       short date, then " " and the long time unless the time is 00:00:00.000
//   d dd    day, ddd dddd day name (short, long), ddddd short date, dddddd long date
//   m mm    month (minutes right after h/hh), mmm mmmm month name
//   yy yyyy year; h hh hour; n nn minute; s ss second; z zzz millisecond
//   t tt    short and long time; am/pm a/p (12-hour, as written); ampm (12-hour,
//           the locale's texts)
//   /  :    the date and time separators; "..." and '...' are literal
// Letters are not case-sensitive.
std::string FormatDateTime(std::string_view format, TDateTime dt);
std::string FormatDateTime(std::string_view format, TDateTime dt, const TFormatSettings& fs);
// FormatDateTime's text into Result, replacing what it held: a string that
// already has room needs no memory of its own (100,000 cookies' expiries are
// formatted on every read of their file).
void DateTimeToString(std::string& Result, std::string_view format, TDateTime dt);
// Short date and long time; the time is left out when it is exactly midnight.
std::string DateTimeToStr(TDateTime dt);
std::string DateToStr(TDateTime dt);
std::string TimeToStr(TDateTime dt);

// Reading texts back. The date is numbers in the order of the short date
// format (month-day-year, day-month-year or year-month-day) between the date
// separators; a missing year means this year; a year of one or two digits is
// placed in the TwoDigitYearCenturyWindow. The time is hours, minutes and
// optional seconds and milliseconds (after the decimal separator), with the
// locale's AM/PM texts (or "AM"/"PM") before or after it. Blanks around the
// parts are allowed; anything else left over makes the text invalid.
// The raising forms raise EConvertError "'<text>' is not a valid date and
// time" / "... valid date" / "... valid time".
bool TryStrToDateTime(std::string_view s, TDateTime& value);
bool TryStrToDateTime(std::string_view s, TDateTime& value, const TFormatSettings& fs);
bool TryStrToDate(std::string_view s, TDateTime& value);
bool TryStrToTime(std::string_view s, TDateTime& value);
TDateTime StrToDateTime(std::string_view s);
TDateTime StrToDate(std::string_view s);
TDateTime StrToTime(std::string_view s);

// ---- floating-point texts ----
// Optional blanks, sign, digits with the decimal separator (a '.' is not
// accepted in its place unless it is the separator), optional exponent,
// optional blanks. Nothing else.
bool TextToFloat(std::string_view s, double& value);
bool TextToFloat(std::string_view s, double& value, const TFormatSettings& fs);
// Raises EConvertError "'<text>' is not a valid floating point value".
double StrToFloat(std::string_view s);
double StrToFloatDef(std::string_view s, double def);

// ---- currency ----
// 64-bit integer in units of 1/10,000.
using Currency = int64_t;
constexpr int64_t CurrencyScale = 10000;
inline double CurrencyToDouble(Currency c) { return static_cast<double>(c) / CurrencyScale; }
// Rounded to the nearest unit, halves to even.
Currency DoubleToCurrency(double v);

}  // namespace morvane
