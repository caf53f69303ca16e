#pragma once
// Puts the run's "Uninstall.log" into the destination folder, merged with the log of an
// earlier installation of the same product there, or, after an upgrade, in its place. The log that was there is copied
// first; undoing puts it back, or removes the placed log.

#include <string>

#include "engine/steps/backup_folder.h"
#include "engine/uninstall_log_placement.h"
#include "engine/steps/kept_file.h"
#include "engine/steps/step.h"

class PlaceUninstallLogStep : public Step {
 public:
  PlaceUninstallLogStep(std::string runLog, std::string destinationLog, EarlierLog earlier, BackupFolder* backups)
      : runLog_(std::move(runLog)), destinationLog_(std::move(destinationLog)), earlier_(earlier), backups_(backups) {}
  bool Do() override;
  void Undo(UndoReport* report) override;
  bool RestoresEarlierContent() const override { return copy_.Kept(); }
  void Commit() override { copy_.Drop(); }
  std::string DoneText() const override;

 private:
  std::string runLog_;
  std::string destinationLog_;
  EarlierLog earlier_;
  BackupFolder* backups_;
  KeptFile copy_;
  bool attempted_ = false;
  bool merged_ = false;
};
