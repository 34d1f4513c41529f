// The item stream on a TStream: an item's record with its children's, and
// the whole tree through the collection. The bytes are the codec's
// (eltreeitems_codec); this side moves them between the stream and the
// items and gives the application's handlers the stream at their place.
#include <algorithm>
#include <exception>
#include <string>
#include <vector>

#include "platform/core/exceptions.h"
#include "platform/core/streams.h"
#include "platform/core/sysutils.h"
#include "treeview/eltree.h"
#include "treeview/eltree_bracket.h"
#include "treeview/eltreeitems_codec.h"

namespace morvane {

using namespace eltreecodec;

namespace {

// Flags that say what is happening to an item right now; a stream cannot
// set them.
constexpr uint32_t kTransientFlags = tifDeleting | tifInSortPartition;

TStyleRecord ToRecord(const TElCellStyle& S) {
  TStyleRecord r;
  r.CellBkColor = S.CellBkColor;
  r.TextBkColor = S.TextBkColor;
  r.TextColor = S.TextColor;
  r.TextFlags = S.TextFlags;
  r.PictureRef = static_cast<uint32_t>(reinterpret_cast<uintptr_t>(S.Picture));
  r.CellType = S.CellType;
  r.Kind = S.Style;
  r.OwnerProps = S.OwnerProps;
  r.UseBkColor = S.UseBkColor;
  r.FontSize = S.FontSize;
  r.FontStyles = S.FontStyles;
  r.LeadingValue = S.LeadingValue;
  r.FontName = S.FontName;
  return r;
}

void FromRecord(TElCellStyle& S, const TStyleRecord& r) {
  S.CellBkColor = r.CellBkColor;
  S.TextBkColor = r.TextBkColor;
  S.TextColor = r.TextColor;
  S.TextFlags = r.TextFlags;
  S.CellType = static_cast<TElFieldType>(r.CellType);
  // An unknown kind is drawn as text.
  S.Style = r.Kind <= ElhsPictureOnly ? static_cast<TElSectionStyle>(r.Kind) : ElhsText;
  S.OwnerProps = r.OwnerProps;
  S.UseBkColor = r.UseBkColor;
  S.FontSize = r.FontSize;
  S.FontStyles = r.FontStyles;
  S.LeadingValue = r.LeadingValue;
  S.FontName = r.FontName;
}

void Flush(TStream& Stream, std::string& Bytes) {
  if (!Bytes.empty()) Stream.WriteBuffer(Bytes.data(), static_cast<int64_t>(Bytes.size()));
  Bytes.clear();
}

}  // namespace

// Moves records between the codec and the items.
class TElTreeItemStreamer : public TItemStreamSink {
 public:
  TElTreeItemStreamer(TElTreeItem* First, TStream& Stream, int64_t Start)
      : first_(First), tree_(First->Owner()), stream_(Stream), start_(Start) {}

  void* Record(void* Parent, const TItemRecord& R) override {
    TElTreeItem* item = first_;
    if (Parent) {
      auto* p = static_cast<TElTreeItem*>(Parent);
      item = p->OwnerItems()->AddLastChild(p);
    }
    Apply(item, R);
    return item;
  }

  void Style(void* Node, int Index, const TStyleRecord& S) override {
    TElCellStyle* style = StyleAt(static_cast<TElTreeItem*>(Node), Index);
    if (style) FromRecord(*style, S);
  }

  bool ApplicationStyle(void* Node, int Index, TBytes, size_t& Pos) override {
    TElCellStyle* style = StyleAt(static_cast<TElTreeItem*>(Node), Index);
    if (!tree_->OnCellStyleLoad) return true;
    return Hand(Pos, [&] { tree_->OnCellStyleLoad(tree_->EventSender(), stream_, style); });
  }

  bool ApplicationBlock(void* Node, TBytes, size_t& Pos) override {
    if (!tree_->OnItemLoad) return true;
    return Hand(Pos, [&] { tree_->OnItemLoad(tree_->EventSender(), stream_, static_cast<TElTreeItem*>(Node)); });
  }

  static void Write(TElTreeItem* Item, TStream& Stream, std::string& Out);

 private:
  TElCellStyle* StyleAt(TElTreeItem* Item, int Index) {
    if (Index < 0) return Item->MainStyle();
    // The further styles are read in order: the first one replaces what the
    // item had (a root that is read twice must not pile them up).
    if (Index == 0 && Item->staticData_) Item->staticData_->Styles.clear();
    return Item->AddStyle();
  }

