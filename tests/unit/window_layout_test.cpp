#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "ui/window_layout.h"
#include "fakes/memory_window.h"

namespace lumora {
namespace {

bool OnBar(const ControlDef& d) { return d.page == Page::kTrafficBar; }
int Right(const Rect& r) { return r.left + r.width; }
int Bottom(const Rect& r) { return r.top + r.height; }
bool Inside(const Rect& r, int width, int height) {
  return r.left >= 0 && r.top >= 0 && Right(r) <= width && Bottom(r) <= height;
}

TEST(WindowLayout, TablesAreIndexedByTheirNames) {
  ASSERT_EQ(ControlDefs().size(), static_cast<size_t>(kControlCount));
  for (int i = 0; i < kControlCount; ++i) {
    EXPECT_EQ(static_cast<int>(ControlDefs()[i].id), i);
    EXPECT_EQ(&DefOf(static_cast<Ctl>(i)), &ControlDefs()[i]);
  }
  ASSERT_EQ(TimerDefs().size(), static_cast<size_t>(kTimerCount));
  for (int i = 0; i < kTimerCount; ++i) EXPECT_EQ(static_cast<int>(TimerDefs()[i].id), i);
  ASSERT_EQ(PopupDefs().size(), static_cast<size_t>(Popup::kCount));
  for (int i = 0; i < static_cast<int>(Popup::kCount); ++i)
    EXPECT_EQ(static_cast<int>(PopupDefs()[i].id), i);
  ASSERT_EQ(MenuItemDefs().size(), static_cast<size_t>(kMenuItemCount));
  for (int i = 0; i < kMenuItemCount; ++i) EXPECT_EQ(static_cast<int>(MenuItemDefs()[i].id), i);
}

TEST(WindowLayout, DesignNamesAreUniqueWithinEachWindow) {
  std::set<std::pair<bool, std::string>> seen;
  for (const ControlDef& d : ControlDefs()) {
    ASSERT_NE(d.name, nullptr);
    EXPECT_FALSE(std::string(d.name).empty());
    EXPECT_TRUE(seen.insert({OnBar(d), d.name}).second) << d.name;
  }
  // The bar's controls carry the bar's own names, one of which the main window shares.
  EXPECT_STREQ(DefOf(Ctl::流量条_透明标签1).name, "透明标签1");
  EXPECT_STREQ(DefOf(Ctl::透明标签1).name, "透明标签1");
  EXPECT_STREQ(DefOf(Ctl::流量条_下载透明标签).name, "下载透明标签");
  EXPECT_STREQ(DefOf(Ctl::流量条_上传透明标签).name, "上传透明标签");

  std::set<std::string> timers;
  for (const TimerDef& t : TimerDefs()) EXPECT_TRUE(timers.insert(t.name).second) << t.name;
}

TEST(WindowLayout, OnlyTheTabIsOutsideThePagesAndTheBarHasNoGroups) {
  for (const ControlDef& d : ControlDefs()) {
    EXPECT_EQ(d.page == Page::kNone, d.id == Ctl::选择夹1) << d.name;
    if (OnBar(d)) {
      EXPECT_EQ(d.parent, kNoParent) << d.name;
    }
  }
  EXPECT_EQ(DefOf(Ctl::选择夹1).kind, ControlKind::kTab);
  EXPECT_EQ(DefOf(Ctl::选择夹1).rect, kTabRect);
}

TEST(WindowLayout, GroupBoxesHoldExactlyTheirControls) {
  const std::map<Ctl, std::set<Ctl>> expected = {
      {Ctl::分组框7, {Ctl::超文本浏览框1}},
      {Ctl::分组框4, {Ctl::透明标签3, Ctl::超级链接框刷新, Ctl::超级列表框1, Ctl::超级列表框3}},
      {Ctl::分组框3, {Ctl::超级列表框2}},
      {Ctl::分组框2,
       {Ctl::标签5, Ctl::组合框1, Ctl::按钮查看连接, Ctl::选择框2, Ctl::标签14, Ctl::编辑框虚拟网卡}},
      {Ctl::分组框1, {Ctl::滑块条色调, Ctl::透明标签位置, Ctl::按钮色调}},
      {Ctl::分组框5, {Ctl::选择框_启动, Ctl::选择框_开机启动, Ctl::画板_叹号, Ctl::选择框_自动恢复}},
      {Ctl::分组框6,
       {Ctl::图片框下载, Ctl::标签本次下载流量, Ctl::图片框上传, Ctl::标签本次上传流量, Ctl::透明标签4,
        Ctl::标签本次总流量, Ctl::透明标签1, Ctl::标签本次总金额, Ctl::选择框显示流量}},
  };
  std::map<Ctl, std::set<Ctl>> actual;
  for (const ControlDef& d : ControlDefs()) {
    if (d.kind == ControlKind::kGroupBox) actual[d.id];  // an empty group shows up too
    if (d.parent == kNoParent) continue;
    const ControlDef& group = DefOf(d.parent);
    EXPECT_EQ(group.kind, ControlKind::kGroupBox) << d.name;
    EXPECT_EQ(group.page, d.page) << d.name;
    EXPECT_EQ(group.parent, kNoParent) << d.name;  // no nesting
    EXPECT_LT(static_cast<int>(group.id), static_cast<int>(d.id)) << d.name << ": created first";
    actual[d.parent].insert(d.id);
  }
  EXPECT_EQ(actual, expected);
}

TEST(WindowLayout, ControlsLieWithinTheirContainers) {
  // Two children are wider than their group box on purpose: the browser
  // overhangs 分组框7 on every side, the tip label runs past 分组框4's right
  // edge. They must still start at (or just before) the box's corner area
  // and overlap it; everything else lies wholly inside.
  const std::set<Ctl> overhanging = {Ctl::超文本浏览框1, Ctl::透明标签3};
  constexpr int kOverhang = 8;
  for (const ControlDef& d : ControlDefs()) {
    if (d.parent == kNoParent) continue;
    const Rect& box = DefOf(d.parent).rect;
    const Rect& r = d.rect;
    const bool inside = Inside(r, box.width, box.height);
    if (!overhanging.count(d.id)) {
      EXPECT_TRUE(inside) << d.name;
      continue;
    }
    EXPECT_FALSE(inside) << d.name << " no longer overhangs: drop it from the exceptions";
    EXPECT_GE(r.left, -kOverhang) << d.name;
    EXPECT_GE(r.top, -kOverhang) << d.name;
    EXPECT_LT(r.left, box.width) << d.name;
    EXPECT_LT(r.top, box.height) << d.name;
    EXPECT_GT(Right(r), 0) << d.name;
    EXPECT_GT(Bottom(r), 0) << d.name;
  }
  // What shows at design on a page stays on the tab; the hidden helpers
  // (超文本浏览框2, 编辑框去除多个本地) are parked past its edge.
  for (const ControlDef& d : ControlDefs()) {
    if (d.parent != kNoParent || OnBar(d) || d.page == Page::kNone) continue;
    if (!(d.flags & flag::kHidden)) {
      EXPECT_TRUE(Inside(d.rect, kTabRect.width, kTabRect.height)) << d.name;
    }
  }
  EXPECT_TRUE(Inside(DefOf(Ctl::流量条_下载透明标签).rect, kBarWidth, kBarHeight));
  EXPECT_TRUE(Inside(DefOf(Ctl::流量条_上传透明标签).rect, kBarWidth, kBarHeight));
  // The mouse catcher reaches past the bar's right and bottom edges.
  const Rect cover = DefOf(Ctl::流量条_透明标签1).rect;
  EXPECT_EQ(cover, (Rect{1, -6, 159, 30}));
  EXPECT_GE(Right(cover), kBarWidth);
  EXPECT_GE(Bottom(cover), kBarHeight);
  EXPECT_EQ(DefOf(Ctl::超文本浏览框1).rect, (Rect{-5, -5, 450, 90}));
}

TEST(WindowLayout, ListViewsHaveTheirColumnsInOrder) {
  const std::map<Ctl, std::vector<std::pair<std::string, int>>> expected = {
      {Ctl::超级列表框1,
       {{"n", 20}, {"用户ip地址", 108}, {"用户硬件标识(mac)", 120}, {"设备名称", 130}}},
      {Ctl::超级列表框2, {{"", 0}, {"用户硬件标识(mac)", 196}, {"设备名称", 196}}},
      {Ctl::超级列表框3, {{"用户硬件标识(mac)", 196}, {"设备名称", 196}}},
  };
  std::map<Ctl, std::vector<std::pair<std::string, int>>> actual;
  Ctl previous = kNoParent;
  std::set<Ctl> finished;  // each list's columns form one run
  for (const ColumnDef& c : ColumnDefs()) {
    EXPECT_EQ(DefOf(c.list).kind, ControlKind::kListView) << DefOf(c.list).name;
    if (c.list != previous) {
      EXPECT_TRUE(finished.insert(c.list).second) << DefOf(c.list).name << " split";
      previous = c.list;
    }
    actual[c.list].emplace_back(c.title, c.width);
  }
  EXPECT_EQ(actual, expected);
  for (const ControlDef& d : ControlDefs())
    if (d.kind == ControlKind::kListView) {
      EXPECT_TRUE(actual.count(d.id)) << d.name;
    }
}

TEST(WindowLayout, OnlyTheShutdownBoxHasDesignItems) {
  const std::vector<std::string> hours = {"0.5", "1", "2", "3", "4",  "5", "6",
                                          "7",   "8", "9", "10", "11", "12"};
  for (const ControlDef& d : ControlDefs()) {
    const auto items = ComboItems(d.id);
    if (d.id == Ctl::组合框_关机)
      EXPECT_EQ(std::vector<std::string>(items.begin(), items.end()), hours);
    else
      EXPECT_TRUE(items.empty()) << d.name;
  }
}

TEST(WindowLayout, MenusHoldTheirItemsInOrder) {
  struct Case {
    Popup popup;
    const char* caption;
    std::vector<std::string> items;
  };
  const Case expected[] = {
      {Popup::菜单, "菜单", {"重启WiFi", "官方网站", "退出", "流量条菜单"}},
      {Popup::加黑, "加黑", {"拉入黑名单", "复制到白名单"}},
      {Popup::取消黑, "取消黑", {"取消黑名单"}},
      {Popup::移白, "移白", {"移出白名单"}},
  };
  std::map<Popup, std::vector<std::string>> actual;
  for (const MenuItemDef& m : MenuItemDefs()) {
    actual[m.popup].push_back(m.text);
    EXPECT_EQ(m.disabled, m.id == MenuItem::重启WiFi) << m.text;
  }
  for (const Case& c : expected) {
    EXPECT_STREQ(PopupDefs()[static_cast<int>(c.popup)].text, c.caption);
    EXPECT_EQ(actual[c.popup], c.items) << c.caption;
  }
  EXPECT_EQ(actual.size(), std::size(expected));
}

TEST(WindowLayout, OnlyTheRateTimerRunsOnTheBar) {
  for (const TimerDef& t : TimerDefs()) EXPECT_EQ(t.on_bar, t.id == Timer::时钟流量) << t.name;
}

TEST(WindowLayout, TextsThatAreEasyToGetWrong) {
  const std::pair<Ctl, const char*> cases[] = {
      {Ctl::透明标签_白说明,
       "[说明]：白名单模式相当于无线路由器的绑定mac功能，只允许绑定的设备\r\n\r\n"
       "        连网，列表为空表示禁止所有的用户，推荐使用黑名单模式即可。\r\n\r\n"
       "        添加白名单要从[黑名单模式]用户列表那里右击鼠标加入。"},
      {Ctl::按钮开始, "初始化中\r\n请稍后"},
      {Ctl::分组框3, "黑名单(右击鼠标取消黑名单)"},
      {Ctl::标签关机, "00时00分00秒后关机"},
      {Ctl::透明标签3, "右击鼠标拉入黑名单   双击可修改名称备注"},
      {Ctl::标签5, "电脑连网方式(自动)："},
      {Ctl::分组框6, "为您节省的的手机流量"},
      {Ctl::标签本次总金额, "0.00 元"},
      {Ctl::流量条_下载透明标签, "0.0KB/S"},
      {Ctl::分组框7, ""},
      {Ctl::画板_问号, ""},
  };
  for (const auto& [id, text] : cases) EXPECT_STREQ(DefOf(id).text, text) << DefOf(id).name;
}

TEST(WindowLayout, DesignStatesFontsAndPictures) {
  const std::pair<Ctl, std::uint16_t> flagged[] = {
      {Ctl::画板_问号, flag::kHandCursor},
      {Ctl::选择框_显示密码, flag::kChecked},
      {Ctl::按钮开始, flag::kDisabled | flag::kHandCursor},
      {Ctl::标签9, flag::kHidden},
      {Ctl::超级链接框_重启, flag::kHidden},
      {Ctl::标签关机, flag::kHidden},
      {Ctl::分组框7, flag::kHidden | flag::kNoCaption},
      {Ctl::超文本浏览框1, flag::kHidden | flag::kDisabled},
      {Ctl::超文本浏览框2, flag::kHidden},
      {Ctl::编辑框设备, flag::kHidden | flag::kInPlace},
      {Ctl::编辑框去除多个本地, flag::kHidden},
      {Ctl::按钮查看连接, flag::kHandCursor},
      {Ctl::编辑框虚拟网卡, flag::kDisabled},
      {Ctl::按钮色调, flag::kHandCursor},
      {Ctl::画板_叹号, flag::kHandCursor},
      {Ctl::流量条_下载透明标签, flag::kDisabled},
      {Ctl::流量条_上传透明标签, flag::kDisabled},
  };
  const std::map<Ctl, Font> fonts = {
      {Ctl::标签本次下载流量, Font::kYaHeiBold}, {Ctl::标签本次上传流量, Font::kYaHeiBold},
      {Ctl::标签本次总流量, Font::kYaHeiBold},   {Ctl::标签本次总金额, Font::kYaHeiBold},
      {Ctl::标签9, Font::kSongBold},             {Ctl::流量条_下载透明标签, Font::kNSimSun},
      {Ctl::流量条_上传透明标签, Font::kNSimSun},
  };
  const std::map<Ctl, Image> images = {
      {Ctl::画板_问号, Image::kQuestion},     {Ctl::画板_叹号, Image::kExclamation},
      {Ctl::图片框状态, Image::kStatusStopped}, {Ctl::图片框下载, Image::kDownload},
      {Ctl::图片框上传, Image::kUpload},
  };
  std::map<Ctl, std::uint16_t> flags(std::begin(flagged), std::end(flagged));
  for (const ControlDef& d : ControlDefs()) {
    // Everything else starts visible, enabled, unchecked and unmasked; the
    // pass phrase in particular shows in plain text.
    EXPECT_EQ(d.flags, flags.count(d.id) ? flags[d.id] : 0) << d.name;
    EXPECT_EQ(d.font, fonts.count(d.id) ? fonts.at(d.id) : Font::kDefault) << d.name;
    EXPECT_EQ(d.image, images.count(d.id) ? images.at(d.id) : Image::kNone) << d.name;
  }
}

TEST(WindowLayout, PageTitles) {
  const std::pair<Page, const char*> cases[] = {
      {Page::k主界面, "主界面"},   {Page::k管理用户, "管理用户"}, {Page::k设置中心, "设置中心"},
      {Page::k流量统计, "流量统计"}, {Page::k帮助信息, "帮助信息"},
  };
  for (const auto& [page, title] : cases) EXPECT_STREQ(PageTitle(page), title);
  EXPECT_EQ(PageTitle(Page::kNone), nullptr);
  EXPECT_EQ(PageTitle(Page::kTrafficBar), nullptr);
}

// --- the in-memory window's own rules

TEST(MemoryWindow, StartsInTheDesignState) {
  fakes::MemoryWindow w;
  EXPECT_EQ(w.Text(Ctl::按钮开始), "初始化中\r\n请稍后");
  EXPECT_FALSE(w.Enabled(Ctl::按钮开始));
  EXPECT_FALSE(w.Visible(Ctl::标签9));
  EXPECT_TRUE(w.Checked(Ctl::选择框_显示密码));
  EXPECT_FALSE(w.Masked(Ctl::编辑框密码));
  EXPECT_EQ(w.Picture(Ctl::图片框状态), Image::kStatusStopped);
  EXPECT_EQ(w.Items(Ctl::组合框_关机).size(), 13u);
  EXPECT_EQ(w.SelectedIndex(Ctl::组合框_关机), -1);
  EXPECT_FALSE(w.MenuItemEnabled(MenuItem::重启WiFi));
  EXPECT_TRUE(w.MenuItemEnabled(MenuItem::退出));
  EXPECT_FALSE(w.BarExists());
  EXPECT_FALSE(w.TrayIconShown());
  // Each list view gets exactly its own number of columns.
  for (const auto& [list, columns] : {std::pair{Ctl::超级列表框1, 4}, std::pair{Ctl::超级列表框2, 3},
                                      std::pair{Ctl::超级列表框3, 2}}) {
    const int row = w.AddRow(list);
    w.SetCell(list, row, columns - 1, "last");
    w.SetCell(list, row, columns, "beyond");
    EXPECT_EQ(w.Cell(list, row, columns - 1), "last") << DefOf(list).name;
    EXPECT_EQ(w.Cell(list, row, columns), "") << DefOf(list).name;
  }
}

TEST(MemoryWindow, SliderKeepsWithinItsRange) {
  fakes::MemoryWindow w;
  const std::pair<int, int> cases[] = {{150, 150}, {-1, 0}, {340, 340}, {341, 340}, {0, 0}};
  for (const auto& [set, want] : cases) {
    w.SetSliderPosition(Ctl::滑块条色调, set);
    EXPECT_EQ(w.SliderPosition(Ctl::滑块条色调), want) << set;
  }
}

TEST(MemoryWindow, OutOfRangeCallsAreHarmless) {
  fakes::MemoryWindow w;
  const Ctl list = Ctl::超级列表框1;
  w.AddRow(list);
  w.SetCell(list, 0, 1, "192.168.137.2");
  for (const auto& [row, column] :
       {std::pair{-1, 0}, std::pair{1, 0}, std::pair{0, -1}, std::pair{0, 4}}) {
    w.SetCell(list, row, column, "x");
    EXPECT_EQ(w.Cell(list, row, column), "");
  }
  w.DeleteRow(list, 1);
  w.DeleteRow(list, -1);
  EXPECT_EQ(w.RowCount(list), 1);
  EXPECT_EQ(w.Cell(list, 0, 1), "192.168.137.2");

  w.SelectIndex(Ctl::组合框_关机, 2);
  EXPECT_EQ(w.Text(Ctl::组合框_关机), "2");
  w.SelectIndex(Ctl::组合框_关机, 13);  // past the end: the choice stays
  EXPECT_EQ(w.SelectedIndex(Ctl::组合框_关机), 2);
  w.SelectIndex(Ctl::组合框_关机, -1);
  EXPECT_EQ(w.SelectedIndex(Ctl::组合框_关机), -1);
  EXPECT_EQ(w.Text(Ctl::组合框_关机), "");

  w.SetText(Ctl::kCount, "x");
  EXPECT_EQ(w.Text(Ctl::kCount), "");
  EXPECT_EQ(w.AddRow(Ctl::kCount), -1);
  w.SetTimerInterval(Timer::kCount, 5);
  EXPECT_EQ(w.TimerInterval(Timer::kCount), 0);
  w.SelectPage(5);
  EXPECT_EQ(w.CurrentPage(), 0);
}

TEST(MemoryWindow, BarMustExistBeforeItShows) {
  fakes::MemoryWindow w;
  w.SetBarVisible(true);
  EXPECT_FALSE(w.BarVisible());
  w.CreateBar();
  EXPECT_TRUE(w.BarExists());
  EXPECT_FALSE(w.BarVisible());
  w.SetBarVisible(true);
  EXPECT_TRUE(w.BarVisible());
}

TEST(MemoryWindow, BoxesAreRecordedAndAnsweredFromTheScript) {
  fakes::MemoryWindow w;
  w.answers = {MessageResult::kYes};
  EXPECT_EQ(w.ShowMessage("a", "t", MessageIcon::kQuestion, MessageButtons::kYesNo),
            MessageResult::kYes);
  EXPECT_EQ(w.ShowMessage("b", "t", MessageIcon::kQuestion, MessageButtons::kYesNo),
            MessageResult::kNo);
  EXPECT_EQ(w.ShowMessage("c", "", MessageIcon::kError, MessageButtons::kOk), MessageResult::kOk);
  ASSERT_EQ(w.messages.size(), 3u);
  EXPECT_EQ(w.messages[2].text, "c");
  EXPECT_EQ(w.messages[2].icon, MessageIcon::kError);
  EXPECT_EQ(w.messages[0].buttons, MessageButtons::kYesNo);
}

TEST(MemoryWindow, WorkersMayAddRowsTogether) {
  fakes::MemoryWindow w;
  std::vector<std::thread> workers;
  for (int t = 0; t < 4; ++t)
    workers.emplace_back([&w] {
      for (int i = 0; i < 500; ++i) w.SetCell(Ctl::超级列表框2, w.AddRow(Ctl::超级列表框2), 1, "m");
    });
  for (auto& t : workers) t.join();
  ASSERT_EQ(w.RowCount(Ctl::超级列表框2), 2000);
  for (int row = 0; row < 2000; ++row) ASSERT_EQ(w.Cell(Ctl::超级列表框2, row, 1), "m");
}

}  // namespace
}  // namespace lumora

