#include "index_dat_gen.h"

#include <algorithm>

namespace morvane::fixturegen {
namespace {

constexpr uint32_t kBlock = 128;
constexpr uint32_t kMinDataStart = 0x4000;
constexpr uint32_t kBitmapStart = 0x250;
constexpr uint32_t kHashBlocks = 32;
constexpr uint32_t kHashEntries = (kHashBlocks * kBlock - 16) / 8;
constexpr uint32_t kUrlTextOffset = 0x68;

void Put32(std::string& b, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
}
void Put64(std::string& b, size_t at, uint64_t v) {
  Put32(b, at, static_cast<uint32_t>(v));
  Put32(b, at + 4, static_cast<uint32_t>(v >> 32));
}

uint32_t BlocksFor(size_t bytes) { return static_cast<uint32_t>((bytes + kBlock - 1) / kBlock); }

// A record's bytes, padded to its blocks with the cache's fill pattern.
std::string RecordBytes(const TIndexDatGenRecord& r, uint32_t& blocks) {
  std::string body;
  if (r.Signature == "REDR") {
    body.assign(0x10, '\0');
    body += r.Location;
    body += '\0';
  } else {
    body.assign(kUrlTextOffset, '\0');
    Put64(body, 0x08, r.Modified);
    Put64(body, 0x10, r.Accessed);
    Put32(body, 0x30, 0x60);
    Put32(body, 0x34, r.UrlOffset >= 0 ? static_cast<uint32_t>(r.UrlOffset) : kUrlTextOffset);
    body[0x38] = static_cast<char>(0xFE);  // no cache folder: history entries have no file
    body[0x3A] = 0x10;
    body[0x3B] = 0x10;
    Put32(body, 0x40, 0x00200001);         // normal entry, history entry
    Put32(body, 0x50, 0x512D5D8A);         // last sync, DOS date and time
    Put32(body, 0x54, 1);                  // hit count
    body += r.Location;
    body += '\0';
  }
  blocks = BlocksFor(body.size());
  size_t n = body.size();
  body.resize(size_t{blocks} * kBlock);
  static const char kFill[4] = {'\xEF', '\xBE', '\xAD', '\xDE'};
  for (size_t i = n; i < body.size(); ++i) body[i] = kFill[(i - n + 1) % 4];
  body.replace(0, 4, r.Signature.substr(0, 4));
  Put32(body, 4, r.BlockCount >= 0 ? static_cast<uint32_t>(r.BlockCount) : blocks);
  return body;
}

}  // namespace

std::string WriteIndexDat(const std::vector<TIndexDatGenRecord>& records, const TIndexDatGenOptions& options) {
  constexpr uint32_t kDataStart = kMinDataStart;
  // Lay out: hash table, then records; another hash table after every
  // kHashEntries hashed records.
  struct TPlaced {
    std::string Bytes;
    uint32_t Offset;
    uint32_t Blocks;
  };
  std::vector<TPlaced> placed;
  std::vector<uint32_t> tables;
  std::vector<std::vector<std::pair<uint32_t, uint32_t>>> entries;  // per table: (key, offset)
  uint32_t at = kDataStart;
  auto newTable = [&] {
    tables.push_back(at);
    entries.emplace_back();
    at += kHashBlocks * kBlock;
  };
  newTable();
  uint32_t serial = 0;
  for (const auto& r : records) {
    if (r.Hashed && entries.back().size() == kHashEntries) newTable();
    uint32_t blocks = 0;
    std::string bytes = RecordBytes(r, blocks);
    if (r.Hashed) {
      // Low six bits of a key tell the entry's kind: 0 a URL, 1 a
      // redirection; the rest stands for the URL's hash.
      const uint32_t kind = r.Signature == "REDR" ? 1 : 0;
      entries.back().push_back({(++serial << 6) | kind, at});
    }
    placed.push_back({std::move(bytes), at, blocks});
    at += blocks * kBlock;
  }
  // The file grows in steps of 32 KB, as the cache's own does.
  const uint32_t size = std::max<uint32_t>((at + 0x7FFF) & ~0x7FFFu, 0x8000);
  std::string file(size, '\0');
  const std::string sig = options.Signature.substr(0, 27);
  file.replace(0, sig.size(), sig);
  Put32(file, 0x1C, size);
  Put32(file, 0x20, tables.front());
  // The allocation bitmap between the header and the data area has room for
  // 126,336 blocks (about 15 MB); a larger file says no more than that.
  const uint32_t totalBlocks = std::min<uint32_t>((size - kDataStart) / kBlock, (kDataStart - kBitmapStart) * 8);
  uint32_t used = 0;
  Put32(file, 0x24, totalBlocks);
  Put32(file, 0x30, 0x07FF5400);  // cache limit
  auto markUsed = [&](uint32_t offset, uint32_t blocks) {
    for (uint32_t b = (offset - kDataStart) / kBlock, e = b + blocks; b < e; ++b) {
      const uint32_t byte = kBitmapStart + b / 8;
      if (byte < kDataStart) file[byte] = static_cast<char>(file[byte] | (1 << (b % 8)));
      ++used;
    }
  };
  for (size_t t = 0; t < tables.size(); ++t) {
    std::string h(kHashBlocks * kBlock, '\0');
    h.replace(0, 4, "HASH");
    Put32(h, 4, kHashBlocks);
    Put32(h, 8, t + 1 < tables.size() ? tables[t + 1] : 0);
    Put32(h, 12, static_cast<uint32_t>(t));
    for (uint32_t i = 0; i < kHashEntries; ++i) {
      const bool set = i < entries[t].size();
      Put32(h, 16 + 8 * i, set ? entries[t][i].first : 3);
      Put32(h, 20 + 8 * i, set ? entries[t][i].second : 3);
    }
    file.replace(tables[t], h.size(), h);
    markUsed(tables[t], kHashBlocks);
  }
  for (const auto& p : placed) {
    file.replace(p.Offset, p.Bytes.size(), p.Bytes);
    markUsed(p.Offset, p.Blocks);
  }
  Put32(file, 0x28, used);
  if (options.CutAt && options.CutAt < file.size()) file.resize(options.CutAt);
  return file;
}

std::vector<TIndexDatGenRecord> MakeHistoryRecords(uint64_t bytes) {
  std::vector<TIndexDatGenRecord> out;
  uint64_t total = kMinDataStart;
  for (uint64_t i = 0; total < bytes; ++i) {
    TIndexDatGenRecord r;
    if (i % 97 == 50) r.Signature = "LEAK";
    if (i % 89 == 40) r.Signature = "REDR";
    std::string path(i % 13 * 9, 'p');
    r.Location = (r.Signature == "REDR" ? "" : "Visited: user@") + std::string("http://host") + std::to_string(i % 4000) +
                 ".example/" + path + std::to_string(i);
    r.Modified = 132000000000000000ull + i * 600000000ull;
    r.Accessed = 133000000000000000ull + i * 10000000ull + i % 10000;
    out.push_back(std::move(r));
    total += BlocksFor(kUrlTextOffset + out.back().Location.size() + 1) * kBlock + (i % kHashEntries == 0 ? kHashBlocks * kBlock : 0);
  }
  return out;
}

std::string MakeHistoryIndex(uint64_t bytes) { return WriteIndexDat(MakeHistoryRecords(bytes)); }

}  // namespace morvane::fixturegen
