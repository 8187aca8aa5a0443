#pragma once
// A connection's interface index from the IP helper, with WMI for names the
// adapter list does not carry.
#include "net/interface_index.h"

namespace lumora {

class Win32InterfaceIndexPort : public InterfaceIndexPort {
 public:
  std::string AdapterGuidByFriendlyName(const std::string& connection_name) override;
  std::string AdapterGuidFromWmi(const std::string& connection_name) override;
  std::uint32_t AdapterIndex(const std::string& guid) override;
};

}  // namespace lumora
