// Faults around the real program: the sharing manager failing at each step,
// netsh missing or hanging, the services gone, the settings file turning
// read-only under it, and the window closed while each kind of worker runs.
// Whatever happens, the program answers, ends within its stop bound when
// closed, leaves nothing shared it could unshare, and no file torn.
#include "tools/loopback_http.h"  // Winsock before <windows.h>

#include <gtest/gtest.h>
#include <tlhelp32.h>

#include <functional>
#include <iostream>

#include "app_driver.h"
#include "common/settings.h"
#include "e2e_env.h"
#include "prepared_files.h"
#include "screenshot.h"
#include "ui_driver.h"
#include "updates/servers.h"

namespace lumora::e2e {
namespace {

using test::LoopbackHttp;

constexpr char kNetsh[] = "c:\\windows\\system32\\netsh.exe";
constexpr char kNetshAway[] = "c:\\windows\\system32\\netsh.exe.away";
constexpr wchar_t kStandinService[] = L"C:\\windows\\lumora_standin_service.exe";
// The workers' stop bound (5 s) and the close fold, with room for a loaded machine.
constexpr DWORD kEndBoundMs = 8000;

bool NetshRunning() {
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof entry;
  bool found = false;
  for (BOOL more = Process32FirstW(snapshot, &entry); more && !found; more = Process32NextW(snapshot, &entry))
    found = _wcsicmp(entry.szExeFile, L"netsh.exe") == 0;
  CloseHandle(snapshot);
  return found;
}

void SetServicesPresent(bool present) {
  SC_HANDLE manager = OpenSCManagerW(nullptr, nullptr, SC_MANAGER_ALL_ACCESS);
  for (const wchar_t* name : {L"SharedAccess", L"MpsSvc"}) {
    SC_HANDLE service = OpenServiceW(manager, name, SERVICE_ALL_ACCESS);
    if (!present && service) {
      SERVICE_STATUS status{};
      ControlService(service, SERVICE_CONTROL_STOP, &status);
      DeleteService(service);
    }
    if (present && !service)
      service = CreateServiceW(manager, name, name, SERVICE_ALL_ACCESS, SERVICE_WIN32_OWN_PROCESS,
                               SERVICE_DEMAND_START, SERVICE_ERROR_NORMAL, kStandinService, nullptr,
                               nullptr, nullptr, nullptr, nullptr);
    if (service) CloseServiceHandle(service);
  }
  CloseServiceHandle(manager);
}

bool Running(HWND main) { return WaitUntil([&] { return StartButtonReads(main, "关闭WiFi"); }, 30000); }

struct Context {
  HWND main;
  DWORD pid;
};

struct FaultRow {
  const char* name;
  std::function<void()> prepare;      // before the program starts
  std::function<void(Context&)> act;  // once it is ready (or, early, once its window shows)
  bool early = false;                 // act as soon as the window shows, not when ready
  bool may_stay_shared = false;       // the sharing manager refuses to unshare
};

std::ostream& operator<<(std::ostream& out, const FaultRow& row) { return out << row.name; }

void Fail(const char* file, const char* text) { WriteText(file, text); }

// A start that the sharing manager defeats ends in the start failure's box.
void StartFailsWithItsMessage(Context& c) {
  Click(FindControl(c.main, Ctl::按钮开始));
  HWND box = WaitForMessageBox("启动失败", 90000);
  ASSERT_TRUE(box) << "no message; the button reads " << TextOf(c.main, Ctl::按钮开始);
  EXPECT_EQ(MessageBoxText(box), "启动WiFi失败，可能网卡共享出问题，请按照[帮助信息]手动操作一下网卡。");
  PressOk(box);
  EXPECT_TRUE(WaitUntil([&] { return StartButtonReads(c.main, "开启WiFi"); }, 10000));
}

void StartRuns(Context& c) {
  Click(FindControl(c.main, Ctl::按钮开始));
  EXPECT_TRUE(Running(c.main)) << TextOf(c.main, Ctl::按钮开始);
}

const FaultRow kFaultRows[] = {
    {"SharingCannotBeCreated", [] { Fail("sharing-fail.txt", "create"); }, StartFailsWithItsMessage},
    {"SharingCannotList", [] { Fail("sharing-fail.txt", "enum"); }, StartFailsWithItsMessage},
    {"SharingCannotName", [] { Fail("sharing-fail.txt", "props"); }, StartFailsWithItsMessage},
    {"SharingCannotConfigure", [] { Fail("sharing-fail.txt", "config"); }, StartFailsWithItsMessage},
    {"SharingCannotEnable", [] { Fail("sharing-fail.txt", "enable"); }, StartFailsWithItsMessage},
    {"SharingCannotDisable", [] { Fail("sharing-fail.txt", "disable"); }, StartRuns, false, true},
    {"NetshMissing", [] { ASSERT_TRUE(MoveFileA(kNetsh, kNetshAway)); },
     [](Context& c) {
       Click(FindControl(c.main, Ctl::按钮开始));
       HWND box = WaitForMessageBox("开启失败", 30000);
       ASSERT_TRUE(box) << "a start without netsh was not reported: " << TextOf(c.main, Ctl::按钮开始);
       EXPECT_EQ(MessageBoxText(box).rfind("开启失败！失败类型：无法运行 netsh 命令", 0), 0u) << MessageBoxText(box);
       Shot("fault-netsh-missing");
       PressOk(box);
       EXPECT_TRUE(WaitUntil([&] { return StartButtonReads(c.main, "开启WiFi"); }, 10000));
     }},
    {"NetshHangs", nullptr,
     [](Context& c) {
       WriteText("netsh-state.ini", "delay_ms=600000\r\n");
       Click(FindControl(c.main, Ctl::按钮开始));
       EXPECT_TRUE(WaitUntil(NetshRunning, 10000));
       Sleep(1000);
       EXPECT_TRUE(Answers(c.main)) << "the window waits for netsh";
     }},
    {"ServicesMissing", [] { SetServicesPresent(false); },
     [](Context& c) {
       HWND box = WaitForMessageBox("提示", 20000);
       ASSERT_TRUE(box) << "the missing firewall was not reported";
       EXPECT_EQ(MessageBoxText(box), "防火墙打开失败，所依赖服务可能不完整！");
       PressOk(box);
       StartRuns(c);
     }},
    {"SettingsTurnReadOnly", nullptr,
     [](Context& c) {
       const std::string before = Snapshot(kIniPath);
       SetFileAttributesA(kIniPath, FILE_ATTRIBUTE_READONLY);
       Click(FindControl(c.main, Ctl::选择框_显示密码));
       StartRuns(c);  // writes the name and the pass phrase
       EXPECT_EQ(Snapshot(kIniPath), before);
       SetFileAttributesA(kIniPath, FILE_ATTRIBUTE_NORMAL);
     }},
    {"CloseDuringStartup", [] { WriteText("netsh-state.ini", "delay_ms=1500\r\n"); }, [](Context&) {}, true},
    {"CloseDuringStart", [] { WriteText("netsh-state.ini", "delay_ms=1500\r\n"); },
     [](Context& c) {
       Click(FindControl(c.main, Ctl::按钮开始));
       Sleep(2500);
     }},
    {"CloseDuringStop", nullptr,
     [](Context& c) {
       StartRuns(c);
       WriteText("netsh-state.ini", "delay_ms=3000\r\n");
       Click(FindControl(c.main, Ctl::按钮开始));
       Sleep(500);
     }},
    {"CloseDuringClientScan", nullptr,
     [](Context& c) {
       StartRuns(c);
       Sleep(6300);  // the first tick of the black list scan
     }},
    {"CloseDuringTrafficQuery",
     [] {
       Win32FileStore files;
       SettingsStore(files).Write(setting::kTrafficBar, "是");
     },
     [](Context& c) {
       StartRuns(c);
       Sleep(1500);
     }},
    {"CloseDuringCountdown", nullptr,
     [](Context& c) {
       StartRuns(c);
       TypeAndEnter(c.main, Ctl::组合框_关机, "2");
       EXPECT_TRUE(IsChecked(c.main, Ctl::选择框关机));
       Sleep(1200);
     }},
};

class Fault : public ::testing::TestWithParam<FaultRow> {
 protected:
  void SetUp() override {
    ASSERT_FALSE(ProgramPath().empty()) << "LUMORA_EXE is not set";
    for (const char* f : {kIniPath, kBlackPath, kWhitePath}) Clear(f);
    ResetStandins();
    settings_.Write(setting::kAdapterOverride, "1");
    settings_.Write(setting::kAdapterOverrideName, "无线网络连接 2");
  }
  void TearDown() override {
    MoveFileA(kNetshAway, kNetsh);
    SetServicesPresent(true);
    SetFileAttributesA(kIniPath, FILE_ATTRIBUTE_NORMAL);
    DeleteFileA((std::string(kDir) + "\\sharing-fail.txt").c_str());
    DeleteFileA((std::string(kDir) + "\\netsh-state.ini").c_str());
    DeleteFileA((std::string(kDir) + "\\wlan-state.ini").c_str());
  }

