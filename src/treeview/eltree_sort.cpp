// Sorting of TCustomElTree: keys computed once per item and level sort, a
// quicksort per level, and the flat list rewritten once for the sorted part.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "controls/elstrutils.h"
#include "platform/core/datetime.h"
#include "platform/core/sysutils.h"
#include "platform/core/variant.h"
#include "treeview/eltree.h"
#include "treeview/eltree_bracket.h"

namespace morvane {

namespace {

enum TKeyType { ktMissing = -1, ktInteger = 0, ktBoolean = 1, ktFloat = 3, ktText = 4, ktCurrency = 12 };

// Cell texts in these grids are mostly ASCII: narrow them without a code
// page call.
std::string Narrow(const TElFString& S) {
  std::string out(S.size(), '\0');
  for (size_t i = 0; i < S.size(); ++i) {
    if (S[i] >= 0x80) return WideToAnsi(S);
    out[i] = static_cast<char>(S[i]);
  }
  return out;
}

int Sign(double a, double b) { return a < b ? -1 : (a > b ? 1 : 0); }
template <class T>
int Sign3(T a, T b) {
  return a < b ? -1 : (a > b ? 1 : 0);
}

int CompareText16(const TElFString& a, const TElFString& b) {
  int r = a.compare(b);
  return r < 0 ? -1 : (r > 0 ? 1 : 0);
}

// A typed value of one cell for the further sort sections.
struct TCellValue {
  int type = ktMissing;
  double d = 0;
  int64_t i = 0;
};

TCellValue ParseCell(const TElFString& Text, TSortTypes T) {
  TCellValue v;
  std::string s;
  if (T != stBoolean && T != stText && T != stCustom) s = Narrow(Text);
  switch (T) {
    case stNumber:
      v.type = ktInteger;
      v.i = StrToIntDef(s, 0);
      break;
    case stFloating:
      if (TextToFloat(s, v.d)) v.type = ktFloat;
      break;
    case stDateTime:
      if (TryStrToDateTime(s, v.d)) v.type = ktFloat;
      break;
    case stDate:
      if (TryStrToDate(s, v.d)) v.type = ktFloat;
      break;
    case stTime:
      if (TryStrToTime(s, v.d)) v.type = ktFloat;
      break;
    case stBoolean:
      v.type = ktBoolean;
      v.i = Text.empty() ? 0 : 1;
      break;
    case stCurrency:
      try {
        v.i = TextToCurrency(s);
        v.type = ktCurrency;
      } catch (const Exception&) {
      }
      break;
    default:
      break;
  }
  return v;
}

// What a virtual cell's value is asked as, by sort type.
int VarTypeFor(TSortTypes T) {
  switch (T) {
    case stNumber: return ktInteger;
    case stBoolean: return ktBoolean;
    case stCurrency: return ktCurrency;
    default: return ktFloat;
  }
}

// The typed value of a virtual cell; raises EVariantError when the value
// does not convert (an empty one included: the handler gave none).
TCellValue ValueCell(const TVariant& V, TSortTypes T) {
  TCellValue c;
  switch (T) {
    case stNumber:
      c.i = V.AsInteger();
      c.type = ktInteger;
      break;
    case stFloating:
    case stDateTime:
    case stDate:
    case stTime:
      c.d = V.AsDouble();
      c.type = ktFloat;
      break;
    case stBoolean:
      c.i = V.AsBoolean() ? 1 : 0;
      c.type = ktBoolean;
      break;
    case stCurrency:
      c.i = V.AsCurrency();
      c.type = ktCurrency;
      break;
    default:
      break;
  }
  return c;
}

// The typed value of a virtual cell, false when it does not convert.
bool VirtualCellValue(TCustomElTree* Tree, TElTreeItem* Item, int SectionIndex, TSortTypes T, TCellValue& Out) {
  TVariant v;
  Tree->DoVirtualValueNeeded(Item, SectionIndex, VarTypeFor(T), v);
  try {
    Out = ValueCell(v, T);
    return true;
  } catch (const EVariantError&) {
    return false;
  }
}

int CompareValues(const TCellValue& a, const TCellValue& b, TSortTypes T) {
  if (a.type == ktMissing || b.type == ktMissing) {
    if (a.type == b.type) return 0;
    return a.type == ktMissing ? -1 : 1;
  }
  switch (T) {
    case stNumber:
    case stBoolean:
    case stCurrency:
      return Sign3(a.i, b.i);
    case stDate:
      return Sign(std::trunc(a.d), std::trunc(b.d));
    case stTime:
      return Sign(a.d - std::trunc(a.d), b.d - std::trunc(b.d));
    default:
      return Sign(a.d, b.d);
  }
}

}  // namespace

TSortTypes TCustomElTree::FieldTypeToSortType(TElFieldType FieldType) {
  switch (FieldType) {
    case sftText: return stText;
    case sftNumber: return stNumber;
    case sftFloating: return stFloating;
    case sftDateTime: return stDateTime;
    case sftDate: return stDate;
    case sftTime: return stTime;
    case sftBool: return stBoolean;
    case sftCurrency: return stCurrency;
    default: return stCustom;
  }
}

void TCustomElTree::DoCompareItems(TElTreeItem* Item1, TElTreeItem* Item2, int& Res) {
  Res = 0;
  if (OnCompareItems) OnCompareItems(EventSender(), Item1, Item2, Res);
}

void TCustomElTree::DoVirtualValueNeeded(TElTreeItem* Item, int SectionIndex, int VarType, TVariant& Value) {
  Value.Clear();
  if (OnVirtualValueNeeded) OnVirtualValueNeeded(EventSender(), Item, SectionIndex, VarType, Value);
}

void TCustomElTree::DoSortBegin() {
  if (OnSortBegin) OnSortBegin(EventSender());
}

void TCustomElTree::DoSortEnd() {
  if (OnSortEnd) OnSortEnd(EventSender());
}

void TCustomElTree::PruneSortSections() {
  // The header may have freed or replaced sections without telling us;
  // keep only those it still holds.
  const TElList& live = HeaderSections().List();
  std::erase_if(sortSections_, [&](TElHeaderSection* s) { return live.IndexOf(s) < 0; });
}

std::vector<TElHeaderSection*> TCustomElTree::SortSections() const {
  std::vector<TElHeaderSection*> out;
  const TElList& live = HeaderSections().List();
  for (TElHeaderSection* s : sortSections_)
    if (live.IndexOf(s) >= 0) out.push_back(s);
  return out;
}

void TCustomElTree::AddSortSection(int SectionIndex, bool Resort) {
  TElHeaderSection* s = HeaderSections().GetSection(SectionIndex);
  if (!s) return;
  std::erase(sortSections_, s);
  sortSections_.push_back(s);
  if (!Resort) return;
  if (IsUpdating())
    MarkSort();
  else
    Sort(true);
}

void TCustomElTree::RemoveSortSection(int SectionIndex, bool Resort) {
  TElHeaderSection* s = HeaderSections().GetSection(SectionIndex);
  auto it = std::find(sortSections_.begin(), sortSections_.end(), s);
  if (!s || it == sortSections_.end()) return;
  sortSections_.erase(it);
  if (!Resort) return;
  if (IsUpdating())
    MarkSort();
  else
    Sort(true);
}

void TCustomElTree::Sort(bool Recursive) {
  DoSortBegin();
  ++inSortCount_;
  struct TLower {
    int& n;
    ~TLower() { --n; }
  };
  {
    TLower lower{inSortCount_};
    SortLevel(items_->Root(), Recursive);
  }
  DoSortEnd();
}

// The work of one level sort: keys, the quicksort, the recursion into the
// children. Keys are released and counters lowered also when a comparison
// raises.
class TElTreeSorter {
 public:
  TElTreeSorter(TCustomElTree* Tree, int Column, TSortTypes Type, TElSSortMode Mode)
      : t_(Tree), column_(Column), type_(Type), mode_(Mode) {}

