#pragma once
// Switching the computer off: the shutdown privilege, then ExitWindowsEx.
#include "extras/extras_ports.h"

namespace lumora {

class Win32Power : public PowerPort {
 public:
  bool AcquireShutdownPrivilege() override;
  void RequestPowerOff() override;
};

}  // namespace lumora
