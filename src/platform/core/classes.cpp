#include "platform/core/classes.h"

#include "platform/core/exceptions.h"
#include "platform/core/list_algorithms.h"
#include "platform/core/streams.h"
#include "platform/core/sysutils.h"
#include "platform/win32.h"

#include <algorithm>
#include <numeric>
#include <typeinfo>

namespace morvane {

namespace {

std::string FormatIndex(const char* msg, int data) {
  std::string s(msg);
  const size_t at = s.find("%d");
  if (at != std::string::npos) s.replace(at, 2, std::to_string(data));
  return s;
}

constexpr const char* kListIndexError = "List index out of bounds (%d)";
constexpr const char* kListCapacityError = "List capacity out of bounds (%d)";
constexpr const char* kListCountError = "List count out of bounds (%d)";
constexpr const char* kSortedListError = "Operation not allowed on sorted list";
constexpr const char* kDuplicateString = "String list does not allow duplicates";

}  // namespace

// ---- TList -----------------------------------------------------------------

TList::~TList() {
  // Subclasses that react to deletions have run their own destructor by now;
  // only the storage goes.
  items_.clear();
}

void TList::Error(const char* Msg, int Data) { throw EListError(FormatIndex(Msg, Data)); }

void TList::SetCount(int NewCount) {
  if (NewCount < 0) Error(kListCountError, NewCount);
  if (NewCount > Count()) {
    items_.resize(static_cast<size_t>(NewCount), nullptr);
  } else {
    while (Count() > NewCount) Delete(Count() - 1);
  }
}

void TList::SetCapacity(int NewCapacity) {
  if (NewCapacity < Count()) Error(kListCapacityError, NewCapacity);
  items_.reserve(static_cast<size_t>(NewCapacity));
}

void* TList::Items(int Index) const {
  if (Index < 0 || Index >= Count()) Error(kListIndexError, Index);
  return items_[static_cast<size_t>(Index)];
}

void TList::SetItems(int Index, void* Item) {
  if (Index < 0 || Index >= Count()) Error(kListIndexError, Index);
  void* old = items_[static_cast<size_t>(Index)];
  if (old == Item) return;
  items_[static_cast<size_t>(Index)] = Item;
  if (old) Notify(old, TListNotification::lnDeleted);
  if (Item) Notify(Item, TListNotification::lnAdded);
}

int TList::Add(void* Item) {
  const int index = Count();
  items_.push_back(Item);
  if (Item) Notify(Item, TListNotification::lnAdded);
  return index;
}

void TList::Insert(int Index, void* Item) {
  if (Index < 0 || Index > Count()) Error(kListIndexError, Index);
  items_.insert(items_.begin() + Index, Item);
  if (Item) Notify(Item, TListNotification::lnAdded);
}

void TList::Delete(int Index) {
  if (Index < 0 || Index >= Count()) Error(kListIndexError, Index);
  void* old = items_[static_cast<size_t>(Index)];
  items_.erase(items_.begin() + Index);
  if (old) Notify(old, TListNotification::lnDeleted);
}

int TList::Remove(void* Item) {
  const int index = IndexOf(Item);
  if (index >= 0) Delete(index);
  return index;
}

void* TList::Extract(void* Item) {
  const int index = IndexOf(Item);
  if (index < 0) return nullptr;
  items_.erase(items_.begin() + index);
  Notify(Item, TListNotification::lnExtracted);
  return Item;
}

int TList::IndexOf(void* Item) const {
  const auto it = std::find(items_.begin(), items_.end(), Item);
  return it == items_.end() ? -1 : static_cast<int>(it - items_.begin());
}

void TList::Exchange(int Index1, int Index2) {
  if (Index1 < 0 || Index1 >= Count()) Error(kListIndexError, Index1);
  if (Index2 < 0 || Index2 >= Count()) Error(kListIndexError, Index2);
  std::swap(items_[static_cast<size_t>(Index1)], items_[static_cast<size_t>(Index2)]);
}

void TList::Move(int CurIndex, int NewIndex) {
  if (CurIndex == NewIndex) return;
  if (NewIndex < 0 || NewIndex >= Count()) Error(kListIndexError, NewIndex);
  void* item = Items(CurIndex);
  items_.erase(items_.begin() + CurIndex);
  items_.insert(items_.begin() + NewIndex, item);
}

void TList::Pack() {
  items_.erase(std::remove(items_.begin(), items_.end(), nullptr), items_.end());
}

void TList::Clear() {
  SetCount(0);
  items_.shrink_to_fit();
}

void TList::Sort(const TListSortCompare& Compare) {
  if (Count() < 2) return;
  std::stable_sort(items_.begin(), items_.end(),
                   [&](void* a, void* b) { return Compare(a, b) < 0; });
}

// ---- TStrings --------------------------------------------------------------

void TStrings::Error(const char* Msg, int Data) { throw EStringListError(FormatIndex(Msg, Data)); }

int TStrings::CompareStrings(const std::string& S1, const std::string& S2) const {
  return AnsiCompareText(S1, S2);
}

int TStrings::Add(const std::string& S) {
  const int index = Count();
  Insert(index, S);
  return index;
}

int TStrings::AddObject(const std::string& S, TObject* AObject) {
  const int index = Add(S);
  PutObject(index, AObject);
  return index;
}

void TStrings::AddStrings(const TStrings& Strings) {
  BeginUpdate();
  try {
    for (int i = 0; i < Strings.Count(); ++i) AddObject(Strings.Get(i), Strings.GetObject(i));
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

void TStrings::InsertObject(int Index, const std::string& S, TObject* AObject) {
  Insert(Index, S);
  PutObject(Index, AObject);
}

void TStrings::Put(int Index, const std::string& S) {
  TObject* obj = GetObject(Index);
  Delete(Index);
  InsertObject(Index, S, obj);
}

void TStrings::Exchange(int Index1, int Index2) {
  BeginUpdate();
  try {
    const std::string s1 = Get(Index1);
    TObject* o1 = GetObject(Index1);
    Put(Index1, Get(Index2));
    PutObject(Index1, GetObject(Index2));
    Put(Index2, s1);
    PutObject(Index2, o1);
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

void TStrings::Move(int CurIndex, int NewIndex) {
  if (CurIndex == NewIndex) return;
  BeginUpdate();
  try {
    const std::string s = Get(CurIndex);
    TObject* obj = GetObject(CurIndex);
    Delete(CurIndex);
    InsertObject(NewIndex, s, obj);
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

void TStrings::Assign(TPersistent* Source) {
  if (auto* src = dynamic_cast<TStrings*>(Source)) {
    if (src == this) return;
    BeginUpdate();
    try {
      Clear();
      AddStrings(*src);
    } catch (...) {
      EndUpdate();
      throw;
    }
    EndUpdate();
    return;
  }
  TPersistent::Assign(Source);
}

bool TStrings::Equals(const TStrings& Strings) const {
  const int n = Count();
  if (n != Strings.Count()) return false;
  for (int i = 0; i < n; ++i)
    if (Get(i) != Strings.Get(i)) return false;
  return true;
}

int TStrings::IndexOf(const std::string& S) const {
  const int n = Count();
  for (int i = 0; i < n; ++i)
    if (CompareStrings(Get(i), S) == 0) return i;
  return -1;
}

int TStrings::IndexOfName(const std::string& Name) const {
  const int n = Count();
  for (int i = 0; i < n; ++i) {
    const std::string s = Get(i);
    const size_t eq = s.find('=');
    if (eq != std::string::npos && CompareStrings(s.substr(0, eq), Name) == 0) return i;
  }
  return -1;
}

int TStrings::IndexOfObject(TObject* AObject) const {
  const int n = Count();
  for (int i = 0; i < n; ++i)
    if (GetObject(i) == AObject) return i;
  return -1;
}

void TStrings::BeginUpdate() {
  if (updateCount_++ == 0) SetUpdateState(true);
}

void TStrings::EndUpdate() {
  // An unbalanced EndUpdate does nothing.
  if (updateCount_ == 0) return;
  if (--updateCount_ == 0) SetUpdateState(false);
}

std::string TStrings::Text() const {
  const int n = Count();
  std::string out;
  for (int i = 0; i < n; ++i) {
    out += Get(i);
    out += "\r\n";
  }
  return out;
}

void TStrings::SetText(std::string_view Value) {
  BeginUpdate();
  try {
    Clear();
    const size_t nul = Value.find('\0');
    if (nul != std::string_view::npos) Value = Value.substr(0, nul);
    size_t p = 0;
    while (p < Value.size()) {
      const size_t e = Value.find_first_of("\r\n", p);
      const size_t end = e == std::string_view::npos ? Value.size() : e;
      Add(std::string(Value.substr(p, end - p)));
      p = end;
      if (p < Value.size() && Value[p] == '\r') ++p;
      if (p < Value.size() && Value[p] == '\n') ++p;
    }
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

std::string TStrings::DelimitedText() const { return JoinDelimited(delimiter_, quoteChar_); }

void TStrings::SetDelimitedText(std::string_view Value) { SplitDelimited(Value, delimiter_, quoteChar_); }

std::string TStrings::CommaText() const { return JoinDelimited(',', '"'); }

void TStrings::SetCommaText(std::string_view Value) { SplitDelimited(Value, ',', '"'); }

std::string TStrings::JoinDelimited(char delimiter, char quote) const {
  const int n = Count();
  if (n == 1 && Get(0).empty()) return std::string(2, quote);
  std::string out;
  for (int i = 0; i < n; ++i) {
    const std::string s = Get(i);
    const bool quoted = std::any_of(s.begin(), s.end(), [&](char c) {
      return static_cast<unsigned char>(c) <= ' ' || c == quote || c == delimiter;
    });
    if (quoted) {
      out += quote;
      for (char c : s) {
        if (c == quote) out += quote;
        out += c;
      }
      out += quote;
    } else {
      out += s;
    }
    if (i + 1 < n) out += delimiter;
  }
  return out;
}

void TStrings::SplitDelimited(std::string_view Value, char delimiter, char quote) {
  const size_t nul = Value.find('\0');
  if (nul != std::string_view::npos) Value = Value.substr(0, nul);
  auto blank = [](char c) { return static_cast<unsigned char>(c) <= ' '; };
  BeginUpdate();
  try {
    Clear();
    size_t p = 0;
    const size_t n = Value.size();
    while (p < n && blank(Value[p])) ++p;
    while (p < n) {
      std::string s;
      if (Value[p] == quote) {
        ++p;
        while (p < n) {
          if (Value[p] == quote) {
            if (p + 1 < n && Value[p + 1] == quote) {
              s += quote;
              p += 2;
              continue;
            }
            ++p;
            break;
          }
          s += Value[p++];
        }
      } else {
        const size_t start = p;
        while (p < n && !blank(Value[p]) && Value[p] != delimiter) ++p;
        s.assign(Value.substr(start, p - start));
      }
      Add(s);
      while (p < n && blank(Value[p])) ++p;
      if (p < n && Value[p] == delimiter) {
        // A delimiter at the very end stands for one more, empty item.
        if (p + 1 == n) Add(std::string());
        do {
          ++p;
        } while (p < n && blank(Value[p]));
      }
    }
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

std::string TStrings::Names(int Index) const {
  const std::string s = Get(Index);
  const size_t eq = s.find('=');
  return eq == std::string::npos ? std::string() : s.substr(0, eq);
}

std::string TStrings::Values(const std::string& Name) const {
  const int i = IndexOfName(Name);
  return i < 0 ? std::string() : ValueFromIndex(i);
}

void TStrings::SetValues(const std::string& Name, const std::string& Value) {
  int i = IndexOfName(Name);
  if (!Value.empty()) {
    if (i < 0) i = Add(std::string());
    Put(i, Name + "=" + Value);
  } else if (i >= 0) {
    Delete(i);
  }
}

std::string TStrings::ValueFromIndex(int Index) const {
  const std::string s = Get(Index);
  const size_t eq = s.find('=');
  return eq == std::string::npos ? std::string() : s.substr(eq + 1);
}

void TStrings::LoadFromStream(TStream& Stream) {
  const int64_t n = Stream.Size() - Stream.Position();
  std::string bytes(static_cast<size_t>(std::max<int64_t>(n, 0)), '\0');
  if (!bytes.empty()) Stream.ReadBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
  SetText(bytes);
}

void TStrings::SaveToStream(TStream& Stream) const {
  const std::string s = Text();
  if (!s.empty()) Stream.WriteBuffer(s.data(), static_cast<int64_t>(s.size()));
}

void TStrings::LoadFromFile(const std::string& FileName) {
  TFileStream f(FileName, fmOpenRead | fmShareDenyWrite);
  LoadFromStream(f);
}

void TStrings::SaveToFile(const std::string& FileName) const {
  TFileStream f(FileName, fmCreate);
  SaveToStream(f);
}

// ---- TStringList -----------------------------------------------------------

TStringList::~TStringList() {
  OnChange = nullptr;
  OnChanging = nullptr;
}

void TStringList::CheckIndex(int Index) const {
  if (Index < 0 || Index >= Count()) Error(kListIndexError, Index);
}

const std::string& TStringList::Strings(int Index) const {
  CheckIndex(Index);
  return items_[static_cast<size_t>(Index)].s;
}

std::string TStringList::Get(int Index) const { return Strings(Index); }

TObject* TStringList::GetObject(int Index) const {
  CheckIndex(Index);
  return items_[static_cast<size_t>(Index)].obj;
}

void TStringList::Changed() { FireListEvent(OnChange, this, UpdateCount()); }

void TStringList::Changing() { FireListEvent(OnChanging, this, UpdateCount()); }

void TStringList::SetUpdateState(bool Updating) {
  if (Updating)
    Changing();
  else
    Changed();
}

int TStringList::CompareStrings(const std::string& S1, const std::string& S2) const {
  return caseSensitive_ ? AnsiCompareStr(S1, S2) : AnsiCompareText(S1, S2);
}

int TStringList::Add(const std::string& S) { return AddObject(S, nullptr); }

int TStringList::AddObject(const std::string& S, TObject* AObject) {
  int index = Count();
  if (sorted_ && Find(S, index)) {
    if (duplicates_ == dupIgnore) return index;
    if (duplicates_ == dupError) Error(kDuplicateString, 0);
  }
  InsertItem(index, S, AObject);
  return index;
}

void TStringList::Insert(int Index, const std::string& S) { InsertObject(Index, S, nullptr); }

void TStringList::InsertObject(int Index, const std::string& S, TObject* AObject) {
  if (sorted_) Error(kSortedListError, 0);
  if (Index < 0 || Index > Count()) Error(kListIndexError, Index);
  InsertItem(Index, S, AObject);
}

void TStringList::InsertItem(int Index, const std::string& S, TObject* AObject) {
  Changing();
  items_.insert(items_.begin() + Index, Item{S, AObject});
  Changed();
}

void TStringList::Delete(int Index) {
  CheckIndex(Index);
  Changing();
  items_.erase(items_.begin() + Index);
  Changed();
}

void TStringList::Clear() {
  if (items_.empty()) return;
  Changing();
  items_.clear();
  items_.shrink_to_fit();
  Changed();
}

void TStringList::Exchange(int Index1, int Index2) {
  CheckIndex(Index1);
  CheckIndex(Index2);
  Changing();
  std::swap(items_[static_cast<size_t>(Index1)], items_[static_cast<size_t>(Index2)]);
  Changed();
}

void TStringList::Put(int Index, const std::string& S) {
  if (sorted_) Error(kSortedListError, 0);
  CheckIndex(Index);
  Changing();
  items_[static_cast<size_t>(Index)].s = S;
  Changed();
}

void TStringList::PutObject(int Index, TObject* AObject) {
  CheckIndex(Index);
  Changing();
  items_[static_cast<size_t>(Index)].obj = AObject;
  Changed();
}

bool TStringList::Find(const std::string& S, int& Index) const {
  return FindInSorted(
      Count(), duplicates_, [&](int i) { return CompareStrings(items_[static_cast<size_t>(i)].s, S); }, Index);
}

int TStringList::IndexOf(const std::string& S) const {
  if (!sorted_) return TStrings::IndexOf(S);
  int index = -1;
  return Find(S, index) ? index : -1;
}

void TStringList::SortItems(const std::function<int(const Item&, const Item&)>& Compare) {
  if (Count() < 2) return;
  Changing();
  std::stable_sort(items_.begin(), items_.end(),
                   [&](const Item& a, const Item& b) { return Compare(a, b) < 0; });
  Changed();
}

bool TStringList::SortByLocaleKeys() {
  // The locale's sort keys order strings as CompareStringA does, and each
  // string's key is made once instead of at every comparison (which costs
  // most under Wine). A class with its own CompareStrings sorts by that.
  if (typeid(*this) != typeid(TStringList)) return false;
  const DWORD flags = LCMAP_SORTKEY | (caseSensitive_ ? 0 : NORM_IGNORECASE);
  std::vector<std::string> keys(items_.size());
  for (size_t i = 0; i < items_.size(); ++i) {
    const std::string& s = items_[i].s;
    const int n = ::LCMapStringA(LOCALE_USER_DEFAULT, flags, s.data(), static_cast<int>(s.size()),
                                 nullptr, 0);
    if (n <= 0 && !s.empty()) return false;
    keys[i].resize(static_cast<size_t>(std::max(n, 0)));
    if (n > 0 && ::LCMapStringA(LOCALE_USER_DEFAULT, flags, s.data(), static_cast<int>(s.size()),
                                keys[i].data(), n) != n)
      return false;
  }
  std::vector<size_t> order(items_.size());
  std::iota(order.begin(), order.end(), size_t{0});
  std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) { return keys[a] < keys[b]; });
  Changing();
  std::vector<Item> sorted;
  sorted.reserve(items_.size());
  for (size_t i : order) sorted.push_back(std::move(items_[i]));
  items_ = std::move(sorted);
  Changed();
  return true;
}

void TStringList::Sort() {
  if (sorted_ || Count() < 2) return;
  if (SortByLocaleKeys()) return;
  SortItems([this](const Item& a, const Item& b) { return CompareStrings(a.s, b.s); });
}

void TStringList::CustomSort(const TStringListSortCompare& Compare) {
  if (sorted_ || Count() < 2) return;
  // The callback sees indices into the list as it stands, so sort a
  // permutation and apply it afterwards.
  std::vector<int> order(items_.size());
  std::iota(order.begin(), order.end(), 0);
  std::stable_sort(order.begin(), order.end(),
                   [&](int a, int b) { return Compare(*this, a, b) < 0; });
  Changing();
  std::vector<Item> sorted;
  sorted.reserve(items_.size());
  for (int i : order) sorted.push_back(std::move(items_[static_cast<size_t>(i)]));
  items_ = std::move(sorted);
  Changed();
}

void TStringList::SetSorted(bool Value) {
  if (sorted_ == Value) return;
  if (Value) Sort();
  sorted_ = Value;
}

void TStringList::SetCaseSensitive(bool Value) {
  if (caseSensitive_ == Value) return;
  caseSensitive_ = Value;
  // A sorted list must be in the new order, or Find would miss strings.
  if (sorted_) {
    sorted_ = false;
    Sort();
    sorted_ = true;
  }
}

void TStringList::SetCapacity(int NewCapacity) {
  if (NewCapacity < Count()) Error(kListCapacityError, NewCapacity);
  items_.reserve(static_cast<size_t>(NewCapacity));
}

}  // namespace morvane
