// The controller's registration in the program and the state it shares with
// the client guard and the tests.
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
  };
  s.timers = {
      {Timer::时钟状态, [this] { OnStatusTimer(); }},
      {Timer::时钟_右下角灰动, [this] { OnTrayAnimationTimer(); }},
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
      {StartupPhase::kOsKnown, [this](const StartupInfo& info) {
         SetOsCode(info.os);
         return true;
       }},
      // The reset and the list need nothing of each other; the choice needs
      // both (the wired names the reset collects, the list's items).
      step(StartupPhase::kNetwork, &HotspotController::ResetAllSharing, true),
      step(StartupPhase::kNetwork, &HotspotController::FillConnectionList, true),
      step(StartupPhase::kNetwork, &HotspotController::ChooseDefaultConnection),
      step(StartupPhase::kBackground, &HotspotController::PrepareServices),
  };
  s.teardown = [this] { AbortAndResetHotspot(); };
  return s;
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
WorkerHandle HotspotController::StartWorker() const {
  std::lock_guard lock(state_mutex_);
  return start_worker_;
}

}  // namespace lumora
