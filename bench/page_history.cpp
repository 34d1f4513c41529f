// The entries of a 50 MB history index on the history page of the real main
// window: from the choice of the folder to its rows painted.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/main_form.h"
#include "bench_timing.h"
#include "browserdata/history/ie_history.h"
#include "browserdata/settings/persitent_properties.h"
#include "platform/core/classes.h"
#include "platform/ui/application.h"
#include "treeview/eltree.h"

using namespace morvane;

int main() {
  const char* data = std::getenv("MORVANE_BENCH_DATA");
  if (!data) {
    std::fprintf(stderr, "bench page_history: MORVANE_BENCH_DATA is not set\n");
    return 1;
  }
  const std::string folder = std::string(data) + "\\page_history\\MSHist012026120720261214\\";
  try {
    CreateProgramDialogs(Application);
    auto* frm = new TMainFrm(Application);
    frm->Properties = std::make_unique<TPersitentProperties>();
    if (frm->ElTreeHistory->Tree().HeaderSections().Count() == 0) frm->SetupGrids();
    frm->Show();
    frm->IETabControl->SetTabIndex(2);
    frm->IETabControlChange(frm->IETabControl);
    frm->History = std::make_unique<TIEHistory>();
    TStringList lines;
    lines.Add("1\t" + folder);
    frm->ElTreeHistoryFiles->Tree().Items().LoadFromStrings(lines);
    TElTreeItem* row = frm->ElTreeHistoryFiles->Tree().Items().Item(0);
    frm->ElTreeHistoryFiles->Tree().SetItemFocused(row);
    Application->ProcessMessages();
    TElTreeWindow* grid = frm->ElTreeHistory;

    const double ms = bench::Time(
        5, [&] { frm->LastHistoryFolder.clear(); },
        [&] {
          frm->LoadIEHistoryEntries(row);
          RedrawWindow(grid->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        });
    const int rows = grid->Tree().Items().Count();
    if (rows == 0) {
      std::fprintf(stderr, "bench page_history: no entries read from %sindex.dat\n", folder.c_str());
      return 1;
    }
    std::fprintf(stderr, "page_history: %d entries\n", rows);
    std::printf("bench page_history_50mb %.1f ms\n", ms);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "bench page_history: %s\n", e.what());
    return 1;
  }
  return 0;
}
