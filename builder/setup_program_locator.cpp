#include "builder/setup_program_locator.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

#ifdef _WIN32
#include <windows.h>
#endif

namespace fs = std::filesystem;

namespace {

fs::path OwnExecutable() {
#ifdef _WIN32
  char path[MAX_PATH] = "";
  const DWORD length = ::GetModuleFileNameA(nullptr, path, MAX_PATH);
  return length > 0 && length < MAX_PATH ? fs::path(path) : fs::path();
#else
  std::error_code failure;
  const fs::path path = fs::read_symlink("/proc/self/exe", failure);
  return failure ? fs::path() : path;
#endif
}

}  // namespace

std::string DefaultSetupProgram() {
  if (const char* fromEnvironment = std::getenv("BRISKLAY_SETUP")) {
    if (*fromEnvironment != '\0') return fromEnvironment;
  }
  const fs::path own = OwnExecutable();
  if (own.empty()) return "";
  // Beside brisklay in a build tree; in an installed tree (bin/ and lib/brisklay/ of one
  // prefix, wherever that prefix was moved) relative to it.
  const fs::path candidates[] = {own.parent_path() / "setup.exe",
                                 own.parent_path().parent_path() / "lib" / "brisklay" / "setup.exe"};
  for (const fs::path& candidate : candidates) {
    std::error_code failure;
    if (fs::is_regular_file(candidate, failure)) return candidate.lexically_normal().u8string();
  }
  return "";
}
