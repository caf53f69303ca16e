#include "engine/steps/uninstall_entry_step.h"

UninstallEntryStep::UninstallEntryStep(const UninstallEntryFacts& facts) : key_(UninstallEntryKey(facts.productName)) {
  for (UninstallEntryValue& value : UninstallEntryValues(facts)) {
    RegistryValueToSet wanted;
    wanted.root = HKEY_LOCAL_MACHINE;
    wanted.subKey = key_;
    wanted.name = value.name;
    wanted.type = value.type;
    wanted.data = std::move(value.data);
    values_.push_back(std::make_unique<SetRegistryValueStep>(
        std::move(wanted), "Couldn't write the Add/Remove Programs entry!\nValue: " + value.name));
  }
}

bool UninstallEntryStep::Do() {
  for (attempted_ = 0; attempted_ < values_.size(); ++attempted_) {
    SetRegistryValueStep& value = *values_[attempted_];
    if (!value.Do()) {
      ++attempted_;
      return Fail(value.Failure().text);
    }
  }
  return true;
}

void UninstallEntryStep::Undo(UndoReport* report) {
  while (attempted_ > 0) values_[--attempted_]->Undo(report);
}
