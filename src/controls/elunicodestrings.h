// TElWideStrings, the control family's list of UTF-16 strings with an object
// beside each, and TElWideStringList, its array-backed form with an optional
// sorted mode. They behave as the toolkit's TStrings/TStringList, on wide
// strings, and read and write text with or without a byte-order mark.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "controls/elstrutils.h"
#include "platform/core/classes.h"
#include "platform/core/components.h"

namespace morvane {

class TStream;

class TElWideStrings : public TPersistent {
 public:
  TElWideStrings() = default;

  void BeginUpdate();
  void EndUpdate();
  int UpdateCount() const { return updateCount_; }
  // True after LoadFromStream read a byte-order mark; decides how
  // SaveToStream writes.
  bool SaveUnicode() const { return saveUnicode_; }
  void SetSaveUnicode(bool v) { saveUnicode_ = v; }
  bool Saved() const { return saved_; }

  virtual WideString Get(int Index) const = 0;
  virtual int GetCapacity() const { return GetCount(); }
  virtual int GetCount() const = 0;
  virtual TObject* GetObject(int Index) const { return nullptr; }
  virtual WideString GetTextStr() const;
  virtual void Put(int Index, const WideString& S);
  virtual void PutObject(int Index, TObject* AObject) {}
  virtual void SetCapacity(int NewCapacity) {}
  virtual void SetTextStr(const WideString& Value);
  virtual int Add(const WideString& S);
  virtual int AddObject(const WideString& S, TObject* AObject);
  virtual void AddStrings(TElWideStrings& Source);
  virtual void Clear() = 0;
  virtual void Delete(int Index) = 0;
  virtual void Exchange(int Index1, int Index2);
  // A NUL-terminated copy of the text, owned by the caller.
  virtual std::unique_ptr<wchar_t[]> GetText() const;
  virtual int IndexOf(const WideString& S) const;
  virtual void Insert(int Index, const WideString& S) = 0;
  virtual void LoadFromFile(const std::string& FileName);
  virtual void LoadFromStream(TStream& Stream);
  virtual void Move(int CurIndex, int NewIndex);
  virtual void SaveToFile(const std::string& FileName);
  virtual void SaveToStream(TStream& Stream);
  virtual void SetText(const wchar_t* Text);

  void InsertObject(int Index, const WideString& S, TObject* AObject);
  int Count() const { return GetCount(); }
  bool Equals(const TElWideStrings& Other) const;

  // The list as the "Strings" value of a window layout: list begin, one
  // wide-string value per item, list end. Reading replaces the items; 8-bit
  // values are converted from the system code page. An unknown value type
  // raises EReadError and keeps the items read before it.
  void WriteStringsProperty(TStream& Stream) const;
  void ReadStringsProperty(TStream& Stream);

  // TElWideStrings and the toolkit's TStrings, item by item with their
  // objects.
  void Assign(TPersistent* Source) override;

 protected:
  void AssignTo(TPersistent* Dest) override;
  virtual void SetUpdateState(bool Updating) {}
  std::string ClassName() const override { return "TElWideStrings"; }
  // EStringListError with Msg formatted with Data.
  [[noreturn]] static void Error(const char* Msg, int Data);

 private:
  int updateCount_ = 0;
  bool saveUnicode_ = false;
  bool saved_ = false;
};

struct TWideStringItem {
  WideString FString;
  TObject* FObject = nullptr;  // never owned
};

class TElWideStringList;
using TElWideStringListSortCompare = std::function<int(TElWideStringList* List, int Index1, int Index2)>;

class TElWideStringList : public TElWideStrings {
 public:
  TElWideStringList() = default;
  ~TElWideStringList() override;

  TDuplicates Duplicates() const { return duplicates_; }
  void SetDuplicates(TDuplicates v) { duplicates_ = v; }
  // A plain stored value: setting it does not sort (Sort does).
  bool Sorted() const { return sorted_; }
  void SetSorted(bool v) { sorted_ = v; }
  TNotifyEvent OnChange;
  TNotifyEvent OnChanging;

  WideString Get(int Index) const override;
  const WideString& GetRef(int Index) const;
  int GetCapacity() const override { return capacity_; }
  int GetCount() const override { return count_; }
  TObject* GetObject(int Index) const override;
  void Put(int Index, const WideString& S) override;
  void PutObject(int Index, TObject* AObject) override;
  // Raises EStringListError when NewCapacity is below Count.
  void SetCapacity(int NewCapacity) override;
  int Add(const WideString& S) override;
  void Clear() override;
  void Delete(int Index) override;
  void Exchange(int Index1, int Index2) override;
  int IndexOf(const WideString& S) const override;
  void Insert(int Index, const WideString& S) override;

  virtual void CustomSort(const TElWideStringListSortCompare& Compare);
  // Binary search of a sorted list: True when S is found; Index is the
  // found entry (the first of equal ones with dupAccept) or the place S
  // would keep the order at.
  virtual bool Find(const WideString& S, int& Index) const;
  virtual void Sort();

 protected:
  void SetUpdateState(bool Updating) override;
  virtual void Changed();
  virtual void Changing();
  std::string ClassName() const override { return "TElWideStringList"; }

 private:
  void CheckIndex(int Index) const;
  void Grow();
  void InsertItem(int Index, const WideString& S);
  template <class Compare>
  void QuickSort(int L, int R, Compare& compare);
  void ExchangeItems(int Index1, int Index2);

  TDuplicates duplicates_ = dupIgnore;
  bool sorted_ = false;
  int capacity_ = 0;
  int count_ = 0;
  std::vector<TWideStringItem> list_;  // Capacity entries
};

}  // namespace morvane
