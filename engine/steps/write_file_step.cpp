#include "engine/steps/write_file_step.h"

#include <windows.h>
// After windows.h, which it needs.
#include <io.h>

#include <algorithm>

#include "engine/machine_calls.h"
#include "shell/restart_operations.h"

namespace {

FILETIME ToFiletime(const FileTime& time) {
  FILETIME result;
  result.dwLowDateTime = time.dwLowDateTime;
  result.dwHighDateTime = time.dwHighDateTime;
  return result;
}

bool IsRegularFile(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

}  // namespace

WriteFileStep::WriteFileStep(std::string target, const FileEntry& entry, ContentSource source, BackupFolder* backups,
                             WrittenPaths* written)
    : target_(std::move(target)),
      creation_(ToFiletime(entry.CreationTime)),
      lastAccess_(ToFiletime(entry.LastAccessTime)),
      lastWrite_(ToFiletime(entry.LastWriteTime)),
      source_(std::move(source)),
      backups_(backups),
      written_(written) {}

bool WriteFileStep::Do() {
  // Most files are new: only one that exists needs a second look and a copy.
  FILE* out = machine::CreateNewStream(target_);
  if (out == nullptr && GetLastError() == ERROR_FILE_EXISTS) {
    if (IsRegularFile(target_) && !written_->Contains(target_) && !copy_.Keep(target_, backups_)) {
      if (MayWaitForRestart()) return ReplaceAtRestart();
      return Fail("Couldn't keep a copy of the existing file:\n" + target_);
    }
    out = machine::OpenStream(target_, "wb");
    if (out == nullptr && MayWaitForRestart()) {
      copy_.Drop();
      return ReplaceAtRestart();
    }
  }
  if (out == nullptr) {
    // The file is as it was: its copy is of no use, and undoing has nothing to do.
    copy_.Drop();
    return Fail("Couldn't create file!");
  }
  return WriteAndClose(out, target_);
}

bool WriteFileStep::WriteAndClose(FILE* out, const std::string& path) {
  written_->Add(target_);
  touched_ = true;
  const bool written = WriteContent(out, path);
  const bool closed = std::fclose(out) == 0;
  if (!written) return false;
  if (!closed) return Fail("Couldn't write file:\n" + path);
  return true;
}

bool WriteFileStep::MayWaitForRestart() const {
  return !restartTag_.empty() && IsFileInUseError(GetLastError()) && !written_->Contains(target_);
}

bool WriteFileStep::ReplaceAtRestart() {
  waiting_ = TaggedNameBeside(target_, restartTag_);
  FILE* out = waiting_.empty() ? nullptr : machine::CreateNewStream(waiting_);
  if (out == nullptr) {
    waiting_.clear();
    return Fail("Couldn't create file!");
  }
  if (!WriteAndClose(out, waiting_)) return false;
  if (!machine::ReplaceAtRestart(waiting_, target_)) {
    return Fail("The file is in use, and couldn't be replaced at the next restart either:\n" + target_);
  }
  scheduled_ = true;
  return true;
}

bool WriteFileStep::WriteContent(FILE* out, const std::string& path) {
  uint32_t done = 0;
  while (done < source_.length) {
    const char* piece = nullptr;
    std::size_t got = 0;
    if (!source_.next(source_.length - done, &piece, &got)) return Fail(source_.unreadable());
    if (!machine::Write(out, path, piece, got)) return Fail("Couldn't write file:\n" + path);
    source_.advance(static_cast<uint32_t>(got));
    done += static_cast<uint32_t>(got);
    if (source_.stopRequested()) return false;
  }
  // The last bytes leave the stream's buffer only now; a full disk may show here. The time
  // stamps come after them, or the system would take the last write as the new time.
  if (!machine::Flush(out, path)) return Fail("Couldn't write file:\n" + path);
  // Through the handle that wrote the content: opening the file once more for its times
  // would cost about as much as writing a small file.
  HANDLE handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(out)));
  if (handle == INVALID_HANDLE_VALUE || !machine::SetTimes(handle, path, creation_, lastAccess_, lastWrite_)) {
    return Fail("Couldn't open file for adding time information!\n" + path);
  }
  return true;
}

void WriteFileStep::Undo(UndoReport* report) {
  if (!touched_) return;
  touched_ = false;
  if (waiting_.empty()) return TakeBackFile(target_, &copy_, report);
  // The file in use was never touched: only the request and the new content go.
  if (scheduled_ && !ForgetScheduledOperation(waiting_)) {
    report->lines.push_back("Couldn't take back the replacement of " + target_ + " at the next restart");
  }
  scheduled_ = false;
  TakeBackFile(waiting_, &copy_, report);
}

std::string WriteFileStep::DoneText() const {
  if (scheduled_) return "Wrote " + waiting_ + ", which replaces the file in use " + target_ + " at the next restart";
  if (!copy_.Kept()) return "Wrote " + target_;
  return "Wrote " + target_ + " (replaced; copy kept at " + copy_.CopyPath() + ")";
}
