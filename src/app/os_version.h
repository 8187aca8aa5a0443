#pragma once
#include "app/system_port.h"
#include "ui/subsystem.h"

namespace lumora {

// 5.0 → 1, 5.1 → 2, 5.2 → 3, 6.0 → 4, 6.1 → 5 (Windows 7: the netsh way),
// 6.2 → 6, anything else → −1 (all but 5 use the WLAN functions).
OsCode OsVersionCode(OsVersion v);

inline bool IsWindowsXp(OsVersion v) { return v.major == 5 && v.minor == 1; }

}  // namespace lumora
