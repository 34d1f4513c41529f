// The standard controls: state without a window, what reaches the window,
// and the events the program relies on.
// ctest: desktop
#include <gtest/gtest.h>

#include "platform/ui/comctrls.h"
#include "platform/ui/extctrls.h"
#include "platform/ui/forms.h"
#include "platform/ui/shellctrls.h"
#include "platform/ui/stdctrls.h"
#include "ui_fixture.h"

namespace morvane::test {
namespace {

class StdControls : public UiTest {
 protected:
  void SetUp() override {
    UiTest::SetUp();
    form = std::make_unique<TForm>(nullptr);
    form->SetBounds(50, 50, 400, 300);
  }
  void TearDown() override {
    form.reset();
    UiTest::TearDown();
  }
  template <class T>
  T* Add(int l = 10, int t = 10, int w = 150, int h = 21) {
    auto* c = new T(form.get());
    c->SetParent(form.get());
    c->SetBounds(l, t, w, h);
    return c;
  }
  std::unique_ptr<TForm> form;
};

TEST_F(StdControls, EditKeepsStateWithoutAWindowAndCanSwallowKeys) {
  auto* e = Add<TEdit>();
  int changes = 0;
  e->OnChange = [&](TObject*) { ++changes; };
  e->SetMaxLength(3);
  e->SetText("ab");
  EXPECT_EQ(1, changes);
  EXPECT_FALSE(e->HandleAllocated());
  e->OnKeyPress = [](TObject*, char& k) {
    if (k == 'x') k = 0;  // swallowed
  };
  HWND h = e->Handle();
  EXPECT_EQ("ab", e->Text());
  SendMessageA(h, EM_SETSEL, 2, 2);
  for (char c : std::string("xcd")) SendMessageA(h, WM_CHAR, static_cast<unsigned char>(c), 1);
  EXPECT_EQ("abc", e->Text()) << "x swallowed, d over MaxLength";
  EXPECT_EQ(2, changes);
  e->RecreateWnd();
  EXPECT_EQ("abc", e->Text());
  SendMessageA(e->Handle(), EM_SETSEL, 3, 3);
  SendMessageA(e->Handle(), WM_CHAR, 'z', 1);
  EXPECT_EQ("abc", e->Text()) << "MaxLength kept across the new window";
}

TEST_F(StdControls, ComboItemsObjectsSelectionAndTheInnerEditsKeys) {
  auto* c = Add<TComboBox>();
  TObject tag1, tag2;
  c->Items()->AddObject("one", &tag1);
  c->Items()->AddObject("two", &tag2);
  c->SetItemIndex(1);
  EXPECT_EQ("two", c->Text());
  EXPECT_EQ(&tag2, c->Items()->Objects(c->ItemIndex()));
  std::vector<std::string> events;
  c->OnClick = [&](TObject*) { events.push_back("click"); };
  c->OnChange = [&](TObject*) { events.push_back("change"); };
  c->OnKeyDown = [&](TObject*, WORD& k, TShiftState) {
    events.push_back("key " + std::to_string(k));
    if (k == VK_F5) k = 0;
  };
  c->OnKeyPress = [&](TObject*, char& k) { events.push_back(std::string("char ") + k); };
  HWND h = c->Handle();
  EXPECT_EQ(1, SendMessageA(h, CB_GETCURSEL, 0, 0));
  EXPECT_EQ(2, SendMessageA(h, CB_GETCOUNT, 0, 0));
  // The user picks the first item.
  SendMessageA(h, CB_SETCURSEL, 0, 0);
  SendMessageA(form->Handle(), WM_COMMAND, MAKEWPARAM(0, CBN_SELCHANGE), reinterpret_cast<LPARAM>(h));
  EXPECT_EQ("one", c->Text());
  EXPECT_EQ((std::vector<std::string>{"click", "change"}), events);
  events.clear();
  HWND edit = c->EditHandle();
  ASSERT_TRUE(edit);
  SendMessageA(edit, WM_KEYDOWN, VK_F5, 1);
  SendMessageA(edit, WM_CHAR, 'q', 1);
  EXPECT_EQ((std::vector<std::string>{"key 116", "char q", "change"}), events);
  // A drop-down list takes only its items as text.
  c->SetStyle(TComboBoxStyle::csDropDownList);
  c->SetText("two");
  EXPECT_EQ(1, c->ItemIndex());
  c->SetText("three");
  EXPECT_EQ(-1, c->ItemIndex());
}

TEST_F(StdControls, CheckBoxAndButtonClicks) {
  auto* cb = Add<TCheckBox>();
  int clicks = 0;
  cb->OnClick = [&](TObject*) { ++clicks; };
  cb->SetChecked(true);  // as a click would
  EXPECT_EQ(1, clicks);
  HWND h = cb->Handle();
  EXPECT_EQ(BST_CHECKED, SendMessageA(h, BM_GETCHECK, 0, 0));
  SendMessageA(h, BM_CLICK, 0, 0);
  EXPECT_FALSE(cb->Checked());
  EXPECT_EQ(2, clicks);
  auto* b = Add<TButton>(10, 40, 75, 25);
  int pressed = 0;
  b->OnClick = [&](TObject*) { ++pressed; };
  SendMessageA(b->Handle(), BM_CLICK, 0, 0);
  EXPECT_EQ(1, pressed);
  b->SetEnabled(false);
  SendMessageA(b->Handle(), BM_CLICK, 0, 0);  // Wine still sends BN_CLICKED here
  EXPECT_EQ(1, pressed);
}

TEST_F(StdControls, EnterAndEscapeReachTheDefaultAndCancelButtons) {
  auto* e = Add<TEdit>();
  auto* ok = Add<TButton>(10, 40, 75, 25);
  ok->SetDefault(true);
  ok->SetModalResult(mrOk);
  auto* cancel = Add<TButton>(90, 40, 75, 25);
  cancel->SetCancel(true);
  cancel->SetModalResult(mrCancel);
  form->SetActiveControl(e);
  for (auto [key, want] : {std::pair{VK_RETURN, mrOk}, {VK_ESCAPE, mrCancel}}) {
    SCOPED_TRACE(key);
    script_.Expect(TModalKind::mkForm, "", [&, key = key](TModalRequest&) {
      e->SetFocus();
      PostMessageA(e->Handle(), WM_KEYDOWN, key, 1);
      return mrKeepOpen;
    });
    EXPECT_EQ(want, form->ShowModal());
  }
}

TEST_F(StdControls, LabelIsAStaticWindowSizedToItsText) {
  auto* l = Add<TLabel>(10, 10, 5, 5);
  l->SetCaption("A rather long caption");
  const int w = l->Width();
  EXPECT_GT(w, 60);
  EXPECT_EQ(w, l->Canvas()->TextWidth("A rather long caption"));
  char cls[16] = {}, text[64] = {};
  GetClassNameA(l->Handle(), cls, sizeof(cls));
  GetWindowTextA(l->Handle(), text, sizeof(text));
  EXPECT_STREQ("Static", cls);
  EXPECT_STREQ("A rather long caption", text);
}

TEST_F(StdControls, MemoLinesBeforeAndAfterItsWindow) {
  auto* m = Add<TMemo>(10, 10, 200, 100);
  m->Lines()->Add("first");
  m->Lines()->BeginUpdate();
  for (int i = 0; i < 50; ++i) m->Lines()->Add("line " + std::to_string(i));
  m->Lines()->EndUpdate();
  EXPECT_EQ(51, m->Lines()->Count());
  HWND h = m->Handle();
  EXPECT_EQ(51, SendMessageA(h, EM_GETLINECOUNT, 0, 0));
  m->Lines()->Delete(0);
  EXPECT_EQ("line 0", m->Lines()->Strings(0));
  m->Lines()->SetText("a\nb\r\nc\r\n");
  EXPECT_EQ(3, m->Lines()->Count());
  EXPECT_EQ("a\r\nb\r\nc\r\n", m->Lines()->Text());
}

TEST_F(StdControls, ListBoxSelectionSurvivesANewWindow) {
  auto* lb = Add<TListBox>(10, 10, 150, 100);
  for (const char* s : {"a", "b", "c"}) lb->Items()->Add(s);
  lb->SetItemIndex(2);
  EXPECT_EQ(2, lb->ItemIndex());
  EXPECT_EQ(2, SendMessageA(lb->Handle(), LB_GETCURSEL, 0, 0));
  lb->SetMultiSelect(true);
  lb->SetSelected(0, true);
  lb->SetSelected(2, true);
  lb->RecreateWnd();
  EXPECT_TRUE(lb->Selected(0));
  EXPECT_FALSE(lb->Selected(1));
  EXPECT_TRUE(lb->Selected(2));
  EXPECT_EQ(2, lb->SelCount());
}

TEST_F(StdControls, ShellComboListsMyComputerAndTheDrives) {
  auto* sc = Add<TShellComboBox>();
  ASSERT_GE(sc->Items()->Count(), 2);
  EXPECT_EQ("", sc->Path(0)) << "My Computer itself";
  bool haveC = false;
  for (int i = 1; i < sc->Items()->Count(); ++i) haveC |= sc->Path(i) == "C:\\";
  EXPECT_TRUE(haveC);
  sc->SetText("C:\\users");
  EXPECT_EQ(-1, sc->ItemIndex());
  EXPECT_EQ("C:\\users", sc->SelectedPath());
  sc->HandleNeeded();
  EXPECT_EQ("C:\\users", sc->SelectedPath());
  EXPECT_EQ(4, sc->ObjectTypes());
}

TEST_F(StdControls, ASplitterWithoutAWindowGetsTheMouseAndResizesItsNeighbour) {
  auto* left = Add<TPanel>(0, 0, 100, 100);
  left->SetAlign(TAlign::alLeft);
  auto* split = new TSplitter(form.get());
  split->SetParent(form.get());
  split->SetLeft(100);
  auto* rest = Add<TPanel>(110, 0, 100, 100);
  rest->SetAlign(TAlign::alClient);
  int moved = 0, entered = 0;
  split->OnMoved = [&](TObject*) { ++moved; };
  split->OnMouseEnter = [&](TObject*) { ++entered; };
  form->Show();
  ASSERT_EQ(100, split->Left());
  HWND h = form->Handle();
  const int y = 40, x = split->Left() + 1;
  SendMessageA(h, WM_MOUSEMOVE, 0, MAKELPARAM(x, y));
  EXPECT_EQ(1, entered);
  SendMessageA(h, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
  EXPECT_EQ(h, GetCapture());
  SendMessageA(h, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(x + 30, y));
  SendMessageA(h, WM_LBUTTONUP, 0, MAKELPARAM(x + 30, y));
  EXPECT_EQ(130, left->Width());
  EXPECT_EQ(130, split->Left());
  EXPECT_EQ(133, rest->Left());
  EXPECT_EQ(1, moved);
  EXPECT_NE(h, GetCapture());
}

TEST_F(StdControls, UpDownRefusalKeepsThePosition) {
  auto* e = Add<TEdit>(10, 10, 40, 21);
  auto* ud = Add<TUpDown>(50, 10, 17, 21);
  ud->SetMax(10);
  ud->SetPosition(4);
  ud->SetAssociate(e);
  bool allow = false;
  short proposed = -1;
  TUpDownDirection dir = TUpDownDirection::updNone;
  ud->OnChangingEx = [&](TObject*, bool& a, short v, TUpDownDirection d) {
    a = allow;
    proposed = v;
    dir = d;
  };
  form->Show();
  HWND h = ud->Handle();
  auto clickUp = [&] {
    SendMessageA(h, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(8, 3));
    SendMessageA(h, WM_LBUTTONUP, 0, MAKELPARAM(8, 3));
  };
  clickUp();
  EXPECT_EQ(5, proposed);
  EXPECT_EQ(TUpDownDirection::updUp, dir);
  EXPECT_EQ(4, ud->Position());
  EXPECT_EQ("4", e->Text());
  allow = true;
  clickUp();
  EXPECT_EQ(5, ud->Position());
  EXPECT_EQ("5", e->Text());
}

}  // namespace
}  // namespace morvane::test
