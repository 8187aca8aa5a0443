// The start sequence on a worker, against fakes of every port: input checks,
// netsh's command lines and answers, the address of the hosted adapter, the
// sharing check with its re-runs, and the window's states.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <deque>
#include <string>
#include <vector>

#include "common/gbk.h"
#include "fakes/fake_network.h"

namespace lumora {
namespace {

using Names = std::vector<std::string>;
using fakes::FakeConnection;

constexpr char kSetDefault[] = "netsh wlan set hostednetwork mode=allow ssid=mylove key=5094817263";
constexpr char kDisallow[] = "netsh wlan set hostednetwork mode=disallow";
constexpr char kStart[] = "netsh wlan start hostednetwork";
constexpr char kStop[] = "netsh wlan stop hostednetwork";
constexpr char kShow[] = "netsh interface ipv4 show addresses";

void ExpectRunning(const fakes::MemoryWindow& ui) {
  EXPECT_EQ(ui.Text(Ctl::按钮开始), "关闭WiFi");
  EXPECT_TRUE(ui.Enabled(Ctl::按钮开始));
  for (Ctl c : {Ctl::编辑框名称, Ctl::编辑框密码, Ctl::组合框1}) EXPECT_FALSE(ui.Enabled(c));
  EXPECT_EQ(ui.Text(Ctl::标签9), "已启动");
  EXPECT_EQ(ui.TextColour(Ctl::标签9), (Colour{0, 128, 0}));
  EXPECT_TRUE(ui.Visible(Ctl::超级链接框_重启));
  EXPECT_TRUE(ui.Enabled(Ctl::超级链接框_重启));
  EXPECT_TRUE(ui.MenuItemEnabled(MenuItem::重启WiFi));
}

// The window after a start that ended early: ready for the next click.
void ExpectStartUiReset(const fakes::MemoryWindow& ui) {
  EXPECT_EQ(ui.Text(Ctl::按钮开始), "开启WiFi");
  EXPECT_TRUE(ui.Enabled(Ctl::按钮开始));
  EXPECT_EQ(ui.TimerInterval(Timer::时钟状态), 0);
  EXPECT_EQ(ui.TimerInterval(Timer::时钟_右下角灰动), 0);
  EXPECT_EQ(ui.Picture(Ctl::图片框状态), Image::kStatusStopped);
  EXPECT_EQ(ui.TrayIcon(), Image::kTrayOff);
}

TEST(Start, InputIsCheckedBeforeAnythingChanges) {
  const std::string a32(32, 'a'), k63(63, 'k');
  const std::string han16 = "一二三四五六七八九十一二三四五六";  // 32 GBK bytes
  struct Case {
    std::string ssid, key;
    const char* balloon;  // nullptr: accepted
    int dy;
  } cases[] = {
      {"", "", "您还没有输入WiFi名称哦！", 90},
      {"my\"wifi", "", "WiFi名称不能包含双引号哦！", 90},
      {a32 + "a", "", "WiFi名称不能超过32个字节哦！", 90},
      {han16 + "a", "12345678", "WiFi名称不能超过32个字节哦！", 90},
      {"mylove", "", "您还没有输入密码哦！", 135},
      {"mylove", "12\"345678", "密码不能包含双引号哦！", 135},
      {"mylove", "1234567", "密码不能少于8位数！", 135},
      {"mylove", "一二三", "密码不能少于8位数！", 135},
      {"mylove", k63 + "k", "密码不能超过63位哦！", 135},
      {han16, "四个汉字", nullptr, 0},
      {"a b" + a32.substr(2), k63, nullptr, 0},  // 32 bytes once the space is out
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.ssid + " / " + c.key);
    fakes::HotspotRig r;
    r.Ready();
    r.ui.SetText(Ctl::编辑框名称, c.ssid);
    r.ui.SetText(Ctl::编辑框密码, c.key);
    r.ClickStart();
    if (!c.balloon) {
      EXPECT_TRUE(r.ui.balloons.empty());
      EXPECT_EQ(r.ui.Text(Ctl::按钮开始), "关闭WiFi");
      continue;
    }
    ASSERT_EQ(r.ui.balloons.size(), 1u);
    EXPECT_EQ(r.ui.balloons[0].text, c.balloon);
    EXPECT_EQ(r.ui.balloons[0].dx, 200);
    EXPECT_EQ(r.ui.balloons[0].dy, c.dy);
    EXPECT_EQ(r.ui.Text(Ctl::按钮开始), "开启WiFi");
    EXPECT_TRUE(r.ui.Enabled(Ctl::按钮开始));
    EXPECT_EQ(r.ui.TimerInterval(Timer::时钟状态), 0);
    // Refused before anything changed: no worker, no state, no command.
    EXPECT_EQ(r.hotspot.State(), HotspotState::kStopped);
    EXPECT_EQ(r.host.StartedCount(), 0);
    EXPECT_TRUE(r.host.Commands().empty());
    EXPECT_EQ(r.files.writes, 0);
  }
}

// The system's side of the reset at launch goes on after the window is
// ready; a start clicked meanwhile waits for it: nothing of the start runs
// while the launch's disallow is held, and its commands follow it.
TEST(Start, ClickedDuringTheLaunchResetWaitsForIt) {
  using namespace std::chrono_literals;
  fakes::HotspotRig r;
  r.Ready();
  std::mutex mutex;
  std::condition_variable changed;
  bool held = false, release = false;
  r.host.trace = [&](std::string_view entry) {
    if (entry != std::string("RunHiddenCommand ") + kDisallow) return;
    std::unique_lock lock(mutex);
    if (held) return;  // only the launch's own
    held = true;
    changed.notify_all();
    changed.wait_for(lock, 5s, [&] { return release; });
  };
  r.hotspot.ResetAtLaunch();
  {
    std::unique_lock lock(mutex);
    ASSERT_TRUE(changed.wait_for(lock, 5s, [&] { return held; }));
  }
  r.hotspot.OnStartButton();
  std::this_thread::sleep_for(100ms);
  EXPECT_TRUE(r.host.Commands().empty());
  {
    std::lock_guard lock(mutex);
    release = true;
  }
  changed.notify_all();
  ASSERT_TRUE(r.host.WaitForAllWorkers());
  const std::vector<std::string> commands = r.host.Commands();
  ASSERT_FALSE(commands.empty());
  EXPECT_EQ(commands[0], kDisallow);
  EXPECT_NE(std::find(commands.begin() + 1, commands.end(), kSetDefault), commands.end());
  ExpectRunning(r.ui);
}

TEST(Start, HostedNetworkCommandLine) {
  struct Case {
    const char *ssid, *key, *line, *ssid_after, *key_after;
  } cases[] = {
      {"mylove", "5094817263", kSetDefault, "mylove", "5094817263"},
      {"my love", "1234 5678", "netsh wlan set hostednetwork mode=allow ssid=mylove key=12345678",
       "mylove", "12345678"},
      // The first three spaces go; a fourth stays and is quoted.
      {"a b c d e", "pa ss wo rd 12",
       "netsh wlan set hostednetwork mode=allow ssid=\"abcd e\" key=\"password 12\"", "abcd e",
       "password 12"},
      {"a b c d e\\", "12345678",
       "netsh wlan set hostednetwork mode=allow ssid=\"abcd e\\\\\" key=12345678", "abcd e\\",
       "12345678"},
      {"家里的WiFi", "密码 12345678",
       "netsh wlan set hostednetwork mode=allow ssid=家里的WiFi key=密码12345678", "家里的WiFi",
       "密码12345678"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.ssid);
    fakes::HotspotRig r;
    r.Ready();
    r.ui.SetText(Ctl::编辑框名称, c.ssid);
    r.ui.SetText(Ctl::编辑框密码, c.key);
    r.ClickStart();
    ASSERT_GE(r.host.Commands().size(), 2u);
    EXPECT_EQ(r.host.Commands()[1], c.line);  // after the reset's disallow
    EXPECT_EQ(r.ui.Text(Ctl::编辑框名称), c.ssid_after);
    EXPECT_EQ(r.ui.Text(Ctl::编辑框密码), c.key_after);
    EXPECT_EQ(r.settings.Read(setting::kSsid), c.ssid_after);
    EXPECT_EQ(r.settings.Read(setting::kPassphrase), c.key_after);
  }
}

TEST(Start, FixedAddressOnlyWhenTheHostedAdapterUsesDhcp) {
  const std::string kOdd = "Local Area Connection* (12)";
  const std::string kQuoted = "Bad\"Name";
  struct Case {
    std::string adapter, dhcp;
    Names after_show;
  } cases[] = {
      {kOdd, "否", {}},
      {kOdd, "是",
       {"netsh interface ip set address name=\"Local Area Connection* (12)\" source=static "
        "addr=192.168.137.1 mask=255.255.255.0 gwmetric=1",
        kStop, kStart}},
      {kQuoted, "是", {kStop, kStart}},  // a name that cannot be passed: no address command
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.adapter + " " + c.dhcp);
    fakes::HotspotRig r;
    r.Ready(c.adapter, c.dhcp);
    r.ClickStart();
    Names expected = {kDisallow, kSetDefault, kStart, kShow};
    expected.insert(expected.end(), c.after_show.begin(), c.after_show.end());
    EXPECT_EQ(r.host.Commands(), expected);
    EXPECT_EQ(r.ui.Text(Ctl::编辑框虚拟网卡), c.adapter);
    EXPECT_EQ(r.sharing.Shared(FakeConnection::kPrivate), Names{c.adapter});
    ExpectRunning(r.ui);
  }
}

