// A profile whose cookies.txt holds 100,000 cookies (made by cookies_txt.sh):
// read into the store, written back, and one cookie edited as the edit
// command does it (reload, set, save); the read is compared with Python's
// MozillaCookieJar().load of the same file, and with the floor: a plain C++
// read of the file split into lines and TAB-separated fields, no more.
#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "browserdata/netscape/mozilla_cookies.h"

namespace {

double MedianMs(int runs, const std::function<void()>& work) {
  std::vector<double> ms;
  for (int i = 0; i < runs; ++i) {
    const auto start = std::chrono::steady_clock::now();
    work();
    ms.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
  }
  std::sort(ms.begin(), ms.end());
  return ms[ms.size() / 2];
}

// The least any reader does: the file's bytes, and each line's seven
// TAB-separated fields as strings of their own, in one array reserved once.
size_t ReadAndSplit(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::vector<std::array<std::string, 7>> lines;
  lines.reserve(static_cast<size_t>(std::count(bytes.begin(), bytes.end(), '\n')) + 1);
  size_t pos = 0;
  while (pos < bytes.size()) {
    size_t lf = bytes.find('\n', pos);
    if (lf == std::string::npos) lf = bytes.size();
    std::array<std::string, 7>& fields = lines.emplace_back();
    size_t start = pos;
    for (std::string& field : fields) {
      size_t tab = bytes.find('\t', start);
      if (tab == std::string::npos || tab > lf) tab = lf;
      field.assign(bytes, start, tab - start);
      start = std::min(tab + 1, lf);
    }
    pos = lf + 1;
  }
  return lines.size();
}

}  // namespace

int main() {
  using namespace morvane;
  const char* data = std::getenv("MORVANE_BENCH_DATA");
  if (!data) {
    std::fprintf(stderr, "MORVANE_BENCH_DATA is not set\n");
    return 1;
  }
  const std::string dir = std::string(data) + "\\cookies_txt\\profile";
  try {
    auto store = QbMozillaCookiesClass::CreateForProfile(dir);
    const std::string profile = store->GetProfiles()->Strings(0);
    if (store->Profile(0)->Cookies.size() != 100000) {
      std::fprintf(stderr, "bench cookies_txt: read %zu cookies, expected 100000\n", store->Profile(0)->Cookies.size());
      return 1;
    }
    const double read = MedianMs(7, [&] { store->ReloadCookies(profile); });
    const double write = MedianMs(7, [&] { store->SaveCookies(profile); });
    int n = 0;
    const double edit = MedianMs(7, [&] {
      store->ReloadCookies(profile);
      TQbCookie c = store->Profile(0)->Cookies[50000];
      c.ExpiresField.clear();  // as the edit dialog gives it back
      c.Value = "edited-" + std::to_string(n++);
      store->SetCookie(profile, c);
      store->SaveCookies(profile);
    });
    size_t lines = 0;
    const double floor = MedianMs(7, [&] { lines = ReadAndSplit(dir + "\\cookies.txt"); });
    if (lines < 100000) {
      std::fprintf(stderr, "bench cookies_txt: the floor read %zu lines, expected 100,000 and more\n", lines);
      return 1;
    }
    std::printf("bench cookies_txt_read_100k %.1f ms\n", read);
    std::printf("bench cookies_txt_floor_100k %.1f ms\n", floor);
    std::printf("ratio cookies_txt_read_vs_floor %.3f\n", read / floor);
    std::printf("bench cookies_txt_write_100k %.1f ms\n", write);
    std::ifstream py(dir.substr(0, dir.size() - 8) + "\\python_ms");
    double pyMs = 0;
    if (py >> pyMs && pyMs > 0) std::printf("ratio cookies_txt_read_vs_python %.3f\n", read / pyMs);
    std::printf("bench cookies_txt_edit_one_100k %.1f ms\n", edit);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "bench cookies_txt: %s\n", e.what());
    return 1;
  }
  return 0;
}
