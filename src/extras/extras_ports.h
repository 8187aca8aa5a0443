#pragma once
// What the extras need from the operating system: the theme painter, the
// autostart value under the machine-wide Run key, and the power-off.
#include <string>

namespace lumora {

// The theme behind the hue slider.
class SkinPort {
 public:
  virtual ~SkinPort() = default;
  // The hue (slider position − 160) for every window but the floating bar.
  virtual void ApplySkinHue(int hue) = 0;
  // The floating bar keeps its own picture and outline: the theme leaves it
  // alone from now on.
  virtual void DetachSkin() {}
};

// The value tovkwifiqd under HKLM SOFTWARE\Microsoft\Windows\CurrentVersion\Run.
class AutostartPort {
 public:
  virtual ~AutostartPort() = default;
  // Whether the value can be read; its data is never looked at.
  virtual bool AutostartExists() = 0;
  // On: writes the value with the program's path (RunValueData). Off: removes
  // the value (or a key of that name). False when the registry was not
  // changed as asked, typically for want of administrator rights.
  virtual bool SetAutostart(bool on) { return false; }
};

// Switching the computer off at the end of the countdown.
class PowerPort {
 public:
  virtual ~PowerPort() = default;
  // Enables the shutdown privilege of this process. False when the token
  // cannot be opened or the privilege was not granted: nothing may then be
  // asked of the system.
  virtual bool AcquireShutdownPrivilege() = 0;
  // Asks the system to power off, without forcing programs to close; the
  // answer is not looked at.
  virtual void RequestPowerOff() = 0;
};

}  // namespace lumora
