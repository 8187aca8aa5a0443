#pragma once
// The words for a hosted network that the WLAN functions would not enable or
// start, as the "开启失败" box shows them.
#include <string>

#include "hotspot/network_ports.h"

namespace lumora {

enum class WlanStep { kEnable, kStart };

// "无法启动承载网络。" and the reason and code, on two lines.
std::string WlanFailureText(WlanStep step, const WlanFailure& failure);

}  // namespace lumora
