#pragma once
// The client guard: who is on the hotspot, what they are called, and who is
// kept out. One object for the whole run.
#include "common/file_store.h"
#include "common/settings.h"
#include "hotspot/hotspot_control.h"
#include "ui/subsystem.h"
#include "ui/window_port.h"

namespace lumora {

struct GuardPorts {
  WindowPort& ui;
  SettingsStore& settings;
  FileStore& files;
  HotspotControl& hotspot;
};

class ClientGuard {
 public:
  explicit ClientGuard(GuardPorts ports) : p_(ports) {}
  Subsystem Registration();

  // Creation: the access mode from the settings and both list views.
  void ShowStoredMode();

 private:
  GuardPorts p_;
};

}  // namespace lumora
