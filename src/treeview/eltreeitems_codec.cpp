#include "treeview/eltreeitems_codec.h"

#include <cstring>

namespace morvane {
namespace eltreecodec {

namespace {

int32_t I32(const uint8_t* p) {
  return static_cast<int32_t>(static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
                              (static_cast<uint32_t>(p[2]) << 16) |
                              (static_cast<uint32_t>(p[3]) << 24));
}
uint16_t U16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
void Put32(uint8_t* p, uint32_t v) {
  p[0] = static_cast<uint8_t>(v);
  p[1] = static_cast<uint8_t>(v >> 8);
  p[2] = static_cast<uint8_t>(v >> 16);
  p[3] = static_cast<uint8_t>(v >> 24);
}

class TReader {
 public:
  TReader(TBytes Data, size_t& Pos) : d_(Data), pos_(Pos) {}
  size_t Left() const { return pos_ < d_.size() ? d_.size() - pos_ : 0; }
  bool Int32(int32_t& v) {
    if (Left() < 4) return false;
    v = I32(d_.data() + pos_);
    pos_ += 4;
    return true;
  }
  bool Byte(uint8_t& v) {
    if (Left() < 1) return false;
    v = d_[pos_++];
    return true;
  }
  bool Block(const uint8_t*& p, size_t n) {
    if (Left() < n) return false;
    p = d_.data() + pos_;
    pos_ += n;
    return true;
  }
  // A negative length reads as an empty string and reading goes on; a
  // length beyond the end is a stream that ended early.
  bool Ansi(std::string& s) {
    int32_t n;
    if (!Int32(n)) return false;
    if (n < 0) {
      s.clear();
      return true;
    }
    const uint8_t* p;
    if (!Block(p, static_cast<size_t>(n))) return false;
    s.assign(reinterpret_cast<const char*>(p), static_cast<size_t>(n));
    return true;
  }
  bool Wide(std::wstring& s) {
    int32_t n;
    if (!Int32(n)) return false;
    if (n < 0) {
      s.clear();
      return true;
    }
    if (Left() / 2 < static_cast<size_t>(n)) return false;
    const uint8_t* p;
    Block(p, static_cast<size_t>(n) * 2);
    s.resize(static_cast<size_t>(n));
    for (size_t i = 0; i < s.size(); ++i) s[i] = static_cast<wchar_t>(U16(p + 2 * i));
    return true;
  }
  TBytes Data() const { return d_; }
  size_t& Pos() { return pos_; }

