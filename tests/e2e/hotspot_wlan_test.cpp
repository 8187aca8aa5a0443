// The Windows 8/10 ways: the hosted network through the WLAN functions (the
// stand-in of wlan_standin.h), and the system's Mobile Hotspot.
#include <gtest/gtest.h>

#include <cstdio>
#include <vector>

#include "app_driver.h"
#include "screenshot.h"
#include "ui_driver.h"
#include "wlan_standin.h"

namespace lumora::e2e {
namespace {

// A copy left by an interrupted run would give every other test a hosted
// network: none is there before the first test or after the last.
class NoStandinLeftBehind : public ::testing::Environment {
 public:
  void SetUp() override { RemoveStandinCopy(); }
  void TearDown() override { RemoveStandinCopy(); }
};
[[maybe_unused]] ::testing::Environment* const kCleanup =
    ::testing::AddGlobalTestEnvironment(new NoStandinLeftBehind);

using Windows10WlanHotspot = WlanStandinTest;

TEST_F(Windows10WlanHotspot, StartsTheHostedNetworkSharesAndStops) {
  Program program(ProgramPath());
  HWND main = WaitForMain(program);
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
  EXPECT_TRUE(Has(sharing, "本地连接* 12|2|private")) << sharing;
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

TEST_F(Windows10WlanHotspot, ConnectionThatExistedBeforeIsSharedAsThePrivateSide) {
  // From the second start on the hosted adapter's connection is there before
  // the start: no name is new, the hosted network's status names the adapter.
  WriteText("sharing.ini", "宽带连接|2|none\r\n本地连接* 12|2|none\r\n");
  Program program(ProgramPath());
  HWND main = StartReady(program);
  ASSERT_TRUE(main);

  Click(FindControl(main, Ctl::按钮开始));
  ASSERT_TRUE(WaitUntil([&] { return StartButtonReads(main, "关闭WiFi"); }, 20000))
      << TextOf(main, Ctl::按钮开始) << "\n" << ReadText("wlan.log");
  const std::string sharing = ReadText("sharing.ini");
  EXPECT_TRUE(Has(sharing, "宽带连接|2|public")) << sharing;
  EXPECT_TRUE(Has(sharing, "本地连接* 12|2|private")) << sharing;
  RequestClose(main);
  EXPECT_TRUE(program.WaitForExit(5000));
  const std::string after = ReadText("sharing.ini");
  EXPECT_FALSE(Has(after, "public") || Has(after, "private")) << "left shared: " << after;
}

// Neither the hosted network's status nor a new connection names the
// private side: sharing never takes effect. After the fifth run the start
// gives up, and nothing of it stays up or shared, then or after the exit.
TEST_F(Windows10WlanHotspot, GivingUpLeavesNothingStartedOrShared) {
  WriteText("wlan-state.ini", "");
  Program program(ProgramPath());
  HWND main = StartReady(program);
  ASSERT_TRUE(main);
  Click(FindControl(main, Ctl::按钮开始));
  HWND failed = WaitForMessageBox("启动失败", 90000);
  ASSERT_TRUE(failed) << ReadText("wlan.log");
  const std::string sharing = ReadText("sharing.ini");
  EXPECT_FALSE(Has(sharing, "public") || Has(sharing, "private")) << "left shared: " << sharing;
  EXPECT_NE(StateValue("active"), "1");
  EXPECT_EQ(StateValue("enabled"), "0");
  PressOk(failed);
  EXPECT_TRUE(WaitUntil([&] { return StartButtonReads(main, "开启WiFi"); }, 5000));
  CloseAndExpectEnd(program, main);
  EXPECT_NE(StateValue("active"), "1");
  EXPECT_FALSE(Has(ReadText("sharing.ini"), "public"));
}

// Presses the start button of a start that must fail and returns the
// "开启失败" box's text (empty when none came); the box is shot, answered,
// and the window must be back in the stopped state.
std::string RefusedStart(HWND main, const char* shot) {
  Click(FindControl(main, Ctl::按钮开始));
  HWND box = WaitForMessageBox("开启失败", 20000);
  if (!box) {
    ADD_FAILURE() << "no box; the button reads " << TextOf(main, Ctl::按钮开始);
    return "";
  }
  const std::string text = MessageBoxText(box);
  Shot(shot);
  EXPECT_NE(TextOf(main, Ctl::按钮开始), "关闭WiFi");
  PressOk(box);
  EXPECT_TRUE(WaitUntil([&] { return StartButtonReads(main, "开启WiFi"); }, 10000));
  EXPECT_EQ(TextOf(main, Ctl::标签9), "未启动");
  return text;
}

TEST_F(Windows10WlanHotspot, RefusedStartIsReportedAndLeavesNothingShared) {
  WriteText("wlan-state.ini", "start_error=5023\r\nstart_reason=24\r\n");  // and no device
  Program program(ProgramPath());
  HWND main = StartReady(program);
  ASSERT_TRUE(main);

  const std::string text = RefusedStart(main, "wlan-start-refused");
  EXPECT_EQ(text.substr(0, text.find("\r\n解决办法")),
            "开启失败！失败类型：无法启动承载网络。\r\n"
            "原因：WLAN 服务不可用，或承载网络已被禁用（错误代码 5023）");
  EXPECT_TRUE(Has(text, "无线网卡驱动")) << text;
  const std::string sharing = ReadText("sharing.ini");
  EXPECT_FALSE(Has(sharing, "public") || Has(sharing, "private")) << "left shared: " << sharing;
  EXPECT_NE(StateValue("active"), "1");
  RequestClose(main);
  EXPECT_TRUE(program.WaitForExit(5000));
}


// Where the wireless driver offers no hosted network, Windows 10 starts the
// hotspot through the system's Mobile Hotspot: the test prefix's tethering
// stand-in (tethering-state.ini, tethering.log) plays the tethering manager,
// and the netsh stand-in's driver report says there is no hosted network.
std::string TetheringValue(const std::string& key) {
  return StateFileValue("tethering-state.ini", key);
}

class Windows10MobileHotspot : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(ProgramPath().empty()) << "LUMORA_EXE is not set";
    ASSERT_EQ(RegSetKeyValueW(HKEY_CURRENT_USER, kVersionKey, L"Version", REG_SZ, L"win10",
                              sizeof(L"win10")),
              ERROR_SUCCESS);
    for (const char* f : {"c:\\tovkwifi.ini", "c:\\wifiblack.txt", "c:\\wifiwhite.txt",
                          "c:\\wifiname.txt"})
      DeleteFileA(f);
    for (const char* f : {"netsh.log", "tethering.log", "netsh-fail.txt"})
      DeleteFileA((std::string(kDir) + "\\" + f).c_str());
    WriteText("sharing.ini", "宽带连接|2|none\r\n");
    WriteText("netsh-state.ini", "hosted=0\r\n");
    WriteText("tethering-state.ini",
              "running=0\r\nno_clients_timeout=1\r\n"
              "clients=aa:bb:cc:00:00:01|Android-5f2a,AA-BB-CC-00-00-02|ipad-air\r\n");
    settings_.Write(setting::kAdapterOverride, "1");
    settings_.Write(setting::kAdapterOverrideName, "本地连接* 3");
  }

