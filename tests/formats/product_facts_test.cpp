// The product facts text: what the builder writes the setup reads back, and damaged text is
// refused whole rather than half-believed.

#include "formats/product_facts.h"

#include <gtest/gtest.h>

namespace {

ProductFacts FullFacts() {
  ProductFacts facts;
  facts.versionText = "2.1.0";
  facts.publisher = "Caf\xE9 Software Ltd";  // Windows-1252 é
  facts.url = "https://example.org/";
  facts.supportUrl = "https://example.org/help";
  return facts;
}

TEST(ProductFacts, WritesKeyValueLinesAndReadsThemBack) {
  std::string text, error;
  ASSERT_TRUE(WriteProductFacts(FullFacts(), &text, &error)) << error;
  EXPECT_EQ(text,
            "version=2.1.0\r\npublisher=Caf\xE9 Software Ltd\r\nurl=https://example.org/\r\n"
            "support_url=https://example.org/help\r\n");
  ProductFacts read;
  ASSERT_TRUE(ReadProductFacts(text, &read, &error)) << error;
  EXPECT_EQ(read.versionText, "2.1.0");
  ASSERT_TRUE(read.version.has_value());
  EXPECT_EQ(read.version->count, 3);
  EXPECT_EQ(read.version->Minor(), 1);
  EXPECT_EQ(read.publisher, FullFacts().publisher);
  EXPECT_EQ(read.url, "https://example.org/");
  EXPECT_EQ(read.supportUrl, "https://example.org/help");
}

TEST(ProductFacts, LeavesOutWhatIsUnknown) {
  ProductFacts facts;
  facts.publisher = "Only Publisher";
  std::string text, error;
  ASSERT_TRUE(WriteProductFacts(facts, &text, &error)) << error;
  EXPECT_EQ(text, "publisher=Only Publisher\r\n");
  ProductFacts read;
  ASSERT_TRUE(ReadProductFacts(text, &read, &error)) << error;
  EXPECT_FALSE(read.version.has_value());
  EXPECT_TRUE(read.versionText.empty());
  EXPECT_EQ(read.publisher, "Only Publisher");
  ASSERT_TRUE(WriteProductFacts(ProductFacts(), &text, &error));
  EXPECT_EQ(text, "");
  ASSERT_TRUE(ReadProductFacts("", &read, &error));
  EXPECT_TRUE(read.Empty());
}

TEST(ProductFacts, TakesBareLineFeedsBlankLinesAndKeysOfLaterBuilders) {
  ProductFacts read;
  std::string error;
  ASSERT_TRUE(ReadProductFacts("\nversion=1.0\n\nlogo=x.bmp\r\nurl=u=v\n", &read, &error)) << error;
  EXPECT_EQ(read.versionText, "1.0");
  EXPECT_EQ(read.url, "u=v") << "only the first = separates";
}

TEST(ProductFacts, RefusesDamagedTextWhole) {
  const struct {
    std::string text;
    const char* reason;
  } kCases[] = {{"version=1.0\r\nversion=2.0\r\n", "version is given twice"},
                {"version=1.0\r\nno equals sign\r\n", "a line is not key=value"},
                {"=value\r\n", "a line is not key=value"},
                {"publisher=\r\n", "publisher is empty"},
                {"version=1.x\r\n", "version \"1.x\" holds something other than digits and dots"},
                {"version=1.0.0.0.0\r\n", "version \"1.0.0.0.0\" has more than four parts"},
                {"url=" + std::string(260, 'u') + "\r\n", "url is longer than 259 bytes"},
                {"url=a\rb\r\n", "url holds a line break or a NUL"},
                {std::string("url=a\0b\r\n", 9), "holds a NUL byte"},
                {std::string(kMaxProductFactsSize + 1, '\n'), "is larger than 65536 bytes"}};
  for (const auto& c : kCases) {
    ProductFacts read;
    read.publisher = "stale";
    std::string error;
    EXPECT_FALSE(ReadProductFacts(c.text, &read, &error)) << c.text.substr(0, 40);
    EXPECT_EQ(error, c.reason) << c.text.substr(0, 40);
    EXPECT_TRUE(read.Empty()) << "nothing half-read kept";
  }
}

TEST(ProductFacts, WriterRefusesWhatTheReaderWould) {
  const struct {
    void (*change)(ProductFacts*);
    const char* reason;
  } kCases[] = {{[](ProductFacts* f) { f->versionText = "1..0"; }, "version \"1..0\" has an empty part"},
                {[](ProductFacts* f) { f->publisher = std::string(260, 'p'); }, "publisher is longer than 259 bytes"},
                {[](ProductFacts* f) { f->supportUrl = "a\nb"; }, "support_url holds a line break or a NUL"}};
  for (const auto& c : kCases) {
    ProductFacts facts = FullFacts();
    c.change(&facts);
    std::string text = "untouched", error;
    EXPECT_FALSE(WriteProductFacts(facts, &text, &error));
    EXPECT_EQ(error, c.reason);
    EXPECT_EQ(text, "untouched");
  }
}

}  // namespace
