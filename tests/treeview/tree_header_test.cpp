// The tree with the real header control behind its header interface, and
// the smaller guards of the model.
#include "treeview/eltreeheaderlink.h"
#include "tree_fixture.h"

namespace morvane {
namespace {

using test::Load;
using test::Main;
using test::NewTree;
using test::Outline;

TEST(TreeHeaderLink, SortsAndSizesThroughTheHeaderControl) {
  TElHeader header(nullptr);
  TElTreeHeaderLink link(&header);
  auto t = NewTree();
  t->SetHeader(&link);
  for (int i = 0; i < 3; ++i) header.Sections()->AddSection()->SetText(L"Col" + std::to_wstring(i));
  header.Sections()->GetSection(2)->SetAutoSize(true);
  t->SetShowColumns(true);
  ASSERT_TRUE(t->ShowColumns());
  t->SetSortMode(smClick);
  Load(*t, {"1|b|wide text here", "2|a|x"});
  EXPECT_GE(header.Sections()->GetSection(2)->Width(), link.MeasureSection(header.Sections()->GetSection(2)));
  t->HeaderSectionClick(header.Sections()->GetSection(1), false);
  EXPECT_EQ(Outline(*t), "2 1");
  EXPECT_EQ(header.Sections()->GetSection(1)->SortMode(), hsmAscend);
  t->SetHeader(nullptr);
  EXPECT_FALSE(t->ShowColumns());  // the headless header has no sections
}

TEST(TreeGuards, LineHeightOfZeroOrLessIsTheDefault) {
  for (int v : {0, -5}) {
    auto t = NewTree();
    t->SetAutoLineHeight(false);
    t->SetLineHeight(30);
    t->SetLineHeight(v);
    EXPECT_EQ(t->LineHeight(), t->GetDefaultLineHeight()) << v;
  }
}

TEST(TreeGuards, FurtherSectionWithUnreadableDatesSortsThemFirst) {
  auto t = NewTree();
  test::AddSections(*t, 3);
  t->SetShowColumns(true);
  t->HeaderSections().GetSection(2)->SetFieldType(sftDate);
  Load(*t, {"a|same|3/1/2021", "b|same|not a date", "c|same|1/1/2021"});
  t->SetSortSection(1);
  t->AddSortSection(2, true);
  EXPECT_EQ(Outline(*t), "b c a");
}

TEST(TreeGuards, HiddenAnchorMovesToARowThatCanBeShown) {
  auto t = NewTree();
  Load(*t, {"a", "h", "|h1", "x"});
  t->ExpandAll();
  t->SetAnchorItem(t->Items().Item(2));
  t->BeginUpdate();
  t->Items().Item(1)->SetHidden(true);
  t->SetFilteredVisibility(true);
  t->EndUpdate();
  EXPECT_EQ(Main(t->AnchorItem()), "a");
}

TEST(TreeGuards, ThumbHintShowsTheSortCell) {
  auto t = NewTree();
  test::AddSections(*t, 3);
  t->SetShowColumns(true);
  Load(*t, {"1|b", "2|a|z"});
  t->SetSortSection(2);
  EXPECT_EQ(t->VertScrollHint(0), L"");  // no such column text: no hint
  EXPECT_EQ(t->VertScrollHint(1), L"z");
  t->SetSortSection(-1);
  EXPECT_EQ(t->VertScrollHint(1), L"2");
  t->OnVertScrollHintNeeded = [](TObject*, int pos, TElFString& hint) { hint = L"row " + std::to_wstring(pos); };
  EXPECT_EQ(t->VertScrollHint(1), L"row 1");
}

}  // namespace
}  // namespace morvane
