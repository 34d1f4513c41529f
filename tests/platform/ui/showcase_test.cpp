// One window with one of each standard control, laid out as the program's
// main window is (menu, tool bar, status bar, pages, tabs, an owner-data
// list), driven without a person; its picture goes to
// <build>/screenshots/showcase.png for people to look at.
// ctest: desktop
#include <gtest/gtest.h>

#include <set>

#include "platform/ui/automation.h"
#include "platform/ui/comctrls.h"
#include "platform/ui/extctrls.h"
#include "platform/ui/forms.h"
#include "platform/ui/listview.h"
#include "platform/ui/menus.h"
#include "platform/ui/screenshot.h"
#include "platform/ui/shellctrls.h"
#include "platform/ui/stdctrls.h"
#include "platform/ui/timers.h"
#include "support/test_env.h"
#include "ui_fixture.h"

namespace morvane::test {
namespace {

template <class T>
T* Make(TWinControl* parent, const char* name, int l, int t, int w, int h) {
  auto* c = new T(GetParentForm(parent) ? static_cast<TComponent*>(GetParentForm(parent)) : parent);
  c->SetName(name);
  c->SetParent(parent);
  c->SetBounds(l, t, w, h);
  return c;
}

class TShowcase : public TForm {
 public:
  explicit TShowcase(TComponent* owner) : TForm(owner) { BuildLayout(); }
  ~TShowcase() override { DestroyComponents(); }

  TMainMenu* menu;
  TMenuItem *mnuFile, *mnuOpen, *mnuEdit;
  TToolBar* toolBar;
  TToolButton *btnIE, *btnFirefox, *btnOpera, *btnNew;
  TStatusBar* status;
  TPageControl* pages;
  TTabSheet *sheetStd, *sheetMore;
  TListView* list;
  TTabControl* tabs;
  TComboBox* combo;
  TUpDown* upDown;
  TEdit* upEdit;
  std::set<int> asked;
  int hintFrom = -1, hintTo = -1;
  int stdShown = 0, moreShown = 0;

