#pragma once
// One setup or uninstaller of a product at a time on a machine: two setups would keep their
// copies of replaced files under the same names and undo each other's work, and a removal
// during an installation would take away what the installation counts on. A named mutex
// per product, held until the process ends (or the lock is destroyed), tells whichever
// comes second that one runs.

#include <string>

class ProductLock {
 public:
  ProductLock() = default;
  ~ProductLock();
  ProductLock(const ProductLock&) = delete;
  ProductLock& operator=(const ProductLock&) = delete;

  // False when a setup or uninstaller of the same product (names compared as product names are, without
  // regard to ASCII case) already holds the lock. A system that cannot make the mutex at
  // all does not stop the run: the lock is a guard, not a condition of installing.
  bool Acquire(const std::string& productName);
  void Release();

 private:
  void* mutex_ = nullptr;
};

// "Global\Brisklay Setup <product name in lower case>": one name for every session of the
// machine, since the products install into shared folders and registry keys. The name
// is the one earlier setups took, so that they too keep each other out.
std::string ProductLockName(const std::string& productName);

// What the second one tells the user before it ends.
std::string ProductBusyMessage(const std::string& productName);

// Takes `lock` for the product and looks for its files waiting for a restart. Empty when
// the run may go on; else what to tell the user before ending with "retry later".
std::string ClaimProduct(ProductLock* lock, const std::string& productName);
