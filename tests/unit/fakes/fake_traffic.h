#pragma once
// The floating bar and the adapters' counters for the traffic monitor's
// tests. The bar reports its moves as the real window does.
#include <map>
#include <optional>
#include <string>

#include "traffic/bar_port.h"
#include "traffic/counters.h"

namespace lumora::fakes {

class MemoryBar : public BarPort {
 public:
  BarEvents* events = nullptr;
  bool exists = false, visible = false;
  Point position{kBarDesignLeft, kBarDesignTop};
  Size screen{1920, 1080};
  std::string download = "0.0KB/S", upload = "0.0KB/S", tooltip, popup_markup;
  std::optional<BarPopup> popup;  // while shown
  int drags = 0;

  bool Exists() const override { return exists; }
  void Create() override { exists = true; }
  void SetVisible(bool v) override { visible = v; }
  Point Position() const override { return position; }
  void SetPosition(Point p) override {
    std::swap(p, position);
    if (!(p == position) && events) events->OnBarMoved(position);
  }
  Size ScreenSize() const override { return screen; }
  int scale_percent = 100;
  int ScalePercent() const override { return scale_percent; }
  void SetRateTexts(std::string_view down, std::string_view up) override {
    download = down, upload = up;
  }
  void SetTooltip(std::string_view text) override { tooltip = text; }
  void ShowPopup(const BarPopup& p, std::string_view markup) override {
    popup = p, popup_markup = markup;
  }
  void HidePopup() override { popup.reset(); }
  void BeginDrag() override { ++drags; }
};

// Adapters by connection name, each with its GUID, index and counters.
class FakeCounterNetwork : public InterfaceIndexPort, public CountersPort {
 public:
  struct Adapter {
    std::string guid;
    std::uint32_t index = 0;
    InterfaceCounters counters;
    bool by_wmi_only = false;  // the friendly name does not match
  };
  std::map<std::string, Adapter> adapters;
  int resolutions = 0;  // names looked up
  bool rows_fail = false;

  std::string AdapterGuidByFriendlyName(const std::string& name) override {
    ++resolutions;
    auto it = adapters.find(name);
    return it == adapters.end() || it->second.by_wmi_only ? "" : it->second.guid;
  }
  std::string AdapterGuidFromWmi(const std::string& name) override {
    auto it = adapters.find(name);
    return it == adapters.end() ? "" : it->second.guid;
  }
  std::uint32_t AdapterIndex(const std::string& guid) override {
    for (const auto& [name, a] : adapters)
      if (a.guid == guid) return a.index;
    return 0;
  }
  std::optional<InterfaceCounters> ReadCounters(std::uint32_t index) override {
    for (const auto& [name, a] : adapters)
      if (a.index == index && !rows_fail) return a.counters;
    return std::nullopt;
  }
};

}  // namespace lumora::fakes
