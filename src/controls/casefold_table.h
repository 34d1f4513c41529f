// The case-folding records of the wide-string routines: one record per
// (cased character, status), as the Unicode case-folding data lists them
// for the Basic Multilingual Plane. Built by gen/gen_casefold.js.
#pragma once

#include <cstdint>

namespace morvane {

// Status bits of a record.
enum : uint8_t {
  cfCommon = 1,   // C
  cfSimple = 2,   // S
  cfFull = 4,     // F: the only ones with more than one unit
  cfTurkic = 8,   // T (status "I" of the data)
};

// 10 bytes, as the table was always laid out: status, a zero byte, source
// unit, then the folded form padded with zeros.
struct TCaseFoldRecord {
  uint8_t Status;
  uint8_t Reserved;
  uint16_t Source;
  uint16_t Folded[3];
};
static_assert(sizeof(TCaseFoldRecord) == 10);

extern const TCaseFoldRecord kCaseFoldTable[];
extern const int kCaseFoldCount;

}  // namespace morvane
