// The Run-key autostart port and the shutdown privilege against the system
// (under Wine: HKLM Run can be written, read and deleted).
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "win32/autostart_win.h"
#include "win32/power_win.h"

namespace lumora {
namespace {

constexpr char kValue[] = "lumora-test-autostart";
constexpr wchar_t kValueW[] = L"lumora-test-autostart";
constexpr wchar_t kRunW[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";

// The value's data as the native view holds it; empty when missing.
std::wstring RunData() {
  HKEY run = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kRunW, 0, KEY_QUERY_VALUE | KEY_WOW64_64KEY, &run) !=
      ERROR_SUCCESS)
    return {};
  wchar_t data[512] = {};
  DWORD size = sizeof data - sizeof(wchar_t), type = 0;
  const LSTATUS read =
      RegQueryValueExW(run, kValueW, nullptr, &type, reinterpret_cast<BYTE*>(data), &size);
  RegCloseKey(run);
  return read == ERROR_SUCCESS && type == REG_SZ ? data : L"";
}

TEST(RegistryAutostartWin, WritesReadsAndRemovesTheRunValue) {
  RegistryAutostart autostart(kValue, "C:\\Program Files\\Lumora Test\\LumoraWiFi.exe");
  ASSERT_TRUE(autostart.SetAutostart(false));  // also with nothing there
  EXPECT_FALSE(autostart.AutostartExists());

  ASSERT_TRUE(autostart.SetAutostart(true));
  EXPECT_TRUE(autostart.AutostartExists());
  EXPECT_EQ(RunData(), L"\"C:\\Program Files\\Lumora Test\\LumoraWiFi.exe\"");

  ASSERT_TRUE(autostart.SetAutostart(false));
  EXPECT_FALSE(autostart.AutostartExists());
  EXPECT_EQ(RunData(), L"");

  // A key of that name instead of a value goes too.
  HKEY key = nullptr;
  const std::wstring sub = std::wstring(kRunW) + L"\\" + kValueW;
  ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, sub.c_str(), 0, nullptr, 0,
                            KEY_WRITE | KEY_WOW64_64KEY, nullptr, &key, nullptr),
            ERROR_SUCCESS);
  RegCloseKey(key);
  EXPECT_TRUE(autostart.SetAutostart(false));
  EXPECT_NE(RegOpenKeyExW(HKEY_LOCAL_MACHINE, sub.c_str(), 0, KEY_READ | KEY_WOW64_64KEY, &key),
            ERROR_SUCCESS);
}

TEST(Win32PowerWin, ShutdownPrivilegeIsGranted) {
  // Only the privilege: asking for the power-off would end the test prefix.
  EXPECT_TRUE(Win32Power().AcquireShutdownPrivilege());
}

}  // namespace
}  // namespace lumora
