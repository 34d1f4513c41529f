// What the benchmarks share: the median of timed runs and a repeatable
// stream of random words for their data.
#pragma once

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "bench_sampler.h"

namespace morvane::bench {

inline double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

// Milliseconds of Work, median of Runs; Setup runs untimed before each.
inline double Time(int Runs, const std::function<void()>& Setup, const std::function<void()>& Work) {
  std::vector<double> ms;
  TSampler* sampler = TSampler::Get();
  for (int r = 0; r < Runs; ++r) {
    Setup();
    if (sampler) sampler->Resume();
    const auto t0 = std::chrono::steady_clock::now();
    Work();
    ms.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count());
    if (sampler) sampler->Pause();
  }
  if (sampler) sampler->NextSegment();
  return Median(ms);
}

// The same numbers for the same seed on every machine.
struct TRandom {
  uint32_t Seed;
  uint32_t Next() {
    Seed = Seed * 1664525u + 1013904223u;
    return Seed >> 8;
  }
  // Min to Min + Spread - 1 letters a to z.
  std::string Word(int Min, int Spread) {
    std::string w;
    const int n = Min + static_cast<int>(Next() % static_cast<uint32_t>(Spread));
    for (int k = 0; k < n; ++k) w.push_back(static_cast<char>('a' + Next() % 26));
    return w;
  }
};

}  // namespace morvane::bench
