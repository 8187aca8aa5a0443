#include "extras/extras.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "common/numbers.h"
#include "common/stop_state.h"
#include "extras/theme.h"

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

std::string HueLabel(int position) {
  std::string label = "[";
  label += std::to_string(position - kHueOffset);
  return label += ']';
}

}  // namespace

Subsystem Extras::Registration() {
  Subsystem s;
  s.name = "extras";
  using E = ControlEvent;
  s.controls = {
      {Ctl::滑块条色调, E::kScroll, [this](int position) { OnHueSliderMoved(position); }},
      {Ctl::按钮色调, E::kClick, [this](int) { OnHueResetClicked(); }},
      {Ctl::选择框_开机启动, E::kClick, [this](int) { OnAutostartClicked(); }},
      {Ctl::选择框_启动, E::kClick, [this](int) { OnOpenAtStartClicked(); }},
      {Ctl::选择框关机, E::kClick, [this](int) { StartOrCancelCountdown(); }},
      {Ctl::组合框_关机, E::kSelectionChange, [this](int index) { OnShutdownHoursChosen(index); }},
      {Ctl::组合框_关机, E::kKey, [this](int key) { OnShutdownHoursKey(key); }},
  };
  s.timers = {{Timer::时钟关机, [this] { ShutdownTick(); }}};
  s.startup = {
      {StartupPhase::kCreate, [this](const StartupInfo&) { ShowStoredHue(); return true; }},
      // The theme leaves the floating bar alone (its creator calls
      // DetachSkinFromBar when it comes later).
      {StartupPhase::kOsKnown,
       [this](const StartupInfo&) {
         if (p_.ui.BarExists()) DetachSkinFromBar();
         return true;
       }},
      {StartupPhase::kReady, [this](const StartupInfo&) { ApplyStartOptions(); return true; }},
  };
  s.stop_workers = [this] { StopWorkers(); };
  return s;
}

// --- hue -----------------------------------------------------------------

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
  ui.SetText(Ctl::透明标签位置, HueLabel(ui.SliderPosition(Ctl::滑块条色调)));
  p_.skin.ApplySkinHue(stored_hue - kHueOffset);
  for (const GroupCaption& g : kGroupCaptions) ui.SetCaptionColour(g.group, g.colour);

  SelectItemStartingWith(ui, Ctl::组合框_关机, "2");
}

void Extras::OnHueSliderMoved(int position) {
  p_.skin.ApplySkinHue(position - kHueOffset);
  p_.settings.Write(setting::kSkinHue, std::to_string(position));
  p_.ui.SetText(Ctl::透明标签位置, HueLabel(position));
}

void Extras::OnHueResetClicked() {
  p_.ui.SetSliderPosition(Ctl::滑块条色调, kDefaultHuePosition);
  OnHueSliderMoved(kDefaultHuePosition);
}

// --- start options ---------------------------------------------------------

void Extras::ApplyStartOptions() {
  WindowPort& ui = p_.ui;
  ui.SetChecked(Ctl::选择框_开机启动, p_.autostart.AutostartExists());
  if (StopRequested()) return;
  ui.SetChecked(Ctl::选择框_启动, p_.settings.Read(setting::kAutoStartHotspot) == "y");
  // A plain start: refused, like any other, while one runs or starts.
  if (ui.Checked(Ctl::选择框_启动)) p_.hotspot.Start();
}

void Extras::OnAutostartClicked() {
  const bool on = p_.ui.Checked(Ctl::选择框_开机启动);
  // Without administrator rights the Run key stays as it was: the box shows
  // what the registry holds, never a state that was not stored.
  if (!p_.autostart.SetAutostart(on))
    p_.ui.SetChecked(Ctl::选择框_开机启动, p_.autostart.AutostartExists());
}

void Extras::OnOpenAtStartClicked() {
  // Takes effect at the next start only.
  p_.settings.Write(setting::kAutoStartHotspot, p_.ui.Checked(Ctl::选择框_启动) ? "y" : "n");
}

}  // namespace lumora
