#pragma once
#include <string>

namespace lumora::e2e {

// Saves the whole screen as a 24-bit BMP; false when it could not be written.
bool SaveScreenshot(const std::string& bmp_path);

// Where the end-to-end tests put their pictures (LUMORA_SHOTS, a Windows
// path), with `name` + ".bmp"; empty when the variable is not set.
std::string ShotPath(const std::string& name);

// Saves the screen as `name` in that folder, when it is set; true when saved
// (or nothing was asked for).
bool Shot(const std::string& name);

}  // namespace lumora::e2e
