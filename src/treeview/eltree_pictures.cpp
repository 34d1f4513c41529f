// Where the grid's row pictures come from: the two image lists and the
// check-box and radio-button strips. The model lays rows out from their
// sizes only, so every change of a source is passed on as sizes.
#include "treeview/eltree_window.h"

namespace morvane {

namespace {

TElImageMetrics MetricsOf(TCustomImageList* List) {
  TElImageMetrics m;
  if (!List) return m;
  m.Width = List->Width();
  m.Height = List->Height();
  m.Count = List->Count();
  return m;
}

}  // namespace

void TElTreeWindow::PicturesChanged() {
  TElTree& t = *tree_;
  t.BeginUpdate();
  t.SetImages(MetricsOf(images_));
  t.SetImages2(MetricsOf(images2_));
  t.CheckBoxGlyphWidth = checkBoxGlyph_ ? checkBoxGlyph_->Width() : 0;
  t.RadioButtonGlyphWidth = radioButtonGlyph_ ? radioButtonGlyph_->Width() : 0;
  t.MarkRows();
  t.MarkFullRepaint();
  t.MarkUpdate();
  t.EndUpdate();
}

void TElTreeWindow::SetImages(TCustomImageList* v) {
  if (v == images_) return;
  if (images_ && images_ != images2_) images_->RemoveFreeNotification(this);
  images_ = v;
  if (!imagesLink_) {
    imagesLink_ = std::make_unique<TChangeLink>();
    imagesLink_->OnChange = [this](TObject*) { PicturesChanged(); };
  }
  if (v) {
    v->RegisterChanges(imagesLink_.get());
    v->FreeNotification(this);
  } else if (imagesLink_->Sender()) {
    imagesLink_->Sender()->UnRegisterChanges(imagesLink_.get());
  }
  PicturesChanged();
}

void TElTreeWindow::SetImages2(TCustomImageList* v) {
  if (v == images2_) return;
  if (images2_ && images2_ != images_) images2_->RemoveFreeNotification(this);
  images2_ = v;
  if (!images2Link_) {
    images2Link_ = std::make_unique<TChangeLink>();
    images2Link_->OnChange = [this](TObject*) { PicturesChanged(); };
  }
  if (v) {
    v->RegisterChanges(images2Link_.get());
    v->FreeNotification(this);
  } else if (images2Link_->Sender()) {
    images2Link_->Sender()->UnRegisterChanges(images2Link_.get());
  }
  PicturesChanged();
}

// Drawing from a strip touches its canvas, which reports a change: only a
// new size re-lays the rows out (a repaint there would paint for ever).
void TElTreeWindow::StripChanged() {
  const int cb = checkBoxGlyph_ ? checkBoxGlyph_->Width() : 0;
  const int rb = radioButtonGlyph_ ? radioButtonGlyph_->Width() : 0;
  if (cb != tree_->CheckBoxGlyphWidth || rb != tree_->RadioButtonGlyphWidth) PicturesChanged();
}

void TElTreeWindow::SetCheckBoxGlyph(TBitmap* v) {
  if (!checkBoxGlyph_) {
    checkBoxGlyph_ = std::make_unique<TBitmap>();
    checkBoxGlyph_->OnChange = [this](TObject*) { StripChanged(); };
  }
  if (v)
    checkBoxGlyph_->Assign(v);
  else
    checkBoxGlyph_->SetSize(0, 0);
  PicturesChanged();
}

void TElTreeWindow::SetRadioButtonGlyph(TBitmap* v) {
  if (!radioButtonGlyph_) {
    radioButtonGlyph_ = std::make_unique<TBitmap>();
    radioButtonGlyph_->OnChange = [this](TObject*) { StripChanged(); };
  }
  if (v)
    radioButtonGlyph_->Assign(v);
  else
    radioButtonGlyph_->SetSize(0, 0);
  PicturesChanged();
}

void TElTreeWindow::Notification(TComponent* AComponent, TOperation Operation) {
  TElXPThemedControl::Notification(AComponent, Operation);
  if (Operation != TOperation::opRemove || !AComponent) return;
  // A freed list is gone from both slots before anything paints from it.
  bool changed = false;
  if (AComponent == images_) {
    images_ = nullptr;
    changed = true;
  }
  if (AComponent == images2_) {
    images2_ = nullptr;
    changed = true;
  }
  if (changed && tree_ && !HasState(csDestroying)) PicturesChanged();
}

}  // namespace morvane
