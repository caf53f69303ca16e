#include "compress/parallel_deflate.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <string>
#include <vector>

#include "compress/archive.h"
#include "tests/compress/test_support.h"

namespace {

using compress_test::Bytes;
using compress_test::CompressibleBytes;
using compress_test::MessageBoxRecorder;
using compress_test::RandomBytes;
using compress_test::ReadBytes;
using compress_test::TempDir;
using compress_test::WriteBytes;
using compress_test::ZlibCompress;
using compress_test::ZlibCrc;
using compress_test::ZlibUncompress;

constexpr std::size_t kBlock = ParallelDeflate::kBlockSize;

struct Compressed {
  bool ok = false;
  std::string error;
  Bytes stream;
  ParallelDeflate::Checksums sums;
};

Compressed CompressFile(const TempDir& dir, const Bytes& plain, unsigned threads) {
  const std::string in = dir.File("in.bin");
  const std::string out = dir.File("out-" + std::to_string(threads) + ".z");
  WriteBytes(in, plain);
  Compressed result;
  std::FILE* source = std::fopen(in.c_str(), "rb");
  std::FILE* destination = std::fopen(out.c_str(), "wb");
  result.ok = ParallelDeflate(9, threads).Compress(source, destination, &result.sums, &result.error);
  std::fclose(source);
  std::fclose(destination);
  result.stream = ReadBytes(out);
  return result;
}

// Mixed content, so blocks differ and matches cross block boundaries.
Bytes Payload(std::size_t size) {
  Bytes bytes = CompressibleBytes(size, 7);
  const Bytes noise = RandomBytes(size / 8 + 1, 3);
  for (std::size_t i = 0; i < noise.size() && i * 8 < size; i += 2) bytes[i * 8] = noise[i];
  return bytes;
}

// Sizes at and around the block boundaries: the last block must finish the stream whether
// it is short, exactly full, or empty.
TEST(ParallelDeflate, EveryStreamIsOneOrdinaryZlibStream) {
  const std::size_t sizes[] = {0, 1, kBlock - 1, kBlock, kBlock + 1, 3 * kBlock, 2 * kBlock + kBlock / 2};
  TempDir dir;
  for (std::size_t size : sizes) {
    SCOPED_TRACE("size " + std::to_string(size));
    const Bytes plain = Payload(size);
    const Compressed compressed = CompressFile(dir, plain, 2);
    ASSERT_TRUE(compressed.ok) << compressed.error;

    Bytes inflated;
    ASSERT_TRUE(ZlibUncompress(compressed.stream, plain.size(), &inflated));
    EXPECT_TRUE(inflated == plain);
    EXPECT_EQ(compressed.sums.plainCrc, ZlibCrc(plain));
    EXPECT_EQ(compressed.sums.streamCrc, ZlibCrc(compressed.stream));
    EXPECT_EQ(compressed.sums.plainSize, plain.size());
    EXPECT_EQ(compressed.sums.streamSize, compressed.stream.size());
  }
}

// The setup reads the stream with Archive, which also wants nothing behind it.
TEST(ParallelDeflate, ArchiveInflatesItWithTheSameChecksums) {
  TempDir dir;
  const Bytes plain = Payload(2 * kBlock + 12345);
  const Compressed compressed = CompressFile(dir, plain, 3);
  ASSERT_TRUE(compressed.ok) << compressed.error;
  MessageBoxRecorder boxes;
  uint32_t plainCrc = 0, streamCrc = 0;
  ASSERT_EQ(Archive().DecompressFile(dir.File("out-3.z").c_str(), dir.File("back.bin").c_str(), &plainCrc, &streamCrc),
            kArchiveOk);
  EXPECT_TRUE(ReadBytes(dir.File("back.bin")) == plain);
  EXPECT_EQ(plainCrc, compressed.sums.plainCrc);
  EXPECT_EQ(streamCrc, compressed.sums.streamCrc);
  EXPECT_TRUE(boxes.shown().empty());
}

TEST(ParallelDeflate, OutputDoesNotDependOnTheNumberOfThreads) {
  TempDir dir;
  const Bytes plain = Payload(4 * kBlock + 99);
  const Compressed one = CompressFile(dir, plain, 1);
  ASSERT_TRUE(one.ok) << one.error;
  for (unsigned threads : {2u, 3u, 8u}) {
    const Compressed many = CompressFile(dir, plain, threads);
    ASSERT_TRUE(many.ok) << many.error;
    EXPECT_TRUE(many.stream == one.stream) << threads << " threads";
  }
}

// Priming each block with the previous 32 KiB keeps the cost of cutting to a few bytes per
// block.
TEST(ParallelDeflate, NearlyAsSmallAsOneDeflateAtTheSameLevel) {
  TempDir dir;
  const Bytes plain = Payload(4 * kBlock);
  const Compressed parallel = CompressFile(dir, plain, 2);
  ASSERT_TRUE(parallel.ok) << parallel.error;
  const std::size_t single = ZlibCompress(plain, 9).size();
  EXPECT_LE(parallel.stream.size(), single + single / 200);
}

TEST(ParallelDeflate, ReadAndWriteFailuresAreReported) {
#ifdef _WIN32
  GTEST_SKIP() << "uses a folder as input and /dev/full";
#else
  TempDir dir;
  ParallelDeflate::Checksums sums;
  std::string error;
  std::FILE* folder = std::fopen(dir.File("").c_str(), "rb");  // opens, but every read fails
  std::FILE* sink = std::fopen(dir.File("out.z").c_str(), "wb");
  ASSERT_NE(folder, nullptr);
  EXPECT_FALSE(ParallelDeflate(9, 2).Compress(folder, sink, &sums, &error));
  EXPECT_NE(error.find("cannot read"), std::string::npos) << error;
  std::fclose(folder);
  std::fclose(sink);

  WriteBytes(dir.File("in.bin"), Payload(kBlock + 5));
  std::FILE* source = std::fopen(dir.File("in.bin").c_str(), "rb");
  std::FILE* full = std::fopen("/dev/full", "wb");
  ASSERT_NE(full, nullptr);
  error.clear();
  EXPECT_FALSE(ParallelDeflate(9, 2).Compress(source, full, &sums, &error));
  EXPECT_NE(error.find("cannot write"), std::string::npos) << error;
  std::fclose(source);
  std::fclose(full);
#endif
}

}  // namespace
