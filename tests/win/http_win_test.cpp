// WinINet requests against a loopback server of the test's own: the body's
// bytes arrive unchanged, errors and oversized bodies fail, and a server that
// accepts but never answers is given up on within the overall bound.
#include <gtest/gtest.h>
#include <winsock2.h>
#include <windows.h>

#include <chrono>
#include <memory>
#include <thread>
#include <vector>

#include "common/gbk.h"
#include "updates/updates.h"
#include "win32/http_win.h"

namespace lumora {
namespace {

// Answers every connection with `response`; an empty one accepts and stays silent.
class LoopbackServer {
 public:
  explicit LoopbackServer(std::string response) {
    WSADATA wsa;
    WSAStartup(MAKEWORD(2, 2), &wsa);
    listener_ = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    int size = sizeof address;
    bind(listener_, reinterpret_cast<sockaddr*>(&address), size);
    listen(listener_, 8);
    getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &size);
    port_ = ntohs(address.sin_port);
    thread_ = std::thread([this, response] {
      for (SOCKET c; (c = accept(listener_, nullptr, nullptr)) != INVALID_SOCKET;) {
        char request[4096];
        recv(c, request, sizeof request, 0);
        if (response.empty()) {
          silent_.push_back(c);
          continue;
        }
        send(c, response.data(), int(response.size()), 0);
        shutdown(c, SD_SEND);
        closesocket(c);
      }
    });
  }
  ~LoopbackServer() {
    closesocket(listener_);
    thread_.join();
    for (SOCKET c : silent_) closesocket(c);
    WSACleanup();
  }
  std::string Url(const char* path) const {
    return "http://127.0.0.1:" + std::to_string(port_) + path;
  }

 private:
  SOCKET listener_;
  int port_ = 0;
  std::thread thread_;
  std::vector<SOCKET> silent_;
};

std::string Response(const char* status, const std::string& body) {
  return std::string("HTTP/1.1 ") + status + "\r\nContent-Type: text/plain\r\nContent-Length: " +
         std::to_string(body.size()) + "\r\nConnection: close\r\n\r\n" + body;
}

TEST(WinInetHttpTest, BodiesStatusesAndSchemes) {
  const std::string gbk = Utf8ToGbk("[up1]1[up2]帮助信息");
  struct Case {
    const char* status;
    std::size_t max_bytes;
    const char* path;  // null: a file:// address instead
    bool ok;
  } cases[] = {
      {"200 OK", kHttpMaxBodyBytes, "/updata.txt", true},
      {"404 Not Found", kHttpMaxBodyBytes, "/updata.txt", false},
      {"500 Internal Server Error", kHttpMaxBodyBytes, "/updata.txt", false},
      {"200 OK", 10, "/updata.txt", false},
      {"200 OK", kHttpMaxBodyBytes, nullptr, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.status);
    LoopbackServer server(Response(c.status, gbk));
    WinInetHttp http(2000, 2000, c.max_bytes);
    const auto body = http.Fetch(c.path ? server.Url(c.path) : "file:///c:/windows/win.ini");
    ASSERT_EQ(body.has_value(), c.ok);
    if (c.ok) {
      EXPECT_EQ(BodyText(*body, false), "[up1]1[up2]帮助信息");
    }
  }
}

TEST(WinInetHttpTest, SilentServerIsBounded) {
  LoopbackServer server("");
  BoundedHttp http(std::make_shared<WinInetHttp>(), std::chrono::milliseconds(1500));
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(http.Fetch(server.Url("/updata.txt")), std::nullopt);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(4));
}

}  // namespace
}  // namespace lumora
