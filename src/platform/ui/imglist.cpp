#include "platform/ui/imglist.h"

#include <algorithm>

#include "platform/core/exceptions.h"

namespace morvane {

TChangeLink::~TChangeLink() {
  if (sender_) sender_->UnRegisterChanges(this);
}

void TChangeLink::Change() {
  if (OnChange) OnChange(sender_);
}

TCustomImageList::TCustomImageList(TComponent* AOwner) : TComponent(AOwner) {}
TCustomImageList::TCustomImageList(TComponent* AOwner, int AWidth, int AHeight)
    : TComponent(AOwner), width_(AWidth), height_(AHeight) {}

TCustomImageList::~TCustomImageList() {
  Destroying();
  if (dragging_) EndDrag();
  for (TChangeLink* l : links_) l->sender_ = nullptr;
  links_.clear();
  if (handle_) ImageList_Destroy(handle_);
}

void TCustomImageList::CreateImageList() {
  if (handle_) return;
  UINT flags = ILC_COLOR32 | (masked_ ? ILC_MASK : 0);
  handle_ = ImageList_Create(width_, height_, flags, 4, 4);
  if (!handle_) throw EInvalidOperation("Invalid image list");
  if (bkColor_ != clNone) ImageList_SetBkColor(handle_, ColorToRGB(bkColor_));
}

HIMAGELIST TCustomImageList::Handle() {
  CreateImageList();
  return handle_;
}

void TCustomImageList::SetSize(int w, int h) {
  if (w == width_ && h == height_) return;
  width_ = w;
  height_ = h;
  if (handle_) {
    // A new size drops the images, as the system list does.
    ImageList_SetIconSize(handle_, w, h);
  }
  Change();
}

int TCustomImageList::Count() { return handle_ ? ImageList_GetImageCount(handle_) : 0; }

void TCustomImageList::SetMasked(bool v) {
  if (v == masked_) return;
  masked_ = v;
  if (handle_) {
    ImageList_Destroy(handle_);
    handle_ = nullptr;
  }
  Change();
}

void TCustomImageList::SetBkColor(TColor v) {
  bkColor_ = v;
  if (handle_) ImageList_SetBkColor(handle_, v == clNone ? CLR_NONE : ColorToRGB(v));
  Change();
}

int TCustomImageList::Add(TBitmap* Image, TBitmap* Mask) {
  if (!Image) return -1;
  int r = ImageList_Add(Handle(), Image->Handle(), Mask ? Mask->Handle() : nullptr);
  Change();
  return r;
}

int TCustomImageList::AddMasked(TBitmap* Image, TColor MaskColor) {
  if (!Image) return -1;
  if (MaskColor == clDefault) MaskColor = Image->TransparentColor();
  // The system list changes the bitmap it masks; hand it a copy.
  TBitmap copy;
  copy.Assign(Image);
  int r = masked_ ? ImageList_AddMasked(Handle(), copy.Handle(), ColorToRGB(MaskColor))
                  : ImageList_Add(Handle(), copy.Handle(), nullptr);
  Change();
  return r;
}

int TCustomImageList::AddIcon(TIcon* Image) {
  if (!Image || Image->Empty()) return -1;
  int r = ImageList_AddIcon(Handle(), Image->Handle());
  Change();
  return r;
}

void TCustomImageList::Delete(int Index) {
  if (Index < 0 || Index >= Count()) throw EInvalidOperation("Invalid image list index");
  ImageList_Remove(handle_, Index);
  Change();
}

void TCustomImageList::Clear() {
  if (handle_) ImageList_Remove(handle_, -1);
  Change();
}

UINT TCustomImageList::DrawFlags(bool Enabled) const {
  UINT f = masked_ ? ILD_TRANSPARENT : ILD_NORMAL;
  switch (drawingStyle_) {
    case TDrawingStyle::dsFocus: f |= ILD_FOCUS; break;
    case TDrawingStyle::dsSelected: f |= ILD_SELECTED; break;
    case TDrawingStyle::dsTransparent: f |= ILD_TRANSPARENT; break;
    default: break;
  }
  return f;
}

void TCustomImageList::Draw(TCanvas* Canvas, int X, int Y, int Index, bool Enabled) {
  if (!handle_ || Index < 0 || Index >= Count()) return;
  COLORREF blend = blendColor_ == clNone ? CLR_DEFAULT : ColorToRGB(blendColor_);
  UINT flags = DrawFlags(Enabled);
  ImageList_DrawEx(handle_, Index, Canvas->Handle(), X, Y, 0, 0, CLR_NONE, blend, flags);
  if (!Enabled) {
    // A disabled image is drawn washed out.
    ImageList_DrawEx(handle_, Index, Canvas->Handle(), X, Y, 0, 0, CLR_NONE, GetSysColor(COLOR_BTNFACE),
                     ILD_TRANSPARENT | ILD_BLEND50);
  }
}

void TCustomImageList::DrawOverlay(TCanvas* Canvas, int X, int Y, int ImageIndex, int Overlay, bool Enabled) {
  if (!handle_ || ImageIndex < 0 || ImageIndex >= Count()) return;
  UINT flags = DrawFlags(Enabled) | INDEXTOOVERLAYMASK(Overlay + 1);
  COLORREF blend = blendColor_ == clNone ? CLR_DEFAULT : ColorToRGB(blendColor_);
  ImageList_DrawEx(handle_, ImageIndex, Canvas->Handle(), X, Y, 0, 0, CLR_NONE, blend, flags);
}

bool TCustomImageList::Overlay(int ImageIndex, int Overlay) {
  if (!handle_ || Overlay < 0 || Overlay > 3) return false;
  return ImageList_SetOverlayImage(handle_, ImageIndex, Overlay + 1) != FALSE;
}

void TCustomImageList::GetBitmap(int Index, TBitmap* Image) {
  if (!Image || !handle_ || Index < 0 || Index >= Count()) return;
  Image->SetSize(width_, height_);
  RECT r{0, 0, width_, height_};
  Image->Canvas()->Brush()->SetColor(clWhite);
  Image->Canvas()->FillRect(r);
  ImageList_Draw(handle_, Index, Image->Canvas()->Handle(), 0, 0, ILD_NORMAL);
}

void TCustomImageList::RegisterChanges(TChangeLink* Value) {
  if (!Value) return;
  if (Value->sender_ && Value->sender_ != this) Value->sender_->UnRegisterChanges(Value);
  Value->sender_ = this;
  if (std::find(links_.begin(), links_.end(), Value) == links_.end()) links_.push_back(Value);
}

void TCustomImageList::UnRegisterChanges(TChangeLink* Value) {
  if (!Value) return;
  links_.erase(std::remove(links_.begin(), links_.end(), Value), links_.end());
  if (Value->sender_ == this) Value->sender_ = nullptr;
}

void TCustomImageList::Change() {
  for (TChangeLink* l : std::vector<TChangeLink*>(links_)) l->Change();
  if (OnChange) OnChange(this);
}

bool TCustomImageList::SetDragImage(int Index, int HotSpotX, int HotSpotY) {
  dragIndex_ = Index;
  dragHotSpot_ = POINT{HotSpotX, HotSpotY};
  if (dragging_) return ImageList_SetDragCursorImage(Handle(), Index, HotSpotX, HotSpotY) != FALSE;
  return true;
}

bool TCustomImageList::BeginDrag(HWND Window, int X, int Y) {
  if (dragging_) EndDrag();
  if (!ImageList_BeginDrag(Handle(), dragIndex_, dragHotSpot_.x, dragHotSpot_.y)) return false;
  dragging_ = true;
  dragWindow_ = Window;
  return ImageList_DragEnter(Window, X, Y) != FALSE;
}

bool TCustomImageList::DragMove(int X, int Y) { return dragging_ && ImageList_DragMove(X, Y); }

bool TCustomImageList::DragLock(HWND Window, int X, int Y) {
  if (!dragging_) return false;
  if (Window != dragWindow_) {
    ImageList_DragLeave(dragWindow_);
    dragWindow_ = Window;
  }
  return ImageList_DragEnter(Window, X, Y) != FALSE;
}

void TCustomImageList::DragUnlock() {
  if (dragging_) ImageList_DragLeave(dragWindow_);
}

bool TCustomImageList::ShowDragImage() { return dragging_ && ImageList_DragShowNolock(TRUE); }
bool TCustomImageList::HideDragImage() { return dragging_ && ImageList_DragShowNolock(FALSE); }

bool TCustomImageList::EndDrag() {
  if (!dragging_) return false;
  ImageList_DragLeave(dragWindow_);
  ImageList_EndDrag();
  dragging_ = false;
  dragWindow_ = nullptr;
  return true;
}

}  // namespace morvane
