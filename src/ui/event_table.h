#pragma once
// The one route from a window event to the subsystems: the registrations of
// every subsystem, in wiring order, looked up by control, timer or menu item.
#include <vector>

#include "common/command_host.h"
#include "ui/subsystem.h"

namespace lumora {

class EventTable {
 public:
  EventTable() = default;
  explicit EventTable(std::vector<Subsystem> subsystems) : subsystems_(std::move(subsystems)) {}
  // Where side-by-side start-up steps get their workers; without it every
  // step runs in turn on the calling thread.
  void SetWorkerHost(CommandHost* host) { host_ = host; }
  void Add(Subsystem subsystem) { subsystems_.push_back(std::move(subsystem)); }

  // Each runs every handler registered for the event; false when there is none.
  bool Dispatch(Ctl control, ControlEvent event, int value = 0) const;
  bool Tick(Timer timer) const;
  bool Choose(MenuItem item) const;

  // The steps of one phase; false as soon as one ends the sequence (steps
  // that ran side by side all end first).
  bool RunStartup(StartupPhase phase, const StartupInfo& info) const;
  // Every subsystem's `shell`, in wiring order.
  void Announce(ShellMoment moment) const;
  void StopWorkers() const;
  void Teardown() const;

 private:
  std::vector<Subsystem> subsystems_;
  CommandHost* host_ = nullptr;
};

}  // namespace lumora
