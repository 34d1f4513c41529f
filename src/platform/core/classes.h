// The general containers: TList (a list of untyped pointers) and TStrings /
// TStringList (strings with an object pointer beside each).
//
// TStrings is abstract so that controls can present their items (combo box
// items, memo lines) through the same interface; TStringList keeps them in
// memory. Neither frees the objects stored beside the strings: whoever put
// them there owns them.
#pragma once

#include "platform/core/components.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace morvane {

class TStream;

// ---- TList -----------------------------------------------------------------

enum class TListNotification { lnAdded, lnExtracted, lnDeleted };

// Negative when Item1 comes first, 0 when equal, positive otherwise.
using TListSortCompare = std::function<int(void* Item1, void* Item2)>;

class TList : public TObject {
 public:
  TList() = default;
  ~TList() override;

  int Count() const { return static_cast<int>(items_.size()); }
  // Grows with nil items or cuts the list.
  void SetCount(int NewCount);
  int Capacity() const { return static_cast<int>(items_.capacity()); }
  void SetCapacity(int NewCapacity);
  void* Items(int Index) const;
  void SetItems(int Index, void* Item);

  int Add(void* Item);
  void Insert(int Index, void* Item);
  void Delete(int Index);
  // Deletes the first occurrence; returns its former index or -1.
  int Remove(void* Item);
  // Takes the first occurrence out without the deletion notice; returns it
  // or nil.
  void* Extract(void* Item);
  int IndexOf(void* Item) const;
  void Exchange(int Index1, int Index2);
  void Move(int CurIndex, int NewIndex);
  void* First() const { return Items(0); }
  void* Last() const { return Items(Count() - 1); }
  // Removes every nil item.
  void Pack();
  virtual void Clear();
  // Stable: items that compare equal keep their order.
  void Sort(const TListSortCompare& Compare);
  void** List() { return items_.data(); }

 protected:
  virtual void Notify(void* Ptr, TListNotification Action) {}
  [[noreturn]] static void Error(const char* Msg, int Data);

 private:
  std::vector<void*> items_;
};

// ---- TStrings --------------------------------------------------------------

enum TDuplicates { dupIgnore, dupAccept, dupError };

class TStrings : public TPersistent {
 public:
  TStrings() = default;

  virtual int Count() const = 0;
  std::string Strings(int Index) const { return Get(Index); }
  void SetStrings(int Index, const std::string& S) { Put(Index, S); }
  TObject* Objects(int Index) const { return GetObject(Index); }
  void SetObjects(int Index, TObject* AObject) { PutObject(Index, AObject); }

  virtual int Add(const std::string& S);
  virtual int AddObject(const std::string& S, TObject* AObject);
  void Append(const std::string& S) { Add(S); }
  // Adds every string (and object) of Strings.
  virtual void AddStrings(const TStrings& Strings);
  virtual void Insert(int Index, const std::string& S) = 0;
  virtual void InsertObject(int Index, const std::string& S, TObject* AObject);
  virtual void Delete(int Index) = 0;
  virtual void Clear() = 0;
  virtual void Exchange(int Index1, int Index2);
  virtual void Move(int CurIndex, int NewIndex);
  // From another TStrings: its strings and objects replace these.
  void Assign(TPersistent* Source) override;
  // Same strings in the same order (objects are not compared).
  bool Equals(const TStrings& Strings) const;

  // Case-insensitive by default (see CompareStrings).
  virtual int IndexOf(const std::string& S) const;
  int IndexOfName(const std::string& Name) const;
  int IndexOfObject(TObject* AObject) const;

  // Changes made between BeginUpdate and EndUpdate are announced once, when
  // the outermost EndUpdate closes the bracket.
  void BeginUpdate();
  void EndUpdate();
  int UpdateCount() const { return updateCount_; }

  // Every string followed by CR LF.
  virtual std::string Text() const;
  // Splits at CR LF, LF or CR; a NUL ends the text.
  virtual void SetText(std::string_view Value);
  // Items separated by Delimiter; an item holding a blank, a control
  // character, the delimiter or QuoteChar is quoted (quotes doubled).
  std::string DelimitedText() const;
  // Splits at Delimiter and at blanks outside quotes.
  void SetDelimitedText(std::string_view Value);
  // DelimitedText with "," and '"'.
  std::string CommaText() const;
  void SetCommaText(std::string_view Value);
  char Delimiter() const { return delimiter_; }
  void SetDelimiter(char Value) { delimiter_ = Value; }
  char QuoteChar() const { return quoteChar_; }
  void SetQuoteChar(char Value) { quoteChar_ = Value; }

