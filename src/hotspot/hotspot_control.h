#pragma once
// The narrow view of the hotspot that the spine and the other subsystems
// use: its state and the changes of it, the start, and the reset before the
// program or the computer goes away. The client guard, the traffic monitor,
// the extras and the updates include this header and nothing else of
// hotspot/.
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace lumora {

// The one record of whether the hotspot runs. Only the hotspot controller
// changes it; everyone else reads it or hears of its changes.
enum class HotspotState : unsigned char {
  kStopped,   // nothing of ours runs; the button reads "开启WiFi"
  kStarting,  // a start sequence runs (the button waits)
  kRunning,   // the hotspot is up and shared; the button reads "关闭WiFi"
  kStopping,  // a stop or reset is on its way
  kHealing,   // the system took the hotspot down; it is being started again
};

// A device on the system's Mobile Hotspot, as the system lists it.
struct HotspotClient {
  std::string mac;        // MAC text form
  std::string host_name;  // the first host name the system knows; may be empty
};

class HotspotControl {
 public:
  virtual ~HotspotControl() = default;
  virtual HotspotState State() const = 0;
  // `changed` hears every new state, in order, on the window thread.
  // Subscribe while wiring the program, before anything starts.
  virtual void Subscribe(std::function<void(HotspotState)> changed) = 0;
  // Starts the hotspot on a worker; false (and nothing happens) unless it
  // is stopped, so at most one start ever runs.
  virtual bool Start() = 0;
  // Stops whatever runs (a start, a heal, the hotspot), waits for it, puts
  // the window into the stopped state and unshares every connection. It
  // waits: call it on a worker.
  virtual void AbortAndResetHotspot() = 0;
  // The system's own list of devices while the hotspot runs as its Mobile
  // Hotspot; nothing on the other ways, where the neighbour table is the list.
  virtual std::optional<std::vector<HotspotClient>> MobileHotspotClients() { return std::nullopt; }
};

}  // namespace lumora
