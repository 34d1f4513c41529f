// The text of the binary file viewer's rows: a file is shown as rows of 32
// bytes, each with an address and two data columns in a display mode of
// their own (hex, decimal or octal in groups, or text). Standard library
// only, so that it builds natively for the fuzz target.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace morvane {

constexpr int kHexDumpRowSize = 32;

enum THexDumpKind : uint8_t { hdkDecimal = 0, hdkHex = 1, hdkOctal = 2, hdkText = 3 };

struct THexDumpMode {
  std::string Caption;
  uint8_t Kind = hdkHex;
  uint8_t GroupCode = 0;
};

constexpr int kHexDumpModeCount = 13;
using THexDumpModes = std::array<THexDumpMode, kHexDumpModeCount>;

// The display modes in the order a column steps through them.
THexDumpModes HexDumpModes();

// Group code -> bytes per group: 0 -> 64 (no blanks inside a row), 1 -> 1,
// 2 -> 2, 3 -> 4, 4 -> 8; anything else is treated as 0.
int HexDumpGroupSize(uint8_t GroupCode);

// One data column of a row: Count bytes (at most one row's worth is meant,
// any count works) in the given kind and grouping.
//  hex:     two upper-case digits a byte, in file order, a blank after every
//           group's last byte;
//  decimal: whole groups only, each a little-endian unsigned number right-
//           aligned in 3, 5, 10 or 20 characters and followed by a blank;
//  octal:   whole groups only, zero-padded to 3, 6, 11 (or 22) digits and a
//           blank;
//  text:    a byte below 32 as ".", any other as itself (system code page).
std::string FormatRow(int Count, uint8_t Kind, uint8_t GroupCode, const uint8_t* Bytes);

// The address column: Offset as 8 (or more) upper-case hex digits, or in decimal.
std::string FormatAddress(uint64_t Offset, bool Hex);

// How a file of FileSize bytes divides into rows.
struct THexDumpRows {
  int64_t RowCount = 0;
  int LastRowSize = 0;  // bytes of a short last row; 0 when the last row is full
};
THexDumpRows HexDumpRows(uint64_t FileSize);
// Bytes of row Row (32, fewer for a short last row, 0 past the end).
int HexDumpRowBytes(uint64_t FileSize, int64_t Row);

// The part of a file to map so that rows First..Last (clamped to the file)
// and TailBytes more bytes after them (clamped) can be read: the view starts
// at the Granularity boundary at or below the first row and ends at the last
// byte needed. Length 0 when nothing of the file is asked for.
struct THexDumpWindow {
  uint64_t Offset = 0;
  uint64_t Length = 0;
};
THexDumpWindow HexDumpWindow(uint64_t FileSize, int64_t First, int64_t Last, uint32_t Granularity,
                             uint64_t TailBytes = 0);

}  // namespace morvane
