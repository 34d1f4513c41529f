// Opera cookie file: never reads outside the input, always ends, and the
// tree it builds is well linked (the preorder walk meets every node once).
// fuzz-sources: browserdata/opera/cookies4_dat.cpp
#include <cstdint>
#include <cstdlib>
#include <span>

#include "browserdata/opera/cookies4_dat.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace morvane;
  TOperaCookieFile file;
  ParseOperaCookies(std::span<const uint8_t>(data, size), file);
  size_t seen = 0;
  for (const TOperaCookieNode* n = file.Tree.Root(); n; n = TOperaCookieTree::Next(n)) {
    if (++seen > file.Tree.NodeCount()) std::abort();
    if (n->FirstChild && n->FirstChild->Parent != n) std::abort();
    if (n->NextSibling && n->NextSibling->PrevSibling != n) std::abort();
    // Looking a node up by its own name must end, found or not.
    if (seen < 64) file.Tree.FindNode(TOperaCookieTree::NodeName(n));
  }
  if (seen != file.Tree.NodeCount()) std::abort();
  return 0;
}
