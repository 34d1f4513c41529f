// Cell styles, the in-place editor framework and the incremental search,
// without a window.
#include "platform/core/threads.h"
#include "tree_fixture.h"

namespace morvane {
namespace {

using test::Load;
using test::Main;
using test::NewTree;

struct TCountedControl : TElCellControl {
  explicit TCountedControl(int& Freed) : freed(Freed) {}
  ~TCountedControl() override { ++freed; }
  int& freed;
};

TEST(TreeCellStyles, StylesStartFromTheTreeFontAndCopyWithoutOwnership) {
  auto t = NewTree();
  t->FontName = "Tahoma";
  t->FontStyles = 1;
  Load(*t, {"a", "b"});
  TElTreeItem* a = t->Items().Item(0);
  TElCellStyle* m = a->MainStyle();
  ASSERT_NE(m, nullptr);
  EXPECT_TRUE(m->OwnerProps);
  EXPECT_EQ(m->FontName, "Tahoma");
  EXPECT_EQ(m->FontSize, 8) << "from the tree's -11 pixel font";
  EXPECT_EQ(m->TextFlags, 0x8824u);
  EXPECT_EQ(m->CellType, sftText);
  m->TextColor = 0x123;
  m->LeadingValue = 5;
  TElCellStyle* s = a->AddStyle();
  EXPECT_EQ(s->TextColor, 0x123) << "a further style starts as a copy of the main one";
  EXPECT_EQ(s->LeadingValue, 0u);
  EXPECT_EQ(s->OwnerItem(), a);

  int freed = 0;
  auto* c = new TCountedControl(freed);
  s->SetControl(c);
  s->SetControl(c);
  EXPECT_EQ(freed, 0) << "the same control twice is not freed";
  EXPECT_EQ(c->OwnerStyle(), s);
  TElCellStyle copy(nullptr);
  copy.Assign(s);
  EXPECT_EQ(copy.Control(), nullptr);
  EXPECT_EQ(copy.TextColor, 0x123);
  s->SetControl(new TCountedControl(freed));
  EXPECT_EQ(freed, 1) << "a replaced control is freed";

  // Copying an item copies its styles; the copy's controls stay where they were.
  TElTreeItem* b = t->Items().Item(1);
  b->AddStyle();
  b->AddStyle();
  b->Assign(a);
  ASSERT_EQ(b->StylesCount(), 1);
  EXPECT_EQ(b->Style(0)->TextColor, 0x123);
  EXPECT_EQ(b->Style(0)->Control(), nullptr);
  a->RemoveStyle(s);
  EXPECT_EQ(a->StylesCount(), 0);
  EXPECT_EQ(freed, 2) << "the style frees its control";
}

TEST(TreeCellStyles, VirtualTreeSharesOneStyleAndLendsControls) {
  auto t = NewTree();
  Load(*t, {"a"});
  EXPECT_EQ(t->VirtualStyle(t->Items().Item(0), -1), nullptr);
  t->SetVirtualityLevel(vlTextAndStyles);
  TElTreeItem* a = t->Items().Item(0);
  EXPECT_EQ(a->MainStyle(), nullptr);
  EXPECT_EQ(a->AddStyle(), nullptr);
  int asked = 0;
  t->OnVirtualStyleNeeded = [&](TObject*, TElTreeItem* it, int sec, TElCellStyle* st) {
    ++asked;
    EXPECT_EQ(it, a);
    st->TextColor = sec;
  };
  TElCellStyle* s = t->VirtualStyle(a, 2);
  ASSERT_NE(s, nullptr);
  EXPECT_EQ(s->TextColor, 2);
  EXPECT_EQ(t->VirtualStyle(a, 3), s);
  EXPECT_EQ(asked, 2);
  int freed = 0;
  TCountedControl c(freed);
  s->SetControl(&c);
  s->SetControl(nullptr);
  EXPECT_EQ(freed, 0) << "the shared style does not free what it was lent";
}

// An editor without a window: showing is a flag.
class TFakeEditor : public TElTreeInplaceEditor {
 public:
  explicit TFakeEditor(TElFieldTypes T) : TElTreeInplaceEditor(nullptr) { SetTypes(T); }
  bool IsShown() const override { return shown; }
  void ShowEditor() override {
    shown = true;
    shownText = ValueAsText;
  }
  void CompleteOperation(bool Accepted) override {
    shown = false;
    TElTreeInplaceEditor::CompleteOperation(Accepted);
  }
  bool shown = false;
  TElFString shownText;
};

TEST(TreeInplaceEditor, ManagerFindsTheFirstRegisteredEditor) {
  auto t = NewTree();
  auto first = std::make_unique<TFakeEditor>(FieldTypeBit(sftText) | FieldTypeBit(sftNumber));
  auto second = std::make_unique<TFakeEditor>(FieldTypeBit(sftText) | FieldTypeBit(sftDate));
  first->SetTree(t.get());
  second->SetTree(t.get());
  TElTreeInplaceManager* m = t->InplaceManager();
  EXPECT_EQ(m->FindEditor(sftText), first.get());
  EXPECT_EQ(m->FindEditor(sftDate), second.get());
  EXPECT_EQ(m->FindEditor(sftBool), nullptr);
  EXPECT_EQ(m->FindEditor(static_cast<TElFieldType>(16)), nullptr);
  first.reset();
  EXPECT_EQ(m->EditorCount(), 1) << "a freed editor leaves the manager";
  EXPECT_EQ(m->FindEditor(sftText), second.get());
  second->SetTree(nullptr);
  EXPECT_EQ(m->EditorCount(), 0);
}

TEST(TreeInplaceEditor, FreeingTheTreeDetachesEveryEditor) {
  auto t = NewTree();
  Load(*t, {"a"});
  TFakeEditor e1(FieldTypeBit(sftText)), e2(FieldTypeBit(sftText));
  e1.SetTree(t.get());
  e2.SetTree(t.get());
  ASSERT_TRUE(t->EditItem(t->Items().Item(0), -1));
  EXPECT_TRUE(t->IsEditing());
  t.reset();
  EXPECT_EQ(e1.Tree(), nullptr);
  EXPECT_EQ(e2.Tree(), nullptr);
  EXPECT_FALSE(e1.Editing());
}

TEST(TreeInplaceEditor, AnOperationFromStartToEnd) {
  struct TCase {
    const char* name;
    bool showColumns;
    int section;
    bool accept;
    bool keepEmpty;  // OnBeforeOperation turns the default conversion off
    TElFString typed;
    TElFString shown;
    std::string mainAfter;
    int columnCount;
    TElFString lastColumn;
    int endEvents;
  } cases[] = {
      {"main-text-accepted", false, -1, true, false, L"new", L"a", "new", 1, L"a1", 1},
      {"cancelled", false, -1, false, false, L"new", L"a", "a", 1, L"a1", 0},
      {"column-filled-up", true, 3, true, false, L"c3", L"0", "a", 3, L"c3", 1},
      {"default-conversion-off", true, 3, true, true, L"", L"", "a", 3, L"", 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    auto t = NewTree();
    test::AddSections(*t, 4);
    for (int i = 0; i < 4; ++i) t->HeaderSections().GetSection(i)->SetEditable(true);
    t->SetShowColumns(c.showColumns);
    Load(*t, {"a|a1"});
    TElTreeItem* it = t->Items().Item(0);
    TFakeEditor e(FieldTypeBit(sftText));
    e.DefaultValueAsText = L"0";
    e.SetTree(t.get());
    if (c.keepEmpty) e.OnBeforeOperation = [](TObject*, bool& dc) { dc = false; };
    int ends = 0;
    t->OnEndEditItem = [&](TObject*, TElTreeItem* item, TElHeaderSection* s, bool canceled) {
      ++ends;
      EXPECT_EQ(item, it);
      EXPECT_FALSE(canceled);
      EXPECT_EQ(s ? s->Index() : -1, c.showColumns ? c.section : -1);
    };
    ASSERT_TRUE(t->EditItem(it, c.section));
    EXPECT_TRUE(e.Editing());
    EXPECT_EQ(e.shownText, c.shown);
    EXPECT_EQ(t->InplaceManager()->ActiveEditor(), &e);
    e.ValueAsText = c.typed;
    t->EndEditItem(!c.accept);
    EXPECT_FALSE(e.Editing());
    EXPECT_FALSE(t->IsEditing());
    EXPECT_EQ(t->InplaceManager()->ActiveEditor(), nullptr);
    EXPECT_EQ(Main(it), c.mainAfter);
    ASSERT_EQ(it->ColumnTexts()->Count(), c.columnCount);
    EXPECT_EQ(it->ColumnTexts()->Get(c.columnCount - 1), c.lastColumn);
    EXPECT_EQ(ends, c.endEvents);
  }
}

TEST(TreeInplaceEditor, RefusalsAndTheCellsFieldType) {
  auto t = NewTree();
  test::AddSections(*t, 2);
  t->SetShowColumns(true);
  t->HeaderSections().GetSection(0)->SetEditable(true);
  t->HeaderSections().GetSection(1)->SetEditable(true);
  t->HeaderSections().GetSection(1)->SetFieldType(sftNumber);
  Load(*t, {"a|1", "b|2"});
  TFakeEditor text(FieldTypeBit(sftText)), number(FieldTypeBit(sftNumber)), date(FieldTypeBit(sftDate));
  text.SetTree(t.get());
  number.SetTree(t.get());
  date.SetTree(t.get());
  TElTreeItem* a = t->Items().Item(0);
  TElTreeItem* b = t->Items().Item(1);
  EXPECT_THROW(t->EditItem(nullptr, 0), EElTreeError);

  ASSERT_TRUE(t->EditItem(a, 1));
  EXPECT_TRUE(number.Editing()) << "the section's field type";
  EXPECT_EQ(number.shownText, L"1");
  ASSERT_TRUE(t->EditItem(b, 0));
  EXPECT_FALSE(number.Editing()) << "a new edit cancels the running one";
  EXPECT_EQ(Main(a), "a");
  EXPECT_TRUE(text.Editing());
  t->EndEditItem(true);

  b->SetFlag(tifUseStyles, true);
  b->AddStyle()->CellType = sftDate;
  ASSERT_TRUE(t->EditItem(b, 1));
  EXPECT_TRUE(date.Editing()) << "the cell's style decides with styles on";
  t->Items().DeleteItem(b);
  EXPECT_FALSE(date.Editing()) << "deleting the edited item cancels the edit";

  a->SetFlag(tifAllowEdit, false);
  EXPECT_FALSE(t->EditItem(a, 0));
  a->SetFlag(tifAllowEdit, true);
  t->OnTryEdit = [](TObject*, TElTreeItem*, int, TElFieldType& type, bool& can) {
    can = type != sftNumber;
    type = sftDate;
  };
  EXPECT_FALSE(t->EditItem(a, 1));
  ASSERT_TRUE(t->EditItem(a, 0));
  EXPECT_TRUE(date.Editing()) << "OnTryEdit may change the type";
  t->EndEditItem(true);
  t->OnTryEdit = nullptr;
  TFakeEditor other(0);
  t->OnInplaceEditorNeeded = [&](TObject*, TElTreeItem*, int, TElFieldType, TElTreeInplaceEditor*& ed) {
    EXPECT_EQ(ed, &text);
    ed = &other;
  };
  ASSERT_TRUE(t->EditItem(a, 0));
  EXPECT_TRUE(other.Editing());
  EXPECT_EQ(other.Tree(), t.get());
  t->HeaderSections().GetSection(0)->SetEditable(false);
  EXPECT_FALSE(t->EditItem(a, 0));
}

TEST(TreeInplaceEditor, ScheduledEditStartsWhenTheTimerFires) {
  auto t = NewTree();
  test::AddSections(*t, 2);
  t->HeaderSections().GetSection(1)->SetEditable(true);
  t->SetShowColumns(true);
  Load(*t, {"a|x", "b|y"});
  TFakeEditor e(FieldTypeBit(sftText));
  e.SetTree(t.get());
  TElTreeItem* a = t->Items().Item(0);
  t->EditClickSection = 0;
  t->ScheduleEdit(a, 1, false);
  EXPECT_EQ(t->EditTimer(), nullptr) << "not the section of the last click";
  t->EditClickSection = 1;
  t->ScheduleEdit(a, 1, false);
  auto* timer = static_cast<TManualTreeTimer*>(t->EditTimer());
  ASSERT_NE(timer, nullptr);
  EXPECT_EQ(timer->Interval(), 500u);
  EXPECT_TRUE(timer->Enabled());
  EXPECT_FALSE(e.Editing());
  timer->Fire();
  EXPECT_TRUE(e.Editing());
  EXPECT_EQ(e.shownText, L"x");
  EXPECT_FALSE(timer->Enabled());
  t->EndEditItem(true);

  t->ScheduleEdit(t->Items().Item(1), 0, true);
  EXPECT_FALSE(timer->Enabled()) << "section 0 is not editable";
  t->QuickEditMode = true;
  t->ScheduleEdit(t->Items().Item(1), 1, true);
  EXPECT_EQ(timer->Interval(), 1u);
  t->Items().DeleteItem(t->Items().Item(1));
  EXPECT_EQ(t->PendingEditItem(), nullptr) << "a deleted item is not edited later";
  timer->Fire();
  EXPECT_FALSE(e.Editing());
}

// A timeout service that only ends when told to.
struct TFakeTimeout : IElSearchTimeout {
  TFakeTimeout(std::vector<TFakeTimeout*>& All, int& Stops) : stops(Stops) { All.push_back(this); }
  void SetTimeout(unsigned Ms) override { timeout = Ms; }
  void SetKeyArrived(bool Value) override { key = Value; }
  bool KeyArrived() const override { return key; }
  void Start() override { started = true; }
  void Stop() override {
    stopped = true;
    ++stops;
  }
  bool Finished() const override { return ended || stopped; }
  // One period passes.
  void Period() {
    if (!key) {
      ended = true;
      if (OnEnded) OnEnded();
    }
    key = false;
  }
  unsigned timeout = 0;
  bool key = false, started = false, stopped = false, ended = false;
  int& stops;  // outlives the service
};

struct TSearchFixture {
  std::unique_ptr<TElTree> t = NewTree();
  std::vector<TFakeTimeout*> timers;
  int stops = 0;
  int selectionEvents = 0;
  TSearchFixture() {
    t->IncrementalSearchTimeout = 300;
    t->Search().SetTimeoutFactory([this] { return std::make_unique<TFakeTimeout>(timers, stops); });
    t->OnAfterSelectionChange = [this](TObject*) { ++selectionEvents; };
    Load(*t, {"apple", "|bravo", "|Brown", "brick", "bright"});
  }
  void Type(const std::string& s) {
    for (char c : s) t->Search().SearchKey(c);
  }
};

TEST(TreeIncrementalSearch, TypedLettersFocusTheFirstMatchInAnyCase) {
  TSearchFixture f;
  f.Type("B");
  EXPECT_EQ(Main(f.t->ItemFocused()), "bravo") << "collapsed items count";
  f.Type("R");
  EXPECT_EQ(Main(f.t->ItemFocused()), "bravo");
  f.Type("o");
  EXPECT_EQ(Main(f.t->ItemFocused()), "Brown");
  EXPECT_EQ(f.t->Search().SearchText(), "BRo");
  EXPECT_FALSE(f.t->ItemFocused()->Selected()) << "found, focused, not selected";
  EXPECT_TRUE(f.t->ItemFocused()->IsShown()) << "made visible";
  ASSERT_EQ(f.timers.size(), 1u) << "one service per search";
  EXPECT_EQ(f.timers[0]->timeout, 300u);
  EXPECT_TRUE(f.timers[0]->key);
  f.t->Search().SearchKey('\b');
  EXPECT_EQ(f.t->Search().SearchText(), "BR");

  f.timers[0]->Period();
  EXPECT_EQ(f.t->Search().SearchText(), "BR") << "a key arrived in that period";
  f.timers[0]->Period();
  EXPECT_EQ(f.t->Search().SearchText(), "") << "a whole period without a key";
  f.Type("bri");
  EXPECT_EQ(Main(f.t->ItemFocused()), "brick");
  EXPECT_EQ(f.timers.size(), 2u);
}

TEST(TreeIncrementalSearch, ControlKeysAndEscape) {
  TSearchFixture f;
  f.Type("a");
  f.timers[0]->key = false;
  f.Type(" \t\x01");
  EXPECT_EQ(f.t->Search().SearchText(), "a");
  EXPECT_FALSE(f.timers[0]->key) << "a space or a control character does not extend the time";
  f.t->Items().Item(3)->SetSelected(true);
  const int before = f.selectionEvents;
  f.t->Search().SearchKey(27);
  EXPECT_EQ(f.t->Search().SearchText(), "");
  EXPECT_EQ(f.t->GetSelectedCount(), 0);
  EXPECT_EQ(f.selectionEvents, before + 1);
  f.Type("zz");
  EXPECT_EQ(Main(f.t->ItemFocused()), "apple") << "no match leaves the focus";
  f.t.reset();
  EXPECT_EQ(f.stops, 1) << "the tree stops its service when it goes";
}

TEST(TreeIncrementalSearch, TheThreadEndsAfterAPeriodWithoutAKey) {
  auto t = NewTree();
  t->IncrementalSearchTimeout = 0;  // no real waiting
  Load(*t, {"abc"});
  t->Search().SearchKey('a');
  ASSERT_NE(t->Search().SearchThread(), nullptr);
  for (int i = 0; i < 2000 && !t->Search().SearchText().empty(); ++i) CheckSynchronize(5);
  EXPECT_EQ(t->Search().SearchText(), "");
  EXPECT_EQ(t->Search().SearchThread(), nullptr);
  t->Search().SearchKey('a');
  t.reset();  // stops a running thread at once
}

}  // namespace
}  // namespace morvane