  Win32FileStore files_;
  SettingsStore settings_{files_};
};

TEST_P(Fault, GoesOnAndEndsWithinTheBoundLeavingNothingBehind) {
  const FaultRow& row = GetParam();
  if (row.prepare) row.prepare();
  if (HasFatalFailure()) return;
  Program program(ProgramPath());
  Context c{row.early ? WaitForWindow(kMainTitle, 15000) : StartReady(program), program.Pid()};
  ASSERT_TRUE(c.main);
  row.act(c);
  EXPECT_TRUE(Answers(c.main));
  const std::string held = Snapshot(kIniPath);

  const ULONGLONG closing = GetTickCount64();
  CloseAndExpectEnd(program, c.main, kEndBoundMs);
  std::cout << row.name << ": ended " << GetTickCount64() - closing << " ms after the close\n";
  EXPECT_FALSE(NetshRunning()) << "a netsh of the program outlived it";
  if (!row.may_stay_shared) {
    EXPECT_TRUE(NothingShared()) << ReadText("sharing.ini");
  }
  // Whatever the settings file held it still holds, and it reads.
  EXPECT_EQ(LostLines(held, Snapshot(kIniPath)), std::vector<std::string>{});
  EXPECT_EQ(settings_.Read(setting::kAdapterOverrideName), "无线网络连接 2");
}

INSTANTIATE_TEST_SUITE_P(Faults, Fault, ::testing::ValuesIn(kFaultRows),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace lumora::e2e