namespace lumora {
namespace {

constexpr int kDpis[] = {96, 120, 144, 192};

// The window definition on screens of 100, 125, 150 and 200 %.
TEST(WindowLayout, TheDefinitionScalesToEveryScreen) {
  struct Case {
    Rect design;
    Rect at[4];  // at each of kDpis
  };
  const Case cases[] = {
      // 按钮开始; an edge on a half pixel rounds away from zero.
      {{172, 208, 86, 42},
       {{172, 208, 86, 42}, {215, 260, 108, 53}, {258, 312, 129, 63}, {344, 416, 172, 84}}},
      // The tab control starts left of and above the window's corner.
      {kTabRect, {kTabRect, {-1, -3, 569, 413}, {-2, -3, 683, 495}, {-2, -4, 910, 660}}},
      // The floating bar and a combo box's narrow field.
      {{0, 0, kBarWidth, kBarHeight},
       {{0, 0, 155, 23}, {0, 0, 194, 29}, {0, 0, 233, 35}, {0, 0, 310, 46}}},
      {{82, 264, 42, 20}, {{82, 264, 42, 20}, {103, 330, 52, 25}, {123, 396, 63, 30}, {164, 528, 84, 40}}},
  };
  for (const Case& c : cases)
    for (int i = 0; i < 4; ++i) {
      EXPECT_EQ(ScaleToDpi(c.design, kDpis[i]), c.at[i]) << kDpis[i];
      EXPECT_EQ(DesignUnits(c.at[i], kDpis[i]), c.design) << kDpis[i] << ": and back";
    }
  // Whatever touches or lies apart in the design does so on every screen,
  // and a control within its group box stays within it.
  for (int dpi : kDpis)
    for (const ControlDef& a : ControlDefs()) {
      const Rect sa = ScaleToDpi(a.rect, dpi);
      EXPECT_EQ(DesignUnits(sa, dpi), a.rect) << a.name << " at " << dpi;
      if (a.parent != kNoParent && Inside(a.rect, DefOf(a.parent).rect.width, DefOf(a.parent).rect.height)) {
        const Rect box = ScaleToDpi(DefOf(a.parent).rect, dpi);
        EXPECT_TRUE(Inside(sa, box.width, box.height)) << a.name << " at " << dpi;
      }
      for (const ControlDef& b : ControlDefs()) {
        if (a.id == b.id || a.page != b.page || a.parent != b.parent) continue;
        const Rect sb = ScaleToDpi(b.rect, dpi);
        EXPECT_EQ(Right(a.rect) <= b.rect.left, Right(sa) <= sb.left) << a.name << "|" << b.name;
        EXPECT_EQ(Bottom(a.rect) <= b.rect.top, Bottom(sa) <= sb.top) << a.name << "|" << b.name;
      }
    }
}

TEST(WindowLayout, TabGoesInReadingOrderOnEveryPage) {
  const std::map<Page, std::vector<Ctl>> expected = {
      {Page::k主界面,
       {Ctl::编辑框名称, Ctl::画板_问号, Ctl::编辑框密码, Ctl::选择框_显示密码, Ctl::按钮开始,
        Ctl::超级链接框_重启, Ctl::选择框关机, Ctl::组合框_关机, Ctl::按钮右下角}},
      {Page::k管理用户,
       {Ctl::单选框黑, Ctl::单选框白, Ctl::编辑框去除多个本地, Ctl::超级链接框刷新, Ctl::超级列表框1,
        Ctl::超级列表框3, Ctl::编辑框设备, Ctl::超级列表框2}},
      {Page::k设置中心,
       {Ctl::组合框1, Ctl::按钮查看连接, Ctl::选择框2, Ctl::编辑框虚拟网卡, Ctl::滑块条色调,
        Ctl::按钮色调, Ctl::选择框_启动, Ctl::选择框_自动恢复, Ctl::选择框_开机启动, Ctl::画板_叹号}},
      {Page::k流量统计, {Ctl::选择框显示流量}},
      {Page::k帮助信息, {Ctl::简单超文本框1}},
  };
  for (const auto& [page, order] : expected) EXPECT_EQ(TabOrder(page), order) << PageTitle(page);
}

TEST(WindowLayout, ScreenReadersHearCaptionsOrThePicturesNames) {
  const std::pair<Ctl, const char*> cases[] = {
      {Ctl::画板_问号, "使用帮助"}, {Ctl::画板_叹号, "注意"},      {Ctl::按钮右下角, "缩小到右下角"},
      {Ctl::超级链接框刷新, "刷新"}, {Ctl::滑块条色调, ""},        {Ctl::kCount, ""},
  };
  for (const auto& [c, name] : cases) EXPECT_STREQ(AccessibleName(c), name);
  // Every control a user can Tab to but a text field or a list has a name.
  for (const ControlDef& d : ControlDefs())
    if (TakesFocus(d.kind) && (d.kind == ControlKind::kButton || d.kind == ControlKind::kIconBoard ||
                               d.kind == ControlKind::kHyperlink || d.kind == ControlKind::kCheckBox))
      EXPECT_STRNE(AccessibleName(d.id), "") << d.name;
}

}  // namespace
}  // namespace lumora
