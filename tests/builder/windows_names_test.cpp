// What Windows makes of names and paths: which targets the setup can install to, and
// which two targets are the same file.

#include <gtest/gtest.h>

#include "builder/windows_names.h"

namespace {

TEST(TargetPaths, AcceptsWhatTheSetupExpandsToAProperPath) {
  const struct {
    const char* path;
    bool isFolder;
  } accepted[] = {
      {"%DIR%", true},  // a folder source copied into the destination itself
      {"%WINDOWS%\\Fonts\\a.ttf", false},
      {"%SYSTEM%\\x.dll", false},
      {"%DIR%\\.hidden", false},
      {"%DIR%\\a..b.txt", false},
      {"%DIR%\\COM10.txt", false},  // only COM1 to COM9 are devices
      {"%DIR%\\CONSOLE\\NULL.txt", false},
      {"%DIR%\\50% off.txt", false},
      {"%DIR%\\dir%\\x", false},
  };
  for (const auto& c : accepted) {
    std::string reason;
    EXPECT_TRUE(IsValidTargetPath(c.path, c.isFolder, &reason)) << c.path << ": " << reason;
  }
}

TEST(TargetPaths, DeviceNamesAreRefusedInAnyPart) {
  const char* const devices[] = {"%DIR%\\con", "%DIR%\\Nul.txt", "%DIR%\\COM9\\a", "%DIR%\\lpt1 .log",
                                 "%DIR%\\COM\xB9", "%DIR%\\LPT\xB3.txt"};
  for (const char* path : devices) {
    std::string reason;
    EXPECT_FALSE(IsValidTargetPath(path, false, &reason)) << path;
    EXPECT_NE(reason.find("device name"), std::string::npos) << path << ": " << reason;
  }
}

TEST(TargetPaths, ComparisonFollowsWindows) {
  const struct {
    const char* a;
    const char* b;
    bool same;
  } pairs[] = {
      {"%DIR%\\Readme.TXT", "%DIR%\\readme.txt", true},
      {"%DIR%\\\xC0\xDE", "%DIR%\\\xE0\xFE", true},  // A grave, thorn
      {"%DIR%\\\x8A\x8C\x8E\x9F", "%DIR%\\\x9A\x9C\x9E\xFF", true},  // S and Z caron, OE, Y diaeresis
      {"%DIR%\\a.txt. ", "%DIR%\\a.txt", true},
      {"%DIR%\\.\\a.txt", "%DIR%\\a.txt", true},
      {"%DIR%\\x\\..\\a.txt", "%DIR%\\a.txt", true},
      {"%DIR%\\\xDF", "%DIR%\\ss", false},    // sharp s has no capital of its own
      {"%DIR%\\\xDF", "%DIR%\\SS", false},
      {"%DIR%\\\xD7", "%DIR%\\\xF7", false},  // multiplication and division signs
      {"%DIR%\\\xB5", "%DIR%\\M", false},     // micro sign
      {"%DIR%\\\x83", "%DIR%\\F", false},     // f with hook
      {"%DIR%\\a", "%SYSTEM%\\a", false},
  };
  for (const auto& c : pairs) {
    EXPECT_EQ(ComparableTargetPath(c.a) == ComparableTargetPath(c.b), c.same) << c.a << " / " << c.b;
  }
}

}  // namespace
