#include "treeview/eltree.h"

#include <algorithm>

#include "treeview/eltree_bracket.h"

namespace morvane {

TCustomElTree::TCustomElTree(TComponent* AOwner)
    : TComponent(AOwner),
      headlessView_(std::make_unique<THeadlessTreeView>()),
      port_(headlessView_.get()),
      ownMeasurer_(std::make_unique<TFixedWidthMeasurer>()),
      measurer_(ownMeasurer_.get()),
      headlessHeader_(std::make_unique<THeadlessTreeHeader>()),
      header_(headlessHeader_.get()),
      timerFactory_([] { return std::make_unique<TManualTreeTimer>(); }) {
  view_ = std::make_unique<TElTreeView>(this);
  selectedItems_ = std::make_unique<TElList>();
  items_.reset(CreateItems());
  SetTimerFactory(timerFactory_);
  lineHeight_ = GetDefaultLineHeight();
}

TCustomElTree::~TCustomElTree() {
  Destroying();
  // Items go first: deleting them still reaches the view.
  items_.reset();
  view_.reset();
  changeTimer_.reset();
  delayedFocusItem_ = nullptr;
  selectedItems_.reset();
}

TElTreeItems* TCustomElTree::CreateItems() { return new TElTreeItems(this); }

void TCustomElTree::SetViewPort(IElTreeViewPort* Port) {
  port_ = Port ? Port : headlessView_.get();
}

void TCustomElTree::SetTextMeasurer(IElTextMeasurer* Measurer) {
  measurer_ = Measurer ? Measurer : ownMeasurer_.get();
  TTreeBracket b(this);
  MarkTreePartWidthUnknown();
  MarkColumnsAutoSize();
  MarkUpdate();
}

void TCustomElTree::SetHeader(IElTreeHeader* Header) {
  header_ = Header ? Header : headlessHeader_.get();
  HeaderSectionsReset();
}

void TCustomElTree::SetTimerFactory(TElTreeTimerFactory Factory) {
  timerFactory_ = std::move(Factory);
  changeTimer_ = timerFactory_();
  changeTimer_->SetEnabled(false);
  changeTimer_->OnTimer = [this] {
    changeTimer_->SetEnabled(false);
    if (delayedFocusItem_ && focused_ == delayedFocusItem_) DoItemFocused();
  };
}

// ---- update bracket ----

void TCustomElTree::UpdateBracket(bool Begin) {
  if (inUpdateEnd_) return;
  if (Begin) {
    header_->BeginUpdate();
    ++updateCount_;
  } else {
    // An unmatched end would leave every later bracket without effect.
    if (updateCount_ == 0) return;
    --updateCount_;
    header_->EndUpdate();
  }
  if (updateCount_ > 0 || IsDestroying() || IsLoading()) return;
  {
    inUpdateEnd_ = true;
    struct TClear {
      bool& flag;
      ~TClear() { flag = false; }
    } clear{inUpdateEnd_};
    EndOfBracketWork();
  }
  // After the end-of-bracket work, so that the handler sees the tree as the
  // bracket leaves it and can open brackets of its own.
  if (selectedChangesInBracket_) {
    selectedChangesInBracket_ = false;
    if (OnItemSelectedChangesEnd) OnItemSelectedChangesEnd(EventSender());
  }
}

void TCustomElTree::EndOfBracketWork() {
  if (filteredVisibility_) MoveOffHidden();
  if (autoLineHeight_) {
    int h = GetDefaultLineHeight();
    if (h != lineHeight_) {
      lineHeight_ = h;
      rowsDirty_ = true;
    }
  }
  if (treePartWidth_ < 0 && !showColumns_) ComputeTreePartWidth();
  if (sortPending_) {
    sortPending_ = false;
    DoSortBegin();
    Sort(true);
    DoSortEnd();
  }
  if (!updatePending_) return;
  if (countDirty_) {
    CountVisibleRows();
    countDirty_ = false;
  }
  bool handle = port_->HandleAllocated();
  auto scrollBars = [&] {
    if (!handle || IsLoading()) return;
    scrollBarsUpdating_ = true;
    struct TClear {
      bool& flag;
      ~TClear() { flag = false; }
    } clear{scrollBarsUpdating_};
    UpdateScrollBars();
  };
  scrollBars();
  if (rowsDirty_ && handle) {
    view_->FillVisibleRows(topIndex_);
    rowsDirty_ = false;
  }
  if (showColumns_ && virtualityLevel_ == vlNone && columnsAutoSizePending_) {
    columnsAutoSizePending_ = false;
    AutoSizeAllColumns();
  }
  scrollBars();
  view_->RepaintDirty();
  updatePending_ = false;
}

bool TCustomElTree::RowsAreFlat() const {
  return !filteredVisibility_ && allItems_.Count() == items_->Root()->ChildCount();
}

int TCustomElTree::CountVisibleRows() {
  int n = 0;
  const int count = allItems_.Count();
  if (RowsAreFlat()) return visibleRowCount_ = count;
  void** p = allItems_.List();
  for (int i = 0; i < count;) {
    if (i + 8 < count) __builtin_prefetch(p[i + 8]);
    auto* it = static_cast<TElTreeItem*>(p[i]);
    if (filteredVisibility_ && it->Hidden()) {
      i = FlatIndexOf(it->LastDescendant()) + 1;
      continue;
    }
    ++n;
    i = SkipsSubtree(it) ? FlatIndexOf(it->LastDescendant()) + 1 : i + 1;
  }
  visibleRowCount_ = n;
  return n;
}

bool TCustomElTree::SkipsSubtree(TElTreeItem* Item) const {
  return Item->children_ && (!Item->Expanded() || (filteredVisibility_ && Item->Hidden()));
}

int TCustomElTree::FlatIndexOf(const TElTreeItem* Item) const {
  if (!Item || Item->owner_ != this) return -1;
  const int n = allItems_.Count();
  void** p = allItems_.List();
  int h = Item->flatHint_;
  if (h >= 0 && h < n && p[h] == Item) return h;
  if (h >= n) h = n - 1;
  if (h < 0) h = 0;
  for (int d = 0; d < n; ++d) {
    int lo = h - d, hi = h + d;
    if (lo < 0 && hi >= n) break;
    if (lo >= 0 && p[lo] == Item) return Item->flatHint_ = lo;
    if (hi < n && p[hi] == Item) return Item->flatHint_ = hi;
  }
  return -1;
}

// ---- scroll bars ----

void TCustomElTree::UpdateScrollBars() {
  for (int placements = 0;;) {
    bool changed = false;
    RecalcHorzBar(changed);
    if (changed && placements < 4) {
      port_->PlaceChildren();
      ++placements;
      continue;
    }
    RecalcVertBar(changed);
    if (changed && placements < 4) {
      port_->PlaceChildren();
      ++placements;
      continue;
    }
    break;
  }
  if (!frameRefreshed_ && UseCustomScrollBars) frameRefreshed_ = true;
}

void TCustomElTree::RecalcHorzBar(bool& VisibilityChanged) {
  int content = showColumns_ ? header_->SectionsWidth() : std::max(0, treePartWidth_);
  if (showColumns_) treePartWidth_ = content;
  int vw = port_->ClientWidth();
  bool needed = content - (vw + 1) >= 1 && !HideHorzScrollBar();
  const bool forced =
      forcedScrollBars_ == TElForcedScrollBars::ssHorizontal || forcedScrollBars_ == TElForcedScrollBars::ssBoth;
  if (!needed) {
    content = 0;
    leftPosition_ = 0;
    header_->SetLeftPos(0);
  }
  leftPosition_ = std::clamp(leftPosition_, 0, content);
  port_->ScrollBarChanged(TElScrollBarKind::sbHorizontal, content, vw + 1, leftPosition_, needed || forced);
  header_->SetLeftPos(leftPosition_);
  VisibilityChanged = !forced && needed != horzBarVisible_;
  horzBarVisible_ = needed || forced;
}

void TCustomElTree::RecalcVertBar(bool& VisibilityChanged) {
  if (visibleRowCount_ == 0) CountVisibleRows();
  int rows = view_->VisibleRows().Count();
  bool fits = topIndex_ < 1 && visibleRowCount_ * lineHeight_ <= port_->ClientHeight() &&
              (rows == 0 || rows >= visibleRowCount_);
  bool needed = !fits && !HideVertScrollBar();
  const bool forced =
      forcedScrollBars_ == TElForcedScrollBars::ssVertical || forcedScrollBars_ == TElForcedScrollBars::ssBoth;
  int max = needed ? visibleRowCount_ - 1 : 0;
  int page = needed ? view_->FullRowsThatFit() - 1 : 1;
  port_->ScrollBarChanged(TElScrollBarKind::sbVertical, max, page, topIndex_, needed || forced);
  VisibilityChanged = !forced && needed != vertBarVisible_;
  vertBarVisible_ = needed || forced;
}

// ---- focus ----

bool TCustomElTree::ChangeFocus(TElTreeItem* Item, bool Force, bool Delayed) {
  if (Item == focused_) return false;
  bool allow = Force;
  DoChanging(Item, allow);
  if (!Force && !allow) {
    // A refused change keeps the focused row selected, never deselects it.
    if (multiSelect_ && focused_ && !focused_->Selected()) focused_->SetSelected(true);
    return false;
  }
  TTreeBracket b(this);
  TElTreeItem* old = focused_;
  if (old) {
    old->state_ &= ~0x2;
    old->RedrawItem(true);
  }
  focused_ = nullptr;
  if (AutoExpand && Item && AutoCollapse) {
    for (TElTreeItem* p = old; p && p != items_->Root() && !Item->IsUnder(p); p = p->parent_)
      p->Collapse(false);
  }
  MarkUpdate();
  focused_ = Item;
  view_->ToggleSelectionStep(Item);
  if (focused_) {
    focused_->state_ |= 0x2;
    focused_->RedrawItem(true);
    if (AutoExpand) focused_->Expand(false);
    if (!IsDestroying()) {
      const TElList& rows = view_->VisibleRows();
      if (rows.Count() > 1 && rows.Last() == focused_ &&
          view_->RowsHeight() > view_->ClientHeight())
        SetTopIndex(topIndex_ + 1);
    }
  }
  if (ChangeDelay > 0 && Delayed)
    StartChangeDelay(focused_);
  else
    DoItemFocused();
  MarkUpdate();
  return true;
}

void TCustomElTree::SetAnchorItem(TElTreeItem* Item) {
  if (!multiSelect_) {
    SetItemFocused(Item);
    return;
  }
  anchor_ = Item;
}

void TCustomElTree::StartChangeDelay(TElTreeItem* Item) {
  changeTimer_->SetEnabled(false);
  delayedFocusItem_ = Item;
  changeTimer_->SetInterval(static_cast<unsigned>(ChangeDelay));
  changeTimer_->SetEnabled(true);
}

void TCustomElTree::StopChangeDelay() {
  if (changeTimer_) changeTimer_->SetEnabled(false);
  delayedFocusItem_ = nullptr;
}

// ---- events ----

void TCustomElTree::DoChanging(TElTreeItem* Item, bool& AllowChange) {
  if (!OnChanging || clearingCount_ > 0)
    AllowChange = true;
  else
    OnChanging(EventSender(), Item, AllowChange);
}

void TCustomElTree::DoItemFocused() {
  if (!IsDestroying() && clearingCount_ == 0 && OnItemFocused) OnItemFocused(EventSender());
}

void TCustomElTree::DoItemChange(TElTreeItem* Item, TItemChangeMode Mode) {
  if (OnItemChange) OnItemChange(EventSender(), Item, Mode);
}
void TCustomElTree::DoItemExpanding(TElTreeItem* Item, bool& CanProcess) {
  if (OnItemExpanding) OnItemExpanding(EventSender(), Item, CanProcess);
}
void TCustomElTree::DoItemCollapsing(TElTreeItem* Item, bool& CanProcess) {
  if (OnItemCollapsing) OnItemCollapsing(EventSender(), Item, CanProcess);
}
void TCustomElTree::DoItemExpand(TElTreeItem* Item) {
  if (OnItemExpand) OnItemExpand(EventSender(), Item);
}
void TCustomElTree::DoItemCollapse(TElTreeItem* Item) {
  if (OnItemCollapse) OnItemCollapse(EventSender(), Item);
}
void TCustomElTree::DoItemChecked(TElTreeItem* Item) {
  if (OnItemChecked) OnItemChecked(EventSender(), Item);
}
void TCustomElTree::DoItemDeletion(TElTreeItem* Item) {
  if (OnItemDeletion) OnItemDeletion(EventSender(), Item);
}
void TCustomElTree::DoItemSelectedChange(TElTreeItem* Item) {
  if (IsDestroying() || !OnItemSelectedChange) return;
  if (updateCount_ > 0) selectedChangesInBracket_ = true;
  OnItemSelectedChange(EventSender(), Item);
}
void TCustomElTree::DoAfterSelectionChange() {
  if (OnAfterSelectionChange) OnAfterSelectionChange(EventSender());
}
void TCustomElTree::DoScroll(TElScrollBarKind Kind, int Code) {
  if (OnScroll) OnScroll(EventSender(), Kind, Code);
}

TElFString TCustomElTree::VirtualText(TElTreeItem* Item, int SectionIndex) const {
  TElFString t;
  if (OnVirtualTextNeeded) OnVirtualTextNeeded(EventSender(), Item, SectionIndex, t);
  return t;
}

TElFString TCustomElTree::CellText(TElTreeItem* Item, int SectionIndex) const {
  if (!Item->staticData_) return VirtualText(Item, SectionIndex);
  if (SectionIndex < 0 || SectionIndex == mainTreeColumn_ || !showColumns_)
    return Item->staticData_->Text;
  int ci = SectionIndex > mainTreeColumn_ ? SectionIndex - 1 : SectionIndex;
  const TElWideStringList& ct = Item->staticData_->ColumnTexts;
  return ci < ct.Count() ? ct.GetRef(ci) : TElFString();
}

const TElFString& TCustomElTree::CellTextRef(TElTreeItem* Item, int SectionIndex, TElFString& Scratch) const {
  if (!Item->staticData_) return Scratch = VirtualText(Item, SectionIndex);
  if (SectionIndex < 0 || SectionIndex == mainTreeColumn_ || !showColumns_) return Item->staticData_->Text;
  int ci = SectionIndex > mainTreeColumn_ ? SectionIndex - 1 : SectionIndex;
  const TElWideStringList& ct = Item->staticData_->ColumnTexts;
  if (ci < ct.Count()) return ct.GetRef(ci);
  Scratch.clear();
  return Scratch;
}

// ---- properties ----

void TCustomElTree::SetShowColumns(bool v) {
  if (v == showColumns_) return;
  if (v && HeaderSections().Count() == 0 && !IsLoading()) return;
  TTreeBracket b(this);
  showColumns_ = v;
  if (!v) treePartWidth_ = -1;
  MarkRows();
  MarkFullRepaint();
  MarkColumnsAutoSize();
  MarkUpdate();
  port_->PlaceChildren();
}

void TCustomElTree::SetMainTreeColumn(int v) {
  if (v < 0) return;
  if (v >= HeaderSections().Count()) v = 0;
  if (v == mainTreeColumn_) return;
  TTreeBracket b(this);
  mainTreeColumn_ = v;
  treePartWidth_ = -1;
  MarkRows();
  MarkRepaint();
  MarkUpdate();
}

void TCustomElTree::SetFilteredVisibility(bool v) {
  if (v == filteredVisibility_) return;
  TTreeBracket b(this);
  filteredVisibility_ = v;
  if (v) MoveOffHidden();
  MarkRows();
  MarkCount();
  MarkFullRepaint();
  treePartWidth_ = -1;
  MarkUpdate();
}

void TCustomElTree::SetMultiSelect(bool v) {
  if (v == multiSelect_) return;
  TTreeBracket b(this);
  MarkUpdate();
  if (v) {
    multiSelect_ = true;
    selectedItems_ = std::make_unique<TElList>();
    if (anchor_ && anchor_->Selected()) selectedItems_->Add(anchor_);
  } else {
    DeselectAllItems(true);
    multiSelect_ = false;
    selectedItems_.reset();
    anchor_ = nullptr;
  }
}

void TCustomElTree::SetMultiSelectLevel(int v) {
  if (v == multiSelectLevel_) return;
  TTreeBracket b(this);
  MarkUpdate();
  multiSelectLevel_ = v;
  DeselectAllItems(true);
  if (focused_) focused_->SetSelected(true);
}

void TCustomElTree::SetLineHeight(int v) {
  if (autoLineHeight_) return;
  // Zero and below mean the default height: every row needs at least a pixel.
  if (v <= 0) v = GetDefaultLineHeight();
  if (v == lineHeight_) return;
  TTreeBracket b(this);
  lineHeight_ = v;
  MarkRows();
  MarkFullRepaint();
  MarkUpdate();
}

void TCustomElTree::SetAutoLineHeight(bool v) {
  if (v == autoLineHeight_) return;
  TTreeBracket b(this);
  autoLineHeight_ = v;
  if (v) lineHeight_ = GetDefaultLineHeight();
  MarkRows();
  MarkFullRepaint();
  MarkUpdate();
}

#define MORVANE_RELAYOUT_SETTER(Name, field)  \
  void TCustomElTree::Set##Name(bool v) {     \
    if (v == field) return;                   \
    TTreeBracket b(this);                     \
    field = v;                                \
    if (!showColumns_) treePartWidth_ = -1;   \
    MarkRows();                               \
    MarkRepaint();                            \
    MarkUpdate();                             \
  }
