#include "browserdata/netscape/cookies_txt.h"

#include <cmath>
#include <cstring>
#include <utility>

namespace morvane::cookies_txt {
namespace {

constexpr double kUnixEpochDays = 25569.0;  // 1970-01-01 as a day count
constexpr size_t kFieldCount = 7;

bool IsLineEndChar(unsigned char c) { return c < 32 && c != '\t'; }

// Splits at TAB into at most `limit` leading fields (the rest is ignored);
// every piece counts, also an empty last one, so that a cookie with an empty
// value still has its seven fields.
size_t SplitFields(std::string_view line, std::string_view* out, size_t limit) {
  size_t n = 0;
  size_t start = 0;
  while (n < limit) {
    const size_t tab = line.find('\t', start);
    if (tab == std::string_view::npos) {
      out[n++] = line.substr(start);
      break;
    }
    out[n++] = line.substr(start, tab - start);
    start = tab + 1;
  }
  return n;
}

size_t CountTabs(std::string_view line) {
  size_t n = 0;
  for (char c : line) n += (c == '\t');
  return n;
}

// A header line: empty, a comment, or too short to be a cookie. A line with
// the HttpOnly marker and all seven fields is a cookie, not a comment.
bool IsHeaderLine(std::string_view line) {
  if (line.empty() || line.size() <= 5) return true;
  if (line[0] != '#') return false;
  return !(line.compare(0, std::strlen(kHttpOnlyPrefix), kHttpOnlyPrefix) == 0 &&
           CountTabs(line) + 1 >= kFieldCount);
}

void AppendSeconds(std::string& out, uint32_t s) {
  char buf[16];
  char* p = buf + sizeof buf;
  do {
    *--p = static_cast<char>('0' + s % 10);
    s /= 10;
  } while (s);
  out.append(p, buf + sizeof buf - p);
}

}  // namespace

const std::vector<std::string>& DefaultHeader() {
  static const std::vector<std::string> header = {
      "# HTTP Cookie File",
      "# http://www.netscape.com/newsref/std/cookie_spec.html",
      "# This is a generated file!  Do not edit.",
      "# To delete cookies, use the Cookie Manager.",
  };
  return header;
}

bool ParseExpiryField(std::string_view field, uint32_t& seconds) {
  size_t i = 0;
  while (i < field.size() && field[i] == ' ') ++i;
  bool negative = false;
  if (i < field.size() && (field[i] == '+' || field[i] == '-')) negative = field[i++] == '-';
  if (i == field.size()) return false;
  uint64_t value = 0;
  bool saturated = false;
  for (; i < field.size(); ++i) {
    const char c = field[i];
    if (c < '0' || c > '9') return false;
    if (!saturated) {
      value = value * 10 + static_cast<uint64_t>(c - '0');
      if (value > kMaxSeconds) saturated = true;
    }
  }
  if (negative)
    seconds = 0;
  else
    seconds = saturated ? kMaxSeconds : static_cast<uint32_t>(value);
  return true;
}

double UnixSecondsToDateTime(uint32_t seconds) { return kUnixEpochDays + seconds / 86400.0; }

uint32_t DateTimeToUnixSeconds(double dateTime) {
  if (std::isnan(dateTime)) return 0;
  const double maxDays = kUnixEpochDays + kMaxSeconds / 86400.0;
  if (dateTime > maxDays) dateTime = maxDays;
  const double s = std::nearbyint((dateTime - kUnixEpochDays) * 86400.0);  // halves to even
  if (s <= 0) return 0;
  if (s >= static_cast<double>(kMaxSeconds)) return kMaxSeconds;
  return static_cast<uint32_t>(s);
}

namespace {

// Walks the lines of a file: OnHeader(line) for each line of the header,
// OnCookie(fields, lineEnd, lineNo) for each later line with all seven
// fields; other lines are skipped.
template <class THeader, class TCookie>
void ForEachLine(std::string_view bytes, THeader&& OnHeader, TCookie&& OnCookie) {
  size_t pos = 0;
  bool inHeader = true;
  size_t lineNo = 0;
  while (pos < bytes.size()) {
    const size_t lf = bytes.find('\n', pos);
    const size_t end = lf == std::string_view::npos ? bytes.size() : lf;
    std::string_view line = bytes.substr(pos, end - pos);
    pos = lf == std::string_view::npos ? bytes.size() : lf + 1;
    ++lineNo;

    if (inHeader) {
      if (IsHeaderLine(line)) {
        OnHeader(line);
        continue;
      }
      inHeader = false;
    }

    // The line end: from the first control character (not TAB) among the
    // last three characters to the end of the line.
    std::string_view lineEnd;
    const size_t from = line.size() >= 3 ? line.size() - 3 : 0;
    for (size_t i = from; i < line.size(); ++i) {
      if (IsLineEndChar(static_cast<unsigned char>(line[i]))) {
        lineEnd = line.substr(i);
        line = line.substr(0, i);
        break;
      }
    }

    std::string_view f[kFieldCount];
    if (SplitFields(line, f, kFieldCount) < kFieldCount) continue;
    OnCookie(f, lineEnd, lineNo);
  }
}

uint32_t ExpirySeconds(std::string_view field, size_t lineNo) {
  uint32_t seconds = 0;
  if (!ParseExpiryField(field, seconds))
    throw ECookiesTxtFormat("'" + std::string(field) + "' is not a valid expiry (line " + std::to_string(lineNo) + ")");
  return seconds;
}

// Every field of C from a cookie line, into the strings C already has.
void SetCookie(TQbCookie& c, const std::string_view (&f)[kFieldCount], std::string_view lineEnd, uint32_t seconds,
               const TExpiryFormatterInto& format) {
  std::string_view host = f[0];
  c.HttpOnly = host.compare(0, std::strlen(kHttpOnlyPrefix), kHttpOnlyPrefix) == 0;
  if (c.HttpOnly) host.remove_prefix(std::strlen(kHttpOnlyPrefix));
  c.Host.assign(host);
  c.DomainFlag = f[1] == "TRUE";
  c.Path.assign(f[2]);
  c.Secure = f[3] == "TRUE";
  c.ExpiresField.assign(f[4]);
  format(seconds, c.Expires);
  c.Name.assign(f[5]);
  c.Value.assign(f[6]);
  c.LineEnd.assign(lineEnd);
}

std::string_view BeforeNul(std::string_view bytes) {
  const size_t nul = bytes.find('\0');
  return nul == std::string_view::npos ? bytes : bytes.substr(0, nul);
}

}  // namespace

TCookiesTxt Parse(std::string_view bytes, const TExpiryFormatter& format) {
  TCookiesTxt file;
  bytes = BeforeNul(bytes);

  // Reserving once saves moving every cookie on growth. Only a line with the
  // six TABs of a cookie can be one: blank and comment lines, however many,
  // reserve nothing.
  size_t cookieLines = 0;
  size_t tabs = 0;
  for (char ch : bytes) {
    if (ch == '\t') {
      ++tabs;
    } else if (ch == '\n') {
      cookieLines += tabs >= kFieldCount - 1;
      tabs = 0;
    }
  }
  cookieLines += tabs >= kFieldCount - 1;
  file.Cookies.reserve(cookieLines);

  const TExpiryFormatterInto into = [&format](uint32_t seconds, std::string& text) { text = format(seconds); };
  ForEachLine(
      bytes, [&](std::string_view line) { file.Header.emplace_back(line); },
      [&](const std::string_view (&f)[kFieldCount], std::string_view lineEnd, size_t lineNo) {
        const uint32_t seconds = ExpirySeconds(f[4], lineNo);
        SetCookie(file.Cookies.emplace_back(), f, lineEnd, seconds, into);
      });
  return file;
}

void ParseInto(std::string_view bytes, const TExpiryFormatter& format, std::vector<std::string>& header,
               TCookiesArray& cookies) {
  ParseInto(bytes, TExpiryFormatterInto([&format](uint32_t seconds, std::string& text) { text = format(seconds); }),
            header, cookies);
}

void ParseInto(std::string_view bytes, const TExpiryFormatterInto& format, std::vector<std::string>& header,
               TCookiesArray& cookies) {
  bytes = BeforeNul(bytes);
  // Every expiry is checked before anything changes; the same pass counts
  // the cookies.
  size_t count = 0;
  ForEachLine(
      bytes, [](std::string_view) {},
      [&](const std::string_view (&f)[kFieldCount], std::string_view, size_t lineNo) {
        ExpirySeconds(f[4], lineNo);
        ++count;
      });
  header.clear();
  if (cookies.size() > count) cookies.resize(count);
  cookies.reserve(count);
  size_t k = 0;
  ForEachLine(
      bytes, [&](std::string_view line) { header.emplace_back(line); },
      [&](const std::string_view (&f)[kFieldCount], std::string_view lineEnd, size_t lineNo) {
        TQbCookie& c = k < cookies.size() ? cookies[k] : cookies.emplace_back();
        ++k;
        SetCookie(c, f, lineEnd, ExpirySeconds(f[4], lineNo), format);
      });
  // Bytes that another program rewrote between the two passes may hold
  // fewer cookies than were counted: none of the old ones stays behind.
  if (k < cookies.size()) cookies.resize(k);
}

void WriteTo(const std::vector<std::string>* header, const TCookiesArray& cookies, const TExpiryFormatter& format,
             const TExpiryParser& parse, const std::function<void(std::string_view)>& sink) {
  WriteTo(header, cookies,
          TExpiryFormatterInto([&format](uint32_t seconds, std::string& text) { text = format(seconds); }), parse,
          sink);
}

void WriteTo(const std::vector<std::string>* header, const TCookiesArray& cookies, const TExpiryFormatterInto& format,
             const TExpiryParser& parse, const std::function<void(std::string_view)>& sink) {
  // The cookies whose expiry text is no longer that of their field, with
  // the seconds it reads as: all of them are read before a byte is given.
  std::vector<std::pair<size_t, uint32_t>> edited;
  std::string text;
  for (size_t i = 0; i < cookies.size(); ++i) {
    const TQbCookie& c = cookies[i];
    uint32_t seconds = 0;
    if (!c.ExpiresField.empty() && ParseExpiryField(c.ExpiresField, seconds)) {
      format(seconds, text);
      if (c.Expires == text) continue;
    }
    edited.emplace_back(i, parse(c.Expires));
  }

  constexpr size_t kPiece = 64 * 1024;
  std::string out;
  out.reserve(kPiece + 4096);
  auto flush = [&](size_t atLeast) {
    if (out.size() >= atLeast) {
      sink(out);
      out.clear();
    }
  };
  const std::vector<std::string>& lines = (header && !header->empty()) ? *header : DefaultHeader();
  for (const auto& l : lines) {
    out += l;
    out += '\n';
    flush(kPiece);
  }
  size_t next = 0;
  for (size_t i = 0; i < cookies.size(); ++i) {
    const TQbCookie& c = cookies[i];
    if (c.HttpOnly) out += kHttpOnlyPrefix;
    out += c.Host;
    out += c.DomainFlag ? std::string_view("\tTRUE\t") : std::string_view("\tFALSE\t");
    out += c.Path;
    out += c.Secure ? std::string_view("\tTRUE\t") : std::string_view("\tFALSE\t");
    if (next < edited.size() && edited[next].first == i)
      AppendSeconds(out, edited[next++].second);
    else
      out += c.ExpiresField;
    out += '\t';
    out += c.Name;
    out += '\t';
    out += c.Value;
    out += c.LineEnd;
    out += '\n';
    flush(kPiece);
  }
  flush(1);
}

std::string Write(const std::vector<std::string>* header, const TCookiesArray& cookies,
                  const TExpiryFormatter& format, const TExpiryParser& parse) {
  const std::vector<std::string>& lines = (header && !header->empty()) ? *header : DefaultHeader();
  size_t size = 0;
  for (const auto& l : lines) size += l.size() + 1;
  for (const auto& c : cookies)
    size += c.Host.size() + c.Path.size() + c.Name.size() + c.Value.size() + c.LineEnd.size() + 40;
  std::string out;
  out.reserve(size);
  WriteTo(header, cookies, format, parse, [&](std::string_view piece) { out += piece; });
  return out;
}

}  // namespace morvane::cookies_txt
