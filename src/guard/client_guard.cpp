#include "guard/client_guard.h"

#include "guard/access_view.h"
#include "guard/device_files.h"

namespace lumora {
namespace {
constexpr char kBlackMode[] = "监控";
}  // namespace

Subsystem ClientGuard::Registration() {
  Subsystem s;
  s.name = "client guard";
  s.startup = {
      {StartupPhase::kCreate, [this](const StartupInfo&) { ShowStoredMode(); return true; }},
  };
  return s;
}

void ClientGuard::ShowStoredMode() {
  WindowPort& ui = p_.ui;
  const bool black = p_.settings.Read(setting::kMonitor) == kBlackMode;
  ui.SetChecked(Ctl::单选框黑, black);
  ui.SetChecked(Ctl::单选框白, !black);
  ApplyModeLayout(ui, black);
  // Both list views, in both modes.
  LoadListView(p_.files, kBlackListPath, ui, Ctl::超级列表框2);
  LoadListView(p_.files, kWhiteListPath, ui, Ctl::超级列表框3);
}

}  // namespace lumora
