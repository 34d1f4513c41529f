// A string list that owns its objects frees each exactly once, whatever
// takes it out.
#include "platform/core/owned_objects.h"

#include <gtest/gtest.h>

#include "platform/core/exceptions.h"

namespace morvane {
namespace {

struct TCounted : TObject {
  explicit TCounted(int& freed) : freed_(freed) {}
  ~TCounted() override { ++freed_; }
  int& freed_;
};

TEST(OwningStringList, FreesWhatLeavesIt) {
  int freed = 0;
  {
    TOwningStringList list;
    list.SetSorted(true);
    list.SetDuplicates(dupIgnore);
    list.AddObject("a", new TCounted(freed));
    list.AddObject("b", new TCounted(freed));
    list.AddObject("c", new TCounted(freed));
    list.AddObject("b", new TCounted(freed));  // a duplicate the list keeps out
    EXPECT_EQ(freed, 1);
    list.Delete(list.IndexOf("a"));
    EXPECT_EQ(freed, 2);
    list.PutObject(0, new TCounted(freed));  // replaces b's object
    EXPECT_EQ(freed, 3);
    list.PutObject(0, list.GetObject(0));  // the same object stays
    EXPECT_EQ(freed, 3);
    list.SetDuplicates(dupError);
    EXPECT_THROW(list.AddObject("c", new TCounted(freed)), Exception);
    EXPECT_EQ(freed, 4);
    ASSERT_EQ(list.Count(), 2);
  }
  EXPECT_EQ(freed, 6);  // the two left go with the list
  TOwningStringList cleared;
  cleared.AddObject("x", new TCounted(freed));
  cleared.Clear();
  EXPECT_EQ(freed, 7);
}

}  // namespace
}  // namespace morvane
