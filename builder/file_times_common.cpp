#include "builder/file_times.h"

FileTime UnixTimeToFileTime(int64_t seconds, uint32_t nanoseconds) {
  constexpr int64_t kSecondsFrom1601To1970 = 11644473600LL;
  constexpr int64_t kTicksPerSecond = 10000000;
  FileTime result{0, 0};
  if (seconds < -kSecondsFrom1601To1970) return result;
  const uint64_t ticks = static_cast<uint64_t>(seconds + kSecondsFrom1601To1970) * kTicksPerSecond +
                         nanoseconds / 100;
  result.dwLowDateTime = static_cast<uint32_t>(ticks);
  result.dwHighDateTime = static_cast<uint32_t>(ticks >> 32);
  return result;
}