  // "name=value" items: the part before the first "=" ("" without one).
  std::string Names(int Index) const;
  // The value of the first item named Name ("" when none).
  std::string Values(const std::string& Name) const;
  // Replaces (or adds) Name's item; an empty Value deletes it.
  void SetValues(const std::string& Name, const std::string& Value);
  std::string ValueFromIndex(int Index) const;

  virtual int Capacity() const { return Count(); }
  virtual void SetCapacity(int NewCapacity) {}

  // The text of the stream from its position to its end.
  virtual void LoadFromStream(TStream& Stream);
  virtual void SaveToStream(TStream& Stream) const;
  // Opened for reading with other readers allowed; raises the file-stream
  // errors (EFOpenError, EFCreateError) when the file cannot be used.
  void LoadFromFile(const std::string& FileName);
  void SaveToFile(const std::string& FileName) const;

  virtual std::string Get(int Index) const = 0;
  virtual TObject* GetObject(int Index) const { return nullptr; }
  virtual void Put(int Index, const std::string& S);
  virtual void PutObject(int Index, TObject* AObject) {}

 protected:
  std::string ClassName() const override { return "TStrings"; }
  // Called with true when an update bracket opens and false when it closes.
  virtual void SetUpdateState(bool Updating) {}
  // The order and equality used by IndexOf, IndexOfName and sorted lists:
  // the user locale's comparison without case.
  virtual int CompareStrings(const std::string& S1, const std::string& S2) const;
  [[noreturn]] static void Error(const char* Msg, int Data);

 private:
  std::string JoinDelimited(char delimiter, char quote) const;
  void SplitDelimited(std::string_view Value, char delimiter, char quote);

  int updateCount_ = 0;
  char delimiter_ = ',';
  char quoteChar_ = '"';
};

// ---- TStringList -----------------------------------------------------------

class TStringList;
// Negative when item Index1 comes first, 0 when equal, positive otherwise.
using TStringListSortCompare = std::function<int(TStringList& List, int Index1, int Index2)>;

class TStringList : public TStrings {
 public:
  TStringList() = default;
  ~TStringList() override;

  int Count() const override { return static_cast<int>(items_.size()); }
  // The string itself, without a copy.
  const std::string& Strings(int Index) const;

  int Add(const std::string& S) override;
  int AddObject(const std::string& S, TObject* AObject) override;
  void Insert(int Index, const std::string& S) override;
  void InsertObject(int Index, const std::string& S, TObject* AObject) override;
  void Delete(int Index) override;
  void Clear() override;
  void Exchange(int Index1, int Index2) override;

  // Binary search of a sorted list: true when S is present, with Index its
  // position (the first of equal strings when duplicates are accepted);
  // otherwise false with Index where S would be inserted.
  virtual bool Find(const std::string& S, int& Index) const;
  int IndexOf(const std::string& S) const override;

  // Sorts an unsorted list (stable); a sorted list is already in order.
  virtual void Sort();
  void CustomSort(const TStringListSortCompare& Compare);

  bool Sorted() const { return sorted_; }
  void SetSorted(bool Value);
  // What Add does with a string a sorted list holds already.
  TDuplicates Duplicates() const { return duplicates_; }
  void SetDuplicates(TDuplicates Value) { duplicates_ = Value; }
  bool CaseSensitive() const { return caseSensitive_; }
  void SetCaseSensitive(bool Value);

  int Capacity() const override { return static_cast<int>(items_.capacity()); }
  void SetCapacity(int NewCapacity) override;

  std::string Get(int Index) const override;
  TObject* GetObject(int Index) const override;
  void Put(int Index, const std::string& S) override;
  void PutObject(int Index, TObject* AObject) override;

  TNotifyEvent OnChange;
  TNotifyEvent OnChanging;

 protected:
  std::string ClassName() const override { return "TStringList"; }
  virtual void Changed();
  virtual void Changing();
  void SetUpdateState(bool Updating) override;
  int CompareStrings(const std::string& S1, const std::string& S2) const override;

 private:
  struct Item {
    std::string s;
    TObject* obj = nullptr;
  };
  void CheckIndex(int Index) const;
  void InsertItem(int Index, const std::string& S, TObject* AObject);
  void SortItems(const std::function<int(const Item&, const Item&)>& Compare);
  bool SortByLocaleKeys();

  std::vector<Item> items_;
  bool sorted_ = false;
  TDuplicates duplicates_ = dupIgnore;
  bool caseSensitive_ = false;
};

}  // namespace morvane