  void SortChildren(TElTreeItem* Parent, bool Recursive) {
    ++t_->inSortCount_;
    struct TLower {
      int& n;
      ~TLower() { --n; }
    } lower{t_->inSortCount_};
    const int n = Parent->ChildCount();
    if (n > 1) {
      void** a = Parent->children_->List();
      // Each row travels with the place it had in the flat list, which the
      // compare event can ask for (ComparedPositions).
      const int flatCount = t_->allItems_.Count();
      void* const* flat = t_->allItems_.List();
      std::vector<TEntry> e;
      e.reserve(static_cast<size_t>(n));
      for (int i = 0; i < n; ++i) {
        if (i + 8 < n) __builtin_prefetch(a[i + 8]);
        auto* it = static_cast<TElTreeItem*>(a[i]);
        Acquire(it);
        const int h = it->flatHint_;
        e.push_back({it, (h >= 0 && h < flatCount && flat[h] == it) ? h : -1});
      }
      struct TRelease {
        TElTreeSorter* s;
        void** a;
        int n;
        ~TRelease() {
          s->ForgetPositions();
          for (int i = 0; i < n; ++i) s->Release(static_cast<TElTreeItem*>(a[i]));
        }
      } release{this, a, n};
      QuickSort(e.data(), 0, n - 1);
      for (int i = 0; i < n; ++i) {
        a[i] = e[static_cast<size_t>(i)].item;
        e[static_cast<size_t>(i)].item->childHint_ = i;
      }
    }
    if (Recursive) {
      for (int i = 0; i < Parent->ChildCount(); ++i) {
        TElTreeItem* c = Parent->Child(i);
        if (c->ChildCount() > 0) SortChildren(c, true);
      }
    }
  }