  void TearDown() override {
    RegDeleteKeyValueW(HKEY_CURRENT_USER, kVersionKey, L"Version");
    for (const char* f : {"netsh-state.ini", "tethering-state.ini"})
      DeleteFileA((std::string(kDir) + "\\" + f).c_str());
  }

  NamedAdapter tethering_{L"本地连接* 3"};
  Win32FileStore files_;
  SettingsStore settings_{files_};
};

TEST_F(Windows10MobileHotspot, StartsThroughTheSystemListsItsClientsAndStops) {
  Program program(ProgramPath());
  HWND main = StartReady(program);
  ASSERT_TRUE(main);

  Click(FindControl(main, Ctl::按钮开始));
  ASSERT_TRUE(WaitUntil([&] { return StartButtonReads(main, "关闭WiFi"); }, 20000))
      << "not running: " << TextOf(main, Ctl::按钮开始) << "\n" << ReadText("tethering.log");
  EXPECT_EQ(TextOf(main, Ctl::标签9), "已启动");
  EXPECT_EQ(TetheringValue("ssid"), "mylove");
  EXPECT_EQ(TetheringValue("passphrase"), "5094817263");
  EXPECT_EQ(TetheringValue("running"), "1");
  // The system may not switch the hotspot off for want of clients meanwhile.
  EXPECT_EQ(TetheringValue("no_clients_timeout"), "0");
  const std::string log = ReadText("tethering.log");
  EXPECT_TRUE(Has(log, "capability 宽带连接\r\ncreate 宽带连接\r\nconfigure ssid=mylove passphrase=5094817263\r\n"))
      << log;
  // Neither the hosted network nor the sharing manager is used on this way.
  EXPECT_TRUE(Has(ReadText("netsh.log"), "wlan show drivers"));
  EXPECT_FALSE(Has(ReadText("netsh.log"), "wlan start hostednetwork"));
  const std::string sharing = ReadText("sharing.ini");
  EXPECT_FALSE(Has(sharing, "public") || Has(sharing, "private")) << sharing;
  Sleep(1200);
  Shot("mobile-running-main");

  // The system's two devices on the user list, named from their host names.
  ASSERT_TRUE(SelectPage(main, 1));
  HWND users = FindControl(main, Ctl::超级列表框1);
  const std::vector<std::vector<std::string>> listed = {{"1", "", "AA-BB-CC-00-00-01", "安卓设备"},
                                                        {"2", "", "AA-BB-CC-00-00-02", "ipad-air"}};
  EXPECT_TRUE(WaitUntil([&] { return ListViewRows(users, 4) == listed; }, 2 * 6000 + 3000))
      << ListViewRows(users, 4).size() << " rows";
  Shot("mobile-user-list");
  ASSERT_TRUE(SelectPage(main, 0));

  Click(FindControl(main, Ctl::按钮开始));
  ASSERT_TRUE(WaitUntil([&] { return StartButtonReads(main, "开启WiFi"); }, 10000));
  EXPECT_EQ(TextOf(main, Ctl::标签9), "未启动");
  EXPECT_EQ(TetheringValue("running"), "0") << ReadText("tethering.log");
  EXPECT_EQ(TetheringValue("no_clients_timeout"), "1") << "the user's setting is back";
  EXPECT_TRUE(ListViewRows(users, 4).empty());

  // Leaving the program while it runs gives the setting back too.
  Click(FindControl(main, Ctl::按钮开始));
  ASSERT_TRUE(WaitUntil([&] { return StartButtonReads(main, "关闭WiFi"); }, 20000));
  EXPECT_EQ(TetheringValue("no_clients_timeout"), "0");
  CloseAndExpectEnd(program, main);
  EXPECT_EQ(TetheringValue("running"), "0");
  EXPECT_EQ(TetheringValue("no_clients_timeout"), "1");
  // Every call reached the method it meant, from the multithreaded apartment.
  const std::string all = ReadText("tethering.log");
  EXPECT_FALSE(Has(all, "unexpected") || Has(all, "(STA)")) << all;
}

// The system switches its Mobile Hotspot off behind the program's back (as
// it does after minutes without a client): the watch starts it again.
TEST_F(Windows10MobileHotspot, SwitchedOffBehindTheProgramsBackItComesBack) {
  Program program(ProgramPath());
  HWND main = StartReady(program);
  ASSERT_TRUE(main);
  Click(FindControl(main, Ctl::按钮开始));
  ASSERT_TRUE(WaitUntil([&] { return StartButtonReads(main, "关闭WiFi"); }, 20000));
  const auto starts = [] { return CountOf(ReadText("tethering.log"), "\nstart\r"); };
  const int before = starts();
  const ULONGLONG fault = GetTickCount64();
  SetStateValue("tethering-state.ini", "running", "0");
  EXPECT_TRUE(WaitUntil(
      [&] {
        return starts() > before && TetheringValue("running") == "1" &&
               TextOf(main, Ctl::标签9) == "已启动";
      },
      30000))
      << ReadText("tethering.log");
  std::printf("HEAL Mobile Hotspot switched off: restored after %.1f s\n",
              double(GetTickCount64() - fault) / 1000);
  CloseAndExpectEnd(program, main);
  EXPECT_EQ(TetheringValue("running"), "0");
}

// A refusal by policy before anything is set, a refused start and a start
// that ends in the system's error: each its own reason, in one run.
TEST_F(Windows10MobileHotspot, RefusedStartsShowTheSystemsReasons) {
  const struct {
    const char* state;
    const char* shot;
    const char* reason;  // all of it, or its end after "…"
    bool configured;     // the access point was set before the refusal
  } cases[] = {
      {"capability=1\r\n", "mobile-capability-refused", "移动热点已被组策略禁用", false},
      {"refuse=设备上的移动热点已被组策略关闭\r\nrefuse_status=5\r\n", "mobile-start-refused",
       "运营商授权检查未通过（设备上的移动热点已被组策略关闭）", true},
      {"start_ends=error:0x80070005\r\n", "mobile-start-error", "…（错误代码 0x80070005）", true},
  };
  Program program(ProgramPath());
  HWND main = StartReady(program);
  ASSERT_TRUE(main);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.state);
    WriteText("tethering-state.ini", c.state);
    DeleteFileA((std::string(kDir) + "\\tethering.log").c_str());
    const std::string text = RefusedStart(main, c.shot);
    const std::string prefix = "开启失败！失败类型：无法启动移动热点。\r\n原因：";
    ASSERT_EQ(text.rfind(prefix, 0), 0u) << text;
    const std::string reason = text.substr(prefix.size(), text.find("\r\n解决办法") - prefix.size());
    const std::string want = c.reason;
    if (want.rfind("…", 0) == 0)
      EXPECT_TRUE(reason.size() > want.size() && Has(reason, want.substr(3))) << reason;
    else
      EXPECT_EQ(reason, want);
    EXPECT_NE(TetheringValue("running"), "1");
    EXPECT_NE(TetheringValue("no_clients_timeout"), "0");
    EXPECT_EQ(Has(ReadText("tethering.log"), "configure"), c.configured) << ReadText("tethering.log");
  }
  CloseAndExpectEnd(program, main);
}

}  // namespace
}  // namespace lumora::e2e
