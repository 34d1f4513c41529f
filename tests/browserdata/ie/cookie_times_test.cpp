// Cookie times are shown in local time and edited in local time; the file
// keeps UTC. Runs under UTC and under a zone with an offset.
// ctest: tz=Europe/Berlin
#include <gtest/gtest.h>

#include <cmath>

#include "browserdata/ie/cookie_info.h"
#include "browserdata/ie/ie_cookie_records.h"
#include "browserdata/ie/ie_test_support.h"

namespace morvane {
namespace {

// Minutes to add to UTC for local time, as the system applies it now.
int LocalOffsetMinutes() {
  TIME_ZONE_INFORMATION tz;
  const DWORD id = GetTimeZoneInformation(&tz);
  return -static_cast<int>(tz.Bias + (id == TIME_ZONE_ID_DAYLIGHT ? tz.DaylightBias : tz.StandardBias));
}

using IECookieLocalTimes = test::TIECookieFolderTest;

TEST_F(IECookieLocalTimes, ReadAndEditThroughLocalTime) {
  const std::string path = CopyFixtureFile("folder\\root@crlf[2].TXT", "root@crlf[2].TXT");
  TCookieInfo info(dir_.Path());
  TCookieInfoDetails d;
  info.GetFileDetails(0, d);
  ASSERT_EQ(d.Cookies.size(), 1u);
  const double offset = LocalOffsetMinutes() / 1440.0;
  // 2010-12-17 09:35:02 UTC and 2033-01-01 00:00:00 UTC
  EXPECT_NEAR(d.Cookies[0].Created, 40529.0 + (9 * 3600 + 35 * 60 + 2) / 86400.0 + offset, 1e-9);
  EXPECT_NEAR(d.Cookies[0].Expires, 48580.0 + offset, 1e-9);

  // A local expiry of 2031-03-03 04:03:04 is stored as that moment in UTC.
  TCookieValueInfo c;
  c.Name = "crlf";
  c.Value = "v";
  c.Expires = 47910.0 + (4 * 3600 + 3 * 60 + 4) / 86400.0;
  ASSERT_TRUE(info.UpdateCookie("root@crlf[2].TXT", "crlf", c));
  std::vector<TIECookieRecord> rs = ParseIECookieRecords(test::ReadFileBytes(path));
  ASSERT_EQ(rs.size(), 1u);
  const double utcDays = c.Expires - offset;
  const uint64_t want = 116444736000000000ull +
                        static_cast<uint64_t>(std::llround((utcDays - 25569.0) * 86400.0)) * 10000000ull;
  EXPECT_EQ(IEFileTime(rs[0].ExpiresLowText, rs[0].ExpiresHighText), want);
  info.GetFileDetails(0, d);
  EXPECT_NEAR(d.Cookies[0].Expires, c.Expires, 1e-9);
}

}  // namespace
}  // namespace morvane
