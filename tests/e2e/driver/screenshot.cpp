#include "screenshot.h"

#include <windows.h>

#include <cstdio>
#include <vector>

#include "win32/utf16.h"

namespace lumora::e2e {

bool SaveScreenshot(const std::string& bmp_path) {
  const int width = GetSystemMetrics(SM_CXSCREEN);
  const int height = GetSystemMetrics(SM_CYSCREEN);
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
  HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, width, height, screen, 0, 0, SRCCOPY);
  SelectObject(memory, old);

  BITMAPINFOHEADER info{};
  info.biSize = sizeof(info);
  info.biWidth = width;
  info.biHeight = height;  // bottom-up, as BMP files store rows
  info.biPlanes = 1;
  info.biBitCount = 24;
  info.biCompression = BI_RGB;
  const int stride = (width * 3 + 3) & ~3;
  std::vector<char> pixels(std::size_t(stride) * height);
  GetDIBits(memory, bitmap, 0, height, pixels.data(), reinterpret_cast<BITMAPINFO*>(&info),
            DIB_RGB_COLORS);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);

  BITMAPFILEHEADER file{};
  file.bfType = 0x4D42;  // "BM"
  file.bfOffBits = sizeof(file) + sizeof(info);
  file.bfSize = DWORD(file.bfOffBits + pixels.size());
  FILE* out = _wfopen(Widen(bmp_path).c_str(), L"wb");
  if (!out) return false;
  const bool ok = fwrite(&file, sizeof(file), 1, out) == 1 && fwrite(&info, sizeof(info), 1, out) == 1 &&
                  fwrite(pixels.data(), 1, pixels.size(), out) == pixels.size();
  return (fclose(out) == 0) && ok;
}

std::string ShotPath(const std::string& name) {
  wchar_t dir[MAX_PATH] = {};
  if (!GetEnvironmentVariableW(L"LUMORA_SHOTS", dir, MAX_PATH)) return {};
  return Narrow(dir) + "\\" + name + ".bmp";
}

bool Shot(const std::string& name) {
  const std::string path = ShotPath(name);
  return path.empty() || SaveScreenshot(path);
}

}  // namespace lumora::e2e
