// The header's "Data" layout value: the bytes written, every stored
// version read, and damaged data.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "controls/elheadersections.h"
#include "platform/core/exceptions.h"
#include "platform/core/streams.h"

namespace morvane {
namespace {

std::string LE32(int32_t v) {
  std::string s(4, '\0');
  for (int k = 0; k < 4; ++k) s[k] = static_cast<char>((static_cast<uint32_t>(v) >> (8 * k)) & 0xFF);
  return s;
}
std::string NulStr(const std::string& s) { return LE32(static_cast<int32_t>(s.size() + 1)) + s + '\0'; }
std::string Str(const std::string& s) { return LE32(static_cast<int32_t>(s.size())) + s; }
std::string WStr(const std::wstring& w) {
  std::string s = LE32(static_cast<int32_t>(w.size()));
  for (wchar_t c : w) s += std::string{static_cast<char>(c & 0xFF), static_cast<char>((c >> 8) & 0xFF)};
  return s;
}

struct TRec {
  std::string b;
  explicit TRec(size_t n) : b(n, '\0') {}
  TRec& u8(size_t off, uint8_t v) {
    b[off] = static_cast<char>(v);
    return *this;
  }
  TRec& i32(size_t off, int32_t v) {
    b.replace(off, 4, LE32(v));
    return *this;
  }
};

int32_t Get32(const std::string& s, size_t off) {
  uint32_t v = 0;
  for (int k = 0; k < 4; ++k) v |= static_cast<uint32_t>(static_cast<uint8_t>(s[off + k])) << (8 * k);
  return static_cast<int32_t>(v);
}

struct TSections {
  IElHeaderSectionsOwner header;
  TElHeaderSections sections{&header};
};

TEST(HeaderData, WritesVersion12Records) {
  TSections h;
  TElHeaderSection* a = h.sections.AddSection();
  TElHeaderSection* b = h.sections.AddSection();
  a->SetText(L"Name");
  a->SetWidth(77);
  a->SetFieldType(sftNumber);
  a->SetTag(-5);
  a->SetHint(L"h\x20AC");
  a->SetExpandable(true);
  b->SetParentSection(a);
  b->SetVisible(false);
  b->SetSortMode(hsmDescend);
  b->SetColor(0x123456);
  b->SetFieldName("field");
  h.sections.MoveSection(a, 1);

  TStringStream out;
  h.sections.SaveToStream(out);
  const std::string& d = out.DataString();
  ASSERT_GE(d.size(), 8u + 140);
  EXPECT_EQ(Get32(d, 0), -12);
  EXPECT_EQ(Get32(d, 4), 2);
  const size_t r0 = 8;  // b comes first in the list
  EXPECT_EQ(Get32(d, r0 + 8), 0);  // parent's Index
  EXPECT_EQ(d[r0 + 14], 0);        // hidden
  EXPECT_EQ(d[r0 + 32], 2);        // descending
  EXPECT_EQ(Get32(d, r0 + 40), 1); // Index
  EXPECT_EQ(Get32(d, r0 + 56), 0x123456);
  EXPECT_EQ(d[r0 + 54], 0);        // ParentColor cleared by SetColor
  const std::string tail0 = NulStr("") + NulStr("field") + Str("") + WStr(L"");
  EXPECT_EQ(d.substr(r0 + 140, tail0.size()), tail0);
  const size_t r1 = r0 + 140 + tail0.size();
  EXPECT_EQ(Get32(d, r1 + 8), -1);
  EXPECT_EQ(d[r1 + 12], 1);
  EXPECT_EQ(Get32(d, r1 + 20), 77);
  EXPECT_EQ(Get32(d, r1 + 28), 10000);
  EXPECT_EQ(d[r1 + 44], sftNumber);
  EXPECT_EQ(Get32(d, r1 + 48), -1);
  EXPECT_EQ(d[r1 + 65], 1);  // centred
  EXPECT_EQ(Get32(d, r1 + 68), -5);
  EXPECT_EQ(d.substr(r1 + 72, 68), std::string(68, '\0'));
  EXPECT_EQ(d.substr(r1 + 140), NulStr("Name") + NulStr("") + Str("") + WStr(L"h\x20AC"));

  // Read back into a collection that had other sections.
  TSections back;
  back.sections.AddSection();
  back.sections.AddSection();
  back.sections.AddSection();
  TStringStream in(d + "more");
  back.sections.LoadFromStream(in);
  EXPECT_EQ(in.Position(), static_cast<int64_t>(d.size()));
  ASSERT_EQ(back.sections.Count(), 2);
  EXPECT_EQ(back.sections.SectionsOrder(), h.sections.SectionsOrder());
  TElHeaderSection* a2 = back.sections[0];
  TElHeaderSection* b2 = back.sections[1];
  EXPECT_EQ(a2->Text(), L"Name");
  EXPECT_EQ(a2->Hint(), L"h\x20AC");
  EXPECT_EQ(a2->Tag(), -5);
  EXPECT_EQ(a2->UniqueId(), a->UniqueId());
  EXPECT_EQ(b2->ParentSection(), a2);
  EXPECT_EQ(b2->FieldName(), "field");
  EXPECT_EQ(b2->Color(), 0x123456);
  TStringStream again;
  back.sections.SaveToStream(again);
  EXPECT_EQ(again.DataString(), d);
}

TEST(HeaderData, ReadsEveryStoredVersion) {
  // One section per version, with the values at that version's offsets.
  struct Case {
    const char* name;
    int32_t version;
    std::string record;
    std::string strings;
    int width, index, imageIndex, tag;
    bool autoSize;
    std::wstring hint;
    std::string popup;
  } cases[] = {
      {"-11: 8-bit hint", -11,
       TRec(140).u8(14, 1).i32(20, 90).i32(28, 500).i32(36, 7).i32(40, 0).i32(48, 3).u8(67, 1).i32(68, 9).b,
       NulStr("T") + NulStr("") + Str("menu") + Str("hi\xE9"), 90, 0, 3, 9, true, L"hi\xE9", "menu"},
      {"-10: no tag", -10, TRec(68).u8(14, 1).i32(20, 91).i32(28, 500).i32(40, 0).i32(48, 4).u8(67, 1).b,
       NulStr("T") + NulStr("") + Str("") + Str("x"), 91, 0, 4, 0, true, L"x", ""},
      {"-9", -9, TRec(64).u8(14, 1).i32(20, 92).i32(28, 500).i32(36, 0).i32(44, 5).u8(63, 1).b,
       NulStr("T") + NulStr("") + Str("m") + Str("y"), 92, 0, 5, 0, true, L"y", "m"},
      {"-8: auto size not stored", -8, TRec(64).u8(14, 1).i32(20, 93).i32(28, 500).i32(44, 6).u8(63, 1).b,
       NulStr("T") + NulStr("") + Str("") + Str("z"), 93, 0, 6, 0, false, L"z", ""},
      {"-6: no hint", -6, TRec(52).u8(14, 1).i32(20, 94).i32(28, 500).i32(44, 7).b,
       NulStr("T") + NulStr("") + Str("p"), 94, 0, 7, 0, false, L"", "p"},
      {"-5: no further strings", -5, TRec(52).u8(14, 1).i32(20, 95).i32(28, 500).i32(44, 8).b,
       NulStr("T") + NulStr(""), 95, 0, 8, 0, false, L"", ""},
      {"-4", -4, TRec(36).u8(0, 1).i32(4, 96).i32(12, 500).i32(20, 0).i32(28, 9).b, NulStr("T") + NulStr(""),
       96, 0, 9, 0, false, L"", ""},
  };
  for (const Case& c : cases) {
    TSections h;
    TStringStream in(LE32(c.version) + LE32(1) + c.record + c.strings);
    h.sections.LoadFromStream(in);
    ASSERT_EQ(h.sections.Count(), 1) << c.name;
    TElHeaderSection* s = h.sections.GetSectionByPos(0);
    EXPECT_EQ(s->Text(), L"T") << c.name;
    EXPECT_TRUE(s->OwnVisible()) << c.name;
    EXPECT_EQ(s->Width(), c.width) << c.name;
    EXPECT_EQ(s->MaxWidth(), 500) << c.name;
    EXPECT_EQ(s->Index(), c.index) << c.name;
    EXPECT_EQ(s->ImageIndex(), c.imageIndex) << c.name;
    EXPECT_EQ(s->Tag(), c.tag) << c.name;
    EXPECT_EQ(s->AutoSize(), c.autoSize) << c.name;
    EXPECT_EQ(s->Hint(), c.hint) << c.name;
    EXPECT_EQ(s->PopupMenuName(), c.popup) << c.name;
    EXPECT_EQ(in.Position(), in.Size()) << c.name;
  }
  for (int32_t v : {-7, -3, 0, 5}) {
    TSections h;
    h.sections.AddSection();
    TStringStream in(LE32(v) + LE32(1) + std::string(200, '\x01'));
    h.sections.LoadFromStream(in);
    EXPECT_EQ(h.sections.Count(), 0) << v;
  }
}

TEST(HeaderData, DamagedData) {
  const std::string rec = TRec(140).u8(14, 1).i32(8, -1).i32(20, 50).i32(28, 10000).b;
  const std::string strings = NulStr("A") + NulStr("") + Str("") + WStr(L"");
  auto section = [&](int32_t index, int32_t parent) {
    return TRec(140).u8(14, 1).i32(8, parent).i32(20, 50).i32(28, 10000).i32(40, index).i32(36, index).b + strings;
  };
  {
    // Ends inside the second section: the first stays, the error reaches the caller.
    TSections h;
    const std::string all = LE32(-12) + LE32(2) + section(0, -1) + section(1, -1);
    TStringStream in(all.substr(0, all.size() - 3));
    EXPECT_THROW(h.sections.LoadFromStream(in), EReadError);
    EXPECT_EQ(h.sections.Count(), 2);
    EXPECT_EQ(h.sections.GetSectionByPos(0)->Text(), L"A");
  }
  {
    TSections h;
    h.sections.AddSection();
    TStringStream in("\xF4\xFF");
    EXPECT_THROW(h.sections.LoadFromStream(in), EReadError);
    EXPECT_EQ(h.sections.Count(), 1);
  }
  {
    // Numbers that are not 0..Count-1 are given by position.
    TSections h;
    TStringStream in(LE32(-12) + LE32(3) + section(4, -1) + section(4, -1) + section(0, -1));
    h.sections.LoadFromStream(in);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(h.sections.GetSectionByPos(i)->Index(), i);
  }
  {
    // A parent cycle is refused: the visibility walk must end.
    TSections h;
    TStringStream in(LE32(-12) + LE32(2) + section(0, 1) + section(1, 0));
    h.sections.LoadFromStream(in);
    TElHeaderSection* a = h.sections[0];
    TElHeaderSection* b = h.sections[1];
    EXPECT_EQ(a->ParentSection(), b);
    EXPECT_EQ(b->ParentSection(), nullptr);
    EXPECT_FALSE(a->Visible());  // b is not expanded
  }
  {
    // Huge stored lengths: Text raises the read error, the counted strings
    // are skipped as invalid.
    TSections h;
    TStringStream in(LE32(-12) + LE32(1) + rec + LE32(0x7FFFFFF0));
    EXPECT_THROW(h.sections.LoadFromStream(in), EReadError);
    TSections g;
    TStringStream in2(LE32(-12) + LE32(1) + rec + NulStr("A") + NulStr("") + LE32(0x7FFFFFF0) + LE32(-3));
    g.sections.LoadFromStream(in2);
    ASSERT_EQ(g.sections.Count(), 1);
    EXPECT_EQ(g.sections[0]->PopupMenuName(), "");
  }
}

}  // namespace
}  // namespace morvane
