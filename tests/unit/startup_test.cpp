// The main window's creation handler, the start-up sequence and the ways the
// program ends, run for real against the in-memory window, files and the
// recording fakes of the other subsystems.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "app/app.h"
#include "app/os_version.h"
#include "common/gbk.h"
#include "common/settings.h"
#include "fakes/fake_guard.h"
#include "fakes/fake_host.h"
#include "fakes/fake_system.h"
#include "fakes/fake_traffic.h"
#include "fakes/memory_files.h"
#include "fakes/memory_window.h"
#include "guard/client_guard.h"
#include "guard/device_files.h"
#include "traffic/traffic_monitor.h"

namespace lumora {
namespace {

using Entries = std::vector<std::string>;
using namespace std::chrono_literals;

// The start-up sequence's calls into the other subsystems, in their order.
const Entries kSequence = {"ResetAllSharing", "FillConnectionList", "ChooseDefaultConnection",
                           "AutostartExists", "Start",              "CheckForUpdate",
                           "LoadStatisticsPage", "PrepareServices"};

// The bar as the program has it: one window, which the traffic monitor
// creates and the shell hides when the program ends.
struct WindowBar : fakes::MemoryBar {
  explicit WindowBar(fakes::MemoryWindow& w) : ui(w) {}
  void Create() override { MemoryBar::Create(), ui.CreateBar(); }
  void SetVisible(bool v) override { MemoryBar::SetVisible(v), ui.SetBarVisible(v); }
  fakes::MemoryWindow& ui;
};

struct Rig {
  fakes::CallLog log;
  fakes::MemoryWindow ui;
  fakes::MemoryFiles files;
  SettingsStore settings{files};
  fakes::FakeHost host;
  fakes::FakeSystem system{log};
  fakes::FakeSubsystems parts{log};
  EventTable events;
  App app{AppPorts{ui, settings, host, system, events}};
  fakes::FakeNeighbours neighbours;
  fakes::FakeLookups lookups;
  fakes::FakeInterfaceIndex indexes;
  fakes::FakeListViews lists;
  ClientGuard guard{
      GuardPorts{ui, settings, files, parts, host, neighbours, lookups, indexes, lists}};
  WindowBar bar{ui};
  fakes::FakeCounterNetwork counters;
  TrafficMonitor traffic{TrafficPorts{ui, settings, bar, counters, counters, {}, {}, {}, &parts}};
  Extras extras{ExtrasPorts{ui, settings, parts, parts, parts}};

  // Wired as the program wires them.
  Rig() {
    host.trace = [this](std::string_view e) { log.Add(e); };
    for (Subsystem s : {app.Registration(), parts.Updates(host), parts.Hotspot(),
                        guard.Registration(), traffic.Registration(), extras.Registration()})
      events.Add(std::move(s));
  }
  // The workers capture the app: they end before it goes.
  ~Rig() { host.StopAll(); }

  void Ini(std::string_view utf8) { files.files[kSettingsPath] = Utf8ToGbk(utf8); }

  // The creation handler, then the end of every worker it started.
  bool Create() {
    const bool go_on = app.OnCreate();
    EXPECT_TRUE(host.WaitForAllWorkers());
    return go_on;
  }

