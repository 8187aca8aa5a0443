#include "win32/counters_win.h"

#include <winsock2.h>
#include <ws2ipdef.h>
#include <windows.h>
#include <iphlpapi.h>

namespace lumora {

std::optional<InterfaceCounters> Win32CountersPort::ReadCounters(std::uint32_t interface_index) {
  if (interface_index == 0) return std::nullopt;
  MIB_IF_ROW2 row;
  ZeroMemory(&row, sizeof(row));
  row.InterfaceIndex = interface_index;
  if (GetIfEntry2(&row) != NO_ERROR) return std::nullopt;
  InterfaceCounters counters;
  counters.InOctets = row.InOctets;
  counters.OutOctets = row.OutOctets;
  return counters;
}

}  // namespace lumora
