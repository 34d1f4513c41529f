#include "treeview/eltreeitem.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <vector>

#include "platform/core/gettext.h"
#include "treeview/eltree.h"
#include "treeview/eltree_bracket.h"

namespace morvane {

void RaiseTreeError(const char* Text) { throw EElTreeError(LoadResString(Text)); }

namespace {

std::atomic<uint64_t> gItemSerial{0};

// The system colour clWindow as the toolkit encodes it.
constexpr int32_t kClWindow = static_cast<int32_t>(0xFF000005u);

}  // namespace

TElTreeItem::TElTreeItem(TCustomElTree* AOwner)
    : owner_(AOwner), serial_(++gItemSerial), BorderSpaceColor(kClWindow) {}

TElTreeItem::~TElTreeItem() {
  if (owner_ && owner_->multiSelect_ && (selectionFlags_ & 0x2) && owner_->selectedItems_)
    owner_->selectedItems_->Remove(this);
}

void TElTreeItem::CreateStaticData() {
  if (staticData_) return;
  staticData_ = std::make_unique<TElTreeItemStaticData>();
  hasStatic_ = true;
  staticData_->ColumnTexts.OnChange = [this](TObject*) { ColumnTextsChanged(); };
}

void TElTreeItem::DisposeStaticData() {
  hasStatic_ = false;
  staticData_.reset();
}

// ---- texts ----

TElFString TElTreeItem::Text() const {
  if (staticData_) return staticData_->Text;
  return owner_ ? owner_->VirtualText(const_cast<TElTreeItem*>(this), -1) : TElFString();
}

void TElTreeItem::SetText(const TElFString& Value) {
  if (!staticData_) {
    UpdateItem();
    return;
  }
  staticData_->Text = Value;
  MainTextChanged();
  UpdateItem();
}

void TElTreeItem::MainTextChanged() {
  TCustomElTree* t = owner_;
  t->DoItemChange(this, icmText);
  {
    TTreeBracket b(t);
    if (!t->showColumns_ && AllAncestorsExpanded()) {
      t->MarkTreePartWidthUnknown();
      t->MarkRows();
      t->MarkUpdate();
    }
    if ((t->sortMode_ == smAdd || t->sortMode_ == smAddClick) && t->inSortCount_ == 0 &&
        (t->sortSection_ == t->mainTreeColumn_ || t->sortSection_ == -1))
      t->MarkSort();
    if (t->showColumns_) {
      t->MarkColumnsAutoSize();
      t->MarkUpdate();
    }
  }
}

void TElTreeItem::ColumnTextsLoaded() {
  TCustomElTree* t = owner_;
  t->DoItemChange(this, icmColumnText);
  if ((t->sortMode_ == smAdd || t->sortMode_ == smAddClick) && t->sortSection_ >= -1 &&
      t->sortSection_ < t->HeaderSections().Count() && parent_ && t->inSortCount_ == 0)
    t->MarkSort();
  t->MarkColumnsAutoSize();
  t->MarkUpdate();
}

TElWideStringList* TElTreeItem::ColumnTexts() const {
  return hasStatic_ ? const_cast<TElWideStringList*>(&staticData_->ColumnTexts) : nullptr;
}

TElFString TElTreeItem::Hint() const {
  if (staticData_) return staticData_->Hint;
  TElFString h;
  if (owner_ && owner_->OnVirtualHintNeeded)
    owner_->OnVirtualHintNeeded(owner_->EventSender(), const_cast<TElTreeItem*>(this), h);
  return h;
}

void TElTreeItem::SetHint(const TElFString& Value) {
  if (staticData_) staticData_->Hint = Value;
}

void TElTreeItem::ColumnTextsChanged() {
  TCustomElTree* t = owner_;
  t->DoItemChange(this, icmColumnText);
  if ((t->sortMode_ == smAdd || t->sortMode_ == smAddClick) && t->sortSection_ >= -1 &&
      t->sortSection_ < t->HeaderSections().Count() && parent_ && t->inSortCount_ == 0) {
    if (!t->IsUpdating()) {
      t->DoSortBegin();
      parent_->SortChildren(false);
      t->DoSortEnd();
    } else {
      t->MarkSort();
    }
  }
  if (!t->showColumns_ || t->IsUpdating())
    t->MarkColumnsAutoSize();
  else
    t->AutoSizeAllColumns();
  UpdateItem();
}

void TElTreeItem::SetRowBkColor(int32_t Value) {
  if (rowBkColor_ == Value) return;
  rowBkColor_ = Value;
  if (!Flag(tifParentColors) && Flag(tifUseBkColor)) RedrawItem(true);
}

void TElTreeItem::SetFlag(uint32_t Mask, bool Value) {
  uint32_t f = Value ? (flags_ | Mask) : (flags_ & ~Mask);
  if (f == flags_) return;
  flags_ = f;
  RedrawItem(true);
}

// ---- hierarchy ----

TElTreeItem* TElTreeItem::Parent() const { return parent_ == root_ ? nullptr : parent_; }

int TElTreeItem::Level() const {
  if (this == root_) return -1;
  int level = 0;
  for (const TElTreeItem* p = parent_; p && p != root_; p = p->parent_) ++level;
  return level;
}

TElTreeItem* TElTreeItem::Child(int Index) const {
  if (!children_ || Index < 0 || Index >= children_->Count()) return nullptr;
  return static_cast<TElTreeItem*>(children_->List()[Index]);
}

int TElTreeItem::IndexOfChild(TElTreeItem* C) const {
  if (!children_ || !C) return -1;
  int n = children_->Count();
  void** p = children_->List();
  int h = C->childHint_;
  if (h >= 0 && h < n && p[h] == C) return h;
  h = std::clamp(h, 0, n - 1);
  // Deletions and insertions before the child move it by a few places.
  for (int d = 0; d < n; ++d) {
    if (h - d >= 0 && p[h - d] == C) return C->childHint_ = h - d;
    if (h + d < n && p[h + d] == C) return C->childHint_ = h + d;
    if (h - d < 0 && h + d >= n) break;
  }
  return -1;
}

int TElTreeItem::Index() const {
  return parent_ ? parent_->IndexOfChild(const_cast<TElTreeItem*>(this)) : -1;
}

TElTreeItem* TElTreeItem::FirstVisibleChild() const {
  if (!owner_->filteredVisibility_) return FirstChild();
  for (int i = 0; i < ChildCount(); ++i)
    if (!Child(i)->Hidden()) return Child(i);
  return nullptr;
}

TElTreeItem* TElTreeItem::NextChild(TElTreeItem* C) const {
  int i = IndexOfChild(C);
  return i < 0 ? nullptr : Child(i + 1);
}

TElTreeItem* TElTreeItem::PrevChild(TElTreeItem* C) const {
  int i = IndexOfChild(C);
  return i <= 0 ? nullptr : Child(i - 1);
}

TElTreeItem* TElTreeItem::NextSibling() const {
  return parent_ ? parent_->NextChild(const_cast<TElTreeItem*>(this)) : nullptr;
}

TElTreeItem* TElTreeItem::PrevSibling() const {
  return parent_ ? parent_->PrevChild(const_cast<TElTreeItem*>(this)) : nullptr;
}

TElTreeItem* TElTreeItem::LastDescendant() const {
  const TElTreeItem* p = this;
  while (p->children_) p = p->LastChild();
  return const_cast<TElTreeItem*>(p);
}

TElTreeItem* TElTreeItem::TopLevelAncestor() const {
  const TElTreeItem* p = this;
  while (p->parent_ && p->parent_ != root_) p = p->parent_;
  return const_cast<TElTreeItem*>(p);
}

bool TElTreeItem::IsUnder(TElTreeItem* Item) const {
  if (!Item) return false;
  for (const TElTreeItem* p = this; p && p != root_; p = p->parent_)
    if (p == Item) return true;
  return false;
}

bool TElTreeItem::AllAncestorsExpanded() const {
  for (const TElTreeItem* p = parent_; p && p != root_; p = p->parent_)
    if (!p->Expanded()) return false;
  return true;
}

bool TElTreeItem::IsPathVisible() const {
  for (const TElTreeItem* p = this; p && p != root_; p = p->parent_)
    if (p->Hidden()) return false;
  return true;
}

bool TElTreeItem::IsShown() const {
  return AllAncestorsExpanded() && (!owner_->filteredVisibility_ || IsPathVisible());
}

bool TElTreeItem::HasVisibleChildren() const {
  if (!owner_->filteredVisibility_) return ChildCount() > 0;
  for (int i = 0; i < ChildCount(); ++i)
    if (!Child(i)->Hidden()) return true;
  return false;
}

int TElTreeItem::SubtreeRowsHeight() const {
  if (!Expanded() || !children_) return 0;
  int h = 0;
  bool filtered = owner_->filteredVisibility_;
  for (int i = 0; i < ChildCount(); ++i) {
    TElTreeItem* c = Child(i);
    // Hidden children take no row only while the filter is on.
    if (filtered && c->Hidden()) continue;
    h += owner_->lineHeight_ + c->SubtreeRowsHeight();
  }
  return h;
}

int TElTreeItem::VisIndex() const {
  return ownerItems_ ? ownerItems_->VisibleIndexOf(const_cast<TElTreeItem*>(this)) : -1;
}

int TElTreeItem::AbsIndex() const { return owner_->FlatIndexOf(this); }

TElTreeItem* TElTreeItem::GetPrevInFlatList() const {
  int i = AbsIndex();
  return i > 0 ? static_cast<TElTreeItem*>(owner_->allItems_.Get(i - 1)) : nullptr;
}

TElTreeItem* TElTreeItem::GetNextInFlatList() const {
  int i = AbsIndex();
  if (i < 0 || i + 1 >= owner_->allItems_.Count()) return nullptr;
  return static_cast<TElTreeItem*>(owner_->allItems_.Get(i + 1));
}

int TElTreeItem::GetTreePartWidth() const {
  int w = 0, h = 0;
  owner_->MeasureItemPart(const_cast<TElTreeItem*>(this), -1, w, h);
  return w;
}

int TElTreeItem::RowHeight() const { return owner_->lineHeight_; }

// ---- state ----

bool TElTreeItem::GetState(int N) const {
  if (N < 0 || N > 15) return false;
  return (state_ >> N) & 1;
}

void TElTreeItem::SetState(int N, bool Value) {
  TCustomElTree* t = owner_;
  if (N == stsFocused) {
    if (Value)
      t->SetFocusedEx(this, false);
    else if (t->focused_ == this)
      t->SetFocusedEx(nullptr, false);
    return;
  }
  if (N < stsMarked || N > stsStrikeOut || N == stsExpanded) return;
  uint16_t bit = static_cast<uint16_t>(1u << N);
  uint16_t s = Value ? (state_ | bit) : (state_ & ~bit);
  if (s == state_) return;
  state_ = s;
  if ((N == stsBold || N == stsItalic) && !t->showColumns_ && AllAncestorsExpanded()) {
    if (!t->IsUpdating())
      t->ComputeTreePartWidth();
    else
      t->MarkTreePartWidthUnknown();
  }
  t->DoItemChange(this, icmState);
  UpdateItem();
}

void TElTreeItem::SetSelectedBits(bool v) {
  if (v) {
    state_ |= 0x4;
    selectionFlags_ |= 0x2;
  } else {
    state_ &= ~0x4;
    selectionFlags_ &= ~0x2u;
  }
}

void TElTreeItem::SetSelected(bool Value) {
  TCustomElTree* t = owner_;
  if (t->multiSelect_ && Value != Selected()) {
    TElList& sel = *t->selectedItems_;
    bool refused = Value && t->KeepSelectionWithinLevel && sel.Count() > 0 &&
                   sel.Get(0) != this && static_cast<TElTreeItem*>(sel.Get(0))->Level() != Level();
    if (!refused) {
      SetSelectedBits(Value);
      if (Value) {
        sel.Add(this);
      } else {
        sel.Remove(this);
        if (t->anchor_ == this) t->anchor_ = nullptr;
      }
      t->selectionChanged_ = true;
      t->DoItemSelectedChange(this);
    }
  }
  RedrawItem(true);
}

void TElTreeItem::SetExpanded(bool Value) {
  if (Value == Expanded()) return;
  TTreeBracket b(owner_);
  if (Value)
    Expand(false);
  else
    Collapse(false);
}

void TElTreeItem::Expand(bool Recursive) {
  TCustomElTree* t = owner_;
  if (this != root_) {
    bool can = true;
    t->DoItemExpanding(this, can);
    if (!can) return;
  }
  {
    TTreeBracket b(t);
    t->MarkCount();
    t->MarkRepaint();
    SetExpandedBit(true);
    if (Recursive)
      for (int i = 0; i < ChildCount(); ++i) Child(i)->Expand(true);
    if (!t->showColumns_ && AllAncestorsExpanded()) t->MarkTreePartWidthUnknown();
    t->MarkRows();
    t->MarkUpdate();
  }
  t->ReMeasureMainColumn();
  if (this != root_) t->DoItemExpand(this);
}

void TElTreeItem::Collapse(bool Recursive) {
  TCustomElTree* t = owner_;
  if (this != root_) {
    bool can = true;
    t->DoItemCollapsing(this, can);
    if (!can) return;
  }
  {
    TTreeBracket b(t);
    t->MarkRepaint();
    t->MarkCount();
    SetExpandedBit(false);
    TElTreeItem* f = t->focused_;
    if (f && f != this && f->IsUnder(this) && t->MoveFocusOnCollapse && this != root_) {
      if (t->GetSelectedCount() == 1) {
        bool autoExpand = t->AutoExpand;
        t->AutoExpand = false;
        try {
          t->SetFocusedEx(this, true);
        } catch (...) {
          t->AutoExpand = autoExpand;
          throw;
        }
        t->AutoExpand = autoExpand;
        f->SetSelected(false);
      } else {
        t->SetFocusedEx(this, true);
      }
    }
    if (Recursive)
      for (int i = 0; i < ChildCount(); ++i) Child(i)->Collapse(true);
    if (t->DeselectChildrenOnCollapse && children_) {
      int first = t->FlatIndexOf(this) + 1;
      int last = t->FlatIndexOf(LastDescendant());
      for (int i = first; i >= 0 && i <= last && i < t->allItems_.Count(); ++i)
        static_cast<TElTreeItem*>(t->allItems_.Get(i))->SetSelected(false);
    }
    if (!t->showColumns_ && AllAncestorsExpanded()) t->MarkTreePartWidthUnknown();
    t->MarkRows();
    t->MarkRepaint();
    t->MarkUpdate();
  }
  t->ReMeasureMainColumn();
  if (this != root_) t->DoItemCollapse(this);
}

void TElTreeItem::ExpandAncestors(bool Value) {
  if (!Value) return;
  TTreeBracket b(owner_);
  for (TElTreeItem* p = parent_; p; p = p->parent_)
    if (!p->Expanded()) p->Expand(false);
  owner_->MarkRows();
  owner_->MarkCount();
  owner_->MarkRepaint();
  owner_->MarkUpdate();
}

void TElTreeItem::MakeVisible() { owner_->MakeVisible(this); }

void TElTreeItem::SetCheckBoxState(uint8_t Value) {
  if (Value == checkBoxState_) return;
  checkBoxState_ = Value;
  if (Flag(tifShowCheckBox) && owner_->showCheckboxes_) {
    RedrawItem(true);
    if (owner_->IsUpdating())
      owner_->MarkUpdate();
    else if (owner_->port_->HandleAllocated())
      owner_->port_->Update();
  }
}

void TElTreeItem::SetChecked(bool Value) {
  if (Value && CheckBoxType == 2 && parent_) {
    for (int i = 0; i < parent_->ChildCount(); ++i) {
      TElTreeItem* s = parent_->Child(i);
      if (s != this && s->CheckBoxType == 2) s->SetCheckBoxState(0);
    }
  }
  SetCheckBoxState(Value ? 1 : 0);
}

void TElTreeItem::SetHidden(bool Value) {
  if (Value == Hidden()) return;
  if (Value)
    flags_ |= tifHidden;
  else
    flags_ &= ~tifHidden;
  if (!owner_) return;
  {
    TTreeBracket b(owner_);
    owner_->hiddenCount_ += Value ? 1 : -1;
    if (owner_->filteredVisibility_) {
      owner_->MarkRows();
      owner_->MarkCount();
      owner_->MarkRepaint();
      owner_->MarkUpdate();
    }
  }
  owner_->ReMeasureMainColumn();
}

// ---- repainting ----

void TElTreeItem::RedrawItem(bool OnlyIfShown) { RedrawItemPart(OnlyIfShown, INT32_MIN, INT32_MIN); }

void TElTreeItem::RedrawItemPart(bool OnlyIfShown, int Left, int Right) {
  TCustomElTree* t = owner_;
  if (!t || Deleting() || t->IsDestroying()) return;
  int row = t->view_->VisibleRows().IndexOf(this);
  if (OnlyIfShown && row < 0) return;
  TElRect r = t->view_->RowRect(row);
  if (r.IsEmpty()) return;
  r.Bottom += 1;
  if (Left != INT32_MIN) {
    r.Left = Left - t->leftPosition_;
    r.Right = Right - t->leftPosition_;
  }
  t->port_->InvalidateRect(r);
}

void TElTreeItem::UpdateItem() {
  TCustomElTree* t = owner_;
  if (!(Hidden() && t->filteredVisibility_)) RedrawItem(true);
  if (t->IsUpdating())
    t->MarkUpdate();
  else if (t->port_->HandleAllocated())
    t->port_->Update();
}

}  // namespace morvane
