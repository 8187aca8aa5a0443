#include "win32/window/dpi.h"

#include "win32/system_function.h"
#include "win32/utf16.h"

namespace lumora {
namespace {

int ScreenDpi() {
  HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  return dpi > 0 ? dpi : USER_DEFAULT_SCREEN_DPI;
}

}  // namespace

int DpiOf(HWND window) {
  using Fn = UINT(WINAPI*)(HWND);
  static const Fn for_window = SystemFunction<Fn>(L"user32.dll", "GetDpiForWindow");
  const int dpi = for_window && window ? int(for_window(window)) : 0;
  return dpi > 0 ? dpi : SystemDpi();
}

int SystemDpi() {
  using Fn = UINT(WINAPI*)();
  static const Fn for_system = SystemFunction<Fn>(L"user32.dll", "GetDpiForSystem");
  const int dpi = for_system ? int(for_system()) : 0;
  return dpi > 0 ? dpi : ScreenDpi();
}

int MetricForDpi(int index, int dpi) {
  using Fn = int(WINAPI*)(int, UINT);
  static const Fn for_dpi = SystemFunction<Fn>(L"user32.dll", "GetSystemMetricsForDpi");
  if (for_dpi) return for_dpi(index, UINT(dpi));
  return MulDiv(GetSystemMetrics(index), dpi, SystemDpi());
}

HFONT FontForDpi(Font font, int dpi) {
  const FontDef& f = FontOf(font);
  return CreateFontW(-ScaleToDpi(f.height, dpi), 0, 0, 0, f.bold ? FW_BOLD : FW_NORMAL, FALSE,
                     f.underline, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                     CLEARTYPE_QUALITY, DEFAULT_PITCH, Widen(f.face).c_str());
}

bool HighContrastOn() {
  HIGHCONTRASTW contrast{};
  contrast.cbSize = sizeof(contrast);
  return SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof(contrast), &contrast, 0) &&
         (contrast.dwFlags & HCF_HIGHCONTRASTON);
}

}  // namespace lumora
