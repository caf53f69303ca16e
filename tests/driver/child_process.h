#pragma once
// A program started by a test. The handle is kept so the test can wait for the exit code,
// and the destructor kills a process still running: a failed test must not leave a
// window behind for the next one to find.

#include <windows.h>

#include <optional>
#include <string>

#include "tests/driver/wait.h"

namespace driver {

class ChildProcess {
 public:
  ChildProcess() = default;
  ~ChildProcess();
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  // Starts `program` with exactly `commandLine` (which names the program itself, the way
  // the child reads it back from GetCommandLine) in `workingDir`; an empty `workingDir`
  // keeps the driver's own. False, with Error() telling why, when it could not start.
  bool Start(const std::string& program, const std::string& commandLine, const std::string& workingDir = "");

  bool IsRunning() const;
  DWORD Id() const { return info_.dwProcessId; }

  // The exit code once the process has ended within `timeout`; nothing while it runs on.
  std::optional<DWORD> WaitForExit(Millis timeout = kDefaultTimeout);

  // Ends the process if it still runs and waits for it to go. Safe to call twice.
  void Kill();

  const std::string& Error() const { return error_; }

 private:
  void CloseHandles();

  PROCESS_INFORMATION info_{};
  std::string error_;
};

// The command line a Windows shell would use: the program's path in double quotes, then,
// if there is an argument, one blank and the argument as it is.
std::string QuotedCommandLine(const std::string& program, const std::string& argument);

}  // namespace driver
