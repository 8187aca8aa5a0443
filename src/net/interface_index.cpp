#include "net/interface_index.h"

namespace lumora {

std::int32_t InterfaceIndexForConnection(InterfaceIndexPort& port, const std::string& name) {
  std::string guid = port.AdapterGuidByFriendlyName(name);
  if (guid.empty()) guid = port.AdapterGuidFromWmi(name);
  if (guid.empty()) return 0;
  return static_cast<std::int32_t>(port.AdapterIndex(guid));
}

}  // namespace lumora
