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

void AppendPrimary(std::string& Out, TElTreeItem* Item, int Column, std::wstring& Scratch) {
  if (Column > 0)
    AppendNarrow(Out, RowCellText(Item, Column - 1, Scratch));
  else
    AppendNarrow(Out, Item->Text());
}

// The cells after the sort column's text: the grid's first three cells
// (those it has), the sort column's own cell left out.
void AppendFollowing(std::string& Out, TElTreeItem* Item, int Column, int SectionCount, std::wstring& Scratch) {
  const int last = std::min(2, SectionCount - 2);
  for (int i = 0; i <= last; ++i)
    if (i != Column - 1) AppendNarrow(Out, RowCellText(Item, i, Scratch));
}

// A1 followed by A2 against B1 followed by B2, byte by byte, without
// joining them.
int CompareJoined(std::string_view A1, std::string_view A2, std::string_view B1, std::string_view B2) {
  for (;;) {
    if (A1.empty()) std::swap(A1, A2);
    if (B1.empty()) std::swap(B1, B2);
    if (A1.empty() || B1.empty()) return A1.empty() ? (B1.empty() ? 0 : -1) : 1;
    const size_t n = std::min(A1.size(), B1.size());
    if (const int r = A1.substr(0, n).compare(B1.substr(0, n))) return Sign(r);
    A1.remove_prefix(n);
    B1.remove_prefix(n);
  }
}

}  // namespace

void BuildRowSortKey(TElTreeItem* Item, int Column, int SectionCount, bool DateColumn, TRowSortKey& Key) {
  Key.Text.clear();
  Key.HasDate = false;
  Key.Date = 0;
  std::wstring scratch;
  AppendPrimary(Key.Text, Item, Column, scratch);
  Key.PrimaryLength = Key.Text.size();
  if (DateColumn && Column > 0) {
    TDateTime d = 0;
    if (TryStrToDateTime(std::string_view(Key.Text), d)) {
      Key.HasDate = true;
      Key.Date = d;
    }
  }
  AppendFollowing(Key.Text, Item, Column, SectionCount, scratch);
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
  sections_ = 0;
  date_ = false;
  slots_.clear();
  primaries_.clear();
  following_.clear();
  indexed_ = false;
  bySerial_.clear();
  byItem_.clear();
}

void TRowKeyCache::Build(TCustomElTree* Tree, int Column, int SectionCount, bool DateColumn) {
  Clear();
  tree_ = Tree;
  column_ = Column;
  sections_ = SectionCount;
  date_ = DateColumn && Column > 0;
  const TElList& all = Tree->AllItems();
  const int n = all.Count();
  void* const* p = all.List();
  slots_.resize(static_cast<size_t>(n));
  primaries_.reserve(static_cast<size_t>(n) * 16);
  const TFormatSettings& fs = FormatSettings();
  std::wstring scratch;
  // The rows, their lists of cells and the cells' texts lie apart in
  // memory, in no order once sorted: while one row is read, the memory of
  // the rows ahead is asked for, each step one link further along.
  const int cell = Column - 1;
  auto cellOf = [&](int i) -> const std::wstring* {
    if (cell < 0) return nullptr;
    const TElWideStringList* cells = static_cast<TElTreeItem*>(p[i])->ColumnTexts();
    return cells && cell < cells->Count() ? &cells->GetRef(cell) : nullptr;
  };
  for (int i = 0; i < n; ++i) {
    if (i + 24 < n) __builtin_prefetch(p[i + 24]);
    if (i + 12 < n)
      if (const std::wstring* c = cellOf(i + 12)) __builtin_prefetch(c);
    if (i + 4 < n)
      if (const std::wstring* c = cellOf(i + 4)) __builtin_prefetch(c->data());
    auto* it = static_cast<TElTreeItem*>(p[i]);
    TSlot& slot = slots_[static_cast<size_t>(i)];
    slot.Owner = it;
    slot.Following = -1;
    slot.HasDate = false;
    slot.Date = 0;
    const size_t at = primaries_.size();
    AppendPrimary(primaries_, it, Column, scratch);
    slot.Primary = static_cast<uint32_t>(at);
    slot.PrimaryLength = static_cast<uint32_t>(primaries_.size() - at);
    if (date_) {
      TDateTime d = 0;
      if (TryStrToDateTime(PrimaryOf(slot), d, fs)) {
        slot.HasDate = true;
        slot.Date = d;
      }
    }
  }
}

