#pragma once
// The program's icon in the notification area: shown, changed, removed, and
// put back when the shell restarts.
#include <windows.h>

#include <string>
#include <string_view>

#include "ui/controls.h"

namespace lumora {

class TrayIcon {
 public:
  // `owner` receives `callback_message` with the mouse message in lParam.
  void Attach(HWND owner, UINT callback_message) {
    owner_ = owner;
    callback_ = callback_message;
  }
  void Show(Image icon, std::string_view tip);
  void SetIcon(Image icon);  // keeps the tip
  void Remove();
  void ShowAgain();  // after "TaskbarCreated": the shell lost it
  // A balloon from the icon (information icon); nothing while it is not shown.
  void ShowBalloon(std::string_view title, std::string_view text);
  bool Shown() const { return shown_; }

 private:
  void Apply(DWORD action);

  HWND owner_ = nullptr;
  UINT callback_ = 0;
  bool shown_ = false;
  Image icon_ = Image::kNone;
  std::string tip_;
};

}  // namespace lumora
