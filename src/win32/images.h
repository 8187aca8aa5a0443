#pragma once
#include <windows.h>

#include "ui/controls.h"

namespace lumora {

bool IsIconImage(Image image);
// Shared (cached by the system) handles of the program's pictures; null for
// Image::kNone. Icons at the asked size, bitmaps at their own.
HICON IconOf(Image image, int size);
HBITMAP BitmapOf(Image image);

}  // namespace lumora
