#pragma once
// The window definition: every control of the main window's five pages and
// of the floating bar, with its kind, container, position, design text and
// initial state; the list view columns; the combo box items; the timers; the
// pop-up menus. The Windows layer builds the real windows from these tables,
// the tests an in-memory window.
#include <cstdint>
#include <span>
#include <vector>

#include "ui/controls.h"

namespace lumora {

enum class ControlKind : std::uint8_t {
  kTab, kLabel, kTransparentLabel, kEdit, kButton, kCheckBox, kRadio, kCombo, kListView,
  kGroupBox, kPicture, kIconBoard, kHyperlink, kSlider, kBrowser, kHtmlView,
};

enum class Font : std::uint8_t {
  kDefault,       // "Verdana"
  kYaHeiBold,     // bold "微软雅黑": the traffic page's value labels
  kSongBold,      // bold "宋体": the status label
  kNSimSun,       // "新宋体": the floating bar's rates
  kLink,          // the default face, underlined: hyperlinks
  kCount
};

struct FontDef {
  const char* face;
  int height;  // character height in design units (a negative LOGFONT height)
  bool bold, underline;
};
const FontDef& FontOf(Font font);

// Which window, and for the main window which page, a control sits on.
enum class Page : std::int8_t {
  kNone = -1,  // the tab control itself
  k主界面 = 0, k管理用户 = 1, k设置中心 = 2, k流量统计 = 3, k帮助信息 = 4,
  kTrafficBar = 10,
};

namespace flag {
inline constexpr std::uint16_t kHidden = 1 << 0;
inline constexpr std::uint16_t kDisabled = 1 << 1;
inline constexpr std::uint16_t kChecked = 1 << 2;
inline constexpr std::uint16_t kPassword = 1 << 3;    // masked input
inline constexpr std::uint16_t kHandCursor = 1 << 4;
inline constexpr std::uint16_t kNoCaption = 1 << 5;   // group box drawn without caption
// An editor laid over a list row while it is open: borderless, the row's height.
inline constexpr std::uint16_t kInPlace = 1 << 6;
}  // namespace flag

struct Rect {
  int left = 0, top = 0, width = 0, height = 0;
  friend bool operator==(const Rect& a, const Rect& b) {
    return a.left == b.left && a.top == b.top && a.width == b.width && a.height == b.height;
  }
};

struct Point {
  int x = 0, y = 0;
  friend bool operator==(const Point& a, const Point& b) { return a.x == b.x && a.y == b.y; }
};

struct Size {
  int width = 0, height = 0;
};

struct ControlDef {
  Ctl id;
  const char* name;    // design name, e.g. "编辑框名称"
  ControlKind kind;
  Page page;
  Ctl parent;          // the group box it sits in, or Ctl::kCount for the page itself
  Rect rect;           // relative to the container
  const char* text;    // design text ("\r\n" for line breaks)
  std::uint16_t flags;
  Font font;
  Image image;         // picture boxes and icon boards
};

struct ColumnDef {
  Ctl list;
  const char* title;
  int width;
};

struct TimerDef {
  Timer id;
  const char* name;
  bool on_bar;  // false: the main window
};

struct MenuItemDef {
  MenuItem id;
  Popup popup;
  const char* text;
  bool disabled;  // at design
};

struct PopupDef {
  Popup id;
  const char* text;  // caption of the hidden top-level item
};

inline constexpr Ctl kNoParent = Ctl::kCount;

std::span<const ControlDef> ControlDefs();     // in creation order, indexed by Ctl
const ControlDef& DefOf(Ctl id);
std::span<const ColumnDef> ColumnDefs();       // grouped by list, in column order
std::span<const char* const> ComboItems(Ctl combo);
std::span<const TimerDef> TimerDefs();         // indexed by Timer
std::span<const PopupDef> PopupDefs();         // indexed by Popup
std::span<const MenuItemDef> MenuItemDefs();   // indexed by MenuItem
const char* PageTitle(Page page);              // "主界面" ... "帮助信息"

// Whether the user can move the focus to a control of this kind.
bool TakesFocus(ControlKind kind);
// The controls of `page` that take the focus, in the order the Tab key
// visits them: reading order, line by line from the top and each line from
// the left. A control belongs to a line when its top lies above the middle
// of the line's first control. Rectangles count in the page's coordinates.
std::vector<Ctl> TabOrder(Page page);

// What a screen reader calls a control: its caption, or for a picture that
// acts as a button (the help and notice icons) a name of its own. Empty
// for controls without either.
const char* AccessibleName(Ctl id);

// Every position and size above is in design units: pixels of a 96 DPI
// screen. A screen of another DPI shows them scaled, edges rounded to the
// nearest pixel, so controls that touch in the design touch on every screen.
inline constexpr int kDesignDpi = 96;
int ScaleToDpi(int design, int dpi);
Rect ScaleToDpi(const Rect& design, int dpi);
// Back from pixels of that screen to design units (the nearest).
int DesignUnits(int pixels, int dpi);
Rect DesignUnits(const Rect& pixels, int dpi);

// Main window and floating bar, outside sizes.
inline constexpr int kMainWidth = 430, kMainHeight = 316;
inline constexpr Rect kTabRect{-1, -2, 455, 330};
inline constexpr int kBarWidth = 155, kBarHeight = 23;
inline constexpr int kBarDesignLeft = 50, kBarDesignTop = 50;

// The tab control's pages and the hue slider's range; the hue is the
// slider's position minus kHueOffset.
inline constexpr int kPageCount = 5;
inline constexpr int kSliderMin = 0, kSliderMax = 340;
inline constexpr int kHueOffset = 160;

// Named groups of the window definition.
// Controls shown only in black list mode, and only in white list mode.
inline constexpr Ctl kBlackModeControls[] = {Ctl::分组框3, Ctl::超级列表框1, Ctl::超级列表框2,
                                            Ctl::超级链接框刷新};
inline constexpr Ctl kWhiteModeControls[] = {Ctl::超级列表框3, Ctl::透明标签_白说明};

// The window title, also the single-instance key, and the program's version.
inline constexpr char kWindowTitle[] = "LumoraWiFi5.1";
inline constexpr char kProgramVersion[] = "5.1";

}  // namespace lumora
