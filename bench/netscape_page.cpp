// The Firefox cookies page of the real main window over a profile whose
// cookies.txt holds 100,000 cookies (the file of cookies_txt.sh, copied):
// from the command that loads the page to its rows painted, compared with
// Python's MozillaCookieJar().load of the same file; and one cookie edited
// through the edit command (dialog answered, file rewritten, page reloaded),
// checking that the rewritten file differs from the old one in that line only.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "app/edit_mozilla_cookie_dlg.h"
#include "bench_sampler.h"
#include "app/main_form.h"
#include "browserdata/netscape/mozilla_cookies.h"
#include "browserdata/settings/persitent_properties.h"
#include "browserdata/sys/qb_sys_utils.h"
#include "platform/core/files.h"
#include "platform/ui/application.h"
#include "platform/ui/modal.h"
#include "treeview/eltree.h"

namespace {

using namespace morvane;

// Under MORVANE_PROFILE the sampler records only the timed work; each
// group of figures is one segment of its report.
double Ms(const std::function<void()>& work) {
  bench::TSampler* sampler = bench::TSampler::Get();
  if (sampler) sampler->Resume();
  const auto start = std::chrono::steady_clock::now();
  work();
  const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
  if (sampler) sampler->Pause();
  return ms;
}

void EndSegment() {
  if (bench::TSampler* sampler = bench::TSampler::Get()) sampler->NextSegment();
}

double Median(std::vector<double> ms) {
  std::sort(ms.begin(), ms.end());
  return ms[ms.size() / 2];
}

std::string Bytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

std::vector<std::string> SplitLines(const std::string& b) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < b.size()) {
    size_t end = b.find('\n', start);
    if (end == std::string::npos) end = b.size();
    lines.push_back(b.substr(start, end - start));
    start = end + 1;
  }
  return lines;
}

}  // namespace

int main() {
  const char* data = std::getenv("MORVANE_BENCH_DATA");
  if (!data) {
    std::fprintf(stderr, "MORVANE_BENCH_DATA is not set\n");
    return 1;
  }
  try {
    // A Firefox profile of the running user, listed in profiles.ini.
    std::string appData;
    GetSpecialFolderPath(nullptr, csidlAppData, appData);
    const std::string firefox = appData + "\\Mozilla\\Firefox";
    const std::string profile = firefox + "\\Profiles\\bench.default";
    ForceDirectories(profile);
    const std::string source = std::string(data) + "\\cookies_txt\\profile\\cookies.txt";
    const std::string file = profile + "\\cookies.txt";
    if (!CopyFileA(source.c_str(), file.c_str(), FALSE)) {
      std::fprintf(stderr, "bench netscape_page: cannot copy %s\n", source.c_str());
      return 1;
    }
    std::ofstream(firefox + "\\profiles.ini")
        << "[General]\r\nStartWithLastProfile=1\r\n\r\n[Profile0]\r\nName=default\r\nIsRelative=1\r\n"
           "Path=Profiles/bench.default\r\nDefault=1\r\n";

    CreateProgramDialogs(Application);
    auto* frm = new TMainFrm(Application);
    frm->Properties = std::make_unique<TPersitentProperties>();
    if (frm->MozillaCookiesElTree->Tree().HeaderSections().Count() == 0) frm->SetupGrids();
    frm->BrowserKind = 1;
    frm->Show();
    Application->ProcessMessages();
    TElTreeWindow* grid = frm->MozillaCookiesElTree;
    auto loadAndPaint = [&] {
      frm->LoadMozillaCookies();
      RedrawWindow(grid->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    };
    std::vector<double> page;
    for (int i = 0; i < 5; ++i) page.push_back(Ms(loadAndPaint));
    const int rows = grid->Tree().Items().Count();
    if (rows != 100000) {
      std::fprintf(stderr, "bench netscape_page: %d rows, expected 100000\n", rows);
      return 1;
    }
    const double pageMs = Median(page);
    EndSegment();
    if (std::getenv("MORVANE_BENCH_PARTS")) {
      std::printf("part store %.1f\n", Ms([&] { frm->RecreateMozillaStore(false); }));
      std::printf("part fill %.1f\n", Ms([&] { frm->FillMozillaProfiles(0); }));
      std::printf("part sort %.1f\n", Ms([&] { frm->RestoreSort(grid); }));
      std::printf("part paint %.1f\n", Ms([&] { RedrawWindow(grid->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW); }));
      EndSegment();
    }
    std::printf("bench page_firefox_100k %.1f ms\n", pageMs);
    std::ifstream py(std::string(data) + "\\cookies_txt\\python_ms");
    double pyMs = 0;
    if (py >> pyMs && pyMs > 0) std::printf("ratio page_firefox_vs_python_jar %.3f\n", pageMs / pyMs);

    // One cookie edited as the user does it: the row chosen, the dialog
    // answered, the file rewritten and the page loaded again.
    int n = 0;
    std::string value;
    SetModalResponder([&](TModalRequest& r) -> int {
      auto* d = dynamic_cast<TEditMozillaCookieDlg*>(r.Form);
      if (!d) return IDCANCEL;
      d->edtCookieValue->SetText(value);
      d->BtnSave->Click();
      return mrKeepOpen;
    });
    std::vector<double> edit;
    bool identical = true;
    for (int i = 0; i < 5; ++i) {
      const std::vector<std::string> before = SplitLines(Bytes(file));
      TElTree& tree = grid->Tree();
      TElTreeItem* row = tree.Items().Item(50000 + i);
      tree.SetItemFocused(row);
      tree.DeselectAll();
      row->SetSelected(true);
      value = "edited-" + std::to_string(n++);
      edit.push_back(Ms([&] {
        frm->EditMozillaCookie();
        RedrawWindow(grid->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
      }));
      const std::vector<std::string> after = SplitLines(Bytes(file));
      int changed = 0;
      if (after.size() != before.size()) identical = false;
      for (size_t k = 0; identical && k < after.size(); ++k)
        if (after[k] != before[k]) {
          ++changed;
          if (after[k].find("\t" + value) == std::string::npos) identical = false;
        }
      if (changed != 1) identical = false;
    }
    SetModalResponder(nullptr);
    EndSegment();
    std::printf("bench edit_firefox_one_of_100k %.1f ms\n", Median(edit));
    if (!identical) {
      std::fprintf(stderr, "bench edit_firefox_one_of_100k: the file changed in more than the edited line\n");
      return 1;
    }
  } catch (const std::exception& e) {
    std::fprintf(stderr, "bench netscape_page: %s\n", e.what());
    return 1;
  }
  return 0;
}
