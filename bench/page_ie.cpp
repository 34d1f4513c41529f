// The Internet Explorer cookies page on a cookie folder of 10,000 files with
// three cookies each (the data of ie_folder.sh): from the command that loads
// the page to its rows painted, in the real main window. The same folder read
// by the store alone, in the same run, is the measure of what the disk costs:
// the page should add little to it.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/main_form.h"
#include "browserdata/ie/cookie_info.h"
#include "platform/ui/application.h"
#include "platform/win32.h"

using namespace morvane;

namespace {

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

double Ms(std::chrono::steady_clock::time_point from) {
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - from).count();
}

// Every message the window has waiting, paints included.
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
    std::fprintf(stderr, "page_ie: MORVANE_BENCH_DATA is not set\n");
    return 1;
  }
  const std::string folder = std::string(data) + "\\ie_folder\\";
  Application->Initialize();
  CreateProgramDialogs(Application);
  TMainFrm* frm = nullptr;
  Application->CreateForm(frm);
  frm->Show();
  frm->ShowIECookieFolder(folder);
  Settle();

  std::vector<double> page, store;
  int rows = 0;
  for (int run = 0; run < 5; ++run) {
    auto start = std::chrono::steady_clock::now();
    frm->IECookiesElTree->SetTag(-1);
    frm->ReloadIECookies();
    UpdateWindow(frm->IECookiesElTree->View()->Handle());
    Settle();
    page.push_back(Ms(start));
    rows = frm->IECookiesElTree->Tree().Items().Count();

    start = std::chrono::steady_clock::now();
    {
      TCookieInfo info(folder);
      for (int i = 0; i < info.GetFoundFileCount(); ++i) {
        TCookieInfoDetails d;
        info.GetFileDetails(i, d);
      }
    }
    store.push_back(Ms(start));
  }
  if (rows != 30000) {
    std::fprintf(stderr, "page_ie: %d rows, expected 30000\n", rows);
    return 1;
  }
  std::printf("bench page_ie_10k_files %.1f ms\n", Median(page));
  std::printf("bench page_ie_store_10k_files %.1f ms\n", Median(store));
  std::printf("ratio page_ie_vs_store %.3f\n", Median(page) / Median(store));
  return 0;
}
