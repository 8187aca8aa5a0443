#include "win32/power_win.h"

#include <windows.h>

namespace lumora {

bool Win32Power::AcquireShutdownPrivilege() {
  HANDLE token = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token))
    return false;
  TOKEN_PRIVILEGES privileges{};
  privileges.PrivilegeCount = 1;
  privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
  bool granted = LookupPrivilegeValueW(nullptr, SE_SHUTDOWN_NAME, &privileges.Privileges[0].Luid);
  if (granted) {
    // Success with ERROR_NOT_ALL_ASSIGNED means the privilege was not given.
    granted = AdjustTokenPrivileges(token, FALSE, &privileges, 0, nullptr, nullptr) &&
              GetLastError() == ERROR_SUCCESS;
  }
  CloseHandle(token);
  return granted;
}

void Win32Power::RequestPowerOff() {
  // Not forced: programs that refuse to close may still stop it.
  ExitWindowsEx(EWX_POWEROFF, 0);
}

}  // namespace lumora
