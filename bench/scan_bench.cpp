// One client-scan pass over 100 named devices on the real window, side by
// side with one read of the system's neighbour table and with a worker that
// does nothing (what any pass pays to start and be seen ending).
//   scan_bench.exe [runs]
#include <algorithm>
#include <cstdlib>
#include <functional>

#include "guard_rig.h"

int main(int argc, char** argv) {
  using namespace lumora;
  const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 10;
  Win32NeighbourPort port;
  std::vector<NeighbourRow> rows;
  BenchRig r(100);
  // A pass as the timer runs it: on a worker, until the window sees it end.
  auto pass = [&](const std::function<void()>& body) {
    WorkerHandle w = r.host.StartWorkerThread(body);
    return ServeUntil([&] { return w->Finished(); });
  };
  double work = 0;
  auto timed_scan = [&] {
    const double begin = NowMs();
    r.guard.ClientScan();
    work = NowMs() - begin;
  };
  for (int i = 0; i < runs; ++i) {
    double begin = NowMs();
    port.ReadRows(rows);
    const double table = NowMs() - begin;
    const double empty_worker = pass([] {});
    // Every row written (the first pass, or devices that all changed) ...
    r.window.ClearRows(Ctl::超级列表框1);
    const double first = pass([&] { r.guard.ClientScan(); });
    // ... and the timer's usual case: the same devices again.
    const double steady = pass(timed_scan);
    std::printf("RESULT scan_ms ours=%.2f base=%.3f\n", steady, table);
    std::printf("RESULT scan_first_ms ours=%.2f base=%.3f\n", first, table);
    std::printf("RESULT scan_work_ms ours=%.2f base=%.3f\n", work, empty_worker);
  }
  std::printf("%d rows listed\n", r.window.RowCount(Ctl::超级列表框1));
  return 0;
}
