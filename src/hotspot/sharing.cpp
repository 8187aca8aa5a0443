// Internet connection sharing through the sharing manager. Every call may
// fail; a failure is passed over and the walk goes on, the start's final
// check tells.
#include <string>
#include <vector>

#include "common/gbk.h"
#include "common/text.h"
#include "hotspot/hotspot_controller.h"
#include "hotspot/netsh_text.h"

namespace lumora {
namespace {

int CountOccurrences(std::string_view text, std::string_view needle) {
  int count = 0;
  for (std::size_t pos = text.find(needle); pos != std::string_view::npos;
       pos = text.find(needle, pos + needle.size()))
    ++count;
  return count;
}

void Append(WindowPort& ui, Ctl box, const std::string& text) {
  ui.SetText(box, ui.Text(box) + text);
}

}  // namespace

void HotspotController::ResetAllSharing() {
  UnshareAndCollect();
  if (!StopRequested()) StopHostedAndDisallow();
}

void HotspotController::ResetAtLaunch() {
  UnshareAndCollect();
  if (StopRequested()) return;
  // The system's side takes a process or two and changes nothing the window
  // shows: the window gets ready meanwhile, and a start waits for it.
  WorkerHandle worker = p_.host.StartWorkerThread([this] { StopHostedAndDisallow(); });
  if (!worker) return StopHostedAndDisallow();  // no thread for it: here, in turn
  std::lock_guard lock(state_mutex_);
  launch_reset_ = std::move(worker);
}

void HotspotController::WaitForLaunchReset() {
  WorkerHandle reset;
  {
    std::lock_guard lock(state_mutex_);
    reset = launch_reset_;
  }
  while (reset && !reset->Finished() && !StopRequested()) p_.host.WaitResponsive(5);
}

void HotspotController::StopLaunchReset() {
  WorkerHandle reset;
  {
    std::lock_guard lock(state_mutex_);
    reset = launch_reset_;
  }
  if (reset) p_.host.StopWorkerThread(reset);
}

void HotspotController::UnshareAndCollect() {
  p_.sharing.ForEveryConnection(SharingProgId::kHNetShare, [this](SharingConnection& c) {
    if (StopRequested()) return;
    c.DisableSharing();
    const std::string name = c.Name();
    // Wired connections are collected for the automatic detection, which
    // only learns "LAN 连接" from the system.
    if (name.find("本地") != std::string::npos) Append(p_.ui, Ctl::编辑框去除多个本地, name);
    if (os_ == OsCode::kWindows8 && name.find("以太") != std::string::npos)
      Append(p_.ui, Ctl::编辑框去除多个本地, name);
    p_.host.WaitResponsive(2);
  });
  if (StopRequested()) return;

  // The box keeps collecting across resets; a name seen two or three times
  // stands for one connection.
  const std::string collected = p_.ui.Text(Ctl::编辑框去除多个本地);
  const int local = CountOccurrences(collected, "本地");
  if (local == 2 || local == 3) p_.ui.SetText(Ctl::编辑框去除多个本地, "本地连接");
  if (!UsesNetsh(os_)) {
    const int ethernet = CountOccurrences(p_.ui.Text(Ctl::编辑框去除多个本地), "以太网");
    if (ethernet == 2 || ethernet == 3) p_.ui.SetText(Ctl::编辑框去除多个本地, "以太网");
  }
}

void HotspotController::StopHostedAndDisallow() {
  if (!UsesNetsh(os_)) StopHostedNetworkAndSharing();
  if (StopRequested()) return;
  p_.host.RunHiddenCommand(netsh::kDisallow);
}

void HotspotController::EnableSharingForHotspot() {
  const std::string private_name = p_.ui.Text(Ctl::编辑框虚拟网卡);
  const std::string public_name = TrimSpaces(p_.ui.Text(Ctl::组合框1));
  p_.sharing.ForEveryConnection(SharingProgId::kHNetShare, [&](SharingConnection& c) {
    if (StopRequested()) return;
    // A name that could not be read is empty: it must not pass for an empty
    // box, or an unknown connection would be shared.
    const std::string name = c.Name();
    if (!name.empty() && name == private_name) c.EnableSharing(SharingType::kPrivate);
    if (!name.empty() && name == public_name) c.EnableSharing(SharingType::kPublic);
    p_.host.WaitResponsive(2);
  });
  std::lock_guard lock(state_mutex_);
  sharing_pass_done_ = true;
}

bool HotspotController::EnableSharingPair(const std::string& public_name,
                                          const std::string& private_name) {
  p_.sharing.ForEveryConnection(SharingProgId::kHNetShare1, [&](SharingConnection& c) {
    if (StopRequested()) return;
    const std::string name = c.Name();
    if (name.empty()) return;
    if (name == public_name)
      c.EnableSharing(SharingType::kPublic);
    else if (name == private_name)
      c.EnableSharing(SharingType::kPrivate);
    p_.host.WaitResponsive(0);
  });
  return p_.sharing.PublicCount(SharingProgId::kHNetShare1) == 1 &&
         p_.sharing.PrivateCount(SharingProgId::kHNetShare1) == 1;
}

std::string HotspotController::GetSharedPublicConnectionName() {
  std::string shared;
  p_.sharing.ForPublicConnections(SharingProgId::kHNetShare1, [&](SharingConnection& c) {
    if (c.SharingEnabled()) {
      shared = c.Name();
      return false;
    }
    p_.host.WaitResponsive(0);
    return true;
  });
  return shared;
}

void HotspotController::DisableSharedConnections() {
  p_.sharing.ForEveryConnection(SharingProgId::kHNetShare1, [](SharingConnection& c) {
    if (c.SharingEnabled()) c.DisableSharing();
  });
}

}  // namespace lumora
