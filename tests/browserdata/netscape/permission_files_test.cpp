// cookperm.txt and hostperm.1 as bytes.
#include "browserdata/netscape/permission_files.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace morvane {
namespace {

using permission_files::ParseCookperm;
using permission_files::ParseHostperm;

std::vector<const tQbBlockedDomain*> Ptrs(const TPermissionFile& f) {
  std::vector<const tQbBlockedDomain*> v;
  for (const auto& r : f.Hosts) v.push_back(&r);
  return v;
}

tQbBlockedDomain Rec(const char* host, uint8_t c, uint8_t i, uint8_t p, uint8_t n) {
  tQbBlockedDomain r;
  r.Kind = "host";
  r.Host = host;
  r.Cookie = c;
  r.Image = i;
  r.Popup = p;
  r.Install = n;
  return r;
}

TEST(PermissionFiles, ReadsCookperm) {
  const TPermissionFile f = ParseCookperm(
      "# HTTP Permission File\r\n\r\nads.test\t0F\t1F\t2T\r\nAds.Test\t1T\tzz\nok.test\t0T\n@@@@\t0F\t1F\t2F\nlonely\n");
  EXPECT_EQ(*f.Header, (std::vector<std::string>{"# HTTP Permission File", ""}));
  ASSERT_EQ(f.Hosts.size(), 2u);
  EXPECT_EQ(f.Hosts[0].Host, "ads.test");  // the same host in another case merges into it
  EXPECT_EQ(f.Hosts[0].Cookie, 2);
  EXPECT_EQ(f.Hosts[0].Image, 1);
  EXPECT_EQ(f.Hosts[0].Popup, 1);
  EXPECT_EQ(f.Hosts[1].Cookie, 1);
  EXPECT_EQ(*f.Extra, (std::vector<std::string>{"@@@@\t0F\t1F\t2F"}));
  // The line at the end of the file counts as data even when the file has
  // nothing else.
  const TPermissionFile only = ParseCookperm("x.test\t0F");
  ASSERT_EQ(only.Hosts.size(), 1u);
  EXPECT_EQ(only.Hosts[0].Cookie, 2);
}

TEST(PermissionFiles, WritesCookperm) {
  const tQbBlockedDomain a = Rec("mixed.test", 1, 0, 2, 0), zero = Rec("zero.test", 0, 0, 0, 0),
                         inst = Rec("install.test", 0, 0, 0, 2), odd = Rec("three.test", 3, 2, 0, 0);
  const std::vector<std::string> header = {"# mine"};
  const std::vector<std::string> extra = {"@@@@\t0T", "@@@@\t1T"};
  // No code, no line: a bare host would run into the next line.
  EXPECT_EQ(permission_files::WriteCookperm(&header, {&a, &zero, &inst, &odd}, &extra),
            "# mine\nmixed.test\t0T\t2F\nthree.test\t1F\n@@@@\t0T\n@@@@\t1T");
  EXPECT_EQ(permission_files::WriteCookperm(nullptr, {&a}, nullptr),
            "# HTTP Permission File\n# http://www.netscape.com/newsref/std/cookie_spec.html\n"
            "# This is a generated file!  Do not edit.\nmixed.test\t0T\t2F\n@@@@\t0F\t1F\t2F");
}

TEST(PermissionFiles, ReadsAndWritesHostperm) {
  const std::string file =
      "# Permission File\n# keep me\n\nhost\tcookie\t3\ta.test\nhost\tpopup\t1\ta.test\n"
      "other\tinstall\t2\tb.test\nhost\tunknown\t2\tb.test\nhost\timage\tx\tc.test\nshort\tline\n";
  const TPermissionFile f = ParseHostperm(file);
  EXPECT_EQ(*f.Header, (std::vector<std::string>{"# Permission File", "# keep me"}));
  ASSERT_EQ(f.Hosts.size(), 3u);
  EXPECT_EQ(f.Hosts[0].Cookie, 3);  // kept as read
  EXPECT_EQ(f.Hosts[1].Kind, "host");  // the last line of the host names its type
  EXPECT_EQ(f.Hosts[1].Install, 2);
  EXPECT_EQ(f.Hosts[2].Image, 0);  // no number
  EXPECT_EQ(permission_files::WriteHostperm(*f.Header, Ptrs(f)),
            "# Permission File\n# keep me\n\nhost\tcookie\t3\ta.test\nhost\tpopup\t1\ta.test\n"
            "host\tinstall\t2\tb.test\n");
}

TEST(PermissionFiles, HostpermWithoutBlankLineKeepsItsLastLine) {
  struct Case {
    const char* name;
    std::string file;
    std::vector<std::string> header;
  } cases[] = {
      {"one-line-no-header", "host\tcookie\t2\tonly.test\n", {"host\tcookie\t2\tonly.test"}},
      {"header-without-blank", "# a\n# b", {"# a", "# b"}},
      {"empty", "", {}},
  };
  for (const auto& c : cases) {
    const TPermissionFile f = ParseHostperm(c.file);
    EXPECT_EQ(*f.Header, c.header) << c.name;
    // Written back, the line is still there.
    const std::string out = permission_files::WriteHostperm(*f.Header, Ptrs(f));
    for (const auto& l : c.header) EXPECT_NE(out.find(l + "\n"), std::string::npos) << c.name;
  }
}

}  // namespace
}  // namespace morvane
