#pragma once
// Whole-file access, the only way the core touches the disk. Paths are UTF-8
// (Windows form, e.g. c:\tovkwifi.ini); contents are raw bytes (GBK text).
#include <string>

namespace lumora {

struct FileRead {
  enum Status { kOk, kMissing, kFailed } status = kMissing;
  std::string bytes;
};

class FileStore {
 public:
  virtual ~FileStore() = default;
  // The whole file. A file that exists but cannot be read is kFailed, not
  // kMissing: a writer must never mistake it for an empty file and replace it.
  virtual FileRead ReadAll(const std::string& path) = 0;
  // Replaces the whole file. Implementations write so that a crash or a full
  // disk leaves either the old or the new contents, never a torn file.
  virtual bool WriteAll(const std::string& path, const std::string& bytes) = 0;
};

}  // namespace lumora
