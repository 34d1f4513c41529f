// ctest: lock=registry_qbmorvane
#include "browserdata/settings/persitent_properties.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/core/registry.h"
#include "platform/win32.h"

namespace morvane {
namespace {

const std::string kRoot = "\\SOFTWARE\\Quenbry\\QbMorvane\\Props";

class PropertyStore : public ::testing::Test {
 protected:
  void SetUp() override { Wipe(); }
  void TearDown() override { Wipe(); }
  static void Wipe() {
    TRegistry reg;
    reg.DeleteKey(kRoot);
  }
  static void WriteInt(const char* name, int v) {
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey(kRoot, true));
    reg.WriteInteger(name, v);
  }
  static void WriteBool(const char* name, bool v) {
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey(kRoot, true));
    reg.WriteBool(name, v);
  }
  static void WriteString(const std::string& key, const char* name, const std::string& v) {
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey(kRoot + "\\" + key, true));
    reg.WriteString(name, v);
  }
  static std::string ReadString(const std::string& key, const char* name) {
    TRegistry reg;
    if (!reg.OpenKeyReadOnly(kRoot + "\\" + key)) return "(no key)";
    if (!reg.ValueExists(name)) return "(no value)";
    return reg.ReadString(name);
  }
};

TEST_F(PropertyStore, FirstStartCentresEightyPercent) {
  TPersitentProperties p(1000, 700);
  EXPECT_EQ(p.Width, 800);
  EXPECT_EQ(p.Height, 560);
  EXPECT_EQ(p.Left, 100);
  EXPECT_EQ(p.Top, 70);
  EXPECT_FALSE(p.Maximized);
  EXPECT_TRUE(p.ViewToolbar);
  EXPECT_TRUE(p.ViewStatusbar);
  std::string v = "x";
  p.GetProperty("anything", v);
  EXPECT_EQ(v, "");
}

TEST_F(PropertyStore, StoredRectangleIsClampedToTheScreen) {
  WriteInt("Width", 50);
  WriteInt("Left", 5000);
  WriteInt("Top", -20);
  WriteInt("Height", 100000);
  TPersitentProperties p(1024, 768);
  EXPECT_EQ(p.Width, 100);
  EXPECT_EQ(p.Left, 1024 - 150);
  EXPECT_EQ(p.Top, 0);
  EXPECT_EQ(p.Height, 768);
}

TEST_F(PropertyStore, AMissingFlagStopsTheReadingOfTheLaterOnes) {
  WriteBool("Maximized", true);
  WriteBool("ViewStatusbar", false);
  {
    TPersitentProperties p(1024, 768);
    EXPECT_TRUE(p.ViewToolbar);
    EXPECT_FALSE(p.Maximized);
    EXPECT_TRUE(p.ViewStatusbar);
  }
  WriteBool("ViewToolbar", false);
  TPersitentProperties p(1024, 768);
  EXPECT_FALSE(p.ViewToolbar);
  EXPECT_TRUE(p.Maximized);
  EXPECT_FALSE(p.ViewStatusbar);
}

TEST_F(PropertyStore, ArraysAndNamedValuesRoundTrip) {
  {
    TPersitentProperties p(1024, 768);
    p.SetArrayItem("ManuallyEnteredProfiles", 3, "d");
    EXPECT_EQ(p.GetArrayCount("manuallyenteredprofiles"), 4);
    p.SetProperty("checkForUpdates", "-1");
    p.SetProperty("FontSize", "8");
    p.SetProperty("fontsize", "10");  // replaces, whatever the case
    p.Save(TSavedWindowState{true, false, 10, 20, 300, 400});
  }
  EXPECT_EQ(ReadString("UserDefinedArrays", "ManuallyEnteredProfiles"), "!@~!@~!@~d!@~");
  EXPECT_EQ(ReadString("UserDefined", "FONTSIZE"), "10");

  TPersitentProperties p(1024, 768);
  std::string v;
  p.GetProperty("CheckForUpdates", v);
  EXPECT_EQ(v, "-1");
  p.GetArrayItem("MANUALLYENTEREDPROFILES", 3, v);
  EXPECT_EQ(v, "d");
  p.GetArrayItem("MANUALLYENTEREDPROFILES", 0, v);
  EXPECT_EQ(v, "");
  p.GetArrayItem("MANUALLYENTEREDPROFILES", 9, v);
  EXPECT_EQ(v, "");
  p.GetArrayItem("MANUALLYENTEREDPROFILES", -1, v);
  EXPECT_EQ(v, "");
  EXPECT_EQ(p.Left, 10);
  EXPECT_EQ(p.Top, 20);
  EXPECT_EQ(p.Width, 300);
  EXPECT_EQ(p.Height, 400);
}

TEST_F(PropertyStore, StoredArrayDropsTextAfterTheLastTerminator) {
  WriteString("UserDefinedArrays", "Paths", "a!@~b");
  WriteString("UserDefinedArrays", "Empty", "");
  WriteString("UserDefinedArrays", "Gap", "x!@~!@~y!@~");
  TPersitentProperties p(1024, 768);
  EXPECT_EQ(p.GetArrayCount("paths"), 1);
  std::string v;
  p.GetArrayItem("paths", 0, v);
  EXPECT_EQ(v, "a");
  EXPECT_EQ(p.GetArrayCount("Empty"), 0);
  EXPECT_EQ(p.GetArrayCount("gap"), 3);
  p.GetArrayItem("gap", 1, v);
  EXPECT_EQ(v, "");
}

TEST_F(PropertyStore, MaximizedSaveKeepsTheLastNormalRectangle) {
  {
    TPersitentProperties p(1024, 768);
    p.Save(TSavedWindowState{true, false, 11, 22, 333, 444});
  }
  {
    TPersitentProperties p(1024, 768);
    p.Save(TSavedWindowState{false, true, 0, 0, 1024, 768});
  }
  TPersitentProperties p(1024, 768);
  EXPECT_TRUE(p.Maximized);
  EXPECT_EQ(p.Left, 11);
  EXPECT_EQ(p.Width, 333);
}

TEST_F(PropertyStore, DeleteArrayRemovesItFromTheRegistryAtOnce) {
  WriteString("UserDefinedArrays", "ManuallyEnteredIEProfilePaths", "C:\\x\\!@~");
  TPersitentProperties p(1024, 768);
  p.DeleteArray("MANUALLYENTEREDIEPROFILEPATHS");
  EXPECT_EQ(p.GetArrayCount("ManuallyEnteredIEProfilePaths"), 0);
  EXPECT_EQ(ReadString("UserDefinedArrays", "ManuallyEnteredIEProfilePaths"), "(no value)");
}

}  // namespace
}  // namespace morvane
