#include "win32/tethering_win.h"

#include <windows.h>

namespace lumora {

WindowsBuild Win32TetheringPort::RealVersion() {
  // ntdll's RtlGetVersion fills the same structure with the true numbers.
  using RtlGetVersionFn = LONG(WINAPI*)(OSVERSIONINFOW*);
  const auto get = reinterpret_cast<RtlGetVersionFn>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "RtlGetVersion")));
  OSVERSIONINFOW info{};
  info.dwOSVersionInfoSize = sizeof(info);
  if (!get || get(&info) != 0) return {};
  return {int(info.dwMajorVersion), int(info.dwMinorVersion), int(info.dwBuildNumber)};
}

}  // namespace lumora