MORVANE_RELAYOUT_SETTER(ShowRoot, showRoot_)
MORVANE_RELAYOUT_SETTER(ShowLines, showLines_)
MORVANE_RELAYOUT_SETTER(ShowButtons, showButtons_)
MORVANE_RELAYOUT_SETTER(ShowImages, showImages_)
MORVANE_RELAYOUT_SETTER(ShowCheckboxes, showCheckboxes_)
MORVANE_RELAYOUT_SETTER(HorizontalLines, horizontalLines_)
MORVANE_RELAYOUT_SETTER(BarStyle, barStyle_)
#undef MORVANE_RELAYOUT_SETTER

void TCustomElTree::SetVerticalLines(bool v) {
  if (v == verticalLines_) return;
  TTreeBracket b(this);
  verticalLines_ = v;
  MarkFullRepaint();
  MarkUpdate();
}

void TCustomElTree::SetRowSelect(bool v) {
  TTreeBracket b(this);
  rowSelect_ = v;
  if (!v) fullRowSelect_ = false;
  MarkFullRepaint();
  MarkRows();
  MarkUpdate();
}

// Every row is laid out and measured again at the end of the bracket.
static void Relayout(TCustomElTree& t) {
  TTreeBracket b(&t);
  t.MarkTreePartWidthUnknown();
  t.MarkRows();
  t.MarkFullRepaint();
  t.MarkUpdate();
}

