#pragma once
// The "big" output of console_tool, rebuilt by the tests to compare with.
#include <cstdio>
#include <string>

inline std::string BigOutput(int size) {
  std::string all;
  for (int i = 0; int(all.size()) < size; ++i) {
    char line[32];
    std::snprintf(line, sizeof(line), "line %05d ....\r\n", i);
    all += line;
  }
  all.resize(size);
  return all;
}
