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

#include "common/gbk.h"
#include "fake_host.h"
#include "fake_hotspot.h"
#include "guard/client_guard.h"
#include "memory_files.h"
#include "memory_window.h"

namespace lumora::fakes {

// A row of the neighbour table from its texts; interface 12 is the hotspot's.
inline NeighbourRow Neighbour(const std::string& ip, const std::string& mac,
                              std::uint32_t index = 12, std::uint32_t type = kNeighbourDynamic) {
  NeighbourRow row{index, 6, {}, {}, type};
  unsigned a[4] = {}, m[6] = {};
  std::sscanf(ip.c_str(), "%u.%u.%u.%u", &a[0], &a[1], &a[2], &a[3]);
  std::sscanf(mac.c_str(), "%x-%x-%x-%x-%x-%x", &m[0], &m[1], &m[2], &m[3], &m[4], &m[5]);
  std::copy(a, a + 4, row.ipv4);
  std::copy(m, m + 6, row.physical_address);
  return row;
}

class FakeNeighbours : public NeighbourPort {
 public:
  std::vector<NeighbourRow> rows;
  std::vector<std::string> deleted;  // address texts

  bool ReadRows(std::vector<NeighbourRow>& out) override {
    std::lock_guard lock(mutex_);
    out = rows;
    return true;
  }
  void DeleteRow(const NeighbourRow& row) override {
    std::lock_guard lock(mutex_);
    deleted.push_back(IpText(row.ipv4));
    std::erase_if(rows, [&](const NeighbourRow& r) { return IpText(r.ipv4) == deleted.back(); });
  }

 private:
  std::mutex mutex_;
};

// Host names by address; an address in `hanging` answers only once released.
class FakeLookups : public ReverseLookupPort {
 public:
  std::map<std::string, std::string> names;
  std::set<std::string> hanging;

  std::string HostName(const std::string& ip) override {
    std::unique_lock lock(mutex_);
    ++calls_[ip];
    released_.wait(lock, [&] { return released_all_ || !hanging.count(ip); });
    return names.count(ip) ? names[ip] : "";
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

// "无线网络连接 2" is interface 12.
class FakeInterfaceIndex : public InterfaceIndexPort {
 public:
  std::string AdapterGuidByFriendlyName(const std::string& name) override {
    return name == "无线网络连接 2" ? "{G}" : "";
  }
  std::string AdapterGuidFromWmi(const std::string&) override { return {}; }
  std::uint32_t AdapterIndex(const std::string& guid) override { return guid == "{G}" ? 12 : 0; }
};

class FakeListViews : public ListViewPort {
 public:
  std::map<Ctl, std::vector<int>> selected;
  int hit_column = 3;
  std::vector<Ctl> focused;

  std::vector<int> SelectedRows(Ctl list) const override {
    return selected.count(list) ? selected.at(list) : std::vector<int>();
  }
  ListHit HitAtPointer(Ctl) const override { return {-1, hit_column}; }
  // Rows of 14 pixels below a 17-pixel header.
  Point ItemPosition(Ctl, int row) const override { return {0, 17 + 14 * row}; }
  int ColumnWidth(Ctl list, int column) const override {
    for (const ColumnDef& c : ColumnDefs())
      if (c.list == list && column-- == 0) return c.width;
    return 0;
  }
  void Focus(Ctl control) override { focused.push_back(control); }
};

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

  GuardRig() { ui.SetText(Ctl::编辑框虚拟网卡, "无线网络连接 2"); }
  ~GuardRig() {
    lookups.ReleaseAll();
    host.StopAll();
  }

  std::vector<std::vector<std::string>> Rows(Ctl list) const {
    std::vector<std::vector<std::string>> out(ui.RowCount(list));
    const int columns = list == Ctl::超级列表框1 ? 4 : list == Ctl::超级列表框2 ? 3 : 2;
    for (std::size_t r = 0; r < out.size(); ++r)
      for (int c = 0; c < columns; ++c) out[r].push_back(ui.Cell(list, int(r), c));
    return out;
  }
  void Add(Ctl list, const std::vector<std::string>& cells) {
    const int row = ui.AddRow(list);
    for (std::size_t c = 0; c < cells.size(); ++c) ui.SetCell(list, row, int(c), cells[c]);
  }
  void Write(const std::string& path, const std::string& text) { files.files[path] = Utf8ToGbk(text); }
  std::string Read(const std::string& path) const {
    return files.files.count(path) ? GbkToUtf8(files.files.at(path)) : "<missing>";
  }
};

}  // namespace lumora::fakes
