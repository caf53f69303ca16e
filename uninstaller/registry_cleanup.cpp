#include "uninstaller/registry_cleanup.h"

#include <algorithm>
#include <vector>

#include "shell/paths.h"

namespace {

constexpr char kUninstallRoot[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";

struct RootName {
  const char* name;
  HKEY key;
};

const RootName kRoots[] = {
    {"HKEY_CLASSES_ROOT", HKEY_CLASSES_ROOT}, {"HKEY_CURRENT_CONFIG", HKEY_CURRENT_CONFIG},
    {"HKEY_CURRENT_USER", HKEY_CURRENT_USER}, {"HKEY_LOCAL_MACHINE", HKEY_LOCAL_MACHINE},
    {"HKEY_USERS", HKEY_USERS},
};

// How many key names the path holds.
std::size_t KeyLevels(const std::string& subKey) { return subKey.empty() ? 0 : 1 + Depth(subKey); }

std::string ParentKey(const std::string& subKey) {
  const std::size_t last = subKey.find_last_of('\\');
  return last == std::string::npos ? std::string() : subKey.substr(0, last);
}

// `subKey` with every key below it. Written out: the system's own call for it is missing on
// the older Windows versions the uninstaller still starts on, and the shell's lies in a
// library the uninstaller does not import.
bool DeleteKeyTree(HKEY root, const std::string& subKey) {
  HKEY key;
  if (RegOpenKeyExA(root, subKey.c_str(), 0, KEY_READ, &key) == ERROR_SUCCESS) {
    std::vector<std::string> children;
    char name[256];
    for (DWORD index = 0;; ++index) {
      DWORD length = sizeof name;
      if (RegEnumKeyExA(key, index, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
      children.emplace_back(name, length);
    }
    RegCloseKey(key);
    for (const std::string& child : children) DeleteKeyTree(root, subKey + "\\" + child);
  }
  return RegDeleteKeyA(root, subKey.c_str()) == ERROR_SUCCESS;
}

// The text of a string value, or empty when it is absent or no string.
std::string ReadStringValue(HKEY root, const std::string& subKey, const char* valueName) {
  HKEY key;
  if (RegOpenKeyExA(root, subKey.c_str(), 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return std::string();
  char data[2048] = {};
  DWORD size = sizeof data - 1;
  DWORD type = 0;
  const LONG result = RegQueryValueExA(key, valueName, nullptr, &type, reinterpret_cast<BYTE*>(data), &size);
  RegCloseKey(key);
  if (result != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) return std::string();
  return std::string(data);
}

bool KeyExists(HKEY root, const std::string& subKey) {
  HKEY key;
  if (RegOpenKeyExA(root, subKey.c_str(), 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return false;
  RegCloseKey(key);
  return true;
}

}  // namespace

HKEY RootKeyFromName(const std::string& name) {
  for (const RootName& root : kRoots) {
    if (name == root.name) return root.key;
  }
  return nullptr;
}

bool DeleteRegistryValue(HKEY root, const std::string& subKey, const std::string& valueName) {
  HKEY key;
  LONG opened = RegOpenKeyExA(root, subKey.c_str(), 0, KEY_SET_VALUE, &key);
  if (opened == ERROR_FILE_NOT_FOUND) return true;
  if (opened != ERROR_SUCCESS) return false;
  const LONG deleted = RegDeleteValueA(key, valueName.c_str());
  RegCloseKey(key);
  return deleted == ERROR_SUCCESS || deleted == ERROR_FILE_NOT_FOUND;
}

bool IsEmptyKey(HKEY root, const std::string& subKey) {
  HKEY key;
  if (RegOpenKeyExA(root, subKey.c_str(), 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return false;
  DWORD subKeys = 0;
  DWORD values = 0;
  const LONG result = RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, &subKeys, nullptr, nullptr, &values, nullptr,
                                       nullptr, nullptr, nullptr);
  RegCloseKey(key);
  return result == ERROR_SUCCESS && subKeys == 0 && values == 0;
}

void RemoveEmptyKeys(HKEY root, const std::string& subKey) {
  const std::size_t lowest = root == HKEY_CLASSES_ROOT ? 1 : 2;
  for (std::string key = subKey; KeyLevels(key) >= lowest; key = ParentKey(key)) {
    if (!IsEmptyKey(root, key) || RegDeleteKeyA(root, key.c_str()) != ERROR_SUCCESS) return;
  }
}

bool UninstallStringNames(const std::string& uninstallString, const std::string& uninstallerPath) {
  std::string program = uninstallString;
  if (!program.empty() && program[0] == '"') {
    const std::size_t close = program.find('"', 1);
    program = program.substr(1, close == std::string::npos ? std::string::npos : close - 1);
  } else if (program.size() > uninstallerPath.size() && program[uninstallerPath.size()] == ' ') {
    // Unquoted: the program path itself may hold blanks, so only its known length counts.
    program.resize(uninstallerPath.size());
  }
  return !program.empty() && SamePath(program, uninstallerPath);
}

bool RemoveUninstallEntry(const std::string& productName, const std::string& uninstallerPath) {
  // An empty or composite name would lead to the list of every product, or into it.
  if (!IsPlainName(productName)) return true;
  const std::string key = std::string(kUninstallRoot) + "\\" + productName;
  if (!KeyExists(HKEY_LOCAL_MACHINE, key)) return true;
  if (!UninstallStringNames(ReadStringValue(HKEY_LOCAL_MACHINE, key, "UninstallString"), uninstallerPath)) {
    return true;
  }
  return DeleteKeyTree(HKEY_LOCAL_MACHINE, key);
}
