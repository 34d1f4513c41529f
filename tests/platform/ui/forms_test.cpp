// Forms: activation, key preview, closing, the message loop, placement.
// ctest: desktop
#include <gtest/gtest.h>

#include "platform/ui/forms.h"
#include "platform/ui/stdctrls.h"
#include "platform/ui/timers.h"
#include "ui_fixture.h"

namespace morvane::test {
namespace {

class Forms : public UiTest {};

TEST_F(Forms, FirstActivationAndKeyPreview) {
  TForm form(nullptr);
  int activated = 0, created = 0;
  form.OnCreate = [&](TObject*) { ++created; };
  form.OnActivate = [&](TObject*) { ++activated; };
  auto* e = new TEdit(&form);
  e->SetParent(&form);
  std::vector<std::string> keys;
  form.SetKeyPreview(true);
  form.OnKeyDown = [&](TObject*, WORD& k, TShiftState s) {
    keys.push_back("form " + std::to_string(k) + ((s & ssCtrl) ? "+ctrl" : ""));
    if (k == VK_F3) k = 0;  // the form takes F3
  };
  e->OnKeyDown = [&](TObject*, WORD& k, TShiftState) { keys.push_back("edit " + std::to_string(k)); };
  form.Show();
  ASSERT_TRUE(PumpUntil([&] { return activated > 0; }));
  EXPECT_EQ(1, created);
  EXPECT_TRUE(form.Active());
  e->SetFocus();
  SendMessageA(e->Handle(), WM_KEYDOWN, VK_F3, 1);
  SendMessageA(e->Handle(), WM_KEYDOWN, VK_F5, 1);
  BYTE state[256] = {};
  GetKeyboardState(state);
  state[VK_CONTROL] = 0x80;  // sent keys do not change the key state
  SetKeyboardState(state);
  SendMessageA(e->Handle(), WM_KEYDOWN, 'F', 1);
  state[VK_CONTROL] = 0;
  SetKeyboardState(state);
  EXPECT_EQ((std::vector<std::string>{"form 114", "form 116", "edit 116", "form 70+ctrl", "edit 70"}), keys);
}

// Its own suite: the loop leaves the application terminated for the process.
class ApplicationLoop : public UiTest {};

TEST_F(ApplicationLoop, CloseAsksFirstAndTheMainFormEndsTheLoop) {
  auto* form = new TForm(nullptr);
  Application->SetMainForm(form);
  bool allow = false;
  int asked = 0;
  form->OnCloseQuery = [&](TObject*, bool& can) {
    ++asked;
    can = allow;
  };
  form->Show();
  form->Close();
  EXPECT_EQ(1, asked);
  EXPECT_TRUE(form->Visible());
  allow = true;
  TTimer closer(nullptr);
  closer.SetInterval(20);
  closer.OnTimer = [&](TObject*) {
    closer.SetEnabled(false);
    PostMessageA(form->Handle(), WM_CLOSE, 0, 0);
  };
  Application->Run();  // returns once the main form closed
  EXPECT_TRUE(Application->Terminated());
  EXPECT_EQ(2, asked);
  Application->SetMainForm(nullptr);
  delete form;
}

TEST_F(Forms, PlacementBorderAndTransparency) {
  TForm form(nullptr);
  form.SetBorderStyle(TFormBorderStyle::bsDialog);
  form.SetPosition(TPosition::poScreenCenter);
  form.SetClientWidth(300);
  form.SetClientHeight(200);
  form.SetAlphaBlend(true);
  form.SetAlphaBlendValue(200);
  form.SetFormStyle(TFormStyle::fsStayOnTop);
  form.Show();
  RECT cr{}, wr{};
  GetClientRect(form.Handle(), &cr);
  GetWindowRect(form.Handle(), &wr);
  EXPECT_EQ(300, cr.right);
  EXPECT_EQ(200, cr.bottom);
  EXPECT_NEAR((GetSystemMetrics(SM_CXSCREEN) - (wr.right - wr.left)) / 2, wr.left, 1);
  LONG ex = GetWindowLongA(form.Handle(), GWL_EXSTYLE);
  EXPECT_TRUE(ex & WS_EX_LAYERED);
  EXPECT_TRUE(ex & WS_EX_TOPMOST);
  EXPECT_FALSE(GetWindowLongA(form.Handle(), GWL_STYLE) & WS_THICKFRAME);
  BYTE alpha = 0;
  DWORD flags = 0;
  ASSERT_TRUE(GetLayeredWindowAttributes(form.Handle(), nullptr, &alpha, &flags));
  EXPECT_EQ(200, alpha);
  form.SetWindowState(TWindowState::wsMaximized);
  EXPECT_EQ(TWindowState::wsMaximized, form.WindowState());
  form.SetWindowState(TWindowState::wsNormal);
  EXPECT_EQ(TWindowState::wsNormal, form.WindowState());
}

}  // namespace
}  // namespace morvane::test
