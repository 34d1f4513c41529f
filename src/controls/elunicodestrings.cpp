#include "controls/elunicodestrings.h"

#include <algorithm>
#include <cstring>
#include <exception>

#include "controls/elresources.h"
#include "controls/stream_codec.h"
#include "platform/core/classes.h"
#include "platform/core/exceptions.h"
#include "platform/core/list_algorithms.h"
#include "platform/core/streams.h"
#include "platform/core/sysutils.h"

namespace morvane {

namespace {

// Closes an update bracket also when the work inside it raises.
class TUpdateScope {
 public:
  explicit TUpdateScope(TElWideStrings& s) : s_(s) { s_.BeginUpdate(); }
  ~TUpdateScope() noexcept(false) {
    if (std::uncaught_exceptions() > pending_) {
      try {
        s_.EndUpdate();
      } catch (...) {
      }
    } else {
      s_.EndUpdate();
    }
  }
  TUpdateScope(const TUpdateScope&) = delete;
  TUpdateScope& operator=(const TUpdateScope&) = delete;

 private:
  TElWideStrings& s_;
  int pending_ = std::uncaught_exceptions();
};

// The rest of a stream, from its position.
std::string ReadRest(TStream& Stream) {
  const int64_t size = Stream.Size() - Stream.Position();
  std::string bytes(static_cast<size_t>(std::max<int64_t>(size, 0)), '\0');
  if (!bytes.empty()) bytes.resize(static_cast<size_t>(Stream.Read(bytes.data(), static_cast<int64_t>(bytes.size()))));
  return bytes;
}

elcodec::TBytes AsBytes(const std::string& s) {
  return elcodec::TBytes(reinterpret_cast<const uint8_t*>(s.data()), s.size());
}

}  // namespace

// ---- TElWideStrings ----

void TElWideStrings::Error(const char* Msg, int Data) { throw EStringListError(ElResFormat(Msg, Data)); }

void TElWideStrings::BeginUpdate() {
  if (updateCount_ == 0) SetUpdateState(true);
  ++updateCount_;
}

void TElWideStrings::EndUpdate() {
  if (updateCount_ == 0) return;  // unbalanced: nothing to close
  if (--updateCount_ == 0) SetUpdateState(false);
}

int TElWideStrings::Add(const WideString& S) {
  const int i = GetCount();
  Insert(i, S);
  return i;
}

int TElWideStrings::AddObject(const WideString& S, TObject* AObject) {
  const int i = Add(S);
  PutObject(i, AObject);
  return i;
}

void TElWideStrings::InsertObject(int Index, const WideString& S, TObject* AObject) {
  Insert(Index, S);
  PutObject(Index, AObject);
}

void TElWideStrings::AddStrings(TElWideStrings& Source) {
  TUpdateScope scope(*this);
  const int n = Source.GetCount();
  for (int i = 0; i < n; ++i) AddObject(Source.Get(i), Source.GetObject(i));
}

void TElWideStrings::Assign(TPersistent* Source) {
  if (auto* wide = dynamic_cast<TElWideStrings*>(Source)) {
    // Clearing first would leave nothing to copy.
    if (wide == this) return;
    TUpdateScope scope(*this);
    Clear();
    AddStrings(*wide);
    return;
  }
  if (auto* strings = dynamic_cast<TStrings*>(Source)) {
    // Item by item: a joined text would split items that hold line breaks
    // and put their objects on the wrong items.
    TUpdateScope scope(*this);
    Clear();
    const int n = strings->Count();
    for (int i = 0; i < n; ++i) AddObject(AnsiToWide(strings->Strings(i)), strings->Objects(i));
    return;
  }
  TPersistent::Assign(Source);
}

void TElWideStrings::AssignTo(TPersistent* Dest) {
  if (auto* wide = dynamic_cast<TElWideStrings*>(Dest)) {
    wide->Assign(this);
    return;
  }
  if (auto* strings = dynamic_cast<TStrings*>(Dest)) {
    strings->BeginUpdate();
    try {
      strings->Clear();
      const int n = GetCount();
      for (int i = 0; i < n; ++i) strings->AddObject(WideToAnsi(Get(i)), GetObject(i));
    } catch (...) {
      strings->EndUpdate();
      throw;
    }
    strings->EndUpdate();
    return;
  }
  TPersistent::AssignTo(Dest);
}

bool TElWideStrings::Equals(const TElWideStrings& Other) const {
  const int n = GetCount();
  if (n != Other.GetCount()) return false;
  for (int i = 0; i < n; ++i)
    if (Get(i) != Other.Get(i)) return false;
  return true;
}

void TElWideStrings::Exchange(int Index1, int Index2) {
  TUpdateScope scope(*this);
  const WideString s = Get(Index1);
  TObject* o = GetObject(Index1);
  Put(Index1, Get(Index2));
  PutObject(Index1, GetObject(Index2));
  Put(Index2, s);
  PutObject(Index2, o);
}

void TElWideStrings::Move(int CurIndex, int NewIndex) {
  if (CurIndex == NewIndex) return;
  TUpdateScope scope(*this);
  const WideString s = Get(CurIndex);
  TObject* o = GetObject(CurIndex);
  Delete(CurIndex);
  InsertObject(NewIndex, s, o);
}

void TElWideStrings::Put(int Index, const WideString& S) {
  TObject* o = GetObject(Index);
  Delete(Index);
  InsertObject(Index, S, o);
}

WideString TElWideStrings::GetTextStr() const {
  const int n = GetCount();
  size_t len = 0;
  for (int i = 0; i < n; ++i) len += Get(i).size() + 2;
  WideString r;
  r.reserve(len);
  for (int i = 0; i < n; ++i) {
    r += Get(i);
    r += L"\r\n";
  }
  return r;
}

std::unique_ptr<wchar_t[]> TElWideStrings::GetText() const {
  const WideString t = GetTextStr();
  std::unique_ptr<wchar_t[]> p(new wchar_t[t.size() + 1]);
  std::memcpy(p.get(), t.c_str(), sizeof(wchar_t) * (t.size() + 1));
  return p;
}

void TElWideStrings::SetTextStr(const WideString& Value) {
  TUpdateScope scope(*this);
  Clear();
  for (const WideString& line : elcodec::SplitLines(Value)) Add(line);
}

void TElWideStrings::SetText(const wchar_t* Text) { SetTextStr(WideFromPWide(Text)); }

int TElWideStrings::IndexOf(const WideString& S) const {
  const int n = GetCount();
  for (int i = 0; i < n; ++i)
    if (WideStrComp(Get(i).c_str(), S.c_str()) == 0) return i;
  return -1;
}

void TElWideStrings::LoadFromFile(const std::string& FileName) {
  TFileStream stream(FileName, fmOpenRead | fmShareDenyWrite);
  LoadFromStream(stream);
}

void TElWideStrings::SaveToFile(const std::string& FileName) {
  TFileStream stream(FileName, fmCreate);
  SaveToStream(stream);
}

void TElWideStrings::LoadFromStream(TStream& Stream) {
  TUpdateScope scope(*this);
  const std::string bytes = ReadRest(Stream);
  elcodec::TDecodedText text = elcodec::DecodeText(AsBytes(bytes));
  saveUnicode_ = text.Unicode;
  SetTextStr(text.Unicode ? text.Wide : AnsiToWide(text.Ansi));
}

void TElWideStrings::SaveToStream(TStream& Stream) {
  const WideString text = GetTextStr();
  saved_ = false;
  std::string bytes;
  if (saveUnicode_) {
    bytes = "\xFF\xFE";
    elcodec::AppendLE(bytes, text);
  } else {
    bytes = WideToAnsi(text);
  }
  Stream.WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
  saved_ = true;
}

void TElWideStrings::WriteStringsProperty(TStream& Stream) const {
  std::vector<WideString> items;
  const int n = GetCount();
  items.reserve(static_cast<size_t>(n));
  for (int i = 0; i < n; ++i) items.push_back(Get(i));
  std::string bytes;
  elcodec::EncodeStrings(bytes, items);
  Stream.WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
}

void TElWideStrings::ReadStringsProperty(TStream& Stream) {
  const int64_t start = Stream.Position();
  const std::string bytes = ReadRest(Stream);
  // Not a list at all: the items stay as they are.
  if (bytes.empty() || bytes[0] != '\x01') {
    Stream.SetPosition(start + (bytes.empty() ? 0 : 1));
    throw EReadError(ElResString(bytes.empty() ? elres::SStreamReadError : elres::SWideStringsReadError));
  }
  size_t pos = 0;
  std::vector<elcodec::TStringsItem> items;
  const elcodec::TStringsResult r = elcodec::DecodeStrings(AsBytes(bytes), pos, items);
  // Leave the stream right after what the list took.
  Stream.SetPosition(start + static_cast<int64_t>(pos));
  {
    TUpdateScope scope(*this);
    Clear();
    for (const elcodec::TStringsItem& item : items) Add(item.Wide ? item.W : AnsiToWide(item.A));
  }
  if (r == elcodec::TStringsResult::BadValue) throw EReadError(ElResString(elres::SWideStringsReadError));
  if (r == elcodec::TStringsResult::Short) throw EReadError(ElResString(elres::SStreamReadError));
}

// ---- TElWideStringList ----

TElWideStringList::~TElWideStringList() {
  OnChange = nullptr;
  OnChanging = nullptr;
}

void TElWideStringList::Changed() { FireListEvent(OnChange, this, UpdateCount()); }

void TElWideStringList::Changing() { FireListEvent(OnChanging, this, UpdateCount()); }

void TElWideStringList::SetUpdateState(bool Updating) {
  if (Updating)
    Changing();
  else
    Changed();
}

void TElWideStringList::CheckIndex(int Index) const {
  if (Index < 0 || Index >= count_) Error(elres::SStringsIndexError, Index);
}

WideString TElWideStringList::Get(int Index) const {
  CheckIndex(Index);
  return list_[Index].FString;
}

const WideString& TElWideStringList::GetRef(int Index) const {
  CheckIndex(Index);
  return list_[Index].FString;
}

TObject* TElWideStringList::GetObject(int Index) const {
  CheckIndex(Index);
  return list_[Index].FObject;
}

void TElWideStringList::Put(int Index, const WideString& S) {
  if (sorted_) Error(elres::SStringsSortedListError, 0);
  CheckIndex(Index);
  Changing();
  list_[Index].FString = S;
  Changed();
}

void TElWideStringList::PutObject(int Index, TObject* AObject) {
  CheckIndex(Index);
  Changing();
  list_[Index].FObject = AObject;
  Changed();
}

void TElWideStringList::SetCapacity(int NewCapacity) {
  // Fewer entries than are in use would cut live strings off.
  if (NewCapacity < count_) Error(elres::SStringsCapacityError, NewCapacity);
  if (NewCapacity == 0) {
    std::vector<TWideStringItem>().swap(list_);
  } else {
    list_.resize(static_cast<size_t>(NewCapacity));
    if (list_.capacity() > list_.size() + list_.size() / 2) list_.shrink_to_fit();
  }
  capacity_ = NewCapacity;
}

void TElWideStringList::Grow() {
  int delta;
  if (capacity_ > 64)
    delta = capacity_ / 4;
  else if (capacity_ > 8)
    delta = 16;
  else
    delta = 4;
  SetCapacity(capacity_ + delta);
}

void TElWideStringList::InsertItem(int Index, const WideString& S) {
  Changing();
  if (count_ == capacity_) Grow();
  if (Index < count_) std::move_backward(list_.begin() + Index, list_.begin() + count_, list_.begin() + count_ + 1);
  list_[Index].FString = S;
  list_[Index].FObject = nullptr;
  ++count_;
  Changed();
}

int TElWideStringList::Add(const WideString& S) {
  int index;
  if (!sorted_) {
    index = count_;
  } else if (Find(S, index)) {
    if (duplicates_ == dupIgnore) return index;
    if (duplicates_ == dupError) Error(elres::SStringsDuplicateString, 0);
  }
  InsertItem(index, S);
  return index;
}

void TElWideStringList::Insert(int Index, const WideString& S) {
  if (sorted_) Error(elres::SStringsSortedListError, 0);
  if (Index < 0 || Index > count_) Error(elres::SStringsIndexError, Index);
  InsertItem(Index, S);
}

void TElWideStringList::Delete(int Index) {
  CheckIndex(Index);
  Changing();
  std::move(list_.begin() + Index + 1, list_.begin() + count_, list_.begin() + Index);
  --count_;
  list_[count_] = TWideStringItem();
  Changed();
}

void TElWideStringList::Clear() {
  if (count_ == 0) return;
  Changing();
  count_ = 0;
  SetCapacity(0);
  Changed();
}

void TElWideStringList::ExchangeItems(int Index1, int Index2) {
  std::swap(list_[Index1], list_[Index2]);
}

void TElWideStringList::Exchange(int Index1, int Index2) {
  CheckIndex(Index1);
  CheckIndex(Index2);
  Changing();
  ExchangeItems(Index1, Index2);
  Changed();
}

bool TElWideStringList::Find(const WideString& S, int& Index) const {
  return FindInSorted(
      count_, duplicates_, [&](int i) { return WideCompareOrdinal(list_[i].FString, S); }, Index);
}

int TElWideStringList::IndexOf(const WideString& S) const {
  if (!sorted_) return TElWideStrings::IndexOf(S);
  int i;
  return Find(S, i) ? i : -1;
}

template <class Compare>
void TElWideStringList::QuickSort(int L, int R, Compare& compare) {
  // Hoare partition on indexes; the pivot index follows its entry when it
  // is swapped.
  while (L < R) {
    int i = L, j = R, p = (L + R) / 2;
    do {
      while (compare(i, p) < 0) ++i;
      while (compare(j, p) > 0) --j;
      if (i <= j) {
        if (i != j) ExchangeItems(i, j);
        if (p == i)
          p = j;
        else if (p == j)
          p = i;
        ++i;
        --j;
      }
    } while (i <= j);
    if (L < j) QuickSort(L, j, compare);
    L = i;
  }
}

void TElWideStringList::CustomSort(const TElWideStringListSortCompare& Compare) {
  if (sorted_ || count_ < 2) return;
  Changing();
  auto cmp = [&](int a, int b) { return Compare(this, a, b); };
  QuickSort(0, count_ - 1, cmp);
  Changed();
}

void TElWideStringList::Sort() {
  if (sorted_ || count_ < 2) return;
  Changing();
  auto cmp = [this](int a, int b) { return WideCompareOrdinal(list_[a].FString, list_[b].FString); };
  QuickSort(0, count_ - 1, cmp);
  Changed();
}

}  // namespace morvane
