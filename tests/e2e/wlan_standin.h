#pragma once
// The WLAN functions' stand-in for the end-to-end tests of the Windows 8/10
// ways. Wine's wlanapi.dll has no hosted network, so a test puts the
// stand-in wlanapi.dll (built into wlan-standin\ beside the test exe) next to
// LumoraWiFi.exe while it runs; the stand-in keeps the hosted network's state
// in C:\lumora-standins\wlan-state.ini and logs every call to wlan.log.
#include <winsock2.h>
#include <windows.h>
#include <iphlpapi.h>

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "common/settings.h"
#include "e2e_env.h"
#include "standin_files.h"
#include "win32/file_store_win.h"

namespace lumora::e2e {

inline constexpr wchar_t kVersionKey[] = L"Software\\Wine\\AppDefaults\\LumoraWiFi.exe";

// One "key=value" line of a stand-in's state file; "" when missing.
inline std::string StateFileValue(const char* file, const std::string& key) {
  std::istringstream lines(ReadText(file));
  std::string line;
  while (std::getline(lines, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.rfind(key + "=", 0) == 0) return line.substr(key.size() + 1);
  }
  return {};
}

inline std::string StateValue(const std::string& key) { return StateFileValue("wlan-state.ini", key); }

inline std::wstring FolderOf(const std::wstring& path) {
  const size_t slash = path.find_last_of(L"\\/");
  return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash + 1);
}

inline std::wstring StandinSource() {
  wchar_t self[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  return FolderOf(self) + L"wlan-standin\\wlanapi.dll";
}

// Where the program would load the stand-in from instead of the system's.
inline std::wstring StandinCopy() {
  const std::string exe = ProgramPath();
  if (exe.empty()) return {};
  return FolderOf(std::wstring(exe.begin(), exe.end())) + L"wlanapi.dll";
}

// The program may still be letting go of the DLL: retried for a while.
inline bool RemoveStandinCopy() {
  const std::wstring copy = StandinCopy();
  if (copy.empty()) return true;
  for (int attempt = 0; attempt < 40; ++attempt) {
    if (DeleteFileW(copy.c_str()) || GetLastError() == ERROR_FILE_NOT_FOUND) return true;
    Sleep(50);
  }
  return false;
}

// The last adapter Wine lists, named in the registry as the connection
// `name`, the way the hosted network's adapter is named once it has been
// started before. The name goes again with the object.
class NamedAdapter {
 public:
  explicit NamedAdapter(const std::wstring& name) {
    ULONG size = 0;
    GetAdaptersInfo(nullptr, &size);
    std::vector<unsigned char> buffer(size);
    if (size == 0 ||
        GetAdaptersInfo(reinterpret_cast<IP_ADAPTER_INFO*>(buffer.data()), &size) != ERROR_SUCCESS)
      return;
    for (auto* a = reinterpret_cast<IP_ADAPTER_INFO*>(buffer.data()); a; a = a->Next)
      guid_ = a->AdapterName;
    key_ = std::wstring(kNetworkClassKey) + L"\\" + std::wstring(guid_.begin(), guid_.end());
    RegSetKeyValueW(HKEY_LOCAL_MACHINE, (key_ + L"\\Connection").c_str(), L"Name", REG_SZ,
                    name.c_str(), DWORD((name.size() + 1) * sizeof(wchar_t)));
  }
  ~NamedAdapter() {
    if (!key_.empty()) RegDeleteTreeW(HKEY_LOCAL_MACHINE, key_.c_str());
  }
  const std::string& Guid() const { return guid_; }

 private:
  static constexpr wchar_t kNetworkClassKey[] =
      L"SYSTEM\\CurrentControlSet\\Control\\Network\\{4D36E972-E325-11CE-BFC1-08002BE10318}";
  std::string guid_;
  std::wstring key_;
};

// The Windows 10 program with the stand-in beside it, a fresh hosted
// network whose adapter is the connection "本地连接* 12", and one internet
// connection "宽带连接".
class WlanStandinTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(ProgramPath().empty()) << "LUMORA_EXE is not set";
    ASSERT_TRUE(RemoveStandinCopy());
    ASSERT_TRUE(CopyFileW(StandinSource().c_str(), StandinCopy().c_str(), FALSE))
        << "cannot put the stand-in wlanapi.dll next to the program: " << GetLastError();
    ASSERT_EQ(RegSetKeyValueW(HKEY_CURRENT_USER, kVersionKey, L"Version", REG_SZ, L"win10",
                              sizeof(L"win10")),
              ERROR_SUCCESS);
    for (const char* f : {"c:\\tovkwifi.ini", "c:\\wifiblack.txt", "c:\\wifiwhite.txt"})
      DeleteFileA(f);
    for (const char* f : {"wlan.log", "wlan-state.ini", "netsh.log", "netsh-state.ini",
                          "netsh-fail.txt"})
      DeleteFileA((std::string(kDir) + "\\" + f).c_str());
    WriteText("sharing.ini", "宽带连接|2|none\r\n");
    // The hosted network's adapter, as its status names it.
    ASSERT_FALSE(hosted_.Guid().empty()) << "Wine lists no adapter";
    WriteText("wlan-state.ini", "device_id=" + hosted_.Guid() + "\r\n");
    settings_.Write(setting::kAdapterOverride, "1");
    settings_.Write(setting::kAdapterOverrideName, "本地连接* 12");
  }

  void TearDown() override {
    RegDeleteTreeW(HKEY_CURRENT_USER, kVersionKey);
    EXPECT_TRUE(RemoveStandinCopy()) << "the stand-in wlanapi.dll stayed next to the program";
  }


  NamedAdapter hosted_{L"本地连接* 12"};
  Win32FileStore files_;
  SettingsStore settings_{files_};
};

}  // namespace lumora::e2e
