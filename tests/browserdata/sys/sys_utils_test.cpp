// The system helpers; the deletion at restart writes the system's real list
// of files to delete at the next start, which other suites read too.
// ctest: lock=pending_renames
#include <gtest/gtest.h>

#include "browserdata/sys/qb_sys_utils.h"
#include "platform/core/exceptions.h"
#include "browserdata/sys/tell_user.h"
#include "support/test_env.h"

namespace morvane {
namespace {

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

TEST(SysRegistryPaths, SplitRegistryPath) {
  struct Case {
    const char* path;
    const char* key;
    const char* value;
  } cases[] = {
      {"Software\\X\\Y", "Software\\X\\", "Y"},
      {"Software\\X\\Y\\", "Software\\X\\", "Y"},
      {"\\SOFTWARE\\Quenbry\\QbMorvane\\Defaults\\Name", "\\SOFTWARE\\Quenbry\\QbMorvane\\Defaults\\", "Name"},
      {"Name", "", "Name"},
  };
  for (const Case& c : cases) {
    std::string key = "?", value = "?";
    SplitRegistryPath(c.path, key, value);
    EXPECT_EQ(key, c.key) << c.path;
    EXPECT_EQ(value, c.value) << c.path;
  }
}

// A value of our own under the current user, removed again afterwards.
class SysRegistryRead : public ::testing::Test {
 protected:
  void SetUp() override {
    key_ = "Software\\MorvaneTests\\Sys" + std::to_string(GetCurrentProcessId());
    HKEY h;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, key_.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &h, nullptr), 0);
    RegSetValueExA(h, "Y", 0, REG_SZ, reinterpret_cast<const BYTE*>("hello"), 6);
    DWORD n = 5;
    RegSetValueExA(h, "Number", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&n), sizeof n);
    RegCloseKey(h);
  }
  void TearDown() override { RegDeleteTreeA(HKEY_CURRENT_USER, key_.c_str()); }
  std::string key_;
};

TEST_F(SysRegistryRead, PathsWithAndWithoutRootPrefix) {
  struct Case {
    std::string path;
    const char* want;
  } cases[] = {
      {"HKCU\\" + key_ + "\\Y", "hello"},
      {"hkcu\\" + key_ + "\\Y", "hello"},
      // Without a root prefix the path is read whole under the current user,
      // not cut by five characters.
      {key_ + "\\Y", "hello"},
      {"\\" + key_ + "\\Y", "hello"},
      {"HKCU\\" + key_ + "\\Missing", "default"},
      {"HKCU\\" + key_ + "\\Number", "default"},
      {"HKLM\\" + key_ + "\\Y", "default"},
  };
  for (const Case& c : cases) {
    std::string v = "?";
    ReadRegistryPathString(c.path, "default", v);
    EXPECT_EQ(v, c.want) << c.path;
  }
  std::string dir;
  ReadRegistryPathString("HKLM\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList\\ProfilesDirectory", "",
                         dir);
  EXPECT_FALSE(dir.empty());
}

TEST(SysFolders, ProfileAndSpecialFolders) {
  std::vector<std::string> profiles = GetProfileFolders();
  ASSERT_FALSE(profiles.empty());
  for (const std::string& p : profiles) {
    EXPECT_EQ(p.back(), '\\');
    EXPECT_TRUE(Exists(p)) << p;
  }
  for (int csidl : {csidlAppData, csidlCookies, csidlHistory}) {
    std::string path;
    GetSpecialFolderPath(nullptr, csidl, path);
    EXPECT_GE(path.size(), 3u) << csidl;
    EXPECT_EQ(path.find('\0'), std::string::npos);
  }
  std::string path;
  try {
    GetSpecialFolderPath(nullptr, 0x7ff0, path);
    ADD_FAILURE() << "no exception";
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message(), "SHGetPathFromIDList failed : invalid pidl");
  }
}

TEST(SysFolders, ListFoldersGivesSubfoldersOnly) {
  test::TTempDir dir;
  CreateDirectoryA(dir.File("one").c_str(), nullptr);
  CreateDirectoryA(dir.File("two.d").c_str(), nullptr);
  CreateDirectoryA(dir.File("one\\deeper").c_str(), nullptr);
  dir.Write("file.txt", "x");
  std::vector<std::string> want = {dir.Path() + "\\one\\", dir.Path() + "\\two.d\\"};
  std::vector<std::string> got = ListFolders(dir.Path());
  std::sort(got.begin(), got.end());
  EXPECT_EQ(got, want);
  got = ListFolders(dir.Path() + "\\");
  std::sort(got.begin(), got.end());
  EXPECT_EQ(got, want);
  EXPECT_TRUE(ListFolders(dir.File("absent")).empty());
}

TEST(SysEnvironment, ExpandEnvVarsAndUserName) {
  SetEnvironmentVariableA("MORVANE_TEST_LONG", "a-value-longer-than-the-first-small-buffer");
  std::string r = "unchanged";
  ExpandEnvVars("[%MORVANE_TEST_LONG%]", r);
  EXPECT_EQ(r, "[a-value-longer-than-the-first-small-buffer]");
  ExpandEnvVars("no variables", r);
  EXPECT_EQ(r, "no variables");
  ExpandEnvVars("%MORVANE_TEST_UNSET%", r);
  EXPECT_EQ(r, "%MORVANE_TEST_UNSET%");
  SetEnvironmentVariableA("MORVANE_TEST_LONG", nullptr);

  std::string user;
  GetCurrentUserName(user);
  EXPECT_FALSE(user.empty());
}

