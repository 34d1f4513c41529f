#include <gtest/gtest.h>

#include "browserdata/ie/ie_cookie_records.h"

namespace morvane {
namespace {

std::string Rec(const std::string& name, const std::string& value, const std::string& low = "885243904",
                const std::string& high = "31740926", const char* end = "\n") {
  std::string s;
  for (const std::string& l : {name, value, std::string("example.com/"), std::string("1024"), low, high,
                               std::string("2916345600"), std::string("30121421"), std::string("*")})
    s += l + end;
  return s;
}

std::vector<std::string> Names(const std::vector<TIECookieRecord>& rs) {
  std::vector<std::string> n;
  for (const auto& r : rs) n.push_back(r.Name);
  return n;
}

TEST(IECookieRecords, ParseTable) {
  struct Case {
    const char* name;
    std::string bytes;
    std::vector<std::string> want;
  } cases[] = {
      {"LF", Rec("a", "1") + Rec("b", "2"), {"a", "b"}},
      {"CR LF", Rec("a", "1", "885243904", "31740926", "\r\n"), {"a"}},
      {"no final line end", Rec("a", "1").substr(0, Rec("a", "1").size() - 1), {"a"}},
      {"empty file", "", {}},
      {"last record lacks its star", Rec("a", "1") + Rec("b", "2").substr(0, Rec("b", "2").size() - 2), {"a"}},
      {"star with a blank is no end", Rec("a", "1").substr(0, Rec("a", "1").size() - 2) + "* \n" + Rec("b", "2"), {"b"}},
      {"blanked record stays deleted", Rec("a", "1") + Rec("   ", " ", "000000000", "00000000") + Rec("b", "2"), {"a", "b"}},
      {"blank name with an expiry is kept", Rec("", "", "1", "0"), {""}},
      {"bad time line does not shift later records", Rec("a", "1") + Rec("bad", "x", "soon") + Rec("b", "2"), {"a", "b"}},
      {"empty time line", Rec("a", "1", "", "31740926") + Rec("b", "2"), {"b"}},
      {"record with a line too few", "x\n1\nh/\n0\n1\n2\n3\n*\n" + Rec("b", "2"), {"b"}},
      {"negative and signed numbers are numbers", Rec("a", "1", "-1", "+5"), {"a"}},
      {"number beyond 64 bits", Rec("a", "1", "99999999999999999999"), {}},
  };
  for (const Case& c : cases) EXPECT_EQ(Names(ParseIECookieRecords(c.bytes)), c.want) << c.name;
}

TEST(IECookieRecords, FieldsAndWriterKeepTheTexts) {
  const std::string file = Rec("name1", "value 1", "0000885243904");
  auto rs = ParseIECookieRecords(file);
  ASSERT_EQ(rs.size(), 1u);
  EXPECT_EQ(rs[0].Value, "value 1");
  EXPECT_EQ(rs[0].HostPath, "example.com/");
  EXPECT_EQ(rs[0].Flags, "1024");
  EXPECT_EQ(rs[0].ExpiresLowText, "0000885243904");
  EXPECT_EQ(rs[0].CreatedHighText, "30121421");
  EXPECT_EQ(IEFileTime(rs[0].ExpiresLowText, rs[0].ExpiresHighText), (31740926ull << 32) | 885243904ull);
  EXPECT_EQ(IEFileTime("-1", "0"), 0xFFFFFFFFull);  // the low 32 bits count
  EXPECT_EQ(FormatIECookieRecords(rs), file);
  EXPECT_EQ(FormatIECookieRecords(ParseIECookieRecords(Rec("a", "1", "885243904", "31740926", "\r\n"))), Rec("a", "1"));
  // A value that ends in CR survives a rewrite.
  auto cr = ParseIECookieRecords(Rec("a", "v\r\r"));
  ASSERT_EQ(cr.size(), 1u);
  EXPECT_EQ(cr[0].Value, "v\r");
  EXPECT_EQ(ParseIECookieRecords(FormatIECookieRecords(cr)), cr);
}

TEST(IECookieRecords, FileNames) {
  struct Case {
    const char* name;
    uint64_t size;
    bool want;
  } cases[] = {
      {"root@example[1].txt", 100, true},  {"ROOT@EXAMPLE[2].TXT", 100, true}, {"a@b.Txt", 65535, true},
      {"a@b.txt", 65536, false},           {"example[1].txt", 10, false},      {"a@b.txt.bak", 10, false},
      {"a@btxt", 10, false},               {"index.dat", 10, false},           {"@.txt", 0, true},
  };
  for (const Case& c : cases) EXPECT_EQ(IsIECookieFile(c.name, c.size), c.want) << c.name << " " << c.size;
}

TEST(IECookieRecords, EditsKeepTheLayout) {
  EXPECT_EQ(FitToLength("longer name", 6), "longer");
  EXPECT_EQ(FitToLength("ab", 5), "ab   ");

  struct FlagCase {
    const char* old;
    bool secure, httpOnly;
    const char* want;
  } flags[] = {
      {"1024", true, false, "1025"},
      {"8193", false, false, "0   "},
      {"9216", false, true, "9216"},
      {"1", false, true, "1"},  // "8193" does not fit: the old text stays
      {"0   ", true, false, "1   "},  // blanks an earlier edit left
      {"0", true, true, "0"},
  };
  for (const FlagCase& f : flags) EXPECT_EQ(EditIEFlags(f.old, f.secure, f.httpOnly), f.want) << f.old;
  EXPECT_THROW(EditIEFlags("x", true, false), std::invalid_argument);
  int v = -1;
  EXPECT_TRUE(TryParseIEFlags("8193  ", v));
  EXPECT_EQ(v, 8193);
  EXPECT_FALSE(TryParseIEFlags(" ", v));
  EXPECT_FALSE(TryParseIEFlags("0x1", v));
}

TEST(IECookieRecords, ExpiryEditWritesTheExactTime) {
  struct Case {
    const char* name;
    const char* oldLow;
    const char* oldHigh;
    uint64_t fileTime;
    const char* low;
    const char* high;
  } cases[] = {
      {"same length", "885243904", "31740926", (31740926ull << 32) | 885243905ull, "885243905", "31740926"},
      {"fewer digits gain zeros", "3338183680", "31606170", (31740926ull << 32) | 885243904ull, "0885243904",
       "31740926"},
      // One more digit than before: the exact texts, one byte longer, not "9"s.
      {"more digits written exactly", "885243904", "31740926", (31606170ull << 32) | 3338183680ull, "3338183680",
       "31606170"},
      {"from a blanked zero expiry", "0", "0", (31740926ull << 32) | 885243904ull, "885243904", "31740926"},
      {"to no expiry", "885243904", "31740926", 0, "0000000000000000", "0"},
  };
  for (const Case& c : cases) {
    TIECookieRecord old;
    old.ExpiresLowText = c.oldLow;
    old.ExpiresHighText = c.oldHigh;
    std::string low, high;
    EditIEExpiry(old, c.fileTime, low, high);
    EXPECT_EQ(low, c.low) << c.name;
    EXPECT_EQ(high, c.high) << c.name;
    EXPECT_EQ(IEFileTime(low, high), c.fileTime) << c.name;
  }
}

TEST(IECookieRecords, BlankedRecordKeepsItsLength) {
  auto rs = ParseIECookieRecords(Rec("name", "value") + Rec("other", "x"));
  ASSERT_EQ(rs.size(), 2u);
  const std::string before = FormatIECookieRecords(rs);
  BlankIECookieRecord(rs[0]);
  const std::string after = FormatIECookieRecords(rs);
  EXPECT_EQ(after.size(), before.size());
  EXPECT_EQ(Names(ParseIECookieRecords(after)), std::vector<std::string>{"other"});
}

}  // namespace
}  // namespace morvane
