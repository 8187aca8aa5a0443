#pragma once
// The extras: the window's hue, the start options (start with Windows, open
// the hotspot at start) and the timed power-off.
#include "common/command_host.h"
#include "common/settings.h"
#include "extras/countdown.h"
#include "extras/extras_ports.h"
#include "hotspot/hotspot_control.h"
#include "ui/subsystem.h"
#include "ui/window_port.h"

namespace lumora {

struct ExtrasPorts {
  WindowPort& ui;
  SettingsStore& settings;
  SkinPort& skin;
  AutostartPort& autostart;
  HotspotControl& hotspot;
  // The timed power-off's end: the hotspot's teardown runs on a worker of
  // `host`, then `power` switches the computer off. Without a host the
  // teardown runs on the calling thread; without a power port nothing is
  // switched off.
  CommandHost* host = nullptr;
  PowerPort* power = nullptr;
};

// The hue the settings and "恢复默认" fall back to: slider position 310.
inline constexpr int kDefaultHuePosition = 310;

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
  // Once the floating bar exists: the theme leaves it alone.
  void DetachSkinFromBar() { p_.skin.DetachSkin(); }

  // The hue slider (its new position) and "恢复默认".
  void OnHueSliderMoved(int position);
  void OnHueResetClicked();

  // 选择框_开机启动 and 选择框_启动.
  void OnAutostartClicked();
  void OnOpenAtStartClicked();

  // The timed power-off: 选择框关机 clicked; an item of 组合框_关机 chosen
  // (its index); a key pressed in 组合框_关机 (its code); the tick of 时钟关机.
  void StartOrCancelCountdown();
  void OnShutdownHoursChosen(int index);
  void OnShutdownHoursKey(int key);
  void ShutdownTick();

  // Asks the teardown worker of the power-off, if one runs, to stop.
  void StopWorkers();

 private:
  void StartOrCancelCountdownWith(const std::string& hours);
  void TearDownAndPowerOff();
  void PowerOff();

  ExtrasPorts p_;
  ShutdownCountdown countdown_;  // window thread only
  WorkerHandle teardown_worker_;
};

}  // namespace lumora
