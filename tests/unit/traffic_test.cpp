// The traffic monitor: totals, rates, the timers it starts and stops, and the
// floating bar's option, position and popup.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "fakes/fake_hotspot.h"
#include "fakes/fake_traffic.h"
#include "fakes/memory_files.h"
#include "fakes/memory_window.h"
#include "traffic/adapter_query.h"
#include "traffic/bar_rules.h"
#include "traffic/traffic_monitor.h"
#include "ui/event_table.h"

namespace lumora {
namespace {

constexpr char kHosted[] = "无线网络连接 2";
constexpr std::uint64_t kMB = 1048576;

struct Rig {
  fakes::MemoryWindow ui;
  fakes::MemoryFiles files;
  SettingsStore settings{files};
  fakes::MemoryBar bar;
  fakes::FakeCounterNetwork net;
  std::int64_t now = 100000;
  int quits = 0, normal_shows = 0;
  fakes::FakeHotspot hotspot;
  TrafficMonitor monitor{{ui, settings, bar, net, net, [this] { ++quits; },
                          [this] { ++normal_shows; }, [this] { return now; }, &hotspot}};
  EventTable table;

  Rig() {
    bar.events = &monitor;
    table.Add(monitor.Registration());
    net.adapters[kHosted] = {"{GUID-2}", 12, {}};
    ui.SetText(Ctl::编辑框虚拟网卡, kHosted);
  }
  InterfaceCounters& counters() { return net.adapters[kHosted].counters; }
  void Tick(std::int64_t ms = 1000) {
    now += ms;
    table.Tick(Timer::时钟流量);
  }
};

TEST(TrafficTotals, LabelsFromRoundedFiguresAndMoneyFromTheTotal) {
  struct Case {
    const char* name;  // in 编辑框虚拟网卡
    std::uint64_t in, out;
    const char *upload, *download, *total, *money;
  } cases[] = {
      {kHosted, 131072, 0, "0.13 MB", "0.00 MB", "0.13 MB", "0.04 元"},  // 0.125 rounds up
      {kHosted, 3 * kMB / 2, 9 * kMB / 4, "1.50 MB", "2.25 MB", "3.75 MB", "1.13 元"},
      {kHosted, kMB, 2 * kMB, "1.00 MB", "2.00 MB", "3 MB", "0.90 元"},
      {kHosted, 1415578, 2 * kMB, "1.35 MB", "2.00 MB", "3.35 MB", "1.01 元"},  // 1.00499..
      {"没有这个连接", kMB, kMB, "0.00 MB", "0.00 MB", "0 MB", "0.00 元"},     // query failed
      {"", kMB, kMB, "0.00 MB", "0.00 MB", "0.00 MB", "0.00 元"},              // untouched
  };
  for (const Case& c : cases) {
    Rig r;
    r.ui.SetText(Ctl::编辑框虚拟网卡, c.name);
    r.counters() = {c.in, c.out};
    r.table.Tick(Timer::时钟流量统计);
    EXPECT_EQ(r.ui.Text(Ctl::标签本次上传流量), c.upload) << c.in;
    EXPECT_EQ(r.ui.Text(Ctl::标签本次下载流量), c.download) << c.in;
    EXPECT_EQ(r.ui.Text(Ctl::标签本次总流量), c.total) << c.in;
    EXPECT_EQ(r.ui.Text(Ctl::标签本次总金额), c.money) << c.in;
  }
}

TEST(Rates, BarShowsPerSecondFiguresAndZeroWhereNoSecondWasMeasured) {
  Rig r;
  struct Step {
    const char* what;
    std::int64_t ms;
    std::uint64_t in, out;
    const char *download, *upload;
    bool fails = false;  // the row cannot be read
  } steps[] = {
      {"first tick: no spike", 1000, 50 * kMB, 80 * kMB, "0.0KB/S", "0.0KB/S"},
      {"a second later", 1000, 50 * kMB + 1024, 80 * kMB + 1024000, "0.98MB/S", "1.0KB/S"},
      {"adapter re-created", 1000, 2048, 80 * kMB + 2048000, "0.98MB/S", "0.0KB/S"},
      {"new base", 1000, 2048 + 1023999, 80 * kMB + 2049023, "0.0KB/S", "999.0KB/S"},
      {"after a pause", 60000, 90 * kMB, 90 * kMB, "0.0KB/S", "0.0KB/S"},
      {"running again", 1000, 90 * kMB + 1047552, 90 * kMB, "0.0KB/S", "1.00MB/S"},
      {"query failed", 1000, 95 * kMB, 90 * kMB, "0.0KB/S", "0.0KB/S", true},
      {"read again: a base", 1000, 99 * kMB, 90 * kMB, "0.0KB/S", "0.0KB/S"},
      {"and a figure", 1000, 99 * kMB + 2048, 90 * kMB, "0.0KB/S", "2.0KB/S"},
      {"beyond 32 bits", 1000, 99 * kMB + 2048, 5210 * kMB, "2048.00MB/S", "0.0KB/S"},
  };
  for (const Step& s : steps) {
    r.counters() = {s.in, s.out};
    r.net.rows_fail = s.fails;
    r.Tick(s.ms);
    EXPECT_EQ(r.bar.download, s.download) << s.what;
    EXPECT_EQ(r.bar.upload, s.upload) << s.what;
  }
  // With no hosted adapter the bar keeps its texts.
  r.ui.SetText(Ctl::编辑框虚拟网卡, "");
  r.bar.upload = "kept";
  r.Tick();
  EXPECT_EQ(r.bar.upload, "kept");
}

TEST(Counters, IndexKeptBetweenTicksAndResolvedAgainWhenNeeded) {
  Rig r;
  for (int i = 0; i < 3; ++i) r.Tick();
  r.table.Tick(Timer::时钟流量统计);
  EXPECT_EQ(r.net.resolutions, 1);
  // Re-created under a new index: the kept row fails, the same tick finds
  // the new one.
  r.net.adapters[kHosted].index = 13;
  r.counters() = {3 * kMB, 0};
  r.table.Tick(Timer::时钟流量统计);
  EXPECT_EQ(r.net.resolutions, 2);
  EXPECT_EQ(r.ui.Text(Ctl::标签本次上传流量), "3.00 MB");
  // Another name, found only through WMI; an unknown one is tried each time.
  r.net.adapters["本地连接* 12"] = {"{GUID-3}", 14, {kMB, 0}, true};
  r.ui.SetText(Ctl::编辑框虚拟网卡, "本地连接* 12");
  r.table.Tick(Timer::时钟流量统计);
  EXPECT_EQ(r.ui.Text(Ctl::标签本次上传流量), "1.00 MB");
  r.ui.SetText(Ctl::编辑框虚拟网卡, "无");
  r.Tick();
  r.Tick();
  EXPECT_EQ(r.net.resolutions, 5);
  EXPECT_EQ(QueryInterfaceCounters(r.net, r.net, "本地连接* 12"), (InterfaceCounters{kMB, 0}));
  EXPECT_EQ(QueryInterfaceCounters(r.net, r.net, "无"), InterfaceCounters{});
}

TEST(Counters, WmiQueryKeepsTheNameInsideItsQuotes) {
  constexpr char kHead[] = "Select GUID From Win32_NetworkAdapter WHERE NetConnectionID=";
  EXPECT_EQ(AdapterGuidQuery("无线网络连接 2"), std::string(kHead) + "'无线网络连接 2'");
  EXPECT_EQ(AdapterGuidQuery("Tom's\\x' OR '1'='1"),
            std::string(kHead) + "'Tom\\'s\\\\x\\' OR \\'1\\'=\\'1'");
}

TEST(TrafficTimers, PageSelectionAndLifecycle) {
  using S = HotspotState;
  using Shell = ShellMoment;
  struct Case {
    const char* what;
    bool adapter_known, option;
    int page;                   // a page selected, or -1
    std::optional<S> state;     // or the hotspot reaches this state
    std::optional<Shell> shell;  // or the shell announces this
    int totals, bar;  // intervals after, from 700 and 900 before
    bool bar_shown = true;
  } cases[] = {
      {"traffic page before a start", false, true, 3, {}, {}, 700, 900},
      {"traffic page, adapter known", true, true, 3, {}, {}, 1500, 900},
      {"another page", true, true, 1, {}, {}, 0, 900},
      {"hidden to the tray", true, true, -1, {}, Shell::kHiddenToTray, 0, 900},
      {"start begins", true, true, -1, S::kStarting, {}, 0, 0},
      {"heal begins", true, true, -1, S::kHealing, {}, 0, 0},
      {"start succeeded, bar on", true, true, -1, S::kRunning, {}, 700, 1000},
      {"start succeeded, bar off", true, false, -1, S::kRunning, {}, 700, 900},
      {"stopping", true, true, -1, S::kStopping, {}, 0, 0},
      {"stopped", true, true, -1, S::kStopped, {}, 700, 900},
      {"main window closing", true, true, -1, {}, Shell::kMainClosing, 0, 0, false},
      {"quitting", true, true, -1, {}, Shell::kQuitting, 700, 900, false},
  };
  for (const Case& c : cases) {
    Rig r;
    r.bar.exists = r.bar.visible = true;
    if (!c.adapter_known) r.ui.SetText(Ctl::编辑框虚拟网卡, "");
    r.ui.SetChecked(Ctl::选择框显示流量, c.option);
    r.ui.SetTimerInterval(Timer::时钟流量统计, 700);
    r.ui.SetTimerInterval(Timer::时钟流量, 900);
    if (c.state)
      r.hotspot.Become(*c.state);
    else if (c.shell)
      r.table.Announce(*c.shell);
    else
      r.table.Dispatch(Ctl::选择夹1, ControlEvent::kSelectionChange, c.page);
    EXPECT_EQ(r.ui.TimerInterval(Timer::时钟流量统计), c.totals) << c.what;
    EXPECT_EQ(r.ui.TimerInterval(Timer::时钟流量), c.bar) << c.what;
    EXPECT_EQ(r.bar.visible, c.bar_shown) << c.what;
  }
}

TEST(TrafficBar, CreatedAtTheStoredPositionAndShownPerTheOption) {
  struct Case {
    const char *stored, *option;  // flowposition/xy, 流量条/是否开 (nullptr: absent)
    Point at;
    const char* written;
  } cases[] = {
      {nullptr, nullptr, {1734, 962}, "1734|962"},  // 1920 x 1080 default, written back
      {"100", "是", {50, 50}, "100"},               // one part: design position
      {"300|400|5", "否", {50, 50}, "300|400|5"},
      {"abc|7.9", "是", {0, 7}, "0|7"},
      {"-12|99999999999", "是", {-12, 2147483647}, "-12|2147483647"},
  };
  for (const Case& c : cases) {
    Rig r;
    if (c.stored) r.settings.Write(setting::kBarPosition, c.stored);
    if (c.option) r.settings.Write(setting::kTrafficBar, c.option);
    r.table.RunStartup(StartupPhase::kCreate, {});
    r.table.RunStartup(StartupPhase::kOsKnown, {});
    const bool on = c.option && std::string(c.option) == "是";
    EXPECT_EQ(r.ui.Checked(Ctl::选择框显示流量), on);
    EXPECT_TRUE(r.bar.exists);
    EXPECT_EQ(r.bar.visible, on);
    EXPECT_EQ(r.bar.position, c.at) << c.written;
    EXPECT_EQ(r.settings.Read(setting::kBarPosition), c.written);
    EXPECT_EQ(r.bar.tooltip, "显示WiFi的实时流量\r\n双击显示主界面，右击可隐藏");
    EXPECT_EQ(r.ui.TimerInterval(Timer::时钟流量), 1000);
  }
}

TEST(TrafficBar, PopupOpensUpwardOnlyInTheScreensBottom130Pixels) {
  struct Case {
    int top;
    Point anchor;
    int placement;
    Rect rect;  // for a 110 x 60 popup
  } cases[] = {
      {1000, {277, 1000}, 10, {222, 940, 110, 60}},
      {950, {277, 972}, 1, {222, 972, 110, 60}},
      {500, {277, 522}, 1, {222, 522, 110, 60}},
  };
  for (const Case& c : cases) {
    Rig r;
    r.bar.position = {200, c.top};
    r.table.Dispatch(Ctl::流量条_透明标签1, ControlEvent::kRightClick, 0);
    ASSERT_TRUE(r.bar.popup);
    EXPECT_EQ(r.bar.popup->anchor, c.anchor) << c.top;
    EXPECT_EQ(r.bar.popup->placement, c.placement) << c.top;
    EXPECT_EQ(PopupRect(*r.bar.popup, {110, 60}), c.rect) << c.top;
    EXPECT_EQ(r.bar.popup_markup, bar_text::kPopupMarkup);
  }
}

TEST(TrafficBar, LinksOptionAndMouse) {
  Rig r;
  r.ui.SetChecked(Ctl::选择框显示流量, true);
  r.monitor.CreateBar();
  r.monitor.OnBarRightButtonDown();
  r.monitor.OnBarLinkClicked("m10");
  EXPECT_TRUE(r.bar.popup);
  r.monitor.OnBarLinkClicked("m7");
  EXPECT_EQ(r.normal_shows, 1);
  EXPECT_FALSE(r.bar.popup);

  r.monitor.OnBarLinkClicked("m8");
  EXPECT_FALSE(r.bar.visible);
  EXPECT_EQ(r.ui.TimerInterval(Timer::时钟流量), 0);
  EXPECT_FALSE(r.ui.Checked(Ctl::选择框显示流量));
  EXPECT_EQ(r.settings.Read(setting::kTrafficBar), "否");

  r.ui.SetChecked(Ctl::选择框显示流量, true);
  r.table.Dispatch(Ctl::选择框显示流量, ControlEvent::kClick);
  EXPECT_TRUE(r.bar.visible);
  EXPECT_EQ(r.ui.TimerInterval(Timer::时钟流量), 1000);
  EXPECT_EQ(r.settings.Read(setting::kTrafficBar), "是");

  r.monitor.OnBarLinkClicked("m9");
  EXPECT_EQ(r.quits, 1);
  r.table.Dispatch(Ctl::流量条_透明标签1, ControlEvent::kDoubleClick, 0);
  EXPECT_EQ(r.ui.show_main_centred_calls, 1);
  r.monitor.OnBarMouseDown();
  EXPECT_EQ(r.bar.drags, 1);
  r.bar.SetPosition({640, 480});  // the user's drag
  EXPECT_EQ(r.settings.Read(setting::kBarPosition), "640|480");
}

}  // namespace
}  // namespace lumora
