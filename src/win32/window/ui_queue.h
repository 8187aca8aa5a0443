#pragma once
// Calls from workers to the window thread, in the order each worker made
// them: a change is queued and the worker goes on at once; a read waits for
// its turn and its answer. The window thread takes the queue whenever it
// serves messages, also inside a box or a wait. Once the window is gone
// nothing more runs, and a read still waiting gets nothing.
#include <windows.h>

#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>

namespace lumora {

class UiQueue {
 public:
  // The window whose thread takes the queue, woken with `message`.
  void Attach(HWND target, UINT message);
  // Queues `fn`; false (and dropped) once the window is gone.
  bool Post(std::function<void()> fn);
  // Queues `fn` and waits until it has run; false when the window went first.
  bool Call(const std::function<void()>& fn);
  // On the window thread, at `message`: runs what is queued, oldest first.
  void Drain();
  // The window is going: nothing more runs, waiting callers are released.
  void Close();

 private:
  struct Item {
    std::function<void()> fn;
    std::shared_ptr<bool> done;  // a waiting caller's; null for a change
  };
  void Wake(std::unique_lock<std::mutex>& lock);

  std::mutex mutex_;
  std::condition_variable ran_;
  std::deque<Item> items_;
  HWND target_ = nullptr;
  UINT message_ = 0;
  bool closed_ = false;
  bool wake_posted_ = false;
};

}  // namespace lumora
