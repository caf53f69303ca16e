#pragma once
// Writes one file of the payload, new or in place of an existing one, whose copy the step
// keeps until the run is complete. The content comes piece by piece, as the payload is
// inflated; the file then gets the entry's time stamps. Undoing removes what the run wrote
// and puts the copy back; a copy that cannot go back stays, whole, and is reported.
//
// A file that another program holds open (a shell extension, a service's library) may be
// replaced at the next restart instead: the new content is written beside it under a
// tagged name and Windows is asked to put it in place. Undoing deletes the new file and
// takes exactly that request back.

#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>

#include "engine/steps/backup_folder.h"
#include "engine/steps/kept_file.h"
#include "engine/steps/step.h"
#include "engine/steps/written_paths.h"
#include "formats/data_file.h"

// Where a file's content comes from and whom it tells about its progress.
struct ContentSource {
  uint32_t length = 0;
  // The next piece of the content, at most `max` bytes, valid until the next call; false
  // when no more can be read.
  std::function<bool(uint32_t max, const char** data, std::size_t* size)> next;
  // Why the content could not be read, for the user.
  std::function<std::string()> unreadable;
  std::function<void(uint32_t bytes)> advance;
  // A confirmed cancel, checked between blocks.
  std::function<bool()> stopRequested;
};

class WriteFileStep : public Step {
 public:
  WriteFileStep(std::string target, const FileEntry& entry, ContentSource source, BackupFolder* backups,
                WrittenPaths* written);
  // A file in use may wait for the restart; `tag` names the product in the system's list.
  void AllowReplacementAtRestart(std::string tag) { restartTag_ = std::move(tag); }

  bool Do() override;
  void Undo(UndoReport* report) override;
  bool RestoresEarlierContent() const override { return copy_.Kept(); }
  void Commit() override { copy_.Drop(); }
  bool CompletesAtRestart() const override { return scheduled_; }
  std::string DoneText() const override;

 private:
  // Whether the last failed open or copy of the target found it held by another program,
  // and the step may wait for the restart.
  bool MayWaitForRestart() const;
  bool ReplaceAtRestart();
  // The content into `out`, opened at `path`, which it closes; the target counts as written.
  bool WriteAndClose(FILE* out, const std::string& path);
  bool WriteContent(FILE* out, const std::string& path);

  std::string target_;
  FILETIME creation_{};
  FILETIME lastAccess_{};
  FILETIME lastWrite_{};
  ContentSource source_;
  BackupFolder* backups_;
  WrittenPaths* written_;
  KeptFile copy_;
  bool touched_ = false;
  std::string restartTag_;
  // Where the new content waits for the restart, and whether Windows was asked to move it.
  std::string waiting_;
  bool scheduled_ = false;
};
