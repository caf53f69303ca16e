// The setup program carries the uninstaller that this build made, byte for byte, as its
// resource "Setup" 143.

#include <gtest/gtest.h>
#include <windows.h>

#include "tests/driver/host_path.h"
#include "tests/engine/engine_test_support.h"

namespace {

TEST(EmbeddedUninstaller, IsTheBuiltUninstallExe) {
  const std::string setupPath = driver::WindowsPathFromHost(BRISKLAY_SETUP_EXE);
  const engine_test::Bytes built = engine_test::ReadBytes(driver::WindowsPathFromHost(BRISKLAY_UNINSTALLER_EXE));
  ASSERT_FALSE(built.empty());
  HMODULE setup = LoadLibraryExA(setupPath.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_NE(setup, nullptr) << setupPath;
  HRSRC found = FindResourceA(setup, MAKEINTRESOURCEA(143), "Setup");
  ASSERT_NE(found, nullptr);
  const auto* bytes = static_cast<const unsigned char*>(LockResource(LoadResource(setup, found)));
  const engine_test::Bytes carried(bytes, bytes + SizeofResource(setup, found));
  FreeLibrary(setup);
  EXPECT_TRUE(carried == built) << "carried " << carried.size() << " bytes, built " << built.size();
}

}  // namespace