 private:
  TBytes d_;
  size_t& pos_;
};

void SetFlag(TItemRecord& R, uint32_t Bit, bool On) {
  R.FlagMask |= Bit;
  if (On) R.Flags |= Bit;
}

// The 44-byte block of markers -7 to -9 and the 48-byte one of -10.
void TakeOldBlock(TItemRecord& R, const uint8_t* b, bool Is48) {
  R.State = U16(b);
  R.ImageIndex = I32(b + 4);
  R.StImageIndex = I32(b + 8);
  R.Flags = 0;
  R.FlagMask = 0;
  SetFlag(R, kFlagForceButtons, I32(b + 12) != 0);
  R.Color = I32(b + 16);
  const size_t o = Is48 ? 4 : 0;  // the 48-byte block has RowBkColor at 20
  R.HasRowBkColor = Is48;
  if (Is48) R.RowBkColor = I32(b + 20);
  R.BkColor = I32(b + 20 + o);
  SetFlag(R, kFlagParentColors, b[24 + o] != 0);
  SetFlag(R, kFlagParentStyle, b[25 + o] != 0);
  SetFlag(R, kFlagCheckBoxEnabled, b[26 + o] != 0);
  R.CheckBoxState = b[27 + o];
  SetFlag(R, kFlagShowCheckBox, b[28 + o] != 0);
  R.CheckBoxType = b[29 + o];
  R.HasImages2 = !Is48;
  if (!Is48) {
    R.ImageIndex2 = I32(b + 32);
    R.StImageIndex2 = I32(b + 36);
  }
  SetFlag(R, kFlagEnabled, b[Is48 ? 44 : 40] != 0);
  SetFlag(R, kFlagHidden, b[Is48 ? 45 : 41] != 0);
}

void TakeFullBlock(TItemRecord& R, const uint8_t* b, bool Overlays) {
  R.State = U16(b);
  R.ImageIndex = I32(b + 4);
  R.StImageIndex = I32(b + 8);
  R.ImageIndex2 = I32(b + 12);
  R.StImageIndex2 = I32(b + 16);
  R.Flags = static_cast<uint32_t>(I32(b + 20));
  R.FlagMask = 0xFFFFFFFFu;
  R.Color = I32(b + 28);
  R.RowBkColor = I32(b + 32);
  R.BkColor = I32(b + 36);
  R.CheckBoxState = b[40];
  R.CheckBoxType = b[41];
  R.RowBorderStyle = b[48];
  R.Indent = I32(b + 52);
  R.StrikeLineColor = I32(b + 56);
  R.UserTag = I32(b + 60);
  R.HasOverlays = Overlays;
  if (Overlays) {
    const uint32_t ov = static_cast<uint32_t>(I32(b + 64));
    R.OverlayIndex = static_cast<int8_t>(ov & 0xFF);
    R.OverlayIndex2 = static_cast<int8_t>((ov >> 16) & 0xFF);
  }
}

// Steps 1 to 4 of a record up to the uses-styles byte.
bool ReadHead(TReader& In, TItemRecord& R) {
  int32_t first;
  if (!In.Int32(first)) return false;
  R.Marker = first < 0 ? first : 0;
  if (first < 0) {
    if (!In.Ansi(R.Text)) return false;
  } else {
    const uint8_t* p;
    if (!In.Block(p, static_cast<size_t>(first))) return false;
    R.Text.assign(reinterpret_cast<const char*>(p), static_cast<size_t>(first));
  }
  const int32_t m = R.Marker;
  const uint8_t* b;
  if (m >= -6) {
    R.Block = TBlockKind::None;
    R.FlagMask = 0;
    R.HasImages2 = R.HasRowBkColor = R.HasOverlays = false;
  } else if (m >= -10) {
    const bool is48 = m == -10;
    R.Block = is48 ? TBlockKind::Old48 : TBlockKind::Old44;
    if (!In.Block(b, is48 ? 48 : 44)) return false;
    TakeOldBlock(R, b, is48);
    R.HasOverlays = false;
    uint8_t useBk;
    if (!In.Byte(useBk)) return false;
    SetFlag(R, kFlagUseBkColor, useBk != 0);
  } else {
    R.Block = TBlockKind::Full;
    if (!In.Block(b, kFixedBlockSize)) return false;
    TakeFullBlock(R, b, m <= -13);
  }
  int32_t n;
  if (!In.Int32(n)) return false;
  R.HasHint = false;
  if (n == -1) {
    R.HasHint = true;
    R.HintWide = m <= -12;
    if (R.HintWide ? !In.Wide(R.Hint) : !In.Ansi(R.HintAnsi)) return false;
    if (!In.Int32(n)) return false;
  }
  R.ColumnTexts.clear();
  // Each text takes at least its four length bytes: the loop ends with the
  // data whatever the count says.
  for (int32_t i = 0; i < n; ++i) {
    std::string s;
    if (!In.Ansi(s)) return false;
    R.ColumnTexts.push_back(std::move(s));
  }
  R.HasStylesPart = m < 0;
  R.UseStyles = false;
  if (R.HasStylesPart) {
    uint8_t use;
    if (!In.Byte(use)) return false;
    R.UseStyles = use != 0;
  }
  return true;
}

bool ReadStyle(TReader& In, TStyleRecord& S) {
  const uint8_t* b;
  if (!In.Block(b, kStyleRecordSize)) return false;
  S.CellBkColor = I32(b);
  S.TextBkColor = I32(b + 4);
  S.TextColor = I32(b + 8);
  S.TextFlags = static_cast<uint32_t>(I32(b + 12));
  S.PictureRef = static_cast<uint32_t>(I32(b + 16));
  S.CellType = b[20];
  S.Kind = b[21];
  S.OwnerProps = b[22] != 0;
  S.UseBkColor = b[23] != 0;
  S.FontSize = I32(b + 24);
  S.FontStyles = b[28];
  S.LeadingValue = static_cast<uint32_t>(I32(b + 32));
  return In.Ansi(S.FontName);
}

// One style, by record or by the application. Index -1 is the main style.
bool ReadOneStyle(TReader& In, TItemStreamSink& Sink, void* Node, int Index, bool ByApp) {
  if (ByApp) return Sink.ApplicationStyle(Node, Index, In.Data(), In.Pos());
  TStyleRecord s;
  if (!ReadStyle(In, s)) return false;
  Sink.Style(Node, Index, s);
  return true;
}

// Steps 4 (styles) to 6 (child count) after the head.
bool ReadTail(TReader& In, TItemStreamSink& Sink, void* Node, const TItemRecord& R,
              int32_t& Children) {
  if (R.HasStylesPart && R.UseStyles) {
    uint8_t byApp = 0;
    if (R.Marker <= -2 && !In.Byte(byApp)) return false;
    if (!ReadOneStyle(In, Sink, Node, -1, byApp != 0)) return false;
    int32_t n;
    if (!In.Int32(n)) return false;
    for (int32_t i = 0; i < n; ++i) {
      // A style saved by the application may take no bytes at all: a count
      // beyond what is left is a damaged stream, not a loop to run.
      if (byApp != 0 && static_cast<size_t>(i) >= In.Left()) return false;
      if (!ReadOneStyle(In, Sink, Node, i, byApp != 0)) return false;
    }
  }
  if (!Sink.ApplicationBlock(Node, In.Data(), In.Pos())) return false;
  if (In.Pos() > In.Data().size()) return false;
  return In.Int32(Children);
}

}  // namespace

TItemDecodeResult DecodeItemStream(TBytes Data, size_t& Pos, TItemStreamSink& Sink) {
  TReader in(Data, Pos);
  struct TFrame {
    void* Node;
    int64_t Left;
  };
  std::vector<TFrame> open;
  void* parent = nullptr;
  for (;;) {
    TItemRecord r;
    if (!ReadHead(in, r)) return TItemDecodeResult::Short;
    void* node = Sink.Record(parent, r);
    int32_t children = 0;
    if (!ReadTail(in, Sink, node, r, children)) return TItemDecodeResult::Short;
    // Every record takes at least twelve bytes, so the open frames stay
    // bounded by the input.
    if (children > 0) open.push_back({node, children});
    while (!open.empty() && open.back().Left == 0) open.pop_back();
    if (open.empty()) return TItemDecodeResult::Ok;
    --open.back().Left;
    parent = open.back().Node;
  }
}

void EncodeByte(std::string& Out, uint8_t v) { Out.push_back(static_cast<char>(v)); }

void EncodeInt32(std::string& Out, int32_t v) {
  uint8_t b[4];
  Put32(b, static_cast<uint32_t>(v));
  Out.append(reinterpret_cast<const char*>(b), 4);
}

void EncodeAnsi(std::string& Out, std::string_view S) {
  EncodeInt32(Out, static_cast<int32_t>(S.size()));
  Out.append(S);
}

void EncodeItemHead(std::string& Out, const TItemRecord& R) {
  EncodeInt32(Out, kCurrentVersion);
  EncodeAnsi(Out, R.Text);
  uint8_t b[kFixedBlockSize] = {};
  b[0] = static_cast<uint8_t>(R.State);
  b[1] = static_cast<uint8_t>(R.State >> 8);
  Put32(b + 4, static_cast<uint32_t>(R.ImageIndex));
  Put32(b + 8, static_cast<uint32_t>(R.StImageIndex));
  Put32(b + 12, static_cast<uint32_t>(R.ImageIndex2));
  Put32(b + 16, static_cast<uint32_t>(R.StImageIndex2));
  Put32(b + 20, R.Flags);
  Put32(b + 28, static_cast<uint32_t>(R.Color));
  Put32(b + 32, static_cast<uint32_t>(R.RowBkColor));
  Put32(b + 36, static_cast<uint32_t>(R.BkColor));
  b[40] = R.CheckBoxState;
  b[41] = R.CheckBoxType;
  b[48] = R.RowBorderStyle;
  Put32(b + 52, static_cast<uint32_t>(R.Indent));
  Put32(b + 56, static_cast<uint32_t>(R.StrikeLineColor));
  Put32(b + 60, static_cast<uint32_t>(R.UserTag));
  Put32(b + 64, static_cast<uint32_t>(static_cast<uint8_t>(R.OverlayIndex)) |
                    (static_cast<uint32_t>(static_cast<uint8_t>(R.OverlayIndex2)) << 16));
  Out.append(reinterpret_cast<const char*>(b), sizeof b);
  EncodeInt32(Out, -1);
  EncodeInt32(Out, static_cast<int32_t>(R.Hint.size()));
  for (wchar_t c : R.Hint) {
    Out.push_back(static_cast<char>(c & 0xFF));
    Out.push_back(static_cast<char>((c >> 8) & 0xFF));
  }
  EncodeInt32(Out, static_cast<int32_t>(R.ColumnTexts.size()));
  for (const std::string& s : R.ColumnTexts) EncodeAnsi(Out, s);
}

void EncodeStyleRecord(std::string& Out, const TStyleRecord& S) {
  uint8_t b[kStyleRecordSize] = {};
  Put32(b, static_cast<uint32_t>(S.CellBkColor));
  Put32(b + 4, static_cast<uint32_t>(S.TextBkColor));
  Put32(b + 8, static_cast<uint32_t>(S.TextColor));
  Put32(b + 12, S.TextFlags);
  Put32(b + 16, S.PictureRef);
  b[20] = S.CellType;
  b[21] = S.Kind;
  b[22] = S.OwnerProps ? 1 : 0;
  b[23] = S.UseBkColor ? 1 : 0;
  Put32(b + 24, static_cast<uint32_t>(S.FontSize));
  b[28] = S.FontStyles;
  Put32(b + 32, S.LeadingValue);
  Out.append(reinterpret_cast<const char*>(b), sizeof b);
  EncodeAnsi(Out, S.FontName);
}

// ---- the collecting sink ----

void* TCollectingSink::Record(void* Parent, const TItemRecord& R) {
  TCollectedItem it;
  it.Parent = Parent ? static_cast<int>(reinterpret_cast<intptr_t>(Parent)) - 1 : -1;
  it.Record = R;
  Items.push_back(std::move(it));
  return reinterpret_cast<void*>(static_cast<intptr_t>(Items.size()));
}

void TCollectingSink::Style(void* Node, int, const TStyleRecord& S) {
  Items[static_cast<size_t>(reinterpret_cast<intptr_t>(Node)) - 1].Styles.push_back(S);
}

bool TCollectingSink::ApplicationStyle(void* Node, int, TBytes, size_t&) {
  TCollectedItem& it = Items[static_cast<size_t>(reinterpret_cast<intptr_t>(Node)) - 1];
  it.AppStyles = true;
  it.Styles.push_back(TStyleRecord{});
  return true;
}

std::string EncodeCollected(const std::vector<TCollectedItem>& Items) {
  std::string out;
  if (Items.empty()) return out;
  std::vector<std::vector<size_t>> kids(Items.size());
  for (size_t i = 1; i < Items.size(); ++i)
    if (Items[i].Parent >= 0) kids[static_cast<size_t>(Items[i].Parent)].push_back(i);
  // Pre-order without recursion: the collected order already is one.
  for (size_t i = 0; i < Items.size(); ++i) {
    const TCollectedItem& it = Items[i];
    EncodeItemHead(out, it.Record);
    const bool styles = it.Record.UseStyles && !it.Styles.empty();
    EncodeByte(out, styles ? 1 : 0);
    if (styles) {
      EncodeByte(out, 0);
      EncodeStyleRecord(out, it.Styles[0]);
      EncodeInt32(out, static_cast<int32_t>(it.Styles.size() - 1));
      for (size_t s = 1; s < it.Styles.size(); ++s) EncodeStyleRecord(out, it.Styles[s]);
    }
    EncodeInt32(out, static_cast<int32_t>(kids[i].size()));
  }
  return out;
}

}  // namespace eltreecodec
}  // namespace morvane
