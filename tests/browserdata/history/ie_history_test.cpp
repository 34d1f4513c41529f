#include "browserdata/history/ie_history.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fixture-gen/index_dat_gen.h"
#include "platform/core/exceptions.h"
#include "platform/core/files.h"
#include "platform/core/registry.h"
#include "support/test_env.h"

namespace morvane {
namespace {

using namespace fixturegen;

const char kCacheKey[] = "\\Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings\\5.0\\Cache";

std::string Index(const std::vector<std::string>& urls) {
  std::vector<TIndexDatGenRecord> recs;
  uint64_t t = 133000000000000000ull;
  for (const auto& u : urls) {
    TIndexDatGenRecord r;
    r.Location = u;
    r.Modified = t;
    r.Accessed = t + 10000000;  // one second later
    t += 864000000000ull;       // a day apart
    recs.push_back(r);
  }
  return WriteIndexDat(recs);
}

void Put(const test::TTempDir& root, const std::string& rel, const std::string& bytes) {
  ASSERT_TRUE(ForceDirectories(root.File(rel)));
  root.Write(rel + "\\index.dat", bytes);
}

std::vector<std::string> Names(const TStringList& l) {
  std::vector<std::string> out;
  for (int i = 0; i < l.Count(); ++i) out.push_back(l.Strings(i));
  return out;
}

TEST(IEHistory, CollectsFoldersWithAnIndex) {
  test::TTempDir root, ext;
  const std::string idx = Index({"Visited: u@http://a/"});
  root.Write("index.dat", idx);
  Put(root, "MSHist012026120120261208", idx);
  Put(root, "deep\\a\\b", idx);
  Put(root, "Wrong", WriteIndexDat({}, {.Signature = "WINE URLCache Ver 0.2012001"}));
  Put(root, "Short", idx.substr(0, 39));
  ASSERT_TRUE(ForceDirectories(root.File("Empty")));
  ext.Write("index.dat", idx);

  // The registry names the history cache's prefix and one more cache, whose
  // path goes through the environment.
  SetEnvironmentVariableA("MORVANE_HISTORY_TEST", ext.Path().c_str());
  struct TCleanup {
    ~TCleanup() {
      TRegistry reg;
      reg.SetRootKey(HKEY_CURRENT_USER);
      reg.DeleteKey(std::string(kCacheKey) + "\\Extensible Cache\\MorvaneTest");
      if (reg.OpenKey(std::string(kCacheKey) + "\\History", false)) reg.DeleteValue("CachePrefix");
    }
  } cleanup;
  {
    TRegistry reg;
    reg.SetRootKey(HKEY_CURRENT_USER);
    ASSERT_TRUE(reg.OpenKey(std::string(kCacheKey) + "\\History", true));
    reg.WriteString("CachePrefix", "Visited:");
    ASSERT_TRUE(reg.OpenKey(std::string(kCacheKey) + "\\Extensible Cache\\MorvaneTest", true));
    reg.WriteString("CachePath", "%MORVANE_HISTORY_TEST%");
    reg.WriteString("CachePrefix", ":2026120120261208: ");
  }

  TIEHistory h(root.Path());
  TStringList& f = h.GetFolders();
  std::vector<std::string> expected = {root.Path() + "\\", root.Path() + "\\deep\\a\\b\\",
                                       root.Path() + "\\MSHist012026120120261208\\", ext.Path() + "\\"};
  std::sort(expected.begin(), expected.end(), [](const std::string& a, const std::string& b) {
    return CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a.c_str(), -1, b.c_str(), -1) == CSTR_LESS_THAN;
  });
  EXPECT_EQ(Names(f), expected);
  for (int i = 0; i < f.Count(); ++i) {
    auto* info = static_cast<TIEHistoryFolderInfo*>(f.GetObject(i));
    SCOPED_TRACE(f.Strings(i));
    ASSERT_NE(info, nullptr);
    if (f.Strings(i) == root.Path() + "\\") {
      EXPECT_FALSE(info->IsExtra);
      EXPECT_EQ(info->CachePrefix, "Visited:");
    } else if (f.Strings(i) == ext.Path() + "\\") {
      EXPECT_TRUE(info->IsExtra);
      EXPECT_EQ(info->CachePrefix, ":2026120120261208: ");
    } else {
      EXPECT_TRUE(info->IsExtra);
      EXPECT_EQ(info->CachePrefix, "");
    }
  }
}

TEST(IEHistory, ListSubfoldersDepthFirst) {
  test::TTempDir root;
  for (const char* d : {"a\\x", "a\\y\\z", "b", ".hidden"}) ASSERT_TRUE(ForceDirectories(root.File(d)));
  SetFileAttributesA(root.File("b").c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
  auto l = TIEHistory::ListSubfolders(root.Path());
  const std::string p = root.Path() + "\\";
  auto names = Names(*l);
  std::vector<std::string> want = {p + ".hidden\\", p + "a\\", p + "a\\x\\", p + "a\\y\\", p + "a\\y\\z\\", p + "b\\"};
  // The system lists a folder's entries in its own order; fixed is that a
  // folder comes before its sub-folders and is followed directly by them.
  for (size_t i = 0; i < names.size(); ++i) {
    const std::string parent = names[i].substr(0, names[i].rfind('\\', names[i].size() - 2) + 1);
    if (parent == p) continue;
    auto at = std::find(names.begin(), names.begin() + i, parent);
    ASSERT_NE(at, names.begin() + i) << names[i];
    for (auto it = at; it != names.begin() + i; ++it) EXPECT_EQ(it->compare(0, parent.size(), parent), 0) << names[i];
  }
  std::sort(names.begin(), names.end());
  std::sort(want.begin(), want.end());
  EXPECT_EQ(names, want);
}

TEST(IEHistory, WalksAnIndexFile) {
  test::TTempDir root;
  const std::string a = root.Write("a.dat", Index({"Visited: u@http://a/", "Visited: u@file:///C:/b.htm", "plain"}));
  const std::string b = root.Write("b.dat", Index({"Visited: u@http://only/"}));
  TIEHistory h(root.Path());
  TIEHistoryEntry e;
  h.FindNext(e);  // before any walk: nothing
  EXPECT_EQ(e.URL, "");

  // Another program holds the file open for writing, as the browser does.
  HANDLE held = CreateFileA(a.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                            nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  std::vector<std::string> urls;
  std::vector<TIEHistoryEntry> entries;
  for (h.FindFirst(a, e); !e.URL.empty(); h.FindNext(e)) entries.push_back(e);
  CloseHandle(held);
  ASSERT_EQ(entries.size(), 3u);
  EXPECT_EQ(entries[0].URL, "http://a/");
  EXPECT_EQ(entries[1].URL, "file:///C:/b.htm");
  EXPECT_EQ(entries[2].URL, "plain");
  // 2022-06-18 04:26:40 UTC, then a day later; the second time a second after.
  EXPECT_NEAR(entries[0].FirstTime, 44730.0 + (4 * 3600 + 26 * 60 + 40) / 86400.0, 1e-9);
  EXPECT_NEAR(entries[1].FirstTime - entries[0].FirstTime, 1.0, 1e-9);
  EXPECT_NEAR((entries[0].SecondTime - entries[0].FirstTime) * 86400.0, 1.0, 1e-4);
  h.FindNext(e);
  EXPECT_EQ(e.URL, "");

  h.FindFirst(b, e);  // a new walk closes the old file
  EXPECT_EQ(e.URL, "http://only/");
  EXPECT_TRUE(DeleteFileA(a.c_str()));
  EXPECT_THROW(h.FindFirst(root.File("absent.dat"), e), EFOpenError);
}

}  // namespace
}  // namespace morvane
