#include "compress/inflating_reader.h"

#include <zlib.h>

#include <cstring>
#include <new>
#include <system_error>

#include "compress/crc32.h"

namespace {

// Four blocks (of 1 MiB in an installation): enough for the inflating thread to stay ahead
// of a reader that writes small files, little enough to keep memory flat.
constexpr std::size_t kBlockCount = 4;

struct InflateEnd {
  void operator()(z_stream* stream) const { inflateEnd(stream); }
};

}  // namespace

InflatingReader::InflatingReader(CompressedSource source, Sizes sizes) : source_(std::move(source)), sizes_(sizes) {}

InflatingReader::~InflatingReader() { Stop(); }

bool InflatingReader::Start() {
  // An empty block would be handed over forever without a byte in it.
  if (sizes_.block == 0 || sizes_.input == 0) return false;
  blocks_.resize(kBlockCount);
  for (Block& block : blocks_) {
    block.bytes.reset(new (std::nothrow) char[sizes_.block]);
    if (!block.bytes) return false;
  }
  try {
    thread_ = std::thread([this] { Inflate(); });
  } catch (const std::system_error&) {
    return false;
  }
  started_ = true;
  return true;
}

void InflatingReader::Stop() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stop_ = true;
  }
  changed_.notify_all();
  if (thread_.joinable()) thread_.join();
}

void InflatingReader::Inflate() {
  const End end = InflateInto();
  std::lock_guard<std::mutex> lock(mutex_);
  inflated_ = true;
  end_ = end;
  changed_.notify_all();
}

bool InflatingReader::WaitForFreeBlock() {
  std::unique_lock<std::mutex> lock(mutex_);
  changed_.wait(lock, [this] { return stop_ || filled_ - released_ < blocks_.size(); });
  return !stop_;
}

bool InflatingReader::HandOver(std::size_t size) {
  std::lock_guard<std::mutex> lock(mutex_);
  blocks_[filled_ % blocks_.size()].size = size;
  ++filled_;
  changed_.notify_all();
  return !stop_;
}

// Fills block after block until the stream ends; the reader is told how it ended by Inflate.
InflatingReader::End InflatingReader::InflateInto() {
  z_stream stream{};
  if (inflateInit(&stream) != Z_OK) return End::kNoMemory;
  std::unique_ptr<z_stream, InflateEnd> endStream(&stream);
  std::unique_ptr<char[]> input(new (std::nothrow) char[sizes_.input]);
  if (!input) return End::kNoMemory;

  const CCRC32 checksum;
  uint32_t crc = CCRC32::kStart;
  bool sourceEnded = false;
  int ret = Z_OK;
  while (ret != Z_STREAM_END) {
    if (!WaitForFreeBlock()) return End::kWhole;  // stopped: nobody asks any more
    char* block = blocks_[filled_ % blocks_.size()].bytes.get();
    stream.next_out = reinterpret_cast<Bytef*>(block);
    stream.avail_out = static_cast<uInt>(sizes_.block);
    while (stream.avail_out != 0 && ret != Z_STREAM_END) {
      if (stream.avail_in == 0 && !sourceEnded) {
        uint32_t got = 0;
        if (!source_(input.get(), sizes_.input, &got)) return End::kUnreadable;
        sourceEnded = got == 0;
        stream.next_in = reinterpret_cast<Bytef*>(input.get());
        stream.avail_in = got;
      }
      ret = inflate(&stream, Z_NO_FLUSH);
      if (ret == Z_MEM_ERROR) return End::kNoMemory;
      // A preset dictionary, bad data, or no progress at the end of the input: damaged.
      if (ret == Z_NEED_DICT || ret == Z_DATA_ERROR || ret == Z_STREAM_ERROR) return End::kDamaged;
      if (ret == Z_BUF_ERROR && sourceEnded) return End::kDamaged;
    }
    const std::size_t size = sizes_.block - stream.avail_out;
    checksum.Update(block, size, &crc);
    if (!HandOver(size)) return End::kWhole;
  }
  // Nothing may follow the stream, neither in the buffer nor after it.
  uint32_t more = 0;
  if (stream.avail_in != 0) return End::kDamaged;
  if (!sourceEnded && (!source_(input.get(), sizes_.input, &more))) return End::kUnreadable;
  if (more != 0) return End::kDamaged;
  std::lock_guard<std::mutex> lock(mutex_);
  crc_ = ~crc;
  return End::kWhole;
}

bool InflatingReader::Next(std::size_t max, const char** data, std::size_t* size) {
  if (ended_ || !started_) return false;
  std::unique_lock<std::mutex> lock(mutex_);
  // An empty block (a stream that ends right after a full one) gives nothing to read.
  for (;;) {
    if (holding_ && position_ == blocks_[released_ % blocks_.size()].size) {
      holding_ = false;
      ++released_;
      changed_.notify_all();
    }
    if (!holding_) {
      changed_.wait(lock, [this] { return filled_ > released_ || inflated_; });
      if (filled_ == released_) {
        ended_ = true;
        return false;
      }
      holding_ = true;
      position_ = 0;
    }
    if (blocks_[released_ % blocks_.size()].size != position_) break;
  }
  const Block& block = blocks_[released_ % blocks_.size()];
  lock.unlock();
  const std::size_t left = block.size - position_;
  *data = block.bytes.get() + position_;
  *size = left < max ? left : max;
  position_ += *size;
  return true;
}

std::size_t InflatingReader::Read(void* data, std::size_t size) {
  std::size_t done = 0;
  while (done < size) {
    const char* piece = nullptr;
    std::size_t got = 0;
    if (!Next(size - done, &piece, &got)) break;
    std::memcpy(static_cast<char*>(data) + done, piece, got);
    done += got;
  }
  return done;
}

InflatingReader::End InflatingReader::Finish(uint32_t* crc) {
  if (!started_) return End::kNoMemory;
  const char* piece = nullptr;
  std::size_t got = 0;
  while (Next(sizes_.block, &piece, &got)) {
  }
  if (thread_.joinable()) thread_.join();
  std::lock_guard<std::mutex> lock(mutex_);
  *crc = crc_;
  return end_;
}

InflatingReader::End InflatingReader::EndSoFar() {
  std::lock_guard<std::mutex> lock(mutex_);
  return inflated_ ? end_ : End::kWhole;
}
