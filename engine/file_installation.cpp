// One folder or file entry of the data file: path, replace question, log record, content,
// time stamps, COM registration, shortcuts and the finish page's lists.

#include <windows.h>
// After windows.h, which it needs.
#include <io.h>
#include <tlhelp32.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <memory>
#include <new>

#include "engine/install_engine.h"
#include "engine/uninstall_log_merge.h"
#include "formats/uninstall_log.h"
#include "shell/regsvr32.h"

namespace {

std::string Lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
  return text;
}

std::string Upper(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::toupper(c); });
  return text;
}

bool IsLibraryExtension(const std::string& extension) {
  std::string lower = Lower(extension);
  return lower == "dll" || lower == "ocx";
}

bool IsRegularFile(const std::string& path) {
  DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

FILETIME ToFiletime(const FileTime& time) {
  FILETIME result;
  result.dwLowDateTime = time.dwLowDateTime;
  result.dwHighDateTime = time.dwHighDateTime;
  return result;
}

struct FileCloser {
  void operator()(FILE* file) const { std::fclose(file); }
};

// The layout DllGetVersion fills.
struct LibraryVersionInfo {
  DWORD cbSize;
  DWORD dwMajorVersion;
  DWORD dwMinorVersion;
  DWORD dwBuildNumber;
  DWORD dwPlatformID;
};
using DllGetVersionProc = HRESULT(CALLBACK*)(LibraryVersionInfo*);

}  // namespace

bool InstallEngine::InstallEntry(FILE* dataFile) {
  FileEntry entry;
  if (!ReadFileEntry(&entry, dataFile)) {
    ReportError("Couldn't read decompressed data file!");
    abort_ = 1;
    return false;
  }
  const std::string name = BufferText(entry.Name);
  const std::string extension = BufferText(entry.Extension);
  SetStatus("Writing: " + name + "." + extension + "...");

  // A path that would not fit once expanded is as unusable as an empty one.
  if (entry.TargetPath[0] == '\0' || !ExpandPathMacros(entry.TargetPath, sizeof entry.TargetPath)) {
    ReportError("Invalid file path in decompressed data file!");
    abort_ = 1;
    return false;
  }
  const std::string target = entry.TargetPath;
  const bool isFolder = IsFolderEntry(entry.Extension);

  if (!isFolder && IsLibraryExtension(extension) && FileExists(target)) {
    DWORD major = 0, minor = 0, build = 0;
    if (!GetLibraryVersion(target, &major, &minor, &build)) Warn("Couldn't get library version: " + target);
    char question[MAX_PATH + 160];
    std::snprintf(question, sizeof question,
                  "File \"%s\" already exists and has the version number %lu.%lu, build no %lu.\n"
                  "Replace existing file?",
                  target.c_str(), static_cast<unsigned long>(major), static_cast<unsigned long>(minor),
                  static_cast<unsigned long>(build));
    if (!host_->Confirm(question)) {
      return SkipContent(dataFile, entry.SizeLow);
    }
  }
  // Kept before the record is logged: a cancel noticed right after logging makes the
  // rollback deal with this path, and it must find the old content to put back.
  if (!isFolder && !KeepBackupOfExistingFile(target)) return false;

  AppendFileInfo(entry);
  if (abort_) return false;

  const bool startMenu = entry.StartMenuShortcut != 0 && startMenuOption_;
  const bool desktop = entry.DesktopShortcut != 0 && desktopOption_;
  const bool startup = entry.StartupShortcut != 0;
  auto makeShortcuts = [&]() {
    if (!startMenu && !desktop && !startup) return true;
    std::string shortcutName = BufferText(entry.ShortcutName);
    std::string description = BufferText(entry.ShortcutDescription);
    return CreateShortcut(name, target, &shortcutName, &description, startMenu, desktop, startup);
  };

  if (isFolder) {
    CreateFolders(target, false);
    return makeShortcuts();
  }

  if (Lower(extension) == "exe") CloseRunningProgram(name);
  CreateParentFolders(target);
  const bool shared = IsInSharedFolder(target, windowsFolder_, systemFolder_);
  const bool existedBefore = shared && FileExists(target);
  if (!WriteContent(target, dataFile, entry)) return false;
  if (shared) CountSharedFileUser(target, existedBefore);

  if (entry.RegisterServer != 0 &&
      RunRegsvr32(systemFolder_, target, ServerRegistration::kRegister) == Regsvr32Outcome::kNotStarted) {
    Warn("Couldn't register file!");
  }

  if (!makeShortcuts()) return false;

  if (entry.RunAtFinish != 0) {
    std::string line = name + "." + extension + " - " + target + "\r\n";
    (Lower(extension) == "exe" ? runList_ : openList_) += line;
  }
  return true;
}

