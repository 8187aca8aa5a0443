#pragma once
// The hotspot as the other subsystems see it: a state the test moves, told
// to every subscriber, and the calls made to it.
#include <functional>
#include <mutex>
#include <optional>
#include <string_view>
#include <vector>

#include "hotspot/hotspot_control.h"

namespace lumora::fakes {

class FakeHotspot : public HotspotControl {
 public:
  std::optional<std::vector<HotspotClient>> mobile_clients;  // the Mobile Hotspot's list
  bool start_accepted = true;

  HotspotState State() const override {
    std::lock_guard lock(mutex_);
    return state_;
  }
  void Subscribe(std::function<void(HotspotState)> changed) override {
    listeners_.push_back(std::move(changed));
  }
  // The hotspot reaches `state`; every subscriber hears it, on this thread.
  void Become(HotspotState state) {
    {
      std::lock_guard lock(mutex_);
      state_ = state;
    }
    for (const auto& l : listeners_) l(state);
  }
  bool Start() override {
    HotspotCalled("Start");
    return start_accepted;
  }
  void AbortAndResetHotspot() override { HotspotCalled("AbortAndResetHotspot"); }
  std::optional<std::vector<HotspotClient>> MobileHotspotClients() override {
    return mobile_clients;
  }

 protected:
  // Each call, by name, on the caller's thread.
  virtual void HotspotCalled(std::string_view) {}

 private:
  mutable std::mutex mutex_;
  HotspotState state_ = HotspotState::kStopped;
  std::vector<std::function<void(HotspotState)>> listeners_;
};

}  // namespace lumora::fakes
