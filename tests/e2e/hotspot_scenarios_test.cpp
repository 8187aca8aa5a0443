// The Windows 7 way through the stand-ins of the test prefix: netsh.exe and
// the sharing manager keep their state in C:\lumora-standins, so each
// scenario sets up the machine it needs and reads back what the program did.
#include <gtest/gtest.h>

#include <cstdio>

#include <fstream>
#include <sstream>
#include <vector>

#include "app_driver.h"
#include "standin_files.h"
#include "common/settings.h"
#include "e2e_env.h"
#include "screenshot.h"
#include "ui_driver.h"
#include "wlan_standin.h"
#include "win32/file_store_win.h"

namespace lumora::e2e {
namespace {


class Windows7Hotspot : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(ProgramPath().empty()) << "LUMORA_EXE is not set";
    for (const char* f : {"c:\\tovkwifi.ini", "c:\\wifiblack.txt", "c:\\wifiwhite.txt"})
      DeleteFileA(f);
    for (const char* f : {"netsh.log", "netsh-state.ini", "netsh-fail.txt", "wlan-state.ini"})
      DeleteFileA((std::string(kDir) + "\\" + f).c_str());
    // The internet comes through broadband; the hosted network's adapter is
    // there but not connected until the hosted network starts.
    WriteText("sharing.ini", "宽带连接|2|none\r\n无线网络连接 2|7|none\r\n");
    // No real hosted adapter exists here: name it the way an installer can.
    settings_.Write(setting::kAdapterOverride, "1");
    settings_.Write(setting::kAdapterOverrideName, "无线网络连接 2");
  }


  // Clicks 开启WiFi and waits for the running state.
  static bool StartRunning(HWND main) {
    Click(FindControl(main, Ctl::按钮开始));
    return WaitUntil([&] { return StartButtonReads(main, "关闭WiFi"); }, 30000);
  }
  static bool NothingShared() {
    const std::string sharing = ReadText("sharing.ini");
    return !Has(sharing, "public") && !Has(sharing, "private");
  }

  Win32FileStore files_;
  SettingsStore settings_{files_};
};

TEST_F(Windows7Hotspot, StartsSharesAndStops) {
  Program program(ProgramPath());
  HWND main = StartReady(program);
  ASSERT_TRUE(main);
  EXPECT_EQ(TextOf(main, Ctl::组合框1), "宽带连接");

  Click(FindControl(main, Ctl::按钮开始));
  ASSERT_TRUE(WaitUntil([&] { return StartButtonReads(main, "关闭WiFi"); }, 30000))
      << "not running: " << TextOf(main, Ctl::按钮开始);
  EXPECT_EQ(TextOf(main, Ctl::标签9), "已启动");
  EXPECT_EQ(TextOf(main, Ctl::编辑框虚拟网卡), "无线网络连接 2");
  EXPECT_FALSE(IsWindowEnabled(FindControl(main, Ctl::编辑框名称)));
  const std::string sharing = ReadText("sharing.ini");
  EXPECT_TRUE(Has(sharing, "宽带连接|2|public")) << sharing;
  EXPECT_TRUE(Has(sharing, "无线网络连接 2|7|private")) << sharing;
  const std::string log = ReadText("netsh.log");
  EXPECT_TRUE(Has(log, "wlan set hostednetwork mode=allow ssid=mylove key=5094817263")) << log;
  EXPECT_TRUE(Has(log, "wlan start hostednetwork")) << log;
  // DHCP was on: the fixed address was set.
  EXPECT_TRUE(Has(log, "interface ip set address name=\"无线网络连接 2\" source=static "
                       "addr=192.168.137.1 mask=255.255.255.0 gwmetric=1"))
      << log;
  Sleep(1200);  // the animations reach their running pictures
  Shot("running-main");
  ASSERT_TRUE(SelectPage(main, 2));
  Sleep(300);
  Shot("running-settings");
  ASSERT_TRUE(SelectPage(main, 0));

  Click(FindControl(main, Ctl::按钮开始));
  ASSERT_TRUE(WaitUntil([&] { return StartButtonReads(main, "开启WiFi"); }, 10000));
  EXPECT_EQ(TextOf(main, Ctl::标签9), "未启动");
  EXPECT_TRUE(Has(ReadText("netsh.log"), "wlan stop hostednetwork"));
  // A stop leaves sharing in place; only a reset undoes it.
  EXPECT_TRUE(Has(ReadText("sharing.ini"), "宽带连接|2|public"));

  CloseAndExpectEnd(program, main);
  const std::string after = ReadText("sharing.ini");
  EXPECT_FALSE(Has(after, "public") || Has(after, "private")) << "left shared: " << after;
}

