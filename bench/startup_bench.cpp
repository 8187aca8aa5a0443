// Median time from starting LumoraWiFi.exe to a visible window whose start
// button reads "开启WiFi", against the smallest program that shows a window
// (minimal_window.exe), both started the same way from here.
//   startup_bench.exe PATH\LumoraWiFi.exe [runs]
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "timing.h"

#include "app_driver.h"
#include "win32/utf16.h"

namespace lumora::e2e {
template <class F>
bool WaitUntilFast(F done, DWORD timeout_ms) {
  const ULONGLONG deadline = GetTickCount64() + timeout_ms;
  while (!done()) {
    if (GetTickCount64() >= deadline) return false;
    Sleep(1);
  }
  return true;
}
}  // namespace lumora::e2e

using namespace lumora;
using namespace lumora::e2e;

namespace {

// Milliseconds until `ready` holds for the started program, or -1.
template <class Ready>
double TimeToReady(const std::string& exe, Ready ready) {
  const double start = NowMs();
  Program program(exe);
  if (!program.Started()) return -1;
  const bool ok = WaitUntilFast(ready, 20000);
  const double took = NowMs() - start;
  return ok ? took : -1;
}

}  // namespace


int main(int argc, char** argv) {
  if (argc < 2) {
    std::printf("usage: startup_bench PATH\\LumoraWiFi.exe [runs]\n");
    return 2;
  }
  const std::string program = argv[1];
  const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 7;
  wchar_t self[MAX_PATH];
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  std::wstring dir(self);
  dir.resize(dir.find_last_of(L"\\/") + 1);
  const std::string minimal = Narrow(dir) + "minimal_window.exe";

  std::vector<double> ours, baseline;
  for (int i = 0; i < runs; ++i) {
    ours.push_back(TimeToReady(program, [] {
      HWND main = FindWindowW(nullptr, L"LumoraWiFi5.1");
      if (!main || !IsWindowVisible(main)) return false;
      HWND button = FindControl(main, Ctl::按钮开始);
      return button && WindowText(button) == "开启WiFi";
    }));
    // Let the program end before the next start (one instance at a time).
    if (HWND main = FindWindowW(nullptr, L"LumoraWiFi5.1")) PostMessageW(main, WM_CLOSE, 0, 0);
    WaitUntilFast([] { return !FindWindowW(nullptr, L"LumoraWiFi5.1"); }, 10000);
    baseline.push_back(TimeToReady(minimal, [] {
      HWND w = FindWindowW(nullptr, L"MinimalWindow");
      return w && IsWindowVisible(w);
    }));
    if (HWND w = FindWindowW(nullptr, L"MinimalWindow")) PostMessageW(w, WM_CLOSE, 0, 0);
    WaitUntilFast([] { return !FindWindowW(nullptr, L"MinimalWindow"); }, 10000);
  }
  for (int i = 0; i < runs; ++i) std::printf("RESULT startup_ms ours=%.1f base=%.1f\n", ours[i], baseline[i]);
  std::printf("runs: %d each (interleaved)\n", runs);
  std::printf("LumoraWiFi to a ready start button, median: %.1f ms\n", Median(ours));
  std::printf("minimal window visible, median: %.1f ms\n", Median(baseline));
  std::printf("ratio: %.2f\n", Median(ours) / Median(baseline));
  return 0;
}
