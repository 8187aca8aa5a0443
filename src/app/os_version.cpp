#include "app/os_version.h"

#include <cmath>

namespace lumora {

OsCode OsVersionCode(OsVersion v) {
  const double value = v.major + v.minor / 10.0;
  const struct {
    double version;
    OsCode code;
  } known[] = {{5.0, OsCode::kWindows2000}, {5.1, OsCode::kWindowsXp},
               {5.2, OsCode::kWindows2003}, {6.0, OsCode::kWindowsVista},
               {6.1, OsCode::kWindows7},    {6.2, OsCode::kWindows8}};
  for (const auto& k : known)
    if (std::fabs(value - k.version) < 1e-7) return k.code;
  return OsCode::kOther;
}

}  // namespace lumora
