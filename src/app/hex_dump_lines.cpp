#include "app/hex_dump_lines.h"

#include <algorithm>

namespace morvane {

THexDumpModes HexDumpModes() {
  return {{
      {"Hex (no grupping)", hdkHex, 0},
      {"Hex (1 byte)", hdkHex, 1},
      {"Hex (2 bytes)", hdkHex, 2},
      {"Hex (4 bytes)", hdkHex, 3},
      {"Hex (8 bytes)", hdkHex, 4},
      {"Decimal (1 byte)", hdkDecimal, 1},
      {"Decimal (2 bytes)", hdkDecimal, 2},
      {"Decimal (4 bytes)", hdkDecimal, 3},
      {"Decimal (8 bytes)", hdkDecimal, 4},
      {"Octal (1 byte)", hdkOctal, 1},
      {"Octal (2 bytes)", hdkOctal, 2},
      {"Octal (4 bytes)", hdkOctal, 3},
      {"Text", hdkText, 0},
  }};
}

int HexDumpGroupSize(uint8_t GroupCode) {
  switch (GroupCode) {
    case 1: return 1;
    case 2: return 2;
    case 3: return 4;
    case 4: return 8;
    default: return 64;
  }
}

namespace {

uint64_t LittleEndian(const uint8_t* p, int n) {
  uint64_t v = 0;
  for (int i = n - 1; i >= 0; --i) v = (v << 8) | p[i];
  return v;
}

// Width of a group's decimal text: enough for the largest value of g bytes.
int DecimalWidth(int g) {
  switch (g) {
    case 1: return 3;
    case 2: return 5;
    case 4: return 10;
    default: return 20;
  }
}

// Octal digits of a group. Eight-byte groups need 22 digits; no mode asks
// for them, but the formatter must not cut a value short if one does.
int OctalWidth(int g) {
  switch (g) {
    case 1: return 3;
    case 2: return 6;
    case 4: return 11;
    default: return 22;
  }
}

void AppendDecimal(std::string& out, uint64_t v, int width) {
  char digits[24];
  int n = 0;
  do {
    digits[n++] = static_cast<char>('0' + v % 10);
    v /= 10;
  } while (v != 0);
  for (int i = n; i < width; ++i) out += ' ';
  while (n > 0) out += digits[--n];
}

void AppendOctal(std::string& out, uint64_t v, int width) {
  char digits[24];
  for (int i = width - 1; i >= 0; --i) {
    digits[i] = static_cast<char>('0' + (v & 7));
    v >>= 3;
  }
  out.append(digits, static_cast<size_t>(width));
}

}  // namespace

std::string FormatRow(int Count, uint8_t Kind, uint8_t GroupCode, const uint8_t* Bytes) {
  std::string out;
  if (Count <= 0 || !Bytes) return out;
  const int g = HexDumpGroupSize(GroupCode);
  static const char kHex[] = "0123456789ABCDEF";
  switch (Kind) {
    case hdkHex:
      out.reserve(static_cast<size_t>(Count) * 3);
      for (int i = 0; i < Count; ++i) {
        out += kHex[Bytes[i] >> 4];
        out += kHex[Bytes[i] & 15];
        if ((i + 1) % g == 0) out += ' ';
      }
      break;
    case hdkDecimal:
    case hdkOctal: {
      // A group is at most 8 bytes; group code 0 (64) leaves nothing whole.
      if (g > 8) break;
      const int groups = Count / g;
      for (int k = 0; k < groups; ++k) {
        const uint64_t v = LittleEndian(Bytes + k * g, g);
        if (Kind == hdkDecimal) AppendDecimal(out, v, DecimalWidth(g));
        else AppendOctal(out, v, OctalWidth(g));
        out += ' ';
      }
      break;
    }
    case hdkText:
      out.reserve(static_cast<size_t>(Count));
      for (int i = 0; i < Count; ++i) out += Bytes[i] < 32 ? '.' : static_cast<char>(Bytes[i]);
      break;
    default:
      break;
  }
  return out;
}

std::string FormatAddress(uint64_t Offset, bool Hex) {
  std::string out;
  if (!Hex) {
    AppendDecimal(out, Offset, 1);
    return out;
  }
  static const char kHex[] = "0123456789ABCDEF";
  char digits[16];
  int n = 0;
  do {
    digits[n++] = kHex[Offset & 15];
    Offset >>= 4;
  } while (Offset != 0);
  for (int i = n; i < 8; ++i) out += '0';
  while (n > 0) out += digits[--n];
  return out;
}

THexDumpRows HexDumpRows(uint64_t FileSize) {
  THexDumpRows r;
  r.LastRowSize = static_cast<int>(FileSize % kHexDumpRowSize);
  r.RowCount = static_cast<int64_t>(FileSize / kHexDumpRowSize) + (r.LastRowSize != 0 ? 1 : 0);
  return r;
}

int HexDumpRowBytes(uint64_t FileSize, int64_t Row) {
  if (Row < 0) return 0;
  const uint64_t start = static_cast<uint64_t>(Row) * kHexDumpRowSize;
  if (start >= FileSize) return 0;
  return static_cast<int>(std::min<uint64_t>(kHexDumpRowSize, FileSize - start));
}

THexDumpWindow HexDumpWindow(uint64_t FileSize, int64_t First, int64_t Last, uint32_t Granularity,
                             uint64_t TailBytes) {
  THexDumpWindow w;
  const int64_t rows = HexDumpRows(FileSize).RowCount;
  First = std::max<int64_t>(First, 0);
  Last = std::min<int64_t>(Last, rows - 1);
  if (rows == 0 || First > Last) return w;
  const uint64_t begin = static_cast<uint64_t>(First) * kHexDumpRowSize;
  uint64_t end = std::min<uint64_t>(static_cast<uint64_t>(Last + 1) * kHexDumpRowSize, FileSize);
  end = FileSize - end < TailBytes ? FileSize : end + TailBytes;
  const uint64_t g = Granularity == 0 ? 1 : Granularity;
  w.Offset = begin / g * g;
  w.Length = end - w.Offset;
  return w;
}

}  // namespace morvane
