// The controller's registration in the program, its state model and the
// workers that change it, and the values it shares with the tests.
#include "hotspot/hotspot_controller.h"

namespace lumora {

Subsystem HotspotController::Registration() {
  Subsystem s;
  s.name = "hotspot";
  const auto on = [this](ControlEvent e, Ctl c, void (HotspotController::*handler)()) {
    return ControlRoute{c, e, [this, handler](int) { (this->*handler)(); }};
  };
  s.controls = {
      on(ControlEvent::kClick, Ctl::按钮开始, &HotspotController::OnStartButton),
      on(ControlEvent::kClick, Ctl::超级链接框_重启, &HotspotController::RestartHotspot),
      on(ControlEvent::kClick, Ctl::选择框2, &HotspotController::OnRememberClicked),
      on(ControlEvent::kClick, Ctl::按钮查看连接, &HotspotController::OpenConnectionsFolder),
      on(ControlEvent::kFocusLost, Ctl::组合框1, &HotspotController::OnConnectionChanged),
      on(ControlEvent::kClick, Ctl::选择框_自动恢复, &HotspotController::OnAutoHealClicked),
  };
  s.timers = {
      {Timer::时钟状态, [this] { OnStatusTimer(); }},
      {Timer::时钟_右下角灰动, [this] { OnTrayAnimationTimer(); }},
      {Timer::时钟守护, [this] { OnWatchTick(); }},
  };
  s.menus = {{MenuItem::重启WiFi, [this] { RestartHotspot(); }}};
  const auto step = [this](StartupPhase phase, void (HotspotController::*run)(),
                           bool side_by_side = false) {
    return StartupStep{phase,
                       [this, run](const StartupInfo&) {
                         (this->*run)();
                         return true;
                       },
                       side_by_side};
  };
  s.startup = {
      step(StartupPhase::kCreate, &HotspotController::ShowStoredAutoHeal),
      {StartupPhase::kOsKnown, [this](const StartupInfo& info) {
         SetOsCode(info.os);
         return true;
       }},
      // The reset and the list need nothing of each other; the choice needs
      // both (the wired names the reset collects, the list's items).
      step(StartupPhase::kNetwork, &HotspotController::ResetAtLaunch, true),
      step(StartupPhase::kNetwork, &HotspotController::FillConnectionList, true),
      step(StartupPhase::kNetwork, &HotspotController::ChooseDefaultConnection),
      step(StartupPhase::kBackground, &HotspotController::PrepareServices),
  };
  s.stop_workers = [this] {
    StopWatch();
    StopLaunchReset();
  };
  s.teardown = [this] { AbortAndResetHotspot(); };
  return s;
}

// --- the state and the workers that change it

void HotspotController::Subscribe(std::function<void(HotspotState)> changed) {
  model_.AddListener(std::move(changed));
}

void HotspotController::Changed() {
  p_.ui.Post([this] { model_.Deliver(); });
}

void HotspotController::Launch(const HotspotTicket& ticket,
                               void (HotspotController::*body)(HotspotTicket&)) {
  WorkerHandle worker = p_.host.StartWorkerThread([this, own = ticket, body]() mutable {
    WaitForLaunchReset();
    if (!model_.Enter(own)) return;
    (this->*body)(own);
    model_.Leave();
  });
  std::lock_guard lock(state_mutex_);
  worker_ = std::move(worker);
}

bool HotspotController::Start() {
  // The input is checked before anything changes: a refused start leaves
  // the window as it was, with the reason in a balloon.
  if (State() != HotspotState::kStopped) return false;
  if (InputRefused(p_.ui.Text(Ctl::编辑框名称), p_.ui.Text(Ctl::编辑框密码))) return false;
  {
    // A start by the user: fresh re-runs, and fresh heals for what follows.
    std::lock_guard lock(state_mutex_);
    start_retry_count_ = 0;
    heal_budget_ = HealBudget{};
  }
  const std::optional<HotspotTicket> ticket = model_.Apply(HotspotEvent::kStart);
  if (!ticket) return false;
  Changed();
  Launch(*ticket, &HotspotController::RunStart);
  return true;
}

// --- controller state

std::string HotspotController::ShareStatus() const {
  std::lock_guard lock(state_mutex_);
  return share_status_;
}
std::string HotspotController::LastHostedOutput() const {
  std::lock_guard lock(state_mutex_);
  return last_hosted_output_;
}
bool HotspotController::LastStartFailed() const {
  std::lock_guard lock(state_mutex_);
  return last_start_failed_;
}
bool HotspotController::ResetSharingRequested() const {
  std::lock_guard lock(state_mutex_);
  return reset_sharing_requested_;
}
int HotspotController::StartRetryCount() const {
  std::lock_guard lock(state_mutex_);
  return start_retry_count_;
}
bool HotspotController::SharingPassDone() const {
  std::lock_guard lock(state_mutex_);
  return sharing_pass_done_;
}
WorkerHandle HotspotController::Worker() const {
  std::lock_guard lock(state_mutex_);
  return worker_;
}

}  // namespace lumora
