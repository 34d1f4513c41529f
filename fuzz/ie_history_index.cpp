// History index walk: never reads outside the file, always ends, never goes
// backwards, and reads the same through a small chunked cache as straight
// from memory. Inputs whose first byte is odd also describe history records,
// which our generator writes as the system's cache lays them out; the walk
// must then list exactly the URL records, in order, with their times.
// fuzz-sources: browserdata/history/index_dat.cpp
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <span>
#include <vector>

#include "fixture-gen/index_dat_gen.h"
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

void RoundTrip(const uint8_t* data, size_t size) {
  using namespace morvane;
  size_t at = 0;
  auto next = [&]() -> uint8_t { return at < size ? data[at++] : 0; };
  std::vector<fixturegen::TIndexDatGenRecord> recs;
  std::vector<TIndexDatUrl> want;
  const char* const kinds[] = {"URL ", "URL ", "LEAK", "REDR"};
  for (int n = next() % 40; n > 0; --n) {
    fixturegen::TIndexDatGenRecord r;
    r.Signature = kinds[next() % 4];
    // Texts of any bytes but NUL, some long enough to be cut at 4,095. No
    // "U" either: the walk steps through LEAK and REDR records block by
    // block, and a text holding "URL " at a block's start would rightly be
    // taken for a record.
    const size_t len = next() % 8 == 0 ? 4000 + next() * 4 : next();
    for (size_t i = 0; i < len; ++i) {
      const char c = static_cast<char>(1 + next() % 255);
      r.Location += c == 'U' ? 'u' : c;
    }
    r.Modified = uint64_t{next()} << 48 | uint64_t{next()} << 8;
    r.Accessed = uint64_t{next()} << 40 | next();
    if (r.Signature == "URL ") {
      TIndexDatUrl e;
      e.URL = HistoryUrlFromText(r.Location.substr(0, TIndexDatWalker::kMaxUrl));
      e.FirstTime = r.Modified;
      e.SecondTime = r.Accessed;
      if (!e.URL.empty()) want.push_back(e);
    }
    recs.push_back(std::move(r));
  }
  const std::string bytes = fixturegen::WriteIndexDat(recs);
  TIndexDatSpanSource src(std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()));
  auto got = Walk(src);
  if (got.size() != want.size()) std::abort();
  for (size_t i = 0; i < got.size(); ++i) {
    if (got[i].URL != want[i].URL || got[i].FirstTime != want[i].FirstTime || got[i].SecondTime != want[i].SecondTime)
      std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > 0 && (data[0] & 1)) {
    RoundTrip(data + 1, size - 1);
    return 0;
  }
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
