// Opera cookie file. Any input: the reader never reads outside it, always
// ends, and builds a well-linked tree (the preorder walk meets every node
// once). Inputs whose first byte is odd also describe a set of cookies, which
// our generator writes as the format's description has it; the reader must
// then read back exactly those cookies.
// fuzz-sources: browserdata/opera/cookies4_dat.cpp
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <string>
#include <tuple>
#include <vector>

#include "fixture-gen/opera_gen.h"
#include "browserdata/opera/cookies4_dat.h"

namespace {

using namespace morvane;

void CheckTree(const TOperaCookieFile& file) {
  size_t seen = 0;
  for (const TOperaCookieNode* n = file.Tree.Root(); n; n = TOperaCookieTree::Next(n)) {
    if (++seen > file.Tree.NodeCount()) std::abort();
    if (n->FirstChild && n->FirstChild->Parent != n) std::abort();
    if (n->NextSibling && n->NextSibling->PrevSibling != n) std::abort();
    // Looking a node up by its own name must end, found or not.
    if (seen < 64) file.Tree.FindNode(TOperaCookieTree::NodeName(n));
  }
  if (seen != file.Tree.NodeCount()) std::abort();
}

struct TBytes {
  const uint8_t* p;
  size_t n;
  uint8_t Next() {
    if (!n) return 0;
    --n;
    return *p++;
  }
  std::string Text(size_t max) {
    std::string s(Next() % (max + 1), 'a');
    for (auto& c : s) c = static_cast<char>('!' + Next() % 90);  // no NUL, no separators needed
    return s;
  }
};

using TKey = std::tuple<std::string, std::string, std::string, int64_t, int64_t, bool, bool, bool, int64_t>;

void RoundTrip(TBytes in) {
  fixturegen::TOperaGenOptions o;
  const unsigned tagWidths[] = {1, 2, 4};
  o.TagWidth = tagWidths[in.Next() % 3];
  o.LengthWidth = 2 + in.Next() % 3;
  o.TimeWidth = in.Next() % 2 ? 8 : 4;
  std::vector<fixturegen::TOperaGenDomain> domains;
  std::vector<TKey> want;
  const char* const labels[] = {"a", "b", "cc", "d"};
  const char* const paths[] = {"/", "/x", "/x/y", "/z"};
  for (int count = in.Next() % 12; count > 0; --count) {
    std::string host;
    for (int k = 1 + in.Next() % 3; k > 0; --k) host += std::string(host.empty() ? "" : ".") + labels[in.Next() % 4];
    const std::string path = paths[in.Next() % 4];
    fixturegen::TOperaGenCookie c;
    c.Name = in.Text(8);
    c.Value = in.Text(12);
    const uint64_t mask = o.TimeWidth == 8 ? (uint64_t{1} << 40) - 1 : 0xFFFFFFFFu;
    c.Expires = (uint64_t{in.Next()} << 32 | uint64_t{in.Next()} << 24 | in.Next() << 8 | in.Next()) & mask;
    c.HasLastUsed = in.Next() % 2;
    c.LastUsed = (uint64_t{in.Next()} << 16 | in.Next()) & mask;
    const uint8_t flags = in.Next();
    c.Secure = flags & 1;
    c.ServerOnly = flags & 2;
    c.NotForPrefix = flags & 4;
    c.Version = flags & 8 ? in.Next() % 100 : -1;
    if (flags & 16) c.CommentUrl = in.Text(10);
    if (flags & 32) c.Extra.push_back({0x30u + in.Next() % 16, in.Text(6), false});
    if (flags & 64) c.Extra.push_back({0x30u + in.Next() % 16, "", true});
    fixturegen::AddOperaCookie(domains, host, path, c);
    // A node's name lists the labels from the node up: the host as written.
    std::string nodeName = "." + host;
    if (path != "/") nodeName += path;
    want.emplace_back(nodeName, c.Name, c.Value, static_cast<int64_t>(c.Expires),
                      c.HasLastUsed ? static_cast<int64_t>(c.LastUsed) : -1, c.Secure, c.ServerOnly, c.NotForPrefix,
                      c.Version < 0 ? 0 : c.Version);
  }
  const std::string bytes = fixturegen::WriteOperaCookies(domains, o);
  TOperaCookieFile file;
  auto r = ParseOperaCookies(std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()), file);
  if (!r.Ok) std::abort();
  CheckTree(file);
  std::vector<TKey> got;
  auto secs = [](double t) { return static_cast<int64_t>(std::llround((t - 25569.0) * 86400.0)); };
  for (const TOperaCookieNode* n = file.Tree.Root(); n; n = TOperaCookieTree::Next(n)) {
    for (const auto& c : n->Cookies) {
      got.emplace_back(TOperaCookieTree::NodeName(n), c->Name, c->Value, secs(c->Expires),
                       c->LastUsed == 22569.0 ? -1 : secs(c->LastUsed), c->Flag8019, c->Flag801B, c->Flag8020,
                       c->Number1A);
    }
  }
  std::sort(want.begin(), want.end());
  std::sort(got.begin(), got.end());
  if (got != want) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > 0 && (data[0] & 1)) {
    RoundTrip(TBytes{data + 1, size - 1});
    return 0;
  }
  TOperaCookieFile file;
  ParseOperaCookies(std::span<const uint8_t>(data, size), file);
  CheckTree(file);
  return 0;
}
