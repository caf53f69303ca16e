#include "engine/steps/remove_registry_value_step.h"

#include "engine/machine_calls.h"

namespace {

bool KeyIsEmpty(HKEY root, const std::string& subKey) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(root, subKey.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
  DWORD subKeys = 0, values = 0;
  const LONG queried = RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, &subKeys, nullptr, nullptr, &values, nullptr,
                                        nullptr, nullptr, nullptr);
  RegCloseKey(key);
  return queried == ERROR_SUCCESS && subKeys == 0 && values == 0;
}

}  // namespace

bool RemoveRegistryValueStep::Do() {
  return RemoveValue() && RemoveEmptyKeys();
}

bool RemoveRegistryValueStep::RemoveValue() {
  HKEY key = nullptr;
  if (RegOpenKeyExA(root_, subKey_.c_str(), 0, KEY_READ | KEY_WRITE, &key) != ERROR_SUCCESS) return true;
  DWORD size = 0;
  if (RegQueryValueExA(key, name_.c_str(), nullptr, &type_, nullptr, &size) != ERROR_SUCCESS) {
    RegCloseKey(key);
    return true;  // gone already: nothing to take away
  }
  data_.resize(size);
  const bool read = RegQueryValueExA(key, name_.c_str(), nullptr, &type_, data_.empty() ? nullptr : data_.data(),
                                     &size) == ERROR_SUCCESS;
  data_.resize(size);
  const std::string keyPath = machine::KeyPath(root_, subKey_);
  const bool deleted = read && machine::DeleteValue(key, keyPath, name_) == ERROR_SUCCESS;
  RegCloseKey(key);
  if (!deleted) return Fail("Couldn't remove the earlier version's registry value:\n" + keyPath + " \"" + name_ + "\"");
  removed_ = true;
  return true;
}

bool RemoveRegistryValueStep::RemoveEmptyKeys() {
  std::string key = subKey_;
  // A key directly under the root is one every system has (or one the user made).
  while (key.find('\\') != std::string::npos && KeyIsEmpty(root_, key)) {
    const std::string keyPath = machine::KeyPath(root_, key);
    if (machine::DeleteKey(root_, keyPath, key) != ERROR_SUCCESS) {
      return Fail("Couldn't remove the earlier version's registry key:\n" + keyPath);
    }
    removedKeys_.push_back(key);
    key.erase(key.rfind('\\'));
  }
  return true;
}

void RemoveRegistryValueStep::Undo(UndoReport* report) {
  for (auto key = removedKeys_.rbegin(); key != removedKeys_.rend(); ++key) {
    HKEY made = nullptr;
    const std::string keyPath = machine::KeyPath(root_, *key);
    if (machine::CreateKey(root_, keyPath, *key, "", &made) == ERROR_SUCCESS) {
      RegCloseKey(made);
      report->lines.push_back("Undid: made the key " + keyPath + " again");
    } else {
      report->lines.push_back("Couldn't make the key " + keyPath + " again");
    }
  }
  removedKeys_.clear();
  if (!removed_) return;
  removed_ = false;
  const std::string keyPath = machine::KeyPath(root_, subKey_);
  const std::string what = keyPath + " \"" + name_ + "\"";
  HKEY key = nullptr;
  LONG result = machine::CreateKey(root_, keyPath, subKey_, "", &key);
  if (result == ERROR_SUCCESS) {
    result = machine::SetValue(key, keyPath, name_, type_, data_.empty() ? nullptr : data_.data(),
                               static_cast<DWORD>(data_.size()));
    RegCloseKey(key);
  }
  report->lines.push_back(result == ERROR_SUCCESS ? "Undid: put back the earlier value " + what
                                                  : "Couldn't put back the value " + what);
}

std::string RemoveRegistryValueStep::DoneText() const {
  return "Removed the earlier version's value " + machine::KeyPath(root_, subKey_) + " \"" + name_ + "\"" +
         (removedKeys_.empty() ? "" : " and the keys it left empty");
}
