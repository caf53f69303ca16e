// The floor: the least any installer must do with the payload, namely inflate the archive
// once and write each file's bytes to its place. No checksums, no temporary file, no log.

#include "bench/install/floor_run.h"

#include <windows.h>
#include <zlib.h>

#include <cstdio>
#include <memory>

namespace {

constexpr size_t kBufferBytes = 0x500000;

// Routes the inflated stream's bytes into the files they belong to.
class ContentWriter {
 public:
  ContentWriter(const BenchPayload& payload, const std::string& destination)
      : payload_(payload), destination_(destination) {}
  ~ContentWriter() { CloseCurrent(); }

  bool Take(const char* bytes, size_t count) {
    while (count > 0 && next_ < payload_.contents.size()) {
      const BenchContent& content = payload_.contents[next_];
      const uint64_t end = content.offset + content.size;
      if (position_ < content.offset) {  // record bytes between contents
        const size_t skip = static_cast<size_t>(std::min<uint64_t>(count, content.offset - position_));
        Advance(&bytes, &count, skip);
        continue;
      }
      if (!current_ && !Open(content)) return false;
      const size_t take = static_cast<size_t>(std::min<uint64_t>(count, end - position_));
      if (take && std::fwrite(bytes, 1, take, current_) != take) return false;
      Advance(&bytes, &count, take);
      if (position_ == end) {
        if (!CloseCurrent()) return false;
        ++next_;
      }
    }
    position_ += count;  // the registry part after the last file
    return true;
  }
  bool Complete() const { return next_ == payload_.contents.size(); }

 private:
  void Advance(const char** bytes, size_t* count, size_t by) {
    *bytes += by;
    *count -= by;
    position_ += by;
  }
  bool Open(const BenchContent& content) {
    current_ = std::fopen((destination_ + "\\" + content.path).c_str(), "wb");
    return current_ != nullptr;
  }
  bool CloseCurrent() {
    if (!current_) return true;
    const bool closed = std::fclose(current_) == 0;
    current_ = nullptr;
    return closed;
  }

  const BenchPayload& payload_;
  std::string destination_;
  size_t next_ = 0;
  uint64_t position_ = 0;
  FILE* current_ = nullptr;
};

}  // namespace

bool RunFloor(const BenchPayload& payload, const std::string& destination) {
  CreateDirectoryA(destination.c_str(), nullptr);
  for (const auto& folder : payload.folders) CreateDirectoryA((destination + "\\" + folder).c_str(), nullptr);
  FILE* archive = std::fopen((payload.basePath + ".exe.archive.bin").c_str(), "rb");
  if (!archive) return false;
  std::unique_ptr<char[]> in(new char[kBufferBytes]);
  std::unique_ptr<char[]> out(new char[kBufferBytes]);
  z_stream stream{};
  inflateInit(&stream);
  ContentWriter writer(payload, destination);
  int result = Z_OK;
  bool ok = true;
  while (ok && result != Z_STREAM_END) {
    stream.avail_in = static_cast<uInt>(std::fread(in.get(), 1, kBufferBytes, archive));
    if (stream.avail_in == 0) break;
    stream.next_in = reinterpret_cast<Bytef*>(in.get());
    do {
      stream.next_out = reinterpret_cast<Bytef*>(out.get());
      stream.avail_out = kBufferBytes;
      result = inflate(&stream, Z_NO_FLUSH);
      if (result != Z_OK && result != Z_STREAM_END) {
        ok = false;
        break;
      }
      ok = writer.Take(out.get(), kBufferBytes - stream.avail_out);
    } while (ok && stream.avail_out == 0);
  }
  inflateEnd(&stream);
  std::fclose(archive);
  return ok && result == Z_STREAM_END && writer.Complete();
}
