// The input handling over a real window: the frame selection captures the
// mouse, the line hint is a real hint window, the focus follows a click.
// ctest: desktop
#include <gtest/gtest.h>

#include "controls/elhintwnd.h"
#include "tree_fixture.h"
#include "treeview/eltree_drag.h"
#include "treeview/eltree_input.h"
#include "treeview/eltree_inputport.h"
#include "treeview/eltreewindowport.h"

namespace morvane {
namespace {

TCustomElTree* gTree = nullptr;

LRESULT CALLBACK TreeProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
  LRESULT r = 0;
  if (gTree && gTree->View().Input().HandleMessage(msg, wp, lp, r)) return r;
  return DefWindowProcA(wnd, msg, wp, lp);
}

class TInputWindow {
 public:
  TInputWindow() {
    WNDCLASSA wc{};
    wc.lpfnWndProc = TreeProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "MorvaneTreeInputTest";
    wc.style = CS_DBLCLKS;
    RegisterClassA(&wc);
    wnd_ = CreateWindowExA(0, wc.lpszClassName, "tree", WS_OVERLAPPEDWINDOW, 10, 10, 320, 240,
                           nullptr, nullptr, wc.hInstance, nullptr);
    ShowWindow(wnd_, SW_SHOW);
    UpdateWindow(wnd_);
  }
  ~TInputWindow() {
    gTree = nullptr;
    DestroyWindow(wnd_);
  }
  HWND Get() const { return wnd_; }

 private:
  HWND wnd_;
};

TEST(TreeInputWindow, ClickFrameAndLineHint) {
  TInputWindow w;
  auto tree = std::make_unique<TElTree>(nullptr);
  TElTreeWindowPort view(w.Get());
  TElTreeWindowInputPort input(w.Get());
  tree->SetViewPort(&view);
  tree->View().Input().SetPort(&input);
  test::Load(*tree, {"first", "second row with a long text", "third", "fourth"});
  for (int i = 0; i < tree->Items().Count(); ++i)
    tree->Items().Item(i)->TextRect = {20, i * 17, 400, i * 17 + 17};
  gTree = tree.get();

  SendMessageA(w.Get(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(40, 5));
  SendMessageA(w.Get(), WM_LBUTTONUP, 0, MAKELPARAM(40, 5));
  EXPECT_EQ(tree->ItemFocused(), tree->Items().Item(0));
  EXPECT_EQ(GetFocus(), w.Get());

  // A frame from the empty right part down over three rows holds the capture.
  SendMessageA(w.Get(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(250, 20));
  SendMessageA(w.Get(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(250, 60));
  SendMessageA(w.Get(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(251, 61));
  EXPECT_TRUE(tree->View().Input().FrameSelecting());
  EXPECT_EQ(GetCapture(), w.Get());
  SendMessageA(w.Get(), WM_LBUTTONUP, 0, MAKELPARAM(251, 61));
  EXPECT_EQ(GetCapture(), nullptr);
  EXPECT_EQ(tree->GetSelectedCount(), 3);

  // The second row's text runs past the window: its line hint shows.
  SendMessageA(w.Get(), WM_MOUSEMOVE, 0, MAKELPARAM(60, 22));
  auto* timer = static_cast<TManualTreeTimer*>(tree->View().Input().LineHintTimer());
  ASSERT_NE(timer, nullptr);
  timer->Fire();
  TElHintWindow* hint = input.LineHintWindow();
  ASSERT_TRUE(hint->HandleAllocated());
  EXPECT_TRUE(IsWindowVisible(hint->Handle()));
  EXPECT_EQ(hint->WideCaption(), L"second row with a long text");
  RECT wr;
  GetWindowRect(hint->Handle(), &wr);
  POINT origin{20, 17};
  ClientToScreen(w.Get(), &origin);
  EXPECT_EQ(wr.left, origin.x);
  EXPECT_EQ(wr.top, origin.y);
  SendMessageA(w.Get(), WM_KEYDOWN, VK_DOWN, 0);
  EXPECT_FALSE(hint->HandleAllocated() && IsWindowVisible(hint->Handle()));
}

TEST(TreeInputWindow, DragObjectCursorsFollowTheCtrlKey) {
  TElTree tree(nullptr);
  auto* obj = new TElTreeDragObject(nullptr, &tree);
  BYTE keys[256];
  ASSERT_TRUE(GetKeyboardState(keys));
  BYTE saved = keys[VK_CONTROL];
  keys[VK_CONTROL] = 0x80;
  SetKeyboardState(keys);
  EXPECT_EQ(obj->GetDragCursor(true, 0, 0), kCursorDragCopy);
  EXPECT_EQ(obj->GetDragCursor(false, 0, 0), kCursorDropDenied);
  keys[VK_CONTROL] = 0;
  SetKeyboardState(keys);
  EXPECT_EQ(obj->GetDragCursor(true, 0, 0), kCursorDragMove);
  keys[VK_CONTROL] = saved;
  SetKeyboardState(keys);
  obj->Finished(nullptr, 0, 0, false);  // frees itself
}

}  // namespace
}  // namespace morvane
