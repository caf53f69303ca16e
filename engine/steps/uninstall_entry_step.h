#pragma once
// Writes the Add/Remove Programs entry, value by value; undoing takes each value back
// and removes the entry's key when this step created it.

#include <memory>
#include <string>
#include <vector>

#include "engine/steps/set_registry_value_step.h"
#include "engine/steps/step.h"
#include "engine/uninstall_entry.h"

class UninstallEntryStep : public Step {
 public:
  explicit UninstallEntryStep(const UninstallEntryFacts& facts);
  bool Do() override;
  void Undo(UndoReport* report) override;
  std::string DoneText() const override { return "Wrote the Add/Remove Programs entry " + key_; }

 private:
  std::string key_;
  std::vector<std::unique_ptr<SetRegistryValueStep>> values_;
  std::size_t attempted_ = 0;
};
