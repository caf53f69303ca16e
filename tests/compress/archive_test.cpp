#include "compress/archive.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <string>
#include <vector>

#include "common/message_box.h"
#include "compress/crc32.h"
#include "tests/compress/test_support.h"

namespace {

using compress_test::Bytes;
using compress_test::CompressibleBytes;
using compress_test::Exists;
using compress_test::MessageBoxRecorder;
using compress_test::RandomBytes;
using compress_test::ReadBytes;
using compress_test::TempDir;
using compress_test::WriteBytes;
using compress_test::ZlibCompress;
using compress_test::ZlibCrc;
using compress_test::ZlibUncompress;

constexpr std::size_t kBlock = 0x500000;

enum class CallKind { kProgress, kStopQuery };

struct Call {
  CallKind kind;
  std::size_t bytes;
};

// Stands in for the installation: records what arrives and answers stop queries.
struct Listener : ArchiveObserver {
  std::vector<Call> calls;
  bool stopAnswer = false;

  void OnBlockWritten(std::size_t bytes) override { calls.push_back({CallKind::kProgress, bytes}); }
  bool StopRequested() override {
    calls.push_back({CallKind::kStopQuery, 0});
    return stopAnswer;
  }
  std::size_t ProgressTotal() const {
    std::size_t total = 0;
    for (const Call& call : calls)
      if (call.kind == CallKind::kProgress) total += call.bytes;
    return total;
  }
  // Every block reports its progress first and is then asked whether to stop.
  bool AlternatesProgressAndStopQuery() const {
    if (calls.size() % 2 != 0) return false;
    for (std::size_t i = 0; i < calls.size(); i += 2)
      if (calls[i].kind != CallKind::kProgress || calls[i + 1].kind != CallKind::kStopQuery) return false;
    return true;
  }
};

// A zlib stream made of `emptyBlocks` empty stored blocks and one final stored block
// holding `payload` (at most 65535 bytes): its length can be set to the byte.
Bytes StoredStream(const Bytes& payload, std::size_t emptyBlocks) {
  Bytes stream = {0x78, 0x01};
  for (std::size_t i = 0; i < emptyBlocks; ++i) stream.insert(stream.end(), {0x00, 0x00, 0x00, 0xFF, 0xFF});
  const auto size = static_cast<uint16_t>(payload.size());
  stream.insert(stream.end(), {0x01, static_cast<unsigned char>(size), static_cast<unsigned char>(size >> 8),
                               static_cast<unsigned char>(~size), static_cast<unsigned char>(~size >> 8)});
  stream.insert(stream.end(), payload.begin(), payload.end());
  uLong adler = adler32(adler32(0, nullptr, 0), payload.data(), static_cast<uInt>(payload.size()));
  for (int shift = 24; shift >= 0; shift -= 8) stream.push_back(static_cast<unsigned char>(adler >> shift));
  return stream;
}

Bytes PresetDictionaryStream(const Bytes& plain) {
  static const char kDictionary[] = "setup file folder registry";
  z_stream stream{};
  deflateInit(&stream, Z_DEFAULT_COMPRESSION);
  deflateSetDictionary(&stream, reinterpret_cast<const Bytef*>(kDictionary), sizeof kDictionary - 1);
  Bytes out(deflateBound(&stream, static_cast<uLong>(plain.size())));
  stream.next_in = const_cast<Bytef*>(plain.data());
  stream.avail_in = static_cast<uInt>(plain.size());
  stream.next_out = out.data();
  stream.avail_out = static_cast<uInt>(out.size());
  deflate(&stream, Z_FINISH);
  out.resize(stream.total_out);
  deflateEnd(&stream);
  return out;
}

class ArchiveTest : public testing::Test {
 protected:
  std::string Plain() const { return dir_.File("plain.bin"); }
  std::string Packed() const { return dir_.File("packed.bin"); }
  std::string Unpacked() const { return dir_.File("unpacked.bin"); }

