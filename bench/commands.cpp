// The main window's commands on 100,000 rows of the Firefox cookie page in
// the real window: a header click on a text and on a date column, the
// filter and its clearing, Save as in both formats and Copy of all rows,
// each timed until the rows are painted or the text is out.
#include <cstdio>
#include <string>
#include <vector>

#include "app/main_form.h"
#include "bench_timing.h"
#include "browserdata/settings/persitent_properties.h"
#include "platform/core/classes.h"
#include "platform/core/files.h"
#include "platform/ui/application.h"
#include "platform/ui/modal.h"
#include "platform/win32.h"
#include "treeview/eltreeitems.h"

using namespace morvane;

namespace {

constexpr int kRows = 100000;
constexpr int kRuns = 5;

bench::TRandom g_random{1717};
uint32_t Next() { return g_random.Next(); }
std::string Word(int Min, int Spread) { return g_random.Word(Min, Spread); }
using bench::Time;

std::string DateText() {
  char buf[40];
  std::snprintf(buf, sizeof buf, "%u/%u/%u %u:%02u:%02u %s", 1 + Next() % 12, 1 + Next() % 28, 2000 + Next() % 25,
                1 + Next() % 12, Next() % 60, Next() % 60, (Next() & 1) ? "PM" : "AM");
  return buf;
}

void Paint(TElTreeWindow* Grid) {
  HWND view = Grid->View()->Handle();
  RedrawWindow(view, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
}

}  // namespace

int main() {
  std::string target;
  SetModalResponder([&](TModalRequest& r) {
    if (r.Kind == TModalKind::mkSaveDialog) {
      *r.Value = target;
      return IDOK;
    }
    std::fprintf(stderr, "unexpected %s: %s %s\n", ModalKindName(r.Kind), r.Caption.c_str(), r.Text.c_str());
    return IDCANCEL;
  });

  TStringList lines;
  for (int i = 0; i < kRows; ++i)
    lines.Add("1\t" + Word(4, 10) + "\t" + Word(8, 30) + "\t" + ((Next() & 1) ? "." : "") + Word(5, 10) + ".com/" +
              Word(0, 6) + "\t" + DateText() + "\t" + ((Next() & 1) ? "Yes" : "No") + "\t" +
              ((Next() % 5) ? "Yes" : "No"));

  auto* frm = new TMainFrm(Application);
  frm->AfterConstruction();
  CreateProgramDialogs(frm);
  frm->SetBounds(0, 0, 1000, 720);
  frm->Show();
  frm->BrowsersPageControl->SetActivePage(frm->NetscapeTabSheet);
  frm->NetscapeViewableElementsPageControl->SetActivePage(frm->NetscapeCookiesTabSheet);
  TElTreeWindow* grid = frm->MozillaCookiesElTree;
  TElTree& tree = grid->Tree();
  tree.Items().LoadFromStrings(lines);
  Paint(grid);
  if (frm->GetViewKind() != 5 || tree.Items().Count() != kRows) {
    std::fprintf(stderr, "the Firefox cookie page is not in view\n");
    return 1;
  }

  std::printf("bench sort_click_100k %.1f ms\n", Time(kRuns, [] {}, [&] {
                frm->IECookiesElTreeHeaderColumnClick(grid, 1);
                Paint(grid);
              }));
  std::printf("bench sort_click_date_100k %.1f ms\n", Time(kRuns, [] {}, [&] {
                frm->IECookiesElTreeHeaderColumnClick(grid, 4);
                Paint(grid);
              }));

  frm->chkCookieNames->SetChecked(true);
  frm->chkCookieValues->SetChecked(true);
  frm->chkURLs->SetChecked(true);
  frm->chkCaseSensitive->SetChecked(false);
  std::printf("bench filter_100k %.1f ms\n", Time(kRuns, [&] {
                frm->btnClearSearchClick(nullptr);
                Paint(grid);
                frm->EdtItemToSearch->SetText("ab");
              }, [&] {
                frm->BtnSearchClick(nullptr);
                Paint(grid);
              }));
  std::printf("bench filter_clear_100k %.1f ms\n", Time(kRuns, [&] {
                frm->EdtItemToSearch->SetText("ab");
                frm->BtnSearchClick(nullptr);
                Paint(grid);
              }, [&] {
                frm->btnClearSearchClick(nullptr);
                Paint(grid);
              }));

  const std::string folder = GetTempDir();
  target = folder + "morvane-bench-export.txt";
  std::printf("bench export_txt_100k %.1f ms\n", Time(kRuns, [&] {
                frm->Properties->SetProperty("FilterIndex", "1");
              }, [&] { frm->SaveGridAs(false); }));
  target = folder + "morvane-bench-export.htm";
  std::printf("bench export_htm_100k %.1f ms\n", Time(kRuns, [&] {
                frm->Properties->SetProperty("FilterIndex", "3");
              }, [&] { frm->SaveGridAs(false); }));
  DeleteFile(folder + "morvane-bench-export.txt");
  DeleteFile(folder + "morvane-bench-export.htm");

  tree.SelectAll();
  std::printf("bench copy_selection_100k %.1f ms\n",
              Time(kRuns, [] {}, [&] { frm->mnuEditCopyToClipboardClick(nullptr); }));

  delete frm;
  return 0;
}
