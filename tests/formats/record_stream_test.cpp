#include "formats/record_stream.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>

#include "temp_file.h"

namespace {

// A string buffer followed by guard bytes: any write past the 260 bytes shows up in the
// guard, also where no sanitizer runs (the Windows build).
struct GuardedBuffer {
  char text[kStringBufferSize];
  char guard[32];

  explicit GuardedBuffer(const char* initial) {
    memset(text, 'x', sizeof text);
    strcpy(text, initial);
    memset(guard, 0x5A, sizeof guard);
  }
  bool GuardIntact() const {
    for (char c : guard) {
      if (c != 0x5A) return false;
    }
    return true;
  }
};

std::string Repeat(char c, size_t count) { return std::string(count, c); }

struct LayoutCase {
  const char* name;
  std::function<bool(FILE*)> write;
  bool expectedResult;
  Bytes expected;
};

TEST(RecordStreamWriteTest, LaysOutEachValueKind) {
  const std::string longest = Repeat('a', kMaxStoredStringLength);
  const LayoutCase cases[] = {
      {"int little-endian", [](FILE* s) { return WriteInt(0x12345678u, s); }, true, {0x78, 0x56, 0x34, 0x12}},
      {"int all ones", [](FILE* s) { return WriteInt(0xFFFFFFFFu, s); }, true, {0xFF, 0xFF, 0xFF, 0xFF}},
      {"true is 1", [](FILE* s) { return WriteInt(1, s); }, true, {1, 0, 0, 0}},
      {"empty string is four zero bytes", [](FILE* s) { return WriteString("", s); }, true, {0, 0, 0, 0}},
      {"string without terminator", [](FILE* s) { return WriteString("abc", s); }, true, {3, 0, 0, 0, 'a', 'b', 'c'}},
      {"longest string", [&](FILE* s) { return WriteString(longest, s); }, true,
       ByteWriter().U32(259).Text(longest).bytes()},
      {"over-long string is refused", [](FILE* s) { return WriteString(Repeat('b', 260), s); }, false, {}},
  };
  for (const LayoutCase& c : cases) {
    SCOPED_TRACE(c.name);
    TempFile file;
    FILE* stream = file.Open("wb");
    ASSERT_NE(stream, nullptr);
    EXPECT_EQ(c.write(stream), c.expectedResult);
    EXPECT_EQ(file.Contents(), c.expected);
  }
}

struct ReadStringCase {
  const char* name;
  Bytes stored;
  bool expectedResult;
  std::string expectedText;
  long expectedPosition;  // bytes consumed
};

TEST(RecordStreamReadStringTest, ReadsStoredLengthsSafely) {
  const std::string longest = Repeat('z', kMaxStoredStringLength);
  const ReadStringCase cases[] = {
      {"empty", ByteWriter().U32(0).bytes(), true, "", 4},
      {"plain", ByteWriter().Str("Readme").bytes(), true, "Readme", 10},
      {"minus one is empty and consumes only the length", ByteWriter().U32(0xFFFFFFFFu).Text("xy").bytes(), true,
       "", 4},
      {"most negative is empty", ByteWriter().U32(0x80000000u).Text("xy").bytes(), true, "", 4},
      {"259 bytes fit", ByteWriter().U32(259).Text(longest).bytes(), true, longest, 263},
      {"260 bytes fail, buffer unchanged", ByteWriter().U32(260).Text(Repeat('q', 260)).bytes(), false, "previous",
       4},
      {"huge length fails, buffer unchanged", ByteWriter().U32(0x7FFFFFFFu).Text("abc").bytes(), false, "previous",
       4},
      {"length cut short", Bytes{5, 0}, false, "previous", 2},
      {"nothing stored", Bytes{}, false, "previous", 0},
      // The part that arrived is kept, terminated, so the buffer is always text.
      {"text cut short", ByteWriter().U32(5).Text("abc").bytes(), false, "abc", 7},
  };
  for (const ReadStringCase& c : cases) {
    SCOPED_TRACE(c.name);
    TempFile file;
    FILE* stream = file.OpenWith(c.stored);
    ASSERT_NE(stream, nullptr);
    GuardedBuffer buffer("previous");
    EXPECT_EQ(ReadString(buffer.text, stream), c.expectedResult);
    EXPECT_EQ(BufferText(buffer.text), c.expectedText);
    EXPECT_TRUE(buffer.GuardIntact());
    EXPECT_EQ(ftell(stream), c.expectedPosition);
  }
}

TEST(RecordStreamReadIntTest, ValueEndingAtEndOfStreamSucceedsAndTheNextFails) {
  TempFile file;
  FILE* stream = file.OpenWith({0x78, 0x56, 0x34, 0x12});
  uint32_t value = 0;
  ASSERT_TRUE(ReadInt(&value, stream));
  EXPECT_EQ(value, 0x12345678u);
  EXPECT_FALSE(feof(stream));

  value = 77;
  EXPECT_FALSE(ReadInt(&value, stream));
  EXPECT_EQ(value, 77u);
  EXPECT_TRUE(feof(stream));
  // Once failed, the stream stays failed for every kind of read.
  char buffer[kStringBufferSize] = "kept";
  EXPECT_FALSE(ReadString(buffer, stream));
  EXPECT_STREQ(buffer, "kept");
  EXPECT_FALSE(ReadBool(&value, stream));
}

TEST(RecordStreamReadIntTest, ValueCutShortFailsWithoutTouchingTheDestination) {
  for (size_t length = 1; length <= 3; ++length) {
    SCOPED_TRACE(length);
    TempFile file;
    FILE* stream = file.OpenWith(Bytes(length, 0xAB));
    uint32_t value = 77;
    EXPECT_FALSE(ReadInt(&value, stream));
    EXPECT_EQ(value, 77u);
  }
}

TEST(RecordStreamReadBoolTest, AnyNonZeroValueIsKeptAsStored) {
  TempFile file;
  FILE* stream = file.OpenWith(ByteWriter().U32(0).U32(1).U32(2).U32(0x80000000u).bytes());
  uint32_t values[4] = {};
  for (uint32_t& value : values) ASSERT_TRUE(ReadBool(&value, stream));
  EXPECT_EQ(values[0], 0u);
  EXPECT_EQ(values[1], 1u);
  EXPECT_EQ(values[2], 2u);
  EXPECT_EQ(values[3], 0x80000000u);
}

TEST(RecordStreamRoundTripTest, WrittenValuesReadBack) {
  TempFile file;
  FILE* stream = file.Open("wb");
  const std::string longest = Repeat('L', kMaxStoredStringLength);
  ASSERT_TRUE(WriteString("first", stream));
  ASSERT_TRUE(WriteInt(0xDEADBEEFu, stream));
  ASSERT_TRUE(WriteString("", stream));
  ASSERT_TRUE(WriteString(longest, stream));
  stream = file.Open("rb");
  char buffer[kStringBufferSize];
  uint32_t value = 0;
  ASSERT_TRUE(ReadString(buffer, stream));
  EXPECT_STREQ(buffer, "first");
  ASSERT_TRUE(ReadInt(&value, stream));
  EXPECT_EQ(value, 0xDEADBEEFu);
  ASSERT_TRUE(ReadString(buffer, stream));
  EXPECT_STREQ(buffer, "");
  ASSERT_TRUE(ReadString(buffer, stream));
  EXPECT_EQ(std::string(buffer), longest);
  EXPECT_FALSE(ReadInt(&value, stream));
}

TEST(RecordStreamReadTextTest, ReadsTheWholeRestOfTheStream) {
  std::string acrossChunks(kStreamChunkSize + 10, '\0');
  for (size_t i = 0; i < acrossChunks.size(); ++i) acrossChunks[i] = static_cast<char>('a' + i % 26);
  const std::string cases[] = {"", "one line", acrossChunks};
  for (const std::string& content : cases) {
    SCOPED_TRACE(content.size());
    TempFile file;
    FILE* stream = file.OpenWith(Bytes(content.begin(), content.end()), "rb");
    std::string text = "stale";
    EXPECT_TRUE(ReadText(text, stream));
    EXPECT_EQ(text.size(), content.size());
    EXPECT_TRUE(text == content);
  }
}

TEST(RecordStreamReadTextTest, StartsAfterWhatWasAlreadyRead) {
  TempFile file;
  FILE* stream = file.OpenWith(ByteWriter().U32(7).Text("tail").bytes());
  uint32_t value = 0;
  ASSERT_TRUE(ReadInt(&value, stream));
  std::string text;
  EXPECT_TRUE(ReadText(text, stream));
  EXPECT_EQ(text, "tail");
}

TEST(RecordStreamReadTextTest, TextModeFoldsLineEndsWhereThePlatformDoes) {
  const std::string stored = "line one\r\nline two\n";
  TempFile file;
  FILE* stream = file.OpenWith(Bytes(stored.begin(), stored.end()), "rt");
  std::string text;
  ASSERT_TRUE(ReadText(text, stream));
#ifdef _WIN32
  EXPECT_EQ(text, "line one\nline two\n");
#else
  EXPECT_EQ(text, stored);
#endif
}

TEST(RecordStreamReadTextTest, NullStreamGivesFalseAndEmptyText) {
  std::string text = "stale";
  EXPECT_FALSE(ReadText(text, nullptr));
  EXPECT_EQ(text, "");
}

TEST(RecordStreamBufferTextTest, NeverReadsPastTheBuffer) {
  GuardedBuffer buffer("");
  memset(buffer.text, 'u', sizeof buffer.text);  // no terminator anywhere
  EXPECT_EQ(BufferText(buffer.text).size(), kStringBufferSize);

  // Such a buffer is one character too long to be stored.
  TempFile file;
  EXPECT_FALSE(WriteString(BufferText(buffer.text), file.Open("wb")));
}

TEST(RecordStreamBufferTextTest, SetBufferTextRefusesWhatDoesNotFit) {
  GuardedBuffer buffer("previous");
  EXPECT_TRUE(SetBufferText(buffer.text, Repeat('k', kMaxStoredStringLength)));
  EXPECT_EQ(BufferText(buffer.text), Repeat('k', kMaxStoredStringLength));
  EXPECT_FALSE(SetBufferText(buffer.text, Repeat('k', kStringBufferSize)));
  EXPECT_EQ(BufferText(buffer.text), "");
  EXPECT_TRUE(buffer.GuardIntact());
}

}  // namespace
