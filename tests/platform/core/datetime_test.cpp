// ctest: tz=Europe/Berlin
// Dates, DOS dates, system times and the locale's date texts. The whole file
// also runs under a zone with summer time: only Now/Date/Time depend on it.
#include "platform/core/datetime.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/core/exceptions.h"
#include "platform/core/sysutils.h"
#include "platform/win32.h"

namespace morvane {
namespace {

SYSTEMTIME St(int y, int mo, int d, int h = 0, int mi = 0, int s = 0, int ms = 0) {
  SYSTEMTIME st{};
  st.wYear = static_cast<WORD>(y);
  st.wMonth = static_cast<WORD>(mo);
  st.wDay = static_cast<WORD>(d);
  st.wHour = static_cast<WORD>(h);
  st.wMinute = static_cast<WORD>(mi);
  st.wSecond = static_cast<WORD>(s);
  st.wMilliseconds = static_cast<WORD>(ms);
  return st;
}

TDateTime Dt(int y, int mo, int d, int h = 0, int mi = 0, int s = 0, int ms = 0) {
  return EncodeDate(y, mo, d) + EncodeTime(h, mi, s, ms);
}

// Replaces the process-wide format settings for one test.
class TSettingsScope {
 public:
  explicit TSettingsScope(const TFormatSettings& fs) : saved_(FormatSettings()) {
    SetFormatSettings(fs);
  }
  ~TSettingsScope() { SetFormatSettings(saved_); }

