// The client guard: scan, name book, modes, the white list pass, the list
// actions and the rename, against fakes of every port.
#include <gtest/gtest.h>

#include <atomic>
#include <map>
#include <thread>

#include "fakes/fake_guard.h"
#include "guard/device_files.h"
#include "guard/name_book.h"
#include "ui/event_table.h"

namespace lumora {
namespace {

using fakes::GuardRig;
using fakes::Neighbour;
using Rows = std::vector<std::vector<std::string>>;
using Strings = std::vector<std::string>;
using namespace std::chrono_literals;

const std::string A = "00-1A-2B-3C-4D-5E", B = "AA-BB-CC-00-00-01", C = "AA-BB-CC-00-00-02",
                  D = "DE-AD-BE-EF-00-01", kZero = "00-00-00-00-00-00";

std::string Block(const std::string& ip) {
  return "netsh interface ipv4 set neighbors 12 \"" + ip + "\" \"00-00-00-00-00-00\" store=active";
}

TEST(GuardHostNames, Rules) {
  const std::pair<const char*, const char*> cases[] = {
      {"NAME.MSHOME.NET", "NAME"}, {"pc.mshome.net.mshome.net", "pc.mshome.net"},
      {"Android-5f2a.mshome.net", "安卓设备"}, {"Toms-iPhone", "苹果手机"}, {"", ""}};
  for (const auto& [host, name] : cases) EXPECT_EQ(DeviceNameFromHost(host), name) << host;
}

TEST(GuardScan, ListsTheHotspotsClientsAndBlocksTheBlackListed) {
  GuardRig r;
  r.neighbours.rows = {Neighbour("192.168.137.9", C),
                       Neighbour("192.168.1.1", B, 7),  // the internet side
                       Neighbour("192.168.137.3", A),
                       Neighbour("192.168.137.5", D),
                       Neighbour("192.168.137.7", B, 12, kNeighbourStatic),  // already blocked
                       Neighbour("192.168.137.255", "FF-FF-FF-FF-FF-FF")};
  r.lookups.names = {{"192.168.137.3", "Android-5f.MSHOME.NET"},
                     {"192.168.137.9", "my-iPhone.mshome.net"}};
  r.Write(kBlackListPath, "备注de-ad-be-ef-00-01+坏人\r\n");  // lower case, inside a line

  r.guard.ClientScan();
  const Rows users = {{"1", "192.168.137.3", A, "安卓设备"}, {"2", "192.168.137.9", C, "苹果手机"}};
  EXPECT_EQ(r.Rows(Ctl::超级列表框1), users);
  EXPECT_EQ(r.host.Commands(), Strings{Block("192.168.137.5")});
  EXPECT_EQ(r.Rows(Ctl::超级列表框2), (Rows{{"", "备注de-ad-be-ef-00-01", "坏人"}}));
  EXPECT_EQ(r.Read(kNameBookPath), "\r\n" + A + "+安卓设备\r\n" + C + "+苹果手机");
  // Named devices are not looked up again.
  r.guard.ClientScan();
  EXPECT_EQ(r.lookups.Calls("192.168.137.3"), 1);
  EXPECT_EQ(r.Rows(Ctl::超级列表框1), users);

  // Another program holds the black list: the black-listed device at a new
  // address is not let in as allowed, and neither view changes.
  r.files.unreadable.insert(kBlackListPath);
  r.neighbours.rows.push_back(Neighbour("192.168.137.6", D));
  const std::size_t commands = r.host.Commands().size();
  r.guard.ClientScan();
  EXPECT_EQ(r.Rows(Ctl::超级列表框1), users);
  EXPECT_EQ(r.Rows(Ctl::超级列表框2).size(), 1u);
  EXPECT_EQ(r.host.Commands().size(), commands);
}

TEST(GuardScan, OnTheMobileHotspotTheSystemsListIsTheUserList) {
  GuardRig r;
  // Addresses only where the hotspot's neighbour table has them; E is in the
  // table but not on the system's list, F's entry is on another interface.
  const std::string E = "0E-00-00-00-00-0E", F = "0F-00-00-00-00-0F";
  r.neighbours.rows = {Neighbour("192.168.137.9", C), Neighbour("192.168.137.5", D),
                       Neighbour("192.168.137.6", E), Neighbour("10.0.0.2", F, 7),
                       Neighbour("192.168.137.8", B)};
  r.hotspot.mobile_clients = std::vector<HotspotClient>{
      {"00-1a-2b-3c-4d-5e", "Android-77"},  // no address known: named by the system
      {C, ""},                              // looked up by its address
      {D, "bad-phone"},                     // black-listed: blocked, not listed
      {B, "desk"},                          // the book's name wins over the system's
      {F, ""},                              // no address on this interface, no name
      {"", "ghost"}};                       // no MAC: nothing to list or block
  r.lookups.names = {{"192.168.137.9", "my-iPhone"}};
  r.Write(kBlackListPath, D + "+坏人\r\n");
  r.Write(kNameBookPath, B + "+老王");

  r.guard.ClientScan();
  EXPECT_EQ(r.Rows(Ctl::超级列表框1), (Rows{{"1", "", "00-1a-2b-3c-4d-5e", "安卓设备"},
                                            {"2", "192.168.137.9", C, "苹果手机"},
                                            {"3", "192.168.137.8", B, "老王"},
                                            {"4", "", F, ""}}));
  EXPECT_EQ(r.host.Commands(), Strings{Block("192.168.137.5")});
  EXPECT_EQ(r.lookups.Calls("192.168.137.6"), 0);
  const std::string book = r.Read(kNameBookPath);
  EXPECT_TRUE(book.find("00-1a-2b-3c-4d-5e+安卓设备") != std::string::npos) << book;
  EXPECT_TRUE(book.find(C + "+苹果手机") != std::string::npos) << book;
  EXPECT_EQ(book.find("desk"), std::string::npos) << book;
}

TEST(GuardNameBook, FindRecordRename) {
  const std::pair<std::string, std::string> found[] = {
      {"\r\n00-1a-2b-3c-4d-5e+客厅电视", "客厅电视"}, {A + "+a+b", "a+b"},
      {A + "+first\r\n" + A + "+second", "first"}, {A + "+", ""},
      {"电视" + A + "+x", "-5E+x"}};  // 18 bytes, whatever they hold
  for (const auto& [book, name] : found) {
    GuardRig r;
    r.Write(kNameBookPath, book);
    EXPECT_EQ(FindName(r.files, A), name) << book;
  }
  GuardRig r;
  RenameDevice(r.files, A, "x");  // not in the book: nothing written
  EXPECT_EQ(r.Read(kNameBookPath), "<missing>");
  RecordName(r.files, A, "");
  RecordName(r.files, B, "乙");
  RecordName(r.files, A, "甲");
  RenameDevice(r.files, B, "乙\r\n" + C + "+x");  // stays one line
  EXPECT_EQ(r.Read(kNameBookPath), "\r\n" + A + "+甲\r\n" + B + "+乙" + C + "+x");
  // A book that exists but cannot be read is never replaced.
  r.files.unreadable.insert(kNameBookPath);
  RecordName(r.files, D, "丁");
  r.files.unreadable.clear();
  EXPECT_EQ(FindName(r.files, D), "");
}

// The scan's records and a rename on the window thread, at once.
TEST(GuardNameBook, ScanRacingARenameLosesNoLine) {
  GuardRig r;
  r.Write(kNameBookPath, "\r\n" + A + "+x");
  auto mac = [](int i) { return "02-00-00-00-00-" + std::string(1, char('A' + i / 16)) +
                                std::string(1, char('A' + i % 16)); };
  std::thread scan([&] {
    for (int i = 0; i < 256; ++i) RecordName(r.files, mac(i), "host" + std::to_string(i));
  });
  for (int i = 0; i < 256; ++i) RenameDevice(r.files, A, "n" + std::to_string(i));
  scan.join();
  for (int i = 0; i < 256; ++i) EXPECT_EQ(FindName(r.files, mac(i)), "host" + std::to_string(i));
  EXPECT_EQ(FindName(r.files, A), "n255");
}

TEST(GuardModes, RestoreAndSwitch) {
  const std::pair<const char*, bool> stored[] = {
      {nullptr, true}, {"监控", true}, {"不监控", false}, {"0", false}, {"", false}};
  for (const auto& [value, black] : stored) {
    GuardRig r;
    if (value) r.settings.Write(setting::kMonitor, value);
    r.Write(kWhiteListPath, A + "+甲\r\n");
    r.guard.ShowStoredMode();
    EXPECT_EQ(r.ui.Checked(Ctl::单选框黑), black) << (value ? value : "missing");
    EXPECT_EQ(r.ui.Visible(Ctl::超级列表框1), black);
    EXPECT_EQ(r.Rows(Ctl::超级列表框3), (Rows{{A, "甲"}}));
  }
  // The radio buttons: setting, views, neighbour table and timers (only
  // while the hotspot runs, once the table is clear).
  using S = HotspotState;
  const std::tuple<Ctl, S, int, int> switches[] = {
      {Ctl::单选框黑, S::kRunning, 6000, 0}, {Ctl::单选框白, S::kRunning, 0, 6000},
      {Ctl::单选框黑, S::kStopped, 0, 0}, {Ctl::单选框白, S::kHealing, 0, 0}};
  for (const auto& [button, state, black_ms, white_ms] : switches) {
    GuardRig r;
    EventTable events{{r.guard.Registration()}};
    r.hotspot.Become(state);
    r.ui.SetTimerInterval(Timer::时钟_黑, 1);
    r.ui.SetTimerInterval(Timer::时钟_白, 1);
    r.neighbours.rows = {Neighbour("192.168.137.5", kZero, 12, kNeighbourStatic)};
    r.Add(Ctl::超级列表框1, {"1", "192.168.137.3", A, "甲"});
    r.Add(Ctl::超级列表框3, {B, "乙"});
    r.Write(kWhiteListPath, C + "+丙\r\n");
    const bool black = button == Ctl::单选框黑;
    r.ui.SetChecked(Ctl::单选框黑, black);  // as a click on a radio button does
    r.ui.SetChecked(Ctl::单选框白, !black);
    ASSERT_TRUE(events.Dispatch(button, ControlEvent::kClick));
    ASSERT_TRUE(r.host.WaitForAllWorkers());
    EXPECT_EQ(r.settings.Read(setting::kMonitor), black ? "监控" : "不监控");
    EXPECT_EQ(r.ui.TimerInterval(Timer::时钟_黑), black_ms);
    EXPECT_EQ(r.ui.TimerInterval(Timer::时钟_白), white_ms);
    EXPECT_TRUE(r.neighbours.rows.empty());  // every block lifted
    EXPECT_EQ(r.ui.RowCount(Ctl::超级列表框1), black ? 1 : 0);
    EXPECT_EQ(r.Rows(Ctl::超级列表框3), black ? Rows{} : (Rows{{C, "丙"}}));
  }
}

TEST(GuardWhiteList, BlocksEveryClientNotOnTheList) {
  struct Case {
    const char* white;
    bool unreadable;
    Strings blocked;
  };
  const Case cases[] = {
      {"00-1a-2b-3c-4d-5e+甲\r\n", false, {Block("192.168.137.9")}},
      {"", false, {Block("192.168.137.3"), Block("192.168.137.9")}},
      // Held by another program: nobody is blocked, the view stays.
      {"00-1a-2b-3c-4d-5e+甲\r\n", true, {}}};
  for (const auto& [white, unreadable, blocked] : cases) {
    GuardRig r;
    r.Write(kWhiteListPath, white);
    r.guard.ShowStoredMode();
    if (unreadable) r.files.unreadable.insert(kWhiteListPath);
    r.neighbours.rows = {Neighbour("192.168.137.9", C), Neighbour("192.168.137.3", A),
                         Neighbour("192.168.1.1", B, 7)};
    r.guard.WhiteListEnforcement();
    EXPECT_EQ(r.host.Commands(), blocked) << white;
    EXPECT_EQ(r.ui.RowCount(Ctl::超级列表框3), *white ? 1 : 0);
  }
}

// Every menu item in turn, on one set of lists.
TEST(GuardActions, MenuItemsChangeFilesViewsAndBlocks) {
  GuardRig r;
  EventTable events{{r.guard.Registration()}};
  r.Write(kBlackListPath, D + "+坏人\r\n");
  r.Write(kWhiteListPath, B + "+乙\r\n");
  r.guard.ShowStoredMode();
  // A line the view has not caught up with yet must survive the rewrite.
  r.Write(kBlackListPath, D + "+坏人\r\n" + B + "+乙\r\n");
  // One device with two addresses, and another.
  r.Add(Ctl::超级列表框1, {"1", "192.168.137.3", A, "甲"});
  r.Add(Ctl::超级列表框1, {"2", "192.168.137.4", A, "甲"});
  r.Add(Ctl::超级列表框1, {"3", "192.168.137.9", C, "丙"});

  r.lists.selected[Ctl::超级列表框1] = {0, 1};
  for (int row : {2, -1, 1}) events.Dispatch(Ctl::超级列表框1, ControlEvent::kRightClick, row);
  EXPECT_EQ(r.ui.popups, std::vector<Popup>{Popup::加黑});  // on a selected row only
  ASSERT_TRUE(events.Choose(MenuItem::拉入黑名单));
  EXPECT_EQ(r.host.Commands(), Strings{Block("192.168.137.3")});
  EXPECT_EQ(r.Read(kBlackListPath), D + "+坏人\r\n" + B + "+乙\r\n" + A + "+甲\r\n");
  EXPECT_EQ(r.Rows(Ctl::超级列表框2),
            (Rows{{"", D, "坏人"}, {"", B, "乙"}, {"192.168.137.3", A, "甲"}}));
  EXPECT_EQ(r.Rows(Ctl::超级列表框1), (Rows{{"3", "192.168.137.9", C, "丙"}}));

  // Copied twice: one line, the newer name.
  r.lists.selected[Ctl::超级列表框1] = {0};
  events.Choose(MenuItem::复制到白名单);
  r.ui.SetCell(Ctl::超级列表框1, 0, 3, "丙2");
  events.Choose(MenuItem::复制到白名单);
  EXPECT_EQ(r.Read(kWhiteListPath), B + "+乙\r\n" + C + "+丙2\r\n");
  ASSERT_EQ(r.ui.messages.size(), 2u);
  EXPECT_EQ(r.ui.messages[1].text, "成功复制到白名单列表，\r\n在[白名单模式]将不拦截此用户。");
  EXPECT_EQ(r.ui.messages[1].title, "信息：");
  EXPECT_EQ(r.ui.messages[1].icon, MessageIcon::kInformation);

  // Out of the black list: every block on the hotspot's interface ends.
  r.neighbours.rows = {Neighbour("192.168.137.5", kZero, 12, kNeighbourStatic),
                       Neighbour("192.168.137.6", kZero, 12, kNeighbourStatic),
                       Neighbour("192.168.1.9", kZero, 7, kNeighbourStatic),
                       Neighbour("192.168.137.9", C)};
  r.lists.selected[Ctl::超级列表框2] = {0, 2};  // each selected device leaves the file
  events.Choose(MenuItem::取消黑名单);
  EXPECT_EQ(r.Read(kBlackListPath), B + "+乙\r\n");
  EXPECT_EQ(r.Rows(Ctl::超级列表框2), (Rows{{"", B, "乙"}}));
  EXPECT_EQ(r.neighbours.deleted, (Strings{"192.168.137.5", "192.168.137.6"}));

  // Out of the white list; the next record still starts on its own line.
  r.guard.SwitchToWhiteMode();
  r.lists.selected[Ctl::超级列表框3] = {1};
  events.Choose(MenuItem::移出白名单);
  EXPECT_EQ(r.Rows(Ctl::超级列表框3), (Rows{{B, "乙"}}));
  r.Add(Ctl::超级列表框1, {"1", "192.168.137.3", A, "甲"});
  events.Choose(MenuItem::复制到白名单);
  EXPECT_EQ(r.Read(kWhiteListPath), B + "+乙\r\n" + A + "+甲\r\n");

  // The refresh link empties the user list and the neighbour table.
  events.Dispatch(Ctl::超级链接框刷新, ControlEvent::kClick);
  EXPECT_EQ(r.ui.RowCount(Ctl::超级列表框1), 0);
  EXPECT_TRUE(r.neighbours.rows.empty());
}

// A file that cannot be rewritten (a full disk, another program holding it,
// unreadable) takes no change: the user is told, the file and the views stay
// as they were, and a device that did not reach the black list is not blocked.
TEST(GuardActions, AChangeAFileDoesNotTakeIsReportedAndNotShown) {
  struct Case {
    const char* path;
    MenuItem item;  // or the rename when the list is the user list
    Ctl list;
    bool unreadable;
  };
  const Case cases[] = {
      {kBlackListPath, MenuItem::拉入黑名单, Ctl::超级列表框1, false},
      {kBlackListPath, MenuItem::拉入黑名单, Ctl::超级列表框1, true},
      {kWhiteListPath, MenuItem::复制到白名单, Ctl::超级列表框1, false},
      {kBlackListPath, MenuItem::取消黑名单, Ctl::超级列表框2, false},
      {kWhiteListPath, MenuItem::移出白名单, Ctl::超级列表框3, true},
      {kNameBookPath, MenuItem::拉入黑名单, Ctl::超级列表框1, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.path) + (c.unreadable ? " unreadable" : " unwritable"));
    GuardRig r;
    EventTable events{{r.guard.Registration()}};
    r.Write(kBlackListPath, D + "+坏人\r\n");
    r.Write(kWhiteListPath, B + "+乙\r\n");
    r.Write(kNameBookPath, "\r\n" + A + "+甲");
    r.guard.ShowStoredMode();
    r.Add(Ctl::超级列表框1, {"1", "192.168.137.3", A, "甲"});
    const auto files = r.files.files;
    std::map<Ctl, Rows> views;
    for (Ctl list : {Ctl::超级列表框1, Ctl::超级列表框2, Ctl::超级列表框3}) views[list] = r.Rows(list);
    (c.unreadable ? r.files.unreadable : r.files.unwritable).insert(c.path);

    r.lists.selected[c.list] = {0};
    if (c.path == std::string(kNameBookPath)) {
      events.Dispatch(Ctl::超级列表框1, ControlEvent::kDoubleClick, 0);
      r.ui.SetText(Ctl::编辑框设备, "卧室平板");
      events.Dispatch(Ctl::编辑框设备, ControlEvent::kKey, 13);
    } else {
      ASSERT_TRUE(events.Choose(c.item));
    }
    ASSERT_EQ(r.ui.messages.size(), 1u);
    EXPECT_EQ(r.ui.messages[0].text, std::string("无法保存到 ") + c.path +
                                         "：磁盘可能已满，或文件正被其他程序使用。本次修改没有保存。");
    EXPECT_EQ(r.ui.messages[0].icon, MessageIcon::kWarning);
    EXPECT_EQ(r.files.files, files);
    for (const auto& [list, rows] : views) EXPECT_EQ(r.Rows(list), rows);
    EXPECT_TRUE(r.host.Commands().empty());
    EXPECT_FALSE(r.ui.Visible(Ctl::编辑框设备));
  }
}

TEST(GuardRename, ReachesTheDoubleClickedDeviceAfterARescan) {
  GuardRig r;
  EventTable events{{r.guard.Registration()}};
  r.Write(kNameBookPath, "\r\n" + A + "+甲\r\n" + C + "+丙");
  r.Add(Ctl::超级列表框1, {"1", "192.168.137.3", A, "甲"});
  r.Add(Ctl::超级列表框1, {"2", "192.168.137.9", C, "丙"});
  events.Dispatch(Ctl::超级列表框1, ControlEvent::kDoubleClick, -1);
  EXPECT_FALSE(r.ui.Visible(Ctl::编辑框设备));

  events.Dispatch(Ctl::超级列表框1, ControlEvent::kDoubleClick, 1);
  EXPECT_EQ(r.ui.Text(Ctl::编辑框设备), "丙");
  // Row 1 at y 31 of a list at (0, 26); left of the fourth column, plus 12.
  EXPECT_EQ(r.ui.Bounds(Ctl::编辑框设备), (Rect{12 + 20 + 108 + 120, 26 + 31 + 42, 130, 13}));
  EXPECT_EQ(r.lists.focused, std::vector<Ctl>{Ctl::编辑框设备});

  // A scan rebuilds the rows in another order meanwhile.
  r.ui.ClearRows(Ctl::超级列表框1);
  r.Add(Ctl::超级列表框1, {"1", "192.168.137.2", C, "丙"});
  r.Add(Ctl::超级列表框1, {"2", "192.168.137.3", A, "甲"});
  r.ui.SetText(Ctl::编辑框设备, "卧室平板");
  events.Dispatch(Ctl::编辑框设备, ControlEvent::kKey, 27);  // not Enter
  EXPECT_TRUE(r.ui.Visible(Ctl::编辑框设备));
  events.Dispatch(Ctl::编辑框设备, ControlEvent::kKey, 13);
  const int writes = r.files.writes;
  events.Dispatch(Ctl::编辑框设备, ControlEvent::kFocusLost);  // commits again: no change
  EXPECT_EQ(r.files.writes, writes);
  EXPECT_FALSE(r.ui.Visible(Ctl::编辑框设备));
  EXPECT_EQ(r.Rows(Ctl::超级列表框1),
            (Rows{{"1", "192.168.137.2", C, "卧室平板"}, {"2", "192.168.137.3", A, "甲"}}));
  EXPECT_EQ(r.Read(kNameBookPath), "\r\n" + A + "+甲\r\n" + C + "+卧室平板");

  // An empty name, from column 0 (no 12 added).
  r.lists.hit_column = 0;
  events.Dispatch(Ctl::超级列表框1, ControlEvent::kDoubleClick, 1);
  EXPECT_EQ(r.ui.Bounds(Ctl::编辑框设备).left, 20 + 108 + 120);
  r.ui.SetText(Ctl::编辑框设备, "");
  events.Dispatch(Ctl::编辑框设备, ControlEvent::kFocusLost);
  EXPECT_EQ(r.Read(kNameBookPath), "\r\n" + A + "+\r\n" + C + "+卧室平板");
}

// A tick finds the previous pass waiting for a lookup: that pass stops
// without writing, and the new one waits for the same lookup.
// A tick while the previous pass still runs asks it to stop and starts
// nothing beside it; the window thread never waits for a pass.
TEST(GuardWorkers, ATickNeverStartsASecondPass) {
  GuardRig r;
  EventTable events{{r.guard.Registration()}};
  Strings trace;
  r.host.trace = [&](std::string_view s) {
    if (s.substr(0, 3) != "Run") trace.emplace_back(s);  // the window thread only
  };
  r.neighbours.rows = {Neighbour("192.168.137.3", A)};
  r.lookups.hanging = {"192.168.137.3"};
  events.Tick(Timer::时钟_黑);
  while (r.lookups.Calls("192.168.137.3") == 0) std::this_thread::sleep_for(1ms);
  events.Tick(Timer::时钟_黑);
  ASSERT_TRUE(r.host.WaitForAllWorkers());
  EXPECT_EQ(trace, (Strings{"StartWorkerThread"}));
  events.Tick(Timer::时钟_黑);
  ASSERT_TRUE(r.host.WaitForAllWorkers());
  EXPECT_EQ(trace, (Strings{"StartWorkerThread", "StartWorkerThread"}));
  EXPECT_EQ(r.lookups.Calls("192.168.137.3"), 1);
  EXPECT_EQ(r.Read(kNameBookPath), "\r\n" + A + "+");
  EXPECT_EQ(r.Rows(Ctl::超级列表框1), (Rows{{"1", "192.168.137.3", A, ""}}));
}

// A white list pass still blocking when black list mode begins ends before
// the table is cleared, so no block of it outlives the switch.
TEST(GuardWorkers, ASwitchEndsTheWhiteListPassFirst) {
  GuardRig r;
  EventTable events{{r.guard.Registration()}};
  std::atomic<bool> blocking{false};
  r.host.trace = [&](std::string_view s) {
    if (s.substr(0, 3) != "Run") return;
    blocking = true;
    while (!StopRequested()) std::this_thread::sleep_for(1ms);
  };
  r.neighbours.rows = {Neighbour("192.168.137.3", A), Neighbour("192.168.137.4", B)};
  events.Tick(Timer::时钟_白);
  while (!blocking) std::this_thread::sleep_for(1ms);
  events.Dispatch(Ctl::单选框黑, ControlEvent::kClick);
  EXPECT_TRUE(r.host.WaitForAllWorkers());
  EXPECT_EQ(r.host.Commands(), Strings{Block("192.168.137.3")});
  EXPECT_EQ(r.neighbours.deleted.size(), 2u);
}

TEST(GuardWorkers, HangingLookupsDoNotHoldUpTheList) {
  GuardRig r;
  for (int i = 10; i < 20; ++i) {
    const std::string ip = "192.168.137." + std::to_string(i);
    r.neighbours.rows.push_back(Neighbour(ip, "02-00-00-00-00-" + std::to_string(i)));
    r.lookups.hanging.insert(ip);
  }
  r.neighbours.rows.push_back(Neighbour("192.168.137.30", A));
  r.lookups.names = {{"192.168.137.30", "desk"}};
  const auto begin = std::chrono::steady_clock::now();
  EventTable{{r.guard.Registration()}}.Tick(Timer::时钟_黑);
  // Meanwhile the user takes a row away: the name still reaches its device.
  while (r.ui.Cell(Ctl::超级列表框1, 10, 2) != A) std::this_thread::sleep_for(1ms);
  r.ui.DeleteRow(Ctl::超级列表框1, 0);
  ASSERT_TRUE(r.host.WaitForAllWorkers());
  EXPECT_LT(std::chrono::steady_clock::now() - begin, 2s);
  const Rows rows = r.Rows(Ctl::超级列表框1);
  ASSERT_EQ(rows.size(), 10u);
  EXPECT_EQ(rows[0][3], "");
  EXPECT_EQ(rows[9][3], "desk");
  // The next pass does not ask the hanging ones again.
  r.guard.ClientScan();
  EXPECT_EQ(r.lookups.Calls("192.168.137.10"), 1);
  EXPECT_EQ(r.guard.HostNames().Running(), 10);
}

// The hotspot's stop empties the user list and ends the passes. A pass
// whose rows were already on their way to the window when the stop came
// never fills the list again; one still running ends where it is.
TEST(GuardWorkers, TheHotspotsStopEndsTheRunningPass) {
  for (bool rows_on_their_way : {true, false}) {
    SCOPED_TRACE(rows_on_their_way);
    GuardRig r;
    EventTable events{{r.guard.Registration()}};
    r.hotspot.Become(HotspotState::kRunning);
    std::atomic<bool> stopping{false};
    r.host.trace = [&](std::string_view s) {
      if (!rows_on_their_way && s.substr(0, 3) == "Run")
        while (!stopping) std::this_thread::sleep_for(1ms);
    };
    r.Write(kBlackListPath, D + "+坏人\r\n");
    r.neighbours.rows = {Neighbour("192.168.137.2", D), Neighbour("192.168.137.3", A)};
    r.ui.HoldPosts(rows_on_their_way);
    events.Tick(Timer::时钟_黑);
    if (rows_on_their_way) ASSERT_TRUE(r.host.WaitForAllWorkers());
    r.hotspot.Become(HotspotState::kStopping);
    stopping = true;
    ASSERT_TRUE(r.host.WaitForAllWorkers());
    r.ui.RunPosts();
    EXPECT_EQ(r.ui.RowCount(Ctl::超级列表框1), 0);
    EXPECT_EQ(r.ui.TimerInterval(Timer::时钟_黑), 0);
  }
}

}  // namespace
}  // namespace lumora
