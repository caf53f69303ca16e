#include "tests/driver/child_process.h"

#include <vector>

namespace driver {

namespace {

constexpr DWORD kKilledExitCode = 0xDEAD;
constexpr DWORD kKillWaitMs = 5000;

}  // namespace

ChildProcess::~ChildProcess() { Kill(); }

bool ChildProcess::Start(const std::string& program, const std::string& commandLine,
                         const std::string& workingDir) {
  Kill();
  error_.clear();
  // CreateProcessA may write into the command line, so it gets a private copy.
  std::vector<char> line(commandLine.begin(), commandLine.end());
  line.push_back('\0');
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  const char* dir = workingDir.empty() ? nullptr : workingDir.c_str();
  if (!CreateProcessA(program.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, dir, &startup,
                      &info_)) {
    error_ = "CreateProcessA failed for " + program + " (error " + std::to_string(GetLastError()) + ")";
    info_ = PROCESS_INFORMATION{};
    return false;
  }
  return true;
}

bool ChildProcess::IsRunning() const {
  return info_.hProcess != nullptr && WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT;
}

std::optional<DWORD> ChildProcess::WaitForExit(Millis timeout) {
  if (info_.hProcess == nullptr) return std::nullopt;
  if (WaitForSingleObject(info_.hProcess, static_cast<DWORD>(timeout.count())) != WAIT_OBJECT_0) {
    return std::nullopt;
  }
  DWORD code = 0;
  if (!GetExitCodeProcess(info_.hProcess, &code)) return std::nullopt;
  return code;
}

void ChildProcess::Kill() {
  if (info_.hProcess == nullptr) return;
  if (IsRunning()) {
    TerminateProcess(info_.hProcess, kKilledExitCode);
    WaitForSingleObject(info_.hProcess, kKillWaitMs);
  }
  CloseHandles();
}

void ChildProcess::CloseHandles() {
  if (info_.hThread != nullptr) CloseHandle(info_.hThread);
  if (info_.hProcess != nullptr) CloseHandle(info_.hProcess);
  info_ = PROCESS_INFORMATION{};
}

std::string QuotedCommandLine(const std::string& program, const std::string& argument) {
  std::string line = "\"" + program + "\"";
  if (!argument.empty()) line += " " + argument;
  return line;
}

}  // namespace driver
