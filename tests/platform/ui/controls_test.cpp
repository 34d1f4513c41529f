// The control core: the message path through WindowProc, lazy windows,
// painting into a given DC, notifications, focus and the mouse.
// ctest: desktop
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/ui/controls.h"
#include "platform/ui/forms.h"
#include "platform/ui/menus.h"
#include "platform/ui/screenshot.h"
#include "ui_fixture.h"

namespace morvane::test {
namespace {

// Records what reaches each stage of the message path.
class TProbe : public TCustomControl {
 public:
  explicit TProbe(TComponent* owner) : TCustomControl(owner) {
    SetBounds(10, 10, 40, 20);
    SetTabStop(true);
  }
  std::vector<std::string> log;
  TColor fill = clHighlight;
  void Hook(TMessage& m) {
    if (m.Msg == WM_USER + 1) log.push_back("hook");
    saved(m);
  }
  TWndMethod saved;

  void WndProc(TMessage& m) override {
    if (m.Msg == WM_USER + 1) log.push_back("wndproc");
    TCustomControl::WndProc(m);
  }
  void Dispatch(TMessage& m) override {
    if (m.Msg == WM_USER + 1) {
      log.push_back("dispatch");
      DefaultHandler(m);
      m.Result = 7;
      return;
    }
    if (m.Msg == CM_MOUSEENTER && m.LParam == 0) log.push_back("enter");
    if (m.Msg == CM_MOUSELEAVE && m.LParam == 0) log.push_back("leave");
    if (m.Msg == CM_FONTCHANGED) log.push_back("font");
    if (m.Msg == CM_SYSCOLORCHANGE) log.push_back("syscolor");
    TCustomControl::Dispatch(m);
  }
  void DefaultHandler(TMessage& m) override {
    if (m.Msg == WM_USER + 1) log.push_back("default");
    TCustomControl::DefaultHandler(m);
  }

