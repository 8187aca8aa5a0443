#include "updates/servers.h"

#include "updates/web_ports.h"

// The build names the servers (CMake cache variables LUMORA_UPDATE_SERVER and
// LUMORA_WEB_SERVER); a build without them fetches nothing.
#ifndef LUMORA_UPDATE_SERVER
#define LUMORA_UPDATE_SERVER ""
#endif
#ifndef LUMORA_WEB_SERVER
#define LUMORA_WEB_SERVER ""
#endif

namespace lumora {

namespace setting {
const SettingKey kUpdateServer{"server", "update", LUMORA_UPDATE_SERVER};
const SettingKey kWebServer{"server", "web", LUMORA_WEB_SERVER};
}  // namespace setting

std::string ServerUrl(std::string_view base, std::string_view path) {
  while (!base.empty() && (base.back() == '/' || base.back() == ' ')) base.remove_suffix(1);
  while (!base.empty() && base.front() == ' ') base.remove_prefix(1);
  if (!IsWebAddress(base)) return {};
  return std::string(base) + std::string(path);
}

}  // namespace lumora
