// The test prefix's browser stand-in: what the shell opens is recorded, so
// the program's web links can be checked without a browser or a network.
#include <gtest/gtest.h>
#include <windows.h>

#include <shellapi.h>

#include <fstream>
#include <sstream>

#include "app_driver.h"

namespace lumora::e2e {
namespace {

constexpr char kLog[] = "c:\\lumora-standins\\opened.log";

std::string Opened() {
  std::ifstream in(kLog, std::ios::binary);
  std::stringstream all;
  all << in.rdbuf();
  return all.str();
}

TEST(OpenRecorder, ShellOpenOfWebAddressesIsRecorded) {
  DeleteFileA(kLog);
  const wchar_t* addresses[] = {L"http://127.0.0.1:9/upwifi/tongji.html?v=5.1",
                                L"https://127.0.0.1:9/%E4%B8%AD"};
  for (const wchar_t* address : addresses)
    EXPECT_GT(reinterpret_cast<INT_PTR>(
                  ShellExecuteW(nullptr, L"open", address, nullptr, nullptr, SW_SHOWNORMAL)),
              32);
  // The shell starts the recorder and does not wait for it.
  EXPECT_TRUE(WaitUntil(
      [] {
        const std::string log = Opened();
        return log.find("http://127.0.0.1:9/upwifi/tongji.html?v=5.1\r\n") != std::string::npos &&
               log.find("https://127.0.0.1:9/%E4%B8%AD\r\n") != std::string::npos;
      },
      10000))
      << Opened();
}

}  // namespace
}  // namespace lumora::e2e
