#pragma once
#include <windows.h>

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

namespace lumora::e2e {

// The program's window once its start-up made it ready: the start button
// enabled and reading 开启WiFi. Null (and a failure) when it never came.
inline HWND StartReady(Program& program) {
  EXPECT_TRUE(program.Started());
  HWND main = WaitForWindow(kMainTitle, 15000);
  EXPECT_TRUE(main) << "no visible window titled " << kMainTitle;
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
  EXPECT_TRUE(program.WaitForExit(within_ms)) << "the program kept running after its window closed";
}

}  // namespace lumora::e2e
