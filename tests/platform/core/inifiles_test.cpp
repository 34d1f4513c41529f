#include "platform/core/inifiles.h"

#include "platform/core/classes.h"
#include "support/test_env.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace morvane {
namespace {

std::vector<std::string> Items(const TStrings& l) {
  std::vector<std::string> v;
  for (int i = 0; i < l.Count(); ++i) v.push_back(l.Strings(i));
  return v;
}

TEST(IniFile, ReadsProfilesWithoutCase) {
  test::TTempDir dir;
  const std::string path = dir.Write("profiles.ini",
                                     "Stray=before any section\r\n"
                                     "[General]\r\n"
                                     "StartWithLastProfile=1\r\n"
                                     "\r\n"
                                     "[Profile0]\r\n"
                                     "Name=default\r\n"
                                     "IsRelative=1\r\n"
                                     "Path=Profiles/abc.default\r\n"
                                     "Hex=0x1F\r\n"
                                     "Bad=12abc\r\n"
                                     "[Empty]\r\n");
  TIniFile ini(path);
  EXPECT_EQ(ini.ReadString("profile0", "PATH", "\\"), "Profiles/abc.default");
  EXPECT_EQ(ini.ReadString("Profile0", "Missing", "dflt"), "dflt");
  EXPECT_EQ(ini.ReadString("Profile9", "Name", ""), "");

  struct IntCase {
    const char* ident;
    int expected;
  };
  const IntCase ints[] = {{"isrelative", 1}, {"Hex", 31}, {"Bad", -7}, {"Name", -7}, {"Missing", -7}};
  for (const auto& c : ints) EXPECT_EQ(ini.ReadInteger("Profile0", c.ident, -7), c.expected) << c.ident;
  EXPECT_TRUE(ini.ReadBool("General", "StartWithLastProfile", false));
  EXPECT_TRUE(ini.ReadBool("General", "Missing", true));

  EXPECT_TRUE(ini.SectionExists("PROFILE0"));
  EXPECT_FALSE(ini.SectionExists("Profile1"));
  EXPECT_FALSE(ini.SectionExists("Empty"));  // no keys
  EXPECT_TRUE(ini.ValueExists("profile0", "name"));
  EXPECT_FALSE(ini.ValueExists("Profile0", "Stray"));

  TStringList l;
  ini.ReadSections(l);
  EXPECT_EQ(Items(l), (std::vector<std::string>{"General", "Profile0", "Empty"}));
  ini.ReadSection("Profile0", l);
  EXPECT_EQ(Items(l), (std::vector<std::string>{"Name", "IsRelative", "Path", "Hex", "Bad"}));
  ini.ReadSectionValues("General", l);
  EXPECT_EQ(Items(l), (std::vector<std::string>{"StartWithLastProfile=1"}));
}

TEST(IniFile, WritesDeletesAndFlushes) {
  test::TTempDir dir;
  const std::string path = dir.File("opera6.ini");
  {
    TIniFile ini(path);
    ini.WriteString("User Prefs", "Opera Directory", "C:\\Opera\\");
    ini.WriteInteger("User Prefs", "Count", 42);
    ini.WriteBool("User Prefs", "Flag", true);
    ini.WriteString("rename", "C:\\old.txt", "NIL");
    ini.UpdateFile();
  }
  const std::string bytes = test::ReadFileBytes(path);
  EXPECT_NE(bytes.find("Opera Directory=C:\\Opera\\"), std::string::npos) << bytes;

  TIniFile ini(path);
  EXPECT_EQ(ini.ReadString("USER PREFS", "opera directory", ""), "C:\\Opera\\");
  EXPECT_EQ(ini.ReadInteger("User Prefs", "Count", 0), 42);
  EXPECT_EQ(ini.ReadString("User Prefs", "Flag", ""), "1");
  ini.WriteString("user prefs", "COUNT", "43");  // replaces, whatever the case
  EXPECT_EQ(ini.ReadInteger("User Prefs", "Count", 0), 43);
  ini.DeleteKey("User Prefs", "Flag");
  EXPECT_FALSE(ini.ValueExists("User Prefs", "Flag"));
  ini.EraseSection("rename");
  EXPECT_FALSE(ini.SectionExists("rename"));
  ini.UpdateFile();

  TIniFile unwritable(dir.File("no\\such\\folder\\x.ini"));
  EXPECT_THROW(unwritable.WriteString("a", "b", "c"), EIniFileException);
}

}  // namespace
}  // namespace morvane
