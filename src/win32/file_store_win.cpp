#include "win32/file_store_win.h"

#include <windows.h>

#include <algorithm>

#include "win32/utf16.h"

namespace lumora {
namespace {

bool WriteHandle(HANDLE file, const std::string& bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    DWORD wrote = 0;
    const DWORD chunk = DWORD(std::min<std::size_t>(bytes.size() - done, 1 << 20));
    if (!WriteFile(file, bytes.data() + done, chunk, &wrote, nullptr) || wrote == 0) return false;
    done += wrote;
  }
  return FlushFileBuffers(file) != 0;
}

bool WriteInPlace(const std::wstring& path, const std::string& bytes) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  const bool ok = WriteHandle(file, bytes) && SetEndOfFile(file);
  CloseHandle(file);
  return ok;
}

}  // namespace

FileRead Win32FileStore::ReadAll(const std::string& path) {
  FileRead result;
  HANDLE file = CreateFileW(Widen(path).c_str(), GENERIC_READ,
                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    const DWORD error = GetLastError();
    result.status = (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND)
                        ? FileRead::kMissing
                        : FileRead::kFailed;
    return result;
  }
  result.status = FileRead::kOk;
  char buffer[64 * 1024];
  for (;;) {
    DWORD got = 0;
    if (!ReadFile(file, buffer, sizeof(buffer), &got, nullptr)) {
      result.status = FileRead::kFailed;
      break;
    }
    if (got == 0) break;
    result.bytes.append(buffer, got);
  }
  CloseHandle(file);
  if (result.status == FileRead::kFailed) result.bytes.clear();
  return result;
}

bool Win32FileStore::WriteAll(const std::string& path, const std::string& bytes) {
  const std::wstring target = Widen(path);
  const std::wstring temp = target + L".new";
  // A file its owner made read-only is left as it is, as Windows leaves it
  // (Wine lets a replacement through).
  const DWORD attributes = GetFileAttributesW(target.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) return false;
  HANDLE file = CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  // No right to create files beside it (but perhaps to change it): in place.
  // Nothing else leads there: on a full disk a write in place that stops
  // half way would tear the file.
  if (file == INVALID_HANDLE_VALUE)
    return GetLastError() == ERROR_ACCESS_DENIED && WriteInPlace(target, bytes);
  const bool written = WriteHandle(file, bytes);
  CloseHandle(file);
  // Another program reading the file for a moment (an editor, a virus
  // scanner) blocks the replacement: tried again for up to half a second.
  for (int attempt = 0; written && attempt < 10; ++attempt) {
    if (MoveFileExW(temp.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
      return true;
    const DWORD error = GetLastError();
    if (error != ERROR_SHARING_VIOLATION && error != ERROR_ACCESS_DENIED &&
        error != ERROR_LOCK_VIOLATION)
      break;
    Sleep(50);
  }
  // A full disk or a locked file: the old contents stay as they were.
  DeleteFileW(temp.c_str());
  return false;
}

}  // namespace lumora
