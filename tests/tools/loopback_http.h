#pragma once
// A small HTTP server on 127.0.0.1 in the test's own process: it serves the
// bodies the test puts under their paths (404 for the rest) and counts the
// requests, or, when silent, accepts every connection and never answers.
#include <winsock2.h>
#include <windows.h>

#include <algorithm>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace lumora::test {

class LoopbackHttp {
 public:
  explicit LoopbackHttp(bool silent = false) {
    WSADATA wsa;
    WSAStartup(MAKEWORD(2, 2), &wsa);
    listener_ = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in address{AF_INET, 0, {}, {}};
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    int size = sizeof address;
    bind(listener_, reinterpret_cast<sockaddr*>(&address), size);
    listen(listener_, 16);
    getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &size);
    base_ = "http://127.0.0.1:" + std::to_string(ntohs(address.sin_port));
    thread_ = std::thread([this, silent] {
      for (SOCKET c; (c = accept(listener_, nullptr, nullptr)) != INVALID_SOCKET;) {
        if (silent) {  // counted under ""
          Answer("");
          silent_.push_back(c);
          continue;
        }
        std::string request(4096, '\0');
        request.resize(std::size_t(std::max(0, recv(c, request.data(), 4096, 0))));
        const std::size_t from = request.find(' ') + 1;  // "GET /path HTTP/1.1"
        const std::string response = Answer(request.substr(from, request.find(' ', from) - from));
        send(c, response.data(), int(response.size()), 0);
        shutdown(c, SD_SEND);
        closesocket(c);
      }
    });
  }
  ~LoopbackHttp() {
    closesocket(listener_);
    thread_.join();
    for (SOCKET c : silent_) closesocket(c);
    WSACleanup();
  }

  const std::string& Base() const { return base_; }
  void Put(const std::string& path, const std::string& body) {
    std::lock_guard lock(mutex_);
    files_[path] = body;
  }
  int Count(const std::string& path) {
    std::lock_guard lock(mutex_);
    return asked_[path];
  }

 private:
  std::string Answer(const std::string& path) {
    std::lock_guard lock(mutex_);
    ++asked_[path];
    const auto file = files_.find(path);
    const bool found = file != files_.end();
    const std::string body = found ? file->second : "";
    return std::string("HTTP/1.1 ") + (found ? "200 OK" : "404 Not Found") +
           "\r\nContent-Length: " + std::to_string(body.size()) + "\r\nConnection: close\r\n\r\n" +
           body;
  }

  SOCKET listener_;
  std::string base_;
  std::thread thread_;
  std::vector<SOCKET> silent_;  // the serving thread's only
  std::mutex mutex_;            // guards what follows
  std::map<std::string, std::string> files_;
  std::map<std::string, int> asked_;
};

}  // namespace lumora::test
