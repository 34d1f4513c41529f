#include "controls/elunicodestrings.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/core/classes.h"
#include "platform/core/exceptions.h"
#include "platform/core/streams.h"
#include "support/test_env.h"

namespace morvane {
namespace {

std::vector<std::wstring> Items(const TElWideStrings& l) {
  std::vector<std::wstring> v;
  for (int i = 0; i < l.GetCount(); ++i) v.push_back(l.Get(i));
  return v;
}

template <class F>
std::string StringListError(F f) {
  try {
    f();
  } catch (const EStringListError& e) {
    return e.Message();
  }
  return "no error";
}

TEST(ElWideStringsText, SplitsAndJoinsLines) {
  struct Case {
    const char* name;
    std::wstring text;
    std::vector<std::wstring> items;
  } cases[] = {
      {"crlf", L"a\r\nb", {L"a", L"b"}},
      {"trailing crlf", L"a\r\nb\r\n", {L"a", L"b"}},
      {"lf cr", L"a\n\rb", {L"a", L"", L"b"}},
      {"lone cr and lf", L"a\rb\nc", {L"a", L"b", L"c"}},
      {"only crlf", L"\r\n", {L""}},
      {"empty", L"", {}},
      {"nul ends", std::wstring(L"a\r\nb\0c", 6), {L"a", L"b"}},
  };
  for (const Case& c : cases) {
    TElWideStringList l;
    l.Add(L"old");
    l.SetTextStr(c.text);
    EXPECT_EQ(Items(l), c.items) << c.name;
  }
  TElWideStringList l;
  EXPECT_EQ(l.GetTextStr(), L"");
  l.Add(L"a");
  l.Add(L"b");
  EXPECT_EQ(l.GetTextStr(), L"a\r\nb\r\n");
  EXPECT_EQ(std::wstring(l.GetText().get()), L"a\r\nb\r\n");
  l.SetText(L"x\ny");
  EXPECT_EQ(Items(l), (std::vector<std::wstring>{L"x", L"y"}));
}

TEST(ElWideStringsText, StreamsWithAndWithoutByteOrderMark) {
  struct Case {
    const char* name;
    std::string bytes;
    std::vector<std::wstring> items;
    bool unicode;
    std::string saved;
  } cases[] = {
      {"big-endian", std::string("\xFE\xFF\x00\x41\x00\x42", 6), {L"AB"}, true,
       std::string("\xFF\xFE\x41\x00\x42\x00\x0D\x00\x0A\x00", 10)},
      {"little-endian, odd byte dropped", std::string("\xFF\xFE\xAC\x20\x0A\x00\x31\x00\x07", 9),
       {L"\x20AC", L"1"}, true, std::string("\xFF\xFE\xAC\x20\x0D\x00\x0A\x00\x31\x00\x0D\x00\x0A\x00", 14)},
      {"8-bit", "caf\xE9\r\nx", {L"caf\xE9", L"x"}, false, "caf\xE9\r\nx\r\n"},
      {"one byte", "z", {L"z"}, false, "z\r\n"},
  };
  for (const Case& c : cases) {
    TElWideStringList l;
    TStringStream in("--" + c.bytes);
    in.SetPosition(2);
    l.LoadFromStream(in);
    EXPECT_EQ(Items(l), c.items) << c.name;
    EXPECT_EQ(l.SaveUnicode(), c.unicode) << c.name;
    TStringStream out;
    l.SaveToStream(out);
    EXPECT_EQ(out.DataString(), c.saved) << c.name;
    EXPECT_TRUE(l.Saved());
  }
}

TEST(ElWideStringsText, Files) {
  test::TTempDir dir;
  TElWideStringList l;
  l.Add(L"\x0416");
  l.SetSaveUnicode(true);
  l.SaveToFile(dir.File("u.txt"));
  EXPECT_EQ(test::ReadFileBytes(dir.File("u.txt")), std::string("\xFF\xFE\x16\x04\r\0\n\0", 8));
  TElWideStringList back;
  back.LoadFromFile(dir.File("u.txt"));
  EXPECT_EQ(Items(back), Items(l));
  EXPECT_THROW(back.LoadFromFile(dir.File("missing.txt")), EFOpenError);
}

TEST(ElWideStringList, SortedAddFindAndDuplicates) {
  TElWideStringList l;
  for (const wchar_t* s : {L"d", L"b", L"a", L"c"}) l.Add(s);
  l.Sort();
  l.SetSorted(true);
  EXPECT_EQ(Items(l), (std::vector<std::wstring>{L"a", L"b", L"c", L"d"}));
  int i = -1;
  EXPECT_TRUE(l.Find(L"c", i));
  EXPECT_EQ(i, 2);
  EXPECT_FALSE(l.Find(L"bb", i));
  EXPECT_EQ(i, 2);
  EXPECT_EQ(l.IndexOf(L"bb"), -1);

  EXPECT_EQ(l.Add(L"b"), 1);  // ignore
  EXPECT_EQ(l.GetCount(), 4);

  TObject marker;
  l.PutObject(1, &marker);
  l.SetDuplicates(dupAccept);
  EXPECT_EQ(l.Add(L"b"), 1);  // lands before its equals
  EXPECT_EQ(l.GetObject(1), nullptr);
  EXPECT_EQ(l.GetObject(2), &marker);
  EXPECT_TRUE(l.Find(L"b", i));
  EXPECT_EQ(i, 1);

  l.SetDuplicates(dupError);
  EXPECT_EQ(StringListError([&] { l.Add(L"c"); }), "String list does not allow duplicates");
  EXPECT_EQ(l.GetCount(), 5);
  EXPECT_EQ(StringListError([&] { l.Insert(0, L"z"); }), "Operation not allowed on sorted list");
  EXPECT_EQ(StringListError([&] { l.Put(0, L"z"); }), "Operation not allowed on sorted list");
  EXPECT_EQ(StringListError([&] { l.Insert(99, L"z"); }), "Operation not allowed on sorted list");
}

TEST(ElWideStringList, IndexErrorsAndCapacity) {
  TElWideStringList l;
  l.Insert(0, L"a");
  l.Insert(l.GetCount(), L"b");
  EXPECT_EQ(Items(l), (std::vector<std::wstring>{L"a", L"b"}));
  EXPECT_EQ(StringListError([&] { l.Insert(3, L"x"); }), "List index out of bounds (3)");
  EXPECT_EQ(StringListError([&] { l.Get(2); }), "List index out of bounds (2)");
  EXPECT_EQ(StringListError([&] { l.Delete(-1); }), "List index out of bounds (-1)");
  EXPECT_EQ(StringListError([&] { l.Exchange(0, 5); }), "List index out of bounds (5)");
  EXPECT_EQ(StringListError([&] { l.PutObject(2, nullptr); }), "List index out of bounds (2)");
  // Shrinking below the entries in use would cut live strings off.
  EXPECT_EQ(StringListError([&] { l.SetCapacity(1); }), "List capacity out of bounds (1)");
  EXPECT_EQ(Items(l), (std::vector<std::wstring>{L"a", L"b"}));
  std::vector<int> caps;
  TElWideStringList g;
  for (int k = 0; k < 81; ++k) {
    g.Add(L"x");
    if (caps.empty() || caps.back() != g.GetCapacity()) caps.push_back(g.GetCapacity());
  }
  EXPECT_EQ(caps, (std::vector<int>{4, 8, 12, 28, 44, 60, 76, 95}));
}

TEST(ElWideStringList, ChangeEventsAndUpdateBrackets) {
  TElWideStringList l;
  std::string log;
  l.OnChanging = [&](TObject* s) { EXPECT_EQ(s, &l); log += "<"; };
  l.OnChange = [&](TObject*) { log += ">"; };
  l.Clear();
  EXPECT_EQ(log, "");
  l.Add(L"b");
  l.Add(L"a");
  EXPECT_EQ(log, "<><>");
  log.clear();
  l.BeginUpdate();
  l.BeginUpdate();
  l.Sort();
  l.Exchange(0, 1);
  l.Delete(0);
  l.EndUpdate();
  EXPECT_EQ(log, "<");
  l.EndUpdate();
  EXPECT_EQ(log, "<>");
  l.EndUpdate();  // unbalanced: nothing
  EXPECT_EQ(log, "<>");
  log.clear();
  l.Move(0, 0);
  l.Add(L"c");
  l.Move(1, 0);
  EXPECT_EQ(Items(l), (std::vector<std::wstring>{L"c", L"a"}));
}

TEST(ElWideStringList, CustomSortIsAQuicksortOfTheWholeList) {
  TElWideStringList l;
  const wchar_t* words[] = {L"pear", L"fig", L"apple", L"kiwi", L"date", L"plum", L"lime", L"fig"};
  for (const wchar_t* w : words) l.Add(w);
  l.CustomSort([](TElWideStringList* list, int a, int b) {
    return static_cast<int>(list->GetRef(a).size()) - static_cast<int>(list->GetRef(b).size());
  });
  for (int i = 1; i < l.GetCount(); ++i) EXPECT_LE(l.GetRef(i - 1).size(), l.GetRef(i).size());
  l.Sort();
  EXPECT_EQ(Items(l), (std::vector<std::wstring>{L"apple", L"date", L"fig", L"fig", L"kiwi", L"lime", L"pear",
                                                 L"plum"}));
  l.SetSorted(true);
  l.Sort();  // a sorted list is left as it is
  l.CustomSort([](TElWideStringList*, int, int) { return -1; });
  EXPECT_EQ(l.Get(0), L"apple");
}

TEST(ElWideStringsAssign, ItemByItemWithObjects) {
  TObject o1, o2;
  TStringList src;
  src.AddObject("two\r\nlines", &o1);
  src.AddObject(std::string("nul\0inside", 10), &o2);
  src.Add("caf\xE9");
  TElWideStringList l;
  l.Add(L"old");
  l.Assign(&src);
  ASSERT_EQ(l.GetCount(), 3);
  EXPECT_EQ(l.Get(0), L"two\r\nlines");
  EXPECT_EQ(l.Get(1), std::wstring(L"nul\0inside", 10));
  EXPECT_EQ(l.Get(2), L"caf\xE9");
  EXPECT_EQ(l.GetObject(0), &o1);
  EXPECT_EQ(l.GetObject(1), &o2);

  TStringList back;
  back.Add("old");
  back.Assign(&l);
  ASSERT_EQ(back.Count(), 3);
  EXPECT_EQ(back.Strings(0), "two\r\nlines");
  EXPECT_EQ(back.Objects(1), &o2);

  TElWideStringList copy;
  copy.Assign(&l);
  EXPECT_TRUE(copy.Equals(l));
  EXPECT_EQ(copy.GetObject(0), &o1);
  copy.Assign(&copy);  // a list assigned to itself keeps its items
  EXPECT_EQ(copy.GetCount(), 3);
  EXPECT_THROW(copy.Assign(nullptr), EAssignError);
}

TEST(ElWideStringsProperty, WritesWideValuesAndReadsAllStringKinds) {
  TElWideStringList l;
  l.Add(L"A");
  l.Add(L"");
  TStringStream out;
  l.WriteStringsProperty(out);
  const std::string expected("\x01\x12\x01\x00\x00\x00\x41\x00\x12\x00\x00\x00\x00\x00", 14);
  EXPECT_EQ(out.DataString(), expected);

  struct Case {
    const char* name;
    std::string bytes;
    std::vector<std::wstring> items;
    const char* error;
  } cases[] = {
      {"round trip", expected + "tail", {L"A", L""}, nullptr},
      {"8-bit kinds", std::string("\x01\x06\x02hi\x0C\x01\x00\x00\x00\xE9\x92\x01\x00\x00\x00x\x00\x00", 19),
       {L"hi", L"\xE9", L"x"}, nullptr},
      {"embedded nul", std::string("\x01\x12\x02\x00\x00\x00\x61\x00\x00\x00\x00", 11), {L"a"}, nullptr},
      {"unknown type", std::string("\x01\x06\x01q\x07\x00", 6), {L"q"}, "Error while reading wide strings list"},
      {"no list begin", std::string("\x06\x01q", 3), {L"old"}, "Error while reading wide strings list"},
      {"count past the end", std::string("\x01\x12\xFF\xFF\xFF\x7F", 6), {}, "Stream read error"},
      {"no list end", std::string("\x01\x06\x01q", 4), {L"q"}, "Stream read error"},
  };
  for (const Case& c : cases) {
    TElWideStringList r;
    r.Add(L"old");
    std::string log;
    r.OnChange = [&](TObject*) { log += ">"; };
    TStringStream in(c.bytes);
    std::string error;
    try {
      r.ReadStringsProperty(in);
    } catch (const EReadError& e) {
      error = e.Message();
    }
    EXPECT_EQ(error, c.error ? c.error : "") << c.name;
    EXPECT_EQ(Items(r), c.items) << c.name;
    EXPECT_EQ(r.UpdateCount(), 0) << c.name;
    EXPECT_EQ(log, c.items.size() == 1 && c.items[0] == L"old" ? "" : ">") << c.name;
  }
  TStringStream in(expected + "tail");
  TElWideStringList r;
  r.ReadStringsProperty(in);
  EXPECT_EQ(in.Position(), static_cast<int64_t>(expected.size()));
}

}  // namespace
}  // namespace morvane
