// The input handling's link to a real view window: focus and capture of
// that window, the system's key state, the application's hint and a line
// hint shown in the toolkit's Unicode hint window.
#pragma once

#include <functional>
#include <memory>

#include "platform/ui/graphics.h"
#include "platform/win32.h"
#include "treeview/eltree_inputdefs.h"

namespace morvane {

class TElHintWindow;

class TElTreeWindowInputPort : public IElTreeInputPort {
 public:
  explicit TElTreeWindowInputPort(HWND Wnd = nullptr);
  ~TElTreeWindowInputPort() override;
  TElTreeWindowInputPort(const TElTreeWindowInputPort&) = delete;
  TElTreeWindowInputPort& operator=(const TElTreeWindowInputPort&) = delete;

  void SetWindow(HWND Wnd) { wnd_ = Wnd; }
  HWND Window() const { return wnd_; }
  // Where the rows start inside the window (below a header).
  void SetViewOrigin(int Left, int Top) {
    left_ = Left;
    top_ = Top;
  }
  // The toolkit drag of the control that owns the window.
  std::function<void()> OnBeginDrag;
  // Whether the form has an active control, and whether the view, its
  // control and that control's parent can all take the focus.
  std::function<bool()> OnFormHasActiveControl;
  std::function<bool()> OnCanTakeFocusBack;
  // The line hint's font and, unless the system's hint colours are used,
  // its text colour (the view's font and the tree's text colour).
  std::function<void(TFont* Font)> OnLineHintFont;
  std::function<TColor()> OnLineHintTextColor;
  // The drag picture's look, row images and owner-drawn rows (the grid's).
  std::function<void(TCanvas* Canvas, int32_t& BackColor)> OnDragPictureLook;
  std::function<bool(int& Width, int& Height)> OnDragRowImageSize;
  std::function<void(TCanvas* Canvas, int Index, int X, int Y)> OnDrawDragRowImage;
  std::function<void(TCanvas* Canvas, TElTreeItem* Item, const TElRect& R)> OnOwnerDrawDragRow;
  void DragPictureLook(TCanvas* Canvas, int32_t& BackColor) override {
    if (OnDragPictureLook) OnDragPictureLook(Canvas, BackColor);
  }
  bool DragRowImageSize(int& Width, int& Height) const override {
    return OnDragRowImageSize && OnDragRowImageSize(Width, Height);
  }
  void DrawDragRowImage(TCanvas* Canvas, int Index, int X, int Y) override {
    if (OnDrawDragRowImage) OnDrawDragRowImage(Canvas, Index, X, Y);
  }
  void OwnerDrawDragRow(TCanvas* Canvas, TElTreeItem* Item, const TElRect& R) override {
    if (OnOwnerDrawDragRow) OnOwnerDrawDragRow(Canvas, Item, R);
  }
  bool FormHasActiveControl() const override { return OnFormHasActiveControl && OnFormHasActiveControl(); }
  bool CanTakeFocusBack() const override { return OnCanTakeFocusBack ? OnCanTakeFocusBack() : CanFocus(); }

  bool Focused() const override;
  bool CanFocus() const override;
  void SetFocus() override;
  void SetCapture(bool Capture) override;
  bool KeyHeld(int VirtualKey) const override;
  void ClientToScreen(int& X, int& Y) const override;
  void CursorPos(int& X, int& Y) const override;
  unsigned HintShortPause() const override;
  unsigned HintHidePause() const override;
  void SetHint(const TElFString& Hint) override;
  void ActivateHint(int ScreenX, int ScreenY) override;
  TElHintWindow* LineHintWindow() override;
  TElRect MeasureLineHint(const TElFString& Text, int MaxWidth) override;
  void ShowLineHint(const TElFString& Text, const TElRect& ScreenRect, bool SystemColors,
                    int32_t Color) override;
  void HideLineHint() override;
  void BeginDrag() override;
  bool Dragging() const override;
  void HideDragImage() override;
  void ShowDragImage() override;
  void DrawFrameOutline(const TElRect& R) override;
  void ContextMenu(int ScreenX, int ScreenY) override;

 private:
  HWND wnd_;
  int left_ = 0, top_ = 0;
  std::unique_ptr<TElHintWindow> hint_;
};

}  // namespace morvane
