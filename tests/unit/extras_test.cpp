// The extras through their registration, against the in-memory window and
// files: the timed power-off, the hue slider, the start options, the palette.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "extras/extras.h"
#include "extras/start_options.h"
#include "extras/theme.h"
#include "fakes/fake_host.h"
#include "fakes/fake_system.h"
#include "fakes/memory_files.h"
#include "fakes/memory_window.h"
#include "ui/event_table.h"

namespace lumora {
namespace {

using E = ControlEvent;

// The theme, the Run key, the power-off and the hotspot in one recorder.
struct FakeOs : SkinPort, AutostartPort, PowerPort, fakes::FakeHotspot {
  explicit FakeOs(fakes::CallLog& log) : log(log) {}
  fakes::CallLog& log;
  std::vector<int> hues;
  bool run_value = false, run_key_writable = true, privilege = true;

  void ApplySkinHue(int hue) override { hues.push_back(hue); }
  bool AutostartExists() override { return run_value; }
  bool SetAutostart(bool on) override {
    if (run_key_writable) run_value = on;
    return run_key_writable;
  }
  bool AcquireShutdownPrivilege() override {
    log.Add("AcquireShutdownPrivilege");
    return privilege;
  }
  void RequestPowerOff() override { log.Add("RequestPowerOff"); }
  void HotspotCalled(std::string_view name) override {
    if (name == "AbortAndResetHotspot")
      std::this_thread::sleep_for(std::chrono::milliseconds(30));  // outlasts the waits here
    log.Add(name);
  }
};

struct Rig {
  fakes::CallLog log;
  fakes::MemoryWindow ui;
  fakes::MemoryFiles files;
  SettingsStore settings{files};
  fakes::FakeHost host;
  FakeOs os{log};
  Extras extras{{ui, settings, os, os, os, &host, &os}};
  EventTable events{{extras.Registration()}};

  Rig() { events.RunStartup(StartupPhase::kCreate, {}); }
  ~Rig() { host.StopAll(); }

