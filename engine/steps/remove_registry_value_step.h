#pragma once
// Takes away a registry value that an earlier version of the product set and this one no
// longer sets, then the keys above it that this leaves empty, up to the first level under
// the root (which every system has). The step keeps the value's type and data and the keys
// it removed: undoing makes the keys and the value again.

#include <windows.h>

#include <string>
#include <vector>

#include "engine/steps/step.h"

class RemoveRegistryValueStep : public Step {
 public:
  RemoveRegistryValueStep(HKEY root, std::string subKey, std::string name)
      : root_(root), subKey_(std::move(subKey)), name_(std::move(name)) {}
  bool Do() override;
  void Undo(UndoReport* report) override;
  std::string DoneText() const override;

 private:
  bool RemoveValue();
  bool RemoveEmptyKeys();

  HKEY root_;
  std::string subKey_;
  std::string name_;
  bool removed_ = false;
  DWORD type_ = REG_NONE;
  std::vector<BYTE> data_;
  // Outermost last, as they were removed.
  std::vector<std::string> removedKeys_;
};
