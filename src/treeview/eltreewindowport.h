// The tree's view over a real window: repaint requests become invalid areas
// of that window, the scroll ranges go to its standard scroll bars, and the
// wheel setting and screen coordinates come from the system. The painting
// itself is the window's: it paints whatever its update region holds.
#pragma once

#include "platform/win32.h"
#include "treeview/eltreeports.h"

namespace morvane {

class TElTreeWindowPort : public IElTreeViewPort {
 public:
  // Wnd may be null until the window exists; SetWindow attaches it later.
  explicit TElTreeWindowPort(HWND Wnd = nullptr) : wnd_(Wnd) {}
  void SetWindow(HWND Wnd) { wnd_ = Wnd; }
  HWND Window() const { return wnd_; }
  // Where the rows start inside the window (below a header).
  void SetViewOrigin(int Left, int Top) {
    left_ = Left;
    top_ = Top;
  }

  bool HandleAllocated() const override;
  int ClientWidth() const override;
  int ClientHeight() const override;
  void InvalidateRect(const TElRect& R) override;
  void Invalidate() override;
  void Update() override;
  void ItemForgotten(TElTreeItem*) override {}
  void ScrollBarChanged(TElScrollBarKind Kind, int Max, int Page, int Position, bool Visible) override;
  void PlaceChildren() override {}
  bool EditorActive() const override { return false; }
  void EndEdit(bool) override {}
  void EndBarScrolling(TElScrollBarKind) override {}
  unsigned WheelScrollLines() const override;
  void ScreenToClient(int& X, int& Y) const override;
  void MouseMoveAt(int, int) override {}
  int ViewLeft() const override { return left_; }
  int ViewTop() const override { return top_; }

 private:
  HWND wnd_;
  int left_ = 0;
  int top_ = 0;
};

}  // namespace morvane
