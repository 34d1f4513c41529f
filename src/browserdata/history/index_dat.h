// Internet Explorer's cache index "index.dat", as far as the history page
// reads it: a linear walk over the file's 128-byte blocks that yields every
// "URL " record (little-endian throughout).
//
//   file header   0x00  28 bytes  "Client UrlCache MMF Ver 5.2" and NUL
//                 0x1C  u32       start position used when 0x20 holds 0
//                 0x20  u32       position of the first hash table
//   record head   0x00  4 bytes   "HASH", "URL ", "LEAK", "REDR", ...
//                 0x04  u32       number of 128-byte blocks of the record
//                 0x08  u64       file time (UTC)
//                 0x10  u64       file time (UTC)
//                 0x34  u32       URL text, relative to the record
//
// Every read is bounded by the file: a record cut short ends the walk, a
// block count of 0 still moves on by one block, and a URL offset beyond its
// record gives no text. The walk also meets URL records that were freed but
// not yet overwritten; they are listed like the others.
//
// Only the standard library here: the walker builds natively for fuzzing.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

namespace morvane {

using TDateTime = double;

// Random access to the bytes of one index file.
class TIndexDatSource {
 public:
  virtual ~TIndexDatSource() = default;
  virtual uint64_t Size() const = 0;
  // Reads up to N bytes at Pos into Buf; fewer at the end of the file.
  virtual size_t ReadAt(uint64_t pos, uint8_t* buf, size_t n) = 0;
};

class TIndexDatSpanSource : public TIndexDatSource {
 public:
  explicit TIndexDatSpanSource(std::span<const uint8_t> data) : data_(data) {}
  uint64_t Size() const override { return data_.size(); }
  size_t ReadAt(uint64_t pos, uint8_t* buf, size_t n) override;

 private:
  std::span<const uint8_t> data_;
};

// Serves small reads from chunks fetched through Fetch, so that a walk over
// a large file makes one system read per chunk rather than one per block.
class TIndexDatChunkedSource : public TIndexDatSource {
 public:
  using TFetch = std::function<size_t(uint64_t pos, uint8_t* buf, size_t n)>;
  TIndexDatChunkedSource(uint64_t size, TFetch fetch, size_t chunkSize = 256 * 1024);
  uint64_t Size() const override { return size_; }
  size_t ReadAt(uint64_t pos, uint8_t* buf, size_t n) override;

 private:
  uint64_t size_;
  TFetch fetch_;
  std::vector<uint8_t> chunk_;
  uint64_t chunkPos_ = 0;
  size_t chunkLen_ = 0;
};

struct TIndexDatUrl {
  std::string URL;          // empty: no record
  uint64_t FirstTime = 0;   // file time at record offset 8
  uint64_t SecondTime = 0;  // file time at record offset 16
  uint64_t Offset = 0;      // of the record in the file
};

class TIndexDatWalker {
 public:
  static constexpr size_t kHeaderSize = 40;
  static constexpr size_t kRecordHeadSize = 104;
  static constexpr size_t kBlockSize = 128;
  static constexpr size_t kMaxUrl = 4095;

  explicit TIndexDatWalker(TIndexDatSource& source) : source_(source) {}

  // The first URL record after the first hash table; false (and an empty
  // URL) when there is none or the file has no hash table where its header
  // says.
  bool First(TIndexDatUrl& entry);
  // The next URL record; false at the end.
  bool Next(TIndexDatUrl& entry);
  uint64_t Position() const { return position_; }

 private:
  bool Scan(TIndexDatUrl& entry);
  bool ReadHead(uint64_t pos, uint8_t (&head)[kRecordHeadSize]);

  TIndexDatSource& source_;
  uint64_t position_ = 0;
  bool ended_ = true;
};

// True when the first 15 characters of the header are "Client UrlCache".
bool HasUrlCacheSignature(std::span<const uint8_t> header);
// The URL as the history lists it: the part after the first "@", without a
// leading ":" ("Visited: user@file:///C:/a.htm" gives "file:///C:/a.htm").
std::string HistoryUrlFromText(const std::string& text);
// A UTC file time as a calendar day count, with no local-time conversion.
TDateTime FileTimeToDateTimeUtc(uint64_t fileTime);

}  // namespace morvane
