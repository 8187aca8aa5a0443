#pragma once
#include <windows.h>

namespace lumora {

// The stack of the program's own threads (workers, helpers, the tray
// icon's calls): their steps parse texts in loops and call the system, so
// far less than the program's default of 2 MB, which Wine commits whole.
// Passed with STACK_SIZE_PARAM_IS_A_RESERVATION.
constexpr SIZE_T kThreadStack = 256 * 1024;

}  // namespace lumora
