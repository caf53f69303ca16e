#pragma once
// Paths handed over from the build (CMake knows the host's paths) reach a program under
// Wine, which sees the host's root as drive Z:.

#include <string>

namespace driver {

// "/a/b.exe" becomes "Z:\a\b.exe"; a path that already is a Windows path is kept.
std::string WindowsPathFromHost(const std::string& path);

}  // namespace driver
