// The Windows 8/10 way: the hosted network through the WLAN functions. Wine's
// wlanapi.dll has no hosted network, so the test puts the stand-in
// wlanapi.dll (built into wlan-standin\ beside this test exe) next to
// LumoraWiFi.exe while it runs; the stand-in keeps the hosted network's state
// in C:\lumora-standins\wlan-state.ini and logs every call to wlan.log.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "app_driver.h"
#include "standin_files.h"
#include "common/settings.h"
#include "e2e_env.h"
#include "screenshot.h"
#include "ui_driver.h"
#include "win32/file_store_win.h"

namespace lumora::e2e {
namespace {

constexpr wchar_t kVersionKey[] = L"Software\\Wine\\AppDefaults\\LumoraWiFi.exe";

// One "key=value" line of wlan-state.ini; "" when missing.
std::string StateValue(const std::string& key) {
  std::istringstream lines(ReadText("wlan-state.ini"));
  std::string line;
  while (std::getline(lines, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.rfind(key + "=", 0) == 0) return line.substr(key.size() + 1);
  }
  return {};
}

std::wstring FolderOf(const std::wstring& path) {
  const size_t slash = path.find_last_of(L"\\/");
  return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash + 1);
}

std::wstring StandinSource() {
  wchar_t self[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  return FolderOf(self) + L"wlan-standin\\wlanapi.dll";
}

// Where the program would load the stand-in from instead of the system's.
std::wstring StandinCopy() {
  const std::string exe = ProgramPath();
  if (exe.empty()) return {};
  return FolderOf(std::wstring(exe.begin(), exe.end())) + L"wlanapi.dll";
}

// The program may still be letting go of the DLL: retried for a while.
bool RemoveStandinCopy() {
  const std::wstring copy = StandinCopy();
  if (copy.empty()) return true;
  for (int attempt = 0; attempt < 40; ++attempt) {
    if (DeleteFileW(copy.c_str()) || GetLastError() == ERROR_FILE_NOT_FOUND) return true;
    Sleep(50);
  }
  return false;
}

// A copy left by an interrupted run would give every other test a hosted
// network: none is there before the first test or after the last.
class NoStandinLeftBehind : public ::testing::Environment {
 public:
  void SetUp() override { RemoveStandinCopy(); }
  void TearDown() override { RemoveStandinCopy(); }
};
[[maybe_unused]] ::testing::Environment* const kCleanup =
    ::testing::AddGlobalTestEnvironment(new NoStandinLeftBehind);

class Windows10WlanHotspot : public ::testing::Test {
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
    settings_.Write(setting::kAdapterOverride, "1");
    settings_.Write(setting::kAdapterOverrideName, "本地连接* 12");
  }

  void TearDown() override {
    RegDeleteTreeW(HKEY_CURRENT_USER, kVersionKey);
    EXPECT_TRUE(RemoveStandinCopy()) << "the stand-in wlanapi.dll stayed next to the program";
  }

  Win32FileStore files_;
  SettingsStore settings_{files_};
};

TEST_F(Windows10WlanHotspot, StartsTheHostedNetworkSharesAndStops) {
  Program program(ProgramPath());
  HWND main = WaitForWindow(kMainTitle, 15000);
  ASSERT_TRUE(main);
  ASSERT_TRUE(WaitUntil([&] { return StartButtonReads(main, "开启WiFi"); }, 15000));
  EXPECT_EQ(TextOf(main, Ctl::组合框1), "宽带连接");

  Click(FindControl(main, Ctl::按钮开始));
  ASSERT_TRUE(WaitUntil([&] { return StartButtonReads(main, "关闭WiFi"); }, 20000))
      << "not running: " << TextOf(main, Ctl::按钮开始) << "\n"
      << ReadText("wlan.log");
  EXPECT_EQ(TextOf(main, Ctl::标签9), "已启动");
  EXPECT_EQ(TextOf(main, Ctl::编辑框虚拟网卡), "本地连接* 12");

  // The hosted network was enabled, configured and started.
  const std::string log = ReadText("wlan.log");
  EXPECT_EQ(StateValue("enabled"), "1") << log;
  EXPECT_EQ(StateValue("active"), "1") << log;
  EXPECT_EQ(StateValue("ssid"), "mylove") << log;
  EXPECT_EQ(StateValue("key"), "5094817263") << log;
  // The configured number of peers was kept; the pass phrase went with its
  // terminating zero, as a persistent one.
  EXPECT_TRUE(Has(log, "WlanHostedNetworkSetProperty ssid=mylove max_peers=100")) << log;
  EXPECT_TRUE(Has(log, "WlanHostedNetworkSetSecondaryKey length=11 passphrase=1 persistent=1\r"))
      << log;
  EXPECT_TRUE(Has(log, "WlanHostedNetworkRefreshSecuritySettings")) << log;
  EXPECT_FALSE(Has(log, "rejected") || Has(log, "refused") || Has(log, "invalid")) << log;
  // The netsh way is not taken on this system.
  EXPECT_FALSE(Has(ReadText("netsh.log"), "wlan start hostednetwork"));
  const std::string sharing = ReadText("sharing.ini");
  EXPECT_TRUE(Has(sharing, "宽带连接|2|public")) << sharing;
  Sleep(1200);  // the animations reach their running pictures
  Shot("wlan-running-main");

  Click(FindControl(main, Ctl::按钮开始));
  ASSERT_TRUE(WaitUntil([&] { return StartButtonReads(main, "开启WiFi"); }, 10000));
  EXPECT_EQ(TextOf(main, Ctl::标签9), "未启动");
  EXPECT_EQ(StateValue("active"), "0") << ReadText("wlan.log");
  EXPECT_EQ(StateValue("enabled"), "0") << ReadText("wlan.log");
  const std::string after = ReadText("sharing.ini");
  EXPECT_FALSE(Has(after, "public") || Has(after, "private")) << "left shared: " << after;

  RequestClose(main);
  EXPECT_TRUE(program.WaitForExit(5000));
}

}  // namespace
}  // namespace lumora::e2e
