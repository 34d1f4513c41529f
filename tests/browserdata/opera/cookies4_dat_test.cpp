#include "browserdata/opera/cookies4_dat.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fixture-gen/opera_gen.h"

namespace morvane {
namespace {

using namespace fixturegen;

TOperaParseResult Parse(const std::string& bytes, TOperaCookieFile& file) {
  return ParseOperaCookies(std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()),
                           file);
}

std::vector<const TOperaCookieNode*> Nodes(const TOperaCookieFile& f) {
  std::vector<const TOperaCookieNode*> out;
  for (auto* n = TOperaCookieTree::Next(f.Tree.Root()); n; n = TOperaCookieTree::Next(n)) out.push_back(n);
  return out;
}

// Hand-made files: header, then raw items.
std::string Be(uint64_t v, unsigned width) {
  std::string s;
  for (unsigned i = width; i-- > 0;) s += static_cast<char>((v >> (8 * i)) & 0xFF);
  return s;
}
std::string Header(unsigned tagWidth, unsigned lengthWidth) {
  return Be(0x1000, 4) + Be(0x2000, 4) + Be(tagWidth, 2) + Be(lengthWidth, 2);
}
struct TRaw {
  unsigned tw = 1, lw = 2;
  std::string Item(uint64_t tag, const std::string& payload) const { return Be(tag, tw) + Be(payload.size(), lw) + payload; }
  std::string Flag(uint64_t raw) const { return Be(raw, tw); }
};

TEST(OperaCookiesFile, ReadsWhatTheFormatDescriptionWrites) {
  std::vector<TOperaGenDomain> domains;
  TOperaGenCookie a;
  a.Name = "sid";
  a.Value = "v1";
  a.Expires = 1700000000;
  a.LastUsed = 1690000000;
  a.Secure = true;
  a.ServerOnly = true;
  a.CommentUrl = "http://www.example.com/p3p";  // 0x15, unknown to the reader
  a.Comment = "c14";
  a.RecvDomain = "r16";
  a.RecvPath = "r17";
  a.PortList = "80";
  a.Version = 1;
  a.ThirdParty = true;
  a.Extra = {{0x28, std::string("\x00\x01\x02", 3), false}, {0x2A, "", true}};
  AddOperaCookie(domains, "www.example.com", "/app/v2", a);
  TOperaGenCookie b;
  b.Name = "root";
  b.Value = "";
  b.HasLastUsed = false;
  b.Expires = 0x80000000u;  // past 2038-01-19: top bit set in four bytes
  AddOperaCookie(domains, "example.com", "/", b);
  domains[0].Filter = 2;
  domains[0].PathFilter = 3;
  domains[0].ThirdParty = 4;
  domains[0].Extra = {{0x22, "xx", false}};
  domains[0].Domains[0].Paths.push_back(TOperaGenPath{"x", {}, {}, {{0x77, "unknown", false}}});

  for (unsigned timeWidth : {4u, 8u}) {
    for (unsigned tagWidth : {1u, 2u, 4u}) {
      SCOPED_TRACE(testing::Message() << "time width " << timeWidth << ", tag width " << tagWidth);
      TOperaGenOptions o;
      o.TimeWidth = timeWidth;
      o.TagWidth = tagWidth;
      o.LengthWidth = tagWidth == 4 ? 3 : 2;
      o.TopLevelExtra = {{0x40, "top", false}, {0x41, "", true}};
      TOperaCookieFile f;
      auto r = Parse(WriteOperaCookies(domains, o), f);
      ASSERT_TRUE(r.Ok) << r.Error << " at " << r.Offset;
      EXPECT_EQ(f.TagIdLength, tagWidth);
      auto nodes = Nodes(f);
      std::vector<std::string> names;
      for (auto* n : nodes) names.push_back(TOperaCookieTree::NodeName(n));
      EXPECT_EQ(names, (std::vector<std::string>{".com", ".example.com", ".example.com/x", ".www.example.com",
                                                 ".www.example.com/app", ".www.example.com/app/v2"}));
      EXPECT_EQ(nodes[0]->Setting1F, 2);
      EXPECT_EQ(nodes[0]->Setting21, 3);
      EXPECT_EQ(nodes[0]->Setting25, 4);

      ASSERT_EQ(nodes[1]->Cookies.size(), 1u);
      const TOperaCookie& rc = *nodes[1]->Cookies[0];
      EXPECT_EQ(rc.Name, "root");
      EXPECT_DOUBLE_EQ(rc.Expires, 25569.0 + 2147483648.0 / 86400.0);
      EXPECT_DOUBLE_EQ(rc.LastUsed, 22569.0);
      EXPECT_FALSE(rc.Flag8019);

      ASSERT_EQ(nodes[5]->Cookies.size(), 1u);
      const TOperaCookie& c = *nodes[5]->Cookies[0];
      EXPECT_EQ(c.Name, "sid");
      EXPECT_EQ(c.Value, "v1");
      EXPECT_DOUBLE_EQ(c.Expires, 25569.0 + 1700000000.0 / 86400.0);
      EXPECT_DOUBLE_EQ(c.LastUsed, 25569.0 + 1690000000.0 / 86400.0);
      EXPECT_EQ(c.Text14, "c14");
      EXPECT_EQ(c.Text16, "r16");
      EXPECT_EQ(c.Text17, "r17");
      EXPECT_EQ(c.Text18, "80");
      EXPECT_EQ(c.Number1A, 1);
      EXPECT_TRUE(c.Flag8019);
      EXPECT_TRUE(c.Flag801B);
      EXPECT_TRUE(c.Flag8024);
      EXPECT_FALSE(c.Flag801C || c.Flag8020 || c.Flag8022 || c.Flag8023);
    }
  }
}

TEST(OperaCookiesFile, FieldEncodings) {
  struct Case {
    const char* name;
    TRaw raw;
    std::string cookieFields;  // inside one cookie record of a domain "d"
    bool flag8019, flag8020, flag8022;
    TDateTime expires;
    int64_t number1A;
  };
  TRaw t1, t4{4, 2}, l3{1, 3};
  const std::string name1 = t1.Item(0x10, "n");
  const Case cases[] = {
      {"one-byte-flag", t1, name1 + t1.Flag(0x99), true, false, false, 22569.0, 0},
      {"four-byte-flag", t4, t4.Item(0x10, "n") + t4.Flag(0x80000019), true, false, false, 22569.0, 0},
      {"two-flags-apart", t1, name1 + t1.Flag(0xA0) + t1.Flag(0xA2), false, true, true, 22569.0, 0},
      {"three-byte-length", l3, l3.Item(0x10, "n") + l3.Item(0x1A, Be(7, 1)), false, false, false, 22569.0, 7},
      {"eight-byte-time", t1, name1 + t1.Item(0x12, Be(4102444800ull, 8)), false, false, false, 25569.0 + 4102444800.0 / 86400, 0},
      {"number-over-eight-bytes-skipped", t1, name1 + t1.Item(0x12, std::string(9, '\x01')) + t1.Item(0x1A, Be(5, 2)),
       false, false, false, 22569.0, 5},
      {"empty-number-is-zero", t1, name1 + t1.Item(0x12, ""), false, false, false, 25569.0, 0},
      {"unknown-field-skipped", t1, name1 + t1.Item(0x15, "http://x/\x10\x11") + t1.Item(0x1A, Be(9, 1)), false, false,
       false, 22569.0, 9},
      {"fields-before-name-dropped", t1, t1.Item(0x1A, Be(3, 1)) + t1.Flag(0x99) + name1, false, false, false, 22569.0, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const TRaw& r = c.raw;
    std::string file = Header(r.tw, r.lw) + r.Item(0x01, r.Item(0x1E, "d")) + r.Item(0x03, c.cookieFields) +
                       r.Flag(r.tw == 1 ? 0x84 : 0x80000004);
    TOperaCookieFile f;
    auto res = Parse(file, f);
    ASSERT_TRUE(res.Ok) << res.Error;
    auto nodes = Nodes(f);
    ASSERT_EQ(nodes.size(), 1u);
    ASSERT_EQ(nodes[0]->Cookies.size(), 1u);
    const TOperaCookie& k = *nodes[0]->Cookies[0];
    EXPECT_EQ(k.Name, "n");
    EXPECT_EQ(k.Flag8019, c.flag8019);
    EXPECT_EQ(k.Flag8020, c.flag8020);
    EXPECT_EQ(k.Flag8022, c.flag8022);
    EXPECT_DOUBLE_EQ(k.Expires, c.expires);
    EXPECT_EQ(k.Number1A, c.number1A);
  }
}

TEST(OperaCookiesFile, EndTagsMoveTheCurrentNode) {
  TRaw r;
  // domain a; end of path (ignored: a is a domain); path p; end of path;
  // cookie goes to a; end of domain; end of domain at the root stays there.
  std::string file = Header(1, 2) + r.Item(0x01, r.Item(0x1E, "a")) + r.Flag(0x85) + r.Item(0x02, r.Item(0x1D, "p")) +
                     r.Flag(0x85) + r.Item(0x03, r.Item(0x10, "k")) + r.Flag(0x84) + r.Flag(0x84) +
                     r.Item(0x01, r.Item(0x1E, "b"));
  TOperaCookieFile f;
  ASSERT_TRUE(Parse(file, f).Ok);
  auto nodes = Nodes(f);
  ASSERT_EQ(nodes.size(), 3u);
  EXPECT_EQ(TOperaCookieTree::NodeName(nodes[1]), ".a/p");
  ASSERT_EQ(nodes[0]->Cookies.size(), 1u);
  EXPECT_EQ(nodes[2]->Parent, f.Tree.Root());
}

TEST(OperaCookiesFile, DamagedFilesStopWithWhatWasRead) {
  TRaw r;
  const std::string good = Header(1, 2) + r.Item(0x01, r.Item(0x1E, "a")) + r.Item(0x03, r.Item(0x10, "k"));
  struct Case {
    const char* name;
    std::string bytes;
    size_t nodes;
  };
  const Case cases[] = {
      {"empty", "", 0},
      {"short-header", Header(1, 2).substr(0, 11), 0},
      {"zero-tag-width", Header(0, 2) + "\x01\x00\x00", 0},
      {"zero-length-width", Header(1, 0) + "\x01\x01", 0},
      {"wide-tags", Header(9, 2), 0},
      {"cut-in-payload", good + r.Item(0x03, r.Item(0x10, "second")).substr(0, 6), 1},
      {"cut-in-tag", Header(2, 2) + std::string("\x00", 1), 0},
      {"length-beyond-file", good + Be(0x03, 1) + Be(0xFFFF, 2) + r.Item(0x10, "x"), 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TOperaCookieFile f;
    auto res = Parse(c.bytes, f);
    EXPECT_FALSE(res.Ok);
    EXPECT_FALSE(res.Error.empty());
    EXPECT_EQ(Nodes(f).size(), c.nodes);
  }
  TOperaCookieFile f;
  Parse(cases[5].bytes, f);
  EXPECT_EQ(Nodes(f)[0]->Cookies.size(), 1u);
}

TEST(OperaCookiesFile, DeepNestingNeedsNoRecursion) {
  TRaw r;
  std::string file = Header(1, 2);
  const std::string dom = r.Item(0x01, r.Item(0x1E, "d"));
  for (int i = 0; i < 200000; ++i) file += dom;
  auto f = std::make_unique<TOperaCookieFile>();
  ASSERT_TRUE(Parse(file, *f).Ok);
  EXPECT_EQ(f->Tree.NodeCount(), 200001u);
  EXPECT_EQ(TOperaCookieTree::NodeName(TOperaCookieTree::Next(f->Tree.Root())), ".d");
  f.reset();  // must not overflow the stack
}

TEST(OperaCookiesFile, FindNodeByFullName) {
  std::vector<TOperaGenDomain> domains;
  TOperaGenCookie c;
  c.Name = "k";
  AddOperaCookie(domains, "abc.def", "/a", c);
  AddOperaCookie(domains, "abc.def", "/a/b", c);
  AddOperaCookie(domains, "x.def", "/", c);
  TOperaCookieFile f;
  ASSERT_TRUE(Parse(WriteOperaCookies(domains, {}), f).Ok);
  struct Case {
    const char* text;
    const char* found;      // NodeName of the node found, nullptr for none
    const char* failedUnder;  // Name of the node the search stopped under
  };
  const Case cases[] = {
      {".abc.def/a", ".abc.def/a", nullptr},
      {"abc.def/a/b", ".abc.def/a/b", nullptr},
      {".x.def", ".x.def", nullptr},
      {".abc.def/zz", nullptr, nullptr},
      {".abc.nope/a", nullptr, ""},
      {".q.abc.def", nullptr, nullptr},
      {".abc.def/q/b", nullptr, "abc"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    auto r = f.Tree.FindNode(c.text);
    if (c.found) {
      ASSERT_NE(r.Node, nullptr);
      EXPECT_EQ(TOperaCookieTree::NodeName(r.Node), c.found);
    } else {
      EXPECT_EQ(r.Node, nullptr);
    }
    if (c.failedUnder) {
      ASSERT_NE(r.FailedUnder, nullptr);
      EXPECT_EQ(r.FailedUnder->Name, c.failedUnder);
    } else {
      EXPECT_EQ(r.FailedUnder, nullptr);
    }
  }
}

}  // namespace
}  // namespace morvane
