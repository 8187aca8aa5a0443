// The traffic counters' ports against Wine's IP helper and WMI: the adapters
// are the Linux interfaces ("lo" at least). Wine's Win32_NetworkAdapter has
// no NetConnectionID, so WMI finds nothing here.
#include <gtest/gtest.h>
#include <winsock2.h>
#include <ws2ipdef.h>
#include <windows.h>
#include <iphlpapi.h>

#include <vector>

#include "win32/counters_win.h"
#include "win32/interface_index_win.h"
#include "win32/utf16.h"

namespace lumora {
namespace {

TEST(TrafficPorts, EveryAdapterIsFoundByItsNameAndItsCountersRead) {
  Win32InterfaceIndexPort index;
  Win32CountersPort counters;
  ULONG size = 0;
  GetAdaptersAddresses(AF_UNSPEC, 0, nullptr, nullptr, &size);
  std::vector<unsigned long long> buffer(size / sizeof(unsigned long long) + 1);
  auto* first = reinterpret_cast<IP_ADAPTER_ADDRESSES*>(buffer.data());
  ASSERT_EQ(GetAdaptersAddresses(AF_UNSPEC, 0, nullptr, first, &size), ULONG(NO_ERROR));
  for (auto* a = first; a; a = a->Next) {
    const std::string name = Narrow(a->FriendlyName);
    SCOPED_TRACE(name);
    EXPECT_EQ(index.AdapterGuidByFriendlyName(name), a->AdapterName);
    EXPECT_EQ(index.AdapterIndex(a->AdapterName), a->IfIndex);
    EXPECT_EQ(InterfaceIndexForConnection(index, name), std::int32_t(a->IfIndex));
    EXPECT_TRUE(counters.ReadCounters(a->IfIndex));
  }
}

TEST(TrafficPorts, UnknownNamesGuidsAndIndexesFindNothing) {
  Win32InterfaceIndexPort index;
  Win32CountersPort counters;
  for (const char* name : {"没有这个连接", "Tom's \\ WiFi' OR NetConnectionID<>'", ""}) {
    EXPECT_EQ(index.AdapterGuidByFriendlyName(name), "") << name;
    EXPECT_EQ(index.AdapterGuidFromWmi(name), "") << name;
    EXPECT_EQ(QueryInterfaceCounters(index, counters, name), InterfaceCounters{}) << name;
  }
  EXPECT_EQ(index.AdapterIndex("{00000000-0000-0000-0000-000000000000}"), 0u);
  EXPECT_FALSE(counters.ReadCounters(0));
  EXPECT_FALSE(counters.ReadCounters(987654));
}

}  // namespace
}  // namespace lumora
