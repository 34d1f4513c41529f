// Splitting the first program argument into commands.
#include "app/command_line_parser.h"

#include <gtest/gtest.h>

namespace morvane {
namespace {

TEST(CommandLineParser, SplitsAtSemicolonsOutsideParentheses) {
  struct Case {
    const char* name;
    const char* argument;
    std::vector<std::string> commands;
  };
  const Case cases[] = {
      {"nested", "A(x;y);B", {"A(x;y)", "B"}},
      {"empty-between", "A;;B", {"A", "", "B"}},
      {"blanks-trimmed", " A ; B ", {"A", "B"}},
      {"trailing-separator", "A;", {"A"}},
      {"only-separator", ";", {""}},
      {"blank-rest-dropped", "A;  \t", {"A"}},
      {"unbalanced-open", "A(;B;C", {"A(;B;C"}},
      {"depth-carries-over", "x);(y;z", {"x);(y", "z"}},
      {"close-first", "A);B", {"A);B"}},
      {"empty", "", {}},
  };
  for (const Case& c : cases) EXPECT_EQ(SplitCommands(c.argument), c.commands) << c.name;
}

TEST(CommandLineParser, OnlyTheFirstArgumentCountsAndNoArgumentMeansNoList) {
  TCommandLineParser none({});
  EXPECT_EQ(none.Commands, nullptr);
  EXPECT_EQ(none.Data, "");

  TCommandLineParser two({"open(a;b);close", "ignored;too"});
  ASSERT_NE(two.Commands, nullptr);
  EXPECT_EQ(*two.Commands, (std::vector<std::string>{"open(a;b)", "close"}));
  EXPECT_EQ(two.Data, "");

  TCommandLineParser blank({"   "});
  ASSERT_NE(blank.Commands, nullptr);
  EXPECT_TRUE(blank.Commands->empty());
}

}  // namespace
}  // namespace morvane
