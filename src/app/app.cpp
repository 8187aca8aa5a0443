#include "app/app.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "app/os_version.h"
#include "common/numbers.h"
#include "guard/access_view.h"
#include "guard/device_files.h"

namespace lumora {
namespace {

constexpr char kBlackMode[] = "监控";

void SetHoverTips(WindowPort& ui) {
  ui.SetTip(Ctl::编辑框名称, "请输入英文或数字，部分手机可能无法识别中文。。。");
  ui.SetTip(Ctl::编辑框密码, "密码不能少于8位数");
  ui.SetTip(Ctl::选择框2,
            "通常软件能智能匹配连网方式，若发现不对，\r\n请自行选择，并勾选这个，以后就记住这个连网了");
  ui.SetTip(Ctl::单选框黑, "显示上网用户和拦截黑名单，建议用这种模式。。。");
  ui.SetTip(Ctl::单选框白, "仅允许白名单用户上网，不能显示用户数");
}

void SelectItemStartingWith(WindowPort& ui, Ctl combo, std::string_view prefix) {
  const auto items = ui.Items(combo);
  for (std::size_t i = 0; i < items.size(); ++i)
    if (items[i].compare(0, prefix.size(), prefix) == 0) {
      ui.SelectIndex(combo, int(i));
      return;
    }
}

}  // namespace

bool App::OnCreate() {
  WindowPort& ui = p_.ui;
  SettingsStore& settings = p_.settings;
  Subsystems& parts = p_.parts;

  // 1. The notice banner loads on its own thread, whatever follows.
  p_.host.StartWorkerThread([&parts] { parts.NoticeLoader(); });

  // 2. One instance: bring the running one up and end. The own window's
  // design caption is empty, so it never finds itself.
  if (p_.system.ActivateOtherInstance(kWindowTitle)) {
    p_.system.EndProcess();
    return false;
  }
  ui.SetTitle(kWindowTitle);

  // 3. The stored hue, used in step 6 ("abc" reads as 0).
  // Kept within a sane range first: a huge stored number must not overflow.
  double stored = ParseLeadingNumber(settings.Read(setting::kSkinHue));
  if (std::isnan(stored)) stored = 0;
  const int stored_hue = int(std::clamp(stored, -100000.0, 100000.0));

  // 4. Access mode of the client guard.
  const bool black = settings.Read(setting::kMonitor) == kBlackMode;
  ui.SetChecked(Ctl::单选框黑, black);
  ui.SetChecked(Ctl::单选框白, !black);
  ApplyModeLayout(ui, black);

  // 5. Floating bar option.
  ui.SetChecked(Ctl::选择框显示流量, settings.Read(setting::kTrafficBar) == "是");

  // 6. Skin: the slider keeps the value within its range; the hue applied is
  // the stored number's, the label shows the slider's.
  ui.SetSliderPosition(Ctl::滑块条色调, stored_hue);
  const int position = ui.SliderPosition(Ctl::滑块条色调);
  ui.SetText(Ctl::透明标签位置, "[" + std::to_string(position - 160) + "]");
  parts.ApplySkinHue(stored_hue - 160);
  constexpr Colour kRed{255, 0, 0}, kGreen{9, 124, 37};
  for (Ctl group : {Ctl::分组框2, Ctl::分组框5, Ctl::分组框1, Ctl::分组框3})
    ui.SetCaptionColour(group, kRed);
  for (Ctl group : {Ctl::分组框4, Ctl::分组框6}) ui.SetCaptionColour(group, kGreen);

  // 7. Both list views, in both modes.
  LoadListView(p_.files, kBlackListPath, ui, Ctl::超级列表框2);
  LoadListView(p_.files, kWhiteListPath, ui, Ctl::超级列表框3);

  // 8. Hover tips. 9. Two hours in the shutdown box.
  SetHoverTips(ui);
  SelectItemStartingWith(ui, Ctl::组合框_关机, "2");

  // 10. Password display and the stopped state.
  if (ui.Checked(Ctl::选择框_显示密码)) ui.SetMasked(Ctl::编辑框密码, false);
  ui.SetText(Ctl::标签9, "未启动");
  ui.SetPicture(Ctl::图片框状态, Image::kStatusStopped);

  // 11. SSID, pass phrase and how to show it.
  const std::string mm = settings.Read(setting::kShowPassword);
  ui.SetText(Ctl::编辑框名称, settings.Read(setting::kSsid));
  ui.SetText(Ctl::编辑框密码, settings.Read(setting::kPassphrase));
  if (mm == "1") {
    ui.SetChecked(Ctl::选择框_显示密码, true);
    ui.SetMasked(Ctl::编辑框密码, false);
  } else if (mm == "2") {
    ui.SetChecked(Ctl::选择框_显示密码, false);
    ui.SetMasked(Ctl::编辑框密码, true);
  }

  // 12. Windows XP: the window stays, the hotspot cannot start.
  const OsVersion version = p_.system.ProcessOsVersion();
  if (IsWindowsXp(version)) {
    ui.ShowMessage(shell_text::kXpRefusal, "提示", MessageIcon::kNone, MessageButtons::kOk);
    ui.SetEnabled(Ctl::按钮开始, false);
    ui.SetText(Ctl::按钮开始, shell_text::kXpCaption);
    return true;
  }

  // 13. Version code, the floating bar, the start-up sequence.
  os_code_ = OsVersionCode(version);
  parts.OnOsVersionCode(os_code_);
  ui.CreateBar();
  ui.SetBarVisible(ui.Checked(Ctl::选择框显示流量));
  startup_worker_ = p_.host.StartWorkerThread([this] { StartupSequence(); });
  return true;
}

void App::StartupSequence() {
  WindowPort& ui = p_.ui;
  Subsystems& parts = p_.parts;
  // Each step may take seconds; a stop request (the program ends) is obeyed
  // between them.
  parts.ResetAllSharing();
  if (StopRequested()) return;
  parts.FillConnectionList();
  if (StopRequested()) return;
  parts.ChooseDefaultConnection();
  if (StopRequested()) return;

  ui.SetEnabled(Ctl::按钮开始, true);
  ui.SetText(Ctl::按钮开始, shell_text::kReadyCaption);
  ui.ShowTrayIcon(Image::kAppIcon, shell_text::kTrayTip);

  ui.SetChecked(Ctl::选择框_开机启动, parts.AutostartExists());
  if (StopRequested()) return;

  ui.SetChecked(Ctl::选择框_启动, p_.settings.Read(setting::kAutoStartHotspot) == "y");
  if (ui.Checked(Ctl::选择框_启动)) parts.OnStartButton();
  if (StopRequested()) return;

  if (parts.CheckForUpdate()) return;  // accepted: the program is ending
  if (StopRequested()) return;
  parts.LoadStatisticsPage();
  if (StopRequested()) return;
  parts.PrepareServices();
}

void App::ShowMainWindow() { p_.ui.ShowMainCentred(); }

void App::OnHideToTrayClicked() {
  p_.ui.SetMainVisible(false);
  p_.ui.SetTimerInterval(Timer::时钟流量统计, 0);
}

void App::OnShowPasswordClicked() {
  const bool shown = p_.ui.Checked(Ctl::选择框_显示密码);
  p_.ui.SetMasked(Ctl::编辑框密码, !shown);
  p_.settings.Write(setting::kShowPassword, shown ? "1" : "2");
}

void App::OnQuestionIconClicked() {
  p_.ui.ShowMessage(shell_text::kQuestionHelp, "使用帮助", MessageIcon::kInformation,
                    MessageButtons::kOk);
}

void App::OnNoticeIconClicked() {
  p_.ui.ShowMessage(shell_text::kNotice, "注意", MessageIcon::kInformation, MessageButtons::kOk);
}

void App::OnMenuItem(MenuItem item) {
  switch (item) {
    case MenuItem::重启WiFi:
      p_.parts.RestartHotspot();
      break;
    case MenuItem::官方网站:
      p_.parts.OpenOfficialSite();
      break;
    case MenuItem::退出:
      QuitProgram();
      break;
    default:
      break;  // the list views' menus belong to the client guard
  }
}

void App::OnStartButtonClicked() { p_.parts.OnStartButton(); }

void App::OnCloseRequested() {
  WindowPort& ui = p_.ui;
  if (ui.BarExists()) {
    ui.SetBarVisible(false);
    ui.SetTimerInterval(Timer::时钟流量, 0);
  }
  for (Timer t : {Timer::时钟_黑, Timer::时钟_白, Timer::时钟流量统计}) ui.SetTimerInterval(t, 0);

  // Fold the window towards its middle: first vertically, then horizontally.
  ui.RemoveMainBorder();
  Rect r = ui.MainRect();
  while (r.height > 2) {
    r.height -= 60;
    r.top += 25;
    ui.SetMainRect(r);
  }
  p_.host.WaitResponsive(50);
  while (r.width > 2) {
    r.width -= 60;
    r.left += 30;
    ui.SetMainRect(r);
  }
  ui.SetMainVisible(false);
  QuitFromStopWorkers();
}

void App::QuitProgram() {
  if (p_.ui.BarExists()) p_.ui.SetBarVisible(false);
  p_.ui.SetMainVisible(false);
  QuitFromStopWorkers();
}

void App::QuitFromStopWorkers() {
  p_.host.StopWorkerThread(startup_worker_);
  p_.parts.StopClientScan();
  p_.ui.RemoveTrayIcon();
  p_.parts.AbortAndResetHotspot();
  p_.system.EndProcess();
}

}  // namespace lumora
