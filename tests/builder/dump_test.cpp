// brisklay dump: what it shows of good files, and that damaged ones fail cleanly.

#include <gtest/gtest.h>

#include <sstream>

#include "builder/build_setup.h"
#include "builder/dump.h"
#include "formats/uninstall_log.h"
#include "test_tree.h"

namespace {

class Dump : public ::testing::Test {
 protected:
  void SetUp() override {
    tree_.WriteFile("p/a.exe", "MZ");
    tree_.WriteFile("p/sub/b\xC3\xA9.txt", "b");
    BuildRequest request;
    request.manifestPath = tree_.Manifest(
        "[product]\nname = \"D\xC3\xA9mo\"\nversion = \"3.1\"\npublisher = \"Caf\xC3\xA9 Ltd\"\n[[files]]\nsource = \"p\"\ntarget = \"%DIR%\\\\App\"\n"
        "[[registry]]\nroot = \"HKEY_CURRENT_USER\"\nkey = \"Software\\\\D\"\nname = \"N\"\ntype = \"REG_DWORD\"\ndata = 7\n");
    request.outputBase = tree_.OutputBase();
    BuildResult result;
    std::string error;
    ASSERT_TRUE(BuildSetup(request, &result, &error)) << error;
    summary_ = tree_.OutputBase() + ".exe.sum.bin";
    archive_ = tree_.OutputBase() + ".exe.archive.bin";
    product_ = tree_.OutputBase() + ".exe.product.txt";
  }

  std::string Dumped(const std::string& path, DumpKind kind) {
    std::ostringstream out;
    std::string error;
    EXPECT_TRUE(DumpFile(path, kind, out, &error)) << error;
    return out.str();
  }

  // A copy of `source` cut to `length` bytes, or with `extra` appended.
  std::string Damaged(const std::string& source, std::size_t length, const std::string& extra = "") {
    std::string bytes = ReadBytes(source).substr(0, length) + extra;
    tree_.WriteFile("damaged.bin", bytes);
    return tree_.Path("damaged.bin").string();
  }