 private:
  TFormatSettings saved_;
};

int ThisYear() {
  SYSTEMTIME st;
  GetLocalTime(&st);
  return st.wYear;
}

TEST(DateEncoding, KnownDaysAndLimits) {
  struct {
    int y, m, d;
    double days;
  } known[] = {{1899, 12, 30, 0},      {1899, 12, 29, -1},     {1900, 1, 1, 2},
               {1970, 1, 1, 25569},    {2000, 2, 29, 36585},   {1601, 1, 1, -109205},
               {1, 1, 1, -693593},     {9999, 12, 31, 2958465}, {2106, 2, 7, 75279}};
  for (const auto& k : known) {
    EXPECT_EQ(EncodeDate(k.y, k.m, k.d), k.days) << k.y << "-" << k.m << "-" << k.d;
    int y, m, d;
    DecodeDate(k.days, y, m, d);
    EXPECT_EQ(y * 10000 + m * 100 + d, k.y * 10000 + k.m * 100 + k.d) << k.days;
  }
  struct {
    int y, m, d;
  } invalid[] = {{2001, 2, 29}, {1900, 2, 29}, {2000, 13, 1}, {2000, 0, 1},
                 {2000, 4, 31}, {2000, 1, 0},  {0, 1, 1},     {10000, 1, 1}};
  for (const auto& k : invalid) {
    TDateTime dt = 7;
    EXPECT_FALSE(TryEncodeDate(k.y, k.m, k.d, dt)) << k.y << "-" << k.m << "-" << k.d;
    EXPECT_EQ(dt, 7);
  }
  EXPECT_THROW(EncodeDate(2001, 2, 29), EConvertError);
  EXPECT_THROW(EncodeTime(24, 0, 0, 0), EConvertError);
  EXPECT_THROW(EncodeTime(0, 60, 0, 0), EConvertError);
  // Every 13th day over the whole calendar decodes to what encodes it.
  for (int day = -693593; day <= 2958465; day += 13) {
    int y, m, d;
    DecodeDate(day, y, m, d);
    ASSERT_EQ(EncodeDate(y, m, d), day) << day;
  }
}

TEST(DateEncoding, TimeOfDayAndNegativeDates) {
  int h, n, s, ms;
  DecodeTime(Dt(2003, 1, 2, 23, 59, 59, 999), h, n, s, ms);
  EXPECT_EQ((std::vector<int>{h, n, s, ms}), (std::vector<int>{23, 59, 59, 999}));
  // Before 1899-12-30 the fraction still counts forwards from midnight.
  int y, m, d;
  DecodeDate(-1.25, y, m, d);
  DecodeTime(-1.25, h, n, s, ms);
  EXPECT_EQ((std::vector<int>{y, m, d, h, n}), (std::vector<int>{1899, 12, 29, 6, 0}));
  EXPECT_EQ(SystemTimeToDateTime(St(1899, 12, 29, 6)), -1.25);
  EXPECT_EQ(DayOfWeek(EncodeDate(2026, 12, 10)), 5);  // a Thursday
  EXPECT_EQ(DayOfWeek(EncodeDate(1899, 12, 24)), 1);  // a Sunday
  EXPECT_EQ(DayOfWeek(-1.25), 6);
}

TEST(DateEncoding, RoundTruncFrac) {
  struct {
    double v;
    int64_t round;
  } cases[] = {{0.5, 0}, {1.5, 2}, {2.5, 2}, {3.5, 4}, {-0.5, 0}, {-1.5, -2},
               {-2.5, -2}, {2.4999, 2}, {2.5001, 3}, {1e12 + 0.5, 1000000000000}};
  for (const auto& c : cases) EXPECT_EQ(Round(c.v), c.round) << c.v;
  EXPECT_EQ(Trunc(-1.75), -1);
  EXPECT_EQ(Frac(-1.75), -0.75);
  EXPECT_EQ(Frac(36525.25), 0.25);
}

TEST(SystemTimes, AgreeWithTheFileTimeClock) {
  // FILETIME counts 100 ns from 1601-01-01; a TDateTime must land on the same instant.
  const SYSTEMTIME cases[] = {St(1601, 1, 1), St(1899, 12, 30), St(1970, 1, 1, 0, 0, 1),
                              St(2003, 7, 4, 13, 14, 15, 160), St(2106, 2, 7, 6, 28, 15),
                              St(9999, 12, 31, 23, 59, 59, 999), St(1850, 6, 1, 12)};
  for (const SYSTEMTIME& st : cases) {
    FILETIME ft;
    ASSERT_TRUE(SystemTimeToFileTime(&st, &ft));
    const int64_t ticks = (static_cast<int64_t>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime;
    const TDateTime dt = SystemTimeToDateTime(st);
    const double fromFt = -109205.0 + static_cast<double>(ticks / 10000) / MSecsPerDay;
    // On a straight time line: whole days plus the (forward-counting) time.
    const double linear = std::trunc(dt) + std::fabs(dt - std::trunc(dt));
    EXPECT_NEAR(linear, fromFt, 1e-8) << st.wYear;
    SYSTEMTIME back{};
    DateTimeToSystemTime(dt, back);
    EXPECT_EQ(back.wYear, st.wYear);
    EXPECT_EQ(back.wMonth, st.wMonth);
    EXPECT_EQ(back.wDay, st.wDay);
    EXPECT_EQ(back.wHour, st.wHour);
    EXPECT_EQ(back.wMinute, st.wMinute);
    EXPECT_EQ(back.wSecond, st.wSecond);
    EXPECT_EQ(back.wMilliseconds, st.wMilliseconds);
    SYSTEMTIME norm;
    FileTimeToSystemTime(&ft, &norm);
    EXPECT_EQ(back.wDayOfWeek, norm.wDayOfWeek) << st.wYear;
  }
  EXPECT_EQ(UnixToDateTime(0), UnixDateDelta);
  EXPECT_EQ(UnixToDateTime(4294967295LL), Dt(2106, 2, 7, 6, 28, 15));
  EXPECT_EQ(DateTimeToUnix(Dt(2106, 2, 7, 6, 28, 15)), 4294967295LL);
  EXPECT_EQ(DateTimeToUnix(Dt(1969, 12, 31, 23, 59, 59)), -1);
}

TEST(DosDates, LimitsAndAgreementWithWindows) {
  struct {
    const char* name;
    TDateTime dt;
    bool inRange;
  } cases[] = {
      {"first-day", Dt(1980, 1, 1), true},
      {"last-second", Dt(2107, 12, 31, 23, 59, 58), true},
      {"leap-day", Dt(2000, 2, 29, 12, 30, 44), true},
      {"before-1980", Dt(1979, 12, 31, 23, 59, 59), false},
      {"after-2107", Dt(2108, 1, 1), false},
  };
  for (const auto& c : cases) {
    const int32_t fd = DateTimeToFileDate(c.dt);
    if (!c.inRange) {
      EXPECT_EQ(fd, 0) << c.name;
      continue;
    }
    // Windows' own conversion of the same DOS value.
    FILETIME ft;
    ASSERT_TRUE(DosDateTimeToFileTime(static_cast<WORD>(static_cast<uint32_t>(fd) >> 16),
                                      static_cast<WORD>(fd & 0xFFFF), &ft))
        << c.name;
    SYSTEMTIME st;
    FileTimeToSystemTime(&ft, &st);
    EXPECT_EQ(SystemTimeToDateTime(st), c.dt) << c.name;
    EXPECT_EQ(FileDateToDateTime(fd), c.dt) << c.name;
  }
  EXPECT_EQ(DateTimeToFileDate(Dt(1980, 1, 1)), 0x00210000);
  // Odd seconds fall to the even second below.
  EXPECT_EQ(FileDateToDateTime(DateTimeToFileDate(Dt(2003, 1, 2, 3, 4, 5))), Dt(2003, 1, 2, 3, 4, 4));
  // Fields that are no date or time.
  const uint32_t bad[] = {
      0,                                    // month 0, day 0
      (23u << 9 | 13u << 5 | 1u) << 16,     // month 13
      (23u << 9 | 2u << 5 | 30u) << 16,     // 30 February
      ((23u << 9 | 1u << 5 | 1u) << 16) | (24u << 11),  // hour 24
      ((23u << 9 | 1u << 5 | 1u) << 16) | (60u << 5),   // minute 60
      ((23u << 9 | 1u << 5 | 1u) << 16) | 30u,          // second 60
  };
  for (uint32_t v : bad) {
    TDateTime dt;
    EXPECT_FALSE(TryFileDateToDateTime(static_cast<int32_t>(v), dt)) << std::hex << v;
    EXPECT_THROW(FileDateToDateTime(static_cast<int32_t>(v)), EConvertError);
  }
}

TEST(Clock, NowIsLocalTime) {
  SYSTEMTIME utc;
  GetSystemTime(&utc);
  const TDateTime now = Now();
  TIME_ZONE_INFORMATION tz;
  const DWORD mode = GetTimeZoneInformation(&tz);
  LONG bias = tz.Bias;
  if (mode == TIME_ZONE_ID_DAYLIGHT) bias += tz.DaylightBias;
  if (mode == TIME_ZONE_ID_STANDARD) bias += tz.StandardBias;
  const double expected = SystemTimeToDateTime(utc) - bias / 1440.0;
  EXPECT_NEAR(now, expected, 5.0 / 86400);
  EXPECT_EQ(Date(), std::trunc(Now()));
  EXPECT_GE(Time(), 0);
  EXPECT_LT(Time(), 1);
  // The test runs once under TZ=UTC and once under TZ=Europe/Berlin.
  const char* zone = std::getenv("TZ");
  ASSERT_NE(zone, nullptr);
  if (std::string(zone) == "Europe/Berlin") {
    EXPECT_TRUE(bias == -60 || bias == -120) << bias;
  } else {
    EXPECT_EQ(std::string(zone), "UTC");
    EXPECT_EQ(bias, 0);
  }
}

TEST(DateTexts, LocalesAgreeWithWindows) {
  // Our texts over the settings loaded from a locale are the texts Windows
  // itself writes for that locale. 0x0400 is the prefix's own (en-US).
  const LCID locales[] = {LOCALE_USER_DEFAULT, 0x0407 /* de-DE */, 0x0809 /* en-GB */,
                          0x040C /* fr-FR */, 0x041D /* sv-SE */, 0x0413 /* nl-NL */};
  const SYSTEMTIME cases[] = {St(2003, 1, 2, 3, 4, 5), St(1999, 12, 31, 23, 59, 59),
                              St(2026, 6, 15, 12, 0, 1), St(1601, 1, 1, 0, 0, 7)};
  for (LCID lcid : locales) {
    TSettingsScope scope(TFormatSettings::FromLocale(lcid));
    for (const SYSTEMTIME& st : cases) {
      char date[100], time[100], longDate[100];
      GetDateFormatA(lcid, DATE_SHORTDATE, &st, nullptr, date, sizeof date);
      GetDateFormatA(lcid, DATE_LONGDATE, &st, nullptr, longDate, sizeof longDate);
      GetTimeFormatA(lcid, 0, &st, nullptr, time, sizeof time);
      const TDateTime dt = SystemTimeToDateTime(st);
      EXPECT_EQ(DateTimeToStr(dt), std::string(date) + " " + time) << std::hex << lcid;
      EXPECT_EQ(DateToStr(dt), date) << std::hex << lcid;
      EXPECT_EQ(TimeToStr(dt), time) << std::hex << lcid;
      EXPECT_EQ(FormatDateTime("dddddd", dt), longDate) << std::hex << lcid;
      EXPECT_EQ(StrToDateTime(DateTimeToStr(dt)), dt) << std::hex << lcid;
    }
  }
  const TFormatSettings fs = TFormatSettings::FromLocale();
  TSettingsScope scope(fs);
  EXPECT_EQ(fs.ShortDateFormat, "m/d/yyyy");
  EXPECT_EQ(fs.LongTimeFormat, "h:nn:ss AMPM");
  EXPECT_EQ(fs.ShortTimeFormat, "h:nn AMPM");
  // Exactly midnight leaves the time out; a millisecond later it shows.
  EXPECT_EQ(DateTimeToStr(Dt(2003, 1, 2)), "1/2/2003");
  EXPECT_EQ(DateTimeToStr(Dt(2003, 1, 2, 0, 0, 0, 1)), "1/2/2003 12:00:00 AM");
  EXPECT_EQ(DateTimeToStr(-109205), "1/1/1601");
}

TEST(DateTexts, WindowsPicturesTranslate) {
  struct {
    const char* windows;
    const char* ours;
  } cases[] = {{"M/d/yyyy", "m/d/yyyy"},         {"dd/MM/yy", "dd/mm/yy"},
               {"h:mm:ss tt", "h:nn:ss AMPM"},   {"HH:mm:ss", "hh:nn:ss"},
               {"tt hh:mm", "AMPM hh:nn"},       {"dd.MM.yyyy 'r.'", "dd.mm.yyyy \"r.\""},
               {"yyyy-MM-dd", "yyyy-mm-dd"},     {"d MMM yyyy", "d mmm yyyy"},
               {"'it''s' d", "\"it's\" d"},      {"gg yyyy/M/d", "yyyy/m/d"},
               {"d 'de' MMMM", "d \"de\" mmmm"}, {"d. MMMM yyyy c", "d. mmmm yyyy \"c\""}};
  for (const auto& c : cases) EXPECT_EQ(TranslateLocalePicture(c.windows), c.ours) << c.windows;
}

// Settings for a Windows short date and long time picture, with the date
// separator the picture uses.
TFormatSettings WithPictures(const char* shortDate, const char* longTime, char dateSep) {
  TFormatSettings fs;
  fs.ShortDateFormat = TranslateLocalePicture(shortDate);
  fs.LongTimeFormat = TranslateLocalePicture(longTime);
  fs.DateSeparator = dateSep;
  return fs;
}

TEST(DateTexts, RoundTripsUnderSeveralFormats) {
  const int y = ThisYear();
  const struct {
    const char* name;
    TFormatSettings fs;
    bool twoDigitYear;
  } formats[] = {
      {"en-US", TFormatSettings::FromLocale(0x0409), false},
      {"de-DE", TFormatSettings::FromLocale(0x0407), false},
      {"en-GB", TFormatSettings::FromLocale(0x0809), false},
      {"two-digit-year", WithPictures("dd/MM/yy", "h:mm:ss tt", '/'), true},
      {"two-digit-year-dmy-dots", WithPictures("d.M.yy", "HH:mm:ss", '.'), true},
      {"iso", WithPictures("yyyy-MM-dd", "HH:mm:ss", '-'), false},
  };
  std::vector<TDateTime> values = {Dt(2003, 1, 2, 3, 4, 5), Dt(2003, 12, 31),
                                   Dt(y, 6, 15, 12, 0, 0), Dt(y, 6, 15, 0, 30, 0),
                                   Dt(y - 50, 2, 28, 23, 59, 59), Dt(y + 49, 11, 1, 12, 59, 1)};
  for (const auto& f : formats) {
    TSettingsScope scope(f.fs);
    for (TDateTime v : values) {
      const std::string text = DateTimeToStr(v);
      TDateTime back = -1;
      ASSERT_TRUE(TryStrToDateTime(text, back)) << f.name << ": " << text;
      EXPECT_EQ(back, v) << f.name << ": " << text;
      EXPECT_EQ(StrToDate(DateToStr(v)), std::trunc(v)) << f.name;
      EXPECT_NEAR(StrToTime(TimeToStr(v)), Frac(v), 1e-9) << f.name;
    }
    if (f.twoDigitYear) {
      // The 100-year window runs from 50 years back to 49 years ahead.
      EXPECT_EQ(FormatDateTime("yy", Dt(y - 51, 1, 1)), FormatDateTime("yy", Dt(y + 49, 1, 1)));
      EXPECT_EQ(StrToDate(DateToStr(Dt(y - 51, 3, 1))), EncodeDate(y + 49, 3, 1)) << f.name;
      EXPECT_EQ(StrToDate(DateToStr(Dt(y + 50, 3, 1))), EncodeDate(y - 50, 3, 1)) << f.name;
    }
  }
  // de-DE writes decimals with a comma and the date with dots.
  EXPECT_EQ(formats[1].fs.DecimalSeparator, ',');
  EXPECT_EQ(formats[1].fs.DateSeparator, '.');
}

TEST(DateTexts, ParsingTable) {
  TSettingsScope scope(TFormatSettings{});  // m/d/yyyy and h:nn:ss AMPM
  const int y = ThisYear();
  struct Case {
    const char* text;
    bool ok;
    TDateTime value;
  };
  const Case cases[] = {
      {"1/2/2003", true, Dt(2003, 1, 2)},
      {"1/2/2003 10:20:30 AM", true, Dt(2003, 1, 2, 10, 20, 30)},
      {"1/2/2003 10:20:30 PM", true, Dt(2003, 1, 2, 22, 20, 30)},
      {"1/2/2003 12:00:00 AM", true, Dt(2003, 1, 2)},
      {"1/2/2003 12:00:00 pm", true, Dt(2003, 1, 2, 12)},
      {"1/2/2003 PM 1:05", true, Dt(2003, 1, 2, 13, 5)},
      {"1/2/2003 5 PM", true, Dt(2003, 1, 2, 17)},
      {"1/2/2003 13:05", true, Dt(2003, 1, 2, 13, 5)},
      {"1/2/2003 13:05:07.250", true, Dt(2003, 1, 2, 13, 5, 7, 250)},
      {"  1 / 2 / 2003   10:20  ", true, Dt(2003, 1, 2, 10, 20)},
      {"01/02/03", true, Dt(2003, 1, 2)},
      {"1/2", true, Dt(y, 1, 2)},
      {"13:00", true, EncodeTime(13, 0, 0, 0)},
      {"2/30/2003", false, 0},
      {"13/1/2003", false, 0},
      {"1/2/2003 25:00", false, 0},
      {"1/2/2003 13:00 PM", false, 0},
      {"1/2/2003 0:30 AM", false, 0},
      {"1/2/2003 10", false, 0},
      {"1/2/2003x", false, 0},
      {"1/2/2003 10:20 x", false, 0},
      {"1-2-2003", false, 0},
      {"", false, 0},
      {"tomorrow", false, 0},
  };
  for (const auto& c : cases) {
    TDateTime v = 99;
    EXPECT_EQ(TryStrToDateTime(c.text, v), c.ok) << '"' << c.text << '"';
    if (c.ok) {
      EXPECT_EQ(v, c.value) << c.text;
    }
  }
  // Before 1899-12-30 the time is added away from zero.
  EXPECT_EQ(StrToDateTime("12/29/1899 6:00"), -1.25);
  try {
    StrToDateTime("2/30/2003");
    ADD_FAILURE();
  } catch (const EConvertError& e) {
    EXPECT_EQ(e.Message(), "'2/30/2003' is not a valid date and time");
  }
  EXPECT_THROW(StrToDate("1/2/2003 10:00"), EConvertError);
  EXPECT_THROW(StrToTime("1/2/2003"), EConvertError);
}

TEST(DateTexts, FormatSpecifiers) {
  TFormatSettings fs;
  const TDateTime v = Dt(2003, 1, 2, 15, 4, 5, 67);
  struct {
    const char* format;
    const char* text;
  } cases[] = {{"yyyy-mm-dd hh:nn:ss.zzz", "2003-01-02 15:04:05.067"},
               {"d/m/yy", "2/1/03"},
               {"ddd dddd mmm mmmm", "Thu Thursday Jan January"},
               {"h:mm am/pm", "3:04 pm"},
               {"hh:mm A/P", "03:04 P"},
               {"h:nn:ss", "15:04:05"},
               {"'h' \"mm\" h", "h mm 15"},
               {"c", "1/2/2003 3:04:05 PM"},
               {"ddddd t", "1/2/2003 3:04 PM"},
               {"yy/mm", "03/01"}};
  for (const auto& c : cases) EXPECT_EQ(FormatDateTime(c.format, v, fs), c.text) << c.format;
  {
    // The same texts into a string that held a longer one, under the
    // process's settings; small numbers get their leading zeros.
    const TFormatSettings saved = FormatSettings();
    SetFormatSettings(fs);
    std::string into;
    for (const auto& c : cases) {
      into = "a longer text that was there before, beyond any date";
      DateTimeToString(into, c.format, v);
      EXPECT_EQ(into, c.text) << c.format;
    }
    DateTimeToString(into, "yy-mm-dd hh:nn:ss.zzz", Dt(1907, 3, 4, 0, 0, 9, 5));
    EXPECT_EQ(into, "07-03-04 00:00:09.005");
    SetFormatSettings(saved);
  }
  fs.DateSeparator = '-';
  fs.TimeSeparator = '.';
  EXPECT_EQ(FormatDateTime("yyyy/mm/dd hh:nn", v, fs), "2003-01-02 15.04");
}

TEST(NumberTexts, TextToFloat) {
  TFormatSettings dot, comma;
  comma.DecimalSeparator = ',';
  struct {
    const char* text;
    bool okDot, okComma;
    double value;
  } cases[] = {{"1.5", true, false, 1.5},       {"1,5", false, true, 1.5},
               {" -2 ", true, true, -2},        {"+3e2", true, true, 300},
               {"1.25E-2", true, false, 0.0125}, {".5", true, false, 0.5},
               {"5.", true, false, 5},           {"", false, false, 0},
               {".", false, false, 0},           {"1e", false, false, 0},
               {"1.5x", false, false, 0},        {"1e999", false, false, 0},
               {"1,000.5", false, false, 0}};
  for (const auto& c : cases) {
    double v = 0;
    EXPECT_EQ(TextToFloat(c.text, v, dot), c.okDot) << c.text;
    if (c.okDot) {
      EXPECT_DOUBLE_EQ(v, c.value) << c.text;
    }
    EXPECT_EQ(TextToFloat(c.text, v, comma), c.okComma) << c.text;
    if (c.okComma) {
      EXPECT_DOUBLE_EQ(v, c.value) << c.text;
    }
  }
  EXPECT_THROW(StrToFloat("x"), EConvertError);
  EXPECT_EQ(DoubleToCurrency(1.2345), 12345);
  EXPECT_EQ(DoubleToCurrency(-1.5), -15000);
}

}  // namespace
}  // namespace morvane
