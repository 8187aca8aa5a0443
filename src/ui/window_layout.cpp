#include "ui/window_layout.h"

#include <algorithm>
#include <array>
#include <cassert>
#include <utility>

namespace lumora {
namespace {

using K = ControlKind;
using P = Page;
using F = Font;
using I = Image;
using C = Ctl;
namespace f = flag;
constexpr Ctl kPage = kNoParent;

// One row per Ctl, in enum order: the Windows layer creates the controls in
// this order, so a group box always comes before the controls it holds.
constexpr ControlDef kControls[] = {
    {C::选择夹1, "选择夹1", K::kTab, P::kNone, kPage, kTabRect, "", 0, F::kDefault, I::kNone},

    // Page "主界面".
    {C::标签1, "标签1", K::kLabel, P::k主界面, kPage, {38, 93, 63, 24}, "WiFi名称：", 0,
     F::kDefault, I::kNone},
    {C::编辑框名称, "编辑框名称", K::kEdit, P::k主界面, kPage, {110, 91, 210, 32}, "mylove", 0,
     F::kDefault, I::kNone},
    {C::标签2, "标签2", K::kLabel, P::k主界面, kPage, {67, 143, 34, 24}, "密码：", 0, F::kDefault,
     I::kNone},
    // Plain input at design: 选择框_显示密码 starts checked.
    {C::编辑框密码, "编辑框密码", K::kEdit, P::k主界面, kPage, {110, 140, 210, 32}, "5094817263",
     0, F::kDefault, I::kNone},
    {C::画板_问号, "画板_问号", K::kIconBoard, P::k主界面, kPage, {323, 121, 20, 20}, "",
     f::kHandCursor, F::kDefault, I::kQuestion},
    {C::选择框_显示密码, "选择框_显示密码", K::kCheckBox, P::k主界面, kPage, {110, 176, 70, 16},
     "显示密码", f::kChecked, F::kDefault, I::kNone},
    // Disabled until start-up has found the connections.
    {C::按钮开始, "按钮开始", K::kButton, P::k主界面, kPage, {172, 208, 86, 42},
     "初始化中\r\n请稍后", f::kDisabled | f::kHandCursor, F::kDefault, I::kNone},
    {C::图片框状态, "图片框状态", K::kPicture, P::k主界面, kPage, {113, 214, 40, 32}, "", 0,
     F::kDefault, I::kStatusStopped},
    {C::标签9, "标签9", K::kLabel, P::k主界面, kPage, {262, 24, 50, 14}, "", f::kHidden,
     F::kSongBold, I::kNone},
    {C::超级链接框_重启, "超级链接框_重启", K::kHyperlink, P::k主界面, kPage, {264, 216, 52, 24},
     "重启WiFi", f::kHidden, F::kDefault, I::kNone},
    {C::选择框关机, "选择框关机", K::kCheckBox, P::k主界面, kPage, {7, 265, 81, 16}, "定时关机：",
     0, F::kDefault, I::kNone},
    {C::组合框_关机, "组合框_关机", K::kCombo, P::k主界面, kPage, {82, 264, 42, 20}, "", 0,
     F::kDefault, I::kNone},
    {C::标签定时, "标签定时", K::kLabel, P::k主界面, kPage, {129, 261, 30, 24}, "小时", 0,
     F::kDefault, I::kNone},
    {C::标签关机, "标签关机", K::kLabel, P::k主界面, kPage, {161, 261, 172, 24},
     "00时00分00秒后关机", f::kHidden, F::kDefault, I::kNone},
    {C::按钮右下角, "按钮右下角", K::kButton, P::k主界面, kPage, {337, 260, 82, 25},
     "缩小到右下角", 0, F::kDefault, I::kNone},
    {C::分组框7, "分组框7", K::kGroupBox, P::k主界面, kPage, {12, 24, 402, 62}, "",
     f::kHidden | f::kNoCaption, F::kDefault, I::kNone},
    // Deliberately larger than its group box, which clips it.
    {C::超文本浏览框1, "超文本浏览框1", K::kBrowser, P::k主界面, C::分组框7, {-5, -5, 450, 90},
     "", f::kHidden | f::kDisabled, F::kDefault, I::kNone},
    // No longer used (the statistics page is requested directly): stays hidden.
    {C::超文本浏览框2, "超文本浏览框2", K::kBrowser, P::k主界面, kPage, {393, 154, 100, 100}, "",
     f::kHidden, F::kDefault, I::kNone},

    // Page "管理用户".
    {C::单选框黑, "单选框黑", K::kRadio, P::k管理用户, kPage, {133, 26, 90, 15}, "黑名单模式", 0,
     F::kDefault, I::kNone},
    {C::单选框白, "单选框白", K::kRadio, P::k管理用户, kPage, {228, 26, 88, 15}, "白名单模式", 0,
     F::kDefault, I::kNone},
    {C::分组框4, "分组框4", K::kGroupBox, P::k管理用户, kPage, {14, 40, 400, 133},
     "允许上网的用户↓", 0, F::kDefault, I::kNone},
    // Wider than the group box; the part past its edge is clipped and holds no text.
    {C::透明标签3, "透明标签3", K::kTransparentLabel, P::k管理用户, C::分组框4,
     {134, 10, 310, 18}, "右击鼠标拉入黑名单   双击可修改名称备注", 0, F::kDefault, I::kNone},
    {C::超级链接框刷新, "超级链接框刷新", K::kHyperlink, P::k管理用户, C::分组框4,
     {370, 10, 27, 12}, "刷新", 0, F::kDefault, I::kNone},
    // The user list and the white list share one rectangle; the mode decides
    // which of them shows.
    {C::超级列表框1, "超级列表框1", K::kListView, P::k管理用户, C::分组框4, {0, 26, 400, 107}, "",
     0, F::kDefault, I::kNone},
    {C::超级列表框3, "超级列表框3", K::kListView, P::k管理用户, C::分组框4, {0, 26, 400, 107}, "",
     0, F::kDefault, I::kNone},
    {C::分组框3, "分组框3", K::kGroupBox, P::k管理用户, kPage, {14, 188, 400, 97},
     "黑名单(右击鼠标取消黑名单)", 0, F::kDefault, I::kNone},
    {C::超级列表框2, "超级列表框2", K::kListView, P::k管理用户, C::分组框3, {0, 17, 400, 80}, "",
     0, F::kDefault, I::kNone},
    {C::透明标签_白说明, "透明标签_白说明", K::kTransparentLabel, P::k管理用户, kPage,
     {14, 181, 400, 70},
     "[说明]：白名单模式相当于无线路由器的绑定mac功能，只允许绑定的设备\r\n\r\n"
     "        连网，列表为空表示禁止所有的用户，推荐使用黑名单模式即可。\r\n\r\n"
     "        添加白名单要从[黑名单模式]用户列表那里右击鼠标加入。",
     0, F::kDefault, I::kNone},
    {C::编辑框设备, "编辑框设备", K::kEdit, P::k管理用户, kPage, {256, 166, 80, 13}, "",
     f::kHidden | f::kInPlace, F::kDefault, I::kNone},
    {C::编辑框去除多个本地, "编辑框去除多个本地", K::kEdit, P::k管理用户, kPage,
     {370, 24, 200, 20}, "", f::kHidden, F::kDefault, I::kNone},

    // Page "设置中心".
    {C::分组框2, "分组框2", K::kGroupBox, P::k设置中心, kPage, {14, 36, 400, 100}, "网络选择", 0,
     F::kDefault, I::kNone},
    {C::标签5, "标签5", K::kLabel, P::k设置中心, C::分组框2, {9, 18, 114, 16},
     "电脑连网方式(自动)：", 0, F::kDefault, I::kNone},
    {C::组合框1, "组合框1", K::kCombo, P::k设置中心, C::分组框2, {126, 16, 170, 20}, "", 0,
     F::kDefault, I::kNone},
    {C::按钮查看连接, "按钮查看连接", K::kButton, P::k设置中心, C::分组框2, {306, 15, 61, 24},
     "查看网卡", f::kHandCursor, F::kDefault, I::kNone},
    {C::选择框2, "选择框2", K::kCheckBox, P::k设置中心, C::分组框2, {126, 43, 96, 16},
     "记住这个网卡", 0, F::kDefault, I::kNone},
    {C::标签14, "标签14", K::kLabel, P::k设置中心, C::分组框2, {45, 68, 77, 24},
     "发射WiFi网卡：", 0, F::kDefault, I::kNone},
    {C::编辑框虚拟网卡, "编辑框虚拟网卡", K::kEdit, P::k设置中心, C::分组框2, {126, 71, 170, 20},
     "", f::kDisabled, F::kDefault, I::kNone},
    {C::分组框1, "分组框1", K::kGroupBox, P::k设置中心, kPage, {14, 142, 400, 86}, "皮肤调色", 0,
     F::kDefault, I::kNone},
    {C::滑块条色调, "滑块条色调", K::kSlider, P::k设置中心, C::分组框1, {5, 26, 390, 40}, "", 0,
     F::kDefault, I::kNone},
    {C::透明标签位置, "透明标签位置", K::kTransparentLabel, P::k设置中心, C::分组框1,
     {172, 9, 55, 20}, "", 0, F::kDefault, I::kNone},
    {C::按钮色调, "按钮色调", K::kButton, P::k设置中心, C::分组框1, {160, 51, 80, 20}, "恢复默认",
     f::kHandCursor, F::kDefault, I::kNone},
    {C::分组框5, "分组框5", K::kGroupBox, P::k设置中心, kPage, {14, 234, 400, 48}, "启动选项", 0,
     F::kDefault, I::kNone},
    {C::选择框_启动, "选择框_启动", K::kCheckBox, P::k设置中心, C::分组框5, {10, 18, 145, 18},
     "打开软件马上开启WiFi", 0, F::kDefault, I::kNone},
    {C::选择框_开机启动, "选择框_开机启动", K::kCheckBox, P::k设置中心, C::分组框5,
     {270, 18, 99, 18}, "开机打开软件", 0, F::kDefault, I::kNone},
    {C::画板_叹号, "画板_叹号", K::kIconBoard, P::k设置中心, C::分组框5, {361, 17, 20, 21}, "",
     f::kHandCursor, F::kDefault, I::kExclamation},
    {C::选择框_自动恢复, "选择框_自动恢复", K::kCheckBox, P::k设置中心, C::分组框5,
     {162, 18, 100, 18}, "自动恢复WiFi", 0, F::kDefault, I::kNone},

    // Page "流量统计".
    {C::分组框6, "分组框6", K::kGroupBox, P::k流量统计, kPage, {14, 34, 400, 197},
     "为您节省的的手机流量", 0, F::kDefault, I::kNone},
    {C::图片框下载, "图片框下载", K::kPicture, P::k流量统计, C::分组框6, {7, 33, 33, 35}, "", 0,
     F::kDefault, I::kDownload},
    {C::标签本次下载流量, "标签本次下载流量", K::kLabel, P::k流量统计, C::分组框6,
     {48, 40, 155, 20}, "0.00 MB", 0, F::kYaHeiBold, I::kNone},
    {C::图片框上传, "图片框上传", K::kPicture, P::k流量统计, C::分组框6, {220, 33, 33, 35}, "", 0,
     F::kDefault, I::kUpload},
    {C::标签本次上传流量, "标签本次上传流量", K::kLabel, P::k流量统计, C::分组框6,
     {261, 40, 129, 20}, "0.00 MB", 0, F::kYaHeiBold, I::kNone},
    {C::透明标签4, "透明标签4", K::kTransparentLabel, P::k流量统计, C::分组框6, {13, 89, 131, 20},
     "本次为您节省手机流量：", 0, F::kDefault, I::kNone},
    {C::标签本次总流量, "标签本次总流量", K::kLabel, P::k流量统计, C::分组框6, {149, 90, 199, 20},
     "0.00 MB", 0, F::kYaHeiBold, I::kNone},
    {C::透明标签1, "透明标签1", K::kTransparentLabel, P::k流量统计, C::分组框6,
     {13, 123, 131, 20}, "大约为您节省的流量费：", 0, F::kDefault, I::kNone},
    {C::标签本次总金额, "标签本次总金额", K::kLabel, P::k流量统计, C::分组框6, {149, 125, 199, 20},
     "0.00 元", 0, F::kYaHeiBold, I::kNone},
    {C::选择框显示流量, "选择框显示流量", K::kCheckBox, P::k流量统计, C::分组框6,
     {13, 160, 210, 18}, "显示WiFi网速悬浮条", 0, F::kDefault, I::kNone},

    // Page "帮助信息": filled from the update server.
    {C::简单超文本框1, "简单超文本框1", K::kHtmlView, P::k帮助信息, kPage, {14, 42, 400, 240}, "",
     0, F::kDefault, I::kNone},

    // The floating bar, in its own coordinates. The rate labels are disabled:
    // 透明标签1, which covers the whole bar and a little beyond, alone takes
    // the mouse and carries the tooltip.
    {C::流量条_下载透明标签, "下载透明标签", K::kTransparentLabel, P::kTrafficBar, kPage,
     {18, 4, 55, 14}, "0.0KB/S", f::kDisabled, F::kNSimSun, I::kNone},
    {C::流量条_上传透明标签, "上传透明标签", K::kTransparentLabel, P::kTrafficBar, kPage,
     {94, 4, 55, 14}, "0.0KB/S", f::kDisabled, F::kNSimSun, I::kNone},
    {C::流量条_透明标签1, "透明标签1", K::kTransparentLabel, P::kTrafficBar, kPage,
     {1, -6, 159, 30}, "", 0, F::kDefault, I::kNone},
};
static_assert(std::size(kControls) == kControlCount, "one row per control");

constexpr bool RowsInEnumOrder() {
  for (int i = 0; i < kControlCount; ++i)
    if (static_cast<int>(kControls[i].id) != i) return false;
  return true;
}
static_assert(RowsInEnumOrder(), "ControlDefs() is indexed by Ctl");

constexpr ColumnDef kColumns[] = {
    {C::超级列表框1, "n", 20},
    {C::超级列表框1, "用户ip地址", 108},
    {C::超级列表框1, "用户硬件标识(mac)", 120},
    {C::超级列表框1, "设备名称", 130},
    // Column 0 keeps the IP address of a row moved from the user list, out of sight.
    {C::超级列表框2, "", 0},
    {C::超级列表框2, "用户硬件标识(mac)", 196},
    {C::超级列表框2, "设备名称", 196},
    {C::超级列表框3, "用户硬件标识(mac)", 196},
    {C::超级列表框3, "设备名称", 196},
};

constexpr const char* kShutdownHours[] = {"0.5", "1", "2", "3", "4",  "5", "6",
                                          "7",   "8", "9", "10", "11", "12"};

constexpr TimerDef kTimers[] = {
    {Timer::时钟状态, "时钟状态", false},
    {Timer::时钟_右下角灰动, "时钟_右下角灰动", false},
    {Timer::时钟_黑, "时钟_黑", false},
    {Timer::时钟_白, "时钟_白", false},
    {Timer::时钟流量统计, "时钟流量统计", false},
    {Timer::时钟关机, "时钟关机", false},
    {Timer::时钟流量, "时钟流量", true},
    {Timer::时钟守护, "时钟守护", false},
};
static_assert(std::size(kTimers) == kTimerCount);

constexpr PopupDef kPopups[] = {
    {Popup::菜单, "菜单"},
    {Popup::加黑, "加黑"},
    {Popup::取消黑, "取消黑"},
    {Popup::移白, "移白"},
};
static_assert(std::size(kPopups) == static_cast<int>(Popup::kCount));

constexpr MenuItemDef kMenuItems[] = {
    // Greyed until a hotspot start has succeeded.
    {MenuItem::重启WiFi, Popup::菜单, "重启WiFi", true},
    {MenuItem::官方网站, Popup::菜单, "官方网站", false},
    {MenuItem::退出, Popup::菜单, "退出", false},
    // The bar's own popup for whoever does not use the mouse; after 退出,
    // so the others keep their places.
    {MenuItem::流量条菜单, Popup::菜单, "流量条菜单", false},
    {MenuItem::拉入黑名单, Popup::加黑, "拉入黑名单", false},
    {MenuItem::复制到白名单, Popup::加黑, "复制到白名单", false},
    {MenuItem::取消黑名单, Popup::取消黑, "取消黑名单", false},
    {MenuItem::移出白名单, Popup::移白, "移出白名单", false},
};
static_assert(std::size(kMenuItems) == kMenuItemCount);

template <typename Row, std::size_t N>
constexpr bool IdsInOrder(const Row (&rows)[N]) {
  for (std::size_t i = 0; i < N; ++i)
    if (static_cast<std::size_t>(rows[i].id) != i) return false;
  return true;
}
static_assert(IdsInOrder(kTimers) && IdsInOrder(kPopups) && IdsInOrder(kMenuItems));

constexpr FontDef kFonts[] = {
    {"Verdana", 12, false, false},
    {"微软雅黑", 15, true, false},
    {"宋体", 12, true, false},
    {"新宋体", 12, false, false},
    {"Verdana", 12, false, true},
};
static_assert(std::size(kFonts) == static_cast<std::size_t>(Font::kCount));

// The icons that open a box: named after the box they open.
constexpr std::pair<Ctl, const char*> kPictureNames[] = {
    {C::画板_问号, "使用帮助"},
    {C::画板_叹号, "注意"},
};

// Half away from zero, as the system's MulDiv rounds.
int Rounded(long long numerator, int denominator) {
  const long long half = denominator / 2;
  return static_cast<int>(numerator >= 0 ? (numerator + half) / denominator
                                         : -((-numerator + half) / denominator));
}

constexpr const char* kPageTitles[] = {"主界面", "管理用户", "设置中心", "流量统计", "帮助信息"};

}  // namespace

std::span<const ControlDef> ControlDefs() { return kControls; }

const ControlDef& DefOf(Ctl id) {
  const int i = static_cast<int>(id);
  assert(i >= 0 && i < kControlCount);
  return kControls[i];
}

std::span<const ColumnDef> ColumnDefs() { return kColumns; }

std::span<const char* const> ComboItems(Ctl combo) {
  // 组合框1 is filled at run time with the connection names.
  if (combo == Ctl::组合框_关机) return kShutdownHours;
  return {};
}

std::span<const TimerDef> TimerDefs() { return kTimers; }
std::span<const PopupDef> PopupDefs() { return kPopups; }
std::span<const MenuItemDef> MenuItemDefs() { return kMenuItems; }

bool TakesFocus(ControlKind kind) {
  switch (kind) {
    case ControlKind::kEdit: case ControlKind::kButton: case ControlKind::kCheckBox:
    case ControlKind::kRadio: case ControlKind::kCombo: case ControlKind::kListView:
    case ControlKind::kIconBoard: case ControlKind::kHyperlink: case ControlKind::kSlider:
    case ControlKind::kHtmlView:
      return true;
    default:
      return false;
  }
}

std::vector<Ctl> TabOrder(Page page) {
  struct Placed {
    Ctl id;
    Rect r;  // in the page's coordinates
  };
  std::vector<Placed> placed;
  for (const ControlDef& d : kControls) {
    if (d.page != page || !TakesFocus(d.kind)) continue;
    Rect r = d.rect;
    if (d.parent != kNoParent) {
      r.left += DefOf(d.parent).rect.left;
      r.top += DefOf(d.parent).rect.top;
    }
    placed.push_back({d.id, r});
  }
  std::stable_sort(placed.begin(), placed.end(),
                   [](const Placed& a, const Placed& b) { return a.r.top < b.r.top; });
  std::vector<Ctl> order;
  for (std::size_t first = 0; first < placed.size();) {
    const Rect& lead = placed[first].r;
    std::size_t end = first + 1;
    while (end < placed.size() && placed[end].r.top < lead.top + lead.height / 2) ++end;
    std::stable_sort(placed.begin() + long(first), placed.begin() + long(end),
                     [](const Placed& a, const Placed& b) { return a.r.left < b.r.left; });
    for (std::size_t i = first; i < end; ++i) order.push_back(placed[i].id);
    first = end;
  }
  return order;
}

const FontDef& FontOf(Font font) {
  const auto i = static_cast<std::size_t>(font);
  return kFonts[i < std::size(kFonts) ? i : 0];
}

const char* AccessibleName(Ctl id) {
  for (const auto& [c, name] : kPictureNames)
    if (c == id) return name;
  const int i = static_cast<int>(id);
  return i >= 0 && i < kControlCount ? kControls[i].text : "";
}

int ScaleToDpi(int design, int dpi) { return Rounded(static_cast<long long>(design) * dpi, kDesignDpi); }

Rect ScaleToDpi(const Rect& design, int dpi) {
  const int left = ScaleToDpi(design.left, dpi), top = ScaleToDpi(design.top, dpi);
  return {left, top, ScaleToDpi(design.left + design.width, dpi) - left,
          ScaleToDpi(design.top + design.height, dpi) - top};
}

int DesignUnits(int pixels, int dpi) {
  return dpi > 0 ? Rounded(static_cast<long long>(pixels) * kDesignDpi, dpi) : pixels;
}

Rect DesignUnits(const Rect& pixels, int dpi) {
  const int left = DesignUnits(pixels.left, dpi), top = DesignUnits(pixels.top, dpi);
  return {left, top, DesignUnits(pixels.left + pixels.width, dpi) - left,
          DesignUnits(pixels.top + pixels.height, dpi) - top};
}

const char* PageTitle(Page page) {
  const int i = static_cast<int>(page);
  if (i < 0 || i >= static_cast<int>(std::size(kPageTitles))) return nullptr;
  return kPageTitles[i];
}

}  // namespace lumora