  TempDir dir_;
  MessageBoxRecorder boxes_;
  Archive archive_;
  Listener listener_;
};

TEST_F(ArchiveTest, RoundTripKeepsBytesAndReportsBothChecksums) {
  struct Case {
    const char* name;
    Bytes plain;
    int level;
  };
  const Case cases[] = {
      {"empty", {}, Z_DEFAULT_COMPRESSION},
      {"one byte", {0x41}, 9},
      {"text, stored", CompressibleBytes(100000), 0},
      {"text, default level", CompressibleBytes(300000), Z_DEFAULT_COMPRESSION},
      {"random, best", RandomBytes(200000), 9},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    WriteBytes(Plain(), c.plain);
    uint32_t crcPlain = 0;
    uint32_t crcStream = 0;
    ASSERT_EQ(archive_.CompressFile(Plain().c_str(), Packed().c_str(), &crcPlain, &crcStream, c.level), kArchiveOk);
    const Bytes packed = ReadBytes(Packed());
    EXPECT_EQ(crcPlain, ZlibCrc(c.plain));
    EXPECT_EQ(crcStream, ZlibCrc(packed));
    Bytes inflatedByZlib;
    EXPECT_TRUE(ZlibUncompress(packed, c.plain.size(), &inflatedByZlib));
    EXPECT_EQ(inflatedByZlib, c.plain);

    crcPlain = crcStream = 0;
    ASSERT_EQ(archive_.DecompressFile(Packed().c_str(), Unpacked().c_str(), &crcPlain, &crcStream), kArchiveOk);
    EXPECT_EQ(ReadBytes(Unpacked()), c.plain);
    EXPECT_EQ(crcPlain, ZlibCrc(c.plain));
    EXPECT_EQ(crcStream, ZlibCrc(packed));
  }
  EXPECT_TRUE(boxes_.shown().empty()) << "success is silent: " << boxes_.shown().front().text;
}

struct BadSource {
  const char* name;
  Bytes source;
  int code;
  const char* message;
};

std::vector<BadSource> BadSources() {
  const Bytes plain = CompressibleBytes(50000);
  const Bytes good = ZlibCompress(plain);
  Bytes extra = good;
  extra.insert(extra.end(), {'M', 'O', 'R', 'E'});
  Bytes truncated(good.begin(), good.end() - 7);
  Bytes badHeader = good;
  badHeader[0] ^= 0x01;
  Bytes badTrailer = good;
  badTrailer.back() ^= 0x01;
  return {
      {"empty source", {}, kArchiveDataError, "Deflate data invalid or incomplete."},
      {"complete stream then more bytes", extra, kArchiveException, "Deflating/Inflating exception error."},
      {"truncated stream", truncated, kArchiveDataError, "Deflate data invalid or incomplete."},
      {"corrupt header", badHeader, kArchiveDataError, "Deflate data invalid or incomplete."},
      {"corrupt check value", badTrailer, kArchiveDataError, "Deflate data invalid or incomplete."},
      {"preset dictionary", PresetDictionaryStream(plain), kArchiveDataError, "Deflate data invalid or incomplete."},
      {"not a stream", RandomBytes(3000), kArchiveDataError, "Deflate data invalid or incomplete."},
  };
}

TEST_F(ArchiveTest, BadSourcesFailWithTheirMessage) {
  for (const BadSource& bad : BadSources()) {
    SCOPED_TRACE(bad.name);
    WriteBytes(Packed(), bad.source);
    uint32_t crcPlain = 0;
    uint32_t crcStream = 0;
    const int code = archive_.DecompressFile(Packed().c_str(), Unpacked().c_str(), &crcPlain, &crcStream);
    EXPECT_EQ(code, bad.code);
    EXPECT_STREQ(Archive::FailureMessage(code, false), bad.message);
  }
  EXPECT_TRUE(boxes_.shown().empty());
}

TEST_F(ArchiveTest, EmptySourceLeavesAnEmptyDestination) {
  WriteBytes(Packed(), {});
  EXPECT_EQ(archive_.DecompressFile(Packed().c_str(), Unpacked().c_str(), nullptr, nullptr), kArchiveDataError);
  ASSERT_TRUE(Exists(Unpacked()));
  EXPECT_TRUE(ReadBytes(Unpacked()).empty());
}

// A full first read does not yet see the end of the file, so the stream is finished by a
// second, empty block.
TEST_F(ArchiveTest, SourceOfExactlyOneBlockCompressesInTwoRounds) {
  const Bytes plain = CompressibleBytes(kBlock);
  WriteBytes(Plain(), plain);
  archive_.SetObserver(&listener_);
  ASSERT_EQ(archive_.CompressFile(Plain().c_str(), Packed().c_str(), nullptr, nullptr, Z_DEFAULT_COMPRESSION),
            kArchiveOk);
  EXPECT_EQ(listener_.calls.size(), 4u);
  EXPECT_TRUE(listener_.AlternatesProgressAndStopQuery());
  const Bytes packed = ReadBytes(Packed());
  EXPECT_EQ(listener_.ProgressTotal(), packed.size());
  Bytes inflated;
  EXPECT_TRUE(ZlibUncompress(packed, plain.size(), &inflated));
  EXPECT_EQ(inflated, plain);
}

// A stream that ends exactly where a read block ends: the check for trailing bytes cannot
// rely on input left over in the block.
TEST_F(ArchiveTest, StreamEndingOnABlockBoundary) {
  const std::size_t payloadSize = 4;
  const Bytes payload = {'d', 'a', 't', 'a'};
  const Bytes stream = StoredStream(payload, (kBlock - 11 - payloadSize) / 5);
  ASSERT_EQ(stream.size(), kBlock);

  WriteBytes(Packed(), stream);
  uint32_t crcPlain = 0;
  uint32_t crcStream = 0;
  EXPECT_EQ(archive_.DecompressFile(Packed().c_str(), Unpacked().c_str(), &crcPlain, &crcStream), kArchiveOk);
  EXPECT_EQ(ReadBytes(Unpacked()), payload);
  EXPECT_EQ(crcPlain, ZlibCrc(payload));
  EXPECT_EQ(crcStream, ZlibCrc(stream));

  Bytes withTrailer = stream;
  withTrailer.push_back('X');
  WriteBytes(Packed(), withTrailer);
  EXPECT_EQ(archive_.DecompressFile(Packed().c_str(), Unpacked().c_str(), nullptr, nullptr), kArchiveException);
}

TEST_F(ArchiveTest, ProgressCountsBytesWrittenPerBlock) {
  // Incompressible, so that the stream too spans two read blocks.
  const Bytes plain = RandomBytes(kBlock + kBlock / 4);
  WriteBytes(Plain(), plain);
  archive_.SetObserver(&listener_);
  ASSERT_EQ(archive_.CompressFile(Plain().c_str(), Packed().c_str(), nullptr, nullptr, 1), kArchiveOk);
  EXPECT_EQ(listener_.calls.size(), 4u);
  EXPECT_TRUE(listener_.AlternatesProgressAndStopQuery());
  EXPECT_EQ(listener_.ProgressTotal(), ReadBytes(Packed()).size());

  listener_.calls.clear();
  ASSERT_EQ(archive_.DecompressFile(Packed().c_str(), Unpacked().c_str(), nullptr, nullptr), kArchiveOk);
  EXPECT_EQ(listener_.calls.size(), 4u);
  EXPECT_TRUE(listener_.AlternatesProgressAndStopQuery());
  EXPECT_EQ(listener_.ProgressTotal(), plain.size());
}

TEST_F(ArchiveTest, StopRequestEndsAfterOneBlockWithoutMessage) {
  const Bytes plain = RandomBytes(kBlock + kBlock / 4);
  WriteBytes(Plain(), plain);
  ASSERT_EQ(archive_.CompressFile(Plain().c_str(), Packed().c_str(), nullptr, nullptr, 1), kArchiveOk);
  const std::size_t fullStreamSize = ReadBytes(Packed()).size();

  archive_.SetObserver(&listener_);
  listener_.stopAnswer = true;
  std::string partialPacked = dir_.File("partial-packed.bin");
  EXPECT_EQ(archive_.CompressFile(Plain().c_str(), partialPacked.c_str(), nullptr, nullptr, 1), kArchiveOk);
  EXPECT_EQ(listener_.calls.size(), 2u);
  EXPECT_EQ(listener_.ProgressTotal(), ReadBytes(partialPacked).size());
  EXPECT_LT(ReadBytes(partialPacked).size(), fullStreamSize);

  listener_.calls.clear();
  EXPECT_EQ(archive_.DecompressFile(Packed().c_str(), Unpacked().c_str(), nullptr, nullptr), kArchiveOk);
  EXPECT_EQ(listener_.calls.size(), 2u);
  EXPECT_EQ(listener_.ProgressTotal(), ReadBytes(Unpacked()).size());
  EXPECT_LT(ReadBytes(Unpacked()).size(), plain.size());
  EXPECT_TRUE(boxes_.shown().empty());
}

TEST_F(ArchiveTest, RemovedObserverIsNotCalled) {
  WriteBytes(Plain(), CompressibleBytes(1000));
  archive_.SetObserver(&listener_);
  archive_.SetObserver(nullptr);
  EXPECT_EQ(archive_.CompressFile(Plain().c_str(), Packed().c_str(), nullptr, nullptr, 6), kArchiveOk);
  EXPECT_EQ(archive_.DecompressFile(Packed().c_str(), Unpacked().c_str(), nullptr, nullptr), kArchiveOk);
  EXPECT_TRUE(listener_.calls.empty());
}

// Nothing is shown: the code tells the caller which file failed, and FailureMessage has
// the text for it.
TEST_F(ArchiveTest, OpenFailuresNameTheFileThatFailed) {
  WriteBytes(Plain(), CompressibleBytes(1000));
  WriteBytes(Packed(), ZlibCompress(CompressibleBytes(1000)));
  const std::string missing = dir_.File("missing.bin");
  const std::string inMissingFolder = dir_.File("no-such-folder/out.bin");
  struct Case {
    const char* name;
    bool compress;
    std::string source;
    std::string destination;
    int code;
    const char* message;
  };
  const Case cases[] = {
      {"compress, missing source", true, missing, Unpacked(), kArchiveSourceNotOpened,
       "Couldn't open source file for compression."},
      {"compress, bad destination", true, Plain(), inMissingFolder, kArchiveDestinationNotOpened,
       "Couldn't open destination file for compression."},
      {"decompress, missing source", false, missing, Unpacked(), kArchiveSourceNotOpened,
       "Couldn't open source file for decompression."},
      {"decompress, bad destination", false, Packed(), inMissingFolder, kArchiveDestinationNotOpened,
       "Couldn't open destination file for decompression."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    uint32_t crcPlain = 0;
    uint32_t crcStream = 0;
    int code = c.compress ? archive_.CompressFile(c.source.c_str(), c.destination.c_str(), &crcPlain, &crcStream, 6)
                          : archive_.DecompressFile(c.source.c_str(), c.destination.c_str(), &crcPlain, &crcStream);
    EXPECT_EQ(code, c.code);
    EXPECT_STREQ(Archive::FailureMessage(code, c.compress), c.message);
    EXPECT_EQ(crcPlain, CCRC32::kStart);
    EXPECT_EQ(crcStream, CCRC32::kStart);
    EXPECT_FALSE(Exists(missing));
  }
  EXPECT_TRUE(boxes_.shown().empty());
}

TEST_F(ArchiveTest, InvalidLevelIsAStreamError) {
  WriteBytes(Plain(), CompressibleBytes(1000));
  EXPECT_EQ(archive_.CompressFile(Plain().c_str(), Packed().c_str(), nullptr, nullptr, 10), kArchiveStreamError);
  EXPECT_TRUE(boxes_.shown().empty());
}

#ifdef __linux__
// Output small enough to sit in the stream's buffer until the end must still report a
// full disk; a folder opened as a file fails on the first read.
TEST_F(ArchiveTest, ReadAndWriteErrorsAreFileErrors) {
  WriteBytes(Plain(), CompressibleBytes(1000));
  WriteBytes(Packed(), ZlibCompress(CompressibleBytes(1000)));
  EXPECT_EQ(archive_.CompressFile(Plain().c_str(), "/dev/full", nullptr, nullptr, 6), kArchiveFileError);
  EXPECT_EQ(archive_.DecompressFile(Packed().c_str(), "/dev/full", nullptr, nullptr), kArchiveFileError);
  const std::string folder = dir_.File("");
  EXPECT_EQ(archive_.CompressFile(folder.c_str(), Packed().c_str(), nullptr, nullptr, 6), kArchiveFileError);
  EXPECT_EQ(archive_.DecompressFile(folder.c_str(), Unpacked().c_str(), nullptr, nullptr), kArchiveFileError);
  EXPECT_TRUE(boxes_.shown().empty());
}
#endif

TEST(ArchiveStreams, NullFilesAreFileErrors) {
  Archive archive;
  EXPECT_EQ(archive.CompressStream(nullptr, nullptr, nullptr, nullptr, 6), kArchiveFileError);
  EXPECT_EQ(archive.DecompressStream(nullptr, nullptr, nullptr, nullptr), kArchiveFileError);
}

TEST(ArchiveReport, MessageForEveryCode) {
  struct Case {
    int code;
    const char* message;
  };
  const Case cases[] = {
      {kArchiveOk, "Success."},
      {kArchiveFileError, "Couldn't read/write file."},
      {kArchiveStreamError, "Invalid compression level."},
      {kArchiveDataError, "Deflate data invalid or incomplete."},
      {kArchiveMemoryError, "Couldn't allocate memory for processing."},
      {kArchiveVersionError, "Usage and linked library versions do not match."},
      {kArchiveException, "Deflating/Inflating exception error."},
      {Z_BUF_ERROR, "Deflating/Inflating exception error."},
      {2, "Deflating/Inflating exception error."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.code);
    EXPECT_STREQ(Archive::ResultMessage(c.code), c.message);
    // Past the opening of the files, both directions share the stream's texts.
    EXPECT_STREQ(Archive::FailureMessage(c.code, true), c.message);
    EXPECT_STREQ(Archive::FailureMessage(c.code, false), c.message);
  }
}

}  // namespace
