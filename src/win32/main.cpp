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

}  // namespace
}  // namespace lumora

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  using namespace lumora;
  SetTraceSink([](const char* mark) { OutputDebugStringA(mark); });
  TraceMark("main");
  INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_WIN95_CLASSES | ICC_TAB_CLASSES | ICC_BAR_CLASSES |
                                            ICC_LISTVIEW_CLASSES};
  InitCommonControlsEx(&icc);
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);

  TraceMark("window begin");
  Win32Window window(instance);
  if (!window.Create()) return 1;
  TraceMark("window end");
  Win32FileStore files;
  SettingsStore settings(files);
  Win32CommandHost host;
  Win32System system(window);
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
  Win32ListViews lists([&window](Ctl c) { return window.Handle(c); });
  PaletteSkin skin(window.Theme());
  RegistryAutostart autostart;
  Win32Power power;

  EventTable events;
  events.SetWorkerHost(&host);
  App app({window, settings, host, system, events});
  HotspotController hotspot({window, settings, host, sharing, wlan, connections, adapters, services,
                             tethering, &network_events});
  ClientGuard guard(
      {window, settings, files, hotspot, host, neighbours, lookups, interface_index, lists});
  Win32CountersPort counters;
  TrafficMonitor traffic({window, settings, window.BarWindow(), interface_index, counters,
                          [&app] { app.QuitProgram(); },
                          [&window] {
                            ShowWindow(window.Main(), SW_SHOWNORMAL);
                            SetForegroundWindow(window.Main());
                          },
                          {}, &hotspot});
  window.BarWindow().events = &traffic;
  BoundedHttp http(std::make_shared<WinInetHttp>(), kHttpOverallBound);
  ShellBrowser browser;
  Win32HtmlView html(window);
  Updates updates({window, settings, host, http, browser, html, hotspot,
                   [&app] { app.EndFromStartupWorker(); }});
  Extras extras({window, settings, skin, autostart, hotspot, &host, &power});
  // The subsystems, in the order their start-up steps run.
  events.Add(app.Registration());
  events.Add(updates.Registration());
  events.Add(hotspot.Registration());
  events.Add(guard.Registration());
  events.Add(traffic.Registration());
  events.Add(extras.Registration());
  RouteEvents(window, app, events);
  window.on_resume = [&hotspot] { hotspot.OnSystemChanged(); };
  SetPreTranslate(TranslateDialogKeys);

  // Another instance runs: end at once, before the ports go out of scope
  // under a worker that was already started.
  if (!app.OnCreate()) ExitProcess(0);
  TraceMark("created");
  ShowWindow(window.Main(), SW_SHOWNORMAL);
  UpdateWindow(window.Main());
  TraceMark("shown");

  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    if (TranslateDialogKeys(msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  CoUninitialize();
  // End here, before the window and the ports go out of scope: a worker
  // still inside a long system call must never touch them after that.
  ExitProcess(UINT(msg.wParam));
}
