#include "controls/header_data_codec.h"

#include "controls/stream_codec.h"

namespace morvane {
namespace elcodec {

namespace {

constexpr size_t kRecordSize = 140;

// Where each field sits in one record layout; -1 when the layout lacks it.
struct TLayout {
  size_t size;
  int lookup, parent, expandable, expanded, visible, clickSelect, resizable, style;
  int width, minWidth, maxWidth, sortMode, allowClick, alignment, uniqueId, index;
  int fieldType, editable, imageIndex, pictureAlign, password, parentColor, color, fontColor;
  int filterEnabled, textLayout, useMainStyle, autoSize, tag;
};

constexpr TLayout kCurrent = {140, 4,  8,  12, 13, 14, 15, 16, 17, 20, 24, 28, 32, 33, 34,
                              36,  40, 44, 45, 48, 52, 53, 54, 56, 60, 64, 65, 66, 67, 68};
constexpr TLayout kV10 = {68, 4,  8,  12, 13, 14, 15, 16, 17, 20, 24, 28, 32, 33, 34,
                          36, 40, 44, 45, 48, 52, 53, 54, 56, 60, 64, 65, 66, 67, -1};
constexpr TLayout kV9 = {64, 4,  8,  12, 13, 14, 15, 16, 17, 20, 24, 28, 32, 33, 34,
                         -1, 36, 40, 41, 44, 48, 49, 50, 52, 56, 60, 61, 62, 63, -1};
constexpr TLayout kV8 = {64, 4,  8,  12, 13, 14, 15, 16, 17, 20, 24, 28, 32, 33, 34,
                         -1, 36, 40, 41, 44, 48, 49, 50, 52, 56, 60, 61, 62, -1, -1};
constexpr TLayout kV6 = {52, 4,  8,  12, 13, 14, 15, 16, 17, 20, 24, 28, 32, 33, 34,
                         -1, 36, 40, 41, 44, 48, 49, -1, -1, -1, -1, -1, -1, -1, -1};
constexpr TLayout kV4 = {36, -1, -1, -1, -1, 0,  1,  2,  3,  4,  8,  12, 16, 17, 18,
                         -1, 20, 24, 25, 28, 32, 33, -1, -1, -1, -1, -1, -1, -1, -1};

struct TVersionInfo {
  const TLayout* layout;
  bool popupMenuName;
  int hint;  // 0 none, 1 8-bit, 2 UTF-16
};

bool VersionInfo(int32_t v, TVersionInfo& info) {
  if (v <= -12) info = {&kCurrent, true, 2};
  else if (v == -11) info = {&kCurrent, true, 1};
  else if (v == -10) info = {&kV10, true, 1};
  else if (v == -9) info = {&kV9, true, 1};
  else if (v == -8) info = {&kV8, true, 1};
  else if (v == -6) info = {&kV6, true, 0};
  else if (v == -5) info = {&kV6, false, 0};
  else if (v == -4) info = {&kV4, false, 0};
  else return false;
  return true;
}

class TReader {
 public:
  explicit TReader(std::span<const uint8_t> d) : d_(d) {}
  size_t Left() const { return d_.size() - pos_; }
  size_t Pos() const { return pos_; }
  bool Int32(int32_t& v) {
    if (Left() < 4) return Fail();
    v = GetInt32LE(d_.data() + pos_);
    pos_ += 4;
    return true;
  }
  bool Bytes(size_t n, const uint8_t*& p) {
    if (Left() < n) return Fail();
    p = d_.data() + pos_;
    pos_ += n;
    return true;
  }
  // int32 n, then n bytes; the text is what comes before the first NUL.
  bool NulString(std::string& s) {
    int32_t n;
    if (!Int32(n)) return false;
    const uint8_t* p;
    if (n < 0 || !Bytes(static_cast<size_t>(n), p)) return Fail();
    size_t len = 0;
    while (len < static_cast<size_t>(n) && p[len] != 0) ++len;
    s.assign(reinterpret_cast<const char*>(p), len);
    return true;
  }
  // As the stream-string readers: a bad length leaves the string alone and
  // the reading goes on after the length.
  bool Counted(std::string& s) { return Result(DecodeString(d_, pos_, s)); }
  bool CountedWide(std::wstring& s) { return Result(DecodeWideString(d_, pos_, s)); }
  std::span<const uint8_t> Data() const { return d_; }

