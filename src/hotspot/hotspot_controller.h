#pragma once
// The hotspot controller: finding the connections, sharing, starting,
// stopping and restarting the hosted network, and the services sharing needs.
// One object for the whole run; its state is the controller state the start
// sequence, the stop and the client guard share.
#include <initializer_list>
#include <mutex>
#include <string>

#include "common/command_host.h"
#include "common/settings.h"
#include "hotspot/hotspot_control.h"
#include "hotspot/network_ports.h"
#include "ui/subsystem.h"
#include "ui/window_port.h"

namespace lumora {

struct HotspotPorts {
  WindowPort& ui;
  SettingsStore& settings;
  CommandHost& host;
  SharingPort& sharing;
  WlanPort& wlan;
  ConnectionsPort& connections;
  AdaptersPort& adapters;
  ServicesPort& services;
  TetheringPort& tethering;
};

// Texts the controller shows or writes.
namespace hotspot_text {
inline constexpr char kShareDone[] = "共享完成";
inline constexpr char kStopCaption[] = "关闭WiFi";
inline constexpr char kStartingCaption[] = "启动中\r\n请稍后";
inline constexpr char kTrayRunning[] = "已开启WiFi，现在可以拿手机来连接啦";
}  // namespace hotspot_text

class HotspotController : public HotspotControl {
 public:
  explicit HotspotController(HotspotPorts ports) : p_(ports) {}
  // Its start-up steps (sharing reset, connections, services), the start
  // button, the restart link and menu item, the animations, and the reset
  // when the program ends.
  Subsystem Registration();
  // The version code of the running system, known once the window exists.
  void SetOsCode(OsCode code) { os_ = code; }
  OsCode Os() const { return os_; }

  // --- connection discovery
  void FillConnectionList();
  void ChooseDefaultConnection();
  void DetectInternetConnection();
  void OnConnectionChanged();  // 组合框1 lost the focus
  void OnRememberClicked();    // 选择框2
  void FindHostedAdapterWin7();
  void FindHostedAdapter();
  void OpenConnectionsFolder();

  // --- sharing
  void ResetAllSharing();
  void EnableSharingForHotspot();
  bool EnableSharingPair(const std::string& public_name, const std::string& private_name);
  std::string GetSharedPublicConnectionName();
  void DisableSharedConnections();

  // --- the hosted network through the WLAN functions (not Windows 7)
  void StartHostedNetworkWithSharing(const std::string& ssid, const std::string& key,
                                     const std::string& public_name);
  void StopHostedNetworkAndSharing();
  // The connection of the hosted network's own adapter; empty when unknown.
  std::string HostedConnectionName();
  // Whether the private side of the last WLAN start is shared.
  bool HostedConnectionShared();

  // --- start: the sequence runs on a worker
  void StartHotspot();
  void OnStatusTimer();         // 时钟状态
  void OnTrayAnimationTimer();  // 时钟_右下角灰动

  // --- stop, restart, reset, services
  void OnStartButton() override;
  void StopHotspot();
  void RestartHotspot();
  void AbortAndResetHotspot() override;
  void PrepareServices();

  // --- controller state (read by the client guard and the tests)
  std::string ShareStatus() const override;
  std::optional<std::vector<HotspotClient>> MobileHotspotClients() override;
  std::string LastHostedOutput() const;
  bool LastStartFailed() const;
  bool ResetSharingRequested() const;
  int StartRetryCount() const;
  bool SharingPassDone() const;
  WorkerHandle StartWorker() const;

 private:
  // discovery
  bool SelectFirstStartingWith(std::initializer_list<const char*> prefixes);
  void DetectUntilFound();
  void ConnectIfDisconnected(const std::string& name);
  // start and stop; each step helper is false when this worker is asked to
  // stop, and the sequence then ends where it is
  bool Pause(int ms);
  bool Run(std::string_view command_line, std::string* output = nullptr);
  bool InputRefused(const std::string& ssid, const std::string& key);
  bool ConnectionChosen();  // false, with a balloon, when the box is empty
  bool StartWithNetsh(const std::string& ssid, const std::string& key);
  bool StartWithWlan();
  bool StartWithMobileHotspot();
  HotspotPath ChoosePath();
  bool MobileHotspotRunning();
  void StopMobileHotspot();
  void KeepRunningWithoutClients();
  void RestoreNoClientsTimeout();
  void FindTetheringAdapter();
  void FindHostedAdapterName(void (HotspotController::*find)(), int pause_ms);
  void RememberHostedOutput(const std::string& output);
  void ResetStartUi();
  void ShowRunningState();
  void ShowStartFailed();
  void ShowStoppedLook();
  void ShowStoppedState();

  HotspotPorts p_;
  OsCode os_ = OsCode::kNotComputed;

  mutable std::mutex state_mutex_;  // workers and the window thread share the state
  std::string last_hosted_output_;
  std::string share_status_;
  std::string chosen_connection_;
  std::string wlan_private_name_;  // the private side the WLAN path shared
  HotspotPath path_ = HotspotPath::kWlanHosted;  // of the last start
  std::string tethering_connection_;  // the profile the program's Mobile Hotspot runs for
  bool tethering_started_ = false;
  bool restore_no_clients_timeout_ = false;  // the program switched the system's off
  std::string connection_at_last_stop_;
  bool reset_sharing_requested_ = false;
  bool last_start_failed_ = false;
  int start_retry_count_ = 0;
  WorkerHandle start_worker_;
  // The worker of the last restart: not the start worker, but a reset must
  // stop it as well before it touches the sharing configuration.
  WorkerHandle restart_worker_;
  int animation_frame_ = 0;
  int tray_animation_frame_ = 0;
  bool sharing_pass_done_ = false;
};

}  // namespace lumora
