// The Internet Explorer cookies page on a cookie folder of 10,000 files with
// three cookies each (the data of ie_folder.sh): from the command that loads
// the page to its rows painted, in the real main window. The same folder read
// by the store alone, in the same run, is the measure of what the disk costs:
// the page should add little to it.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/main_form.h"
#include "bench_timing.h"
#include "browserdata/ie/cookie_info.h"
#include "browserdata/settings/persitent_properties.h"
#include "platform/ui/application.h"
#include "treeview/eltree.h"

using namespace morvane;

int main() {
  const char* data = std::getenv("MORVANE_BENCH_DATA");
  if (!data) {
    std::fprintf(stderr, "bench page_ie: MORVANE_BENCH_DATA is not set\n");
    return 1;
  }
  const std::string folder = std::string(data) + "\\ie_folder\\";
  try {
    CreateProgramDialogs(Application);
    auto* frm = new TMainFrm(Application);
    frm->Properties = std::make_unique<TPersitentProperties>();
    if (frm->IECookiesElTree->Tree().HeaderSections().Count() == 0) frm->SetupGrids();
    frm->AddIECookieFolder(tIEProfileInfo{"bench", folder, false, true});
    frm->Show();
    Application->ProcessMessages();
    // The start-up chose the user's own folder: the bench folder is chosen
    // as the user would, by its entry.
    for (int i = 0; i < frm->CboIECookieFolders->Items()->Count(); ++i)
      if (frm->IECookieFolder(i)->Folder == folder) frm->CboIECookieFolders->SetItemIndex(i);
    TElTreeWindow* grid = frm->IECookiesElTree;

    // Refresh's path: the folder listed again, the rows made, sorted and
    // painted. The first load in the process reads every file; a later one
    // finds them unchanged since that read.
    const double first = bench::Time(
        1, [&] { grid->SetTag(-1); },
        [&] {
          frm->ReloadIECookies();
          RedrawWindow(grid->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        });
    const double page = bench::Time(
        5, [&] { grid->SetTag(-1); },
        [&] {
          frm->ReloadIECookies();
          RedrawWindow(grid->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        });
    const int rows = grid->Tree().Items().Count();
    if (rows != 30000) {
      std::fprintf(stderr, "bench page_ie: %d rows, expected 30000\n", rows);
      return 1;
    }
    // The store alone reading every file from the disk: what the disk costs.
    size_t cookies = 0;
    const double store = bench::Time(
        5, [] { TCookieInfo::ForgetEarlierReads(); },
        [&] {
          TCookieInfo info(folder);
          cookies = 0;
          for (int i = 0; i < info.GetFoundFileCount(); ++i) {
            TCookieInfoDetails d;
            info.GetFileDetails(i, d);
            cookies += d.Cookies.size();
          }
        });
    if (cookies != 30000) {
      std::fprintf(stderr, "bench page_ie: the store read %zu cookies, expected 30000\n", cookies);
      return 1;
    }
    std::printf("bench page_ie_10k_files %.1f ms\n", page);
    std::printf("bench page_ie_store_10k_files %.1f ms\n", store);
    std::printf("ratio page_ie_vs_store %.3f\n", page / store);
    std::printf("bench page_ie_10k_files_first_load %.1f ms\n", first);
    std::printf("ratio page_ie_first_load_vs_store %.3f\n", first / store);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "bench page_ie: %s\n", e.what());
    return 1;
  }
  return 0;
}