TEST_F(Windows7Hotspot, StaticAddressIsLeftAlone) {
  WriteText("netsh-state.ini", "dhcp=0\r\n");
  Program program(ProgramPath());
  HWND main = StartReady(program);
  ASSERT_TRUE(main);
  ASSERT_TRUE(StartRunning(main));
  const std::string log = ReadText("netsh.log");
  EXPECT_FALSE(Has(log, "interface ip set address")) << log;
  CloseAndExpectEnd(program, main);
}

TEST_F(Windows7Hotspot, HostedNetworkThatCannotStartIsReported) {
  WriteText("netsh-fail.txt", "start");
  Program program(ProgramPath());
  HWND main = StartReady(program);
  ASSERT_TRUE(main);
  Click(FindControl(main, Ctl::按钮开始));
  HWND box = WaitForMessageBox("开启失败", 30000);
  ASSERT_TRUE(box);
  const std::string text = MessageBoxText(box);
  EXPECT_EQ(text.rfind("开启失败！失败类型：无法启动承载网络。", 0), 0u) << text;
  EXPECT_TRUE(Has(text, "解决办法")) << text;
  Shot("start-cannot-start");
  PressOk(box);
  EXPECT_TRUE(WaitUntil([&] { return StartButtonReads(main, "开启WiFi"); }, 10000));
  EXPECT_TRUE(NothingShared()) << ReadText("sharing.ini");
  CloseAndExpectEnd(program, main);
}

// The driver drops the hosted network netsh started: the WLAN functions see
// the same network, the watch notices, and the start through netsh brings
// it back.
TEST_F(Windows7Hotspot, AHostedNetworkTheSystemStoppedComesBack) {
  Program program(ProgramPath());
  HWND main = StartReady(program);
  ASSERT_TRUE(main);
  ASSERT_TRUE(StartRunning(main));
  const auto starts = [] { return CountOf(ReadText("netsh.log"), "wlan start hostednetwork"); };
  const int before = starts();
  const ULONGLONG fault = GetTickCount64();
  SetStateValue("wlan-state.ini", "active", "0");
  EXPECT_TRUE(WaitUntil(
      [&] {
        return starts() > before && StateFileValue("wlan-state.ini", "active") == "1" &&
               TextOf(main, Ctl::标签9) == "已启动" && StartButtonReads(main, "关闭WiFi");
      },
      30000))
      << ReadText("netsh.log");
  std::printf("HEAL hosted network stopped (netsh way): restored after %.1f s\n",
              double(GetTickCount64() - fault) / 1000);
  CloseAndExpectEnd(program, main);
  EXPECT_TRUE(NothingShared()) << ReadText("sharing.ini");
}

TEST_F(Windows7Hotspot, MissingRightsAreReported) {
  WriteText("netsh-fail.txt", "rights");
  Program program(ProgramPath());
  HWND main = StartReady(program);
  ASSERT_TRUE(main);
  Click(FindControl(main, Ctl::按钮开始));
  // The balloon is a tooltip window; the window returns to the stopped state.
  EXPECT_TRUE(WaitUntil([&] { return StartButtonReads(main, "开启WiFi"); }, 15000));
  Sleep(300);
  Shot("start-no-rights");
  EXPECT_FALSE(Has(ReadText("netsh.log"), "wlan start hostednetwork"));
  CloseAndExpectEnd(program, main);
}

