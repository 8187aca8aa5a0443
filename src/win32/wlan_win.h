#pragma once
// The WLAN hosted network through wlanapi.dll, resolved at run time: the
// hosted-network functions are missing on some systems (and under Wine), and
// a missing import would stop the program before it starts.
#include <windows.h>

#include <functional>
#include <memory>
#include <mutex>
#include <string>

#include "hotspot/network_ports.h"

namespace lumora {

class Win32WlanPort : public WlanPort {
 public:
  // A wlanapi function by its exported name, or null when there is none.
  using Resolver = std::function<void*(const char* name)>;

  // The functions of the system's wlanapi.dll.
  Win32WlanPort();
  // The functions `resolve` gives (the tests' stand-in WLAN service).
  explicit Win32WlanPort(const Resolver& resolve);
  ~Win32WlanPort() override;
  Win32WlanPort(const Win32WlanPort&) = delete;
  Win32WlanPort& operator=(const Win32WlanPort&) = delete;

  int InterfaceCount() override;
  bool HostedNetworkEnabled() override;
  bool SetHostedNetworkEnabled(bool enabled) override;
  bool HostedNetworkActive() override;
  std::optional<bool> HostedNetworkUp() override;
  bool InitSettings() override;
  bool SetConnectionSettings(const std::string& ssid_gbk) override;
  bool SetSecondaryKey(const std::string& key_gbk) override;
  bool RefreshSecuritySettings() override;
  bool ForceStart() override;
  bool ForceStop() override;
  WlanFailure LastFailure() override;
  std::string HostedDeviceId() override;

  struct Api;  // the resolved functions

 private:
  void ResolveAll(const Resolver& resolve);

  HMODULE module_ = nullptr;
  std::unique_ptr<Api> api_;
  std::mutex failure_mutex_;
  WlanFailure last_failure_;
};


}  // namespace lumora
