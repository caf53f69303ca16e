// A Setup.exe made by the builder from the real setup program, checked by Windows itself:
// the loader finds every resource the program had and every one the builder attached,
// with the same bytes; the checksum is what the system computes; and the program starts
// and shows its wizard on the attached data.

#include <windows.h>
#include <imagehlp.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "builder/build_setup.h"
#include "builder/pe/resource_reader.h"
#include "tests/driver/driver.h"

namespace {

namespace fs = std::filesystem;
using namespace driver;

const std::string kSetupExe = WindowsPathFromHost(BRISKLAY_SETUP_EXE);

// A complete 1x1 24-bit bitmap file, header included.
std::string TinyBitmap() {
  const unsigned char bytes[] = {'B', 'M', 58, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0, 40, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0,
                                 1, 0, 24, 0, 0, 0, 0, 0, 4, 0, 0, 0, 0x13, 0x0B, 0, 0, 0x13, 0x0B, 0, 0, 0, 0, 0, 0,
                                 0, 0, 0, 0, 0x20, 0x40, 0x80, 0};
  return std::string(reinterpret_cast<const char*>(bytes), sizeof bytes);
}

void WriteText(const fs::path& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

// The key as FindResourceEx takes it: a number in the pointer, or a narrow name.
struct WindowsKey {
  explicit WindowsKey(const ResourceKey& key) {
    for (char16_t c : key.NameValue()) name.push_back(static_cast<char>(c));
    pointer = key.IsId() ? MAKEINTRESOURCEA(key.IdValue()) : name.c_str();
  }
  std::string name;
  LPCSTR pointer;
};

std::string LoadedBytes(HMODULE module, const ResourceKey& type, const ResourceKey& name, WORD language) {
  const WindowsKey typeKey(type), nameKey(name);
  HRSRC found = ::FindResourceExA(module, typeKey.pointer, nameKey.pointer, language);
  if (found == nullptr) return "<not found>";
  HGLOBAL loaded = ::LoadResource(module, found);
  const char* bytes = loaded ? static_cast<const char*>(::LockResource(loaded)) : nullptr;
  return bytes ? std::string(bytes, ::SizeofResource(module, found)) : "<not loaded>";
}

// As the setup program looks its data up: by number, the type "Setup" by name.
std::string FoundBySetup(HMODULE module, int id, LPCSTR type) {
  HRSRC found = ::FindResourceA(module, MAKEINTRESOURCEA(id), type);
  if (found == nullptr) return "<not found>";
  const char* bytes = static_cast<const char*>(::LockResource(::LoadResource(module, found)));
  return std::string(bytes, ::SizeofResource(module, found));
}

// One text of a program's version resource, as Explorer reads it; empty when missing.
std::string VersionText(const std::string& program, const std::string& name) {
  DWORD ignored = 0;
  const DWORD size = ::GetFileVersionInfoSizeA(program.c_str(), &ignored);
  if (size == 0) return "";
  std::string block(size, '\0');
  void* value = nullptr;
  UINT length = 0;
  const std::string path = "\\StringFileInfo\\040904E4\\" + name;
  if (!::GetFileVersionInfoA(program.c_str(), 0, size, &block[0]) ||
      !::VerQueryValueA(&block[0], path.c_str(), &value, &length) || length == 0) {
    return "";
  }
  return static_cast<const char*>(value);
}

class BuiltSetupProgram : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    char temp[MAX_PATH] = "";
    ::GetTempPathA(MAX_PATH, temp);
    folder_ = fs::path(temp) / ("setup program " + std::to_string(::GetCurrentProcessId()));
    fs::create_directories(folder_);
    WriteText(folder_ / "readme.txt", "read me\r\n");
    WriteText(folder_ / "info.txt", "Information for the test.\n");
    WriteText(folder_ / "license.txt", "Licence for the test.\n");
    WriteText(folder_ / "back.bmp", TinyBitmap());
    WriteText(folder_ / "manifest.toml",
              "[product]\nname = \"Embedded Check\"\nversion = \"3.2.1\"\npublisher = \"Check Ltd\"\ninformation = \"info.txt\"\nlicense = \"license.txt\"\n"
              "[background]\nshow = true\npicture = \"back.bmp\"\n"
              "[[files]]\nsource = \"readme.txt\"\ntarget = \"%DIR%\\\\readme.txt\"\n");
    BuildRequest request;
    request.manifestPath = (folder_ / "manifest.toml").string();
    request.outputBase = (folder_ / "Setup.exe").string();
    request.setupProgram = kSetupExe;
    BuildResult result;
    built_ = BuildSetup(request, &result, &buildError_);
  }
  static void TearDownTestSuite() {
    std::error_code ignored;
    fs::remove_all(folder_, ignored);
  }
  void SetUp() override { ASSERT_TRUE(built_) << buildError_; }

