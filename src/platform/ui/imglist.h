// Image lists over comctl32's: masked images, drawing styles, overlays, the
// drag image, and change links through which users hear about changes.
#pragma once

#include <vector>

#include "platform/core/components.h"
#include "platform/ui/graphics.h"

namespace morvane {

class TCustomImageList;

class TChangeLink : public TObject {
 public:
  ~TChangeLink() override;
  TCustomImageList* Sender() const { return sender_; }
  TNotifyEvent OnChange;
  void Change();

 private:
  friend class TCustomImageList;
  TCustomImageList* sender_ = nullptr;
};

enum class TDrawingStyle { dsFocus, dsSelected, dsNormal, dsTransparent };
enum class TImageType { itImage, itMask };

class TCustomImageList : public TComponent {
 public:
  explicit TCustomImageList(TComponent* AOwner);
  TCustomImageList(TComponent* AOwner, int AWidth, int AHeight);
  ~TCustomImageList() override;

  HIMAGELIST Handle();
  bool HandleAllocated() const { return handle_ != nullptr; }
  int Width() const { return width_; }
  int Height() const { return height_; }
  void SetWidth(int v) { SetSize(v, height_); }
  void SetHeight(int v) { SetSize(width_, v); }
  void SetSize(int w, int h);
  int Count();
  bool Masked() const { return masked_; }
  void SetMasked(bool v);
  TColor BkColor() const { return bkColor_; }
  void SetBkColor(TColor v);
  TColor BlendColor() const { return blendColor_; }
  void SetBlendColor(TColor v) { blendColor_ = v; }
  TDrawingStyle DrawingStyle() const { return drawingStyle_; }
  void SetDrawingStyle(TDrawingStyle v) { drawingStyle_ = v; }

  int Add(TBitmap* Image, TBitmap* Mask);
  int AddMasked(TBitmap* Image, TColor MaskColor);
  int AddIcon(TIcon* Image);
  void Delete(int Index);
  void Clear();
  void Draw(TCanvas* Canvas, int X, int Y, int Index, bool Enabled = true);
  void DrawOverlay(TCanvas* Canvas, int X, int Y, int ImageIndex, int Overlay, bool Enabled = true);
  bool Overlay(int ImageIndex, int Overlay);
  void GetBitmap(int Index, TBitmap* Image);

  void RegisterChanges(TChangeLink* Value);
  void UnRegisterChanges(TChangeLink* Value);
  TNotifyEvent OnChange;

  // Drag image (only one drag image exists at a time in the system).
  bool SetDragImage(int Index, int HotSpotX, int HotSpotY);
  bool BeginDrag(HWND Window, int X, int Y);
  bool DragMove(int X, int Y);
  bool DragLock(HWND Window, int X, int Y);
  void DragUnlock();
  bool ShowDragImage();
  bool HideDragImage();
  bool EndDrag();
  bool Dragging() const { return dragging_; }

 protected:
  void Change();
  std::string ClassName() const override { return "TCustomImageList"; }

 private:
  void CreateImageList();
  UINT DrawFlags(bool Enabled) const;
  HIMAGELIST handle_ = nullptr;
  int width_ = 16, height_ = 16;
  bool masked_ = true;
  TColor bkColor_ = clNone;
  TColor blendColor_ = clNone;
  TDrawingStyle drawingStyle_ = TDrawingStyle::dsNormal;
  std::vector<TChangeLink*> links_;
  int dragIndex_ = 0;
  POINT dragHotSpot_{};
  bool dragging_ = false;
  HWND dragWindow_ = nullptr;
};

class TImageList : public TCustomImageList {
 public:
  using TCustomImageList::TCustomImageList;

 protected:
  std::string ClassName() const override { return "TImageList"; }
};

class TDragImageList : public TCustomImageList {
 public:
  using TCustomImageList::TCustomImageList;
};

}  // namespace morvane
