// The Netscape cookie file "cookies.txt": bytes to header lines and cookie
// records, and back. Pure: no I/O, no Windows headers, so it also builds
// natively for fuzzing. The store (mozilla_cookies.h) reads and writes the
// files around it and supplies the locale's date texts.
#pragma once

#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace morvane {

// One cookie line: host, domain flag, path, secure flag, expiry, name, value.
// The flags sit together after the texts: a profile holds 100,000 of these.
struct TQbCookie {
  std::string Host;
  std::string Path;
  // The expiry as the user's locale shows a date and time.
  std::string Expires;
  std::string Name;
  std::string Value;
  // Control characters (such as CR) that ended the line before its LF.
  std::string LineEnd;

  // The expiry field as the file had it (empty for a cookie never read).
  // While Expires still reads as the text of that field, the writer writes
  // the field back as it was, so saving a profile never moves the expiry of a
  // cookie nobody edited (locale texts need not survive a round trip:
  // two-digit years, missing seconds, month names).
  std::string ExpiresField;
  bool DomainFlag = false;
  bool Secure = false;
  // The line carried the "#HttpOnly_" marker before its host.
  bool HttpOnly = false;
};

using TCookiesArray = std::vector<TQbCookie>;

struct TCookiesTxt {
  std::vector<std::string> Header;
  TCookiesArray Cookies;
};

// A cookie line whose expiry is not a decimal number.
class ECookiesTxtFormat : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Expiry seconds to the Expires text, and the Expires text back to seconds
// (the latter raises when the text is no date).
using TExpiryFormatter = std::function<std::string(uint32_t seconds)>;
using TExpiryParser = std::function<uint32_t(const std::string& text)>;
// The Expires text of `seconds` written into `text`, replacing what it held:
// into a string that already has room, formatting takes no memory.
using TExpiryFormatterInto = std::function<void(uint32_t seconds, std::string& text)>;

namespace cookies_txt {

inline constexpr const char* kHttpOnlyPrefix = "#HttpOnly_";
inline constexpr uint32_t kMaxSeconds = 4294967295u;

// The header written for a profile that has none.
const std::vector<std::string>& DefaultHeader();

// Field 5 as a count of seconds: optional blanks, an optional sign, decimal
// digits. Values above 2^32 - 1 saturate there (a later date than the file
// format can say is still "far away", never 1970), negative ones become 0.
bool ParseExpiryField(std::string_view field, uint32_t& seconds);

// Day count (days since 1899-12-30) of a count of seconds since 1970, and
// back; the latter is limited to 0 .. 2^32 - 1 and rounds halves to even.
double UnixSecondsToDateTime(uint32_t seconds);
uint32_t DateTimeToUnixSeconds(double dateTime);

// Parses a whole file. Raises ECookiesTxtFormat for a cookie line whose
// expiry is not a number.
TCookiesTxt Parse(std::string_view bytes, const TExpiryFormatter& format);
// The same into the arrays of an earlier read, whose strings and elements
// are reused: reading a file of 100,000 cookies again then costs its text,
// not the memory for it. When a cookie line's expiry is no number it raises
// ECookiesTxtFormat before either array has changed.
void ParseInto(std::string_view bytes, const TExpiryFormatter& format, std::vector<std::string>& header,
               TCookiesArray& cookies);
void ParseInto(std::string_view bytes, const TExpiryFormatterInto& format, std::vector<std::string>& header,
               TCookiesArray& cookies);

// The bytes of a file: the header (or the default header when there is
// none), then one line per cookie. The parser is asked only for cookies whose
// Expires was changed since they were read (or that were never read);
// `format` must be the one they were read with.
std::string Write(const std::vector<std::string>* header, const TCookiesArray& cookies,
                  const TExpiryFormatter& format, const TExpiryParser& parse);
// The same bytes, handed to `sink` in pieces of some 64 KB, so that a large
// file is written without a copy of it in memory. Every edited expiry is
// read first: when one is no date, `parse` raises before `sink` is called.
void WriteTo(const std::vector<std::string>* header, const TCookiesArray& cookies, const TExpiryFormatter& format,
             const TExpiryParser& parse, const std::function<void(std::string_view)>& sink);
void WriteTo(const std::vector<std::string>* header, const TCookiesArray& cookies, const TExpiryFormatterInto& format,
             const TExpiryParser& parse, const std::function<void(std::string_view)>& sink);

}  // namespace cookies_txt
}  // namespace morvane
