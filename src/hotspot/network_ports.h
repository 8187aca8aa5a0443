#pragma once
// The operating system's networking as the hotspot controller sees it. The
// Windows layer implements these with the sharing manager, the WLAN
// hosted-network functions, the network connection manager and WMI, the IP
// helper with the registry, WinINet and the service control manager; the
// tests with fakes. Names are UTF-8 connection names as the network
// connections folder shows them.
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "hotspot/hotspot_path.h"

namespace lumora {

// --- Internet connection sharing -------------------------------------------

// The two ProgIDs create the same sharing manager; the walks name the one
// they use, as the system's own tools do.
enum class SharingProgId { kHNetShare, kHNetShare1 };

enum class SharingType { kPublic = 0, kPrivate = 1 };

// One connection met during a walk. Every call may fail (no rights, the
// connection vanished); a failed call reads as empty text, status 0 or false.
class SharingConnection {
 public:
  virtual ~SharingConnection() = default;
  virtual std::string Name() = 0;
  virtual int Status() = 0;  // NetConnectionProps.Status
  virtual bool SharingEnabled() = 0;
  virtual bool EnableSharing(SharingType type) = 0;
  virtual bool DisableSharing() = 0;
};

class SharingPort {
 public:
  virtual ~SharingPort() = default;
  using Visit = std::function<void(SharingConnection&)>;
  // Walks EnumEveryConnection in the manager's order; false when the sharing
  // manager cannot be created (nothing is visited then).
  virtual bool ForEveryConnection(SharingProgId id, const Visit& visit) = 0;
  // Walks EnumPublicConnections; `visit` returns false to stop the walk.
  virtual bool ForPublicConnections(SharingProgId id,
                                    const std::function<bool(SharingConnection&)>& visit) = 0;
  // Counts of EnumPublicConnections and EnumPrivateConnections (0 on failure).
  virtual int PublicCount(SharingProgId id) = 0;
  virtual int PrivateCount(SharingProgId id) = 0;
};

// --- WLAN hosted network -----------------------------------------------------

// What a failed hosted-network call reported: the function's return code and
// the service's reason (its WLAN_HOSTED_NETWORK_REASON).
struct WlanFailure {
  unsigned long error = 0;
  int reason = 0;
};

class WlanPort {
 public:
  virtual ~WlanPort() = default;
  // Number of wireless interfaces, or -1 when the WLAN service cannot be opened.
  virtual int InterfaceCount() = 0;
  virtual bool HostedNetworkEnabled() = 0;
  // InitSettings, then the enable property.
  virtual bool SetHostedNetworkEnabled(bool enabled) = 0;
  virtual bool HostedNetworkActive() = 0;
  // Whether the hosted network runs; nothing when its status cannot be read
  // (no WLAN service, no hosted-network functions).
  virtual std::optional<bool> HostedNetworkUp() = 0;
  virtual bool InitSettings() = 0;
  // SSID bytes (GBK, at most 32), keeping the configured number of peers.
  virtual bool SetConnectionSettings(const std::string& ssid_gbk) = 0;
  // Pass phrase, persistent.
  virtual bool SetSecondaryKey(const std::string& key_gbk) = 0;
  virtual bool RefreshSecuritySettings() = 0;
  virtual bool ForceStart() = 0;
  virtual bool ForceStop() = 0;
  // The error and reason of the last SetHostedNetworkEnabled or ForceStart
  // that failed.
  virtual WlanFailure LastFailure() = 0;
  // The hosted network's virtual adapter as its status names it: the
  // adapter's GUID in braces; empty when the status cannot be read.
  virtual std::string HostedDeviceId() = 0;
};

// --- The system's Mobile Hotspot (tethering manager) --------------------------

struct TetheringResult {
  bool ok = false;
  std::string message;  // the system's words for a refusal; may be empty
};

struct TetheringClient {
  std::string mac;                      // MAC text as the client list shows it
  std::vector<std::string> host_names;  // as the system knows them
};

// The tethering manager for the profile of an internet connection (by its
// name in the connections folder; empty: the system's internet profile).
// Windows shares the connection itself on this path.
class TetheringPort {
 public:
  virtual ~TetheringPort() = default;
  // Whether the tethering manager can be created on this system at all.
  virtual bool Available() = 0;
  // The system's own version, whatever the manifest makes GetVersion say.
  virtual WindowsBuild RealVersion() = 0;
  // Sets the access point's SSID and pass phrase (UTF-8).
  virtual TetheringResult Configure(const std::string& connection, const std::string& ssid,
                                    const std::string& passphrase) = 0;
  virtual TetheringResult Start(const std::string& connection) = 0;
  virtual TetheringResult Stop(const std::string& connection) = 0;
  virtual bool Running(const std::string& connection) = 0;
  virtual std::vector<TetheringClient> Clients(const std::string& connection) = 0;
};

// --- Network connections (connection manager, WMI) ---------------------------

class ConnectionsPort {
 public:
  virtual ~ConnectionsPort() = default;
  // NetConnectionStatus of the named connection (WMI, then the connection
  // manager); nothing when no connection has that name.
  virtual std::optional<int> ConnectionStatus(const std::string& name) = 0;
  // Connects the named connection; false when not found or refused.
  virtual bool Connect(const std::string& name) = 0;
  // Names of all connections, in the connection manager's order.
  virtual std::vector<std::string> ConnectionNames() = 0;
};

// --- Adapters, internet state, shell ----------------------------------------

struct AdapterInfo {
  std::string description;      // the adapter's description
  std::string connection_name;  // its name in the connections folder (registry)
  std::string id;               // the adapter's name: its GUID in braces
};

class AdaptersPort {
 public:
  virtual ~AdaptersPort() = default;
  // GetAdaptersInfo's list, in its order; empty on failure.
  virtual std::vector<AdapterInfo> Adapters() = 0;
  // The name InternetGetConnectedStateEx gives for the internet connection.
  virtual std::string InternetConnectionName() = 0;
  // The connection the system would send a packet to the internet through
  // now (its best route); empty when there is none or it has no name.
  virtual std::string InternetRouteConnection() = 0;
  // Starts "control.exe ncpa.cpl" without waiting.
  virtual void OpenConnectionsFolder() = 0;
};

// --- Changes the system announces --------------------------------------------

// Routes, addresses and the hosted network's state change: the watcher of a
// running hotspot looks at once instead of at its next round.
class NetworkEventsPort {
 public:
  virtual ~NetworkEventsPort() = default;
  // `changed` may be called on any thread, until Unwatch has returned.
  virtual void Watch(std::function<void()> changed) = 0;
  virtual void Unwatch() = 0;
};

// --- Services ------------------------------------------------------------------

enum class ServiceStartType { kAutomatic = 2, kDemand = 3, kDisabled = 4 };

class ServicesPort {
 public:
  virtual ~ServicesPort() = default;
  // The start type, or nothing when the service cannot be opened.
  virtual std::optional<int> StartType(const std::string& service) = 0;
  virtual bool SetStartType(const std::string& service, int start_type) = 0;
  // True when the service is stopped (state 1), false in any other state,
  // nothing when its state cannot be read (a missing service).
  virtual std::optional<bool> IsStopped(const std::string& service) = 0;
  virtual bool Start(const std::string& service) = 0;
};

}  // namespace lumora
