#include "engine/destination_checks.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/checks/scratch_dir.h"
#include "tests/checks/summary_entries.h"

namespace {

// A destination of exactly `length` characters on drive C.
std::string DestinationOfLength(std::size_t length) { return "C:\\" + std::string(length - 3, 'd'); }

TEST(PlannedDestinationPaths, NamesEveryPathTheRunMakesUnderTheDestination) {
  const std::vector<SummaryEntry> entries = {
      MakeEntry("tool", "exe", "%DIR%\\bin\\tool.exe"),
      FolderEntry("Docs", "%DIR%\\Docs"),
      MakeEntry("shared", "dll", "%SYSTEM%\\shared.dll"),
  };
  struct Expected {
    std::string path;
    bool folder;
  };
  const std::vector<Expected> plain = {
      {"C:\\App", true},          {"C:\\App\\bin\\tool.exe", false}, {"C:\\App\\bin", true},
      {"C:\\App\\Docs", true},    {"C:\\App\\Uninstall.exe", false}, {"C:\\App\\Uninstall.log", false},
  };
  for (bool mergesLog : {false, true}) {
    SCOPED_TRACE(mergesLog ? "merging a log" : "no log there");
    std::vector<Expected> expected = plain;
    if (mergesLog) expected.push_back({"C:\\App\\Uninstall.log.new", false});
    const std::vector<PlannedPath> paths = PlannedDestinationPaths("C:\\App", entries, mergesLog);
    ASSERT_EQ(paths.size(), expected.size());
    for (std::size_t i = 0; i < paths.size(); ++i) {
      EXPECT_EQ(paths[i].path, expected[i].path);
      EXPECT_EQ(paths[i].folder, expected[i].folder) << paths[i].path;
    }
  }
}

TEST(CheckPathLengths, RefusesTheDestinationWhenAnyPathWouldNotFit) {
  const std::string deepFolder = std::string(40, 'f');
  struct Case {
    const char* what;
    std::size_t destinationLength;
    std::vector<SummaryEntry> entries;
    bool mergesLog;
    // 0: accepted; else the longest destination the message offers.
    std::size_t offered;
  };
  const Case cases[] = {
      {"the uninstaller just fits", 245, {MakeEntry("a", "exe", "%DIR%\\a.exe")}, false, 0},
      // The product's files fit; the uninstaller, whose name is longer, does not.
      {"the uninstaller one over", 246, {MakeEntry("a", "exe", "%DIR%\\a.exe")}, false, 245},
      {"the merged log one over", 242, {}, true, 241},
      {"the merged log fits without a log to merge", 242, {}, false, 0},
      {"a product file longer than the uninstaller", 230,
       {MakeEntry("long", "txt", "%DIR%\\" + std::string(30, 'n') + ".txt")}, false, 224},
      {"a folder one over the folder limit", 200, {FolderEntry("deep", "%DIR%\\" + std::string(47, 'f'))}, false,
       199},
      {"the folder that leads to a file", 200, {MakeEntry("a", "", "%DIR%\\" + std::string(47, 'f') + "\\a")},
       false, 199},
      {"the destination itself over the folder limit, the uninstaller further", 248, {}, false, 245},
      {"files elsewhere are not the destination's concern", 20,
       {MakeEntry("x", "dll", "%SYSTEM%\\" + std::string(250, 's') + ".dll")}, false, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const std::string destination = DestinationOfLength(c.destinationLength);
    const DestinationVerdict verdict =
        CheckPathLengths(destination, PlannedDestinationPaths(destination, c.entries, c.mergesLog));
    if (c.offered == 0) {
      EXPECT_TRUE(verdict.Accepted()) << verdict.message;
      EXPECT_TRUE(verdict.message.empty());
      continue;
    }
    EXPECT_EQ(verdict.refusal, DestinationRefusal::kPathTooLong);
    const std::string ending = "\nPlease choose a folder of at most " + std::to_string(c.offered) + " characters.";
    ASSERT_GE(verdict.message.size(), ending.size());
    EXPECT_EQ(verdict.message.substr(verdict.message.size() - ending.size()), ending) << verdict.message;
  }
}

TEST(CheckPathLengths, MessageNamesThePathAndTheLimit) {
  const std::string destination = DestinationOfLength(246);
  const DestinationVerdict file = CheckPathLengths(destination, PlannedDestinationPaths(destination, {}, false));
  EXPECT_EQ(file.message, "The destination folder is too long for this product.\n\"" + destination +
                              "\\Uninstall.exe\" would have 260 characters; Windows takes at most 259.\n"
                              "Please choose a folder of at most 245 characters.");
  const DestinationVerdict folder =
      CheckPathLengths("C:\\App", {{"C:\\App\\" + std::string(241, 'f'), true}});
  EXPECT_EQ(folder.message, "The destination folder is too long for this product.\n\"C:\\App\\" + std::string(241, 'f') +
                                "\" would have 248 characters; Windows takes at most 247 for a folder.\n"
                                "Please choose a folder of at most 5 characters.");
}

UninstallLogHeader HeaderOf(const std::string& productName) {
  UninstallLogHeader header{};
  SetBufferText(header.cName, productName);
  return header;
}

TEST(CheckLogOwner, RefusesOnlyAnotherProductsLog) {
  struct Case {
    const char* what;
    std::optional<UninstallLogHeader> existing;
    bool accepted;
  };
  const Case cases[] = {
      {"no log", std::nullopt, true},
      {"this product's log, merged", HeaderOf("Acme Tool"), true},
      {"this product in other letter case", HeaderOf("ACME tool"), true},
      {"another product", HeaderOf("Other Tool"), false},
      {"a name that merely begins like ours", HeaderOf("Acme Tool 2"), false},
  };
  for (const Case& c : cases) {
    const DestinationVerdict verdict = CheckLogOwner("C:\\Apps\\Acme", "Acme Tool", c.existing);
    EXPECT_EQ(verdict.Accepted(), c.accepted) << c.what;
    EXPECT_EQ(verdict.refusal, c.accepted ? DestinationRefusal::kNone : DestinationRefusal::kOtherProduct) << c.what;
  }
  EXPECT_EQ(CheckLogOwner("C:\\Apps\\Acme", "Acme Tool", HeaderOf("Other Tool")).message,
            "The folder \"C:\\Apps\\Acme\" already holds \"Other Tool\".\nInstalling \"Acme Tool\" there would take "
            "over its uninstall information, and \"Other Tool\" could no longer be removed.\n"
            "Please choose another folder.");
}

// The checks on real folders: whatever a log there holds decides.
TEST(CheckDestination, ReadsTheLogTheFolderHolds) {
  SummaryRecord summary = SummaryWithTotal(0, 10);
  SetBufferText(summary.Config.ProductName, "Acme Tool");
  summary.Entries.push_back(MakeEntry("tool", "exe", "%DIR%\\tool.exe"));
  auto writeLog = [](const ScratchDir& folder, const std::string& name) {
    UninstallLog log;
    log.Header = HeaderOf(name);
    return WriteUninstallLogFile(folder.PathOf("Uninstall.log"), log);
  };

  ScratchDir empty;
  EXPECT_TRUE(CheckDestination(empty.Path(), summary).Accepted());
  EXPECT_TRUE(CheckDestination(empty.PathOf("not made yet"), summary).Accepted());

  ScratchDir other;
  ASSERT_TRUE(writeLog(other, "Other Tool"));
  const DestinationVerdict refused = CheckDestination(other.Path(), summary);
  EXPECT_EQ(refused.refusal, DestinationRefusal::kOtherProduct);
  EXPECT_NE(refused.message.find("\"Other Tool\""), std::string::npos) << refused.message;

  ScratchDir same;
  ASSERT_TRUE(writeLog(same, "acme tool"));
  EXPECT_TRUE(CheckDestination(same.Path(), summary).Accepted());

  // Too short to name a product, or naming none: replaced by the installation as today.
  for (const std::string& bytes : {std::string("\x05\x00", 2), std::string(24, '\0')}) {
    ScratchDir damaged;
    ASSERT_TRUE(damaged.WriteFile("Uninstall.log", bytes));
    EXPECT_TRUE(CheckDestination(damaged.Path(), summary).Accepted()) << bytes.size() << " bytes";
  }
}

// A same-product log is merged through a file with a longer name, which must fit too.
TEST(CheckDestination, CountsTheMergeFileOnlyWhenALogIsThere) {
  SummaryRecord summary = SummaryWithTotal(0, 10);
  SetBufferText(summary.Config.ProductName, "Acme Tool");
  ScratchDir parent;
  const std::size_t room = kLongestFilePath - (std::string("\\") + kMergedLogName).size();
  ASSERT_LT(parent.Path().size() + 1, room) << "the temporary folder's path is too long for this test";
  // With the backslash before it, one character more than the merge file leaves room for.
  const std::string name(room - parent.Path().size(), 'm');
  ASSERT_TRUE(CreateDirectoryA(parent.PathOf(name).c_str(), nullptr));
  const std::string destination = parent.PathOf(name);
  EXPECT_TRUE(CheckDestination(destination, summary).Accepted());

  UninstallLog log;
  log.Header = HeaderOf("Acme Tool");
  ASSERT_TRUE(WriteUninstallLogFile(destination + "\\Uninstall.log", log));
  EXPECT_EQ(CheckDestination(destination, summary).refusal, DestinationRefusal::kPathTooLong);
  DeleteFileA((destination + "\\Uninstall.log").c_str());
}

}  // namespace
