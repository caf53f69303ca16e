// One folder or file entry of the data file: path, replace question, log record, and the
// steps that install it: folders, content with time stamps, the shared-file count, COM
// registration, shortcuts; then the finish page's lists.

#include <windows.h>
#include <tlhelp32.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <memory>
#include <new>

#include "engine/install_engine.h"
#include "engine/library_version.h"
#include "engine/scoped_temp_file.h"
#include "engine/steps/count_shared_file_step.h"
#include "engine/steps/register_server_step.h"
#include "engine/steps/write_file_step.h"
#include "engine/uninstall_log_merge.h"
#include "formats/uninstall_log.h"
#include "shell/private_folder.h"
#include "shell/restart_operations.h"
#include "shell/shared_files.h"

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

bool FileExists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

struct FileCloser {
  void operator()(FILE* file) const { std::fclose(file); }
};

}  // namespace

bool InstallEngine::InstallEntry() {
  FileEntry entry;
  if (!ReadFileEntry(&entry, *payload_)) return PayloadReadFailed();
  const std::string name = BufferText(entry.Name);
  const std::string extension = BufferText(entry.Extension);
  host_->SetStatusText("Writing: " + name + "." + extension + "...");

  // A path that would not fit once expanded is as unusable as an empty one.
  if (entry.TargetPath[0] == '\0' || !ExpandPathMacros(entry.TargetPath, sizeof entry.TargetPath)) {
    ReportError("Invalid file path in decompressed data file!");
    return Failed();
  }
  const std::string target = entry.TargetPath;
  const bool isFolder = IsFolderEntry(entry.Extension);
  // The payload goes only forward: an existing library's replacement is set aside while
  // its version is read and the user is asked.
  ScopedTempFile libraryCopy;
  if (!isFolder && IsLibraryExtension(extension) && FileExists(target)) {
    libraryCopy.Reset(libraryScratchPath_);
    if (!SetContentAside(entry.SizeLow, libraryCopy.Path())) return false;
    if (!ReplaceLibrary(target, libraryCopy.Path())) return true;
  }

  FileEntry logged = entry;
  logged.StartMenuShortcut = (entry.StartMenuShortcut != 0 && plan_.startMenuShortcuts) ? 1 : 0;
  logged.DesktopShortcut = (entry.DesktopShortcut != 0 && plan_.desktopShortcuts) ? 1 : 0;
  if (!log_.AppendFile(logged)) {
    ReportLogFailure("Error in writing file info.");
    return false;
  }
  if (earlier_) loggedPaths_.insert(LoggedPathKey(logged.TargetPath));
  if (Stopping()) return false;

  if (isFolder) return CreateFolders(target) && MakeShortcuts(entry, name, target);
  if (Lower(extension) == "exe") CloseRunningProgram(name);
  if (!InstallFile(entry, target, libraryCopy.Path()) || !MakeShortcuts(entry, name, target)) return false;
  if (entry.RunAtFinish != 0) {
    std::string line = name + "." + extension + " - " + target + "\r\n";
    (Lower(extension) == "exe" ? runList_ : openList_) += line;
  }
  return true;
}

bool InstallEngine::InstallFile(const FileEntry& entry, const std::string& target, const std::string& contentFile) {
  if (!CreateParentFolders(target)) return false;
  const bool server = entry.RegisterServer != 0;
  const bool shared = IsInSharedFolder(target, windowsFolder_, systemFolder_);
  // Only these two need to know before writing (the write step finds out for itself):
  // asking the system once more for every file cost a fair part of writing a small one.
  const bool existedBefore = (server || shared) && FileExists(target) && !written_.Contains(target);
  // Undone after the original is back, which then is a registered server again.
  if (server && existedBefore &&
      !Perform(RegisterServerStep::ToRegisterTheOriginalAgain(systemFolder_, target))) {
    return false;
  }
  std::unique_ptr<FILE, FileCloser> setAside;
  if (!contentFile.empty()) {
    setAside.reset(std::fopen(contentFile.c_str(), "rb"));
    if (!setAside) {
      ReportError("Couldn't read decompressed data file!");
      return Failed();
    }
  }
  ContentSource source;
  source.length = entry.SizeLow;
  source.next = setAside ? ContentFromFile(setAside.get()) : ContentFromPayload();
  source.unreadable = [this] { return PayloadFailureText(); };
  source.advance = [this](uint32_t bytes) { progress_.Advance(bytes); };
  source.stopRequested = [this] { return Stopping(); };
  auto write = std::make_unique<WriteFileStep>(target, entry, std::move(source), &backups_, &written_);
  // A program of the product was closed before it is written; one still held is a fault.
  if (Lower(BufferText(entry.Extension)) != "exe") write->AllowReplacementAtRestart(RestartTag(plan_.productName));
  if (!Perform(std::move(write))) {
    if (payload_->EndSoFar() == InflatingReader::End::kDamaged) damagedPayload_ = true;
    return false;
  }
  if (shared && !CountSharedFileUser(target, existedBefore)) {
    return false;
  }
  return !server || Perform(RegisterServerStep::ForInstalledServer(systemFolder_, target));
}

