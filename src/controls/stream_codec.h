// Byte-level forms of the control family's stream data, apart from any
// stream or system call so that they can be checked on any input:
// length-prefixed strings, wide text with or without a byte-order mark, and
// the "Strings" list of a wide-string list.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace morvane {
namespace elcodec {

using TBytes = std::span<const uint8_t>;

int32_t GetInt32LE(const uint8_t* p);
void PutInt32LE(std::string& Out, int32_t v);

// A stored string length checked against the bytes that follow it.
enum class TStringHeader {
  Ok,
  Negative,  // "Invalid string header read from the stream"
  TooLong,   // more characters than bytes are left: a damaged stream
};
TStringHeader CheckStringLength(int32_t Length, uint64_t Remaining, unsigned UnitSize);

enum class TDecodeResult { Ok, BadHeader, Short };
// A length-prefixed string at Pos: int32 length, then Length bytes (8-bit)
// or Length UTF-16 code units. On Ok, Pos moves past it. On BadHeader (a
// negative length, or one past the end) Pos moves past the four length bytes
// and S is left as it was; on Short (fewer than four bytes left) Pos moves to
// the end and S is left as it was.
TDecodeResult DecodeString(TBytes Data, size_t& Pos, std::string& S);
TDecodeResult DecodeWideString(TBytes Data, size_t& Pos, std::wstring& S);
void EncodeString(std::string& Out, std::string_view S);
void EncodeWideString(std::string& Out, const std::wstring& S);

// UTF-16 little-endian code units of Data (an odd last byte is dropped).
std::wstring WideFromLE(TBytes Data);
void AppendLE(std::string& Out, const std::wstring& S);

// A text stream: FF FE starts UTF-16 little-endian, FE FF big-endian (turned
// into little-endian up to the first zero unit); anything else is 8-bit text
// in the system code page, left to the caller to convert.
struct TDecodedText {
  bool Unicode = false;
  std::wstring Wide;  // when Unicode
  std::string Ansi;   // when not
};
TDecodedText DecodeText(TBytes Data);

// Splits a text into lines: CR LF, a lone CR and a lone LF each end one line,
// a NUL ends the text, and a final line break adds no empty line.
std::vector<std::wstring> SplitLines(const std::wstring& Text);

// The "Strings" list: list begin (1), per item a value type and its data,
// list end (0). Wide items are type 18 (int32 count of code units, then the
// units); 8-bit items (12: int32 byte count, 6: one count byte) are kept as
// bytes for the caller to convert.
struct TStringsItem {
  bool Wide = true;
  std::wstring W;
  std::string A;
};
enum class TStringsResult { Ok, BadValue, Short };
// Items read before a failure stay in Items. Pos moves past what was read.
TStringsResult DecodeStrings(TBytes Data, size_t& Pos, std::vector<TStringsItem>& Items);
void EncodeStrings(std::string& Out, const std::vector<std::wstring>& Items);

}  // namespace elcodec
}  // namespace morvane
