#pragma once
// The names of everything on the program's windows, as the window definition
// names them. The core addresses controls, timers and menu items only by
// these names.

namespace lumora {

enum class Ctl : int {
  // Main window, outside the pages.
  选择夹1,
  // Page "主界面".
  标签1, 编辑框名称, 标签2, 编辑框密码, 画板_问号, 选择框_显示密码, 按钮开始, 图片框状态, 标签9,
  超级链接框_重启, 选择框关机, 组合框_关机, 标签定时, 标签关机, 按钮右下角, 分组框7, 超文本浏览框1,
  超文本浏览框2,
  // Page "管理用户".
  单选框黑, 单选框白, 分组框4, 透明标签3, 超级链接框刷新, 超级列表框1, 超级列表框3, 分组框3,
  超级列表框2, 透明标签_白说明, 编辑框设备, 编辑框去除多个本地,
  // Page "设置中心".
  分组框2, 标签5, 组合框1, 按钮查看连接, 选择框2, 标签14, 编辑框虚拟网卡, 分组框1, 滑块条色调,
  透明标签位置, 按钮色调, 分组框5, 选择框_启动, 选择框_开机启动, 画板_叹号, 选择框_自动恢复,
  // Page "流量统计".
  分组框6, 图片框下载, 标签本次下载流量, 图片框上传, 标签本次上传流量, 透明标签4, 标签本次总流量,
  透明标签1, 标签本次总金额, 选择框显示流量,
  // Page "帮助信息".
  简单超文本框1,
  // The floating bar window TrafficBar (its design names carry the prefix
  // here: the bar has a 透明标签1 of its own).
  流量条_下载透明标签, 流量条_上传透明标签, 流量条_透明标签1,
  kCount
};
inline constexpr int kControlCount = static_cast<int>(Ctl::kCount);

enum class Timer : int {
  时钟状态, 时钟_右下角灰动, 时钟_黑, 时钟_白, 时钟流量统计, 时钟关机,
  时钟流量,  // on the floating bar
  时钟守护,  // the running hotspot's watch
  kCount
};
inline constexpr int kTimerCount = static_cast<int>(Timer::kCount);

// Items of the four pop-up menus 菜单, 加黑, 取消黑, 移白.
enum class MenuItem : int {
  重启WiFi, 官方网站, 退出,  // 菜单
  流量条菜单,                 // 菜单: the floating bar's popup, from the keyboard
  拉入黑名单, 复制到白名单,   // 加黑
  取消黑名单,                 // 取消黑
  移出白名单,                 // 移白
  kCount
};
inline constexpr int kMenuItemCount = static_cast<int>(MenuItem::kCount);

enum class Popup : int { 菜单, 加黑, 取消黑, 移白, kCount };

// Pictures the program shows; the Windows layer maps them to resources.
enum class Image : int {
  kNone,
  kAppIcon,
  kStatusStopped, kStatusRunning,
  kStatusFrame0, kStatusFrame1, kStatusFrame2, kStatusFrame3, kStatusFrame4,
  kTrayOff, kTrayOn, kTrayFrame0, kTrayFrame1, kTrayFrame2,
  kQuestion, kExclamation, kUpload, kDownload,
  kBarBackground,
  kBarOutline,  // magenta: cut away
};

}  // namespace lumora
