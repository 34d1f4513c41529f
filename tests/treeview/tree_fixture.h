// A tree without a window, with a few helpers to build and read it.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/core/classes.h"
#include "platform/core/sysutils.h"
#include "treeview/eltree.h"

namespace morvane::test {

inline std::unique_ptr<TElTree> NewTree() {
  auto t = std::make_unique<TElTree>(nullptr);
  t->HeadlessView()->Handle = true;  // rows on screen are built
  return t;
}

// Loads row lines ("|" stands for TAB).
inline void Load(TCustomElTree& t, const std::vector<std::string>& lines) {
  TStringList sl;
  for (std::string l : lines) {
    for (char& c : l)
      if (c == '|') c = '\t';
    sl.Add(l);
  }
  t.Items().LoadFromStrings(sl);
}

inline std::string Main(TElTreeItem* it) { return it ? WideToAnsi(it->Text()) : "<nil>"; }

// The main texts of the flat list, with a "." per level.
inline std::string Outline(const TCustomElTree& t) {
  std::string s;
  for (int i = 0; i < t.Items().Count(); ++i) {
    TElTreeItem* it = t.Items().Item(i);
    if (!s.empty()) s += ' ';
    s += std::string(it->Level(), '.') + Main(it);
  }
  return s;
}

inline void AddSections(TCustomElTree& t, int n) {
  for (int i = 0; i < n; ++i) t.HeaderSections().AddSection()->SetText(L"S" + std::to_wstring(i));
}

// Flat list, children lists, links and counters agree.
inline void ExpectConsistent(const TCustomElTree& t) {
  std::vector<TElTreeItem*> walk;
  std::vector<TElTreeItem*> stack{t.GetRootItem()};
  int hidden = 0;
  while (!stack.empty()) {
    TElTreeItem* it = stack.back();
    stack.pop_back();
    if (it != t.GetRootItem()) walk.push_back(it);
    if (it->Hidden()) ++hidden;
    for (int i = it->ChildCount() - 1; i >= 0; --i) {
      TElTreeItem* c = it->Child(i);
      ASSERT_EQ(c->RawParent(), it);
      ASSERT_EQ(c->Root(), t.GetRootItem());
      ASSERT_EQ(c->Owner(), &t);
      ASSERT_EQ(c->Index(), i);
      stack.push_back(c);
    }
    if (it->ChildCount() == 0) ASSERT_EQ(it->FirstChild(), nullptr);
  }
  ASSERT_EQ(static_cast<int>(walk.size()), t.Items().Count());
  for (size_t i = 0; i < walk.size(); ++i) {
    ASSERT_EQ(t.Items().Item(static_cast<int>(i)), walk[i]) << "flat position " << i;
    ASSERT_EQ(walk[i]->AbsIndex(), static_cast<int>(i));
  }
  EXPECT_EQ(t.HiddenCount(), hidden);
  if (t.SelectedItems()) {
    int selected = 0;
    for (TElTreeItem* it : walk) selected += it->Selected();
    EXPECT_EQ(t.SelectedItems()->Count(), selected);
  }
  if (t.ItemFocused()) EXPECT_GE(t.ItemFocused()->AbsIndex(), 0);
  if (t.AnchorItem()) EXPECT_GE(t.AnchorItem()->AbsIndex(), 0);
}

}  // namespace morvane::test
