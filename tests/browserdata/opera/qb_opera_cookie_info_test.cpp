// One case names the cookie file through the user's real opera6.ini, so it
// runs apart from every other suite that writes that file.
// ctest: lock=opera_profile
#include "browserdata/opera/qb_opera_cookie_info.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "fixture-gen/opera_gen.h"
#include "browserdata/sys/qb_sys_utils.h"
#include "platform/core/exceptions.h"
#include "platform/core/files.h"
#include "platform/core/registry.h"
#include "browserdata/sys/tell_user.h"
#include "support/test_env.h"

namespace morvane {
namespace {

using namespace fixturegen;

// Every message box the store would show, instead of showing it.
struct TMessages {
  std::vector<std::string> Texts;
  TTellUserScope Scope{[this](const std::string& text) { Texts.push_back(text); }};
};

std::string Cookies4(long n, unsigned timeWidth = 8) {
  TOperaGenOptions o;
  o.TimeWidth = timeWidth;
  return WriteOperaCookies(MakeOperaCookies(n), o);
}

TEST(QbOperaCookieInfo, WalksEveryCookieWithoutAMessage) {
  test::TTempDir dir;
  TMessages messages;
  for (unsigned timeWidth : {4u, 8u}) {
    QbOperaCookieInfo store(dir.Write("cookies4.dat", Cookies4(500, timeWidth)));
    EXPECT_EQ(store.TagIdLength(), 1);
    EXPECT_EQ(store.LengthLength(), 2);
    ASSERT_EQ(store.First(), store.Root());
    size_t cookies = 0;
    std::vector<std::string> names;
    for (TOperaCookieNode* n = store.Next(); n; n = store.Next()) {
      std::string name;
      store.GetNodeName(name);
      for (const auto& c : n->Cookies) {
        names.push_back(name + " " + c->Name);
        ++cookies;
      }
    }
    EXPECT_EQ(cookies, 500u);
    EXPECT_NE(std::find(names.begin(), names.end(), ".www.site0.com c0"), names.end());
    EXPECT_NE(std::find(names.begin(), names.end(), ".site0.com/app c1"), names.end());
    EXPECT_NE(std::find(names.begin(), names.end(), ".site0.com/app/v2 c2"), names.end());
  }
  EXPECT_TRUE(messages.Texts.empty());
}

TEST(QbOperaCookieInfo, DeleteCookieChangesOnlyTheTree) {
  test::TTempDir dir;
  std::vector<TOperaGenDomain> domains;
  TOperaGenCookie c;
  for (const char* name : {"a", "b", "a"}) {
    c.Name = name;
    c.Value = name;
    AddOperaCookie(domains, "abc.def", "/a", c);
  }
  const std::string bytes = WriteOperaCookies(domains, {});
  const std::string file = dir.Write("cookies4.dat", bytes);
  QbOperaCookieInfo store(file);
  TMessages messages;
  auto node = [&] { return store.Root()->FirstChild->FirstChild->FirstChild; };  // def, abc, a
  ASSERT_EQ(node()->Cookies.size(), 3u);

  store.DeleteCookie(".abc.def/a", "A");  // case-sensitive: nothing
  store.DeleteCookie(".abc.def/a", "zz");
  store.DeleteCookie(".abc.def/b", "a");  // last label missing: nothing, no message
  EXPECT_EQ(node()->Cookies.size(), 3u);
  EXPECT_TRUE(messages.Texts.empty());

  store.DeleteCookie(".abc.def/a", "a");
  ASSERT_EQ(node()->Cookies.size(), 2u);
  EXPECT_EQ(node()->Cookies[0]->Name, "b");
  EXPECT_EQ(node()->Cookies[1]->Name, "a");

  store.DeleteCookie(".abc.xyz/a", "a");
  EXPECT_EQ(messages.Texts, std::vector<std::string>{"DidNot Found child of :"});
  EXPECT_EQ(node()->Cookies.size(), 2u);
  EXPECT_EQ(test::ReadFileBytes(file), bytes);
}

TEST(QbOperaCookieInfo, MissingAndDamagedFiles) {
  test::TTempDir dir;
  QbOperaCookieInfo none("");
  EXPECT_EQ(none.First(), none.Root());
  EXPECT_EQ(none.Next(), nullptr);

  const std::string whole = Cookies4(3);
  EXPECT_THROW(QbOperaCookieInfo(dir.Write("cut.dat", whole + std::string("\x03\x00\x20\x10", 4))), EReadError);
  EXPECT_THROW(QbOperaCookieInfo(dir.File("absent.dat")), EFOpenError);
}

TEST(QbOperaCookieInfo, LocatesTheFileThroughOpera6Ini) {
  test::TTempDir dir;
  std::string appData;
  GetSpecialFolderPath(nullptr, csidlAppData, appData);
  const std::string profile = appData + "\\Opera\\Opera7\\Profile";
  ASSERT_TRUE(ForceDirectories(profile));
  const std::string ini = profile + "\\opera6.ini";
  const std::string appPaths = "\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\Opera.exe";
  struct TCleanup {
    std::string ini, key;
    ~TCleanup() {
      DeleteFileA(ini.c_str());
      TRegistry reg;
      reg.SetRootKey(HKEY_LOCAL_MACHINE);
      reg.DeleteKey(key);
    }
  } cleanup{ini, appPaths};

  std::string path;
  DeleteFileA(ini.c_str());
  QbOperaCookieInfo::LocateCookieFile(path);
  EXPECT_EQ(path, "");

  // From the profile in the application-data folder.
  dir.Write("cookies4.dat", Cookies4(7));
  test::TTempDir other;
  other.Write("opera6.ini", "[User Prefs]\r\nOpera Directory=" + dir.Path() + "\r\n");
  std::ofstream(ini, std::ios::binary) << "[User Prefs]\r\nOpera Directory=" << dir.Path() << "\\\r\n";
  QbOperaCookieInfo::LocateCookieFile(path);
  EXPECT_EQ(path, dir.Path() + "\\cookies4.dat");
  QbOperaCookieInfo store;
  size_t nodes = 0;
  for (auto* n = store.First(); n; n = store.Next()) ++nodes;
  EXPECT_GT(nodes, 3u);

  // From the folder of the installed program.
  DeleteFileA(ini.c_str());
  {
    TRegistry reg;
    reg.SetRootKey(HKEY_LOCAL_MACHINE);
    ASSERT_TRUE(reg.OpenKey(appPaths, true));
    reg.WriteString("Path", other.Path());
  }
  QbOperaCookieInfo::LocateCookieFile(path);
  EXPECT_EQ(path, dir.Path() + "\\cookies4.dat");
}

}  // namespace
}  // namespace morvane
