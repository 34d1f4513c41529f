#include "controls/ellist.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace morvane {
namespace {

// An owned item that records its own destruction.
struct TTracked : TObject {
  explicit TTracked(std::vector<std::string>* log, std::string name) : log_(log), name_(std::move(name)) {}
  ~TTracked() override { log_->push_back("free " + name_); }
  std::vector<std::string>* log_;
  std::string name_;
};

void* P(intptr_t v) { return reinterpret_cast<void*>(v); }

std::string Letters(const TElList& l) {
  std::string s;
  for (int i = 0; i < l.Count(); ++i) s += static_cast<char>(reinterpret_cast<intptr_t>(l.Get(i)));
  return s;
}

TElList* ListOf(const std::string& letters) {
  auto* l = new TElList;
  for (char c : letters) l->Add(P(c));
  return l;
}

template <class F>
std::string ErrorOf(F f) {
  try {
    f();
  } catch (const EElListError& e) {
    return e.Message();
  }
  return "no error";
}

TEST(ElList, GrowsBy2nPlus1AndHalvesOnSparseDelete) {
  TElList l;
  std::vector<int> caps;
  for (int i = 0; i < 41; ++i) {
    l.Add(P(i + 1));
    if (caps.empty() || caps.back() != l.Capacity()) caps.push_back(l.Capacity());
  }
  EXPECT_EQ(caps, (std::vector<int>{1, 4, 13, 40, 121}));
  TElList m;
  m.SetCount(40);
  ASSERT_EQ(m.Capacity(), 40);
  while (m.Count() > 19) m.Delete(0);
  EXPECT_EQ(m.Capacity(), 20);
  m.Delete(0);
  EXPECT_EQ(m.Capacity(), 20);  // 18 is not below 10
  // The step is capped at 1,280 slots.
  TElList big;
  big.SetCount(1000);
  big.SetCapacity(1000);
  big.Add(nullptr);
  EXPECT_EQ(big.Capacity(), 2280);
}

TEST(ElList, RangeErrorsCarryTheOffendingValue) {
  std::unique_ptr<TElList> l(ListOf("abc"));
  struct Case {
    const char* name;
    std::function<void()> call;
    const char* value;
  } cases[] = {
      {"get", [&] { l->Get(3); }, "3"},
      {"insert past end", [&] { l->Insert(4, nullptr); }, "4"},
      {"delete negative", [&] { l->Delete(-1); }, "-1"},
      {"delete range inverted", [&] { l->DeleteRange(2, 1); }, "1"},
      {"index of from", [&] { l->IndexOfFrom(5, nullptr); }, "5"},
      {"capacity below count", [&] { l->SetCapacity(2); }, "2"},
      {"count too large", [&] { l->SetCount(0x8000000); }, "134217728"},
      {"move range into itself", [&] { l->MoveRange(0, 1, 1); }, "1"},
      {"move range inverted", [&] { l->MoveRange(2, 0, 1); }, "0"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ErrorOf(c.call), std::string("List index [") + c.value + "] out of bounds...") << c.name;
    EXPECT_EQ(Letters(*l), "abc") << c.name;
  }
  TElList empty;
  EXPECT_EQ(ErrorOf([&] { empty.First(); }), "List index [0] out of bounds...");
  EXPECT_EQ(empty.Last(), nullptr);
  EXPECT_EQ(empty.List(), nullptr);
}

TEST(ElList, MoveAndMoveRange) {
  struct Case {
    int cur, end, newStart;
    const char* result;
  } cases[] = {
      {1, 2, 4, "adbcef"},
      {3, 4, 1, "adebcf"},
      {0, 0, 5, "bcdeaf"},
      {4, 5, 0, "efabcd"},
      {2, 2, 2, "abcdef"},
  };
  for (const auto& c : cases) {
    std::unique_ptr<TElList> l(ListOf("abcdef"));
    l->MoveRange(c.cur, c.end, c.newStart);
    EXPECT_EQ(Letters(*l), c.result) << c.cur << "," << c.end << "," << c.newStart;
  }
  std::unique_ptr<TElList> l(ListOf("abcdef"));
  l->Move(1, 4);
  EXPECT_EQ(Letters(*l), "acdebf");
  l->Move(4, 0);
  EXPECT_EQ(Letters(*l), "bacdef");
}

TEST(ElList, OwnershipAndNotifications) {
  std::vector<std::string> log;
  TElList l;
  l.SetAutoFreeItems(true);
  l.OnItemDelete = [&](TObject*, void* item) {
    log.push_back(item ? "notify " + static_cast<TTracked*>(static_cast<TObject*>(item))->name_ : "notify nil");
  };
  auto add = [&](const char* n) { return l.Add(static_cast<TObject*>(new TTracked(&log, n))); };
  add("a");
  add("b");
  add("c");
  add("d");
  l.Add(nullptr);

  l.Delete(0);  // frees
  EXPECT_EQ(log, (std::vector<std::string>{"notify a", "free a"}));
  log.clear();
  void* b = l.Get(0);
  EXPECT_EQ(l.Remove(b), 0);  // only notifies
  EXPECT_EQ(l.Remove(b), -1);
  EXPECT_EQ(log, (std::vector<std::string>{"notify b"}));
  delete static_cast<TObject*>(b);
  log.clear();

  // Storing the item that is already in the slot keeps it alive.
  l.Put(0, l.Get(0));
  EXPECT_TRUE(log.empty());
  l.Put(2, static_cast<TObject*>(new TTracked(&log, "e")));  // slot 2 was nil: no notice
  EXPECT_TRUE(log.empty());
  l.Put(0, nullptr);
  EXPECT_EQ(log, (std::vector<std::string>{"notify c", "free c"}));
  log.clear();

  l.Clear();  // notifies nil slots too, then frees
  EXPECT_EQ(log, (std::vector<std::string>{"notify nil", "notify d", "notify e", "free d", "free e"}));
  EXPECT_EQ(l.Capacity(), 0);
}

TEST(ElList, RangeDeleteAndShrinkingCountNeverFree) {
  std::vector<std::string> log;
  std::vector<TTracked*> items;
  TElList l;
  l.SetAutoFreeItems(true);
  int notices = 0;
  l.OnItemDelete = [&](TObject*, void*) { ++notices; };
  for (const char* n : {"a", "b", "c", "d"}) {
    items.push_back(new TTracked(&log, n));
    l.Add(static_cast<TObject*>(items.back()));
  }
  l.DeleteRange(1, 2);
  EXPECT_EQ(notices, 2);
  EXPECT_EQ(l.Count(), 2);
  l.SetCount(0);
  EXPECT_EQ(notices, 2);
  EXPECT_TRUE(log.empty());
  l.SetCount(2);  // the slots come back empty
  EXPECT_EQ(l.Get(0), nullptr);
  EXPECT_EQ(l.Get(1), nullptr);
  for (auto* t : items) delete t;
}

TEST(ElList, AssignCopiesPointersAndIgnoresSelf) {
  std::vector<std::string> log;
  TElList owner;
  owner.SetAutoFreeItems(true);
  owner.Add(static_cast<TObject*>(new TTracked(&log, "x")));
  owner.Add(static_cast<TObject*>(new TTracked(&log, "y")));
  owner.Assign(&owner);
  EXPECT_EQ(owner.Count(), 2);
  EXPECT_TRUE(log.empty());

  TElList copy;
  copy.Assign(&owner);
  EXPECT_EQ(copy.Count(), 2);
  EXPECT_EQ(copy.Get(1), owner.Get(1));
  EXPECT_FALSE(copy.AutoFreeItems());
  EXPECT_THROW(copy.Assign(nullptr), EAssignError);
}

TEST(ElStack, GrowsAndShrinksAndReportsMisuse) {
  TElStack s;
  std::vector<int> caps;
  for (int i = 0; i < 13; ++i) {
    s.Push(P(i + 1));
    if (caps.empty() || caps.back() != s.Capacity()) caps.push_back(s.Capacity());
  }
  EXPECT_EQ(caps, (std::vector<int>{4, 8, 12, 28}));
  EXPECT_EQ(s.Pop(), P(13));  // 12 < 28 / 2
  EXPECT_EQ(s.Capacity(), 14);
  for (int i = 0; i < 5; ++i) s.Pop();
  EXPECT_EQ(s.Capacity(), 14);  // 7 is not below 7
  s.Pop();
  EXPECT_EQ(s.Capacity(), 7);
  while (s.Count()) s.Pop();
  try {
    s.Pop();
    FAIL();
  } catch (const EElStackError& e) {
    EXPECT_EQ(e.Message(), "ElStack is empty.");
  }
  s.Push(P(1));
  s.Push(P(2));
  try {
    s.SetCapacity(1);
    FAIL();
  } catch (const EElStackError& e) {
    EXPECT_EQ(e.Message(), "Invalid ElStack capacity.");
  }
}

}  // namespace
}  // namespace morvane
