// The two animations of a start: the status picture and the tray icon cycle
// until sharing is done, then show the running state.
#include "hotspot/hotspot_controller.h"

namespace lumora {

void HotspotController::OnStatusTimer() {
  int frame;
  {
    std::lock_guard lock(state_mutex_);
    if (share_status_ == hotspot_text::kShareDone) frame = -1;
    else {
      frame = animation_frame_;
      animation_frame_ = (animation_frame_ + 1) % 5;
    }
  }
  if (frame < 0) {
    p_.ui.SetTimerInterval(Timer::时钟状态, 0);
    p_.ui.SetPicture(Ctl::图片框状态, Image::kStatusRunning);
    return;
  }
  p_.ui.SetPicture(Ctl::图片框状态,
                   static_cast<Image>(static_cast<int>(Image::kStatusFrame0) + frame));
}

void HotspotController::OnTrayAnimationTimer() {
  static constexpr Image kCycle[] = {Image::kTrayFrame0, Image::kTrayFrame1, Image::kTrayFrame2,
                                     Image::kTrayOff};
  int frame;
  {
    std::lock_guard lock(state_mutex_);
    if (share_status_ == hotspot_text::kShareDone) frame = -1;
    else {
      frame = tray_animation_frame_;
      tray_animation_frame_ = (tray_animation_frame_ + 1) % 4;
    }
  }
  if (frame < 0) {
    p_.ui.SetTimerInterval(Timer::时钟_右下角灰动, 0);
    p_.ui.ShowTrayIcon(Image::kTrayOn, hotspot_text::kTrayRunning);
    return;
  }
  p_.ui.SetTrayIcon(kCycle[frame]);
}

}  // namespace lumora
