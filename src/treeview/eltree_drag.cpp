// Drag and drop over the tree: the drag object and its cursors, the drop
// target under the mouse, scrolling near the top and bottom edges, expanding
// the row the mouse rests on, and the glyph recolouring.
#include "treeview/eltree_drag.h"

#include <algorithm>

#include "platform/ui/imglist.h"
#include "treeview/eltree.h"
#include "treeview/eltree_input.h"

namespace morvane {

TCursor TElTreeDragObject::GetDragCursor(bool Accepted, int X, int Y) {
  if (!tree_) return TDragControlObject::GetDragCursor(Accepted, X, Y);
  if (!Accepted) return kCursorDropDenied;
  return (GetKeyState(VK_CONTROL) & 0x8000) ? kCursorDragCopy : kCursorDragMove;
}

void TElTreeDragObject::Finished(TObject* Target, int X, int Y, bool Accepted) {
  if (Control()) TDragControlObject::Finished(Target, X, Y, Accepted);
  delete this;
}

TDragImageList* TElTreeDragObject::GetDragImages() {
  return tree_ ? tree_->View().Input().DragImages() : TDragControlObject::GetDragImages();
}

void RecolorGlyph(TBitmap& Bitmap) {
  const TColor text = static_cast<TColor>(GetSysColor(COLOR_WINDOWTEXT));
  const TColor shadow = static_cast<TColor>(GetSysColor(COLOR_BTNSHADOW));
  const TColor window = static_cast<TColor>(GetSysColor(COLOR_WINDOW));
  TCanvas* c = Bitmap.Canvas();
  for (int x = 0; x < Bitmap.Width(); ++x)
    for (int y = 0; y < Bitmap.Height(); ++y) {
      TColor p = c->Pixels(x, y) & 0xFFFFFF;
      if (p == 0x000000)
        c->SetPixels(x, y, text);
      else if (p == 0x808080)
        c->SetPixels(x, y, shadow);
      else if (p == 0xFFFFFF)
        c->SetPixels(x, y, window);
    }
}

// ---- the view's part of a drag ----

TDragImageList* TElTreeInput::DragImages() const {
  return dragImages_ && dragImages_->Count() > 0 ? dragImages_.get() : nullptr;
}

void TElTreeInput::BuildDragImage() {
  TCustomElTree* t = tree_;
  dragImages_.reset();
  if (t->DragImageMode == dimNever) return;
  const TElList& rows = view_->VisibleRows();
  int top = -1, bottom = -1, found = 0;
  for (int i = 0; i < rows.Count(); ++i) {
    if (!static_cast<TElTreeItem*>(rows.Get(i))->Selected()) continue;
    TElRect r = view_->RowRect(i);
    if (++found > 1 && t->DragImageMode == dimOne) return;
    if (top < 0) top = r.Top;
    bottom = r.Bottom;
  }
  const int height = bottom - top + 1;
  dragImageOffset_ = top;
  int width;
  TElHeaderSection* main = t->HeaderSections().GetSection(t->MainTreeColumn());
  if (t->ShowColumns() && main)
    width = main->Width();
  else
    width = std::max(view_->ComputeLongestRowWidth(), t->LeftPosition() + view_->ClientWidth());
  width = std::max(width, 1);
  TBitmap bmp;
  bmp.SetSize(width, height);
  TCanvas* c = bmp.Canvas();
  // The grid's font and colours; the background is the see-through colour.
  int32_t back = clWindow;
  c->Font()->SetColor(clWindowText);
  port_->DragPictureLook(c, back);
  const TFontStyles baseStyle = c->Font()->Style();
  c->Brush()->SetColor(back);
  c->FillRect(RECT{0, 0, width, height});
  SetBkMode(c->Handle(), TRANSPARENT);
  int imageW = 0, imageH = 0;
  const bool images = t->ShowImages() && port_->DragRowImageSize(imageW, imageH);
  TElHeaderSection* mainSection = t->HeaderSections().GetSection(t->MainTreeColumn());
  for (int i = 0; i < rows.Count(); ++i) {
    auto* it = static_cast<TElTreeItem*>(rows.Get(i));
    if (!it->Selected()) continue;
    TElRect r = view_->RowRect(i);
    RECT rr{0, r.Top - top, width, r.Bottom - top - (t->HorizontalLines() ? 1 : 0)};
    const bool fromRight = t->RightAlignedTree();
    int indent = 0;
    if ((t->ShowRoot() && t->ShowLines()) || (t->ShowButtons() && t->ShowRootButtons()))
      indent += t->ItemIndent();
    indent += it->Level() * t->ItemIndent();
    if (fromRight)
      rr.right -= indent;
    else
      rr.left += indent;
    if (images) {
      // A dragged row is selected: it shows its state image.
      int index = it->State() != 0 ? it->StImageIndex : it->ImageIndex;
      if (index == -1 && t->OnItemPicDraw) t->OnItemPicDraw(t->EventSender(), it, index);
      if (index >= 0) {
        const int y = (rr.bottom - rr.top + 1) / 2 + rr.top - imageH / 2;
        port_->DrawDragRowImage(c, index, fromRight ? rr.right - imageW : rr.left, y);
        if (fromRight)
          rr.right -= imageW;
        else
          rr.left += imageW;
      }
    }
    if (fromRight)
      rr.right -= t->ItemIndent() / 3;
    else
      rr.left += t->ItemIndent() / 3;
    std::wstring text = it->Text();
    const bool ownerDrawn = t->OwnerDrawByColumn ? (mainSection && mainSection->Style() == ElhsOwnerDraw)
                                                 : text == t->OwnerDrawMask;
    if (ownerDrawn) {
      port_->OwnerDrawDragRow(c, it, TElRect{rr.left, rr.top, rr.right, rr.bottom});
      continue;
    }
    TFontStyles style = baseStyle;
    if (!it->Flag(tifParentStyle)) {
      style = 0;
      if (it->GetState(stsBold)) style |= fsBold;
      if (it->GetState(stsItalic)) style |= fsItalic;
      if (it->GetState(stsUnderlined)) style |= fsUnderline;
      if (it->GetState(stsStrikeOut)) style |= fsStrikeOut;
    }
    c->Font()->SetStyle(style);
    // Drawn straight on the device context: the font and its colour go on
    // it here, and the canvas gets its own selection back afterwards.
    HDC dc = c->Handle();
    HGDIOBJ oldFont = SelectObject(dc, c->Font()->Handle());
    SetTextColor(dc, ColorToRGB(c->Font()->Color()));
    RECT m{0, 0, 0, 0};
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &m, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
    const int tw = m.right - m.left;
    RECT tr = rr;
    if (fromRight)
      tr.left = tr.right - tw;
    else
      tr.right = tr.left + tw;
    UINT flags = DT_SINGLELINE | DT_NOPREFIX | DT_VCENTER;
    if (t->RightAlignedText) flags |= DT_RIGHT | DT_RTLREADING;
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &tr, flags);
    SelectObject(dc, oldFont);
  }
  dragImages_ = std::make_shared<TDragImageList>(nullptr, width, height);
  dragImages_->AddMasked(&bmp, back);
  int hx = downX_ + t->LeftPosition() - (t->ShowColumns() && main ? main->Left() : 0);
  dragImages_->SetDragImage(0, hx, downY_ - dragImageOffset_);
}