 private:
  struct TEntry {
    TElTreeItem* item;
    int flatPos;
  };

  int Compare(const TEntry& a, const TEntry& b) {
    t_->comparedPos_[0] = a.flatPos;
    t_->comparedPos_[1] = b.flatPos;
    return t_->CompareItems(a.item, b.item, mode_, type_, column_);
  }

  // Recurses into the smaller part and loops over the larger one, so the
  // depth stays logarithmic; the order is the same, since the comparison is
  // a strict total order.
  void QuickSort(TEntry* a, int L, int R) {
    while (L < R) {
      int I = L, J = R;
      const TEntry P = a[(L + R) >> 1];
      do {
        while (a[I].item != P.item && Compare(a[I], P) < 0) ++I;
        while (a[J].item != P.item && Compare(a[J], P) > 0) --J;
        if (I <= J) {
          std::swap(a[I], a[J]);
          ++I;
          --J;
        }
      } while (I <= J);
      if (J - L < R - I) {
        if (L < J) QuickSort(a, L, J);
        L = I;
      } else {
        if (I < R) QuickSort(a, I, R);
        R = J;
      }
    }
  }

  void Acquire(TElTreeItem* it) {
    if (it->keyRefCount_ > 0) {
      ++it->keyRefCount_;
      return;
    }
    it->keyRefCount_ = 1;
    it->keyType_ = ktMissing;
    if (type_ == stCustom) return;
    // A virtual cell is asked for its typed value first; one that does not
    // convert is sorted by its text.
    if (!it->staticData_ && type_ != stText) {
      TCellValue v;
      if (VirtualCellValue(t_, it, column_, type_, v)) {
        it->keyType_ = v.type;
        if (v.type == ktFloat)
          it->keyValue_.d = v.d;
        else if (v.type == ktCurrency)
          it->keyValue_.c = v.i;
        else
          it->keyValue_.i = static_cast<intptr_t>(v.i);
        return;
      }
    }
    TElFString own;
    const TElFString* text;
    if (!it->staticData_) {
      own = t_->VirtualText(it, column_);
      text = &own;
    } else if (column_ == -1 || column_ == t_->mainTreeColumn_) {
      text = &it->staticData_->Text;
    } else {
      int ci = column_ > t_->mainTreeColumn_ ? column_ - 1 : column_;
      const TElWideStringList& ct = it->staticData_->ColumnTexts;
      text = ci < ct.Count() ? &ct.GetRef(ci) : &own;
    }
    if (type_ == stText) {
      // Case-sensitive keys read the item's own text; the text does not
      // change while the level sorts.
      if (t_->sortUseCase_ && text != &own) {
        it->keyValue_.i = reinterpret_cast<intptr_t>(text);
      } else {
        it->keyText_ = std::make_unique<TElFString>(t_->sortUseCase_ ? *text : WideUpperCaseEx(*text));
        it->keyValue_.i = reinterpret_cast<intptr_t>(it->keyText_.get());
      }
      it->keyType_ = ktText;
      return;
    }
    TCellValue v = ParseCell(*text, type_);
    if (type_ == stNumber) {
      int n = 0;
      if (TryStrToInt(Narrow(*text), n)) {
        it->keyValue_.i = n;
        it->keyType_ = ktInteger;
      }
      return;
    }
    it->keyType_ = v.type;
    if (v.type == ktFloat)
      it->keyValue_.d = v.d;
    else if (v.type == ktCurrency)
      it->keyValue_.c = v.i;
    else if (v.type == ktBoolean)
      it->keyValue_.i = static_cast<intptr_t>(text->size());
  }

 public:
  void ForgetPositions() { t_->comparedPos_[0] = t_->comparedPos_[1] = -1; }

  void Release(TElTreeItem* it) {
    if (it->keyRefCount_ > 1) {
      --it->keyRefCount_;
      return;
    }
    it->keyRefCount_ = 0;
    it->keyType_ = ktMissing;
    it->keyValue_.i = 0;
    it->keyText_.reset();
  }

