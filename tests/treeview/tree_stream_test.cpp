// The item stream: what a tree writes, what it reads back, the records of
// earlier versions and damaged streams.
#include <cstring>

#include "platform/core/exceptions.h"
#include "platform/core/streams.h"
#include "tree_fixture.h"
#include "treeview/eltreeitems_codec.h"

namespace morvane {
namespace {

using test::ExpectConsistent;
using test::Load;
using test::Main;
using test::NewTree;
using test::Outline;

std::string Saved(TCustomElTree& t) {
  TStringStream s;
  t.Items().SaveToStream(s);
  return s.DataString();
}

void LoadBytes(TCustomElTree& t, const std::string& bytes) {
  TStringStream s(bytes);
  t.Items().LoadFromStream(s);
}

// Byte builders for records written by hand.
std::string I32(int32_t v) {
  std::string s;
  eltreecodec::EncodeInt32(s, v);
  return s;
}
std::string Ansi(const std::string& v) { return I32(static_cast<int32_t>(v.size())) + v; }
void Put32(std::string& b, size_t at, int32_t v) { std::memcpy(&b[at], &v, 4); }

TEST(TreeItemStream, SaveAndLoadKeepEveryStoredField) {
  auto t = NewTree();
  Load(*t, {"alpha|a1|a2", "|beta|b1", "||gamma", "delta"});
  TElTreeItem* a = t->Items().Item(0);
  TElTreeItem* b = t->Items().Item(1);
  TElTreeItem* d = t->Items().Item(3);
  a->SetHint(L"hint \x263A");
  a->Expand(false);
  b->ImageIndex = 4;
  b->StImageIndex = 5;
  b->ImageIndex2 = 6;
  b->StImageIndex2 = 7;
  b->OverlayIndex = -1;
  b->OverlayIndex2 = 3;
  b->Color = 0x102030;
  b->BkColor = 0x405060;
  b->SetRowBkColor(0x708090);
  b->SetCheckBoxState(2);
  b->CheckBoxType = 1;
  b->RowBorderStyle = 4;
  b->Indent = 9;
  b->StrikeLineColor = 0x0A0B0C;
  b->UserTag = -77;
  b->SetFlag(tifStrikedOutLine | tifForceButtons, true);
  b->SetFlag(tifParentColors, false);
  b->SetState(stsBold, true);
  d->SetHidden(true);
  t->SetItemFocused(d);
  a->SetSelected(true);

  const std::string bytes = Saved(*t);
  EXPECT_EQ(t->ItemFocused(), d) << "the focus comes back after saving";
  {
    SCOPED_TRACE("the fixed block of beta");
    const std::string blk = bytes.substr(bytes.find("beta") + 4, 128);
    EXPECT_EQ(blk.substr(0, 2), std::string("\x20\x00", 2)) << "bold state, no focus";
    EXPECT_EQ(blk.substr(4, 16), I32(4) + I32(5) + I32(6) + I32(7));
    EXPECT_EQ(blk.substr(20, 4), I32(static_cast<int32_t>(b->Flags())));
    EXPECT_EQ(blk.substr(28, 12), I32(0x102030) + I32(0x708090) + I32(0x405060));
    EXPECT_EQ(blk.substr(40, 2), std::string("\x02\x01", 2));
    EXPECT_EQ(blk[48], 4);
    EXPECT_EQ(blk.substr(52, 12), I32(9) + I32(0x0A0B0C) + I32(-77));
    EXPECT_EQ(blk.substr(64, 4), I32(0x000300FF)) << "overlays in bits 0-7 and 16-23";
    EXPECT_EQ(blk.substr(68), std::string(60, '\0'));
  }

  auto u = NewTree();
  LoadBytes(*u, bytes);
  ExpectConsistent(*u);
  EXPECT_EQ(Outline(*u), "alpha .beta ..gamma delta");
  EXPECT_EQ(u->ItemFocused(), nullptr);
  EXPECT_EQ(u->GetSelectedCount(), 0);
  TElTreeItem* a2 = u->Items().Item(0);
  TElTreeItem* b2 = u->Items().Item(1);
  EXPECT_EQ(a2->Hint(), L"hint \x263A");
  EXPECT_TRUE(a2->Expanded());
  ASSERT_EQ(a2->ColumnTexts()->Count(), 2);
  EXPECT_EQ(a2->ColumnTexts()->Get(1), L"a2");
  EXPECT_EQ(b2->ImageIndex, 4);
  EXPECT_EQ(b2->StImageIndex, 5);
  EXPECT_EQ(b2->ImageIndex2, 6);
  EXPECT_EQ(b2->StImageIndex2, 7);
  EXPECT_EQ(b2->OverlayIndex, -1);
  EXPECT_EQ(b2->OverlayIndex2, 3);
  EXPECT_EQ(b2->Color, 0x102030);
  EXPECT_EQ(b2->BkColor, 0x405060);
  EXPECT_EQ(b2->RowBkColor(), 0x708090);
  EXPECT_EQ(b2->CheckBoxState(), 2);
  EXPECT_EQ(b2->CheckBoxType, 1);
  EXPECT_EQ(b2->RowBorderStyle, 4);
  EXPECT_EQ(b2->Indent, 9);
  EXPECT_EQ(b2->StrikeLineColor, 0x0A0B0C);
  EXPECT_EQ(b2->UserTag, -77);
  EXPECT_EQ(b2->Flags(), b->Flags());
  EXPECT_TRUE(b2->GetState(stsBold));
  EXPECT_EQ(b2->SelectionFlags(), 0x10u) << "rebuilt from the state set";
  EXPECT_TRUE(u->Items().Item(3)->Hidden());
  EXPECT_EQ(u->HiddenCount(), 1);
  // Records carry the selected state (not the focus); without a selection
  // the copy writes what the original writes.
  t->DeselectAll();
  EXPECT_EQ(Saved(*u), Saved(*t));
}

TEST(TreeItemStream, EmptyTreeWritesOneRootRecordAndStoresNoData) {
  auto t = NewTree();
  EXPECT_FALSE(t->Items().StoresData());
  const std::string b = Saved(*t);
  // marker, empty text, 128-byte block, hint marker, empty hint, no column
  // texts, uses-styles byte, no children
  ASSERT_EQ(b.size(), 4u + 4 + 128 + 4 + 4 + 4 + 1 + 4);
  EXPECT_EQ(b.substr(0, 4), I32(-13));
  EXPECT_EQ(b.substr(8 + 20, 4), I32(0x128783)) << "the root's flags";
  EXPECT_EQ(static_cast<uint8_t>(b[8]), 0x80) << "the root is expanded";
  EXPECT_EQ(b.substr(136, 4), I32(-1));
  Load(*t, {"x"});
  EXPECT_TRUE(t->Items().StoresData());
}

// A root record of an earlier version with one child "c" of the same
// version; Block is what follows the main text.
std::string OldStream(int32_t Marker, const std::string& Block, const std::string& Hint,
                      bool StylesPart) {
  auto rec = [&](const std::string& text, int children) {
    std::string r = (Marker < 0 ? I32(Marker) : std::string()) + Ansi(text) + Block;
    r += I32(-1) + Hint + I32(1) + Ansi("col");
    if (StylesPart) r += std::string(1, '\0');
    return r + I32(children);
  };
  return rec("", 1) + rec("c", 0);
}

TEST(TreeItemStream, ReadsRecordsOfEarlierVersions) {
  std::string b48(48, '\0');
  Put32(b48, 4, 11);          // ImageIndex
  Put32(b48, 20, 0x00ABCDEF);  // RowBkColor
  b48[28] = 0;                 // ParentColors off
  b48[44] = 1;                 // Enabled
  b48[45] = 1;                 // Hidden
  std::string b44(44, '\0');
  Put32(b44, 12, 1);  // ForceButtons
  Put32(b44, 32, 21);  // ImageIndex2
  b44[24] = 1;         // ParentColors
  b44[40] = 1;         // Enabled
  std::string b128(128, '\0');
  Put32(b128, 20, 0x8001);
  Put32(b128, 64, 0x00030002);  // overlays are not in -11 and -12
  auto wide = [](const std::wstring& w) {
    std::string s = I32(static_cast<int32_t>(w.size()));
    for (wchar_t c : w) s += std::string{static_cast<char>(c & 0xFF), static_cast<char>(c >> 8)};
    return s;
  };
  struct TCase {
    const char* name;
    std::string bytes;
    std::function<void(TElTreeItem*)> check;
  } cases[] = {
      {"no-marker", OldStream(0, "", Ansi("h0"), false),
       [](TElTreeItem* c) {
         EXPECT_EQ(c->Hint(), L"h0");
         EXPECT_EQ(c->Flags(), kDefaultItemFlags);
       }},
      {"marker-2-styles-part", OldStream(-2, "", Ansi("h2"), true),
       [](TElTreeItem* c) { EXPECT_EQ(c->Hint(), L"h2"); }},
      {"marker-10", OldStream(-10, b48 + std::string(1, '\1'), Ansi("h10"), true),
       [](TElTreeItem* c) {
         EXPECT_EQ(c->RowBkColor(), 0x00ABCDEF);
         EXPECT_EQ(c->ImageIndex, 11);
         EXPECT_EQ(c->ImageIndex2, -1) << "not in this block";
         EXPECT_EQ(c->StImageIndex2, -1);
         EXPECT_TRUE(c->Hidden());
         EXPECT_FALSE(c->Flag(tifParentColors));
         EXPECT_TRUE(c->Flag(tifDrawHLine)) << "flags the block does not name stay";
       }},
      {"marker-7", OldStream(-7, b44 + std::string(1, '\0'), Ansi("h7"), true),
       [](TElTreeItem* c) {
         EXPECT_EQ(c->ImageIndex2, 21);
         EXPECT_TRUE(c->Flag(tifForceButtons));
         EXPECT_FALSE(c->Flag(tifUseBkColor));
         EXPECT_FALSE(c->Flag(tifParentStyle));
         EXPECT_TRUE(c->Flag(tifKept100));
       }},
      {"marker-11-ansi-hint", OldStream(-11, b128, Ansi("h11"), true),
       [](TElTreeItem* c) {
         EXPECT_EQ(c->Hint(), L"h11");
         EXPECT_EQ(c->Flags(), 0x8001u);
         EXPECT_EQ(c->OverlayIndex, -1);
       }},
      {"marker-12-wide-hint", OldStream(-12, b128, wide(L"h\x00E912"), true),
       [](TElTreeItem* c) {
         EXPECT_EQ(c->Hint(), L"h\x00E912");
         EXPECT_EQ(c->OverlayIndex2, -1);
       }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    auto t = NewTree();
    LoadBytes(*t, c.bytes);
    ExpectConsistent(*t);
    ASSERT_EQ(Outline(*t), "c");
    TElTreeItem* it = t->Items().Item(0);
    ASSERT_EQ(it->ColumnTexts()->Count(), 1);
    EXPECT_EQ(it->ColumnTexts()->Get(0), L"col");
    c.check(it);
  }
}

TEST(TreeItemStream, DamagedStreams) {
  auto src = NewTree();
  Load(*src, {"one", "two", "|three", "four"});
  const std::string good = Saved(*src);
  {
    SCOPED_TRACE("ends inside the third item");
    auto t = NewTree();
    Load(*t, {"old"});
    const size_t cut = good.find("three") + 2;
    EXPECT_THROW(LoadBytes(*t, good.substr(0, cut)), EReadError);
    EXPECT_EQ(t->UpdateCount(), 0) << "the bracket closes on the way out";
    EXPECT_EQ(Outline(*t), "one two") << "what was read stays; the old items are gone";
    ExpectConsistent(*t);
  }
  {
    SCOPED_TRACE("a negative text length reads as empty");
    std::string b = good;
    const size_t at = b.find("two") - 4;
    Put32(b, at, -5);
    b.erase(at + 4, 3);
    auto t = NewTree();
    LoadBytes(*t, b);
    EXPECT_EQ(Outline(*t), "one  .three four");
  }
  {
    SCOPED_TRACE("a length past the end");
    std::string b = good;
    Put32(b, b.find("four") - 4, 0x7FFFFFFF);
    auto t = NewTree();
    EXPECT_THROW(LoadBytes(*t, b), EReadError);
    EXPECT_EQ(Outline(*t), "one two .three");
  }
  {
    SCOPED_TRACE("a stream cannot mark an item as being deleted or being sorted");
    std::string b = good;
    const size_t flags = b.find("one") + 3 + 20;
    Put32(b, flags, static_cast<int32_t>(kDefaultItemFlags | tifDeleting | tifInSortPartition));
    auto t = NewTree();
    LoadBytes(*t, b);
    TElTreeItem* one = t->Items().Item(0);
    EXPECT_FALSE(one->Deleting());
    EXPECT_FALSE(one->Flag(tifInSortPartition));
    t->Items().DeleteItem(one);
    EXPECT_EQ(Outline(*t), "two .three four");
  }
}

TEST(TreeItemStream, HandlersReadAndWriteTheirOwnBytes) {
  auto src = NewTree();
  Load(*src, {"a", "b"});
  TElTreeItem* b = src->Items().Item(1);
  b->SetFlag(tifUseStyles, true);
  b->MainStyle()->TextColor = 0x111111;
  b->AddStyle()->TextColor = 0x222222;
  src->OnItemSave = [](TObject*, TStream& s, TElTreeItem* it) {
    const int32_t tag = it->Text().empty() ? 0 : static_cast<int32_t>(it->Text()[0]);
    s.WriteBuffer(&tag, 4);
  };
  src->OnCellStyleSave = [](TObject*, TStream& s, TElCellStyle* st) {
    s.WriteBuffer(&st->TextColor, 4);
  };
  const std::string bytes = Saved(*src);

  auto t = NewTree();
  std::vector<int32_t> tags;
  std::vector<int32_t> colours;
  t->OnItemLoad = [&](TObject* sender, TStream& s, TElTreeItem* it) {
    EXPECT_EQ(sender, t.get());
    int32_t v;
    s.ReadBuffer(&v, 4);
    tags.push_back(v);
    if (it != t->GetRootItem()) EXPECT_EQ(static_cast<int32_t>(it->Text()[0]), v);
  };
  t->OnCellStyleLoad = [&](TObject*, TStream& s, TElCellStyle* st) {
    s.ReadBuffer(&st->TextColor, 4);
    colours.push_back(st->TextColor);
  };
  LoadBytes(*t, bytes);
  EXPECT_EQ(tags, (std::vector<int32_t>{0, 'a', 'b'}));
  EXPECT_EQ(colours, (std::vector<int32_t>{0x111111, 0x222222}));
  TElTreeItem* b2 = t->Items().Item(1);
  EXPECT_TRUE(b2->Flag(tifUseStyles));
  ASSERT_EQ(b2->StylesCount(), 1);
  EXPECT_EQ(b2->Style(0)->TextColor, 0x222222);
}

TEST(TreeItemStream, StyleRecordsTravelWithTheItem) {
  auto src = NewTree();
  Load(*src, {"a"});
  TElTreeItem* a = src->Items().Item(0);
  a->SetFlag(tifUseStyles, true);
  TElCellStyle* m = a->MainStyle();
  m->CellBkColor = 1;
  m->TextBkColor = 2;
  m->TextColor = 3;
  m->TextFlags = 0x24;
  m->CellType = sftDate;
  m->Style = ElhsOwnerDraw;
  m->OwnerProps = false;
  m->UseBkColor = true;
  m->FontSize = 12;
  m->FontStyles = 3;
  m->FontName = "Arial";
  m->LeadingValue = 0xDEADBEEF;
  a->AddStyle()->FontName = "Courier";
  a->AddStyle()->CellType = sftBool;
  const std::string bytes = Saved(*src);
  for (int round = 0; round < 2; ++round) {
    auto t = NewTree();
    // A root read twice does not pile up styles.
    for (int i = 0; i <= round; ++i) LoadBytes(*t, bytes);
    TElTreeItem* b = t->Items().Item(0);
    TElCellStyle* s = b->MainStyle();
    EXPECT_EQ(s->CellBkColor, 1);
    EXPECT_EQ(s->TextBkColor, 2);
    EXPECT_EQ(s->TextColor, 3);
    EXPECT_EQ(s->TextFlags, 0x24u);
    EXPECT_EQ(s->CellType, sftDate);
    EXPECT_EQ(s->Style, ElhsOwnerDraw);
    EXPECT_FALSE(s->OwnerProps);
    EXPECT_TRUE(s->UseBkColor);
    EXPECT_EQ(s->FontSize, 12);
    EXPECT_EQ(s->FontStyles, 3);
    EXPECT_EQ(s->FontName, "Arial");
    EXPECT_EQ(s->LeadingValue, 0xDEADBEEFu);
    ASSERT_EQ(b->StylesCount(), 2);
    EXPECT_EQ(b->Style(0)->FontName, "Courier");
    EXPECT_EQ(b->Style(1)->CellType, sftBool);
  }
}

TEST(TreeItemStream, VirtualItemsWithStylesStillReadBack) {
  auto src = NewTree();
  Load(*src, {"a", "b"});
  src->Items().Item(0)->SetFlag(tifUseStyles, true);
  src->SetVirtualityLevel(vlTextAndStyles);
  const std::string bytes = Saved(*src);
  auto t = NewTree();
  LoadBytes(*t, bytes);
  EXPECT_EQ(t->Items().Count(), 2);
  EXPECT_TRUE(t->Items().Item(0)->Flag(tifUseStyles));
}

}  // namespace
}  // namespace morvane
