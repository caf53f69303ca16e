#include "shell/installed_product.h"

#include <windows.h>

namespace {

const char kUninstallKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";

// A REG_SZ value of any length; none when it is missing or of another type.
std::optional<std::string> ReadText(HKEY key, const char* name) {
  DWORD type = 0, size = 0;
  if (::RegQueryValueExA(key, name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS || type != REG_SZ) {
    return std::nullopt;
  }
  std::string text(size + 1, '\0');
  if (::RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&text[0]), &size) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  text.resize(text.find('\0') == std::string::npos ? size : text.find('\0'));
  return text;
}

bool FileExists(const std::string& path) {
  const DWORD attributes = ::GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

}  // namespace

std::string FolderFromUninstallString(const std::string& command) {
  if (!command.empty() && command[0] == '"') {
    const std::size_t close = command.find('"', 1);
    if (close == std::string::npos || close + 2 > command.size()) return "";
    return command.substr(close + 2);
  }
  const std::size_t first = command.find(':');
  const std::size_t second = first == std::string::npos ? first : command.find(':', first + 1);
  if (second == std::string::npos || second == 0) return "";
  return command.substr(second - 1);
}

std::optional<InstalledProduct> FindInstalledProduct(const std::string& productName) {
  HKEY key = nullptr;
  const std::string path = kUninstallKey + productName;
  if (productName.empty() || ::RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  InstalledProduct product;
  if (std::optional<std::string> command = ReadText(key, "UninstallString")) {
    product.folder = FolderFromUninstallString(*command);
  }
  if (std::optional<std::string> version = ReadText(key, "DisplayVersion")) {
    product.versionText = *version;
    ProductVersion parsed;
    if (ParseProductVersion(*version, &parsed)) product.version = parsed;
  }
  ::RegCloseKey(key);
  product.hasUninstallLog = !product.folder.empty() && FileExists(product.folder + "\\Uninstall.log");
  return product;
}
