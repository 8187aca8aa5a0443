// The other half of the hotspot's life: stop, restart, and the reset before
// the program or the computer goes away.
#include <string>
#include <vector>

#include "hotspot/hotspot_controller.h"
#include "hotspot/netsh_text.h"
#include "ui/shared_texts.h"

namespace lumora {

void HotspotController::ShowStoppedState() {
  p_.ui.SetText(Ctl::标签9, "未启动");
  ShowStoppedLook();
  p_.ui.SetEnabled(Ctl::编辑框名称, true);
  p_.ui.SetEnabled(Ctl::编辑框密码, true);
}

void HotspotController::StopHotspot() {
  p_.ui.SetEnabled(Ctl::按钮开始, false);
  p_.ui.SetText(Ctl::按钮开始, shared_text::kStartCaption);
  p_.ui.SetEnabled(Ctl::组合框1, true);
  ShowStoppedState();
  {
    std::lock_guard lock(state_mutex_);
    connection_at_last_stop_ = p_.ui.Text(Ctl::组合框1);
  }
  // netsh leaves the network allowed and sharing in place; the next start's
  // reset undoes them when needed.
  if (UsesNetsh(os_))
    p_.host.RunHiddenCommand(netsh::kStop);
  else
    StopHostedNetworkAndSharing();  // the Mobile Hotspot too, when the program started one
  p_.ui.SetMenuItemEnabled(MenuItem::重启WiFi, false);
  p_.ui.SetEnabled(Ctl::按钮开始, true);
  p_.ui.ShowTrayIcon(Image::kTrayOff, shared_text::kTrayWelcome);
}

void HotspotController::RestartHotspot() {
  p_.ui.SetText(Ctl::编辑框虚拟网卡, "");
  p_.ui.SetEnabled(Ctl::超级链接框_重启, false);
  p_.ui.SetMenuItemEnabled(MenuItem::重启WiFi, false);
  p_.ui.ShowTrayIcon(Image::kTrayOff, shared_text::kTrayWelcome);
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
  for (Timer t : kClientTimers) p_.ui.SetTimerInterval(t, 0);
  p_.ui.SetEnabled(Ctl::按钮开始, true);
  p_.ui.SetText(Ctl::按钮开始, shared_text::kStartCaption);
  ShowStoppedState();
  ResetAllSharing();
}

}  // namespace lumora
