#pragma once
// Which way a start brings the hotspot up, decided once per start from what
// the system says: netsh on Windows 7, the WLAN hosted network where the
// wireless driver offers one, and otherwise, on Windows 10 1607 and later,
// the system's own Mobile Hotspot (its tethering manager).
#include <string_view>

#include "ui/subsystem.h"

namespace lumora {

enum class HotspotPath { kNetsh, kWlanHosted, kMobileHotspot };

// The wireless driver's answer about the hosted network.
enum class HostedSupport { kUnknown, kSupported, kNotSupported };

// The system's real version (the manifest makes GetVersion say 6.2 on
// Windows 8.1, 10 and 11).
struct WindowsBuild {
  int major = 0, minor = 0, build = 0;
};

struct PathFacts {
  OsCode os = OsCode::kNotComputed;  // what the program is told
  WindowsBuild real;
  HostedSupport hosted = HostedSupport::kUnknown;
  bool tethering = false;  // the tethering manager can be created
};

// The first build whose tethering manager configures and starts an access
// point for a program (Windows 10 1607).
inline constexpr int kFirstTetheringBuild = 14393;

inline bool IsTetheringBuild(WindowsBuild v) {
  return v.major > 10 || (v.major == 10 && v.build >= kFirstTetheringBuild);
}

HotspotPath ChooseHotspotPath(const PathFacts& facts);

// "netsh wlan show drivers": whether the driver offers a hosted network
// (its "支持的承载网络" / "Hosted network supported" line); unknown when the
// output has no such line (no wireless interface, the service stopped, ...).
HostedSupport HostedSupportFromDrivers(std::string_view output);

}  // namespace lumora
