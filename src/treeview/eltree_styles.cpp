#include "treeview/eltree_styles.h"

#include <algorithm>

#include "treeview/eltree.h"

namespace morvane {

TElCellControl::~TElCellControl() {
  // Freed by someone else than its style: the style must not free it again.
  if (ownerStyle_ && ownerStyle_->control_ == this) ownerStyle_->control_ = nullptr;
}

TElCellStyle::TElCellStyle(TElTreeItem* Owner) : owner_(Owner) {}

TElCellStyle::~TElCellStyle() { SetControl(nullptr); }

void TElCellStyle::Assign(const TElCellStyle* Source) {
  if (!Source || Source == this) return;
  UseBkColor = Source->UseBkColor;
  CellBkColor = Source->CellBkColor;
  TextBkColor = Source->TextBkColor;
  TextColor = Source->TextColor;
  TextFlags = Source->TextFlags;
  Picture = Source->Picture;
  CellType = Source->CellType;
  Style = Source->Style;
  OwnerProps = Source->OwnerProps;
  FontSize = Source->FontSize;
  FontStyles = Source->FontStyles;
  FontName = Source->FontName;
}

bool TElCellStyle::OwnsControls() const {
  // The shared style of a virtual tree has no owner item.
  return owner_ && owner_->Owner() && owner_->Owner()->VirtualityLevel() == vlNone;
}

void TElCellStyle::SetControl(TElCellControl* Value) {
  if (Value == control_) return;
  TElCellControl* old = control_;
  control_ = nullptr;
  if (old) {
    old->ownerStyle_ = nullptr;
    if (OwnsControls()) delete old;
  }
  control_ = Value;
  if (Value) {
    if (Value->ownerStyle_ && Value->ownerStyle_ != this) Value->ownerStyle_->control_ = nullptr;
    Value->ownerStyle_ = this;
  }
  Update();
}

void TElCellStyle::Update() {
  if (owner_ && owner_->Owner() && !owner_->Owner()->IsDestroying()) owner_->UpdateItem();
}

// ---- the item's styles ----

namespace {

void TakeTreeFont(TElCellStyle& S, TCustomElTree* Tree) {
  S.OwnerProps = true;
  if (!Tree) return;
  S.FontSize = Tree->FontSize();
  S.FontStyles = Tree->FontStyles;
  S.FontName = Tree->FontName;
}

}  // namespace

TElCellStyle* TElTreeItem::MainStyle() {
  if (!staticData_) return nullptr;
  if (!staticData_->MainStyle) {
    staticData_->MainStyle = std::make_unique<TElCellStyle>(this);
    TakeTreeFont(*staticData_->MainStyle, owner_);
  }
  return staticData_->MainStyle.get();
}

int TElTreeItem::StylesCount() const {
  return staticData_ ? static_cast<int>(staticData_->Styles.size()) : 0;
}

TElCellStyle* TElTreeItem::Style(int Index) const {
  if (!staticData_ || Index < 0 || Index >= StylesCount()) return nullptr;
  return staticData_->Styles[static_cast<size_t>(Index)].get();
}

TElCellStyle* TElTreeItem::AddStyle() {
  if (!staticData_) return nullptr;
  auto s = std::make_unique<TElCellStyle>(this);
  TakeTreeFont(*s, owner_);
  if (staticData_->MainStyle) s->Assign(staticData_->MainStyle.get());
  staticData_->Styles.push_back(std::move(s));
  return staticData_->Styles.back().get();
}

void TElTreeItem::RemoveStyle(TElCellStyle* S) {
  if (!staticData_ || !S) return;
  auto& v = staticData_->Styles;
  auto it = std::find_if(v.begin(), v.end(), [S](const auto& p) { return p.get() == S; });
  if (it != v.end()) v.erase(it);
}

void TElTreeItem::AssignStylesFrom(TElTreeItem* Source) {
  if (!staticData_ || !Source->staticData_) return;
  if (Source->staticData_->MainStyle) MainStyle()->Assign(Source->staticData_->MainStyle.get());
  staticData_->Styles.clear();
  for (const auto& s : Source->staticData_->Styles) AddStyle()->Assign(s.get());
}

// ---- the tree's side ----

int TCustomElTree::FontSize() const {
  // FontHeight is in pixels at 96 dots per inch; a point is 1/72 inch.
  const int h = fontHeight_ < 0 ? -fontHeight_ : fontHeight_;
  return (h * 72 + 48) / 96;
}

TElCellStyle* TCustomElTree::VirtualStyle(TElTreeItem* Item, int SectionIndex) {
  if (virtualityLevel_ == vlNone) {
    virtualStyle_.reset();
    return nullptr;
  }
  if (!virtualStyle_) virtualStyle_ = std::make_unique<TElCellStyle>(nullptr);
  if (OnVirtualStyleNeeded) OnVirtualStyleNeeded(EventSender(), Item, SectionIndex, virtualStyle_.get());
  return virtualStyle_.get();
}

}  // namespace morvane
