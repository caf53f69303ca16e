// The uninstaller's rules taken one by one: the command lines it accepts, when a file
// counts as changed, whose Add/Remove Programs entry it may delete, which registry keys
// it takes away, and the closing message.

#include <gtest/gtest.h>
#include <windows.h>

#include "tests/engine/engine_test_support.h"
#include "uninstaller/command_line.h"
#include "shell/installed_file.h"
#include "uninstaller/leftovers.h"
#include "shell/paths.h"
#include "uninstaller/registry_cleanup.h"

namespace {

struct FolderCase {
  const char* commandLine;
  const char* folder;
};

TEST(InstallFolderFromCommandLine, TakesTheTextFromTheSecondDriveLetter) {
  const FolderCase cases[] = {
      // As the setup registers it.
      {"\"C:\\Program Files\\Demo\\Uninstall.exe\" C:\\Program Files\\Demo", "C:\\Program Files\\Demo"},
      // As older entries hold it, without quotation marks.
      {"C:\\Program Files\\Demo\\Uninstall.exe C:\\Program Files\\Demo", "C:\\Program Files\\Demo"},
      // A drive root keeps its backslash.
      {"\"D:\\\\Uninstall.exe\" D:\\", "D:\\"},
      // Blanks and a closing quote after the folder are no part of it.
      {"\"C:\\Demo\\Uninstall.exe\" \"C:\\Demo\"  ", "C:\\Demo"},
      // From the link: no folder, the current folder serves.
      {"\"C:\\Program Files\\Demo\\Uninstall.exe\"", ""},
      {"Uninstall.exe", ""},
      {"", ""},
  };
  for (const FolderCase& c : cases) {
    EXPECT_EQ(InstallFolderFromCommandLine(c.commandLine), c.folder) << c.commandLine;
  }
}

TEST(ParseUninstallSwitches, TakesTheSwitchesOutBeforeTheFolderRule) {
  struct Case {
    const char* commandLine;
    bool quiet;
    bool silent;
    bool log;
    const char* logFile;
    const char* error;
    const char* folder;  // what the folder rule finds in what is left
  } cases[] = {
      {R"("C:\P F\Demo\Uninstall.exe" C:\P F\Demo)", false, false, false, "", "", R"(C:\P F\Demo)"},
      {R"("C:\P F\Demo\Uninstall.exe" /S)", true, false, false, "", "", ""},
      {R"("C:\P F\Demo\Uninstall.exe" /s /LOG="D:\My Logs\u.log" C:\P F\Demo)", true, false, true,
       R"(D:\My Logs\u.log)", "", R"(C:\P F\Demo)"},
      {R"("C:\Demo\Uninstall.exe" C:\Demo /log=D:\u.log)", false, false, true, R"(D:\u.log)", "", R"(C:\Demo)"},
      {R"("C:\Demo\Uninstall.exe" /log /S)", true, false, true, "", "", ""},
      // Quoted whole, a log with a blank is a switch, not the folder.
      {R"("C:\Demo\Uninstall.exe" "/log=C:\a b.log")", false, false, true, R"(C:\a b.log)", "", ""},
      {R"("C:\P F\Demo\Uninstall.exe" /VERYSILENT /SUPPRESSMSGBOXES /NORESTART)", true, false, false, "", "", ""},
      {R"("C:\Demo\Uninstall.exe" /Silent "/log=C:\a b.log" C:\Demo)", false, true, true, R"(C:\a b.log)", "",
       R"(C:\Demo)"},
      {R"("C:\Demo\Uninstall.exe" /quiet)", false, false, false, "", "Unknown switch: /quiet", ""},
      {R"("C:\Demo\Uninstall.exe" /S /log=)", true, false, false, "", "Malformed switch: /log=", ""},
      // A bad switch in a removal that names a silent switch anywhere stays silent, even
      // where an open quote swallowed that switch.
      {R"("C:\Demo\Uninstall.exe" /SILENT /x)", false, true, false, "", "Unknown switch: /x", ""},
      {R"("C:\Demo\Uninstall.exe" /log="C:\Logs\" /VERYSILENT)", true, false, false, "",
       "A backslash before a closing quote makes the quote part of the text: /log=\"C:\\Logs\\\"\n"
       "Write it without the last backslash: /log=\"C:\\Logs\"\nor double that backslash: /log=\"C:\\Logs\\\\\"",
       ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.commandLine);
    const UninstallSwitches switches = ParseUninstallSwitches(c.commandLine);
    EXPECT_EQ(switches.quiet, c.quiet);
    EXPECT_EQ(switches.silent, c.silent);
    EXPECT_EQ(switches.log, c.log);
    EXPECT_EQ(switches.logFile, c.logFile);
    EXPECT_EQ(switches.error, c.error);
    EXPECT_EQ(InstallFolderFromCommandLine(switches.remainingLine), c.folder);
  }
}

TEST(FinishCommandLine, RoundTripsAndRefusesAnythingElse) {
  FinishArguments made;
  made.processHandle = 124;
  made.copyHandle = 96;
  made.uninstallerPath = "C:\\Program Files\\Demo\\Uninstall.exe";
  made.folder = "C:\\Program Files\\Demo";
  const std::string line = FinishCommandLine("C:\\Temp\\Uninstall-7.exe", made);
  FinishArguments parsed;
  ASSERT_TRUE(ParseFinishCommandLine(line, &parsed)) << line;
  EXPECT_EQ(parsed.processHandle, made.processHandle);
  EXPECT_EQ(parsed.copyHandle, made.copyHandle);
  EXPECT_EQ(parsed.uninstallerPath, made.uninstallerPath);
  EXPECT_EQ(parsed.folder, made.folder);

  const char* refused[] = {
      "\"C:\\Program Files\\Demo\\Uninstall.exe\" C:\\Program Files\\Demo",
      "\"C:\\Temp\\U.exe\" /finish 0 0 \"C:\\D\\Uninstall.exe\" \"C:\\D\"",
      "\"C:\\Temp\\U.exe\" /finish x 0 \"C:\\D\\Uninstall.exe\" \"C:\\D\"",
      "\"C:\\Temp\\U.exe\" /finish 12 \"C:\\D\\Uninstall.exe\" \"C:\\D\"",
      "\"C:\\Temp\\U.exe\" /finish 12 -1 \"C:\\D\\Uninstall.exe\" \"C:\\D\"",
      "\"C:\\Temp\\U.exe\" /finish 12 0 \"C:\\D\\Uninstall.exe\"",
      "\"C:\\Temp\\U.exe\" /finish 12 0 \"C:\\D\\Uninstall.exe\" \"C:\\D",
      "\"C:\\Temp\\U.exe\" /finish 12 0 \"C:\\D\\Uninstall.exe\" \"C:\\D\" more",
      "\"C:\\Temp\\U.exe\" /finish 12 0 \"\" \"\"",
      "\"C:\\Temp\\U.exe\" /finish",
  };
  for (const char* text : refused) EXPECT_FALSE(ParseFinishCommandLine(text, &parsed)) << text;
}

// ---- When a file counts as changed --------------------------------------------------

constexpr uint64_t kCreation = 0x01D0000000000000ull;
constexpr uint64_t kLastWrite = 0x01D1000000000000ull;
constexpr uint64_t kSecond = 10000000ull;

FILETIME Time(uint64_t value) { return FILETIME{static_cast<DWORD>(value), static_cast<DWORD>(value >> 32)}; }

struct ChangeCase {
  const char* what;
  uint32_t sizeHigh, sizeLow;
  uint64_t creation, lastWrite;
  InstalledFileState expected;
};

TEST(CompareWithRecord, KeepsFilesWhoseSizeOrTimesMoved) {
  FileEntry record{};
  record.SizeHigh = 1;
  record.SizeLow = 500;
  record.CreationTime = {static_cast<uint32_t>(kCreation), static_cast<uint32_t>(kCreation >> 32)};
  record.LastWriteTime = {static_cast<uint32_t>(kLastWrite), static_cast<uint32_t>(kLastWrite >> 32)};
  const InstalledFileState kSame = InstalledFileState::kUnchanged;
  const InstalledFileState kChanged = InstalledFileState::kChanged;
  const ChangeCase cases[] = {
      {"as installed", 1, 500, kCreation, kLastWrite, kSame},
      {"low size half differs", 1, 501, kCreation, kLastWrite, kChanged},
      {"high size half differs", 0, 500, kCreation, kLastWrite, kChanged},
      {"written again later", 1, 500, kCreation, kLastWrite + 3600 * kSecond, kChanged},
      {"created anew", 1, 500, kCreation + 3600 * kSecond, kLastWrite, kChanged},
      {"times rounded by a FAT volume", 1, 500, kCreation + kSecond, kLastWrite - 2 * kSecond, kSame},
      {"volume without creation times", 1, 500, kLastWrite, kLastWrite, kSame},
  };
  for (const ChangeCase& c : cases) {
    const FileFacts facts{c.sizeHigh, c.sizeLow, Time(c.creation), Time(c.lastWrite)};
    EXPECT_EQ(CompareWithRecord(record, facts), c.expected) << c.what;
  }
}

// ---- Whose Add/Remove Programs entry --------------------------------------------------

struct UninstallStringCase {
  const char* value;
  bool names;
};

TEST(UninstallStringNames, RecognisesOnlyThisUninstaller) {
  const char* path = "C:\\Program Files\\Demo\\Uninstall.exe";
  const UninstallStringCase cases[] = {
      {"\"C:\\Program Files\\Demo\\Uninstall.exe\" C:\\Program Files\\Demo", true},
      {"C:\\Program Files\\Demo\\Uninstall.exe C:\\Program Files\\Demo", true},
      {"\"c:\\program files\\demo\\UNINSTALL.EXE\" c:\\program files\\demo", true},
      {"C:\\Program Files\\Demo\\Uninstall.exe", true},
      {"\"C:\\Other\\Demo\\Uninstall.exe\" C:\\Other\\Demo", false},
      {"C:\\Program Files\\Demo\\Uninstall.exe2 C:\\Program Files\\Demo", false},
      {"", false},
  };
  for (const UninstallStringCase& c : cases) EXPECT_EQ(UninstallStringNames(c.value, path), c.names) << c.value;
}

// ---- Paths ---------------------------------------------------------------------------

TEST(Paths, ParentsStopAtTheRootAndInsideMeansBelow) {
  EXPECT_EQ(ParentFolder("C:\\A\\B\\file.txt"), "C:\\A\\B");
  EXPECT_EQ(ParentFolder("C:\\A"), "C:\\");
  EXPECT_EQ(ParentFolder("C:\\"), "");
  EXPECT_EQ(WithoutTrailingBackslash("C:\\A\\"), "C:\\A");
  EXPECT_EQ(WithoutTrailingBackslash("C:\\"), "C:\\");
  EXPECT_EQ(JoinPath("C:\\", "Uninstall.log"), "C:\\Uninstall.log");
  EXPECT_TRUE(IsInside("C:\\Demo\\Docs", "c:\\demo\\"));
  EXPECT_FALSE(IsInside("C:\\Demo", "C:\\Demo"));
  EXPECT_FALSE(IsInside("C:\\Demo2\\x", "C:\\Demo"));
  EXPECT_TRUE(IsPlainName("Brisklay Demo"));
  for (const char* name : {"", ".", "..", "A\\B", "C:", "A/B"}) EXPECT_FALSE(IsPlainName(name)) << name;
}

// ---- Registry keys left empty --------------------------------------------------------

class RegistryCleanupTest : public ::testing::Test {
 protected:
  void SetUp() override { engine_test::DeleteRegistryTree(HKEY_CURRENT_USER, kBase); }
  void TearDown() override { engine_test::DeleteRegistryTree(HKEY_CURRENT_USER, kBase); }

