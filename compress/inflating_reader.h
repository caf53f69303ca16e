#pragma once
// One zlib stream read as its inflated bytes, front to back, while a second thread
// inflates it a few blocks ahead of the reader: inflating overlaps with whatever the reader
// does with the bytes (writing them to files), and memory stays at those few blocks
// whatever the stream's size. The checksum of the inflated bytes is taken as they are made.
//
// The reader's side (Read, Next, Failed, Finish) belongs to one thread; the inflating
// thread only ever talks to it through the blocks.

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "formats/record_stream.h"

class InflatingReader : public ByteSource {
 public:
  // Up to `size` compressed bytes into `buffer`, `*got` of them (0 at the end); false when
  // they cannot be read. Called on the inflating thread only.
  using CompressedSource = std::function<bool(char* buffer, uint32_t size, uint32_t* got)>;

  enum class End {
    kWhole,       // the stream ended where its bytes did
    kDamaged,     // not a zlib stream, cut short, or followed by more bytes
    kUnreadable,  // the compressed bytes could not be read
    kNoMemory,
  };

  // The memory the reader works in, both at least 1. An installation takes the defaults;
  // tests and fuzzers make them tiny, so that the threads hand blocks over every few bytes.
  struct Sizes {
    std::size_t block;  // each of the few blocks the inflating thread fills ahead
    uint32_t input;     // compressed bytes asked of the source at a time
  };
  static constexpr Sizes kInstallationSizes = {1 << 20, 256 * 1024};

  explicit InflatingReader(CompressedSource source, Sizes sizes = kInstallationSizes);
  // Stops the inflating thread wherever it is.
  ~InflatingReader() override;
  InflatingReader(const InflatingReader&) = delete;
  InflatingReader& operator=(const InflatingReader&) = delete;

  // Starts inflating; false when the thread or its memory cannot be had, or a size is 0.
  bool Start();

  // ByteSource: copies out of the blocks.
  std::size_t Read(void* data, std::size_t size) override;
  // True once a read came up short: the stream ended or broke.
  bool Failed() const override { return ended_; }

  // The next piece of at most `max` bytes, without a copy; it stays valid until the next
  // call. False when nothing more comes (the stream ended or broke).
  bool Next(std::size_t max, const char** data, std::size_t* size);

  // Reads past whatever the reader left, waits for the inflating thread to end, and says
  // how the stream ended; `*crc` is the checksum of every inflated byte when kWhole.
  End Finish(uint32_t* crc);
  // How the stream ended so far: kWhole while it still goes on.
  End EndSoFar();

 private:
  struct Block {
    std::unique_ptr<char[]> bytes;
    std::size_t size = 0;
  };

  void Inflate();
  End InflateInto();
  bool WaitForFreeBlock();
  bool HandOver(std::size_t size);
  void Stop();

  CompressedSource source_;
  const Sizes sizes_;
  std::vector<Block> blocks_;
  std::thread thread_;

  std::mutex mutex_;
  std::condition_variable changed_;
  // Guarded by mutex_: blocks filled and released so far, counted from the start.
  uint64_t filled_ = 0;
  uint64_t released_ = 0;
  bool inflated_ = false;  // the thread has ended, with end_
  bool stop_ = false;
  End end_ = End::kWhole;
  uint32_t crc_ = 0;

  // The reader's own.
  bool started_ = false;
  bool holding_ = false;  // block released_ % blocks_.size() is being read
  std::size_t position_ = 0;
  bool ended_ = false;
};
