// What the setup makes of an installed product: its folder from the Add/Remove Programs
// command line, whether this run is a fresh installation, an upgrade, a repair or a
// downgrade, what the wizard asks, and when a silent run refuses.

#include <gtest/gtest.h>

#include "setup/version_check.h"
#include "shell/installed_product.h"

namespace {

std::optional<ProductVersion> V(const char* text) {
  ProductVersion version;
  if (!ParseProductVersion(text, &version)) return std::nullopt;
  return version;
}

TEST(InstalledProduct, FolderComesFromTheUninstallersCommandLine) {
  const std::pair<const char*, const char*> kCases[] = {
      {"\"C:\\Program Files\\Demo\\Uninstall.exe\" C:\\Program Files\\Demo", "C:\\Program Files\\Demo"},
      {"\"D:\\\\Uninstall.exe\" D:\\", "D:\\"},
      // The unquoted form of earlier setups: from one before the second colon.
      {"C:\\Program Files\\Demo\\Uninstall.exe C:\\Program Files\\Demo", "C:\\Program Files\\Demo"},
      {"\"C:\\Demo\\Uninstall.exe\"", ""},
      {"\"C:\\Demo\\Uninstall.exe", ""},
      {"C:\\Demo\\Uninstall.exe", ""},
      {"", ""},
  };
  for (const auto& [command, folder] : kCases) EXPECT_EQ(FolderFromUninstallString(command), folder) << command;
}

TEST(InstalledProduct, AnEntryWithoutItsLogIsNoInstallation) {
  InstalledProduct product;
  product.folder = "C:\\Demo";
  EXPECT_FALSE(product.IsInstalled());
  product.hasUninstallLog = true;
  EXPECT_TRUE(product.IsInstalled());
  product.folder.clear();
  EXPECT_FALSE(product.IsInstalled());
}

TEST(VersionCheck, RelationToTheInstalledVersion) {
  const struct {
    bool installed;
    const char* installedVersion;  // "" for none
    const char* thisVersion;
    InstalledRelation relation;
  } kCases[] = {
      {false, "2.0", "1.0", InstalledRelation::kNotInstalled},
      {true, "1.0", "2.0", InstalledRelation::kOlderInstalled},
      {true, "2.0", "1.0", InstalledRelation::kNewerInstalled},
      {true, "2.0", "2.0.0", InstalledRelation::kSameInstalled},
      {true, "", "1.0", InstalledRelation::kOlderInstalled},
      {true, "1.0", "", InstalledRelation::kNewerInstalled},
      {true, "", "", InstalledRelation::kSameInstalled},
      {true, "1.10", "1.9", InstalledRelation::kNewerInstalled},
  };
  for (const auto& c : kCases) {
    EXPECT_EQ(RelationToInstalled(c.installed, V(c.installedVersion), V(c.thisVersion)), c.relation)
        << c.installedVersion << " installed, this " << c.thisVersion;
  }
}

TEST(VersionCheck, AnEntryWithoutItsLogCountsAsNotInstalled) {
  ProductFacts older;
  older.versionText = "1.0";
  older.version = V("1.0");
  InstalledProduct newer;
  newer.folder = "C:\\Demo";
  newer.versionText = "2.0";
  newer.version = V("2.0");
  EXPECT_EQ(RelationToInstalledProduct(newer, older), InstalledRelation::kNotInstalled);
  newer.hasUninstallLog = true;
  EXPECT_EQ(RelationToInstalledProduct(newer, older), InstalledRelation::kNewerInstalled);
  EXPECT_EQ(RelationToInstalledProduct(std::nullopt, older), InstalledRelation::kNotInstalled);
}

TEST(VersionCheck, DowngradeQuestionNamesBothVersions) {
  EXPECT_EQ(DowngradeQuestion("Demo", "2.0", "1.0"), "A newer version (2.0) of Demo is installed.\nInstall version 1.0 over it?");
  EXPECT_EQ(DowngradeQuestion("Demo", "2.0", ""),
            "A newer version (2.0) of Demo is installed.\nInstall this setup's version, which has no number, over it?");
}

TEST(VersionCheck, SilentRunRefusesOnlyADowngradeWithoutForce) {
  for (InstalledRelation relation : {InstalledRelation::kNotInstalled, InstalledRelation::kOlderInstalled,
                                     InstalledRelation::kSameInstalled}) {
    EXPECT_EQ(SilentRunRefusal(relation, false), std::nullopt);
    EXPECT_EQ(SilentRunRefusal(relation, true), std::nullopt);
  }
  EXPECT_EQ(SilentRunRefusal(InstalledRelation::kNewerInstalled, false), std::optional<int>(7));
  EXPECT_EQ(SilentRunRefusal(InstalledRelation::kNewerInstalled, true), std::nullopt);
}

}  // namespace
