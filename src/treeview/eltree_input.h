// TElTreeInput: what the tree's view does with the mouse and the keyboard:
// focus and selection changes, expanding and collapsing, check boxes, the
// rubber-band frame, hot tracking, click editing, the start and tracking of
// a drag, and the line hints. It works on the model and reaches the window
// only through IElTreeInputPort, its timers come from the tree's factory.
#pragma once

#include <functional>
#include <memory>

#include "platform/ui/messages.h"
#include "treeview/eltree_inputdefs.h"
#include "treeview/eltreeports.h"

namespace morvane {

class TCustomElTree;
class TElTreeView;
class TDragImageList;
class TElCellControl;

class TElTreeInput {
 public:
  TElTreeInput(TCustomElTree* Tree, TElTreeView* View);
  ~TElTreeInput();
  TElTreeInput(const TElTreeInput&) = delete;
  TElTreeInput& operator=(const TElTreeInput&) = delete;

  // Not owned; null puts the headless port back.
  void SetPort(IElTreeInputPort* Port);
  IElTreeInputPort& Port() const { return *port_; }
  THeadlessInputPort* HeadlessPort() const {
    return port_ == headless_.get() ? headless_.get() : nullptr;
  }

  bool HandleMessage(UINT Msg, WPARAM wParam, LPARAM lParam, LRESULT& Result);
  void ItemForgotten(TElTreeItem* Item);

  // ---- the view's control handling the window layer relays to the tree
  // ("inherited": fired at the points the handlers below choose) ----
  std::function<void(TMouseButton Button, TShiftState Shift, int X, int Y)> OnMouseDown;
  std::function<void(TMouseButton Button, TShiftState Shift, int X, int Y)> OnMouseUp;
  std::function<void(TShiftState Shift, int X, int Y)> OnMouseMove;
  std::function<void()> OnClick;
  std::function<void()> OnDblClick;
  std::function<void(WORD& Key, TShiftState Shift)> OnKeyDown;
  std::function<void(wchar_t& Key)> OnKeyPress;
  // The incremental search: true when it took the character.
  std::function<bool(wchar_t Key)> IncrementalSearchKey;
  // Starts in-place editing of the item's cell (the tree's EditItem when
  // not set).
  std::function<void(TElTreeItem* Item, int SectionIndex)> StartEditing;
  // The tree's drag start relay (OnStartDrag) and end (OnEndDrag).
  std::function<void()> OnStartDrag;
  std::function<void(TObject* Target, int X, int Y)> OnEndDrag;

