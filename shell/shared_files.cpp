#include "shell/shared_files.h"

#include <windows.h>

#include "shell/fault_injection.h"
#include "shell/paths.h"

namespace {

// The key as the fault seam names keys.
const std::string kSharedDllsPath = std::string("HKLM\\") + kSharedDllsKey;

// Both sides of the installation run as 32-bit programs, so they see the same view of
// the registry. Only a writer creates the key when it is missing; a reader has nothing
// to read there.
class SharedDllsKey {
 public:
  explicit SharedDllsKey(REGSAM access) {
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSharedDllsKey, 0, access, &key_) == ERROR_SUCCESS) return;
    key_ = nullptr;
    if ((access & KEY_SET_VALUE) == 0 || fault_injection::ShouldFail(kSharedDllsPath)) return;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, kSharedDllsKey, 0, nullptr, REG_OPTION_NON_VOLATILE, access, nullptr,
                        &key_, nullptr) != ERROR_SUCCESS) {
      key_ = nullptr;
    }
  }
  ~SharedDllsKey() {
    if (key_ != nullptr) RegCloseKey(key_);
  }
  SharedDllsKey(const SharedDllsKey&) = delete;
  SharedDllsKey& operator=(const SharedDllsKey&) = delete;
  HKEY get() const { return key_; }

 private:
  HKEY key_ = nullptr;
};

std::optional<uint32_t> ReadCount(HKEY key, const std::string& path) {
  DWORD type = 0;
  DWORD value = 0;
  DWORD size = sizeof value;
  if (key == nullptr || RegQueryValueExA(key, path.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) !=
                            ERROR_SUCCESS ||
      type != REG_DWORD || size != sizeof value) {
    return std::nullopt;
  }
  return value;
}

bool WriteCount(HKEY key, const std::string& path, uint32_t count) {
  const DWORD value = count;
  if (key == nullptr) return false;
  if (fault_injection::ShouldFail(kSharedDllsPath)) {
    SetLastError(ERROR_ACCESS_DENIED);
    return false;
  }
  return RegSetValueExA(key, path.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value) ==
         ERROR_SUCCESS;
}

bool DeleteCount(HKEY key, const std::string& path) {
  if (key == nullptr) return false;
  if (fault_injection::ShouldFail(kSharedDllsPath)) {
    SetLastError(ERROR_ACCESS_DENIED);
    return false;
  }
  const LONG deleted = RegDeleteValueA(key, path.c_str());
  return deleted == ERROR_SUCCESS || deleted == ERROR_FILE_NOT_FOUND;
}

}  // namespace

bool IsInSharedFolder(const std::string& path, const std::string& windowsFolder, const std::string& systemFolder) {
  return (!systemFolder.empty() && IsInside(path, systemFolder)) ||
         (!windowsFolder.empty() && IsInside(path, windowsFolder));
}

std::optional<uint32_t> SharedFileCount(const std::string& path) {
  SharedDllsKey key(KEY_QUERY_VALUE);
  return ReadCount(key.get(), path);
}

bool AddSharedFileUser(const std::string& path, bool existedBefore, SharedFileCountChange* change) {
  SharedDllsKey key(KEY_QUERY_VALUE | KEY_SET_VALUE);
  change->path = path;
  change->before = ReadCount(key.get(), path);
  const uint32_t users = change->before ? *change->before : (existedBefore ? 1u : 0u);
  return WriteCount(key.get(), path, users + 1);
}

bool UndoSharedFileCountChange(const SharedFileCountChange& change) {
  SharedDllsKey key(KEY_SET_VALUE);
  return change.before ? WriteCount(key.get(), change.path, *change.before) : DeleteCount(key.get(), change.path);
}

SharedFileRelease ReleaseSharedFile(const std::string& path) {
  SharedDllsKey key(KEY_QUERY_VALUE | KEY_SET_VALUE);
  const std::optional<uint32_t> count = ReadCount(key.get(), path);
  if (!count) return SharedFileRelease::kNotCounted;
  if (*count > 1) {
    return WriteCount(key.get(), path, *count - 1) ? SharedFileRelease::kStillUsed : SharedFileRelease::kNotWritten;
  }
  return DeleteCount(key.get(), path) ? SharedFileRelease::kLastUser : SharedFileRelease::kNotWritten;
}
