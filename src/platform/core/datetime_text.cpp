// Format settings from the Windows locale, and date, time and number texts.
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <mutex>

#include "platform/core/datetime.h"
#include "platform/core/exceptions.h"
#include "platform/core/sysutils.h"
#include "platform/win32.h"

namespace morvane {

// ---- format settings ----

TFormatSettings::TFormatSettings()
    : ShortMonthNames{"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                      "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"},
      LongMonthNames{"January", "February", "March",     "April",   "May",      "June",
                     "July",    "August",   "September", "October", "November", "December"},
      ShortDayNames{"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"},
      LongDayNames{"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"} {}

namespace {

std::string LocaleStr(LCID lcid, LCTYPE type, const std::string& def) {
  char buf[256];
  const int n = GetLocaleInfoA(lcid, type, buf, sizeof buf);
  if (n <= 1) return def;
  return std::string(buf, static_cast<size_t>(n - 1));
}

char LocaleChar(LCID lcid, LCTYPE type, char def) {
  const std::string s = LocaleStr(lcid, type, std::string(1, def));
  return s.empty() ? def : s[0];
}

}  // namespace

// Windows spells the month "M" and the minute "m", the 24-hour clock "H" and
// the AM/PM marker "t"/"tt"; our language spells them m, n, h and AMPM.
// Quoted text is kept.
std::string TranslateLocalePicture(std::string_view pic) {
  std::string r;
  for (size_t i = 0; i < pic.size(); ++i) {
    const char c = pic[i];
    if (c == '\'') {
      // A quoted literal; '' inside or outside quotes is one quote.
      size_t j = i + 1;
      std::string lit;
      while (j < pic.size()) {
        if (pic[j] == '\'') {
          if (j + 1 < pic.size() && pic[j + 1] == '\'') {
            lit += '\'';
            j += 2;
            continue;
          }
          break;
        }
        lit += pic[j++];
      }
      i = j;
      if (lit.empty()) continue;
      // Our quotes cannot hold a quote; use the other kind for such text.
      const char q = lit.find('"') == std::string::npos ? '"' : '\'';
      r += q;
      r += lit;
      r += q;
      continue;
    }
    switch (c) {
      case 'M': r += 'm'; break;
      case 'm': r += 'n'; break;
      case 'H': r += 'h'; break;
      case 't': {
        while (i + 1 < pic.size() && pic[i + 1] == 't') ++i;
        r += "AMPM";
        break;
      }
      case 'g': break;  // era: not shown in the Gregorian calendar
      case 'd':
      case 'y':
      case 'h':
      case 's':
        r += c;
        break;
      default:
        // Other letters are literal in Windows pictures but may mean
        // something in ours (c, t, z, n, a, e).
        if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z')) {
          r += '"';
          r += c;
          r += '"';
        } else {
          r += c;
        }
    }
  }
  // A dropped era leaves a blank at either end.
  return Trim(r);
}

namespace {

// The long time picture without its seconds, for locales that have no short
// time picture of their own.
std::string WithoutSeconds(std::string pic) {
  const size_t s = pic.find_first_of("sS");
  if (s == std::string::npos) return pic;
  size_t e = s;
  while (e < pic.size() && (pic[e] == 's' || pic[e] == 'S')) ++e;
  size_t b = s;
  while (b > 0 && pic[b - 1] != 'm' && pic[b - 1] != 'M' && pic[b - 1] != 'h' && pic[b - 1] != 'H')
    --b;
  return pic.erase(b, e - b);
}

// The character that follows the first field of a picture ("dd.MM.yy" ->
// '.'), or Def when the picture has none. Windows writes pictures literally,
// so where the user's picture and separator setting disagree the picture is
// what dates look like, and what they must be read back with.
char PictureSeparator(const std::string& pic, const char* fieldLetters, char def) {
  size_t i = pic.find_first_of(fieldLetters);
  if (i == std::string::npos) return def;
  const char letter = pic[i];
  while (i < pic.size() && pic[i] == letter) ++i;
  if (i >= pic.size()) return def;
  const char c = pic[i];
  const bool letterOrQuote = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '\'';
  return (letterOrQuote || c == ' ') ? def : c;
}

// One object for the life of the process, so references to it stay valid
// when a test replaces its contents.
TFormatSettings& SettingsObject() {
  static TFormatSettings settings;
  return settings;
}

}  // namespace

TFormatSettings TFormatSettings::FromLocale(uint32_t lcid) {
  TFormatSettings fs;
  const LCID id = lcid;
  auto str = [&](LCTYPE type, const std::string& def) { return LocaleStr(id, type, def); };
  const std::string longTime = str(LOCALE_STIMEFORMAT, "h:mm:ss tt");
  const std::string shortDate = str(LOCALE_SSHORTDATE, "M/d/yyyy");
  fs.ShortDateFormat = TranslateLocalePicture(shortDate);
  fs.LongDateFormat = TranslateLocalePicture(str(LOCALE_SLONGDATE, "dddd, MMMM d, yyyy"));
  fs.LongTimeFormat = TranslateLocalePicture(longTime);
  fs.ShortTimeFormat = TranslateLocalePicture(str(LOCALE_SSHORTTIME, WithoutSeconds(longTime)));
  fs.DateSeparator = PictureSeparator(shortDate, "dMy", LocaleChar(id, LOCALE_SDATE, '/'));
  fs.TimeSeparator = PictureSeparator(longTime, "hHm", LocaleChar(id, LOCALE_STIME, ':'));
  fs.DecimalSeparator = LocaleChar(id, LOCALE_SDECIMAL, '.');
  fs.ThousandSeparator = LocaleChar(id, LOCALE_STHOUSAND, ',');
  fs.TimeAMString = str(LOCALE_S1159, "");
  fs.TimePMString = str(LOCALE_S2359, "");
  fs.CurrencyString = str(LOCALE_SCURRENCY, "$");
  for (int m = 0; m < 12; ++m) {
    fs.ShortMonthNames[m] = str(LOCALE_SABBREVMONTHNAME1 + m, fs.ShortMonthNames[m]);
    fs.LongMonthNames[m] = str(LOCALE_SMONTHNAME1 + m, fs.LongMonthNames[m]);
  }
  // Windows counts the days from Monday (1) to Sunday (7).
  for (int d = 0; d < 7; ++d) {
    const LCTYPE k = static_cast<LCTYPE>((d + 6) % 7);
    fs.ShortDayNames[d] = str(LOCALE_SABBREVDAYNAME1 + k, fs.ShortDayNames[d]);
    fs.LongDayNames[d] = str(LOCALE_SDAYNAME1 + k, fs.LongDayNames[d]);
  }
  return fs;
}

TFormatSettings& FormatSettings() {
  static std::once_flag loaded;
  std::call_once(loaded, [] { SettingsObject() = TFormatSettings::FromLocale(); });
  return SettingsObject();
}

void SetFormatSettings(const TFormatSettings& settings) { FormatSettings() = settings; }

void ReloadFormatSettings() { SetFormatSettings(TFormatSettings::FromLocale()); }

// ---- FormatDateTime ----

namespace {

char UpperAscii(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c; }

bool StartsNoCase(std::string_view s, size_t at, std::string_view what) {
  if (s.size() - at < what.size()) return false;
  for (size_t i = 0; i < what.size(); ++i)
    if (UpperAscii(s[at + i]) != UpperAscii(what[i])) return false;
  return true;
}

// Value in decimal, with leading zeros to Count digits. Straight into Out:
// a page of 100,000 cookies formats every expiry on each read and save.
void AppendDigits(std::string& out, int value, int count) {
  if (value < 0) {
    std::string s = std::to_string(value);
    if (static_cast<int>(s.size()) < count) s.insert(0, static_cast<size_t>(count) - s.size(), '0');
    out += s;
    return;
  }
  char buf[16];
  int n = 0;
  do {
    buf[n++] = static_cast<char>('0' + value % 10);
    value /= 10;
  } while (value);
  for (int k = n; k < count; ++k) out += '0';
  while (n) out += buf[--n];
}

struct TDateParts {
  int year, month, day, hour, min, sec, msec, dow;
};

void AppendFormat(std::string& out, std::string_view f, const TDateParts& p,
                  const TFormatSettings& fs, int depth) {
  if (depth > 2) return;  // a format that names itself through c, t or ddddd
  char lastToken = 0;
  bool use12Hour = false;
  size_t i = 0;
  auto count = [&](char start) {
    int n = 1;
    while (i < f.size() && f[i] == start) {
      ++n;
      ++i;
    }
    return n;
  };
  while (i < f.size()) {
    const char start = f[i++];
    char token = UpperAscii(start);
    if (token >= 'A' && token <= 'Z') {
      if (token == 'M' && lastToken == 'H') token = 'N';
      lastToken = token;
    }
    switch (token) {
      case 'Y': {
        const int n = count(start);
        n <= 2 ? AppendDigits(out, p.year % 100, 2) : AppendDigits(out, p.year, 4);
        break;
      }
      case 'M': {
        const int n = count(start);
        if (n <= 2) AppendDigits(out, p.month, n);
        else if (n == 3) out += fs.ShortMonthNames[p.month - 1];
        else out += fs.LongMonthNames[p.month - 1];
        break;
      }
      case 'D': {
        const int n = count(start);
        if (n <= 2) AppendDigits(out, p.day, n);
        else if (n == 3) out += fs.ShortDayNames[p.dow - 1];
        else if (n == 4) out += fs.LongDayNames[p.dow - 1];
        else if (n == 5) AppendFormat(out, fs.ShortDateFormat, p, fs, depth + 1);
        else AppendFormat(out, fs.LongDateFormat, p, fs, depth + 1);
        break;
      }
      case 'H': {
        int n = count(start);
        // The 12-hour clock when an AM/PM specifier follows before the next hour.
        bool quoted = false;
        for (size_t j = i; j < f.size(); ++j) {
          const char c = f[j];
          if (c == '\'' || c == '"') quoted = !quoted;
          if (quoted) continue;
          if (c == 'h' || c == 'H') break;
          if ((c == 'a' || c == 'A') &&
              (StartsNoCase(f, j, "AM/PM") || StartsNoCase(f, j, "A/P") ||
               StartsNoCase(f, j, "AMPM"))) {
            use12Hour = true;
            break;
          }
        }
        int h = p.hour;
        if (use12Hour) h = h == 0 ? 12 : (h > 12 ? h - 12 : h);
        AppendDigits(out, h, n > 2 ? 2 : n);
        break;
      }
      case 'N': {
        const int n = count(start);
        AppendDigits(out, p.min, n > 2 ? 2 : n);
        break;
      }
      case 'S': {
        const int n = count(start);
        AppendDigits(out, p.sec, n > 2 ? 2 : n);
        break;
      }
      case 'Z': {
        const int n = count(start);
        AppendDigits(out, p.msec, n > 3 ? 3 : n);
        break;
      }
      case 'T': {
        const int n = count(start);
        AppendFormat(out, n == 1 ? fs.ShortTimeFormat : fs.LongTimeFormat, p, fs, depth + 1);
        break;
      }
      case 'A': {
        const size_t at = i - 1;
        if (StartsNoCase(f, at, "AM/PM")) {
          out.append(f.substr(at + (p.hour >= 12 ? 3 : 0), 2));
          i = at + 5;
          use12Hour = true;
        } else if (StartsNoCase(f, at, "A/P")) {
          out.append(f.substr(at + (p.hour >= 12 ? 2 : 0), 1));
          i = at + 3;
          use12Hour = true;
        } else if (StartsNoCase(f, at, "AMPM")) {
          out += p.hour < 12 ? fs.TimeAMString : fs.TimePMString;
          i = at + 4;
          use12Hour = true;
        } else if (StartsNoCase(f, at, "AAAA")) {
          out += fs.LongDayNames[p.dow - 1];
          i = at + 4;
        } else if (StartsNoCase(f, at, "AAA")) {
          out += fs.ShortDayNames[p.dow - 1];
          i = at + 3;
        } else {
          out += start;
        }
        break;
      }
      case 'C':
        count(start);
        AppendFormat(out, fs.ShortDateFormat, p, fs, depth + 1);
        if (p.hour || p.min || p.sec || p.msec) {
          out += ' ';
          AppendFormat(out, fs.LongTimeFormat, p, fs, depth + 1);
        }
        break;
      case '/':
        if (fs.DateSeparator) out += fs.DateSeparator;
        break;
      case ':':
        if (fs.TimeSeparator) out += fs.TimeSeparator;
        break;
      case '\'':
      case '"': {
        const size_t end = f.find(start, i);
        const size_t stop = end == std::string_view::npos ? f.size() : end;
        out.append(f.substr(i, stop - i));
        i = end == std::string_view::npos ? f.size() : end + 1;
        break;
      }
      default:
        out += start;
    }
  }
}

TDateParts Parts(TDateTime dt) {
  TDateParts p{};
  DecodeDate(dt, p.year, p.month, p.day);
  DecodeTime(dt, p.hour, p.min, p.sec, p.msec);
  p.dow = DayOfWeek(dt);
  if (p.month < 1) {  // outside the calendar: show the first day rather than fail
    p.year = 1;
    p.month = 1;
    p.day = 1;
  }
  return p;
}

}  // namespace

std::string FormatDateTime(std::string_view format, TDateTime dt, const TFormatSettings& fs) {
  std::string out;
  AppendFormat(out, format.empty() ? std::string_view("C") : format, Parts(dt), fs, 0);
  return out;
}

std::string FormatDateTime(std::string_view format, TDateTime dt) {
  return FormatDateTime(format, dt, FormatSettings());
}

void DateTimeToString(std::string& Result, std::string_view format, TDateTime dt) {
  Result.clear();
  AppendFormat(Result, format.empty() ? std::string_view("C") : format, Parts(dt), FormatSettings(), 0);
}

std::string DateTimeToStr(TDateTime dt) { return FormatDateTime("c", dt); }
std::string DateToStr(TDateTime dt) { return FormatDateTime("ddddd", dt); }
std::string TimeToStr(TDateTime dt) { return FormatDateTime("tt", dt); }

// ---- reading dates and times ----

namespace {

class TScanner {
 public:
  TScanner(std::string_view s, const TFormatSettings& fs) : s_(s), fs_(fs) {}
  size_t pos = 0;
  bool AtEnd() {
    Blanks();
    return pos >= s_.size();
  }
  void Blanks() {
    while (pos < s_.size() && s_[pos] == ' ') ++pos;
  }
  bool Char(char c) {
    Blanks();
    if (pos < s_.size() && s_[pos] == c) {
      ++pos;
      return true;
    }
    return false;
  }
  bool Text(const std::string& t) {
    Blanks();
    if (!t.empty() && StartsNoCase(s_, pos, t)) {
      pos += t.size();
      return true;
    }
    return false;
  }
  // Up to four digits.
  bool Number(int& n, int& digits) {
    Blanks();
    size_t i = pos;
    n = 0;
    while (i < s_.size() && s_[i] >= '0' && s_[i] <= '9' && i - pos < 4) n = n * 10 + (s_[i++] - '0');
    digits = static_cast<int>(i - pos);
    if (digits == 0) return false;
    pos = i;
    return true;
  }

