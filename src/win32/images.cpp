#include "win32/images.h"

#include <map>
#include <string>
#include <mutex>
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
std::map<std::pair<int, int>, HANDLE> g_loaded;  // (resource, size) -> handle, kept for the run

HANDLE Load(int resource, UINT type, int size) {
  std::lock_guard<std::mutex> lock(g_mutex);
  auto& slot = g_loaded[{resource, size}];
  if (!slot) {
    TraceMark("art " + std::to_string(resource) + " begin");
    slot = LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(resource), type, size, size,
                      type == IMAGE_BITMAP ? 0 : LR_DEFAULTCOLOR);
    TraceMark("art end");
  }
  return slot;
}

}  // namespace

bool IsIconImage(Image image) {
  const int id = ResourceOf(image);
  return id != 0 && id < 200;
}

HICON IconOf(Image image, int size) {
  const int id = ResourceOf(image);
  return id && IsIconImage(image) ? static_cast<HICON>(Load(id, IMAGE_ICON, size)) : nullptr;
}

HBITMAP BitmapOf(Image image) {
  const int id = ResourceOf(image);
  return id && !IsIconImage(image) ? static_cast<HBITMAP>(Load(id, IMAGE_BITMAP, 0)) : nullptr;
}

}  // namespace lumora
