// Registry.dat read from bytes, damaged files included.
#include "browserdata/netscape/registry_dat.h"

#include "browserdata/netscape/reg_builder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace morvane {
namespace {

using test::TRegBuilder;

struct TProfileTree {
  TRegBuilder b;
  uint32_t root, common, profiles, alice, bob;
  TProfileTree(const std::string& bobName = "bob") {
    root = b.Key("/");
    common = b.Key("Common");
    profiles = b.Key("profiles");
    alice = b.Key("alice");
    bob = b.Key(bobName);
    b.Child(root, common);
    b.Child(common, profiles);
    b.Child(profiles, alice);
    b.Next(alice, bob);
    b.FirstValue(profiles, b.Value("CurrentProfile", "alice"));
    const uint32_t other = b.Value("other", "x");
    const uint32_t dir = b.Value("directory", "C:\\p\\alice");
    b.Next(other, dir);
    b.FirstValue(alice, other);
  }
};

TEST(RegistryDat, FindsKeysValuesAndSubkeys) {
  TProfileTree t;
  TRegistryDatReader r(t.b.Bytes(t.root));
  ASSERT_TRUE(r.Valid());
  EXPECT_EQ(r.FindKey("COMMON/Profiles", t.root), t.profiles);  // names ignore case
  const TRegDataKeyItem profiles = r.ReadKey(r.FindKey("Common/profiles", t.root));
  std::string v = "unchanged";
  EXPECT_TRUE(r.GetValue(profiles, "currentprofile", v));
  EXPECT_EQ(v, "alice");
  const auto subs = r.SubkeyNames(profiles);
  ASSERT_EQ(subs.size(), 2u);
  EXPECT_EQ(subs[0].Name, "/alice");
  EXPECT_EQ(subs[1].Name, "/bob");
  EXPECT_EQ(subs[1].Position, t.bob);
  EXPECT_TRUE(r.GetValue(r.ReadKey(r.FindKey("Common/profiles/alice", t.root)), "directory", v));
  EXPECT_EQ(v, "C:\\p\\alice");
}

TEST(RegistryDat, MissingKeysFindNothing) {
  TProfileTree t;
  TRegistryDatReader r(t.b.Bytes(t.root));
  for (const char* path : {"Nope/profiles", "Common/nope", "Common/profiles/alice/deeper", ""}) {
    const TRegDataKeyItem k = r.ReadKey(r.FindKey(path, t.root));
    EXPECT_LT(k.Location, 0) << path;
    EXPECT_TRUE(r.SubkeyNames(k).empty()) << path;
    std::string v = "unchanged";
    EXPECT_FALSE(r.GetValue(k, "CurrentProfile", v)) << path;
    EXPECT_EQ(v, "unchanged") << path;
  }
  TRegistryDatReader wrongMagic(t.b.Bytes(t.root, 0x76644144));  // the bytes "DAdv"
  EXPECT_FALSE(wrongMagic.Valid());
  EXPECT_EQ(wrongMagic.FindKey("Common/profiles", t.root), 0u);
}

TEST(RegistryDat, LongNamesAreCutTo513Bytes) {
  const std::string longName(600, 'n');
  TProfileTree t(longName);
  TRegistryDatReader r(t.b.Bytes(t.root));
  const auto subs = r.SubkeyNames(r.ReadKey(t.profiles));
  ASSERT_EQ(subs.size(), 2u);
  EXPECT_EQ(subs[1].Name, "/" + std::string(513, 'n'));
}

// A damaged file must not hang the main window's creation.
TEST(RegistryDat, DamagedChainsEnd) {
  {
    TProfileTree t;
    t.b.Next(t.bob, t.alice);  // the last sibling points back to the first
    TRegistryDatReader r(t.b.Bytes(t.root));
    EXPECT_EQ(r.SubkeyNames(r.ReadKey(t.profiles)).size(), 2u);
    EXPECT_EQ(r.FindKey("Common/profiles/carol", t.root), 0u);
  }
  {
    TProfileTree t;
    t.b.Next(t.bob, 0x7ffffff0);  // beyond the end of the file
    t.b.Put32(t.alice + 4, 0xfffffff0);  // a name beyond the end
    TRegistryDatReader r(t.b.Bytes(t.root));
    const auto subs = r.SubkeyNames(r.ReadKey(t.profiles));
    ASSERT_EQ(subs.size(), 2u);
    EXPECT_EQ(subs[0].Name, "/");
  }
  {
    // The file ends inside a node.
    TProfileTree t;
    std::string bytes = t.b.Bytes(t.root);
    bytes.resize(t.bob + 14);
    TRegistryDatReader r(bytes);
    EXPECT_EQ(r.SubkeyNames(r.ReadKey(t.profiles)).size(), 2u);
    EXPECT_TRUE(r.SubkeyNames(r.ReadKey(t.bob)).empty());
  }
}

TEST(RegistryDat, UnexpectedTypesAreReported) {
  TProfileTree t;
  t.b.Put16(t.bob + 10, 7);
  std::vector<std::string> said;
  TRegistryDatReader r(t.b.Bytes(t.root), [&](const std::string& s) { said.push_back(s); });
  const TRegDataKeyItem bob = r.ReadKey(t.bob);
  EXPECT_EQ(bob.Name, "bob");  // the fields read so far stay
  EXPECT_EQ(bob.FirstChild, 0u);
  const TRegDataKeyItem alice = r.ReadKey(t.alice);
  const uint32_t firstValue = alice.FirstValue;
  TRegBuilder& b = t.b;
  b.Put16(firstValue + 10, 1);  // not a value entry
  TRegistryDatReader r2(b.Bytes(t.root), [&](const std::string& s) { said.push_back(s); });
  std::string v;
  r2.GetValue(r2.ReadKey(t.alice), "directory", v);
  EXPECT_EQ(said, (std::vector<std::string>{"?", "???"}));
}

}  // namespace
}  // namespace morvane
