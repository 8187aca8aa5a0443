// The services sharing depends on, prepared once at launch.
#include <optional>

#include "hotspot/hotspot_controller.h"

namespace lumora {

void HotspotController::PrepareServices() {
  struct Service {
    const char* name;
    int start_type;
    bool start;
  };
  static constexpr Service kServices[] = {
      {"SharedAccess", static_cast<int>(ServiceStartType::kDemand), false},
      {"MpsSvc", static_cast<int>(ServiceStartType::kAutomatic), true},
  };
  for (const Service& s : kServices) {
    const std::optional<int> type = p_.services.StartType(s.name);
    if (type != s.start_type) p_.services.SetStartType(s.name, s.start_type);
    if (!s.start) continue;
    // A state that cannot be read is tried too: the failing start is what
    // tells the user that the firewall is missing.
    const std::optional<bool> stopped = p_.services.IsStopped(s.name);
    if ((!stopped || *stopped) && !p_.services.Start(s.name))
      p_.ui.ShowMessage("防火墙打开失败，所依赖服务可能不完整！", "提示", MessageIcon::kError,
                        MessageButtons::kOk);
  }
}

}  // namespace lumora
