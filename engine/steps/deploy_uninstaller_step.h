#pragma once
// Writes "Uninstall.exe" from the program's resources into the destination folder. An
// uninstaller that was there (an earlier installation's) is copied first and put back on
// undo.

#include <windows.h>

#include <string>

#include "engine/steps/backup_folder.h"
#include "engine/steps/kept_file.h"
#include "engine/steps/step.h"

class DeployUninstallerStep : public Step {
 public:
  DeployUninstallerStep(HMODULE resourceModule, std::string path, BackupFolder* backups)
      : module_(resourceModule), path_(std::move(path)), backups_(backups) {}
  bool Do() override;
  void Undo(UndoReport* report) override;
  bool RestoresEarlierContent() const override { return copy_.Kept(); }
  void Commit() override { copy_.Drop(); }
  std::string DoneText() const override { return "Wrote the uninstaller " + path_; }

 private:
  HMODULE module_;
  std::string path_;
  BackupFolder* backups_;
  KeptFile copy_;
  bool attempted_ = false;
};
