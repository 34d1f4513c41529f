// Selection, visibility, scrolling and column measuring of TCustomElTree.
#include <algorithm>

#include "platform/core/sysutils.h"
#include "treeview/eltree.h"
#include "treeview/eltree_bracket.h"

namespace morvane {

int TCustomElTree::GetSelectedCount() const {
  if (multiSelect_) return selectedItems_->Count();
  return focused_ ? 1 : 0;
}

TElTreeItem* TCustomElTree::GetNextSelected(TElTreeItem* Prev) const {
  if (!multiSelect_) return Prev ? nullptr : focused_;
  const TElList& sel = *selectedItems_;
  if (!Prev) return sel.Count() ? static_cast<TElTreeItem*>(sel.Get(0)) : nullptr;
  int i = sel.IndexOf(Prev);
  if (i < 0 || i + 1 >= sel.Count()) return nullptr;
  return static_cast<TElTreeItem*>(sel.Get(i + 1));
}

void TCustomElTree::AllSelected(TElList& List) const {
  List.Clear();
  if (multiSelect_) {
    List.Assign(selectedItems_.get());
    return;
  }
  if (focused_) List.Add(focused_);
}

// Walks the flat list for the whole-tree selection operations.
static void SelectionWalk(TCustomElTree* t, const TElList& flat, bool skipHidden,
                          bool skipCollapsed, bool invert) {
  const int n = flat.Count();
  for (int i = 0; i < n;) {
    // Rows sorted away from their creation order lie scattered in memory.
    if (i + 8 < n) __builtin_prefetch(flat.List()[i + 8]);
    auto* it = static_cast<TElTreeItem*>(flat.List()[i]);
    int after = i + 1;
    if (it->ChildCount() > 0) after = it->LastDescendant()->AbsIndex() + 1;
    if (skipHidden && t->FilteredVisibility() && it->Hidden()) {
      i = after;
      continue;
    }
    if (invert)
      it->SetSelected(!it->Selected());
    else if (!it->Selected())
      it->SetSelected(true);
    i = (skipCollapsed && !it->Expanded()) ? after : i + 1;
  }
}

void TCustomElTree::SelectAll() {
  if (!multiSelect_) return;
  TTreeBracket b(this);
  SelectionWalk(this, allItems_, true, filteredVisibility_, false);
}

void TCustomElTree::SelectAllItems(bool IncludeHidden) {
  if (!multiSelect_) return;
  TTreeBracket b(this);
  if (IncludeHidden)
    SelectionWalk(this, allItems_, false, false, false);
  else
    SelectionWalk(this, allItems_, true, true, false);
}

void TCustomElTree::InvertSelection() {
  if (!multiSelect_) return;
  TTreeBracket b(this);
  SelectionWalk(this, allItems_, true, filteredVisibility_, true);
}

void TCustomElTree::InvertAllItems(bool IncludeHidden) {
  if (!multiSelect_) return;
  TTreeBracket b(this);
  if (IncludeHidden)
    SelectionWalk(this, allItems_, false, false, true);
  else
    SelectionWalk(this, allItems_, true, true, true);
}

void TCustomElTree::DeselectAllItems(bool IncludeHidden) {
  if (!multiSelect_) return;
  TTreeBracket b(this);
  TElList& sel = *selectedItems_;
  // Rebuild the list once instead of removing items one by one from its
  // front; the handlers then see the list as it ends up.
  std::vector<TElTreeItem*> dropped;
  if (OnItemSelectedChange) dropped.reserve(sel.Count());
  int kept = 0;
  void** p = sel.List();
  const bool notify = !IsDestroying() && OnItemSelectedChange;
  const int count = sel.Count();
  for (int i = 0; i < count; ++i) {
    if (i + 8 < count) __builtin_prefetch(p[i + 8]);
    auto* it = static_cast<TElTreeItem*>(p[i]);
    if (!IncludeHidden && filteredVisibility_ && it->Hidden()) {
      p[kept++] = it;
      continue;
    }
    selectionChanged_ = true;
    it->SetSelectedBits(false);
    if (anchor_ == it) anchor_ = nullptr;
    if (notify)
      dropped.push_back(it);
    else
      it->RedrawItem(true);
  }
  sel.SetCount(kept);
  for (TElTreeItem* it : dropped) {
    DoItemSelectedChange(it);
    it->RedrawItem(true);
  }
}

void TCustomElTree::DeselectAll() { DeselectAllItems(false); }

void TCustomElTree::SelectRangeWith(TElTreeItem* From, TElTreeItem* To, bool IncludeCollapsed,
                                    bool SelectDisabled) {
  SelectVisibleRangeWith(From, To, IncludeCollapsed, SelectDisabled, true);
}

void TCustomElTree::SelectVisibleRangeWith(TElTreeItem* From, TElTreeItem* To,
                                           bool IncludeCollapsed, bool SelectDisabled,
                                           bool IncludeHidden) {
  if (!multiSelect_ || (From && From == To)) return;
  // An item of another tree (or one already deleted from this one) has no
  // place in the flat list: nothing to select.
  int a = From ? FlatIndexOf(From) : 0;
  int z = To ? FlatIndexOf(To) : 0;
  if (a < 0 || z < 0) return;
  bool skipHidden = !IncludeHidden && filteredVisibility_;
  TTreeBracket b(this);
  int lo = std::min(a, z), hi = std::max(a, z);
  for (int i = lo; i <= hi && i < allItems_.Count();) {
    auto* it = static_cast<TElTreeItem*>(allItems_.Get(i));
    int after = it->ChildCount() ? FlatIndexOf(it->LastDescendant()) + 1 : i + 1;
    if (skipHidden && it->Hidden()) {
      i = after;
      continue;
    }
    if (SelectDisabled || IgnoreEnabled || it->Enabled()) it->SetSelected(true);
    i = (!it->Expanded() && !IncludeCollapsed) ? after : i + 1;
  }
}

TElTreeItem* TCustomElTree::NearestShown(int From) const {
  for (int i = std::min(From, allItems_.Count() - 1); i >= 0; --i) {
    auto* it = static_cast<TElTreeItem*>(allItems_.Get(i));
    if (it->IsShown()) return it;
  }
  for (int i = std::max(From, 0); i < allItems_.Count(); ++i) {
    auto* it = static_cast<TElTreeItem*>(allItems_.Get(i));
    if (it->IsShown()) return it;
  }
  return nullptr;
}

void TCustomElTree::MoveOffHidden() {
  if (!filteredVisibility_) return;
  if (hotTrack_ && !hotTrack_->IsPathVisible()) hotTrack_ = nullptr;
  if (dropTarget_ && !dropTarget_->IsPathVisible()) dropTarget_ = nullptr;
  // The anchor and the focus go to an item that can really be shown, not
  // just one whose own flag is clear.
  while (anchor_ && !anchor_->IsPathVisible()) {
    if (!multiSelect_) {
      TElTreeItem* old = anchor_;
      anchor_ = nullptr;
      old->SetSelectedBits(false);
      selectionChanged_ = true;
      DoItemSelectedChange(old);
      break;
    }
    if (anchor_->parent_ == items_->Root()) {
      anchor_ = NearestShown(FlatIndexOf(anchor_));
      break;
    }
    TElTreeItem* old = anchor_;
    anchor_ = anchor_->parent_;
    old->SetSelected(false);
  }
  while (focused_ && !focused_->IsPathVisible()) {
    if (focused_->parent_ != items_->Root()) {
      ChangeFocus(focused_->parent_, true, false);
      continue;
    }
    TElTreeItem* n = NearestShown(FlatIndexOf(focused_));
    ChangeFocus(n, true, false);
    break;
  }
}

// ---- position and visibility ----

void TCustomElTree::MakeVisible(TElTreeItem* Item) {
  if (IsUpdating()) return;
  view_->FillVisibleRows(topIndex_);
  if (!Item || IsOnScreen(Item)) return;
  if (!Item->AllAncestorsExpanded()) Item->ExpandAncestors(true);
  TTreeBracket b(this);
  SetTopIndex(items_->VisibleIndexOf(Item));
  MarkRows();
  MarkUpdate();
}

void TCustomElTree::MakeVisibleAtBottom(TElTreeItem* Item) {
  if (IsUpdating() || !Item || IsOnScreen(Item)) return;
  if (!Item->AllAncestorsExpanded()) Item->ExpandAncestors(true);
  TTreeBracket b(this);
  SetTopIndex(view_->PageUpTarget(items_->VisibleIndexOf(Item)));
  MarkRows();
  MarkUpdate();
}

void TCustomElTree::ScrollToItem(TElTreeItem* Item) {
  if (!Item) RaiseTreeError(eltreeres::SItemNotSpecified);
  SetTopIndex(items_->VisibleIndexOf(Item));
}

void TCustomElTree::SetTopIndex(int Index) { view_->SetTopRow(Index); }
void TCustomElTree::SetLeftPosition(int Value) { view_->SetHPosition(Value); }

TElTreeItem* TCustomElTree::GetFirstOnScreen() const {
  const TElList& rows = view_->VisibleRows();
  return rows.Count() ? static_cast<TElTreeItem*>(rows.Get(0)) : nullptr;
}

bool TCustomElTree::IsOnScreen(TElTreeItem* Item) const {
  return Item && view_->VisibleRows().IndexOf(Item) >= 0;
}

// These take and give tree client coordinates; the view may lie below the
// header.
void TCustomElTree::GetItemRect(int Row, TElRect& R) const {
  R = view_->RowRect(Row);
  if (R.IsEmpty()) return;
  R.Top += port_->ViewTop();
  R.Bottom += port_->ViewTop();
}

TElTreeItem* TCustomElTree::GetItemAtY(int Y) const { return view_->RowAt(Y - port_->ViewTop()); }

TElTreeItem* TCustomElTree::GetItemAt(int X, int Y, TElHitPart& ItemPart, int& HitColumn) const {
  return view_->HitTest(X - port_->ViewLeft(), Y - port_->ViewTop(), HitColumn, ItemPart);
}

void TCustomElTree::CollapseAll() {
  TTreeBracket b(this);
  TElTreeItem* root = items_->Root();
  for (int i = 0; i < root->ChildCount(); ++i) root->Child(i)->Collapse(true);
}

void TCustomElTree::ExpandAll() {
  TTreeBracket b(this);
  TElTreeItem* root = items_->Root();
  for (int i = 0; i < root->ChildCount(); ++i) root->Child(i)->Expand(true);
}

void TCustomElTree::WriteItemLines(TStream& Stream) const {
  for (int i = 0; i < allItems_.Count(); ++i) {
    auto* it = static_cast<TElTreeItem*>(allItems_.Get(i));
    std::string line(static_cast<size_t>(std::max(0, it->Level() - 1)), ' ');
    line += WideToAnsi(it->Text());
    line += "\r\n";
    Stream.WriteBuffer(line.data(), static_cast<int>(line.size()));
  }
}

void TCustomElTree::HandleVScroll(int ScrollCode, int Position) { view_->OnVScroll(ScrollCode, Position); }
void TCustomElTree::HandleHScroll(int ScrollCode, int Position) { view_->OnHScroll(ScrollCode, Position); }

TElFString TCustomElTree::VertScrollHint(int TrackPosition) {
  TElFString hint;
  if (OnVertScrollHintNeeded) OnVertScrollHintNeeded(EventSender(), TrackPosition, hint);
  if (!hint.empty()) return hint;
  TElTreeItem* it = items_->VisItem(TrackPosition);
  if (!it) return hint;
  int col = sortSection_;
  if (col == -1 || col == mainTreeColumn_ || !showColumns_) return it->Text();
  if (!it->staticData_) return VirtualText(it, col);
  int ci = col > mainTreeColumn_ ? col - 1 : col;
  const TElWideStringList& ct = it->staticData_->ColumnTexts;
  return ci >= 0 && ci < ct.Count() ? ct.GetRef(ci) : TElFString();
}

// ---- columns ----

int TCustomElTree::GetColumnWidth(int SectionIndex, bool VisibleOnly) {
  if (SectionIndex >= HeaderSections().Count()) return 0;
  TElHeaderSection* section = showColumns_ ? HeaderSections().GetSection(SectionIndex) : nullptr;
  int best = 0;
  for (int i = 0; i < allItems_.Count();) {
    auto* it = static_cast<TElTreeItem*>(allItems_.List()[i]);
    int after = it->children_ ? FlatIndexOf(it->LastDescendant()) + 1 : i + 1;
    if (VisibleOnly && filteredVisibility_ && it->Hidden()) {
      i = after;
      continue;
    }
    int w = 0, h = 0;
    MeasureCell(it, SectionIndex, section, w, h);
    best = std::max(best, w);
    i = (VisibleOnly && !it->Expanded()) ? after : i + 1;
  }
  return best;
}

void TCustomElTree::AutoSizeColumn(int SectionIndex) {
  if (IsUpdating()) {
    columnsAutoSizePending_ = true;
    updatePending_ = true;
    return;
  }
  TElHeaderSection* s = HeaderSections().GetSection(SectionIndex);
  if (!s || !s->AutoSize()) return;
  s->SetWidth(std::max(header_->MeasureSection(s), GetColumnWidth(SectionIndex, true)));
  HeaderSectionResize(s);
}

void TCustomElTree::AutoSizeAllColumns() {
  if (autoSizing_) return;
  if (IsUpdating()) {
    columnsAutoSizePending_ = true;
    return;
  }
  autoSizing_ = true;
  struct TClear {
    bool& flag;
    ~TClear() { flag = false; }
  } clear{autoSizing_};
  // Every auto-sized column is measured in one walk over the rows, so each
  // row's texts are fetched from memory once, not once per column.
  std::vector<TElHeaderSection*> sections;
  for (int i = 0; i < HeaderSections().Count(); ++i)
    if (TElHeaderSection* s = HeaderSections().GetSection(i); s && s->AutoSize()) sections.push_back(s);
  if (sections.empty()) return;
  std::vector<int> best(sections.size(), 0);
  const int n = allItems_.Count();
  void** p = allItems_.List();
  for (int i = 0; i < n;) {
    if (i + 8 < n) __builtin_prefetch(p[i + 8]);
    auto* it = static_cast<TElTreeItem*>(p[i]);
    int after = it->children_ ? FlatIndexOf(it->LastDescendant()) + 1 : i + 1;
    if (filteredVisibility_ && it->Hidden()) {
      i = after;
      continue;
    }
    for (size_t k = 0; k < sections.size(); ++k) {
      int w = 0, h = 0;
      MeasureCell(it, sections[k]->Index(), sections[k], w, h);
      best[k] = std::max(best[k], w);
    }
    i = it->Expanded() ? i + 1 : after;
  }
  for (size_t k = 0; k < sections.size(); ++k) {
    TElHeaderSection* s = sections[k];
    s->SetWidth(std::max(header_->MeasureSection(s), best[k]));
    HeaderSectionResize(s);
  }
}

void TCustomElTree::ReMeasureMainColumn() {
  if (!showColumns_) {
    treePartWidth_ = -1;
    return;
  }
  TElHeaderSection* s = HeaderSections().GetSection(mainTreeColumn_);
  if (!s || !s->AutoSize()) return;
  AutoSizeColumn(mainTreeColumn_);
}

void TCustomElTree::ComputeTreePartWidth() { treePartWidth_ = view_->ComputeLongestRowWidth(); }

int TCustomElTree::CellTextWidth(TElTreeItem* Item, int SectionIndex, TElHeaderSection* section,
                                 int& Height, bool& Measured) {
  const bool mainCol = SectionIndex == -1 || SectionIndex == mainTreeColumn_;
  Measured = false;
  TElFString ownText;
  const TElFString* text;
  if (Item->staticData_ && (mainCol || !showColumns_)) {
    text = &Item->staticData_->Text;
  } else if (Item->staticData_) {
    int ci = SectionIndex > mainTreeColumn_ ? SectionIndex - 1 : SectionIndex;
    const TElWideStringList& ct = Item->staticData_->ColumnTexts;
    static const TElFString empty;
    text = ci >= 0 && ci < ct.Count() ? &ct.GetRef(ci) : &empty;
  } else {
    ownText = VirtualText(Item, SectionIndex);
    text = &ownText;
  }
  bool ownerMeasured = (OwnerDrawByColumn && section && section->Style() == ElhsOwnerDraw) ||
                       (!OwnerDrawByColumn && *text == OwnerDrawMask);
  if (ownerMeasured) {
    int w = 0, h = Height;
    if (OnMeasureItemPart) OnMeasureItemPart(EventSender(), Item, SectionIndex, w, h);
    Measured = true;
    if (!mainCol) Height = std::max(Height, h);
    return w;
  }
  unsigned styles = 0;
  if (mainCol && !Item->Flag(tifParentStyle)) {
    if (Item->GetState(stsBold)) styles |= efsBold;
    if (Item->GetState(stsItalic)) styles |= efsItalic;
    if (Item->GetState(stsUnderlined)) styles |= efsUnderline;
    if (Item->GetState(stsStrikeOut)) styles |= efsStrikeOut;
  }
  TElSize sz = (section && section->Password()) ? measurer_->MeasureText(L"******", styles)
                                                : measurer_->MeasureText(*text, styles);
  Measured = true;
  if (mainCol) {
    Height = std::max(Height, sz.cy + 1);
    return sz.cx;
  }
  // The cell's text rectangle has a pixel of margin on every side.
  Height = std::max(lineHeight_, sz.cy + 2 + 1);
  return sz.cx + 2 + 2;
}

void TCustomElTree::MeasureItemPart(TElTreeItem* Item, int SectionIndex, int& Width, int& Height) {
  MeasureCell(Item, SectionIndex,
              showColumns_ ? HeaderSections().GetSection(SectionIndex) : nullptr, Width, Height);
}

void TCustomElTree::MeasureCell(TElTreeItem* Item, int SectionIndex, TElHeaderSection* Section,
                                int& Width, int& Height) {
  Height = lineHeight_;
  Width = 0;
  const bool mainCol = SectionIndex == -1 || SectionIndex == mainTreeColumn_;
  if (mainCol) {
    Width += ((showRoot_ && showLines_) || (showButtons_ && ShowRootButtons())) ? itemIndent_
                                                                              : itemIndent_ / 5;
    Width += Item->Level() * itemIndent_;
    bool checkBox = showCheckboxes_ && Item->Flag(tifShowCheckBox);
    if (checkBox) Width += CustomCheckboxes ? RadioButtonGlyphWidth / 6 : CheckBoxSize();
    if (showImages_) {
      bool alt = Item->Focused() || Item->Selected() || Item->GetState(stsMarked) ||
                 (Item->Expanded() && Item->ChildCount() > 0);
      bool second = false;
      const TElImageMetrics& list2 = images2_.Assigned() ? images2_ : images_;
      if (list2.Assigned()) {
        int idx = alt ? Item->StImageIndex2 : Item->ImageIndex2;
        if (idx == -1 && OnItemPicDraw2) OnItemPicDraw2(EventSender(), Item, idx);
        second = (idx >= 0 && idx < list2.Count) || ShowEmptyImages2;
        if (second) {
          Width += list2.Width;
          if (checkBox) Width += itemIndent_ / 3;
        }
      }
      if (images_.Assigned()) {
        int idx = alt ? Item->StImageIndex : Item->ImageIndex;
        if (idx == -1 && OnItemPicDraw) OnItemPicDraw(EventSender(), Item, idx);
        if ((idx >= 0 && idx < images_.Count) || ShowEmptyImages) {
          Width += images_.Width;
          if (second || checkBox) Width += itemIndent_ / 3;
        }
      }
    }
  }
  bool measured = false;
  Width += CellTextWidth(Item, SectionIndex, Section, Height, measured);
  if (measured) Width += itemIndent_ * 3 / 5;
}

int TCustomElTree::GetDefaultLineHeight() const {
  int h = showImages_ ? std::max(images_.Height, images2_.Height) : 0;
  h = std::max(h, itemIndent_);
  h = std::max(h, fontHeight_ < 0 ? -fontHeight_ + 4 : fontHeight_ + 2);
  if (showCheckboxes_) h = std::max(h, CustomCheckboxes ? CheckBoxSize() : itemIndent_ - 2);
  if (barStyle_)
    h += 2;
  else if (horizontalLines_)
    h += 1;
  return h;
}

}  // namespace morvane
