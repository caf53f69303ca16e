#include "engine/steps/set_registry_value_step.h"

#include "engine/machine_calls.h"

namespace {

bool KeyExists(HKEY root, const std::string& subKey) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(root, subKey.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
  RegCloseKey(key);
  return true;
}

bool KeyIsEmpty(HKEY root, const std::string& subKey) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(root, subKey.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
  DWORD subKeys = 0, values = 0;
  const LONG queried =
      RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, &subKeys, nullptr, nullptr, &values, nullptr, nullptr, nullptr, nullptr);
  RegCloseKey(key);
  return queried == ERROR_SUCCESS && subKeys == 0 && values == 0;
}

}  // namespace

void SetRegistryValueStep::RememberEarlierState() {
  createdKeys_.clear();
  for (std::size_t at = 0; at != std::string::npos;) {
    at = value_.subKey.find('\\', at + 1);
    const std::string key = value_.subKey.substr(0, at);
    if (!createdKeys_.empty() || !KeyExists(value_.root, key)) createdKeys_.push_back(key);
  }
  existed_ = false;
  HKEY key = nullptr;
  if (RegOpenKeyExA(value_.root, value_.subKey.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return;
  DWORD size = 0;
  if (RegQueryValueExA(key, value_.name.c_str(), nullptr, &earlierType_, nullptr, &size) == ERROR_SUCCESS) {
    earlierData_.resize(size);
    existed_ = RegQueryValueExA(key, value_.name.c_str(), nullptr, &earlierType_,
                                earlierData_.empty() ? nullptr : earlierData_.data(), &size) == ERROR_SUCCESS;
    earlierData_.resize(size);
  }
  RegCloseKey(key);
}

bool SetRegistryValueStep::Do() {
  RememberEarlierState();
  attempted_ = true;
  const std::string keyPath = machine::KeyPath(value_.root, value_.subKey);
  HKEY key = nullptr;
  if (machine::CreateKey(value_.root, keyPath, value_.subKey, value_.keyClass.c_str(), &key) != ERROR_SUCCESS) {
    return Fail(failure_);
  }
  const LONG set = machine::SetValue(key, keyPath, value_.name, value_.type,
                                     value_.data.empty() ? nullptr : value_.data.data(),
                                     static_cast<DWORD>(value_.data.size()));
  RegCloseKey(key);
  return set == ERROR_SUCCESS ? true : Fail(failure_);
}

void SetRegistryValueStep::Undo(UndoReport* report) {
  if (!attempted_) return;
  attempted_ = false;
  PutValueBack(report);
  DeleteCreatedKeys(report);
}

void SetRegistryValueStep::PutValueBack(UndoReport* report) {
  const std::string keyPath = machine::KeyPath(value_.root, value_.subKey);
  HKEY key = nullptr;
  if (RegOpenKeyExA(value_.root, value_.subKey.c_str(), 0, KEY_READ | KEY_WRITE, &key) != ERROR_SUCCESS) return;
  LONG result = ERROR_SUCCESS;
  if (existed_) {
    result = machine::SetValue(key, keyPath, value_.name, earlierType_,
                               earlierData_.empty() ? nullptr : earlierData_.data(),
                               static_cast<DWORD>(earlierData_.size()));
  } else if (RegQueryValueExA(key, value_.name.c_str(), nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS) {
    result = machine::DeleteValue(key, keyPath, value_.name);
  }
  RegCloseKey(key);
  const std::string what = keyPath + " \"" + value_.name + "\"";
  if (result == ERROR_SUCCESS) {
    report->lines.push_back((existed_ ? "Undid: put back the earlier value " : "Undid: removed the value ") + what);
  } else {
    report->lines.push_back("Couldn't put back the value " + what);
  }
}

void SetRegistryValueStep::DeleteCreatedKeys(UndoReport* report) {
  for (auto key = createdKeys_.rbegin(); key != createdKeys_.rend(); ++key) {
    // Something of someone else's arrived in it meanwhile: it stays.
    if (!KeyIsEmpty(value_.root, *key)) continue;
    const std::string keyPath = machine::KeyPath(value_.root, *key);
    if (machine::DeleteKey(value_.root, keyPath, *key) == ERROR_SUCCESS) {
      report->lines.push_back("Undid: removed the key " + keyPath);
    } else {
      report->lines.push_back("Couldn't remove the key " + keyPath);
    }
  }
  createdKeys_.clear();
}

std::string SetRegistryValueStep::DoneText() const {
  return "Set " + machine::KeyPath(value_.root, value_.subKey) + " \"" + value_.name + "\"" +
         (existed_ ? " (earlier value kept for undoing)" : "");
}
