#pragma once
// The balloon tip that points at a place of the main window: the input
// errors of a hotspot start. It goes by itself after a few seconds.
#include <windows.h>

#include <string>
#include <string_view>

namespace lumora {

class Balloon {
 public:
  // Shows `text` pointing at the screen point `at`, broken into lines of at
  // most `width` pixels; the owner's timer `hide_timer` hides it again.
  void Show(HINSTANCE instance, HWND owner, UINT_PTR hide_timer, std::string_view text, POINT at,
            int width);
  void Hide();

 private:
  HWND tip_ = nullptr;
  HWND owner_ = nullptr;
  std::wstring text_;  // the tool keeps a pointer to it
};

}  // namespace lumora