  // The log restricted to the start-up sequence's calls.
  Entries SequenceCalls() const {
    Entries out;
    for (const std::string& e : log.Entries())
      if (std::find(kSequence.begin(), kSequence.end(), e) != kSequence.end()) out.push_back(e);
    return out;
  }
};

Entries Prefix(const Entries& all, const std::string& last) {
  auto end = std::find(all.begin(), all.end(), last);
  return Entries(all.begin(), end == all.end() ? end : end + 1);
}

void ExpectModeLayout(const fakes::MemoryWindow& ui, bool black) {
  EXPECT_EQ(ui.Checked(Ctl::单选框黑), black);
  EXPECT_EQ(ui.Checked(Ctl::单选框白), !black);
  EXPECT_EQ(ui.Text(Ctl::分组框4), black ? "允许上网的用户↓" : "白名单列表↓");
  EXPECT_EQ(ui.Bounds(Ctl::透明标签3), (Rect{black ? 130 : 90, 10, 310, 18}));
  EXPECT_EQ(ui.Text(Ctl::透明标签3), black ? "右击鼠标拉入黑名单   双击可修改名称备注"
                                           : "当前模式仅允许下表中的用户上网，右击鼠标操作");
  for (Ctl c : {Ctl::分组框3, Ctl::超级列表框1, Ctl::超级列表框2, Ctl::超级链接框刷新})
    EXPECT_EQ(ui.Visible(c), black) << int(c);
  for (Ctl c : {Ctl::超级列表框3, Ctl::透明标签_白说明}) EXPECT_EQ(ui.Visible(c), !black) << int(c);
}

// --- the creation handler and the start-up sequence ---------------------

TEST(Startup, NoSettingsFileShowsTheDesignStateAndWritesNothing) {
  Rig r;
  ASSERT_TRUE(r.Create());
  const auto& ui = r.ui;

  EXPECT_EQ(ui.Title(), "LumoraWiFi5.1");
  EXPECT_EQ(r.system.asked_title, "LumoraWiFi5.1");
  EXPECT_EQ(ui.Text(Ctl::编辑框名称), "mylove");
  EXPECT_EQ(ui.Text(Ctl::编辑框密码), "5094817263");
  EXPECT_FALSE(ui.Masked(Ctl::编辑框密码));
  EXPECT_TRUE(ui.Checked(Ctl::选择框_显示密码));
  ExpectModeLayout(ui, true);
  EXPECT_EQ(ui.RowCount(Ctl::超级列表框2), 0);
  EXPECT_EQ(ui.RowCount(Ctl::超级列表框3), 0);

  EXPECT_EQ(ui.SliderPosition(Ctl::滑块条色调), 310);
  EXPECT_EQ(ui.Text(Ctl::透明标签位置), "[150]");
  EXPECT_EQ(r.parts.applied_hues, std::vector<int>{150});
  for (Ctl g : {Ctl::分组框2, Ctl::分组框5, Ctl::分组框1, Ctl::分组框3})
    EXPECT_EQ(ui.CaptionColour(g), (Colour{255, 0, 0})) << int(g);
  for (Ctl g : {Ctl::分组框4, Ctl::分组框6})
    EXPECT_EQ(ui.CaptionColour(g), (Colour{9, 124, 37})) << int(g);

  EXPECT_FALSE(ui.Checked(Ctl::选择框显示流量));
  EXPECT_TRUE(ui.BarExists());
  EXPECT_FALSE(ui.BarVisible());
  EXPECT_EQ(ui.SelectedIndex(Ctl::组合框_关机), 2);
  EXPECT_EQ(ui.Text(Ctl::组合框_关机), "2");
  EXPECT_EQ(ui.Text(Ctl::标签9), "未启动");
  EXPECT_EQ(ui.Picture(Ctl::图片框状态), Image::kStatusStopped);

  const std::pair<Ctl, const char*> tips[] = {
      {Ctl::编辑框名称, "请输入英文或数字，部分手机可能无法识别中文。。。"},
      {Ctl::编辑框密码, "密码不能少于8位数"},
      {Ctl::选择框2,
       "通常软件能智能匹配连网方式，若发现不对，\r\n请自行选择，并勾选这个，以后就记住这个连网了"},
      {Ctl::单选框黑, "显示上网用户和拦截黑名单，建议用这种模式。。。"},
      {Ctl::单选框白, "仅允许白名单用户上网，不能显示用户数"},
  };
  for (const auto& [c, tip] : tips) EXPECT_EQ(ui.Tip(c), tip) << int(c);

  // The sequence has run: ready, with both start options off.
  EXPECT_EQ(r.app.Os(), OsCode::kWindows7);
  EXPECT_EQ(r.parts.os_code, OsCode::kWindows7) << "the subsystems learn the version code before the start-up sequence";
  EXPECT_TRUE(ui.Enabled(Ctl::按钮开始));
  EXPECT_EQ(ui.Text(Ctl::按钮开始), "开启WiFi");
  EXPECT_TRUE(ui.TrayIconShown());
  EXPECT_EQ(ui.TrayIcon(), Image::kAppIcon);
  EXPECT_EQ(ui.TrayTip(), "欢迎使用LumoraWiFi，点击开启WiFi即可哦");
  EXPECT_FALSE(ui.Checked(Ctl::选择框_开机启动));
  EXPECT_FALSE(ui.Checked(Ctl::选择框_启动));
  EXPECT_TRUE(ui.messages.empty());

  // Reading every default never creates the file.
  EXPECT_EQ(r.files.writes, 0);
  EXPECT_TRUE(r.files.files.empty());
}

TEST(Startup, PassPhraseDisplaySetting) {
  struct Case {
    const char* mm;
    bool shown;
  } cases[] = {{"1", true}, {"2", false}, {"3", true}, {"", true}, {"12", true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.mm);
    Rig r;
    r.Ini(std::string("[user]\r\nssid=家里的WiFi\r\nkey=abc 12345678\r\n[xsmm]\r\nmm=") + c.mm +
          "\r\n");
    ASSERT_TRUE(r.Create());
    EXPECT_EQ(r.ui.Text(Ctl::编辑框名称), "家里的WiFi");
    EXPECT_EQ(r.ui.Text(Ctl::编辑框密码), "abc 12345678");
    EXPECT_EQ(r.ui.Checked(Ctl::选择框_显示密码), c.shown);
    EXPECT_EQ(r.ui.Masked(Ctl::编辑框密码), !c.shown);
    EXPECT_EQ(r.files.writes, 0);
  }
}

TEST(Startup, AccessModeSetting) {
  struct Case {
    const char* name;
    const char* ini;
    bool black;
  } cases[] = {
      {"key missing", "[monitor]\r\nother=1\r\n", true},
      {"empty value", "[monitor]\r\nmonitor=\r\n", false},
      {"0", "[monitor]\r\nmonitor=0\r\n", false},
      {"监控", "[monitor]\r\nmonitor=监控\r\n", true},
      {"不监控", "[monitor]\r\nmonitor=不监控\r\n", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Rig r;
    r.Ini(c.ini);
    ASSERT_TRUE(r.Create());
    ExpectModeLayout(r.ui, c.black);
  }
}

TEST(Startup, FloatingBarSetting) {
  struct Case {
    const char* ini;
    bool shown;
  } cases[] = {
      {"[流量条]\r\n是否开=是\r\n", true},
      {"[流量条]\r\n是否开=否\r\n", false},
      {"[流量条]\r\n是否开=\r\n", false},
      {"[流量条]\r\n是否开=1\r\n", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.ini);
    Rig r;
    r.Ini(c.ini);
    ASSERT_TRUE(r.Create());
    EXPECT_EQ(r.ui.Checked(Ctl::选择框显示流量), c.shown);
    EXPECT_TRUE(r.ui.BarExists());
    EXPECT_EQ(r.ui.BarVisible(), c.shown);
  }
}

TEST(Startup, SkinHueSetting) {
  // The slider keeps 0..340 and the label follows it; the hue applied is the
  // stored number's.
  struct Case {
    const char* stored;
    int position;
    const char* label;
    int hue;
  } cases[] = {
      {"0", 0, "[-160]", -160},   {"340", 340, "[180]", 180}, {"400", 340, "[180]", 240},
      {"abc", 0, "[-160]", -160}, {"-20", 0, "[-160]", -180}, {"200", 200, "[40]", 40},
      // Numbers far outside the slider's range, or no number at all, stay defined.
      {"1e12", 340, "[180]", 100000 - 160}, {"nan", 0, "[-160]", -160},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.stored);
    Rig r;
    r.Ini(std::string("[skin]\r\ncolor=") + c.stored + "\r\n");
    ASSERT_TRUE(r.Create());
    EXPECT_EQ(r.ui.SliderPosition(Ctl::滑块条色调), c.position);
    EXPECT_EQ(r.ui.Text(Ctl::透明标签位置), c.label);
    EXPECT_EQ(r.parts.applied_hues, std::vector<int>{c.hue});
  }
}

TEST(Startup, AutomaticOpenAndAutostartState) {
  struct Case {
    const char* ini;
    bool autostart;
    bool opens;
  } cases[] = {
      {"[qidong]\r\nqidong=y\r\n", true, true},
      {"[qidong]\r\nqidong=Y\r\n", false, false},
      {"[qidong]\r\nqidong=n\r\n", true, false},
      {"[qidong]\r\nqidong=yes\r\n", false, false},
      {"", false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.ini);
    Rig r;
    r.Ini(c.ini);
    r.parts.autostart_exists = c.autostart;
    ASSERT_TRUE(r.Create());
    EXPECT_EQ(r.ui.Checked(Ctl::选择框_启动), c.opens);
    EXPECT_EQ(r.log.Count("Start"), c.opens ? 1 : 0);
    EXPECT_EQ(r.ui.Checked(Ctl::选择框_开机启动), c.autostart);
    EXPECT_EQ(r.log.Count("PrepareServices"), 1);  // opening does not cut the sequence short
  }
}

TEST(Startup, ListFilesLoadIntoTheirViews) {
  // "手机" in GBK; one blank line; a name with a second "+" is dropped.
  const std::string file =
      "AA-BB-CC-DD-EE-01+\r\n"
      "AA-BB-CC-DD-EE-02+a+b\r\n"
      "\r\n"
      "AA-BB-CC-DD-EE-03+\xCA\xD6\xBB\xFA\r\n";
  const std::pair<std::string, std::string> want[] = {
      {"AA-BB-CC-DD-EE-01", ""}, {"AA-BB-CC-DD-EE-02", ""}, {"AA-BB-CC-DD-EE-03", "手机"}};
  struct Case {
    const char* path;
    Ctl view, other;
    int mac_column;
  } cases[] = {
      {kBlackListPath, Ctl::超级列表框2, Ctl::超级列表框3, 1},
      {kWhiteListPath, Ctl::超级列表框3, Ctl::超级列表框2, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    for (const char* mode : {"监控", "不监控"}) {  // both views load in either mode
      SCOPED_TRACE(mode);
      Rig r;
      r.Ini(std::string("[monitor]\r\nmonitor=") + mode + "\r\n");
      r.files.files[c.path] = file;
      ASSERT_TRUE(r.Create());
      ASSERT_EQ(r.ui.RowCount(c.view), 3);
      for (int row = 0; row < 3; ++row) {
        EXPECT_EQ(r.ui.Cell(c.view, row, c.mac_column), want[row].first) << row;
        EXPECT_EQ(r.ui.Cell(c.view, row, c.mac_column + 1), want[row].second) << row;
      }
      EXPECT_EQ(r.ui.RowCount(c.other), 0);
    }
  }

  Rig unreadable;
  unreadable.files.files[kBlackListPath] = file;
  unreadable.files.unreadable = {kBlackListPath, kWhiteListPath};
  ASSERT_TRUE(unreadable.Create());
  EXPECT_EQ(unreadable.ui.RowCount(Ctl::超级列表框2), 0);
  EXPECT_EQ(unreadable.ui.RowCount(Ctl::超级列表框3), 0);
  EXPECT_TRUE(unreadable.ui.messages.empty());
}

TEST(Startup, SecondInstanceActivatesTheFirstAndEndsAtOnce) {
  Rig r;
  r.system.other_instance = true;
  r.Ini("[user]\r\nssid=other\r\n");
  EXPECT_FALSE(r.Create());

  EXPECT_EQ(r.system.asked_title, "LumoraWiFi5.1");
  EXPECT_EQ(r.log.Without("NoticeLoader"),
            (Entries{"StartWorkerThread", "ActivateOtherInstance", "EndProcess"}));
  EXPECT_EQ(r.log.Count("NoticeLoader"), 1);  // started even here
  EXPECT_EQ(r.system.end_process_calls, 1);
  EXPECT_EQ(r.host.StartedCount(), 1);
  EXPECT_EQ(r.app.StartupWorker(), nullptr);
  EXPECT_EQ(r.ui.Title(), "");
  EXPECT_EQ(r.files.reads, 0);
  EXPECT_EQ(r.ui.Text(Ctl::编辑框名称), "mylove");
  EXPECT_EQ(r.ui.Text(Ctl::标签9), "");
  EXPECT_FALSE(r.ui.BarExists());
}

TEST(Startup, WindowsXpIsRefusedAndNoSequenceStarts) {
  Rig r;
  r.system.version = {5, 1};
  r.Ini("[流量条]\r\n是否开=是\r\n[user]\r\nssid=xp\r\n");
  ASSERT_TRUE(r.Create());

  ASSERT_EQ(r.ui.messages.size(), 1u);
  EXPECT_EQ(r.ui.messages[0].text, "抱歉，该软件暂不支持Win XP系统！");
  EXPECT_EQ(r.ui.messages[0].title, "提示");
  EXPECT_EQ(r.ui.messages[0].icon, MessageIcon::kNone);
  EXPECT_EQ(r.ui.messages[0].buttons, MessageButtons::kOk);
  EXPECT_FALSE(r.ui.Enabled(Ctl::按钮开始));
  EXPECT_EQ(r.ui.Text(Ctl::按钮开始), "不支持XP");

  // Everything before the refusal still happened; nothing after it did.
  EXPECT_EQ(r.ui.Title(), "LumoraWiFi5.1");
  EXPECT_EQ(r.ui.Text(Ctl::编辑框名称), "xp");
  EXPECT_TRUE(r.ui.Checked(Ctl::选择框显示流量));
  EXPECT_FALSE(r.ui.BarExists());
  EXPECT_EQ(r.app.Os(), OsCode::kNotComputed);
  EXPECT_EQ(r.host.StartedCount(), 1);
  EXPECT_EQ(r.app.StartupWorker(), nullptr);
  EXPECT_TRUE(r.SequenceCalls().empty());
  EXPECT_FALSE(r.ui.TrayIconShown());
}

TEST(Startup, OsVersionCodes) {
  const std::pair<OsVersion, int> cases[] = {
      {{5, 0}, 1}, {{5, 1}, 2}, {{5, 2}, 3},  {{6, 0}, 4},  {{6, 1}, 5},
      {{6, 2}, 6}, {{6, 3}, -1}, {{10, 0}, -1}, {{0, 0}, -1},
  };
  for (const auto& [v, code] : cases)
    EXPECT_EQ(OsVersionCode(v), static_cast<OsCode>(code)) << v.major << "." << v.minor;
  EXPECT_TRUE(IsWindowsXp({5, 1}));
  EXPECT_FALSE(IsWindowsXp({5, 2}));
}

TEST(Startup, CreationHandlerThenSequenceInOrder) {
  Rig r;
  r.Ini("[qidong]\r\nqidong=y\r\n");
  r.parts.autostart_exists = true;
  r.parts.on_call = [&r](std::string_view name) {
    if (name == "ChooseDefaultConnection" || name == "AutostartExists")
      r.log.Add(r.ui.Enabled(Ctl::按钮开始) && r.ui.Text(Ctl::按钮开始) == "开启WiFi" &&
                        r.ui.TrayIconShown()
                    ? "ready"
                    : "not ready");
  };
  ASSERT_TRUE(r.Create());

  // The notice worker is the first thing started; the start-up worker comes
  // last in the handler.
  EXPECT_EQ(r.log.Without("NoticeLoader"),
            (Entries{"StartWorkerThread", "ActivateOtherInstance", "ApplySkinHue",
                     "ProcessOsVersion", "StartWorkerThread", "ResetAllSharing",
                     "FillConnectionList", "ChooseDefaultConnection", "not ready",
                     "AutostartExists", "ready", "Start", "CheckForUpdate",
                     "LoadStatisticsPage", "PrepareServices"}));
  EXPECT_EQ(r.log.Count("NoticeLoader"), 1);
  EXPECT_EQ(r.host.StartedCount(), 2);
  ASSERT_NE(r.app.StartupWorker(), nullptr);
  EXPECT_TRUE(r.app.StartupWorker()->Finished());
}

TEST(Startup, SequenceEndsAtAStopOrAnAcceptedUpdate) {
  struct Case {
    const char* stop_in;  // a stop is requested while this call runs
    bool update_accepted;
    const char* last;     // the last call made
  } cases[] = {
      {"ResetAllSharing", false, "ResetAllSharing"},
      {"FillConnectionList", false, "FillConnectionList"},
      {"ChooseDefaultConnection", false, "ChooseDefaultConnection"},
      {"AutostartExists", false, "AutostartExists"},
      {"Start", false, "Start"},
      {"CheckForUpdate", false, "CheckForUpdate"},
      {"LoadStatisticsPage", false, "LoadStatisticsPage"},
      {"", true, "CheckForUpdate"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.stop_in) + (c.update_accepted ? " update accepted" : ""));
    Rig r;
    r.Ini("[qidong]\r\nqidong=y\r\n");
    r.parts.update_accepted = c.update_accepted;
    const std::string stop_in = c.stop_in;
    r.parts.on_call = [stop_in](std::string_view name) {
      if (name == stop_in)
        if (StopState* stop = CurrentStop()) stop->RequestStop();
    };
    ASSERT_TRUE(r.Create());
    const Entries calls = Prefix(kSequence, c.last);
    EXPECT_EQ(r.SequenceCalls(), calls);
    const bool ready = calls.size() > 3;  // past ChooseDefaultConnection
    EXPECT_EQ(r.ui.Enabled(Ctl::按钮开始), ready);
    EXPECT_EQ(r.ui.TrayIconShown(), ready);
    EXPECT_EQ(r.system.end_process_calls, 0);
  }
}

// --- hiding, the pass phrase check box, ending ----------------------------

TEST(Lifecycle, HideToTrayAndBack) {
  Rig r;
  ASSERT_TRUE(r.Create());
  r.ui.SetTimerInterval(Timer::时钟流量统计, 1000);
  r.app.OnHideToTrayClicked();
  EXPECT_FALSE(r.ui.MainVisible());
  EXPECT_EQ(r.ui.TimerInterval(Timer::时钟流量统计), 0);
  EXPECT_TRUE(r.ui.TrayIconShown());
  EXPECT_EQ(r.ui.TrayIcon(), Image::kAppIcon);
  EXPECT_EQ(r.system.end_process_calls, 0);

  r.app.ShowMainWindow();
  EXPECT_TRUE(r.ui.MainVisible());
  EXPECT_EQ(r.ui.show_main_centred_calls, 1);
}

TEST(Lifecycle, ShowPasswordClickIsWrittenAndRestoredAtTheNextStart) {
  struct Case {
    bool checked;  // the box's state after the click
    const char* stored;
  } cases[] = {{false, "2"}, {true, "1"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.stored);
    Rig r;
    r.Ini(std::string("[xsmm]\r\nmm=") + (c.checked ? "2" : "1") + "\r\n");
    ASSERT_TRUE(r.Create());
    ASSERT_NE(r.ui.Checked(Ctl::选择框_显示密码), c.checked);
    r.ui.SetChecked(Ctl::选择框_显示密码, c.checked);
    r.app.OnShowPasswordClicked();
    EXPECT_EQ(r.ui.Masked(Ctl::编辑框密码), !c.checked);
    EXPECT_EQ(r.settings.Read(setting::kShowPassword), c.stored);

    Rig next;
    next.files.files = r.files.files;
    ASSERT_TRUE(next.Create());
    EXPECT_EQ(next.ui.Checked(Ctl::选择框_显示密码), c.checked);
    EXPECT_EQ(next.ui.Masked(Ctl::编辑框密码), !c.checked);
  }
}

TEST(Lifecycle, EveryWayOfEndingStopsInOrderAndOnlyTheCloseBoxFolds) {
  struct Case {
    const char* name;
    void (*end)(Rig&);
    bool fold;
  } cases[] = {
      {"close box", [](Rig& r) { r.app.OnCloseRequested(); }, true},
      {"QuitProgram", [](Rig& r) { r.app.QuitProgram(); }, false},
      {"menu 退出", [](Rig& r) { r.events.Choose(MenuItem::退出); }, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Rig r;
    r.Ini("[流量条]\r\n是否开=是\r\n");
    ASSERT_TRUE(r.Create());
    ASSERT_TRUE(r.ui.BarVisible());
    for (Timer t : {Timer::时钟_黑, Timer::时钟_白, Timer::时钟流量统计, Timer::时钟流量})
      r.ui.SetTimerInterval(t, 6000);
    const Rect start = r.ui.MainRect();

    // Where the one pause falls, and what the quit steps find.
    std::optional<std::size_t> rects_at_pause;
    r.host.trace = [&r, &rects_at_pause](std::string_view e) {
      r.log.Add(e);
      if (e.starts_with("WaitResponsive")) rects_at_pause = r.ui.main_rects.size();
    };
    r.parts.on_call = [&r](std::string_view name) {
      if (name != "StopWorkers updates" && name != "AbortAndResetHotspot") return;
      std::string state = r.ui.MainVisible() ? "main shown" : "main hidden";
      state += r.ui.TrayIconShown() ? ", tray" : ", no tray";
      if (r.app.StartupWorker()->Stop().StopRequested()) state += ", start-up stopped";
      r.log.Add(state);
    };
    r.log.Clear();
    c.end(r);
    // The end runs on a worker of its own; the window thread is free.
    ASSERT_TRUE(r.host.WaitForAllWorkers());

    Entries want = {"StartWorkerThread", "StopWorkerThread", "StopWorkers updates",
                    "main hidden, tray, start-up stopped", "StopWorkerThread",
                    "AbortAndResetHotspot", "main hidden, no tray, start-up stopped", "EndProcess"};
    if (c.fold) want.insert(want.begin(), "WaitResponsive 50");
    EXPECT_EQ(r.log.Entries(), want);
    EXPECT_EQ(r.system.end_process_calls, 1);
    EXPECT_FALSE(r.ui.BarVisible());
    EXPECT_FALSE(r.ui.MainVisible());
    EXPECT_EQ(r.ui.main_border_removed, c.fold);

    std::vector<Rect> folds;
    if (c.fold) {
      // 316 high: six steps to -44; 430 wide: eight steps to -50.
      for (int k = 1; k <= 6; ++k)
        folds.push_back({start.left, start.top + 25 * k, start.width, start.height - 60 * k});
      for (int k = 1; k <= 8; ++k)
        folds.push_back({start.left + 30 * k, start.top + 150, start.width - 60 * k,
                         start.height - 360});
      EXPECT_EQ(rects_at_pause, 6u);
      for (Timer t : {Timer::时钟_黑, Timer::时钟_白, Timer::时钟流量统计, Timer::时钟流量})
        EXPECT_EQ(r.ui.TimerInterval(t), 0) << int(t);
    }
    EXPECT_EQ(r.ui.main_rects, folds);
  }
}

TEST(Lifecycle, QuitDuringStartUpStopsTheSequenceWhereItIs) {
  Rig r;
  r.Ini("[qidong]\r\nqidong=y\r\n");
  std::atomic<bool> inside{false};
  r.parts.on_call = [&inside](std::string_view name) {
    if (name != "FillConnectionList") return;
    inside = true;
    const auto give_up = std::chrono::steady_clock::now() + 5s;
    while (!StopRequested() && std::chrono::steady_clock::now() < give_up)
      std::this_thread::sleep_for(1ms);
  };
  ASSERT_TRUE(r.app.OnCreate());
  const auto give_up = std::chrono::steady_clock::now() + 5s;
  while (!inside && std::chrono::steady_clock::now() < give_up) std::this_thread::sleep_for(1ms);
  ASSERT_TRUE(inside);

  r.app.QuitProgram();
  ASSERT_NE(r.app.StartupWorker(), nullptr);
  EXPECT_TRUE(r.host.WaitForAllWorkers());
  EXPECT_TRUE(r.app.StartupWorker()->Finished());
  EXPECT_EQ(r.SequenceCalls(), (Entries{"ResetAllSharing", "FillConnectionList"}));
  EXPECT_FALSE(r.ui.Enabled(Ctl::按钮开始));
  EXPECT_EQ(r.ui.Text(Ctl::按钮开始), "初始化中\r\n请稍后");
  EXPECT_FALSE(r.ui.TrayIconShown());
  EXPECT_EQ(r.log.Count("AbortAndResetHotspot"), 1);
  EXPECT_EQ(r.system.end_process_calls, 1);
}

}  // namespace
}  // namespace lumora

namespace lumora {
namespace {

// Side-by-side steps of a worker's phase: "a" and "b" are marked, "c" comes
// after them. Each marked step waits (up to 1 s) to meet the other inside.
TEST(StartupPhases, SideBySideStepsRunTogetherAndTheRestWaitsForThem) {
  struct Case {
    const char* what;
    bool host;        // the table has a worker host
    bool a_goes_on;   // what step "a" returns
    bool stop;        // the sequence's worker is asked to stop meanwhile
    bool met;         // "a" and "b" were running at the same time
    Entries ran;      // the steps that ended, in order ("a"/"b" sorted)
    bool result;
  };
  const Case cases[] = {
      {"together, then c", true, true, false, true, {"a", "b", "c"}, true},
      {"a ends the sequence after b", true, false, false, true, {"a", "b"}, false},
      {"the stop reaches both", true, true, true, true, {"a", "b"}, false},
      {"no host: in turn", false, true, false, false, {"a", "b", "c"}, true},
  };
  for (const Case& c : cases) {
    fakes::FakeHost host;
    std::mutex mutex;
    Entries ran;
    std::atomic<int> inside{0};
    std::atomic<bool> met{true};
    const auto side = [&](const char* name, bool go_on) {
      return StartupStep{StartupPhase::kNetwork, [&, name, go_on](const StartupInfo&) {
                           ++inside;
                           const auto give_up = std::chrono::steady_clock::now() + 1s;
                           while ((inside < 2 || c.stop) && !StopRequested() &&
                                  std::chrono::steady_clock::now() < give_up)
                             std::this_thread::sleep_for(1ms);
                           if (inside < 2) met = false;
                           std::lock_guard lock(mutex);
                           ran.push_back(name);
                           return go_on;
                         },
                         true};
    };
    Subsystem first{.name = "first"}, second{.name = "second"};
    first.startup = {side("a", c.a_goes_on)};
    second.startup = {side("b", true), {StartupPhase::kNetwork, [&](const StartupInfo&) {
                                          std::lock_guard lock(mutex);
                                          ran.push_back("c");
                                          return true;
                                        }}};
    EventTable table({first, second});
    if (c.host) table.SetWorkerHost(&host);
    std::atomic<bool> result{!c.result};
    WorkerHandle sequence = host.StartWorkerThread(
        [&] { result = table.RunStartup(StartupPhase::kNetwork, StartupInfo{}); });
    if (c.stop) {
      while (inside < 2) std::this_thread::sleep_for(1ms);
      host.StopWorkerThread(sequence);
    }
    ASSERT_TRUE(host.WaitForAllWorkers()) << c.what;
    std::sort(ran.begin(), ran.begin() + std::min<std::ptrdiff_t>(2, std::ssize(ran)));
    EXPECT_EQ(ran, c.ran) << c.what;
    EXPECT_EQ(bool(met), c.met) << c.what;
    EXPECT_EQ(bool(result), c.result) << c.what;
  }
}

}  // namespace
}  // namespace lumora
