#pragma once
// The client guard against fakes: the neighbour table, reverse lookups that
// can hang until released, the interface index, the list views' selection
// and a hotspot whose share status the test sets.
#include <algorithm>
#include <condition_variable>
#include <cstdio>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "common/gbk.h"
#include "common/settings.h"
#include "fake_host.h"
#include "guard/client_guard.h"
#include "memory_files.h"
#include "memory_window.h"

namespace lumora::fakes {

// A row of the neighbour table from its texts.
inline NeighbourRow Neighbour(const std::string& ip, const std::string& mac,
                              std::uint32_t index = 12, std::uint32_t type = kNeighbourDynamic) {
  NeighbourRow row;
  row.interface_index = index;
  row.physical_address_length = 6;
  row.type = type;
  unsigned a[4] = {}, m[6] = {};
  std::sscanf(ip.c_str(), "%u.%u.%u.%u", &a[0], &a[1], &a[2], &a[3]);
  std::sscanf(mac.c_str(), "%x-%x-%x-%x-%x-%x", &m[0], &m[1], &m[2], &m[3], &m[4], &m[5]);
  for (int i = 0; i < 4; ++i) row.ipv4[i] = static_cast<unsigned char>(a[i]);
  for (int i = 0; i < 6; ++i) row.physical_address[i] = static_cast<unsigned char>(m[i]);
  return row;
}

class FakeNeighbours : public NeighbourPort {
 public:
  std::vector<NeighbourRow> rows;   // in the order the system returns them
  std::vector<std::string> deleted;  // address texts, in order
  bool fails = false;

  bool ReadRows(std::vector<NeighbourRow>& out) override {
    std::lock_guard lock(mutex_);
    if (fails) return false;
    out = rows;
    return true;
  }
  void DeleteRow(const NeighbourRow& row) override {
    std::lock_guard lock(mutex_);
    deleted.push_back(IpText(row.ipv4));
    rows.erase(std::remove_if(rows.begin(), rows.end(),
                              [&](const NeighbourRow& r) {
                                return std::equal(r.ipv4, r.ipv4 + 4, row.ipv4) &&
                                       r.interface_index == row.interface_index;
                              }),
               rows.end());
  }

 private:
  std::mutex mutex_;
};

// Host names by address; an address in `hanging` blocks until released.
class FakeLookups : public ReverseLookupPort {
 public:
  std::map<std::string, std::string> names;
  std::set<std::string> hanging;

  std::string HostName(const std::string& ip) override {
    std::unique_lock lock(mutex_);
    ++calls_[ip];
    released_.wait(lock, [&] { return released_all_ || !hanging.count(ip); });
    auto it = names.find(ip);
    return it == names.end() ? std::string() : it->second;
  }
  void ReleaseAll() {
    std::lock_guard lock(mutex_);
    released_all_ = true;
    released_.notify_all();
  }
  int Calls(const std::string& ip) {
    std::lock_guard lock(mutex_);
    return calls_[ip];
  }

 private:
  std::mutex mutex_;
  std::condition_variable released_;
  bool released_all_ = false;
  std::map<std::string, int> calls_;
};

// Connection name -> interface index, straight through the friendly name.
class FakeInterfaceIndex : public InterfaceIndexPort {
 public:
  std::map<std::string, std::uint32_t> indexes;
  std::string AdapterGuidByFriendlyName(const std::string& name) override {
    return indexes.count(name) ? "{" + name + "}" : "";
  }
  std::string AdapterGuidFromWmi(const std::string&) override { return {}; }
  std::uint32_t AdapterIndex(const std::string& guid) override {
    return indexes[guid.substr(1, guid.size() - 2)];
  }
};

class FakeListViews : public ListViewPort {
 public:
  std::map<Ctl, std::vector<int>> selected;
  int hit_column = 3;
  std::vector<Ctl> focused;

  std::vector<int> SelectedRows(Ctl list) const override {
    auto it = selected.find(list);
    return it == selected.end() ? std::vector<int>() : it->second;
  }
  ListHit HitAtPointer(Ctl) const override { return {-1, hit_column}; }
  // Rows of 14 pixels below a 17-pixel header.
  Point ItemPosition(Ctl, int row) const override { return {0, 17 + 14 * row}; }
  int ColumnWidth(Ctl list, int column) const override {
    int i = 0;
    for (const ColumnDef& c : ColumnDefs())
      if (c.list == list && i++ == column) return c.width;
    return 0;
  }
  void Focus(Ctl control) override { focused.push_back(control); }
};

class FakeHotspot : public HotspotControl {
 public:
  std::string share_status;
  std::string ShareStatus() const override { return share_status; }
  void OnStartButton() override {}
  void AbortAndResetHotspot() override {}
};

// The guard with every port faked; the hosted adapter "无线网络连接 2" has
// interface index 12.
struct GuardRig {
  MemoryWindow ui;
  MemoryFiles files;
  SettingsStore settings{files};
  FakeHost host;
  FakeHotspot hotspot;
  FakeNeighbours neighbours;
  FakeLookups lookups;
  FakeInterfaceIndex indexes;
  FakeListViews lists;
  ClientGuard guard{
      GuardPorts{ui, settings, files, hotspot, host, neighbours, lookups, indexes, lists}};

  GuardRig() {
    indexes.indexes["无线网络连接 2"] = 12;
    ui.SetText(Ctl::编辑框虚拟网卡, "无线网络连接 2");
  }
  // Hanging lookups end, then the workers.
  ~GuardRig() {
    lookups.ReleaseAll();
    host.StopAll();
  }

  std::vector<std::vector<std::string>> Rows(Ctl list) const {
    std::vector<std::vector<std::string>> out;
    const int columns = list == Ctl::超级列表框1 ? 4 : list == Ctl::超级列表框2 ? 3 : 2;
    for (int r = 0; r < ui.RowCount(list); ++r) {
      out.emplace_back();
      for (int c = 0; c < columns; ++c) out.back().push_back(ui.Cell(list, r, c));
    }
    return out;
  }
  void Add(Ctl list, const std::vector<std::string>& cells) {
    const int row = ui.AddRow(list);
    for (std::size_t c = 0; c < cells.size(); ++c) ui.SetCell(list, row, int(c), cells[c]);
  }
  // UTF-8 in, GBK on disk.
  void Write(const std::string& path, const std::string& utf8) {
    files.files[path] = Utf8ToGbk(utf8);
  }
  std::string Read(const std::string& path) const {
    auto it = files.files.find(path);
    return it == files.files.end() ? "<missing>" : GbkToUtf8(it->second);
  }
};

}  // namespace lumora::fakes