 private:
  bool Result(TDecodeResult r) { return r == TDecodeResult::Short ? Fail() : true; }
  bool Fail() {
    pos_ = d_.size();
    return false;
  }
  std::span<const uint8_t> d_;
  size_t pos_ = 0;
};

void ApplyRecord(const uint8_t* r, const TLayout& l, THeaderSectionData& s) {
  auto b = [&](int off, bool& f) { if (off >= 0) f = r[off] != 0; };
  auto i32 = [&](int off, int32_t& f) { if (off >= 0) f = GetInt32LE(r + off); };
  auto e8 = [&](int off, uint8_t& f, uint8_t max) { if (off >= 0 && r[off] <= max) f = r[off]; };
  b(l.lookup, s.LookupEnabled);
  i32(l.parent, s.ParentIndex);
  b(l.expandable, s.Expandable);
  b(l.expanded, s.Expanded);
  b(l.visible, s.Visible);
  b(l.clickSelect, s.ClickSelect);
  b(l.resizable, s.Resizable);
  e8(l.style, s.Style, 2);
  i32(l.width, s.Width);
  i32(l.minWidth, s.MinWidth);
  i32(l.maxWidth, s.MaxWidth);
  e8(l.sortMode, s.SortMode, 2);
  b(l.allowClick, s.AllowClick);
  e8(l.alignment, s.Alignment, 2);
  if (l.uniqueId >= 0) {
    s.HasUniqueId = true;
    s.UniqueId = GetInt32LE(r + l.uniqueId);
  }
  i32(l.index, s.Index);
  e8(l.fieldType, s.FieldType, 13);
  b(l.editable, s.Editable);
  i32(l.imageIndex, s.ImageIndex);
  e8(l.pictureAlign, s.PictureAlign, 2);
  b(l.password, s.Password);
  b(l.parentColor, s.ParentColor);
  i32(l.color, s.Color);
  i32(l.fontColor, s.FontColor);
  b(l.filterEnabled, s.FilterEnabled);
  e8(l.textLayout, s.TextLayout, 2);
  b(l.useMainStyle, s.UseMainStyle);
  b(l.autoSize, s.AutoSize);
  i32(l.tag, s.Tag);
}

void Put32(uint8_t* r, int32_t v) {
  const uint32_t u = static_cast<uint32_t>(v);
  for (int k = 0; k < 4; ++k) r[k] = static_cast<uint8_t>(u >> (8 * k));
}

}  // namespace

THeaderData DecodeHeaderData(std::span<const uint8_t> Data, const THeaderSectionData& Defaults) {
  THeaderData out;
  TReader rd(Data);
  TVersionInfo info;
  if (!rd.Int32(out.Version)) {
    out.Truncated = true;
  } else if (VersionInfo(out.Version, info)) {
    out.HasParents = out.Version != -4;
    int32_t count = 0;
    if (!rd.Int32(count)) out.Truncated = true;
    for (int32_t k = 0; k < count && !out.Truncated; ++k) {
      const uint8_t* rec;
      if (!rd.Bytes(info.layout->size, rec)) {
        out.Truncated = true;
        break;
      }
      THeaderSectionData& s = out.Sections.emplace_back(Defaults);
      s.HasUniqueId = false;
      ApplyRecord(rec, *info.layout, s);
      bool ok = rd.NulString(s.Text) && rd.NulString(s.FieldName);
      if (ok && info.popupMenuName) ok = rd.Counted(s.PopupMenuName);
      if (ok && info.hint == 2) {
        ok = rd.CountedWide(s.Hint);
      } else if (ok && info.hint == 1) {
        s.HintIsWide = false;
        ok = rd.Counted(s.HintAnsi);
      }
      if (!ok) out.Truncated = true;
    }
  }
  out.Consumed = rd.Pos();
  return out;
}

void EncodeHeaderData(std::string& Out, const std::vector<THeaderSectionData>& Sections) {
  PutInt32LE(Out, kHeaderDataVersion);
  PutInt32LE(Out, static_cast<int32_t>(Sections.size()));
  const TLayout& l = kCurrent;
  for (const THeaderSectionData& s : Sections) {
    uint8_t r[kRecordSize] = {};
    r[l.lookup] = s.LookupEnabled;
    Put32(r + l.parent, s.ParentIndex);
    r[l.expandable] = s.Expandable;
    r[l.expanded] = s.Expanded;
    r[l.visible] = s.Visible;
    r[l.clickSelect] = s.ClickSelect;
    r[l.resizable] = s.Resizable;
    r[l.style] = s.Style;
    Put32(r + l.width, s.Width);
    Put32(r + l.minWidth, s.MinWidth);
    Put32(r + l.maxWidth, s.MaxWidth);
    r[l.sortMode] = s.SortMode;
    r[l.allowClick] = s.AllowClick;
    r[l.alignment] = s.Alignment;
    Put32(r + l.uniqueId, s.UniqueId);
    Put32(r + l.index, s.Index);
    r[l.fieldType] = s.FieldType;
    r[l.editable] = s.Editable;
    Put32(r + l.imageIndex, s.ImageIndex);
    r[l.pictureAlign] = s.PictureAlign;
    r[l.password] = s.Password;
    r[l.parentColor] = s.ParentColor;
    Put32(r + l.color, s.Color);
    Put32(r + l.fontColor, s.FontColor);
    r[l.filterEnabled] = s.FilterEnabled;
    r[l.textLayout] = s.TextLayout;
    r[l.useMainStyle] = s.UseMainStyle;
    r[l.autoSize] = s.AutoSize;
    Put32(r + l.tag, s.Tag);
    Out.append(reinterpret_cast<const char*>(r), kRecordSize);
    for (const std::string* t : {&s.Text, &s.FieldName}) {
      PutInt32LE(Out, static_cast<int32_t>(t->size() + 1));
      Out.append(*t);
      Out.push_back('\0');
    }
    EncodeString(Out, s.PopupMenuName);
    EncodeWideString(Out, s.Hint);
  }
}

}  // namespace elcodec
}  // namespace morvane
