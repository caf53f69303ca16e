#pragma once
// A folder of the test's own under the temporary folder, emptied and removed at the end,
// with a helper to put files into it.

#include <windows.h>

#include <string>

#include "tests/e2e/scratch_folder.h"

class ScratchDir : public e2e::ScratchFolder {
 public:
  bool WriteFile(const std::string& name, const std::string& bytes) const {
    HANDLE file = CreateFileA(PathOf(name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    const bool ok = ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
                    written == bytes.size();
    return CloseHandle(file) && ok;
  }
};
