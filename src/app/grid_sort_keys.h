// The order of the rows of the cookie, domain and history grids: the sort
// column's text followed by the grid's first three cells (the sort column's
// own cell left out), compared byte by byte in the system's 8-bit code page.
// A date-time column compares its parsed dates instead, with the same
// following cells deciding ties; a cell that is no date sorts before every
// date, by its text.
//
// A sort of 100,000 rows compares about 1.7 million pairs: every row's key is
// made once, when the sort begins (TRowKeyCache), and looked up by the place
// the row had in the grid then.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "treeview/eltreeitem.h"

namespace morvane {

class TElList;
class TCustomElTree;

// Appends S in the system code page; ASCII cells take no code-page call.
void AppendNarrow(std::string& Out, std::wstring_view S);
// Out := S read in the system code page; ASCII takes no code-page call.
void WidenInto(std::wstring& Out, std::string_view S);

// Cell Index of a row (0 is the first cell after the main text). A row that
// keeps no texts of its own (a grid that asks for them as it needs them)
// gets the text from its grid, in Scratch; the view points into the row or
// into Scratch.
std::wstring_view RowCellText(TElTreeItem* Item, int Index, std::wstring& Scratch);
// How many cells after the main text the row has.
int RowCellCount(TElTreeItem* Item);

struct TRowSortKey {
  std::string Text;          // the sort column's text, then the following cells
  size_t PrimaryLength = 0;  // bytes of Text from the sort column
  bool HasDate = false;
  double Date = 0;
};

// Column: the sort column, 0 for the main text, c for cell c - 1.
// SectionCount: the grid's header sections. DateColumn: the column's
// field type is date-time.
void BuildRowSortKey(TElTreeItem* Item, int Column, int SectionCount, bool DateColumn, TRowSortKey& Key);
// -1, 0 or 1 in ascending order.
int CompareRowSortKeys(const TRowSortKey& A, const TRowSortKey& B);

// The keys of one grid's rows for the length of one sort. A sort compares
// each row some 17 times (100,000 rows), nearly always decided by the sort
// column alone: each row's sort-column text (and date) is made when the sort
// begins, packed together in memory; the following cells are added to a
// row's key only when a comparison reaches them. The order is that of
// CompareRowSortKeys on the rows' whole keys.
class TRowKeyCache {
 public:
  void Build(TCustomElTree* Tree, int Column, int SectionCount, bool DateColumn);
  void Clear();
  // The key number of a row that was in the grid when the sort began, else
  // -1. Position: where the row stood in the grid's AllItems then (from
  // ComparedPositions), -1 when not known; the row itself is read only when
  // the position does not name it.
  int IndexOf(const TElTreeItem* Item, int Position = -1);
  // -1, 0 or 1 in ascending order, as CompareRowSortKeys on the two rows.
  int Compare(int A, int B);
  // The whole key of key number Index, as BuildRowSortKey makes it.
  std::string KeyText(int Index);
  TCustomElTree* Tree() const { return tree_; }
  int Column() const { return column_; }

 private:
  struct TSlot {
    const TElTreeItem* Owner;
    double Date;
    uint32_t Primary;        // offset of the sort column's text in primaries_
    uint32_t PrimaryLength;
    int32_t Following;       // index in following_, -1 until made
    bool HasDate;
  };
  std::string_view PrimaryOf(const TSlot& S) const {
    return std::string_view(primaries_).substr(S.Primary, S.PrimaryLength);
  }
  int FollowingIndex(TSlot& S);

  TCustomElTree* tree_ = nullptr;
  int column_ = -1;
  int sections_ = 0;
  bool date_ = false;
  std::vector<TSlot> slots_;
  std::string primaries_;
  std::vector<std::string> following_;
  // For rows not found by position: made at the first such lookup. Rows
  // created together have consecutive serial numbers and are found by
  // serial; a grid whose rows came from many loads uses the map.
  void IndexRows();
  bool indexed_ = false;
  uint64_t firstSerial_ = 0;
  std::vector<int32_t> bySerial_;
  std::unordered_map<const TElTreeItem*, int32_t> byItem_;
};

}  // namespace morvane
