#include "hotspot/hotspot_path.h"

#include <string>

#include "common/lines.h"
#include "common/text.h"

namespace lumora {

HotspotPath ChooseHotspotPath(const PathFacts& facts) {
  if (UsesNetsh(facts.os)) return HotspotPath::kNetsh;
  // Only a driver that says it has no hosted network sends the start to
  // the Mobile Hotspot; an unknown answer keeps the way that always was.
  if (facts.hosted == HostedSupport::kNotSupported && IsTetheringBuild(facts.real) &&
      facts.tethering)
    return HotspotPath::kMobileHotspot;
  return HotspotPath::kWlanHosted;
}

HostedSupport HostedSupportFromDrivers(std::string_view output) {
  for (const std::string& line : SplitLines(std::string(output))) {
    if (line.find("支持的承载网络") == std::string::npos &&
        FindNoCase(line, "hosted network supported") == std::string::npos)
      continue;
    const std::string value = line.substr(line.rfind(':') == std::string::npos ? 0 : line.rfind(':') + 1);
    if (value.find("是") != std::string::npos || FindNoCase(value, "yes") != std::string::npos)
      return HostedSupport::kSupported;
    if (value.find("否") != std::string::npos || FindNoCase(value, "no") != std::string::npos)
      return HostedSupport::kNotSupported;
  }
  return HostedSupport::kUnknown;
}

}  // namespace lumora
