#include "hotspot/hotspot_state.h"

#include <chrono>

namespace lumora {
namespace {

using S = HotspotState;
using E = HotspotEvent;

struct Transition {
  S from;
  E event;
  S to;
};

// Everything not listed is refused.
constexpr Transition kTransitions[] = {
    {S::kStopped, E::kStart, S::kStarting},
    {S::kRunning, E::kRestart, S::kStarting},
    {S::kStarting, E::kStarted, S::kRunning},
    {S::kHealing, E::kStarted, S::kRunning},
    {S::kStarting, E::kStartEnded, S::kStopped},
    {S::kRunning, E::kLost, S::kHealing},
    {S::kHealing, E::kGaveUp, S::kStopped},
    // The reset at the end of the program runs from any state but a stop in
    // progress, which it waits for instead.
    {S::kStopped, E::kStop, S::kStopping},
    {S::kStarting, E::kStop, S::kStopping},
    {S::kRunning, E::kStop, S::kStopping},
    {S::kHealing, E::kStop, S::kStopping},
    {S::kStopping, E::kStopDone, S::kStopped},
};

// Events from outside the running worker: it is asked to stop.
bool Interrupts(HotspotEvent event) {
  return event == E::kStart || event == E::kRestart || event == E::kStop;
}

}  // namespace

std::optional<HotspotState> NextHotspotState(HotspotState from, HotspotEvent event) {
  for (const Transition& t : kTransitions)
    if (t.from == from && t.event == event) return t.to;
  return std::nullopt;
}

HotspotState HotspotStateModel::Current() const {
  std::lock_guard lock(mutex_);
  return state_;
}

HotspotTicket HotspotStateModel::Ticket() const {
  std::lock_guard lock(mutex_);
  return HotspotTicket{state_, number_};
}

std::optional<HotspotTicket> HotspotStateModel::Apply(HotspotEvent event) {
  std::lock_guard lock(mutex_);
  return ApplyLocked(event);
}

bool HotspotStateModel::Report(HotspotTicket& ticket, HotspotEvent event) {
  std::lock_guard lock(mutex_);
  if (ticket.number != number_) return false;
  const std::optional<HotspotTicket> next = ApplyLocked(event);
  if (next) ticket = *next;
  return next.has_value();
}

std::optional<HotspotTicket> HotspotStateModel::ApplyLocked(HotspotEvent event) {
  const std::optional<HotspotState> next = NextHotspotState(state_, event);
  if (!next) return std::nullopt;
  state_ = *next;
  ++number_;
  pending_.push_back(*next);
  // A flag and wake-ups only (an event set, a request cancelled): nothing
  // that could wait for this lock.
  if (Interrupts(event) && running_stop_) running_stop_->RequestStop();
  changed_.notify_all();
  return HotspotTicket{state_, number_};
}

template <class Done>
bool HotspotStateModel::WaitUntil(std::unique_lock<std::mutex>& lock, Done done) {
  StopState* own = CurrentStop();
  if (!own) {
    changed_.wait(lock, done);
    return true;
  }
  // The caller's stop ends the wait, so a reset at the program's end stays
  // within its bound. The wake-up may come from a thread that holds the
  // lock (a stop asked inside Apply): it only notifies, and the short wait
  // catches one that slips in before this thread sleeps.
  lock.unlock();
  const int waker = own->AddWaker([this] { changed_.notify_all(); });
  lock.lock();
  while (!done() && !own->StopRequested()) changed_.wait_for(lock, std::chrono::milliseconds(50));
  lock.unlock();
  own->RemoveWaker(waker);
  lock.lock();
  return done();
}

bool HotspotStateModel::Enter(const HotspotTicket& ticket) {
  std::unique_lock lock(mutex_);
  if (!WaitUntil(lock, [this] { return !busy_; })) return false;
  if (ticket.number != number_ || StopRequested()) return false;
  busy_ = true;
  running_stop_ = CurrentStop();
  return true;
}

void HotspotStateModel::Leave() {
  std::lock_guard lock(mutex_);
  busy_ = false;
  running_stop_ = nullptr;
  changed_.notify_all();
}

void HotspotStateModel::WaitWhileStopping() {
  std::unique_lock lock(mutex_);
  WaitUntil(lock, [this] { return state_ != HotspotState::kStopping; });
}

void HotspotStateModel::AddListener(Listener listener) {
  std::lock_guard lock(mutex_);
  listeners_.push_back(std::move(listener));
}

void HotspotStateModel::Deliver() {
  std::unique_lock lock(mutex_);
  if (delivering_) return;  // the one delivering takes this change too
  delivering_ = true;
  while (!pending_.empty()) {
    const HotspotState state = pending_.front();
    pending_.pop_front();
    const std::vector<Listener> listeners = listeners_;
    lock.unlock();
    for (const Listener& l : listeners) l(state);
    lock.lock();
  }
  delivering_ = false;
}

}  // namespace lumora
