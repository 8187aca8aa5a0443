#pragma once
// Clock and median for the benchmarks.
#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

inline double NowMs() {
  LARGE_INTEGER f, c;
  QueryPerformanceFrequency(&f);
  QueryPerformanceCounter(&c);
  return 1000.0 * double(c.QuadPart) / double(f.QuadPart);
}

inline double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
}

// The baseline started beside the program: minimal_window.exe, or the one
// LUMORA_BENCH_BASELINE names (themed_window.exe). Both title their window
// "MinimalWindow".
inline std::string BaselineProgram() {
  const char* named = std::getenv("LUMORA_BENCH_BASELINE");
  return named && *named ? named : "minimal_window.exe";
}
