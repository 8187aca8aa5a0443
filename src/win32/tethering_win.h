#pragma once
// The system's Mobile Hotspot as the hotspot controller sees it. The real
// version comes from the kernel (RtlGetVersion), which the manifest cannot
// bend. The tethering manager's calls through the Windows Runtime are not
// built yet: until they are, the port says the manager is unavailable, so
// every start takes the ways that existed before.
#include "hotspot/network_ports.h"

namespace lumora {

class Win32TetheringPort : public TetheringPort {
 public:
  bool Available() override { return false; }
  WindowsBuild RealVersion() override;
  TetheringResult Configure(const std::string&, const std::string&, const std::string&) override {
    return {};
  }
  TetheringResult Start(const std::string&) override { return {}; }
  TetheringResult Stop(const std::string&) override { return {}; }
  bool Running(const std::string&) override { return false; }
  std::vector<TetheringClient> Clients(const std::string&) override { return {}; }
};

}  // namespace lumora
