#pragma once
// Window messages of the program and the identifiers of its controls, menu
// items and timers. Shared with the end-to-end driver.
#include <windows.h>

#include "ui/controls.h"

namespace lumora {

enum AppMessage : UINT {
  kMsgRunOnUi = WM_APP + 1,  // the workers' calls are waiting in the window's queue
  kMsgTray = WM_APP + 2,     // tray icon callback; lParam: the mouse message
  kMsgEnd = WM_APP + 3,      // end the program
  kMsgMakeControls = WM_APP + 4,  // make the next control of a page not made yet
  kMsgLayOutView = WM_APP + 5,    // an HTML view's page is about to show: lay it out if it changed
};

inline constexpr int kControlIdBase = 1000;  // + Ctl
inline constexpr int kMenuIdBase = 2000;     // + MenuItem
inline constexpr int kTimerIdBase = 3000;    // + Timer

inline int ControlId(Ctl c) { return kControlIdBase + static_cast<int>(c); }
inline int MenuId(MenuItem m) { return kMenuIdBase + static_cast<int>(m); }
inline UINT_PTR TimerId(Timer t) { return kTimerIdBase + static_cast<int>(t); }

inline constexpr wchar_t kMainWindowClass[] = L"LumoraWiFiMain";
inline constexpr wchar_t kBarWindowClass[] = L"LumoraWiFiTrafficBar";

}  // namespace lumora
