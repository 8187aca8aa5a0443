#pragma once
// The narrow view of the hotspot that the spine and the other subsystems
// use: whether a start has completed, the start/stop button's action and the
// reset before the program or the computer goes away. The client guard, the
// extras and the updates include this header and nothing else of hotspot/.
#include <optional>
#include <string>
#include <vector>

namespace lumora {

// A device on the system's Mobile Hotspot, as the system lists it.
struct HotspotClient {
  std::string mac;        // MAC text form
  std::string host_name;  // the first host name the system knows; may be empty
};

class HotspotControl {
 public:
  virtual ~HotspotControl() = default;
  // "共享完成" after a completed start, until the next start begins.
  virtual std::string ShareStatus() const = 0;
  // The start/stop button: starts the hotspot when it is stopped.
  virtual void OnStartButton() = 0;
  // Stops the start's workers, the hosted network and every sharing.
  virtual void AbortAndResetHotspot() = 0;
  // The system's own list of devices while the hotspot runs as its Mobile
  // Hotspot; nothing on the other ways, where the neighbour table is the list.
  virtual std::optional<std::vector<HotspotClient>> MobileHotspotClients() { return std::nullopt; }
};

}  // namespace lumora
