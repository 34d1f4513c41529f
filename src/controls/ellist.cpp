#include "controls/ellist.h"

#include <algorithm>
#include <cstring>

#include "controls/elresources.h"

namespace morvane {

TElList::~TElList() { TElList::Clear(); }

void TElList::RangeError(long long Value) {
  throw EElListError(ElResFormat(elres::SListIndexOutOfBounds, Value));
}

void TElList::Reallocate(int NewCapacity) {
  if (NewCapacity == 0) {
    std::vector<void*>().swap(slots_);
  } else {
    slots_.resize(static_cast<size_t>(NewCapacity));
    if (slots_.capacity() > slots_.size() * 2) slots_.shrink_to_fit();
  }
  capacity_ = NewCapacity;
}

void TElList::GrowInline() {
  Reallocate(capacity_ + std::min(2 * count_ + 1, 1280));
}

void TElList::Grow() { GrowInline(); }

void TElList::ShrinkIfSparse() {
  if (count_ < (capacity_ >> 1)) Reallocate(capacity_ >> 1);
}

void TElList::FreeItem(void* Item) {
  // A failing destructor must not leave the list half-changed.
  try {
    delete static_cast<TObject*>(Item);
  } catch (...) {
  }
}

void TElList::TriggerDeleteEvent(void* Item) {
  if (OnItemDelete) OnItemDelete(this, Item);
}

int TElList::Add(void* Item) {
  if (count_ == capacity_) GrowInline();
  slots_[count_] = Item;
  return count_++;
}

void TElList::Insert(int Index, void* Item) {
  if (Index < 0 || Index > count_) RangeError(Index);
  if (count_ == capacity_) GrowInline();
  void** p = slots_.data();
  if (Index < count_) std::memmove(p + Index + 1, p + Index, sizeof(void*) * (count_ - Index));
  p[Index] = Item;
  ++count_;
}

void* TElList::Get(int Index) const {
  CheckIndex(Index);
  return slots_[Index];
}

void TElList::Put(int Index, void* Item) {
  CheckIndex(Index);
  void* old = slots_[Index];
  // Storing the item that is already there must not free it.
  if (old == Item) return;
  if (old) {
    TriggerDeleteEvent(old);
    if (autoFreeItems_) FreeItem(old);
  }
  slots_[Index] = Item;
}

void* TElList::First() const {
  CheckIndex(0);
  return slots_[0];
}

void* TElList::Last() const { return count_ ? slots_[count_ - 1] : nullptr; }

int TElList::IndexOf(void* Item) const {
  for (int i = 0; i < count_; ++i)
    if (slots_[i] == Item) return i;
  return -1;
}

int TElList::IndexOfFrom(int StartIndex, void* Item) const {
  CheckIndex(StartIndex);
  for (int i = StartIndex; i < count_; ++i)
    if (slots_[i] == Item) return i;
  return -1;
}

int TElList::IndexOfBack(int StartIndex, void* Item) const {
  CheckIndex(StartIndex);
  for (int i = StartIndex; i >= 0; --i)
    if (slots_[i] == Item) return i;
  return -1;
}

void TElList::Delete(int Index) {
  CheckIndex(Index);
  void* item = slots_[Index];
  if (item) {
    TriggerDeleteEvent(item);
    if (autoFreeItems_) FreeItem(item);
  }
  // The notification may have changed the list; remove the slot as it is now.
  if (Index >= count_) return;
  void** p = slots_.data();
  std::memmove(p + Index, p + Index + 1, sizeof(void*) * (count_ - Index - 1));
  --count_;
  ShrinkIfSparse();
}

void TElList::DeleteRange(int StartIndex, int EndIndex) {
  CheckIndex(StartIndex);
  CheckIndex(EndIndex);
  if (EndIndex < StartIndex) RangeError(EndIndex);
  for (int i = StartIndex; i <= EndIndex && i < count_; ++i) TriggerDeleteEvent(slots_[i]);
  if (EndIndex >= count_) EndIndex = count_ - 1;
  if (StartIndex > EndIndex) return;
  void** p = slots_.data();
  std::memmove(p + StartIndex, p + EndIndex + 1, sizeof(void*) * (count_ - EndIndex - 1));
  count_ -= EndIndex - StartIndex + 1;
  ShrinkIfSparse();
}

int TElList::Remove(void* Item) {
  const int i = IndexOf(Item);
  if (i < 0) return -1;
  TriggerDeleteEvent(Item);
  if (i < count_ && slots_[i] == Item) {
    void** p = slots_.data();
    std::memmove(p + i, p + i + 1, sizeof(void*) * (count_ - i - 1));
    --count_;
    ShrinkIfSparse();
  }
  return i;
}

void TElList::Clear() {
  for (int i = 0; i < count_; ++i) TriggerDeleteEvent(slots_[i]);
  if (autoFreeItems_) {
    for (int i = 0; i < count_; ++i) {
      void* item = Get(i);
      if (item) FreeItem(item);
    }
  }
  count_ = 0;
  Reallocate(0);
}

void TElList::Move(int CurIndex, int NewIndex) {
  if (CurIndex == NewIndex) return;
  CheckIndex(CurIndex);
  CheckIndex(NewIndex);
  void** p = slots_.data();
  void* item = p[CurIndex];
  if (CurIndex < NewIndex)
    std::memmove(p + CurIndex, p + CurIndex + 1, sizeof(void*) * (NewIndex - CurIndex));
  else
    std::memmove(p + NewIndex + 1, p + NewIndex, sizeof(void*) * (CurIndex - NewIndex));
  p[NewIndex] = item;
}

void TElList::MoveRange(int CurStart, int CurEnd, int NewStart) {
  if (NewStart == CurStart) return;
  CheckIndex(CurStart);
  CheckIndex(CurEnd);
  CheckIndex(NewStart);
  // An inverted range would give a block of negative size.
  if (CurEnd < CurStart) RangeError(CurEnd);
  if (NewStart >= CurStart && NewStart <= CurEnd) RangeError(NewStart);
  const int n = CurEnd - CurStart + 1;
  void** p = slots_.data();
  std::vector<void*> block(p + CurStart, p + CurEnd + 1);
  if (NewStart < CurStart) {
    std::memmove(p + NewStart + n, p + NewStart, sizeof(void*) * (CurStart - NewStart));
    std::memcpy(p + NewStart, block.data(), sizeof(void*) * n);
  } else {
    // The block ends up right before the item that stood at NewStart.
    std::memmove(p + CurStart, p + CurEnd + 1, sizeof(void*) * (NewStart - CurEnd - 1));
    std::memcpy(p + NewStart - n, block.data(), sizeof(void*) * n);
  }
}

void TElList::SetCapacity(int NewCapacity) {
  if (NewCapacity < count_ || NewCapacity > kMaxListSize) RangeError(NewCapacity);
  if (NewCapacity != capacity_) Reallocate(NewCapacity);
}

void TElList::SetCount(int NewCount) {
  if (NewCount < 0 || NewCount > kMaxListSize) RangeError(NewCount);
  if (NewCount > capacity_) SetCapacity(NewCount);
  if (NewCount > count_)
    std::fill(slots_.begin() + count_, slots_.begin() + NewCount, nullptr);
  count_ = NewCount;
}

void TElList::Assign(TPersistent* Source) {
  if (auto* src = dynamic_cast<TElList*>(Source)) {
    // Assigning a list to itself would empty it (and free what it owns).
    if (src == this) return;
    Clear();
    SetCapacity(src->capacity_);
    SetCount(src->count_);
    if (count_) std::memcpy(slots_.data(), src->slots_.data(), sizeof(void*) * count_);
    return;
  }
  TPersistent::Assign(Source);
}

// ---- TElStack ----

void TElStack::Push(void* Item) {
  if (count_ == capacity_) {
    int delta;
    if (capacity_ <= 8)
      delta = 4;
    else if (capacity_ <= 64)
      delta = 16;
    else
      delta = capacity_ / 4;
    SetCapacity(capacity_ + delta);
  }
  slots_[count_++] = Item;
}

void* TElStack::Pop() {
  if (count_ == 0) throw EElStackError(ElResString(elres::SStackEmpty));
  void* item = slots_[--count_];
  if (count_ < capacity_ / 2) SetCapacity(capacity_ / 2);
  return item;
}

void TElStack::SetCapacity(int NewCapacity) {
  if (NewCapacity < count_ || NewCapacity > TElList::kMaxListSize)
    throw EElStackError(ElResString(elres::SStackCapacity));
  if (NewCapacity == capacity_) return;
  slots_.resize(static_cast<size_t>(NewCapacity));
  capacity_ = NewCapacity;
}

}  // namespace morvane
