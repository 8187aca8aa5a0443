#pragma once
// What the hotspot sequences need from the operating system to run commands
// and threads. The window thread stays responsive during every call: waits
// and running commands keep serving its window messages.
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "common/stop_state.h"

namespace lumora {

class Worker {
 public:
  virtual ~Worker() = default;
  StopState& Stop() { return stop_; }
  virtual bool Finished() const = 0;

 private:
  StopState stop_;
};
using WorkerHandle = std::shared_ptr<Worker>;

class CommandHost {
 public:
  virtual ~CommandHost() = default;

  // Runs the command line hidden and returns everything it printed to
  // standard output and standard error, decoded to UTF-8 from the console's
  // code page. Empty when the process cannot be created. On a worker whose
  // stop is requested the command is ended and what it printed so far is
  // returned.
  virtual std::string RunHiddenCommand(std::string_view command_line) = 0;
  // The same, but nullopt when the program could not be started at all (it
  // is missing): a caller that must know whether anything ran asks this.
  virtual std::optional<std::string> RunHiddenCommandIfFound(std::string_view command_line) {
    return RunHiddenCommand(command_line);
  }

  // Waits `ms` milliseconds while serving window messages; on a worker, ends
  // early when its stop is requested.
  virtual void WaitResponsive(int ms) = 0;

  // Runs `entry` on a new thread with its own stop state (see StopRequested).
  virtual WorkerHandle StartWorkerThread(std::function<void()> entry) = 0;

  // Asks the worker to stop and waits for it to end, serving window messages
  // meanwhile and for a bounded time. True when the worker has ended.
  virtual bool StopWorkerThread(const WorkerHandle& worker) = 0;
};

}  // namespace lumora