int TRowKeyCache::FollowingIndex(TSlot& Slot) {
  if (Slot.Following < 0) {
    std::string text;
    std::wstring scratch;
    AppendFollowing(text, const_cast<TElTreeItem*>(Slot.Owner), column_, sections_, scratch);
    Slot.Following = static_cast<int32_t>(following_.size());
    following_.push_back(std::move(text));
  }
  return Slot.Following;
}

int TRowKeyCache::Compare(int A, int B) {
  TSlot& a = slots_[static_cast<size_t>(A)];
  TSlot& b = slots_[static_cast<size_t>(B)];
  if (a.HasDate != b.HasDate) return a.HasDate ? 1 : -1;
  if (a.HasDate) {
    if (a.Date != b.Date) return a.Date < b.Date ? -1 : 1;
    const int fa = FollowingIndex(a), fb = FollowingIndex(b);
    return Sign(following_[static_cast<size_t>(fa)].compare(following_[static_cast<size_t>(fb)]));
  }
  // The key is the two texts joined: the sort column's texts decide unless
  // one is the other or begins it.
  const std::string_view pa = PrimaryOf(a), pb = PrimaryOf(b);
  const size_t n = std::min(pa.size(), pb.size());
  if (const int r = pa.substr(0, n).compare(pb.substr(0, n))) return Sign(r);
  const int fa = FollowingIndex(a), fb = FollowingIndex(b);
  return CompareJoined(pa.substr(n), following_[static_cast<size_t>(fa)], pb.substr(n),
                       following_[static_cast<size_t>(fb)]);
}

std::string TRowKeyCache::KeyText(int Index) {
  TSlot& slot = slots_[static_cast<size_t>(Index)];
  std::string text(PrimaryOf(slot));
  text += following_[static_cast<size_t>(FollowingIndex(slot))];
  return text;
}

void TRowKeyCache::IndexRows() {
  indexed_ = true;
  const size_t n = slots_.size();
  if (n == 0) return;
  uint64_t lo = UINT64_MAX, hi = 0;
  for (const TSlot& s : slots_) {
    lo = std::min(lo, s.Owner->Serial());
    hi = std::max(hi, s.Owner->Serial());
  }
  const uint64_t span = hi - lo + 1;
  if (span <= 4 * static_cast<uint64_t>(n) + 1024) {
    firstSerial_ = lo;
    bySerial_.assign(static_cast<size_t>(span), -1);
    for (size_t i = 0; i < n; ++i) bySerial_[static_cast<size_t>(slots_[i].Owner->Serial() - lo)] = static_cast<int32_t>(i);
  } else {
    byItem_.reserve(n);
    for (size_t i = 0; i < n; ++i) byItem_.emplace(slots_[i].Owner, static_cast<int32_t>(i));
  }
}

int TRowKeyCache::IndexOf(const TElTreeItem* Item, int Position) {
  if (!tree_ || !Item) return -1;
  if (Position >= 0 && static_cast<size_t>(Position) < slots_.size() && slots_[static_cast<size_t>(Position)].Owner == Item)
    return Position;
  if (!indexed_) IndexRows();
  if (!bySerial_.empty()) {
    const uint64_t s = Item->Serial();
    if (s < firstSerial_ || s - firstSerial_ >= bySerial_.size()) return -1;
    const int32_t i = bySerial_[static_cast<size_t>(s - firstSerial_)];
    return (i >= 0 && slots_[static_cast<size_t>(i)].Owner == Item) ? i : -1;
  }
  auto f = byItem_.find(Item);
  return f == byItem_.end() ? -1 : f->second;
}

}  // namespace morvane
