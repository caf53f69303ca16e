#pragma once
// Bytes carried by the program, read front to back from where they lie: a resource of type
// "Setup", read from the program's own file at the resource's place (every page of the
// loaded image that is read stays in the process's memory until it ends, and the setup
// data is the whole compressed payload), or from the loaded image where the file cannot
// be read; or a file of its own, such as the external archive. The file stays open, shared
// for reading only, from the first byte read to the last, so what was proven is what is
// read again.

#include <windows.h>

#include <cstdint>
#include <string>

// What to tell the user when the resource cannot be had.
struct SetupResourceMessages {
  const char* notFound;
  const char* notLoaded;
  const char* notLocked;
  const char* emptySize;
  const char* notCreated;  // used by WriteSetupResource also when the bytes cannot be written whole
};

class SetupDataSource {
 public:
  SetupDataSource() = default;
  SetupDataSource(const SetupDataSource&) = delete;
  SetupDataSource& operator=(const SetupDataSource&) = delete;
  ~SetupDataSource();

  // Resource `id` of type "Setup" of `module` (null: the program). False, with the message
  // for the user in `*failure`, when it cannot be had.
  bool OpenResource(HMODULE module, int id, const SetupResourceMessages& messages, std::string* failure);
  // A whole file; false when it cannot be opened or is not a file.
  bool OpenFile(const std::string& path);

  uint64_t Size() const { return size_; }
  // Up to `size` bytes from the current place: fewer only at the end. False on a read error.
  bool Read(char* buffer, uint32_t size, uint32_t* got);
  // Back to the first byte.
  bool Rewind();

 private:
  HANDLE file_ = INVALID_HANDLE_VALUE;
  uint64_t start_ = 0;  // of the bytes in the file
  const char* image_ = nullptr;  // the bytes in the loaded image, where no file is read
  uint64_t size_ = 0;
  uint64_t done_ = 0;
};
