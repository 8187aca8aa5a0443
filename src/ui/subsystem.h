#pragma once
// How a subsystem joins the program: one registration that names what it
// handles (control events, timers, menu items), the steps it adds to the
// start-up, and how it stops its workers when the program ends. The spine
// routes every window event through the table built from these, so a new
// subsystem touches its own folder and one line of wiring.
#include <functional>
#include <string_view>
#include <vector>

#include "ui/controls.h"

namespace lumora {

// What happened to a control. `value` carries the detail the event has.
enum class ControlEvent : unsigned char {
  kClick,            // buttons, check boxes, radio buttons, links, icon boards
  kSelectionChange,  // combo boxes (value: the item index), the tab control (value: the page)
  kDoubleClick,      // list views (value: the row, -1 when none)
  kRightClick,       // list views (value: the row, -1 when none)
  kKey,              // a key pressed in the control (value: the virtual key code)
  kFocusLost,        // edit and combo boxes
  kScroll,           // the slider (value: its position)
};

// The version code of the running system. The numbers are the ones the
// program has always computed (1 = 5.0 ... 6 = 6.2, -1 = anything newer).
enum class OsCode : int {
  kNotComputed = 0,  // Windows XP: the start-up stops before the code is known
  kWindows2000 = 1,
  kWindowsXp = 2,
  kWindows2003 = 3,
  kWindowsVista = 4,
  kWindows7 = 5,     // the hosted network through netsh
  kWindows8 = 6,     // 6.2, which is also what Windows 8.1, 10 and 11 report
  kOther = -1,
};

// Every system but Windows 7 drives the hosted network through the WLAN
// functions.
inline bool UsesNetsh(OsCode os) { return os == OsCode::kWindows7; }

// Where a start-up step runs. Phases run in this order; within a phase the
// subsystems' steps run in registration order.
enum class StartupPhase : unsigned char {
  kLaunch,     // window thread, before the single-instance check
  kCreate,     // window thread: the stored settings go into the controls
  kOsKnown,    // window thread, after the version code, before the start-up worker
  kNetwork,    // start-up worker: sharing reset, connection list and choice
  kReady,      // start-up worker, after the start button is enabled
  kOffers,     // start-up worker: the update offer
  kBackground, // start-up worker: statistics page, services
};

// Moments of the shell that other subsystems follow with their timers and
// windows.
enum class ShellMoment : unsigned char {
  kHiddenToTray,  // "缩小到右下角"
  kMainClosing,   // the close box, before the window folds away
  kQuitting,      // the program's exit routine
};

struct StartupInfo {
  OsCode os = OsCode::kNotComputed;
};

struct ControlRoute {
  Ctl control;
  ControlEvent event;
  std::function<void(int value)> run;
};

struct TimerRoute {
  Timer timer;
  std::function<void()> run;
};

struct MenuRoute {
  MenuItem item;
  std::function<void()> run;
};

struct StartupStep {
  StartupPhase phase;
  // False ends the start-up sequence (the program is ending).
  std::function<bool(const StartupInfo&)> run;
  // Steps of a worker's phase that need nothing of each other: next to each
  // other in wiring order, they run at the same time, each on a worker of
  // its own, and the phase goes on when all of them have ended.
  bool side_by_side = false;
};

struct Subsystem {
  std::string_view name;
  std::vector<ControlRoute> controls;
  std::vector<TimerRoute> timers;
  std::vector<MenuRoute> menus;
  std::vector<StartupStep> startup;
  // The shell's moments, on the window thread.
  std::function<void(ShellMoment)> shell;
  // At exit, first every subsystem's stop_workers (quick: ask and wait within
  // the stop bound), then the tray icon goes, then every teardown (for
  // example the hotspot's reset). Both run in reverse registration order.
  std::function<void()> stop_workers;
  std::function<void()> teardown;
};

}  // namespace lumora
