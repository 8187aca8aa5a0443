// The start sequence: from the SSID and pass phrase in the window to a
// running hosted network whose clients reach the internet through sharing.
// It runs on a worker; a stop request ends it after the step in progress.
#include <string>

#include "common/gbk.h"
#include "common/text.h"
#include "hotspot/hotspot_path.h"
#include "hotspot/hotspot_controller.h"
#include "hotspot/netsh_text.h"

namespace lumora {
namespace {

// The hosted network's SSID field holds 32 bytes; WPA2 pass phrases end at 63.
constexpr std::size_t kMaxSsidBytes = 32;
constexpr std::size_t kMinKeyBytes = 8;
constexpr std::size_t kMaxKeyBytes = 63;

constexpr char kNoConnection[] = "本机连网方式为空，请在【设置中心】选择一下！";
constexpr char kStartFailedPrefix[] = "开启失败！失败类型：";
constexpr char kStartFailedRemedy[] =
    "\r\n解决办法：\r\n①、电脑的无线网络开关是否打开。\r\n"
    "（如果开了，点开电脑右下角的网络图标能看到附近的无线网络，\r\n"
    "看不到就是没开，开关一般在F1-12那栏有个无线发射的标志，大部分电脑在F2，"
    "按组合键Fn+F2打开，也有的电脑是硬件开关）\r\n\r\n"
    "②、如果无线网络开关开了，还是提示这个，是因为无线网卡驱动太旧了，"
    "请下载驱动精灵升级 [无线网卡驱动] 到最新版。";
constexpr char kSharingFailed[] =
    "启动WiFi失败，可能网卡共享出问题，请按照[帮助信息]手动操作一下网卡。";

// Re-runs after the first run when sharing did not take effect.
constexpr int kMaxRetries = 4;

}  // namespace

bool HotspotController::Pause(int ms) {
  p_.host.WaitResponsive(ms);
  return !StopRequested();
}

bool HotspotController::Run(std::string_view command_line, std::string* output) {
  std::string out = p_.host.RunHiddenCommand(command_line);
  if (output) *output = std::move(out);
  return !StopRequested();
}

void HotspotController::RememberHostedOutput(const std::string& output) {
  std::lock_guard lock(state_mutex_);
  last_hosted_output_ = output;
}

bool HotspotController::InputRefused(const std::string& ssid, const std::string& key) {
  // The limits apply to what is sent: the text after the space removal.
  const auto refuse = [this](const char* text, int dy) {
    p_.ui.ShowBalloon(text, 200, dy);
    return true;
  };
  const bool quote_in_ssid = ssid.find('"') != std::string::npos;
  const bool quote_in_key = key.find('"') != std::string::npos;
  if (ssid.empty()) return refuse("您还没有输入WiFi名称哦！", 90);
  if (quote_in_ssid) return refuse("WiFi名称不能包含双引号哦！", 90);
  if (GbkByteLength(netsh::RemoveFirstSpaces(ssid, 3)) > kMaxSsidBytes)
    return refuse("WiFi名称不能超过32个字节哦！", 90);
  if (key.empty()) return refuse("您还没有输入密码哦！", 135);
  if (quote_in_key) return refuse("密码不能包含双引号哦！", 135);
  if (GbkByteLength(key) < kMinKeyBytes) return refuse("密码不能少于8位数！", 135);
  if (GbkByteLength(netsh::RemoveFirstSpaces(key, 3)) > kMaxKeyBytes)
    return refuse("密码不能超过63位哦！", 135);
  return false;
}

bool HotspotController::ConnectionChosen() {
  if (!netsh::TrimSpaces(p_.ui.Text(Ctl::组合框1)).empty()) return true;
  p_.ui.ShowBalloon(kNoConnection, 140, 40);
  return false;
}

void HotspotController::FindHostedAdapterName(void (HotspotController::*find)(), int pause_ms) {
  // The hosted adapter's connection name may take a moment to appear.
  (this->*find)();
  for (int i = 0; i < 3 && p_.ui.Text(Ctl::编辑框虚拟网卡).empty(); ++i) {
    if (StopRequested()) return;
    (this->*find)();
    if (!Pause(pause_ms)) return;
  }
  if (p_.settings.Read(setting::kAdapterOverride) == "1")
    p_.ui.SetText(Ctl::编辑框虚拟网卡, p_.settings.Read(setting::kAdapterOverrideName));
}

// Spaces are taken out (the first three only) and the result remembered,
// as the settings file holds it: a character GBK has no place for would go
// on the air as typed but come back as "?" at the next start, so the start
// uses, shows and stores the same text from the beginning.
std::string HotspotController::TakeTypedInput(const std::string& typed, Ctl box) {
  std::string text = typed;
  if (text.find(' ') != std::string::npos) text = netsh::RemoveFirstSpaces(text, 3);
  text = GbkToUtf8(Utf8ToGbk(text));
  if (text != typed) p_.ui.SetText(box, text);
  return text;
}

// The first steps of every run: a fresh animation, the sharing left over
// from another connection, a restart or a failed start cleared, and the
// SSID and pass phrase as they will be used, saved.
bool HotspotController::PrepareRun() {
  const std::string chosen = p_.ui.Text(Ctl::组合框1);
  bool reset;
  {
    std::lock_guard lock(state_mutex_);
    animation_frame_ = 0;
    tray_animation_frame_ = 0;
    share_status_.clear();
    chosen_connection_ = chosen;
    reset = chosen != connection_at_last_stop_ || reset_sharing_requested_ || last_start_failed_;
  }
  if (reset) {
    ResetAllSharing();
    if (StopRequested() || !Pause(100)) return false;
  }
  {
    std::lock_guard lock(state_mutex_);
    reset_sharing_requested_ = false;
  }
  const std::string ssid = TakeTypedInput(p_.ui.Text(Ctl::编辑框名称), Ctl::编辑框名称);
  const std::string key = TakeTypedInput(p_.ui.Text(Ctl::编辑框密码), Ctl::编辑框密码);
  p_.settings.Write(setting::kSsid, ssid);
  p_.settings.Write(setting::kPassphrase, key);
  return !StopRequested();
}

StartRun HotspotController::RunStartOnce() {
  if (!PrepareRun()) return StartRun::kStopped;
  const HotspotPath path = ChoosePath();
  {
    std::lock_guard lock(state_mutex_);
    path_ = path;
  }
  if (StopRequested()) return StartRun::kStopped;
  const std::string ssid = p_.ui.Text(Ctl::编辑框名称);
  const bool go_on = path == HotspotPath::kNetsh          ? StartWithNetsh(ssid, p_.ui.Text(Ctl::编辑框密码))
                     : path == HotspotPath::kMobileHotspot ? StartWithMobileHotspot()
                                                           : StartWithWlan();
  if (StopRequested()) return StartRun::kStopped;
  if (!go_on) return StartRun::kRefused;
  // netsh's output or the WLAN functions' failure says why it did not start.
  if (LastHostedOutput().find("无法") != std::string::npos) return StartRun::kHostedFailed;
  return CheckStarted(path);
}

// Did sharing take effect? On the WLAN path both sides must be shared; the
// Mobile Hotspot shares by itself while it runs.
StartRun HotspotController::CheckStarted(HotspotPath path) {
  bool shared;
  if (path == HotspotPath::kMobileHotspot) {
    shared = MobileHotspotRunning();
  } else {
    shared = !GetSharedPublicConnectionName().empty();
    if (shared && path == HotspotPath::kWlanHosted) shared = HostedConnectionShared();
  }
  if (StopRequested()) return StartRun::kStopped;
  std::lock_guard lock(state_mutex_);
  last_start_failed_ = !shared;
  return shared ? StartRun::kRunning : StartRun::kNotShared;
}

// A start that ends without the hotspot leaves nothing of it behind: no
// hosted network, Mobile Hotspot or sharing, and no adapter to count.
void HotspotController::Undo() {
  ResetAllSharing();
  p_.ui.SetText(Ctl::编辑框虚拟网卡, "");
}

void HotspotController::RunStart(HotspotTicket& ticket) {
  const auto ended = [&] {
    RememberHostedOutput("");
    if (model_.Report(ticket, HotspotEvent::kStartEnded)) Changed();
  };
  for (;;) {
    switch (RunStartOnce()) {
      case StartRun::kStopped:
        return;  // whoever asked for the stop takes it from here
      case StartRun::kRunning:
        RememberInternet();
        if (model_.Report(ticket, HotspotEvent::kStarted)) Changed();
        return;
      case StartRun::kRefused:
        return ended();
      case StartRun::kHostedFailed:
        p_.ui.ShowMessage(kStartFailedPrefix + netsh::CleanOutput(LastHostedOutput()) +
                              kStartFailedRemedy,
                          "开启失败", MessageIcon::kInformation, MessageButtons::kOk);
        if (StopRequested()) return;
        Undo();
        return ended();
      case StartRun::kNotShared: {
        std::lock_guard lock(state_mutex_);
        if (start_retry_count_ < kMaxRetries) {
          ++start_retry_count_;
          continue;  // the window stays in the starting state
        }
      }
        Undo();
        if (StopRequested()) return;
        if (model_.Report(ticket, HotspotEvent::kStartEnded)) Changed();
        p_.ui.ShowMessage(kSharingFailed, "启动失败", MessageIcon::kInformation,
                          MessageButtons::kOk);
        return;
    }
  }
}

}  // namespace lumora
