// Format and the floating-point texts of sysutils.h.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/core/datetime.h"
#include "platform/core/exceptions.h"
#include "platform/core/sysutils.h"

namespace morvane {

namespace {

// The significant digits of |v| rounded to Precision digits, without
// trailing zeros (at least one digit), and the decimal exponent: |v| is
// 0.DIGITS x 10^exponent.
struct TDecimal {
  std::string digits;
  int exponent = 0;
};

TDecimal ToDecimal(double v, int precision) {
  TDecimal d;
  if (v == 0) {
    d.digits = "0";
    return d;
  }
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.*e", precision - 1, std::fabs(v));
  // buf = "D.DDDDe[+-]XX"
  std::string s(buf);
  const size_t e = s.find('e');
  for (size_t i = 0; i < e; ++i)
    if (s[i] != '.') d.digits += s[i];
  d.exponent = std::atoi(s.c_str() + e + 1) + 1;
  while (d.digits.size() > 1 && d.digits.back() == '0') d.digits.pop_back();
  return d;
}

std::string NonFinite(double v) {
  if (std::isnan(v)) return "NAN";
  return v < 0 ? "-INF" : "INF";
}

std::string General(double v, int precision, char decimalSep) {
  if (!std::isfinite(v)) return NonFinite(v);
  if (precision < 1) precision = 1;
  if (precision > 18) precision = 18;
  const TDecimal d = ToDecimal(v, precision);
  std::string r = (v < 0) ? "-" : "";
  if (d.digits == "0") return "0";
  if (d.exponent > precision || d.exponent < -3) {
    r += d.digits[0];
    if (d.digits.size() > 1) {
      r += decimalSep;
      r.append(d.digits, 1);
    }
    r += 'E';
    r += std::to_string(d.exponent - 1);
    return r;
  }
  if (d.exponent <= 0) {
    r += '0';
    r += decimalSep;
    r.append(static_cast<size_t>(-d.exponent), '0');
    r += d.digits;
    return r;
  }
  const size_t intLen = static_cast<size_t>(d.exponent);
  if (d.digits.size() <= intLen) {
    r += d.digits;
    r.append(intLen - d.digits.size(), '0');
  } else {
    r.append(d.digits, 0, intLen);
    r += decimalSep;
    r.append(d.digits, intLen);
  }
  return r;
}

// Fixed notation with Decimals places; thousands separators when Sep != 0.
std::string Fixed(double v, int decimals, char decimalSep, char thousandSep) {
  if (!std::isfinite(v)) return NonFinite(v);
  if (decimals > 18) decimals = 18;
  char buf[400];
  std::snprintf(buf, sizeof buf, "%.*f", decimals, std::fabs(v));
  std::string s(buf);
  const size_t dot = s.find('.');
  std::string intPart = s.substr(0, dot);
  std::string frac = dot == std::string::npos ? std::string() : s.substr(dot + 1);
  if (thousandSep) {
    std::string g;
    for (size_t i = 0; i < intPart.size(); ++i) {
      if (i > 0 && (intPart.size() - i) % 3 == 0) g += thousandSep;
      g += intPart[i];
    }
    intPart = g;
  }
  bool zero = true;
  for (char c : s)
    if (c >= '1' && c <= '9') zero = false;
  std::string r = (v < 0 && !zero) ? "-" : "";
  r += intPart;
  if (!frac.empty()) {
    r += decimalSep;
    r += frac;
  }
  return r;
}

// d.dddE+ddd with Precision significant digits.
std::string Scientific(double v, int precision, char decimalSep) {
  if (!std::isfinite(v)) return NonFinite(v);
  if (precision < 1) precision = 1;
  if (precision > 18) precision = 18;
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.*E", precision - 1, v);
  std::string s(buf);
  const size_t e = s.find('E');
  std::string mant = s.substr(0, e);
  for (char& c : mant)
    if (c == '.') c = decimalSep;
  std::string ex = s.substr(e + 1);  // "+XX"
  const char sign = ex[0];
  std::string digits = ex.substr(1);
  while (digits.size() < 3) digits.insert(digits.begin(), '0');
  return mant + 'E' + sign + digits;
}

[[noreturn]] void InvalidFormat(std::string_view format) {
  throw EConvertError("Format '" + std::string(format) + "' invalid or incompatible with argument");
}

[[noreturn]] void MissingArgument(std::string_view format) {
  throw EConvertError("No argument for format '" + std::string(format) + "'");
}

}  // namespace

std::string FloatToStr(double value) {
  return General(value, 15, FormatSettings().DecimalSeparator);
}

std::string FormatV(std::string_view format, const std::vector<TFormatArg>& args) {
  const TFormatSettings& fs = FormatSettings();
  std::string out;
  size_t argIndex = 0;
  size_t i = 0;
  const size_t n = format.size();

  auto nextArg = [&]() -> const TFormatArg& {
    if (argIndex >= args.size()) MissingArgument(format);
    return args[argIndex++];
  };
  // A number or "*" (taken from the arguments); -1 when absent.
  auto scanNumber = [&]() -> int {
    if (i < n && format[i] == '*') {
      ++i;
      const TFormatArg& a = nextArg();
      if (a.kind != TFormatArg::kInt && a.kind != TFormatArg::kUInt) InvalidFormat(format);
      return static_cast<int>(a.i);
    }
    if (i >= n || format[i] < '0' || format[i] > '9') return -1;
    int v = 0;
    while (i < n && format[i] >= '0' && format[i] <= '9') {
      v = v * 10 + (format[i] - '0');
      if (v > 100000) InvalidFormat(format);
      ++i;
    }
    return v;
  };

  while (i < n) {
    const char c = format[i];
    if (c != '%') {
      out += c;
      ++i;
      continue;
    }
    ++i;
    if (i >= n) InvalidFormat(format);
    if (format[i] == '%') {
      out += '%';
      ++i;
      continue;
    }
    bool left = false;
    int width = -1, precision = -1;
    // ["index:"] ["-"] [width]
    if (format[i] == '-') {
      left = true;
      ++i;
    }
    int number = scanNumber();
    if (i < n && format[i] == ':') {
      if (left || number < 0) InvalidFormat(format);
      argIndex = static_cast<size_t>(number);
      ++i;
      if (i < n && format[i] == '-') {
        left = true;
        ++i;
      }
      number = scanNumber();
    }
    width = number;
    if (i < n && format[i] == '.') {
      ++i;
      precision = scanNumber();
      if (precision < 0) InvalidFormat(format);
    }
    if (i >= n) InvalidFormat(format);
    const char type = static_cast<char>(format[i] >= 'a' ? format[i] - 32 : format[i]);
    ++i;
    const TFormatArg& a = nextArg();
    const bool isInt = a.kind == TFormatArg::kInt || a.kind == TFormatArg::kUInt;
    std::string text;
    switch (type) {
      case 'D':
      case 'U': {
        if (!isInt) InvalidFormat(format);
        uint64_t mag;
        bool negative = false;
        if (type == 'U') {
          mag = a.wide64 ? static_cast<uint64_t>(a.i)
                         : static_cast<uint64_t>(static_cast<uint32_t>(a.i));
        } else if (a.kind == TFormatArg::kUInt) {
          mag = static_cast<uint64_t>(a.i);
        } else {
          negative = a.i < 0;
          mag = negative ? 0 - static_cast<uint64_t>(a.i) : static_cast<uint64_t>(a.i);
        }
        text = std::to_string(mag);
        if (precision > 0 && static_cast<int>(text.size()) < precision)
          text.insert(0, static_cast<size_t>(precision) - text.size(), '0');
        if (negative) text.insert(text.begin(), '-');
        break;
      }
      case 'X': {
        if (!isInt) InvalidFormat(format);
        const uint64_t bits = (a.wide64 || a.kind == TFormatArg::kUInt)
                                  ? static_cast<uint64_t>(a.i)
                                  : static_cast<uint64_t>(static_cast<uint32_t>(a.i));
        text = IntToHex(bits, precision > 0 ? precision : 0);
        break;
      }
      case 'S':
        if (a.kind != TFormatArg::kString && a.kind != TFormatArg::kWide) InvalidFormat(format);
        text = a.s;
        if (precision >= 0 && static_cast<size_t>(precision) < text.size())
          text.resize(static_cast<size_t>(precision));
        break;
      case 'F':
      case 'N':
      case 'E':
      case 'G': {
        if (a.kind != TFormatArg::kFloat) InvalidFormat(format);
        if (type == 'F') text = Fixed(a.f, precision < 0 ? 2 : precision, fs.DecimalSeparator, 0);
        if (type == 'N')
          text = Fixed(a.f, precision < 0 ? 2 : precision, fs.DecimalSeparator,
                       fs.ThousandSeparator);
        if (type == 'E') text = Scientific(a.f, precision < 0 ? 15 : precision, fs.DecimalSeparator);
        if (type == 'G') text = General(a.f, precision < 0 ? 15 : precision, fs.DecimalSeparator);
        break;
      }
      case 'P':
        if (a.kind != TFormatArg::kPointer) InvalidFormat(format);
        text = IntToHex(static_cast<uint64_t>(reinterpret_cast<uintptr_t>(a.p)),
                        static_cast<int>(sizeof(void*) * 2));
        break;
      default:
        InvalidFormat(format);
    }
    if (width > 0 && static_cast<int>(text.size()) < width) {
      const std::string pad(static_cast<size_t>(width) - text.size(), ' ');
      text = left ? text + pad : pad + text;
    }
    out += text;
  }
  return out;
}

}  // namespace morvane
