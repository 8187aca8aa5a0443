// The real main window's hand-over of workers' calls: served while the
// window lives, dropped once it is gone, and no boxes once closing began.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <string>
#include <vector>

#include "win32/message_pump.h"
#include "extras/theme.h"
#include "app_driver.h"
#include "screenshot.h"
#include "ui/window_layout.h"
#include "win32/app_messages.h"
#include "win32/window/dpi.h"
#include "win32/utf16.h"
#include "win32/window/html_view.h"
#include "win32/window/main_window.h"

namespace lumora {
namespace {

DWORD WINAPI RunWork(void* work) {
  (*static_cast<const std::function<void()>*>(work))();
  return 0;
}

// Runs `work` on a worker thread while this (the window's) thread serves
// messages, as the program's waits do. False when it did not end in time.
bool OnWorker(const std::function<void()>& work) {
  HANDLE thread = CreateThread(nullptr, 0, RunWork, const_cast<std::function<void()>*>(&work), 0,
                               nullptr);
  const bool ended = WaitServingMessages(1, &thread, 5000) == 0;
  CloseHandle(thread);
  return ended;
}

// The window's end posts the quit of the message loop: taken back, so the
// thread's later tests still see their messages served.
void Destroy(Win32Window& window) {
  DestroyWindow(window.Main());
  MSG quit;
  while (PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
  }
}

TEST(MainWindow, WorkersReachTheWindowOnlyWhileItLives) {
  Win32Window window(GetModuleHandleW(nullptr));
  ASSERT_TRUE(window.Create());
  std::string read;
  ASSERT_TRUE(OnWorker([&] {
    window.SetText(Ctl::编辑框名称, "家里的WiFi");
    read = window.Text(Ctl::编辑框名称);
  }));
  EXPECT_EQ(read, "家里的WiFi");

  Destroy(window);
  EXPECT_EQ(window.Main(), nullptr);
  MessageResult answer = MessageResult::kYes;
  int rows = -1;
  ASSERT_TRUE(OnWorker([&] {
    window.SetText(Ctl::编辑框名称, "changed");
    read = window.Text(Ctl::编辑框名称);
    rows = window.RowCount(Ctl::超级列表框1);
    answer = window.ShowMessage("不应出现", "提示", MessageIcon::kNone, MessageButtons::kYesNo);
  })) << "a call to a destroyed window must not block";
  EXPECT_EQ(read, "") << "reads of a window that is gone are empty";
  EXPECT_EQ(rows, 0);
  EXPECT_EQ(answer, MessageResult::kNo);
}

// A read queued behind a box (both before the window thread took either)
// is served while the box is open: the box's own loop takes the rest.
TEST(MainWindow, AReadQueuedBehindABoxIsServedWhileTheBoxIsOpen) {
  Win32Window window(GetModuleHandleW(nullptr));
  ASSERT_TRUE(window.Create());
  window.SetText(Ctl::编辑框名称, "家里的WiFi");
  const auto box = [] { return FindWindowW(L"#32770", L"排队"); };
  std::string read;
  HWND box_at_read = nullptr;
  HANDLE threads[3] = {};
  const std::function<void()> work[3] = {
      [&] { window.ShowMessage("问", "排队", MessageIcon::kNone, MessageButtons::kYesNo); },
      [&] { read = window.Text(Ctl::编辑框名称), box_at_read = box(); },
      [&] { WaitForSingleObject(threads[1], 3000), PostMessageW(box(), WM_COMMAND, IDNO, 0); }};
  const auto start = [&](int i) {
    threads[i] = CreateThread(nullptr, 0, RunWork, const_cast<std::function<void()>*>(&work[i]), 0,
                              nullptr);
  };
  start(0);
  MSG wake;  // the box's call is queued (its wake-up waits) before the read
  for (int i = 0; i < 500 && !PeekMessageW(&wake, window.Main(), kMsgRunOnUi, kMsgRunOnUi,
                                           PM_NOREMOVE); ++i)
    Sleep(10);
  start(1);
  Sleep(300);
  start(2);  // answers the box once the read ended, or after 3 s all the same
  EXPECT_EQ(WaitServingMessages(1, &threads[0], 10000), 0);
  WaitForMultipleObjects(2, &threads[1], TRUE, 5000);
  EXPECT_EQ(read, "家里的WiFi");
  EXPECT_NE(box_at_read, nullptr) << "the read waited for the box to close";
  for (HANDLE h : threads) CloseHandle(h);
  Destroy(window);
}

TEST(MainWindow, NoBoxOrBalloonOpensOnceClosingBegan) {
  Win32Window window(GetModuleHandleW(nullptr));
  ASSERT_TRUE(window.Create());
  window.BeginClosing();
  MessageResult yes_no = MessageResult::kYes, ok = MessageResult::kYes;
  ASSERT_TRUE(OnWorker([&] {
    yes_no = window.ShowMessage("不应出现", "提示", MessageIcon::kError, MessageButtons::kYesNo);
    ok = window.ShowMessage("不应出现", "提示", MessageIcon::kError, MessageButtons::kOk);
    window.ShowBalloon("不应出现", 200, 90);
  })) << "a box opened while closing";
  EXPECT_EQ(yes_no, MessageResult::kNo);
  EXPECT_EQ(ok, MessageResult::kOk);
  EXPECT_EQ(FindWindowW(L"#32770", L"提示"), nullptr);
  Destroy(window);
}

}  // namespace
}  // namespace lumora

