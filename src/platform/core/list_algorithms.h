// What the narrow and the wide string lists share: the binary search of a
// sorted list and the change events that stay quiet inside an update.
#pragma once

#include "platform/core/classes.h"

namespace morvane {

// Binary search over Count entries in order. CompareAt(i) compares entry i
// with the wanted value (negative: the entry comes first). True when the
// value is present, with Index its place: the first of equal entries when
// duplicates are accepted. Otherwise Index is where the value would keep
// the order.
template <class CompareAt>
bool FindInSorted(int Count, TDuplicates Duplicates, CompareAt&& Compare, int& Index) {
  bool found = false;
  int lo = 0, hi = Count - 1;
  while (lo <= hi) {
    const int mid = lo + (hi - lo) / 2;
    const int c = Compare(mid);
    if (c < 0) {
      lo = mid + 1;
    } else {
      hi = mid - 1;
      if (c == 0) {
        found = true;
        if (Duplicates != dupAccept) lo = mid;
      }
    }
  }
  Index = lo;
  return found;
}

// A list's OnChange or OnChanging, fired only outside BeginUpdate/EndUpdate.
inline void FireListEvent(const TNotifyEvent& Event, TObject* List, int UpdateCount) {
  if (UpdateCount == 0 && Event) Event(List);
}

}  // namespace morvane
