#pragma once
// Texts that more than one part of the program shows or compares.

namespace lumora::shared_text {

// The start button's caption while the hotspot is stopped: the only record
// of the running state.
inline constexpr char kStartCaption[] = "开启WiFi";
inline constexpr char kTrayWelcome[] = "欢迎使用LumoraWiFi，点击开启WiFi即可哦";

}  // namespace lumora::shared_text
