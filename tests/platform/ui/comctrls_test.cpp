// Page and tab controls, status bar and date-time picker.
// ctest: desktop
#include <gtest/gtest.h>

#include <cmath>

#include "platform/ui/comctrls.h"
#include "platform/ui/forms.h"
#include "ui_fixture.h"

namespace morvane::test {
namespace {

class CommonControls : public UiTest {};

TEST_F(CommonControls, HiddenTabsAndSheetsThatShowOnEveryActivation) {
  TForm form(nullptr);
  form.SetBounds(50, 50, 400, 300);
  auto* pc = new TPageControl(&form);
  pc->SetParent(&form);
  pc->SetAlign(TAlign::alClient);
  std::vector<std::string> log;
  TTabSheet* sheets[3];
  for (int i = 0; i < 3; ++i) {
    sheets[i] = new TTabSheet(&form);
    sheets[i]->SetCaption("Page " + std::to_string(i));
    sheets[i]->SetTag(10 + i);
    sheets[i]->SetTabVisible(false);
    sheets[i]->SetPageControl(pc);
    sheets[i]->OnShow = [&log](TObject* s) { log.push_back("show " + std::to_string(static_cast<TTabSheet*>(s)->Tag() - 10)); };
    sheets[i]->OnHide = [&log, i](TObject*) { log.push_back("hide " + std::to_string(i)); };
  }
  pc->SetActivePage(sheets[1]);
  EXPECT_TRUE(log.empty()) << "not on screen yet";
  form.Show();
  EXPECT_EQ(std::vector<std::string>{"show 1"}, log);
  EXPECT_EQ(0, SendMessageA(pc->Handle(), TCM_GETITEMCOUNT, 0, 0)) << "all tabs hidden";
  RECT d = pc->DisplayRect();
  EXPECT_EQ(d.left, sheets[1]->Left());
  EXPECT_EQ(d.right - d.left, sheets[1]->Width());
  log.clear();
  sheets[2]->Show();  // shown explicitly: becomes the active page
  sheets[1]->Show();
  EXPECT_EQ((std::vector<std::string>{"show 2", "hide 1", "show 1", "hide 2"}), log);
  EXPECT_EQ(sheets[1], pc->ActivePage());
  log.clear();
  form.SetVisible(false);
  EXPECT_EQ(std::vector<std::string>{"hide 1"}, log);
}

TEST_F(CommonControls, TabControlChangesOnTheUsersPickOnly) {
  TForm form(nullptr);
  auto* tc = new TTabControl(&form);
  tc->SetParent(&form);
  tc->SetStyle(TCustomTabControl::TTabStyle::tsFlatButtons);
  int changes = 0;
  bool allow = true;
  tc->OnChange = [&](TObject*) { ++changes; };
  tc->OnChanging = [&](TObject*, bool& a) { a = allow; };
  for (const char* s : {"Cookies", "Blocked domains", "History"}) tc->Tabs()->Add(s);
  EXPECT_EQ(0, tc->TabIndex());
  tc->SetTabIndex(2);
  EXPECT_EQ(0, changes);
  HWND h = tc->Handle();
  EXPECT_TRUE(GetWindowLongA(h, GWL_STYLE) & TCS_FLATBUTTONS);
  EXPECT_EQ(3, SendMessageA(h, TCM_GETITEMCOUNT, 0, 0));
  EXPECT_EQ(2, SendMessageA(h, TCM_GETCURSEL, 0, 0));
  auto pick = [&](int i) {
    NMHDR nm{h, 0, static_cast<UINT>(TCN_SELCHANGING)};
    if (SendMessageA(form.Handle(), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&nm))) return;
    SendMessageA(h, TCM_SETCURSEL, static_cast<WPARAM>(i), 0);
    nm.code = static_cast<UINT>(TCN_SELCHANGE);
    SendMessageA(form.Handle(), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&nm));
  };
  pick(1);
  EXPECT_EQ(1, tc->TabIndex());
  EXPECT_EQ(1, changes);
  allow = false;
  pick(0);
  EXPECT_EQ(1, tc->TabIndex());
  EXPECT_EQ(1, changes);
}

TEST_F(CommonControls, StatusPanelsAndPickerValues) {
  TForm form(nullptr);
  auto* sb = new TStatusBar(&form);
  sb->SetParent(&form);
  for (int w : {150, 150, 50}) sb->AddPanel()->SetWidth(w);
  sb->Panels(0)->SetText("Cookies: 12");
  sb->Panels(2)->SetAlignment(TAlignment::taCenter);
  sb->Panels(2)->SetText("x");
  HWND h = sb->Handle();
  int edges[3] = {};
  ASSERT_EQ(3, SendMessageA(h, SB_GETPARTS, 3, reinterpret_cast<LPARAM>(edges)));
  EXPECT_EQ(150, edges[0]);
  EXPECT_EQ(300, edges[1]);
  EXPECT_EQ(-1, edges[2]) << "the last panel takes the rest";
  char buf[64] = {};
  SendMessageA(h, SB_GETTEXTA, 0, reinterpret_cast<LPARAM>(buf));
  EXPECT_STREQ("Cookies: 12", buf);
  sb->Panels(0)->SetText("Cookies: 13");
  SendMessageA(h, SB_GETTEXTA, 0, reinterpret_cast<LPARAM>(buf));
  EXPECT_STREQ("Cookies: 13", buf);
  EXPECT_GT(sb->Canvas()->TextWidth("Cookies: 13"), 30);

  // On the screen: a new text leaves the bar shown and to be painted, and
  // painted it shows the text.
  form.SetBounds(0, 0, 500, 200);
  form.Show();
  UpdateWindow(form.Handle());
  for (const char* text : {"Cookies: 14", "Selected: 0", "Selected: 1"}) {
    sb->Panels(0)->SetText(text);
    EXPECT_TRUE(IsWindowVisible(h)) << text;
    RECT panel{}, dirty{}, both{};
    SendMessageA(h, SB_GETRECT, 0, reinterpret_cast<LPARAM>(&panel));
    ASSERT_TRUE(GetUpdateRect(h, &dirty, FALSE)) << text << ": the panel is not painted again";
    EXPECT_TRUE(IntersectRect(&both, &panel, &dirty) && EqualRect(&both, &panel)) << text;
    SendMessageA(h, SB_GETTEXTA, 0, reinterpret_cast<LPARAM>(buf));
    EXPECT_STREQ(text, buf);
    UpdateWindow(h);
    EXPECT_FALSE(GetUpdateRect(h, nullptr, FALSE)) << text;
  }

  auto* dt = new TDateTimePicker(&form);
  dt->SetParent(&form);
  dt->SetDateTime(45000.75);  // 2023-03-15 18:00
  EXPECT_DOUBLE_EQ(45000.75, dt->DateTime());
  dt->HandleNeeded();
  EXPECT_NEAR(45000.75, dt->DateTime(), 1e-6);
  dt->SetDate(45001);
  EXPECT_NEAR(45001.75, dt->DateTime(), 1e-6) << "the time part stays";
  dt->SetKind(TDateTimeKind::dtkTime);
  EXPECT_TRUE(GetWindowLongA(dt->Handle(), GWL_STYLE) & DTS_TIMEFORMAT);
  EXPECT_NEAR(0.75, dt->Time(), 1e-6);
}

}  // namespace
}  // namespace morvane::test
