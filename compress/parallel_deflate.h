#pragma once
// Compresses a byte stream into one ordinary zlib stream on several threads. The input is
// cut into blocks of a fixed size; each block is deflated on its own, primed with the last
// 32 KiB of the block before it as its dictionary, and ends on a byte boundary (a sync
// flush) so the pieces can simply be written one after another; the last block finishes
// the stream. The Adler-32 of the stream and the CRC-32 of the input are joined from the
// blocks' own values.
//
// Because the block size does not depend on the number of threads, neither do the output
// bytes. Memory is bounded by the blocks in flight (about two blocks per thread), never
// by the size of the input.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>

class ParallelDeflate {
 public:
  static constexpr std::size_t kBlockSize = std::size_t{1} << 20;

  // `threads` 0 means one per core.
  explicit ParallelDeflate(int level = 9, unsigned threads = 0);

  unsigned Threads() const { return threads_; }

  // Called in input order after each block is written, with the input bytes done so far.
  void SetProgress(std::function<void(uint64_t done)> progress) { progress_ = std::move(progress); }

  struct Checksums {
    uint32_t plainCrc = 0;   // CRC-32 of what was read
    uint32_t streamCrc = 0;  // CRC-32 of the zlib stream written
    uint64_t plainSize = 0;
    uint64_t streamSize = 0;
  };

  // Reads `source` to its end and writes the stream to `destination`, flushed. On failure
  // `error` says what went wrong; what was written by then is not a usable stream.
  bool Compress(std::FILE* source, std::FILE* destination, Checksums* sums, std::string* error);

 private:
  int level_;
  unsigned threads_;
  std::function<void(uint64_t)> progress_;
};
