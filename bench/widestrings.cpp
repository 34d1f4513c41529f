// Wide-string list of 1,000,000 short strings (add, sorted find, sort) and
// the upper-casing of sort keys over 10 MB of mixed text.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "controls/elstrutils.h"
#include "controls/elunicodestrings.h"

using namespace morvane;

namespace {

constexpr int kStrings = 1000000;
constexpr int kRuns = 5;

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

// Milliseconds of Work, median of kRuns; Setup runs untimed before each.
double Time(const std::function<void()>& Setup, const std::function<void()>& Work) {
  std::vector<double> ms;
  for (int r = 0; r < kRuns; ++r) {
    Setup();
    const auto t0 = std::chrono::steady_clock::now();
    Work();
    ms.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count());
  }
  return Median(ms);
}

uint32_t g_seed = 12345;
uint32_t Next() {
  g_seed = g_seed * 1664525u + 1013904223u;
  return g_seed >> 8;
}

}  // namespace

int main() {
  // Short strings such as column texts: 6 to 14 characters.
  std::vector<std::wstring> words(kStrings);
  for (auto& w : words) {
    const int n = 6 + static_cast<int>(Next() % 9);
    for (int k = 0; k < n; ++k) w.push_back(static_cast<wchar_t>(L'a' + Next() % 26));
  }

  std::unique_ptr<TElWideStringList> list;
  const double add = Time([&] { list = std::make_unique<TElWideStringList>(); },
                          [&] {
                            for (const auto& w : words) list->Add(w);
                          });
  std::printf("bench widestrings_1m_add %.1f ms\n", add);

  const double sort = Time(
      [&] {
        list = std::make_unique<TElWideStringList>();
        for (const auto& w : words) list->Add(w);
      },
      [&] { list->Sort(); });
  std::printf("bench widestrings_1m_sort %.1f ms\n", sort);

  list->SetSorted(true);
  std::vector<std::wstring> probes(words);
  std::reverse(probes.begin(), probes.end());
  for (int k = 0; k < kStrings; k += 2) probes[k] += L'!';  // half of them are absent
  int found = 0;
  const double find = Time([&] { found = 0; },
                           [&] {
                             int index;
                             for (const auto& p : probes) found += list->Find(p, index) ? 1 : 0;
                           });
  std::printf("bench widestrings_1m_find %.1f ms\n", find);

  // 10 MB of UTF-16: Latin, accented Latin, Greek, Cyrillic, CJK, digits, spaces.
  const wchar_t* pieces[] = {L"Cookie ", L"stra\u00DFe ", L"caf\u00E9 ", L"\u03C3\u03BF\u03C6\u03AF\u03B1 ",
                             L"\u043C\u0438\u0440 ", L"\u6F22\u5B57 ", L"12345 ", L"path/to/file.txt "};
  std::wstring text;
  const size_t units = 10u * 1024 * 1024 / sizeof(uint16_t);
  text.reserve(units + 32);
  while (text.size() < units) text += pieces[Next() % 8];
  text.resize(units);
  WideUpperCaseEx(L"warm-up");  // builds the reverse table once
  size_t sink = 0;
  const double upper = Time([] {}, [&] { sink += WideUpperCaseEx(text).size(); });
  std::printf("bench wide_upper_10mb %.1f ms\n", upper);
  std::printf("info wide_upper_10mb %.0f MB/s (found %d, %zu)\n", 10.0 / (upper / 1000.0), found,
              sink / kRuns);
  return 0;
}
