#include "treeview/eltreeitems.h"

#include <algorithm>

#include "platform/core/sysutils.h"
#include "treeview/eltree.h"
#include "treeview/eltree_bracket.h"

namespace morvane {

TElTreeItems::TElTreeItems(TCustomElTree* AOwner) : TElTreeItems(AOwner, nullptr) {}

TElTreeItems::TElTreeItems(TCustomElTree* AOwner, TElTreeItemClass ItemClass)
    : owner_(AOwner), itemClass_(std::move(ItemClass)) {
  root_ = CreateItem(owner_);
  root_->ownerItems_ = this;
  root_->parent_ = nullptr;
  root_->root_ = root_;
  root_->CreateStaticData();
  root_->state_ = 0x80;
}

TElTreeItems::~TElTreeItems() {
  // The tree is going away: the bracket stays open so that nothing is laid
  // out or repainted for the deletions.
  owner_->BeginUpdate();
  root_->DisposeStaticData();
  root_->DeleteChildren();
  delete root_;
}

TElTreeItem* TElTreeItems::CreateItem(TCustomElTree* Tree) {
  return itemClass_ ? itemClass_(Tree) : new TElTreeItem(Tree);
}

int TElTreeItems::Count() const { return owner_ ? owner_->allItems_.Count() : 0; }

TElTreeItem* TElTreeItems::Item(int Index) const {
  if (Index < 0 || Index >= Count()) return nullptr;
  return static_cast<TElTreeItem*>(owner_->allItems_.List()[Index]);
}

TElTreeItem* TElTreeItems::VisItem(int Index) const {
  if (Index < 0) return nullptr;
  const TElList& flat = owner_->allItems_;
  int n = flat.Count(), vis = 0;
  for (int i = 0; i < n;) {
    auto* it = static_cast<TElTreeItem*>(flat.List()[i]);
    if (owner_->filteredVisibility_ && it->Hidden()) {
      i = owner_->FlatIndexOf(it->LastDescendant()) + 1;
      continue;
    }
    if (vis == Index) return it;
    ++vis;
    i = owner_->SkipsSubtree(it) ? owner_->FlatIndexOf(it->LastDescendant()) + 1 : i + 1;
  }
  return nullptr;
}

int TElTreeItems::VisibleIndexOf(TElTreeItem* Item) const {
  if (!Item || Item->owner_ != owner_ || !Item->IsShown()) return -1;
  const TElList& flat = owner_->allItems_;
  int target = owner_->FlatIndexOf(Item);
  if (target < 0 || owner_->RowsAreFlat()) return target;
  int vis = 0;
  for (int i = 0; i < target;) {
    auto* it = static_cast<TElTreeItem*>(flat.List()[i]);
    if (owner_->filteredVisibility_ && it->Hidden()) {
      i = owner_->FlatIndexOf(it->LastDescendant()) + 1;
      continue;
    }
    ++vis;
    i = owner_->SkipsSubtree(it) ? owner_->FlatIndexOf(it->LastDescendant()) + 1 : i + 1;
  }
  return vis;
}

int TElTreeItems::AbsoluteIndexOf(TElTreeItem* Item) const {
  return Item ? owner_->FlatIndexOf(Item) : -1;
}

TElTreeItem* TElTreeItems::InsertChildAt(TElTreeItem* Parent, int Index) {
  TElTreeItem* p = Parent ? Parent : root_;
  if (Index < 0 || Index > p->ChildCount()) RaiseTreeError(eltreeres::SIndexOutOfBounds);
  TTreeBracket b(owner_);
  TElTreeItem* item = CreateItem(owner_);
  item->ownerItems_ = this;
  item->parent_ = p;
  try {
    p->InsertChildLink(Index, item);
  } catch (...) {
    delete item;
    throw;
  }
  if (p->Expanded() && p->AllAncestorsExpanded()) {
    owner_->MarkRows();
    owner_->MarkCount();
    owner_->MarkRepaint();
  }
  if (owner_->sortMode_ == smAdd || owner_->sortMode_ == smAddClick) owner_->MarkSort();
  owner_->MarkUpdate();
  return item;
}

TElTreeItem* TElTreeItems::AddLastChild(TElTreeItem* Parent) {
  TElTreeItem* p = Parent ? Parent : root_;
  TTreeBracket b(owner_);
  TElTreeItem* item = CreateItem(owner_);
  item->ownerItems_ = this;
  item->parent_ = p;
  p->AddChildLink(item);
  if (p->Expanded() && p->AllAncestorsExpanded()) {
    owner_->MarkRows();
    owner_->MarkCount();
    owner_->MarkRepaint();
  }
  if (owner_->sortMode_ == smAdd || owner_->sortMode_ == smAddClick) owner_->MarkSort();
  owner_->MarkUpdate();
  return item;
}

namespace {
TElTreeItem* WithText(TElTreeItem* Item, const TElFString& Text) {
  Item->SetText(Text);
  return Item;
}
TElTreeItem* WithData(TElTreeItem* Item, void* Data) {
  Item->SetData(Data);
  return Item;
}
}  // namespace

TElTreeItem* TElTreeItems::AddItem(TElTreeItem* Item, const TElFString& Text) {
  return WithText(AddLastChild(Item ? Item->parent_ : nullptr), Text);
}
TElTreeItem* TElTreeItems::AddChild(TElTreeItem* Item, const TElFString& Text) {
  return WithText(AddLastChild(Item), Text);
}
TElTreeItem* TElTreeItems::AddChildFirst(TElTreeItem* Item, const TElFString& Text) {
  return WithText(InsertChildAt(Item, 0), Text);
}
TElTreeItem* TElTreeItems::AddChildWithData(TElTreeItem* Item, const TElFString& Text,
                                            void* Data) {
  return WithData(AddChild(Item, Text), Data);
}
TElTreeItem* TElTreeItems::AddChildFirstWithData(TElTreeItem* Item, const TElFString& Text,
                                                 void* Data) {
  return WithData(AddChildFirst(Item, Text), Data);
}
TElTreeItem* TElTreeItems::AddItemFirst(TElTreeItem* Item, const TElFString& Text) {
  return WithText(InsertChildAt(Item ? Item->parent_ : nullptr, 0), Text);
}
TElTreeItem* TElTreeItems::AddItemWithData(TElTreeItem* Item, const TElFString& Text,
                                           void* Data) {
  return WithData(AddItem(Item, Text), Data);
}
TElTreeItem* TElTreeItems::AddItemFirstWithData(TElTreeItem* Item, const TElFString& Text,
                                                void* Data) {
  return WithData(AddItemFirst(Item, Text), Data);
}
TElTreeItem* TElTreeItems::InsertItem(TElTreeItem* Item, const TElFString& Text) {
  if (!Item) return WithText(InsertChildAt(nullptr, 0), Text);
  return WithText(InsertChildAt(Item->parent_, Item->Index()), Text);
}
TElTreeItem* TElTreeItems::InsertItemWithData(TElTreeItem* Item, const TElFString& Text,
                                              void* Data) {
  return WithData(InsertItem(Item, Text), Data);
}
TElTreeItem* TElTreeItems::InsertItemAfter(TElTreeItem* Item, const TElFString& Text) {
  if (!Item) return WithText(InsertChildAt(nullptr, 0), Text);
  return WithText(InsertChildAt(Item->parent_, Item->Index() + 1), Text);
}
TElTreeItem* TElTreeItems::InsertItemAfterWithData(TElTreeItem* Item, const TElFString& Text,
                                                   void* Data) {
  return WithData(InsertItemAfter(Item, Text), Data);
}

void TElTreeItems::DeleteItem(TElTreeItem* Item) {
  if (!Item || Item == root_ || Item->owner_ != owner_) return;
  TElTreeItem* p = Item->parent_;
  bool shown = p->Expanded() && p->AllAncestorsExpanded();
  TTreeBracket b(owner_);
  p->DeleteChild(Item);
  if (shown) {
    owner_->MarkRows();
    owner_->MarkCount();
    owner_->MarkRepaint();
  }
  owner_->MarkUpdate();
}

void TElTreeItems::Clear() {
  TTreeBracket b(owner_);
  owner_->SetItemFocused(nullptr);
  owner_->view_->VisibleRows().Clear();
  bool had = Count() > 0;
  root_->DeleteChildren();
  owner_->MarkTreePartWidthUnknown();
  if (had) {
    owner_->MarkCount();
    owner_->MarkRows();
    owner_->MarkRepaint();
  }
  owner_->MarkUpdate();
}

void TElTreeItems::BeginUpdate() { owner_->BeginUpdate(); }
void TElTreeItems::EndUpdate() { owner_->EndUpdate(); }

void TElTreeItems::Assign(TPersistent* Source) {
  if (auto* src = dynamic_cast<TElTreeItems*>(Source)) {
    if (src == this) return;
    TTreeBracket b(owner_);
    root_->Assign(src->root_);
    owner_->MarkTreePartWidthUnknown();
    owner_->MarkCount();
    owner_->MarkRows();
    owner_->MarkRepaint();
    owner_->MarkUpdate();
    return;
  }
  if (auto* s = dynamic_cast<TStrings*>(Source)) {
    LoadFromStrings(*s);
    return;
  }
  if (auto* w = dynamic_cast<TElWideStrings*>(Source)) {
    LoadFromWideStrings(*w);
    return;
  }
  TPersistent::Assign(Source);
}

// ---- row text ----

void TElTreeItems::SetCells(TElTreeItem* Item, std::wstring_view Cells) {
  if (!Item->staticData_) return;
  const bool cols = owner_->showColumns_;
  const int mainCol = owner_->mainTreeColumn_;
  TElWideStringList& texts = Item->staticData_->ColumnTexts;
  const int cellCount = static_cast<int>(std::count(Cells.begin(), Cells.end(), L'\t')) + 1;
  if (texts.Count() == 0 && texts.GetCapacity() < cellCount) texts.SetCapacity(cellCount);
  // The cells go in without a change notification each; the item hears of
  // its new texts once, as a text change would tell it.
  TNotifyEvent onChange = std::move(texts.OnChange);
  texts.OnChange = nullptr;
  struct TRestore {
    TElWideStringList& texts;
    TNotifyEvent& onChange;
    ~TRestore() { texts.OnChange = std::move(onChange); }
  } restore{texts, onChange};
  bool mainSet = false, added = false;
  size_t start = 0;
  for (int k = 0;; ++k) {
    size_t tab = Cells.find(L'\t', start);
    std::wstring_view cell =
        Cells.substr(start, tab == std::wstring_view::npos ? std::wstring_view::npos : tab - start);
    if (k == mainCol || (k == 0 && !cols)) {
      Item->staticData_->Text.assign(cell);
      mainSet = true;
    } else {
      cellBuffer_.assign(cell);
      texts.Add(cellBuffer_);
      added = true;
    }
    if (tab == std::wstring_view::npos) break;
    start = tab + 1;
  }
  if (mainSet) Item->MainTextChanged();
  if (added) Item->ColumnTextsLoaded();
}

void TElTreeItems::LoadLine(std::wstring_view Line, int LineIndex) {
  TElTreeItem* p = LineIndex > 0 ? Item(LineIndex - 1) : nullptr;
  int depth = 0;
  while (depth < static_cast<int>(Line.size()) && Line[depth] == L'\t') ++depth;
  int level = p ? p->Level() : 0;
  int d = std::min(depth, level + 1);
  while (level > d && p) {
    p = p->Parent();
    --level;
  }
  if (d == level && p) p = p->Parent();
  TElTreeItem* item = AddLastChild(p);
  SetCells(item, Line.substr(depth));
}

void TElTreeItems::LoadFromStrings(const TStrings& Strings) {
  TTreeBracket b(owner_);
  Clear();
  int n = Strings.Count();
  owner_->allItems_.SetCapacity(std::max(owner_->allItems_.Capacity(), n));
  std::wstring line;
  for (int i = 0; i < n; ++i) {
    // ASCII is the same in every ANSI code page: widen it without a call.
    std::string s = Strings.Strings(i);
    line.resize(s.size());
    size_t k = 0;
    for (; k < s.size() && static_cast<unsigned char>(s[k]) < 0x80; ++k) line[k] = s[k];
    if (k < s.size()) line = AnsiToWide(s);
    LoadLine(line, i);
  }
}

void TElTreeItems::LoadFromWideStrings(const TElWideStrings& Strings) {
  TTreeBracket b(owner_);
  Clear();
  int n = Strings.Count();
  owner_->allItems_.SetCapacity(std::max(owner_->allItems_.Capacity(), n));
  for (int i = 0; i < n; ++i) LoadLine(Strings.Get(i), i);
}

namespace {
// A cell cannot carry the characters that separate cells and rows. ASCII is
// the same in every ANSI code page: it is narrowed without a call. (No code
// page has a multi-byte character with a byte below 0x40, so the separators
// are found the same after the narrowing.)
void AppendCell(std::string& Line, const std::wstring& Cell) {
  const size_t at = Line.size();
  size_t k = 0;
  while (k < Cell.size() && Cell[k] < 0x80) ++k;
  if (k == Cell.size()) {
    Line.resize(at + k);
    for (size_t i = 0; i < k; ++i) Line[at + i] = static_cast<char>(Cell[i]);
  } else {
    Line += WideToAnsi(Cell);
  }
  for (size_t i = at; i < Line.size(); ++i)
    if (Line[i] == '\t' || Line[i] == '\r' || Line[i] == '\n') Line[i] = ' ';
}
}  // namespace

void TElTreeItems::SaveToStrings(TStrings& Strings) const {
  Strings.BeginUpdate();
  try {
    Strings.Clear();
    Strings.SetCapacity(Count());
    const bool cols = owner_->showColumns_;
    const int sections = cols ? owner_->HeaderSections().Count() : 1;
    std::string line;
    TElFString scratch;
    for (int i = 0; i < Count(); ++i) {
      TElTreeItem* it = Item(i);
      line.assign(static_cast<size_t>(it->Level()), '\t');
      for (int k = 0; k < sections; ++k) {
        if (k > 0) line += '\t';
        AppendCell(line, owner_->CellTextRef(it, cols ? k : -1, scratch));
      }
      Strings.Add(line);
    }
  } catch (...) {
    Strings.EndUpdate();
    throw;
  }
  Strings.EndUpdate();
}

// ---- walks ----

bool TElTreeItems::WalkSkips(TElTreeItem* Item, bool VisibleOnly) const {
  return VisibleOnly && owner_->filteredVisibility_ && Item->Hidden();
}

int TElTreeItems::CountWalked(bool VisibleOnly, bool IncludeCollapsed) const {
  int n = 0;
  const TElList& flat = owner_->allItems_;
  for (int i = 0; i < flat.Count();) {
    auto* it = static_cast<TElTreeItem*>(flat.Get(i));
    if (WalkSkips(it, VisibleOnly)) {
      i = owner_->FlatIndexOf(it->LastDescendant()) + 1;
      continue;
    }
    ++n;
    i = (!IncludeCollapsed && !it->Expanded() && it->children_)
            ? owner_->FlatIndexOf(it->LastDescendant()) + 1
            : i + 1;
  }
  return n;
}

void TElTreeItems::Iterate(bool VisibleOnly, bool IncludeCollapsed, const TElIterateProc& Callback,
                           void* Data) {
  IterateFrom(VisibleOnly, IncludeCollapsed, Callback, Data, nullptr);
}

void TElTreeItems::IterateFrom(bool VisibleOnly, bool IncludeCollapsed,
                               const TElIterateProc& Callback, void* Data,
                               TElTreeItem* StartFrom) {
  const TElList& flat = owner_->allItems_;
  int i = 0, number = 0;
  if (StartFrom) {
    i = owner_->FlatIndexOf(StartFrom);
    if (i < 0) return;
    number = StartFrom->Level();
  }
  bool cont = true;
  while (i < flat.Count()) {
    auto* it = static_cast<TElTreeItem*>(flat.Get(i));
    if (WalkSkips(it, VisibleOnly) && it != StartFrom) {
      i = owner_->FlatIndexOf(it->LastDescendant()) + 1;
      continue;
    }
    bool skipChildren = !IncludeCollapsed && !it->Expanded() && it->children_;
    int next = skipChildren ? owner_->FlatIndexOf(it->LastDescendant()) + 1 : i + 1;
    Callback(it, number++, cont, Data, owner_);
    if (!cont) return;
    // The callback may have changed the list: go on from where the item is now.
    int now = owner_->FlatIndexOf(it);
    if (now >= 0 && now != i)
      next = skipChildren ? owner_->FlatIndexOf(it->LastDescendant()) + 1 : now + 1;
    i = next;
  }
}

namespace {
bool Visitable(TElTreeItem* Item, bool VisibleOnly, bool IncludeCollapsed, bool Filtered) {
  if (VisibleOnly && Filtered && !Item->IsPathVisible()) return false;
  if (!IncludeCollapsed && !Item->AllAncestorsExpanded()) return false;
  return true;
}
}  // namespace

void TElTreeItems::IterateBackward(bool VisibleOnly, bool IncludeCollapsed,
                                   const TElIterateProc& Callback, void* Data) {
  IterateBackwardFrom(VisibleOnly, IncludeCollapsed, Callback, Data, nullptr);
}

void TElTreeItems::IterateBackwardFrom(bool VisibleOnly, bool IncludeCollapsed,
                                       const TElIterateProc& Callback, void* Data,
                                       TElTreeItem* StartFrom) {
  const TElList& flat = owner_->allItems_;
  const bool filtered = owner_->filteredVisibility_;
  int start = flat.Count() - 1;
  if (StartFrom) {
    start = owner_->FlatIndexOf(StartFrom);
    if (start < 0) return;
  }
  // Number so that the last item reported gets 0.
  int number = 0;
  for (int i = 0; i <= start; ++i) {
    auto* it = static_cast<TElTreeItem*>(flat.Get(i));
    if (it == StartFrom || Visitable(it, VisibleOnly, IncludeCollapsed, filtered)) ++number;
  }
  bool cont = true;
  for (int i = start; i >= 0; --i) {
    if (i >= flat.Count()) continue;
    auto* it = static_cast<TElTreeItem*>(flat.Get(i));
    if (it != StartFrom && !Visitable(it, VisibleOnly, IncludeCollapsed, filtered)) continue;
    Callback(it, --number, cont, Data, owner_);
    if (!cont) return;
  }
}

TElTreeItem* TElTreeItems::LookForItem(TElTreeItem* StartItem, int SectionIndex,
                                       const TElLookupCompareProc& Compare, void* SearchDetails,
                                       bool CheckStartItem, bool VisibleOnly,
                                       bool CheckCollapsed) {
  const TElList& flat = owner_->allItems_;
  int first = 0, last = flat.Count() - 1;
  if (StartItem) {
    first = owner_->FlatIndexOf(StartItem);
    if (first < 0) return nullptr;
    last = owner_->FlatIndexOf(StartItem->LastDescendant());
  }
  for (int i = first; i <= last && i < flat.Count();) {
    auto* it = static_cast<TElTreeItem*>(flat.Get(i));
    if (WalkSkips(it, VisibleOnly)) {
      i = owner_->FlatIndexOf(it->LastDescendant()) + 1;
      continue;
    }
    if ((it != StartItem || CheckStartItem) && Compare(it, SectionIndex, SearchDetails)) return it;
    i = (!CheckCollapsed && it != StartItem && !it->Expanded() && it->children_)
            ? owner_->FlatIndexOf(it->LastDescendant()) + 1
            : i + 1;
  }
  return nullptr;
}

}  // namespace morvane
