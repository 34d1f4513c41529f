// The header's "Data" layout value: a whole section set as bytes. Pure
// (standard library only) so that any input can be checked natively.
//
//   int32 version (written: -12), int32 section count, then per section a
//   fixed record (140 bytes for -11 and below; older versions are shorter
//   and laid out differently) and its strings: Text and FieldName as int32
//   n = length + 1 and n bytes ending in a NUL, then, by version,
//   PopupMenuName (int32 length, bytes) and Hint (UTF-16 for -12 and below,
//   8-bit for -11 to -8). Little-endian throughout.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace morvane {
namespace elcodec {

constexpr int32_t kHeaderDataVersion = -12;

// One section as stored. The 8-bit texts are in the system code page.
struct THeaderSectionData {
  bool LookupEnabled = false;
  int32_t ParentIndex = -1;
  bool Expandable = false;
  bool Expanded = false;
  bool Visible = true;
  bool ClickSelect = true;
  bool Resizable = true;
  uint8_t Style = 0;
  int32_t Width = 120;
  int32_t MinWidth = 0;
  int32_t MaxWidth = 10000;
  uint8_t SortMode = 0;
  bool AllowClick = true;
  uint8_t Alignment = 0;
  bool HasUniqueId = false;  // versions before -10 carry none
  int32_t UniqueId = 0;
  int32_t Index = 0;
  uint8_t FieldType = 1;
  bool Editable = false;
  int32_t ImageIndex = -1;
  uint8_t PictureAlign = 0;
  bool Password = false;
  bool ParentColor = true;
  int32_t Color = 0;
  int32_t FontColor = 0;
  bool FilterEnabled = false;
  uint8_t TextLayout = 1;
  bool UseMainStyle = false;
  bool AutoSize = false;
  int32_t Tag = 0;
  std::string Text;  // up to its first NUL
  std::string FieldName;
  std::string PopupMenuName;
  bool HintIsWide = true;
  std::wstring Hint;     // when HintIsWide
  std::string HintAnsi;  // -11 and older: 8-bit
};

struct THeaderData {
  int32_t Version = 0;
  // The sections read; the last one may lack some strings when the data
  // ended early (Truncated).
  std::vector<THeaderSectionData> Sections;
  bool Truncated = false;
  // Whether the stored parent numbers mean anything (not for -4).
  bool HasParents = false;
  size_t Consumed = 0;  // bytes taken from the input
};

// Fields the version lacks keep the values of Defaults. Enumerated fields
// out of their range keep the default as well.
THeaderData DecodeHeaderData(std::span<const uint8_t> Data, const THeaderSectionData& Defaults);
// Version -12.
void EncodeHeaderData(std::string& Out, const std::vector<THeaderSectionData>& Sections);

}  // namespace elcodec
}  // namespace morvane
