// The tree's update bracket, focus change and sorting, without a window.
#include "tree_fixture.h"

namespace morvane {
namespace {

using test::ExpectConsistent;
using test::Load;
using test::Main;
using test::NewTree;
using test::Outline;

TEST(TreeBracket, DefaultsOfANewTree) {
  auto t = NewTree();
  EXPECT_EQ(t->Width, 200);
  EXPECT_EQ(t->Height, 100);
  EXPECT_TRUE(t->MultiSelect());
  EXPECT_TRUE(t->RowSelect());
  EXPECT_FALSE(t->ShowColumns());
  EXPECT_EQ(t->SortType, stText);
  EXPECT_EQ(t->LineHeight(), 17);
}

TEST(TreeBracket, NestsAndIgnoresUnmatchedEnds) {
  auto t = NewTree();
  int sorts = 0;
  t->OnSortBegin = [&](TObject*) { ++sorts; };
  t->SetSortMode(smAdd);
  THeadlessTreeHeader* h = t->HeadlessHeader();
  int ends = h->Ends;
  t->EndUpdate();  // unmatched: no count, no header call
  EXPECT_EQ(t->UpdateCount(), 0);
  EXPECT_EQ(h->Ends, ends);
  t->BeginUpdate();
  t->BeginUpdate();
  t->Items().AddItem(nullptr, L"b");
  t->EndUpdate();
  EXPECT_EQ(sorts, 0);
  EXPECT_TRUE(t->SortPending());
  t->EndUpdate();
  EXPECT_GT(sorts, 0);
  EXPECT_FALSE(t->SortPending());
  // Brackets from inside the end-of-bracket work count nothing.
  t->OnSortBegin = [&](TObject*) {
    t->BeginUpdate();
    t->BeginUpdate();
    EXPECT_EQ(t->UpdateCount(), 0);
  };
  t->Items().AddItem(nullptr, L"a");
  EXPECT_EQ(t->UpdateCount(), 0);
}

TEST(TreeBracket, ExceptionFromAHandlerLeavesTheBracketWorking) {
  auto t = NewTree();
  t->SetSortMode(smAdd);
  bool raise = true;
  t->OnSortBegin = [&](TObject*) {
    if (raise) throw Exception("handler failed");
  };
  t->BeginUpdate();
  t->Items().AddItem(nullptr, L"b");
  EXPECT_THROW(t->EndUpdate(), Exception);
  EXPECT_FALSE(t->InUpdateEnd());
  EXPECT_EQ(t->UpdateCount(), 0);
  raise = false;
  t->Items().AddItem(nullptr, L"a");
  EXPECT_EQ(Outline(*t), "a b");
}

TEST(TreeFocus, RefusedChangeKeepsFocusAndSelection) {
  auto t = NewTree();
  Load(*t, {"a", "b"});
  TElTreeItem *a = t->Items().Item(0), *b = t->Items().Item(1);
  t->SetItemFocused(a);
  EXPECT_TRUE(a->Selected());
  t->OnChanging = [](TObject*, TElTreeItem*, bool& allow) { allow = false; };
  EXPECT_FALSE(t->ChangeFocus(b, false, false));
  EXPECT_EQ(t->ItemFocused(), a);
  EXPECT_TRUE(a->Selected());
  // Deleting items moves the focus without asking.
  a->Delete();
  EXPECT_EQ(t->ItemFocused(), b);
}

TEST(TreeFocus, DelayedNotificationOnlyForTheStillFocusedItem) {
  auto t = NewTree();
  Load(*t, {"a", "b"});
  int focused = 0;
  t->OnItemFocused = [&](TObject*) { ++focused; };
  t->ChangeFocus(t->Items().Item(0), false, true);
  EXPECT_EQ(focused, 0);
  auto* timer = static_cast<TManualTreeTimer*>(t->ChangeTimer());
  EXPECT_TRUE(timer->Enabled());
  EXPECT_EQ(timer->Interval(), 500u);
  t->ChangeFocus(t->Items().Item(1), false, false);
  EXPECT_EQ(focused, 1);
  timer->Fire();
  EXPECT_EQ(focused, 1);
}

// Sorting -------------------------------------------------------------

std::string SortedBy(TSortTypes type, TSortDirs dir, std::vector<std::string> lines) {
  auto t = NewTree();
  Load(*t, lines);
  t->SortType = type;
  t->SortDir = dir;
  t->Sort(true);
  return Outline(*t);
}

TEST(TreeSort, TypedKeys) {
  struct TCase {
    const char* name;
    TSortTypes type;
    TSortDirs dir;
    std::vector<std::string> lines;
    std::string expected;
  } cases[] = {
      {"number-missing-first", stNumber, sdAscend, {"10", "9", "x"}, "x 9 10"},
      {"number-descending-missing-last", stNumber, sdDescend, {"10", "x", "9"}, "10 9 x"},
      {"text-ordinal", stText, sdAscend, {"b", "B", "ab", "a"}, "B a ab b"},
      {"boolean-any-text-is-true", stBoolean, sdAscend, {"0", "", "False"}, "0 False"},
      {"floating", stFloating, sdAscend, {"2.5", "-1", "10"}, "-1 2.5 10"},
      {"date-time", stDateTime, sdAscend, {"1/2/2020 10:00:00 AM", "1/1/2020", "junk"},
       "junk 1/1/2020 1/2/2020 10:00:00 AM"},
      {"date-ties-keep-creation-order", stDate, sdAscend,
       {"3/1/2021 11:00:00 PM", "3/1/2021 1:00:00 AM"}, "3/1/2021 11:00:00 PM 3/1/2021 1:00:00 AM"},
      {"time", stTime, sdAscend, {"3:00:00 PM", "1:00:00 AM", "x"}, "x 1:00:00 AM 3:00:00 PM"},
      {"equal-keys-creation-order", stText, sdAscend, {"k", "k", "a"}, "a k k"},
  };
  for (const auto& c : cases) EXPECT_EQ(SortedBy(c.type, c.dir, c.lines), c.expected) << c.name;
}

// Keys the sort makes itself (upper-cased texts, texts asked from the owner
// of a virtual tree) live for one sort: a second sort sees the texts of then.
TEST(TreeSort, TextKeysMadeForOneSort) {
  struct TCase {
    const char* name;
    bool virtualRows;
    bool useCase;
    std::string expected;
  } cases[] = {
      {"stored-ignoring-case", false, false, "a ab b B"},
      {"virtual-with-case", true, true, "B a ab b"},
      {"virtual-ignoring-case", true, false, "a ab b B"},
  };
  for (const auto& c : cases) {
    auto t = NewTree();
    std::vector<std::wstring> texts{L"b", L"B", L"ab", L"a"};
    if (c.virtualRows) {
      t->SetVirtualityLevel(vlTextAndStyles);
      t->OnVirtualTextNeeded = [&](TObject*, TElTreeItem* it, int, TElFString& text) { text = texts[it->UserTag]; };
      for (int i = 0; i < 4; ++i) t->Items().AddLastChild(nullptr)->UserTag = i;
    } else {
      Load(*t, {"b", "B", "ab", "a"});
    }
    t->SetSortUseCase(c.useCase);
    t->Sort(true);
    EXPECT_EQ(Outline(*t), c.expected) << c.name;
    if (!c.virtualRows) continue;
    texts = {L"d", L"c", L"b", L"a"};
    t->SortDir = sdDescend;
    t->Sort(true);
    EXPECT_EQ(Outline(*t), "d c b a") << c.name << ", texts changed";
  }
}

TEST(TreeSort, EqualKeysFollowCreationOrderBothWays) {
  auto t = NewTree();
  Load(*t, {"k", "k"});
  TElTreeItem* first = t->Items().Item(0);
  t->SortDir = sdDescend;
  t->Sort(true);
  EXPECT_EQ(t->Items().Item(1), first);
  t->SortDir = sdAscend;
  t->Sort(true);
  EXPECT_EQ(t->Items().Item(0), first);
}

TEST(TreeSort, LevelsAndRecursion) {
  auto t = NewTree();
  Load(*t, {"only", "|z", "||z2", "||z1", "|y"});
  t->Sort(false);
  EXPECT_EQ(Outline(*t), "only .z ..z2 ..z1 .y");
  t->Sort(true);
  EXPECT_EQ(Outline(*t), "only .y .z ..z1 ..z2");
  ExpectConsistent(*t);
}

TEST(TreeSort, SectionsAndColumns) {
  auto t = NewTree();
  test::AddSections(*t, 3);
  t->SetShowColumns(true);
  Load(*t, {"1|b|2", "2|a|2", "3|a|1"});
  t->HeaderSections().GetSection(2)->SetFieldType(sftNumber);
  // A negative column means the main text, never an index below 0.
  t->SetSortSection(7);  // beyond the sections: the main text
  t->SortDir = sdDescend;
  t->Sort(true);
  EXPECT_EQ(Outline(*t), "3 2 1");
  t->SortDir = sdAscend;
  t->Sort(true);
  t->SetSortSection(-5);
  EXPECT_EQ(t->SortSection(), -1);
  t->SortDir = sdDescend;
  t->Sort(true);
  EXPECT_EQ(Outline(*t), "3 2 1");
  // Sort by column 1 with a further section: column 2 as numbers.
  t->SortDir = sdAscend;
  t->SetSortSection(1);
  t->AddSortSection(-1, false);  // no such section: nothing added
  EXPECT_TRUE(t->SortSections().empty());
  t->AddSortSection(2, false);
  t->Sort(true);
  EXPECT_EQ(Outline(*t), "3 2 1");
  // Sections freed by the header without a notice are never read again.
  t->HeaderSections().Clear();
  EXPECT_TRUE(t->SortSections().empty());
  t->Sort(true);
  ExpectConsistent(*t);
  // A reload that the header reports empties the list.
  test::AddSections(*t, 3);
  t->AddSortSection(2, false);
  t->HeaderSections().Clear();
  test::AddSections(*t, 3);
  t->HeaderSectionsReset();
  EXPECT_TRUE(t->SortSections().empty());
}

TEST(TreeSort, HeaderClickSortsAscendingThenDescending) {
  auto t = NewTree();
  test::AddSections(*t, 2);
  t->SetShowColumns(true);
  t->SetSortMode(smClick);
  Load(*t, {"1|b", "2|c", "3|a"});
  TElHeaderSection* s = t->HeaderSections().GetSection(1);
  t->HeaderSectionClick(s, false);
  EXPECT_EQ(Outline(*t), "3 1 2");
  t->HeaderSectionClick(s, false);
  EXPECT_EQ(Outline(*t), "2 1 3");
  EXPECT_EQ(t->SortDir, sdDescend);
}

TEST(TreeSort, FailingCompareLeavesTreeAndKeysSound) {
  auto t = NewTree();
  Load(*t, {"c", "|c1", "a", "b", "d"});
  t->SortType = stCustom;
  int calls = 0;
  t->OnCompareItems = [&](TObject*, TElTreeItem* x, TElTreeItem* y, int& res) {
    if (++calls == 3) throw Exception("compare failed");
    res = x->Text().compare(y->Text());
  };
  EXPECT_THROW(t->Sort(true), Exception);
  EXPECT_EQ(t->InSortCount(), 0);
  EXPECT_EQ(t->UpdateCount(), 0);
  ExpectConsistent(*t);
  // Keys were released: a later text sort sees the new texts.
  t->SortType = stText;
  t->Items().Item(0)->SetText(L"z");
  t->Sort(true);
  EXPECT_EQ(Main(t->Items().Item(t->Items().Count() - 2)), "z");
  ExpectConsistent(*t);
}

// A compare handler that made its keys at the sort's start finds them by the
// places the rows had then, on every level of the tree.
TEST(TreeSort, CompareEventKnowsWhereTheRowsStoodWhenTheSortBegan) {
  auto t = NewTree();
  Load(*t, {"c", "|c2", "||c22", "||c21", "|c1", "a", "b"});
  t->SortType = stCustom;
  std::vector<TElTreeItem*> atBegin;
  t->OnSortBegin = [&](TObject*) {
    atBegin.clear();
    for (int i = 0; i < t->AllItems().Count(); ++i) atBegin.push_back(static_cast<TElTreeItem*>(t->AllItems().List()[i]));
  };
  int compared = 0, misplaced = 0;
  t->OnCompareItems = [&](TObject*, TElTreeItem* x, TElTreeItem* y, int& res) {
    int p1 = -2, p2 = -2;
    t->ComparedPositions(p1, p2);
    ++compared;
    if (p1 < 0 || p2 < 0 || atBegin[static_cast<size_t>(p1)] != x || atBegin[static_cast<size_t>(p2)] != y)
      ++misplaced;
    res = x->Text().compare(y->Text());
  };
  for (TSortDirs dir : {sdAscend, sdDescend}) {
    t->SortDir = dir;
    t->Sort(true);
  }
  EXPECT_GT(compared, 0);
  EXPECT_EQ(misplaced, 0);
  EXPECT_EQ(Outline(*t), "c .c2 ..c22 ..c21 .c1 b a");
  // Outside a sort the places are unknown.
  int p1 = 0, p2 = 0;
  t->ComparedPositions(p1, p2);
  EXPECT_EQ(p1, -1);
  EXPECT_EQ(p2, -1);
  ExpectConsistent(*t);
}

TEST(TreeSort, LargeSortedInputKeepsStackShallow) {
  auto t = NewTree();
  TStringList sl;
  for (int i = 0; i < 100000; ++i) sl.Add(std::to_string(100000 + i));
  t->Items().LoadFromStrings(sl);
  t->SortType = stNumber;
  t->SortDir = sdDescend;
  t->Sort(true);
  EXPECT_EQ(Main(t->Items().Item(0)), "199999");
  EXPECT_EQ(Main(t->Items().Item(99999)), "100000");
}

}  // namespace
}  // namespace morvane
