#pragma once
// A picture of the whole screen as a bitmap file, so a person can look at what a test saw.

#include <string>

namespace e2e {

bool CaptureScreen(const std::string& bmpPath);

}  // namespace e2e
