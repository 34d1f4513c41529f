#include "platform/ui/listview.h"

#include <algorithm>

#include "platform/ui/application.h"

namespace morvane {

// TListItem ------------------------------------------------------------------------

bool TListItem::Selected() const { return owner_->IsSelected(index_); }
void TListItem::SetSelected(bool v) { owner_->SetItemSelected(index_, v); }
bool TListItem::Focused() const { return owner_->IsFocused(index_); }
void TListItem::SetFocused(bool v) { owner_->SetItemFocusedIndex(index_, v); }
void TListItem::MakeVisible(bool PartialOK) { owner_->MakeVisible(index_, PartialOK); }

// TListColumn ----------------------------------------------------------------------

void TListColumn::SetCaption(const std::string& v) {
  caption_ = v;
  if (owner_) owner_->RebuildColumns();
}
int TListColumn::Width() const {
  if (owner_ && owner_->HandleAllocated())
    return static_cast<int>(SendMessageA(owner_->Handle(), LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(index_), 0));
  return width_;
}
void TListColumn::SetWidth(int v) {
  width_ = v;
  if (owner_ && owner_->HandleAllocated())
    SendMessageA(owner_->Handle(), LVM_SETCOLUMNWIDTH, static_cast<WPARAM>(index_), MAKELPARAM(v, 0));
}
void TListColumn::SetAutoSize(bool v) {
  autoSize_ = v;
  if (owner_) owner_->RebuildColumns();
}
void TListColumn::SetAlignment(TAlignment v) {
  alignment_ = v;
  if (owner_) owner_->RebuildColumns();
}

// TListItems -----------------------------------------------------------------------

void TListItems::SetCount(int v) {
  if (v < 0) v = 0;
  count_ = v;
  cache_.clear();
  auto& sel = owner_->selected_;
  sel.erase(sel.lower_bound(v), sel.end());
  if (owner_->focused_ >= v) owner_->focused_ = -1;
  if (owner_->HandleAllocated()) SendMessageA(owner_->Handle(), LVM_SETITEMCOUNT, static_cast<WPARAM>(v), 0);
}

TListItem* TListItems::Item(int Index) {
  if (Index < 0 || Index >= count_) return nullptr;
  auto& slot = cache_[Index];
  if (!slot) slot = std::make_unique<TListItem>(owner_, Index);
  owner_->Fetch(slot.get());
  return slot.get();
}

void TListItems::BeginUpdate() {
  if (update_++ == 0 && owner_->HandleAllocated()) SendMessageA(owner_->Handle(), WM_SETREDRAW, FALSE, 0);
}

void TListItems::EndUpdate() {
  if (update_ == 0) return;
  if (--update_ == 0 && owner_->HandleAllocated()) {
    SendMessageA(owner_->Handle(), WM_SETREDRAW, TRUE, 0);
    owner_->Invalidate();
  }
}

// TListView ------------------------------------------------------------------------

TListView::TListView(TComponent* AOwner) : TWinControl(AOwner), items_(this) {
  SetControlStyle(csSetCaption | csDoubleClicks);
  SetTabStop(true);
  SetColor(clWindow);
  SetBounds(0, 0, 250, 150);
}

TListView::~TListView() { Destroying(); }

void TListView::CreateParams(TCreateParams& p) {
  TWinControl::CreateParams(p);
  CreateSubClass(p, WC_LISTVIEWA);
  static const DWORD views[] = {LVS_ICON, LVS_SMALLICON, LVS_LIST, LVS_REPORT};
  p.Style |= views[static_cast<int>(viewStyle_)] | LVS_SHAREIMAGELISTS;
  if (ownerData_) p.Style |= LVS_OWNERDATA;
  if (!multiSelect_) p.Style |= LVS_SINGLESEL;
  if (!hideSelection_) p.Style |= LVS_SHOWSELALWAYS;
  if (!readOnly_) p.Style |= LVS_EDITLABELS;
  p.ExStyle |= WS_EX_CLIENTEDGE;
}

void TListView::UpdateExStyle() {
  if (!HandleAllocated()) return;
  DWORD ex = (rowSelect_ ? LVS_EX_FULLROWSELECT : 0) | (gridLines_ ? LVS_EX_GRIDLINES : 0);
  SendMessageA(Handle(), LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES, ex);
}

void TListView::InitializeWindow() {
  HWND h = Handle();
  UpdateExStyle();
  RebuildColumns();
  SendMessageA(h, LVM_SETITEMCOUNT, static_cast<WPARAM>(items_.count_), 0);
  for (int i : selected_) SetItemSelected(i, true);
  if (focused_ >= 0) SetItemFocusedIndex(focused_, true);
}

void TListView::SaveWindowState() {
  selected_.clear();
  for (int i = -1; (i = static_cast<int>(SendMessageA(Handle(), LVM_GETNEXTITEM, static_cast<WPARAM>(i), LVNI_SELECTED))) >= 0;)
    selected_.insert(i);
  focused_ = static_cast<int>(SendMessageA(Handle(), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED));
}

TListColumn* TListView::AddColumn() {
  columns_.push_back(std::make_unique<TListColumn>());
  TListColumn* c = columns_.back().get();
  c->owner_ = this;
  c->index_ = ColumnCount() - 1;
  RebuildColumns();
  return c;
}

void TListView::ClearColumns() {
  columns_.clear();
  RebuildColumns();
}

void TListView::RebuildColumns() {
  if (!HandleAllocated()) return;
  HWND h = Handle();
  while (SendMessageA(h, LVM_DELETECOLUMN, 0, 0)) {
  }
  for (size_t i = 0; i < columns_.size(); ++i) {
    TListColumn* c = columns_[i].get();
    LVCOLUMNA col{};
    col.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
    col.fmt = c->alignment_ == TAlignment::taRightJustify ? LVCFMT_RIGHT : c->alignment_ == TAlignment::taCenter ? LVCFMT_CENTER : LVCFMT_LEFT;
    col.cx = c->width_;
    col.pszText = c->caption_.data();
    SendMessageA(h, LVM_INSERTCOLUMNA, i, reinterpret_cast<LPARAM>(&col));
    if (c->autoSize_) SendMessageA(h, LVM_SETCOLUMNWIDTH, i, MAKELPARAM(LVSCW_AUTOSIZE_USEHEADER, 0));
  }
}

void TListView::SetViewStyle(TViewStyle v) {
  if (v == viewStyle_) return;
  viewStyle_ = v;
  RecreateWnd();
}
void TListView::SetOwnerData(bool v) {
  if (v == ownerData_) return;
  ownerData_ = v;
  RecreateWnd();
}
void TListView::SetReadOnly(bool v) {
  if (v == readOnly_) return;
  readOnly_ = v;
  RecreateWnd();
}
void TListView::SetMultiSelect(bool v) {
  if (v == multiSelect_) return;
  multiSelect_ = v;
  RecreateWnd();
}
void TListView::SetRowSelect(bool v) {
  if (v == rowSelect_) return;
  rowSelect_ = v;
  UpdateExStyle();
}
void TListView::SetHideSelection(bool v) {
  if (v == hideSelection_) return;
  hideSelection_ = v;
  RecreateWnd();
}
void TListView::SetGridLines(bool v) {
  if (v == gridLines_) return;
  gridLines_ = v;
  UpdateExStyle();
}

void TListView::Fetch(TListItem* item) {
  item->Caption.clear();
  item->SubItems.Clear();
  if (OnData) OnData(this, item);
}

bool TListView::IsSelected(int Index) {
  if (Index < 0 || Index >= items_.count_) return false;
  if (HandleAllocated()) return (SendMessageA(Handle(), LVM_GETITEMSTATE, static_cast<WPARAM>(Index), LVIS_SELECTED) & LVIS_SELECTED) != 0;
  return selected_.count(Index) != 0;
}

void TListView::SetItemSelected(int Index, bool v) {
  if (Index < 0 || Index >= items_.count_) return;
  if (HandleAllocated()) {
    LVITEMA it{};
    it.stateMask = LVIS_SELECTED;
    it.state = v ? LVIS_SELECTED : 0;
    SendMessageA(Handle(), LVM_SETITEMSTATE, static_cast<WPARAM>(Index), reinterpret_cast<LPARAM>(&it));
    return;
  }
  if (!multiSelect_ && v) selected_.clear();
  if (v) selected_.insert(Index);
  else selected_.erase(Index);
}

bool TListView::IsFocused(int Index) {
  if (HandleAllocated()) return (SendMessageA(Handle(), LVM_GETITEMSTATE, static_cast<WPARAM>(Index), LVIS_FOCUSED) & LVIS_FOCUSED) != 0;
  return Index == focused_ && Index >= 0;
}

void TListView::SetItemFocusedIndex(int Index, bool v) {
  if (Index < 0 || Index >= items_.count_) return;
  if (HandleAllocated()) {
    LVITEMA it{};
    it.stateMask = LVIS_FOCUSED;
    it.state = v ? LVIS_FOCUSED : 0;
    SendMessageA(Handle(), LVM_SETITEMSTATE, static_cast<WPARAM>(Index), reinterpret_cast<LPARAM>(&it));
    return;
  }
  if (v) focused_ = Index;
  else if (focused_ == Index) focused_ = -1;
}

void TListView::MakeVisible(int Index, bool PartialOK) {
  if (HandleAllocated()) SendMessageA(Handle(), LVM_ENSUREVISIBLE, static_cast<WPARAM>(Index), PartialOK);
}

TListItem* TListView::Selected() { return GetNextItem(nullptr, TSearchDirection::sdAll, isSelected); }

void TListView::SetSelected(TListItem* Item) {
  ClearSelection();
  if (Item) Item->SetSelected(true);
}

TListItem* TListView::ItemFocused() {
  if (HandleAllocated()) {
    int i = static_cast<int>(SendMessageA(Handle(), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED));
    return items_.Item(i);
  }
  return items_.Item(focused_);
}

void TListView::SetItemFocused(TListItem* Item) {
  if (TListItem* f = ItemFocused()) f->SetFocused(false);
  if (Item) Item->SetFocused(true);
}

int TListView::SelCount() {
  if (HandleAllocated()) return static_cast<int>(SendMessageA(Handle(), LVM_GETSELECTEDCOUNT, 0, 0));
  return static_cast<int>(selected_.size());
}

void TListView::SelectAll() {
  if (!multiSelect_) return;
  if (HandleAllocated()) {
    LVITEMA it{};
    it.stateMask = LVIS_SELECTED;
    it.state = LVIS_SELECTED;
    SendMessageA(Handle(), LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&it));
    return;
  }
  for (int i = 0; i < items_.count_; ++i) selected_.insert(i);
}

