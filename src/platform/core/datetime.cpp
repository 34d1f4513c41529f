#include "platform/core/datetime.h"

#include <cmath>
#include <limits>

#include "platform/core/exceptions.h"
#include "platform/win32.h"

namespace morvane {

namespace {
const int kDaysInMonth[2][12] = {{31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31},
                                 {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31}};
// Days from 0001-01-01 to 1899-12-30.
constexpr int64_t kDateDelta = 693594;

// Milliseconds since 1899-12-30 00:00 on a straight time line (the signed
// TDateTime of dates before 1899-12-30 counts its fraction forwards).
int64_t ToLinearMSecs(TDateTime dt) {
  // Far outside the calendar (and NaN): a day no date decodes to.
  if (!(std::fabs(dt) < 1e7)) return -1000000000LL * MSecsPerDay;
  double days = std::trunc(dt);
  double frac = std::fabs(dt - days);
  int64_t ms = static_cast<int64_t>(std::llround(frac * MSecsPerDay));
  return static_cast<int64_t>(days) * MSecsPerDay + ms;
}

TDateTime FromLinearMSecs(int64_t ms) {
  int64_t days = ms / MSecsPerDay;
  int64_t rest = ms % MSecsPerDay;
  if (rest < 0) {
    --days;
    rest += MSecsPerDay;
  }
  const double frac = static_cast<double>(rest) / MSecsPerDay;
  return days >= 0 ? static_cast<double>(days) + frac : static_cast<double>(days) - frac;
}
}  // namespace

bool IsLeapYear(int year) { return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0); }

int DaysInMonth(int year, int month) {
  if (month < 1 || month > 12) return 0;
  return kDaysInMonth[IsLeapYear(year) ? 1 : 0][month - 1];
}

bool TryEncodeDate(int year, int month, int day, TDateTime& date) {
  if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 ||
      day > DaysInMonth(year, month))
    return false;
  const bool leap = IsLeapYear(year);
  int64_t d = day;
  for (int m = 1; m < month; ++m) d += kDaysInMonth[leap ? 1 : 0][m - 1];
  const int64_t y = year - 1;
  d += y * 365 + y / 4 - y / 100 + y / 400;
  date = static_cast<double>(d - kDateDelta);
  return true;
}

bool TryEncodeTime(int hour, int min, int sec, int msec, TDateTime& time) {
  if (hour < 0 || hour > 23 || min < 0 || min > 59 || sec < 0 || sec > 59 || msec < 0 ||
      msec > 999)
    return false;
  time = static_cast<double>(((hour * 60 + min) * 60 + sec) * 1000 + msec) / MSecsPerDay;
  return true;
}

TDateTime EncodeDate(int year, int month, int day) {
  TDateTime d;
  if (!TryEncodeDate(year, month, day, d)) throw EConvertError("Invalid argument to date encode");
  return d;
}

TDateTime EncodeTime(int hour, int min, int sec, int msec) {
  TDateTime t;
  if (!TryEncodeTime(hour, min, sec, msec, t)) throw EConvertError("Invalid argument to time encode");
  return t;
}

void DecodeDate(TDateTime date, int& year, int& month, int& day) {
  int64_t ms = ToLinearMSecs(date);
  int64_t days = ms / MSecsPerDay - (ms % MSecsPerDay < 0 ? 1 : 0);
  int64_t t = days + kDateDelta - 1;  // days since 0001-01-01
  if (t < 0 || t >= 3652059) {  // outside 0001-01-01 .. 9999-12-31
    year = month = day = 0;
    return;
  }
  // 400-, 100-, 4- and 1-year cycles.
  int64_t y = 1;
  y += (t / 146097) * 400;
  t %= 146097;
  int64_t c = t / 36524;
  if (c == 4) c = 3;
  y += c * 100;
  t -= c * 36524;
  y += (t / 1461) * 4;
  t %= 1461;
  int64_t a = t / 365;
  if (a == 4) a = 3;
  y += a;
  t -= a * 365;
  const bool leap = IsLeapYear(static_cast<int>(y));
  int m = 0;
  while (t >= kDaysInMonth[leap ? 1 : 0][m]) {
    t -= kDaysInMonth[leap ? 1 : 0][m];
    ++m;
  }
  year = static_cast<int>(y);
  month = m + 1;
  day = static_cast<int>(t) + 1;
}

