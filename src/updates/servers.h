#pragma once
// Where the update server and the web server are. The build gives the
// defaults (empty: nothing is fetched); the settings file can name others:
// [server] update=... and web=..., where an empty value turns a server off.
#include <string>
#include <string_view>

#include "common/settings.h"

namespace lumora {

namespace setting {
// The fallbacks are the build's defaults (see servers.cpp).
extern const SettingKey kUpdateServer;  // [server] update
extern const SettingKey kWebServer;     // [server] web
}  // namespace setting

// Paths on the two servers.
namespace server_path {
inline constexpr char kUpdateDocument[] = "/updata.txt";   // update server
inline constexpr char kNoticePage[] = "/sygg.html";        // update server
inline constexpr char kHelpText[] = "/upwifi/bzxx.txt";    // web server
inline constexpr char kStatistics[] = "/upwifi/tongji.html";  // web server
}  // namespace server_path

// The server's base address joined with the path ("http://a.b/" and
// "/x.txt" give "http://a.b/x.txt"); empty when the base is empty or not an
// http(s) address, which means: fetch nothing.
std::string ServerUrl(std::string_view base, std::string_view path);

}  // namespace lumora
