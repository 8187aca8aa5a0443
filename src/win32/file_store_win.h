#pragma once
#include "common/file_store.h"

namespace lumora {

class Win32FileStore : public FileStore {
 public:
  FileRead ReadAll(const std::string& path) override;
  // Writes a sibling temporary file and moves it over the old one; where no
  // new file may be created beside it, rewrites the file in place.
  bool WriteAll(const std::string& path, const std::string& bytes) override;
};

}  // namespace lumora
