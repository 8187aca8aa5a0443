#include "common/stop_state.h"

#include <vector>

namespace lumora {
namespace {
thread_local StopState* g_current_stop = nullptr;
}

void StopState::RequestStop() {
  std::vector<std::function<void()>> wake;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (stop_.exchange(true, std::memory_order_acq_rel)) return;
    for (auto& [id, fn] : wakers_) wake.push_back(fn);
  }
  for (auto& fn : wake) fn();
}

int StopState::AddWaker(std::function<void()> wake) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!StopRequested()) {
      wakers_.emplace(next_id_, std::move(wake));
      return next_id_++;
    }
  }
  wake();
  return 0;
}

void StopState::RemoveWaker(int id) {
  std::lock_guard<std::mutex> lock(mutex_);
  wakers_.erase(id);
}

StopState* CurrentStop() { return g_current_stop; }

bool StopRequested() { return g_current_stop && g_current_stop->StopRequested(); }

CurrentStopScope::CurrentStopScope(StopState* state) : previous_(g_current_stop) {
  g_current_stop = state;
}

CurrentStopScope::~CurrentStopScope() { g_current_stop = previous_; }

}  // namespace lumora
