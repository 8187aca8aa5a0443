#include "extras/extras.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "common/numbers.h"
#include "common/stop_state.h"

namespace lumora {
namespace {

void SelectItemStartingWith(WindowPort& ui, Ctl combo, std::string_view prefix) {
  const auto items = ui.Items(combo);
  for (std::size_t i = 0; i < items.size(); ++i)
    if (items[i].compare(0, prefix.size(), prefix) == 0) {
      ui.SelectIndex(combo, int(i));
      return;
    }
}

}  // namespace

Subsystem Extras::Registration() {
  Subsystem s;
  s.name = "extras";
  s.startup = {
      {StartupPhase::kCreate, [this](const StartupInfo&) { ShowStoredHue(); return true; }},
      {StartupPhase::kReady, [this](const StartupInfo&) { ApplyStartOptions(); return true; }},
  };
  return s;
}

void Extras::ShowStoredHue() {
  WindowPort& ui = p_.ui;
  // "abc" reads as 0. Kept within a sane range first: a huge stored number
  // must not overflow.
  double stored = ParseLeadingNumber(p_.settings.Read(setting::kSkinHue));
  if (std::isnan(stored)) stored = 0;
  const int stored_hue = int(std::clamp(stored, -100000.0, 100000.0));

  // The slider keeps the value within its range; the hue applied is the
  // stored number's, the label shows the slider's.
  ui.SetSliderPosition(Ctl::滑块条色调, stored_hue);
  const int position = ui.SliderPosition(Ctl::滑块条色调);
  ui.SetText(Ctl::透明标签位置, "[" + std::to_string(position - kHueOffset) + "]");
  p_.skin.ApplySkinHue(stored_hue - kHueOffset);
  constexpr Colour kRed{255, 0, 0}, kGreen{9, 124, 37};
  for (Ctl group : {Ctl::分组框2, Ctl::分组框5, Ctl::分组框1, Ctl::分组框3})
    ui.SetCaptionColour(group, kRed);
  for (Ctl group : {Ctl::分组框4, Ctl::分组框6}) ui.SetCaptionColour(group, kGreen);

  SelectItemStartingWith(ui, Ctl::组合框_关机, "2");
}

void Extras::ApplyStartOptions() {
  WindowPort& ui = p_.ui;
  ui.SetChecked(Ctl::选择框_开机启动, p_.autostart.AutostartExists());
  if (StopRequested()) return;
  ui.SetChecked(Ctl::选择框_启动, p_.settings.Read(setting::kAutoStartHotspot) == "y");
  if (ui.Checked(Ctl::选择框_启动)) p_.hotspot.OnStartButton();
}

}  // namespace lumora
