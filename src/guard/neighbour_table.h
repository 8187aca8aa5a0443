#pragma once
// The IPv4 neighbour table (the ARP cache): the rows as the IP helper keeps
// them, the entries the client guard reads from them, and the small object
// that reads and deletes them for one task.
#include <cstdint>
#include <string>
#include <vector>

namespace lumora {

// One raw row, as GetIpNetTable returns it and DeleteIpNetEntry takes it.
struct NeighbourRow {
  std::uint32_t interface_index = 0;
  std::uint32_t physical_address_length = 0;
  unsigned char physical_address[8] = {};
  unsigned char ipv4[4] = {};  // network order: ipv4[0] is the first number
  std::uint32_t type = 0;      // 1 other, 2 invalid, 3 dynamic, 4 static
};

class NeighbourPort {
 public:
  virtual ~NeighbourPort() = default;
  // Every row of the table on every interface, the table asked for sorted.
  // False when the table cannot be read.
  virtual bool ReadRows(std::vector<NeighbourRow>& rows) = 0;
  // Deletes the row; the outcome is not reported.
  virtual void DeleteRow(const NeighbourRow& row) = 0;
};

inline constexpr std::uint32_t kNeighbourDynamic = 3;
inline constexpr std::uint32_t kNeighbourStatic = 4;

struct NeighbourEntry {
  std::uint32_t interface_index = 0;
  std::uint32_t physical_address_length = 0;  // as reported; never used
  std::string hardware_address;  // MAC text of the first six bytes, whatever the length says
  std::string ip_address;        // dotted decimal, as inet_ntoa writes it
  std::uint32_t entry_type = 0;
};

// Dotted decimal of four bytes in network order.
std::string IpText(const unsigned char ipv4[4]);

// Created for one task and dropped after it.
class NeighbourTable {
 public:
  explicit NeighbourTable(NeighbourPort& port) : port_(port) {}

  // Every entry, ascending by IP address; empty when the table cannot be read.
  std::vector<NeighbourEntry> ReadAll();
  // Deletes every row on every interface.
  void DeleteAll();
  // Deletes every row whose address text equals `ip` exactly.
  void DeleteByAddress(const std::string& ip);

 private:
  std::vector<NeighbourRow> SortedRows();
  NeighbourPort& port_;
};

}  // namespace lumora
