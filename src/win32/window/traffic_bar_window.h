#pragma once
// The floating traffic bar: a small borderless, always-on-top tool window
// outside the taskbar with the two rate labels, cut to its outline picture,
// and its context popup of link lines. Its rates, position and popup's
// meaning belong to the traffic monitor; this class is the window behind
// BarPort.
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "traffic/bar_port.h"
#include "traffic/popup_links.h"
#include "ui/controls.h"
#include "ui/subsystem.h"

namespace lumora {

class TrafficBarWindow : public BarPort {
 public:
  // Registers the window classes (once per process).
  static void RegisterClass(HINSTANCE instance);

  // What creating the bar needs from the main window: where the handles of
  // the bar's controls go.
  void Bind(HINSTANCE instance, std::function<void(Ctl, HWND)> adopt);
  // In high contrast the bar is drawn in the system's colours, not its picture.
  void SetHighContrast(bool on);
  int Dpi() const { return dpi_; }

  HWND Handle() const { return hwnd_; }
  HWND PopupHandle() const { return popup_; }

  // The bar's timer: kept while the bar does not exist yet, set once it does.
  void SetTimerInterval(UINT_PTR id, int ms);

  std::function<void()> on_tick;  // the bar's timer fired
  // Double click and right click of 透明标签1.
  std::function<void(Ctl, ControlEvent, int)> on_event;
  // Moves, the left button and the popup's links. Set before creation.
  BarEvents* events = nullptr;

  // BarPort
  bool Exists() const override { return hwnd_ != nullptr; }
  void Create() override;
  bool Visible() const override;
  void SetVisible(bool visible) override;
  Point Position() const override;
  void SetPosition(Point top_left) override;
  Size ScreenSize() const override;
  void SetRateTexts(std::string_view download, std::string_view upload) override;
  void SetTooltip(std::string_view text) override;
  void ShowPopup(const BarPopup& popup, std::string_view markup) override;
  void HidePopup() override;
  void BeginDrag() override;

 private:
  static LRESULT CALLBACK Proc(HWND, UINT, WPARAM, LPARAM);
  static LRESULT CALLBACK CoverProc(HWND, UINT, WPARAM, LPARAM);
  static LRESULT CALLBACK PopupProc(HWND, UINT, WPARAM, LPARAM);
  bool HandleMouse(UINT msg);  // the mouse on the bar or its cover
  LRESULT HandlePopup(UINT msg, WPARAM wp, LPARAM lp);
  void PaintBackground(HDC dc);
  // Size, children, fonts and outline at the DPI of the bar's monitor.
  void ApplyDpi(int dpi);
  int Px(int design) const;
  void PaintPopup(HDC dc);
  int LinkAt(int y) const;
  void ClickLink(int index);
  void HandlePopupKey(UINT key);

  HINSTANCE instance_ = nullptr;
  int dpi_ = 96;
  bool high_contrast_ = false;
  HFONT rate_font_ = nullptr;
  std::function<void(Ctl, HWND)> adopt_;
  HWND hwnd_ = nullptr, cover_ = nullptr, tooltip_ = nullptr;
  HWND download_ = nullptr, upload_ = nullptr;
  UINT_PTR timer_id_ = 0;
  int timer_ms_ = 0;

  // The popup and what it shows.
  HWND popup_ = nullptr;
  HFONT popup_font_ = nullptr;
  int popup_points_ = 0;
  std::vector<PopupLink> links_;
  std::vector<RECT> link_rects_;  // in the popup's client coordinates
  int hover_ = -1;
};

}  // namespace lumora
