#include "engine/uninstall_log_file.h"

#include <windows.h>
#include <fcntl.h>
#include <io.h>

bool UninstallLogFile::Create(const std::string& path) {
  Close();
  path_ = path;
  return Open("wb");
}

FILE* UninstallLogFile::ForAppend() {
  if (file_ == nullptr && !path_.empty()) Open("ab");
  return file_;
}

bool UninstallLogFile::Flush() {
  if (file_ == nullptr) return false;
  if (std::fflush(file_) == 0 && std::ferror(file_) == 0) return true;
  Close();
  return false;
}

bool UninstallLogFile::Close() {
  if (file_ == nullptr) return true;
  const bool closed = std::fclose(file_) == 0;
  file_ = nullptr;
  return closed;
}

bool UninstallLogFile::Open(const char* mode) {
  const bool append = mode[0] == 'a';
  // Shared for deleting as well, so a clean-up that removes the log while it is still
  // open is not refused.
  HANDLE handle = CreateFileA(path_.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, append ? OPEN_ALWAYS : CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return false;
  const int descriptor = _open_osfhandle(reinterpret_cast<intptr_t>(handle), _O_BINARY | (append ? _O_APPEND : 0));
  if (descriptor == -1) {
    CloseHandle(handle);
    return false;
  }
  file_ = _fdopen(descriptor, mode);
  if (file_ == nullptr) _close(descriptor);
  return file_ != nullptr;
}
