// Median times from starting LumoraWiFi.exe to its window shown and to its
// start button enabled and reading "开启WiFi" (ready), against the smallest
// program that shows a window (minimal_window.exe, or the baseline
// LUMORA_BENCH_BASELINE names), both started the same way from here.
//   startup_bench.exe PATH\LumoraWiFi.exe [runs]
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "timing.h"

#include "app_driver.h"
#include "win32/app_messages.h"
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

// Milliseconds from the start until `visible` and then `ready` hold for the
// started program, each -1 when it never did.
template <class Visible, class Ready>
std::pair<double, double> TimeToReady(const std::string& exe, Visible visible, Ready ready) {
  const double start = NowMs();
  Program program(exe);
  if (!program.Started()) return {-1, -1};
  const bool shown = WaitUntilFast(visible, 20000);
  const double seen = NowMs() - start;
  const bool ok = shown && WaitUntilFast(ready, 20000);
  return {shown ? seen : -1, ok ? NowMs() - start : -1};
}

BOOL CALLBACK TakeButton(HWND hwnd, LPARAM found) {
  if (GetDlgCtrlID(hwnd) != ControlId(Ctl::按钮开始)) return TRUE;
  *reinterpret_cast<HWND*>(found) = hwnd;
  return FALSE;
}

// The start button, found by its id alone.
HWND ButtonOf(HWND main) {
  HWND found = nullptr;
  if (main) EnumChildWindows(main, TakeButton, reinterpret_cast<LPARAM>(&found));
  return found;
}

std::wstring SystemText(HWND hwnd) {
  wchar_t text[64] = {};
  InternalGetWindowText(hwnd, text, 64);
  return text;
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
  const std::string minimal = Narrow(dir) + BaselineProgram();

  std::vector<double> ours, ours_visible, baseline;
  const auto main_window = [] {
    HWND main = FindWindowW(nullptr, L"LumoraWiFi5.1");
    return main && IsWindowVisible(main) ? main : nullptr;
  };
  for (int i = 0; i < runs; ++i) {
    // Ready: the start button can be pressed and says so. Read without a
    // message to the program (its window thread would serve every one while
    // it starts): the button is found once by its id, its text is the copy
    // the system keeps.
    HWND button = nullptr;
    const auto [visible, ready] = TimeToReady(
        program, [&] { return main_window() != nullptr; },
        [&] {
          if (!button) button = ButtonOf(main_window());
          return button && IsWindowEnabled(button) && SystemText(button) == L"开启WiFi";
        });
    ours_visible.push_back(visible);
    ours.push_back(ready);
    // Let the program end before the next start (one instance at a time).
    if (HWND main = FindWindowW(nullptr, L"LumoraWiFi5.1")) PostMessageW(main, WM_CLOSE, 0, 0);
    WaitUntilFast([] { return !FindWindowW(nullptr, L"LumoraWiFi5.1"); }, 10000);
    const auto bare_visible = [] {
      HWND w = FindWindowW(nullptr, L"MinimalWindow");
      return w && IsWindowVisible(w);
    };
    baseline.push_back(TimeToReady(minimal, bare_visible, bare_visible).first);
    if (HWND w = FindWindowW(nullptr, L"MinimalWindow")) PostMessageW(w, WM_CLOSE, 0, 0);
    WaitUntilFast([] { return !FindWindowW(nullptr, L"MinimalWindow"); }, 10000);
  }
  for (int i = 0; i < runs; ++i) {
    std::printf("RESULT startup_visible_ms ours=%.1f base=%.1f\n", ours_visible[i], baseline[i]);
    std::printf("RESULT startup_ms ours=%.1f base=%.1f\n", ours[i], baseline[i]);
  }
  std::printf("runs: %d each (interleaved)\n", runs);
  std::printf("LumoraWiFi visible, median: %.1f ms\n", Median(ours_visible));
  std::printf("LumoraWiFi to an enabled start button, median: %.1f ms\n", Median(ours));
  std::printf("minimal window visible, median: %.1f ms\n", Median(baseline));
  std::printf("ratios: visible %.2f, ready %.2f\n", Median(ours_visible) / Median(baseline),
              Median(ours) / Median(baseline));
  return 0;
}