  // The handler reads from the stream itself, at the codec's position.
  template <class F>
  bool Hand(size_t& Pos, F Call) {
    stream_.SetPosition(start_ + static_cast<int64_t>(Pos));
    Call();
    const int64_t now = stream_.Position() - start_;
    if (now < static_cast<int64_t>(Pos)) return false;  // a handler that went back
    Pos = static_cast<size_t>(now);
    return true;
  }

  static void Apply(TElTreeItem* It, const TItemRecord& R);

  TElTreeItem* first_;
  TCustomElTree* tree_;
  TStream& stream_;
  int64_t start_;
};

void TElTreeItemStreamer::Apply(TElTreeItem* It, const TItemRecord& R) {
  TCustomElTree* t = It->owner_;
  const bool hasStatic = It->staticData_ != nullptr;
  if (hasStatic) It->staticData_->Text = AnsiToWide(R.Text);
  if (R.Block != TBlockKind::None) {
    // Focus and selection are the tree's to give, never the stream's.
    const bool wasExpanded = It->Expanded();
    It->state_ = static_cast<uint16_t>((R.State & ~0x6) | (It->state_ & 0x6));
    if (It == It->root_) It->state_ |= 0x80;  // the invisible root stays open
    const uint16_t s = It->state_;
    uint32_t sf = It->selectionFlags_ & 0x3;
    if (s & 0x8) sf |= 0x4;
    if (s & 0x80) sf |= 0x8;
    if (s & 0x20) sf |= 0x10;
    if (s & 0x40) sf |= 0x20;
    if (s & 0x10) sf |= 0x40;
    if (s & 0x100) sf |= 0x80;
    It->selectionFlags_ = sf;
    if (It->Expanded() != wasExpanded) {
      t->MarkCount();
      t->MarkRows();
    }
    It->ImageIndex = R.ImageIndex;
    It->StImageIndex = R.StImageIndex;
    if (R.HasImages2) {
      It->ImageIndex2 = R.ImageIndex2;
      It->StImageIndex2 = R.StImageIndex2;
    }
    It->Color = R.Color;
    if (R.HasRowBkColor) It->rowBkColor_ = R.RowBkColor;
    It->BkColor = R.BkColor;
    It->checkBoxState_ = R.CheckBoxState;
    It->CheckBoxType = R.CheckBoxType;
    if (R.Block == TBlockKind::Full) {
      It->RowBorderStyle = R.RowBorderStyle;
      It->Indent = R.Indent;
      It->StrikeLineColor = R.StrikeLineColor;
      It->UserTag = R.UserTag;
    }
    if (R.HasOverlays) {
      It->OverlayIndex = R.OverlayIndex;
      It->OverlayIndex2 = R.OverlayIndex2;
    }
    const uint32_t mask = R.FlagMask & ~kTransientFlags;
    const uint32_t f = (It->flags_ & ~mask) | (R.Flags & mask);
    // The hidden flag goes through its setter: the tree counts hidden items.
    It->flags_ = (f & ~tifHidden) | (It->flags_ & tifHidden);
    It->SetHidden((f & tifHidden) != 0);
  }
  if (R.HasHint && hasStatic)
    It->staticData_->Hint = R.HintWide ? TElFString(R.Hint.begin(), R.Hint.end())
                                       : AnsiToWide(R.HintAnsi);
  if (hasStatic && !R.ColumnTexts.empty()) {
    TElWideStringList& ct = It->staticData_->ColumnTexts;
    ct.BeginUpdate();
    for (const std::string& s : R.ColumnTexts) ct.Add(AnsiToWide(s));
    ct.EndUpdate();
  }
  if (R.HasStylesPart) {
    if (R.UseStyles)
      It->flags_ |= tifUseStyles;
    else
      It->flags_ &= ~tifUseStyles;
  }
}

void TElTreeItemStreamer::Write(TElTreeItem* It, TStream& Stream, std::string& Out) {
  TCustomElTree* t = It->owner_;
  const bool hasStatic = It->staticData_ != nullptr;
  TItemRecord r;
  if (hasStatic) {
    r.Text = WideToAnsi(It->staticData_->Text);
    const TElFString& h = It->staticData_->Hint;
    r.Hint.assign(h.begin(), h.end());
    const TElWideStringList& ct = It->staticData_->ColumnTexts;
    for (int i = 0; i < ct.Count(); ++i) r.ColumnTexts.push_back(WideToAnsi(ct.Get(i)));
  }
  r.State = It->state_;
  r.ImageIndex = It->ImageIndex;
  r.StImageIndex = It->StImageIndex;
  r.ImageIndex2 = It->ImageIndex2;
  r.StImageIndex2 = It->StImageIndex2;
  r.Flags = It->flags_;
  r.Color = It->Color;
  r.RowBkColor = It->rowBkColor_;
  r.BkColor = It->BkColor;
  r.CheckBoxState = It->checkBoxState_;
  r.CheckBoxType = It->CheckBoxType;
  r.RowBorderStyle = It->RowBorderStyle;
  r.Indent = It->Indent;
  r.StrikeLineColor = It->StrikeLineColor;
  r.UserTag = It->UserTag;
  r.OverlayIndex = It->OverlayIndex;
  r.OverlayIndex2 = It->OverlayIndex2;
  EncodeItemHead(Out, r);
  const bool useStyles = It->Flag(tifUseStyles);
  EncodeByte(Out, useStyles ? 1 : 0);
  if (useStyles) {
    // A virtual item has no styles of its own; it still writes the block
    // that its uses-styles byte announces, so that the stream reads back.
    const bool byApp = t->OnCellStyleSave && hasStatic;
    EncodeByte(Out, byApp ? 1 : 0);
    auto one = [&](TElCellStyle* S) {
      if (byApp) {
        Flush(Stream, Out);
        t->OnCellStyleSave(t->EventSender(), Stream, S);
      } else {
        EncodeStyleRecord(Out, S ? ToRecord(*S) : TStyleRecord{});
      }
    };
    one(hasStatic ? It->MainStyle() : nullptr);
    EncodeInt32(Out, It->StylesCount());
    for (int i = 0; i < It->StylesCount(); ++i) one(It->Style(i));
  }
  if (t->OnItemSave) {
    Flush(Stream, Out);
    t->OnItemSave(t->EventSender(), Stream, It);
  }
  EncodeInt32(Out, It->ChildCount());
  // Written in pieces: a deep tree must not hold its whole stream twice.
  if (Out.size() > 65536) Flush(Stream, Out);
  for (int i = 0; i < It->ChildCount(); ++i) Write(It->Child(i), Stream, Out);
}

void TElTreeItem::WriteData(TStream& Stream) {
  std::string out;
  TElTreeItemStreamer::Write(this, Stream, out);
  Flush(Stream, out);
}

void TElTreeItem::ReadData(TStream& Stream) {
  const int64_t start = Stream.Position();
  const int64_t left = Stream.Size() - start;
  std::string bytes(static_cast<size_t>(left > 0 ? left : 0), '\0');
  if (!bytes.empty()) Stream.ReadBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
  TElTreeItemStreamer sink(this, Stream, start);
  size_t pos = 0;
  const TItemDecodeResult r = DecodeItemStream(
      TBytes(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()), pos, sink);
  Stream.SetPosition(start + static_cast<int64_t>(std::min(pos, bytes.size())));
  if (r != TItemDecodeResult::Ok) throw EReadError("Stream read error");
}

void TElTreeItems::SaveToStream(TStream& Stream) {
  TCustomElTree* t = owner_;
  TElTreeItem* focused = t->ItemFocused();
  t->SetItemFocused(nullptr);
  struct TRefocus {
    TCustomElTree* t;
    TElTreeItem* item;
    ~TRefocus() {
      try {
        if (item) t->SetItemFocused(item);
      } catch (...) {
      }
    }
  } refocus{t, focused};
  root_->WriteData(Stream);
}

void TElTreeItems::LoadFromStream(TStream& Stream) {
  TCustomElTree* t = owner_;
  TTreeBracket b(t);
  struct TMarks {
    TCustomElTree* t;
    ~TMarks() {
      t->MarkTreePartWidthUnknown();
      t->MarkCount();
      t->MarkRows();
      t->MarkRepaint();
      t->MarkUpdate();
    }
  } marks{t};
  Clear();
  root_->ReadData(Stream);
}

bool TElTreeItems::StoresData() const { return Count() > 0; }

}  // namespace morvane
