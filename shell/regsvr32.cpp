#include "shell/regsvr32.h"

#include <windows.h>

#include "shell/fault_injection.h"
#include "shell/paths.h"

Regsvr32Outcome RunRegsvr32(const std::string& systemFolder, const std::string& server, ServerRegistration what,
                            uint32_t timeoutMs) {
  if (systemFolder.empty()) return Regsvr32Outcome::kNotStarted;
  if (fault_injection::ShouldFail(server)) {
    SetLastError(ERROR_ACCESS_DENIED);
    return Regsvr32Outcome::kNotStarted;
  }
  const std::string program = JoinPath(systemFolder, "regsvr32.exe");
  std::string commandLine = "\"" + program + "\" /s " + (what == ServerRegistration::kUnregister ? "/u " : "") +
                            "\"" + server + "\"";
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_HIDE;
  PROCESS_INFORMATION process{};
  if (!CreateProcessA(program.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                      &process)) {
    return Regsvr32Outcome::kNotStarted;
  }
  const DWORD waited = WaitForSingleObject(process.hProcess, timeoutMs);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return waited == WAIT_OBJECT_0 ? Regsvr32Outcome::kFinished : Regsvr32Outcome::kTimedOut;
}
