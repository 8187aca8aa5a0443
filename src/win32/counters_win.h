#pragma once
// Byte counters from the interface table (GetIfEntry2).
#include "traffic/counters.h"

namespace lumora {

class Win32CountersPort : public CountersPort {
 public:
  std::optional<InterfaceCounters> ReadCounters(std::uint32_t interface_index) override;
};

}  // namespace lumora
