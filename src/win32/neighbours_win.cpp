#include "win32/neighbours_win.h"

#include <winsock2.h>
#include <windows.h>
#include <iphlpapi.h>

#include <algorithm>
#include <cstddef>
#include <cstring>

namespace lumora {
namespace {

static_assert(sizeof(MIB_IPNETROW{}.bPhysAddr) == sizeof(NeighbourRow{}.physical_address));

}  // namespace

bool Win32NeighbourPort::ReadRows(std::vector<NeighbourRow>& rows) {
  rows.clear();
  ULONG size = 0;
  DWORD result = GetIpNetTable(nullptr, &size, TRUE);
  if (result == ERROR_NO_DATA) return true;  // an empty table
  std::vector<unsigned char> buffer;
  // The table can grow between asking for the size and reading it.
  for (int attempt = 0; attempt < 3 && result == ERROR_INSUFFICIENT_BUFFER && size > 0;
       ++attempt) {
    buffer.assign(size, 0);
    result = GetIpNetTable(reinterpret_cast<MIB_IPNETTABLE*>(buffer.data()), &size, TRUE);
  }
  if (result != NO_ERROR || buffer.size() < sizeof(DWORD)) return false;
  const auto* table = reinterpret_cast<const MIB_IPNETTABLE*>(buffer.data());
  const std::size_t room =
      (buffer.size() - offsetof(MIB_IPNETTABLE, table)) / sizeof(MIB_IPNETROW);
  const std::size_t count = std::min<std::size_t>(table->dwNumEntries, room);
  for (std::size_t i = 0; i < count; ++i) {
    const MIB_IPNETROW& raw = table->table[i];
    NeighbourRow row;
    row.interface_index = raw.dwIndex;
    row.physical_address_length = raw.dwPhysAddrLen;
    std::memcpy(row.physical_address, raw.bPhysAddr, sizeof(row.physical_address));
    std::memcpy(row.ipv4, &raw.dwAddr, sizeof(row.ipv4));
    row.type = raw.dwType;
    rows.push_back(row);
  }
  return true;
}

void Win32NeighbourPort::DeleteRow(const NeighbourRow& row) {
  MIB_IPNETROW raw{};
  raw.dwIndex = row.interface_index;
  raw.dwPhysAddrLen = row.physical_address_length;
  std::memcpy(raw.bPhysAddr, row.physical_address, sizeof(raw.bPhysAddr));
  std::memcpy(&raw.dwAddr, row.ipv4, sizeof(row.ipv4));
  raw.dwType = row.type;
  DeleteIpNetEntry(&raw);
}

}  // namespace lumora
