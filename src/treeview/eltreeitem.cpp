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

bool InSubtree(const TElTreeItem* Item, const TElTreeItem* Top) {
  for (const TElTreeItem* p = Item; p; p = p->RawParent())
    if (p == Top) return true;
  return false;
}

}  // namespace

TElTreeItem::TElTreeItem(TCustomElTree* AOwner)
    : owner_(AOwner), serial_(++gItemSerial), BorderSpaceColor(kClWindow) {}

TElTreeItem::~TElTreeItem() {
  if (owner_ && owner_->multiSelect_ && (selectionFlags_ & 0x2) && owner_->selectedItems_)
    owner_->selectedItems_->Remove(this);
}

void TElTreeItem::CreateStaticData() {
  if (staticData_) return;
  staticData_.emplace();
  staticData_->ColumnTexts.OnChange = [this](TObject*) { ColumnTextsChanged(); };
}

void TElTreeItem::DisposeStaticData() { staticData_.reset(); }

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
  return staticData_ ? const_cast<TElWideStringList*>(&staticData_->ColumnTexts) : nullptr;
}

TElFString TElTreeItem::Hint() const {
  if (staticData_) return staticData_->Hint;
  TElFString h;
  if (owner_ && owner_->OnVirtualHintNeeded)
    owner_->OnVirtualHintNeeded(owner_, const_cast<TElTreeItem*>(this), h);
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

// ---- children ----

int TElTreeItem::AddChildLink(TElTreeItem* C) {
  TCustomElTree* t = owner_;
  TElList& flat = t->allItems_;
  int pos;
  if (this == root_) {
    pos = flat.Count();
  } else {
    pos = t->FlatIndexOf(LastDescendant()) + 1;
  }
  if (pos >= flat.Count())
    pos = flat.Add(C);
  else
    flat.Insert(pos, C);
  C->flatHint_ = pos;
  if (!children_) children_ = std::make_unique<TElList>();
  int idx = children_->Add(C);
  C->childHint_ = idx;
  C->root_ = root_;
  C->parent_ = this;
  C->ownerItems_ = ownerItems_;
  if (t->virtualityLevel_ == vlNone && !C->staticData_) C->CreateStaticData();
  t->MarkUpdate();
  return idx;
}

void TElTreeItem::InsertChildLink(int Index, TElTreeItem* C) {
  if (Index < 0 || Index > ChildCount()) RaiseTreeError(eltreeres::SIndexOutOfBounds);
  TCustomElTree* t = owner_;
  TElList& flat = t->allItems_;
  int pos;
  if (!children_)
    pos = this == root_ ? 0 : t->FlatIndexOf(this) + 1;
  else if (Index == ChildCount())
    pos = t->FlatIndexOf(LastChild()->LastDescendant()) + 1;
  else
    pos = t->FlatIndexOf(Child(Index));
  if (pos >= flat.Count())
    pos = flat.Add(C);
  else
    flat.Insert(pos, C);
  C->flatHint_ = pos;
  if (!children_) children_ = std::make_unique<TElList>();
  children_->Insert(Index, C);
  C->childHint_ = Index;
  C->parent_ = this;
  C->root_ = root_;
  C->ownerItems_ = ownerItems_;
  if (t->virtualityLevel_ == vlNone && !C->staticData_) C->CreateStaticData();
  t->MarkUpdate();
}

void TElTreeItem::RemoveChildLink(TElTreeItem* C) {
  TElList& rows = owner_->view_->VisibleRows();
  int r = rows.IndexOf(C);
  if (r >= 0) rows.Delete(r);
  int i = IndexOfChild(C);
  if (i >= 0) children_->Delete(i);
  if (children_ && children_->Count() == 0) children_.reset();
}

void TElTreeItem::DeleteChild(TElTreeItem* C) {
  if (!C || IndexOfChild(C) < 0) return;
  TCustomElTree* t = owner_;
  C->flags_ |= tifDeleting;
  TTreeBracket b(t);
  bool destroying = t->IsDestroying();
  C->DeleteChildren();
  if (C->Hidden()) {
    t->hiddenCount_--;
    C->flags_ &= ~tifHidden;
  }
  if (t->anchor_ == C) {
    if (destroying) {
      t->SetAnchorItem(nullptr);
    } else {
      TElTreeItem* next = NextChild(C);
      TElTreeItem* prev = PrevChild(C);
      if (next) t->SetAnchorItem(next);
      if ((!t->anchor_ || t->anchor_ == C) && prev) t->SetAnchorItem(prev);
      if ((!t->anchor_ || t->anchor_ == C) && this != root_) t->SetAnchorItem(this);
    }
    if (t->anchor_ == C) t->anchor_ = nullptr;
  }
  if (t->multiSelect_)
    C->SetSelected(false);
  else if (C->Selected())
    C->SetSelectedBits(false);
  if (t->focused_ == C) {
    if (destroying) {
      t->ChangeFocus(nullptr, true, false);
    } else {
      // The root is never focused: a deleted top-level row without siblings
      // leaves no focus.
      TElTreeItem* candidates[] = {NextChild(C), PrevChild(C), this == root_ ? nullptr : this};
      for (TElTreeItem* c : candidates)
        if (c && t->focused_ == C) t->ChangeFocus(c, true, false);
      if (t->focused_ == C) t->ChangeFocus(nullptr, true, false);
    }
  }
  if (t->updateCount_ <= 1 && t->filteredVisibility_ && !destroying) t->MoveOffHidden();
  if (t->hotTrack_ == C) t->hotTrack_ = nullptr;
  if (t->dropTarget_ == C) t->dropTarget_ = nullptr;
  if (t->delayedFocusItem_ == C) t->StopChangeDelay();
  t->port_->ItemForgotten(C);
  if (!destroying) {
    TElList& rows = t->view_->VisibleRows();
    int r = rows.Count() ? rows.IndexOfBack(rows.Count() - 1, C) : -1;
    if (r >= 0) rows.Delete(r);
  }
  t->DoItemDeletion(C);
  int ci = IndexOfChild(C);
  if (ci >= 0) children_->Delete(ci);
  if (children_ && children_->Count() == 0) children_.reset();
  // Handlers may have given the item new children.
  C->DeleteChildren();
  int fi = t->FlatIndexOf(C);
  if (fi >= 0) t->allItems_.Delete(fi);
  t->MarkUpdate();
  t->MarkRepaint();
  if (t->graveyard_) {
    t->graveyard_->push_back(C);
  } else {
    C->DisposeStaticData();
    delete C;
  }
}

void TElTreeItem::DeleteChildren() {
  TCustomElTree* t = owner_;
  TElTreeItem* oldFocus = t->focused_;
  t->clearingCount_++;
  // The deleted items are freed together at the end, in the order they were
  // made: the heap frees blocks far faster in that order than backwards.
  std::vector<TElTreeItem*> dead;
  struct TLower {
    TCustomElTree* t;
    std::vector<TElTreeItem*>* dead;
    ~TLower() {
      t->clearingCount_--;
      if (t->graveyard_ != dead) return;
      t->graveyard_ = nullptr;
      for (auto it = dead->rbegin(); it != dead->rend(); ++it) {
        (*it)->DisposeStaticData();
        delete *it;
      }
    }
  };
  if (!t->graveyard_ && children_) t->graveyard_ = &dead;
  {
    TLower lower{t, &dead};
    if (!children_) return;
    // A deletion handler may delete siblings or add children: go on until
    // the list is really empty.
    while (children_ && children_->Count() > 0) DeleteChild(LastChild());
    children_.reset();
    if (AllAncestorsExpanded()) t->MarkCount();
  }
  if (t->focused_ != oldFocus && t->clearingCount_ == 0) t->DoItemFocused();
}

void TElTreeItem::Delete() { ownerItems_->DeleteItem(this); }

void TElTreeItem::MoveTo(TElTreeItem* NewParent) {
  if (NewParent == this) return;
  TElTreeItem* p = NewParent ? NewParent : root_;
  MoveToIns(p, p->ChildCount());
}

void TElTreeItem::MoveToIns(TElTreeItem* NewParent, int Index) {
  if (NewParent == this) return;
  if (!NewParent) NewParent = root_;
  if (NewParent->owner_ != owner_ || NewParent->root_ != root_)
    RaiseTreeError(eltreeres::SForeignParent);
  if (InSubtree(NewParent, this)) RaiseTreeError(eltreeres::SInvalidMoveTarget);
  TElTreeItem* oldParent = parent_;
  if (Index < 0 || (NewParent != oldParent && Index > NewParent->ChildCount()))
    RaiseTreeError(eltreeres::SIndexOutOfBounds);
  TCustomElTree* t = owner_;
  TTreeBracket b(t);
  TElList& flat = t->allItems_;
  int oldIndex = this->Index();
  int start = t->FlatIndexOf(this);
  int end = t->FlatIndexOf(LastDescendant());
  std::vector<void*> block(flat.List() + start, flat.List() + end + 1);
  flat.DeleteRange(start, end);
  oldParent->RemoveChildLink(this);
  int pos;
  auto afterSubtreeOf = [&](TElTreeItem* p) {
    if (p == root_) return flat.Count();
    return t->FlatIndexOf(p->LastDescendant()) + 1;
  };
  if (NewParent == oldParent && oldIndex < Index && Index >= NewParent->ChildCount()) {
    pos = afterSubtreeOf(NewParent);
    if (!NewParent->children_) NewParent->children_ = std::make_unique<TElList>();
    childHint_ = NewParent->children_->Add(this);
  } else {
    TElTreeItem* prev = Index > 0 ? NewParent->Child(Index - 1) : nullptr;
    if (prev)
      pos = t->FlatIndexOf(prev->LastDescendant()) + 1;
    else
      pos = NewParent == root_ ? 0 : t->FlatIndexOf(NewParent) + 1;
    if (!NewParent->children_) NewParent->children_ = std::make_unique<TElList>();
    NewParent->children_->Insert(Index, this);
    childHint_ = Index;
  }
  int n = static_cast<int>(block.size());
  int oldCount = flat.Count();
  flat.SetCount(oldCount + n);
  void** p = flat.List();
  std::memmove(p + pos + n, p + pos, sizeof(void*) * (oldCount - pos));
  for (int i = 0; i < n; ++i) {
    p[pos + i] = block[i];
    static_cast<TElTreeItem*>(block[i])->flatHint_ = pos + i;
  }
  parent_ = NewParent;
  if ((t->sortMode_ == smAdd || t->sortMode_ == smAddClick) && t->inSortCount_ == 0 &&
      (t->sortSection_ == t->mainTreeColumn_ || t->sortSection_ == -1))
    t->MarkSort();
  t->MarkCount();
  t->MarkRows();
  t->MarkRepaint();
  t->MarkUpdate();
}

void TElTreeItem::MoveRelative(TElTreeItem* Item, int Mode) {
  switch (Mode) {
    case 0:
      if (!Item) RaiseTreeError(eltreeres::SItemNotSpecified);
      MoveToIns(Item->parent_, Item->parent_->ChildCount());
      break;
    case 1:
      MoveToIns(Item ? Item->parent_ : root_, 0);
      break;
    case 2:
      MoveTo(Item);
      break;
    case 3:
      MoveToIns(Item ? Item : root_, 0);
      break;
    case 4: {
      if (!Item) {
        MoveToIns(root_, 0);
        break;
      }
      int idx = Item->Index();
      if (Item->parent_ == parent_ && Index() < idx) idx--;
      MoveToIns(Item->parent_, idx);
      break;
    }
    default:
      break;
  }
}

void TElTreeItem::Assign(TPersistent* Source) {
  auto* src = dynamic_cast<TElTreeItem*>(Source);
  if (!src) {
    TPersistent::Assign(Source);
    return;
  }
  if (src == this) return;
  // Copying from inside the own subtree would free the source; copying from
  // an ancestor would walk children it keeps adding.
  if (InSubtree(src, this) || InSubtree(this, src)) RaiseTreeError(eltreeres::SAssignFromRelative);
  TCustomElTree* t = owner_;
  TTreeBracket b(t);
  if (staticData_ && src->staticData_) {
    staticData_->Text = src->staticData_->Text;
    staticData_->ColumnTexts.Assign(&src->staticData_->ColumnTexts);
    staticData_->Hint = src->staticData_->Hint;
  }
  data_ = src->data_;
  Color = src->Color;
  BkColor = src->BkColor;
  rowBkColor_ = src->rowBkColor_;
  bool wasExpanded = Expanded();
  state_ = static_cast<uint16_t>((src->state_ & ~0x6) | (state_ & 0x6));
  uint32_t f = (src->flags_ & ~0x280818u) | (flags_ & 0x800u);
  bool hidden = (f & tifHidden) != 0;
  flags_ = (f & ~tifHidden) | (flags_ & tifHidden);
  SetHidden(hidden);
  ImageIndex = src->ImageIndex;
  StImageIndex = src->StImageIndex;
  ImageIndex2 = src->ImageIndex2;
  StImageIndex2 = src->StImageIndex2;
  checkBoxState_ = src->checkBoxState_;
  CheckBoxType = src->CheckBoxType;
  RowBorderStyle = src->RowBorderStyle;
  Indent = src->Indent;
  StrikeLineColor = src->StrikeLineColor;
  OverlayIndex = src->OverlayIndex;
  OverlayIndex2 = src->OverlayIndex2;
  ObjectRef = src->ObjectRef;
  InterfaceRef = src->InterfaceRef;
  UserTag = src->UserTag;
  if (Expanded() != wasExpanded) {
    t->MarkCount();
    t->MarkRows();
  }
  DeleteChildren();
  AssignChildrenFrom(src);
  t->MarkRepaint();
  t->MarkUpdate();
}

void TElTreeItem::AssignChildrenFrom(TElTreeItem* src) {
  for (int i = 0; i < src->ChildCount(); ++i) {
    TElTreeItem* c = ownerItems_->CreateItem(owner_);
    c->ownerItems_ = ownerItems_;
    AddChildLink(c);
    c->Assign(src->Child(i));
  }
}

void TElTreeItem::SortChildren(bool Recursive) { owner_->SortLevel(this, Recursive); }

}  // namespace morvane
