#include "engine/setup_data_source.h"

#include <cstring>
#include <vector>

namespace {

// The image and the file must agree on this many first bytes: a file changed on disk since
// the program was loaded is not the program that runs.
constexpr uint32_t kComparedBytes = 4096;

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

bool SeekTo(HANDLE file, uint64_t offset) {
  LARGE_INTEGER at;
  at.QuadPart = static_cast<LONGLONG>(offset);
  return SetFilePointerEx(file, at, nullptr, FILE_BEGIN) != 0;
}

// The module's file, open at `offset`, when its bytes there are the image's `bytes`.
HANDLE OpenModuleFileAt(HMODULE module, const char* bytes, DWORD size, uint64_t offset) {
  std::vector<wchar_t> modulePath(32768);
  const DWORD length = GetModuleFileNameW(module, modulePath.data(), static_cast<DWORD>(modulePath.size()));
  if (length == 0 || length >= modulePath.size()) return INVALID_HANDLE_VALUE;
  // Shared for deleting too: the uninstaller's copy may be removed while it runs.
  HANDLE file = CreateFileW(modulePath.data(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                            OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  if (file == INVALID_HANDLE_VALUE) return file;
  const DWORD compared = size < kComparedBytes ? size : kComparedBytes;
  char head[kComparedBytes];
  DWORD got = 0;
  if (SeekTo(file, offset) && ReadFile(file, head, compared, &got, nullptr) && got == compared &&
      std::memcmp(head, bytes, compared) == 0 && SeekTo(file, offset)) {
    return file;
  }
  CloseHandle(file);
  return INVALID_HANDLE_VALUE;
}

}  // namespace

SetupDataSource::~SetupDataSource() {
  if (file_ != INVALID_HANDLE_VALUE) CloseHandle(file_);
}

bool SetupDataSource::OpenResource(HMODULE module, int id, const SetupResourceMessages& messages,
                                   std::string* failure) {
  HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(id), "Setup");
  if (found == nullptr) {
    *failure = messages.notFound;
    return false;
  }
  HGLOBAL loaded = LoadResource(module, found);
  if (loaded == nullptr) {
    *failure = messages.notLoaded;
    return false;
  }
  const char* bytes = static_cast<const char*>(LockResource(loaded));
  if (bytes == nullptr) {
    *failure = messages.notLocked;
    return false;
  }
  const DWORD size = SizeofResource(module, found);
  if (size == 0) {
    *failure = messages.emptySize;
    return false;
  }
  uint64_t offset = 0;
  if (FileOffsetOf(module, bytes, size, &offset)) file_ = OpenModuleFileAt(module, bytes, size, offset);
  start_ = offset;
  image_ = file_ == INVALID_HANDLE_VALUE ? bytes : nullptr;
  size_ = size;
  done_ = 0;
  return true;
}

bool SetupDataSource::OpenFile(const std::string& path) {
  // Nobody may write to it while it is read: what was proven is what is installed.
  file_ = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN,
                      nullptr);
  LARGE_INTEGER size;
  if (file_ == INVALID_HANDLE_VALUE || !GetFileSizeEx(file_, &size)) return false;
  start_ = 0;
  size_ = static_cast<uint64_t>(size.QuadPart);
  done_ = 0;
  return true;
}

bool SetupDataSource::Read(char* buffer, uint32_t size, uint32_t* got) {
  const uint64_t left = size_ - done_;
  const uint32_t want = left < size ? static_cast<uint32_t>(left) : size;
  *got = 0;
  if (want == 0) return true;
  if (image_ != nullptr) {
    std::memcpy(buffer, image_ + done_, want);
  } else {
    DWORD read = 0;
    if (!ReadFile(file_, buffer, want, &read, nullptr) || read != want) return false;
  }
  done_ += want;
  *got = want;
  return true;
}

bool SetupDataSource::Rewind() {
  done_ = 0;
  return image_ != nullptr || SeekTo(file_, start_);
}
