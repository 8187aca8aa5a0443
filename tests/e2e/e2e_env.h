#pragma once
#include <windows.h>

#include <set>
#include <string>

// The program under test: LUMORA_EXE (a Windows path) from the test script.
inline std::string ProgramPath() {
  wchar_t path[MAX_PATH] = {};
  if (!GetEnvironmentVariableW(L"LUMORA_EXE", path, MAX_PATH)) return {};
  std::string narrow;
  for (wchar_t c : std::wstring(path)) narrow += char(c);  // build paths are ASCII
  return narrow;
}

inline constexpr char kMainTitle[] = "LumoraWiFi5.1";

#include <gtest/gtest.h>

#include "app_driver.h"
#include "ui/window_layout.h"
#include "win32/app_messages.h"

namespace lumora::e2e {

// Whether every control of the main window is made: the pages not shown
// first are made just after the window shows.
inline bool EveryControlMade(HWND main) {
  std::set<int> ids;
  for (const Control& c : ListControls(main)) ids.insert(c.id);
  for (const ControlDef& d : ControlDefs())
    if (d.page != Page::kTrafficBar && !ids.count(ControlId(d.id))) return false;
  return true;
}

// The program's visible window. Null (and a failure that says whether the
// program ended, or where its threads wait) when it never came.
inline HWND WaitForMain(const Program& program, DWORD timeout_ms = 15000) {
  EXPECT_TRUE(program.Started());
  HWND main = WaitForWindow(kMainTitle, timeout_ms);
  if (main) {
    EXPECT_TRUE(WaitUntil([&] { return EveryControlMade(main); }, timeout_ms))
        << "the window showed, but not every control was made";
    return main;
  }
  ADD_FAILURE() << "no visible window titled " << kMainTitle << " within " << timeout_ms << " ms: "
                << (program.Running() ? "the program runs"
                                      : "the program ended with exit code " +
                                            std::to_string(program.ExitCode()))
                << ", " << CountWindows(kMainTitle) << " window(s) of that title in all";
  program.PrintStacks();
  return nullptr;
}

// The program's window once its start-up made it ready: the start button
// enabled and reading 开启WiFi. Null (and a failure) when it never came.
inline HWND StartReady(Program& program) {
  HWND main = WaitForMain(program);
  if (main) {
    EXPECT_TRUE(WaitUntil([&] { return StartButtonReads(main, "开启WiFi"); }, 15000))
        << "the start button never became ready: " << TextOf(main, Ctl::按钮开始);
  }
  return main;
}

// Closes the window and expects the program to end: the close fold and the
// workers' stop bound (5 s), with room for a loaded machine.
inline void CloseAndExpectEnd(Program& program, HWND main, DWORD within_ms = 8000) {
  // A failed test's program is looked into before it goes: where each of
  // its threads waits tells more than the failure's message.
  if (::testing::Test::HasFailure()) program.PrintStacks();
  RequestClose(main);
  if (program.WaitForExit(within_ms)) return;
  ADD_FAILURE() << "the program kept running after its window closed";
  program.PrintStacks();  // where its end waits
}

}  // namespace lumora::e2e
