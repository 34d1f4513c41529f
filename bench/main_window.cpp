// The main window itself: Page Down in a grid of 100,000 rows to the repaint
// done, and the peak working set once the Firefox cookie page shows 100,000
// cookies. (The browser switch is bench_page_switch.)
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "app/main_form.h"
#include "bench_main_window.h"
#include "bench_timing.h"
#include "browserdata/sys/qb_sys_utils.h"
#include "platform/core/files.h"
#include "platform/core/classes.h"
#include "platform/ui/application.h"
#include "platform/ui/modal.h"
#include "platform/win32.h"
#include "treeview/eltreeitems.h"

#include <psapi.h>

using namespace morvane;

namespace {

constexpr int kRows = 100000;

void Paint(TElTreeWindow* Grid) {
  RedrawWindow(Grid->View()->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
}

// A Firefox profile of the running user, listed in profiles.ini, with the
// benchmark data's 100,000-cookie file.
bool FirefoxProfile() {
  const char* data = std::getenv("MORVANE_BENCH_DATA");
  std::string appData;
  if (data) GetSpecialFolderPath(nullptr, csidlAppData, appData);
  if (!data || appData.empty()) {
    std::fprintf(stderr, "no bench data or application data folder\n");
    return false;
  }
  const std::string firefox = appData + "\\Mozilla\\Firefox";
  const std::string profile = firefox + "\\Profiles\\bench.default";
  ForceDirectories(profile);
  const std::string source = std::string(data) + "\\cookies_txt\\profile\\cookies.txt";
  if (!CopyFileA(source.c_str(), (profile + "\\cookies.txt").c_str(), FALSE)) {
    std::fprintf(stderr, "cannot copy %s\n", source.c_str());
    return false;
  }
  std::ofstream(firefox + "\\profiles.ini")
      << "[General]\r\nStartWithLastProfile=1\r\n\r\n[Profile0]\r\nName=default\r\nIsRelative=1\r\n"
         "Path=Profiles/bench.default\r\nDefault=1\r\n";
  return true;
}

double PeakWorkingSetMB() {
  PROCESS_MEMORY_COUNTERS pmc{};
  pmc.cb = sizeof pmc;
  K32GetProcessMemoryInfo(GetCurrentProcess(), &pmc, sizeof pmc);
  return static_cast<double>(pmc.PeakWorkingSetSize) / (1024.0 * 1024.0);
}

}  // namespace

int main() {
  TMainFrm* frm = bench::ShowMainWindow();

  // The Firefox cookie page as the program loads it: a profile whose
  // cookies.txt holds 100,000 cookies (the file of cookies_txt.sh).
  if (!FirefoxProfile()) return 1;
  frm->BrowserCheckClick(frm->FireFoxCheck);
  Application->ProcessMessages();
  TElTreeWindow* grid = frm->MozillaCookiesElTree;
  TElTree& tree = grid->Tree();
  frm->RestoreGridPosition(grid, 0, 0);
  Paint(grid);
  Application->ProcessMessages();
  if (tree.Items().Count() != kRows || frm->GetViewKind() != 5) {
    std::fprintf(stderr, "the Firefox cookie page is not in view\n");
    return 1;
  }
  std::printf("bench mem_firefox_100k %.0f MB\n", PeakWorkingSetMB());

  HWND view = grid->View()->Handle();
  SetFocus(view);
  int presses = 0;
  std::printf("bench scroll_page_100k %.2f ms\n", bench::Time(41, [&] {
                if (++presses % 20 == 0) frm->RestoreGridPosition(grid, 0, 0);
                Paint(grid);
              }, [&] {
                SendMessageA(view, WM_KEYDOWN, VK_NEXT, 0);
                SendMessageA(view, WM_KEYUP, VK_NEXT, 0xC0000001);
                UpdateWindow(view);
              }));
  if (tree.TopIndex() == 0) std::fprintf(stderr, "Page Down did not scroll\n");

  delete frm;
  return 0;
}
