// Reading the setup's description: from files beside a base path, and from resources of
// type "Setup" (this test program carries a small product as resources).

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "formats/record_stream.h"
#include "setup/setup_description.h"

namespace {

std::string TempFolder() {
  char path[MAX_PATH] = "";
  ::GetTempPathA(MAX_PATH, path);
  std::string folder = std::string(path) + "brisklay_description_" + std::to_string(::GetCurrentProcessId()) + "\\";
  ::CreateDirectoryA(folder.c_str(), nullptr);
  return folder;
}

bool FileExists(const std::string& path) { return ::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

void WriteBytes(const std::string& path, const std::string& bytes) {
  FILE* file = std::fopen(path.c_str(), "wb");
  ASSERT_NE(file, nullptr) << path;
  std::fwrite(bytes.data(), 1, bytes.size(), file);
  std::fclose(file);
}

class DescriptionFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = TempFolder();
    base_ = folder_ + "Product Setup";  // a base path with a blank in it
    ClearSummaryRecord(&record_);
    SetBufferText(record_.Config.ProductName, "Tool");
    SummaryEntry entry{};
    SetBufferText(entry.Name, "Tool");
    SetBufferText(entry.Extension, "exe");
    SetBufferText(entry.TargetPath, "%DIR%\\Tool.exe");
    entry.StartMenuShortcut = 1;
    record_.Entries.push_back(entry);
  }
  void TearDown() override {
    for (const char* suffix : {kSummaryFileSuffix, kInformationFileSuffix, kLicenseFileSuffix, kProductFileSuffix})
      std::remove((base_ + suffix).c_str());
    ::RemoveDirectoryA(folder_.c_str());
  }
  void WriteSummary(bool hasInformation, bool hasLicense) {
    record_.Head.HasInformation = hasInformation;
    record_.Head.HasLicense = hasLicense;
    FILE* file = std::fopen((base_ + kSummaryFileSuffix).c_str(), "wb");
    ASSERT_NE(file, nullptr);
    ASSERT_TRUE(WriteSummaryRecord(record_, file));
    std::fclose(file);
  }
  bool Read() { return ReadDescriptionFromFiles(base_, &description_, &error_); }

  std::string folder_;
  std::string base_;
  SummaryRecord record_;
  SetupDescription description_;
  std::string error_;
};

TEST_F(DescriptionFiles, ReadsSummaryAndTextsWithWindowsLineEnds) {
  WriteSummary(true, true);
  WriteBytes(base_ + kInformationFileSuffix, "bare\nline ends\n");
  WriteBytes(base_ + kLicenseFileSuffix, "windows\r\nline ends\r\n");
  ASSERT_TRUE(Read()) << error_;
  EXPECT_EQ(BufferText(description_.Summary.Config.ProductName), "Tool");
  EXPECT_EQ(description_.Summary.Texts.StartMenuListText, "Tool.exe - %DIR%\\Tool.exe\r\n");
  EXPECT_EQ(description_.InformationText, "bare\r\nline ends\r\n");
  EXPECT_EQ(description_.LicenseText, "windows\r\nline ends\r\n");
}

TEST_F(DescriptionFiles, TextsTheSummaryDoesNotAnnounceAreNeverOpened) {
  WriteSummary(false, false);
  WriteBytes(base_ + kInformationFileSuffix, "present but unwanted");
  ASSERT_TRUE(Read()) << error_;
  EXPECT_EQ(description_.InformationText, "");
  EXPECT_EQ(description_.LicenseText, "");
}

TEST_F(DescriptionFiles, MissingFilesAreNamedInFull) {
  struct Case {
    bool writeSummary;
    bool hasInformation;
    bool hasLicense;
    bool writeInformation;
    std::string message;
  } cases[] = {
      {false, false, false, false, "Couldn't open summary file: " + base_ + kSummaryFileSuffix},
      {true, true, false, false, "Couldn't open information file: " + base_ + kInformationFileSuffix},
      {true, true, true, true, "Couldn't open EULA file: " + base_ + kLicenseFileSuffix},
      {true, false, true, false, "Couldn't open EULA file: " + base_ + kLicenseFileSuffix},
  };
  for (const Case& c : cases) {
    TearDown();
    SetUp();
    if (c.writeSummary) WriteSummary(c.hasInformation, c.hasLicense);
    if (c.writeInformation) WriteBytes(base_ + kInformationFileSuffix, "info");
    EXPECT_FALSE(Read());
    EXPECT_EQ(error_, c.message);
  }
}

