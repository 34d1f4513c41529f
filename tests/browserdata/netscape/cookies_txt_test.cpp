// cookies.txt as bytes: what a read keeps, what a write gives back.
#include "browserdata/netscape/cookies_txt.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace morvane {
namespace {

std::string Fmt(uint32_t s) { return "T" + std::to_string(s); }
uint32_t Back(const std::string& t) { return static_cast<uint32_t>(std::stoul(t.substr(1))); }

std::string RoundTrip(const std::string& in) {
  const TCookiesTxt f = cookies_txt::Parse(in, Fmt);
  return cookies_txt::Write(&f.Header, f.Cookies, Fmt, Back);
}

TEST(CookiesTxt, FilesComeBackAsTheyWere) {
  struct Case {
    const char* name;
    std::string file;
  } cases[] = {
      {"crlf-kept", "# HTTP Cookie File\r\n\r\n.a.com\tTRUE\t/\tFALSE\t1700000000\tn\tv\r\n"},
      {"empty-value", "# h\n.a.com\tTRUE\t/\tFALSE\t1\tname\t\n"},
      {"one-char-value-crlf", "# h\n.a.com\tTRUE\t/\tFALSE\t1\tname\tx\r\n"},
      {"raw-expiry-forms-kept", "# h\na.b.c\tFALSE\t/p\tTRUE\t 0042\tn\tv\na.b.c\tFALSE\t/\tFALSE\t+7\tn\tv\n"},
      {"beyond-2106-kept", "# h\na.b.c\tFALSE\t/\tFALSE\t99999999999\tn\tv\n"},
      {"httponly-marker", "# Netscape HTTP Cookie File\n\n#HttpOnly_.x.org\tTRUE\t/\tTRUE\t0\tsid\t1\n"},
  };
  for (const auto& c : cases) EXPECT_EQ(RoundTrip(c.file), c.file) << c.name;
}

TEST(CookiesTxt, LinesThatAreNoCookiesReserveNoCookies) {
  // Four million blank and comment lines between two cookies: memory follows
  // the cookies, not the line count.
  std::string file = "# h\na.test\tTRUE\t/\tFALSE\t0\tn\tv\n";
  for (int i = 0; i < (1 << 20); ++i) file += "\n\n# \n";
  file += "b.test\tTRUE\t/\tFALSE\t0\tn\tv\n";
  const TCookiesTxt f = cookies_txt::Parse(file, Fmt);
  ASSERT_EQ(f.Cookies.size(), 2u);
  EXPECT_LE(f.Cookies.capacity(), 16u);
}

TEST(CookiesTxt, ReadsFieldsHeaderAndLineEnds) {
  const std::string file =
      "# HTTP Cookie File\r\n"
      "abc\n"
      "#HttpOnly_.h.org\tTRUE\t/\tTRUE\t0\tk\tv\r\n"
      "abc\n"                                          // after the first cookie: dropped
      "w.org\tFALSE\t/a\tFALSE\t4294967396\tn\t\x01\n"  // a control character is a line end, never a value
      "x.org\tTRUE\t/\tTRUE\t5\tn\tv\textra\tfields\n";
  const TCookiesTxt f = cookies_txt::Parse(file, Fmt);
  EXPECT_EQ(f.Header, (std::vector<std::string>{"# HTTP Cookie File\r", "abc"}));
  ASSERT_EQ(f.Cookies.size(), 3u);
  const TQbCookie& h = f.Cookies[0];
  EXPECT_TRUE(h.HttpOnly);
  EXPECT_EQ(h.Host, ".h.org");
  EXPECT_TRUE(h.DomainFlag);
  EXPECT_TRUE(h.Secure);
  EXPECT_EQ(h.Expires, "T0");
  EXPECT_EQ(h.LineEnd, "\r");
  const TQbCookie& w = f.Cookies[1];
  EXPECT_EQ(w.Value, "");
  EXPECT_EQ(w.LineEnd, "\x01");
  EXPECT_EQ(w.Expires, "T4294967295");  // saturated, not wrapped to 100
  EXPECT_EQ(w.ExpiresField, "4294967396");
  const TQbCookie& x = f.Cookies[2];
  EXPECT_EQ(x.Host, "x.org");
  EXPECT_EQ(x.Value, "v");
  EXPECT_EQ(x.LineEnd, "");
  // Fields after the seventh are not written back.
  EXPECT_EQ(cookies_txt::Write(&f.Header, {x}, Fmt, Back), "# HTTP Cookie File\r\nabc\nx.org\tTRUE\t/\tTRUE\t5\tn\tv\n");
}

// Every field a read sets, so that a read into used arrays can be compared
// with a fresh one.
std::string Fields(const TQbCookie& c) {
  return c.Host + "|" + (c.DomainFlag ? "D" : "-") + "|" + c.Path + "|" + (c.Secure ? "S" : "-") + "|" + c.Expires +
         "|" + c.Name + "|" + c.Value + "|" + c.LineEnd + "|" + c.ExpiresField + "|" + (c.HttpOnly ? "H" : "-");
}

TEST(CookiesTxt, AReadIntoUsedArraysGivesWhatAFreshReadGives) {
  const std::string many =
      "# old header\r\n# two\r\n"
      "#HttpOnly_.long-host-name-of-the-old-file.example\tTRUE\t/a/long/path/of/the/old/file\tTRUE\t99\t"
      "old-name-longer-than-the-new\told-value-longer-than-any-new-value-here\r\n"
      "b.test\tFALSE\t/\tTRUE\t2\tb\tv\r\n"
      "c.test\tFALSE\t/\tTRUE\t3\tc\tv\r\n";
  const std::string few = "# h\na.test\tFALSE\t/p\tFALSE\t 7\tn\t\n";
  const std::string other = "# h\n#HttpOnly_x.test\tTRUE\t/\tFALSE\t1\tn\tv\r\ny.test\tTRUE\t/\tTRUE\t2\tm\tw\x01\n";
  struct Case {
    const char* name;
    const std::string& before;
    std::string after;
  } cases[] = {
      {"fewer-and-shorter", many, few},
      {"more-than-before", few, many},
      {"marks-and-line-ends-change", many, other},
      {"to-an-empty-file", many, ""},
      {"from-nothing", "", other},
  };
  for (const Case& c : cases) {
    TCookiesTxt used = cookies_txt::Parse(c.before, Fmt);
    cookies_txt::ParseInto(c.after, Fmt, used.Header, used.Cookies);
    const TCookiesTxt fresh = cookies_txt::Parse(c.after, Fmt);
    EXPECT_EQ(used.Header, fresh.Header) << c.name;
    ASSERT_EQ(used.Cookies.size(), fresh.Cookies.size()) << c.name;
    for (size_t i = 0; i < fresh.Cookies.size(); ++i)
      EXPECT_EQ(Fields(used.Cookies[i]), Fields(fresh.Cookies[i])) << c.name << " cookie " << i;
  }

  // A line whose expiry is no number, after cookies that are fine: nothing
  // of the earlier read has changed when it raises.
  TCookiesTxt used = cookies_txt::Parse(many, Fmt);
  const std::vector<std::string> header = used.Header;
  std::vector<std::string> before;
  for (const TQbCookie& k : used.Cookies) before.push_back(Fields(k));
  EXPECT_THROW(cookies_txt::ParseInto("# h\na.test\tFALSE\t/\tFALSE\t1\tn\tv\nb.test\tFALSE\t/\tFALSE\tsoon\tn\tv\n", Fmt,
                                      used.Header, used.Cookies),
               ECookiesTxtFormat);
  EXPECT_EQ(used.Header, header);
  std::vector<std::string> after;
  for (const TQbCookie& k : used.Cookies) after.push_back(Fields(k));
  EXPECT_EQ(after, before);
}

TEST(CookiesTxt, ExpirySaturatesInsteadOfWrapping) {
  struct Case {
    const char* field;
    bool ok;
    uint32_t seconds;
  } cases[] = {
      {"0", true, 0},
      {"4294967295", true, 4294967295u},
      {"4294967396", true, 4294967295u},  // would wrap to 100 (1970-01-01 00:01:40)
      {"123456789012345678901234567890", true, 4294967295u},
      {"-5", true, 0},
      {"  12", true, 12},
      {"", false, 0},
      {"12x", false, 0},
      {"0x10", false, 0},
  };
  for (const auto& c : cases) {
    uint32_t s = 77;
    EXPECT_EQ(cookies_txt::ParseExpiryField(c.field, s), c.ok) << c.field;
    if (c.ok) {
      EXPECT_EQ(s, c.seconds) << c.field;
    }
  }
  EXPECT_THROW(cookies_txt::Parse("# h\na.b\tTRUE\t/\tFALSE\tsoon\tn\tv\n", Fmt), ECookiesTxtFormat);
}

TEST(CookiesTxt, DateConversionsAreLimitedToTheFileFormat) {
  EXPECT_DOUBLE_EQ(cookies_txt::UnixSecondsToDateTime(0), 25569.0);
  EXPECT_EQ(cookies_txt::DateTimeToUnixSeconds(25569.0), 0u);
  EXPECT_EQ(cookies_txt::DateTimeToUnixSeconds(25568.0), 0u);    // before 1970
  EXPECT_EQ(cookies_txt::DateTimeToUnixSeconds(80000.0), 4294967295u);  // after 2106-02-07 06:28:15
  EXPECT_EQ(cookies_txt::DateTimeToUnixSeconds(cookies_txt::UnixSecondsToDateTime(1700000001)), 1700000001u);
  EXPECT_EQ(cookies_txt::DateTimeToUnixSeconds(cookies_txt::UnixSecondsToDateTime(4294967295u)), 4294967295u);
}

TEST(CookiesTxt, WritesTheDefaultHeaderAndOnlyEditedExpiries) {
  TCookiesArray cookies(2);
  cookies[0].Host = "a.org";
  cookies[0].Path = "/";
  cookies[0].Expires = "T10";  // never read: its text is parsed
  cookies[0].Name = "n";
  cookies[1].Host = "b.org";
  cookies[1].Path = "/";
  cookies[1].ExpiresField = "0099";
  cookies[1].Expires = "T99";  // unchanged: the field is written as it was
  const std::string out = cookies_txt::Write(nullptr, cookies, Fmt, Back);
  EXPECT_EQ(out,
            "# HTTP Cookie File\n# http://www.netscape.com/newsref/std/cookie_spec.html\n"
            "# This is a generated file!  Do not edit.\n# To delete cookies, use the Cookie Manager.\n"
            "a.org\tFALSE\t/\tFALSE\t10\tn\t\nb.org\tFALSE\t/\tFALSE\t0099\t\t\n");
  const TCookiesTxt back = cookies_txt::Parse(out, Fmt);
  EXPECT_EQ(back.Header.size(), 4u);
  EXPECT_EQ(back.Cookies.size(), 2u);

  cookies[1].Expires = "T5";
  EXPECT_NE(cookies_txt::Write(nullptr, cookies, Fmt, Back).find("b.org\tFALSE\t/\tFALSE\t5\t"), std::string::npos);
  cookies[1].Expires = "not a date";
  EXPECT_THROW(cookies_txt::Write(nullptr, cookies, Fmt, [](const std::string& t) -> uint32_t {
                 throw std::invalid_argument(t);
               }),
               std::invalid_argument);
}


// The pieces of a written file, for 3,000 cookies (several pieces): the
// edited expiries land on their own cookies, the others keep their fields,
// and an expiry that is no date stops the write before the first piece.
TEST(CookiesTxt, AFileWrittenInPiecesIsTheWholeFile) {
  std::string file = "# h\r\n";
  for (int i = 0; i < 3000; ++i)
    file += "host" + std::to_string(i) + ".test\tTRUE\t/p\tFALSE\t00" + std::to_string(i) + "\tn" + std::to_string(i) +
            "\tvalue-" + std::to_string(i) + "\r\n";
  const TCookiesTxt read = cookies_txt::Parse(file, Fmt);
  ASSERT_EQ(read.Cookies.size(), 3000u);
  const std::vector<std::vector<size_t>> editedSets = {{}, {0}, {2999}, {0, 1, 1500, 2998, 2999}};
  for (const auto& edited : editedSets) {
    TCookiesArray cookies = read.Cookies;
    std::string expected = file;
    for (size_t i : edited) {
      cookies[i].Expires = "T" + std::to_string(7000000 + i);
      const std::string was = "\t00" + std::to_string(i) + "\tn" + std::to_string(i) + "\t";
      const size_t at = expected.find(was);
      ASSERT_NE(at, std::string::npos);
      expected.replace(at, was.size(), "\t" + std::to_string(7000000 + i) + "\tn" + std::to_string(i) + "\t");
    }
    std::vector<std::string> pieces;
    cookies_txt::WriteTo(&read.Header, cookies, Fmt, Back, [&](std::string_view p) { pieces.emplace_back(p); });
    std::string joined;
    for (const std::string& p : pieces) joined += p;
    EXPECT_EQ(joined, expected) << edited.size();
    EXPECT_GT(pieces.size(), 1u);
    EXPECT_EQ(cookies_txt::Write(&read.Header, cookies, Fmt, Back), expected);

    if (edited.empty()) continue;
    cookies[edited.back()].Expires = "no date";
    int calls = 0;
    EXPECT_THROW(cookies_txt::WriteTo(&read.Header, cookies, Fmt,
                                      [](const std::string& t) -> uint32_t {
                                        if (t[0] != 'T') throw std::invalid_argument(t);
                                        return Back(t);
                                      },
                                      [&](std::string_view) { ++calls; }),
                 std::invalid_argument);
    EXPECT_EQ(calls, 0);
  }
}

}  // namespace
}  // namespace morvane
