// Drag and drop between controls of the program: a drag object, and a
// manager that follows the mouse while the source holds the capture (no modal
// loop, so a test can drive a drag with plain mouse messages) and tells the
// controls under the mouse through CM_DRAG.
#pragma once

#include "platform/ui/controls.h"

namespace morvane {

class TDragImageList;

class TDragObject : public TObject {
 public:
  ~TDragObject() override = default;
  POINT DragPos() const { return dragPos_; }
  TControl* DragTarget() const { return dragTarget_; }
  bool Dropped() const { return dropped_; }
  virtual TCursor GetDragCursor(bool Accepted, int X, int Y) { return Accepted ? crDrag : crNoDrop; }
  // The drag ended; Target is null when nothing accepted the drop.
  virtual void Finished(TObject* Target, int X, int Y, bool Accepted) {}
  virtual TDragImageList* GetDragImages() { return nullptr; }
  virtual void HideDragImage();
  virtual void ShowDragImage();
  // What the target's events see as Source.
  virtual TObject* SourceObject() { return this; }

 private:
  friend class TDragManager;
  POINT dragPos_{};
  TControl* dragTarget_ = nullptr;
  bool dropped_ = false;
};

// The default drag object for a control; Finished calls the control's DoEndDrag.
class TDragControlObject : public TDragObject {
 public:
  explicit TDragControlObject(TControl* AControl) : control_(AControl) {}
  TControl* Control() const { return control_; }
  TCursor GetDragCursor(bool Accepted, int X, int Y) override;
  void Finished(TObject* Target, int X, int Y, bool Accepted) override;
  TDragImageList* GetDragImages() override;
  TObject* SourceObject() override { return control_; }

 private:
  TControl* control_;
};

// The object of the drag running now, or null.
TDragObject* DragObject();
// The drag manager's look at a mouse message of a control; true when it took it.
bool DragManagerHandles(TControl* Control, TMessage& Message);
// CM_DRAG as a control handles it by default (DragOver/DragDrop events).
void DragMessage(TControl* Control, TMessage& Message);
// Moves a running drag to a screen point (what a mouse move does).
void DragTo(POINT ScreenPos);
// Ends a running drag: drop on the current target or cancel.
void DragDone(bool Drop);
// A control going away leaves the drag it takes part in.
void ForgetDragControl(TControl* Control);

}  // namespace morvane
