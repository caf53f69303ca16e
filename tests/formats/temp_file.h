#pragma once
// A uniquely named file in the system's temporary folder, removed when the test ends.
// Real files rather than memory streams, so the same tests run on Windows.

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

using Bytes = std::vector<uint8_t>;

class TempFile {
 public:
  TempFile();
  ~TempFile();
  TempFile(const TempFile&) = delete;
  TempFile& operator=(const TempFile&) = delete;

  const std::string& path() const { return path_; }
  // Closes any stream still open, then opens the file with `mode`.
  FILE* Open(const char* mode);
  // Replaces the file's content with `bytes` and opens it with `mode`.
  FILE* OpenWith(const Bytes& bytes, const char* mode = "rb");
  void Close();
  // Closes any open stream and returns the whole file.
  Bytes Contents();

 private:
  std::string path_;
  FILE* stream_ = nullptr;
};

// Lays out bytes in the record stream encoding by hand, independent of the writers.
class ByteWriter {
 public:
  ByteWriter& U32(uint32_t value);
  ByteWriter& Str(const std::string& text);  // length, then the bytes
  ByteWriter& Raw(const Bytes& bytes);
  ByteWriter& Text(const std::string& text);  // bytes only
  const Bytes& bytes() const { return bytes_; }

 private:
  Bytes bytes_;
};
