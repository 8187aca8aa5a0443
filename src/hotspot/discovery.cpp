// Finding the connections: the internet connection box, its default and the
// remembered choice, and the hosted network's virtual adapter.
#include <algorithm>
#include <string>
#include <vector>

#include "common/text.h"
#include "hotspot/hotspot_controller.h"
#include "hotspot/netsh_text.h"
#include "ui/port_helpers.h"

namespace lumora {
namespace {

constexpr int kStatusDisconnected = 0;
constexpr int kStatusMediaDisconnected = 7;

}  // namespace

void HotspotController::FillConnectionList() {
  std::vector<std::string> known;  // every connection the manager names, listed or not
  p_.sharing.ForEveryConnection(SharingProgId::kHNetShare, [this, &known](SharingConnection& c) {
    const std::string name = c.Name();
    const int status = c.Status();
    if (!name.empty()) known.push_back(name);
    if (name.empty() || status == kStatusDisconnected || status == kStatusMediaDisconnected)
      return;
    p_.ui.AddItem(Ctl::组合框1, name);
  });

  // A wireless connection switched off in the tray cannot carry the hotspot;
  // it is connected once the WLAN service answers at all. A name the manager
  // does not have is not asked about (the system's answer is slow), unless
  // the manager named nothing.
  if (p_.wlan.InterfaceCount() == -1) return;
  const auto connect = [this, &known](const std::string& name) {
    if (known.empty() || std::any_of(known.begin(), known.end(), [&](const std::string& k) {
          return EqualsNoCase(k, name);
        }))
      ConnectIfDisconnected(name);
  };
  if (UsesNetsh(os_)) {
    connect("无线网络连接");
  } else {
    connect("WLAN");
    connect("Wi-Fi");
  }
}

void HotspotController::ConnectIfDisconnected(const std::string& name) {
  const std::optional<int> status = p_.connections.ConnectionStatus(name);
  if (status && *status == kStatusDisconnected) p_.connections.Connect(name);
}

void HotspotController::DetectUntilFound() {
  DetectInternetConnection();
  for (int retry = 0; retry < 2 && p_.ui.Text(Ctl::组合框1).empty(); ++retry) {
    p_.host.WaitResponsive(300);
    DetectInternetConnection();
  }
}

void HotspotController::ChooseDefaultConnection() {
  if (!SelectFirstItemStartingWith(p_.ui, Ctl::组合框1,
                                   {"WLAN", "Wi-Fi", "无线网络连接", "ChinaNetSNWide", "宽带连接", "以太网"}))
    DetectUntilFound();
  if (p_.settings.Read(setting::kUseRememberedConnection) == "1") {
    p_.ui.SetChecked(Ctl::选择框2, true);
    p_.ui.SetText(Ctl::组合框1, p_.settings.Read(setting::kRememberedConnection));
  } else {
    p_.ui.SetChecked(Ctl::选择框2, false);
  }
}

void HotspotController::DetectInternetConnection() {
  p_.ui.SetText(Ctl::组合框1, TrimSpaces(p_.adapters.InternetConnectionName()));
  // The generic name stands for a wired connection; the sharing reset
  // collected its real name.
  if (p_.ui.Text(Ctl::组合框1) == "LAN 连接")
    p_.ui.SetText(Ctl::组合框1, p_.ui.Text(Ctl::编辑框去除多个本地));
}

void HotspotController::OnConnectionChanged() {
  static const std::pair<const char*, const char*> kSpelledWithSpace[] = {
      {"无线网络连接2", "无线网络连接 2"},
      {"无线网络连接3", "无线网络连接 3"},
      {"宽带连接2", "宽带连接 2"},
  };
  const std::string text = p_.ui.Text(Ctl::组合框1);
  for (const auto& [typed, real] : kSpelledWithSpace)
    if (text == typed) p_.ui.SetText(Ctl::组合框1, real);
  p_.settings.Write(setting::kRememberedConnection, p_.ui.Text(Ctl::组合框1));
}

void HotspotController::OnRememberClicked() {
  if (p_.ui.Checked(Ctl::选择框2)) {
    p_.settings.Write(setting::kUseRememberedConnection, "1");
    p_.settings.Write(setting::kRememberedConnection, p_.ui.Text(Ctl::组合框1));
    return;
  }
  p_.settings.Write(setting::kUseRememberedConnection, "2");
  if (!SelectFirstItemStartingWith(p_.ui, Ctl::组合框1,
                                   {"Wi-Fi", "无线网络连接", "ChinaNetSNWide", "宽带连接"}))
    DetectUntilFound();
}

void HotspotController::FindHostedAdapterWin7() {
  std::string found;
  bool any = false;
  for (const AdapterInfo& a : p_.adapters.Adapters()) {
    const std::string joined = a.connection_name + a.description;
    if (joined.find("Microsoft") == std::string::npos) continue;
    found = joined.substr(0, FindNoCase(joined, "Microsoft"));
    any = true;
  }
  if (any) p_.ui.SetText(Ctl::编辑框虚拟网卡, found);
}

void HotspotController::FindHostedAdapter() {
  // Newer systems list other Microsoft virtual adapters too (Wi-Fi Direct);
  // only the hosted network's own adapter carries the end marker.
  static constexpr std::string_view kMarker = "Microsoft 托管";
  std::string found;
  bool any = false;
  for (const AdapterInfo& a : p_.adapters.Adapters()) {
    const std::string joined = a.connection_name + a.description;
    if (joined.find("Microsoft") == std::string::npos) continue;
    const std::size_t end = FindNoCase(joined, kMarker);
    if (end == std::string_view::npos) continue;
    found = joined.substr(0, end);
    any = true;
  }
  if (any) p_.ui.SetText(Ctl::编辑框虚拟网卡, found);
}

void HotspotController::OpenConnectionsFolder() { p_.adapters.OpenConnectionsFolder(); }

}  // namespace lumora
