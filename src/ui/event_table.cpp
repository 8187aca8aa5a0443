#include "ui/event_table.h"

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <span>
#include <string>

#include "common/stop_state.h"
#include "common/trace.h"

namespace lumora {

namespace {

// Runs every route of every subsystem that `matches`; false when none did.
template <class Route, class Matches, class Run>
bool RunMatching(const std::vector<Subsystem>& subsystems, std::vector<Route> Subsystem::*routes,
                 Matches matches, Run run) {
  bool handled = false;
  for (const Subsystem& s : subsystems)
    for (const Route& r : s.*routes)
      if (matches(r)) {
        run(r);
        handled = true;
      }
  return handled;
}

struct NamedStep {
  const StartupStep* step;
  std::string name;
};

bool RunTraced(const NamedStep& s, const StartupInfo& info) {
  TraceMark(s.name + " begin");
  const bool go_on = s.step->run(info) && !StopRequested();
  TraceMark(s.name + " end");
  return go_on;
}

// Each step on a worker of its own, all waited for; a stop of the calling
// worker reaches them. False when one of them ends the sequence.
bool RunSideBySide(CommandHost& host, std::span<const NamedStep> steps, const StartupInfo& info) {
  struct Shared {
    std::mutex mutex;
    std::condition_variable changed;
    std::size_t ended = 0;
    bool go_on = true;
  };
  auto shared = std::make_shared<Shared>();
  const auto ended = [shared](bool go_on) {
    std::lock_guard lock(shared->mutex);
    shared->go_on = shared->go_on && go_on;
    ++shared->ended;
    shared->changed.notify_all();
  };
  std::vector<WorkerHandle> workers;
  for (const NamedStep& s : steps) {
    WorkerHandle worker = host.StartWorkerThread([ended, &s, &info] { ended(RunTraced(s, info)); });
    // No thread for it: the step runs here, in turn.
    if (!worker) ended(RunTraced(s, info));
    workers.push_back(std::move(worker));
  }
  // The waker may run after it was removed: it holds its own handles.
  StopState* own = CurrentStop();
  const int waker = own->AddWaker([workers] {
    for (const WorkerHandle& w : workers)
      if (w) w->Stop().RequestStop();
  });
  // A worker stopped before it began never runs its step, nor counts it:
  // its end is looked at too.
  const auto all_ended = [&] {
    if (shared->ended == steps.size()) return true;
    for (const WorkerHandle& w : workers)
      if (w && !w->Finished()) return false;
    return true;
  };
  {
    std::unique_lock lock(shared->mutex);
    while (!shared->changed.wait_for(lock, std::chrono::milliseconds(20), all_ended)) {
    }
  }
  own->RemoveWaker(waker);
  std::lock_guard lock(shared->mutex);
  return shared->go_on && !StopRequested();
}

}  // namespace

bool EventTable::Dispatch(Ctl control, ControlEvent event, int value) const {
  return RunMatching(
      subsystems_, &Subsystem::controls,
      [&](const ControlRoute& r) { return r.control == control && r.event == event; },
      [&](const ControlRoute& r) { r.run(value); });
}

bool EventTable::Tick(Timer timer) const {
  return RunMatching(
      subsystems_, &Subsystem::timers, [&](const TimerRoute& r) { return r.timer == timer; },
      [](const TimerRoute& r) { r.run(); });
}

bool EventTable::Choose(MenuItem item) const {
  return RunMatching(
      subsystems_, &Subsystem::menus, [&](const MenuRoute& r) { return r.item == item; },
      [](const MenuRoute& r) { r.run(); });
}

bool EventTable::RunStartup(StartupPhase phase, const StartupInfo& info) const {
  TraceMark("phase " + std::to_string(int(phase)));
  std::vector<NamedStep> steps;
  for (const Subsystem& s : subsystems_) {
    int index = 0;
    for (const StartupStep& step : s.startup)
      if (step.phase == phase)
        // "step updates/3.0": the subsystem, the phase and the step's place in it.
        steps.push_back({&step, "step " + std::string(s.name) + "/" + std::to_string(int(phase)) +
                                    "." + std::to_string(index++)});
  }
  // Side by side only on a worker: the window thread keeps its steps in turn,
  // so that it serves its messages through their own waits.
  const bool parallel = host_ && CurrentStop();
  for (std::size_t i = 0; i < steps.size();) {
    std::size_t end = i + 1;
    while (parallel && steps[i].step->side_by_side && end < steps.size() &&
           steps[end].step->side_by_side)
      ++end;
    const bool go_on = end - i > 1 ? RunSideBySide(*host_, {&steps[i], &steps[end]}, info)
                                   : RunTraced(steps[i], info);
    if (!go_on) return false;
    i = end;
  }
  return true;
}

void EventTable::Announce(ShellMoment moment) const {
  for (const Subsystem& s : subsystems_)
    if (s.shell) s.shell(moment);
}

void EventTable::StopWorkers() const {
  for (auto s = subsystems_.rbegin(); s != subsystems_.rend(); ++s)
    if (s->stop_workers) s->stop_workers();
}

void EventTable::Teardown() const {
  for (auto s = subsystems_.rbegin(); s != subsystems_.rend(); ++s)
    if (s->teardown) s->teardown();
}

}  // namespace lumora
