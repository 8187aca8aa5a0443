// The start through the system's own Mobile Hotspot, for wireless adapters
// that offer no hosted network (Windows 10 1607 and later): the tethering
// manager configures and starts the access point and shares the connection
// itself.
#include <optional>
#include <string>

#include "hotspot/hotspot_controller.h"
#include "common/text.h"
#include "hotspot/netsh_text.h"

namespace lumora {
namespace {

constexpr char kDriversCommand[] = "netsh wlan show drivers";

}  // namespace

HotspotPath HotspotController::ChoosePath() {
  if (UsesNetsh(os_)) return HotspotPath::kNetsh;
  PathFacts facts;
  facts.os = os_;
  facts.real = p_.tethering.RealVersion();
  // The runtime is not touched on systems older than Windows 10 1607, and
  // the driver is asked only where its answer can change the way.
  facts.tethering = IsTetheringBuild(facts.real) && p_.tethering.Available();
  if (facts.tethering)
    facts.hosted = HostedSupportFromDrivers(p_.host.RunHiddenCommand(kDriversCommand));
  return ChooseHotspotPath(facts);
}

// False when the start ends here (refused, or asked to stop).
bool HotspotController::StartWithMobileHotspot() {
  if (!ConnectionChosen()) return false;
  RememberHostedOutput("");
  const std::string connection = TrimSpaces(p_.ui.Text(Ctl::组合框1));
  // A connection the system does not let share (group policy, the
  // operator) is refused for its own reason before anything is set.
  TetheringResult result = p_.tethering.Capability(connection);
  if (StopRequested()) return false;
  if (result.ok)
    result = p_.tethering.Configure(connection, p_.ui.Text(Ctl::编辑框名称), p_.ui.Text(Ctl::编辑框密码));
  if (StopRequested()) return false;
  if (result.ok) result = p_.tethering.Start(connection);
  if (StopRequested()) return false;
  if (!result.ok) {
    // Reported by the failure check that follows, as a start that failed.
    RememberHostedOutput("无法启动移动热点。\r\n原因：" +
                         (result.message.empty() ? std::string("系统拒绝了开启请求") : result.message));
    return true;
  }
  {
    std::lock_guard lock(state_mutex_);
    tethering_connection_ = connection;
    tethering_started_ = true;
  }
  KeepRunningWithoutClients();
  FindHostedAdapterName(&HotspotController::FindTetheringAdapter, 300);
  return !StopRequested();
}

// Windows switches its Mobile Hotspot off after some minutes without a
// client. While the program's hotspot runs that switch is off; the user's
// own setting comes back when it stops. A start while the setting is kept
// (a restart) leaves it kept: the switch reads off by then.
void HotspotController::KeepRunningWithoutClients() {
  {
    std::lock_guard lock(state_mutex_);
    if (restore_no_clients_timeout_) return;
  }
  const std::optional<bool> timeout = p_.tethering.NoClientsTimeout();
  if (!timeout.value_or(false) || !p_.tethering.SetNoClientsTimeout(false)) return;
  std::lock_guard lock(state_mutex_);
  restore_no_clients_timeout_ = true;
}

void HotspotController::RestoreNoClientsTimeout() {
  {
    std::lock_guard lock(state_mutex_);
    if (!restore_no_clients_timeout_) return;
  }
  // Kept for the next stop when the system refuses now.
  if (!p_.tethering.SetNoClientsTimeout(true)) return;
  std::lock_guard lock(state_mutex_);
  restore_no_clients_timeout_ = false;
}

bool HotspotController::MobileHotspotRunning() {
  std::string connection;
  {
    std::lock_guard lock(state_mutex_);
    connection = tethering_connection_;
  }
  return p_.tethering.Running(connection);
}

void HotspotController::StopMobileHotspot() {
  std::string connection;
  bool started;
  {
    std::lock_guard lock(state_mutex_);
    started = tethering_started_;  // never one the user started elsewhere
    tethering_started_ = false;
    connection = tethering_connection_;
  }
  if (started) p_.tethering.Stop(connection);
  RestoreNoClientsTimeout();
}

std::optional<std::vector<HotspotClient>> HotspotController::MobileHotspotClients() {
  std::string connection;
  {
    std::lock_guard lock(state_mutex_);
    if (!tethering_started_) return std::nullopt;
    connection = tethering_connection_;
  }
  std::vector<HotspotClient> clients;
  for (TetheringClient& c : p_.tethering.Clients(connection))
    clients.push_back({std::move(c.mac), c.host_names.empty() ? std::string() : c.host_names[0]});
  return clients;
}

void HotspotController::FindTetheringAdapter() {
  // The Mobile Hotspot runs on the Wi-Fi Direct virtual adapter.
  std::string found;
  for (const AdapterInfo& a : p_.adapters.Adapters())
    if (FindNoCase(a.description, "Wi-Fi Direct") != std::string::npos ||
        FindNoCase(a.description, "WiFi Direct") != std::string::npos)
      found = a.connection_name;
  if (!found.empty()) p_.ui.SetText(Ctl::编辑框虚拟网卡, found);
}

}  // namespace lumora