  void Click(Ctl c) {
    ui.SetChecked(c, !ui.Checked(c));
    events.Dispatch(c, E::kClick);
  }
  // Types into the hours box and presses Enter.
  void EnterHours(const std::string& text) {
    ui.SetText(Ctl::组合框_关机, text);
    events.Dispatch(Ctl::组合框_关机, E::kKey, 13);
  }
  void Ticks(int n) {
    for (int i = 0; i < n; ++i) events.Tick(Timer::时钟关机);
  }
  bool Counting() const {
    return ui.Checked(Ctl::选择框关机) && ui.Visible(Ctl::标签关机) &&
           ui.TimerInterval(Timer::时钟关机) == 1000;
  }
  bool Stopped() const {
    return !ui.Visible(Ctl::标签关机) && ui.TimerInterval(Timer::时钟关机) == 0;
  }
};

TEST(ExtrasCountdown, TextsFromTheHoursBoxAndTicks) {
  struct Case {
    const char *hours, *shown;
    int ticks;
    const char* after;
    bool warned;  // the main window came forward
  } cases[] = {
      {"0.5", "00时30分00秒后关机", 1, "00时29分59秒后关机", false},
      {"1", "01时00分00秒后关机", 1, "00时59分59秒后关机", false},
      {"1", "01时00分00秒后关机", 3600 - 45, "00时00分45秒后关机", true},
      {"12", "12时00分00秒后关机", 0, "12时00分00秒后关机", false},
      {"1.0166667", "01时01分00秒后关机", 2, "01时00分58秒后关机", false},
      {"0.25", "00时15分00秒后关机", 0, "00时15分00秒后关机", false},
      {"120", "120时00分00秒后关机", 3600, "119时00分00秒后关机", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.hours) + " " + std::to_string(c.ticks));
    Rig r;
    r.EnterHours(c.hours);
    EXPECT_TRUE(r.Counting());
    EXPECT_EQ(r.ui.Text(Ctl::标签关机), c.shown);
    r.Ticks(c.ticks);
    EXPECT_EQ(r.ui.Text(Ctl::标签关机), c.after);
    EXPECT_EQ(r.ui.show_main_centred_calls, c.warned ? 1 : 0);
    EXPECT_EQ(r.log.Count("AcquireShutdownPrivilege"), 0);
  }
}

TEST(ExtrasCountdown, ChoosingCancellingAndRefusedTexts) {
  Rig r;
  EXPECT_EQ(r.ui.Text(Ctl::组合框_关机), "2");  // chosen at creation, nothing started
  EXPECT_TRUE(r.Stopped());
  r.events.Dispatch(Ctl::组合框_关机, E::kKey, 65);  // only Enter starts
  EXPECT_TRUE(r.Stopped());

  r.Click(Ctl::选择框关机);
  EXPECT_TRUE(r.Counting());
  EXPECT_EQ(r.ui.Text(Ctl::标签关机), "02时00分00秒后关机");
  r.Ticks(5);
  r.Click(Ctl::选择框关机);  // unchecked: hidden and stopped
  EXPECT_TRUE(r.Stopped());
  r.Click(Ctl::选择框关机);  // starts over from the box
  EXPECT_EQ(r.ui.Text(Ctl::标签关机), "02时00分00秒后关机");

  // Another item while running restarts from it; the event's item counts,
  // even while the box still shows the previous text.
  r.Ticks(3);
  r.events.Dispatch(Ctl::组合框_关机, E::kSelectionChange, 0);
  EXPECT_TRUE(r.Counting());
  EXPECT_EQ(r.ui.Text(Ctl::标签关机), "00时30分00秒后关机");

  // Texts without a positive number of hours never start a countdown: the
  // running one stops and the box shows unchecked.
  for (const char* bad : {"abc", "0", "-1", "", "0.0001", "inf", "1e300", "小时"}) {
    SCOPED_TRACE(bad);
    r.EnterHours("3");
    ASSERT_TRUE(r.Counting());
    r.EnterHours(bad);
    EXPECT_FALSE(r.ui.Checked(Ctl::选择框关机));
    EXPECT_TRUE(r.Stopped());
  }
}

TEST(ExtrasPowerOff, TeardownBeforeThePowerOffWhichNeedsThePrivilege) {
  for (bool privilege : {true, false}) {
    SCOPED_TRACE(privilege);
    Rig r;
    r.os.privilege = privilege;
    r.EnterHours("0.00056");  // 2 seconds
    r.Ticks(1);
    EXPECT_EQ(r.ui.Text(Ctl::标签关机), "00时00分01秒后关机");
    EXPECT_EQ(r.ui.TimerInterval(Timer::时钟关机), 0);
    // The waits run on a worker, the reset on one of its own.
    ASSERT_TRUE(r.host.WaitForAllWorkers());
    EXPECT_EQ(r.host.StartedCount(), 2);
    EXPECT_EQ(r.host.Waits().front(), 3000);
    std::vector<std::string> expected = {"AbortAndResetHotspot", "AcquireShutdownPrivilege"};
    if (privilege) expected.push_back("RequestPowerOff");
    EXPECT_EQ(r.log.Entries(), expected);
  }
}

TEST(ExtrasHue, StoredValueSliderAndReset) {
  struct Case {
    const char* ini;  // the settings file at start
    int move;         // the slider moved to this; -1 none
    bool reset;
    std::vector<int> hues;  // applied, in order
    const char *label, *stored;
  } cases[] = {
      {"", -1, false, {150}, "[150]", "310"},
      {"[skin]\r\ncolor=abc\r\n", -1, false, {-160}, "[-160]", "abc"},
      {"[skin]\r\ncolor=500\r\n", -1, false, {340}, "[180]", "500"},
      {"", 0, false, {150, -160}, "[-160]", "0"},
      {"", 340, false, {150, 180}, "[180]", "340"},
      {"[skin]\r\ncolor=20\r\n", -1, true, {-140, 150}, "[150]", "310"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.ini + std::to_string(c.move));
    Rig r;
    if (*c.ini) r.files.files[kSettingsPath] = c.ini;
    r.os.hues.clear();
    r.events.RunStartup(StartupPhase::kCreate, {});
    if (c.move >= 0) {
      r.ui.SetSliderPosition(Ctl::滑块条色调, c.move);
      r.events.Dispatch(Ctl::滑块条色调, E::kScroll, c.move);
    }
    if (c.reset) r.events.Dispatch(Ctl::按钮色调, E::kClick);
    EXPECT_EQ(r.os.hues, c.hues);
    EXPECT_EQ(r.ui.Text(Ctl::透明标签位置), c.label);
    EXPECT_EQ(r.settings.Read(setting::kSkinHue), c.stored);
    if (c.reset || c.move >= 0) {
      EXPECT_EQ(r.ui.SliderPosition(Ctl::滑块条色调), c.reset ? 310 : c.move);
    }
  }
}

TEST(ExtrasStartOptions, CheckBoxesShowWhatIsStored) {
  struct Case {
    bool exists, writable, box_after_click, value_after_click;
  } cases[] = {
      {false, true, true, true},    // on
      {true, true, false, false},   // off: the value is gone
      {false, false, false, false}, // no rights: stays off, as the registry says
      {true, false, true, true},    // no rights: stays on
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.exists) + std::to_string(c.writable));
    Rig r;
    r.os.run_value = c.exists;
    r.os.run_key_writable = c.writable;
    r.events.RunStartup(StartupPhase::kReady, {});
    ASSERT_EQ(r.ui.Checked(Ctl::选择框_开机启动), c.exists);
    r.Click(Ctl::选择框_开机启动);
    EXPECT_EQ(r.ui.Checked(Ctl::选择框_开机启动), c.box_after_click);
    EXPECT_EQ(r.os.run_value, c.value_after_click);
  }

  Rig r;
  for (const char* stored : {"y", "n"}) {
    r.Click(Ctl::选择框_启动);
    EXPECT_EQ(r.settings.Read(setting::kAutoStartHotspot), stored);
  }
  EXPECT_EQ(r.log.Count("Start"), 0);  // only the next start opens

  const std::pair<const char*, const char*> paths[] = {
      {"C:\\LumoraWiFi\\LumoraWiFi.exe", "C:\\LumoraWiFi\\LumoraWiFi.exe"},
      {"C:\\Program Files\\Lumora\\a.exe", "\"C:\\Program Files\\Lumora\\a.exe\""},
      {"\"C:\\a b\\a.exe\"", "\"C:\\a b\\a.exe\""},
  };
  for (const auto& [path, data] : paths) EXPECT_EQ(RunValueData(path), data);
}

