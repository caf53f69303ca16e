#include "engine/steps/kept_file.h"

#include "engine/machine_calls.h"
#include "engine/steps/step.h"

namespace {

bool ReadTimes(const std::string& path, FILETIME* creation, FILETIME* lastAccess, FILETIME* lastWrite) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  const BOOL read = GetFileTime(file, creation, lastAccess, lastWrite);
  CloseHandle(file);
  return read != FALSE;
}

bool WriteTimes(const std::string& path, const FILETIME& creation, const FILETIME& lastAccess,
                const FILETIME& lastWrite) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  const bool written = machine::SetTimes(file, path, creation, lastAccess, lastWrite);
  CloseHandle(file);
  return written;
}

std::string NameOf(const std::string& path) { return path.substr(path.rfind('\\') + 1); }

}  // namespace

bool KeptFile::Keep(const std::string& original, BackupFolder* folder) {
  attributes_ = GetFileAttributesA(original.c_str());
  if (attributes_ == INVALID_FILE_ATTRIBUTES) return false;
  if (!ReadTimes(original, &creation_, &lastAccess_, &lastWrite_)) return false;
  const std::string slot = folder->NewSlot();
  if (slot.empty()) return false;
  const std::string copy = slot + "\\" + NameOf(original);
  if (!machine::CopyOver(original, copy)) {
    // Whoever asked wants the copy's error (a file in use, say), not the clean-up's.
    const DWORD error = GetLastError();
    DeleteFileA(copy.c_str());
    machine::RemoveFolder(slot);
    SetLastError(error);
    return false;
  }
  // A read-only original makes a read-only copy, which could not be dropped later.
  if ((attributes_ & FILE_ATTRIBUTE_READONLY) != 0 && !machine::SetAttributes(copy, FILE_ATTRIBUTE_NORMAL)) {
    DeleteFileA(copy.c_str());
    RemoveDirectoryA(slot.c_str());
    return false;
  }
  original_ = original;
  slot_ = slot;
  copy_ = copy;
  return true;
}

bool KeptFile::PutBack() {
  if (!Kept()) return false;
  // The run's content goes first: on a full disk its space may be what the copy needs.
  const DWORD present = GetFileAttributesA(original_.c_str());
  if (present != INVALID_FILE_ATTRIBUTES) {
    if ((present & FILE_ATTRIBUTE_READONLY) != 0) machine::SetAttributes(original_, FILE_ATTRIBUTE_NORMAL);
    machine::RemoveFile(original_);
  }
  if (!machine::CopyOver(copy_, original_)) return false;
  if (!WriteTimes(original_, creation_, lastAccess_, lastWrite_)) return false;
  if (GetFileAttributesA(original_.c_str()) != attributes_ && !machine::SetAttributes(original_, attributes_)) {
    return false;
  }
  Drop();
  return true;
}

void KeptFile::Drop() {
  if (!Kept()) return;
  // Past the seam: dropping a copy cannot be undone, and happens only when the copy has
  // served (the run is complete, or the original is back).
  DeleteFileA(copy_.c_str());
  RemoveDirectoryA(slot_.c_str());
  copy_.clear();
  slot_.clear();
}

void TakeBackFile(const std::string& path, KeptFile* copy, UndoReport* report) {
  if (copy->Kept()) {
    const std::string kept = copy->CopyPath();
    if (copy->PutBack()) {
      report->lines.push_back("Undid: put back the earlier " + path);
    } else {
      report->lines.push_back("Couldn't put back the earlier " + path + "; it is kept at " + kept);
      report->keptCopies.push_back({path, kept});
    }
    return;
  }
  const DWORD attributes = GetFileAttributesA(path.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES) {
    // A read-only file refuses to be deleted.
    if ((attributes & FILE_ATTRIBUTE_READONLY) != 0) machine::SetAttributes(path, FILE_ATTRIBUTE_NORMAL);
    if (!machine::RemoveFile(path)) {
      report->lines.push_back("Couldn't remove " + path);
      return;
    }
  }
  report->lines.push_back("Undid: removed " + path);
}
