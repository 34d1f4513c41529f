#include "platform/core/classes.h"

#include "platform/core/exceptions.h"
#include "platform/core/streams.h"
#include "platform/core/sysutils.h"
#include "support/test_env.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace morvane {
namespace {

std::vector<std::string> Items(const TStrings& l) {
  std::vector<std::string> v;
  for (int i = 0; i < l.Count(); ++i) v.push_back(l.Strings(i));
  return v;
}

TEST(StringList, SortedAddHonoursDuplicatesWithoutCase) {
  struct Case {
    const char* name;
    TDuplicates dup;
    std::vector<std::string> expected;
    bool raises;
  };
  const Case cases[] = {
      {"ignore", dupIgnore, {"apple", "Banana", "cherry"}, false},
      // An accepted duplicate goes before the equal strings already there.
      {"accept", dupAccept, {"apple", "BANANA", "Banana", "cherry"}, false},
      {"error", dupError, {"apple", "Banana", "cherry"}, true},
  };
  for (const auto& c : cases) {
    TStringList l;
    l.SetSorted(true);
    l.SetDuplicates(c.dup);
    l.Add("cherry");
    l.Add("Banana");
    l.Add("apple");
    bool raised = false;
    try {
      const int at = l.Add("BANANA");
      if (c.dup != dupError) {
        EXPECT_EQ(at, 1) << c.name;  // the one kept, or the new one
      }
    } catch (const EStringListError&) {
      raised = true;
    }
    EXPECT_EQ(raised, c.raises) << c.name;
    EXPECT_EQ(Items(l), c.expected) << c.name;
  }
}

TEST(StringList, FindAndIndexOfIgnoreCase) {
  TStringList sorted;
  sorted.SetSorted(true);
  for (const char* s : {"user@site[1].txt", "Alpha", "beta", "GAMMA"}) sorted.Add(s);
  TStringList plain;
  for (const char* s : {"Profile B", "profile a", "Default"}) plain.Add(s);

  int index = -1;
  EXPECT_TRUE(sorted.Find("ALPHA", index));
  EXPECT_EQ(index, 0);
  EXPECT_TRUE(sorted.Find("gamma", index));
  EXPECT_EQ(sorted.Strings(index), "GAMMA");
  EXPECT_FALSE(sorted.Find("delta", index));
  EXPECT_EQ(index, 2);  // where it would go: after beta, before GAMMA
  EXPECT_EQ(sorted.IndexOf("USER@SITE[1].TXT"), 3);
  EXPECT_EQ(sorted.IndexOf("missing"), -1);

  // Unsorted lists search linearly, with the same comparison.
  EXPECT_EQ(plain.IndexOf("PROFILE A"), 1);
  EXPECT_EQ(plain.IndexOf("default"), 2);
  EXPECT_EQ(plain.IndexOf("Profile"), -1);

  // Case-sensitive lists tell the cases apart and re-sort.
  sorted.SetCaseSensitive(true);
  EXPECT_EQ(sorted.IndexOf("alpha"), -1);
  EXPECT_EQ(sorted.IndexOf("Alpha"), 0);
  for (int i = 1; i < sorted.Count(); ++i)
    EXPECT_TRUE(sorted.Find(sorted.Strings(i), index) && index == i) << sorted.Strings(i);
}

TEST(StringList, SortOrderIsTheOneFindSearches) {
  const std::vector<std::string> words = {
      "co-op", "coop", "Coop", "CO-OP", "o'neil", "oneil", "\xE9t\xE9", "ete", "Ete", "\xC9T\xC9",
      "stra\xDF" "e", "strasse", "a b", "ab", "a_b", "a.b", "a@b", "[1]", "1", "10", "9", "", "Z", "z"};
  for (bool caseSensitive : {false, true}) {
    TStringList l;
    l.SetCaseSensitive(caseSensitive);
    for (const auto& w : words) l.Add(w);
    l.SetSorted(true);
    for (int i = 1; i < l.Count(); ++i) {
      const int c = caseSensitive ? AnsiCompareStr(l.Strings(i - 1), l.Strings(i))
                                  : AnsiCompareText(l.Strings(i - 1), l.Strings(i));
      EXPECT_LE(c, 0) << l.Strings(i - 1) << " / " << l.Strings(i);
    }
    for (const auto& w : words) {
      int index = -1;
      EXPECT_TRUE(l.Find(w, index)) << w << (caseSensitive ? " case-sensitive" : "");
    }
  }
}

TEST(StringList, SortedListRefusesPositionalChanges) {
  TStringList l;
  l.SetSorted(true);
  l.Add("b");
  EXPECT_THROW(l.Insert(0, "a"), EStringListError);
  EXPECT_THROW(l.SetStrings(0, "c"), EStringListError);
  EXPECT_THROW(l.Strings(1), EStringListError);
  EXPECT_THROW(l.Delete(-1), EStringListError);
}

TEST(StringList, TextRoundTripsAndSplitsEveryLineEnd) {
  struct Case {
    const char* name;
    std::string text;
    std::vector<std::string> lines;
  };
  const Case cases[] = {
      {"crlf", "a\r\nb\r\n", {"a", "b"}},
      {"lf", "a\nb", {"a", "b"}},
      {"cr", "a\rb\r", {"a", "b"}},
      {"blank-lines", "\r\n\r\nx", {"", "", "x"}},
      {"empty", "", {}},
  };
  for (const auto& c : cases) {
    TStringList l;
    l.SetText(c.text);
    EXPECT_EQ(Items(l), c.lines) << c.name;
    TStringList again;
    again.SetText(l.Text());
    EXPECT_EQ(Items(again), c.lines) << c.name;
  }
  TStringList l;
  l.Add("x");
  l.Add("");
  EXPECT_EQ(l.Text(), "x\r\n\r\n");
}

TEST(StringList, CommaTextQuotesWhatNeedsIt) {
  TStringList l;
  for (const char* s : {"plain", "two words", "a,b", "say \"hi\"", ""}) l.Add(s);
  EXPECT_EQ(l.CommaText(), "plain,\"two words\",\"a,b\",\"say \"\"hi\"\"\",");
  TStringList back;
  back.SetCommaText(l.CommaText());
  EXPECT_EQ(Items(back), Items(l));
  back.SetCommaText("x y, \"z\"");
  EXPECT_EQ(Items(back), (std::vector<std::string>{"x", "y", "z"}));
}

TEST(StringList, NamesAndValues) {
  TStringList l;
  l.Add("Path=C:\\x=y");
  l.Add("IsRelative=1");
  l.Add("no equals");
  EXPECT_EQ(l.Values("path"), "C:\\x=y");
  EXPECT_EQ(l.Names(1), "IsRelative");
  EXPECT_EQ(l.Names(2), "");
  l.SetValues("IsRelative", "0");
  l.SetValues("Name", "default");
  l.SetValues("Path", "");
  EXPECT_EQ(Items(l), (std::vector<std::string>{"IsRelative=0", "no equals", "Name=default"}));
}

TEST(StringList, ChangeEventsFireOncePerUpdateBracket) {
  TStringList l;
  int changes = 0;
  l.OnChange = [&](TObject*) { ++changes; };
  l.Add("a");
  EXPECT_EQ(changes, 1);
  l.BeginUpdate();
  l.Add("b");
  l.Add("c");
  l.Delete(0);
  l.EndUpdate();
  EXPECT_EQ(changes, 2);
  l.EndUpdate();  // unbalanced: nothing happens
  EXPECT_EQ(changes, 2);

  TObject owned;
  TStringList copy;
  copy.AddObject("keep", &owned);
  l.Assign(&copy);
  EXPECT_EQ(Items(l), (std::vector<std::string>{"keep"}));
  EXPECT_EQ(l.Objects(0), &owned);
  EXPECT_EQ(changes, 3);
}

TEST(StringList, FileRoundTrip) {
  test::TTempDir dir;
  TStringList l;
  l.Add("first");
  l.Add("caf\xE9");
  l.SaveToFile(dir.File("list.txt"));
  EXPECT_EQ(test::ReadFileBytes(dir.File("list.txt")), "first\r\ncaf\xE9\r\n");
  TStringList back;
  back.LoadFromFile(dir.File("list.txt"));
  EXPECT_EQ(Items(back), Items(l));
  EXPECT_THROW(back.LoadFromFile(dir.File("missing.txt")), EFOpenError);
}

TEST(List, SortIsStableAndIndexErrorsRaise) {
  TList l;
  for (intptr_t v : {30, 10, 20, 10}) l.Add(reinterpret_cast<void*>(v));
  l.Sort([](void* a, void* b) {
    const auto x = reinterpret_cast<intptr_t>(a), y = reinterpret_cast<intptr_t>(b);
    return x < y ? -1 : x > y ? 1 : 0;
  });
  std::vector<intptr_t> got;
  for (int i = 0; i < l.Count(); ++i) got.push_back(reinterpret_cast<intptr_t>(l.Items(i)));
  EXPECT_EQ(got, (std::vector<intptr_t>{10, 10, 20, 30}));
  EXPECT_EQ(l.Remove(reinterpret_cast<void*>(20)), 2);
  EXPECT_EQ(l.IndexOf(reinterpret_cast<void*>(20)), -1);
  EXPECT_THROW(l.Items(3), EListError);
  EXPECT_THROW(l.Delete(-1), EListError);
}

}  // namespace
}  // namespace morvane
