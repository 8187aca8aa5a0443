// The watch over a running hotspot: a look every ten seconds, and at once
// when the system announces a change (routes, addresses, the hosted
// network's state, a resume from sleep). What the system took down is
// brought up again through the usual start, a few times at most; then the
// hotspot comes to rest stopped, and the user is told what happened.
#include <chrono>
#include <string>

#include "common/text.h"
#include "hotspot/hotspot_controller.h"
#include "hotspot/netsh_text.h"
#include "hotspot/watch_rules.h"

namespace lumora {
namespace {

constexpr int kWatchIntervalMs = 10000;
constexpr int kDisconnected = 0, kMediaDisconnected = 7;  // NetConnectionProps.Status

constexpr char kBalloonTitle[] = "LumoraWiFi";
constexpr char kHealing[] = "WiFi热点被系统关闭了，正在为您重新开启…";
constexpr char kRestored[] = "WiFi热点已恢复，手机可以继续上网啦";
constexpr char kHealOff[] =
    "WiFi热点被系统关闭了（电脑睡眠唤醒、网卡重置或网络变化都会这样），现已停止。\r\n"
    "请点击[开启WiFi]重新开启；在[设置中心]勾选[自动恢复WiFi]，以后会自动重新开启。";
constexpr char kGaveUpDown[] =
    "WiFi热点被系统关闭了（电脑睡眠唤醒、无线网卡驱动重置等都会这样），"
    "连续3次重新开启都没有成功，现已停止。\r\n"
    "请检查电脑的无线网络开关和无线网卡，然后点击[开启WiFi]重新开启。";
constexpr char kGaveUpSharing[] =
    "电脑的网卡共享被系统或其他软件关闭了，连续3次重新开启都没有成功，现已停止。\r\n"
    "请按照[帮助信息]检查网卡共享，然后点击[开启WiFi]重新开启。";
constexpr char kGaveUpMoved[] =
    "电脑的上网方式变了（例如拔掉了网线或换了网络），"
    "连续3次用新的连网方式开启都没有成功，现已停止。\r\n"
    "请在[设置中心]选择现在的连网方式，然后点击[开启WiFi]重新开启。";

const char* GaveUpText(WatchVerdict verdict) {
  return verdict == WatchVerdict::kSharingOff ? kGaveUpSharing
         : verdict == WatchVerdict::kMoved    ? kGaveUpMoved
                                              : kGaveUpDown;
}

}  // namespace

std::int64_t HotspotController::NowMs() const {
  if (p_.now_ms) return p_.now_ms();
  using namespace std::chrono;
  return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

// The watch runs only while the hotspot runs.
void HotspotController::Watch(HotspotState state) {
  const bool running = state == HotspotState::kRunning;
  p_.ui.SetTimerInterval(Timer::时钟守护, running ? kWatchIntervalMs : 0);
  {
    std::lock_guard lock(watch_mutex_);
    watch_on_ = running;
    if (!running) watch_asked_.notify_all();  // a parked watch sees it and ends
  }
  if (!p_.events || running == watching_) return;
  watching_ = running;
  if (running)
    p_.events->Watch([this] { OnSystemChanged(); });
  else
    p_.events->Unwatch();
}

void HotspotController::OnSystemChanged() {
  p_.ui.Post([this] { OnWatchTick(); });
}

// The timer's tick or an event asks for a look. One watch worker looks and
// then waits for the next request (a new thread for every look costs more
// than the look under some systems); it ends when the hotspot no longer
// runs, when nothing asks for a while, or when it has healed.
void HotspotController::OnWatchTick() {
  if (State() != HotspotState::kRunning) return;
  {
    std::lock_guard lock(watch_mutex_);
    look_asked_ = true;
    if (watch_alive_) {
      watch_asked_.notify_all();  // it looks next, parked or about to park
      return;
    }
    watch_alive_ = true;
  }
  WorkerHandle worker = p_.host.StartWorkerThread([this] { WatchLoop(); });
  std::lock_guard lock(watch_mutex_);
  watch_worker_ = std::move(worker);
}

// Every look takes the state as it is then: a worker parked across a stop
// and a new start must not report for the hotspot that ran before.
void HotspotController::WatchLoop() {
  StopState* own = CurrentStop();
  const int waker = own ? own->AddWaker([this] {
    std::lock_guard lock(watch_mutex_);
    watch_asked_.notify_all();
  }) : 0;
  for (;;) {
    {
      std::lock_guard lock(watch_mutex_);
      look_asked_ = false;
    }
    HotspotTicket ticket = model_.Ticket();
    if (ticket.state != HotspotState::kRunning || RunWatch(ticket) || StopRequested()) break;
    std::unique_lock lock(watch_mutex_);
    const auto asked = [&] { return look_asked_ || !watch_on_ || StopRequested(); };
    if (!watch_asked_.wait_for(lock, std::chrono::milliseconds(p_.watch_park_ms), asked)) {
      watch_alive_ = false;  // decided under the lock: a request from now on starts a new one
      break;
    }
  }
  {
    std::lock_guard lock(watch_mutex_);
    watch_alive_ = false;
  }
  if (own) own->RemoveWaker(waker);
}

// One look; true when it found the hotspot taken down (and then healed it,
// or let it rest), or when the state had moved on.
bool HotspotController::RunWatch(HotspotTicket& ticket) {
  const WatchAction action = JudgeHotspot(LookAtHotspot());
  if (action.verdict == WatchVerdict::kFine || StopRequested()) return false;
  if (!model_.Report(ticket, HotspotEvent::kLost)) return true;  // stopped or restarted meanwhile
  Changed();
  if (!model_.Enter(ticket)) return true;
  Heal(ticket, action);
  model_.Leave();
  return true;
}

WatchFacts HotspotController::LookAtHotspot() {
  WatchFacts f;
  std::string tethering;
  {
    std::lock_guard lock(state_mutex_);
    f.path = path_;
    f.internet_at_start = internet_at_start_;
    tethering = tethering_connection_;
  }
  f.public_name = TrimSpaces(p_.ui.Text(Ctl::组合框1));
  if (f.path == HotspotPath::kMobileHotspot) {
    f.tethering_up = p_.tethering.Running(tethering);
    const std::optional<int> status = p_.connections.ConnectionStatus(f.public_name);
    f.public_connected = status && *status != kDisconnected && *status != kMediaDisconnected;
  } else {
    f.hosted_up = p_.wlan.HostedNetworkUp();
    const std::string private_name = p_.ui.Text(Ctl::编辑框虚拟网卡);
    std::optional<int> status;
    bool public_shared = false, private_found = false, private_shared = false;
    const bool walked = p_.sharing.ForEveryConnection(SharingProgId::kHNetShare1, [&](SharingConnection& c) {
      const std::string name = c.Name();
      if (!name.empty() && name == f.public_name) {
        status = c.Status();
        public_shared = c.SharingEnabled();
      } else if (!name.empty() && name == private_name) {
        private_found = true;
        private_shared = c.SharingEnabled();
      }
    });
    if (walked) {
      // A connection that is gone is not "unshared": the internet's move says more.
      f.public_connected = status && *status != kDisconnected && *status != kMediaDisconnected;
      if (f.public_connected) f.public_shared = public_shared;
      if (private_found) f.private_shared = private_shared;
    }
  }
  f.internet = p_.adapters.InternetRouteConnection();
  return f;
}

void HotspotController::Heal(HotspotTicket& ticket, const WatchAction& action) {
  if (p_.settings.Read(setting::kAutoHeal) == "n") return GiveUp(ticket, kHealOff);
  p_.ui.ShowTrayBalloon(kBalloonTitle, kHealing);
  // The internet went elsewhere: that connection is shared from now on.
  if (action.verdict == WatchVerdict::kMoved) p_.ui.SetText(Ctl::组合框1, action.share);
  for (int attempt = 0; attempt < kHealAttempts; ++attempt) {
    bool allowed;
    {
      std::lock_guard lock(state_mutex_);
      allowed = heal_budget_.Take(NowMs());
      reset_sharing_requested_ = true;  // whatever the last attempt left goes first
    }
    if (!allowed) break;
    if (!Pause(kHealPauseMs[attempt])) return;
    const StartRun run = RunStartOnce();
    if (run == StartRun::kStopped) return;  // whoever asked for the stop takes it from here
    if (run != StartRun::kRunning) continue;
    RememberInternet();
    if (model_.Report(ticket, HotspotEvent::kStarted)) {
      Changed();
      p_.ui.ShowTrayBalloon(kBalloonTitle, kRestored);
    }
    return;
  }
  GiveUp(ticket, GaveUpText(action.verdict));
}

void HotspotController::GiveUp(HotspotTicket& ticket, const char* text) {
  Undo();
  if (StopRequested() || !model_.Report(ticket, HotspotEvent::kGaveUp)) return;
  Changed();
  p_.ui.ShowMessage(text, "提示", MessageIcon::kInformation, MessageButtons::kOk);
}

void HotspotController::RememberInternet() {
  const std::string internet = p_.adapters.InternetRouteConnection();
  std::lock_guard lock(state_mutex_);
  internet_at_start_ = internet;
}

void HotspotController::OnAutoHealClicked() {
  p_.settings.Write(setting::kAutoHeal, p_.ui.Checked(Ctl::选择框_自动恢复) ? "y" : "n");
}

void HotspotController::ShowStoredAutoHeal() {
  p_.ui.SetChecked(Ctl::选择框_自动恢复, p_.settings.Read(setting::kAutoHeal) != "n");
  p_.ui.SetTip(Ctl::选择框_自动恢复,
               "电脑睡眠唤醒、断网换网等原因导致WiFi热点被系统关闭时，自动重新开启");
}

void HotspotController::StopWatch() {
  WorkerHandle worker;
  {
    std::lock_guard lock(watch_mutex_);
    worker = watch_worker_;
  }
  if (worker && !worker->Finished()) p_.host.StopWorkerThread(worker);
}

}  // namespace lumora
