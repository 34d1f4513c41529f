// profiles.ini entries and the captions of profiles added by folder.
#include "browserdata/netscape/profiles_ini.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace morvane {
namespace {

TEST(ProfilesIni, ResolvesEntryFolders) {
  const TIniText ini(
      "[General]\nStartWithLastProfile=1\n\n"
      "[Profile0]\nName=default\nIsRelative=1\nPath=Profiles/abc.default\n\n"
      "[profile1]\nName = absolute\nisRelative=0\nPath=D:\\Keep\\x\\\n\n"
      "[Profile2]\nName=gone\nPath=/E:/gone\n\n"
      "[Profile3]\nName=\"quoted\"\nIsRelative=yes\nPath=q\n\n"
      "[Profile5]\nName=after-gap\nPath=z\n");
  const std::set<std::string> existing = {"D:\\Keep\\x\\"};
  auto exists = [&](const std::string& d) { return existing.count(d) > 0; };
  struct Case {
    int n;
    const char* path;
    const char* name;
  } cases[] = {
      {0, "C:\\ff\\Profiles\\abc.default", "default"},
      {1, "D:\\Keep\\x", "absolute"},
      {2, "C:\\ff\\E:\\gone", "gone"},  // a missing absolute folder is tried beside profiles.ini
      {3, "C:\\ff\\q", "quoted"},       // "yes" is no number: not relative, and q does not exist
      {4, "", ""},
  };
  for (const auto& c : cases) {
    const TProfilesIniEntry e = profiles_ini::ReadEntry(ini, "C:\\ff\\profiles.ini", c.n, exists);
    EXPECT_EQ(e.Path, c.path) << c.n;
    EXPECT_EQ(e.Name, c.name) << c.n;
  }
}

TEST(ProfilesIni, CaptionsOfFolders) {
  std::set<std::string> taken;
  auto isTaken = [&](const std::string& c) { return taken.count(c) > 0; };
  EXPECT_EQ(profiles_ini::MakeProfileCaption("C:\\u\\AppData\\Mozilla\\Firefox\\Profiles\\ab12cd34.default\\", isTaken),
            "Mozilla_Firefox_Profiles (*)");
  const std::string first = profiles_ini::MakeProfileCaption("D:\\Backup\\cookies", isTaken);
  EXPECT_EQ(first, "cookies (*)");
  taken.insert(first);
  EXPECT_EQ(profiles_ini::MakeProfileCaption("E:\\Old\\cookies\\", isTaken), "cookies (**)");
  taken.insert("FireFox: default");
  EXPECT_EQ(profiles_ini::UniqueCaption("FireFox: default", isTaken), "FireFox: default (2)");
  EXPECT_EQ(profiles_ini::UniqueCaption("FireFox: other", isTaken), "FireFox: other");
}

}  // namespace
}  // namespace morvane