TEST(Start, HostedAdapterSearchIsRetriedThenOverridden) {
  const std::vector<AdapterInfo> kNone, kFound{{"Microsoft 托管网络虚拟适配器", "本地连接* 2"}};
  struct Case {
    int os;
    std::deque<std::vector<AdapterInfo>> answers;
    const char* ini;
    const char* box;
    int pause, pauses;
  } cases[] = {
      {5, {kNone, kNone, kFound}, "", "本地连接* 2", 200, 2},
      {5, {kNone}, "", "", 200, 3},
      {10, {kNone, kFound}, "", "本地连接* 2", 300, 1},
      {10, {kFound}, "[1]\r\n1=1\r\n2=固定网卡\r\n", "固定网卡", 300, 0},
      {5, {kFound}, "[1]\r\n1=2\r\n2=固定网卡\r\n", "本地连接* 2", 200, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.os << " " << c.box);
    fakes::HotspotRig r(c.os);
    r.Ready("本地连接* 2");
    r.files.files[kSettingsPath] = Utf8ToGbk(c.ini);
    r.adapters.adapter_lists = c.answers;
    r.ClickStart();
    EXPECT_EQ(r.ui.Text(Ctl::编辑框虚拟网卡), c.box);
    const auto waits = r.host.Waits();
    EXPECT_EQ(std::count(waits.begin(), waits.end(), c.pause), c.pauses);
  }
}

