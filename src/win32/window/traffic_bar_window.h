#pragma once
// The floating traffic bar: a small borderless, always-on-top tool window
// outside the taskbar with the two rate labels. Its rates, position and
// pop-up belong to the traffic monitor; this class is only the window.
#include <windows.h>

#include <functional>

#include "ui/controls.h"

namespace lumora {

class TrafficBarWindow {
 public:
  // Registers the window class (once per process).
  static void RegisterClass(HINSTANCE instance);

  // Creates the bar hidden at its design position with its labels; `fonts`
  // is indexed by the definition's Font. Its controls are given to `adopt`.
  void Create(HINSTANCE instance, const HFONT* fonts, const std::function<void(Ctl, HWND)>& adopt);
  bool Exists() const { return hwnd_ != nullptr; }
  HWND Handle() const { return hwnd_; }
  void SetVisible(bool visible);
  bool Visible() const;

  // The bar's timer: kept while the bar does not exist yet, set once it does.
  void SetTimerInterval(UINT_PTR id, int ms);

  std::function<void()> on_tick;  // the bar's timer fired

 private:
  static LRESULT CALLBACK Proc(HWND, UINT, WPARAM, LPARAM);

  HWND hwnd_ = nullptr;
  UINT_PTR timer_id_ = 0;
  int timer_ms_ = 0;
};

}  // namespace lumora