  static void SetValue(const std::string& subKey, const char* name) {
    HKEY key;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, subKey.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>("x"), 2);
    RegCloseKey(key);
  }
  static bool KeyExists(const std::string& subKey) {
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, subKey.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
  }

  static constexpr const char* kBase = engine_test::kTestRegistryKey;
};

TEST_F(RegistryCleanupTest, RemovesKeysUpToTheFirstThatHoldsSomething) {
  const std::string base = kBase;
  SetValue(base, "Kept");
  SetValue(base + "\\A\\B\\C", "Gone");
  SetValue(base + "\\A\\Sibling", "Kept");
  ASSERT_TRUE(DeleteRegistryValue(HKEY_CURRENT_USER, base + "\\A\\B\\C", "Gone"));
  RemoveEmptyKeys(HKEY_CURRENT_USER, base + "\\A\\B\\C");
  EXPECT_FALSE(KeyExists(base + "\\A\\B"));
  EXPECT_TRUE(KeyExists(base + "\\A\\Sibling"));
  EXPECT_TRUE(KeyExists(base));

  // A value that was never written, in a key that does not exist, is no failure.
  EXPECT_TRUE(DeleteRegistryValue(HKEY_CURRENT_USER, base + "\\Never", "Value"));
  EXPECT_TRUE(DeleteRegistryValue(HKEY_CURRENT_USER, base, "Never"));
}

