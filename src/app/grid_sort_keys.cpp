#include "app/grid_sort_keys.h"

#include <algorithm>

#include "controls/ellist.h"
#include "platform/core/datetime.h"
#include "platform/core/sysutils.h"
#include "treeview/eltree.h"

namespace morvane {

// Cells are mostly ASCII: those need no code-page call.
void AppendNarrow(std::string& Out, std::wstring_view S) {
  for (wchar_t c : S)
    if (c >= 0x80) {
      Out += WideToAnsi(S);
      return;
    }
  const size_t at = Out.size();
  Out.resize(at + S.size());
  for (size_t i = 0; i < S.size(); ++i) Out[at + i] = static_cast<char>(S[i]);
}

void WidenInto(std::wstring& Out, std::string_view S) {
  Out.resize(S.size());
  for (size_t k = 0; k < S.size(); ++k) {
    if (static_cast<unsigned char>(S[k]) >= 0x80) {
      Out = AnsiToWide(S);
      return;
    }
    Out[k] = static_cast<wchar_t>(S[k]);
  }
}

std::wstring_view RowCellText(TElTreeItem* Item, int Index, std::wstring& Scratch) {
  if (!Item || Index < 0) return {};
  if (const TElWideStringList* cells = Item->ColumnTexts())
    return Index < cells->Count() ? std::wstring_view(cells->GetRef(Index)) : std::wstring_view();
  TCustomElTree* tree = Item->Owner();
  if (!tree || Index >= RowCellCount(Item)) return {};
  // The cells after the main text are the sections around the main column.
  const int section = Index >= tree->MainTreeColumn() ? Index + 1 : Index;
  return tree->CellTextRef(Item, section, Scratch);
}

int RowCellCount(TElTreeItem* Item) {
  if (!Item) return 0;
  if (const TElWideStringList* cells = Item->ColumnTexts()) return cells->Count();
  TCustomElTree* tree = Item->Owner();
  return tree ? std::max(0, tree->HeaderSections().Count() - 1) : 0;
}

namespace {

int Sign(int r) { return r < 0 ? -1 : (r > 0 ? 1 : 0); }

}  // namespace

void BuildRowSortKey(TElTreeItem* Item, int Column, int SectionCount, bool DateColumn, TRowSortKey& Key) {
  Key.Text.clear();
  Key.HasDate = false;
  Key.Date = 0;
  std::wstring scratch;
  auto cell = [&](int i) { return RowCellText(Item, i, scratch); };
  if (Column > 0) {
    AppendNarrow(Key.Text, cell(Column - 1));
  } else {
    AppendNarrow(Key.Text, Item->Text());
  }
  Key.PrimaryLength = Key.Text.size();
  if (DateColumn && Column > 0) {
    TDateTime d = 0;
    if (TryStrToDateTime(std::string_view(Key.Text), d)) {
      Key.HasDate = true;
      Key.Date = d;
    }
  }
  const int last = std::min(2, SectionCount - 2);
  for (int i = 0; i <= last; ++i)
    if (i != Column - 1) AppendNarrow(Key.Text, cell(i));
}

int CompareRowSortKeys(const TRowSortKey& A, const TRowSortKey& B) {
  if (A.HasDate != B.HasDate) return A.HasDate ? 1 : -1;
  if (A.HasDate) {
    if (A.Date != B.Date) return A.Date < B.Date ? -1 : 1;
    return Sign(std::string_view(A.Text).substr(A.PrimaryLength).compare(std::string_view(B.Text).substr(B.PrimaryLength)));
  }
  return Sign(A.Text.compare(B.Text));
}

void TRowKeyCache::Clear() {
  tree_ = nullptr;
  column_ = -1;
  keys_.clear();
  bySerial_.clear();
  owners_.clear();
  byItem_.clear();
}

void TRowKeyCache::Build(TCustomElTree* Tree, int Column, int SectionCount, bool DateColumn) {
  Clear();
  tree_ = Tree;
  column_ = Column;
  const TElList& all = Tree->AllItems();
  const int n = all.Count();
  keys_.resize(static_cast<size_t>(n));
  owners_.resize(static_cast<size_t>(n));
  uint64_t lo = UINT64_MAX, hi = 0;
  for (int i = 0; i < n; ++i) {
    auto* it = static_cast<TElTreeItem*>(all.List()[i]);
    owners_[static_cast<size_t>(i)] = it;
    BuildRowSortKey(it, Column, SectionCount, DateColumn, keys_[static_cast<size_t>(i)]);
    lo = std::min(lo, it->Serial());
    hi = std::max(hi, it->Serial());
  }
  if (n == 0) return;
  const uint64_t span = hi - lo + 1;
  if (span <= 4 * static_cast<uint64_t>(n) + 1024) {
    firstSerial_ = lo;
    bySerial_.assign(static_cast<size_t>(span), -1);
    for (int i = 0; i < n; ++i) bySerial_[static_cast<size_t>(owners_[static_cast<size_t>(i)]->Serial() - lo)] = i;
  } else {
    byItem_.reserve(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) byItem_.emplace(owners_[static_cast<size_t>(i)], i);
  }
}

const TRowSortKey* TRowKeyCache::Find(const TElTreeItem* Item) const {
  if (!tree_ || !Item) return nullptr;
  if (!bySerial_.empty()) {
    const uint64_t s = Item->Serial();
    if (s < firstSerial_ || s - firstSerial_ >= bySerial_.size()) return nullptr;
    const int32_t i = bySerial_[static_cast<size_t>(s - firstSerial_)];
    return (i >= 0 && owners_[static_cast<size_t>(i)] == Item) ? &keys_[static_cast<size_t>(i)] : nullptr;
  }
  auto f = byItem_.find(Item);
  return f == byItem_.end() ? nullptr : &keys_[static_cast<size_t>(f->second)];
}

}  // namespace morvane
