// The other half of the hotspot's life: the start/stop button, stop,
// restart, the reset before the program or the computer goes away, and the
// services sharing depends on.
#include <optional>
#include <string>
#include <vector>

#include "hotspot/hotspot_controller.h"
#include "hotspot/netsh_text.h"

namespace lumora {

void HotspotController::OnStartButton() {
  if (p_.ui.Text(Ctl::按钮开始) != hotspot_text::kStartCaption) {
    p_.ui.SetText(Ctl::编辑框虚拟网卡, "");
    p_.ui.ClearRows(Ctl::超级列表框1);
    p_.ui.SetVisible(Ctl::超级链接框_重启, false);
    for (Timer t : {Timer::时钟_黑, Timer::时钟_白, Timer::时钟流量统计, Timer::时钟流量})
      p_.ui.SetTimerInterval(t, 0);
    StopHotspot();
    return;
  }
  std::lock_guard lock(state_mutex_);
  start_retry_count_ = 0;
  start_worker_ = p_.host.StartWorkerThread([this] { StartHotspot(); });
}

void HotspotController::ShowStoppedState() {
  p_.ui.SetText(Ctl::标签9, "未启动");
  p_.ui.SetTimerInterval(Timer::时钟状态, 0);
  p_.ui.SetPicture(Ctl::图片框状态, Image::kStatusStopped);
  p_.ui.SetTimerInterval(Timer::时钟_右下角灰动, 0);
  p_.ui.SetTrayIcon(Image::kTrayOff);
  p_.ui.SetEnabled(Ctl::编辑框名称, true);
  p_.ui.SetEnabled(Ctl::编辑框密码, true);
}

void HotspotController::StopHotspot() {
  p_.ui.SetEnabled(Ctl::按钮开始, false);
  p_.ui.SetText(Ctl::按钮开始, hotspot_text::kStartCaption);
  p_.ui.SetEnabled(Ctl::组合框1, true);
  ShowStoppedState();
  {
    std::lock_guard lock(state_mutex_);
    connection_at_last_stop_ = p_.ui.Text(Ctl::组合框1);
  }
  // netsh leaves the network allowed and sharing in place; the next start's
  // reset undoes them when needed.
  if (os_code_ == 5)
    p_.host.RunHiddenCommand(netsh::kStop);
  else
    StopHostedNetworkAndSharing();
  p_.ui.SetMenuItemEnabled(MenuItem::重启WiFi, false);
  p_.ui.SetEnabled(Ctl::按钮开始, true);
  p_.ui.ShowTrayIcon(Image::kTrayOff, hotspot_text::kTrayWelcome);
}

void HotspotController::RestartHotspot() {
  p_.ui.SetText(Ctl::编辑框虚拟网卡, "");
  p_.ui.SetEnabled(Ctl::超级链接框_重启, false);
  p_.ui.SetMenuItemEnabled(MenuItem::重启WiFi, false);
  p_.ui.ShowTrayIcon(Image::kTrayOff, hotspot_text::kTrayWelcome);
  std::lock_guard lock(state_mutex_);
  reset_sharing_requested_ = true;
  restart_worker_ = p_.host.StartWorkerThread([this] { StartHotspot(); });
}

void HotspotController::AbortAndResetHotspot() {
  // The start's workers end first: they write the same controls and enable
  // sharing, and must neither overwrite the stopped state nor undo the reset.
  // Asking under the lock pairs with the re-run, which starts its successor
  // under the same lock only when no stop was asked. The failed start calls
  // this on its own worker, which is not waited for.
  std::vector<WorkerHandle> running;
  {
    std::lock_guard lock(state_mutex_);
    for (const WorkerHandle& w : {start_worker_, restart_worker_}) {
      if (!w || &w->Stop() == CurrentStop()) continue;
      w->Stop().RequestStop();
      running.push_back(w);
    }
  }
  for (const WorkerHandle& w : running) p_.host.StopWorkerThread(w);

  p_.ui.SetText(Ctl::编辑框虚拟网卡, "");
  for (Timer t : {Timer::时钟_黑, Timer::时钟_白, Timer::时钟流量统计})
    p_.ui.SetTimerInterval(t, 0);
  p_.ui.SetEnabled(Ctl::按钮开始, true);
  p_.ui.SetText(Ctl::按钮开始, hotspot_text::kStartCaption);
  ShowStoppedState();
  ResetAllSharing();
}

void HotspotController::PrepareServices() {
  struct Service {
    const char* name;
    int start_type;
    bool start;
  };
  static constexpr Service kServices[] = {
      {"SharedAccess", static_cast<int>(ServiceStartType::kDemand), false},
      {"MpsSvc", static_cast<int>(ServiceStartType::kAutomatic), true},
  };
  for (const Service& s : kServices) {
    const std::optional<int> type = p_.services.StartType(s.name);
    if (type != s.start_type) p_.services.SetStartType(s.name, s.start_type);
    if (!s.start) continue;
    // A state that cannot be read is tried too: the failing start is what
    // tells the user that the firewall is missing.
    const std::optional<bool> stopped = p_.services.IsStopped(s.name);
    if ((!stopped || *stopped) && !p_.services.Start(s.name))
      p_.ui.ShowMessage("防火墙打开失败，所依赖服务可能不完整！", "提示", MessageIcon::kError,
                        MessageButtons::kOk);
  }
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
