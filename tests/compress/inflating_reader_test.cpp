#include "compress/inflating_reader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <string>

#include "tests/compress/test_support.h"

namespace {

using compress_test::Bytes;
using compress_test::CompressibleBytes;
using compress_test::RandomBytes;
using compress_test::ZlibCompress;
using compress_test::ZlibCrc;

// Hands out `stream` in pieces of `piece` bytes; can be made to fail after `failAfter` bytes.
struct StreamSource {
  Bytes stream;
  std::size_t piece = 100000;
  std::size_t failAfter = SIZE_MAX;
  std::size_t at = 0;
  std::atomic<int> calls{0};

  InflatingReader::CompressedSource Function() {
    return [this](char* buffer, uint32_t size, uint32_t* got) {
      ++calls;
      if (at >= failAfter) return false;
      const std::size_t n = std::min({static_cast<std::size_t>(size), piece, stream.size() - at});
      std::memcpy(buffer, stream.data() + at, n);
      at += n;
      *got = static_cast<uint32_t>(n);
      return true;
    };
  }
};

// Reads everything in pieces of `piece` bytes through Next.
Bytes ReadAllByPieces(InflatingReader* reader, std::size_t piece) {
  Bytes out;
  const char* data = nullptr;
  std::size_t size = 0;
  while (reader->Next(piece, &data, &size)) out.insert(out.end(), data, data + size);
  return out;
}

struct WholeCase {
  const char* name;
  std::size_t plainSize;
  std::size_t piece;  // of the reader
  InflatingReader::Sizes sizes;
};

TEST(InflatingReaderTest, GivesBackEveryByteWithItsChecksum) {
  constexpr InflatingReader::Sizes kInstallation = InflatingReader::kInstallationSizes;
  const WholeCase cases[] = {
      {"empty", 0, 4096, kInstallation},
      {"smaller_than_a_block", 1000, 7, kInstallation},
      {"exactly_one_block", 1 << 20, 65536, kInstallation},
      {"several_blocks_in_odd_pieces", 5 * (1 << 20) + 12345, 300001, kInstallation},
      {"blocks_and_input_of_a_few_bytes", 100000, 11, {5, 3}},
  };
  for (const WholeCase& c : cases) {
    SCOPED_TRACE(c.name);
    const Bytes plain = CompressibleBytes(c.plainSize);
    StreamSource source;
    source.stream = ZlibCompress(plain, 9);
    InflatingReader reader(source.Function(), c.sizes);
    ASSERT_TRUE(reader.Start());
    EXPECT_EQ(ReadAllByPieces(&reader, c.piece), plain);
    EXPECT_TRUE(reader.Failed());
    uint32_t crc = 0;
    EXPECT_EQ(reader.Finish(&crc), InflatingReader::End::kWhole);
    EXPECT_EQ(crc, ZlibCrc(plain));
  }
}

TEST(InflatingReaderTest, ReadFillsRecordsAcrossBlocksAndFailsWhenCutShort) {
  const Bytes plain = RandomBytes((1 << 20) + 6);
  StreamSource source;
  source.stream = ZlibCompress(plain);
  InflatingReader reader(source.Function());
  ASSERT_TRUE(reader.Start());
  Bytes head((1 << 20) - 2);
  ASSERT_EQ(reader.Read(head.data(), head.size()), head.size());
  unsigned char across[4];
  ASSERT_EQ(reader.Read(across, 4), 4u);  // two bytes from each block
  EXPECT_FALSE(reader.Failed());
  EXPECT_EQ(0, std::memcmp(across, plain.data() + head.size(), 4));
  unsigned char last[8];
  EXPECT_EQ(reader.Read(last, 8), 4u);
  EXPECT_TRUE(reader.Failed());
}

struct DamageCase {
  const char* name;
  void (*damage)(StreamSource*);
  InflatingReader::End end;
};

TEST(InflatingReaderTest, TellsHowABrokenStreamEnded) {
  const DamageCase cases[] = {
      {"cut_short", [](StreamSource* s) { s->stream.resize(s->stream.size() / 2); }, InflatingReader::End::kDamaged},
      {"bytes_after_the_stream", [](StreamSource* s) { s->stream.push_back(0); }, InflatingReader::End::kDamaged},
      {"not_zlib", [](StreamSource* s) { s->stream.assign(1000, 0x55); }, InflatingReader::End::kDamaged},
      {"source_fails", [](StreamSource* s) { s->failAfter = 200000; }, InflatingReader::End::kUnreadable},
  };
  for (const DamageCase& c : cases) {
    SCOPED_TRACE(c.name);
    StreamSource source;
    source.stream = ZlibCompress(RandomBytes(3 << 20), 1);
    c.damage(&source);
    InflatingReader reader(source.Function());
    ASSERT_TRUE(reader.Start());
    ReadAllByPieces(&reader, 1 << 20);
    EXPECT_EQ(reader.EndSoFar(), c.end);
    uint32_t crc = 0;
    EXPECT_EQ(reader.Finish(&crc), c.end);
  }
}

TEST(InflatingReaderTest, RefusesToStartWithAnEmptyBlockOrInput) {
  for (const InflatingReader::Sizes sizes : {InflatingReader::Sizes{0, 1}, InflatingReader::Sizes{1, 0}}) {
    StreamSource source;
    source.stream = ZlibCompress(CompressibleBytes(10), 9);
    InflatingReader reader(source.Function(), sizes);
    EXPECT_FALSE(reader.Start());
    const char* data = nullptr;
    std::size_t size = 0;
    EXPECT_FALSE(reader.Next(1, &data, &size));
  }
}

TEST(InflatingReaderTest, StaysAFewBlocksAheadAndStopsWhenLeft) {
  StreamSource source;
  source.piece = 4096;
  source.stream = ZlibCompress(RandomBytes(24 << 20), 1);
  {
    InflatingReader reader(source.Function());
    ASSERT_TRUE(reader.Start());
    const char* data = nullptr;
    std::size_t size = 0;
    ASSERT_TRUE(reader.Next(10, &data, &size));
  }  // gone while most of the stream is still unread
  EXPECT_LT(source.at, source.stream.size() / 3);
}

}  // namespace