namespace lumora {
namespace {

// A list that is handed its rows again keeps what did not change: the
// rows' texts always match, a selection stays only on a row that still
// shows the same device, and nothing is left of rows that went away.
TEST(MainWindow, ListRowsHandedOverAgainKeepOnlyUnchangedSelections) {
  Win32Window window(GetModuleHandleW(nullptr));
  ASSERT_TRUE(window.Create());
  constexpr Ctl kList = Ctl::超级列表框1;
  const HWND view = window.Handle(kList);
  using Rows = std::vector<std::vector<std::string>>;
  auto row = [](int n, const std::string& mac, const std::string& name) {
    return std::vector<std::string>{std::to_string(n), "192.168.137." + std::to_string(n + 1), mac, name};
  };
  struct Step {
    Rows rows;
    std::vector<int> select_before;  // rows the user selects first
    std::vector<int> selected_after;
  };
  const Step steps[] = {
      {{row(1, "AA", ""), row(2, "BB", "苹果手机"), row(3, "CC", "")}, {}, {}},
      // The same devices: both selections stay.
      {{row(1, "AA", ""), row(2, "BB", "苹果手机"), row(3, "CC", "")}, {0, 2}, {0, 2}},
      // A name arrives for the first row; the third row now shows another device.
      {{row(1, "AA", "安卓设备"), row(2, "BB", "苹果手机"), row(3, "DD", "")}, {0, 1, 2}, {1}},
      // Fewer rows, then more, then none.
      {{row(1, "AA", "安卓设备")}, {0}, {0}},
      {{row(1, "AA", "安卓设备"), row(2, "EE", "一个很长的名字，长过原来的名字")}, {}, {0}},
      {{}, {}, {}},
  };
  for (const Step& step : steps) {
    for (int r : step.select_before) ListView_SetItemState(view, r, LVIS_SELECTED, LVIS_SELECTED);
    window.SetRows(kList, step.rows);
    ASSERT_EQ(window.RowCount(kList), int(step.rows.size()));
    std::vector<int> selected;
    for (int r = 0; r < int(step.rows.size()); ++r) {
      for (int column = 0; column < 4; ++column)
        EXPECT_EQ(window.Cell(kList, r, column), step.rows[r][column]) << r << "," << column;
      if (ListView_GetItemState(view, r, LVIS_SELECTED)) selected.push_back(r);
    }
    EXPECT_EQ(selected, step.selected_after);
  }
  Destroy(window);
}

// The pages not shown first, and the hidden controls of the first, are made
// once the window has shown: what the port gave them before is read back as
// given, and is what the controls show once made.
TEST(MainWindow, ControlsMadeAfterTheWindowShowsGetWhatTheyWereGiven) {
  Win32Window window(GetModuleHandleW(nullptr));
  ASSERT_TRUE(window.Create());
  const HWND main = window.Main();
  auto sent = [](UINT msg) { return [=](HWND h) { return std::to_string(SendMessageW(h, msg, 0, 0)); }; };
  auto cells = [](const std::vector<std::vector<std::string>>& rows) {
    std::string all;
    for (const auto& row : rows) all += row[1] + "|" + row[2] + ";";
    return all;
  };
  struct Case {
    Ctl c;
    std::function<void()> give;
    std::function<std::string()> port;      // what the port reads back, if it can
    std::function<std::string(HWND)> made;  // what the made control shows
    std::string expected, expected_made;    // the same unless given
  };
  const Case cases[] = {
      {Ctl::编辑框虚拟网卡, [&] { window.SetText(Ctl::编辑框虚拟网卡, "无线网络连接 2"); },
       [&] { return window.Text(Ctl::编辑框虚拟网卡); }, e2e::WindowText, "无线网络连接 2"},
      {Ctl::选择框_启动, [&] { window.SetChecked(Ctl::选择框_启动, true); },
       [&] { return std::to_string(window.Checked(Ctl::选择框_启动)); }, sent(BM_GETCHECK), "1"},
      {Ctl::滑块条色调, [&] { window.SetSliderPosition(Ctl::滑块条色调, 900); },
       [&] { return std::to_string(window.SliderPosition(Ctl::滑块条色调)); }, sent(TBM_GETPOS),
       std::to_string(kSliderMax)},
      {Ctl::组合框1,
       [&] {
         window.AddItem(Ctl::组合框1, "本地连接");
         window.AddItem(Ctl::组合框1, "宽带连接");
         window.SelectIndex(Ctl::组合框1, 1);
         EXPECT_EQ(window.Text(Ctl::组合框1), "宽带连接") << "a selection gives its text";
         window.SetText(Ctl::组合框1, "以太网 2");  // a detected connection, not listed
       },
       [&] { return window.Items(Ctl::组合框1).back() + "," + window.Text(Ctl::组合框1); },
       [&](HWND h) { return sent(CB_GETCOUNT)(h) + "," + e2e::WindowText(h); }, "宽带连接,以太网 2",
       "2,以太网 2"},
      {Ctl::超级列表框2,
       [&] {
         window.SetRows(Ctl::超级列表框2, {{"", "AA", "甲"}, {"", "BB", "乙"}, {"", "CC", "丙"}});
         window.SetCell(Ctl::超级列表框2, 1, 2, "乙的手机");
         window.DeleteRow(Ctl::超级列表框2, 0);
       },
       [&] {
         std::vector<std::vector<std::string>> rows(std::size_t(window.RowCount(Ctl::超级列表框2)));
         for (std::size_t r = 0; r < rows.size(); ++r)
           for (int column = 0; column < 3; ++column) rows[r].push_back(window.Cell(Ctl::超级列表框2, int(r), column));
         return cells(rows);
       },
       [&](HWND h) { return cells(e2e::ListViewRows(h, 3)); }, "BB|乙的手机;CC|丙;"},
      {Ctl::标签关机,
       [&] {
         window.SetText(Ctl::标签关机, "01时00分00秒后关机");
         window.SetVisible(Ctl::标签关机, true);
         EXPECT_NE(e2e::FindControl(main, Ctl::标签关机), nullptr) << "shown on the page shown: made at once";
       },
       [&] { return window.Text(Ctl::标签关机); }, e2e::WindowText, "01时00分00秒后关机"},
      {Ctl::按钮色调, [&] { window.SetEnabled(Ctl::按钮色调, false); }, nullptr,
       [](HWND h) { return std::to_string(IsWindowEnabled(h)); }, "0"},
      {Ctl::透明标签_白说明, [&] { window.SetVisible(Ctl::透明标签_白说明, false); }, nullptr,
       [](HWND h) { return std::to_string((GetWindowLongPtrW(h, GWL_STYLE) & WS_VISIBLE) != 0); }, "0"},
      {Ctl::画板_叹号, [&] { window.SetTip(Ctl::画板_叹号, "软件公告"); }, nullptr,
       [&](HWND h) {  // the tip its page's tooltip window holds for it
         wchar_t text[80] = {};
         TTTOOLINFOW tool{sizeof(tool), 0, GetParent(h), reinterpret_cast<UINT_PTR>(h)};
         tool.lpszText = text;
         for (HWND tips = FindWindowExW(nullptr, nullptr, TOOLTIPS_CLASSW, nullptr); tips;
              tips = FindWindowExW(nullptr, tips, TOOLTIPS_CLASSW, nullptr))
           if (GetWindow(tips, GW_OWNER) == main) SendMessageW(tips, TTM_GETTEXTW, 80, LPARAM(&tool));
         return Narrow(text);
       },
       "软件公告"},
  };
  for (const Case& c : cases) {
    ASSERT_EQ(e2e::FindControl(main, c.c), nullptr) << DefOf(c.c).name << " was made with the window";
    c.give();
    if (c.port) EXPECT_EQ(c.port(), c.expected) << DefOf(c.c).name;
  }

  window.MakeRestWhenIdle();
  MSG next;
  for (int i = 0; i < 300 && PeekMessageW(&next, main, kMsgMakeControls, kMsgMakeControls, PM_NOREMOVE); ++i)
    WaitServingMessages(0, nullptr, 10);
  for (const Case& c : cases) {
    const HWND made = e2e::FindControl(main, c.c);
    ASSERT_NE(made, nullptr) << DefOf(c.c).name << " was never made";
    EXPECT_EQ(c.made(made), c.expected_made.empty() ? c.expected : c.expected_made) << DefOf(c.c).name;
    if (c.port) EXPECT_EQ(c.port(), c.expected) << DefOf(c.c).name << " read back";
  }
  Destroy(window);
}

RECT InParent(HWND hwnd) {
  RECT r;
  GetWindowRect(hwnd, &r);
  MapWindowPoints(HWND_DESKTOP, GetParent(hwnd), reinterpret_cast<POINT*>(&r), 2);
  return r;
}

int FontHeight(HWND hwnd) {
  LOGFONTW font{};
  GetObjectW(reinterpret_cast<HFONT>(SendMessageW(hwnd, WM_GETFONT, 0, 0)), sizeof(font), &font);
  return font.lfHeight;
}

// Wine shows every monitor at one DPI: the move to a monitor of another DPI
// is played by the message Windows sends then.
void MoveToDpi(Win32Window& window, int dpi) {
  RECT r;
  GetWindowRect(window.Main(), &r);
  RECT suggested{r.left, r.top, r.left + ScaleToDpi(kMainWidth, dpi), r.top + ScaleToDpi(kMainHeight, dpi)};
  SendMessageW(window.Main(), WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
}

TEST(MainWindow, AMoveToAnotherDpiScalesEveryControlAndBack) {
  Win32Window window(GetModuleHandleW(nullptr));
  ASSERT_TRUE(window.Create());
  const int start = window.Dpi();
  const RECT button = InParent(window.Handle(Ctl::按钮开始));
  const RECT link = InParent(window.Handle(Ctl::超级链接框刷新));
  const HWND list = window.Handle(Ctl::超级列表框1);
  const int column = ListView_GetColumnWidth(list, 3);
  for (int dpi : {120, 144, 192, start}) {
    MoveToDpi(window, dpi);
    EXPECT_EQ(window.Dpi(), dpi);
    RECT main;
    GetWindowRect(window.Main(), &main);
    EXPECT_EQ(main.right - main.left, ScaleToDpi(kMainWidth, dpi)) << dpi;
    const RECT b = InParent(window.Handle(Ctl::按钮开始));
    EXPECT_EQ(b.right - b.left, ScaleToDpi(DefOf(Ctl::按钮开始).rect, dpi).width) << dpi;
    EXPECT_EQ(b.bottom - b.top, ScaleToDpi(DefOf(Ctl::按钮开始).rect, dpi).height) << dpi;
    EXPECT_EQ(FontHeight(window.Handle(Ctl::按钮开始)), -ScaleToDpi(FontOf(Font::kDefault).height, dpi));
    EXPECT_EQ(FontHeight(window.Handle(Ctl::标签本次总金额)), -ScaleToDpi(FontOf(Font::kYaHeiBold).height, dpi));
    EXPECT_NEAR(ListView_GetColumnWidth(list, 3), MulDiv(column, dpi, start), 1) << dpi;
    // What the core reads back stays in design units.
    EXPECT_EQ(window.Bounds(Ctl::按钮开始), DefOf(Ctl::按钮开始).rect) << dpi;
  }
  EXPECT_EQ(InParent(window.Handle(Ctl::按钮开始)).left, button.left) << "back where it was";
  EXPECT_EQ(InParent(window.Handle(Ctl::超级链接框刷新)).bottom, link.bottom);
  Destroy(window);
}

// Shows page `index` as a click on its header does.
void ClickPage(Win32Window& window, int index) {
  const HWND tab = window.Handle(Ctl::选择夹1);
  TabCtrl_SetCurSel(tab, index);
  NMHDR changed{tab, UINT_PTR(GetDlgCtrlID(tab)), UINT(TCN_SELCHANGE)};
  SendMessageW(window.Main(), WM_NOTIFY, changed.idFrom, reinterpret_cast<LPARAM>(&changed));
}

// A document given to a view out of sight is laid out before its page shows
// (the scroll bar of a long text is there at once), and at once in sight.
TEST(MainWindow, AnHtmlViewIsLaidOutWhenItComesIntoSight) {
  Win32Window window(GetModuleHandleW(nullptr));
  ASSERT_TRUE(window.Create());
  ShowWindow(window.Main(), SW_SHOWNOACTIVATE);
  Win32HtmlView html(window);
  std::string long_text;
  for (int i = 0; i < 40; ++i) long_text += "<p>第" + std::to_string(i) + "段：请重启WiFi。</p>";
  html.ShowHtml(Ctl::简单超文本框1, ParseHtml(long_text));
  WaitServingMessages(0, nullptr, 50);
  const HWND view = window.Handle(Ctl::简单超文本框1);
  const auto scrolls = [&] { return (GetWindowLongW(view, GWL_STYLE) & WS_VSCROLL) != 0; };
  EXPECT_GT(GetWindowTextLengthW(view), 400) << "its text is read while out of sight";
  EXPECT_FALSE(scrolls()) << "laid out out of sight";
  ClickPage(window, 4);
  EXPECT_TRUE(scrolls()) << "the page showed before its view was laid out";
  html.ShowHtml(Ctl::简单超文本框1, ParseHtml("<p>常见问题</p>"));
  WaitServingMessages(0, nullptr, 50);
  EXPECT_FALSE(scrolls()) << "a text changed in sight waits to be laid out";
  Destroy(window);
}

// The in-place editor lies on the row it edits: that row's height, no frame.
TEST(MainWindow, TheRenameEditorCoversItsRow) {
  Win32Window window(GetModuleHandleW(nullptr));
  ASSERT_TRUE(window.Create());
  ShowWindow(window.Main(), SW_SHOWNOACTIVATE);
  ClickPage(window, 1);
  window.SetRows(Ctl::超级列表框1, {{"1", "192.168.137.2", "AA", "甲"}, {"2", "192.168.137.3", "BB", "乙"}});
  ShowWindow(window.Handle(Ctl::编辑框设备), SW_HIDE);
  for (int dpi : {window.Dpi(), 144}) {
    MoveToDpi(window, dpi);
    const HWND list = window.Handle(Ctl::超级列表框1), editor = window.Handle(Ctl::编辑框设备);
    RECT row, in_tab;
    ListView_GetItemRect(list, 1, &row, LVIR_BOUNDS);
    in_tab = row;
    MapWindowPoints(list, GetParent(editor), reinterpret_cast<POINT*>(&row), 2);
    MapWindowPoints(list, window.Handle(Ctl::选择夹1), reinterpret_cast<POINT*>(&in_tab), 2);
    // Placed as the rename places it: design units from the tab's corner,
    // a little below the row's top.
    Rect box = window.Bounds(Ctl::编辑框设备);
    box.top = DesignUnits(int(in_tab.top), dpi) + 1;
    window.SetVisible(Ctl::编辑框设备, true);
    window.SetBounds(Ctl::编辑框设备, box);
    const RECT e = InParent(editor);
    EXPECT_EQ(e.top, row.top) << dpi;
    EXPECT_EQ(e.bottom, row.bottom) << dpi;
    EXPECT_FALSE(GetWindowLongPtrW(editor, GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
    window.SetText(Ctl::编辑框设备, "乙的手机");
    SetFocus(editor);
    WaitServingMessages(0, nullptr, 200);
    e2e::Shot("rename-editor-" + std::to_string(dpi));
    window.SetVisible(Ctl::编辑框设备, false);
  }
  Destroy(window);
}

// The keyboard alone: Tab in reading order, Ctrl+Tab to the next page,
// Enter on a button, the context-menu key on a list's selected row.
TEST(MainWindow, EverythingIsReachedFromTheKeyboard) {
  Win32Window window(GetModuleHandleW(nullptr));
  ASSERT_TRUE(window.Create());
  ShowWindow(window.Main(), SW_SHOW);
  SetForegroundWindow(window.Main());
  std::vector<std::pair<Ctl, ControlEvent>> events;
  window.on_event = [&](Ctl c, ControlEvent e, int) { events.push_back({c, e}); };
  auto key = [](UINT vk, bool ctrl = false) {
    BYTE state[256] = {};
    GetKeyboardState(state);
    state[VK_CONTROL] = ctrl ? 0x80 : 0;
    SetKeyboardState(state);
    SendMessageW(GetFocus(), WM_KEYDOWN, vk, 1);
    state[VK_CONTROL] = 0;
    SetKeyboardState(state);
  };
  SetFocus(window.Handle(Ctl::编辑框名称));
  const Ctl page0[] = {Ctl::画板_问号, Ctl::编辑框密码, Ctl::选择框_显示密码};
  for (Ctl next : page0) {
    key(VK_TAB);
    EXPECT_EQ(GetFocus(), window.Handle(next)) << DefOf(next).name;
  }
  EnableWindow(window.Handle(Ctl::按钮开始), TRUE);
  key(VK_TAB);
  ASSERT_EQ(GetFocus(), window.Handle(Ctl::按钮开始));
  key(VK_RETURN);
  EXPECT_EQ(events.back(), std::make_pair(Ctl::按钮开始, ControlEvent::kClick));

  key(VK_TAB, true);
  EXPECT_EQ(TabCtrl_GetCurSel(window.Handle(Ctl::选择夹1)), 1);
  EXPECT_EQ(events.back(), std::make_pair(Ctl::选择夹1, ControlEvent::kSelectionChange));
  const HWND list = window.Handle(Ctl::超级列表框2);
  window.SetRows(Ctl::超级列表框2, {{"", "AA-BB-CC-DD-EE-FF", "甲"}});
  ListView_SetItemState(list, 0, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
  SetFocus(list);
  SendMessageW(list, WM_CONTEXTMENU, WPARAM(list), -1);
  EXPECT_EQ(events.back(), std::make_pair(Ctl::超级列表框2, ControlEvent::kRightClick));
  // The tray menu's item for the floating bar opens the bar's own popup.
  window.BarWindow().Create();
  SendMessageW(window.Main(), WM_COMMAND, MenuId(MenuItem::流量条菜单), 0);
  EXPECT_EQ(events.back(), std::make_pair(Ctl::流量条_透明标签1, ControlEvent::kRightClick));
  DestroyWindow(window.Bar());
  Destroy(window);
}


// In high contrast the hue steps aside: the pages, the buttons and the bar
// take the system's colours. Wine always says high contrast is off (and
// refuses SPI_SETHIGHCONTRAST), so the window is told; the system's colours
// are set to a high-contrast scheme.
TEST(MainWindow, HighContrastDrawsInTheSystemsColours) {
  const int kinds[] = {COLOR_BTNFACE, COLOR_BTNTEXT, COLOR_WINDOW, COLOR_WINDOWTEXT,
                       COLOR_HIGHLIGHT, COLOR_HIGHLIGHTTEXT, COLOR_HOTLIGHT, COLOR_GRAYTEXT};
  COLORREF saved[std::size(kinds)], scheme[std::size(kinds)] = {
      RGB(0, 0, 0), RGB(255, 255, 255), RGB(0, 0, 0), RGB(255, 255, 255),
      RGB(26, 235, 255), RGB(0, 0, 0), RGB(255, 255, 0), RGB(63, 242, 63)};
  for (std::size_t i = 0; i < std::size(kinds); ++i) saved[i] = GetSysColor(kinds[i]);
  SetSysColors(int(std::size(kinds)), kinds, scheme);

  Win32Window window(GetModuleHandleW(nullptr));
  ASSERT_TRUE(window.Create());
  window.Theme().ApplyPalette(HuePalette(150));
  static_cast<ThemePainter&>(window.Theme()).OverrideHighContrast(true);
  window.BarWindow().Create();
  window.SetBarVisible(true);
  SetWindowPos(window.Main(), HWND_TOP, 40, 40, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
  UpdateWindow(window.Main());
  WaitServingMessages(0, nullptr, 300);
  // A point of the page and one of the start button's face.
  auto pixel = [](HWND hwnd, int x, int y) {
    HDC dc = GetDC(hwnd);
    const COLORREF c = GetPixel(dc, x, y);
    ReleaseDC(hwnd, dc);
    return c;
  };
  EXPECT_EQ(pixel(window.Handle(Ctl::按钮开始), 4, 4), RGB(0, 0, 0));
  EXPECT_EQ(pixel(window.Handle(Ctl::按钮右下角), 2, 2), RGB(0, 0, 0));
  RECT bar;
  GetClientRect(window.Bar(), &bar);
  EXPECT_EQ(pixel(window.Bar(), bar.right / 2, bar.bottom / 2), RGB(0, 0, 0));
  e2e::Shot("high-contrast");

  static_cast<ThemePainter&>(window.Theme()).OverrideHighContrast(false);
  WaitServingMessages(0, nullptr, 100);
  EXPECT_NE(pixel(window.Handle(Ctl::按钮开始), 4, 4), RGB(0, 0, 0)) << "the hue is back";
  SetSysColors(int(std::size(kinds)), kinds, saved);
  DestroyWindow(window.Bar());
  Destroy(window);
}


struct LinkRecorder : BarEvents {
  void OnBarMoved(Point) override {}
  void OnBarMouseDown() override {}
  void OnBarLinkClicked(std::string_view msg) override { links.emplace_back(msg); }
  std::vector<std::string> links;
};

// The bar's popup from the keyboard: the arrows go round its lines, Enter
// follows the one shown, Esc closes it.
TEST(MainWindow, TheBarsPopupIsWorkedWithTheArrowsAndEnter) {
  Win32Window window(GetModuleHandleW(nullptr));
  ASSERT_TRUE(window.Create());
  LinkRecorder recorder;
  TrafficBarWindow& bar = window.BarWindow();
  bar.events = &recorder;
  bar.Create();
  bar.ShowPopup(BarPopup{{200, 200}, false, 1, {3, 3, 9, 5}},
                "<a msg=m7><font size=10pt>   显示主界面   </font></a></br>\r\n"
                "<a msg=m8><font size=10pt>   隐藏流量条   </font></a></br>\r\n"
                "<a msg=m9><font size=10pt>   退出WiFi   </font></a>");
  const HWND popup = bar.PopupHandle();
  ASSERT_TRUE(popup && IsWindowVisible(popup));
  const std::pair<std::vector<UINT>, const char*> cases[] = {
      {{VK_DOWN}, "m7"}, {{VK_DOWN, VK_DOWN}, "m8"}, {{VK_UP}, "m9"}, {{VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN}, "m7"}};
  for (const auto& [keys, link] : cases) {
    SendMessageW(popup, WM_KEYDOWN, VK_ESCAPE, 1);
    EXPECT_FALSE(IsWindowVisible(popup));
    bar.ShowPopup(BarPopup{{200, 200}, false, 1, {3, 3, 9, 5}}, "<a msg=m7>a</a></br><a msg=m8>b</a></br><a msg=m9>c</a>");
    for (UINT key : keys) SendMessageW(popup, WM_KEYDOWN, key, 1);
    SendMessageW(popup, WM_KEYDOWN, VK_RETURN, 1);
    ASSERT_FALSE(recorder.links.empty());
    EXPECT_EQ(recorder.links.back(), link);
  }
  bar.events = nullptr;
  DestroyWindow(window.Bar());
  Destroy(window);
}

}  // namespace
}  // namespace lumora
