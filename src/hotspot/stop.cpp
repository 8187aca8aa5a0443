// The other half of the hotspot's life: the button, stop, restart, and the
// reset before the program or the computer goes away.
#include <string>

#include "hotspot/hotspot_controller.h"
#include "hotspot/netsh_text.h"
#include "ui/shared_texts.h"

namespace lumora {

void HotspotController::OnStartButton() {
  switch (State()) {
    case HotspotState::kStopped:
      Start();
      return;
    case HotspotState::kRunning:
    case HotspotState::kHealing:
      StopHotspot();
      return;
    case HotspotState::kStarting:
    case HotspotState::kStopping:
      return;  // the button waits for them
  }
}

void HotspotController::StopHotspot() {
  const std::string connection = p_.ui.Text(Ctl::组合框1);
  const std::optional<HotspotTicket> ticket = model_.Apply(HotspotEvent::kStop);
  if (!ticket) return;
  {
    std::lock_guard lock(state_mutex_);
    connection_at_last_stop_ = connection;
  }
  Changed();
  // The commands run on a worker; the window is stopped meanwhile and its
  // button waits for them.
  Launch(*ticket, &HotspotController::RunStop);
}

void HotspotController::RunStop(HotspotTicket& ticket) {
  StopCommands();
  if (model_.Report(ticket, HotspotEvent::kStopDone)) Changed();
}

void HotspotController::StopCommands() {
  // netsh leaves the network allowed and sharing in place; the next start's
  // reset undoes them when needed.
  if (UsesNetsh(os_))
    p_.host.RunHiddenCommand(netsh::kStop);
  else
    StopHostedNetworkAndSharing();  // the Mobile Hotspot too, when the program started one
}

void HotspotController::RestartHotspot() {
  if (State() != HotspotState::kRunning) return;
  if (InputRefused(p_.ui.Text(Ctl::编辑框名称), p_.ui.Text(Ctl::编辑框密码))) return;
  p_.ui.SetText(Ctl::编辑框虚拟网卡, "");
  p_.ui.SetEnabled(Ctl::超级链接框_重启, false);
  p_.ui.SetMenuItemEnabled(MenuItem::重启WiFi, false);
  p_.ui.ShowTrayIcon(Image::kTrayOff, shared_text::kTrayWelcome);
  const std::optional<HotspotTicket> ticket = model_.Apply(HotspotEvent::kRestart);
  if (!ticket) return;
  {
    // The sequence sets the network again over the running one, after a
    // sharing reset; the re-runs already spent stay spent.
    std::lock_guard lock(state_mutex_);
    reset_sharing_requested_ = true;
  }
  Changed();
  Launch(*ticket, &HotspotController::RunStart);
}

void HotspotController::AbortAndResetHotspot() {
  // Whatever runs is asked to stop by the change itself and waited for by
  // Enter; a user's stop on its way is let finish first.
  std::optional<HotspotTicket> ticket;
  while (!(ticket = model_.Apply(HotspotEvent::kStop))) {
    model_.WaitWhileStopping();
    if (StopRequested()) return;
  }
  Changed();
  if (!model_.Enter(*ticket)) return;
  ResetAllSharing();
  model_.Leave();
  if (model_.Report(*ticket, HotspotEvent::kStopDone)) Changed();
}

}  // namespace lumora
