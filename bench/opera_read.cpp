// Reads a cookies4.dat of 20,000 cookies and walks every cookie, as the
// Opera page's loader does.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "browserdata/opera/qb_opera_cookie_info.h"

int main() {
  using namespace morvane;
  const char* data = std::getenv("MORVANE_BENCH_DATA");
  if (!data) {
    std::fprintf(stderr, "opera_read: MORVANE_BENCH_DATA is not set\n");
    return 1;
  }
  const std::string file = std::string(data) + "\\opera-20k.dat";
  std::vector<double> ms;
  size_t cookies = 0;
  for (int run = 0; run < 7; ++run) {
    const auto start = std::chrono::steady_clock::now();
    QbOperaCookieInfo store(file);
    size_t n = 0;
    std::string name;
    for (TOperaCookieNode* node = store.First(); node; node = store.Next()) {
      store.GetNodeName(name);
      n += node->Cookies.size();
    }
    ms.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
    cookies = n;
  }
  std::sort(ms.begin(), ms.end());
  std::fprintf(stderr, "opera_read: %zu cookies\n", cookies);
  std::printf("bench opera_read_20k %.1f ms\n", ms[ms.size() / 2]);
  return cookies == 20000 ? 0 : 1;
}
