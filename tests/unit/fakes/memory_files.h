#pragma once
// Files in memory, for the core's file port. A path can be made unreadable
// or unwritable to test failure handling.
#include <map>
#include <set>
#include <string>

#include "common/file_store.h"

namespace lumora::fakes {

class MemoryFiles : public FileStore {
 public:
  FileRead ReadAll(const std::string& path) override {
    ++reads;
    if (unreadable.count(path)) return {FileRead::kFailed, {}};
    auto it = files.find(path);
    if (it == files.end()) return {FileRead::kMissing, {}};
    return {FileRead::kOk, it->second};
  }
  bool WriteAll(const std::string& path, const std::string& bytes) override {
    ++writes;
    if (unwritable.count(path)) return false;
    files[path] = bytes;
    return true;
  }

  std::map<std::string, std::string> files;
  std::set<std::string> unreadable, unwritable;
  int reads = 0, writes = 0;
};

}  // namespace lumora::fakes
