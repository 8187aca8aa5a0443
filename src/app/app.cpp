#include "app/app.h"

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>

#include "app/os_version.h"
#include "common/stop_state.h"
#include "ui/shared_texts.h"

namespace lumora {
namespace {

void SetHoverTips(WindowPort& ui) {
  ui.SetTip(Ctl::编辑框名称, "请输入英文或数字，部分手机可能无法识别中文。。。");
  ui.SetTip(Ctl::编辑框密码, "密码不能少于8位数");
  ui.SetTip(Ctl::选择框2,
            "通常软件能智能匹配连网方式，若发现不对，\r\n请自行选择，并勾选这个，以后就记住这个连网了");
  ui.SetTip(Ctl::单选框黑, "显示上网用户和拦截黑名单，建议用这种模式。。。");
  ui.SetTip(Ctl::单选框白, "仅允许白名单用户上网，不能显示用户数");
}

// How long the ending program lets the teardown (the hotspot's reset, which
// runs netsh and the sharing manager) take before it is told to stop: a
// command that never returns must not keep the program from ending.
constexpr auto kTeardownBound = std::chrono::seconds(5);

}  // namespace

Subsystem App::Registration() {
  Subsystem s;
  s.name = "shell";
  const auto click = [](Ctl c, void (App::*handler)(), App* app) {
    return ControlRoute{c, ControlEvent::kClick, [app, handler](int) { (app->*handler)(); }};
  };
  s.controls = {
      click(Ctl::按钮右下角, &App::OnHideToTrayClicked, this),
      click(Ctl::选择框_显示密码, &App::OnShowPasswordClicked, this),
      click(Ctl::画板_问号, &App::OnQuestionIconClicked, this),
      click(Ctl::画板_叹号, &App::OnNoticeIconClicked, this),
  };
  s.menus = {{MenuItem::退出, [this] { QuitProgram(); }}};
  return s;
}

bool App::OnCreate() {
  WindowPort& ui = p_.ui;
  SettingsStore& settings = p_.settings;
  const EventTable& events = p_.events;

  // 1. What must start whatever follows (the notice banner's worker).
  events.RunStartup(StartupPhase::kLaunch, {});

  // 2. One instance: bring the running one up and end. The own window's
  // design caption is empty, so it never finds itself.
  if (p_.system.ActivateOtherInstance(kWindowTitle)) {
    p_.system.EndProcess();
    return false;
  }
  ui.SetTitle(kWindowTitle);

  // 3. The stored settings of the subsystems: hue, access mode, list views.
  events.RunStartup(StartupPhase::kCreate, {});

  // 4. Hover tips; password display and the stopped state.
  SetHoverTips(ui);
  if (ui.Checked(Ctl::选择框_显示密码)) ui.SetMasked(Ctl::编辑框密码, false);
  ui.SetText(Ctl::标签9, "未启动");
  ui.SetPicture(Ctl::图片框状态, Image::kStatusStopped);

  // 5. SSID, pass phrase and how to show it.
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

  // 6. Windows XP: the window stays, the hotspot cannot start.
  const OsVersion version = p_.system.ProcessOsVersion();
  if (IsWindowsXp(version)) {
    ui.ShowMessage(shell_text::kXpRefusal, "提示", MessageIcon::kNone, MessageButtons::kOk);
    ui.SetEnabled(Ctl::按钮开始, false);
    ui.SetText(Ctl::按钮开始, shell_text::kXpCaption);
    return true;
  }

  // 7. Version code (the floating bar comes with it), the start-up sequence.
  os_ = OsVersionCode(version);
  events.RunStartup(StartupPhase::kOsKnown, {os_});
  startup_worker_ = p_.host.StartWorkerThread([this] { StartupSequence(); });
  return true;
}

void App::StartupSequence() {
  WindowPort& ui = p_.ui;
  const EventTable& events = p_.events;
  const StartupInfo info{os_};
  // Each step may take seconds; a stop request (the program ends) is obeyed
  // between them.
  if (!events.RunStartup(StartupPhase::kNetwork, info)) return;

  ui.SetEnabled(Ctl::按钮开始, true);
  ui.SetText(Ctl::按钮开始, shared_text::kStartCaption);
  ui.ShowTrayIcon(Image::kAppIcon, shared_text::kTrayWelcome);

  for (StartupPhase phase : {StartupPhase::kReady, StartupPhase::kOffers, StartupPhase::kBackground})
    if (!events.RunStartup(phase, info)) return;
}

void App::ShowMainWindow() { p_.ui.ShowMainCentred(); }

void App::OnHideToTrayClicked() {
  p_.ui.SetMainVisible(false);
  p_.events.Announce(ShellMoment::kHiddenToTray);
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

void App::OnCloseRequested() {
  WindowPort& ui = p_.ui;
  // From here on no worker may open a box or a balloon: the program ends.
  ui.BeginClosing();
  p_.events.Announce(ShellMoment::kMainClosing);

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
  p_.ui.BeginClosing();
  p_.events.Announce(ShellMoment::kQuitting);
  p_.ui.SetMainVisible(false);
  QuitFromStopWorkers();
}

void App::EndFromStartupWorker() {
  p_.ui.BeginClosing();
  if (p_.ui.BarExists()) p_.ui.SetBarVisible(false);
  p_.events.StopWorkers();
  p_.ui.RemoveTrayIcon();
  p_.system.EndProcess();
}

void App::QuitFromStopWorkers() {
  // The window is hidden already; the waits and commands of the end run on
  // a worker, and the window thread goes on serving messages meanwhile.
  if (exit_worker_) return;  // ending already
  exit_worker_ = p_.host.StartWorkerThread([this] { EndSequence(); });
}

void App::EndSequence() {
  p_.host.StopWorkerThread(startup_worker_);
  p_.events.StopWorkers();
  p_.ui.RemoveTrayIcon();
  {
    // After the bound the teardown's own stop is requested: a running
    // command is ended and the reset's later steps see the stop.
    StopState teardown_stop;
    CurrentStopScope scope(&teardown_stop);
    std::mutex mutex;
    std::condition_variable done_changed;
    bool done = false;
    std::thread guard([&] {
      std::unique_lock lock(mutex);
      if (!done_changed.wait_for(lock, kTeardownBound, [&] { return done; }))
        teardown_stop.RequestStop();
    });
    p_.events.Teardown();
    {
      std::lock_guard lock(mutex);
      done = true;
    }
    done_changed.notify_all();
    guard.join();
  }
  p_.system.EndProcess();
}

}  // namespace lumora