void TCustomElTree::SetShowRootButtons(bool v) {
  if (v == showRootButtons_) return;
  showRootButtons_ = v;
  Relayout(*this);
}

void TCustomElTree::SetShowLeafButton(bool v) {
  if (v == showLeafButton_) return;
  showLeafButton_ = v;
  Relayout(*this);
}

void TCustomElTree::SetCheckBoxSize(int v) {
  if (v == checkBoxSize_) return;
  checkBoxSize_ = v;
  Relayout(*this);
}

void TCustomElTree::SetChangeStateImage(bool v) {
  if (v == changeStateImage_) return;
  changeStateImage_ = v;
  Relayout(*this);
}

void TCustomElTree::SetHideHorzScrollBar(bool v) {
  if (v == hideHorzScrollBar_) return;
  TTreeBracket b(this);
  hideHorzScrollBar_ = v;
  Relayout(*this);
  port_->PlaceChildren();
}

void TCustomElTree::SetHideVertScrollBar(bool v) {
  if (v == hideVertScrollBar_) return;
  TTreeBracket b(this);
  hideVertScrollBar_ = v;
  Relayout(*this);
  port_->PlaceChildren();
}

void TCustomElTree::SetRightAlignedTree(bool v) {
  if (v == rightAlignedTree_) return;
  TTreeBracket b(this);
  rightAlignedTree_ = v;
  header_->SetRightAlignedOrder(v);
  Relayout(*this);
  if (!showColumns_) {
    // The tree part is measured anew; a right-aligned tree starts at its
    // right end (clamped to what can scroll).
    ComputeTreePartWidth();
    SetLeftPosition(v ? std::max(0, treePartWidth_) : 0);
  }
}

