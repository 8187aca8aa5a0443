#pragma once
// Small things several subsystems do with the window the same way.
#include <initializer_list>
#include <string_view>

#include "ui/window_port.h"

namespace lumora {

// The value of a kKey event for the Enter key (its virtual key code).
inline constexpr int kEnterKey = 13;

// Selects the first item of the combo box that starts with the first of
// `prefixes` any item starts with (ASCII letters in either case); false, and
// the selection unchanged, when no item starts with any of them.
bool SelectFirstItemStartingWith(WindowPort& ui, Ctl combo,
                                 std::initializer_list<std::string_view> prefixes);

}  // namespace lumora
