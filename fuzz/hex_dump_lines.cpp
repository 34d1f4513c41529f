// Binary viewer rows: every column text reads back to the bytes it was made
// from (hex digits, decimal and octal group values, text characters) and has
// the length its mode promises; the view window for any row range starts on
// the granularity, never runs past the file and covers every byte asked for.
// fuzz-sources: app/hex_dump_lines.cpp
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "app/hex_dump_lines.h"

namespace {

using namespace morvane;

void Check(bool ok) {
  if (!ok) std::abort();
}

uint64_t Le(const uint8_t* p, int n) {
  uint64_t v = 0;
  for (int i = n - 1; i >= 0; --i) v = (v << 8) | p[i];
  return v;
}

void CheckRow(const uint8_t* bytes, int n, uint8_t kind, uint8_t code) {
  const std::string s = FormatRow(n, kind, code, bytes);
  const int g = HexDumpGroupSize(code);
  switch (kind) {
    case hdkHex: {
      Check(s.size() == static_cast<size_t>(2 * n + n / g));
      size_t at = 0;
      for (int i = 0; i < n; ++i) {
        Check(std::strtoul(s.substr(at, 2).c_str(), nullptr, 16) == bytes[i]);
        at += 2;
        if ((i + 1) % g == 0) Check(s[at++] == ' ');
      }
      break;
    }
    case hdkDecimal:
    case hdkOctal: {
      if (g > 8) {
        Check(s.empty());
        break;
      }
      const int width = kind == hdkDecimal ? (g == 1 ? 3 : g == 2 ? 5 : g == 4 ? 10 : 20)
                                           : (g == 1 ? 3 : g == 2 ? 6 : g == 4 ? 11 : 22);
      Check(s.size() == static_cast<size_t>((n / g) * (width + 1)));
      for (int k = 0; k < n / g; ++k) {
        const std::string field = s.substr(static_cast<size_t>(k * (width + 1)), static_cast<size_t>(width));
        Check(s[static_cast<size_t>(k * (width + 1) + width)] == ' ');
        Check(field.back() != ' ');
        const uint64_t v = std::strtoull(field.c_str(), nullptr, kind == hdkDecimal ? 10 : 8);
        Check(v == Le(bytes + k * g, g));
      }
      break;
    }
    case hdkText:
      Check(s.size() == static_cast<size_t>(n));
      for (int i = 0; i < n; ++i)
        Check(static_cast<uint8_t>(s[static_cast<size_t>(i)]) == (bytes[i] < 32 ? '.' : bytes[i]));
      break;
    default:
      Check(s.empty());
  }
}

void CheckWindow(uint64_t fileSize, int64_t first, int64_t last, uint32_t granularity, uint64_t tail) {
  const THexDumpWindow w = HexDumpWindow(fileSize, first, last, granularity, tail);
  const int64_t rows = HexDumpRows(fileSize).RowCount;
  const int64_t f = first < 0 ? 0 : first;
  const int64_t l = last < rows - 1 ? last : rows - 1;
  if (rows == 0 || f > l) {
    Check(w.Length == 0);
    return;
  }
  const uint64_t g = granularity ? granularity : 1;
  Check(w.Offset % g == 0);
  Check(w.Offset <= static_cast<uint64_t>(f) * 32);
  Check(w.Offset + w.Length <= fileSize);
  uint64_t need = static_cast<uint64_t>(l + 1) * 32;
  need = need > fileSize ? fileSize : need;
  need = fileSize - need < tail ? fileSize : need + tail;
  Check(w.Offset + w.Length == need);
  Check(w.Offset + g > static_cast<uint64_t>(f) * 32);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  const uint8_t kind = data[0] % 5;
  const uint8_t code = data[1] % 6;
  data += 2;
  size -= 2;
  // The row, then the rest in rows of 32 as the viewer cuts a file.
  for (size_t at = 0; at < size; at += 32) {
    const int n = static_cast<int>(size - at < 32 ? size - at : 32);
    CheckRow(data + at, n, kind, code);
  }
  if (size >= 28) {
    uint64_t fileSize = 0, tail = 0;
    int64_t first = 0, last = 0;
    uint32_t granularity = 0;
    std::memcpy(&fileSize, data, 8);
    std::memcpy(&first, data + 8, 8);
    std::memcpy(&last, data + 16, 4);
    std::memcpy(&granularity, data + 20, 4);
    std::memcpy(&tail, data + 24, 4);
    fileSize >>= 8;  // up to 2^56 bytes
    first %= (1ll << 40);
    last = first + static_cast<int64_t>(static_cast<uint32_t>(last) % 5000) - 2;
    tail &= 0xFFFF;
    CheckWindow(fileSize, first, last, granularity, tail);
  }
  const std::string a = FormatAddress(size * 32, true), d = FormatAddress(size * 32, false);
  Check(a.size() >= 8 && std::strtoull(a.c_str(), nullptr, 16) == size * 32);
  Check(std::strtoull(d.c_str(), nullptr, 10) == size * 32);
  return 0;
}
