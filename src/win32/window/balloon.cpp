#include "win32/window/balloon.h"

#include <commctrl.h>

#include "win32/utf16.h"

namespace lumora {
namespace {
constexpr UINT kShownMs = 5000;
}  // namespace

void Balloon::Show(HINSTANCE instance, HWND owner, UINT_PTR hide_timer, std::string_view text,
                   POINT at, int width) {
  owner_ = owner;
  if (!tip_) {
    tip_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                           WS_POPUP | TTS_BALLOON | TTS_NOPREFIX | TTS_ALWAYSTIP, 0, 0, 0, 0, owner,
                           nullptr, instance, nullptr);
  }
  SendMessageW(tip_, TTM_SETMAXTIPWIDTH, 0, width);
  text_ = Widen(text);
  TOOLINFOW info{};
  info.cbSize = sizeof(info);
  info.uFlags = TTF_TRACK | TTF_ABSOLUTE;
  info.hwnd = owner;
  info.uId = 1;
  info.lpszText = text_.data();
  SendMessageW(tip_, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&info));
  SendMessageW(tip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info));
  SendMessageW(tip_, TTM_TRACKPOSITION, 0, MAKELPARAM(at.x, at.y));
  SendMessageW(tip_, TTM_TRACKACTIVATE, TRUE, reinterpret_cast<LPARAM>(&info));
  SetTimer(owner, hide_timer, kShownMs, nullptr);
}

void Balloon::Hide() {
  if (tip_) SendMessageW(tip_, TTM_TRACKACTIVATE, FALSE, 0);
}

}  // namespace lumora