TEST(SysFileDeletion, ByMaskAndAtRestart) {
  test::TTempDir dir;
  dir.Write("$TMP$_1", "a");
  dir.Write("$TMP$_2.txt", "b");
  dir.Write("keep.txt", "c");
  EXPECT_EQ(DeleteFilesByMask(dir.Path() + "\\$TMP$_*.*", false), 2);
  EXPECT_FALSE(Exists(dir.File("$TMP$_1")));
  EXPECT_FALSE(Exists(dir.File("$TMP$_2.txt")));
  EXPECT_TRUE(Exists(dir.File("keep.txt")));
  EXPECT_EQ(DeleteFilesByMask(dir.Path() + "\\nothing*.*", false), 0);

  // At restart: the file stays for now and is listed for the next start.
  const std::string later = dir.Write("index.dat", "x");
  EXPECT_TRUE(DeleteFileOrOnReboot(later, true));
  EXPECT_TRUE(Exists(later));
  const char* sm = "SYSTEM\\CurrentControlSet\\Control\\Session Manager";
  HKEY h;
  ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, sm, 0, KEY_READ | KEY_WRITE, &h), 0);
  DWORD type = 0, size = 0;
  RegQueryValueExA(h, "PendingFileRenameOperations", nullptr, &type, nullptr, &size);
  std::string pending(size, '\0');
  RegQueryValueExA(h, "PendingFileRenameOperations", nullptr, &type, reinterpret_cast<BYTE*>(pending.data()), &size);
  EXPECT_NE(pending.find("index.dat"), std::string::npos);
  // Take our entry out again so the next session start does not act on it.
  RegDeleteValueA(h, "PendingFileRenameOperations");
  RegCloseKey(h);
}

// The stand-in for systems without MoveFileEx.
TEST(SysFileDeletion, PoorManMoveFileEx) {
  test::TTempDir dir;
  const std::string a = dir.Write("a.txt", "A");
  // Delayed: an entry in the "rename" section of WININIT.INI.
  EXPECT_TRUE(PoorManMoveFileEx(a.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT));
  EXPECT_TRUE(PoorManMoveFileEx(a.c_str(), "", MOVEFILE_DELAY_UNTIL_REBOOT));
  char value[64] = {};
  GetPrivateProfileStringA("rename", a.c_str(), "", value, sizeof value, "WININIT.INI");
  EXPECT_STREQ(value, "NIL");
  WritePrivateProfileStringA("rename", a.c_str(), nullptr, "WININIT.INI");
  EXPECT_TRUE(Exists(a));

  // Now: copy, then delete the original.
  EXPECT_TRUE(PoorManMoveFileEx(a.c_str(), dir.File("b.txt").c_str(), 0));
  EXPECT_FALSE(Exists(a));
  EXPECT_EQ(test::ReadFileBytes(dir.File("b.txt")), "A");
  // A copy that fails keeps the original.
  EXPECT_FALSE(PoorManMoveFileEx(dir.File("b.txt").c_str(), dir.File("no\\such\\c.txt").c_str(), 0));
  EXPECT_TRUE(Exists(dir.File("b.txt")));
  // No new name: only the deletion.
  EXPECT_TRUE(PoorManMoveFileEx(dir.File("b.txt").c_str(), nullptr, 0));
  EXPECT_FALSE(Exists(dir.File("b.txt")));
}

TEST(SysFileDeletion, FailedMoveShowsTheSystemText) {
  std::vector<std::string> shown;
  TTellUserScope answer([&](const std::string& text) { shown.push_back(text); });
  test::TTempDir dir;
  EXPECT_FALSE(MoveFileExChecked(dir.File("missing").c_str(), dir.File("other").c_str(), 0));
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_FALSE(shown[0].empty());
}

TEST(SysFileTime, LocalDateTimeInTwoSecondSteps) {
  // Under TZ=UTC the local time is the UTC time.
  const uint64_t unixEpoch = 116444736000000000ull;
  auto ft = [&](int64_t unixSeconds) { return unixEpoch + static_cast<uint64_t>(unixSeconds) * 10000000ull; };
  EXPECT_EQ(FileTimeToDateTimeLocal(0), 0.0);
  // 2033-01-01 00:00:00 UTC
  EXPECT_DOUBLE_EQ(FileTimeToDateTimeLocal(ft(1988150400)), 48580.0);
  // 2001-09-09 01:46:41 (odd second) reads as 01:46:40
  EXPECT_DOUBLE_EQ(FileTimeToDateTimeLocal(ft(1000000001)), 37143.0 + (1 * 3600 + 46 * 60 + 40) / 86400.0);
  EXPECT_THROW(FileTimeToDateTimeLocal(ft(0)), EConvertError);             // 1970
  EXPECT_THROW(FileTimeToDateTimeLocal(ft(4354819200ll)), EConvertError);  // 2108
}

}  // namespace
}  // namespace morvane
