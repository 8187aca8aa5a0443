#pragma once
// Device names from reverse lookups of the clients' addresses. A lookup can
// hang for many seconds on a device that does not answer, so every lookup
// runs on a short-lived thread of its own and the caller waits for all of
// them together, for a bounded time.
#include <chrono>
#include <condition_variable>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace lumora {

class ReverseLookupPort {
 public:
  virtual ~ReverseLookupPort() = default;
  // The host name of the IPv4 address in dotted decimal; empty when the text
  // is no address or the lookup fails. May block; called from several
  // threads at once.
  virtual std::string HostName(const std::string& ip) = 0;
};

// The name shown for a host name: the first ".mshome.net" (any case) goes;
// a name with "android" in it reads "安卓设备", one with "ipho" "苹果手机".
std::string DeviceNameFromHost(std::string host);

class HostNameLookups {
 public:
  explicit HostNameLookups(ReverseLookupPort& port,
                           std::chrono::milliseconds bound = std::chrono::milliseconds(1000))
      : port_(port), bound_(bound) {}
  // Waits for the lookups still running: they use the port.
  ~HostNameLookups();
  HostNameLookups(const HostNameLookups&) = delete;
  HostNameLookups& operator=(const HostNameLookups&) = delete;

  // The host names of `ips`, looked up in parallel. Waits at most the bound
  // for all of them together, less when the calling worker is asked to stop;
  // a lookup that has not ended by then gives an empty name. An address whose
  // lookup from an earlier call still runs is not asked again: that lookup's
  // answer is awaited instead.
  std::vector<std::string> LookUp(const std::vector<std::string>& ips);

 private:
  struct Lookup {
    bool done = false;
    std::string name;
  };
  std::shared_ptr<Lookup> Begin(const std::string& ip);

  ReverseLookupPort& port_;
  const std::chrono::milliseconds bound_;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::map<std::string, std::shared_ptr<Lookup>> running_;
  int threads_ = 0;
};

}  // namespace lumora
