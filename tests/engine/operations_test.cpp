// Single operations whose rules are easier to see one case at a time: path macros,
// registry entries, and the running-program scan.

#include <gtest/gtest.h>

#include <cstring>

#include "formats/uninstall_log.h"
#include "tests/engine/engine_test_support.h"

using namespace engine_test;

namespace {

// ---- Path macros ---------------------------------------------------------------------

struct MacroCase {
  const char* name;
  std::string destination;
  std::string path;
  std::string expected;  // empty: the expansion must fail and leave the path unchanged
};

class PathMacroTest : public ::testing::TestWithParam<MacroCase> {};

TEST_P(PathMacroTest, Expands) {
  RecordingHost host;
  InstallPlan plan;
  plan.destination = GetParam().destination;
  InstallEngine engine(&host, plan);
  std::string expected = GetParam().expected;
  for (const char* macro : {"<WINDOWS>", "<SYSTEM>"}) {
    std::size_t at;
    const std::string& value = std::strcmp(macro, "<WINDOWS>") == 0 ? engine.WindowsFolder() : engine.SystemFolder();
    while ((at = expected.find(macro)) != std::string::npos) expected.replace(at, std::strlen(macro), value);
  }
  char buffer[260] = {};
  std::strcpy(buffer, GetParam().path.c_str());

  const bool expanded = engine.ExpandPathMacros(buffer, sizeof buffer);

  EXPECT_EQ(expanded, !expected.empty());
  EXPECT_EQ(std::string(buffer), expected.empty() ? GetParam().path : expected);
}

const MacroCase kMacroCases[] = {
    {"twice", "C:\\P", "%DIR%\\a\\%DIR%", "C:\\P\\a\\C:\\P"},
    {"windows_and_system", "C:\\P", "%SYSTEM%;%WINDOWS%", "<SYSTEM>;<WINDOWS>"},
    {"no_macro", "C:\\P", "C:\\plain\\path.txt", "C:\\plain\\path.txt"},
    {"lower_case_is_no_macro", "C:\\P", "%dir%\\x", "%dir%\\x"},
    {"value_holding_the_macro", "C:\\%DIR%", "%DIR%\\x", "C:\\%DIR%\\x"},
    {"fills_the_buffer", std::string(254, 'd'), "%DIR%\\abcd", std::string(254, 'd') + "\\abcd"},
    {"one_byte_too_long", std::string(255, 'd'), "%DIR%\\abcd", ""},
    {"far_too_long", std::string(250, 'd'), "%DIR%\\%DIR%", ""},
};

INSTANTIATE_TEST_SUITE_P(Cases, PathMacroTest, ::testing::ValuesIn(kMacroCases),
                         [](const auto& info) { return std::string(info.param.name); });

// ---- Registry entries ----------------------------------------------------------------

struct RegistryCase {
  const char* name;
  const char* rootKey;
  const char* valueType;
  const char* valueData;
  DWORD expectedType;
  Bytes expectedData;
  const char* message;  // null: none, and the entry is logged
};

class RegistryEntryTest : public ::testing::TestWithParam<RegistryCase> {
 protected:
  void SetUp() override { CleanProductTraces(); }
  void TearDown() override { CleanProductTraces(); }
};

TEST_P(RegistryEntryTest, WritesTheValueOrRefusesTheEntry) {
  const RegistryCase& c = GetParam();
  RecordingHost host;
  InstallEngine engine(&host, InstallPlan());
  ScriptedMessages messages;
  ASSERT_TRUE(engine.CreateUninstallLog());
  RegistryEntry entry{};
  SetBufferText(entry.RootKey, c.rootKey);
  SetBufferText(entry.SubKey, std::string(kTestRegistryKey) + "\\Deeper\\Still");
  SetBufferText(entry.ValueName, "Value");
  SetBufferText(entry.ValueType, c.valueType);
  SetBufferText(entry.ValueData, c.valueData);

  engine.ApplyRegistryEntry(entry);

  RegistryValue value = ReadRegistryValue(HKEY_CURRENT_USER, std::string(kTestRegistryKey) + "\\Deeper\\Still", "Value");
  ASSERT_TRUE(engine.PushUninstallLog());
  const Bytes logged = ReadBytes(engine.UninstallLogPath());
  DeleteFileA(engine.UninstallLogPath().c_str());
  if (c.message != nullptr) {
    EXPECT_EQ(messages.texts(), std::vector<std::string>{c.message});
    EXPECT_FALSE(value.found);
    EXPECT_TRUE(logged.empty());
    return;
  }
  EXPECT_TRUE(messages.texts().empty());
  ASSERT_TRUE(value.found);
  EXPECT_EQ(value.type, c.expectedType);
  EXPECT_EQ(value.data, c.expectedData);
  EXPECT_FALSE(logged.empty());
}

const RegistryCase kRegistryCases[] = {
    {"dword_digits_then_letters", "HKEY_CURRENT_USER", "REG_DWORD", "123abc", REG_DWORD, {123, 0, 0, 0}, nullptr},
    {"dword_empty", "HKEY_CURRENT_USER", "REG_DWORD", "", REG_DWORD, {0, 0, 0, 0}, nullptr},
    {"dword_minus_one", "HKEY_CURRENT_USER", "REG_DWORD", "-1", REG_DWORD, {0xFF, 0xFF, 0xFF, 0xFF}, nullptr},
    {"dword_clamped", "HKEY_CURRENT_USER", "REG_DWORD", "4294967295", REG_DWORD, {0xFF, 0xFF, 0xFF, 0x7F}, nullptr},
    {"dword_leading_blanks", "HKEY_CURRENT_USER", "REG_DWORD", "  +42", REG_DWORD, {42, 0, 0, 0}, nullptr},
    {"string_empty", "HKEY_CURRENT_USER", "REG_SZ", "", REG_SZ, {0}, nullptr},
    {"none_empty", "HKEY_CURRENT_USER", "REG_NONE", "", REG_NONE, {}, nullptr},
    {"expandable", "HKEY_CURRENT_USER", "REG_EXPAND_SZ", "%X%", REG_EXPAND_SZ, {'%', 'X', '%', 0}, nullptr},
    {"root_key_in_lower_case", "hkey_current_user", "REG_SZ", "x", 0, {},
     "Invalid registry key supplied!\nThe program may not run correctly."},
    {"unknown_type", "HKEY_CURRENT_USER", "REG_BINARY", "x", 0, {},
     "Invalid registry value type supplied!\nThe program may not run correctly."},
};

INSTANTIATE_TEST_SUITE_P(Cases, RegistryEntryTest, ::testing::ValuesIn(kRegistryCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(RegistryFailureTest, AFailedWriteIsReportedAndStillLogged) {
  RecordingHost host;
  InstallEngine engine(&host, InstallPlan());
  ScriptedMessages messages;
  ASSERT_TRUE(engine.CreateUninstallLog());
  // Keys below a volatile key must be volatile too; the engine creates lasting keys.
  const std::string volatileKey = std::string(kTestRegistryKey) + "\\Volatile";
  HKEY key;
  ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, volatileKey.c_str(), 0, nullptr, REG_OPTION_VOLATILE, KEY_WRITE,
                            nullptr, &key, nullptr),
            ERROR_SUCCESS);
  RegCloseKey(key);
  const std::string subKey = volatileKey + "\\Lasting";
  RegistryEntry entry{};
  SetBufferText(entry.RootKey, "HKEY_CURRENT_USER");
  SetBufferText(entry.SubKey, subKey);
  SetBufferText(entry.ValueName, "V");
  SetBufferText(entry.ValueType, "REG_SZ");
  SetBufferText(entry.ValueData, "D");

  engine.ApplyRegistryEntry(entry);

  ASSERT_TRUE(engine.PushUninstallLog());
  const Bytes logged = ReadBytes(engine.UninstallLogPath());
  DeleteFileA(engine.UninstallLogPath().c_str());
  CleanProductTraces();
  EXPECT_EQ(messages.texts(), std::vector<std::string>{"Failed to write in registry!\nKey: HKEY_CURRENT_USER, Subkey: " +
                                                       subKey + "\nValue: V, Data: D"});
  EXPECT_FALSE(logged.empty());
}

// ---- Running programs ----------------------------------------------------------------

TEST(CloseRunningProgramTest, NeverEndsTheSetupItself) {
  char path[MAX_PATH];
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string name = path;
  name = name.substr(name.rfind('\\') + 1);
  name = name.substr(0, name.rfind('.'));
  RecordingHost host;
  InstallEngine engine(&host, InstallPlan());
  ScriptedMessages messages;

  engine.CloseRunningProgram(name);

  EXPECT_TRUE(messages.texts().empty());  // and the test is still running
}

}  // namespace
