#include "traffic/traffic_monitor.h"

#include <chrono>
#include <string>

#include "common/numbers.h"
#include "traffic/bar_rules.h"

namespace lumora {
namespace {

constexpr double kMegabyte = 1048576;

std::string Megabytes(std::uint64_t bytes) {
  return FormatFixed(static_cast<double>(bytes) / kMegabyte, 2) + " MB";
}

}  // namespace

TrafficMonitor::TrafficMonitor(TrafficPorts ports)
    : p_(std::move(ports)), source_(p_.index, p_.counters) {
  if (!p_.hotspot) return;
  p_.hotspot->Subscribe([this](HotspotState state) {
    switch (state) {
      case HotspotState::kStarting:
      case HotspotState::kHealing: return OnMoment(TrafficMoment::kStartBegins);
      case HotspotState::kRunning: return OnMoment(TrafficMoment::kStartSucceeded);
      case HotspotState::kStopping: return OnMoment(TrafficMoment::kStopped);
      case HotspotState::kStopped: return;
    }
  });
}

Subsystem TrafficMonitor::Registration() {
  Subsystem s;
  s.name = "traffic monitor";
  s.controls = {
      {Ctl::选择夹1, ControlEvent::kSelectionChange,
       [this](int page) { OnTrafficPageSelection(page); }},
      {Ctl::选择框显示流量, ControlEvent::kClick, [this](int) { OnShowBarOptionClicked(); }},
      {Ctl::流量条_透明标签1, ControlEvent::kDoubleClick, [this](int) { OnBarDoubleClick(); }},
      {Ctl::流量条_透明标签1, ControlEvent::kRightClick, [this](int) { OnBarRightButtonDown(); }},
  };
  s.timers = {
      {Timer::时钟流量统计, [this] { UpdateTrafficTotals(); }},
      {Timer::时钟流量, [this] { OnBarTick(); }},
  };
  s.shell = [this](ShellMoment moment) {
    OnMoment(moment == ShellMoment::kHiddenToTray  ? TrafficMoment::kHiddenToTray
             : moment == ShellMoment::kMainClosing ? TrafficMoment::kMainClosing
                                                   : TrafficMoment::kQuitting);
  };
  s.startup = {
      {StartupPhase::kCreate, [this](const StartupInfo&) { ShowStoredBarOption(); return true; }},
      {StartupPhase::kOsKnown, [this](const StartupInfo&) { CreateBar(); return true; }},
  };
  return s;
}

std::int64_t TrafficMonitor::NowMs() const {
  if (p_.now_ms) return p_.now_ms();
  using namespace std::chrono;
  return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

// --- totals

void TrafficMonitor::UpdateTrafficTotals() {
  WindowPort& ui = p_.ui;
  const std::string name = ui.Text(Ctl::编辑框虚拟网卡);
  if (name.empty()) return;
  const InterfaceCounters c = source_.Read(name).value_or(InterfaceCounters{});
  ui.SetText(Ctl::标签本次上传流量, Megabytes(c.InOctets));
  ui.SetText(Ctl::标签本次下载流量, Megabytes(c.OutOctets));
  // The total is the sum of the two figures as shown, and the money is
  // reckoned from the total as shown.
  const double total = ParseLeadingNumber(ui.Text(Ctl::标签本次上传流量)) +
                       ParseLeadingNumber(ui.Text(Ctl::标签本次下载流量));
  ui.SetText(Ctl::标签本次总流量, NumberText(total) + " MB");
  const double money = ParseLeadingNumber(ui.Text(Ctl::标签本次总流量)) * kPricePerMegabyte;
  ui.SetText(Ctl::标签本次总金额, FormatFixed(money, 2) + " 元");
}

void TrafficMonitor::OnTrafficPageSelection(int page) {
  if (page != kTrafficPage) {
    p_.ui.SetTimerInterval(Timer::时钟流量统计, 0);
    return;
  }
  // Before the hotspot has found its adapter there is nothing to count.
  if (!p_.ui.Text(Ctl::编辑框虚拟网卡).empty())
    p_.ui.SetTimerInterval(Timer::时钟流量统计, kTotalsIntervalMs);
}

// --- rates

std::optional<RateTexts> TrafficMonitor::SampleRates() {
  const std::string name = p_.ui.Text(Ctl::编辑框虚拟网卡);
  if (name.empty()) {
    rates_.Restart();  // the hotspot stopped: the run is over
    return std::nullopt;
  }
  const auto counters = source_.Read(name);
  return rates_.Next(name, counters, NowMs());
}

void TrafficMonitor::OnBarTick() {
  if (const auto texts = SampleRates()) p_.bar.SetRateTexts(texts->download, texts->upload);
}

void TrafficMonitor::StartBarTimer() {
  rates_.Restart();
  p_.ui.SetTimerInterval(Timer::时钟流量, kBarIntervalMs);
}

// --- lifecycle

void TrafficMonitor::OnMoment(TrafficMoment moment) {
  WindowPort& ui = p_.ui;
  switch (moment) {
    case TrafficMoment::kStartBegins:
    case TrafficMoment::kStopped:
      ui.SetTimerInterval(Timer::时钟流量统计, 0);
      ui.SetTimerInterval(Timer::时钟流量, 0);
      break;
    case TrafficMoment::kStartSucceeded:
      if (ui.Checked(Ctl::选择框显示流量)) StartBarTimer();
      break;
    case TrafficMoment::kHiddenToTray:
      ui.SetTimerInterval(Timer::时钟流量统计, 0);
      break;
    case TrafficMoment::kMainClosing:
      if (p_.bar.Exists()) {
        p_.bar.SetVisible(false);
        ui.SetTimerInterval(Timer::时钟流量, 0);
      }
      ui.SetTimerInterval(Timer::时钟流量统计, 0);
      break;
    case TrafficMoment::kQuitting:
      if (p_.bar.Exists()) p_.bar.SetVisible(false);
      break;
  }
}

// --- the bar

void TrafficMonitor::ShowStoredBarOption() {
  p_.ui.SetChecked(Ctl::选择框显示流量, p_.settings.Read(setting::kTrafficBar) == bar_text::kOn);
}

void TrafficMonitor::CreateBar() {
  BarPort& bar = p_.bar;
  if (!bar.Exists()) bar.Create();
  bar.SetTooltip(bar_text::kTooltip);
  const Size screen = bar.ScreenSize();
  const std::string stored = p_.settings.ReadSetting(
      setting::kBarPosition.section, setting::kBarPosition.key,
      FloatingBarDefaultPosition(screen.width, screen.height));
  // Anything but two parts leaves the design position.
  if (const auto position = ParseBarPosition(stored)) bar.SetPosition(*position);
  StartBarTimer();
  bar.SetVisible(p_.ui.Checked(Ctl::选择框显示流量));
}

void TrafficMonitor::OnBarMoved(Point top_left) {
  p_.settings.Write(setting::kBarPosition, BarPositionText(top_left));
}

void TrafficMonitor::OnBarMouseDown() { p_.bar.BeginDrag(); }

void TrafficMonitor::OnBarDoubleClick() { p_.ui.ShowMainCentred(); }

void TrafficMonitor::OnBarRightButtonDown() {
  p_.bar.ShowPopup(PopupFor(p_.bar.Position(), p_.bar.ScreenSize()), bar_text::kPopupMarkup);
}

void TrafficMonitor::OnBarLinkClicked(std::string_view msg) {
  if (msg == bar_text::kShowMain) {
    p_.bar.HidePopup();
    if (p_.show_main_normal)
      p_.show_main_normal();
    else
      p_.ui.SetMainVisible(true);
  } else if (msg == bar_text::kHideBar) {
    p_.bar.HidePopup();
    p_.bar.SetVisible(false);
    p_.ui.SetTimerInterval(Timer::时钟流量, 0);
    p_.ui.SetChecked(Ctl::选择框显示流量, false);
    p_.settings.Write(setting::kTrafficBar, bar_text::kOff);
  } else if (msg == bar_text::kQuit) {
    p_.bar.HidePopup();
    if (p_.quit) p_.quit();
  }
}

void TrafficMonitor::OnShowBarOptionClicked() {
  const bool on = p_.ui.Checked(Ctl::选择框显示流量);
  p_.settings.Write(setting::kTrafficBar, on ? bar_text::kOn : bar_text::kOff);
  if (!p_.bar.Exists()) return;
  p_.bar.SetVisible(on);
  if (on)
    StartBarTimer();
  else
    p_.ui.SetTimerInterval(Timer::时钟流量, 0);
}

}  // namespace lumora
