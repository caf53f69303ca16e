#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstring>

#include "builder/file_times.h"

namespace {

FileTime FromStatx(const struct statx_timestamp& stamp) {
  return UnixTimeToFileTime(stamp.tv_sec, stamp.tv_nsec);
}

}  // namespace

bool ReadSourceTimes(const std::filesystem::path& path, SourceTimes* times, std::string* error) {
  struct statx info {};
  const unsigned wanted = STATX_ATIME | STATX_MTIME | STATX_BTIME;
  if (statx(AT_FDCWD, path.c_str(), 0, wanted, &info) != 0) {
    *error = std::string("its time stamps cannot be read: ") + std::strerror(errno);
    return false;
  }
  times->lastWrite = FromStatx(info.stx_mtime);
  times->lastAccess = FromStatx(info.stx_atime);
  times->creation = (info.stx_mask & STATX_BTIME) != 0 ? FromStatx(info.stx_btime) : times->lastWrite;
  return true;
}
