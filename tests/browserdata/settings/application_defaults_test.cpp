// ctest: lock=registry_qbmorvane
#include "browserdata/settings/application_defaults.h"

#include <gtest/gtest.h>

#include "platform/core/files.h"
#include "platform/core/registry.h"
#include "platform/win32.h"
#include "support/test_env.h"

namespace morvane {
namespace {

class DefaultsImport : public ::testing::Test {
 protected:
  void SetUp() override { Wipe(); }
  void TearDown() override {
    DoneApplicationDefaults();
    Wipe();
  }
  static void Wipe() {
    TRegistry reg;
    reg.DeleteKey(kDefaultsKey);
  }
  static std::string Stored(const char* name) {
    TRegistry reg;
    if (!reg.OpenKeyReadOnly(kDefaultsKey) || !reg.ValueExists(name)) return "(none)";
    return reg.ReadString(name);
  }
  test::TTempDir dir;
};

TEST_F(DefaultsImport, FileIsImportedWithBuiltInDefaultsAndDeleted) {
  const std::string program = dir.File("Morvane.exe");
  const std::string ini = dir.Write("Morvane-Defaults.ini", "[Defaults]\r\nAppName=Cookie Keeper\r\n");
  EXPECT_EQ(DefaultsFileName(program), ini);
  InitApplicationDefaults(program);
  EXPECT_EQ(AppName, "Cookie Keeper");
  EXPECT_EQ(SupportEmail, kDefaultSupportEmail);
  EXPECT_EQ(Stored("AppName"), "Cookie Keeper");
  EXPECT_EQ(Stored("SupportEmail"), kDefaultSupportEmail);
  EXPECT_EQ(Stored("ProductURL"), kDefaultProductURL);
  EXPECT_FALSE(FileExists(ini));

  // A later start reads the registry.
  DoneApplicationDefaults();
  EXPECT_EQ(AppName, "");
  InitApplicationDefaults(program);
  EXPECT_EQ(AppName, "Cookie Keeper");
}

TEST_F(DefaultsImport, NoFileAndNoKeyGivesBuiltInsAndWritesNothing) {
  InitApplicationDefaults(dir.File("Morvane.exe"));
  EXPECT_EQ(AppName, kDefaultAppName);
  EXPECT_EQ(ProductURL, kDefaultProductURL);
  EXPECT_EQ(Stored("AppName"), "(none)");
}

TEST_F(DefaultsImport, FileReplacesExistingRegistryValues) {
  {
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey(kDefaultsKey, true));
    reg.WriteString("AppName", "Old");
    reg.WriteString("ProductURL", "http://old.example/");
  }
  const std::string program = dir.File("Morvane.exe");
  dir.Write("Morvane-Defaults.ini", "[Defaults]\r\nSupportEmail=help@example.org\r\n");
  InitApplicationDefaults(program);
  EXPECT_EQ(Stored("AppName"), kDefaultAppName);
  EXPECT_EQ(Stored("ProductURL"), kDefaultProductURL);
  EXPECT_EQ(Stored("SupportEmail"), "help@example.org");
}

TEST_F(DefaultsImport, FileStaysWhenTheRegistryCannotTakeIt) {
  // Under a volatile key no lasting subkey can be made, so the import fails.
  {
    TRegistry reg;
    reg.DeleteKey("\\SOFTWARE\\Quenbry\\QbMorvane");
  }
  HKEY parent = nullptr;
  ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "SOFTWARE\\Quenbry\\QbMorvane", 0, nullptr, REG_OPTION_VOLATILE,
                            KEY_ALL_ACCESS, nullptr, &parent, nullptr),
            ERROR_SUCCESS);
  RegCloseKey(parent);
  const std::string program = dir.File("Morvane.exe");
  const std::string ini = dir.Write("Morvane-Defaults.ini", "[Defaults]\r\nAppName=Kept\r\n");
  InitApplicationDefaults(program);
  EXPECT_EQ(AppName, "Kept");
  EXPECT_TRUE(FileExists(ini)) << "the distributor's file must survive a failed import";
  TRegistry reg;
  reg.DeleteKey("\\SOFTWARE\\Quenbry\\QbMorvane");
}

}  // namespace
}  // namespace morvane
