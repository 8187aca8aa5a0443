// A console program with known output, for the command runner tests:
//   silent | big N | split | stderr | zero | exit259 | console | sleep MS PIDFILE
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "big_output.h"

namespace {

void Put(DWORD which, const std::string& bytes) {
  DWORD wrote = 0;
  WriteFile(GetStdHandle(which), bytes.data(), DWORD(bytes.size()), &wrote, nullptr);
}

}  // namespace

int main(int argc, char** argv) {
  const std::string mode = argc > 1 ? argv[1] : "silent";
  if (mode == "big") {
    const int size = argc > 2 ? std::atoi(argv[2]) : 5000;
    const std::string all = BigOutput(size);
    // Several writes of odd sizes, so the reader sees many chunk borders.
    for (std::size_t at = 0; at < all.size(); at += 777) Put(STD_OUTPUT_HANDLE, all.substr(at, 777));
  } else if (mode == "split") {
    // 1022 bytes, then a GBK double-byte character across the 1023-byte read.
    Put(STD_OUTPUT_HANDLE, std::string(1022, 'a') + "\xD6\xD0" + "b");
  } else if (mode == "stderr") {
    Put(STD_OUTPUT_HANDLE, "out;");
    Sleep(50);
    Put(STD_ERROR_HANDLE, "err;");
  } else if (mode == "zero") {
    Put(STD_OUTPUT_HANDLE, std::string("abc\0def", 7));
    Sleep(400);
    Put(STD_OUTPUT_HANDLE, "ghi");
  } else if (mode == "exit259") {
    Put(STD_OUTPUT_HANDLE, "259");
    return 259;  // the value of STILL_ACTIVE
  } else if (mode == "console") {
    HWND console = GetConsoleWindow();
    Put(STD_OUTPUT_HANDLE, !console                  ? "window=none"
                           : IsWindowVisible(console) ? "window=visible"
                                                      : "window=hidden");
  } else if (mode == "sleep") {
    if (argc > 3) {
      FILE* f = std::fopen(argv[3], "w");
      if (f) {
        std::fprintf(f, "%lu", GetCurrentProcessId());
        std::fclose(f);
      }
    }
    Put(STD_OUTPUT_HANDLE, "sleeping");
    Sleep(argc > 2 ? std::atoi(argv[2]) : 60000);
  }
  return 0;
}
