// The rules an unattended run answers by, and the log that records them.

#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

#include "common/run_log.h"
#include "setup/unattended_host.h"

namespace {

LibraryVersion Version(DWORD major, DWORD minor, DWORD build) { return LibraryVersion{true, major, minor, build}; }

TEST(ReplaceLibraryByRule, KeepsOnlyAKnownHigherInstalledVersion) {
  const LibraryVersion unknown;
  struct Case {
    LibraryVersion installed;
    LibraryVersion payload;
    bool replace;
  } cases[] = {
      {Version(2, 0, 0), Version(1, 9, 9), false},
      {Version(1, 2, 4), Version(1, 2, 3), false},
      {Version(1, 3, 0), Version(1, 2, 9), false},
      {Version(1, 2, 3), Version(1, 2, 3), true},
      {Version(1, 2, 3), Version(1, 2, 4), true},
      {Version(1, 9, 9), Version(2, 0, 0), true},
      {unknown, Version(1, 0, 0), true},
      {Version(9, 0, 0), unknown, true},
  };
  for (const Case& c : cases) {
    LibraryQuestion facts{"C:\\Windows\\system32\\x.dll", c.installed, c.payload};
    std::string why;
    EXPECT_EQ(ReplaceLibraryByRule(facts, &why), c.replace)
        << VersionText(c.installed) << " installed, " << VersionText(c.payload) << " in the setup";
    EXPECT_FALSE(why.empty());
  }
}

TEST(UnattendedHost, LogsTheLibraryAnswerWithBothVersionsAndNeverAsks) {
  char folder[MAX_PATH] = "";
  GetTempPathA(MAX_PATH, folder);
  const std::string path = std::string(folder) + "unattended-rules-test.log";
  {
    RunLog log;
    // Lines before the file opens are kept for it.
    log.Write("first\r\nsecond line");
    ASSERT_TRUE(log.Open(path));
    UnattendedHost host(&log);
    EXPECT_FALSE(host.ConfirmLibraryReplacement("Replace?", {"C:\\x.dll", Version(3, 1, 0), Version(3, 0, 7)}));
    EXPECT_TRUE(host.Confirm("Go on?"));
    host.SetStatusText("Writing: x.dll...");
    host.SetStatusText("Writing: x.dll...");
  }
  std::ifstream in(path, std::ios::binary);
  const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  in.close();
  DeleteFileA(path.c_str());
  EXPECT_NE(text.find("  first / second line\r\n"), std::string::npos) << text;
  EXPECT_NE(text.find("Library C:\\x.dll: installed version 3.1 build 0, setup's version 3.0 build 7. Kept: "),
            std::string::npos)
      << text;
  EXPECT_NE(text.find("Question: Go on? Answer: Yes, by rule"), std::string::npos) << text;
  // A status repeated while one step lasts is one line.
  EXPECT_EQ(text.find("Writing: x.dll..."), text.rfind("Writing: x.dll...")) << text;
  // Every line starts with its time: "YYYY-MM-DD hh:mm:ss.mmm".
  EXPECT_EQ(text[4], '-');
  EXPECT_EQ(text[13], ':');
  EXPECT_EQ(text[19], '.');
}

}  // namespace
