#pragma once
// The field encoding shared by every binary file of the setup: 32-bit little-endian
// values, booleans as 32-bit values, strings as a signed 32-bit length followed by that
// many ANSI bytes (no terminator). There is no framing: the reader's order of calls gives
// the fields their meaning.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

// Every stored string is read into a buffer of this size (the Windows path limit).
constexpr std::size_t kStringBufferSize = 260;
constexpr std::size_t kMaxStoredStringLength = kStringBufferSize - 1;

// Streaming copies and ReadText work in chunks of this size (5 MiB).
constexpr std::size_t kStreamChunkSize = 0x500000;

// Where the readers take their bytes from: a C stream (the FILE* forms below wrap one), or
// anything else that hands out a byte stream front to back, such as a payload inflated
// while it is read.
class ByteSource {
 public:
  virtual ~ByteSource() = default;
  // Up to `size` bytes; fewer only at the end of the stream or when it failed.
  virtual std::size_t Read(void* data, std::size_t size) = 0;
  // Whether the stream ended or failed: a read that leaves it so has failed.
  virtual bool Failed() const = 0;
};

// A C stream as a ByteSource: failed once its error or end-of-file indicator is set.
class FileByteSource : public ByteSource {
 public:
  explicit FileByteSource(FILE* stream) : stream_(stream) {}
  std::size_t Read(void* data, std::size_t size) override { return fread(data, 1, size, stream_); }
  bool Failed() const override { return ferror(stream_) != 0 || feof(stream_) != 0; }

 private:
  FILE* stream_;
};

// A text longer than kMaxStoredStringLength is refused (false, nothing written): no
// reader could take it back.
bool WriteString(std::string text, FILE* stream);
bool WriteInt(uint32_t value, FILE* stream);
// Both fail when the stream's error or end-of-file indicator is set after the read; the
// destination is then left as it was.
bool ReadBool(uint32_t* value, FILE* stream);
bool ReadInt(uint32_t* value, FILE* stream);
// `buffer` holds kStringBufferSize bytes. A stored length above kMaxStoredStringLength
// fails the read and leaves the buffer unchanged; the buffer is never overrun. A read cut
// short by the end of the stream fails too, but terminates the part it did read, so the
// buffer always stays usable as text.
bool ReadString(char* buffer, FILE* stream);
bool ReadInt(uint32_t* value, ByteSource& source);
bool ReadBool(uint32_t* value, ByteSource& source);
bool ReadString(char* buffer, ByteSource& source);
// Empties `text`, then appends the rest of the stream in kStreamChunkSize chunks.
bool ReadText(std::string& text, FILE* stream);

// The text of a string buffer, up to its first NUL but never past its end.
std::string BufferText(const char* buffer);
// Copies `text` and a NUL into a string buffer; false (buffer emptied) when it does not fit.
bool SetBufferText(char* buffer, const std::string& text);
