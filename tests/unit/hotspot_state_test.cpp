// The hotspot's one state: what may follow what, one worker at a time, no
// lock held while the window is asked, and the subsystems that follow it.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "fakes/fake_guard.h"
#include "fakes/fake_network.h"
#include "fakes/fake_traffic.h"
#include "guard/client_guard.h"
#include "hotspot/hotspot_state.h"
#include "traffic/traffic_monitor.h"
#include "ui/event_table.h"

namespace lumora {
namespace {

using namespace std::chrono_literals;
using S = HotspotState;
using E = HotspotEvent;

TEST(HotspotState, WhatMayFollowWhat) {
  // One row per state, one column per event (in HotspotEvent's order:
  // start, restart, started, start ended, lost, gave up, stop, stop done);
  // '.' is refused, a letter the state that follows.
  //   s stopped, t starting, r running, p stopping, h healing
  struct Row {
    S from;
    const char* next;
  } rows[] = {
      {S::kStopped, "t.....p."},
      {S::kStarting, "..rs..p."},
      {S::kRunning, ".t..h.p."},
      {S::kStopping, ".......s"},
      {S::kHealing, "..r..sp."},
  };
  const auto state_of = [](char c) {
    switch (c) {
      case 's': return S::kStopped;
      case 't': return S::kStarting;
      case 'r': return S::kRunning;
      case 'p': return S::kStopping;
      default: return S::kHealing;
    }
  };
  for (const Row& row : rows) {
    for (int e = 0; e < 8; ++e) {
      const std::optional<S> next = NextHotspotState(row.from, static_cast<E>(e));
      SCOPED_TRACE(std::to_string(int(row.from)) + " / event " + std::to_string(e));
      if (row.next[e] == '.') EXPECT_FALSE(next.has_value());
      else EXPECT_EQ(next, state_of(row.next[e]));
    }
  }
}

TEST(HotspotState, AWorkersResultNeverOverwritesALaterChange) {
  HotspotStateModel model;
  std::vector<S> heard;
  model.AddListener([&](S s) { heard.push_back(s); });
  std::optional<HotspotTicket> start = model.Apply(E::kStart);
  ASSERT_TRUE(start);
  EXPECT_FALSE(model.Apply(E::kStart)) << "a start while one starts";
  ASSERT_TRUE(model.Apply(E::kStop));     // the program ends meanwhile
  EXPECT_FALSE(model.Report(*start, E::kStarted)) << "the start came up too late";
  EXPECT_FALSE(model.Enter(*start)) << "nor may its worker begin";
  model.Deliver();
  EXPECT_EQ(heard, (std::vector<S>{S::kStarting, S::kStopping}));
  EXPECT_EQ(model.Current(), S::kStopping);
}

// A start, a stop and a heal never overlap: the next worker enters once the
// one before it has left, and asking for a stop interrupts the one inside.
TEST(HotspotState, OneWorkerAtATime) {
  HotspotStateModel model;
  const HotspotTicket start = *model.Apply(E::kStart);
  StopState start_stop;
  std::atomic<bool> inside{false}, left{false};
  std::thread starter([&] {
    CurrentStopScope scope(&start_stop);
    ASSERT_TRUE(model.Enter(start));
    inside = true;
    while (!start_stop.StopRequested()) std::this_thread::sleep_for(1ms);
    left = true;
    model.Leave();
  });
  while (!inside) std::this_thread::sleep_for(1ms);
  const HotspotTicket stop = *model.Apply(E::kStop);
  EXPECT_TRUE(model.Enter(stop));  // waits for the start to leave
  EXPECT_TRUE(left);
  model.Leave();
  starter.join();
}

// Every read a worker makes waits for the window thread, as a read of the
// real window does, and the window thread meanwhile ticks the start's
// animations and asks the state, which take the controller's locks. Whoever
// held one of those across a read would stop both threads for good.
TEST(HotspotState, NoLockIsHeldWhileTheWindowIsAsked) {
  struct Case {
    const char* what;
    void (*act)(fakes::HotspotRig&);
  } cases[] = {
      {"start", [](fakes::HotspotRig& r) { r.hotspot.Start(); }},
      {"stop on a worker",
       [](fakes::HotspotRig& r) {
         r.ClickStart();
         r.host.StartWorkerThread([&r] { r.hotspot.OnStartButton(); });
       }},
      {"reset on a worker",
       [](fakes::HotspotRig& r) {
         r.ClickStart();
         r.host.StartWorkerThread([&r] { r.hotspot.AbortAndResetHotspot(); });
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    for (int os : {5, 10}) {
      fakes::HotspotRig r(os);
      r.Ready();
      const std::thread::id test_thread = std::this_thread::get_id();
      std::atomic<int> reads{0}, stuck{0};
      r.ui.on_read = [&](Ctl) {
        if (std::this_thread::get_id() == test_thread) return;
        ++reads;
        auto served = std::make_shared<std::atomic<bool>>(false);
        std::thread window([&r, served] {
          r.hotspot.OnStatusTimer();
          r.hotspot.OnTrayAnimationTimer();
          (void)r.hotspot.State();
          *served = true;
        });
        const auto give_up = std::chrono::steady_clock::now() + 1s;
        while (!*served && std::chrono::steady_clock::now() < give_up)
          std::this_thread::sleep_for(1ms);
        if (!*served) ++stuck;
        window.detach();
      };
      c.act(r);
      ASSERT_TRUE(r.host.WaitForAllWorkers(10s));
      EXPECT_GT(reads, 0);
      EXPECT_EQ(stuck, 0);
      r.ui.on_read = nullptr;
    }
  }
}

// The start at launch (on the start-up worker) and a click that comes at
// the same moment: one start, one worker.
TEST(HotspotState, AClickRacingTheStartAtLaunchGivesOneWorker) {
  for (int round = 0; round < 20; ++round) {
    fakes::HotspotRig r;
    r.Ready();
    std::atomic<bool> go{false};
    std::atomic<int> accepted{0};
    std::thread launch([&] {
      while (!go) std::this_thread::yield();
      accepted += r.hotspot.Start();
    });
    go = true;
    r.hotspot.OnStartButton();
    launch.join();
    ASSERT_TRUE(r.host.WaitForAllWorkers());
    EXPECT_LE(accepted, 1);
    EXPECT_EQ(r.host.StartedCount(), 1);
    EXPECT_EQ(r.hotspot.State(), S::kRunning);
    EXPECT_EQ(r.CommandCount("netsh wlan start hostednetwork"), 1);
  }
}

// The client guard and the traffic monitor follow the hotspot's state with
// their timers; the hotspot itself touches none of them.
TEST(HotspotState, SubscribersFollowStartAndStop) {
  struct Case {
    bool black, bar;
  } cases[] = {{true, false}, {false, true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.black << c.bar);
    fakes::HotspotRig r;
    fakes::FakeNeighbours neighbours;
    fakes::FakeLookups lookups;
    fakes::FakeInterfaceIndex indexes;
    fakes::FakeListViews lists;
    ClientGuard guard{GuardPorts{r.ui, r.settings, r.files, r.hotspot, r.host, neighbours, lookups,
                                 indexes, lists}};
    fakes::MemoryBar bar;
    bar.exists = true;
    fakes::FakeCounterNetwork counters;
    TrafficMonitor traffic{
        TrafficPorts{r.ui, r.settings, bar, counters, counters, {}, {}, {}, &r.hotspot}};
    std::vector<S> heard;
    r.hotspot.Subscribe([&](S s) { heard.push_back(s); });
    r.Ready();
    r.ui.SetChecked(Ctl::单选框黑, c.black);
    r.ui.SetChecked(Ctl::单选框白, !c.black);
    r.ui.SetChecked(Ctl::选择框显示流量, c.bar);
    r.ui.SetTimerInterval(Timer::时钟流量统计, 1500);
    r.ClickStart();
    EXPECT_EQ(r.ui.TimerInterval(Timer::时钟_黑), c.black ? 6000 : 0);
    EXPECT_EQ(r.ui.TimerInterval(Timer::时钟_白), c.black ? 0 : 6000);
    EXPECT_EQ(r.ui.TimerInterval(Timer::时钟流量), c.bar ? 1000 : 0);
    EXPECT_EQ(r.ui.TimerInterval(Timer::时钟流量统计), 0);

    r.ui.SetCell(Ctl::超级列表框1, r.ui.AddRow(Ctl::超级列表框1), 1, "192.168.137.2");
    r.ClickStart();  // stops
    for (Timer t : {Timer::时钟_黑, Timer::时钟_白, Timer::时钟流量, Timer::时钟流量统计})
      EXPECT_EQ(r.ui.TimerInterval(t), 0) << int(t);
    EXPECT_EQ(r.ui.RowCount(Ctl::超级列表框1), 0);
    EXPECT_EQ(heard, (std::vector<S>{S::kStarting, S::kRunning, S::kStopping, S::kStopped}));
    guard.StopWorkers();
  }
}

}  // namespace
}  // namespace lumora
