// The start on every system but Windows 7: the hosted network through the
// WLAN functions, with the sharing of its connection.
#include <string>

#include "hotspot/hotspot_controller.h"

namespace lumora {

// False when the start ends here (refused, or asked to stop).
bool HotspotController::StartWithWlan() {
  if (!ConnectionChosen()) return false;
  RememberHostedOutput("");
  {
    std::lock_guard lock(state_mutex_);
    wlan_private_name_.clear();
  }
  // The texts as the boxes hold them.
  StartHostedNetworkWithSharing(p_.ui.Text(Ctl::编辑框名称), p_.ui.Text(Ctl::编辑框密码),
                                p_.ui.Text(Ctl::组合框1));
  if (StopRequested()) return false;
  // Not started: the failure check that follows reports why.
  if (!LastHostedOutput().empty()) return true;
  FindHostedAdapterName(&HotspotController::FindHostedAdapter, 300);
  return !StopRequested();
}

}  // namespace lumora
