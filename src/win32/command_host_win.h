#pragma once
#include "common/command_host.h"

namespace lumora {

// Commands through CreateProcess with a pipe, workers on Win32 threads (each
// with COM initialised for itself).
class Win32CommandHost : public CommandHost {
 public:
  std::string RunHiddenCommand(std::string_view command_line) override;
  std::optional<std::string> RunHiddenCommandIfFound(std::string_view command_line) override;
  void WaitResponsive(int ms) override;
  WorkerHandle StartWorkerThread(std::function<void()> entry) override;
  bool StopWorkerThread(const WorkerHandle& worker) override;

  // How long StopWorkerThread waits for a worker to reach its next check.
  static constexpr unsigned kStopWaitMs = 5000;
};

// The raw bytes a hidden command printed (console code page, not decoded).
std::string RunHiddenCommandBytes(std::string_view command_line);
// The same; nullopt when the process could not be created.
std::optional<std::string> RunHiddenCommandBytesIfFound(std::string_view command_line);

}  // namespace lumora