  // ---- mouse ----
  void LeftButtonDown(TShiftState Shift, int X, int Y);
  void RightButtonDown(TShiftState Shift, int X, int Y);
  void LeftButtonUp(TShiftState Shift, int X, int Y);
  void RightButtonUp(TShiftState Shift, int X, int Y);
  void LeftDblClick(TShiftState Shift, int X, int Y);
  void MouseMove(TShiftState Shift, int X, int Y);
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y);
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y);
  // Ends a running rubber-band frame (erases it, releases the capture).
  void EndFrameSelection();
  // The wheel moved the top row to NewTop while a frame runs: the frame's
  // end follows the row under the mouse at (X, Y).
  void FrameScrolled(int NewTop, int X, int Y);
  void CancelMode();
  // The view lost the keyboard focus: the press, the frame and the hints end.
  void FocusLost();
  // The mouse left the view (Shift: the keys held): hints go, and a cell
  // control that had the mouse hears a move to (-1, -1).
  void MouseLeft(TShiftState Shift);

  // ---- keys ----
  void KeyDown(WORD& Key, TShiftState Shift);
  void KeyPress(wchar_t& Key);

  // ---- drag ----
  void DoStartDrag();
  void DoEndDrag(TObject* Target, int X, int Y);
  void DragEnter();
  void DragOver(int X, int Y, bool Accept);
  void DragLeave(bool Dropped);
  bool DragScroll(int Y);
  // The drag cursor for the state now (Ctrl decides move or copy).
  int DragCursor(bool Accepted) const;
  // The picture of the dragged rows while a drag runs (null when none).
  TDragImageList* DragImages() const;
  // The top of the dragged rows in the view (the image's y origin).
  int DragImageOffset() const { return dragImageOffset_; }

  // ---- line hints ----
  void StartLineHint(int X, int Y);
  void HideLineHint();
  void LineHintTick();
  void DoHintDecision(int X, int Y);
  TElFString LineHintText(TElTreeItem* Item, TElHeaderSection*& Section);
  void ShowLineHint(TElTreeItem* Item, TElHeaderSection* Section);
  // The toolkit's hint request showed Item's hint (CM_HINTSHOW): from now on
  // moving to another item switches the application hint to that item's.
  void HintItemShown(TElTreeItem* Item) { hintItem_ = Item; }
  // The filter before a message is handled; it only hides, never eats.
  void FilterForHints(UINT Msg);

  // ---- state (read by painting and tests) ----
  bool LeftButtonHeld() const { return leftHeld_; }
  bool FrameSelecting() const { return frameActive_; }
  bool DelayedSelectionPending() const { return delayPending_; }
  TElTreeItem* LastClickedItem() const { return lastClickItem_; }
  int LastClickedSection() const { return lastClickSection_; }
  bool ClickEditArmed() const { return clickEditArmed_; }
  TElTreeItem* LineHintItem() const { return lineHintItem_; }
  TElTreeItem* HintItem() const { return hintItem_; }
  TElCellControl* ActiveCellControl() const { return activeCellControl_; }
  bool DragOverView() const { return dragOverView_; }
  bool DropAccepted() const { return dropAccepted_; }
  // The frame in view coordinates (empty when none runs).
  TElRect FrameRect() const;
  IElTreeTimer* EditTimer() const { return editTimer_.get(); }
  IElTreeTimer* LineHintTimer() const { return lineHintTimer_.get(); }
  IElTreeTimer* DragScrollTimer() const { return dragScrollTimer_.get(); }
  IElTreeTimer* DragExpandTimer() const { return dragExpandTimer_.get(); }
  TElTreeItem* EditPendingItem() const { return editItem_; }
  int EditPendingSection() const { return editSection_; }

 private:
  bool Usable(TElTreeItem* Item) const;
  bool EditorActive() const;
  // The visible control of the column cell at (X, Y), with the point in the
  // control's coordinates.
  TElCellControl* CellControlAt(int X, int Y, int& CX, int& CY) const;
  TElTreeItem* Hit(int X, int Y, TElHitPart& Part, int& Section) const;
  void ScheduleEdit(TElTreeItem* Item, int Section, unsigned Delay);
  void StopEditTimer();
  void CompleteDelayedSelection();
  void CellControlsUp(int Button, TShiftState Shift, int X, int Y);
  void ToggleSelected(TElTreeItem* Item);
  void ClickSelectRange(TElTreeItem* Item, bool Ctrl, bool Shift);
  void LeftClickSelect(TElTreeItem* Item, TElHitPart Part, TShiftState Shift);
  void RightClickSelect(TElTreeItem* Item, TElHitPart Part, TShiftState Shift);
  void ExpandShowingChildren(TElTreeItem* Item);
  void FrameMove(TShiftState Shift, int X, int Y);
  // Moves the frame's end to the row at (X, Y) inside the view and selects
  // what it covers now.
  void FrameEndAt(int X, int Y);
  void RecomputeFrameSelection();
  void HotTrack(int X, int Y);
  void ApplicationHint(int X, int Y);
  void Navigate(WORD Key, TShiftState Shift, int Move);
  void BuildDragImage();
  void DragScrollTick();
  void DragExpandTick();
  std::unique_ptr<IElTreeTimer> NewTimer();

  TCustomElTree* tree_;
  TElTreeView* view_;
  std::unique_ptr<THeadlessInputPort> headless_;
  IElTreeInputPort* port_;

  int downX_ = 0, downY_ = 0;
  bool leftHeld_ = false;
  bool frameActive_ = false;
  TElTreeItem* frameStartItem_ = nullptr;
  int frameStartX_ = 0, frameStartDY_ = 0;
  TElTreeItem* frameEndItem_ = nullptr;
  int frameEndX_ = 0, frameEndDY_ = 0;
  TElList frameItems_;  // what the frame selected
  int lastClickX_ = -1, lastClickY_ = -1;
  bool clickEditArmed_ = false;
  bool clickDone_ = false;
  bool dblClickFlag_ = false;
  bool delayPending_ = false;
  TElTreeItem* delayItem_ = nullptr;
  TShiftState delayShift_ = 0;
  TElTreeItem* lastClickItem_ = nullptr;
  TElCellControl* activeCellControl_ = nullptr;
  int lastClickSection_ = -1;
  std::unique_ptr<IElTreeTimer> editTimer_;
  TElTreeItem* editItem_ = nullptr;
  int editSection_ = -1;

  std::unique_ptr<IElTreeTimer> lineHintTimer_;
  int hintX_ = -1, hintY_ = -1;
  TElTreeItem* lineHintItem_ = nullptr;
  TElTreeItem* hintItem_ = nullptr;  // the item whose application hint is set
  bool appHintShown_ = false;

  bool dragOverView_ = false;
  bool dropAccepted_ = false;
  int dragImageOffset_ = 0;
  std::shared_ptr<TDragImageList> dragImages_;
  std::unique_ptr<IElTreeTimer> dragScrollTimer_;
  std::unique_ptr<IElTreeTimer> dragExpandTimer_;
};

}  // namespace morvane
