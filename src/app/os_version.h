#pragma once
#include "app/system_port.h"

namespace lumora {

// 1 = 5.0, 2 = 5.1, 3 = 5.2, 4 = 6.0, 5 = 6.1 (Windows 7: the netsh way),
// 6 = 6.2, −1 = anything else (all but 5 use the WLAN functions).
int OsVersionCode(OsVersion v);
inline constexpr int kWindows7Code = 5;

inline bool IsWindowsXp(OsVersion v) { return v.major == 5 && v.minor == 1; }

}  // namespace lumora
