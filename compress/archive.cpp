#include "compress/archive.h"

#include <zlib.h>

#include <memory>
#include <new>

#include "compress/crc32.h"

namespace {

// Input is read, and output drained, in blocks of this size; progress and stop queries
// happen once per input block.
constexpr std::size_t kBufferSize = 0x500000;
// The interface version the stream initialisers are told; zlib checks only its first digit.
constexpr char kZlibVersion[] = "1.2.2";

using Buffer = std::unique_ptr<unsigned char[]>;

Buffer AllocateBuffer() { return Buffer(new (std::nothrow) unsigned char[kBufferSize]); }

// Ends the zlib stream on every way out of an operation, so no path leaks zlib's state.
template <int (*End)(z_streamp)>
class StreamGuard {
 public:
  explicit StreamGuard(z_stream* stream) : stream_(stream) {}
  ~StreamGuard() { End(stream_); }
  StreamGuard(const StreamGuard&) = delete;
  StreamGuard& operator=(const StreamGuard&) = delete;

 private:
  z_stream* stream_;
};
using InflateGuard = StreamGuard<inflateEnd>;
using DeflateGuard = StreamGuard<deflateEnd>;

// The caller's two running values, started; a caller may pass no address for a checksum
// it does not want.
class Checksums {
 public:
  Checksums(uint32_t* plain, uint32_t* stream)
      : plain_(plain != nullptr ? plain : &scratch_[0]), stream_(stream != nullptr ? stream : &scratch_[1]) {
    *plain_ = CCRC32::kStart;
    *stream_ = CCRC32::kStart;
  }
  uint32_t* plain() const { return plain_; }
  uint32_t* stream() const { return stream_; }
  void Finish() {
    *plain_ = ~*plain_;
    *stream_ = ~*stream_;
  }

 private:
  uint32_t scratch_[2] = {0, 0};
  uint32_t* plain_;
  uint32_t* stream_;
};

bool WriteAll(std::FILE* destination, const unsigned char* data, std::size_t size) {
  if (size == 0) return true;
  return std::fwrite(data, 1, size, destination) == size && !std::ferror(destination);
}

// The tail of the output may still sit in the stream's buffer; a full disk shows only
// when it is pushed out, and must not pass for success.
bool Flush(std::FILE* destination) { return std::fflush(destination) == 0 && !std::ferror(destination); }

// Both file-to-file operations own their two files only for the length of the call.
struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

File OpenFile(const char* path, const char* mode) {
  if (path == nullptr || *path == '\0') return File();
  return File(std::fopen(path, mode));
}

// Opens both files and runs one stream operation between them.
template <typename StreamOperation>
int BetweenFiles(const char* source, const char* destination, uint32_t* crcUncompressed, uint32_t* crcStream,
                 StreamOperation run) {
  Checksums checksums(crcUncompressed, crcStream);
  File in = OpenFile(source, "rb");
  if (!in) return kArchiveSourceNotOpened;
  File out = OpenFile(destination, "wb");
  if (!out) return kArchiveDestinationNotOpened;
  int code = run(in.get(), out.get(), checksums.plain(), checksums.stream());
  out.reset();  // the destination first, then the source
  in.reset();
  return code;
}

// Reports one finished block and asks whether to go on.
bool BlockDone(ArchiveObserver* observer, std::size_t written) {
  if (observer == nullptr) return false;
  observer->OnBlockWritten(written);
  return observer->StopRequested();
}

}  // namespace

int Archive::CompressFile(const char* source, const char* destination, uint32_t* crcUncompressed,
                          uint32_t* crcStream, int level) {
  return BetweenFiles(source, destination, crcUncompressed, crcStream,
                      [&](std::FILE* in, std::FILE* out, uint32_t* plainCrc, uint32_t* streamCrc) {
                        return CompressStream(in, out, plainCrc, streamCrc, level);
                      });
}

int Archive::DecompressFile(const char* source, const char* destination, uint32_t* crcUncompressed,
                            uint32_t* crcStream) {
  return BetweenFiles(source, destination, crcUncompressed, crcStream,
                      [&](std::FILE* in, std::FILE* out, uint32_t* plainCrc, uint32_t* streamCrc) {
                        return DecompressStream(in, out, plainCrc, streamCrc);
                      });
}

