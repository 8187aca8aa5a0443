#include "win32/images.h"

#include <map>
#include <string>
#include <mutex>
#include <iterator>
#include <utility>

#include "../../packaging/resource_ids.h"
#include "common/trace.h"

namespace lumora {
namespace {

int ResourceOf(Image image) {
  switch (image) {
    case Image::kAppIcon: return IDI_APP;
    case Image::kTrayOff: return IDI_TRAY_OFF;
    case Image::kTrayOn: return IDI_TRAY_ON;
    case Image::kTrayFrame0: return IDI_TRAY_FRAME0;
    case Image::kTrayFrame1: return IDI_TRAY_FRAME1;
    case Image::kTrayFrame2: return IDI_TRAY_FRAME2;
    case Image::kQuestion: return IDI_HELP_MARK;
    case Image::kExclamation: return IDI_NOTICE_MARK;
    case Image::kStatusStopped: return IDB_STATUS_STOPPED;
    case Image::kStatusRunning: return IDB_STATUS_RUNNING;
    case Image::kStatusFrame0: return IDB_STATUS_FRAME0;
    case Image::kStatusFrame1: return IDB_STATUS_FRAME1;
    case Image::kStatusFrame2: return IDB_STATUS_FRAME2;
    case Image::kStatusFrame3: return IDB_STATUS_FRAME3;
    case Image::kStatusFrame4: return IDB_STATUS_FRAME4;
    case Image::kUpload: return IDB_UPLOAD;
    case Image::kDownload: return IDB_DOWNLOAD;
    case Image::kBarBackground: return IDB_BAR_BACKGROUND;
    case Image::kBarOutline: return IDB_BAR_OUTLINE;
    case Image::kNone: break;
  }
  return 0;
}

std::mutex g_mutex;
std::map<std::pair<int, int>, HANDLE> g_loaded;  // (resource, size or DPI) -> handle, kept for the run

HANDLE Load(int resource, UINT type, int size) {
  auto& slot = g_loaded[{resource, size}];
  if (!slot) {
    TraceMark("art " + std::to_string(resource) + " begin");
    slot = LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(resource), type, size, size,
                      type == IMAGE_BITMAP ? 0 : LR_DEFAULTCOLOR);
    TraceMark("art end");
  }
  return slot;
}

// The art's scales, in DPI, and where each one's bitmaps are numbered.
constexpr struct {
  int dpi, id_offset;
} kArtScales[] = {{96, 0}, {120, IDB_SCALE_125}, {144, IDB_SCALE_150}, {192, IDB_SCALE_200}};

// `source` made `scale` (in 96ths) as large: smooth for pictures, pixel by
// pixel for the outline, whose magenta must stay exactly magenta.
HBITMAP Scaled(HBITMAP source, int from_dpi, int to_dpi, bool exact_colours) {
  BITMAP bm{};
  if (!source || !GetObjectW(source, sizeof(bm), &bm)) return nullptr;
  const int w = MulDiv(bm.bmWidth, to_dpi, from_dpi), h = MulDiv(bm.bmHeight, to_dpi, from_dpi);
  HDC screen = GetDC(nullptr);
  HDC from = CreateCompatibleDC(screen), to = CreateCompatibleDC(screen);
  HBITMAP result = CreateCompatibleBitmap(screen, w, h);
  const HGDIOBJ old_from = SelectObject(from, source), old_to = SelectObject(to, result);
  SetStretchBltMode(to, exact_colours ? COLORONCOLOR : HALFTONE);
  SetBrushOrgEx(to, 0, 0, nullptr);
  StretchBlt(to, 0, 0, w, h, from, 0, 0, bm.bmWidth, bm.bmHeight, SRCCOPY);
  SelectObject(from, old_from);
  SelectObject(to, old_to);
  DeleteDC(from);
  DeleteDC(to);
  ReleaseDC(nullptr, screen);
  return result;
}

}  // namespace

bool IsIconImage(Image image) {
  const int id = ResourceOf(image);
  return id != 0 && id < 200;
}

HICON IconOf(Image image, int size) {
  const int id = ResourceOf(image);
  std::lock_guard<std::mutex> lock(g_mutex);
  return id && IsIconImage(image) ? static_cast<HICON>(Load(id, IMAGE_ICON, size)) : nullptr;
}

HBITMAP BitmapOf(Image image, int dpi) {
  const int id = ResourceOf(image);
  if (!id || IsIconImage(image)) return nullptr;
  std::lock_guard<std::mutex> lock(g_mutex);
  // The art drawn for this DPI, or for the next larger one.
  for (const auto& scale : kArtScales) {
    if (scale.dpi < dpi && scale.dpi != kArtScales[std::size(kArtScales) - 1].dpi) continue;
    HANDLE drawn = Load(id + scale.id_offset, IMAGE_BITMAP, 0);
    if (scale.dpi == dpi || !drawn) return static_cast<HBITMAP>(drawn);
    auto& slot = g_loaded[{id, -dpi}];
    if (!slot) slot = Scaled(static_cast<HBITMAP>(drawn), scale.dpi, dpi, image == Image::kBarOutline);
    return static_cast<HBITMAP>(slot);
  }
  return nullptr;
}

}  // namespace lumora
