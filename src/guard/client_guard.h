#pragma once
// The client guard: who is on the hotspot, what they are called, and who is
// kept out. One object for the whole run.
#include <atomic>
#include <cstdint>
#include <functional>
#include <string>

#include "common/command_host.h"
#include "common/file_store.h"
#include "common/settings.h"
#include "guard/host_names.h"
#include "guard/list_view_port.h"
#include "guard/neighbour_table.h"
#include "hotspot/hotspot_control.h"
#include "net/interface_index.h"
#include "ui/subsystem.h"
#include "ui/window_port.h"

namespace lumora {

struct GuardPorts {
  WindowPort& ui;
  SettingsStore& settings;
  FileStore& files;
  HotspotControl& hotspot;
  CommandHost& host;
  NeighbourPort& neighbours;
  // Must outlive every lookup it runs: a hanging lookup may outlast a pass.
  ReverseLookupPort& lookups;
  InterfaceIndexPort& interface_index;
  ListViewPort& lists;
};

class ClientGuard {
 public:
  // Hears the hotspot's state from here on.
  explicit ClientGuard(GuardPorts ports);
  // The workers use this object: they end first.
  ~ClientGuard() { StopWorkers(); }
  ClientGuard(const ClientGuard&) = delete;
  ClientGuard& operator=(const ClientGuard&) = delete;

  Subsystem Registration();

  // Creation: the access mode from the settings and both list views.
  void ShowStoredMode();

  // --- the hotspot's clients
  // The interface index of the hosted adapter, from the connection name in
  // 编辑框虚拟网卡; an empty field keeps the value it had.
  void RefreshHotspotInterfaceIndex();
  std::int32_t HotspotInterfaceIndex() const { return interface_index_.load(); }
  // A dynamic entry of the hotspot's interface with a real hardware address.
  bool IsGuestEntry(const NeighbourEntry& entry) const;
  // Pins the address to the all-zero hardware address on the hotspot's
  // interface, so nothing sent to it arrives.
  void BlockClient(const std::string& ip);

  // One pass of each timer's work, on the calling thread.
  void ClientScan();
  void WhiteListEnforcement();
  // The timers' ticks: a new pass on a worker, unless the previous one is
  // still running (it is asked to stop instead). Two passes of one kind
  // never run at once.
  void OnBlackListTimer();
  void OnWhiteListTimer();
  // The hotspot's state: the mode's pass timer runs only while it runs; a
  // stop ends the passes and empties the user list.
  void OnHotspotState(HotspotState state);
  // The program's end: the passes are asked to stop and waited for (worker).
  void StopWorkers();

  // --- the mode radio buttons
  void SwitchToBlackMode();
  void SwitchToWhiteMode();

  // --- the list views' actions (window thread)
  void OnListRightClick(Ctl list, int row);
  void MoveToBlackList();
  void CopyToWhiteList();
  void RemoveFromBlackList();
  void RemoveFromWhiteList();
  void StartRename(int row);
  void OnRenameKey(int key);
  void CommitRename();
  void Refresh();

  HostNameLookups& HostNames() { return host_names_; }

 private:
  void SwitchMode(bool black);  // the two radio buttons
  void RestartPass(WorkerHandle& worker, void (ClientGuard::*pass)());
  // Asks the passes to stop; rows of a pass that began before are dropped.
  void EndPasses();
  void ClearNeighbourTable();
  bool RemoveSelected(Ctl view, const char* path);

  GuardPorts p_;
  HostNameLookups host_names_;
  std::atomic<std::int32_t> interface_index_{0};
  // Counts the ends of passes: a pass shows its rows only while the count
  // is still the one it began with (checked on the window thread).
  std::atomic<unsigned> pass_number_{0};
  // Window thread only.
  WorkerHandle scan_worker_, white_worker_, mode_worker_;
  bool renaming_ = false;
  std::string rename_mac_;
};

}  // namespace lumora
