#include "engine/setup_resource.h"

#include <cstdio>

#include "engine/machine_calls.h"

bool WriteSetupResource(HMODULE module, int id, const std::string& path, const SetupResourceMessages& messages,
                        void (*show)(void* context, const char* text), void* context) {
  HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(id), "Setup");
  if (found == nullptr) {
    show(context, messages.notFound);
    return false;
  }
  HGLOBAL loaded = LoadResource(module, found);
  if (loaded == nullptr) {
    show(context, messages.notLoaded);
    return false;
  }
  const void* bytes = LockResource(loaded);
  if (bytes == nullptr) {
    show(context, messages.notLocked);
    return false;
  }
  const DWORD size = SizeofResource(module, found);
  if (size == 0) {
    show(context, messages.emptySize);
    return false;
  }
  FILE* file = machine::OpenStream(path, "wb");
  if (file == nullptr) {
    show(context, messages.notCreated);
    return false;
  }
  bool written = machine::Write(file, path, bytes, size);
  written = (std::fclose(file) == 0) && written;
  if (!written) {
    machine::RemoveFile(path);
    show(context, messages.notCreated);
  }
  return written;
}
