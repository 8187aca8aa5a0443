#include "ui/event_table.h"

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
  for (const Subsystem& s : subsystems_) {
    int index = 0;
    for (const StartupStep& step : s.startup) {
      if (step.phase != phase) continue;
      // "step updates/3.0": the subsystem, the phase and the step's place in it.
      const std::string name = "step " + std::string(s.name) + "/" +
                               std::to_string(int(phase)) + "." + std::to_string(index++);
      TraceMark(name + " begin");
      const bool go_on = step.run(info) && !StopRequested();
      TraceMark(name + " end");
      if (!go_on) return false;
    }
  }
  return true;
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
