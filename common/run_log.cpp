#include "common/run_log.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <ctime>
#endif

namespace {

std::string OneLine(const std::string& event) {
  std::string line;
  line.reserve(event.size());
  bool pendingBreak = false;  // a CR LF pair, or a run of breaks, is one separator
  for (const char c : event) {
    if (c == '\r' || c == '\n') {
      pendingBreak = !line.empty();
      continue;
    }
    if (pendingBreak) line += " / ";
    pendingBreak = false;
    line += c;
  }
  return line;
}

}  // namespace

RunLog::~RunLog() {
  if (file_) std::fclose(file_);
}

bool RunLog::Open(const std::string& path) { return Open(std::fopen(path.c_str(), "wb")); }

bool RunLog::Open(FILE* file) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (file_) std::fclose(file_);
  file_ = file;
  if (!file_) return false;
  for (const std::string& line : held_) WriteLine(line);
  held_.clear();
  return true;
}

bool RunLog::IsOpen() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return file_ != nullptr;
}

void RunLog::Discard() {
  std::lock_guard<std::mutex> lock(mutex_);
  wanted_ = false;
  held_.clear();
}

void RunLog::Write(const std::string& event) {
  std::lock_guard<std::mutex> lock(mutex_);
  // A run without a log writes a few lines for every file it installs.
  if (file_ == nullptr && !wanted_) return;
  const std::string line = LogTimeStamp() + "  " + OneLine(event) + "\r\n";
  if (file_) {
    WriteLine(line);
  } else if (wanted_) {
    held_.push_back(line);
  }
}

void RunLog::WriteLine(const std::string& line) {
  std::fwrite(line.data(), 1, line.size(), file_);
  std::fflush(file_);
}

std::string LogTimeStamp() {
  char text[32];
#ifdef _WIN32
  SYSTEMTIME now;
  GetLocalTime(&now);
  std::snprintf(text, sizeof text, "%04u-%02u-%02u %02u:%02u:%02u.%03u", now.wYear, now.wMonth, now.wDay, now.wHour,
                now.wMinute, now.wSecond, now.wMilliseconds);
#else
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S.000", &local);
#endif
  return text;
}