TEST_F(RegistryCleanupTest, NeverRemovesAKeyDirectlyBelowARoot) {
  // A key of the first level stands for those every system has ("Software", a user's
  // SID): empty or not, it stays.
  HKEY key;
  ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "Brisklay Empty Top", 0, nullptr, 0, KEY_WRITE, nullptr, &key,
                            nullptr),
            ERROR_SUCCESS);
  RegCloseKey(key);
  RemoveEmptyKeys(HKEY_CURRENT_USER, "Brisklay Empty Top");
  EXPECT_TRUE(KeyExists("Brisklay Empty Top"));
  RegDeleteKeyA(HKEY_CURRENT_USER, "Brisklay Empty Top");
}

TEST(RootKeyFromName, AcceptsTheFiveNamesExactly) {
  EXPECT_EQ(RootKeyFromName("HKEY_CURRENT_USER"), HKEY_CURRENT_USER);
  EXPECT_EQ(RootKeyFromName("HKEY_LOCAL_MACHINE"), HKEY_LOCAL_MACHINE);
  EXPECT_EQ(RootKeyFromName("HKEY_USERS"), HKEY_USERS);
  EXPECT_EQ(RootKeyFromName("hkey_local_machine"), nullptr);
  EXPECT_EQ(RootKeyFromName(""), nullptr);
}

