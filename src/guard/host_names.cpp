#include "guard/host_names.h"

#include "common/detached_thread.h"
#include "common/stop_state.h"
#include "common/text.h"

namespace lumora {

std::string DeviceNameFromHost(std::string host) {
  constexpr std::string_view kSuffix = ".mshome.net";
  const std::size_t at = FindNoCase(host, kSuffix);
  if (at != std::string::npos) host.erase(at, kSuffix.size());
  if (ContainsNoCase(host, "android")) host = "安卓设备";
  if (ContainsNoCase(host, "ipho")) host = "苹果手机";
  return host;
}

HostNameLookups::~HostNameLookups() {
  std::unique_lock lock(mutex_);
  changed_.wait(lock, [this] { return threads_ == 0; });
}

std::shared_ptr<HostNameLookups::Lookup> HostNameLookups::Begin(const std::string& ip) {
  // Under mutex_.
  auto it = running_.find(ip);
  if (it != running_.end()) return it->second;
  auto lookup = std::make_shared<Lookup>();
  const bool started = StartDetachedThread([this, ip, lookup] {
    std::string name = port_.HostName(ip);
    std::lock_guard lock(mutex_);
    lookup->name = std::move(name);
    lookup->done = true;
    auto found = running_.find(ip);
    if (found != running_.end() && found->second == lookup) running_.erase(found);
    --threads_;
    changed_.notify_all();
  });
  if (!started) {
    lookup->done = true;  // no thread to be had: no name this time
    return lookup;
  }
  ++threads_;
  running_.emplace(ip, lookup);
  return lookup;
}

std::vector<std::string> HostNameLookups::LookUp(const std::vector<std::string>& ips) {
  std::vector<std::shared_ptr<Lookup>> lookups;
  const auto deadline = std::chrono::steady_clock::now() + bound_;
  std::unique_lock lock(mutex_);
  for (const std::string& ip : ips) lookups.push_back(Begin(ip));

  // A stop request ends the wait at once.
  StopState* stop = CurrentStop();
  int waker = 0;
  if (stop) {
    lock.unlock();
    waker = stop->AddWaker([this] {
      std::lock_guard wake(mutex_);
      changed_.notify_all();
    });
    lock.lock();
  }
  changed_.wait_until(lock, deadline, [&] {
    if (StopRequested()) return true;
    for (const auto& l : lookups)
      if (!l->done) return false;
    return true;
  });
  std::vector<std::string> names;
  for (const auto& l : lookups) names.push_back(l->done ? l->name : std::string());
  lock.unlock();
  if (stop) stop->RemoveWaker(waker);
  return names;
}

}  // namespace lumora