void TListView::ClearSelection() {
  if (HandleAllocated()) {
    LVITEMA it{};
    it.stateMask = LVIS_SELECTED;
    SendMessageA(Handle(), LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&it));
    return;
  }
  selected_.clear();
}

TListItem* TListView::GetNextItem(TListItem* StartItem, TSearchDirection, TItemStates States) {
  const int start = StartItem ? StartItem->Index() : -1;
  if (HandleAllocated()) {
    UINT flags = LVNI_ALL | ((States & isSelected) ? LVNI_SELECTED : 0) | ((States & isFocused) ? LVNI_FOCUSED : 0);
    int i = static_cast<int>(SendMessageA(Handle(), LVM_GETNEXTITEM, static_cast<WPARAM>(start), flags));
    return i >= 0 ? items_.Item(i) : nullptr;
  }
  if (States & isSelected) {
    // Only the selected rows are looked at: an owner-data list may count
    // billions of rows.
    for (auto it = selected_.upper_bound(start); it != selected_.end() && *it < items_.count_; ++it)
      if (!(States & isFocused) || *it == focused_) return items_.Item(*it);
    return nullptr;
  }
  for (int i = start + 1; i < items_.count_; ++i) {
    if ((States & isFocused) && i != focused_) continue;
    return items_.Item(i);
  }
  return nullptr;
}

