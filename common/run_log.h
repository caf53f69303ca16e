#pragma once
// The plain-text log an administrator asks for with /log: one time-stamped line per
// event, written and flushed at once, so that a run killed half-way still leaves a log
// that tells how far it came. Lines may come from any thread. Lines written before the
// file is opened (the log's name may depend on what is read first) are held and written
// when it opens; a log that is never opened, or cannot be, costs nothing else.

#include <cstdio>
#include <mutex>
#include <string>
#include <vector>

class RunLog {
 public:
  RunLog() = default;
  RunLog(const RunLog&) = delete;
  RunLog& operator=(const RunLog&) = delete;
  ~RunLog();

  // Starts a new file at `path`; false when it cannot be made (the run goes on without).
  bool Open(const std::string& path);
  // Goes on in `file`, opened for writing by the caller; false when it is null.
  bool Open(FILE* file);
  bool IsOpen() const;
  // One event; line breaks inside it are written as " / " to keep one line per event.
  void Write(const std::string& event);
  // Once false, nothing is held for a file any more: no log was asked for.
  void Discard();

 private:
  void WriteLine(const std::string& line);

  mutable std::mutex mutex_;
  FILE* file_ = nullptr;
  bool wanted_ = true;
  std::vector<std::string> held_;
};

// "YYYY-MM-DD hh:mm:ss.mmm", local time.
std::string LogTimeStamp();