void TElTreeInput::DoStartDrag() {
  TCustomElTree* t = tree_;
  if (TElTreeItem* old = t->DropTarget()) {
    t->SetDropTarget(nullptr);
    old->RedrawItem(true);
  }
  const bool something = t->MultiSelect() ? t->GetSelectedCount() > 0 : t->AnchorItem() != nullptr;
  if (t->AnchorItem() || something) BuildDragImage();
  if (OnStartDrag) OnStartDrag();
}

void TElTreeInput::DoEndDrag(TObject* Target, int X, int Y) {
  if (OnEndDrag) OnEndDrag(Target, X, Y);
  dragImages_.reset();
  dragOverView_ = false;
  if (TElTreeItem* old = tree_->DropTarget()) {
    tree_->SetDropTarget(nullptr);
    old->RedrawItem(true);
  }
}

void TElTreeInput::DragEnter() { dragOverView_ = true; }

void TElTreeInput::DragLeave(bool Dropped) {
  (void)Dropped;
  dragOverView_ = false;
  if (dragExpandTimer_) dragExpandTimer_->SetEnabled(false);
  if (dragScrollTimer_) dragScrollTimer_->SetEnabled(false);
  if (TElTreeItem* old = tree_->DropTarget()) {
    tree_->SetDropTarget(nullptr);
    old->RedrawItem(true);
  }
}

