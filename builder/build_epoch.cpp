#include "builder/build_epoch.h"

#include "builder/file_times.h"

namespace {

constexpr int64_t kLatestEpoch = 0xFFFFFFFFLL;  // the last second a PE time stamp can hold

uint64_t Ticks(const FileTime& time) { return (uint64_t{time.dwHighDateTime} << 32) | time.dwLowDateTime; }

}  // namespace

bool ParseBuildEpoch(const std::string& text, BuildEpoch* epoch, std::string* error) {
  *epoch = BuildEpoch();
  if (text.empty()) return true;
  if (text.size() > 10 || text.find_first_not_of("0123456789") != std::string::npos ||
      std::stoll(text) > kLatestEpoch) {
    *error = "SOURCE_DATE_EPOCH must be a number of seconds since 1970 (at most " + std::to_string(kLatestEpoch) +
             "), not \"" + text + "\"";
    return false;
  }
  epoch->set = true;
  epoch->seconds = std::stoll(text);
  return true;
}

void ClampFileTime(const BuildEpoch& epoch, FileTime* time) {
  if (!epoch.set) return;
  const FileTime latest = UnixTimeToFileTime(epoch.seconds, 0);
  if (Ticks(*time) > Ticks(latest)) *time = latest;
}

uint32_t ClampUnixTime(const BuildEpoch& epoch, uint32_t seconds) {
  if (!epoch.set || seconds <= epoch.seconds) return seconds;
  return static_cast<uint32_t>(epoch.seconds);
}
