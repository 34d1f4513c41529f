// Menus: the system menu built from the items, a top item's OnClick before
// its menu drops down, popup menus answered through the responder.
// ctest: desktop
#include <gtest/gtest.h>

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