int TElTreeInput::DragCursor(bool Accepted) const {
  if (!Accepted) return kCursorDropDenied;
  return port_->KeyHeld(VK_CONTROL) ? kCursorDragCopy : kCursorDragMove;
}

void TElTreeInput::DragOver(int X, int Y, bool Accept) {
  TCustomElTree* t = tree_;
  HideLineHint();
  const TElList& rows = view_->VisibleRows();
  if (rows.Count() > 0) {
    const int first = static_cast<TElTreeItem*>(rows.Get(0))->RowHeight();
    const int last = static_cast<TElTreeItem*>(rows.Last())->RowHeight();
    if ((Y <= first && t->TopIndex() > 0) || Y >= view_->ClientHeight() - last) {
      if (!dragScrollTimer_) {
        dragScrollTimer_ = NewTimer();
        dragScrollTimer_->OnTimer = [this] { DragScrollTick(); };
      }
      if (!dragScrollTimer_->Enabled()) {
        dragScrollTimer_->SetInterval(1000);
        dragScrollTimer_->SetEnabled(true);
      }
    }
  }
  dropAccepted_ = Accept;
  TElTreeItem* target = view_->RowAt(Y);
  if (target && !Usable(target)) target = nullptr;
  TElTreeItem* old = t->DropTarget();
  if (target == old && !t->OnDragTargetChange) return;
  port_->HideDragImage();
  if (old) old->RedrawItem(true);
  t->SetDropTarget(target);
  if (t->OnDragTargetChange) {
    TElRect r;
    if (target) t->GetItemRect(t->Items().VisibleIndexOf(target) - t->TopIndex(), r);
    t->OnDragTargetChange(t->EventSender(), target, r, X, Y + t->ViewPort().ViewTop());
  }
  if (target && target != old && t->ExpandOnDragOver) {
    if (t->DragExpandDelay > 0) {
      if (!dragExpandTimer_) {
        dragExpandTimer_ = NewTimer();
        dragExpandTimer_->OnTimer = [this] { DragExpandTick(); };
      }
      dragExpandTimer_->SetEnabled(false);
      dragExpandTimer_->SetInterval(static_cast<unsigned>(t->DragExpandDelay));
      dragExpandTimer_->SetEnabled(true);
    } else if (!target->Expanded()) {
      target->Expand(false);
      t->ViewPort().Update();
    }
  }
  if (target) target->RedrawItem(true);
  t->ViewPort().Update();
  port_->ShowDragImage();
}

void TElTreeInput::DragExpandTick() {
  dragExpandTimer_->SetEnabled(false);
  TElTreeItem* target = tree_->DropTarget();
  if (!target || target->Expanded()) return;
  port_->HideDragImage();
  target->Expand(false);
  tree_->ViewPort().Update();
  port_->ShowDragImage();
}

void TElTreeInput::DragScrollTick() {
  TCustomElTree* t = tree_;
  dragScrollTimer_->SetEnabled(false);
  dragScrollTimer_->SetInterval(static_cast<unsigned>(t->DragScrollInterval));
  const TElList& rows = view_->VisibleRows();
  if (rows.Count() == 0) return;
  int x, y;
  port_->CursorPos(x, y);
  const int first = static_cast<TElTreeItem*>(rows.Get(0))->RowHeight();
  const int last = static_cast<TElTreeItem*>(rows.Last())->RowHeight();
  int step = 0;
  if (y <= first && t->TopIndex() > 0)
    step = -1;
  else if (y >= view_->ClientHeight() - last)
    step = 1;
  if (!step) return;
  port_->HideDragImage();
  t->SetTopIndex(t->TopIndex() + step);
  port_->ShowDragImage();
  dragScrollTimer_->SetEnabled(true);
}

bool TElTreeInput::DragScroll(int Y) {
  TCustomElTree* t = tree_;
  const int zone = t->LineHeight() / 2;
  int step = 0;
  if (Y < zone && t->TopIndex() > 0)
    step = -1;
  else if (Y > view_->ClientHeight() - zone)
    step = 1;
  if (!step) return false;
  port_->HideDragImage();
  int before = t->TopIndex();
  t->SetTopIndex(before + step);
  return t->TopIndex() != before;
}

}  // namespace morvane