void InstallEngine::CountSharedFileUser(const std::string& target, bool existedBefore) {
  // An earlier installation of this product into this folder counted it already, and its
  // log merges with this one: a second count would outlive every removal.
  if (existedBefore && EarlierInstallationLogged(target)) return;
  SharedFileCountChange change;
  // A count that cannot be written leaves the file uncounted, which the uninstaller takes
  // as its own to remove: say so, but the installation itself stands.
  if (!AddSharedFileUser(target, existedBefore, &change)) Warn("Couldn't count the shared file: " + target);
  sharedCountChanges_.push_back(change);
}

bool InstallEngine::EarlierInstallationLogged(const std::string& target) {
  if (!earlierTargets_) {
    earlierTargets_.emplace();
    UninstallLog earlier;
    FILE* file = std::fopen((destination_ + "\\Uninstall.log").c_str(), "rb");
    if (file != nullptr) {
      UninstallLogHeader ours{};
      SetBufferText(ours.cName, productName_);
      if (ReadUninstallLog(&earlier, file, nullptr) && IsSameProduct(earlier.Header, ours)) {
        for (const FileEntry& record : earlier.Files) earlierTargets_->insert(Lower(BufferText(record.TargetPath)));
      }
      std::fclose(file);
    }
  }
  return earlierTargets_->count(Lower(target)) != 0;
}

void InstallEngine::CreateParentFolders(const std::string& target) {
  // Files come folder by folder; asking the system about every folder along the path again
  // for each file costs a fair part of writing a small one.
  const std::string parent = target.substr(0, target.rfind('\\'));
  if (lastParentFolder_ == parent) return;
  lastParentFolder_ = CreateFolders(target, true) ? parent : std::string();
}

bool InstallEngine::KeepBackupOfExistingFile(const std::string& target) {
  if (!IsRegularFile(target)) {
    backups_.NoteNew(target);
    return true;
  }
  if (backups_.Folder().empty()) backups_.SetFolder(TempFolder() + productName_ + ".backup");
  if (backups_.Keep(target)) return true;
  ReportError("Couldn't keep a copy of the existing file:\n" + target);
  abort_ = 1;
  return false;
}

bool InstallEngine::WriteContent(const std::string& target, FILE* dataFile, const FileEntry& entry) {
  std::unique_ptr<FILE, FileCloser> out(std::fopen(target.c_str(), "wb"));
  if (!out) {
    ReportError("Couldn't create file!");
    abort_ = 1;
    return false;
  }
  auto failWrite = [&]() {
    ReportError("Couldn't write file:\n" + target);
    abort_ = 1;
    return false;
  };
  char* buffer = ContentBuffer();
  if (buffer == nullptr) return failWrite();

  const uint32_t length = entry.SizeLow;
  uint32_t written = 0;
  while (written < length) {
    const std::size_t block = std::min<std::size_t>(kStreamChunkSize, length - written);
    const std::size_t got = std::fread(buffer, 1, block, dataFile);
    if (abort_) return false;
    if (std::ferror(dataFile)) {
      abort_ = 1;
      return false;
    }
    if (got != 0 && std::fwrite(buffer, 1, got, out.get()) != got) return failWrite();
    AdvanceProgress(static_cast<uint32_t>(got));
    written += static_cast<uint32_t>(got);
    if (got < block) break;  // the data file ended early: the shorter file stands
  }
  // The last bytes leave the stream's buffer only now; a full disk may show here. The time
  // stamps come after them, or the system would take the last write as the new time.
  if (std::fflush(out.get()) != 0) return failWrite();
  if (!SetTimeStamps(out.get(), entry)) Warn("Couldn't open file for adding time information!");
  if (std::fclose(out.release()) != 0) return failWrite();
  return true;
}

