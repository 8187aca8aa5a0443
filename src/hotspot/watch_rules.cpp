#include "hotspot/watch_rules.h"

namespace lumora {

WatchAction JudgeHotspot(const WatchFacts& f) {
  if (f.path == HotspotPath::kMobileHotspot) {
    if (f.tethering_up == false) return {WatchVerdict::kHotspotDown, {}};
  } else {
    if (f.hosted_up == false) return {WatchVerdict::kHotspotDown, {}};
    if (f.public_shared == false || f.private_shared == false) return {WatchVerdict::kSharingOff, {}};
  }
  // The internet moved away from the shared connection: the connection went
  // (cable pulled, Wi-Fi lost), or the internet left it for another. A second
  // connection that merely carries the internet too leaves the user's
  // choice alone.
  const bool elsewhere = !f.internet.empty() && f.internet != f.public_name;
  if (elsewhere && (!f.public_connected || f.internet_at_start == f.public_name))
    return {WatchVerdict::kMoved, f.internet};
  return {};
}

bool HealBudget::Take(std::int64_t now_ms) {
  while (!attempts_.empty() && now_ms - attempts_.front() >= kHealWindowMs) attempts_.pop_front();
  if (int(attempts_.size()) >= kHealAttempts) return false;
  attempts_.push_back(now_ms);
  return true;
}

}  // namespace lumora
