#pragma once
// The hotspot controller: finding the connections, sharing, starting,
// stopping and restarting the hosted network, and the services sharing needs.
// One object for the whole run. Its state model is the one record of
// whether the hotspot runs; the window shows what the model says.
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>

#include "common/command_host.h"
#include "common/settings.h"
#include "hotspot/hotspot_control.h"
#include "hotspot/hotspot_state.h"
#include "hotspot/network_ports.h"
#include "hotspot/watch_rules.h"
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
  // What the system announces (routes, addresses, the hosted network); none:
  // the watch looks only every ten seconds.
  NetworkEventsPort* events = nullptr;
  // A steady clock in milliseconds. Empty: std::chrono::steady_clock.
  std::function<std::int64_t()> now_ms;
  // How long the watch's worker waits for the next look before it ends.
  int watch_park_ms = 15000;
};

// Texts the controller shows or writes.
namespace hotspot_text {
inline constexpr char kShareDone[] = "共享完成";
inline constexpr char kStopCaption[] = "关闭WiFi";
inline constexpr char kStartingCaption[] = "启动中\r\n请稍后";
inline constexpr char kTrayRunning[] = "已开启WiFi，现在可以拿手机来连接啦";
}  // namespace hotspot_text

// How one run of the start sequence ended.
enum class StartRun {
  kRunning,       // shared and running
  kRefused,       // input, rights or connection refused; the window says why
  kHostedFailed,  // the hosted network did not start; LastHostedOutput says why
  kNotShared,     // up, but the sharing check failed: worth another run
  kStopped,       // asked to stop
};

class HotspotController : public HotspotControl {
 public:
  explicit HotspotController(HotspotPorts ports);
  // Its start-up steps (sharing reset, connections, services), the start
  // button, the restart link and menu item, the animations, and the reset
  // when the program ends.
  Subsystem Registration();
  // The version code of the running system, known once the window exists.
  void SetOsCode(OsCode code) { os_ = code; }

  // --- the state (HotspotControl)
  HotspotState State() const override { return model_.Current(); }
  void Subscribe(std::function<void(HotspotState)> changed) override;
  bool Start() override;
  void AbortAndResetHotspot() override;
  std::optional<std::vector<HotspotClient>> MobileHotspotClients() override;

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
  void ResetAllSharing();  // UnshareAndCollect, then StopHostedAndDisallow
  // At launch: UnshareAndCollect here, the system's side on a worker of its
  // own that every later hotspot worker waits for.
  void ResetAtLaunch();
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

  // --- start
  void OnStatusTimer();         // 时钟状态
  void OnTrayAnimationTimer();  // 时钟_右下角灰动

  // --- stop, restart, services (the button and the link: window thread)
  void OnStartButton();
  void StopHotspot();
  void RestartHotspot();
  void PrepareServices();

  // --- the watch over a running hotspot and the heal
  void OnWatchTick();      // 时钟守护
  void OnSystemChanged();  // any thread: a route, an address, the hosted network, a resume
  void OnAutoHealClicked();  // 选择框_自动恢复
  void ShowStoredAutoHeal();
  void StopWatch();

  // --- controller state (read by the animations and the tests)
  std::string ShareStatus() const;
  std::string LastHostedOutput() const;
  bool LastStartFailed() const;
  bool ResetSharingRequested() const;
  int StartRetryCount() const;
  bool SharingPassDone() const;
  // The hotspot's latest worker (start, restart, stop).
  WorkerHandle Worker() const;

 private:
  // Starts `body` on a worker for the change `ticket`; the worker runs it
  // only when no newer change came before it got its turn.
  void Launch(const HotspotTicket& ticket, void (HotspotController::*body)(HotspotTicket&));
  // The reset's halves: every connection unshared and the wired names
  // collected; the hosted network stopped and disallowed.
  void UnshareAndCollect();
  void StopHostedAndDisallow();
  void WaitForLaunchReset();
  void StopLaunchReset();
  void Changed();  // hands the model's new states to the window thread
  void RunStart(HotspotTicket& ticket);
  void RunStop(HotspotTicket& ticket);
  void Undo();
  // the watch and the heal
  std::int64_t NowMs() const;
  void Watch(HotspotState state);
  void WatchLoop();
  bool RunWatch(HotspotTicket& ticket);
  WatchFacts LookAtHotspot();
  void Heal(HotspotTicket& ticket, const WatchAction& action);
  void GiveUp(HotspotTicket& ticket, const char* text);
  void RememberInternet();
  // discovery
  void DetectUntilFound();
  void ConnectIfDisconnected(const std::string& name);
  // start and stop; each step helper is false when this worker is asked to
  // stop, and the sequence then ends where it is
  bool Pause(int ms);
  bool Run(std::string_view command_line, std::string* output = nullptr);
  StartRun RunStartOnce();
  bool PrepareRun();
  std::string TakeTypedInput(const std::string& typed, Ctl box);
  StartRun CheckStarted(HotspotPath path);
  bool InputRefused(const std::string& ssid, const std::string& key);
  bool ConnectionChosen();  // false, with a balloon, when the box is empty
  bool StartWithNetsh(const std::string& ssid, const std::string& key);
  bool StartWithWlan();
  bool StartWithMobileHotspot();
  HotspotPath ChoosePath();
  bool MobileHotspotRunning();
  void StopMobileHotspot();
  void StopCommands();
  void KeepRunningWithoutClients();
  void RestoreNoClientsTimeout();
  void FindTetheringAdapter();
  void FindHostedAdapterName(void (HotspotController::*find)(), int pause_ms);
  void RememberHostedOutput(const std::string& output);
  // the window's look of each state (window thread)
  void Draw(HotspotState state);
  void ShowStartingState();
  void ShowHealingState();
  void ShowRunningState();
  void ShowStoppedLook();
  void ShowStartEnded();
  void ShowStopBegun();
  void ShowStopDone();

  HotspotPorts p_;
  OsCode os_ = OsCode::kNotComputed;
  HotspotStateModel model_;
  HotspotState drawn_ = HotspotState::kStopped;  // window thread only

  mutable std::mutex state_mutex_;  // workers and the window thread share the values below
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
  WorkerHandle worker_;
  WorkerHandle launch_reset_;  // the system's side of the reset at launch
  int animation_frame_ = 0;
  int tray_animation_frame_ = 0;
  bool sharing_pass_done_ = false;
  std::string internet_at_start_;  // where the internet went when the hotspot came up
  HealBudget heal_budget_;
  bool watching_ = false;  // window thread only
  // The watch's worker and the requests for its next look.
  std::mutex watch_mutex_;
  std::condition_variable watch_asked_;
  bool look_asked_ = false;
  bool watch_on_ = false;  // the hotspot runs: a parked watch waits on
  bool watch_alive_ = false;  // a watch worker looks or waits for the next request
  WorkerHandle watch_worker_;
};

}  // namespace lumora
