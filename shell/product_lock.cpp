#include "shell/product_lock.h"

#include <windows.h>

#include <cctype>

#include "shell/restart_operations.h"

namespace {

const char kGlobalNamespace[] = "Global\\";

// Windows 95 to ME know no namespaces and refuse a backslash in the name.
HANDLE CreateNamedMutex(const std::string& name) {
  // Only "already exists" tells a second setup, so no earlier error may linger.
  ::SetLastError(ERROR_SUCCESS);
  HANDLE mutex = ::CreateMutexA(nullptr, FALSE, name.c_str());
  if (mutex != nullptr || ::GetLastError() == ERROR_ACCESS_DENIED) return mutex;
  const std::string local = name.substr(sizeof kGlobalNamespace - 1);
  ::SetLastError(ERROR_SUCCESS);
  return ::CreateMutexA(nullptr, FALSE, local.c_str());
}

}  // namespace

ProductLock::~ProductLock() { Release(); }

bool ProductLock::Acquire(const std::string& productName) {
  Release();
  HANDLE mutex = CreateNamedMutex(ProductLockName(productName));
  // Made by another user's setup whose rights keep this one out: it exists, so it runs.
  if (mutex == nullptr) return ::GetLastError() != ERROR_ACCESS_DENIED;
  if (::GetLastError() == ERROR_ALREADY_EXISTS) {
    ::CloseHandle(mutex);
    return false;
  }
  mutex_ = mutex;
  return true;
}

void ProductLock::Release() {
  if (mutex_ != nullptr) ::CloseHandle(static_cast<HANDLE>(mutex_));
  mutex_ = nullptr;
}

std::string ProductLockName(const std::string& productName) {
  std::string name = std::string(kGlobalNamespace) + "Brisklay Setup ";
  for (char c : productName) {
    // A backslash would name a namespace; product names have none, damaged ones might.
    name += c == '\\' ? '_' : static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  }
  return name;
}

std::string ProductBusyMessage(const std::string& productName) {
  return "Setup or removal of \"" + productName +
         "\" is already running.\nPlease let it finish, then start this program again.";
}

std::string ClaimProduct(ProductLock* lock, const std::string& productName) {
  if (!lock->Acquire(productName)) return ProductBusyMessage(productName);
  if (RestartPendingFor(RestartTag(productName))) return RestartPendingMessage(productName);
  return std::string();
}
