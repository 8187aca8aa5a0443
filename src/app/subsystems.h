#pragma once
// The calls start-up, the menus and exit make into the other subsystems
// (hotspot controller, client guard, traffic, extras, updates). The lifecycle
// code depends only on this interface; each subsystem fills its part.
#include "ui/controls.h"

namespace lumora {

class Subsystems {
 public:
  virtual ~Subsystems() = default;
  // The system's version code, known before the start-up sequence begins.
  virtual void OnOsVersionCode(int code) = 0;
  // Updates and notices: the notice banner (worker), the update offer (true
  // when the user accepted an update and the program ends), the statistics
  // page, the official site.
  virtual void NoticeLoader() = 0;
  virtual bool CheckForUpdate() = 0;
  virtual void LoadStatisticsPage() = 0;
  virtual void OpenOfficialSite() = 0;
  // Hotspot controller.
  virtual void ResetAllSharing() = 0;
  virtual void FillConnectionList() = 0;
  virtual void ChooseDefaultConnection() = 0;
  virtual void OnStartButton() = 0;
  virtual void RestartHotspot() = 0;
  virtual void AbortAndResetHotspot() = 0;
  virtual void PrepareServices() = 0;
  // Client guard: stops the client scan worker if one runs.
  virtual void StopClientScan() = 0;
  // Autostart option.
  virtual bool AutostartExists() = 0;
  // Theming: the hue (slider position − 160) for the whole window.
  virtual void ApplySkinHue(int hue) = 0;
};

}  // namespace lumora
