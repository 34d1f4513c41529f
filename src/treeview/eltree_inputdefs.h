// Types of the tree's mouse, keyboard, drag and hint handling, and the seam
// through which that handling reaches the window around it: focus, capture,
// the key state, the application hint, the line-hint window and the
// toolkit's drag. THeadlessInputPort stands in without a window.
#pragma once

#include <cstdint>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "treeview/eltreedefs.h"

namespace morvane {

class TElHintWindow;
class TCanvas;

enum TSTISelectionMode : uint8_t { smSimple, smUsual };
enum TElDblClickMode : uint8_t { dcmNone, dcmExpand, dcmEdit };
enum TElDragType : uint8_t { dtOLE, dtDelphi, dtBoth };
enum TDragImgMode : uint8_t { dimNever, dimOne, dimAll };
enum THintModes : uint8_t { shmNone, shmLong, shmAll };
enum TLineHintType : uint8_t { lhtMainTextOnly, lhtCellTextOnly, lhtSmart };
enum TElHintType : uint8_t { shtMainText, shtHintOnly, shtHintOrText };

// The tree's drag cursors (registered from the system OLE library).
inline constexpr int kCursorDropDenied = 20001;
inline constexpr int kCursorDragMove = 20002;
inline constexpr int kCursorDragCopy = 20003;

using THotTrackEvent =
    std::function<void(TObject* Sender, TElTreeItem* OldItem, TElTreeItem* NewItem)>;
using TOnShowHintEvent = std::function<void(TObject* Sender, TElTreeItem* Item,
                                            TElHeaderSection* Section, TElFString& Text,
                                            TElHintWindow* HintWindow, int MouseX, int MouseY,
                                            bool& DoShowHint)>;
using TDragTargetChangeEvent = std::function<void(TObject* Sender, TElTreeItem* Item,
                                                  const TElRect& ItemRect, int X, int Y)>;

// What the input handling asks of the window around the view.
class IElTreeInputPort {
 public:
  virtual ~IElTreeInputPort() = default;
  virtual bool Focused() const = 0;
  virtual bool CanFocus() const = 0;
  virtual void SetFocus() = 0;
  // An in-place editor that ends gives the focus back to the view only when
  // the form had an active control and the view can take it.
  virtual bool FormHasActiveControl() const { return false; }
  virtual bool CanTakeFocusBack() const { return CanFocus(); }
  virtual void SetCapture(bool Capture) = 0;
  // The high bit of the key's state (VK_CONTROL, VK_SHIFT).
  virtual bool KeyHeld(int VirtualKey) const = 0;
  virtual void ClientToScreen(int& X, int& Y) const = 0;
  // The mouse position in client coordinates of the view.
  virtual void CursorPos(int& X, int& Y) const = 0;
  virtual bool Designing() const { return false; }
  // The application's hint timing, in ms.
  virtual unsigned HintShortPause() const = 0;
  virtual unsigned HintHidePause() const = 0;
  // The application's and the view's hint text; ActivateHint shows it now.
  virtual void SetHint(const TElFString& Hint) = 0;
  virtual void ActivateHint(int ScreenX, int ScreenY) = 0;
  // The line-hint window: its measure (a rectangle from 0,0), show, hide.
  virtual TElHintWindow* LineHintWindow() { return nullptr; }
  virtual TElRect MeasureLineHint(const TElFString& Text, int MaxWidth) = 0;
  virtual void ShowLineHint(const TElFString& Text, const TElRect& ScreenRect,
                            bool SystemColors, int32_t Color) = 0;
  virtual void HideLineHint() = 0;
  // The toolkit's drag, begun at once.
  virtual void BeginDrag() = 0;
  virtual bool Dragging() const = 0;
  virtual void HideDragImage() = 0;
  virtual void ShowDragImage() = 0;
  // The picture of dragged rows in the grid's look: DragPictureLook puts
  // the grid's font and text colour on Canvas and gives the background
  // colour; DragRowImageSize tells whether row images are drawn and their
  // size; DrawDragRowImage draws image Index at X, Y; OwnerDrawDragRow hands
  // an owner-drawn row's rectangle to the grid's drawing handler.
  virtual void DragPictureLook(TCanvas* Canvas, int32_t& BackColor) { (void)Canvas, (void)BackColor; }
  virtual bool DragRowImageSize(int& Width, int& Height) const { return (void)Width, (void)Height, false; }
  virtual void DrawDragRowImage(TCanvas* Canvas, int Index, int X, int Y) { (void)Canvas, (void)Index, (void)X, (void)Y; }
  virtual void OwnerDrawDragRow(TCanvas* Canvas, TElTreeItem* Item, const TElRect& R) {
    (void)Canvas, (void)Item, (void)R;
  }
  // The rubber-band outline (drawn and erased by the same call, XOR).
  virtual void DrawFrameOutline(const TElRect& R) = 0;
  // What the system does after a right button's release: the context menu
  // request at the screen point.
  virtual void ContextMenu(int ScreenX, int ScreenY) = 0;
};

// Writes down what it was asked; the test sets the answers.
class THeadlessInputPort : public IElTreeInputPort {
 public:
  bool HasFocus = false;
  bool Focusable = true;
  bool Design = false;
  bool InDrag = false;
  std::set<int> HeldKeys;
  int ScreenOffsetX = 0, ScreenOffsetY = 0;
  int CursorX = 0, CursorY = 0;
  unsigned ShortPause = 50, HidePause = 2500;
  int CharWidth = 6, TextHeight = 16;  // line-hint measuring
  bool Captured = false;
  TElFString Hint;
  bool LineHintShowing = false;
  TElFString LineHintText;
  TElRect LineHintRect;
  std::vector<std::string> Calls;

