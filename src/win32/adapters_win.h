#pragma once
// Adapters from the IP helper with their connection names from the registry,
// the internet connection's name from WinINet, and the connections folder.
#include <mutex>
#include <string>

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

 private:
  std::mutex route_mutex_;
  bool route_known_ = false;
  unsigned long route_index_ = 0;  // the last route's interface and its connection
  std::string route_name_;
};

// The connections folder's name of the adapter with this GUID text (from
// the registry); empty when there is none.
std::string ConnectionNameOfAdapter(const std::string& adapter_guid);

}  // namespace lumora