void TCustomElTree::SetForcedScrollBars(TElForcedScrollBars v) {
  if (v == forcedScrollBars_) return;
  TTreeBracket b(this);
  forcedScrollBars_ = v;
  Relayout(*this);
  port_->PlaceChildren();
}

void TCustomElTree::SetDblClickMode(TElDblClickMode v) {
  dblClickMode_ = v;
  if (v != dcmExpand) expandOnDblClick_ = false;
}

void TCustomElTree::SetExpandOnDblClick(bool v) {
  expandOnDblClick_ = v;
  if (v) dblClickMode_ = dcmExpand;
}

void TCustomElTree::SetSelectColumn(int v) {
  if (v == selectColumn_) return;
  if (!IsLoading() && (v < -1 || v >= HeaderSections().Count())) return;
  selectColumn_ = v;
  if (rowSelect_) return;
  if (multiSelect_) {
    Relayout(*this);
  } else if (focused_) {
    focused_->RedrawItem(true);
  }
}

void TCustomElTree::SetItemIndent(int v) {
  if (v == itemIndent_) return;
  TTreeBracket b(this);
  itemIndent_ = v;
  treePartWidth_ = -1;
  MarkRows();
  MarkRepaint();
  MarkUpdate();
}

void TCustomElTree::SetFontHeight(int v) {
  if (v == fontHeight_) return;
  TTreeBracket b(this);
  fontHeight_ = v;
  treePartWidth_ = -1;
  MarkColumnsAutoSize();
  MarkRows();
  MarkFullRepaint();
  MarkUpdate();
}

