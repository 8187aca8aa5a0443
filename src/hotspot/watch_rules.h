#pragma once
// What the watcher of a running hotspot makes of what it saw, and how often
// a heal may try: pure rules, so that each can be shown on its own.
#include <cstdint>
#include <deque>
#include <optional>
#include <string>

#include "hotspot/hotspot_path.h"

namespace lumora {

// What one look at the system showed. A fact that could not be read is
// nothing, and nothing is ever done on it.
struct WatchFacts {
  HotspotPath path = HotspotPath::kNetsh;
  std::optional<bool> hosted_up;       // the hosted network runs (netsh and WLAN ways)
  std::optional<bool> tethering_up;    // the Mobile Hotspot runs
  std::optional<bool> public_shared;   // sharing on the public side (not the Mobile Hotspot)
  std::optional<bool> private_shared;  // and on the hosted adapter's side
  bool public_connected = true;        // the shared connection is still there and connected
  std::string public_name;             // the shared connection
  std::string internet;                // the connection the internet goes through now; empty: none known
  std::string internet_at_start;       // the one it went through when the hotspot came up
};

enum class WatchVerdict {
  kFine,
  kHotspotDown,  // the hosted network or the Mobile Hotspot is off
  kSharingOff,   // a side of the sharing was switched off
  kMoved,        // the internet now goes through another connection
};

struct WatchAction {
  WatchVerdict verdict = WatchVerdict::kFine;
  std::string share;  // kMoved: the connection to share instead
};

WatchAction JudgeHotspot(const WatchFacts& facts);

// At most kHealAttempts heal attempts in any kHealWindowMs, over every heal
// of the run: a hotspot the system keeps taking down comes to rest.
inline constexpr int kHealAttempts = 3;
inline constexpr std::int64_t kHealWindowMs = 10 * 60 * 1000;
// The pause before each attempt of one heal.
inline constexpr int kHealPauseMs[kHealAttempts] = {0, 10000, 30000};

class HealBudget {
 public:
  // Takes an attempt at `now_ms` when the budget allows one.
  bool Take(std::int64_t now_ms);

 private:
  std::deque<std::int64_t> attempts_;
};

}  // namespace lumora
