// The model over a real window: what changes becomes that window's invalid
// area, and the scroll ranges reach its scroll bars.
// ctest: desktop
#include "treeview/eltreewindowport.h"

#include <gtest/gtest.h>

#include "tree_fixture.h"

namespace morvane {
namespace {

// What the window was last asked to paint.
RECT gPainted{};
int gPaints = 0;

LRESULT CALLBACK RecordPaint(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_PAINT) {
    PAINTSTRUCT ps;
    BeginPaint(wnd, &ps);
    gPainted = ps.rcPaint;
    ++gPaints;
    EndPaint(wnd, &ps);
    return 0;
  }
  return DefWindowProcA(wnd, msg, wp, lp);
}

class TestWindow {
 public:
  TestWindow() {
    WNDCLASSA wc{};
    wc.lpfnWndProc = RecordPaint;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "MorvaneTreeWindowTest";
    RegisterClassA(&wc);
    wnd_ = CreateWindowExA(0, wc.lpszClassName, "tree", WS_OVERLAPPEDWINDOW, 10, 10, 320, 240, nullptr, nullptr,
                           wc.hInstance, nullptr);
    ShowWindow(wnd_, SW_SHOWNOACTIVATE);
    UpdateWindow(wnd_);
  }
  ~TestWindow() { DestroyWindow(wnd_); }
  HWND Get() const { return wnd_; }

 private:
  HWND wnd_;
};

TEST(TreeWindow, ChangesInvalidateTheirRowsAndSetTheScrollRange) {
  TestWindow w;
  auto tree = std::make_unique<TElTree>(nullptr);
  TElTreeWindowPort port(w.Get());
  port.SetViewOrigin(0, 20);  // a header above the rows
  tree->SetViewPort(&port);
  std::vector<std::string> rows;
  for (int i = 0; i < 60; ++i) rows.push_back("row" + std::to_string(i));
  test::Load(*tree, rows);

  SCROLLINFO si{};
  si.cbSize = sizeof si;
  si.fMask = SIF_ALL;
  ASSERT_TRUE(GetScrollInfo(w.Get(), SB_VERT, &si));
  EXPECT_GT(si.nMax, 0);
  EXPECT_GT(static_cast<int>(si.nPage), 0);

  ValidateRect(w.Get(), nullptr);
  gPaints = 0;
  TElTreeItem* third = tree->Items().Item(2);
  third->SetText(L"changed");
  TElRect row;
  tree->GetItemRect(2, row);
  ASSERT_FALSE(row.IsEmpty());
  // The change is painted at once, and only its row.
  ASSERT_EQ(gPaints, 1) << "the change must reach the window";
  EXPECT_LE(gPainted.top, row.Top);
  EXPECT_GE(gPainted.bottom, row.Bottom);
  EXPECT_GE(gPainted.top, 20) << "the header area stays as it was";
  EXPECT_LT(gPainted.bottom - gPainted.top, 3 * (row.Bottom - row.Top));
  tree->SetViewPort(nullptr);
}

}  // namespace
}  // namespace morvane
