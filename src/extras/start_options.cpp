#include "extras/start_options.h"

namespace lumora {

std::string RunValueData(std::string_view program_path) {
  const bool quoted = program_path.size() >= 2 && program_path.front() == '"' &&
                      program_path.back() == '"';
  if (quoted || program_path.find(' ') == std::string_view::npos) return std::string(program_path);
  std::string data = "\"";
  data += program_path;
  return data += '"';
}

}  // namespace lumora
