#include "guard/neighbour_table.h"

#include <algorithm>

#include "common/mac_text.h"

namespace lumora {
namespace {

std::uint32_t AddressNumber(const NeighbourRow& row) {
  return std::uint32_t(row.ipv4[0]) << 24 | std::uint32_t(row.ipv4[1]) << 16 |
         std::uint32_t(row.ipv4[2]) << 8 | row.ipv4[3];
}

}  // namespace

std::string IpText(const unsigned char ipv4[4]) {
  return std::to_string(ipv4[0]) + "." + std::to_string(ipv4[1]) + "." + std::to_string(ipv4[2]) +
         "." + std::to_string(ipv4[3]);
}

std::vector<NeighbourRow> NeighbourTable::SortedRows() {
  std::vector<NeighbourRow> rows;
  if (!port_.ReadRows(rows)) return {};
  // The system sorts on request already; sorting here keeps the order the
  // same whatever the system's sort key turns out to be.
  std::stable_sort(rows.begin(), rows.end(), [](const NeighbourRow& a, const NeighbourRow& b) {
    return AddressNumber(a) < AddressNumber(b);
  });
  return rows;
}

std::vector<NeighbourEntry> NeighbourTable::ReadAll() {
  std::vector<NeighbourEntry> entries;
  for (const NeighbourRow& row : SortedRows()) {
    NeighbourEntry e;
    e.interface_index = row.interface_index;
    e.physical_address_length = row.physical_address_length;
    e.hardware_address = MacText(row.physical_address);
    e.ip_address = IpText(row.ipv4);
    e.entry_type = row.type;
    entries.push_back(std::move(e));
  }
  return entries;
}

void NeighbourTable::DeleteAll() {
  std::vector<NeighbourRow> rows;
  if (!port_.ReadRows(rows)) return;
  for (const NeighbourRow& row : rows) port_.DeleteRow(row);
}

void NeighbourTable::DeleteByAddress(const std::string& ip) {
  std::vector<NeighbourRow> rows;
  if (!port_.ReadRows(rows)) return;
  for (const NeighbourRow& row : rows)
    if (IpText(row.ipv4) == ip) port_.DeleteRow(row);
}

}  // namespace lumora