// ---- The closing message -------------------------------------------------------------

TEST(SummaryText, NamesTheProductAndListsWhatStayed) {
  Leftovers none;
  EXPECT_EQ(SummaryText("Demo", none), "\"Demo\" has been removed from your computer.");

  Leftovers some;
  some.Add("C:\\Demo\\Readme.txt", "changed since installation");
  some.Add("C:\\Demo\\Readme.txt", "changed since installation");  // listed once
  some.Add("C:\\Demo\\Data", "folder not empty");
  EXPECT_EQ(SummaryText("Demo", some),
            "\"Demo\" has been removed from your computer, except for these items:\n\n"
            "C:\\Demo\\Readme.txt (changed since installation)\n"
            "C:\\Demo\\Data (folder not empty)\n"
            "\nYou may remove them yourself.");
  EXPECT_TRUE(some.HasItemInside("C:\\Demo"));
  EXPECT_FALSE(some.HasItemInside("C:\\Demo\\Data"));

  Leftovers many;
  for (int i = 0; i < 30; ++i) many.Add("C:\\Demo\\File" + std::to_string(i), "couldn't be deleted");
  const std::string text = SummaryText("Demo", many, 25);
  EXPECT_NE(text.find("File24 "), std::string::npos);
  EXPECT_EQ(text.find("File25 "), std::string::npos);
  EXPECT_NE(text.find("... and 5 more."), std::string::npos);
}

}  // namespace
