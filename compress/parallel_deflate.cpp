#include "compress/parallel_deflate.h"

#include <zlib.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <deque>
#include <exception>
#include <future>
#include <thread>
#include <utility>
#include <vector>

namespace {

using Bytes = std::vector<unsigned char>;

constexpr std::size_t kDictionarySize = 32768;  // deflate's whole window
constexpr int kRawWindowBits = -15;             // raw deflate: the zlib wrapper is ours
constexpr int kMemLevel = 8;                    // what deflateInit uses

struct Block {
  Bytes input;
  Bytes dictionary;  // the last 32 KiB before this block
  bool last = false;
};

struct Deflated {
  Bytes output;
  uint32_t adler = 1;
  uint32_t crc = 0;
  std::size_t inputSize = 0;
  std::string error;  // empty on success
};

class DeflateEnd {
 public:
  explicit DeflateEnd(z_stream* stream) : stream_(stream) {}
  ~DeflateEnd() { deflateEnd(stream_); }
  DeflateEnd(const DeflateEnd&) = delete;
  DeflateEnd& operator=(const DeflateEnd&) = delete;

 private:
  z_stream* stream_;
};

// One block to raw deflate data ending on a byte boundary, or, for the last block, ending
// the deflate stream.
Deflated DeflateBlock(int level, const Block& block) {
  Deflated result;
  result.inputSize = block.input.size();
  const uInt size = static_cast<uInt>(block.input.size());
  result.adler = static_cast<uint32_t>(adler32(1, block.input.data(), size));
  result.crc = static_cast<uint32_t>(crc32(0, block.input.data(), size));

  z_stream stream{};
  int ret = deflateInit2(&stream, level, Z_DEFLATED, kRawWindowBits, kMemLevel, Z_DEFAULT_STRATEGY);
  if (ret != Z_OK) {
    result.error = ret == Z_MEM_ERROR ? "out of memory" : "the compression level is not valid";
    return result;
  }
  DeflateEnd end(&stream);
  if (!block.dictionary.empty() &&
      deflateSetDictionary(&stream, block.dictionary.data(), static_cast<uInt>(block.dictionary.size())) != Z_OK) {
    result.error = "the compressor refused its dictionary";
    return result;
  }
  // The bound covers the deflate data; a sync flush adds an empty stored block.
  result.output.resize(deflateBound(&stream, size) + 16);
  stream.next_in = const_cast<unsigned char*>(block.input.data());
  stream.avail_in = size;
  const int flush = block.last ? Z_FINISH : Z_SYNC_FLUSH;
  std::size_t produced = 0;
  for (;;) {
    stream.next_out = result.output.data() + produced;
    stream.avail_out = static_cast<uInt>(result.output.size() - produced);
    ret = deflate(&stream, flush);
    if (ret == Z_STREAM_ERROR) {
      result.error = "the compressor's state is damaged";
      return result;
    }
    produced = result.output.size() - stream.avail_out;
    const bool done = block.last ? ret == Z_STREAM_END : stream.avail_out != 0;
    if (done) break;
    result.output.resize(result.output.size() * 2);
  }
  result.output.resize(produced);
  return result;
}

// Reads up to one block; a short block means the end of the input (or a read error,
// which the caller checks).
Bytes ReadBlock(std::FILE* source) {
  Bytes block(ParallelDeflate::kBlockSize);
  const std::size_t got = std::fread(block.data(), 1, block.size(), source);
  block.resize(got);
  return block;
}

Bytes Tail(const Bytes& bytes) {
  const std::size_t keep = std::min(bytes.size(), kDictionarySize);
  return Bytes(bytes.end() - static_cast<std::ptrdiff_t>(keep), bytes.end());
}

// The two bytes zlib's deflateInit writes for this level: deflate with a 32 KiB window,
// the level's class, and the check bits.
Bytes ZlibHeader(int level) {
  if (level < 0) level = 6;  // Z_DEFAULT_COMPRESSION
  const unsigned levelClass = level < 2 ? 0 : level < 6 ? 1 : level == 6 ? 2 : 3;
  const unsigned cmf = 0x78;
  unsigned flg = levelClass << 6;
  flg += 31 - (cmf * 256 + flg) % 31;
  return {static_cast<unsigned char>(cmf), static_cast<unsigned char>(flg)};
}

class StreamWriter {
 public:
  StreamWriter(std::FILE* destination, ParallelDeflate::Checksums* sums) : destination_(destination), sums_(sums) {}

