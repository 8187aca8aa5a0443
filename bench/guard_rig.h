#pragma once
// The real main window showing the page "管理用户", driven by a client guard
// over fakes of the system: what the guard benchmarks time.
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <string>

#include "timing.h"
#include "guard/access_view.h"
#include "guard/device_files.h"
#include "unit/fakes/fake_guard.h"
#include "win32/command_host_win.h"
#include "win32/message_pump.h"
#include "win32/neighbours_win.h"
#include "win32/window/main_window.h"

namespace lumora {

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

}  // namespace lumora
