#pragma once
// Owns one COM interface pointer for a scope and releases it on every way out.

template <typename Interface>
struct Released {
  Released() = default;
  Released(const Released&) = delete;
  Released& operator=(const Released&) = delete;
  ~Released() {
    if (object != nullptr) object->Release();
  }
  Interface* object = nullptr;
};
