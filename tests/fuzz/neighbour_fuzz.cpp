// The neighbour table's rows as the IP helper hands them over: any bytes
// make rows; every row becomes one entry in address order, with a 17
// character MAC text and an address text that reads back to its bytes, and
// deleting by an address deletes exactly the rows of that address.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

#include "fuzz_check.h"
#include "guard/neighbour_table.h"

using namespace lumora;

namespace {

class Rows : public NeighbourPort {
 public:
  std::vector<NeighbourRow> rows;
  std::vector<NeighbourRow> deleted;
  bool ReadRows(std::vector<NeighbourRow>& out) override {
    out = rows;
    return true;
  }
  void DeleteRow(const NeighbourRow& row) override { deleted.push_back(row); }
};

bool IsUpperHex(char c) { return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F'); }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
  Rows port;
  for (std::size_t at = 0; at + sizeof(NeighbourRow) <= size; at += sizeof(NeighbourRow)) {
    NeighbourRow row;
    std::memcpy(&row, data + at, sizeof row);
    port.rows.push_back(row);
  }
  NeighbourTable table(port);
  const std::vector<NeighbourEntry> entries = table.ReadAll();
  FUZZ_CHECK(entries.size() == port.rows.size());
  unsigned long long previous = 0;
  for (const NeighbourEntry& e : entries) {
    FUZZ_CHECK(e.hardware_address.size() == 17);
    for (std::size_t i = 0; i < 17; ++i)
      FUZZ_CHECK(i % 3 == 2 ? e.hardware_address[i] == '-' : IsUpperHex(e.hardware_address[i]));
    unsigned a[4];
    char extra;
    FUZZ_CHECK(std::sscanf(e.ip_address.c_str(), "%3u.%3u.%3u.%3u%c", &a[0], &a[1], &a[2], &a[3], &extra) == 4);
    FUZZ_CHECK(a[0] < 256 && a[1] < 256 && a[2] < 256 && a[3] < 256);
    const unsigned long long number = (unsigned long long)a[0] << 24 | a[1] << 16 | a[2] << 8 | a[3];
    FUZZ_CHECK(number >= previous);
    previous = number;
  }
  if (!entries.empty()) {
    const std::string ip = entries[size % entries.size()].ip_address;
    table.DeleteByAddress(ip);
    const auto same = [&](const NeighbourRow& r) { return IpText(r.ipv4) == ip; };
    FUZZ_CHECK(!port.deleted.empty() && std::all_of(port.deleted.begin(), port.deleted.end(), same));
    FUZZ_CHECK(port.deleted.size() ==
               static_cast<std::size_t>(std::count_if(port.rows.begin(), port.rows.end(), same)));
  }
  return 0;
}
