// Program entry: builds the window from its definition, wires its events to
// the program's handlers and runs the message loop.
#include <windows.h>

#include <commctrl.h>
#include <objbase.h>

#include "app/app.h"
#include "app/live_subsystems.h"
#include "hotspot/hotspot_controller.h"
#include "win32/adapters_win.h"
#include "win32/connections_win.h"
#include "win32/services_win.h"
#include "win32/sharing_win.h"
#include "win32/wlan_win.h"
#include "win32/app_messages.h"
#include "win32/command_host_win.h"
#include "win32/file_store_win.h"
#include "win32/message_pump.h"
#include "win32/system_win.h"
#include "win32/win32_window.h"

namespace lumora {
namespace {

HWND g_main = nullptr;

bool PreTranslate(MSG& msg) { return g_main && IsDialogMessageW(g_main, &msg); }

void WireEvents(Win32Window& window, App& app, HotspotController& hotspot) {
  window.on_command = [&app, &hotspot](Ctl c, UINT code) {
    if (c == Ctl::组合框1 && code == CBN_KILLFOCUS) {
      hotspot.OnConnectionChanged();
      return;
    }
    if (code == BN_CLICKED || code == STN_CLICKED) {
      switch (c) {
        case Ctl::选择框2: hotspot.OnRememberClicked(); break;
        case Ctl::按钮查看连接: hotspot.OpenConnectionsFolder(); break;
        case Ctl::按钮开始: app.OnStartButtonClicked(); break;
        case Ctl::按钮右下角: app.OnHideToTrayClicked(); break;
        case Ctl::选择框_显示密码: app.OnShowPasswordClicked(); break;
        case Ctl::画板_问号: app.OnQuestionIconClicked(); break;
        case Ctl::画板_叹号: app.OnNoticeIconClicked(); break;
        case Ctl::超级链接框_重启: app.OnMenuItem(MenuItem::重启WiFi); break;
        default: break;
      }
    }
  };
  window.on_menu = [&app](MenuItem item) { app.OnMenuItem(item); };
  window.on_tray = [&app, &window](UINT mouse) {
    if (mouse == WM_LBUTTONUP || mouse == WM_LBUTTONDBLCLK) app.ShowMainWindow();
    else if (mouse == WM_RBUTTONUP) window.PopupAtCursor(Popup::菜单);
  };
  window.on_close = [&app] { app.OnCloseRequested(); };
  window.on_timer = [&hotspot](Timer t) {
    switch (t) {
      case Timer::时钟状态: hotspot.OnStatusTimer(); break;
      case Timer::时钟_右下角灰动: hotspot.OnTrayAnimationTimer(); break;
      default: break;  // the client guard's and the traffic monitor's timers
    }
  };
}

}  // namespace
}  // namespace lumora

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  using namespace lumora;
  INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_WIN95_CLASSES | ICC_TAB_CLASSES | ICC_BAR_CLASSES |
                                            ICC_LISTVIEW_CLASSES};
  InitCommonControlsEx(&icc);
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);

  Win32Window window(instance);
  if (!window.Create()) return 1;
  g_main = window.Main();
  Win32FileStore files;
  SettingsStore settings(files);
  Win32CommandHost host;
  Win32System system(&g_main);
  Win32SharingPort sharing;
  Win32WlanPort wlan;
  Win32ConnectionsPort connections;
  Win32AdaptersPort adapters;
  Win32ServicesPort services;
  HotspotController hotspot({window, settings, host, sharing, wlan, connections, adapters, services});
  LiveSubsystems parts(hotspot);
  App app({window, settings, files, host, system, parts});
  WireEvents(window, app, hotspot);
  SetPreTranslate(PreTranslate);

  // Another instance runs: end at once, before the ports go out of scope
  // under the notice worker that was already started.
  if (!app.OnCreate()) ExitProcess(0);
  ShowWindow(window.Main(), SW_SHOWNORMAL);
  UpdateWindow(window.Main());

  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    if (PreTranslate(msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  g_main = nullptr;
  CoUninitialize();
  // End here, before the window and the ports go out of scope: a worker
  // still inside a long system call must never touch them after that.
  ExitProcess(UINT(msg.wParam));
}
