#include "guard/client_guard.h"

#include <optional>
#include <vector>

#include "common/stop_state.h"
#include "common/text.h"
#include "guard/access_view.h"
#include "guard/device_files.h"
#include "guard/name_book.h"
#include "ui/shared_texts.h"

namespace lumora {
namespace {
constexpr char kBlackMode[] = "监控";
constexpr char kWhiteMode[] = "不监控";
constexpr int kPassInterval = 6000;

// Dotted decimal with four numbers of 0 to 255: what the neighbour table
// gives. Anything else never reaches a command line.
bool IsIpText(const std::string& ip) {
  int numbers = 0, digits = 0, value = 0;
  for (char c : ip) {
    if (c >= '0' && c <= '9') {
      value = value * 10 + (c - '0');
      if (++digits > 3 || value > 255) return false;
    } else if (c == '.' && digits > 0 && numbers < 3) {
      ++numbers;
      digits = value = 0;
    } else {
      return false;
    }
  }
  return numbers == 3 && digits > 0;
}

}  // namespace

ClientGuard::ClientGuard(GuardPorts ports) : p_(ports), host_names_(ports.lookups) {
  p_.hotspot.Subscribe([this](HotspotState state) { OnHotspotState(state); });
}

Subsystem ClientGuard::Registration() {
  Subsystem s;
  s.name = "client guard";
  auto commit = [this](int) { CommitRename(); };
  s.controls = {
      {Ctl::单选框黑, ControlEvent::kClick, [this](int) { SwitchToBlackMode(); }},
      {Ctl::单选框白, ControlEvent::kClick, [this](int) { SwitchToWhiteMode(); }},
      {Ctl::超级链接框刷新, ControlEvent::kClick, [this](int) { Refresh(); }},
      {Ctl::超级列表框1, ControlEvent::kRightClick,
       [this](int row) { OnListRightClick(Ctl::超级列表框1, row); }},
      {Ctl::超级列表框2, ControlEvent::kRightClick,
       [this](int row) { OnListRightClick(Ctl::超级列表框2, row); }},
      {Ctl::超级列表框3, ControlEvent::kRightClick,
       [this](int row) { OnListRightClick(Ctl::超级列表框3, row); }},
      {Ctl::超级列表框1, ControlEvent::kDoubleClick, [this](int row) { StartRename(row); }},
      {Ctl::编辑框设备, ControlEvent::kKey, [this](int key) { OnRenameKey(key); }},
      {Ctl::编辑框设备, ControlEvent::kFocusLost, commit},
  };
  s.timers = {
      {Timer::时钟_黑, [this] { OnBlackListTimer(); }},
      {Timer::时钟_白, [this] { OnWhiteListTimer(); }},
  };
  s.menus = {
      {MenuItem::拉入黑名单, [this] { MoveToBlackList(); }},
      {MenuItem::复制到白名单, [this] { CopyToWhiteList(); }},
      {MenuItem::取消黑名单, [this] { RemoveFromBlackList(); }},
      {MenuItem::移出白名单, [this] { RemoveFromWhiteList(); }},
  };
  s.startup = {
      {StartupPhase::kCreate, [this](const StartupInfo&) { ShowStoredMode(); return true; }},
  };
  s.shell = [this](ShellMoment moment) {
    if (moment != ShellMoment::kMainClosing) return;
    p_.ui.SetTimerInterval(Timer::时钟_黑, 0);
    p_.ui.SetTimerInterval(Timer::时钟_白, 0);
  };
  s.stop_workers = [this] { StopWorkers(); };
  return s;
}

void ClientGuard::ShowStoredMode() {
  WindowPort& ui = p_.ui;
  const bool black = p_.settings.Read(setting::kMonitor) == kBlackMode;
  ui.SetChecked(Ctl::单选框黑, black);
  ui.SetChecked(Ctl::单选框白, !black);
  ApplyModeLayout(ui, black);
  // Both list views, in both modes.
  LoadListView(p_.files, kBlackListPath, ui, Ctl::超级列表框2);
  LoadListView(p_.files, kWhiteListPath, ui, Ctl::超级列表框3);
}

// --- the hotspot's clients ----------------------------------------------------

void ClientGuard::RefreshHotspotInterfaceIndex() {
  const std::string adapter = p_.ui.Text(Ctl::编辑框虚拟网卡);
  if (adapter.empty()) return;
  interface_index_.store(InterfaceIndexForConnection(p_.interface_index, adapter));
}

bool ClientGuard::IsGuestEntry(const NeighbourEntry& entry) const {
  const std::int32_t index = HotspotInterfaceIndex();
  return index != 0 && entry.interface_index == std::uint32_t(index) &&
         entry.entry_type == kNeighbourDynamic &&
         !ContainsNoCase(entry.hardware_address, "ff-ff-ff-ff-ff-ff");
}

void ClientGuard::BlockClient(const std::string& ip) {
  if (!IsIpText(ip)) return;
  p_.host.RunHiddenCommand("netsh interface ipv4 set neighbors " +
                           std::to_string(HotspotInterfaceIndex()) + " \"" + ip +
                           "\" \"00-00-00-00-00-00\" store=active");
}

namespace {

// A device of one scan pass.
struct Device {
  std::string ip, mac, host;
};

// A row shown before its device had a name.
struct Unnamed {
  int row;
  std::string ip, mac;
};

// The devices of a pass: on the system's Mobile Hotspot its own list, with
// the addresses the neighbour table knows for them; on the other ways the
// guests of the neighbour table.
std::vector<Device> PassDevices(const ClientGuard& guard,
                                const std::optional<std::vector<HotspotClient>>& listed,
                                const std::vector<NeighbourEntry>& entries) {
  std::vector<Device> devices;
  if (!listed) {
    for (const NeighbourEntry& e : entries)
      if (guard.IsGuestEntry(e)) devices.push_back({e.ip_address, e.hardware_address, {}});
    return devices;
  }
  for (const HotspotClient& c : *listed) {
    if (c.mac.empty()) continue;
    Device d{{}, c.mac, c.host_name};
    for (const NeighbourEntry& e : entries)
      if (guard.IsGuestEntry(e) && EqualsNoCase(e.hardware_address, c.mac)) d.ip = e.ip_address;
    devices.push_back(std::move(d));
  }
  return devices;
}

// Names the rows shown without one, from the lookups' host names; the user
// may have moved rows away meanwhile, so each goes to where its device is now.
void NameLateRows(WindowPort& ui, FileStore& files, Ctl list, const std::vector<Unnamed>& unnamed,
                  const std::vector<std::string>& hosts) {
  const auto is_device = [&](int row, const Unnamed& u) {
    return ui.Cell(list, row, 2) == u.mac && ui.Cell(list, row, 1) == u.ip;
  };
  for (std::size_t i = 0; i < unnamed.size(); ++i) {
    if (StopRequested()) return;
    const Unnamed& u = unnamed[i];
    // An earlier row of the same device may have named it just now.
    std::string name = FindName(files, u.mac);
    if (name.empty()) {
      name = DeviceNameFromHost(hosts[i]);
      RecordName(files, u.mac, name);
    }
    int row = is_device(u.row, u) ? u.row : -1;
    for (int r = 0; row < 0 && r < ui.RowCount(list); ++r)
      if (is_device(r, u)) row = r;
    if (row >= 0) ui.SetCell(list, row, 3, name);
  }
}

}  // namespace

void ClientGuard::ClientScan() {
  constexpr Ctl kList = Ctl::超级列表框1;
  const unsigned pass = pass_number_.load();
  // A black list another program holds cannot be read; taken as empty, its
  // devices would show as allowed. The pass waits for the next tick.
  const std::optional<std::string> black = LockedRead(p_.files, kBlackListPath);
  if (!black) return;
  RefreshHotspotInterfaceIndex();
  if (StopRequested()) return;
  const std::vector<NeighbourEntry> entries = NeighbourTable(p_.neighbours).ReadAll();
  const std::optional<std::vector<HotspotClient>> listed = p_.hotspot.MobileHotspotClients();
  if (StopRequested()) return;

  // The rows go into the list at once, with the names the book knows (or the
  // system gave); the others are looked up together afterwards, so that one
  // silent device cannot hold up the list.
  std::vector<Unnamed> unnamed;
  std::vector<std::vector<std::string>> rows;
  // One read of the book for the whole list, not one per device.
  const std::string book = DeviceFileText(p_.files, kNameBookPath);
  for (const Device& d : PassDevices(*this, listed, entries)) {
    if (StopRequested()) return;
    if (IsListed(*black, d.mac)) {
      BlockClient(d.ip);
      continue;
    }
    const int row = int(rows.size());
    std::string name = FindNameIn(book, d.mac);
    if (name.empty() && !d.host.empty()) {
      name = DeviceNameFromHost(d.host);
      RecordName(p_.files, d.mac, name);
    }
    if (name.empty()) unnamed.push_back({row, d.ip, d.mac});
    rows.push_back({std::to_string(row + 1), d.ip, d.mac, std::move(name)});
  }
  if (StopRequested()) return;
  // Checked where the hotspot's stop empties the list: a pass that ended
  // meanwhile never fills it again.
  p_.ui.Post([this, pass, rows = std::move(rows)] {
    if (pass == pass_number_.load()) p_.ui.SetRows(kList, rows);
  });

  if (!unnamed.empty()) {
    std::vector<std::string> ips;
    for (const Unnamed& u : unnamed) ips.push_back(u.ip);
    NameLateRows(p_.ui, p_.files, kList, unnamed, host_names_.LookUp(ips));
  }
  if (StopRequested()) return;
  ShowListView(*black, p_.ui, Ctl::超级列表框2);  // as this pass read it
}

void ClientGuard::WhiteListEnforcement() {
  const std::vector<NeighbourEntry> entries = NeighbourTable(p_.neighbours).ReadAll();
  // Taken as empty, a white list another program holds would block every
  // device, the listed ones too, until the hotspot restarts: no pass then.
  const std::optional<std::string> white = LockedRead(p_.files, kWhiteListPath);
  if (!white || StopRequested()) return;
  ShowListView(*white, p_.ui, Ctl::超级列表框3);
  RefreshHotspotInterfaceIndex();
  for (const NeighbourEntry& e : entries) {
    if (StopRequested()) return;
    if (IsGuestEntry(e) && !IsListed(*white, e.hardware_address)) BlockClient(e.ip_address);
  }
}

void ClientGuard::RestartPass(WorkerHandle& worker, void (ClientGuard::*pass)()) {
  // A pass still running is asked to stop and keeps its place until the
  // next tick: never two at once, and the window thread never waits.
  if (worker && !worker->Finished()) {
    worker->Stop().RequestStop();
    return;
  }
  worker = p_.host.StartWorkerThread([this, pass] { (this->*pass)(); });
}

void ClientGuard::OnBlackListTimer() { RestartPass(scan_worker_, &ClientGuard::ClientScan); }
void ClientGuard::OnWhiteListTimer() {
  RestartPass(white_worker_, &ClientGuard::WhiteListEnforcement);
}

void ClientGuard::EndPasses() {
  ++pass_number_;
  for (const WorkerHandle& w : {scan_worker_, white_worker_})
    if (w) w->Stop().RequestStop();
}

void ClientGuard::OnHotspotState(HotspotState state) {
  WindowPort& ui = p_.ui;
  if (state == HotspotState::kRunning) {
    const bool black = ui.Checked(Ctl::单选框黑);
    ui.SetTimerInterval(black ? Timer::时钟_黑 : Timer::时钟_白, kPassInterval);
    ui.SetTimerInterval(black ? Timer::时钟_白 : Timer::时钟_黑, 0);
    return;
  }
  ui.SetTimerInterval(Timer::时钟_黑, 0);
  ui.SetTimerInterval(Timer::时钟_白, 0);
  EndPasses();
  // Nobody is on a hotspot that is going or gone.
  if (state == HotspotState::kStopping || state == HotspotState::kHealing)
    ui.ClearRows(Ctl::超级列表框1);
}

void ClientGuard::StopWorkers() {
  EndPasses();
  for (WorkerHandle* w : {&scan_worker_, &white_worker_, &mode_worker_})
    if (*w && !(*w)->Finished()) p_.host.StopWorkerThread(*w);
}

// --- the mode radio buttons ----------------------------------------------------

void ClientGuard::ClearNeighbourTable() { NeighbourTable(p_.neighbours).DeleteAll(); }

void ClientGuard::SwitchToBlackMode() { SwitchMode(true); }

void ClientGuard::SwitchToWhiteMode() {
  SwitchMode(false);
  LoadListView(p_.files, kWhiteListPath, p_.ui, Ctl::超级列表框3);
}

void ClientGuard::SwitchMode(bool black) {
  WindowPort& ui = p_.ui;
  p_.settings.Write(setting::kMonitor, black ? kBlackMode : kWhiteMode);
  ui.SetTimerInterval(Timer::时钟_黑, 0);
  ui.SetTimerInterval(Timer::时钟_白, 0);
  EndPasses();
  ui.ClearRows(black ? Ctl::超级列表框3 : Ctl::超级列表框1);
  ApplyModeLayout(ui, black);
  // The table is cleared once the passes have ended: a white list pass
  // still running would block devices again right after, and black list
  // mode never lifts those blocks. Only then do the new mode's passes begin.
  WorkerHandle previous = mode_worker_;
  mode_worker_ = p_.host.StartWorkerThread(
      [this, black, waits = std::vector<WorkerHandle>{previous, scan_worker_, white_worker_}] {
    for (const WorkerHandle& w : waits)
      if (w) p_.host.StopWorkerThread(w);
    if (StopRequested()) return;
    ClearNeighbourTable();
    p_.ui.Post([this, black] {
      const bool still = p_.ui.Checked(Ctl::单选框黑) == black;
      if (!still || p_.hotspot.State() != HotspotState::kRunning) return;
      p_.ui.SetTimerInterval(Timer::时钟_黑, black ? kPassInterval : 0);
      p_.ui.SetTimerInterval(Timer::时钟_白, black ? 0 : kPassInterval);
    });
  });
}

}  // namespace lumora
