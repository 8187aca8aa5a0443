#pragma once
// The extras: the window's hue, the start options (start with Windows, open
// the hotspot at start) and the timed power-off.
#include "common/settings.h"
#include "hotspot/hotspot_control.h"
#include "ui/subsystem.h"
#include "ui/window_port.h"

namespace lumora {

// The theme behind the hue slider.
class SkinPort {
 public:
  virtual ~SkinPort() = default;
  // The hue (slider position − 160) for every window but the floating bar.
  virtual void ApplySkinHue(int hue) = 0;
};

// The autostart value under the machine-wide Run key.
class AutostartPort {
 public:
  virtual ~AutostartPort() = default;
  virtual bool AutostartExists() = 0;
};

struct ExtrasPorts {
  WindowPort& ui;
  SettingsStore& settings;
  SkinPort& skin;
  AutostartPort& autostart;
  HotspotControl& hotspot;
};

class Extras {
 public:
  explicit Extras(ExtrasPorts ports) : p_(ports) {}
  Subsystem Registration();

  // Creation: the stored hue on the slider, its label and the theme; the
  // group captions' colours; two hours in the shutdown box.
  void ShowStoredHue();
  // Start-up, once the start button is ready: the autostart check box from
  // the registry, and the hotspot opened when the settings ask for it.
  void ApplyStartOptions();

 private:
  ExtrasPorts p_;
};

}  // namespace lumora
