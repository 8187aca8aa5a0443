#pragma once
// The operating system and the other subsystems as the shell sees them, for
// the core's tests: scripted answers, and every call written to one shared
// log so that tests can check the order of effects across threads.
#include <algorithm>
#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "app/subsystems.h"
#include "app/system_port.h"

namespace lumora::fakes {

class CallLog {
 public:
  void Add(std::string_view entry) {
    std::lock_guard lock(mutex_);
    entries_.emplace_back(entry);
  }
  std::vector<std::string> Entries() const {
    std::lock_guard lock(mutex_);
    return entries_;
  }
  // The entries without those equal to `name` (a worker running alongside).
  std::vector<std::string> Without(std::string_view name) const {
    std::vector<std::string> out = Entries();
    out.erase(std::remove(out.begin(), out.end(), name), out.end());
    return out;
  }
  int Count(std::string_view name) const {
    const auto all = Entries();
    return int(std::count(all.begin(), all.end(), name));
  }
  void Clear() {
    std::lock_guard lock(mutex_);
    entries_.clear();
  }

 private:
  mutable std::mutex mutex_;
  std::vector<std::string> entries_;
};

class FakeSystem : public SystemPort {
 public:
  explicit FakeSystem(CallLog& log) : log_(log) {}

  bool other_instance = false;  // a window with the title exists
  OsVersion version{6, 1};
  std::string asked_title;      // what ActivateOtherInstance looked for
  std::atomic<int> end_process_calls{0};

  bool ActivateOtherInstance(std::string_view title) override {
    log_.Add("ActivateOtherInstance");
    asked_title = title;
    return other_instance;
  }
  OsVersion ProcessOsVersion() override {
    log_.Add("ProcessOsVersion");
    return version;
  }
  void EndProcess() override {
    log_.Add("EndProcess");
    ++end_process_calls;
  }

 private:
  CallLog& log_;
};

// Each call logs its name, then runs `on_call` (on the caller's thread), then
// answers as scripted.
class FakeSubsystems : public Subsystems {
 public:
  explicit FakeSubsystems(CallLog& log) : log_(log) {}

  bool update_accepted = false;   // CheckForUpdate
  bool autostart_exists = false;  // AutostartExists
  std::function<void(std::string_view)> on_call;  // set before any worker starts
  std::vector<int> applied_hues;  // ApplySkinHue runs on the window thread only

  void OnOsVersionCode(int code) override { os_code = code; }
  int os_code = 0;
  void NoticeLoader() override { Called("NoticeLoader"); }
  bool CheckForUpdate() override {
    Called("CheckForUpdate");
    return update_accepted;
  }
  void LoadStatisticsPage() override { Called("LoadStatisticsPage"); }
  void OpenOfficialSite() override { Called("OpenOfficialSite"); }
  void ResetAllSharing() override { Called("ResetAllSharing"); }
  void FillConnectionList() override { Called("FillConnectionList"); }
  void ChooseDefaultConnection() override { Called("ChooseDefaultConnection"); }
  void OnStartButton() override { Called("OnStartButton"); }
  void RestartHotspot() override { Called("RestartHotspot"); }
  void AbortAndResetHotspot() override { Called("AbortAndResetHotspot"); }
  void PrepareServices() override { Called("PrepareServices"); }
  void StopClientScan() override { Called("StopClientScan"); }
  bool AutostartExists() override {
    Called("AutostartExists");
    return autostart_exists;
  }
  void ApplySkinHue(int hue) override {
    Called("ApplySkinHue");
    applied_hues.push_back(hue);
  }

 private:
  void Called(std::string_view name) {
    log_.Add(name);
    if (on_call) on_call(name);
  }

  CallLog& log_;
};

}  // namespace lumora::fakes