void TCustomElTree::SetImageMetrics(TElImageMetrics& Slot, const TElImageMetrics& v) {
  TTreeBracket b(this);
  Slot = v;
  if (!showColumns_)
    treePartWidth_ = -1;
  else
    AutoSizeColumn(mainTreeColumn_);
  MarkRows();
  MarkRepaint();
  MarkUpdate();
}

void TCustomElTree::SetImages(const TElImageMetrics& v) { SetImageMetrics(images_, v); }
void TCustomElTree::SetImages2(const TElImageMetrics& v) { SetImageMetrics(images2_, v); }

void TCustomElTree::SetSortSection(int v) {
  // Every negative column means the main text.
  if (v < 0) v = -1;
  if (v == sortSection_) return;
  sortSection_ = v;
  sortSections_.clear();
}

void TCustomElTree::SetVirtualityLevel(TElTreeVirtualityLevel v) {
  if (v == virtualityLevel_) return;
  TTreeBracket b(this);
  virtualityLevel_ = v;
  for (int i = 0; i < allItems_.Count(); ++i) {
    auto* it = static_cast<TElTreeItem*>(allItems_.Get(i));
    if (v == vlNone)
      it->CreateStaticData();
    else
      it->DisposeStaticData();
  }
  MarkRows();
  MarkCount();
  MarkRepaint();
  MarkUpdate();
}