  TestTree tree_;
  std::string summary_;
  std::string archive_;
  std::string product_;
};

TEST_F(Dump, KindFollowsTheFileName) {
  const struct {
    const char* path;
    bool known;
    DumpKind kind;
  } cases[] = {{"out/Setup.exe.sum.bin", true, DumpKind::Summary},
               {"Setup.exe.archive.bin", true, DumpKind::Archive},
               {"C/Uninstall.log", true, DumpKind::Log},
               {"x.log", true, DumpKind::Log},
               {"out/Setup.exe.product.txt", true, DumpKind::Product},
               {"inflated.bin", false, DumpKind::Data}};
  for (const auto& c : cases) {
    DumpKind kind = DumpKind::Data;
    EXPECT_EQ(DumpKindFromPath(c.path, &kind), c.known) << c.path;
    if (c.known) { EXPECT_EQ(kind, c.kind) << c.path; }
  }
}

TEST_F(Dump, SummaryShowsEntriesInOrderWithEscapedText) {
  const std::string json = Dumped(summary_, DumpKind::Summary);
  EXPECT_NE(json.find("\"kind\": \"summary\""), std::string::npos);
  EXPECT_NE(json.find("\"product_name\": \"D\\u00e9mo\""), std::string::npos) << json;
  const std::size_t folder = json.find("\"target_path\": \"%DIR%\\\\App\\\\sub\"");
  const std::size_t inside = json.find("\"target_path\": \"%DIR%\\\\App\\\\sub\\\\b\\u00e9.txt\"");
  ASSERT_NE(folder, std::string::npos) << json;
  ASSERT_NE(inside, std::string::npos) << json;
  EXPECT_LT(folder, inside);
}

TEST_F(Dump, ArchiveIsInflatedAndShownWithItsChecksums) {
  const std::string summary = Dumped(summary_, DumpKind::Summary);
  const std::string data = Dumped(archive_, DumpKind::Archive);
  EXPECT_NE(data.find("\"kind\": \"data\""), std::string::npos);
  EXPECT_NE(data.find("\"file_count\": 4"), std::string::npos) << data;
  EXPECT_NE(data.find("\"value_data\": \"7\""), std::string::npos);
  for (const char* key : {"\"data_file_crc\": ", "\"setup_data_crc\": "}) {
    const std::size_t a = summary.find(key), b = data.find(key);
    ASSERT_NE(a, std::string::npos);
    ASSERT_NE(b, std::string::npos);
    EXPECT_EQ(summary.substr(a, summary.find(',', a) - a), data.substr(b, data.find(',', b) - b));
  }
}

TEST_F(Dump, ProductFactsAreShownWithTheFullVersion) {
  const std::string json = Dumped(product_, DumpKind::Product);
  EXPECT_NE(json.find("\"kind\": \"product\""), std::string::npos) << json;
  EXPECT_NE(json.find("\"version\": \"3.1\""), std::string::npos) << json;
  EXPECT_NE(json.find("\"version_four_parts\": \"3.1.0.0\""), std::string::npos) << json;
  EXPECT_NE(json.find("\"publisher\": \"Caf\\u00e9 Ltd\""), std::string::npos) << json;
  EXPECT_NE(json.find("\"url\": \"\""), std::string::npos) << json;
  tree_.WriteFile("twice.product.txt", "version=1\r\nversion=2\r\n");
  std::ostringstream out;
  std::string error;
  EXPECT_FALSE(DumpFile(tree_.Path("twice.product.txt").string(), DumpKind::Product, out, &error));
  EXPECT_EQ(error, "the product facts are damaged: version is given twice");
  EXPECT_EQ(out.str(), "");
}

TEST_F(Dump, UninstallLogIsShown) {
  FILE* log = std::fopen(tree_.Path("Uninstall.log").c_str(), "wb");
  UninstallLogHeader header{};
  std::snprintf(header.cName, sizeof header.cName, "Demo");
  header.clrOut = 0x00FF0000;
  header.clrIn = 0x000000FF;
  header.bAllUsers = 1;
  ASSERT_TRUE(WriteUninstallLogHeader(header, log));
  std::fclose(log);
  const std::string json = Dumped(tree_.Path("Uninstall.log").string(), DumpKind::Log);
  EXPECT_NE(json.find("\"name\": \"Demo\""), std::string::npos) << json;
  EXPECT_NE(json.find("\"colour_out\": \"#0000FF\""), std::string::npos) << json;
  EXPECT_NE(json.find("\"all_users\": true"), std::string::npos) << json;
}

TEST_F(Dump, DamagedFilesFailWithoutOutput) {
  const std::size_t summarySize = ReadBytes(summary_).size();
  const std::size_t archiveSize = ReadBytes(archive_).size();
  const struct {
    const char* what;
    std::string source;
    std::size_t length;
    std::string extra;
    DumpKind kind;
  } cases[] = {
      {"summary cut inside an entry", summary_, summarySize - 3, "", DumpKind::Summary},
      {"summary cut inside the head", summary_, 6, "", DumpKind::Summary},
      {"summary with an over-long string", summary_, 0, std::string("\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\x10\x01\0\0", 20), DumpKind::Summary},
      {"empty archive", archive_, 0, "", DumpKind::Archive},
      {"truncated archive", archive_, archiveSize / 2, "", DumpKind::Archive},
      {"archive with bytes after the stream", archive_, archiveSize, "junk", DumpKind::Archive},
      {"not an archive", summary_, summarySize, "", DumpKind::Archive},
      {"summary read as a data file", summary_, summarySize, "", DumpKind::Data},
      {"truncated log", summary_, 5, "", DumpKind::Log},
  };
  for (const auto& c : cases) {
    const std::string path = Damaged(c.source, c.length, c.extra);
    std::ostringstream out;
    std::string error;
    EXPECT_FALSE(DumpFile(path, c.kind, out, &error)) << c.what;
    EXPECT_FALSE(error.empty()) << c.what;
    EXPECT_TRUE(out.str().empty()) << c.what;
  }
  std::ostringstream out;
  std::string error;
  EXPECT_FALSE(DumpFile(tree_.Path("none.sum.bin").string(), DumpKind::Summary, out, &error));
}

}  // namespace
