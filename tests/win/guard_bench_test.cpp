// Timings of the client guard on the real window, reported by hand (not
// checked; the scan pass is bench/scan_bench.cpp): run with --gtest_also_run_disabled_tests
// --gtest_filter='*GuardBench*'.
#include <gtest/gtest.h>

#include <climits>
#include <functional>

#include "../bench/guard_rig.h"

namespace lumora {
namespace {

TEST(GuardBench, DISABLED_NamedRowsWhileLookupsHang) {
  BenchRig r(90);
  WorkerHandle w = r.host.StartWorkerThread([&] { r.guard.ClientScan(); });
  const double rows = ServeUntil([&] { return r.window.RowCount(Ctl::超级列表框1) == 100; });
  const double pass = rows + ServeUntil([&] { return w->Finished(); });
  std::printf("90 named rows shown after %.1f ms; the pass ended after %.1f ms\n", rows, pass);
}

TEST(GuardBench, DISABLED_ListViewOf10000Records) {
  BenchRig r(0);
  std::string text;
  for (int i = 0; i < 10000; ++i) text += "02-00-00-00-" + std::to_string(10 + i % 90) + "-" +
                                         std::to_string(10 + i / 90 % 90) + "+名字\r\n";
  r.files.files[kWhiteListPath] = Utf8ToGbk(text);
  constexpr Ctl kView = Ctl::超级列表框3;
  // As the view used to be filled: one hand-over for every row and cell.
  auto add_row = [&] {
    LVITEMW item{};
    item.iItem = INT_MAX;
    return int(SendMessageW(r.window.Handle(kView), LVM_INSERTITEMW, 0, LPARAM(&item)));
  };
  auto cell_by_cell = [&] {
    r.window.ClearRows(kView);
    for (const ListRecord& rec : ListRecords(text)) {
      const int row = add_row();
      r.window.SetCell(kView, row, 0, rec.mac);
      r.window.SetCell(kView, row, 1, rec.name);
    }
  };
  auto at_once = [&] { LoadListView(r.files, kWhiteListPath, r.window, kView); };
  auto time = [&](const char* name, const std::function<void()>& load, bool on_worker) {
    double begin = NowMs();
    const int had = r.window.RowCount(kView);
    r.window.ClearRows(kView);
    std::printf("emptying %d rows: %.0f ms; ", had, NowMs() - begin);
    begin = NowMs();
    if (on_worker) {
      WorkerHandle w = r.host.StartWorkerThread(load);
      ServeUntil([&] { return w->Finished(); });
    } else {
      load();
    }
    std::printf("%s, %s: %.0f ms (%d rows)\n", on_worker ? "worker, window shown" : "window thread, window hidden",
                name, NowMs() - begin, r.window.RowCount(kView));
  };
  r.window.SetVisible(kView, true);
  // At creation: the window is not shown yet.
  ShowWindow(r.window.Main(), SW_HIDE);
  time("cell by cell", cell_by_cell, false);
  time("at once", at_once, false);
  // A pass of a worker while the user watches.
  ShowWindow(r.window.Main(), SW_SHOW);
  time("cell by cell", cell_by_cell, true);
  time("at once", at_once, true);
}

}  // namespace
}  // namespace lumora