// ---- header relays ----

void TCustomElTree::HeaderSectionClick(TElHeaderSection* Section, bool CtrlHeld) {
  if (!Section) return;
  int idx = Section->Index();
  if (OnHeaderColumnClick) OnHeaderColumnClick(EventSender(), idx);
  if (sortMode_ != smClick && sortMode_ != smAddClick) return;
  TTreeBracket b(this);
  if (CtrlHeld) {
    switch (Section->SortMode()) {
      case hsmNone:
        Section->SetSortMode(hsmAscend);
        AddSortSection(idx, false);
        break;
      case hsmAscend:
        Section->SetSortMode(hsmDescend);
        if (std::find(sortSections_.begin(), sortSections_.end(), Section) == sortSections_.end())
          AddSortSection(idx, false);
        break;
      case hsmDescend:
        Section->SetSortMode(hsmNone);
        RemoveSortSection(idx, false);
        break;
    }
  } else {
    sortSections_.clear();
    sortSection_ = idx;
    if (Section->SortMode() == hsmNone)
      Section->SetSortMode(SortDir == sdAscend ? hsmAscend : hsmDescend);
    else
      Section->SetSortMode(Section->SortMode() == hsmAscend ? hsmDescend : hsmAscend);
    SortDir = Section->SortMode() == hsmAscend ? sdAscend : sdDescend;
    SortType = FieldTypeToSortType(Section->FieldType());
  }
  DoSortBegin();
  SortLevel(items_->Root(), true);
  DoSortEnd();
  MarkUpdate();
  MarkRepaint();
  MarkCount();
}

