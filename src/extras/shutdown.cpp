// The timed power-off: the countdown on 标签关机, the warning 45 seconds
// before the end, and the end itself.
#include <chrono>

#include "extras/extras.h"

namespace lumora {
namespace {

constexpr int kTickMs = 1000;
constexpr int kEnterKey = 13;
// After the teardown has begun the power-off waits this long before it is
// asked; a teardown still running then gets at most kTeardownGrace
// more, so that the sharing is gone before the computer goes.
constexpr int kTeardownWaitMs = 3000;
constexpr auto kTeardownGrace = std::chrono::seconds(30);
constexpr int kGraceStepMs = 100;

}  // namespace

void Extras::StartOrCancelCountdown() {
  StartOrCancelCountdownWith(p_.ui.Text(Ctl::组合框_关机));
}

void Extras::OnShutdownHoursChosen(int index) {
  p_.ui.SetChecked(Ctl::选择框关机, true);
  // The chosen item itself: the box's text may still be the previous one
  // while the choice is being made.
  const auto items = p_.ui.Items(Ctl::组合框_关机);
  if (index >= 0 && index < int(items.size())) StartOrCancelCountdownWith(items[index]);
  else StartOrCancelCountdown();
}

void Extras::OnShutdownHoursKey(int key) {
  if (key != kEnterKey) return;
  p_.ui.SetChecked(Ctl::选择框关机, true);
  StartOrCancelCountdown();
}

void Extras::StartOrCancelCountdownWith(const std::string& hours) {
  WindowPort& ui = p_.ui;
  if (ui.Checked(Ctl::选择框关机)) {
    if (auto countdown = CountdownFromHoursText(hours)) {
      countdown_ = *countdown;
      ui.SetVisible(Ctl::标签关机, true);
      ui.SetText(Ctl::标签关机, CountdownText(countdown_));
      ui.SetTimerInterval(Timer::时钟关机, kTickMs);
      return;
    }
    // No positive number of hours: nothing may switch the computer off.
    ui.SetChecked(Ctl::选择框关机, false);
  }
  ui.SetVisible(Ctl::标签关机, false);
  ui.SetTimerInterval(Timer::时钟关机, 0);
}

void Extras::ShutdownTick() {
  WindowPort& ui = p_.ui;
  const TickResult result = TakeOneSecond(countdown_);
  if (result == TickResult::kWrapped) return;
  ui.SetText(Ctl::标签关机, CountdownText(countdown_));
  if (result == TickResult::kWarning) ui.ShowMainCentred();
  if (result == TickResult::kEnd) {
    ui.SetTimerInterval(Timer::时钟关机, 0);
    TearDownAndPowerOff();
  }
}

void Extras::TearDownAndPowerOff() {
  if (!p_.host) {
    p_.hotspot.AbortAndResetHotspot();
    PowerOff();
    return;
  }
  // The waits run on a worker of their own: the window stays responsive.
  teardown_worker_ = p_.host->StartWorkerThread([this] {
    CommandHost& host = *p_.host;
    HotspotControl& hotspot = p_.hotspot;
    const WorkerHandle reset = host.StartWorkerThread([&hotspot] { hotspot.AbortAndResetHotspot(); });
    host.WaitResponsive(kTeardownWaitMs);
    const auto give_up = std::chrono::steady_clock::now() + kTeardownGrace;
    while (!reset->Finished() && std::chrono::steady_clock::now() < give_up && !StopRequested())
      host.WaitResponsive(kGraceStepMs);
    PowerOff();
  });
}

void Extras::PowerOff() {
  if (p_.power && p_.power->AcquireShutdownPrivilege()) p_.power->RequestPowerOff();
}

void Extras::StopWorkers() {
  if (p_.host && teardown_worker_) p_.host->StopWorkerThread(teardown_worker_);
}

}  // namespace lumora
