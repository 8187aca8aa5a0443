// Program entry: builds the window from its definition, the ports and the
// subsystems, routes the window's events through the event table and runs
// the message loop.
#include <windows.h>

#include <commctrl.h>
#include <objbase.h>

#include "app/app.h"
#include "common/trace.h"
#include "extras/extras.h"
#include "extras/theme.h"
#include "guard/client_guard.h"
#include "hotspot/hotspot_controller.h"
#include "traffic/traffic_monitor.h"
#include "updates/updates.h"
#include "ui/event_table.h"
#include "win32/adapters_win.h"
#include "win32/autostart_win.h"
#include "win32/browser_win.h"
#include "win32/command_host_win.h"
#include "win32/connections_win.h"
#include "win32/counters_win.h"
#include "win32/file_store_win.h"
#include "win32/http_win.h"
#include "win32/interface_index_win.h"
#include "win32/list_views_win.h"
#include "win32/neighbours_win.h"
#include "win32/network_events_win.h"
#include "win32/power_win.h"
#include "win32/reverse_lookup_win.h"
#include "win32/message_pump.h"
#include "win32/services_win.h"
#include "win32/sharing_win.h"
#include "win32/system_win.h"
#include "win32/tethering_win.h"
#include "win32/window/html_view.h"
#include "win32/window/main_window.h"
#include "win32/wlan_win.h"

namespace lumora {
namespace {

// The Windows side of every port, built once the window exists.
struct Ports {
  explicit Ports(Win32Window& window)
      : system(window), lists([&window](Ctl c) { return window.Handle(c); }), skin(window.Theme()) {}
  Win32FileStore files;
  SettingsStore settings{files};
  Win32CommandHost host;
  Win32System system;
  Win32SharingPort sharing;
  Win32WlanPort wlan;
  Win32ConnectionsPort connections;
  Win32AdaptersPort adapters;
  Win32ServicesPort services;
  Win32TetheringPort tethering;
  Win32NetworkEvents network_events;
  Win32NeighbourPort neighbours;
  Win32ReverseLookup lookups;
  Win32InterfaceIndexPort interface_index;
  Win32ListViews lists;
  PaletteSkin skin;
  RegistryAutostart autostart;
  Win32Power power;
  Win32CountersPort counters;
  BoundedHttp http{std::make_shared<WinInetHttp>(), kHttpOverallBound};
  ShellBrowser browser;
};

// The subsystems over the ports, and the table that routes the window's
// events and the start-up steps to them.
struct Subsystems {
  Subsystems(Win32Window& window, Ports& p)
      : app({window, p.settings, p.host, p.system, events}),
        hotspot({window, p.settings, p.host, p.sharing, p.wlan, p.connections, p.adapters,
                 p.services, p.tethering, &p.network_events}),
        guard({window, p.settings, p.files, hotspot, p.host, p.neighbours, p.lookups,
               p.interface_index, p.lists}),
        traffic({window, p.settings, window.BarWindow(), p.interface_index, p.counters,
                 [this] { app.QuitProgram(); },
                 [&window] {
                   ShowWindow(window.Main(), SW_SHOWNORMAL);
                   SetForegroundWindow(window.Main());
                 },
                 {}, &hotspot}),
        html(window),
        updates({window, p.settings, p.host, p.http, p.browser, html, hotspot,
                 [this] { app.EndFromStartupWorker(); }}),
        extras({window, p.settings, p.skin, p.autostart, hotspot, &p.host, &p.power}) {
    window.BarWindow().events = &traffic;
    events.SetWorkerHost(&p.host);
    // In the order their start-up steps run.
    for (Subsystem s : {app.Registration(), updates.Registration(), hotspot.Registration(),
                        guard.Registration(), traffic.Registration(), extras.Registration()})
      events.Add(std::move(s));
    window.on_resume = [this] { hotspot.OnSystemChanged(); };
  }
  EventTable events;
  App app;
  HotspotController hotspot;
  ClientGuard guard;
  TrafficMonitor traffic;
  Win32HtmlView html;
  Updates updates;
  Extras extras;
};

void RouteEvents(Win32Window& window, App& app, const EventTable& events) {
  window.on_event = [&events](Ctl c, ControlEvent e, int value) { events.Dispatch(c, e, value); };
  window.on_timer = [&events](Timer t) { events.Tick(t); };
  window.on_menu = [&events](MenuItem item) { events.Choose(item); };
  window.on_tray = [&app, &window](UINT mouse) {
    if (mouse == WM_LBUTTONUP || mouse == WM_LBUTTONDBLCLK) app.ShowMainWindow();
    else if (mouse == WM_RBUTTONUP) window.PopupAtCursor(Popup::菜单);
  };
  window.on_close = [&app] { app.OnCloseRequested(); };
}

// What the process needs before its first window: the common controls and
// the window thread's COM apartment.
void PrepareProcess() {
  SetTraceSink([](const char* mark) { OutputDebugStringA(mark); });
  TraceMark("main");
  INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_WIN95_CLASSES | ICC_TAB_CLASSES | ICC_BAR_CLASSES |
                                            ICC_LISTVIEW_CLASSES};
  InitCommonControlsEx(&icc);
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
}

// Serves the window's messages until it ends; the exit code.
UINT RunMessageLoop() {
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    if (TranslateDialogKeys(msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return UINT(msg.wParam);
}

}  // namespace
}  // namespace lumora

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  using namespace lumora;
  PrepareProcess();
  TraceMark("window begin");
  Win32Window window(instance);
  if (!window.Create()) return 1;
  TraceMark("window end");
  Ports ports(window);
  Subsystems subsystems(window, ports);
  RouteEvents(window, subsystems.app, subsystems.events);
  SetPreTranslate(TranslateDialogKeys);

  // Another instance runs: end at once, before the ports go out of scope
  // under a worker that was already started.
  if (!subsystems.app.OnCreate()) ExitProcess(0);
  TraceMark("created");
  ShowWindow(window.Main(), SW_SHOWNORMAL);
  UpdateWindow(window.Main());
  TraceMark("shown");
  window.MakeRestWhenIdle();  // the pages not shown

  const UINT code = RunMessageLoop();
  CoUninitialize();
  // End here, before the window and the ports go out of scope: a worker
  // still inside a long system call must never touch them after that.
  ExitProcess(code);
}
