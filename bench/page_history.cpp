// The entries of a 50 MB history index on the history page of the real main
// window: from the choice of the folder to its rows painted.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/main_form.h"
#include "browserdata/history/ie_history.h"
#include "platform/core/classes.h"
#include "platform/ui/application.h"
#include "platform/win32.h"

using namespace morvane;

namespace {

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

void Settle() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

}  // namespace

int main() {
  const char* data = std::getenv("MORVANE_BENCH_DATA");
  if (!data) {
    std::fprintf(stderr, "page_history: MORVANE_BENCH_DATA is not set\n");
    return 1;
  }
  const std::string folder = std::string(data) + "\\page_history\\MSHist012026120720261214\\";
  Application->Initialize();
  CreateProgramDialogs(Application);
  TMainFrm* frm = nullptr;
  Application->CreateForm(frm);
  frm->Show();
  frm->ShowIEHistoryPage();
  frm->History = std::make_unique<TIEHistory>();
  TStringList lines;
  lines.Add("1\t" + folder);
  frm->ElTreeHistoryFiles->Tree().Items().LoadFromStrings(lines);
  TElTreeItem* row = frm->ElTreeHistoryFiles->Tree().Items().Item(0);
  frm->ElTreeHistoryFiles->Tree().SetItemFocused(row);
  Settle();

  std::vector<double> ms;
  int rows = 0;
  for (int run = 0; run < 5; ++run) {
    frm->LastHistoryFolder.clear();
    const auto start = std::chrono::steady_clock::now();
    frm->LoadIEHistoryEntries(row);
    UpdateWindow(frm->ElTreeHistory->View()->Handle());
    Settle();
    ms.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
    rows = frm->ElTreeHistory->Tree().Items().Count();
  }
  std::fprintf(stderr, "page_history: %d entries\n", rows);
  if (rows == 0) return 1;
  std::printf("bench page_history_50mb %.1f ms\n", Median(ms));
  return 0;
}