  bool Write(const Bytes& bytes, std::string* error) {
    if (bytes.empty()) return true;
    if (std::fwrite(bytes.data(), 1, bytes.size(), destination_) != bytes.size() || std::ferror(destination_)) {
      *error = std::string("cannot write the compressed data: ") + std::strerror(errno);
      return false;
    }
    streamCrc_ = crc32(streamCrc_, bytes.data(), static_cast<uInt>(bytes.size()));
    sums_->streamSize += bytes.size();
    return true;
  }

  // The tail may still sit in the stream's buffer; a full disk shows only when it is
  // pushed out.
  bool Finish(std::string* error) {
    if (std::fflush(destination_) != 0 || std::ferror(destination_)) {
      *error = std::string("cannot write the compressed data: ") + std::strerror(errno);
      return false;
    }
    sums_->streamCrc = static_cast<uint32_t>(streamCrc_);
    return true;
  }

 private:
  std::FILE* destination_;
  ParallelDeflate::Checksums* sums_;
  uLong streamCrc_ = crc32(0, Z_NULL, 0);
};

}  // namespace

ParallelDeflate::ParallelDeflate(int level, unsigned threads) : level_(level), threads_(threads) {
  if (threads_ == 0) threads_ = std::max(1u, std::thread::hardware_concurrency());
}

bool ParallelDeflate::Compress(std::FILE* source, std::FILE* destination, Checksums* sums, std::string* error) {
  *sums = Checksums();
  if (source == nullptr || destination == nullptr) {
    *error = "no file to read or to write";
    return false;
  }
  StreamWriter writer(destination, sums);
  uLong adler = adler32(0, Z_NULL, 0);
  uLong crc = crc32(0, Z_NULL, 0);
  std::deque<std::future<Deflated>> inFlight;

  // Blocks are written in input order, so the oldest one is always waited for first.
  auto writeOldest = [&]() {
    Deflated done = inFlight.front().get();
    inFlight.pop_front();
    if (!done.error.empty()) {
      *error = "compressing failed: " + done.error;
      return false;
    }
    if (!writer.Write(done.output, error)) return false;
    adler = adler32_combine(adler, done.adler, static_cast<z_off_t>(done.inputSize));
    crc = crc32_combine(crc, done.crc, static_cast<z_off_t>(done.inputSize));
    sums->plainSize += done.inputSize;
    if (progress_) progress_(sums->plainSize);
    return true;
  };
  // Waits for what is still running before leaving, so no thread outlives the call.
  auto abandon = [&]() {
    for (auto& pending : inFlight) pending.wait();
    return false;
  };

  try {
    if (!writer.Write(ZlibHeader(level_), error)) return false;
    Bytes current = ReadBlock(source);
    Bytes previousTail;
    for (;;) {
      if (std::ferror(source)) {
        *error = std::string("cannot read the data to compress: ") + std::strerror(errno);
        return abandon();
      }
      // A full block may be the last one: only reading on tells.
      Bytes next;
      if (current.size() == kBlockSize) next = ReadBlock(source);
      if (std::ferror(source)) continue;  // reported at the top
      Block block{std::move(current), std::move(previousTail), next.empty()};
      previousTail = Tail(block.input);
      const bool last = block.last;
      if (inFlight.size() >= threads_ && !writeOldest()) return abandon();
      if (threads_ == 1) {
        std::promise<Deflated> ready;
        ready.set_value(DeflateBlock(level_, block));
        inFlight.push_back(ready.get_future());
      } else {
        inFlight.push_back(
            std::async(std::launch::async, [level = level_, block = std::move(block)]() { return DeflateBlock(level, block); }));
      }
      if (last) break;
      current = std::move(next);
    }
    while (!inFlight.empty()) {
      if (!writeOldest()) return abandon();
    }
  } catch (const std::exception& failure) {
    *error = std::string("compressing failed: ") + failure.what();
    return abandon();
  }
  const Bytes trailer = {static_cast<unsigned char>(adler >> 24), static_cast<unsigned char>(adler >> 16),
                         static_cast<unsigned char>(adler >> 8), static_cast<unsigned char>(adler)};
  if (!writer.Write(trailer, error) || !writer.Finish(error)) return false;
  sums->plainCrc = static_cast<uint32_t>(crc);
  return true;
}