TEST_F(DescriptionFiles, DamagedSummaryIsRefused) {
  WriteSummary(false, false);
  std::string path = base_ + kSummaryFileSuffix;
  HANDLE file = ::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  ::SetFilePointer(file, -3, nullptr, FILE_END);  // cut inside the last entry
  ::SetEndOfFile(file);
  ::CloseHandle(file);
  EXPECT_FALSE(Read());
  EXPECT_EQ(error_, "Couldn't read summary file: " + path);
}

TEST_F(DescriptionFiles, OverlongNameInSummaryIsRefused) {
  WriteSummary(false, false);
  // A product name that claims more bytes than any field may hold.
  std::string bytes(16, '\0');
  bytes += std::string("\xFF\xFF\x00\x00", 4);
  WriteBytes(base_ + kSummaryFileSuffix, bytes + std::string(300, 'x'));
  EXPECT_FALSE(Read());
  EXPECT_EQ(error_, "Couldn't read summary file: " + base_ + kSummaryFileSuffix);
}

// Setups built before product facts existed have no facts file; a damaged one is not
// half-believed.
TEST_F(DescriptionFiles, ProductFactsAreOptionalButNotGuessedAt) {
  WriteSummary(false, false);
  ASSERT_TRUE(Read()) << error_;
  EXPECT_TRUE(description_.Product.Empty());

  WriteBytes(base_ + kProductFileSuffix, "version=2.1\r\npublisher=Example\r\n");
  ASSERT_TRUE(Read()) << error_;
  EXPECT_EQ(description_.Product.versionText, "2.1");
  ASSERT_TRUE(description_.Product.version.has_value());
  EXPECT_EQ(description_.Product.version->Minor(), 1);
  EXPECT_EQ(description_.Product.publisher, "Example");

  for (const char* damaged : {"version=2..1\r\n", "publisher\r\n", "url=a\r\nurl=b\r\n"}) {
    WriteBytes(base_ + kProductFileSuffix, damaged);
    EXPECT_FALSE(Read()) << damaged;
    EXPECT_EQ(error_, "Couldn't read product file: " + base_ + kProductFileSuffix) << damaged;
  }
}

TEST(DescriptionResources, ReadsTheProductCarriedByTheProgram) {
  std::string tempPath = TempFolder();
  SetupDescription description;
  std::string error;
  ASSERT_TRUE(ReadDescriptionFromResources(nullptr, tempPath, &description, &error)) << error;
  EXPECT_EQ(BufferText(description.Summary.Config.ProductName), "Sample Product");
  EXPECT_EQ(description.InformationText, "Sample Product does sample things.\r\nIt has two lines.\r\n");
  // The licence resource holds a NUL: the text ends there.
  EXPECT_EQ(description.LicenseText, "LICENCE\r\nFirst part.\r\n");
  EXPECT_TRUE(description.Product.Empty()) << "built without product facts";
  EXPECT_FALSE(FileExists(tempPath + kSummaryTempFileName));
  ::RemoveDirectoryA(tempPath.c_str());
}

TEST(DescriptionResources, ProgramWithoutSetupResourcesFails) {
  SetupDescription description;
  std::string error;
  EXPECT_FALSE(ReadDescriptionFromResources(::GetModuleHandleA("kernel32.dll"), TempFolder(), &description, &error));
  EXPECT_EQ(error, "Couldn't find summary resource!");
}

TEST(DescriptionResources, UnwritableTempFolderFails) {
  SetupDescription description;
  std::string error;
  EXPECT_FALSE(ReadDescriptionFromResources(nullptr, "Q:\\no such folder\\", &description, &error));
  EXPECT_EQ(error, "Couldn't create summary file!");
}

TEST(DescriptionResources, TextResourceFailuresNameTheText) {
  struct Case {
    int id;
    const char* what;
    const char* message;
  } cases[] = {
      {201, "information", "Couldn't get the size of the information resource!"},  // empty
      {202, "EULA", "Couldn't find EULA resource!"},
  };
  for (const Case& c : cases) {
    std::string text = "untouched";
    std::string error;
    EXPECT_FALSE(ReadTextResource(nullptr, c.id, c.what, &text, &error));
    EXPECT_EQ(error, c.message);
  }
}

}  // namespace
