// TElList, the growable pointer list that the header, the tree and the hook
// chains keep their items in, and TElStack, the small pointer stack the tree
// walks its items with.
#pragma once

#include <functional>
#include <vector>

#include "platform/core/components.h"
#include "platform/core/exceptions.h"

namespace morvane {

MORVANE_EXCEPTION(EElListError, Exception);
MORVANE_EXCEPTION(EElStackError, Exception);

// Called for every item that leaves the list (Sender is the list).
using TElListDeleteEvent = std::function<void(TObject* Sender, void* Item)>;

// A list of untyped pointers. With AutoFreeItems the list owns its items and
// frees them as objects when they are deleted, replaced or cleared: an owned
// item must be a TObject and be stored as a TObject* (converted to void*).
class TElList : public TPersistent {
 public:
  // The largest capacity and count a list accepts.
  static constexpr int kMaxListSize = 0x7FFFFFF;

  TElList() = default;
  // Clears the list (notifications and freeing). A derived class that wants
  // its own Clear to run calls it in its own destructor.
  ~TElList() override;

  int Count() const { return count_; }
  int Capacity() const { return capacity_; }
  // The slot buffer; null while Capacity is 0. Readers may walk it directly
  // for indexes 0..Count-1.
  void** List() const { return capacity_ ? slots_.data() : nullptr; }
  void** List() { return capacity_ ? slots_.data() : nullptr; }

  bool AutoFreeItems() const { return autoFreeItems_; }
  void SetAutoFreeItems(bool v) { autoFreeItems_ = v; }
  TElListDeleteEvent OnItemDelete;

  int Add(void* Item);
  void Insert(int Index, void* Item);
  // Items[] read and write.
  virtual void* Get(int Index) const;
  void* ItemAt(int Index) const {
    if (Index < 0 || Index >= count_) RangeError(Index);
    return slots_[Index];
  }
  virtual void Put(int Index, void* Item);
  void* First() const;
  void* Last() const;
  int IndexOf(void* Item) const;
  int IndexOfFrom(int StartIndex, void* Item) const;
  int IndexOfBack(int StartIndex, void* Item) const;
  virtual void Delete(int Index);
  virtual void DeleteRange(int StartIndex, int EndIndex);
  int Remove(void* Item);
  virtual void Clear();
  void Move(int CurIndex, int NewIndex);
  void MoveRange(int CurStart, int CurEnd, int NewStart);
  void SetCapacity(int NewCapacity);
  void SetCount(int NewCount);
  void Assign(TPersistent* Source) override;

 protected:
  virtual void Grow();
  virtual void TriggerDeleteEvent(void* Item);
  std::string ClassName() const override { return "TElList"; }

 private:
  [[noreturn]] static void RangeError(long long Value);
  void CheckIndex(int Index) const {
    if (Index < 0 || Index >= count_) RangeError(Index);
  }
  void Reallocate(int NewCapacity);
  void GrowInline();
  void ShrinkIfSparse();
  static void FreeItem(void* Item);

  bool autoFreeItems_ = false;
  int capacity_ = 0;
  int count_ = 0;
  // Exactly Capacity slots.
  mutable std::vector<void*> slots_;
};

class TElStack : public TObject {
 public:
  TElStack() = default;
  // Releases the buffer; the items are not freed.
  ~TElStack() override = default;

  int Count() const { return count_; }
  int Capacity() const { return capacity_; }
  void** List() { return capacity_ ? slots_.data() : nullptr; }

  void Push(void* Item);
  void* Pop();
  void SetCapacity(int NewCapacity);

 private:
  int count_ = 0;
  int capacity_ = 0;
  std::vector<void*> slots_;
};

}  // namespace morvane
