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

#include "app/system_port.h"
#include "common/command_host.h"
#include "extras/extras.h"
#include "fake_hotspot.h"
#include "hotspot/hotspot_control.h"
#include "ui/subsystem.h"

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

// The subsystems the spine calls, played by registrations whose steps log
// their names, and the ports the extras use. Each call logs its name, then
// runs `on_call` (on the caller's thread), then answers as scripted.
class FakeSubsystems : public SkinPort, public AutostartPort, public FakeHotspot {
 public:
  explicit FakeSubsystems(CallLog& log) : log_(log) {}

  bool update_accepted = false;   // CheckForUpdate
  bool autostart_exists = false;  // AutostartExists
  std::function<void(std::string_view)> on_call;  // set before any worker starts
  std::vector<int> applied_hues;  // ApplySkinHue runs on the window thread only
  OsCode os_code = OsCode::kNotComputed;  // what the hotspot learnt

  // The update subsystem: the notice worker at launch (stopped at exit), the
  // update offer, the statistics page.
  Subsystem Updates(CommandHost& host) {
    Subsystem s;
    s.name = "updates";
    s.startup = {
        {StartupPhase::kLaunch, [this, &host](const StartupInfo&) {
           notice_worker_ = host.StartWorkerThread([this] { Called("NoticeLoader"); });
           return true;
         }},
        {StartupPhase::kOffers, [this](const StartupInfo&) { return !Called("CheckForUpdate", update_accepted); }},
        {StartupPhase::kBackground, [this](const StartupInfo&) { return !Called("LoadStatisticsPage"); }},
    };
    s.stop_workers = [this, &host] {
      Called("StopWorkers updates");
      host.StopWorkerThread(notice_worker_);
    };
    return s;
  }

  // The hotspot: its start-up steps and the reset at exit.
  Subsystem Hotspot() {
    Subsystem s;
    s.name = "hotspot";
    const auto step = [this](StartupPhase phase, const char* name) {
      return StartupStep{phase, [this, name](const StartupInfo&) { return !Called(name); }};
    };
    s.startup = {
        {StartupPhase::kOsKnown, [this](const StartupInfo& info) {
           os_code = info.os;
           return true;
         }},
        step(StartupPhase::kNetwork, "ResetAllSharing"),
        step(StartupPhase::kNetwork, "FillConnectionList"),
        step(StartupPhase::kNetwork, "ChooseDefaultConnection"),
        step(StartupPhase::kBackground, "PrepareServices"),
    };
    s.teardown = [this] { AbortAndResetHotspot(); };
    return s;
  }

  void ApplySkinHue(int hue) override {
    Called("ApplySkinHue");
    applied_hues.push_back(hue);
  }
  bool AutostartExists() override { return Called("AutostartExists", autostart_exists); }
 protected:
  void HotspotCalled(std::string_view name) override { Called(name); }

 private:
  bool Called(std::string_view name, bool answer = false) {
    log_.Add(name);
    if (on_call) on_call(name);
    return answer;
  }

  CallLog& log_;
  WorkerHandle notice_worker_;
};

}  // namespace lumora::fakes
