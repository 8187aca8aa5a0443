// The hotspot's client network as the IP helper shows it, inside the test
// network namespace (scripts/lib/env.sh netns_up): the phone's neighbour
// entry, and the adapter's byte counters moving with traffic. Skipped when
// not run there.
#include <gtest/gtest.h>
#include <winsock2.h>
#include <ws2tcpip.h>
#include <windows.h>
#include <iphlpapi.h>
#include <netioapi.h>

#include <cstdlib>
#include <vector>

#include "common/mac_text.h"

namespace lumora {
namespace {

class ClientNetwork : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!std::getenv("LUMORA_NETNS")) GTEST_SKIP() << "not inside the test network namespace";
  }
};

// The interface index of the adapter holding `address`, 0 when none.
DWORD IndexOfAddress(const char* address) {
  ULONG size = 0;
  GetAdaptersInfo(nullptr, &size);
  std::vector<char> buffer(size);
  auto* info = reinterpret_cast<IP_ADAPTER_INFO*>(buffer.data());
  if (!size || GetAdaptersInfo(info, &size) != NO_ERROR) return 0;
  for (; info; info = info->Next)
    for (IP_ADDR_STRING* a = &info->IpAddressList; a; a = a->Next)
      if (std::string(a->IpAddress.String) == address) return info->Index;
  return 0;
}

TEST_F(ClientNetwork, ThePhoneIsADynamicNeighbourOfTheHotspotAdapter) {
  const DWORD index = IndexOfAddress("192.168.137.1");
  ASSERT_NE(index, 0u);
  ULONG size = 0;
  GetIpNetTable(nullptr, &size, TRUE);
  std::vector<char> buffer(size);
  auto* table = reinterpret_cast<MIB_IPNETTABLE*>(buffer.data());
  ASSERT_EQ(GetIpNetTable(table, &size, TRUE), DWORD(NO_ERROR));
  bool found = false;
  for (DWORD i = 0; i < table->dwNumEntries; ++i) {
    const MIB_IPNETROW& row = table->table[i];
    if (row.dwAddr != inet_addr("192.168.137.23")) continue;
    found = true;
    EXPECT_EQ(row.dwIndex, index);
    EXPECT_EQ(row.dwType, DWORD(MIB_IPNET_TYPE_DYNAMIC));
    EXPECT_EQ(MacText(row.bPhysAddr), "02-11-22-33-44-55");
  }
  EXPECT_TRUE(found) << "the phone is not in the neighbour table";
}

TEST_F(ClientNetwork, TrafficMovesTheAdapterCounters) {
  const DWORD index = IndexOfAddress("192.168.137.1");
  ASSERT_NE(index, 0u);
  MIB_IF_ROW2 before{};
  before.InterfaceIndex = index;
  ASSERT_EQ(GetIfEntry2(&before), DWORD(NO_ERROR));

  WSADATA wsa;
  ASSERT_EQ(WSAStartup(MAKEWORD(2, 2), &wsa), 0);
  SOCKET s = socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
  sockaddr_in to{};
  to.sin_family = AF_INET;
  to.sin_port = htons(9);
  to.sin_addr.s_addr = inet_addr("192.168.137.23");
  const char payload[1000] = {};
  for (int i = 0; i < 20; ++i)
    sendto(s, payload, sizeof(payload), 0, reinterpret_cast<sockaddr*>(&to), sizeof(to));
  closesocket(s);
  WSACleanup();
  Sleep(200);

  MIB_IF_ROW2 after{};
  after.InterfaceIndex = index;
  ASSERT_EQ(GetIfEntry2(&after), DWORD(NO_ERROR));
  EXPECT_GE(after.OutOctets - before.OutOctets, 20u * 1000u);
}

}  // namespace
}  // namespace lumora