  static std::string SetupPath() { return (folder_ / "Setup.exe").string(); }

  static fs::path folder_;
  static bool built_;
  static std::string buildError_;
};

fs::path BuiltSetupProgram::folder_;
bool BuiltSetupProgram::built_ = false;
std::string BuiltSetupProgram::buildError_;

TEST_F(BuiltSetupProgram, WindowsFindsEveryResourceOldAndNew) {
  PeImage original;
  ResourceTree resources;
  std::string error;
  ASSERT_TRUE(PeImage::ReadFile(kSetupExe, &original, &error)) << error;
  ASSERT_TRUE(ReadResources(original, &resources, &error)) << error;
  ASSERT_GT(resources.LeafCount(), 10u) << "dialogs, strings, icon, cursor, manifest";

  HMODULE module = ::LoadLibraryExA(SetupPath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_NE(module, nullptr) << "error " << ::GetLastError();
  // The carried uninstaller gets the product's version resource: it is checked below.
  const ResourceKey uninstaller = ResourceKey::Id(143), setupType = ResourceKey::Name("Setup");
  for (const auto& type : resources.AllTypes())
    for (const auto& name : type.second)
      for (const auto& language : name.second) {
        if (type.first == setupType && name.first == uninstaller) continue;
        EXPECT_EQ(LoadedBytes(module, type.first, name.first, language.first.IdValue()),
                  std::string(language.second.bytes.begin(), language.second.bytes.end()))
            << type.first.Describe() << "/" << name.first.Describe() << "/" << language.first.Describe();
      }
  // Texts carry a terminating NUL; the picture is the whole file.
  EXPECT_EQ(FoundBySetup(module, 146, "Setup"), std::string("Information for the test.\n\0", 27));
  EXPECT_EQ(FoundBySetup(module, 147, "Setup"), std::string("Licence for the test.\n\0", 23));
  EXPECT_EQ(FoundBySetup(module, 150, MAKEINTRESOURCEA(2)), TinyBitmap());
  EXPECT_EQ(FoundBySetup(module, 145, "Setup").substr(0, 1), "\x78") << "a zlib stream";
  EXPECT_GT(FoundBySetup(module, 148, "Setup").size(), 100u);
  EXPECT_EQ(FoundBySetup(module, 149, "Setup"), "version=3.2.1\r\npublisher=Check Ltd\r\n");

  // The uninstaller Windows finds is a program that names itself.
  const std::string carried = FoundBySetup(module, 143, "Setup");
  ::FreeLibrary(module);
  const std::string uninstallerPath = (folder_ / "Uninstall.exe").string();
  WriteText(folder_ / "Uninstall.exe", carried);
  EXPECT_EQ(VersionText(uninstallerPath, "OriginalFilename"), "Uninstall.exe");
  EXPECT_EQ(VersionText(uninstallerPath, "ProductVersion"), "3.2.1");
}

TEST_F(BuiltSetupProgram, WindowsReadsItsVersionResource) {
  EXPECT_EQ(VersionText(SetupPath(), "FileVersion"), "3.2.1");
  EXPECT_EQ(VersionText(SetupPath(), "CompanyName"), "Check Ltd");
  EXPECT_EQ(VersionText(SetupPath(), "FileDescription"), "Embedded Check Setup");
  EXPECT_EQ(VersionText(SetupPath(), "ProductName"), "Embedded Check");
}

TEST_F(BuiltSetupProgram, ChecksumIsTheOneWindowsComputes) {
  DWORD stored = 0, computed = 0;
  ASSERT_EQ(::MapFileAndCheckSumA(SetupPath().c_str(), &stored, &computed), CHECKSUM_SUCCESS);
  EXPECT_NE(stored, 0u);
  EXPECT_EQ(stored, computed);
}

TEST_F(BuiltSetupProgram, StartsAndShowsTheWizardOnItsOwnData) {
  ChildProcess setup;
  ASSERT_TRUE(setup.Start(SetupPath(), QuotedCommandLine(SetupPath(), ""))) << setup.Error();
  HWND frame = nullptr;
  WaitUntil([&] {
    if (HWND box = WaitForMessageBox(setup.Id(), "", Millis(0))) {
      if (WindowText(box) == "Warning") {
        PressMessageBoxButton(box, IDYES);  // the prefix's Windows version is not the point here
      } else {
        ADD_FAILURE() << WindowText(box) << ": " << MessageBoxText(box);
        return true;
      }
    }
    frame = WaitForTopLevelWindow(setup.Id(), {"Setup Embedded Check", "", true}, Millis(0));
    return frame != nullptr;
  });
  EXPECT_NE(frame, nullptr) << "no wizard";
  setup.Kill();
}

}  // namespace
