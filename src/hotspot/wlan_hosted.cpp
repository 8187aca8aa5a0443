// The hosted network through the WLAN functions (every system but Windows 7),
// with the sharing of its connection.
#include <algorithm>
#include <string>
#include <vector>

#include "common/gbk.h"
#include "common/stop_state.h"
#include "hotspot/hotspot_controller.h"

namespace lumora {

void HotspotController::StartHostedNetworkWithSharing(const std::string& ssid,
                                                      const std::string& key,
                                                      const std::string& public_name) {
  if (!p_.wlan.HostedNetworkEnabled()) p_.wlan.SetHostedNetworkEnabled(true);
  if (StopRequested()) return;
  const std::vector<std::string> before = p_.connections.ConnectionNames();
  if (p_.wlan.HostedNetworkActive() || StopRequested()) return;

  p_.wlan.InitSettings();
  p_.wlan.SetConnectionSettings(Utf8ToGbk(ssid));
  p_.wlan.SetSecondaryKey(Utf8ToGbk(key));
  p_.wlan.RefreshSecuritySettings();
  p_.wlan.ForceStart();
  if (StopRequested()) return;

  // The hosted adapter's connection appears when the network starts: the
  // last name that was not there before. Whole names are compared, so that
  // "本地连接* 1" is new even when "本地连接* 12" existed.
  std::string private_name;
  for (const std::string& name : p_.connections.ConnectionNames())
    if (std::find(before.begin(), before.end(), name) == before.end()) private_name = name;
  EnableSharingPair(public_name, private_name);
}

void HotspotController::StopHostedNetworkAndSharing() {
  if (p_.wlan.HostedNetworkActive()) p_.wlan.ForceStop();
  if (p_.wlan.HostedNetworkEnabled()) p_.wlan.SetHostedNetworkEnabled(false);
  DisableSharedConnections();
}

}  // namespace lumora
