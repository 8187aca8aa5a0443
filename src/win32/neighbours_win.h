#pragma once
// The IPv4 neighbour table through the IP helper.
#include "guard/neighbour_table.h"

namespace lumora {

class Win32NeighbourPort : public NeighbourPort {
 public:
  // GetIpNetTable, sorted; the buffer is sized by a first call without one.
  bool ReadRows(std::vector<NeighbourRow>& rows) override;
  // DeleteIpNetEntry with the row as it was read.
  void DeleteRow(const NeighbourRow& row) override;
};

}  // namespace lumora