bool InstallEngine::ReplaceLibrary(const std::string& target, const std::string& payloadCopy) {
  LibraryQuestion facts;
  facts.path = target;
  facts.installed = ReadLibraryVersion(target);
  if (!facts.installed.known) host_->Warn("Couldn't get library version: " + target);
  facts.payload = ReadLibraryVersion(payloadCopy);
  char question[MAX_PATH + 160];
  std::snprintf(question, sizeof question,
                "File \"%s\" already exists and has the version number %lu.%lu, build no %lu.\n"
                "Replace existing file?",
                target.c_str(), static_cast<unsigned long>(facts.installed.major),
                static_cast<unsigned long>(facts.installed.minor), static_cast<unsigned long>(facts.installed.build));
  const bool replace = host_->ConfirmLibraryReplacement(question, facts);
  host_->Note((replace ? "Replacing the library " : "Keeping the installed library ") + target);
  return replace;
}

bool InstallEngine::CountSharedFileUser(const std::string& target, bool existedBefore) {
  // An earlier installation of this product into this folder counted it already, and its
  // log merges with this one: a second count would outlive every removal.
  if (existedBefore && EarlierInstallationLogged(target)) return true;
  return Perform(std::make_unique<CountSharedFileStep>(target, existedBefore));
}

bool InstallEngine::EarlierInstallationLogged(const std::string& target) {
  if (!earlierTargets_) {
    earlierTargets_.emplace();
    UninstallLog earlier;
    UninstallLogHeader ours{};
    SetBufferText(ours.cName, plan_.productName);
    if (ReadUninstallLogFile(plan_.destination + "\\Uninstall.log", &earlier) && IsSameProduct(earlier.Header, ours)) {
      for (const FileEntry& record : earlier.Files) earlierTargets_->insert(Lower(BufferText(record.TargetPath)));
    }
  }
  return earlierTargets_->count(Lower(target)) != 0;
}

bool InstallEngine::SetContentAside(uint32_t length, const std::string& path) {
  // The run's own temporary file, removed with it: past the fault seam, like the log.
  std::unique_ptr<FILE, FileCloser> out(CreateNewFile(path));
  if (!out) {
    ReportError("Couldn't create file!\n" + path);
    return Failed();
  }
  for (uint32_t done = 0; done < length;) {
    const char* piece = nullptr;
    std::size_t size = 0;
    if (!payload_->Next(length - done, &piece, &size)) return PayloadReadFailed();
    if (std::fwrite(piece, 1, size, out.get()) != size) {
      ReportError("Couldn't write file:\n" + path);
      return Failed();
    }
    progress_.Advance(static_cast<uint32_t>(size));
    done += static_cast<uint32_t>(size);
    if (Stopping()) return false;
  }
  if (std::fclose(out.release()) != 0) {
    ReportError("Couldn't write file:\n" + path);
    return Failed();
  }
  return true;
}

std::function<bool(uint32_t, const char**, std::size_t*)> InstallEngine::ContentFromPayload() {
  return [this](uint32_t max, const char** data, std::size_t* size) { return payload_->Next(max, data, size); };
}

std::function<bool(uint32_t, const char**, std::size_t*)> InstallEngine::ContentFromFile(FILE* file) {
  char* buffer = ContentBuffer();
  return [file, buffer](uint32_t max, const char** data, std::size_t* size) {
    if (buffer == nullptr) return false;
    *size = std::fread(buffer, 1, std::min<std::size_t>(max, kStreamChunkSize), file);
    *data = buffer;
    return *size != 0;
  };
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
      if (!plan_.warnBeforeClosingPrograms) {
        host_->Note("Closing the running program " + name + ".exe (/CLOSEAPPLICATIONS)");
      } else {
        host_->Warn(
            "The process which this file updates is currently running.\n"
            "Please make sure you save your whole data within and then close the process.\n"
            "After pressing OK, if the process is still running, Setup will terminate it, but you may lose "
            "any unsaved data.");
      }
      HANDLE handle = OpenProcess(PROCESS_TERMINATE, FALSE, process.th32ProcessID);
      if (handle != nullptr) {
        TerminateProcess(handle, 1);
        CloseHandle(handle);
      }
    }
    if (Stopping()) break;
  }
  CloseHandle(snapshot);
}
