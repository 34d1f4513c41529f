// The order of the rows of the cookie, domain and history grids: the sort
// column's text followed by the grid's first three cells (the sort column's
// own cell left out), compared byte by byte in the system's 8-bit code page.
// A date-time column compares its parsed dates instead, with the same
// following cells deciding ties; a cell that is no date sorts before every
// date, by its text.
//
// A sort of 100,000 rows compares about 1.7 million pairs: every row's key is
// made once, when the sort begins (TRowKeyCache), and looked up by the row.
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

// The keys of one grid's rows for the length of one sort.
class TRowKeyCache {
 public:
  void Build(TCustomElTree* Tree, int Column, int SectionCount, bool DateColumn);
  void Clear();
  // The key of a row that was in the grid when the sort began, else null.
  const TRowSortKey* Find(const TElTreeItem* Item) const;
  TCustomElTree* Tree() const { return tree_; }
  int Column() const { return column_; }

 private:
  TCustomElTree* tree_ = nullptr;
  int column_ = -1;
  std::vector<TRowSortKey> keys_;
  // Rows created together have consecutive serial numbers: their keys are
  // found by serial; a grid whose rows came from many loads uses the map.
  uint64_t firstSerial_ = 0;
  std::vector<int32_t> bySerial_;
  std::vector<const TElTreeItem*> owners_;
  std::unordered_map<const TElTreeItem*, int32_t> byItem_;
};

}  // namespace morvane