 protected:
  void Paint() override {
    RECT r = ClientRect();
    Canvas()->Brush()->SetColor(clBtnFace);
    Canvas()->FillRect(r);
    r.right /= 2;
    Canvas()->Brush()->SetColor(fill);
    Canvas()->FillRect(r);
  }
};

class ControlCore : public UiTest {};

TEST_F(ControlCore, WindowProcSeesEveryMessageAndCanBeRestored) {
  TForm form(nullptr);
  auto* p = new TProbe(&form);
  p->SetParent(&form);
  p->saved = p->WindowProc();
  const TWndMethod hook(p, &TProbe::Hook);
  p->SetWindowProc(hook);
  EXPECT_TRUE(p->WindowProc() == hook);
  EXPECT_FALSE(p->WindowProc() == p->saved);

  // Perform goes the same way as a message from the system, window or not.
  EXPECT_EQ(7, p->Perform(WM_USER + 1));
  EXPECT_EQ((std::vector<std::string>{"hook", "wndproc", "dispatch", "default"}), p->log);
  EXPECT_FALSE(p->HandleAllocated());

  p->log.clear();
  EXPECT_EQ(7, static_cast<int>(SendMessageA(p->Handle(), WM_USER + 1, 0, 0)));
  EXPECT_EQ((std::vector<std::string>{"hook", "wndproc", "dispatch", "default"}), p->log);

  p->SetWindowProc(p->saved);
  p->log.clear();
  p->Perform(WM_USER + 1);
  EXPECT_EQ((std::vector<std::string>{"wndproc", "dispatch", "default"}), p->log);
}

TEST_F(ControlCore, HandleIsCreatedLazilyAndRecreatedWithItsState) {
  TForm form(nullptr);
  auto* p = new TProbe(&form);
  p->SetName("Probe1");
  p->SetParent(&form);
  p->SetText("kept");
  p->SetBounds(5, 6, 70, 30);
  EXPECT_FALSE(p->HandleAllocated());
  EXPECT_FALSE(form.HandleAllocated());
  EXPECT_EQ("kept", p->Text());

  HWND first = p->Handle();  // makes the parent's window too
  ASSERT_TRUE(first);
  EXPECT_TRUE(form.HandleAllocated());
  EXPECT_EQ(form.Handle(), GetParent(first));
  char buf[32] = {};
  GetWindowTextA(first, buf, sizeof(buf));
  EXPECT_STREQ("kept", buf);
  // The component name is readable from outside through the window property.
  ATOM a = static_cast<ATOM>(reinterpret_cast<uintptr_t>(GetPropA(first, "Name")));
  ASSERT_NE(0, a);
  GlobalGetAtomNameA(a, buf, sizeof(buf));
  EXPECT_STREQ("Probe1", buf);

  SetWindowTextA(first, "changed in the window");
  p->RecreateWnd();
  HWND second = p->Handle();
  EXPECT_FALSE(IsWindow(first));
  EXPECT_TRUE(IsWindow(second));
  EXPECT_EQ("changed in the window", p->Text());
  RECT r{};
  GetWindowRect(second, &r);
  MapWindowPoints(nullptr, form.Handle(), reinterpret_cast<POINT*>(&r), 2);
  EXPECT_EQ(5, r.left);
  EXPECT_EQ(6, r.top);
  EXPECT_EQ(70, r.right - r.left);
  EXPECT_EQ(TWinControl::FromHandle(second), p);
  // A fixed id finds it from outside, as the name does.
  p->SetControlId(1001);
  EXPECT_EQ(second, GetDlgItem(form.Handle(), 1001));
  p->RecreateWnd();
  EXPECT_EQ(1001, GetDlgCtrlID(p->Handle()));
}

TEST_F(ControlCore, DoubleBufferedPaintingReachesTheScreen) {
  TForm form(nullptr);
  form.SetBounds(100, 100, 200, 120);
  auto* p = new TProbe(&form);
  p->SetParent(&form);
  p->SetBounds(0, 0, 100, 40);
  p->SetDoubleBuffered(true);
  p->fill = clRed;
  form.Show();
  // Painted now, through the window's own WM_PAINT and its back buffer,
  // before the pixels are read back: no waiting on a message pump.
  RedrawWindow(p->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
  TScreenImage img = CaptureWindow(p->Handle());
  EXPECT_EQ(RGB(255, 0, 0), img.Pixel(10, 20));
  EXPECT_EQ(GetSysColor(COLOR_BTNFACE), img.Pixel(90, 20));
  // Children follow the parent's alignment when it is resized.
  p->SetAlign(TAlign::alTop);
  int resized = 0;
  p->OnResize = [&](TObject*) { ++resized; };
  form.SetWidth(260);
  EXPECT_EQ(form.ClientWidth(), p->Width());
  EXPECT_EQ(1, resized);
}

TEST_F(ControlCore, BevelsAndBorderWidthTakeTheirPlaceOutsideTheClient) {
  TForm form(nullptr);
  form.SetBounds(100, 100, 200, 120);
  auto* p = new TProbe(&form);
  p->SetParent(&form);
  p->SetBounds(10, 10, 100, 50);
  p->SetColor(clRed);
  p->SetBevelKind(TBevelKind::bkTile);
  p->SetBevelInner(TBevelCut::bvNone);
  p->SetBevelOuter(TBevelCut::bvRaised);
  p->SetBevelEdges(beLeft | beTop | beBottom);
  p->SetBorderWidth(3);
  form.Show();
  RECT c = p->ClientRect();
  EXPECT_EQ(100 - 3 - 3 - 1, c.right) << "the right edge has no bevel";
  EXPECT_EQ(50 - 3 - 3 - 1 - 1, c.bottom);
  RedrawWindow(p->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_UPDATENOW);
  TScreenImage img = CaptureWindow(p->Handle());
  EXPECT_EQ(GetSysColor(COLOR_3DLIGHT), img.Pixel(0, 25)) << "raised outer edge, left";
  EXPECT_EQ(RGB(255, 0, 0), img.Pixel(2, 25)) << "the border ring";
  EXPECT_EQ(RGB(255, 0, 0), img.Pixel(98, 25)) << "ring on the side without bevel";
}

TEST_F(ControlCore, AFreedPopupMenuIsForgotten) {
  TForm form(nullptr);
  auto* p = new TProbe(&form);
  p->SetParent(&form);
  auto* menu = new TPopupMenu(&form);
  p->SetPopupMenu(menu);
  delete menu;
  EXPECT_EQ(nullptr, p->PopupMenu());
  // Inside the client area (on a caption the system would track its own menu).
  form.SetBounds(100, 100, 200, 120);
  p->HandleNeeded();
  POINT s = p->ClientToScreen(POINT{5, 5});
  SendMessageA(p->Handle(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(p->Handle()), MAKELPARAM(s.x, s.y));
}

TEST_F(ControlCore, PaintsIntoTheDeviceContextItIsGiven) {
  TForm form(nullptr);
  auto* p = new TProbe(&form);
  p->SetParent(&form);
  p->SetBounds(0, 0, 40, 20);
  TDibSection dib(40, 20);
  dib.Fill(RGB(1, 2, 3));
  for (bool withWindow : {false, true}) {
    SCOPED_TRACE(withWindow ? "with a window" : "without a window");
    if (withWindow) p->HandleNeeded();
    p->Perform(WM_PAINT, reinterpret_cast<WPARAM>(dib.DC()), 0);
    EXPECT_EQ(GetSysColor(COLOR_HIGHLIGHT), dib.Pixel(5, 10));
    EXPECT_EQ(GetSysColor(COLOR_BTNFACE), dib.Pixel(35, 10));
  }
}

TEST_F(ControlCore, FontAndSystemColourChangesReachTheChildren) {
  TForm form(nullptr);
  auto* p = new TProbe(&form);
  p->SetParent(&form);
  EXPECT_TRUE(p->ParentFont());
  p->log.clear();
  form.Font()->SetSize(14);
  EXPECT_EQ(14, p->Font()->Size());
  EXPECT_TRUE(p->ParentFont());
  EXPECT_EQ(std::vector<std::string>{"font"}, p->log);
  p->Font()->SetStyle(fsBold);
  EXPECT_FALSE(p->ParentFont());
  form.Font()->SetSize(9);
  EXPECT_EQ(14, p->Font()->Size());

  p->log.clear();
  form.HandleNeeded();
  SendMessageA(form.Handle(), WM_SYSCOLORCHANGE, 0, 0);
  EXPECT_EQ(std::vector<std::string>{"syscolor"}, p->log);
}

TEST_F(ControlCore, MouseEnterAndLeaveFollowTheCursor) {
  TForm form(nullptr);
  form.SetBounds(100, 100, 300, 200);
  auto* p = new TProbe(&form);
  p->SetParent(&form);
  p->SetBounds(20, 20, 100, 60);
  form.Show();
  ASSERT_TRUE(PumpUntil([&] { return IsWindowVisible(form.Handle()) != FALSE; }));
  auto moveTo = [](POINT s) {
    INPUT in{};
    in.type = INPUT_MOUSE;
    const int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
    in.mi.dx = (s.x * 65536 + w - 1) / w;
    in.mi.dy = (s.y * 65536 + h - 1) / h;
    in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    SendInput(1, &in, sizeof(in));
  };
  moveTo(p->ClientToScreen(POINT{50, 30}));
  ASSERT_TRUE(PumpUntil([&] { return !p->log.empty(); })) << "no mouse enter";
  moveTo(p->ClientToScreen(POINT{55, 35}));
  Pump(50);
  moveTo(form.ClientToScreen(POINT{250, 150}));
  ASSERT_TRUE(PumpUntil([&] { return p->log.size() >= 2; })) << "no mouse leave";
  EXPECT_EQ((std::vector<std::string>{"enter", "leave"}), p->log);
}

TEST_F(ControlCore, FocusMovesBetweenControlsAndTabCyclesThem) {
  TForm form(nullptr);
  auto* a = new TProbe(&form);
  auto* b = new TProbe(&form);
  a->SetParent(&form);
  b->SetParent(&form);
  b->SetLeft(60);
  std::vector<std::string> events;
  a->OnEnter = [&](TObject*) { events.push_back("a+"); };
  a->OnExit = [&](TObject*) { events.push_back("a-"); };
  b->OnEnter = [&](TObject*) { events.push_back("b+"); };
  form.Show();
  a->SetFocus();
  EXPECT_TRUE(a->Focused());
  EXPECT_EQ(a, form.ActiveControl());
  b->SetFocus();
  EXPECT_TRUE(b->Focused());
  EXPECT_FALSE(a->Focused());
  EXPECT_EQ((std::vector<std::string>{"a+", "a-", "b+"}), events);
  // Tab from the last one wraps to the first.
  form.Perform(CM_DIALOGKEY, VK_TAB, 0);
  EXPECT_TRUE(a->Focused());
  form.SelectNext(a, false, true);  // backwards wraps too
  EXPECT_TRUE(b->Focused());
  EXPECT_EQ(a, form.FindNextControl(b, true, true));
  a->SetFocus();
  b->SetEnabled(false);
  EXPECT_FALSE(b->CanFocus());
  form.Perform(CM_DIALOGKEY, VK_TAB, 0);
  EXPECT_TRUE(a->Focused());
}

TEST_F(ControlCore, ExceptionsInAHandlerDoNotLeaveTheWindowProcedure) {
  TForm form(nullptr);
  auto* p = new TProbe(&form);
  p->SetParent(&form);
  p->OnMouseDown = [](TObject*, TMouseButton, TShiftState, int, int) { throw EConvertError("bad number"); };
  script_.Expect(TModalKind::mkMessageBox, "bad number", IDOK);
  SendMessageA(p->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
  SendMessageA(p->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(3, 3));
}

}  // namespace
}  // namespace morvane::test
