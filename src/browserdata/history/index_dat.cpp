#include "browserdata/history/index_dat.h"

#include <algorithm>
#include <cstring>

namespace morvane {

size_t TIndexDatSpanSource::ReadAt(uint64_t pos, uint8_t* buf, size_t n) {
  if (pos >= data_.size()) return 0;
  const size_t len = static_cast<size_t>(std::min<uint64_t>(n, data_.size() - pos));
  std::memcpy(buf, data_.data() + pos, len);
  return len;
}

TIndexDatChunkedSource::TIndexDatChunkedSource(uint64_t size, TFetch fetch, size_t chunkSize)
    : size_(size), fetch_(std::move(fetch)), chunk_(chunkSize) {}

size_t TIndexDatChunkedSource::ReadAt(uint64_t pos, uint8_t* buf, size_t n) {
  size_t done = 0;
  while (done < n && pos < size_) {
    if (pos < chunkPos_ || pos >= chunkPos_ + chunkLen_) {
      chunkPos_ = pos;
      chunkLen_ = fetch_(pos, chunk_.data(), chunk_.size());
      if (chunkLen_ == 0) break;
    }
    const size_t at = static_cast<size_t>(pos - chunkPos_);
    const size_t len = std::min(n - done, chunkLen_ - at);
    std::memcpy(buf + done, chunk_.data() + at, len);
    done += len;
    pos += len;
  }
  return done;
}

namespace {

uint32_t U32(const uint8_t* p) {
  return uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 | uint32_t{p[3]} << 24;
}

uint64_t U64(const uint8_t* p) { return uint64_t{U32(p)} | uint64_t{U32(p + 4)} << 32; }

}  // namespace

bool HasUrlCacheSignature(std::span<const uint8_t> header) {
  static const char kSig[] = "Client UrlCache";
  return header.size() >= 15 && std::memcmp(header.data(), kSig, 15) == 0;
}

std::string HistoryUrlFromText(const std::string& text) {
  size_t at = text.find('@');
  if (at == std::string::npos) return text;
  std::string url = text.substr(at + 1);
  if (!url.empty() && url[0] == ':') url.erase(0, 1);
  return url;
}

TDateTime FileTimeToDateTimeUtc(uint64_t fileTime) {
  // 1601-01-01 is day -109205; the system's conversion keeps milliseconds.
  const uint64_t ms = fileTime / 10000;
  return -109205.0 + static_cast<double>(ms / 86400000) + static_cast<double>(ms % 86400000) / 86400000.0;
}

bool TIndexDatWalker::ReadHead(uint64_t pos, uint8_t (&head)[kRecordHeadSize]) {
  return source_.ReadAt(pos, head, kRecordHeadSize) == kRecordHeadSize;
}

bool TIndexDatWalker::First(TIndexDatUrl& entry) {
  entry = TIndexDatUrl{};
  ended_ = true;
  uint8_t header[kHeaderSize];
  if (source_.ReadAt(0, header, kHeaderSize) < kHeaderSize) return false;
  const uint32_t hashPos = U32(header + 0x20);
  const uint64_t seekTo = hashPos != 0 ? hashPos : U32(header + 0x1C);
  uint8_t head[kRecordHeadSize];
  if (!ReadHead(seekTo, head) || std::memcmp(head, "HASH", 4) != 0) return false;
  position_ = uint64_t{hashPos} + uint64_t{U32(head + 4)} * kBlockSize;
  ended_ = false;
  return Scan(entry);
}

bool TIndexDatWalker::Next(TIndexDatUrl& entry) {
  entry = TIndexDatUrl{};
  return !ended_ && Scan(entry);
}

bool TIndexDatWalker::Scan(TIndexDatUrl& entry) {
  const uint64_t size = source_.Size();
  uint8_t head[kRecordHeadSize];
  char text[kMaxUrl];
  while (position_ < size) {
    const uint64_t at = position_;
    if (!ReadHead(at, head)) break;
    if (std::memcmp(head, "URL ", 4) != 0) {
      position_ += kBlockSize;
      continue;
    }
    const uint64_t blocks = U32(head + 4);
    // A record claiming no blocks still occupies the block it starts in.
    position_ = at + std::max<uint64_t>(blocks, 1) * kBlockSize;
    const uint64_t urlOffset = U32(head + 0x34);
    const uint64_t extent = blocks * kBlockSize;
    const size_t want = urlOffset >= extent ? 0 : static_cast<size_t>(std::min<uint64_t>(kMaxUrl, extent - urlOffset));
    const size_t got = want ? source_.ReadAt(at + urlOffset, reinterpret_cast<uint8_t*>(text), want) : 0;
    const size_t len = static_cast<size_t>(std::find(text, text + got, '\0') - text);
    std::string url = HistoryUrlFromText(std::string(text, len));
    // An empty URL tells the caller that the walk is over; a record without
    // text is stepped over instead.
    if (url.empty()) continue;
    entry.URL = std::move(url);
    entry.FirstTime = U64(head + 8);
    entry.SecondTime = U64(head + 16);
    entry.Offset = at;
    return true;
  }
  ended_ = true;
  return false;
}

}  // namespace morvane
