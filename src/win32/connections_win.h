#pragma once
// Network connections by name: their status from WMI (Win32_NetworkAdapter),
// else from the network connection manager, which also connects them and
// lists their names.
#include "hotspot/network_ports.h"

namespace lumora {

// Every call initialises COM for its own duration, so the port can be used
// from any thread.
class Win32ConnectionsPort : public ConnectionsPort {
 public:
  std::optional<int> ConnectionStatus(const std::string& name) override;
  bool Connect(const std::string& name) override;
  std::vector<std::string> ConnectionNames() override;
};

}  // namespace lumora
