// One client-scan pass over 100 named devices on the real window, against
// one read of the system's neighbour table, side by side.
//   scan_bench.exe [runs]
#include <algorithm>
#include <cstdlib>

#include "guard_rig.h"

int main(int argc, char** argv) {
  using namespace lumora;
  const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 10;
  Win32NeighbourPort port;
  std::vector<NeighbourRow> rows;
  BenchRig r(100);
  std::vector<double> table, pass;
  for (int i = 0; i < runs; ++i) {
    const double begin = NowMs();
    port.ReadRows(rows);
    table.push_back(NowMs() - begin);
    WorkerHandle w = r.host.StartWorkerThread([&] { r.guard.ClientScan(); });
    pass.push_back(ServeUntil([&] { return w->Finished(); }));
    std::printf("RESULT scan_ms ours=%.2f base=%.3f\n", pass.back(), table.back());
  }
  std::printf("GetIpNetTable: %.2f ms; scan pass, 100 named devices: %.1f ms (medians); %d rows listed\n",
              Median(table), Median(pass), r.window.RowCount(Ctl::超级列表框1));
  return 0;
}
