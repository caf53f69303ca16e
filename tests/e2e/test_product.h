#pragma once
// The product a test installs, described the way the builder would, and written out as
// setup data: either the external-data files next to a base path, or a copy of the
// setup program carrying the data as its own resources.

#include <cstdint>
#include <string>
#include <vector>

#include "formats/summary_record.h"

namespace e2e {

struct ProductFile {
  std::string name;
  std::string extension;  // "\\" for a folder
  std::string targetPath;
  bool startMenuShortcut = false;
  bool desktopShortcut = false;
};

// The Windows versions a product can admit, in the order of the setup's flags.
enum SupportedSystem : unsigned {
  kWin95 = 1u << 0,
  kWin98 = 1u << 1,
  kWinMe = 1u << 2,
  kWinNT = 1u << 3,
  kWin2000 = 1u << 4,
  kWinXP = 1u << 5,
  kWin2003 = 1u << 6,
  kWinVista2008 = 1u << 7,
  kAllSystems = 0xFF,
};

struct TestProduct {
  std::string name = "Acme Tool";
  bool hasInformation = false;
  bool hasLicense = false;
  std::string informationText = "About Acme Tool.\nIt does things.";
  std::string licenseText = "Acme licence.\nUse it kindly.";
  std::vector<ProductFile> files = {{"tool", "exe", "%DIR%\\tool.exe"}};
  unsigned systems = kAllSystems;
  uint64_t totalSize = 1024;
};

// Files whose entries ask for both kinds of shortcut, and one system file.
std::vector<ProductFile> FilesWithShortcuts();

SummaryRecord MakeSummaryRecord(const TestProduct& product);

// External-data mode: base + ".exe.sum.bin", and ".exe.info.txt" / ".exe.eula.txt" when
// the product has them.
bool WriteExternalData(const std::string& base, const TestProduct& product);

// Which "Setup" resources a normal-mode copy carries (those the product has, by default).
struct ResourceSet {
  bool summary = true;
  bool information = true;
  bool license = true;
};

// Copies the setup program to `copy` and attaches the product as its resources.
bool WriteNormalModeSetup(const std::string& setupExe, const std::string& copy, const TestProduct& product,
                          ResourceSet resources = {});

}  // namespace e2e
