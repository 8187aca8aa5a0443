#include "common/locked_file.h"

#include <map>
#include <mutex>

namespace lumora {
namespace {

std::mutex& LockOf(const std::string& path) {
  static std::mutex table_mutex;
  static std::map<std::string, std::mutex> locks;
  std::lock_guard lock(table_mutex);
  return locks[path];  // never erased: the reference stays valid
}

std::optional<std::string> ReadUnlocked(FileStore& files, const std::string& path) {
  FileRead read = files.ReadAll(path);
  if (read.status == FileRead::kFailed) return std::nullopt;
  if (read.status == FileRead::kMissing) return std::string();
  return std::move(read.bytes);
}

}  // namespace

std::optional<std::string> LockedRead(FileStore& files, const std::string& path) {
  std::lock_guard lock(LockOf(path));
  return ReadUnlocked(files, path);
}

FileUpdate LockedUpdate(FileStore& files, const std::string& path, const FileChange& change) {
  std::lock_guard lock(LockOf(path));
  const std::optional<std::string> old = ReadUnlocked(files, path);
  if (!old) return FileUpdate::kFailed;
  const std::optional<std::string> updated = change(*old);
  if (!updated) return FileUpdate::kUnchanged;
  return files.WriteAll(path, *updated) ? FileUpdate::kWritten : FileUpdate::kFailed;
}

}  // namespace lumora
