// The byte form of a tree's item stream, apart from any stream, item or
// system call so that it can be checked on any input. The stream is a
// depth-first dump: one record per item (the invisible root first), each
// followed by its children's records. Records of every earlier version are
// read; records are written in the current one. Every count and length is
// checked against the bytes that are left, and the tree is walked without
// recursion, so no input can run the reader out of memory or stack.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace morvane {
namespace eltreecodec {

using TBytes = std::span<const uint8_t>;

inline constexpr int32_t kCurrentVersion = -13;
inline constexpr size_t kFixedBlockSize = 128;
inline constexpr size_t kStyleRecordSize = 36;

// One cell style as the stream carries it.
struct TStyleRecord {
  int32_t CellBkColor = 0;
  int32_t TextBkColor = 0;
  int32_t TextColor = 0;
  uint32_t TextFlags = 0x8824;
  uint32_t PictureRef = 0;  // written as it is, never taken when read
  uint8_t CellType = 1;     // the style's first flag byte: its field type
  uint8_t Kind = 0;         // 0 text, 1 owner-drawn, 2 picture
  bool OwnerProps = false;
  bool UseBkColor = false;
  int32_t FontSize = 0;
  uint8_t FontStyles = 0;
  uint32_t LeadingValue = 0;
  std::string FontName;  // system code page
  bool operator==(const TStyleRecord&) const = default;
};

// Which block of item fields a record carries (by its version marker).
enum class TBlockKind : uint8_t { None, Old44, Old48, Full };

// Flag bits that the two older blocks set one by one.
inline constexpr uint32_t kFlagParentColors = 0x1, kFlagParentStyle = 0x2,
                          kFlagForceButtons = 0x20, kFlagUseBkColor = 0x400,
                          kFlagUseStyles = 0x1000, kFlagHidden = 0x4000, kFlagEnabled = 0x8000,
                          kFlagCheckBoxEnabled = 0x20000, kFlagShowCheckBox = 0x40000;

// One item's fields up to (and including) its uses-styles byte.
struct TItemRecord {
  int32_t Marker = kCurrentVersion;  // 0: a record without marker
  std::string Text;                  // system code page
  TBlockKind Block = TBlockKind::Full;
  uint16_t State = 0;
  int32_t ImageIndex = -1, StImageIndex = -1;
  bool HasImages2 = true;  // not in the 48-byte block
  int32_t ImageIndex2 = -1, StImageIndex2 = -1;
  uint32_t Flags = 0;
  uint32_t FlagMask = 0xFFFFFFFFu;  // the flag bits the record gives
  int32_t Color = 0;
  bool HasRowBkColor = true;  // not in the 44-byte block
  int32_t RowBkColor = 0;
  int32_t BkColor = 0;
  uint8_t CheckBoxState = 0, CheckBoxType = 0;
  // Only in the full block:
  uint8_t RowBorderStyle = 0;
  int32_t Indent = 0, StrikeLineColor = 0, UserTag = 0;
  bool HasOverlays = true;  // full block of the current version
  int8_t OverlayIndex = -1, OverlayIndex2 = -1;
  bool HasHint = false;
  bool HintWide = true;
  std::wstring Hint;       // UTF-16 code units, when HintWide
  std::string HintAnsi;    // when not
  std::vector<std::string> ColumnTexts;
  bool HasStylesPart = true;  // every record with a marker
  bool UseStyles = false;
  bool operator==(const TItemRecord&) const = default;
};

// What a reader does with what it finds. Node is the sink's own handle of
// an item; the first record (the root's) gets a null Parent.
class TItemStreamSink {
 public:
  virtual ~TItemStreamSink() = default;
  virtual void* Record(void* Parent, const TItemRecord& R) = 0;
  // A style stored as a record. Index -1 is the main style; 0 and up are the
  // further styles, in order (the sink adds one for each).
  virtual void Style(void* Node, int Index, const TStyleRecord& S) = 0;
  // Bytes only the application knows how to read: a style it saved, and the
  // block after the styles. They start at Pos; the sink moves Pos past what
  // it read, and returns false when the data ended before it was done.
  virtual bool ApplicationStyle(void* Node, int Index, TBytes Data, size_t& Pos) {
    (void)Node, (void)Index, (void)Data, (void)Pos;
    return true;
  }
  virtual bool ApplicationBlock(void* Node, TBytes Data, size_t& Pos) {
    (void)Node, (void)Data, (void)Pos;
    return true;
  }
};

enum class TItemDecodeResult { Ok, Short };
// Reads one record with all its descendants from Pos. On Short (the data
// ended inside a record, or a sink said so) everything before the damaged
// record has reached the sink, and Pos is where reading stopped.
TItemDecodeResult DecodeItemStream(TBytes Data, size_t& Pos, TItemStreamSink& Sink);

// Writing, in the current layout. A record is: head (fields up to the column
// texts), the uses-styles byte, the style block when it is 1, the
// application's block, the child count, the children.
void EncodeItemHead(std::string& Out, const TItemRecord& R);
void EncodeStyleRecord(std::string& Out, const TStyleRecord& S);
void EncodeByte(std::string& Out, uint8_t v);
void EncodeInt32(std::string& Out, int32_t v);
void EncodeAnsi(std::string& Out, std::string_view S);

// A sink that keeps everything it is given, as a flat list in stream order,
// and writes it back. The application's bytes are not known to it: with
// them a stream does not write back.
struct TCollectedItem {
  int Parent = -1;
  TItemRecord Record;
  bool AppStyles = false;  // the styles were saved by the application
  std::vector<TStyleRecord> Styles;  // main style first, when UseStyles
};
class TCollectingSink : public TItemStreamSink {
 public:
  std::vector<TCollectedItem> Items;
  void* Record(void* Parent, const TItemRecord& R) override;
  void Style(void* Node, int Index, const TStyleRecord& S) override;
  bool ApplicationStyle(void* Node, int Index, TBytes Data, size_t& Pos) override;
};
// The items of a collecting sink in the current layout (styles saved by the
// application are written as default records).
std::string EncodeCollected(const std::vector<TCollectedItem>& Items);

}  // namespace eltreecodec
}  // namespace morvane
