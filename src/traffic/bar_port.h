#pragma once
// The floating traffic bar window as the traffic monitor sees it, and the
// events the window reports that have no route in the event table. The
// Windows layer builds the window (background picture, magenta-cut outline,
// no skin) and implements both sides.
#include <array>
#include <string_view>

#include "ui/window_layout.h"

namespace lumora {

// Where the bar's context popup opens, in screen coordinates.
struct BarPopup {
  Point anchor;
  bool upward = false;
  // The balloon control's own placement code: 10 opens upward, 1 downward.
  int placement = 1;
  // The balloon's four layout values, in the control's order.
  std::array<int, 4> layout{3, 3, 9, 5};
};

class BarPort {
 public:
  virtual ~BarPort() = default;

  virtual bool Exists() const = 0;
  // Creates the bar hidden at its design position (50, 50), 155 x 23, always
  // on top, out of the taskbar; its rate labels show "0.0KB/S".
  virtual void Create() = 0;
  virtual void SetVisible(bool visible) = 0;  // shown without taking the focus

  // Left and top on the screen. A change of position, by the program or by
  // the user's drag, is reported through BarEvents::OnBarMoved.
  virtual Point Position() const = 0;
  virtual void SetPosition(Point top_left) = 0;
  // SM_CXSCREEN, SM_CYSCREEN.
  virtual Size ScreenSize() const = 0;
  // The bar's size against its design, in percent (its screen's DPI / 96).
  virtual int ScalePercent() const = 0;

  // 下载透明标签 and 上传透明标签.
  virtual void SetRateTexts(std::string_view download, std::string_view upload) = 0;
  // The hover tip of 透明标签1: a plain tooltip (not a balloon), broken at
  // its line break.
  virtual void SetTooltip(std::string_view text) = 0;

  // The popup 气球提示框1 with link markup; a link clicked is reported
  // through BarEvents::OnBarLinkClicked with its msg value.
  virtual void ShowPopup(const BarPopup& popup, std::string_view markup) = 0;
  virtual void HidePopup() = 0;

  // The left button went down on the bar: the system moves the bar with the
  // mouse as if its caption had been grabbed (WM_NCLBUTTONDOWN, HTCAPTION).
  virtual void BeginDrag() = 0;
};

// What the bar window reports besides the control events of its 透明标签1
// (double click, right click), which go through the event table.
class BarEvents {
 public:
  virtual ~BarEvents() = default;
  virtual void OnBarMoved(Point top_left) = 0;
  virtual void OnBarMouseDown() = 0;
  virtual void OnBarLinkClicked(std::string_view msg) = 0;
};

}  // namespace lumora
