#pragma once
// Sets one registry value, creating the keys it needs. The step keeps whether the value
// was there, with its type and data, and which keys it created: undoing puts the earlier
// value back (or deletes the new one) and deletes the created keys that are empty again.

#include <windows.h>

#include <string>
#include <vector>

#include "engine/steps/step.h"

struct RegistryValueToSet {
  HKEY root = nullptr;
  std::string subKey;
  // The class of keys it creates.
  std::string keyClass = "String";
  std::string name;
  DWORD type = REG_SZ;
  std::vector<BYTE> data;
};

class SetRegistryValueStep : public Step {
 public:
  // `failure` is what the user is told when the value cannot be set.
  SetRegistryValueStep(RegistryValueToSet value, std::string failure)
      : value_(std::move(value)), failure_(std::move(failure)) {}
  bool Do() override;
  void Undo(UndoReport* report) override;
  std::string DoneText() const override;

 private:
  void RememberEarlierState();
  void PutValueBack(UndoReport* report);
  void DeleteCreatedKeys(UndoReport* report);

  RegistryValueToSet value_;
  std::string failure_;
  bool attempted_ = false;
  bool existed_ = false;
  DWORD earlierType_ = REG_NONE;
  std::vector<BYTE> earlierData_;
  // The keys this step created, outermost first.
  std::vector<std::string> createdKeys_;
};