TListItem* TListView::TopItem() {
  if (!HandleAllocated()) return items_.Item(0);
  return items_.Item(static_cast<int>(SendMessageA(Handle(), LVM_GETTOPINDEX, 0, 0)));
}

int TListView::VisibleRowCount() {
  return HandleAllocated() ? static_cast<int>(SendMessageA(Handle(), LVM_GETCOUNTPERPAGE, 0, 0)) : 0;
}

void TListView::Dispatch(TMessage& m) {
  if (m.Msg != CN_NOTIFY) {
    TWinControl::Dispatch(m);
    return;
  }
  auto* nm = reinterpret_cast<NMHDR*>(m.LParam);
  switch (nm->code) {
    case LVN_GETDISPINFOA: {
      auto* di = reinterpret_cast<NMLVDISPINFOA*>(m.LParam);
      if (!(di->item.mask & LVIF_TEXT) || !di->item.pszText || di->item.cchTextMax <= 0) return;
      if (!dispItem_ || dispItem_->Index() != di->item.iItem) dispItem_ = std::make_unique<TListItem>(this, di->item.iItem);
      Fetch(dispItem_.get());
      const int sub = di->item.iSubItem;
      dispText_ = sub == 0 ? dispItem_->Caption
                  : sub - 1 < dispItem_->SubItems.Count() ? dispItem_->SubItems.Strings(sub - 1) : std::string();
      lstrcpynA(di->item.pszText, dispText_.c_str(), di->item.cchTextMax);
      return;
    }
    case LVN_ODCACHEHINT: {
      auto* h = reinterpret_cast<NMLVCACHEHINT*>(m.LParam);
      if (OnDataHint) OnDataHint(this, h->iFrom, h->iTo);
      return;
    }
    case LVN_COLUMNCLICK: {
      auto* lv = reinterpret_cast<NMLISTVIEW*>(m.LParam);
      if (OnColumnClick && lv->iSubItem >= 0 && lv->iSubItem < ColumnCount()) OnColumnClick(this, Columns(lv->iSubItem));
      return;
    }
    case LVN_ITEMCHANGED: {
      auto* lv = reinterpret_cast<NMLISTVIEW*>(m.LParam);
      if ((lv->uChanged & LVIF_STATE) && ((lv->uNewState ^ lv->uOldState) & LVIS_SELECTED)) {
        if (OnSelectItem) OnSelectItem(this, lv->iItem >= 0 ? items_.Item(lv->iItem) : nullptr, (lv->uNewState & LVIS_SELECTED) != 0);
      }
      if (OnChange) OnChange(this);
      return;
    }
    case LVN_ODSTATECHANGED:
      if (OnChange) OnChange(this);
      return;
    case NM_CLICK:
      Click();
      return;
    case NM_DBLCLK:
      DblClick();
      return;
    default:
      return;
  }
}

}  // namespace morvane