  bool Focused() const override { return HasFocus; }
  bool CanFocus() const override { return Focusable; }
  void SetFocus() override {
    HasFocus = true;
    Calls.push_back("focus");
  }
  void SetCapture(bool Capture) override { Captured = Capture; }
  bool KeyHeld(int VirtualKey) const override { return HeldKeys.count(VirtualKey) != 0; }
  void ClientToScreen(int& X, int& Y) const override {
    X += ScreenOffsetX;
    Y += ScreenOffsetY;
  }
  void CursorPos(int& X, int& Y) const override {
    X = CursorX;
    Y = CursorY;
  }
  bool Designing() const override { return Design; }
  unsigned HintShortPause() const override { return ShortPause; }
  unsigned HintHidePause() const override { return HidePause; }
  void SetHint(const TElFString& H) override { Hint = H; }
  void ActivateHint(int X, int Y) override {
    Calls.push_back("activate hint " + std::to_string(X) + "," + std::to_string(Y));
  }
  TElRect MeasureLineHint(const TElFString& Text, int MaxWidth) override {
    int w = static_cast<int>(Text.size()) * CharWidth + 4;
    return {0, 0, w < MaxWidth ? w : MaxWidth, TextHeight};
  }
  void ShowLineHint(const TElFString& Text, const TElRect& R, bool, int32_t) override {
    LineHintShowing = true;
    LineHintText = Text;
    LineHintRect = R;
    Calls.push_back("show line hint");
  }
  void HideLineHint() override { LineHintShowing = false; }
  void BeginDrag() override {
    InDrag = true;
    Calls.push_back("begin drag");
  }
  bool Dragging() const override { return InDrag; }
  void HideDragImage() override { Calls.push_back("hide drag image"); }
  void ShowDragImage() override { Calls.push_back("show drag image"); }
  void DrawFrameOutline(const TElRect&) override { Calls.push_back("outline"); }
  void ContextMenu(int X, int Y) override {
    Calls.push_back("context menu " + std::to_string(X) + "," + std::to_string(Y));
  }
};

}  // namespace morvane
