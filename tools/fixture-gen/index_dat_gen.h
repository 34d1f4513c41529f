// Writes Internet Explorer cache index files ("index.dat", version 5.2) for
// fixtures, demo data and benchmarks, laid out as the system's own URL cache
// lays them out: the file header with its allocation bitmap, the data area
// of 128-byte blocks from 0x4000 on, a chain of hash tables (32 blocks each,
// the first at 0x4000) whose entries point at the records, and the records.
// Independent of the reader on purpose.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace morvane::fixturegen {

struct TIndexDatGenRecord {
  std::string Signature = "URL ";  // "URL ", "LEAK" or "REDR"
  std::string Location;            // "Visited: user@http://..."
  uint64_t Modified = 0;           // record offset 8 (file time)
  uint64_t Accessed = 0;           // record offset 16
  // Blocks written into the record head; -1 gives the blocks it occupies.
  int64_t BlockCount = -1;
  // URL text offset written into the head; -1 gives the real one.
  int64_t UrlOffset = -1;
  bool Hashed = true;  // listed in a hash table
};

struct TIndexDatGenOptions {
  std::string Signature = "Client UrlCache MMF Ver 5.2";
  uint64_t CutAt = 0;  // when not 0, the file ends after this many bytes
};

std::string WriteIndexDat(const std::vector<TIndexDatGenRecord>& records, const TIndexDatGenOptions& options = {});

// About Bytes bytes of history: URL records of varied lengths, with a LEAK
// and a REDR record now and then.
std::string MakeHistoryIndex(uint64_t bytes);
std::vector<TIndexDatGenRecord> MakeHistoryRecords(uint64_t bytes);

}  // namespace morvane::fixturegen
