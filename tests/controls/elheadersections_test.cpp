#include "controls/elheadersections.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/core/streams.h"

namespace morvane {
namespace {

// A header without a window: records what the sections ask of it.
class TFakeHeader : public IElHeaderSectionsOwner {
 public:
  int updates = 0, maxDepth = 0, created = 0, deleted = 0;
  bool sticky = false, loading = false, designing = false;
  int width = 0, height = 0;
  std::vector<std::string> events;

  void BeginUpdate() override { maxDepth = std::max(maxDepth, ++updates); }
  void EndUpdate() override { --updates; }
  void SectionCreated() override { ++created; }
  void SectionDeleted() override { ++deleted; }
  int HeaderWidth() const override { return width; }
  int HeaderHeight() const override { return height; }
  void SetHeaderHeight(int v) override { height = v; }
  bool StickySections() const override { return sticky; }
  bool IsLoading() const override { return loading; }
  bool IsDesigning() const override { return designing; }
  void TriggerSectionResizeEvent(TElHeaderSection* s) override { events.push_back("resize " + Name(s)); }
  void TriggerSectionShowHideEvent(TElHeaderSection* s) override { events.push_back("showhide " + Name(s)); }
  void TriggerSectionChangeEvent(TElHeaderSection* s, TSectionChangeMode m) override {
    events.push_back("change " + Name(s) + " " + std::to_string(m));
  }
  void TriggerSectionMoveEvent(TElHeaderSection* s, int o, int n) override {
    events.push_back("move " + Name(s) + " " + std::to_string(o) + ">" + std::to_string(n));
  }
  static std::string Name(TElHeaderSection* s) { return s ? std::to_string(s->Index()) : "nil"; }
};

struct THeaderFixture {
  TFakeHeader header;
  TElHeaderSections sections{&header};
  explicit THeaderFixture(int n = 0) {
    for (int i = 0; i < n; ++i) sections.AddSection()->SetText(std::wstring(1, static_cast<wchar_t>(L'A' + i)));
    header.events.clear();
  }
  // Section texts in list order.
  std::wstring Order() const {
    std::wstring s;
    for (int i = 0; i < sections.Count(); ++i) s += sections.GetSectionByPos(i)->Text();
    return s;
  }
  std::vector<int> Indexes() const {
    std::vector<int> v;
    for (int i = 0; i < sections.Count(); ++i) v.push_back(sections.GetSectionByPos(i)->Index());
    return v;
  }
};

TEST(ElHeaderSections, NumbersStayFixedUntilADeletion) {
  THeaderFixture f(3);
  EXPECT_EQ(f.Indexes(), (std::vector<int>{0, 1, 2}));
  EXPECT_EQ(f.header.created, 3);
  EXPECT_EQ(f.header.updates, 0);
  f.sections.MoveSection(f.sections[0], 2);
  EXPECT_EQ(f.Order(), L"BCA");
  EXPECT_EQ(f.Indexes(), (std::vector<int>{1, 2, 0}));
  EXPECT_EQ(f.header.events, (std::vector<std::string>{"move 0 0>2"}));
  f.sections.DeleteSection(f.sections[1]);
  EXPECT_EQ(f.Indexes(), (std::vector<int>{0, 1}));
  EXPECT_EQ(f.Order(), L"CA");
  EXPECT_EQ(f.header.deleted, 1);
  // A new section takes the lowest free number; ids never repeat among the sections.
  f.sections.InsertSection(0)->SetText(L"N");
  EXPECT_EQ(f.Indexes(), (std::vector<int>{2, 0, 1}));
  const auto a = f.sections.GetSectionByPos(0)->UniqueId(), b = f.sections.GetSectionByPos(1)->UniqueId(),
             c = f.sections.GetSectionByPos(2)->UniqueId();
  EXPECT_TRUE(a != b && b != c && a != c);
  EXPECT_EQ(f.sections.GetSectionById(b), f.sections.GetSectionByPos(1));

  try {
    f.sections.DeleteSection(nullptr);
    FAIL();
  } catch (const EElHeaderError& e) {
    EXPECT_EQ(e.Message(), "Invalid section");
  }
  EXPECT_EQ(f.header.updates, 0);
  EXPECT_THROW(f.sections.MoveSection(f.sections[0], 3), EElListError);
  EXPECT_THROW(f.sections.GetSectionByPos(3), EElListError);
  EXPECT_EQ(f.header.updates, 0);
}

TEST(ElHeaderSections, SettersAndVisibility) {
  THeaderFixture f(3);
  TElHeaderSection* a = f.sections[0];
  TElHeaderSection* b = f.sections[1];
  TElHeaderSection* c = f.sections[2];
  a->SetSortMode(hsmAscend);
  b->SetSortMode(hsmDescend);  // only one mark
  EXPECT_EQ(a->SortMode(), hsmNone);
  EXPECT_EQ(b->SortMode(), hsmDescend);

  // A parent may not become its own descendant.
  b->SetParentSection(a);
  a->SetParentSection(b);
  EXPECT_EQ(a->ParentSection(), nullptr);
  b->SetParentSection(b);
  EXPECT_EQ(b->ParentSection(), a);
  // A child shows only under a shown, expanded parent.
  EXPECT_FALSE(b->Visible());
  a->SetExpanded(true);  // ignored: not expandable
  a->SetExpandable(true);
  a->SetExpanded(true);
  EXPECT_TRUE(b->Visible());
  EXPECT_EQ(c->Left(), 240);
  a->SetVisible(false);
  EXPECT_FALSE(b->Visible());
  EXPECT_EQ(c->Left(), 0);
  EXPECT_EQ(a->Right(), 0);
  EXPECT_EQ(f.sections.LastVisibleSection(), c);
  EXPECT_EQ(f.sections.PrevVisibleSection(c), nullptr);
  a->SetExpandable(false);  // detaches its children
  EXPECT_EQ(b->ParentSection(), nullptr);

  f.header.events.clear();
  c->SetWidth(20000);  // above MaxWidth: ignored, still reported
  EXPECT_EQ(c->Width(), 120);
  c->SetMinWidth(150);
  EXPECT_EQ(c->Width(), 150);
  c->SetMaxWidth(140);
  EXPECT_EQ(c->Width(), 150);  // 140 is below MinWidth: the width stays
  c->SetText(L"Z");
  c->SetText(L"Z");
  c->SetFieldName("f");
  c->SetPassword(true);
  EXPECT_EQ(f.header.events,
            (std::vector<std::string>{"resize 2", "resize 2", "resize 2", "change 2 0", "change 2 1", "change 2 6"}));
  f.header.height = 12;
  c->SetFilterEnabled(true);
  EXPECT_EQ(f.header.height, 17);
  c->SetColor(5);
  EXPECT_FALSE(c->ParentColor());
}

TEST(ElHeaderSections, DeletingAParentLeavesNoDanglingChild) {
  THeaderFixture f(3);
  f.sections[1]->SetParentSection(f.sections[0]);  // parent not marked expandable
  f.sections[2]->SetParentSection(f.sections[0]);
  f.sections.DeleteSection(f.sections[0]);
  EXPECT_EQ(f.sections.GetSectionByPos(0)->ParentSection(), nullptr);
  EXPECT_EQ(f.sections.GetSectionByPos(1)->ParentSection(), nullptr);
  EXPECT_TRUE(f.sections.GetSectionByPos(0)->Visible());
}

TEST(ElHeaderSections, StickyRescaleNeverGoesNegative) {
  THeaderFixture f(2);
  f.sections[1]->SetWidth(70);
  f.header.sticky = true;
  f.header.width = 100;
  f.sections[1]->SetWidth(50);  // the last section keeps its width in sticky mode
  EXPECT_EQ(f.sections[1]->Width(), 70);
  // Sections 120 + 70 wide on a 100-pixel header: no free width to share.
  f.sections[0]->SetWidth(60);
  EXPECT_EQ(f.sections[0]->Width(), 60);
  EXPECT_EQ(f.sections[1]->Width(), 70);
  f.header.width = 50;
  f.sections[0]->SetVisible(false);  // D = 50 - 60 - 0 < 0
  EXPECT_EQ(f.sections[1]->Width(), 70);

  // With room to share, the later sections keep their share of it.
  THeaderFixture g(3);
  g.header.sticky = true;
  g.header.width = 400;
  g.sections[0]->SetWidth(100);  // L 0, W 120, D 280: each 120 -> 120/280*300
  EXPECT_EQ(g.sections[1]->Width(), 129);
  EXPECT_EQ(g.sections[2]->Width(), 129 + (400 - (100 + 129 + 129)));
}

TEST(SectionsOrder, ReadAndWrite) {
  THeaderFixture f(3);
  f.sections[1]->SetVisible(false);
  f.sections[2]->SetWidth(80);
  f.sections.MoveSection(f.sections[2], 0);
  const std::string saved = f.sections.SectionsOrder();
  EXPECT_EQ(saved, "i2:w80:vt,i0:w120:vt,i1:w120:vf,");

  THeaderFixture g(3);
  g.sections.SetSectionsOrder(saved);
  EXPECT_EQ(g.sections.SectionsOrder(), saved);
  EXPECT_EQ(g.Order(), L"CAB");

  struct Case {
    const char* name;
    const char* text;
    const char* result;
  } cases[] = {
      {"unknown entry skipped", "i5:w100:vt,i0:w50:vt,", "i0:w50:vt,i1:w120:vt,"},
      {"width above MaxWidth ignored", "i1:w20000:vf;i0:w10:vt,", "i1:w120:vf,i0:w10:vt,"},
      {"empty", "", "i0:w120:vt,i1:w120:vt,"},
      {"repeated number skipped once the positions run out", "i1:w5:vt,i0:w6:vt,i1:w7:vf,",
       "i1:w5:vt,i0:w6:vt,"},
  };
  for (const Case& c : cases) {
    THeaderFixture h(2);
    h.sections.SetSectionsOrder(c.text);
    EXPECT_EQ(h.sections.SectionsOrder(), c.result) << c.name;
  }

  THeaderFixture h(2);
  EXPECT_THROW(h.sections.SetSectionsOrder("i1:w30:vt,ix:w5:vt,"), EConvertError);
  EXPECT_EQ(h.sections.SectionsOrder(), "i1:w30:vt,i0:w120:vt,");
  h.header.loading = true;
  h.sections.SetSectionsOrder("i0:w1:vf,");
  EXPECT_EQ(h.sections.SectionsOrder(), "i1:w30:vt,i0:w120:vt,");
}

TEST(ElHeaderSections, AssignResolvesParentsAfterNumbering) {
  THeaderFixture src(3);
  // List order differs from Index order, and a parent comes after its child.
  src.sections.MoveSection(src.sections[0], 2);  // B C A
  src.sections[1]->SetParentSection(src.sections[0]);
  src.sections[0]->SetExpandable(true);
  src.sections[2]->SetFieldName("not copied");
  THeaderFixture dst(1);
  dst.sections.Assign(&src.sections);
  EXPECT_EQ(dst.Order(), L"BCA");
  EXPECT_EQ(dst.Indexes(), (std::vector<int>{1, 2, 0}));
  EXPECT_EQ(dst.sections[1]->ParentSection(), dst.sections[0]);
  EXPECT_EQ(dst.sections[2]->FieldName(), "");
  EXPECT_EQ(dst.sections[1]->UniqueId(), src.sections[1]->UniqueId());
  dst.sections.Assign(&dst.sections);
  EXPECT_EQ(dst.sections.Count(), 3);
}

}  // namespace
}  // namespace morvane