 private:
  void BuildLayout() {
    SetName("Showcase");
    SetCaption("Morvane controls");
    SetBounds(20, 20, 800, 560);
    menu = new TMainMenu(this);
    mnuFile = new TMenuItem(this);
    mnuFile->SetCaption("&File");
    mnuOpen = new TMenuItem(this);
    mnuOpen->SetCaption("&Open...");
    mnuFile->Add(mnuOpen);
    auto* sep = new TMenuItem(this);
    sep->SetCaption("-");
    mnuFile->Add(sep);
    auto* exit = new TMenuItem(this);
    exit->SetCaption("E&xit");
    mnuFile->Add(exit);
    mnuEdit = new TMenuItem(this);
    mnuEdit->SetCaption("&Edit");
    auto* copy = new TMenuItem(this);
    copy->SetCaption("&Copy");
    copy->SetChecked(true);
    mnuEdit->Add(copy);
    menu->Items()->Add(mnuFile);
    menu->Items()->Add(mnuEdit);
    SetMenu(menu);

    toolBar = Make<TToolBar>(this, "ToolBar1", 0, 0, 100, 26);
    toolBar->SetShowCaptions(true);
    toolBar->SetList(true);
    auto button = [&](const char* name, const char* caption, TToolButtonStyle st, bool grouped) {
      auto* b = new TToolButton(this);
      b->SetName(name);
      b->SetCaption(caption);
      b->SetStyle(st);
      b->SetGrouped(grouped);
      b->SetHint(std::string(caption) + "|Shows " + caption);
      b->SetParent(toolBar);
      return b;
    };
    btnIE = button("btnIE", "Internet Explorer", TToolButtonStyle::tbsCheck, true);
    btnFirefox = button("btnFirefox", "Firefox", TToolButtonStyle::tbsCheck, true);
    btnOpera = button("btnOpera", "Opera", TToolButtonStyle::tbsCheck, true);
    button("sep1", "", TToolButtonStyle::tbsSeparator, false);
    btnNew = button("btnNew", "New", TToolButtonStyle::tbsButton, false);
    btnIE->SetDown(true);
    toolBar->SetShowHint(true);

    status = Make<TStatusBar>(this, "StatusBar1", 0, 0, 100, 20);
    for (int w : {150, 150, 150, 50}) status->AddPanel()->SetWidth(w);
    status->Panels(0)->SetText("Cookies: 200");
    status->Panels(1)->SetText("Selected: 0");

    pages = Make<TPageControl>(this, "Pages", 0, 0, 420, 100);
    pages->SetAlign(TAlign::alLeft);
    sheetStd = new TTabSheet(this);
    sheetStd->SetName("sheetStd");
    sheetStd->SetCaption("Standard");
    sheetStd->SetPageControl(pages);
    sheetStd->OnShow = [this](TObject*) { ++stdShown; };
    sheetMore = new TTabSheet(this);
    sheetMore->SetName("sheetMore");
    sheetMore->SetCaption("More");
    sheetMore->SetPageControl(pages);
    sheetMore->OnShow = [this](TObject*) { ++moreShown; };
    pages->SetActivePage(sheetStd);

    auto* lbl = Make<TLabel>(sheetStd, "Label1", 8, 8, 100, 13);
    lbl->SetCaption("&Name of the cookie:");
    Make<TEdit>(sheetStd, "Edit1", 8, 26, 190, 21)->SetText("an edit");
    Make<TMaskEdit>(sheetStd, "MaskEdit1", 206, 26, 190, 21)->SetText("a mask edit");
    auto* memo = Make<TMemo>(sheetStd, "Memo1", 8, 54, 190, 60);
    memo->Lines()->Add("a memo");
    memo->Lines()->Add("with two lines");
    memo->SetScrollBars(TScrollStyle::ssVertical);
    auto* btn = Make<TButton>(sheetStd, "Button1", 206, 54, 90, 25);
    btn->SetCaption("&Button");
    btn->SetDefault(true);
    auto* chk = Make<TCheckBox>(sheetStd, "CheckBox1", 206, 86, 120, 17);
    chk->SetCaption("A check box");
    chk->SetChecked(true);
    auto* rb = Make<TRadioButton>(sheetStd, "Radio1", 300, 58, 100, 17);
    rb->SetCaption("A radio");
    rb->SetChecked(true);
    combo = Make<TComboBox>(sheetStd, "Combo1", 8, 122, 190, 21);
    combo->SetStyle(TComboBoxStyle::csDropDownList);
    for (const char* s : {"Cookies", "Blocked domains", "History"}) combo->Items()->Add(s);
    combo->SetItemIndex(1);
    auto* shell = Make<TShellComboBox>(sheetStd, "ShellCombo1", 206, 122, 190, 21);
    shell->SetItemIndex(shell->Items()->Count() > 1 ? 1 : 0);
    auto* lb = Make<TListBox>(sheetStd, "ListBox1", 8, 150, 190, 70);
    for (const char* s : {"C:\\users\\root\\Cookies", "D:\\profiles", "E:\\backup"}) lb->Items()->Add(s);
    lb->SetItemIndex(0);
    auto* grp = Make<TGroupBox>(sheetStd, "Group1", 206, 150, 190, 70);
    grp->SetCaption("A group box");
    auto* st = Make<TStaticText>(grp, "Static1", 10, 20, 120, 17);
    st->SetCaption("sunken static text");
    st->SetBorderStyle(TStaticBorderStyle::sbsSunken);
    auto* dt = Make<TDateTimePicker>(sheetStd, "Date1", 8, 228, 190, 21);
    dt->SetDate(46000);
    auto* tm = Make<TDateTimePicker>(sheetStd, "Time1", 206, 228, 120, 21);
    tm->SetKind(TDateTimeKind::dtkTime);
    upEdit = Make<TEdit>(sheetStd, "UpEdit", 334, 228, 45, 21);
    upDown = Make<TUpDown>(sheetStd, "UpDown1", 379, 228, 17, 21);
    upDown->SetMin(0);
    upDown->SetMax(10);
    upDown->SetPosition(3);
    upDown->SetAssociate(upEdit);
    auto* panel = Make<TPanel>(sheetStd, "Panel1", 8, 258, 190, 60);
    panel->SetCaption("A raised panel");
    auto* bevel = Make<TBevel>(sheetStd, "Bevel1", 206, 258, 90, 60);
    bevel->SetShape(TBevelShape::bsFrame);
    auto* img = Make<TImage>(sheetStd, "Image1", 304, 258, 92, 60);
    TBitmap* bmp = img->Picture()->Bitmap();
    bmp->SetSize(32, 32);
    bmp->Canvas()->Brush()->SetColor(clBlue);
    bmp->Canvas()->FillRect(RECT{0, 0, 32, 32});
    bmp->Canvas()->Brush()->SetColor(clYellow);
    bmp->Canvas()->Ellipse(4, 4, 28, 28);
    img->SetCenter(true);
    auto* tabsInSheet = Make<TTabControl>(sheetStd, "TabsStd", 8, 326, 388, 60);
    tabsInSheet->Tabs()->Add("Tabs");
    tabsInSheet->Tabs()->Add("in a");
    tabsInSheet->Tabs()->Add("tab control");

    auto* split = new TSplitter(this);
    split->SetName("Splitter1");
    split->SetParent(this);
    split->SetLeft(420);
    auto* right = Make<TPanel>(this, "RightPanel", 430, 0, 300, 100);
    right->SetAlign(TAlign::alClient);
    right->SetBevelOuter(TBevelCut::bvNone);
    tabs = Make<TTabControl>(right, "IETabControl", 0, 0, 300, 26);
    tabs->SetAlign(TAlign::alTop);
    tabs->SetStyle(TCustomTabControl::TTabStyle::tsFlatButtons);
    for (const char* s : {"Cookies", "Blocked domains", "History"}) tabs->Tabs()->Add(s);
    list = Make<TListView>(right, "Grid", 0, 30, 300, 300);
    list->SetAlign(TAlign::alClient);
    list->SetRowSelect(true);
    list->SetMultiSelect(true);
    list->SetHideSelection(false);
    for (auto [cap, w] : {std::pair{"Site", 150}, {"Name", 90}, {"Expires", 100}}) {
      auto* c = list->AddColumn();
      c->SetCaption(cap);
      c->SetWidth(w);
    }
    list->OnData = [this](TObject*, TListItem* item) {
      asked.insert(item->Index());
      item->Caption = "site" + std::to_string(item->Index()) + ".example.com";
      item->SubItems.Add("cookie" + std::to_string(item->Index()));
      item->SubItems.Add("2030-01-01");
    };
    list->OnDataHint = [this](TObject*, int a, int b) {
      hintFrom = a;
      hintTo = b;
    };
    list->Items()->SetCount(200);
  }
};

class Showcase : public UiTest {};

TEST_F(Showcase, EveryStandardControlIsDrawnAndDriven) {
  auto* form = new TShowcase(nullptr);
  EXPECT_FALSE(form->HandleAllocated());  // nothing has a window before it shows
  EXPECT_EQ(0, form->stdShown);
  form->Show();
  ASSERT_TRUE(PumpUntil([&] { return IsWindowVisible(form->Handle()) != FALSE; }));
  EXPECT_EQ(1, form->stdShown) << "the active sheet shows with its form";
  Pump(300);

  // Found from outside by name, however deep.
  EXPECT_EQ(form->list->Handle(), FindNamedWindow(form->Handle(), "Grid"));
  EXPECT_EQ(form->upDown->Handle(), FindNamedWindow(form->Handle(), "UpDown1"));
  EXPECT_EQ("Combo1", WindowName(form->combo->Handle()));
  EXPECT_EQ(nullptr, FindNamedWindow(form->Handle(), "NoSuchControl"));

  // The list asks only for the rows it shows.
  ASSERT_TRUE(PumpUntil([&] { return !form->asked.empty(); }));
  const int visible = form->list->VisibleRowCount();
  EXPECT_GT(visible, 5);
  EXPECT_LE(*form->asked.rbegin(), visible + 1);
  EXPECT_LT(form->asked.size(), 60u);

  // Tool buttons: a radio group of check buttons; a marked one.
  SendMessageA(form->Handle(), WM_COMMAND, MAKEWPARAM(form->btnFirefox->CommandId(), BN_CLICKED),
               reinterpret_cast<LPARAM>(form->toolBar->Handle()));
  form->btnOpera->SetMarked(true);
  form->btnFirefox->SetDown(true);
  EXPECT_TRUE(form->btnFirefox->Down());
  EXPECT_FALSE(form->btnIE->Down());
  EXPECT_TRUE(SendMessageA(form->toolBar->Handle(), TB_ISBUTTONCHECKED, form->btnFirefox->CommandId(), 0));
  EXPECT_FALSE(SendMessageA(form->toolBar->Handle(), TB_ISBUTTONCHECKED, form->btnIE->CommandId(), 0));
  EXPECT_TRUE(SendMessageA(form->toolBar->Handle(), TB_ISBUTTONHIGHLIGHTED, form->btnOpera->CommandId(), 0));

  // Selecting rows and walking them.
  form->list->Items()->Item(3)->SetSelected(true);
  form->list->Items()->Item(7)->SetSelected(true);
  std::vector<int> sel;
  for (TListItem* i = form->list->Selected(); i; i = form->list->GetNextItem(i, TSearchDirection::sdAll, isSelected))
    sel.push_back(i->Index());
  EXPECT_EQ((std::vector<int>{3, 7}), sel);
  EXPECT_EQ("site7.example.com", form->list->Items()->Item(7)->Caption);
  form->list->Items()->Item(7)->SetFocused(true);
  EXPECT_EQ(7, form->list->ItemFocused()->Index());
  EXPECT_EQ(7, form->list->GetNextItem(nullptr, TSearchDirection::sdAll, isFocused)->Index());
  // The list says which rows it is about to show; a click on a column is reported.
  form->hintFrom = form->hintTo = -1;
  form->list->Items()->Item(150)->MakeVisible(false);
  Pump(100);
  EXPECT_LE(form->hintFrom, 150);
  EXPECT_GE(form->hintTo, 150);
  TListColumn* clicked = nullptr;
  form->list->OnColumnClick = [&](TObject*, TListColumn* c) { clicked = c; };
  NMLISTVIEW nm{};
  nm.hdr.hwndFrom = form->list->Handle();
  nm.hdr.code = static_cast<UINT>(LVN_COLUMNCLICK);
  nm.iItem = -1;
  nm.iSubItem = 2;
  SendMessageA(GetParent(form->list->Handle()), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&nm));
  EXPECT_EQ(form->list->Columns(2), clicked);
  form->list->Items()->Item(0)->MakeVisible(false);
  // A hidden tool button leaves the bar but keeps its place in the list.
  form->btnNew->SetVisible(false);
  EXPECT_TRUE(SendMessageA(form->toolBar->Handle(), TB_ISBUTTONHIDDEN, form->btnNew->CommandId(), 0));
  form->btnNew->SetVisible(true);
  form->status->Panels(1)->SetText("Selected: 2");
  form->tabs->SetTabIndex(1);

  Pump(200);
  const std::string dir = BinPath("..\\screenshots");
  CreateDirectoryA(dir.c_str(), nullptr);
  const std::string png = dir + "\\showcase.png";
  SaveWindowScreenshot(form->Handle(), png);
  EXPECT_GT(ReadFileBytes(png).size(), 10000u);

  // Pages: OnShow on every activation.
  form->sheetMore->Show();
  EXPECT_EQ(form->sheetMore, form->pages->ActivePage());
  EXPECT_EQ(1, form->moreShown);
  form->pages->SetActivePage(form->sheetStd);
  form->pages->SetActivePage(form->sheetMore);
  EXPECT_EQ(2, form->moreShown);
  EXPECT_EQ(2, form->stdShown);
  delete form;
}

}  // namespace
}  // namespace morvane::test
