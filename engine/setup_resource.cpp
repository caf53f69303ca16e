#include "engine/setup_resource.h"

#include <cstdio>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

#include "engine/machine_calls.h"

namespace {

constexpr DWORD kCopyChunk = 1 << 20;

// Where `bytes` of the loaded `module` lie in its file, from the section that holds them.
// A module loaded as a data file (its handle's low bits set) is no image and has none.
bool FileOffsetOf(HMODULE module, const void* bytes, DWORD size, uint64_t* offset) {
  if (module == nullptr) module = GetModuleHandleW(nullptr);  // the program itself, as for FindResource
  const uintptr_t base = reinterpret_cast<uintptr_t>(module);
  if ((base & 3) != 0) return false;
  const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
  if (dos->e_magic != IMAGE_DOS_SIGNATURE) return false;
  const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
  if (nt->Signature != IMAGE_NT_SIGNATURE) return false;
  const uint64_t rva = reinterpret_cast<uintptr_t>(bytes) - base;
  const IMAGE_SECTION_HEADER* section = IMAGE_FIRST_SECTION(nt);
  for (WORD i = 0; i < nt->FileHeader.NumberOfSections; ++i, ++section) {
    if (rva >= section->VirtualAddress && rva + size <= uint64_t{section->VirtualAddress} + section->SizeOfRawData) {
      *offset = rva - section->VirtualAddress + section->PointerToRawData;
      return true;
    }
  }
  return false;
}

// Copies the resource's bytes from the program's file rather than from its loaded image:
// every page of the image that is read stays in the process's memory until it ends, and
// the setup data is the whole compressed payload. Returns how many bytes came from the
// file; the caller copies the rest from the image (all of it where the file cannot be read).
DWORD CopyFromModuleFile(HMODULE module, const void* bytes, DWORD size, FILE* out, const std::string& path,
                         bool* writeFailed) {
  uint64_t offset = 0;
  std::vector<wchar_t> modulePath(32768);
  const DWORD length = GetModuleFileNameW(module, modulePath.data(), static_cast<DWORD>(modulePath.size()));
  if (!FileOffsetOf(module, bytes, size, &offset) || length == 0 || length >= modulePath.size()) return 0;
  HANDLE file = CreateFileW(modulePath.data(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                            OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  if (file == INVALID_HANDLE_VALUE) return 0;
  std::unique_ptr<char[]> buffer(new (std::nothrow) char[kCopyChunk]);
  LARGE_INTEGER at;
  at.QuadPart = static_cast<LONGLONG>(offset);
  DWORD done = 0;
  bool reading = buffer != nullptr && SetFilePointerEx(file, at, nullptr, FILE_BEGIN);
  while (reading && done < size) {
    const DWORD want = size - done < kCopyChunk ? size - done : kCopyChunk;
    DWORD got = 0;
    // The first bytes must be the image's: a file changed on disk since it was loaded is
    // not the program that runs.
    reading = ReadFile(file, buffer.get(), want, &got, nullptr) && got == want &&
              (done != 0 || std::memcmp(buffer.get(), bytes, want < 4096 ? want : 4096) == 0);
    if (!reading) break;
    if (!machine::Write(out, path, buffer.get(), got)) {
      *writeFailed = true;
      break;
    }
    done += got;
  }
  CloseHandle(file);
  return done;
}

}  // namespace

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
  bool writeFailed = false;
  const DWORD fromFile = CopyFromModuleFile(module, bytes, size, file, path, &writeFailed);
  bool written = !writeFailed && (fromFile == size || machine::Write(file, path, static_cast<const char*>(bytes) + fromFile,
                                                                       size - fromFile));
  written = (std::fclose(file) == 0) && written;
  if (!written) {
    machine::RemoveFile(path);
    show(context, messages.notCreated);
  }
  return written;
}
