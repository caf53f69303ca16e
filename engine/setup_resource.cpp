#include "engine/setup_resource.h"

#include <cstdio>
#include <memory>
#include <new>

#include "engine/machine_calls.h"

namespace {

constexpr uint32_t kCopyChunk = 1 << 20;

bool CopyAll(SetupDataSource* source, FILE* out, const std::string& path) {
  std::unique_ptr<char[]> buffer(new (std::nothrow) char[kCopyChunk]);
  if (!buffer) return false;
  for (;;) {
    uint32_t got = 0;
    if (!source->Read(buffer.get(), kCopyChunk, &got)) return false;
    if (got == 0) return true;
    if (!machine::Write(out, path, buffer.get(), got)) return false;
  }
}

}  // namespace

bool WriteSetupResource(HMODULE module, int id, const std::string& path, const SetupResourceMessages& messages,
                        void (*show)(void* context, const char* text), void* context) {
  SetupDataSource source;
  std::string failure;
  if (!source.OpenResource(module, id, messages, &failure)) {
    show(context, failure.c_str());
    return false;
  }
  FILE* file = machine::OpenStream(path, "wb");
  if (file == nullptr) {
    show(context, messages.notCreated);
    return false;
  }
  bool written = CopyAll(&source, file, path);
  written = (std::fclose(file) == 0) && written;
  if (!written) {
    machine::RemoveFile(path);
    show(context, messages.notCreated);
  }
  return written;
}
