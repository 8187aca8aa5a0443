#pragma once
// The subsystems that exist, behind the calls the program's spine makes; the
// rest still answer as not built yet.
#include "app/subsystems_pending.h"
#include "hotspot/hotspot_controller.h"

namespace lumora {

class LiveSubsystems : public PendingSubsystems {
 public:
  explicit LiveSubsystems(HotspotController& hotspot) : hotspot_(hotspot) {}

  void OnOsVersionCode(int code) override { hotspot_.SetOsCode(code); }
  void ResetAllSharing() override { hotspot_.ResetAllSharing(); }
  void FillConnectionList() override { hotspot_.FillConnectionList(); }
  void ChooseDefaultConnection() override { hotspot_.ChooseDefaultConnection(); }
  void OnStartButton() override { hotspot_.OnStartButton(); }
  void RestartHotspot() override { hotspot_.RestartHotspot(); }
  void AbortAndResetHotspot() override { hotspot_.AbortAndResetHotspot(); }
  void PrepareServices() override { hotspot_.PrepareServices(); }

 private:
  HotspotController& hotspot_;
};

}  // namespace lumora
