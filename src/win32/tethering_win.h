#pragma once
// The system's Mobile Hotspot through its tethering manager (Windows 10 1607
// and later), called through the Windows Runtime ABI with the runtime loaded
// at run time. Each call is carried to a thread of its own in the
// multithreaded apartment, so any thread may call. The real version comes
// from the kernel (RtlGetVersion), which the manifest cannot bend.
#include "hotspot/network_ports.h"

namespace lumora {

class Win32TetheringPort : public TetheringPort {
 public:
  bool Available() override;
  WindowsBuild RealVersion() override;
  TetheringResult Capability(const std::string& connection) override;
  TetheringResult Configure(const std::string& connection, const std::string& ssid,
                            const std::string& passphrase) override;
  TetheringResult Start(const std::string& connection) override;
  TetheringResult Stop(const std::string& connection) override;
  bool Running(const std::string& connection) override;
  std::vector<TetheringClient> Clients(const std::string& connection) override;
  std::optional<bool> NoClientsTimeout() override;
  bool SetNoClientsTimeout(bool enabled) override;
};

// The words shown for a tethering operation's status (its numeric value).
std::string TetheringStatusText(int status);
// The words shown when the system does not allow the Mobile Hotspot on a
// connection (its TetheringCapability value).
std::string TetheringCapabilityText(int capability);

}  // namespace lumora
