#pragma once
// The hotspot's state and its changes: one table of what may follow what,
// one lock around the current state, and the changes handed to the
// subscribers in the order they happened. The same lock keeps the hotspot's
// workers (start, restart, heal, stop, reset) to one at a time.
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <vector>

#include "common/stop_state.h"
#include "hotspot/hotspot_control.h"

namespace lumora {

// What happens to the hotspot.
enum class HotspotEvent : unsigned char {
  kStart,       // the button, or the start at launch
  kRestart,     // "重启WiFi" while running
  kStarted,     // a start or a heal brought it up
  kStartEnded,  // a start ended without bringing it up (refused, failed)
  kLost,        // the system took it down behind our back
  kGaveUp,      // a heal that kept failing came to rest
  kStop,        // the user's stop, the program's end, the power-off, an update
  kStopDone,    // the stop or reset has finished
};

// The state after `event` in `from`; nothing when the event does not apply
// there (a start while one runs, a heal's success after a stop).
std::optional<HotspotState> NextHotspotState(HotspotState from, HotspotEvent event);

// Every accepted change gets a new number. A worker is launched with the
// number of the change that launched it and may report its own results only
// while no other change came in between: a stop is never undone by a start
// or heal that finished after it.
struct HotspotTicket {
  HotspotState state;
  unsigned number;
};

class HotspotStateModel {
 public:
  using Listener = std::function<void(HotspotState)>;

  HotspotState Current() const;
  // The current state with its number, for a worker that may report on it.
  HotspotTicket Ticket() const;
  // Applies the event under the lock; the new state and its number, or
  // nothing when it was refused. A start, restart or stop also asks the
  // hotspot's running worker to stop (after the lock is released).
  std::optional<HotspotTicket> Apply(HotspotEvent event);
  // A worker's result: applied only while `ticket` is still the latest
  // change, which it then becomes.
  bool Report(HotspotTicket& ticket, HotspotEvent event);

  // The hotspot's workers, one at a time: Enter waits until the previous
  // one has left, then admits the caller when `ticket` is still the latest
  // change. False (nothing to do) when a newer change came, or when the
  // caller's own stop was requested meanwhile.
  bool Enter(const HotspotTicket& ticket);
  void Leave();
  // Waits until the state is no longer kStopping, or the caller's stop is
  // requested.
  void WaitWhileStopping();

  void AddListener(Listener listener);
  // Hands every queued change to the listeners, oldest first, outside the
  // lock. Several threads may call it; one of them delivers at a time, so
  // the listeners hear the changes in order and never two at once.
  void Deliver();

 private:
  std::optional<HotspotTicket> ApplyLocked(HotspotEvent event);
  // Waits on `changed_` until `done` holds or the caller's stop is asked.
  template <class Done>
  bool WaitUntil(std::unique_lock<std::mutex>& lock, Done done);

  mutable std::mutex mutex_;
  std::condition_variable changed_;
  HotspotState state_ = HotspotState::kStopped;
  unsigned number_ = 0;
  bool busy_ = false;                  // a hotspot worker is inside
  StopState* running_stop_ = nullptr;  // its stop, while it is inside
  std::deque<HotspotState> pending_;
  bool delivering_ = false;
  std::vector<Listener> listeners_;  // fixed once the program runs
};

}  // namespace lumora
