#pragma once
// The program's spine: the main window's creation handler, the start-up
// sequence, hiding to the tray and coming back, the shell's own handlers and
// the ways the program ends. Everything else reaches it, and it reaches
// everything else, through the event table.
#include "app/system_port.h"
#include "common/command_host.h"
#include "common/settings.h"
#include "ui/event_table.h"
#include "ui/window_port.h"

namespace lumora {

struct AppPorts {
  WindowPort& ui;
  SettingsStore& settings;
  CommandHost& host;
  SystemPort& system;
  EventTable& events;
};

class App {
 public:
  explicit App(AppPorts ports) : p_(ports) {}

  // The shell's own routes (its buttons, icons and the menu item 退出).
  Subsystem Registration();

  // The creation handler. False when this process must end at once (another
  // instance runs); the window is then never shown.
  bool OnCreate();
  // The start-up sequence, on its own worker (started by OnCreate).
  void StartupSequence();

  // Shell events.
  void ShowMainWindow();          // tray icon click and double click
  void OnHideToTrayClicked();     // 按钮右下角
  void OnShowPasswordClicked();   // 选择框_显示密码
  void OnQuestionIconClicked();   // 画板_问号
  void OnNoticeIconClicked();     // 画板_叹号

  // Ending: the close box folds the window away first; "退出" does not.
  void OnCloseRequested();
  void QuitProgram();
  // After an accepted update, on the start-up worker itself (the window is
  // hidden and the hotspot reset already): the other workers stop, the tray
  // icon goes and the window closes; the caller is not waited for.
  void EndFromStartupWorker();

  OsCode Os() const { return os_; }
  const WorkerHandle& StartupWorker() const { return startup_worker_; }

 private:
  // Starts the end on a worker of its own (once).
  void QuitFromStopWorkers();
  // On that worker: the other workers stop, the tray icon goes, the
  // subsystems' teardown runs within its bound, and the process ends.
  void EndSequence();

  AppPorts p_;
  OsCode os_ = OsCode::kNotComputed;  // stays so on Windows XP
  WorkerHandle startup_worker_;
  WorkerHandle exit_worker_;  // window thread only
};

// Texts the shell shows.
namespace shell_text {
inline constexpr char kXpRefusal[] = "抱歉，该软件暂不支持Win XP系统！";
inline constexpr char kXpCaption[] = "不支持XP";
inline constexpr char kQuestionHelp[] =
    "WiFi名称和密码可以自定义，WiFi停止状态才可以修改。\r\n"
    "WiFi名称可以使用中文，但个别手机不支持中文编码导致找不到WiFi或者乱码。\r\n"
    "★若手机连不上，请点击下面的[重启WiFi]强制初始化WiFi试试。。";
inline constexpr char kNotice[] =
    "[注意]：\r\n拨号上网的的电脑请不要勾选[开机打开软件]，否则WiFi没有网络。\r\n"
    "开机直接上网的电脑可以勾选。\r\n（因为要在有网络环境下打开软件才能正常开启WiFi）";
}  // namespace shell_text

}  // namespace lumora