 private:
  TCustomElTree* t_;
  int column_;
  TSortTypes type_;
  TElSSortMode mode_;
};

void TCustomElTree::SortLevel(TElTreeItem* Parent, bool Recursive) {
  ++inSortCount_;
  struct TLower {
    int& n;
    ~TLower() { --n; }
  } lower{inSortCount_};
  if (!Parent->children_ || (!Recursive && Parent->ChildCount() < 2)) return;
  TTreeBracket b(this);
  PruneSortSections();
  const int sections = HeaderSections().Count();
  int column = (showColumns_ && sortSection_ >= 0 && sortSection_ < sections) ? sortSection_ : -1;
  TSortTypes type = SortType;
  TElSSortMode mode = hsmNone;
  if (showColumns_ && column >= 0) {
    if (TElHeaderSection* s = HeaderSections().GetSection(column)) {
      mode = s->SortMode();
      type = FieldTypeToSortType(s->FieldType());
    } else {
      column = -1;
    }
  }
  const int first = FlatIndexOf(Parent->Child(0));
  // Whatever happens in the comparisons, the flat list must follow the
  // children's order afterwards.
  struct TRewrite {
    TCustomElTree* t;
    TElTreeItem* parent;
    int first;
    ~TRewrite() {
      int pos = first;
      TElList& flat = t->allItems_;
      std::vector<TElTreeItem*> stack;
      for (int i = parent->ChildCount() - 1; i >= 0; --i) stack.push_back(parent->Child(i));
      while (!stack.empty()) {
        TElTreeItem* it = stack.back();
        stack.pop_back();
        if (pos >= flat.Count())
          flat.Add(it);
        else
          flat.List()[pos] = it;
        it->flatHint_ = pos++;
        for (int i = it->ChildCount() - 1; i >= 0; --i) stack.push_back(it->Child(i));
      }
      t->MarkRows();
      t->MarkRepaint();
      t->MarkUpdate();
    }
  } rewrite{this, Parent, first};
  TElTreeSorter sorter(this, column, type, mode);
  sorter.SortChildren(Parent, Recursive);
}

int TCustomElTree::CompareItems(TElTreeItem* Item1, TElTreeItem* Item2,
                                TElSSortMode SectionSortMode, TSortTypes SortType_,
                                int SortSection_) {
  int res = 0;
  if (SortType_ == stCustom) {
    DoCompareItems(Item1, Item2, res);
  } else {
    int t1 = Item1->keyType_, t2 = Item2->keyType_;
    if (t1 == ktMissing || t2 == ktMissing) {
      res = t1 == t2 ? 0 : (t1 == ktMissing ? -1 : 1);
    } else if (t1 != t2) {
      res = 0;
    } else {
      switch (SortType_) {
        case stText:
          res = CompareText16(*reinterpret_cast<const TElFString*>(Item1->keyValue_.i),
                              *reinterpret_cast<const TElFString*>(Item2->keyValue_.i));
          break;
        case stNumber:
          res = Sign3(Item1->keyValue_.i, Item2->keyValue_.i);
          break;
        case stFloating:
        case stDateTime:
          res = Sign(Item1->keyValue_.d, Item2->keyValue_.d);
          break;
        case stDate:
          res = Sign(std::trunc(Item1->keyValue_.d), std::trunc(Item2->keyValue_.d));
          break;
        case stTime:
          res = Sign(Item1->keyValue_.d - std::trunc(Item1->keyValue_.d),
                     Item2->keyValue_.d - std::trunc(Item2->keyValue_.d));
          break;
        case stBoolean:
          res = Sign3(Item1->keyValue_.i > 0, Item2->keyValue_.i > 0);
          break;
        case stCurrency:
          res = Sign3(Item1->keyValue_.c, Item2->keyValue_.c);
          break;
        default:
          break;
      }
    }
  }
  const bool descend =
      SectionSortMode == hsmDescend || (SectionSortMode == hsmNone && SortDir == sdDescend);
  if (descend) res = -res;
  if (res == 0 && !sortSections_.empty()) {
    for (TElHeaderSection* s : sortSections_) {
      int col = s->Index();
      TSortTypes T = FieldTypeToSortType(s->FieldType());
      int r;
      TCellValue v1, v2;
      if (T == stCustom) {
        DoCompareItems(Item1, Item2, r);
      } else if (T != stText && OnVirtualValueNeeded && !Item1->staticData_ && !Item2->staticData_ &&
                 VirtualCellValue(this, Item1, col, T, v1) && VirtualCellValue(this, Item2, col, T, v2)) {
        r = CompareValues(v1, v2, T);
      } else {
        TElFString a = CellText(Item1, col), b = CellText(Item2, col);
        if (T == stText) {
          r = sortUseCase_ ? CompareText16(a, b)
                           : CompareText16(WideUpperCaseEx(a), WideUpperCaseEx(b));
        } else {
          r = CompareValues(ParseCell(a, T), ParseCell(b, T), T);
        }
      }
      r = r < 0 ? -1 : (r > 0 ? 1 : 0);
      if (s->SortMode() == hsmDescend) r = -r;
      res = r;
      if (res != 0) break;
    }
  }
  if (res == 0 && Item1 != Item2) {
    // Equal keys keep their creation order (reversed when descending).
    res = Item1->serial_ > Item2->serial_ ? 1 : -1;
    if (descend) res = -res;
  }
  (void)SortSection_;
  return res;
}

}  // namespace morvane
