// Menus: the system menu built from the items, a top item's OnClick before
// its menu drops down, popup menus answered through the responder.
// ctest: desktop
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/ui/forms.h"
#include "platform/ui/menus.h"
#include "platform/ui/stdctrls.h"
#include "ui_fixture.h"

namespace morvane::test {
namespace {

class Menus : public UiTest {};

TMenuItem* Item(TComponent* owner, const char* caption, TMenuItem* parent) {
  auto* i = new TMenuItem(owner);
  i->SetCaption(caption);
  parent->Add(i);
  return i;
}

TEST_F(Menus, TheMenuBarFollowsTheItemsAndATopItemHearsFirst) {
  TForm form(nullptr);
  auto* menu = new TMainMenu(&form);
  TMenuItem* edit = Item(&form, "&Edit", menu->Items());
  TMenuItem* copy = Item(&form, "&Copy", edit);
  Item(&form, "-", edit);
  TMenuItem* del = Item(&form, "&Delete", edit);
  std::vector<std::string> seen;
  edit->OnClick = [&](TObject*) {
    seen.push_back("edit");
    del->SetEnabled(false);  // the handler decides what the menu offers
    copy->SetChecked(true);
  };
  copy->OnClick = [&](TObject*) { seen.push_back("copy"); };
  form.SetMenu(menu);
  form.Show();
  HMENU bar = GetMenu(form.Handle());
  ASSERT_TRUE(bar);
  ASSERT_EQ(1, GetMenuItemCount(bar));
  HMENU sub = GetSubMenu(bar, 0);
  ASSERT_TRUE(sub);
  EXPECT_EQ(3, GetMenuItemCount(sub));
  SendMessageA(form.Handle(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(edit->Handle()), 0);
  sub = edit->Handle();
  EXPECT_EQ(std::vector<std::string>{"edit"}, seen);
  EXPECT_TRUE(GetMenuState(sub, static_cast<UINT>(del->Command()), MF_BYCOMMAND) & MF_GRAYED);
  EXPECT_TRUE(GetMenuState(sub, static_cast<UINT>(copy->Command()), MF_BYCOMMAND) & MF_CHECKED);
  SendMessageA(form.Handle(), WM_COMMAND, MAKEWPARAM(copy->Command(), 0), 0);
  EXPECT_EQ((std::vector<std::string>{"edit", "copy"}), seen);
  // A hidden item leaves the menu.
  copy->SetVisible(false);
  EXPECT_EQ(2, GetMenuItemCount(edit->Handle()));
}

// Checks and greyed items change in the built menu as they change on the
// items: a radio group keeps one mark, a hidden item takes its state along
// when it shows again, a top item of the bar greys.
TEST_F(Menus, ChecksAndGreyedItemsFollowInTheBuiltMenu) {
  TForm form(nullptr);
  auto* menu = new TMainMenu(&form);
  TMenuItem* view = Item(&form, "&View", menu->Items());
  TMenuItem* tools = Item(&form, "&Tools", menu->Items());
  Item(&form, "&Options", tools);
  TMenuItem* bar = Item(&form, "&Toolbar", view);
  Item(&form, "-", view);
  std::vector<TMenuItem*> browsers;
  for (const char* c : {"&IE", "&Netscape", "&Firefox", "&Opera"}) {
    TMenuItem* b = Item(&form, c, view);
    b->SetRadioItem(true);
    b->SetGroupIndex(1);
    browsers.push_back(b);
  }
  browsers[0]->SetChecked(true);
  form.SetMenu(menu);
  form.Show();
  HMENU top = GetMenu(form.Handle());
  ASSERT_TRUE(top);
  auto state = [&](TMenuItem* i) {
    HMENU in = i->Parent() == menu->Items() ? top : GetSubMenu(top, 0);
    for (int k = 0; k < GetMenuItemCount(in); ++k) {
      char text[64] = {};
      GetMenuStringA(in, static_cast<UINT>(k), text, sizeof text, MF_BYPOSITION);
      if (i->Caption() != text) continue;
      MENUITEMINFOA mi{};
      mi.cbSize = sizeof mi;
      mi.fMask = MIIM_FTYPE | MIIM_STATE;
      GetMenuItemInfoA(in, static_cast<UINT>(k), TRUE, &mi);
      return std::string(mi.fState & MFS_CHECKED ? "checked" : "-") + (mi.fState & MFS_GRAYED ? " grey" : "") +
             (mi.fType & MFT_RADIOCHECK ? " radio" : "");
    }
    return std::string("absent");
  };
  struct {
    std::function<void()> Change;
    std::vector<std::pair<TMenuItem*, std::string>> Expect;
  } steps[] = {
      {[] {}, {{browsers[0], "checked radio"}, {browsers[1], "-"}, {bar, "-"}}},
      {[&] { browsers[2]->SetChecked(true); }, {{browsers[0], "-"}, {browsers[2], "checked radio"}}},
      {[&] { bar->SetChecked(true); }, {{bar, "checked"}, {browsers[2], "checked radio"}}},
      {[&] { browsers[3]->SetEnabled(false); }, {{browsers[3], "- grey"}, {browsers[2], "checked radio"}}},
      {[&] { browsers[1]->SetVisible(false); }, {{browsers[1], "absent"}, {browsers[3], "- grey"}}},
      {[&] { browsers[1]->SetChecked(true); }, {{browsers[1], "absent"}, {browsers[2], "-"}, {browsers[3], "- grey"}}},
      {[&] { browsers[1]->SetVisible(true); }, {{browsers[1], "checked radio"}, {browsers[3], "- grey"}}},
      {[&] { tools->SetEnabled(false); }, {{tools, "- grey"}, {view, "-"}}},
      {[&] { bar->SetChecked(false); }, {{bar, "-"}, {browsers[1], "checked radio"}}},
  };
  int n = 0;
  for (auto& step : steps) {
    step.Change();
    for (auto& [item, expect] : step.Expect) EXPECT_EQ(expect, state(item)) << "step " << n << ", " << item->Caption();
    ++n;
  }
}

TEST_F(Menus, APopupMenuIsAnsweredThroughTheResponder) {
  TForm form(nullptr);
  auto* popup = new TPopupMenu(&form);
  popup->SetName("GridMenu");
  TMenuItem* a = Item(&form, "&Select all", popup->Items());
  TMenuItem* b = Item(&form, "Deselect &all", popup->Items());
  bool popped = false, chosen = false;
  popup->OnPopup = [&](TObject*) { popped = true; };
  b->OnClick = [&](TObject*) { chosen = true; };
  auto* edit = new TEdit(&form);
  edit->SetParent(&form);
  edit->SetPopupMenu(popup);
  script_.Expect(TModalKind::mkPopupMenu, "GridMenu", [&](TModalRequest& r) {
    EXPECT_EQ(popup, r.Menu);
    EXPECT_EQ("&Select all\nDeselect &all", r.Text);
    return b->Command();
  });
  form.Show();
  SendMessageA(edit->Handle(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(edit->Handle()), MAKELPARAM(60, 60));
  EXPECT_TRUE(popped);
  EXPECT_TRUE(chosen);
  EXPECT_EQ(edit, popup->PopupComponent());
  (void)a;
}

}  // namespace
}  // namespace morvane::test
