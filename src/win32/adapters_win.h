#pragma once
// Adapters from the IP helper with their connection names from the registry,
// the internet connection's name from WinINet, and the connections folder.
#include "hotspot/network_ports.h"

namespace lumora {

class Win32AdaptersPort : public AdaptersPort {
 public:
  std::vector<AdapterInfo> Adapters() override;
  std::string InternetConnectionName() override;
  std::string InternetRouteConnection() override;
  // Started from the system directory's control.exe, so a program of that
  // name elsewhere on the search path is never run instead.
  void OpenConnectionsFolder() override;
};

// The connections folder's name of the adapter with this GUID text (from
// the registry); empty when there is none.
std::string ConnectionNameOfAdapter(const std::string& adapter_guid);

}  // namespace lumora
