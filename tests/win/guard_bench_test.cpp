// Timings of the client guard on the real window, reported by hand (not
// checked): run with --gtest_also_run_disabled_tests
// --gtest_filter='*GuardBench*'.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <cstdio>

#include "../bench/timing.h"
#include "guard/access_view.h"
#include "guard/device_files.h"
#include "unit/fakes/fake_guard.h"
#include "win32/command_host_win.h"
#include "win32/message_pump.h"
#include "win32/neighbours_win.h"
#include "win32/window/main_window.h"

namespace lumora {
namespace {

using fakes::Neighbour;

// Serves the window until `done` holds; the time it took, in ms.
template <class F>
double ServeUntil(F done) {
  const double begin = NowMs();
  while (!done()) {
    PumpPendingMessages();
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 1, QS_ALLINPUT);
  }
  return NowMs() - begin;
}

struct BenchRig {
  Win32Window window{GetModuleHandleW(nullptr)};
  fakes::MemoryFiles files;
  SettingsStore settings{files};
  Win32CommandHost host;
  fakes::FakeHotspot hotspot;
  fakes::FakeNeighbours neighbours;
  fakes::FakeLookups lookups;
  fakes::FakeInterfaceIndex indexes;
  fakes::FakeListViews lists;
  ClientGuard guard{
      GuardPorts{window, settings, files, hotspot, host, neighbours, lookups, indexes, lists}};

  // 100 devices; the first `named` of them are in the name book, the
  // others' lookups hang.
  explicit BenchRig(int named) {
    window.Create();
    ShowWindow(window.Main(), SW_SHOW);
    // The page "管理用户", as the user picks it.
    const HWND tab = window.Handle(Ctl::选择夹1);
    SendMessageW(tab, TCM_SETCURSEL, 1, 0);
    NMHDR picked{tab, UINT_PTR(GetDlgCtrlID(tab)), UINT(TCN_SELCHANGE)};
    SendMessageW(window.Main(), WM_NOTIFY, picked.idFrom, LPARAM(&picked));
    window.SetText(Ctl::编辑框虚拟网卡, "无线网络连接 2");
    std::string book;
    for (int i = 0; i < 100; ++i) {
      char ip[32], mac[32];
      std::snprintf(ip, sizeof ip, "192.168.137.%d", i + 2);
      std::snprintf(mac, sizeof mac, "02-00-00-00-00-%02X", i);
      neighbours.rows.push_back(Neighbour(ip, mac));
      if (i < named) book += std::string("\r\n") + mac + "+device" + std::to_string(i);
      else lookups.hanging.insert(ip);
    }
    files.files["c:\\wifiname.txt"] = book;
  }
  ~BenchRig() {
    lookups.ReleaseAll();
    DestroyWindow(window.Main());
    MSG quit;
    while (PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
  }
};

TEST(GuardBench, DISABLED_ScanPassAgainstOneTableRead) {
  std::vector<double> table, pass;
  Win32NeighbourPort port;
  std::vector<NeighbourRow> rows;
  BenchRig r(100);
  // Side by side: one read of the system's table, then one whole pass.
  for (int i = 0; i < 10; ++i) {
    const double begin = NowMs();
    port.ReadRows(rows);
    table.push_back(NowMs() - begin);
    WorkerHandle w = r.host.StartWorkerThread([&] { r.guard.ClientScan(); });
    pass.push_back(ServeUntil([&] { return w->Finished(); }));
    std::printf("RESULT scan_ms ours=%.2f base=%.3f\n", pass.back(), table.back());
  }
  std::printf("GetIpNetTable: %.2f ms; scan pass, 100 named devices: %.1f ms (medians)\n",
              Median(table), Median(pass));
}

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
  auto cell_by_cell = [&] {
    r.window.ClearRows(kView);
    for (const ListRecord& rec : ListRecords(text)) {
      const int row = r.window.AddRow(kView);
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
