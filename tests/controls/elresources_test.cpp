// The containers' messages go through the message catalogs: the test
// catalogs (language xx_TEST) translate two of them.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "controls/elheadersections.h"
#include "controls/elunicodestrings.h"
#include "platform/core/gettext.h"

namespace morvane {
namespace {

TEST(ContainerMessages, AreTranslatedThroughTheCatalogs) {
  const char* old = std::getenv("LANG");
  const std::string saved = old ? old : "";
  _putenv_s("LANG", "xx_TEST.UTF-8");
  UseLanguage();
  TElWideStringList l;
  try {
    l.Get(5);
    ADD_FAILURE();
  } catch (const EStringListError& e) {
    EXPECT_EQ(e.Message(), "Listenindex au\xdf" "erhalb der Grenzen (5)");
  }
  IElHeaderSectionsOwner header;
  TElHeaderSections sections(&header);
  try {
    sections.DeleteSection(nullptr);
    ADD_FAILURE();
  } catch (const EElHeaderError& e) {
    EXPECT_EQ(e.Message(), "Ung\xfcltiger Abschnitt (default)");
  }
  _putenv_s("LANG", saved.c_str());
  UseLanguage();
}

}  // namespace
}  // namespace morvane
