// Finding Netscape/Mozilla and Firefox profiles in an application-data folder.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "browserdata/netscape/mozilla_cookies.h"
#include "browserdata/netscape/mozilla_registry.h"
#include "browserdata/netscape/reg_builder.h"
#include "platform/core/files.h"
#include "browserdata/sys/tell_user.h"
#include "platform/win32.h"
#include "support/test_env.h"

namespace morvane {
namespace {

using test::TRegBuilder;
using test::TTempDir;

std::string MakeDir(const std::string& path) {
  CreateDirectoryA(path.c_str(), nullptr);
  return path;
}

void PutFile(const std::string& path, const std::string& bytes) {
  HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(h, INVALID_HANDLE_VALUE) << path;
  DWORD n = 0;
  ::WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &n, nullptr);
  CloseHandle(h);
}

// Registry.dat naming the profiles (name, folder) with CurrentProfile.
std::string Registry(const std::vector<std::pair<std::string, std::string>>& profiles, bool cycle = false) {
  TRegBuilder b;
  const uint32_t root = b.Key("/"), common = b.Key("Common"), prof = b.Key("profiles");
  b.Child(root, common);
  b.Child(common, prof);
  b.FirstValue(prof, b.Value("CurrentProfile", profiles.empty() ? "" : profiles[0].first));
  uint32_t prev = 0, first = 0;
  for (const auto& [name, dir] : profiles) {
    const uint32_t k = b.Key(name);
    b.FirstValue(k, b.Value("directory", dir));
    if (prev)
      b.Next(prev, k);
    else
      first = k;
    prev = k;
  }
  b.Child(prof, first);
  if (cycle && prev) b.Next(prev, first);
  return b.Bytes(root);
}

size_t CountFiles(const std::string& mask) {
  size_t n = 0;
  WIN32_FIND_DATAA fd;
  HANDLE h = FindFirstFileA(mask.c_str(), &fd);
  if (h == INVALID_HANDLE_VALUE) return 0;
  do ++n;
  while (FindNextFileA(h, &fd));
  ::FindClose(h);
  return n;
}

TEST(MozillaDiscovery, NetscapeProfilesFromRegistryDat) {
  TTempDir appData, profiles, copies;
  const std::string alice = MakeDir(profiles.File("alice.slt"));
  const std::string bob = MakeDir(profiles.File("bob.slt"));
  PutFile(alice + "\\cookies.txt", "# h\na.test\tTRUE\t/\tFALSE\t0\tn\tv\n");
  PutFile(bob + "\\cookperm.txt", "b.test\t0F\n");
  MakeDir(appData.File("Mozilla"));
  PutFile(appData.File("Mozilla\\Registry.dat"), Registry({{"alice", alice}, {"bob", bob}}, true));
  PutFile(copies.File("qbM1A2B.tmp"), "left over from an earlier run");

  // The program's folder cannot take the copy: the next folder does.
  QbMozillaCookiesClass store(0, appData.Path(), {profiles.File("no-such-folder"), copies.Path()});
  ASSERT_NE(store.GetProfiles(), nullptr);
  ASSERT_EQ(store.GetProfiles()->Count(), 2);
  EXPECT_EQ(store.GetProfiles()->Strings(0), "Netscape/Mozilla: alice");
  EXPECT_EQ(store.GetProfiles()->Strings(1), "Netscape/Mozilla: bob");
  EXPECT_EQ(store.CurrentProfile, "alice");
  ASSERT_EQ(store.ProfileDirs.Count(), 2);
  EXPECT_EQ(store.ProfileDirs.Strings(0), alice);
  EXPECT_EQ(store.ProfileDirs.Strings(1), bob);
  EXPECT_EQ(store.Profile(0)->BrowserLabel, "Netscape/Mozilla");
  EXPECT_EQ(store.Profile(0)->Cookies.size(), 1u);
  EXPECT_EQ(store.Profile(1)->Permissions->GetFormat(), 0);
  EXPECT_EQ(store.GetBlockedHosts("Netscape/Mozilla: bob")->Count(), 1);
  EXPECT_EQ(CountFiles(copies.File("qbM*.tmp")), 0u);  // the copy and the leftover are gone
}

TEST(MozillaDiscovery, NoRegistryNoProfiles) {
  TTempDir appData, copies;
  QbMozillaCookiesClass none(0, appData.Path(), {copies.Path()});
  EXPECT_EQ(none.GetProfiles(), nullptr);
  MakeDir(appData.File("Mozilla"));
  PutFile(appData.File("Mozilla\\Registry.dat"), "not a registry at all, just text");
  QbMozillaCookiesClass bad(0, appData.Path(), {copies.Path()});
  EXPECT_EQ(bad.GetProfiles(), nullptr);
}

TEST(MozillaDiscovery, RegistryReaderWorksOnACopy) {
  TTempDir appData, copies;
  MakeDir(appData.File("Mozilla"));
  PutFile(appData.File("Mozilla\\Registry.dat"), Registry({{"x", "C:\\x"}}));
  std::vector<std::string> shown;
  TTellUserScope answer([&](const std::string& text) { shown.push_back(text); });
  std::string copy;
  {
    QbMozillaRegistry reg(appData.Path(), {copies.Path()});
    copy = reg.CopyPath();
    EXPECT_EQ(copy.rfind(copies.Path() + "\\qbM", 0), 0u) << copy;
    EXPECT_TRUE(FileExists(copy));
    reg.SelectKey("Common/nothing/profiles");
    EXPECT_TRUE(reg.GetSubkeyNames().empty());
    std::string v = "kept";
    reg.GetValue("CurrentProfile", v);
    EXPECT_EQ(v, "kept");
    reg.SelectKey("common/PROFILES/x");
    reg.GetValue("Directory", v);
    EXPECT_EQ(v, "C:\\x");
  }
  EXPECT_FALSE(FileExists(copy));
  EXPECT_TRUE(shown.empty());
}

// A node of an unexpected type is said once, however many the file has.
TEST(MozillaDiscovery, UnexpectedNodeTypesAreShownOnce) {
  TTempDir appData, copies;
  MakeDir(appData.File("Mozilla"));
  TRegBuilder b;
  const uint32_t root = b.Key("/"), common = b.Key("Common"), prof = b.Key("profiles");
  b.Child(root, common);
  b.Child(common, prof);
  uint32_t prev = 0;
  for (int i = 0; i < 50; ++i) {
    const uint32_t k = b.Key("odd" + std::to_string(i));
    b.Put16(k + 10, 9);
    if (prev) b.Next(prev, k); else b.Child(prof, k);
    prev = k;
  }
  PutFile(appData.File("Mozilla\\Registry.dat"), b.Bytes(root));
  std::vector<std::string> shown;
  TTellUserScope answer([&](const std::string& text) { shown.push_back(text); });
  QbMozillaCookiesClass store(0, appData.Path(), {copies.Path()});
  EXPECT_EQ(shown, std::vector<std::string>{"?"});
}

TEST(MozillaDiscovery, FirefoxProfilesFromProfilesIni) {
  TTempDir appData;
  const std::string ff = MakeDir(MakeDir(MakeDir(appData.File("Mozilla")) + "\\FireFox") + "\\Profiles");
  const std::string one = MakeDir(ff + "\\one.default");
  PutFile(one + "\\cookies.txt", "# h\na.test\tTRUE\t/\tFALSE\t0\tn\tv\n");
  MakeDir(ff + "\\two.default");
  PutFile(appData.File("Mozilla\\FireFox\\profiles.ini"),
            "[General]\nStartWithLastProfile=1\n\n"
            "[Profile0]\nName=default\nIsRelative=1\nPath=Profiles/one.default\n\n"
            "[Profile1]\nName=default\nIsRelative=1\nPath=Profiles/two.default\n\n"
            "[Profile3]\nName=after-gap\nIsRelative=1\nPath=Profiles/one.default\n");
  QbMozillaCookiesClass store(1, appData.Path(), {});
  ASSERT_NE(store.GetProfiles(), nullptr);
  ASSERT_EQ(store.GetProfiles()->Count(), 2);
  // Two profiles of one name keep captions of their own, so an edit of the
  // second never goes to the first one's files.
  EXPECT_EQ(store.GetProfiles()->Strings(0), "FireFox: default");
  EXPECT_EQ(store.GetProfiles()->Strings(1), "FireFox: default (2)");
  EXPECT_EQ(store.FindProfile("FireFox: default (2)")->Dir, ff + "\\two.default");
  EXPECT_EQ(store.Profile(0)->Cookies.size(), 1u);
  EXPECT_EQ(store.Profile(1)->Permissions->GetFormat(), 2);

  TTempDir empty;
  QbMozillaCookiesClass none(1, empty.Path(), {});
  ASSERT_NE(none.GetProfiles(), nullptr);  // Firefox discovery always makes the list
  EXPECT_EQ(none.GetProfiles()->Count(), 0);
}

}  // namespace
}  // namespace morvane
