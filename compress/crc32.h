#pragma once
// The standard CRC-32 (reflected polynomial 0xEDB88320), equal to zlib's crc32.
// The running value is the caller's: start with 0xFFFFFFFF, update, then take its NOT.

#include <cstddef>
#include <cstdint>

#ifdef _WIN32
#include <windows.h>
#endif

class CCRC32 {
 public:
  static constexpr uint32_t kStart = 0xFFFFFFFFu;
  static constexpr int kOk = 0;
  static constexpr int kFailed = 23;

  virtual ~CCRC32() = default;

  // One byte, one table lookup.
  void UpdateByte(uint8_t byte, uint32_t* crc) const;
  // Many bytes at once; the same value as UpdateByte applied to each byte in turn.
  void Update(const void* data, std::size_t size, uint32_t* crc) const;

  // Checksum of the text up to its terminating zero: kOk, or kFailed for a null text.
  int TextChecksum(const char* text, uint32_t* result) const;
  // Checksum of a whole file: kOk, or kFailed (empty path, cannot open, read error).
  int FileChecksum(const char* path, uint32_t* result) const;

#ifdef _WIN32
  // Size of an open file: 1 on success, 0 on failure.
  int FileSize(HANDLE file, uint64_t* size) const;
#endif
};
