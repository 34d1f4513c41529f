// cookies.txt: parsing never reads out of bounds, and a file written from
// what was read reads back as the same header and cookies.
// fuzz-sources: browserdata/netscape/cookies_txt.cpp
#include <cstdint>
#include <cstdlib>
#include <string>

#include "browserdata/netscape/cookies_txt.h"

namespace {

std::string Format(uint32_t s) { return std::to_string(s); }
uint32_t ParseBack(const std::string& t) { return static_cast<uint32_t>(std::stoul(t)); }

bool SameCookie(const morvane::TQbCookie& a, const morvane::TQbCookie& b) {
  return a.Host == b.Host && a.DomainFlag == b.DomainFlag && a.Path == b.Path && a.Secure == b.Secure &&
         a.Expires == b.Expires && a.ExpiresField == b.ExpiresField && a.Name == b.Name && a.Value == b.Value &&
         a.LineEnd == b.LineEnd && a.HttpOnly == b.HttpOnly;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace morvane;
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  TCookiesTxt first;
  try {
    first = cookies_txt::Parse(text, Format);
  } catch (const ECookiesTxtFormat&) {
    return 0;
  }
  const std::string written = cookies_txt::Write(&first.Header, first.Cookies, Format, ParseBack);
  const TCookiesTxt second = cookies_txt::Parse(written, Format);
  // A cookie line that starts like a comment reads as one once it comes
  // first; its text is kept in the header then. Otherwise every cookie reads
  // back as it was. Control characters inside the fields can likewise turn
  // into a line end once the fields after the seventh are gone.
  bool unstable = false;
  auto hasControl = [](const std::string& s) {
    for (unsigned char ch : s)
      if (ch < 32) return true;
    return false;
  };
  for (const auto& c : first.Cookies)
    unstable |= (!c.HttpOnly && !c.Host.empty() && c.Host[0] == '#') || hasControl(c.Host) ||
                   hasControl(c.Path) || hasControl(c.Name) || hasControl(c.Value);
  if (!unstable) {
    if (!first.Header.empty() && second.Header != first.Header) std::abort();
    // Written once, the file is a fixed point.
    if (cookies_txt::Write(&second.Header, second.Cookies, Format, ParseBack) != written) std::abort();
    if (second.Cookies.size() != first.Cookies.size()) std::abort();
    for (size_t i = 0; i < first.Cookies.size(); ++i)
      if (!SameCookie(first.Cookies[i], second.Cookies[i])) std::abort();
  }
  // An edited expiry is written as its seconds and reads back as them.
  if (!unstable && !second.Cookies.empty()) {
    TCookiesArray edited = second.Cookies;
    edited[0].Expires = "4000000000";
    const TCookiesTxt third = cookies_txt::Parse(cookies_txt::Write(&second.Header, edited, Format, ParseBack), Format);
    if (third.Cookies.empty() || third.Cookies[0].Expires != "4000000000") std::abort();
  }
  return 0;
}
