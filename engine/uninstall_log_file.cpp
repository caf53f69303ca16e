#include "engine/uninstall_log_file.h"

#include <windows.h>
#include <fcntl.h>
#include <io.h>

#include "engine/machine_calls.h"
#include "shell/fault_injection.h"

bool UninstallLogFile::Create(const std::string& path) {
  Close();
  path_ = path;
  wholeBytes_ = 0;
  return Open(false);
}

namespace {

// At most 32 records of at most 76 + 5 * 259 bytes are held: less than the stream's buffer,
// so nothing reaches the file but through Push.
constexpr int kRecordsPerPush = 32;
constexpr std::size_t kStreamBufferBytes = 64 * 1024;

}  // namespace

bool UninstallLogFile::AppendRecord(const std::function<bool(FILE*)>& write) {
  if (file_ == nullptr && (path_.empty() || !Open(true))) return false;
  if (!write(file_) || std::ferror(file_)) {
    CutBack();
    return false;
  }
  return ++heldRecords_ < kRecordsPerPush || Push();
}

bool UninstallLogFile::Push() {
  if (file_ == nullptr) return true;
  if (!machine::Flush(file_, path_)) {
    CutBack();
    return false;
  }
  heldRecords_ = 0;
  wholeBytes_ = SizeOnDisk();
  return true;
}

void UninstallLogFile::CutBack() {
  // Whatever part of a record reached the file would make the uninstaller refuse the whole
  // log: it goes, and the next record could only start on a fresh stream anyway.
  heldRecords_ = 0;
  Close();
  machine::Truncate(path_, wholeBytes_);
}

bool UninstallLogFile::Close() {
  if (file_ == nullptr) return true;
  heldRecords_ = 0;
  const bool closed = std::fclose(file_) == 0;
  file_ = nullptr;
  return closed;
}

uint64_t UninstallLogFile::SizeOnDisk() const {
  // Through the open handle: looking the file up by its path for every record cost more
  // than writing the record.
  LARGE_INTEGER size;
  HANDLE handle = file_ == nullptr ? INVALID_HANDLE_VALUE : reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(file_)));
  if (handle == INVALID_HANDLE_VALUE || !GetFileSizeEx(handle, &size)) return wholeBytes_;
  return static_cast<uint64_t>(size.QuadPart);
}

bool UninstallLogFile::Open(bool append) {
  if (fault_injection::ShouldFail(path_)) return false;
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
  file_ = _fdopen(descriptor, append ? "ab" : "wb");
  if (file_ == nullptr) _close(descriptor);
  if (file_ != nullptr) std::setvbuf(file_, nullptr, _IOFBF, kStreamBufferBytes);
  if (file_ != nullptr && append) wholeBytes_ = SizeOnDisk();
  return file_ != nullptr;
}
