#pragma once
#include <windows.h>

#include <string>

// console_tool.exe and the other test programs sit beside the test exe.
inline std::string TestProgram(const char* name) {
  wchar_t path[MAX_PATH];
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring dir(path);
  dir.resize(dir.find_last_of(L"\\/") + 1);
  std::string narrow;
  for (wchar_t c : dir) narrow += char(c);  // build paths are ASCII
  return "\"" + narrow + name + "\"";
}
