// Stop, restart, the reset that aborts a running start, and the services
// prepared at launch.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "fakes/fake_network.h"

namespace lumora {
namespace {

using Names = std::vector<std::string>;
using namespace std::chrono_literals;

constexpr char kDisallow[] = "netsh wlan set hostednetwork mode=disallow";
constexpr char kSetDefault[] = "netsh wlan set hostednetwork mode=allow ssid=mylove key=5094817263";
constexpr char kStart[] = "netsh wlan start hostednetwork";
constexpr char kShow[] = "netsh interface ipv4 show addresses";
constexpr char kWelcome[] = "欢迎使用LumoraWiFi，点击开启WiFi即可哦";

void ExpectStopped(const fakes::MemoryWindow& ui) {
  EXPECT_EQ(ui.Text(Ctl::按钮开始), "开启WiFi");
  EXPECT_TRUE(ui.Enabled(Ctl::按钮开始));
  EXPECT_EQ(ui.Text(Ctl::标签9), "未启动");
  EXPECT_EQ(ui.Picture(Ctl::图片框状态), Image::kStatusStopped);
  EXPECT_EQ(ui.TrayIcon(), Image::kTrayOff);
  EXPECT_TRUE(ui.Enabled(Ctl::编辑框名称));
  EXPECT_TRUE(ui.Enabled(Ctl::编辑框密码));
  EXPECT_EQ(ui.Text(Ctl::编辑框虚拟网卡), "");
  for (Timer t : {Timer::时钟状态, Timer::时钟_右下角灰动})
    EXPECT_EQ(ui.TimerInterval(t), 0) << int(t);
}

TEST(Stop, ButtonStopsARunningHotspot) {
  for (int os : {5, 10}) {
    SCOPED_TRACE(os);
    fakes::HotspotRig r(os);
    r.Ready();
    r.ClickStart();
    ASSERT_EQ(r.ui.Text(Ctl::按钮开始), "关闭WiFi");

    // The window is stopped at once; the commands run on a worker and the
    // button waits for them.
    std::atomic<bool> go{false};
    r.host.before_entry = [&go] {
      while (!go) std::this_thread::sleep_for(1ms);
    };
    r.hotspot.OnStartButton();
    EXPECT_EQ(r.hotspot.State(), HotspotState::kStopping);
    EXPECT_EQ(r.ui.Text(Ctl::按钮开始), "开启WiFi");
    EXPECT_FALSE(r.ui.Enabled(Ctl::按钮开始));
    go = true;
    ASSERT_TRUE(r.host.WaitForAllWorkers());
    EXPECT_EQ(r.hotspot.State(), HotspotState::kStopped);
    ExpectStopped(r.ui);
    EXPECT_TRUE(r.ui.Enabled(Ctl::组合框1));
    EXPECT_FALSE(r.ui.Visible(Ctl::超级链接框_重启));
    EXPECT_FALSE(r.ui.MenuItemEnabled(MenuItem::重启WiFi));
    EXPECT_EQ(r.ui.TrayTip(), kWelcome);
    if (os == 5) {
      // netsh stops the network and leaves sharing for the next reset.
      EXPECT_EQ(r.host.Commands().back(), "netsh wlan stop hostednetwork");
      EXPECT_TRUE(r.sharing.AnyShared());
    } else {
      const Names calls = r.wlan.Calls();
      EXPECT_EQ(Names(calls.end() - 2, calls.end()), (Names{"stop", "disable"}));
      EXPECT_FALSE(r.sharing.AnyShared());
    }
  }
}

TEST(Stop, RestartStartsOverWithASharingReset) {
  fakes::HotspotRig r;
  r.Ready();
  r.ClickStart();
  const WorkerHandle first = r.hotspot.Worker();

  // A restart whose input is refused changes nothing but the balloon: the
  // hotspot runs on.
  r.ui.SetText(Ctl::编辑框名称, "");
  r.hotspot.RestartHotspot();
  ASSERT_TRUE(r.host.WaitForAllWorkers());
  ASSERT_EQ(r.ui.balloons.size(), 1u);
  EXPECT_EQ(r.hotspot.State(), HotspotState::kRunning);
  EXPECT_TRUE(r.ui.MenuItemEnabled(MenuItem::重启WiFi));
  EXPECT_FALSE(r.hotspot.ResetSharingRequested());

  r.ui.SetText(Ctl::编辑框名称, "mylove");
  const int resets = r.CommandCount(kDisallow);
  std::vector<HotspotState> seen;
  r.host.trace = [&](std::string_view e) {
    if (e == std::string("RunHiddenCommand ") + kDisallow && seen.empty()) {
      seen.push_back(r.hotspot.State());
      // What the restart itself showed before its start began.
      EXPECT_EQ(r.ui.Text(Ctl::编辑框虚拟网卡), "");
      EXPECT_FALSE(r.ui.Enabled(Ctl::超级链接框_重启));
      EXPECT_FALSE(r.ui.MenuItemEnabled(MenuItem::重启WiFi));
      EXPECT_EQ(r.ui.TrayIcon(), Image::kTrayOff);
      EXPECT_EQ(r.ui.TrayTip(), kWelcome);
    }
  };
  r.hotspot.RestartHotspot();
  ASSERT_TRUE(r.host.WaitForAllWorkers());
  EXPECT_EQ(seen, std::vector<HotspotState>{HotspotState::kStarting});
  EXPECT_EQ(r.CommandCount(kDisallow), resets + 1);
  EXPECT_FALSE(r.hotspot.ResetSharingRequested());
  EXPECT_EQ(r.ui.Text(Ctl::按钮开始), "关闭WiFi");
  EXPECT_TRUE(r.ui.MenuItemEnabled(MenuItem::重启WiFi));
  EXPECT_NE(r.hotspot.Worker(), first);
  EXPECT_EQ(r.host.StartedCount(), 2);
}

TEST(Stop, AbortStopsTheRunningStartAndLeavesNothingShared) {
  struct Case {
    const char* name;
    const char* hold_at;  // the command the start is held at
    int occurrence;
    bool sharing_fails;
    int runs;
  } cases[] = {
      {"after sharing was enabled", kStart, 1, false, 1},
      {"in the third run", kSetDefault, 3, true, 3},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    fakes::HotspotRig r;
    r.Ready();
    r.sharing.manager_fails = c.sharing_fails;
    std::atomic<int> seen{0};
    std::atomic<bool> held{false};
    r.host.trace = [&](std::string_view e) {
      if (e != std::string("RunHiddenCommand ") + c.hold_at || ++seen != c.occurrence) return;
      held = true;
      for (auto end = std::chrono::steady_clock::now() + 5s;
           !StopRequested() && std::chrono::steady_clock::now() < end;)
        std::this_thread::sleep_for(1ms);
    };
    r.hotspot.OnStartButton();
    for (auto end = std::chrono::steady_clock::now() + 5s;
         !held && std::chrono::steady_clock::now() < end;)
      std::this_thread::sleep_for(1ms);
    ASSERT_TRUE(held);
    EXPECT_EQ(r.sharing.AnyShared(), !c.sharing_fails);

    r.hotspot.AbortAndResetHotspot();
    EXPECT_TRUE(r.hotspot.Worker()->Finished());
    ASSERT_TRUE(r.host.WaitForAllWorkers());
    EXPECT_EQ(r.host.StartedCount(), 1);  // the runs follow one another on it
    EXPECT_EQ(r.CommandCount(kShow), c.runs - 1);  // only the runs that went by
    EXPECT_FALSE(r.sharing.AnyShared());
    ExpectStopped(r.ui);
    EXPECT_EQ(r.hotspot.ShareStatus(), "");
    EXPECT_TRUE(r.ui.messages.empty());
    EXPECT_EQ(r.host.Commands().back(), kDisallow);
  }
}

TEST(Services, PreparedAtLaunch) {
  using Service = fakes::FakeServices::Service;
  struct Case {
    const char* name;
    std::map<std::string, Service> services;
    Names calls;
    bool message;
  } cases[] = {
      {"firewall disabled",
       {{"SharedAccess", {2, false}}, {"MpsSvc", {4, true}}},
       {"type SharedAccess 3", "type MpsSvc 2", "start MpsSvc"},
       false},
      {"all as wanted", {{"SharedAccess", {3, true}}, {"MpsSvc", {2, false}}}, {}, false},
      {"state unreadable", {{"SharedAccess", {3, true}}, {"MpsSvc", {2, std::nullopt}}},
       {"start MpsSvc"}, false},
      {"firewall missing", {{"SharedAccess", {3, true}}}, {"type MpsSvc 2", "start MpsSvc"}, true},
      {"start refused", {{"MpsSvc", {2, true, false}}}, {"type SharedAccess 3", "start MpsSvc"},
       true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    fakes::HotspotRig r;
    r.services.services = c.services;
    r.hotspot.PrepareServices();
    EXPECT_EQ(r.services.calls, c.calls);
    ASSERT_EQ(r.ui.messages.size(), c.message ? 1u : 0u);
    if (c.message) {
      EXPECT_EQ(r.ui.messages[0].text, "防火墙打开失败，所依赖服务可能不完整！");
      EXPECT_EQ(r.ui.messages[0].title, "提示");
      EXPECT_EQ(r.ui.messages[0].icon, MessageIcon::kError);
    }
  }
}

}  // namespace
}  // namespace lumora
