#pragma once
// What the system announces that may concern a running hotspot: route and
// interface changes (IP helper) and the hosted network's state (the WLAN
// service). Each source that is missing is left out; the watch's periodic
// look covers for it.
#include <functional>
#include <mutex>

#include <winsock2.h>
#include <ws2ipdef.h>
#include <iphlpapi.h>
#include <netioapi.h>
#include <wlanapi.h>

#include "hotspot/network_ports.h"

namespace lumora {

class Win32NetworkEvents : public NetworkEventsPort {
 public:
  ~Win32NetworkEvents() override { Unwatch(); }
  void Watch(std::function<void()> changed) override;
  void Unwatch() override;

 private:
  // The system's callbacks (plain functions: i686 callbacks are stdcall).
  static VOID WINAPI OnRoute(PVOID self, PMIB_IPFORWARD_ROW2, MIB_NOTIFICATION_TYPE);
  static VOID WINAPI OnInterface(PVOID self, PMIB_IPINTERFACE_ROW, MIB_NOTIFICATION_TYPE);
  static VOID WINAPI OnWlan(PWLAN_NOTIFICATION_DATA data, PVOID self);
  void Changed();
  void WatchWlan();

  std::mutex mutex_;
  std::function<void()> changed_;  // kept after Unwatch: a late call is harmless
  HANDLE route_ = nullptr, interface_ = nullptr, wlan_ = nullptr;
};

}  // namespace lumora