TEST_F(Windows7Hotspot, ClosingWhileRunningUnsharesAndDisallows) {
  Program program(ProgramPath());
  HWND main = StartReady(program);
  ASSERT_TRUE(main);
  ASSERT_TRUE(StartRunning(main));
  DeleteFileA((std::string(kDir) + "\\netsh.log").c_str());
  CloseAndExpectEnd(program, main);
  EXPECT_TRUE(NothingShared()) << ReadText("sharing.ini");
  EXPECT_TRUE(Has(ReadText("netsh.log"), "wlan set hostednetwork mode=disallow"));
}

// Where in the netsh log a command first appears (npos when never).
std::size_t At(const std::string& log, const std::string& command) { return log.find(command); }

constexpr char kDisallow[] = "wlan set hostednetwork mode=disallow";
constexpr char kAllow[] = "wlan set hostednetwork mode=allow";

TEST_F(Windows7Hotspot, SharingIsResetOnlyWhenSomethingChanged) {
  WriteText("sharing.ini", "宽带连接|2|none\r\n以太网|2|none\r\n无线网络连接 2|7|none\r\n");
  Program program(ProgramPath());
  HWND main = StartReady(program);
  ASSERT_TRUE(main);
  HWND button = FindControl(main, Ctl::按钮开始);
  const auto start_and_stop = [&] {
    DeleteFileA((std::string(kDir) + "\\netsh.log").c_str());
    Click(button);
    EXPECT_TRUE(WaitUntil([&] { return StartButtonReads(main, "关闭WiFi"); }, 30000));
    const std::string log = ReadText("netsh.log");
    Click(button);
    EXPECT_TRUE(WaitUntil([&] { return StartButtonReads(main, "开启WiFi"); }, 10000));
    return log;
  };
  // The first start after launch: the connection differs from the (empty)
  // one at the last stop, so sharing is reset first.
  std::string log = start_and_stop();
  EXPECT_NE(At(log, kDisallow), std::string::npos) << log;
  EXPECT_LT(At(log, kDisallow), At(log, kAllow)) << log;
  // Unchanged: no reset.
  log = start_and_stop();
  EXPECT_EQ(At(log, kDisallow), std::string::npos) << log;
  // Another connection chosen: reset again, and the new one is shared.
  SendMessageW(FindControl(main, Ctl::组合框1), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"以太网"));
  DeleteFileA((std::string(kDir) + "\\netsh.log").c_str());
  Click(button);
  EXPECT_TRUE(WaitUntil([&] { return StartButtonReads(main, "关闭WiFi"); }, 30000));
  log = ReadText("netsh.log");
  EXPECT_LT(At(log, kDisallow), At(log, kAllow)) << log;
  const std::string sharing = ReadText("sharing.ini");
  EXPECT_TRUE(Has(sharing, "以太网|2|public")) << sharing;
  EXPECT_FALSE(Has(sharing, "宽带连接|2|public")) << sharing;

  // 重启WiFi: a reset and a new start, back to running.
  DeleteFileA((std::string(kDir) + "\\netsh.log").c_str());
  HWND restart = FindControl(main, Ctl::超级链接框_重启);
  ASSERT_TRUE(restart && IsWindowVisible(restart));
  PostMessageW(restart, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
  PostMessageW(restart, WM_LBUTTONUP, 0, MAKELPARAM(3, 3));
  EXPECT_TRUE(WaitUntil([&] { return Has(ReadText("netsh.log"), kAllow); }, 30000));
  EXPECT_TRUE(WaitUntil([&] { return StartButtonReads(main, "关闭WiFi"); }, 30000));
  log = ReadText("netsh.log");
  EXPECT_LT(At(log, kDisallow), At(log, kAllow)) << log;

  CloseAndExpectEnd(program, main);
}

TEST_F(Windows7Hotspot, ClosingDuringAStartEndsTheStartAndLeavesNothingShared) {
  Program program(ProgramPath());
  HWND main = StartReady(program);
  ASSERT_TRUE(main);
  WriteText("netsh-state.ini", "delay_ms=700\r\n");  // every netsh now takes its time
  Click(FindControl(main, Ctl::按钮开始));
  // Closed while the start sequence is still at work.
  ASSERT_TRUE(WaitUntil([&] { return Has(ReadText("netsh.log"), kAllow); }, 15000));
  ASSERT_EQ(TextOf(main, Ctl::按钮开始), "启动中\r\n请稍后") << "the start is no longer under way";
  const ULONGLONG closed = GetTickCount64();
  RequestClose(main);
  EXPECT_TRUE(program.WaitForExit(5000)) << "still running 5 s after the close";
  EXPECT_LT(GetTickCount64() - closed, 5000u);
  Sleep(300);  // a start that went on would share again now
  EXPECT_TRUE(NothingShared()) << ReadText("sharing.ini");
  const std::string log = ReadText("netsh.log");
  EXPECT_NE(log.rfind(kDisallow), std::string::npos) << log;
  EXPECT_GT(log.rfind(kDisallow), log.rfind(kAllow)) << "not disallowed at the end: " << log;
}