  bool Date(TDateTime& date);
  bool Time(TDateTime& time);

 private:
  std::string_view s_;
  const TFormatSettings& fs_;
};

enum TDateOrder { doMDY, doDMY, doYMD };

TDateOrder GetDateOrder(const std::string& format) {
  for (char c : format) {
    switch (UpperAscii(c)) {
      case 'Y': return doYMD;
      case 'M': return doMDY;
      case 'D': return doDMY;
      default: break;
    }
  }
  return doMDY;
}

int CurrentYear() {
  SYSTEMTIME st;
  GetLocalTime(&st);
  return st.wYear;
}

bool TScanner::Date(TDateTime& date) {
  int n1, n2, n3, l1, l2, l3;
  if (!(Number(n1, l1) && Char(fs_.DateSeparator) && Number(n2, l2))) return false;
  int y, m, d, yearLen;
  const TDateOrder order = GetDateOrder(fs_.ShortDateFormat);
  if (Char(fs_.DateSeparator)) {
    if (!Number(n3, l3)) return false;
    switch (order) {
      case doMDY: y = n3; yearLen = l3; m = n1; d = n2; break;
      case doDMY: y = n3; yearLen = l3; m = n2; d = n1; break;
      default: y = n1; yearLen = l1; m = n2; d = n3; break;
    }
  } else {
    y = CurrentYear();
    yearLen = 4;
    if (order == doDMY) {
      d = n1;
      m = n2;
    } else {
      m = n1;
      d = n2;
    }
  }
  // "1.2.2003." and similar: a separator may close the date.
  Char(fs_.DateSeparator);
  if (yearLen <= 2) {
    const int window = fs_.TwoDigitYearCenturyWindow;
    const int base = CurrentYear() - window;
    y += base / 100 * 100;
    if (window > 0 && y < base) y += 100;
  }
  return TryEncodeDate(y, m, d, date);
}

bool TScanner::Time(TDateTime& time) {
  int base = -1;
  auto marker = [&] {
    if (Text(fs_.TimeAMString) || Text("AM")) base = 0;
    else if (Text(fs_.TimePMString) || Text("PM")) base = 12;
  };
  marker();
  int hour, min = 0, sec = 0, msec = 0, l;
  if (!Number(hour, l)) return false;
  bool hasMinutes = false;
  if (Char(fs_.TimeSeparator)) {
    if (!Number(min, l)) return false;
    hasMinutes = true;
    if (Char(fs_.TimeSeparator)) {
      if (!Number(sec, l)) return false;
      if (Char(fs_.DecimalSeparator)) {
        if (!Number(msec, l)) return false;
      }
    }
  }
  if (base < 0) marker();
  // A bare number is a time only with a marker ("5 PM").
  if (!hasMinutes && base < 0) return false;
  if (base >= 0) {
    if (hour == 0 || hour > 12) return false;
    if (hour == 12) hour = 0;
    hour += base;
  }
  return TryEncodeTime(hour, min, sec, msec, time);
}

[[noreturn]] void Invalid(std::string_view s, const char* what) {
  throw EConvertError("'" + std::string(s) + "' is not a valid " + what);
}

}  // namespace

bool TryStrToDateTime(std::string_view s, TDateTime& value, const TFormatSettings& fs) {
  {
    TScanner sc(s, fs);
    TDateTime d, t = 0;
    if (sc.Date(d) && (sc.AtEnd() || (sc.Time(t) && sc.AtEnd()))) {
      value = d >= 0 ? d + t : d - t;
      return true;
    }
  }
  TScanner sc(s, fs);
  TDateTime t;
  if (sc.Time(t) && sc.AtEnd()) {
    value = t;
    return true;
  }
  return false;
}

bool TryStrToDateTime(std::string_view s, TDateTime& value) {
  return TryStrToDateTime(s, value, FormatSettings());
}

bool TryStrToDate(std::string_view s, TDateTime& value) {
  TScanner sc(s, FormatSettings());
  TDateTime d;
  if (!(sc.Date(d) && sc.AtEnd())) return false;
  value = d;
  return true;
}

bool TryStrToTime(std::string_view s, TDateTime& value) {
  TScanner sc(s, FormatSettings());
  TDateTime t;
  if (!(sc.Time(t) && sc.AtEnd())) return false;
  value = t;
  return true;
}

TDateTime StrToDateTime(std::string_view s) {
  TDateTime v;
  if (!TryStrToDateTime(s, v)) Invalid(s, "date and time");
  return v;
}

TDateTime StrToDate(std::string_view s) {
  TDateTime v;
  if (!TryStrToDate(s, v)) Invalid(s, "date");
  return v;
}

TDateTime StrToTime(std::string_view s) {
  TDateTime v;
  if (!TryStrToTime(s, v)) Invalid(s, "time");
  return v;
}

// ---- floating-point texts ----

bool TextToFloat(std::string_view s, double& value, const TFormatSettings& fs) {
  size_t i = 0;
  const size_t n = s.size();
  while (i < n && s[i] == ' ') ++i;
  std::string c;  // the number in the C library's spelling
  if (i < n && (s[i] == '+' || s[i] == '-')) c += s[i++];
  size_t digits = 0;
  while (i < n && s[i] >= '0' && s[i] <= '9') {
    c += s[i++];
    ++digits;
  }
  if (i < n && s[i] == fs.DecimalSeparator) {
    c += '.';
    ++i;
    while (i < n && s[i] >= '0' && s[i] <= '9') {
      c += s[i++];
      ++digits;
    }
  }
  if (digits == 0) return false;
  if (i < n && (s[i] == 'e' || s[i] == 'E')) {
    c += 'e';
    ++i;
    if (i < n && (s[i] == '+' || s[i] == '-')) c += s[i++];
    size_t expDigits = 0;
    while (i < n && s[i] >= '0' && s[i] <= '9') {
      c += s[i++];
      ++expDigits;
    }
    if (expDigits == 0) return false;
  }
  while (i < n && s[i] == ' ') ++i;
  if (i != n) return false;
  errno = 0;
  const double v = std::strtod(c.c_str(), nullptr);
  if (!std::isfinite(v)) return false;
  value = v;
  return true;
}

bool TextToFloat(std::string_view s, double& value) {
  return TextToFloat(s, value, FormatSettings());
}

double StrToFloat(std::string_view s) {
  double v;
  if (!TextToFloat(s, v)) Invalid(s, "floating point value");
  return v;
}

double StrToFloatDef(std::string_view s, double def) {
  double v;
  return TextToFloat(s, v) ? v : def;
}

}  // namespace morvane
