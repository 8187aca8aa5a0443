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
