#include "ui/event_table.h"

#include "common/stop_state.h"

namespace lumora {

bool EventTable::Dispatch(Ctl control, ControlEvent event, int value) const {
  bool handled = false;
  for (const Subsystem& s : subsystems_)
    for (const ControlRoute& r : s.controls)
      if (r.control == control && r.event == event) {
        r.run(value);
        handled = true;
      }
  return handled;
}

bool EventTable::Tick(Timer timer) const {
  bool handled = false;
  for (const Subsystem& s : subsystems_)
    for (const TimerRoute& r : s.timers)
      if (r.timer == timer) {
        r.run();
        handled = true;
      }
  return handled;
}

bool EventTable::Choose(MenuItem item) const {
  bool handled = false;
  for (const Subsystem& s : subsystems_)
    for (const MenuRoute& r : s.menus)
      if (r.item == item) {
        r.run();
        handled = true;
      }
  return handled;
}

bool EventTable::RunStartup(StartupPhase phase, const StartupInfo& info) const {
  for (const Subsystem& s : subsystems_)
    for (const StartupStep& step : s.startup)
      if (step.phase == phase && (!step.run(info) || StopRequested())) return false;
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
