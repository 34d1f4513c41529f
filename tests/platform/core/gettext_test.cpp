// Fixed texts through the catalogs compiled from tests/fixtures/locale into
// the locale folder beside the test program. The language codes xx_TEST and
// xy_TEST belong to no real catalog of the program.
#include "platform/core/gettext.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "platform/win32.h"

namespace morvane {
namespace {

std::string Env(const char* name) {
  const char* v = std::getenv(name);
  return v ? std::string(v) : std::string();
}

// Saves the variables the binding reads or sets, and puts them back.
class Translations : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* n : kNames) saved_.push_back(Env(n));
  }
  void TearDown() override {
    for (size_t i = 0; i < saved_.size(); ++i) _putenv_s(kNames[i], saved_[i].c_str());
    UseLanguage();
  }
  static void Set(const char* name, const char* value) { _putenv_s(name, value); }

  static constexpr const char* kNames[] = {"LANG", "LANGUAGE", "LC_ALL", "LC_MESSAGES"};
  std::vector<std::string> saved_;
};

TEST_F(Translations, CatalogsBesideTheProgram) {
  char exe[MAX_PATH];
  std::string path(exe, GetModuleFileNameA(nullptr, exe, sizeof exe));
  EXPECT_EQ(LocaleFolder(), path.substr(0, path.find_last_of('\\')) + "\\locale");
}

TEST_F(Translations, LookupOrderAndCodePage) {
  Set("LANG", "xx_TEST.UTF-8");
  UseLanguage();
  EXPECT_EQ(CurrentLanguage(), "xx_TEST");
  struct {
    const char* original;
    const char* expected;  // code page 1252
  } cases[] = {
      {"List index out of bounds (%d)", "Listenindex au\xdf" "erhalb der Grenzen (%d)"},  // "default" only
      {"ElTree item not specified", "ElTree-Element nicht angegeben"},                  // "korvel" only
      {"Invalid section", "Ung\xfcltiger Abschnitt (default)"},                           // both: "default" first
      {"String list does not allow duplicates", "? is not in code page 1252"},
      {"Not in any catalog", "Not in any catalog"},
      {"", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(LoadResString(c.original), c.expected) << c.original;
  EXPECT_TRUE(DomainHasCatalog("default"));
  EXPECT_TRUE(DomainHasCatalog("korvel"));
}

TEST_F(Translations, CatalogWithoutUtf8IsNotUsed) {
  Set("LANG", "xy_TEST");
  UseLanguage();
  EXPECT_FALSE(DomainHasCatalog("default"));
  EXPECT_TRUE(DomainHasCatalog("korvel"));
  EXPECT_EQ(LoadResString("List index out of bounds (%d)"), "List index out of bounds (%d)");
  EXPECT_EQ(LoadResString("Invalid section"), "section (korvel)");
  EXPECT_EQ(LoadResString("ElTree item not specified"), "\xe9l\xe9ment ElTree (korvel)");
}

// The language is LANG's, else the user's locale, whatever else a Unix shell
// left in the environment; switching languages forgets earlier results.
TEST_F(Translations, LanguageChoice) {
  char ll[16] = {}, cc[16] = {};
  GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SISO639LANGNAME, ll, sizeof ll);
  GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SISO3166CTRYNAME, cc, sizeof cc);
  const std::string user = std::string(ll) + "_" + cc;
  ASSERT_NE(user, "xx_TEST");
  struct {
    const char *lang, *language, *lc_all, *lc_messages;
    std::string expected;
    const char* invalidSection;
  } cases[] = {
      {"xx_TEST", "", "C", "C", "xx_TEST", "Ung\xfcltiger Abschnitt (default)"},
      {"xx_TEST.UTF-8", "xy_TEST", "", "", "xx_TEST", "Ung\xfcltiger Abschnitt (default)"},
      {"xy_TEST", "xx_TEST", "xx_TEST", "", "xy_TEST", "section (korvel)"},
      {"", "xx_TEST", "xx_TEST", "xx_TEST", user, "Invalid section"},
      {"C", "xx_TEST", "", "", "C", "Invalid section"},
  };
  for (const auto& c : cases) {
    Set("LANG", c.lang);
    Set("LANGUAGE", c.language);
    Set("LC_ALL", c.lc_all);
    Set("LC_MESSAGES", c.lc_messages);
    EXPECT_EQ(DefaultLanguage(), c.expected) << "LANG=" << c.lang;
    UseLanguage();
    EXPECT_EQ(CurrentLanguage(), c.expected) << "LANG=" << c.lang;
    EXPECT_EQ(LoadResString("Invalid section"), c.invalidSection) << "LANG=" << c.lang;
  }
}

TEST_F(Translations, AddedDomainComesLast) {
  Set("LANG", "xx_TEST");
  UseLanguage();
  AddDomainForResourceString("korvel");  // already there: keeps its place
  AddDomainForResourceString("nosuchdomain");
  EXPECT_FALSE(DomainHasCatalog("nosuchdomain"));
  EXPECT_EQ(LoadResString("Invalid section"), "Ung\xfcltiger Abschnitt (default)");
  EXPECT_EQ(LoadResString("ElTree item not specified"), "ElTree-Element nicht angegeben");
}

}  // namespace
}  // namespace morvane
