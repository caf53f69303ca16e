#include "uninstaller/self_removal.h"

#include <windows.h>

#include "shell/paths.h"

namespace {

// The image of an ended process can stay mapped for a moment.
constexpr int kDeleteAttempts = 50;
constexpr DWORD kDeleteRetryMs = 100;

std::string TempFolder() {
  char buffer[MAX_PATH] = {};
  const DWORD length = GetTempPathA(MAX_PATH, buffer);
  return length > 0 && length < MAX_PATH ? std::string(buffer, length) : std::string();
}

bool RemoveAtRestart(const std::string& uninstallerPath, const std::string& folder) {
  const bool scheduled = MoveFileExA(uninstallerPath.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT) != FALSE;
  // Removed at the restart only if it is empty by then.
  MoveFileExA(folder.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
  return scheduled;
}

bool StartCopy(const std::string& copyPath, const std::string& uninstallerPath, const std::string& folder,
               const std::string& workingFolder) {
  SECURITY_ATTRIBUTES inheritable{sizeof inheritable, nullptr, TRUE};
  HANDLE deleteOnClose = CreateFileA(copyPath.c_str(), DELETE, FILE_SHARE_READ | FILE_SHARE_DELETE, &inheritable,
                                     OPEN_EXISTING, FILE_FLAG_DELETE_ON_CLOSE, nullptr);
  if (deleteOnClose == INVALID_HANDLE_VALUE) return false;
  HANDLE self = nullptr;
  // The copy waits on it and checks that it is a process.
  const DWORD access = SYNCHRONIZE | PROCESS_QUERY_INFORMATION;
  if (!DuplicateHandle(GetCurrentProcess(), GetCurrentProcess(), GetCurrentProcess(), &self, access, TRUE, 0)) {
    CloseHandle(deleteOnClose);  // takes the copy away
    return false;
  }
  FinishArguments arguments;
  arguments.processHandle = reinterpret_cast<uintptr_t>(self);
  arguments.uninstallerPath = uninstallerPath;
  arguments.folder = folder;
  std::string commandLine = FinishCommandLine(copyPath, arguments);
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  const BOOL started = CreateProcessA(copyPath.c_str(), &commandLine[0], nullptr, nullptr, TRUE, 0, nullptr,
                                      workingFolder.c_str(), &startup, &process);
  // From here on the copy holds the only handles that matter.
  CloseHandle(self);
  CloseHandle(deleteOnClose);
  if (!started) return false;
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return true;
}

}  // namespace

SelfRemoval ArrangeSelfRemoval(const std::string& uninstallerPath, const std::string& folder) {
  const std::string temp = TempFolder();
  if (!temp.empty()) {
    const std::string copyPath = temp + "Uninstall-" + std::to_string(GetCurrentProcessId()) + ".exe";
    if (CopyFileA(uninstallerPath.c_str(), copyPath.c_str(), FALSE)) {
      if (StartCopy(copyPath, uninstallerPath, folder, WithoutTrailingBackslash(temp))) return SelfRemoval::kStarted;
      DeleteFileA(copyPath.c_str());
    }
  }
  return RemoveAtRestart(uninstallerPath, folder) ? SelfRemoval::kAtRestart : SelfRemoval::kImpossible;
}

int FinishSelfRemoval(const FinishArguments& arguments) {
  HANDLE uninstaller = reinterpret_cast<HANDLE>(arguments.processHandle);
  // Nothing but an uninstaller in the folder it serves is ever deleted here, and only
  // after a process handle really inherited from it has signalled its end.
  if (!SamePath(arguments.uninstallerPath, JoinPath(arguments.folder, "Uninstall.exe"))) return 1;
  if (WaitForSingleObject(uninstaller, INFINITE) != WAIT_OBJECT_0) return 1;
  DWORD exitCode = 0;
  const bool isProcess = GetExitCodeProcess(uninstaller, &exitCode) != FALSE;
  CloseHandle(uninstaller);
  if (!isProcess) return 1;
  bool deleted = false;
  for (int attempt = 0; attempt < kDeleteAttempts && !deleted; ++attempt) {
    deleted = DeleteFileA(arguments.uninstallerPath.c_str()) ||
              GetFileAttributesA(arguments.uninstallerPath.c_str()) == INVALID_FILE_ATTRIBUTES;
    if (!deleted) Sleep(kDeleteRetryMs);
  }
  RemoveDirectoryA(arguments.folder.c_str());
  if (!deleted) RemoveAtRestart(arguments.uninstallerPath, arguments.folder);
  return deleted ? 0 : 1;
}

void RemoveUninstallerAfterwards(const std::string& uninstallerPath, const std::string& folder, Leftovers* leftovers) {
  if (!SamePath(uninstallerPath, JoinPath(folder, "Uninstall.exe"))) return;
  switch (ArrangeSelfRemoval(uninstallerPath, folder)) {
    case SelfRemoval::kStarted:
      break;
    case SelfRemoval::kAtRestart:
      leftovers->Add(uninstallerPath, "removed at the next restart");
      break;
    case SelfRemoval::kImpossible:
      leftovers->Add(uninstallerPath, "couldn't be deleted");
      break;
  }
}
