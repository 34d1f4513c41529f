// Walks every URL record of a 50 MB history index as the history page does
// (FindFirst, then FindNext until the end), and compares the time with
// msiecfexport's listing of the same file, timed by history_walk.sh.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "browserdata/history/ie_history.h"

int main() {
  using namespace morvane;
  const char* data = std::getenv("MORVANE_BENCH_DATA");
  if (!data) {
    std::fprintf(stderr, "history_walk: MORVANE_BENCH_DATA is not set\n");
    return 1;
  }
  const std::string file = std::string(data) + "\\history-50mb.dat";
  TIEHistory history;
  std::vector<double> ms;
  size_t entries = 0;
  for (int run = 0; run < 7; ++run) {
    const auto start = std::chrono::steady_clock::now();
    TIEHistoryEntry e;
    size_t n = 0;
    for (history.FindFirst(file, e); !e.URL.empty(); history.FindNext(e)) ++n;
    ms.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
    entries = n;
  }
  std::sort(ms.begin(), ms.end());
  const double median = ms[ms.size() / 2];
  std::fprintf(stderr, "history_walk: %zu entries\n", entries);
  std::printf("bench history_walk_50mb %.1f ms\n", median);
  std::ifstream peer(std::string(data) + "\\msiecfexport_ms.txt");
  double peerMs = 0;
  if (peer >> peerMs && peerMs > 0) std::printf("ratio history_walk_vs_msiecfexport %.3f\n", median / peerMs);
  return entries ? 0 : 1;
}
