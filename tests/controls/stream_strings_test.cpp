#include <gtest/gtest.h>

#include <string>

#include "controls/eltools.h"
#include "platform/core/streams.h"

namespace morvane {
namespace {

std::string LE32(int32_t v) {
  std::string s(4, '\0');
  for (int k = 0; k < 4; ++k) s[k] = static_cast<char>((static_cast<uint32_t>(v) >> (8 * k)) & 0xFF);
  return s;
}

TEST(StreamStrings, RoundTripAndLayout) {
  TStringStream st;
  EXPECT_TRUE(WriteStringToStream(st, "ab"));
  EXPECT_TRUE(WriteWideStringToStream(st, L"\x20AC"));
  EXPECT_TRUE(WriteStringToStream(st, ""));
  EXPECT_EQ(st.DataString(), LE32(2) + "ab" + LE32(1) + std::string("\xAC\x20", 2) + LE32(0));
  st.SetPosition(0);
  std::string a = "x";
  std::wstring w;
  std::string e = "keep";
  EXPECT_TRUE(ReadStringFromStream(st, a));
  EXPECT_TRUE(ReadWideStringFromStream(st, w));
  EXPECT_TRUE(ReadStringFromStream(st, e));
  EXPECT_EQ(a, "ab");
  EXPECT_EQ(w, L"\x20AC");
  EXPECT_EQ(e, "");
}

TEST(StreamStrings, BadLengthsFailAndLeaveTheStringAlone) {
  struct Case {
    const char* name;
    std::string bytes;
  } cases[] = {
      {"negative", LE32(-1) + "abc"},
      {"past the end", LE32(0x7FFFFFFF) + "abc"},
      {"one too many", LE32(4) + "abc"},
      {"short header", std::string("\x01\x00", 2)},
      {"empty", ""},
  };
  for (const Case& c : cases) {
    TStringStream st(c.bytes);
    std::string s = "unchanged";
    EXPECT_FALSE(ReadStringFromStream(st, s)) << c.name;
    EXPECT_EQ(s, "unchanged") << c.name;
    TStringStream wt(c.bytes);
    std::wstring w = L"unchanged";
    EXPECT_FALSE(ReadWideStringFromStream(wt, w)) << c.name;
    EXPECT_EQ(w, L"unchanged") << c.name;
    TStringStream et(c.bytes);
    EXPECT_FALSE(ReadWideStringFromStreamOrEmpty(et, w)) << c.name;
    EXPECT_EQ(w, L"") << c.name;
  }
  // Two wide units need four bytes: three are not enough.
  TStringStream odd(LE32(2) + "abc");
  std::wstring w = L"x";
  EXPECT_FALSE(ReadWideStringFromStream(odd, w));
  EXPECT_EQ(w, L"x");
}

// A stream that refuses to write.
class TFullStream : public TStringStream {
 public:
  int64_t Write(const void*, int64_t) override { return 0; }
};

TEST(StreamStrings, WriteFailureGivesFalse) {
  TFullStream st;
  EXPECT_FALSE(WriteStringToStream(st, "abc"));
  EXPECT_FALSE(WriteWideStringToStream(st, L"abc"));
}

}  // namespace
}  // namespace morvane