void DecodeTime(TDateTime time, int& hour, int& min, int& sec, int& msec) {
  int64_t ms = ToLinearMSecs(time) % MSecsPerDay;
  if (ms < 0) ms += MSecsPerDay;
  msec = static_cast<int>(ms % 1000);
  ms /= 1000;
  sec = static_cast<int>(ms % 60);
  ms /= 60;
  min = static_cast<int>(ms % 60);
  hour = static_cast<int>(ms / 60);
}

int DayOfWeek(TDateTime date) {
  int64_t ms = ToLinearMSecs(date);
  int64_t days = ms / MSecsPerDay - (ms % MSecsPerDay < 0 ? 1 : 0);
  // 1899-12-30 was a Saturday.
  int64_t w = (days + 6) % 7;
  if (w < 0) w += 7;
  return static_cast<int>(w) + 1;
}

double Trunc(double value) { return std::trunc(value); }
double Frac(double value) { return value - std::trunc(value); }

int64_t Round(double value) {
  // nearbyint follows the rounding mode, which is to-nearest-even by default.
  if (std::isnan(value)) return 0;
  if (value >= 9.2e18) return std::numeric_limits<int64_t>::max();
  if (value <= -9.2e18) return std::numeric_limits<int64_t>::min();
  return static_cast<int64_t>(std::nearbyint(value));
}

// ---- clock ----

TDateTime Now() {
  SYSTEMTIME st;
  GetLocalTime(&st);
  return SystemTimeToDateTime(st);
}

TDateTime Date() { return std::trunc(Now()); }

TDateTime Time() { return Frac(Now()); }

// ---- system formats ----

TDateTime SystemTimeToDateTime(const SYSTEMTIME& st) {
  TDateTime d = EncodeDate(st.wYear, st.wMonth, st.wDay);
  TDateTime t = EncodeTime(st.wHour, st.wMinute, st.wSecond, st.wMilliseconds);
  return d >= 0 ? d + t : d - t;
}

void DateTimeToSystemTime(TDateTime dt, SYSTEMTIME& st) {
  int y, m, d, h, n, s, ms;
  DecodeDate(dt, y, m, d);
  DecodeTime(dt, h, n, s, ms);
  st.wYear = static_cast<WORD>(y);
  st.wMonth = static_cast<WORD>(m);
  st.wDay = static_cast<WORD>(d);
  st.wDayOfWeek = static_cast<WORD>(DayOfWeek(dt) - 1);
  st.wHour = static_cast<WORD>(h);
  st.wMinute = static_cast<WORD>(n);
  st.wSecond = static_cast<WORD>(s);
  st.wMilliseconds = static_cast<WORD>(ms);
}

bool TryFileDateToDateTime(int32_t fileDate, TDateTime& dt) {
  const uint32_t v = static_cast<uint32_t>(fileDate);
  const int date = static_cast<int>(v >> 16), time = static_cast<int>(v & 0xFFFF);
  TDateTime d, t;
  if (!TryEncodeDate((date >> 9) + 1980, (date >> 5) & 15, date & 31, d)) return false;
  if (!TryEncodeTime(time >> 11, (time >> 5) & 63, (time & 31) * 2, 0, t)) return false;
  dt = d + t;
  return true;
}

TDateTime FileDateToDateTime(int32_t fileDate) {
  TDateTime dt;
  if (!TryFileDateToDateTime(fileDate, dt))
    throw EConvertError("Invalid file date " + std::to_string(fileDate));
  return dt;
}

int32_t DateTimeToFileDate(TDateTime dt) {
  int y, m, d, h, n, s, ms;
  DecodeDate(dt, y, m, d);
  if (y < 1980 || y > 2107) return 0;
  DecodeTime(dt, h, n, s, ms);
  const uint32_t date = static_cast<uint32_t>(((y - 1980) << 9) | (m << 5) | d);
  const uint32_t time = static_cast<uint32_t>((h << 11) | (n << 5) | (s / 2));
  return static_cast<int32_t>((date << 16) | time);
}

TDateTime UnixToDateTime(int64_t seconds) {
  return FromLinearMSecs(seconds * 1000 + UnixDateDelta * MSecsPerDay);
}

int64_t DateTimeToUnix(TDateTime dt) {
  const int64_t ms = ToLinearMSecs(dt) - static_cast<int64_t>(UnixDateDelta) * MSecsPerDay;
  return ms >= 0 ? ms / 1000 : -((-ms + 999) / 1000);
}

Currency DoubleToCurrency(double v) {
  return Round(v * CurrencyScale);
}

}  // namespace morvane
