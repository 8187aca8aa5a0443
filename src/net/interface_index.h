#pragma once
// The interface index of a network connection, by its name in the network
// connections folder. The client guard (which clients belong to the hotspot)
// and the traffic monitor (whose counters to read) both ask it; it sits below
// both so that neither includes the other.
#include <cstdint>
#include <string>

namespace lumora {

class InterfaceIndexPort {
 public:
  virtual ~InterfaceIndexPort() = default;
  // GetAdaptersAddresses: the AdapterName (GUID text in braces) of the first
  // adapter whose FriendlyName equals `connection_name`; empty when none.
  virtual std::string AdapterGuidByFriendlyName(const std::string& connection_name) = 0;
  // WMI: the GUID of Win32_NetworkAdapter WHERE NetConnectionID = the name;
  // the last of at most ten objects read wins; empty when none.
  virtual std::string AdapterGuidFromWmi(const std::string& connection_name) = 0;
  // GetAdapterIndex for "\DEVICE\TCPIP_" + guid; 0 when it fails.
  virtual std::uint32_t AdapterIndex(const std::string& guid) = 0;
};

// The interface index of the named connection: by friendly name, then WMI,
// then GetAdapterIndex. 0 when any step finds nothing.
std::int32_t InterfaceIndexForConnection(InterfaceIndexPort& port, const std::string& name);

}  // namespace lumora
