// How each state of the hotspot looks in the window: the button, the state
// label, the status picture, the tray icon, the inputs and the restart link.
// Drawn on the window thread as the state changes, in the order it changed.
#include "hotspot/hotspot_controller.h"
#include "ui/shared_texts.h"

namespace lumora {
namespace {

constexpr Colour kGreen{0, 128, 0};
constexpr int kAnimationMs = 500;

}  // namespace

HotspotController::HotspotController(HotspotPorts ports) : p_(std::move(ports)) {
  model_.AddListener([this](HotspotState state) {
    Draw(state);
    Watch(state);
  });
}

void HotspotController::Draw(HotspotState state) {
  const HotspotState before = drawn_;
  drawn_ = state;
  switch (state) {
    case HotspotState::kStarting: return ShowStartingState();
    case HotspotState::kRunning: return ShowRunningState();
    case HotspotState::kStopping: return ShowStopBegun();
    case HotspotState::kHealing: return ShowHealingState();
    case HotspotState::kStopped:
      if (before == HotspotState::kStarting) return ShowStartEnded();
      if (before == HotspotState::kHealing) ShowStopBegun();  // a heal that came to rest
      return ShowStopDone();
  }
}

void HotspotController::ShowStartingState() {
  p_.ui.SetEnabled(Ctl::按钮开始, false);
  p_.ui.SetText(Ctl::按钮开始, hotspot_text::kStartingCaption);
  p_.ui.SetTimerInterval(Timer::时钟状态, kAnimationMs);
  p_.ui.SetTimerInterval(Timer::时钟_右下角灰动, kAnimationMs);
}

// The system took the hotspot down and it is being started again: the
// animations run as in a start, and the button still stops it.
void HotspotController::ShowHealingState() {
  {
    std::lock_guard lock(state_mutex_);
    share_status_.clear();
    animation_frame_ = tray_animation_frame_ = 0;
  }
  p_.ui.SetText(Ctl::标签9, "未启动");
  p_.ui.SetTextColour(Ctl::标签9, Colour{});
  p_.ui.SetEnabled(Ctl::超级链接框_重启, false);
  p_.ui.SetMenuItemEnabled(MenuItem::重启WiFi, false);
  p_.ui.SetTimerInterval(Timer::时钟状态, kAnimationMs);
  p_.ui.SetTimerInterval(Timer::时钟_右下角灰动, kAnimationMs);
}

void HotspotController::ShowRunningState() {
  p_.ui.SetText(Ctl::按钮开始, hotspot_text::kStopCaption);
  p_.ui.SetEnabled(Ctl::按钮开始, true);
  for (Ctl c : {Ctl::编辑框名称, Ctl::编辑框密码, Ctl::组合框1}) p_.ui.SetEnabled(c, false);
  p_.ui.SetText(Ctl::标签9, "已启动");
  p_.ui.SetTextColour(Ctl::标签9, kGreen);
  p_.ui.SetVisible(Ctl::超级链接框_重启, true);
  p_.ui.SetEnabled(Ctl::超级链接框_重启, true);
  {
    // The animations see it at their next tick and show the running look.
    std::lock_guard lock(state_mutex_);
    share_status_ = hotspot_text::kShareDone;
  }
  p_.ui.SetMenuItemEnabled(MenuItem::重启WiFi, true);
}

void HotspotController::ShowStoppedLook() {
  p_.ui.SetTimerInterval(Timer::时钟状态, 0);
  p_.ui.SetPicture(Ctl::图片框状态, Image::kStatusStopped);
  p_.ui.SetTimerInterval(Timer::时钟_右下角灰动, 0);
  p_.ui.SetTrayIcon(Image::kTrayOff);
}

// A start that ended without the hotspot: ready for the next click.
void HotspotController::ShowStartEnded() {
  p_.ui.SetText(Ctl::按钮开始, shared_text::kStartCaption);
  p_.ui.SetEnabled(Ctl::按钮开始, true);
  ShowStoppedLook();
}

// A stop or reset has begun: the window is stopped at once, the button
// waits until the commands are done.
void HotspotController::ShowStopBegun() {
  p_.ui.SetText(Ctl::编辑框虚拟网卡, "");
  p_.ui.SetVisible(Ctl::超级链接框_重启, false);
  p_.ui.SetEnabled(Ctl::按钮开始, false);
  p_.ui.SetText(Ctl::按钮开始, shared_text::kStartCaption);
  p_.ui.SetEnabled(Ctl::组合框1, true);
  p_.ui.SetText(Ctl::标签9, "未启动");
  ShowStoppedLook();
  p_.ui.SetEnabled(Ctl::编辑框名称, true);
  p_.ui.SetEnabled(Ctl::编辑框密码, true);
}

void HotspotController::ShowStopDone() {
  p_.ui.SetMenuItemEnabled(MenuItem::重启WiFi, false);
  p_.ui.SetEnabled(Ctl::按钮开始, true);
  p_.ui.ShowTrayIcon(Image::kTrayOff, shared_text::kTrayWelcome);
}

}  // namespace lumora
