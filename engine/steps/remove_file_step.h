#pragma once
// Takes away a file (or a link) that an earlier version of the product left and this one
// no longer has. The file is moved, not deleted, into a slot of the run's backup folder,
// times and attributes and all: undoing moves it back, and only a complete run drops it.

#include <string>

#include "engine/steps/backup_folder.h"
#include "engine/steps/step.h"

class RemoveFileStep : public Step {
 public:
  // `what` names the kind of thing in the log lines ("file", "shortcut").
  RemoveFileStep(std::string path, std::string what, BackupFolder* backups)
      : path_(std::move(path)), what_(std::move(what)), backups_(backups) {}
  bool Do() override;
  void Undo(UndoReport* report) override;
  bool RestoresEarlierContent() const override { return !moved_.empty(); }
  void Commit() override;
  std::string DoneText() const override { return "Removed the earlier version's " + what_ + " " + path_; }

 private:
  std::string path_;
  std::string what_;
  BackupFolder* backups_;
  std::string slot_;
  std::string moved_;  // where the file waits; empty while it is in place
};
