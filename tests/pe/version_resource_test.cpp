// The version resource: what is written reads back, laid out as Windows expects, and
// damaged bytes are refused without reading past them.

#include "builder/pe/version_resource.h"

#include <gtest/gtest.h>

namespace {

VersionInfo Sample() {
  VersionInfo info;
  const uint16_t parts[4] = {1, 2, 3, 65535};
  for (int i = 0; i < 4; ++i) info.fileVersion[i] = info.productVersion[i] = parts[i];
  info.productVersion[3] = 4;
  info.strings = {{u"CompanyName", u"Caf\u00e9 \u20ac Ltd"}, {u"FileVersion", u"1.2.3.65535"}, {u"Odd", u"ab"}};
  return info;
}

TEST(VersionResource, ReadsBackWhatIsWritten) {
  VersionInfo read;
  std::string error;
  ASSERT_TRUE(ParseVersionResource(BuildVersionResource(Sample()), &read, &error)) << error;
  for (int i = 0; i < 4; ++i) EXPECT_EQ(read.fileVersion[i], Sample().fileVersion[i]);
  EXPECT_EQ(read.productVersion[3], 4);
  EXPECT_EQ(read.strings, Sample().strings);
}

TEST(VersionResource, IsLaidOutAsWindowsReadsIt) {
  const Bytes bytes = BuildVersionResource(Sample());
  uint16_t length = 0, valueLength = 0;
  ASSERT_TRUE(ReadU16(bytes, 0, &length));
  EXPECT_EQ(length, bytes.size());
  ReadU16(bytes, 2, &valueLength);
  EXPECT_EQ(valueLength, 52) << "VS_FIXEDFILEINFO";
  // Header, "VS_VERSION_INFO" and its NUL, padded: the fixed part starts at 40.
  uint32_t signature = 0, fileHigh = 0, fileLow = 0;
  ReadU32(bytes, 40, &signature);
  ReadU32(bytes, 48, &fileHigh);
  ReadU32(bytes, 52, &fileLow);
  EXPECT_EQ(signature, 0xFEEF04BDu);
  EXPECT_EQ(fileHigh, 0x00010002u);
  EXPECT_EQ(fileLow, 0x0003FFFFu);
  const std::u16string table = u"040904E4";
  const std::string bytesText(bytes.begin(), bytes.end());
  EXPECT_NE(bytesText.find(std::string(reinterpret_cast<const char*>(table.data()), table.size() * 2)),
            std::string::npos);
}

TEST(VersionResource, DamagedBytesAreRefused) {
  const Bytes good = BuildVersionResource(Sample());
  const struct {
    const char* what;
    Bytes bytes;
  } kCases[] = {
      {"empty", Bytes()},
      {"cut inside the fixed part", Bytes(good.begin(), good.begin() + 60)},
      {"cut inside the texts", Bytes(good.begin(), good.end() - 10)},
      {"no signature", [&] { Bytes b = good; b[40] = 0; return b; }()},
      {"length past the end", [&] { Bytes b = good; WriteU16(b, 0, static_cast<uint16_t>(good.size() + 2)); return b; }()},
      {"length below a header", [&] { Bytes b = good; WriteU16(b, 0, 4); return b; }()},
  };
  for (const auto& c : kCases) {
    VersionInfo info;
    std::string error;
    EXPECT_FALSE(ParseVersionResource(c.bytes, &info, &error)) << c.what;
    EXPECT_FALSE(error.empty()) << c.what;
  }
}

}  // namespace
