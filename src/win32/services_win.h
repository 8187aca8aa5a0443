#pragma once
// Services through the service control manager. Each call opens the manager
// and the service for itself and closes both before it returns.
#include "hotspot/network_ports.h"

namespace lumora {

class Win32ServicesPort : public ServicesPort {
 public:
  std::optional<int> StartType(const std::string& service) override;
  bool SetStartType(const std::string& service, int start_type) override;
  std::optional<bool> IsStopped(const std::string& service) override;
  // True as well when the service turns out to be running already.
  bool Start(const std::string& service) override;
};

}  // namespace lumora
