// The start on Windows 7: the hosted network through netsh, the fixed
// address of its adapter and the sharing of its connection.
#include <optional>
#include <string>

#include "hotspot/hotspot_controller.h"
#include "hotspot/netsh_text.h"

namespace lumora {
namespace {

constexpr char kNoAdminRights[] =
    "无法开启！共享需要管理员权限，检测到您的电脑没有管理员权限。\r\n"
    "请参照界面上的【帮助信息】设置管理权限后重新运行。";
// Reported like a hosted network that cannot start: nothing was configured.
constexpr char kNetshMissing[] = "无法运行 netsh 命令，系统中找不到该程序。";
}  // namespace

// False when the start ends here (refused, or asked to stop).
bool HotspotController::StartWithNetsh(const std::string& ssid, const std::string& key) {
  const std::optional<std::string> set =
      p_.host.RunHiddenCommandIfFound(netsh::SetHostedNetworkCommand(ssid, key));
  if (StopRequested()) return false;
  if (!set) {
    // Without netsh nothing below can start the hosted network; sharing a
    // connection with it would only look like a running hotspot.
    RememberHostedOutput(kNetshMissing);
    return true;
  }
  const std::string& out = *set;
  RememberHostedOutput(out);
  if (out.find("管理员") != std::string::npos) {
    p_.ui.ShowBalloon(kNoAdminRights, 210, 250);
    return false;
  }
  if (!ConnectionChosen()) return false;

  FindHostedAdapterName(&HotspotController::FindHostedAdapterWin7, 200);
  if (StopRequested() || !Pause(100)) return false;

  EnableSharingForHotspot();
  for (int poll = 0; poll < 30 && !SharingPassDone(); ++poll)
    if (!Pause(300)) return false;
  if (StopRequested()) return false;
  std::string started;
  if (!Run(netsh::kStart, &started)) return false;
  RememberHostedOutput(started);
  if (!Pause(100)) return false;

  // Clients get addresses only when the hosted adapter has the fixed one;
  // with DHCP on it, set it and start over.
  const std::string adapter = p_.ui.Text(Ctl::编辑框虚拟网卡);
  std::string addresses;
  if (!Run(netsh::kShowAddresses, &addresses)) return false;
  if (netsh::AdapterDhcpLines(addresses, adapter).find("是") == std::string::npos) return true;
  const std::string set_address = netsh::SetStaticAddressCommand(adapter);
  if (!set_address.empty() && !Run(set_address)) return false;
  if (!Pause(500) || !Run(netsh::kStop)) return false;
  EnableSharingForHotspot();
  if (StopRequested() || !Pause(1000)) return false;
  return Run(netsh::kStart);
}

}  // namespace lumora
