#pragma once
// The traffic monitor: the totals on the page "流量统计", the rates on the
// floating bar, and the bar itself (its option, position and popup). One
// object for the whole run; everything runs on the window thread.
#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>

#include "common/settings.h"
#include "hotspot/hotspot_control.h"
#include "net/interface_index.h"
#include "traffic/bar_port.h"
#include "traffic/counters.h"
#include "traffic/rates.h"
#include "ui/subsystem.h"
#include "ui/window_port.h"

namespace lumora {

struct TrafficPorts {
  WindowPort& ui;
  SettingsStore& settings;
  BarPort& bar;
  InterfaceIndexPort& index;
  CountersPort& counters;
  // The program's exit routine (the popup's "退出WiFi").
  std::function<void()> quit;
  // Shows the main window in its normal size and place (SW_SHOWNORMAL, which
  // also restores it from the task bar). Empty: only made visible.
  std::function<void()> show_main_normal;
  // A steady clock in milliseconds. Empty: std::chrono::steady_clock.
  std::function<std::int64_t()> now_ms;
  // The hotspot whose state starts and stops the timers; none in tests that
  // drive the moments themselves.
  HotspotControl* hotspot = nullptr;
};

// Moments of the program's life that start or stop the traffic timers:
// the hotspot's states and the shell's moments.
enum class TrafficMoment : unsigned char {
  kStartBegins,     // a start or a heal begins
  kStartSucceeded,  // the hotspot runs
  kStopped,         // the hotspot is being stopped or reset
  kHiddenToTray,    // "缩小到右下角"
  kMainClosing,     // the close box
  kQuitting,        // the program's exit routine
};

// The page "流量统计" of 选择夹1.
inline constexpr int kTrafficPage = 3;
inline constexpr int kTotalsIntervalMs = 1500;
inline constexpr int kBarIntervalMs = 1000;
// Yuan saved per megabyte of mobile data.
inline constexpr double kPricePerMegabyte = 0.3;

class TrafficMonitor : public BarEvents {
 public:
  explicit TrafficMonitor(TrafficPorts ports);
  Subsystem Registration();

  // Timer 时钟流量统计: the four labels of the traffic page.
  void UpdateTrafficTotals();
  // The rates for the bar's tick; nothing while no hosted adapter is known.
  std::optional<RateTexts> SampleRates();
  // Page change of 选择夹1.
  void OnTrafficPageSelection(int page);
  void OnMoment(TrafficMoment moment);

  // Start-up: the bar option from the settings (creation), then the bar
  // itself, shown per the option, once the system's version is known.
  void ShowStoredBarOption();
  void CreateBar();

  // The bar.
  void OnBarTick();
  void OnBarDoubleClick();
  void OnBarRightButtonDown();
  void OnShowBarOptionClicked();
  void OnBarMoved(Point top_left) override;
  void OnBarMouseDown() override;
  void OnBarLinkClicked(std::string_view msg) override;

 private:
  std::int64_t NowMs() const;
  void StartBarTimer();

  TrafficPorts p_;
  CounterSource source_;
  RateSampler rates_;
};

}  // namespace lumora
