// The traffic counters' ports against the IP helper and WMI that Wine
// provides: under Wine the adapters are the Linux interfaces ("lo" at least).
#include <gtest/gtest.h>
#include <winsock2.h>
#include <ws2ipdef.h>
#include <windows.h>
#include <iphlpapi.h>

#include <string>
#include <vector>

#include "traffic/counters.h"
#include "win32/counters_win.h"
#include "win32/interface_index_win.h"
#include "win32/utf16.h"

namespace lumora {
namespace {

struct Adapter {
  std::string name, guid;
  ULONG index;
};

std::vector<Adapter> SystemAdapters() {
  ULONG size = 0;
  GetAdaptersAddresses(AF_UNSPEC, 0, nullptr, nullptr, &size);
  std::vector<unsigned long long> buffer(size / sizeof(unsigned long long) + 1);
  auto* first = reinterpret_cast<IP_ADAPTER_ADDRESSES*>(buffer.data());
  std::vector<Adapter> out;
  if (!size || GetAdaptersAddresses(AF_UNSPEC, 0, nullptr, first, &size) != NO_ERROR) return out;
  for (auto* a = first; a; a = a->Next)
    out.push_back({Narrow(a->FriendlyName), a->AdapterName, a->IfIndex});
  return out;
}

TEST(TrafficPorts, EveryAdapterIsFoundByItsNameAndItsCountersRead) {
  Win32InterfaceIndexPort index;
  Win32CountersPort counters;
  const auto adapters = SystemAdapters();
  ASSERT_FALSE(adapters.empty());
  for (const Adapter& a : adapters) {
    SCOPED_TRACE(a.name);
    EXPECT_EQ(index.AdapterGuidByFriendlyName(a.name), a.guid);
    EXPECT_EQ(index.AdapterIndex(a.guid), a.index);
    EXPECT_TRUE(counters.ReadCounters(a.index));
    EXPECT_EQ(InterfaceIndexForConnection(index, a.name), std::int32_t(a.index));
  }
}

TEST(TrafficPorts, UnknownNamesGuidsAndIndexesFindNothing) {
  Win32InterfaceIndexPort index;
  Win32CountersPort counters;
  for (const char* name : {"没有这个连接", "Tom's \\ WiFi' OR NetConnectionID<>'", ""}) {
    SCOPED_TRACE(name);
    EXPECT_EQ(index.AdapterGuidByFriendlyName(name), "");
    EXPECT_EQ(index.AdapterGuidFromWmi(name), "");
    EXPECT_EQ(QueryInterfaceCounters(index, counters, name), InterfaceCounters{});
  }
  EXPECT_EQ(index.AdapterIndex("{00000000-0000-0000-0000-000000000000}"), 0u);
  EXPECT_EQ(index.AdapterIndex(""), 0u);
  EXPECT_FALSE(counters.ReadCounters(0));
  EXPECT_FALSE(counters.ReadCounters(987654));
}

}  // namespace
}  // namespace lumora
