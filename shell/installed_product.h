#pragma once
// An earlier installation of the product, as its Add/Remove Programs entry describes it:
// the folder it went to (from the uninstaller's command line) and its version. A setup
// reads it to tell a fresh installation from an upgrade, a repair or a downgrade.

#include <optional>
#include <string>

#include "formats/product_version.h"

struct InstalledProduct {
  std::string folder;       // where its "Uninstall.exe" and "Uninstall.log" are
  std::string versionText;  // "DisplayVersion"; empty when it has none
  std::optional<ProductVersion> version;  // none also when the text is no version
  bool hasUninstallLog = false;

  // An entry whose folder has lost its log is a leftover, not an installation to build on.
  bool IsInstalled() const { return !folder.empty() && hasUninstallLog; }
};

// The entry under HKEY_LOCAL_MACHINE named after `productName`; none without one.
std::optional<InstalledProduct> FindInstalledProduct(const std::string& productName);

// The folder an "UninstallString" names: what follows the quoted uninstaller and one
// blank, or, in the unquoted form of earlier setups, the text from one character before
// the second colon to the end. Empty when it names none.
std::string FolderFromUninstallString(const std::string& command);
