#pragma once
// Saves one shell link (".lnk"). A link of the same name that was there (the user's, or an
// earlier installation's) is copied first and put back on undo.

#include <string>

#include "engine/steps/backup_folder.h"
#include "engine/steps/kept_file.h"
#include "engine/steps/step.h"

struct LinkToSave {
  std::string path;
  std::string target;
  std::string workingDirectory;
  std::string description;
};

class CreateShortcutStep : public Step {
 public:
  CreateShortcutStep(LinkToSave link, BackupFolder* backups) : link_(std::move(link)), backups_(backups) {}
  bool Do() override;
  void Undo(UndoReport* report) override;
  bool RestoresEarlierContent() const override { return copy_.Kept(); }
  void Commit() override { copy_.Drop(); }
  std::string DoneText() const override { return "Created shortcut " + link_.path + " to " + link_.target; }

 private:
  LinkToSave link_;
  BackupFolder* backups_;
  KeptFile copy_;
  bool attempted_ = false;
};
