// The watch over a running hotspot: what it makes of what it sees, how often
// a heal may try, and heals that succeed, keep failing, or meet a stop.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "fakes/fake_network.h"
#include "hotspot/watch_rules.h"

namespace lumora {
namespace {

using namespace std::chrono_literals;
using S = HotspotState;
using V = WatchVerdict;
using P = HotspotPath;

TEST(Watch, WhatItSawAndWhatItDoes) {
  struct Case {
    const char* what;
    WatchFacts facts;
    V verdict;
    const char* share = "";
  };
  const auto facts = [](P path) {
    WatchFacts f;
    f.path = path;
    f.hosted_up = f.tethering_up = f.public_shared = f.private_shared = true;
    f.public_name = f.internet = f.internet_at_start = "WLAN";
    return f;
  };
  auto with = [&](P path, auto change) {
    WatchFacts f = facts(path);
    change(f);
    return f;
  };
  const Case cases[] = {
      {"all as it was", facts(P::kWlanHosted), V::kFine},
      {"hosted network stopped", with(P::kNetsh, [](auto& f) { f.hosted_up = false; }), V::kHotspotDown},
      {"hosted network unreadable", with(P::kNetsh, [](auto& f) { f.hosted_up.reset(); }), V::kFine},
      {"Mobile Hotspot off", with(P::kMobileHotspot, [](auto& f) { f.tethering_up = false; }),
       V::kHotspotDown},
      {"the Mobile Hotspot has no sharing of ours",
       with(P::kMobileHotspot, [](auto& f) { f.public_shared = false; }), V::kFine},
      {"public side unshared", with(P::kWlanHosted, [](auto& f) { f.public_shared = false; }),
       V::kSharingOff},
      {"private side unshared", with(P::kNetsh, [](auto& f) { f.private_shared = false; }),
       V::kSharingOff},
      {"sharing unreadable",
       with(P::kNetsh, [](auto& f) { f.public_shared.reset(), f.private_shared.reset(); }), V::kFine},
      {"cable pulled, Wi-Fi carries it",
       with(P::kNetsh,
            [](auto& f) {
              f.public_name = f.internet_at_start = "以太网";
              f.public_connected = false;
              f.public_shared.reset();
            }),
       V::kMoved, "WLAN"},
      {"the internet left the shared connection",
       with(P::kWlanHosted, [](auto& f) { f.internet = "以太网"; }), V::kMoved, "以太网"},
      {"another connection carried it from the start: the user's choice stays",
       with(P::kWlanHosted, [](auto& f) { f.internet = f.internet_at_start = "以太网"; }), V::kFine},
      {"connection gone, no internet anywhere",
       with(P::kNetsh, [](auto& f) { f.public_connected = false, f.internet.clear(); }), V::kFine},
  };
  for (const Case& c : cases) {
    const WatchAction action = JudgeHotspot(c.facts);
    EXPECT_EQ(action.verdict, c.verdict) << c.what;
    EXPECT_EQ(action.share, c.share) << c.what;
  }
}

TEST(Watch, HealAttemptsAreBoundedOverTenMinutes) {
  HealBudget budget;
  const std::int64_t t0 = 1000000;
  EXPECT_TRUE(budget.Take(t0));
  EXPECT_TRUE(budget.Take(t0 + 1000));
  EXPECT_TRUE(budget.Take(t0 + 9 * 60000));
  EXPECT_FALSE(budget.Take(t0 + 9 * 60000 + 1));
  EXPECT_TRUE(budget.Take(t0 + kHealWindowMs));  // the first one has aged out
  EXPECT_FALSE(budget.Take(t0 + kHealWindowMs + 999));
}

// A hotspot on the WLAN way, running, with its watch.
struct WatchRig : fakes::HotspotRig {
  std::vector<S> heard;
  explicit WatchRig(int watch_park_ms = 0) : HotspotRig(10, watch_park_ms) {
    hotspot.Subscribe([this](S s) { heard.push_back(s); });
    Ready("本地连接* 2");
    // The hosted network names its adapter, as from the second start on.
    wlan.device_id = "{2A9F0C11-0000-4000-8000-0000000000AB}";
    adapters.adapter_lists = {{{"Microsoft 托管网络虚拟适配器", "本地连接* 2", wlan.device_id}}};
    wlan.status_readable = true;
    adapters.route = "WLAN";
    ClickStart();
    heard.clear();
  }
  // One look, and whatever it leads to.
  void Look() {
    hotspot.OnWatchTick();
    EXPECT_TRUE(host.WaitForAllWorkers());
  }
};

TEST(Watch, WhatTheSystemTookDownIsBroughtBack) {
  WatchRig r;
  EXPECT_EQ(r.ui.TimerInterval(Timer::时钟守护), 10000);
  r.Look();
  EXPECT_TRUE(r.heard.empty()) << "nothing happened, nothing done";

  // The driver drops the hosted network: healed through the usual start.
  r.wlan.active = false;
  r.Look();
  EXPECT_EQ(r.heard, (std::vector<S>{S::kHealing, S::kRunning}));
  EXPECT_EQ(r.ui.tray_balloons, (std::vector<std::string>{
                                    "LumoraWiFi|WiFi热点被系统关闭了，正在为您重新开启…",
                                    "LumoraWiFi|WiFi热点已恢复，手机可以继续上网啦"}));
  EXPECT_EQ(r.ui.Text(Ctl::按钮开始), "关闭WiFi");
  EXPECT_EQ(r.ui.Text(Ctl::标签9), "已启动");
  EXPECT_TRUE(r.wlan.active);
  EXPECT_EQ(r.sharing.Shared(fakes::FakeConnection::kPrivate), std::vector<std::string>{"本地连接* 2"});

  // Another program switches sharing off; then the internet moves to the cable.
  r.heard.clear();
  r.sharing.Change("WLAN", [](fakes::FakeConnection& c) { c.sharing = false; });
  r.Look();
  EXPECT_EQ(r.heard, (std::vector<S>{S::kHealing, S::kRunning}));
  r.sharing.Add("以太网");
  r.ui.AddItem(Ctl::组合框1, "以太网");
  r.sharing.Change("WLAN", [](fakes::FakeConnection& c) { c.status = 7; });
  r.adapters.route = "以太网";
  r.Look();
  EXPECT_EQ(r.ui.Text(Ctl::组合框1), "以太网");
  EXPECT_EQ(r.sharing.Shared(fakes::FakeConnection::kPublic), std::vector<std::string>{"以太网"});
  EXPECT_EQ(r.hotspot.State(), S::kRunning);

  // A fourth heal within ten minutes is not tried: the hotspot comes to rest
  // stopped, with nothing of it left, and the user is told.
  r.heard.clear();
  r.wlan.active = false;
  r.Look();
  EXPECT_EQ(r.heard, (std::vector<S>{S::kHealing, S::kStopped}));
  EXPECT_FALSE(r.sharing.AnyShared());
  EXPECT_FALSE(r.wlan.active);
  EXPECT_EQ(r.ui.Text(Ctl::按钮开始), "开启WiFi");
  EXPECT_TRUE(r.ui.Enabled(Ctl::按钮开始));
  EXPECT_TRUE(r.ui.Enabled(Ctl::编辑框名称));
  EXPECT_EQ(r.ui.TimerInterval(Timer::时钟守护), 0);
  ASSERT_EQ(r.ui.messages.size(), 1u);
  EXPECT_EQ(r.ui.messages[0].title, "提示");
  EXPECT_NE(r.ui.messages[0].text.find("连续3次重新开启都没有成功"), std::string::npos);
}

TEST(Watch, AHealThatKeepsFailingComesToRestWithNothingShared) {
  struct Case {
    const char* what;
    bool heal_on;
    int starts;  // hosted network starts tried
    const char* says;
  } cases[] = {
      {"heal on, every start refused", true, 3, "连续3次重新开启都没有成功"},
      {"heal switched off", false, 0, "勾选[自动恢复WiFi]"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    WatchRig r;
    if (!c.heal_on) r.settings.Write(setting::kAutoHeal, "n");
    r.wlan.active = false;
    r.wlan.refuse_start = true;
    const auto calls_before = r.wlan.Calls().size();
    r.Look();
    const auto calls = r.wlan.Calls();
    EXPECT_EQ(std::count(calls.begin() + calls_before, calls.end(), "start refused"), c.starts);
    EXPECT_EQ(r.heard, (std::vector<S>{S::kHealing, S::kStopped}));
    EXPECT_FALSE(r.sharing.AnyShared());
    EXPECT_FALSE(r.wlan.enabled);
    EXPECT_EQ(r.ui.Text(Ctl::编辑框虚拟网卡), "");
    ASSERT_EQ(r.ui.messages.size(), 1u);
    EXPECT_NE(r.ui.messages[0].text.find(c.says), std::string::npos) << r.ui.messages[0].text;
    EXPECT_EQ(r.ui.tray_balloons.size(), c.heal_on ? 1u : 0u);
  }
}

// A stop the user asks for during a heal is never undone: the heal ends
// where it is, and the stop runs after it.
TEST(Watch, AUsersStopDuringAHealIsNeverUndone) {
  WatchRig r;
  r.wlan.active = false;
  r.wlan.refuse_start = true;  // the first attempt fails, the second waits
  std::atomic<bool> waiting{false};
  r.host.trace = [&](std::string_view e) {
    if (e != "WaitResponsive 10000") return;
    waiting = true;
    while (!StopRequested()) std::this_thread::sleep_for(1ms);
  };
  r.hotspot.OnWatchTick();
  while (!waiting) std::this_thread::sleep_for(1ms);
  EXPECT_EQ(r.hotspot.State(), S::kHealing);
  EXPECT_EQ(r.ui.Text(Ctl::按钮开始), "关闭WiFi");
  EXPECT_TRUE(r.ui.Enabled(Ctl::按钮开始)) << "the user can stop a heal";
  r.wlan.refuse_start = false;
  r.hotspot.OnStartButton();
  ASSERT_TRUE(r.host.WaitForAllWorkers());
  EXPECT_EQ(r.heard, (std::vector<S>{S::kHealing, S::kStopping, S::kStopped}));
  EXPECT_FALSE(r.wlan.active);
  EXPECT_TRUE(r.ui.messages.empty());
}

// The watch's worker waits for the next look, but not past the hotspot's
// stop: else it would outlive the run it watched and judge the next one
// by a state that is gone.
TEST(Watch, AParkedWatchEndsWithTheHotspot) {
  WatchRig r(60000);
  r.hotspot.OnWatchTick();
  EXPECT_FALSE(r.host.WaitForAllWorkers(300ms)) << "the watch waits for the next look";
  r.hotspot.OnStartButton();  // the user's stop
  EXPECT_TRUE(r.host.WaitForAllWorkers());
  EXPECT_EQ(r.hotspot.State(), S::kStopped);
}

}  // namespace
}  // namespace lumora
