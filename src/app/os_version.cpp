#include "app/os_version.h"

#include <cmath>

namespace lumora {

int OsVersionCode(OsVersion v) {
  const double value = v.major + v.minor / 10.0;
  const struct {
    double version;
    int code;
  } known[] = {{5.0, 1}, {5.1, 2}, {5.2, 3}, {6.0, 4}, {6.1, 5}, {6.2, 6}};
  for (const auto& k : known)
    if (std::fabs(value - k.version) < 1e-7) return k.code;
  return -1;
}

}  // namespace lumora
