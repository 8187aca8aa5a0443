// The hosted network through the WLAN functions (every system but Windows 7),
// with the sharing of its connection.
#include <algorithm>
#include <string>
#include <vector>

#include "common/gbk.h"
#include "common/stop_state.h"
#include "common/text.h"
#include "hotspot/hotspot_controller.h"
#include "hotspot/wlan_failure.h"

namespace lumora {

void HotspotController::StartHostedNetworkWithSharing(const std::string& ssid,
                                                      const std::string& key,
                                                      const std::string& public_name) {
  // A hosted network that cannot be enabled or started is a failed start,
  // reported as such: nothing is shared for it.
  if (!p_.wlan.HostedNetworkEnabled() && !p_.wlan.SetHostedNetworkEnabled(true)) {
    RememberHostedOutput(WlanFailureText(WlanStep::kEnable, p_.wlan.LastFailure()));
    return;
  }
  if (StopRequested()) return;
  const std::vector<std::string> before = p_.connections.ConnectionNames();
  if (p_.wlan.HostedNetworkActive() || StopRequested()) return;

  p_.wlan.InitSettings();
  p_.wlan.SetConnectionSettings(Utf8ToGbk(ssid));
  p_.wlan.SetSecondaryKey(Utf8ToGbk(key));
  p_.wlan.RefreshSecuritySettings();
  if (!p_.wlan.ForceStart()) {
    RememberHostedOutput(WlanFailureText(WlanStep::kStart, p_.wlan.LastFailure()));
    return;
  }
  if (StopRequested()) return;

  // The private side is the hosted network's own adapter. Only when its
  // status names none: the last connection that was not there before (whole
  // names compared, so "本地连接* 1" is new even when "本地连接* 12" existed).
  std::string private_name = HostedConnectionName();
  if (private_name.empty())
    for (const std::string& name : p_.connections.ConnectionNames())
      if (std::find(before.begin(), before.end(), name) == before.end()) private_name = name;
  {
    std::lock_guard lock(state_mutex_);
    wlan_private_name_ = private_name;
  }
  EnableSharingPair(public_name, private_name);
}

std::string HotspotController::HostedConnectionName() {
  const std::string id = p_.wlan.HostedDeviceId();
  if (id.empty()) return {};
  for (const AdapterInfo& a : p_.adapters.Adapters())
    if (a.id.size() == id.size() && FindNoCase(a.id, id) == 0) return a.connection_name;
  return {};
}

bool HotspotController::HostedConnectionShared() {
  std::string name;
  {
    std::lock_guard lock(state_mutex_);
    name = wlan_private_name_;
  }
  if (name.empty()) name = HostedConnectionName();  // it was running already
  if (name.empty()) return false;
  bool shared = false;
  p_.sharing.ForEveryConnection(SharingProgId::kHNetShare1, [&](SharingConnection& c) {
    if (!shared && c.Name() == name) shared = c.SharingEnabled();
  });
  return shared;
}

void HotspotController::StopHostedNetworkAndSharing() {
  StopMobileHotspot();
  if (p_.wlan.HostedNetworkActive()) p_.wlan.ForceStop();
  if (p_.wlan.HostedNetworkEnabled()) p_.wlan.SetHostedNetworkEnabled(false);
  DisableSharedConnections();
}

}  // namespace lumora
