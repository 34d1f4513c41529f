// The tree's item stream: nothing reads out of bounds or runs away on any
// input, and what a stream reads as writes back to bytes that read the same.
// fuzz-sources: treeview/eltreeitems_codec.cpp
#include <cstdint>
#include <cstdlib>
#include <string>

#include "treeview/eltreeitems_codec.h"

using namespace morvane::eltreecodec;

namespace {
TBytes View(const std::string& s) { return TBytes(reinterpret_cast<const uint8_t*>(s.data()), s.size()); }
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TCollectingSink first;
  size_t pos = 0;
  const TItemDecodeResult r = DecodeItemStream(TBytes(data, size), pos, first);
  if (pos > size) std::abort();
  if (r != TItemDecodeResult::Ok) return 0;
  if (first.Items.empty() || first.Items[0].Parent != -1) std::abort();
  // In the current layout the records come back as they were written.
  const std::string once = EncodeCollected(first.Items);
  TCollectingSink second;
  size_t pos2 = 0;
  if (DecodeItemStream(View(once), pos2, second) != TItemDecodeResult::Ok || pos2 != once.size() ||
      second.Items.size() != first.Items.size())
    std::abort();
  const std::string twice = EncodeCollected(second.Items);
  if (twice != once) std::abort();
  for (size_t i = 0; i < first.Items.size(); ++i) {
    const TItemRecord& a = first.Items[i].Record;
    const TItemRecord& b = second.Items[i].Record;
    if (second.Items[i].Parent != first.Items[i].Parent || a.Text != b.Text ||
        a.ColumnTexts != b.ColumnTexts || b.Marker != kCurrentVersion)
      std::abort();
  }
  return 0;
}
