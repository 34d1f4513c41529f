// The row order of the sorted grids: the composite text key, dates in time
// order, and the keys made once per sort being the keys of the rows.
#include "app/grid_sort_keys.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/core/classes.h"
#include "platform/core/sysutils.h"
#include "treeview/eltree.h"
#include "treeview/eltreeitems.h"

namespace morvane {
namespace {

// A grid shaped like the Firefox cookie grid's first columns: row number,
// name, value, domain, expiry (date-time).
std::unique_ptr<TElTree> NewGrid(const std::vector<std::string>& rows) {
  auto t = std::make_unique<TElTree>(nullptr);
  const wchar_t* names[] = {L"Row Number", L"Cookie Name", L"Cookie Value", L"Cookie Domain", L"Expitration Date"};
  for (const wchar_t* n : names) t->HeaderSections().AddSection()->SetText(n);
  t->HeaderSections().GetSection(4)->SetFieldType(sftDateTime);
  TStringList sl;
  for (const std::string& r : rows) sl.Add(r);
  t->Items().LoadFromStrings(sl);
  return t;
}

int Compare(TElTreeItem* a, TElTreeItem* b, int column, int sections, bool date) {
  TRowSortKey ka, kb;
  BuildRowSortKey(a, column, sections, date, ka);
  BuildRowSortKey(b, column, sections, date, kb);
  return CompareRowSortKeys(ka, kb);
}

TEST(GridSortKeys, KeysFollowTheSortColumnThenTheFirstCells) {
  struct Case {
    const char* name;
    const char* row1;
    const char* row2;
    int column;
    bool date;
    int expected;
  };
  // Columns are section numbers: 1 name, 2 value, 3 domain, 4 expiry.
  const Case cases[] = {
      {"by name", "1\tb\tx\td.com\t", "1\ta\tz\ta.com\t", 1, false, 1},
      {"equal names go by value then domain", "1\tn\tv\tb.com\t", "1\tn\tv\ta.com\t", 1, false, 1},
      {"equal values go by name", "1\ta\tv\tz.com\t", "1\tb\tv\ta.com\t", 2, false, -1},
      {"bytes, upper case first", "1\tZ\t\t\t", "1\ta\t\t\t", 1, false, -1},
      {"bytes above 127 after ASCII", "1\t\xE9\t\t\t", "1\tz\t\t\t", 1, false, 1},
      {"main text column", "2\ta\t\t\t", "1\tb\t\t\t", 0, false, 1},
      {"the expiry is not among the following cells", "1\ta\t\t\tz", "1\ta\t\t\ty", 1, false, 0},
      {"dates in time order", "1\ta\t\t\t1/2/2030 10:00:00 AM", "1\ta\t\t\t12/1/2029 10:00:00 AM", 4, true, 1},
      {"the same date goes by name", "1\tb\t\t\t1/2/2030", "1\ta\t\t\t1/2/2030", 4, true, 1},
      {"the same date ignores the date text", "1\ta\t\t\t1/2/2030 0:00:00", "1\ta\t\t\t1/2/2030", 4, true, 0},
      {"no date before a date", "1\ta\t\t\tAt end of session", "1\ta\t\t\t1/1/2000", 4, true, -1},
      {"two texts that are no date go by text", "1\ta\t\t\tb", "1\ta\t\t\ta", 4, true, 1},
      {"a date column as text sorts by bytes", "1\ta\t\t\t1/2/2030", "1\ta\t\t\t12/1/2029", 4, false, -1},
      {"equal rows", "1\ta\tb\tc\td", "1\ta\tb\tc\td", 2, false, 0},
  };
  for (const Case& c : cases) {
    auto t = NewGrid({c.row1, c.row2});
    EXPECT_EQ(Compare(t->Items().Item(0), t->Items().Item(1), c.column, 5, c.date), c.expected) << c.name;
    EXPECT_EQ(Compare(t->Items().Item(1), t->Items().Item(0), c.column, 5, c.date), -c.expected) << c.name;
  }
}

TEST(GridSortKeys, OnlyTheFirstCellsTheGridHasTakePart) {
  // Two sections: the key is the sort column's cell and cell 0 only.
  auto t = std::make_unique<TElTree>(nullptr);
  t->HeaderSections().AddSection()->SetText(L"Row Number");
  t->HeaderSections().AddSection()->SetText(L"Cookie Domain");
  TStringList sl;
  sl.Add("1\ta.com\tzzz");
  TRowSortKey k;
  t->Items().LoadFromStrings(sl);
  BuildRowSortKey(t->Items().Item(0), 0, 2, false, k);
  EXPECT_EQ(k.Text, "1a.com");
  BuildRowSortKey(t->Items().Item(0), 1, 2, false, k);
  EXPECT_EQ(k.Text, "a.com");
}

// Rows loaded at once are found by serial; rows of a grid whose rows come
// from loads far apart through the map. Both give every row its own key.
TEST(GridSortKeys, CacheFindsEveryRowsKey) {
  for (bool spread : {false, true}) {
    auto t = NewGrid({"1\tb\t\t\t", "1\ta\t\t\t", "1\tc\t\t\t"});
    if (spread) {
      TStringList many;
      for (int i = 0; i < 3000; ++i) many.Add("1\tx");
      auto other = NewGrid({});
      other->Items().LoadFromStrings(many);
      t->Items().AddItem(nullptr, L"1")->ColumnTexts()->Add(L"d");
    }
    TRowKeyCache cache;
    cache.Build(t.get(), 2, 5, false);
    for (int i = 0; i < t->Items().Count(); ++i) {
      TElTreeItem* it = t->Items().Item(i);
      const int k = cache.IndexOf(it);
      ASSERT_GE(k, 0) << i;
      TRowSortKey own;
      BuildRowSortKey(it, 2, 5, false, own);
      EXPECT_EQ(cache.KeyText(k), own.Text) << i;
      // A place that names another row is not taken for this one's.
      EXPECT_EQ(cache.IndexOf(it, (k + 1) % t->Items().Count()), k) << i;
    }
    auto stranger = NewGrid({"1\tq"});
    EXPECT_EQ(cache.IndexOf(stranger->Items().Item(0)), -1);
    EXPECT_EQ(cache.IndexOf(stranger->Items().Item(0), 0), -1);
    cache.Clear();
    EXPECT_EQ(cache.IndexOf(t->Items().Item(0), 0), -1);
  }
}

// The cache decides most pairs by the sort column alone and adds the
// following cells only when needed; every pair must still come out as the
// whole keys compare. The rows are chosen so that sort-column texts begin
// one another, dates tie, and cells do not parse as dates.
TEST(GridSortKeys, CacheOrdersAsTheWholeKeys) {
  const std::vector<std::string> rows = {
      "1\tab\tz\ta.com\t1/2/2030 10:00:00 AM",
      "1\tabc\ta\ta.com\t1/2/2030 10:00:00 AM",
      "1\tabc\t\tb.com\t1/2/2030 10:00:00 AM",
      "1\tab\tc\tb.com\t12/1/2029",
      "1\ta\tbz\t\tAt end of session",
      "1\tab\t\t\tAt end of session",
      "1\t\xE9\tab\t.com\t\t",
      "1\t\tab\tc.com\t1/2/2030",
      "1\tab\tc\tb.com\t1/2/2030 0:00:00",
      "1\tabc\ta\ta.com\t13/45/2030",
      "1\tab\tz\ta.com\t1/2/2030 10:00:00 AM",
      "2\tb\t\t\t",
  };
  auto t = NewGrid(rows);
  const int n = t->Items().Count();
  struct Column {
    int column;
    bool date;
  };
  for (const Column c : {Column{0, false}, Column{1, false}, Column{2, false}, Column{3, false}, Column{4, true},
                         Column{4, false}}) {
    TRowKeyCache cache;
    cache.Build(t.get(), c.column, 5, c.date);
    for (int i = 0; i < n; ++i)
      for (int j = 0; j < n; ++j) {
        TElTreeItem* a = t->Items().Item(i);
        TElTreeItem* b = t->Items().Item(j);
        EXPECT_EQ(cache.Compare(cache.IndexOf(a), cache.IndexOf(b)), Compare(a, b, c.column, 5, c.date))
            << "column " << c.column << (c.date ? " as dates" : "") << ": rows " << i << " and " << j;
      }
  }
}

}  // namespace
}  // namespace morvane