TEST_F(Windows7Hotspot, ExitFromTheMenuWhileRunningUnsharesAndDisallows) {
  Program program(ProgramPath());
  HWND main = StartReady(program);
  ASSERT_TRUE(main);
  ASSERT_TRUE(StartRunning(main));
  DeleteFileA((std::string(kDir) + "\\netsh.log").c_str());
  TrayClick(main, WM_RBUTTONUP);
  HWND menu = OpenPopupMenu(5000);
  ASSERT_TRUE(menu);
  // "退出" is the last of the three items ("重启WiFi" is enabled now).
  for (int i = 0; i < 3; ++i) PostMessageW(menu, WM_KEYDOWN, VK_DOWN, 0);
  PostMessageW(menu, WM_KEYDOWN, VK_RETURN, 0);
  EXPECT_TRUE(program.WaitForExit(5000)) << "退出 did not end the program in 5 s";
  EXPECT_TRUE(NothingShared()) << ReadText("sharing.ini");
  EXPECT_TRUE(Has(ReadText("netsh.log"), kDisallow));
}

TEST_F(Windows7Hotspot, ExitFromTheMenuDuringAStartEndsItAndLeavesNothingShared) {
  Program program(ProgramPath());
  HWND main = StartReady(program);
  ASSERT_TRUE(main);
  WriteText("netsh-state.ini", "delay_ms=700\r\n");  // every netsh now takes its time
  Click(FindControl(main, Ctl::按钮开始));
  ASSERT_TRUE(WaitUntil([&] { return Has(ReadText("netsh.log"), kAllow); }, 15000));
  ASSERT_EQ(TextOf(main, Ctl::按钮开始), "启动中\r\n请稍后") << "the start is no longer under way";
  TrayClick(main, WM_RBUTTONUP);
  HWND menu = OpenPopupMenu(5000);
  ASSERT_TRUE(menu);
  for (int i = 0; i < 3; ++i) PostMessageW(menu, WM_KEYDOWN, VK_DOWN, 0);
  PostMessageW(menu, WM_KEYDOWN, VK_RETURN, 0);
  EXPECT_TRUE(program.WaitForExit(5000)) << "退出 did not end the program in 5 s";
  Sleep(300);  // a start that went on would share again now
  EXPECT_TRUE(NothingShared()) << ReadText("sharing.ini");
  const std::string log = ReadText("netsh.log");
  EXPECT_GT(log.rfind(kDisallow), log.rfind(kAllow)) << "not disallowed at the end: " << log;
}

// The service manager's view of one service.
struct ServiceState {
  DWORD start_type = 0;
  DWORD state = 0;
};

ServiceState QueryService(const wchar_t* name) {
  ServiceState result;
  SC_HANDLE manager = OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CONNECT);
  SC_HANDLE service = manager ? OpenServiceW(manager, name, SERVICE_QUERY_CONFIG | SERVICE_QUERY_STATUS) : nullptr;
  if (service) {
    DWORD needed = 0;
    QueryServiceConfigW(service, nullptr, 0, &needed);
    std::vector<char> buffer(needed);
    auto* config = reinterpret_cast<QUERY_SERVICE_CONFIGW*>(buffer.data());
    if (needed && QueryServiceConfigW(service, config, needed, &needed)) result.start_type = config->dwStartType;
    SERVICE_STATUS status{};
    if (QueryServiceStatus(service, &status)) result.state = status.dwCurrentState;
    CloseServiceHandle(service);
  }
  if (manager) CloseServiceHandle(manager);
  return result;
}

