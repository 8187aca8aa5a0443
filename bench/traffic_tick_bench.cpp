// What one tick of the bar costs the window thread under Wine: the counter
// read of SampleRates (the kept index, one interface row) and, for
// comparison, a query that resolves the name anew. Median and worst of 100.
//   traffic_tick_bench.exe
#include <winsock2.h>
#include <windows.h>
#include <iphlpapi.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "timing.h"
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
    const double start = NowMs();
    once();
    ms.push_back(NowMs() - start);
  }
  return {Median(ms), *std::max_element(ms.begin(), ms.end())};
}

}  // namespace
}  // namespace lumora

int main() {
  using namespace lumora;
  const std::string name = SomeConnectionName();
  Win32InterfaceIndexPort index;
  Win32CountersPort counters;
  CounterSource source(index, counters);
  if (name.empty() || !source.Read(name)) {
    std::printf("no adapter whose counters can be read\n");
    return 1;
  }
  const auto [tick_median, tick_worst] = MedianAndWorstMs([&] { source.Read(name); });
  const auto [fresh_median, fresh_worst] =
      MedianAndWorstMs([&] { CounterSource(index, counters).Read(name); });
  std::printf("tick (kept index): median %.3f ms, worst %.3f ms\n"
              "fresh query:       median %.3f ms, worst %.3f ms\n",
              tick_median, tick_worst, fresh_median, fresh_worst);
  std::printf("RESULT tick_ms ours=%.3f base=%.3f\n", tick_median, fresh_median);
  return 0;
}
