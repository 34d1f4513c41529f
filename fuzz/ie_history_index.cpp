// History index walk: never reads outside the file, always ends, never goes
// backwards, and reads the same through a small chunked cache as straight
// from memory.
// fuzz-sources: browserdata/history/index_dat.cpp
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <span>
#include <vector>

#include "browserdata/history/index_dat.h"

namespace {

std::vector<morvane::TIndexDatUrl> Walk(morvane::TIndexDatSource& src) {
  std::vector<morvane::TIndexDatUrl> out;
  morvane::TIndexDatWalker w(src);
  morvane::TIndexDatUrl e;
  uint64_t last = 0;
  for (bool ok = w.First(e); ok; ok = w.Next(e)) {
    if (e.URL.empty() || e.URL.size() > morvane::TIndexDatWalker::kMaxUrl) std::abort();
    if (w.Position() <= last || e.Offset >= src.Size()) std::abort();
    last = w.Position();
    out.push_back(e);
    if (out.size() > src.Size() / 128 + 1) std::abort();
  }
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::span<const uint8_t> bytes(data, size);
  morvane::TIndexDatSpanSource direct(bytes);
  morvane::TIndexDatChunkedSource chunked(
      size,
      [&](uint64_t pos, uint8_t* buf, size_t n) {
        if (pos >= size) return size_t{0};
        size_t len = n < size - pos ? n : static_cast<size_t>(size - pos);
        std::memcpy(buf, data + pos, len);
        return len;
      },
      300);
  auto a = Walk(direct);
  auto b = Walk(chunked);
  if (a.size() != b.size()) std::abort();
  for (size_t i = 0; i < a.size(); ++i) {
    if (a[i].URL != b[i].URL || a[i].FirstTime != b[i].FirstTime || a[i].SecondTime != b[i].SecondTime) std::abort();
  }
  return 0;
}
