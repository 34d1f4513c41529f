#include "platform/core/registry.h"

#include "platform/core/classes.h"
#include "platform/core/exceptions.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <string>
#include <vector>

namespace morvane {
namespace {

std::vector<std::string> Items(const TStrings& l) {
  std::vector<std::string> v;
  for (int i = 0; i < l.Count(); ++i) v.push_back(l.Strings(i));
  std::sort(v.begin(), v.end());
  return v;
}

// Each test works below its own key in the throwaway prefix and removes it.
class RegistryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    base_ = "Software\\MorvaneTests\\" +
            std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()) + "_" +
            std::to_string(::GetCurrentProcessId());
  }
  void TearDown() override {
    TRegistry r;
    r.DeleteKey("\\" + base_);
    EXPECT_FALSE(r.KeyExists("\\" + base_));
  }
  std::string base_;
};

TEST_F(RegistryTest, ValuesRoundTripWithTheirTypes) {
  {
    TRegistry r;
    EXPECT_EQ(r.RootKey(), HKEY_CURRENT_USER);
    ASSERT_TRUE(r.OpenKey("\\" + base_ + "\\Props\\", true));
    r.WriteString("Name", "caf\xE9");
    r.WriteString("Empty", "");
    r.WriteInteger("Width", -5);
    r.WriteBool("Maximized", true);
    r.WriteBool("ViewToolbar", false);
  }
  TRegistry r;
  ASSERT_TRUE(r.OpenKeyReadOnly("\\" + base_ + "\\Props"));
  EXPECT_EQ(r.CurrentPath(), base_ + "\\Props");
  EXPECT_EQ(r.ReadString("Name"), "caf\xE9");
  EXPECT_EQ(r.ReadString("Empty"), "");
  EXPECT_EQ(r.ReadString("Missing"), "");
  EXPECT_EQ(r.ReadInteger("Width"), -5);
  EXPECT_TRUE(r.ReadBool("Maximized"));
  EXPECT_FALSE(r.ReadBool("ViewToolbar"));
  EXPECT_EQ(r.GetDataType("Maximized"), TRegDataType::rdInteger);
  EXPECT_TRUE(r.ValueExists("Empty"));
  EXPECT_FALSE(r.ValueExists("Missing"));

  // Missing or wrongly typed values raise; a string of the wrong type too.
  EXPECT_THROW(r.ReadInteger("Missing"), ERegistryException);
  EXPECT_THROW(r.ReadInteger("Name"), ERegistryException);
  EXPECT_THROW(r.ReadBool("Missing"), ERegistryException);
  EXPECT_THROW(r.ReadString("Width"), ERegistryException);
  // A read-only key refuses writes.
  EXPECT_THROW(r.WriteString("New", "x"), ERegistryException);

  TStringList names;
  r.GetValueNames(names);
  EXPECT_EQ(Items(names),
            (std::vector<std::string>{"Empty", "Maximized", "Name", "ViewToolbar", "Width"}));
}

TEST_F(RegistryTest, RelativeAndAbsolutePathsAndKeyDeletion) {
  TRegistry r;
  EXPECT_FALSE(r.OpenKey("\\" + base_, false));  // not there yet, not created
  ASSERT_TRUE(r.OpenKey("\\" + base_, true));
  // Without a leading backslash the path continues from the current key.
  ASSERT_TRUE(r.OpenKey("sites\\a.example.com", true));
  EXPECT_EQ(r.CurrentPath(), base_ + "\\sites\\a.example.com");
  r.WriteInteger("", 5);  // the default value
  ASSERT_TRUE(r.OpenKey("\\" + base_ + "\\sites\\b.example.com\\deeper", true));
  r.WriteString("x", "y");

  ASSERT_TRUE(r.OpenKeyReadOnly("\\" + base_ + "\\sites"));
  EXPECT_TRUE(r.HasSubKeys());
  EXPECT_TRUE(r.KeyExists("a.example.com"));
  EXPECT_TRUE(r.KeyExists("\\" + base_ + "\\sites\\b.example.com"));
  EXPECT_FALSE(r.KeyExists("c.example.com"));
  TStringList keys;
  r.GetKeyNames(keys);
  EXPECT_EQ(Items(keys), (std::vector<std::string>{"a.example.com", "b.example.com"}));

  ASSERT_TRUE(r.OpenKeyReadOnly("a.example.com"));
  EXPECT_EQ(r.ReadInteger(""), 5);

  // A key with subkeys goes with everything below it.
  r.CloseKey();
  EXPECT_EQ(r.CurrentKey(), nullptr);
  EXPECT_TRUE(r.DeleteKey("\\" + base_ + "\\sites\\b.example.com"));
  EXPECT_FALSE(r.KeyExists("\\" + base_ + "\\sites\\b.example.com"));
  EXPECT_FALSE(r.DeleteKey("\\" + base_ + "\\sites\\b.example.com"));

  ASSERT_TRUE(r.OpenKey("\\" + base_ + "\\sites\\a.example.com", false));
  EXPECT_TRUE(r.DeleteValue(""));
  EXPECT_FALSE(r.DeleteValue(""));
  EXPECT_THROW(r.ReadInteger(""), ERegistryException);
}

TEST_F(RegistryTest, ReadOnlyOpeningOfTheLocalMachine) {
  TRegistry r;
  r.SetRootKey(HKEY_LOCAL_MACHINE);
  EXPECT_TRUE(r.OpenKeyReadOnly("\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion"));
  EXPECT_FALSE(r.OpenKeyReadOnly("\\SOFTWARE\\MorvaneTests\\NoSuchKey"));
  // A failed open keeps the key that was open.
  EXPECT_EQ(r.CurrentPath(), "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion");
  r.SetRootKey(HKEY_CURRENT_USER);
  EXPECT_EQ(r.CurrentKey(), nullptr);
}

}  // namespace
}  // namespace morvane
