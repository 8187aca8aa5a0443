#pragma once
// Stand-in for subsystems that are not built yet: each call does nothing and
// reports "nothing there" (no update, no autostart value). As each subsystem
// lands, its calls move to the real implementation.
#include "app/subsystems.h"

namespace lumora {

class PendingSubsystems : public Subsystems {
 public:
  void OnOsVersionCode(int) override {}
  void NoticeLoader() override {}
  bool CheckForUpdate() override { return false; }
  void LoadStatisticsPage() override {}
  void OpenOfficialSite() override {}
  void ResetAllSharing() override {}
  void FillConnectionList() override {}
  void ChooseDefaultConnection() override {}
  void OnStartButton() override {}
  void RestartHotspot() override {}
  void AbortAndResetHotspot() override {}
  void PrepareServices() override {}
  void StopClientScan() override {}
  bool AutostartExists() override { return false; }
  void ApplySkinHue(int) override {}
};

}  // namespace lumora
