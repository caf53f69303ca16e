#include "engine/machine_calls.h"

// After windows.h, which it needs.
#include <io.h>

#include <cerrno>

#include "shell/fault_injection.h"
#include "shell/private_folder.h"
#include "shell/restart_operations.h"

namespace machine {
namespace {

// What a planned failure reports: the commonest cause of a failing change.
bool Refused(const std::string& path, DWORD error = ERROR_ACCESS_DENIED) {
  if (!fault_injection::ShouldFail(path)) return false;
  SetLastError(error);
  errno = error == ERROR_DISK_FULL ? ENOSPC : EACCES;
  return true;
}

}  // namespace

bool CreateFolder(const std::string& path) {
  if (Refused(path)) return false;
  return CreateDirectoryA(path.c_str(), nullptr) != FALSE;
}

bool RemoveFolder(const std::string& path) {
  if (Refused(path)) return false;
  return RemoveDirectoryA(path.c_str()) != FALSE;
}

bool RemoveFile(const std::string& path) {
  if (Refused(path)) return false;
  return DeleteFileA(path.c_str()) != FALSE;
}

bool CopyOver(const std::string& from, const std::string& to) {
  if (Refused(to)) return false;
  return CopyFileA(from.c_str(), to.c_str(), FALSE) != FALSE;
}

bool MoveOver(const std::string& from, const std::string& to) {
  if (Refused(to)) return false;
  return MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_COPY_ALLOWED) != FALSE;
}

bool MoveAway(const std::string& from, const std::string& to) {
  if (Refused(from)) return false;
  return MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_COPY_ALLOWED) != FALSE;
}

bool SetAttributes(const std::string& path, DWORD attributes) {
  if (Refused(path)) return false;
  return SetFileAttributesA(path.c_str(), attributes) != FALSE;
}

bool SetTimes(HANDLE file, const std::string& path, const FILETIME& creation, const FILETIME& lastAccess,
              const FILETIME& lastWrite) {
  if (Refused(path)) return false;
  return SetFileTime(file, &creation, &lastAccess, &lastWrite) != FALSE;
}

bool ReplaceAtRestart(const std::string& replacement, const std::string& target) {
  if (Refused(target)) return false;
  return ScheduleReplacementAtRestart(replacement, target);
}

FILE* OpenStream(const std::string& path, const char* mode) {
  if (Refused(path)) return nullptr;
  return std::fopen(path.c_str(), mode);
}

FILE* CreateNewStream(const std::string& path) {
  if (Refused(path)) return nullptr;
  return CreateNewFile(path);
}

bool Write(FILE* stream, const std::string& path, const void* bytes, std::size_t size) {
  if (Refused(path, ERROR_DISK_FULL)) return false;
  return std::fwrite(bytes, 1, size, stream) == size;
}

bool Flush(FILE* stream, const std::string& path) {
  if (!Refused(path, ERROR_DISK_FULL)) return std::fflush(stream) == 0 && std::ferror(stream) == 0;
  // Half of what was pending reaches the file, as when the disk fills up in the middle.
  HANDLE handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(stream)));
  LARGE_INTEGER onDisk{};
  GetFileSizeEx(handle, &onDisk);
  const long long end = _ftelli64(stream);
  std::fflush(stream);
  if (end > onDisk.QuadPart) {
    LARGE_INTEGER cut;
    cut.QuadPart = onDisk.QuadPart + (end - onDisk.QuadPart) / 2;
    SetFilePointerEx(handle, cut, nullptr, FILE_BEGIN);
    SetEndOfFile(handle);
  }
  SetLastError(ERROR_DISK_FULL);
  return false;
}

bool Truncate(const std::string& path, uint64_t size) {
  if (Refused(path)) return false;
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                            nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  LARGE_INTEGER at;
  at.QuadPart = static_cast<LONGLONG>(size);
  const bool cut = SetFilePointerEx(file, at, nullptr, FILE_BEGIN) && SetEndOfFile(file);
  CloseHandle(file);
  return cut;
}

LONG CreateKey(HKEY root, const std::string& keyPath, const std::string& subKey, const char* className,
               HKEY* key) {
  if (Refused(keyPath)) return ERROR_ACCESS_DENIED;
  return RegCreateKeyExA(root, subKey.c_str(), 0, const_cast<char*>(className), REG_OPTION_NON_VOLATILE,
                         KEY_READ | KEY_WRITE, nullptr, key, nullptr);
}

LONG SetValue(HKEY key, const std::string& keyPath, const std::string& name, DWORD type, const void* data,
              DWORD size) {
  if (Refused(keyPath)) return ERROR_ACCESS_DENIED;
  return RegSetValueExA(key, name.c_str(), 0, type, static_cast<const BYTE*>(data), size);
}

LONG DeleteValue(HKEY key, const std::string& keyPath, const std::string& name) {
  if (Refused(keyPath)) return ERROR_ACCESS_DENIED;
  return RegDeleteValueA(key, name.c_str());
}

LONG DeleteKey(HKEY root, const std::string& keyPath, const std::string& subKey) {
  if (Refused(keyPath)) return ERROR_ACCESS_DENIED;
  return RegDeleteKeyA(root, subKey.c_str());
}

std::string KeyPath(HKEY root, const std::string& subKey) {
  const char* name = root == HKEY_CURRENT_USER     ? "HKCU"
                     : root == HKEY_LOCAL_MACHINE  ? "HKLM"
                     : root == HKEY_CLASSES_ROOT   ? "HKCR"
                     : root == HKEY_USERS          ? "HKU"
                     : root == HKEY_CURRENT_CONFIG ? "HKCC"
                                                   : "HK?";
  return std::string(name) + "\\" + subKey;
}

}  // namespace machine
