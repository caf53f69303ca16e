#pragma once
// How this setup's version stands to the installed one, and what that means for the run:
// a newer version already installed is replaced only when the user (or, in a silent run,
// /force) says so; the same version again is a repair and asks nothing.

#include "setup/exit_codes.h"
#include <optional>
#include <string>

#include "formats/product_facts.h"
#include "formats/product_version.h"
#include "shell/installed_product.h"

enum class InstalledRelation {
  kNotInstalled,
  kOlderInstalled,  // an upgrade
  kSameInstalled,   // a repair
  kNewerInstalled,  // a downgrade: ask first
};

// A product without a version counts as older than any version.
InstalledRelation RelationToInstalled(bool installed, const std::optional<ProductVersion>& installedVersion,
                                      const std::optional<ProductVersion>& thisVersion);

// The same for the product as its Add/Remove Programs entry describes it, if it has one.
InstalledRelation RelationToInstalledProduct(const std::optional<InstalledProduct>& installed,
                                             const ProductFacts& thisProduct);

// The wizard's question before a downgrade. Version texts are as written; an empty one
// means the setup has none.
std::string DowngradeQuestion(const std::string& productName, const std::string& installedVersion,
                              const std::string& thisVersion);

// Exit code of a wizard whose user declined to replace a newer version.
constexpr int kExitDowngradeDeclined = kSetupCancelled;
// Exit code of a silent run that found a newer version installed and was not forced.
constexpr int kExitNewerVersionInstalled = kSetupNewerVersionInstalled;

// For a silent run: the exit code to stop with, or none to go on.
std::optional<int> SilentRunRefusal(InstalledRelation relation, bool force);

// All a silent run needs to call before it installs: looks the product up in Add/Remove
// Programs and gives kExitNewerVersionInstalled when a newer version is there and `force`
// (/force) is not set; none to go on.
std::optional<int> CheckInstalledVersionForSilentRun(const std::string& productName, const ProductFacts& thisProduct,
                                                     bool force);
