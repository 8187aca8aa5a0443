#pragma once
#include <windows.h>

#include "ui/controls.h"

namespace lumora {

bool IsIconImage(Image image);
// Shared (cached by the system) handles of the program's pictures; null for
// Image::kNone. Icons at the asked size (the icon file's nearest image,
// scaled), bitmaps drawn for `dpi`: the art comes in 100, 125, 150 and 200 %,
// and a screen between those gets the next larger one scaled down.
HICON IconOf(Image image, int size);
HBITMAP BitmapOf(Image image, int dpi = 96);

}  // namespace lumora
