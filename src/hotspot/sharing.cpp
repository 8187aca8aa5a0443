// Internet connection sharing through the sharing manager, and the hosted
// network through the WLAN functions. Every call may fail; a failure is
// passed over and the walk goes on, the start's final check tells.
#include <algorithm>
#include <string>
#include <vector>

#include "common/gbk.h"
#include "hotspot/hotspot_controller.h"
#include "hotspot/netsh_text.h"

namespace lumora {
namespace {

int CountOccurrences(std::string_view text, std::string_view needle) {
  int count = 0;
  for (std::size_t pos = text.find(needle); pos != std::string_view::npos;
       pos = text.find(needle, pos + needle.size()))
    ++count;
  return count;
}

void Append(WindowPort& ui, Ctl box, const std::string& text) {
  ui.SetText(box, ui.Text(box) + text);
}

}  // namespace

void HotspotController::ResetAllSharing() {
  p_.sharing.ForEveryConnection(SharingProgId::kHNetShare, [this](SharingConnection& c) {
    if (StopRequested()) return;
    c.DisableSharing();
    const std::string name = c.Name();
    // Wired connections are collected for the automatic detection, which
    // only learns "LAN 连接" from the system.
    if (name.find("本地") != std::string::npos) Append(p_.ui, Ctl::编辑框去除多个本地, name);
    if (os_code_ == 6 && name.find("以太") != std::string::npos)
      Append(p_.ui, Ctl::编辑框去除多个本地, name);
    p_.host.WaitResponsive(2);
  });
  if (StopRequested()) return;

  // The box keeps collecting across resets; a name seen two or three times
  // stands for one connection.
  const std::string collected = p_.ui.Text(Ctl::编辑框去除多个本地);
  const int local = CountOccurrences(collected, "本地");
  if (local == 2 || local == 3) p_.ui.SetText(Ctl::编辑框去除多个本地, "本地连接");
  if (os_code_ != 5) {
    const int ethernet = CountOccurrences(p_.ui.Text(Ctl::编辑框去除多个本地), "以太网");
    if (ethernet == 2 || ethernet == 3) p_.ui.SetText(Ctl::编辑框去除多个本地, "以太网");
    StopHostedNetworkAndSharing();
  }
  if (StopRequested()) return;
  p_.host.RunHiddenCommand(netsh::kDisallow);
}

void HotspotController::EnableSharingForHotspot() {
  const std::string private_name = p_.ui.Text(Ctl::编辑框虚拟网卡);
  const std::string public_name = netsh::TrimSpaces(p_.ui.Text(Ctl::组合框1));
  p_.sharing.ForEveryConnection(SharingProgId::kHNetShare, [&](SharingConnection& c) {
    if (StopRequested()) return;
    // A name that could not be read is empty: it must not pass for an empty
    // box, or an unknown connection would be shared.
    const std::string name = c.Name();
    if (!name.empty() && name == private_name) c.EnableSharing(SharingType::kPrivate);
    if (!name.empty() && name == public_name) c.EnableSharing(SharingType::kPublic);
    p_.host.WaitResponsive(2);
  });
  std::lock_guard lock(state_mutex_);
  sharing_pass_done_ = true;
}

bool HotspotController::EnableSharingPair(const std::string& public_name,
                                          const std::string& private_name) {
  p_.sharing.ForEveryConnection(SharingProgId::kHNetShare1, [&](SharingConnection& c) {
    if (StopRequested()) return;
    const std::string name = c.Name();
    if (name.empty()) return;
    if (name == public_name)
      c.EnableSharing(SharingType::kPublic);
    else if (name == private_name)
      c.EnableSharing(SharingType::kPrivate);
    p_.host.WaitResponsive(0);
  });
  return p_.sharing.PublicCount(SharingProgId::kHNetShare1) == 1 &&
         p_.sharing.PrivateCount(SharingProgId::kHNetShare1) == 1;
}

std::string HotspotController::GetSharedPublicConnectionName() {
  std::string shared;
  p_.sharing.ForPublicConnections(SharingProgId::kHNetShare1, [&](SharingConnection& c) {
    if (c.SharingEnabled()) {
      shared = c.Name();
      return false;
    }
    p_.host.WaitResponsive(0);
    return true;
  });
  return shared;
}

void HotspotController::DisableSharedConnections() {
  p_.sharing.ForEveryConnection(SharingProgId::kHNetShare1, [](SharingConnection& c) {
    if (c.SharingEnabled()) c.DisableSharing();
  });
}

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
