// Median time of the hidden command runner against a bare CreateProcess and
// wait of the same program: what the pipe, the polling and the message
// serving cost on top of starting a process.
//   runner_bench.exe [runs]   (console_tool.exe beside it)
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "timing.h"

#include "win32/command_host_win.h"

namespace {

bool BareRun(std::wstring line) {
  STARTUPINFOW si{};
  si.cb = sizeof(si);
  PROCESS_INFORMATION pi{};
  if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr,
                      nullptr, &si, &pi))
    return false;
  WaitForSingleObject(pi.hProcess, INFINITE);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 25;
  wchar_t self[MAX_PATH];
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  std::wstring dir(self);
  dir.resize(dir.find_last_of(L"\\/") + 1);
  const std::wstring wide = L"\"" + dir + L"console_tool.exe\" silent";
  const std::string narrow(wide.begin(), wide.end());  // ASCII build path

  lumora::Win32CommandHost host;
  std::vector<double> runner, bare;
  for (int i = 0; i < runs; ++i) {
    double t = NowMs();
    host.RunHiddenCommand(narrow);
    runner.push_back(NowMs() - t);
    t = NowMs();
    if (!BareRun(wide)) return 1;
    bare.push_back(NowMs() - t);
  }
  for (int i = 0; i < runs; ++i) std::printf("RESULT runner_ms ours=%.1f base=%.1f\n", runner[i], bare[i]);
  std::printf("runs: %d each (interleaved)\n", runs);
  std::printf("RunHiddenCommand median: %.1f ms\n", Median(runner));
  std::printf("CreateProcess+wait median: %.1f ms\n", Median(bare));
  std::printf("ratio: %.2f\n", Median(runner) / Median(bare));
  return 0;
}
