#include "tests/e2e/wine_version.h"

#include <windows.h>

namespace e2e {

namespace {

constexpr char kAppKey[] = "Software\\Wine\\AppDefaults\\setup.exe";
constexpr char kValue[] = "Version";

std::optional<std::string> ReadVersion(HKEY key) {
  char buffer[64] = {};
  DWORD size = sizeof buffer - 1;
  DWORD type = 0;
  if (RegQueryValueExA(key, kValue, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size) != ERROR_SUCCESS ||
      type != REG_SZ) {
    return std::nullopt;
  }
  return std::string(buffer);
}

bool WriteVersion(HKEY key, const std::string& version) {
  return RegSetValueExA(key, kValue, 0, REG_SZ, reinterpret_cast<const BYTE*>(version.c_str()),
                        static_cast<DWORD>(version.size() + 1)) == ERROR_SUCCESS;
}

}  // namespace

ReportedWindowsVersion::ReportedWindowsVersion(const std::string& version) {
  HKEY key = nullptr;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, kAppKey, 0, nullptr, 0, KEY_READ | KEY_WRITE, nullptr, &key, nullptr) !=
      ERROR_SUCCESS) {
    return;
  }
  previous_ = ReadVersion(key);
  applied_ = WriteVersion(key, version);
  RegCloseKey(key);
}

ReportedWindowsVersion::~ReportedWindowsVersion() {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, kAppKey, 0, KEY_WRITE, &key) != ERROR_SUCCESS) return;
  if (previous_) {
    WriteVersion(key, *previous_);
  } else {
    RegDeleteValueA(key, kValue);
  }
  RegCloseKey(key);
}

}  // namespace e2e
