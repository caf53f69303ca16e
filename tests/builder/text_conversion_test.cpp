// Text on its way from UTF-8 manifests into ANSI setup data, and back out as JSON.

#include <gtest/gtest.h>

#include "builder/ansi_text.h"
#include "builder/json_writer.h"
#include "builder/registry_plan.h"

namespace {

struct Conversion {
  const char* utf8;
  const char* ansi;  // nullptr: refused
};

TEST(TextConversion, Utf8ToWindows1252) {
  const Conversion cases[] = {
      {"plain", "plain"},
      {"caf\xC3\xA9", "caf\xE9"},
      {"\xC3\xBF", "\xFF"},
      {"\xE2\x82\xAC 5", "\x80 5"},       // euro sign lives in the 0x80 block
      {"\xE2\x80\x9Cq\xE2\x80\x9D", "\x93q\x94"},
      {"\xC5\xB8", "\x9F"},               // capital Y with diaeresis, the block's last entry
      {"\xC2\x81", nullptr},              // U+0081 has no Windows-1252 byte
      {"\xE6\x97\xA5", nullptr},          // CJK
      {"\xF0\x9F\x98\x80", nullptr},      // outside the Basic Multilingual Plane
      {"\xC3", nullptr},                  // truncated sequence
      {"\xC0\xAF", nullptr},              // overlong "/"
      {"\xED\xA0\x80", nullptr},          // surrogate
      {"\xE9t\xE9", nullptr},             // Latin-1 bytes are not UTF-8
  };
  for (const Conversion& c : cases) {
    std::string ansi, error;
    const bool converted = Utf8ToAnsi(c.utf8, &ansi, &error);
    EXPECT_EQ(converted, c.ansi != nullptr) << c.utf8;
    if (converted && c.ansi != nullptr) { EXPECT_EQ(ansi, c.ansi); }
    if (!converted) { EXPECT_FALSE(error.empty()); }
  }
}

TEST(TextConversion, EveryWindows1252ByteSurvivesTheRoundTrip) {
  for (int byte = 1; byte < 256; ++byte) {
    const std::string ansi(1, static_cast<char>(byte));
    std::string back, error;
    const bool undefined = byte == 0x81 || byte == 0x8D || byte == 0x8F || byte == 0x90 || byte == 0x9D;
    EXPECT_EQ(Utf8ToAnsi(AnsiToUtf8(ansi), &back, &error), !undefined) << byte;
    if (!undefined) { EXPECT_EQ(back, ansi) << byte; }
  }
}

TEST(TextConversion, TextFilesMayBeUtf8OrAlreadyAnsi) {
  const Conversion cases[] = {
      {"\xEF\xBB\xBFhi \xC3\xA9\n", "hi \xE9\n"},  // byte-order mark dropped
      {"hi \xC3\xA9\r\n", "hi \xE9\r\n"},
      {"hi \xE9\r\n", "hi \xE9\r\n"},              // not UTF-8: kept as it is
      {"", ""},
      {"\xEF\xBB\xBF\xE6\x97\xA5", nullptr},       // declared UTF-8, but not representable
  };
  for (const Conversion& c : cases) {
    std::string ansi, error;
    EXPECT_EQ(TextFileToAnsi(c.utf8, &ansi, &error), c.ansi != nullptr) << c.utf8;
    if (c.ansi != nullptr) { EXPECT_EQ(ansi, c.ansi); }
  }
}

// What Notepad writes as "Unicode" is UTF-16 with a byte-order mark; without the mark its
// NUL bytes give it away, and the setup would show only the first letter.
TEST(TextConversion, TextFilesMayBeUtf16WithAByteOrderMark) {
  const struct {
    std::string bytes;
    const char* ansi;  // nullptr: refused
    const char* reason;
  } cases[] = {
      {std::string("\xFF\xFEH\0\xE9\0\r\0\n\0", 10), "H\xE9\r\n", ""},          // little endian
      {std::string("\xFE\xFF\0H\0\xE9\x20\xAC", 8), "H\xE9\x80", ""},           // big endian, euro sign
      {std::string("\xFF\xFE", 2), "", ""},
      {std::string("\xFF\xFEH\0i", 5), nullptr, "half a character"},
      {std::string("\xFF\xFE\x3D\xD8\x00\xDE", 6), nullptr, "U+1F600"},         // a surrogate pair, outside Windows-1252
      {std::string("\xFF\xFE\x00\xDE" "a\0", 6), nullptr, "UTF-16"},             // a lone low surrogate
      {std::string("\xFF\xFE\x3D\xD8" "a\0", 6), nullptr, "UTF-16"},             // a high surrogate without its partner
      {std::string("\xFF\xFE\xE5\x65", 4), nullptr, "U+65E5"},
      {std::string("H\0i\0", 4), nullptr, "byte-order mark"},                    // UTF-16 without the mark
      {std::string("\xEF\xBB\xBFH\0", 5), nullptr, "NUL"},
      {std::string("\xFF\xFE\0\0", 4), nullptr, "NUL"},
  };
  for (const auto& c : cases) {
    std::string ansi, error;
    const bool converted = TextFileToAnsi(c.bytes, &ansi, &error);
    EXPECT_EQ(converted, c.ansi != nullptr) << JsonString(c.bytes);
    if (converted && c.ansi != nullptr) { EXPECT_EQ(ansi, c.ansi) << JsonString(c.bytes); }
    if (!converted) { EXPECT_NE(error.find(c.reason), std::string::npos) << error; }
  }
}

TEST(TextConversion, TerminalTextIsUtf8) {
  EXPECT_EQ(ForTerminal("caf\xC3\xA9 \xE2\x82\xAC"), "caf\xC3\xA9 \xE2\x82\xAC");
  EXPECT_EQ(ForTerminal("caf\xE9 \x80"), "caf\\xE9 \\x80");
  EXPECT_EQ(ForTerminal("end \xC3"), "end \\xC3");
}

TEST(JsonText, EscapesSoTheOutputIsPlainAscii) {
  EXPECT_EQ(JsonString("a\"b\\c"), "\"a\\\"b\\\\c\"");
  EXPECT_EQ(JsonString("%DIR%\\bin"), "\"%DIR%\\\\bin\"");
  EXPECT_EQ(JsonString("l1\r\nl2\t"), "\"l1\\r\\nl2\\t\"");
  EXPECT_EQ(JsonString(std::string("\x01\x1f\x7f", 3)), "\"\\u0001\\u001f\\u007f\"");
  EXPECT_EQ(JsonString("caf\xE9 \x80 \x93"), "\"caf\\u00e9 \\u20ac \\u201c\"");
  EXPECT_EQ(JsonString("\x81"), "\"\\u0081\"");
  EXPECT_EQ(JsonString(""), "\"\"");
}

TEST(DwordData, StoredSoTheSetupReadsTheSame32Bits) {
  const Conversion cases[] = {
      {"0", "0"},
      {"123", "123"},
      {"007", "7"},
      {"2147483647", "2147483647"},
      {"2147483648", "-2147483648"},
      {"4294967295", "-1"},
      {"4294967296", nullptr},
      {"99999999999", nullptr},
      {"", nullptr},
      {"-1", nullptr},
      {"+1", nullptr},
      {"1 ", nullptr},
      {"0x10", nullptr},
  };
  for (const Conversion& c : cases) {
    std::string stored;
    EXPECT_EQ(DwordDataForSetup(c.utf8, &stored), c.ansi != nullptr) << c.utf8;
    if (c.ansi != nullptr) { EXPECT_EQ(stored, c.ansi) << c.utf8; }
  }
}

}  // namespace