int Archive::DecompressStream(std::FILE* source, std::FILE* destination, uint32_t* crcUncompressed,
                              uint32_t* crcStream) {
  Checksums checksums(crcUncompressed, crcStream);
  if (source == nullptr || destination == nullptr) return kArchiveFileError;

  z_stream stream{};  // no input yet; null allocators select zlib's own
  int ret = inflateInit_(&stream, kZlibVersion, static_cast<int>(sizeof(z_stream)));
  if (ret != Z_OK) return ret;
  InflateGuard endStream(&stream);

  Buffer in = AllocateBuffer();
  Buffer out = AllocateBuffer();
  if (!in || !out) return kArchiveMemoryError;

  const CCRC32 crc;
  do {
    std::size_t got = std::fread(in.get(), 1, kBufferSize, source);
    if (std::ferror(source)) return kArchiveFileError;
    if (got == 0) break;
    crc.Update(in.get(), got, checksums.stream());

    stream.next_in = in.get();
    stream.avail_in = static_cast<uInt>(got);
    std::size_t producedForBlock = 0;
    do {
      stream.next_out = out.get();
      stream.avail_out = static_cast<uInt>(kBufferSize);
      ret = inflate(&stream, Z_NO_FLUSH);
      if (ret == Z_STREAM_ERROR) return Z_STREAM_ERROR;
      // A stream that needs a preset dictionary cannot be inflated here: treat it as bad data.
      if (ret == Z_NEED_DICT) ret = Z_DATA_ERROR;
      if (ret == Z_DATA_ERROR || ret == Z_MEM_ERROR) return ret;
      std::size_t produced = kBufferSize - stream.avail_out;
      crc.Update(out.get(), produced, checksums.plain());
      if (!WriteAll(destination, out.get(), produced)) return kArchiveFileError;
      producedForBlock += produced;
    } while (stream.avail_out == 0);

    if (BlockDone(observer_, producedForBlock)) return kArchiveOk;
    if (stream.avail_in != 0) return kArchiveException;
  } while (ret != Z_STREAM_END);

  if (ret != Z_STREAM_END) return Z_DATA_ERROR;  // the source ended inside the stream
  // The stream ended exactly at a block boundary: anything after it is not ours either.
  if (std::fgetc(source) != EOF) return kArchiveException;
  if (!Flush(destination)) return kArchiveFileError;
  checksums.Finish();
  return kArchiveOk;
}

int Archive::CompressStream(std::FILE* source, std::FILE* destination, uint32_t* crcUncompressed,
                            uint32_t* crcStream, int level) {
  Checksums checksums(crcUncompressed, crcStream);
  if (source == nullptr || destination == nullptr) return kArchiveFileError;

  z_stream stream{};  // no input yet; null allocators select zlib's own
  int ret = deflateInit_(&stream, level, kZlibVersion, static_cast<int>(sizeof(z_stream)));
  if (ret != Z_OK) return ret;
  DeflateGuard endStream(&stream);

  Buffer in = AllocateBuffer();
  Buffer out = AllocateBuffer();
  if (!in || !out) return kArchiveMemoryError;

  const CCRC32 crc;
  int flush = Z_NO_FLUSH;
  do {
    std::size_t got = std::fread(in.get(), 1, kBufferSize, source);
    if (std::ferror(source)) return kArchiveFileError;
    crc.Update(in.get(), got, checksums.plain());
    // A full block leaves the end-of-file state unknown; the next, empty read then
    // finishes the stream.
    flush = (std::feof(source) || got < kBufferSize) ? Z_FINISH : Z_NO_FLUSH;

    stream.next_in = in.get();
    stream.avail_in = static_cast<uInt>(got);
    std::size_t producedForBlock = 0;
    do {
      stream.next_out = out.get();
      stream.avail_out = static_cast<uInt>(kBufferSize);
      ret = deflate(&stream, flush);
      if (ret == Z_STREAM_ERROR) return Z_STREAM_ERROR;
      std::size_t produced = kBufferSize - stream.avail_out;
      crc.Update(out.get(), produced, checksums.stream());
      if (!WriteAll(destination, out.get(), produced)) return kArchiveFileError;
      producedForBlock += produced;
    } while (stream.avail_out == 0);

    if (BlockDone(observer_, producedForBlock)) return kArchiveOk;
    if (stream.avail_in != 0) return kArchiveException;
  } while (flush != Z_FINISH);

  if (ret != Z_STREAM_END) return kArchiveException;
  if (!Flush(destination)) return kArchiveFileError;
  checksums.Finish();
  return kArchiveOk;
}

const char* Archive::ResultMessage(int code) {
  switch (code) {
    case kArchiveOk:
      return "Success.";
    case kArchiveFileError:
      return "Couldn't read/write file.";
    case kArchiveStreamError:
      return "Invalid compression level.";
    case kArchiveDataError:
      return "Deflate data invalid or incomplete.";
    case kArchiveMemoryError:
      return "Couldn't allocate memory for processing.";
    case kArchiveVersionError:
      return "Usage and linked library versions do not match.";
    default:
      return "Deflating/Inflating exception error.";
  }
}

const char* Archive::FailureMessage(int code, bool compressing) {
  switch (code) {
    case kArchiveSourceNotOpened:
      return compressing ? "Couldn't open source file for compression."
                         : "Couldn't open source file for decompression.";
    case kArchiveDestinationNotOpened:
      return compressing ? "Couldn't open destination file for compression."
                         : "Couldn't open destination file for decompression.";
    default:
      return ResultMessage(code);
  }
}
