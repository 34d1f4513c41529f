// The tree-list model on 100,000 rows shaped like the Internet Explorer
// cookie grid (main text "1", ten cells: texts, Yes/No, date texts; eleven
// sections, five of them auto-sized), without a window: load, sorts, filter,
// selection, deletion, clear. The baseline loads the same rows into a Win32
// report list view (in a hidden top-level window) with redraw off.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "bench_timing.h"
#include "platform/core/classes.h"
#include "platform/core/sysutils.h"
#include "platform/win32.h"
#include "treeview/eltree.h"

#include <commctrl.h>

using namespace morvane;

namespace {

constexpr int kRows = 100000;
constexpr int kRuns = 5;

using bench::Time;

uint32_t g_seed = 4242;
uint32_t Next() {
  g_seed = g_seed * 1664525u + 1013904223u;
  return g_seed >> 8;
}

std::string Word(int min, int spread) {
  std::string w;
  int n = min + static_cast<int>(Next() % spread);
  for (int k = 0; k < n; ++k) w.push_back(static_cast<char>('a' + Next() % 26));
  return w;
}

std::string DateText() {
  char buf[40];
  int h = static_cast<int>(Next() % 12) + 1;
  std::snprintf(buf, sizeof buf, "%u/%u/%u %d:%02u:%02u %s", 1 + Next() % 12, 1 + Next() % 28,
                2000 + Next() % 25, h, Next() % 60, Next() % 60, (Next() & 1) ? "PM" : "AM");
  return buf;
}

const char* kCaptions[] = {"Row Number", "File Name", "Cookie Name", "Cookie Value",
                           "Cookie Domain", "Secure", "HttpOnly", "Created Date",
                           "Expitration Date", "Last Modified Date", "Flags"};

void SetupColumns(TCustomElTree& t) {
  for (int i = 0; i < 11; ++i) {
    TElHeaderSection* s = t.HeaderSections().AddSection();
    s->SetText(AnsiToWide(kCaptions[i]));
    s->SetWidth(100);
    s->SetAutoSize(i >= 5 && i <= 9);
    s->SetFieldType(i >= 7 && i <= 9 ? sftDateTime : sftText);
  }
  t.SetShowColumns(true);
}

HWND ListViewWindow(HWND& Frame) {
  INITCOMMONCONTROLSEX icc{sizeof icc, ICC_LISTVIEW_CLASSES};
  InitCommonControlsEx(&icc);
  Frame = CreateWindowExA(0, "STATIC", "bench", WS_OVERLAPPEDWINDOW, 0, 0, 800, 600, nullptr,
                          nullptr, GetModuleHandleA(nullptr), nullptr);
  HWND lv = CreateWindowExW(0, WC_LISTVIEWW, L"", WS_CHILD | WS_VISIBLE | LVS_REPORT, 0, 0, 780,
                            560, Frame, nullptr, GetModuleHandleA(nullptr), nullptr);
  for (int i = 0; i < 11; ++i) {
    std::wstring caption = AnsiToWide(kCaptions[i]);
    LVCOLUMNW col{};
    col.mask = LVCF_TEXT | LVCF_WIDTH;
    col.cx = 100;
    col.pszText = caption.data();
    SendMessageW(lv, LVM_INSERTCOLUMNW, i, reinterpret_cast<LPARAM>(&col));
  }
  return lv;
}

void LoadListView(HWND lv, const std::vector<std::vector<std::wstring>>& rows) {
  SendMessageW(lv, WM_SETREDRAW, FALSE, 0);
  for (int r = 0; r < static_cast<int>(rows.size()); ++r) {
    const auto& cells = rows[r];
    LVITEMW item{};
    item.mask = LVIF_TEXT;
    item.iItem = r;
    item.pszText = const_cast<wchar_t*>(cells[0].c_str());
    int at = static_cast<int>(SendMessageW(lv, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
    for (int c = 1; c < 11; ++c) {
      LVITEMW sub{};
      sub.iSubItem = c;
      sub.pszText = const_cast<wchar_t*>(cells[c].c_str());
      SendMessageW(lv, LVM_SETITEMTEXTW, at, reinterpret_cast<LPARAM>(&sub));
    }
  }
  SendMessageW(lv, WM_SETREDRAW, TRUE, 0);
}

}  // namespace

int main() {
  TStringList lines;
  std::vector<std::vector<std::wstring>> cells;
  cells.reserve(kRows);
  for (int i = 0; i < kRows; ++i) {
    std::vector<std::string> row = {"1",
                                    "user@" + Word(5, 8) + "[1].txt",
                                    Word(4, 10),
                                    Word(8, 30),
                                    Word(5, 10) + ".com/" + Word(0, 6),
                                    (Next() & 1) ? "Yes" : "No",
                                    (Next() % 5 == 0) ? "Yes" : "No",
                                    DateText(),
                                    DateText(),
                                    DateText(),
                                    std::to_string(Next() % 10000)};
    std::string line;
    std::vector<std::wstring> w;
    for (size_t k = 0; k < row.size(); ++k) {
      if (k) line += '\t';
      line += row[k];
      w.push_back(AnsiToWide(row[k]));
    }
    lines.Add(line);
    cells.push_back(std::move(w));
  }

  TGdiTextMeasurer measurer(L"Tahoma", -11);
  TElTree tree(nullptr);
  tree.SetTextMeasurer(&measurer);
  tree.HeadlessView()->Handle = true;
  tree.HeadlessView()->Width = 780;
  tree.HeadlessView()->Height = 540;
  SetupColumns(tree);
  auto load = [&] { tree.Items().LoadFromStrings(lines); };

  const double tLoad = Time(kRuns, [&] { tree.Items().Clear(); }, load);
  std::printf("bench tree_load_100k %.1f ms\n", tLoad);

  auto sortBy = [&](int Section) {
    tree.SetSortSection(Section);
    tree.SortDir = tree.SortDir == sdAscend ? sdDescend : sdAscend;
    tree.Sort(true);
  };
  std::printf("bench tree_sort_text_100k %.1f ms\n", Time(kRuns, [] {}, [&] { sortBy(2); }));

  // The main window's comparison: the sort cell and the first three cells
  // joined as 8-bit text, compared byte by byte. Its keys are made once per
  // sort, at the sort's start.
  std::vector<std::string> keys;
  tree.OnSortBegin = [&](TObject*) {
    keys.resize(tree.Items().Count());
    for (int i = 0; i < tree.Items().Count(); ++i) {
      TElTreeItem* it = tree.Items().Item(i);
      const TElWideStringList& ct = *it->ColumnTexts();
      std::string k = WideToAnsi(ct.GetRef(2));
      k += WideToAnsi(ct.GetRef(0));
      k += WideToAnsi(ct.GetRef(1));
      keys[i] = std::move(k);
      it->UserTag = i;
    }
  };
  tree.OnCompareItems = [&](TObject*, TElTreeItem* a, TElTreeItem* b, int& res) {
    int r = keys[a->UserTag].compare(keys[b->UserTag]);
    res = r < 0 ? -1 : (r > 0 ? 1 : 0);
  };
  tree.SortType = stCustom;
  std::printf("bench tree_sort_custom_100k %.1f ms\n", Time(kRuns, [] {}, [&] { sortBy(-1); }));
  tree.OnSortBegin = nullptr;
  tree.OnCompareItems = nullptr;
  tree.SortType = stText;
  std::printf("bench tree_sort_date_100k %.1f ms\n", Time(kRuns, [] {}, [&] { sortBy(8); }));

  auto unfilter = [&] {
    tree.BeginUpdate();
    tree.SetFilteredVisibility(false);
    for (int i = 0; i < tree.Items().Count(); ++i) tree.Items().Item(i)->SetHidden(false);
    tree.EndUpdate();
  };
  std::printf("bench tree_filter_100k %.1f ms\n",
              Time(kRuns, unfilter, [&] {
                tree.BeginUpdate();
                for (int i = 0; i < tree.Items().Count(); ++i) {
                  TElTreeItem* it = tree.Items().Item(i);
                  it->SetHidden(it->ColumnTexts()->GetRef(2).find(L"ab") == std::wstring::npos);
                }
                tree.SetFilteredVisibility(true);
                tree.EndUpdate();
              }));
  unfilter();

  std::printf("bench tree_select_all_100k %.1f ms\n",
              Time(kRuns, [&] { tree.DeselectAll(); }, [&] { tree.SelectAll(); }));
  std::printf("bench tree_deselect_all_100k %.1f ms\n",
              Time(kRuns, [&] { tree.SelectAll(); }, [&] { tree.DeselectAll(); }));

  std::printf("bench tree_delete_1k_of_100k %.1f ms\n",
              Time(
                  kRuns,
                  [&] {
                    if (tree.Items().Count() != kRows) load();
                    tree.DeselectAll();
                    for (int i = 0; i < kRows; i += 100) tree.Items().Item(i)->SetSelected(true);
                  },
                  [&] {
                    tree.BeginUpdate();
                    TElList selected;
                    tree.AllSelected(selected);
                    for (int i = 0; i < selected.Count(); ++i)
                      static_cast<TElTreeItem*>(selected.Get(i))->Delete();
                    tree.EndUpdate();
                  }));

  std::printf("bench tree_clear_100k %.1f ms\n",
              Time(kRuns, load, [&] { tree.Items().Clear(); }));

  HWND frame = nullptr;
  HWND lv = ListViewWindow(frame);
  const double tList = Time(
      3, [&] { SendMessageW(lv, LVM_DELETEALLITEMS, 0, 0); }, [&] { LoadListView(lv, cells); });
  std::printf("bench listview_load_100k %.1f ms\n", tList);
  std::printf("ratio tree_load_vs_listview %.3f\n", tLoad / tList);
  DestroyWindow(frame);
  return 0;
}
