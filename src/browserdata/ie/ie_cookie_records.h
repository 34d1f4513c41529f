// Internet Explorer's text cookie files: records of nine lines each
//   name, value, host + "/" + path, flags (decimal; 0x1 secure, 0x2000
//   HTTP-only), expiry low and high halves of a Windows file time (UTC,
//   100 ns units since 1601, unsigned decimal), creation low and high, "*".
// Lines end in LF or CR LF; we write LF. Pure: no I/O and no Windows headers.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace morvane {

constexpr int ieFlagSecure = 0x1;
constexpr int ieFlagHttpOnly = 0x2000;
constexpr uint64_t ieMaxCookieFileSize = 0xFFFF;

// One record with every line as it was read. The writer writes these texts
// back unchanged, so a record keeps its bytes unless it is edited.
struct TIECookieRecord {
  std::string Name;
  std::string Value;
  std::string HostPath;
  std::string Flags;
  std::string ExpiresLowText;
  std::string ExpiresHighText;
  std::string CreatedLowText;
  std::string CreatedHighText;

  bool operator==(const TIECookieRecord&) const = default;
};

// A time line: a 64-bit decimal number (optional sign) of which the low 32
// bits count. False for anything else, an empty line included.
bool TryParseIETimeText(std::string_view text, uint32_t& half);
// The file time the two halves make; 0 when either text is not a number.
uint64_t IEFileTime(std::string_view lowText, std::string_view highText);

// The records of a cookie file, in file order:
//  - a record whose ninth line is not exactly "*" is not kept, and reading
//    goes on with the line after it;
//  - a record whose time lines are not numbers is not kept, and reading goes
//    on after the next "*" line, so later records stay in step;
//  - a record that was blanked out (zero expiry, name and value nothing but
//    blanks) is not kept either: that is how deleted cookies stay deleted.
std::vector<TIECookieRecord> ParseIECookieRecords(std::string_view bytes);
// The file text of the records, every line ended by LF (CR LF for a line
// that itself ends in CR, so that it reads back the same).
std::string FormatIECookieRecords(const std::vector<TIECookieRecord>& records);

// Whether a directory entry is a cookie file: the name holds "@" and ends in
// ".txt" (any case), and the file is at most 65,535 bytes.
bool IsIECookieFile(std::string_view name, uint64_t size);

// ---- edits that keep the file's layout ----

// Text cut to Length characters or padded with blanks to it.
std::string FitToLength(std::string_view text, size_t length);
// The decimal flags of a record (blanks after the number, which our own
// edits leave, are allowed). False when it is not a number.
bool TryParseIEFlags(std::string_view text, int& flags);
// The flags text with the secure and HTTP-only bits set as given, padded with
// blanks to the old text's length; the old text when the new one is longer.
// Raises std::invalid_argument when the old text is not a number.
std::string EditIEFlags(std::string_view oldText, bool secure, bool httpOnly);
// The expiry lines for a new file time. When the new digits are fewer than the
// old ones, the low line gains leading zeros so that the two lines keep their
// length; when they are more, the exact texts are written and the record grows.
void EditIEExpiry(const TIECookieRecord& old, uint64_t fileTime, std::string& lowText, std::string& highText);
// Blanks a record in place: name and value become blanks, the expiry lines
// zeros, each of its old length, so the file keeps its length.
void BlankIECookieRecord(TIECookieRecord& record);

}  // namespace morvane
