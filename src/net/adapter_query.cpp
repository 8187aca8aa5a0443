#include "net/adapter_query.h"

namespace lumora {

std::string AdapterQuery(std::string_view fields, std::string_view connection_name) {
  std::string query = "Select " + std::string(fields) +
                      " From Win32_NetworkAdapter WHERE NetConnectionID='";
  for (const char c : connection_name) {
    if (c == '\'' || c == '\\') query += '\\';
    query += c;
  }
  query += '\'';
  return query;
}

}  // namespace lumora
