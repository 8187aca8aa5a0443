#pragma once
// The floating bar's rules that need no window: its stored position and
// where its popup opens.
#include <optional>
#include <string>
#include <string_view>

#include "traffic/bar_port.h"

namespace lumora {

namespace bar_text {
inline constexpr char kTooltip[] = "显示WiFi的实时流量\r\n双击显示主界面，右击可隐藏";
inline constexpr char kPopupMarkup[] =
    "<a msg=m7><font size=10pt>   显示主界面   </font></a></br>\r\n"
    "<a msg=m8><font size=10pt>   隐藏流量条   </font></a></br>\r\n"
    "<a msg=m9><font size=10pt>   退出WiFi   </font></a>";
inline constexpr char kShowMain[] = "m7";
inline constexpr char kHideBar[] = "m8";
inline constexpr char kQuit[] = "m9";
inline constexpr char kOn[] = "是";
inline constexpr char kOff[] = "否";
}  // namespace bar_text

// The position stored as "left|top". Nothing unless the text splits into
// exactly two parts at "|"; each part is read as a leading number (0 when it
// is none), truncated toward zero and held within the range of an int.
std::optional<Point> ParseBarPosition(std::string_view stored);
std::string BarPositionText(Point top_left);

// The popup opens from the middle of the bar (left + 77): upward from the
// bar's top when the bar lies within the screen's bottom 130 pixels,
// otherwise downward from its bottom edge (top + 22).
BarPopup PopupFor(Point bar, Size screen);

// The rectangle a popup of `content` size takes: centred on the anchor's x,
// above the anchor when it opens upward, below it otherwise.
Rect PopupRect(const BarPopup& popup, Size content);

}  // namespace lumora