TEST(Start, FailuresReportedByNetshOrTheWindow) {
  const std::string kFailed =
      "\r\n无法启动承载网络。\r\n\r\n组或资源的状态不是执行请求操作的正确状态。\r\n\r\n";
  struct Case {
    const char* name;
    std::string set_out, start_out, connection;
    const char* balloon;
    int dx, dy;
    bool message;
  } cases[] = {
      {"no administrator rights", "请求的操作需要提升(作为管理员运行)。\r\n", "", "WLAN",
       "无法开启！共享需要管理员权限，检测到您的电脑没有管理员权限。\r\n"
       "请参照界面上的【帮助信息】设置管理权限后重新运行。",
       210, 250, false},
      {"no internet connection", "", "", "", "本机连网方式为空，请在【设置中心】选择一下！", 140,
       40, false},
      {"hosted network does not start", "承载网络模式已设置为允许。\r\n", kFailed, "WLAN",
       nullptr, 0, 0, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    fakes::HotspotRig r;
    r.host.Script(kSetDefault, c.set_out);
    r.host.Script(kStart, c.start_out);
    r.Ready();
    r.ui.SetText(Ctl::组合框1, c.connection);
    r.ClickStart();
    ExpectStartUiReset(r.ui);
    EXPECT_EQ(r.hotspot.LastHostedOutput(), "");
    if (c.balloon) {
      ASSERT_EQ(r.ui.balloons.size(), 1u);
      EXPECT_EQ(r.ui.balloons[0].text, c.balloon);
      EXPECT_EQ(r.ui.balloons[0].dx, c.dx);
      EXPECT_EQ(r.ui.balloons[0].dy, c.dy);
      EXPECT_EQ(r.CommandCount(kStart), 0);
    }
    ASSERT_EQ(r.ui.messages.size(), c.message ? 1u : 0u);
    if (c.message) {
      const auto& m = r.ui.messages[0];
      EXPECT_EQ(m.title, "开启失败");
      EXPECT_EQ(m.icon, MessageIcon::kInformation);
      const std::string head =
          "开启失败！失败类型：无法启动承载网络。\r\n组或资源的状态不是执行请求操作的正确状态。\r\n"
          "\r\n解决办法：\r\n①、电脑的无线网络开关是否打开。";
      EXPECT_EQ(m.text.substr(0, head.size()), head);
      EXPECT_EQ(m.text.substr(m.text.size() - 15), "到最新版。");
      // The reset ran on the failing worker itself: nothing stays shared.
      EXPECT_FALSE(r.sharing.AnyShared());
      EXPECT_EQ(r.CommandCount(kDisallow), 2);
      EXPECT_EQ(r.ui.Text(Ctl::编辑框虚拟网卡), "");
      EXPECT_EQ(r.ui.Text(Ctl::标签9), "未启动");
    }
  }
}

TEST(Start, SharingNeverEffectiveEndsAfterTheFifthRun) {
  fakes::HotspotRig r;
  r.Ready();
  r.sharing.manager_fails = true;
  std::vector<std::size_t> messages_at_run;
  // The runs follow one another on one worker.
  r.host.trace = [&](std::string_view e) {
    if (e == std::string("RunHiddenCommand ") + kSetDefault)
      messages_at_run.push_back(r.ui.messages.size());
  };
  r.ClickStart();
  EXPECT_EQ(messages_at_run, std::vector<std::size_t>(5, 0));
  EXPECT_EQ(r.host.StartedCount(), 1);
  ASSERT_EQ(r.ui.messages.size(), 1u);
  EXPECT_EQ(r.ui.messages[0].text,
            "启动WiFi失败，可能网卡共享出问题，请按照[帮助信息]手动操作一下网卡。");
  EXPECT_EQ(r.ui.messages[0].title, "启动失败");
  EXPECT_EQ(r.ui.messages[0].icon, MessageIcon::kInformation);
  EXPECT_EQ(r.hotspot.StartRetryCount(), 4);
  EXPECT_TRUE(r.hotspot.LastStartFailed());
  // Every re-run resets sharing first, and the give-up once more: nothing
  // of the failed start stays up.
  EXPECT_EQ(r.CommandCount(kDisallow), 6);
  EXPECT_EQ(r.ui.Text(Ctl::编辑框虚拟网卡), "");
  ExpectStartUiReset(r.ui);

  // A click starts over with a fresh count.
  r.sharing.manager_fails = false;
  r.ClickStart();
  ExpectRunning(r.ui);
  EXPECT_EQ(r.hotspot.StartRetryCount(), 0);
  EXPECT_FALSE(r.hotspot.LastStartFailed());
}

TEST(Start, RunningStateAndItsAnimations) {
  fakes::HotspotRig r;
  r.Ready();
  r.ClickStart();
  ExpectRunning(r.ui);
  EXPECT_EQ(r.ui.TimerInterval(Timer::时钟状态), 500);  // its own tick ends it
  EXPECT_EQ(r.hotspot.ShareStatus(), "共享完成");
  EXPECT_TRUE(r.ui.messages.empty());
}

TEST(Start, AnimationsCycleUntilSharingIsDone) {
  fakes::HotspotRig r;
  std::vector<Image> status, tray;
  for (int i = 0; i < 6; ++i) {
    r.hotspot.OnStatusTimer();
    r.hotspot.OnTrayAnimationTimer();
    status.push_back(r.ui.Picture(Ctl::图片框状态));
    tray.push_back(r.ui.TrayIcon());
  }
  EXPECT_EQ(status, (std::vector<Image>{Image::kStatusFrame0, Image::kStatusFrame1,
                                        Image::kStatusFrame2, Image::kStatusFrame3,
                                        Image::kStatusFrame4, Image::kStatusFrame0}));
  EXPECT_EQ(tray, (std::vector<Image>{Image::kTrayFrame0, Image::kTrayFrame1, Image::kTrayFrame2,
                                      Image::kTrayOff, Image::kTrayFrame0, Image::kTrayFrame1}));

  r.Ready();
  r.ClickStart();
  r.hotspot.OnStatusTimer();
  r.hotspot.OnTrayAnimationTimer();
  EXPECT_EQ(r.ui.TimerInterval(Timer::时钟状态), 0);
  EXPECT_EQ(r.ui.Picture(Ctl::图片框状态), Image::kStatusRunning);
  EXPECT_EQ(r.ui.TimerInterval(Timer::时钟_右下角灰动), 0);
  EXPECT_EQ(r.ui.TrayIcon(), Image::kTrayOn);
  EXPECT_EQ(r.ui.TrayTip(), "已开启WiFi，现在可以拿手机来连接啦");
}

TEST(Start, SharingIsResetOnlyWhenSomethingChanged) {
  fakes::HotspotRig r;
  r.Ready();
  r.sharing.Add("以太网");
  r.ui.AddItem(Ctl::组合框1, "以太网");
  const auto resets_of = [&](auto step) {
    const int before = r.CommandCount(kDisallow);
    step();
    return r.CommandCount(kDisallow) - before;
  };
  const auto start = [&] { r.ClickStart(); };
  const auto stop_start = [&] {
    r.ClickStart();  // stops
    r.ClickStart();
  };
  // The first start after launch: no stop yet to compare with.
  EXPECT_EQ(resets_of(start), 1);
  EXPECT_EQ(resets_of(stop_start), 0);
  EXPECT_EQ(resets_of([&] {
              r.ClickStart();
              r.ui.SelectIndex(Ctl::组合框1, 1);
              r.ClickStart();
            }), 1);
  EXPECT_EQ(resets_of([&] {
              r.hotspot.RestartHotspot();
              ASSERT_TRUE(r.host.WaitForAllWorkers());
            }), 1);
  EXPECT_FALSE(r.hotspot.ResetSharingRequested());
  ExpectRunning(r.ui);
  // A failed start: its first run keeps sharing, its re-runs, its give-up
  // and the next start reset it.
  r.ClickStart();
  r.sharing.manager_fails = true;
  EXPECT_EQ(resets_of(start), 5);
  r.sharing.manager_fails = false;
  EXPECT_EQ(resets_of(start), 1);
  ExpectRunning(r.ui);
}

TEST(Start, WlanFunctionsPath) {
  fakes::HotspotRig r(10);
  r.Ready("本地连接* 2");
  r.ui.SetText(Ctl::编辑框名称, "家里 WiFi");
  r.ClickStart();
  ExpectRunning(r.ui);
  EXPECT_EQ(r.wlan.ssid_gbk, Utf8ToGbk("家里WiFi"));
  EXPECT_EQ(r.wlan.key_gbk, "5094817263");
  EXPECT_EQ(r.ui.Text(Ctl::编辑框虚拟网卡), "本地连接* 2");
  EXPECT_EQ(r.sharing.Shared(FakeConnection::kPrivate), Names{"本地连接* 2"});
  EXPECT_EQ(r.host.Commands(), Names{kDisallow});  // the reset's; no other netsh
  EXPECT_EQ(r.hotspot.LastHostedOutput(), "");
}

TEST(Start, WlanPathSharesTheHostedAdapterOrReportsWhyNot) {
  constexpr char kRemedyStart[] = "\r\n解决办法：";
  struct Case {
    const char* name;
    const char* device_id;  // what the hosted network's status names
    bool refuse_enable, refuse_start;
    const char* cause;      // the box's cause; nullptr: no "开启失败" box
    bool running;
  } cases[] = {
      // From the second start on the hosted adapter's connection exists
      // before the start: it is found through the hosted network itself.
      {"connection existed before", "{2A9F0C11-0000-4000-8000-0000000000AB}", false, false,
       nullptr, true},
      {"device id in other case", "{2a9f0c11-0000-4000-8000-0000000000ab}", false, false,
       nullptr, true},
      // Neither the status nor a new name tells the private side: sharing
      // the public side alone is no hotspot.
      {"private side unknown", "", false, false, nullptr, false},
      {"start refused", "", false, true,
       "无法启动承载网络。\r\n原因：WLAN 服务不可用，或承载网络已被禁用（错误代码 5023）", false},
      {"enable refused", "", true, false,
       "无法启用承载网络。\r\n原因：需要管理员权限（错误代码 5）", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    fakes::HotspotRig r(-1);
    r.Ready("本地连接* 2");
    r.connections.names = {"WLAN", "本地连接* 2"};  // no name is new
    r.wlan.on_force_start = nullptr;
    r.adapters.adapter_lists = {{{"Microsoft Wi-Fi Direct Virtual Adapter", "本地连接* 2",
                                  "{2A9F0C11-0000-4000-8000-0000000000AB}"}}};
    r.wlan.device_id = c.device_id;
    r.wlan.refuse_enable = c.refuse_enable;
    r.wlan.refuse_start = c.refuse_start;
    r.wlan.failure = c.refuse_enable ? WlanFailure{5, 5} : WlanFailure{5023, 24};
    r.ClickStart();

    EXPECT_EQ(r.ui.Text(Ctl::按钮开始), c.running ? "关闭WiFi" : "开启WiFi");
    if (c.running) {
      ExpectRunning(r.ui);
      EXPECT_EQ(r.sharing.Shared(FakeConnection::kPrivate), Names{"本地连接* 2"});
      EXPECT_EQ(r.sharing.Shared(FakeConnection::kPublic), Names{"WLAN"});
      continue;
    }
    ExpectStartUiReset(r.ui);
    // However it ended, nothing of it stays up or shared.
    EXPECT_FALSE(r.sharing.AnyShared());
    EXPECT_FALSE(r.wlan.active);
    EXPECT_FALSE(r.wlan.enabled);
    ASSERT_EQ(r.ui.messages.size(), 1u);
    const auto& m = r.ui.messages[0];
    if (!c.cause) {
      EXPECT_EQ(m.title, "启动失败");
      EXPECT_EQ(r.hotspot.StartRetryCount(), 4) << "five runs";
      continue;
    }
    EXPECT_EQ(m.title, "开启失败");
    EXPECT_EQ(m.text.substr(0, m.text.find(kRemedyStart)),
              std::string("开启失败！失败类型：") + c.cause);
    EXPECT_NE(m.text.find("到最新版。"), std::string::npos);
    EXPECT_EQ(r.hotspot.StartRetryCount(), 0) << "a refused start is not run again";
    EXPECT_FALSE(r.sharing.AnyShared());
    EXPECT_FALSE(r.wlan.active);
    EXPECT_EQ(r.ui.Text(Ctl::标签9), "未启动");
  }
}

}  // namespace
}  // namespace lumora
