#include "formats/record_stream.h"

#include <cstring>
#include <memory>
#include <new>

namespace {

// Reads one 4-byte value into `value` only when all four bytes arrived, so a value cut
// short by the end of the stream never reaches the caller half-written.
bool ReadValue(uint32_t* value, ByteSource& source) {
  unsigned char bytes[4];
  const size_t read = source.Read(bytes, sizeof bytes);
  if (source.Failed() || read != sizeof bytes) return false;
  *value = static_cast<uint32_t>(bytes[0]) | static_cast<uint32_t>(bytes[1]) << 8 |
           static_cast<uint32_t>(bytes[2]) << 16 | static_cast<uint32_t>(bytes[3]) << 24;
  return true;
}

}  // namespace

bool WriteInt(uint32_t value, FILE* stream) {
  const unsigned char bytes[4] = {static_cast<unsigned char>(value), static_cast<unsigned char>(value >> 8),
                                  static_cast<unsigned char>(value >> 16),
                                  static_cast<unsigned char>(value >> 24)};
  return fwrite(bytes, sizeof bytes, 1, stream) >= 1;
}

bool WriteString(std::string text, FILE* stream) {
  if (text.size() > kMaxStoredStringLength) return false;
  const uint32_t length = static_cast<uint32_t>(text.size());
  if (!WriteInt(length, stream)) return false;
  if (length == 0) return true;
  return fwrite(text.data(), 1, length, stream) == length;
}

bool ReadBool(uint32_t* value, ByteSource& source) { return ReadValue(value, source); }

bool ReadInt(uint32_t* value, ByteSource& source) { return ReadValue(value, source); }

bool ReadString(char* buffer, ByteSource& source) {
  uint32_t stored = 0;
  if (!ReadValue(&stored, source)) return false;
  const int32_t length = static_cast<int32_t>(stored);
  if (length <= 0) {
    buffer[0] = '\0';
    return true;
  }
  if (static_cast<size_t>(length) > kMaxStoredStringLength) return false;
  const size_t read = source.Read(buffer, static_cast<size_t>(length));
  buffer[read] = '\0';
  return !source.Failed() && read == static_cast<size_t>(length);
}

bool ReadBool(uint32_t* value, FILE* stream) {
  FileByteSource source(stream);
  return ReadBool(value, source);
}

bool ReadInt(uint32_t* value, FILE* stream) {
  FileByteSource source(stream);
  return ReadInt(value, source);
}

bool ReadString(char* buffer, FILE* stream) {
  FileByteSource source(stream);
  return ReadString(buffer, source);
}

bool ReadText(std::string& text, FILE* stream) {
  text.clear();
  if (stream == nullptr) return false;
  std::unique_ptr<char[]> chunk(new (std::nothrow) char[kStreamChunkSize + 1]);
  if (!chunk) return false;
  while (!feof(stream)) {
    const size_t read = fread(chunk.get(), 1, kStreamChunkSize, stream);
    if (ferror(stream)) return false;
    // A stream that neither delivers bytes nor reports its end would spin forever.
    if (read == 0 && !feof(stream)) return false;
    chunk[read] = '\0';
    text.append(chunk.get());
  }
  return true;
}

std::string BufferText(const char* buffer) {
  const void* end = memchr(buffer, '\0', kStringBufferSize);
  const size_t length = end ? static_cast<size_t>(static_cast<const char*>(end) - buffer) : kStringBufferSize;
  return std::string(buffer, length);
}

bool SetBufferText(char* buffer, const std::string& text) {
  if (text.size() > kMaxStoredStringLength) {
    buffer[0] = '\0';
    return false;
  }
  memcpy(buffer, text.data(), text.size());
  buffer[text.size()] = '\0';
  return true;
}
