// The tree's drag object with its move, copy and no-drop cursors, and the
// recolouring of the built-in button glyphs to the system colours.
#pragma once

#include "platform/ui/dragdrop.h"
#include "platform/ui/graphics.h"

namespace morvane {

class TCustomElTree;

class TElTreeDragObject : public TDragControlObject {
 public:
  // Control is the window that drags; Tree the tree behind it (may be null).
  TElTreeDragObject(TControl* Control, TCustomElTree* Tree)
      : TDragControlObject(Control), tree_(Tree) {}
  TCursor GetDragCursor(bool Accepted, int X, int Y) override;
  // Frees the object: the tree makes one per drag and never keeps it.
  void Finished(TObject* Target, int X, int Y, bool Accepted) override;
  TCustomElTree* Tree() const { return tree_; }
  // The tree's picture of the dragged rows.
  TDragImageList* GetDragImages() override;

 private:
  TCustomElTree* tree_;
};

// Black, 50% grey and white pixels become the window-text, button-shadow
// and window colours; every other pixel stays.
void RecolorGlyph(TBitmap& Bitmap);

}  // namespace morvane
