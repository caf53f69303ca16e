#include "compress/crc32.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <cstring>
#include <string>

#include "tests/compress/test_support.h"

namespace {

using compress_test::Bytes;
using compress_test::RandomBytes;
using compress_test::TempDir;
using compress_test::WriteBytes;
using compress_test::ZlibCrc;

uint32_t ByteWise(const unsigned char* data, std::size_t size, uint32_t crc = CCRC32::kStart) {
  CCRC32 checksum;
  for (std::size_t i = 0; i < size; ++i) checksum.UpdateByte(data[i], &crc);
  return crc;
}

uint32_t Bulk(const unsigned char* data, std::size_t size, uint32_t crc = CCRC32::kStart) {
  CCRC32().Update(data, size, &crc);
  return crc;
}

struct KnownValue {
  const char* text;
  uint32_t crc;
};

// The published check value and a few others every CRC-32 implementation agrees on.
const KnownValue kKnownValues[] = {
    {"", 0x00000000u},
    {"a", 0xE8B7BE43u},
    {"123456789", 0xCBF43926u},
    {"The quick brown fox jumps over the lazy dog", 0x414FA339u},
};

TEST(Crc32, KnownValuesAgreeOnEveryPath) {
  for (const KnownValue& known : kKnownValues) {
    SCOPED_TRACE(known.text);
    auto bytes = reinterpret_cast<const unsigned char*>(known.text);
    std::size_t size = std::strlen(known.text);
    EXPECT_EQ(~ByteWise(bytes, size), known.crc);
    EXPECT_EQ(~Bulk(bytes, size), known.crc);
    uint32_t text = 0;
    EXPECT_EQ(CCRC32().TextChecksum(known.text, &text), CCRC32::kOk);
    EXPECT_EQ(text, known.crc);
  }
}

// A typo anywhere in the literal table would only show on inputs that reach that entry.
TEST(Crc32, EveryTableEntryMatchesThePolynomial) {
  for (uint32_t n = 0; n < 256; ++n) {
    uint32_t expected = n;
    for (int round = 0; round < 8; ++round) expected = (expected & 1) ? (expected >> 1) ^ 0xEDB88320u : expected >> 1;
    uint32_t crc = 0;  // from zero, one byte update yields exactly the entry for that byte
    CCRC32().UpdateByte(static_cast<uint8_t>(n), &crc);
    EXPECT_EQ(crc, expected) << "entry " << n;
  }
}

// The bulk path switches methods by length and meets unaligned starts; every length and
// alignment must give the byte-wise value, and zlib's.
TEST(Crc32, BulkEqualsByteWiseAndZlibForManyLengthsAndAlignments) {
  const Bytes data = RandomBytes(70000, 7);
  const std::size_t lengths[] = {0, 1, 2, 3, 7, 8, 15, 31, 63, 64, 65, 127, 128, 129,
                                 255, 1000, 4095, 4096, 4097, 16384, 65535, 65536, 69000};
  for (std::size_t offset = 0; offset < 8; ++offset) {
    for (std::size_t length : lengths) {
      SCOPED_TRACE(testing::Message() << "offset " << offset << " length " << length);
      const unsigned char* start = data.data() + offset;
      uint32_t byteWise = ByteWise(start, length);
      EXPECT_EQ(Bulk(start, length), byteWise);
      EXPECT_EQ(~byteWise, static_cast<uint32_t>(crc32(0, start, static_cast<uInt>(length))));
    }
  }
}

// The compressor feeds block after block into one running value.
TEST(Crc32, RunningValueCarriesAcrossCalls) {
  const Bytes data = RandomBytes(20000, 3);
  const std::size_t splits[] = {1, 50, 63, 64, 4096, 19999};
  for (std::size_t split : splits) {
    SCOPED_TRACE(split);
    uint32_t crc = Bulk(data.data(), split);
    crc = Bulk(data.data() + split, data.size() - split, crc);
    EXPECT_EQ(~crc, ZlibCrc(data));
  }
}

TEST(Crc32, TextStopsAtTheFirstZero) {
  const char text[] = "abc\0def";
  uint32_t withZero = 0;
  uint32_t prefix = 0;
  ASSERT_EQ(CCRC32().TextChecksum(text, &withZero), CCRC32::kOk);
  ASSERT_EQ(CCRC32().TextChecksum("abc", &prefix), CCRC32::kOk);
  EXPECT_EQ(withZero, prefix);
}

TEST(Crc32, NullTextFailsAndLeavesResultAlone) {
  uint32_t result = 0x12345678u;
  EXPECT_EQ(CCRC32().TextChecksum(nullptr, &result), CCRC32::kFailed);
  EXPECT_EQ(result, 0x12345678u);
}

// Sizes around the 4096-byte read block, where an off-by-one in the read loop shows.
TEST(Crc32, FileChecksumEqualsZlibAroundTheBlockSize) {
  TempDir dir;
  const std::size_t sizes[] = {0, 1, 4095, 4096, 4097, 8192, 12289};
  for (std::size_t size : sizes) {
    SCOPED_TRACE(size);
    const Bytes data = RandomBytes(size, static_cast<uint32_t>(size));
    std::string path = dir.File("data.bin");
    WriteBytes(path, data);
    uint32_t result = 0;
    ASSERT_EQ(CCRC32().FileChecksum(path.c_str(), &result), CCRC32::kOk);
    EXPECT_EQ(result, ZlibCrc(data));
  }
}

TEST(Crc32, FileChecksumFailures) {
  TempDir dir;
  struct Case {
    const char* name;
    const char* path;
    uint32_t resultAfter;  // what the caller's value holds afterwards
  };
  const std::string missing = dir.File("missing.bin");
  const std::string folder = dir.File("");  // opens as a folder, or not at all
  const Case cases[] = {
      {"null path", nullptr, 0x5A5A5A5Au},
      {"empty path", "", 0x5A5A5A5Au},
      {"missing file", missing.c_str(), CCRC32::kStart},
      {"folder", folder.c_str(), CCRC32::kStart},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    uint32_t result = 0x5A5A5A5Au;
    EXPECT_EQ(CCRC32().FileChecksum(c.path, &result), CCRC32::kFailed);
    EXPECT_EQ(result, c.resultAfter);
  }
}

}  // namespace
