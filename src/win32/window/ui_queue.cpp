#include "win32/window/ui_queue.h"

namespace lumora {

void UiQueue::Attach(HWND target, UINT message) {
  std::lock_guard lock(mutex_);
  target_ = target;
  message_ = message;
}

void UiQueue::Wake(std::unique_lock<std::mutex>& lock) {
  // One wake-up message at a time: the drain it starts takes everything.
  if (wake_posted_) return;
  wake_posted_ = true;
  HWND target = target_;
  const UINT message = message_;
  lock.unlock();
  PostMessageW(target, message, 0, 0);
  lock.lock();
}

bool UiQueue::Post(std::function<void()> fn) {
  std::unique_lock lock(mutex_);
  if (closed_ || !target_) return false;
  items_.push_back({std::move(fn), nullptr});
  Wake(lock);
  return true;
}

bool UiQueue::Call(const std::function<void()>& fn) {
  auto done = std::make_shared<bool>(false);
  std::unique_lock lock(mutex_);
  if (closed_ || !target_) return false;
  // The caller waits, so what `fn` refers to lives until it has run.
  items_.push_back({[&fn] { fn(); }, done});
  Wake(lock);
  ran_.wait(lock, [&] { return *done || closed_; });
  return *done;
}

void UiQueue::Drain() {
  std::unique_lock lock(mutex_);
  wake_posted_ = false;
  // A box opened by one item serves messages: a nested drain takes the
  // next items meanwhile, each still exactly once and in order.
  while (!items_.empty() && !closed_) {
    Item item = std::move(items_.front());
    items_.pop_front();
    // The items behind this one may have been queued under the wake-up that
    // started this drain: a box this item opens needs one of its own.
    if (!items_.empty()) Wake(lock);
    lock.unlock();
    item.fn();
    lock.lock();
    if (item.done) {
      *item.done = true;
      ran_.notify_all();
    }
  }
}

void UiQueue::Close() {
  std::lock_guard lock(mutex_);
  closed_ = true;
  items_.clear();
  ran_.notify_all();
}

}  // namespace lumora
