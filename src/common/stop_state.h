#pragma once
// Cooperative stopping of worker threads. A worker is never killed from
// outside (a thread killed inside the heap, the loader or a COM call takes its
// lock with it); instead it is asked to stop and checks the request at every
// step, every wait and every command.
#include <atomic>
#include <functional>
#include <map>
#include <mutex>

namespace lumora {

class StopState {
 public:
  void RequestStop();
  bool StopRequested() const { return stop_.load(std::memory_order_acquire); }

  // `wake` runs once when a stop is requested (at once if it already was), so
  // that a blocking wait can end early. Remove it before what it touches dies.
  int AddWaker(std::function<void()> wake);
  void RemoveWaker(int id);

 private:
  std::atomic<bool> stop_{false};
  std::mutex mutex_;
  std::map<int, std::function<void()>> wakers_;
  int next_id_ = 1;
};

// The stop state this thread runs under: its worker's, or the one a
// CurrentStopScope set (the reset at exit, the helper thread of a bounded
// request); null on the window thread, which is never asked to stop.
StopState* CurrentStop();
// True when the current stop state's stop was requested.
bool StopRequested();

// Makes `state` the current thread's stop state for its lifetime.
class CurrentStopScope {
 public:
  explicit CurrentStopScope(StopState* state);
  ~CurrentStopScope();
  CurrentStopScope(const CurrentStopScope&) = delete;
  CurrentStopScope& operator=(const CurrentStopScope&) = delete;

 private:
  StopState* previous_;
};

}  // namespace lumora
