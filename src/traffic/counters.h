#pragma once
// Byte counters of a network connection, read through the interface index
// of its name. Bytes the hosted adapter received are the clients' upload,
// bytes it sent their download.
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>

#include "net/interface_index.h"

namespace lumora {

struct InterfaceCounters {
  std::uint64_t InOctets = 0;   // received since the interface came up
  std::uint64_t OutOctets = 0;  // sent since then
  friend bool operator==(const InterfaceCounters& a, const InterfaceCounters& b) {
    return a.InOctets == b.InOctets && a.OutOctets == b.OutOctets;
  }
};

// The interface table row of one interface (GetIfEntry2).
class CountersPort {
 public:
  virtual ~CountersPort() = default;
  // The counters of the interface with this index; nothing when the row
  // cannot be read.
  virtual std::optional<InterfaceCounters> ReadCounters(std::uint32_t interface_index) = 0;
};

// The counters of a connection by its name (index by friendly name, WMI,
// GetAdapterIndex, then the row) for the timers, which ask once a second on
// the window thread: the name's index is kept between calls, so an ordinary
// tick reads one row and nothing more. The name is resolved again when it changes and
// when the row of the kept index cannot be read (the adapter was re-created
// under a new index), so the figures are those a fresh query would give.
class CounterSource {
 public:
  CounterSource(InterfaceIndexPort& index, CountersPort& counters)
      : index_(index), counters_(counters) {}

  // Nothing when the name cannot be resolved or its row cannot be read.
  std::optional<InterfaceCounters> Read(const std::string& connection_name);

 private:
  std::uint32_t Resolve(const std::string& connection_name);

  InterfaceIndexPort& index_;
  CountersPort& counters_;
  std::mutex mutex_;
  std::string name_;
  std::uint32_t kept_index_ = 0;  // 0: nothing kept
};

}  // namespace lumora
