#include "traffic/adapter_query.h"

namespace lumora {

std::string AdapterGuidQuery(std::string_view connection_name) {
  std::string query = "Select GUID From Win32_NetworkAdapter WHERE NetConnectionID='";
  for (const char c : connection_name) {
    if (c == '\'' || c == '\\') query += '\\';
    query += c;
  }
  query += '\'';
  return query;
}

}  // namespace lumora
