#include "traffic/counters.h"

namespace lumora {

std::uint32_t CounterSource::Resolve(const std::string& connection_name) {
  name_ = connection_name;
  const std::int32_t found = InterfaceIndexForConnection(index_, connection_name);
  kept_index_ = found > 0 ? static_cast<std::uint32_t>(found) : 0;
  return kept_index_;
}

std::optional<InterfaceCounters> CounterSource::Read(const std::string& connection_name) {
  std::lock_guard lock(mutex_);
  if (kept_index_ != 0 && connection_name == name_) {
    if (auto row = counters_.ReadCounters(kept_index_)) return row;
  }
  // A new name, nothing kept yet, or the kept index has gone stale.
  if (Resolve(connection_name) == 0) return std::nullopt;
  auto row = counters_.ReadCounters(kept_index_);
  if (!row) kept_index_ = 0;  // try the whole way again next time
  return row;
}

}  // namespace lumora
