#include <gtest/gtest.h>

#include "browserdata/sys/qb_string_utils.h"

namespace morvane {
namespace {

using List = std::vector<std::string>;

TEST(SplitString, Table) {
  struct Case {
    const char* name;
    std::string text, sep;
    bool sorted;
    List want;
  } cases[] = {
      {"final separator gives no empty piece", "a\tb\t", "\t", false, {"a", "b"}},
      {"empty piece between separators", "a\t\tb", "\t", false, {"a", "", "b"}},
      {"sorted drops empty and duplicate pieces", "b\ta\t\tB\ta", "\t", true, {"a", "b"}},
      {"two-character separator", "x\r\ny\r\nz", "\r\n", false, {"x", "y", "z"}},
      {"separator alone", "\t", "\t", false, {""}},
      {"leading separator", "\ta", "\t", false, {"", "a"}},
      {"empty text", "", "\t", false, {}},
      {"no separator in text", "host", ".", false, {"host"}},
      {"host labels", "www.example.co.uk", ".", false, {"www", "example", "co", "uk"}},
      {"empty separator", "abc", "", false, {"abc"}},
  };
  for (const Case& c : cases) EXPECT_EQ(SplitString(c.text, c.sep, c.sorted), c.want) << c.name;
}

}  // namespace
}  // namespace morvane
