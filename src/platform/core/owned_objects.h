// A string list that owns the objects in its object slots: deleting an
// entry, clearing the list, putting another object into a slot or freeing
// the list frees the object the slot held. An object handed to AddObject or
// InsertObject belongs to the list from then on, also when the list keeps it
// out (a duplicate a sorted list ignores) or the call raises.
#pragma once

#include <memory>

#include "platform/core/classes.h"

namespace morvane {

class TOwningStringList : public TStringList {
 public:
  TOwningStringList() = default;
  ~TOwningStringList() override { Clear(); }

  int AddObject(const std::string& S, TObject* AObject) override {
    std::unique_ptr<TObject> owned(AObject);
    const int at = TStringList::AddObject(S, AObject);
    if (at >= 0 && at < Count() && GetObject(at) == AObject) owned.release();
    return at;
  }
  void InsertObject(int Index, const std::string& S, TObject* AObject) override {
    std::unique_ptr<TObject> owned(AObject);
    TStringList::InsertObject(Index, S, AObject);
    owned.release();
  }
  void Delete(int Index) override {
    std::unique_ptr<TObject> owned(GetObject(Index));
    TStringList::Delete(Index);
  }
  void Clear() override {
    for (int i = 0; i < Count(); ++i) {
      delete GetObject(i);
      TStringList::PutObject(i, nullptr);
    }
    TStringList::Clear();
  }
  void PutObject(int Index, TObject* AObject) override {
    std::unique_ptr<TObject> old(GetObject(Index));
    if (old.get() == AObject) old.release();
    TStringList::PutObject(Index, AObject);
  }

 protected:
  std::string ClassName() const override { return "TOwningStringList"; }
};

}  // namespace morvane
