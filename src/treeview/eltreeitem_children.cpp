// The children of an item: linking into the hierarchy and the flat list,
// deleting, moving and copying subtrees.
#include <cstring>
#include <vector>

#include "treeview/eltree.h"
#include "treeview/eltree_bracket.h"
#include "treeview/eltreeitem.h"

namespace morvane {

namespace {

bool InSubtree(const TElTreeItem* Item, const TElTreeItem* Top) {
  for (const TElTreeItem* p = Item; p; p = p->RawParent())
    if (p == Top) return true;
  return false;
}

}  // namespace

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
  t->view_->InputItemForgotten(C);
  t->ForgetEditedItem(C);
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
  AssignStylesFrom(src);
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
