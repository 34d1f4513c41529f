#include "platform/core/text_lines.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace morvane {
namespace {

struct LinesCase {
  const char* name;
  std::string input;
  std::vector<std::string> lines;
};

TEST(TextLines, SplitsLikeTheToolkitsTextFiles) {
  const LinesCase cases[] = {
      {"empty", "", {}},
      {"lf", "a\nb\n", {"a", "b"}},
      {"crlf", "a\r\nb\r\n", {"a", "b"}},
      {"no-final-end", "a\nb", {"a", "b"}},
      {"blank-line-kept", "a\n\nb\n", {"a", "", "b"}},
      {"lone-cr-is-data", "a\rb\n", {"a\rb"}},
      {"only-newline", "\n", {""}},
      {"ctrl-z-is-data", std::string("a\x1a" "b\n", 4), {std::string("a\x1a" "b", 3)}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(SplitTextLines(c.input), c.lines) << c.name;
  }
}

TEST(TextLines, EofRightAfterTheLastLine) {
  TTextLineReader r("x\ny");
  EXPECT_EQ(r.ReadLn(), "x");
  EXPECT_TRUE(r.LastLineHadEnd());
  EXPECT_FALSE(r.Eof());
  EXPECT_EQ(r.ReadLn(), "y");
  EXPECT_FALSE(r.LastLineHadEnd());
  EXPECT_TRUE(r.Eof());
  EXPECT_EQ(r.ReadLn(), "");
}

}  // namespace
}  // namespace morvane