void TCustomElTree::HeaderSectionDeleted(TElHeaderSection* Section) {
  TTreeBracket b(this);
  int count = HeaderSections().Count();
  if (count == 0) showColumns_ = false;
  if (sortSection_ >= count) sortSection_ = -1;
  auto it = std::find(sortSections_.begin(), sortSections_.end(), Section);
  if (it != sortSections_.end()) {
    sortSections_.erase(it);
    if (sortMode_ == smClick || sortMode_ == smAddClick) MarkSort();
  }
  MarkRows();
  MarkFullRepaint();
  MarkUpdate();
  port_->PlaceChildren();
}

void TCustomElTree::HeaderSectionsReset() {
  sortSections_.clear();
  int count = HeaderSections().Count();
  if (sortSection_ >= count) sortSection_ = -1;
  if (count == 0) showColumns_ = false;
  if (mainTreeColumn_ >= count) mainTreeColumn_ = 0;
}

void TCustomElTree::HeaderSectionResize(TElHeaderSection* Section) {
  TTreeBracket b(this);
  if (OnHeaderColumnResize && Section) OnHeaderColumnResize(EventSender(), Section->Index());
  MarkUpdate();
  MarkRepaint();
  MarkRows();
  if (verticalLines_) MarkFullRepaint();
}

void TCustomElTree::HeaderSectionAutoSize(TElHeaderSection* Section) {
  if (!Section) return;
  int idx = Section->Index();
  if (Section->AutoSize()) {
    AutoSizeColumn(idx);
  } else if (AutoResizeColumns) {
    Section->SetWidth(std::max(header_->MeasureSection(Section), GetColumnWidth(idx, true)));
    HeaderSectionResize(Section);
  } else if (OnHeaderSectionAutoSize) {
    OnHeaderSectionAutoSize(EventSender(), idx);
  }
}

}  // namespace morvane