TEST(ExtrasTheme, EveryTextReadsAtEveryHue) {
  EXPECT_NEAR(ContrastRatio({0, 0, 0}, {255, 255, 255}), 21.0, 1e-9);
  // Stored values beyond the slider's range reach the palette too.
  for (int hue = -400; hue <= 400; ++hue) {
    const Palette p = HuePalette(hue);
    const std::pair<Colour, Colour> pairs[] = {
        {p.window_text, p.window_background}, {p.page_text, p.page_background},
        {p.link_text, p.page_background},     {p.tab_text, p.tab_strip},
        {p.tab_selected_text, p.tab_selected}, {p.button_text, p.button_face},
    };
    for (const auto& [fore, back] : pairs)
      ASSERT_GE(ContrastRatio(fore, back), kMinTextContrast) << hue;
    for (std::size_t i = 0; i < p.captions.size(); ++i) {
      ASSERT_EQ(p.captions[i].group, kGroupCaptions[i].group);
      ASSERT_GE(ContrastRatio(p.captions[i].colour, p.page_background), kMinTextContrast) << hue;
    }
  }
  // Colours that read already stay as asked; pure red on a light page darkens.
  const Palette p = HuePalette(150);
  EXPECT_EQ(p.OnPage(kCaptionGreen), kCaptionGreen);
  EXPECT_EQ(p.OnPage(kCaptionRed), (Colour{p.OnPage(kCaptionRed).r, 0, 0}));
}

}  // namespace
}  // namespace lumora
