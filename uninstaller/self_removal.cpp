#include "uninstaller/self_removal.h"

#include <windows.h>

#include "shell/paths.h"
#include "shell/private_folder.h"
#include "shell/system_libraries.h"

namespace {

// The image of an ended process can stay mapped for a moment.
constexpr int kDeleteAttempts = 50;
constexpr DWORD kDeleteRetryMs = 100;

bool RemoveAtRestart(const std::string& uninstallerPath, const std::string& folder) {
  const bool scheduled = MoveFileExA(uninstallerPath.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT) != FALSE;
  // Removed at the restart only if it is empty by then.
  MoveFileExA(folder.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
  return scheduled;
}

// FILE_RENAME_INFO with room for a path: the headers offer it only for newer Windows
// versions than the uninstaller starts on, where the call is missing as well.
struct RenameInformation {
  BOOL replaceIfExists;
  HANDLE rootDirectory;
  DWORD fileNameLength;
  WCHAR fileName[MAX_PATH];
};
constexpr int kFileRenameInfo = 3;
using SetInformationFunction = BOOL(WINAPI*)(HANDLE, int, LPVOID, DWORD);

bool RenameOpenFile(HANDLE file, const std::string& path) {
  const auto setInformation =
      reinterpret_cast<SetInformationFunction>(KernelFunction("SetFileInformationByHandle"));
  if (setInformation == nullptr) return false;
  RenameInformation rename{};
  const int units = MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, rename.fileName, MAX_PATH);
  if (units <= 1) return false;
  rename.fileNameLength = static_cast<DWORD>((units - 1) * sizeof(WCHAR));
  return setInformation(file, kFileRenameInfo, &rename, sizeof rename) != FALSE;
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
  arguments.copyHandle = reinterpret_cast<uintptr_t>(deleteOnClose);
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
  // The copy runs elevated from a folder of its own: nothing a program of the user put in
  // the temporary folder lies beside it, and nobody can swap its file before it starts.
  PrivateFolder copyFolder;
  const std::string temp = UserTempFolder();
  if (copyFolder.Create(temp)) {
    const std::string copyPath = copyFolder.PathOf("Uninstall.exe");
    if (CopyFileA(uninstallerPath.c_str(), copyPath.c_str(), TRUE) &&
        StartCopy(copyPath, uninstallerPath, folder, WithoutTrailingBackslash(temp))) {
      // The running copy holds its folder in place now, and takes it away at its end.
      copyFolder.Keep();
      return SelfRemoval::kStarted;
    }
  }
  return RemoveAtRestart(uninstallerPath, folder) ? SelfRemoval::kAtRestart : SelfRemoval::kImpossible;
}

namespace {

// The copy's folder cannot go while the copy's file is in it, and that file cannot go while
// the copy runs: nothing of ours runs after the copy. A running program's file may be
// renamed, though. Renamed through the handle that deletes it on close (so that the system
// deletes it under its new name), it moves out into the temporary folder, and the empty
// folder goes now. Where that fails, the folder goes at the next restart. Only a copy in a
// folder of its own does this, never an uninstaller started from anywhere else.
void LeaveOwnFolder(HANDLE deleteOnClose) {
  char own[MAX_PATH] = {};
  const DWORD length = GetModuleFileNameA(nullptr, own, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return;
  const std::string folder = ParentFolder(own);
  if (!IsPrivateFolder(folder)) return;
  const std::string name = UnguessableName();
  const bool moved = !name.empty() && deleteOnClose != nullptr &&
                     RenameOpenFile(deleteOnClose, UserTempFolder() + "Brisklay-" + name + ".tmp");
  if (!moved || !RemoveDirectoryA(folder.c_str())) MoveFileExA(folder.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
}

// The uninstaller's file, deleted, may keep its name for a moment while the system lets go
// of it (the image of the process that ended, a scanner's handle): the folder is not empty
// until then. A folder that holds anything else stays, as the user left it.
bool HoldsOnly(const std::string& folder, const std::string& name) {
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA(JoinPath(folder, "*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return false;
  bool only = true;
  do {
    const std::string entry = found.cFileName;
    if (entry != "." && entry != ".." && lstrcmpiA(entry.c_str(), name.c_str()) != 0) only = false;
  } while (only && FindNextFileA(search, &found));
  FindClose(search);
  return only;
}

void RemoveFolderOnceEmpty(const std::string& folder, const std::string& uninstallerPath) {
  const std::string name = uninstallerPath.substr(uninstallerPath.find_last_of('\\') + 1);
  for (int attempt = 0; attempt < kDeleteAttempts; ++attempt) {
    if (RemoveDirectoryA(folder.c_str()) || GetFileAttributesA(folder.c_str()) == INVALID_FILE_ATTRIBUTES) return;
    if (!HoldsOnly(folder, name)) return;
    Sleep(kDeleteRetryMs);
  }
  MoveFileExA(folder.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
}

int FinishRemoval(const FinishArguments& arguments) {
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
  if (!deleted) {
    RemoveDirectoryA(arguments.folder.c_str());
    RemoveAtRestart(arguments.uninstallerPath, arguments.folder);
    return 1;
  }
  RemoveFolderOnceEmpty(arguments.folder, arguments.uninstallerPath);
  return 0;
}

}  // namespace

int FinishSelfRemoval(const FinishArguments& arguments) {
  const int exitCode = FinishRemoval(arguments);
  LeaveOwnFolder(reinterpret_cast<HANDLE>(arguments.copyHandle));
  return exitCode;
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
