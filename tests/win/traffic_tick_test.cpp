// What one tick of the bar costs the window thread under Wine: the counter
// read of SampleRates (the kept index, one interface row) and, for
// comparison, a query that resolves the name anew. Printed for the record;
// a read slow enough to make the window stutter fails.
#include <gtest/gtest.h>
#include <winsock2.h>
#include <windows.h>
#include <iphlpapi.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

#include "traffic/counters.h"
#include "win32/counters_win.h"
#include "win32/interface_index_win.h"

namespace lumora {
namespace {

// The first adapter's connection name, in the ANSI code page.
std::string SomeConnectionName() {
  ULONG size = 0;
  GetAdaptersAddresses(AF_UNSPEC, 0, nullptr, nullptr, &size);
  std::vector<unsigned long long> buffer(size / sizeof(unsigned long long) + 1);
  auto* first = reinterpret_cast<IP_ADAPTER_ADDRESSES*>(buffer.data());
  if (!size || GetAdaptersAddresses(AF_UNSPEC, 0, nullptr, first, &size) != NO_ERROR) return {};
  char name[256] = {};
  WideCharToMultiByte(CP_ACP, 0, first->FriendlyName, -1, name, sizeof(name), nullptr, nullptr);
  return name;
}

template <class F>
std::pair<double, double> MedianAndWorstMs(F&& once) {
  std::vector<double> ms;
  for (int i = 0; i < 100; ++i) {
    const auto start = std::chrono::steady_clock::now();
    once();
    ms.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                     .count());
  }
  std::sort(ms.begin(), ms.end());
  return {ms[ms.size() / 2], ms.back()};
}

TEST(TrafficTick, CounterReadOfOneTick) {
  const std::string name = SomeConnectionName();
  ASSERT_FALSE(name.empty());
  Win32InterfaceIndexPort index;
  Win32CountersPort counters;
  CounterSource source(index, counters);
  ASSERT_TRUE(source.Read(name).has_value()) << name;
  const auto [tick_median, tick_worst] = MedianAndWorstMs([&] { source.Read(name); });
  const auto [fresh_median, fresh_worst] =
      MedianAndWorstMs([&] { QueryInterfaceCounters(index, counters, name); });
  std::printf("tick (kept index): median %.3f ms, worst %.3f ms\n"
              "fresh query:       median %.3f ms, worst %.3f ms\n",
              tick_median, tick_worst, fresh_median, fresh_worst);
  EXPECT_EQ(source.Resolutions(), 1);
  EXPECT_LT(tick_median, 20.0);
}

}  // namespace
}  // namespace lumora