bool InstallEngine::SetTimeStamps(FILE* file, const FileEntry& entry) {
  // Through the handle that wrote the content: opening the file once more for its times
  // would cost about as much as writing a small file.
  HANDLE handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(file)));
  if (handle == INVALID_HANDLE_VALUE) return false;
  const FILETIME creation = ToFiletime(entry.CreationTime);
  const FILETIME lastAccess = ToFiletime(entry.LastAccessTime);
  const FILETIME lastWrite = ToFiletime(entry.LastWriteTime);
  return SetFileTime(handle, &creation, &lastAccess, &lastWrite) != FALSE;
}

bool InstallEngine::SkipContent(FILE* dataFile, uint32_t length) {
  char* buffer = ContentBuffer();
  if (buffer == nullptr) {
    abort_ = 1;
    return false;
  }
  uint32_t skipped = 0;
  while (skipped < length) {
    const std::size_t block = std::min<std::size_t>(kStreamChunkSize, length - skipped);
    const std::size_t got = std::fread(buffer, 1, block, dataFile);
    if (abort_) return false;
    if (std::ferror(dataFile)) {
      abort_ = 1;
      return false;
    }
    AdvanceProgress(static_cast<uint32_t>(got));
    skipped += static_cast<uint32_t>(got);
    if (got < block) break;
  }
  return true;
}

char* InstallEngine::ContentBuffer() {
  // One buffer for the whole run: allocating 5 MiB for every file cost more than copying
  // a small file through it.
  if (!contentBuffer_) contentBuffer_.reset(new (std::nothrow) char[kStreamChunkSize]);
  return contentBuffer_.get();
}

void InstallEngine::CloseRunningProgram(const std::string& name) {
  const std::string wanted = Upper(name + ".exe");
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPALL, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return;
  const DWORD ownProcess = GetCurrentProcessId();
  PROCESSENTRY32 process;
  process.dwSize = sizeof process;
  for (BOOL more = Process32First(snapshot, &process); more; more = Process32Next(snapshot, &process)) {
    // The setup may be named like a program it installs; it must never end itself.
    if (process.th32ProcessID != ownProcess && Upper(process.szExeFile) == wanted) {
      Warn(
          "The process which this file updates is currently running.\n"
          "Please make sure you save your whole data within and then close the process.\n"
          "After pressing OK, if the process is still running, Setup will terminate it, but you may lose any "
          "unsaved data.");
      HANDLE handle = OpenProcess(PROCESS_TERMINATE, FALSE, process.th32ProcessID);
      if (handle != nullptr) {
        TerminateProcess(handle, 1);
        CloseHandle(handle);
      }
    }
    if (abort_) break;
  }
  CloseHandle(snapshot);
}

bool InstallEngine::FileExists(const std::string& path) {
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA(path.c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return false;
  FindClose(search);
  return true;
}

bool InstallEngine::GetLibraryVersion(const std::string& path, DWORD* major, DWORD* minor, DWORD* build) {
  HMODULE library = LoadLibraryA(path.c_str());
  if (library == nullptr) return false;
  bool ok = false;
  auto getVersion = reinterpret_cast<DllGetVersionProc>(
      reinterpret_cast<void*>(GetProcAddress(library, "DllGetVersion")));
  if (getVersion != nullptr) {
    LibraryVersionInfo info = {};
    info.cbSize = sizeof info;
    if (SUCCEEDED(getVersion(&info))) {
      *major = info.dwMajorVersion;
      *minor = info.dwMinorVersion;
      *build = info.dwBuildNumber;
      ok = true;
    }
  }
  FreeLibrary(library);
  return ok;
}