bool ConfigureService(const wchar_t* name, DWORD start_type, const wchar_t* binary, bool stop) {
  SC_HANDLE manager = OpenSCManagerW(nullptr, nullptr, SC_MANAGER_ALL_ACCESS);
  SC_HANDLE service = manager ? OpenServiceW(manager, name, SERVICE_ALL_ACCESS) : nullptr;
  bool ok = service && ChangeServiceConfigW(service, SERVICE_NO_CHANGE, start_type, SERVICE_NO_CHANGE,
                                            binary, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr);
  if (service && stop) {
    SERVICE_STATUS status{};
    ControlService(service, SERVICE_CONTROL_STOP, &status);
    for (int i = 0; i < 100 && QueryServiceStatus(service, &status) &&
                    status.dwCurrentState != SERVICE_STOPPED; ++i)
      Sleep(50);
  }
  if (service) CloseServiceHandle(service);
  if (manager) CloseServiceHandle(manager);
  return ok;
}

constexpr wchar_t kStandinService[] = L"C:\\windows\\lumora_standin_service.exe";

class Services : public Windows7Hotspot {
 protected:
  void TearDown() override {
    ConfigureService(L"MpsSvc", SERVICE_DEMAND_START, kStandinService, true);
    ConfigureService(L"SharedAccess", SERVICE_DEMAND_START, kStandinService, true);
  }
};

TEST_F(Services, AreSetUpAtLaunch) {
  ASSERT_TRUE(ConfigureService(L"MpsSvc", SERVICE_DISABLED, kStandinService, true));
  ASSERT_TRUE(ConfigureService(L"SharedAccess", SERVICE_AUTO_START, kStandinService, true));
  Program program(ProgramPath());
  HWND main = StartReady(program);
  ASSERT_TRUE(main);
  EXPECT_TRUE(WaitUntil([] { return QueryService(L"MpsSvc").state == SERVICE_RUNNING; }, 10000));
  EXPECT_EQ(QueryService(L"MpsSvc").start_type, DWORD(SERVICE_AUTO_START));
  EXPECT_EQ(QueryService(L"SharedAccess").start_type, DWORD(SERVICE_DEMAND_START));
  EXPECT_EQ(QueryService(L"SharedAccess").state, DWORD(SERVICE_STOPPED)) << "set, not started";
  EXPECT_FALSE(WaitForMessageBox("提示", 500));
  CloseAndExpectEnd(program, main);
}

TEST_F(Services, AFirewallThatCannotStartIsReportedOnce) {
  ASSERT_TRUE(ConfigureService(L"MpsSvc", SERVICE_DEMAND_START, L"C:\\windows\\no_such_service.exe", true));
  Program program(ProgramPath());
  HWND box = WaitForMessageBox("提示", 20000);
  ASSERT_TRUE(box) << "no message about the firewall";
  EXPECT_EQ(MessageBoxText(box), "防火墙打开失败，所依赖服务可能不完整！");
  PressOk(box);
  EXPECT_TRUE(WaitUntil([&] { return !IsWindow(box); }, 3000));
  EXPECT_FALSE(WaitForMessageBox("提示", 1500)) << "reported more than once";
  HWND main = WaitForWindow(kMainTitle, 5000);
  ASSERT_TRUE(main);
  EXPECT_TRUE(StartButtonReads(main, "开启WiFi")) << "the program goes on";
  CloseAndExpectEnd(program, main);
}

TEST_F(Services, ClosingWhileTheFirewallFailsToStartEndsWithoutAMessage) {
  // The firewall takes seconds to fail: the close comes while the start-up
  // waits for it, and its message must not hold the ending program open.
  ASSERT_TRUE(ConfigureService(
      L"MpsSvc", SERVICE_DEMAND_START,
      L"C:\\windows\\lumora_standin_service.exe --fail-after 3000", true));
  Program program(ProgramPath());
  HWND main = StartReady(program);
  ASSERT_TRUE(main);
  CloseAndExpectEnd(program, main);
  EXPECT_FALSE(WaitForMessageBox("提示", 500)) << "a box opened inside the close";
}

}  // namespace
}  // namespace lumora::e2e
