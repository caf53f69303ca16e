// What only Windows can show: file sizes from real handles.

#include <windows.h>

#include <gtest/gtest.h>

#include "compress/crc32.h"
#include "tests/compress/test_support.h"

namespace {

using compress_test::TempDir;
using compress_test::WriteBytes;

// Makes a file of `size` bytes without writing them: the file system keeps it sparse.
bool MakeFileOfSize(const std::string& path, uint64_t size) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  LONG high = static_cast<LONG>(size >> 32);
  SetLastError(NO_ERROR);
  DWORD low = SetFilePointer(file, static_cast<LONG>(size & 0xFFFFFFFFu), &high, FILE_BEGIN);
  bool ok = !(low == INVALID_SET_FILE_POINTER && GetLastError() != NO_ERROR) && SetEndOfFile(file);
  CloseHandle(file);
  return ok;
}

HANDLE OpenForReading(const std::string& path) {
  return CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                     nullptr);
}

TEST(FileSize, CombinesBothHalves) {
  TempDir dir;
  // 0xFFFFFFFF is also what GetFileSize returns on failure; only the error code differs.
  const uint64_t sizes[] = {0, 12345, 0xFFFFFFFFull, 0x100000005ull};
  for (uint64_t expected : sizes) {
    SCOPED_TRACE(expected);
    const std::string path = dir.File("sized.bin");
    if (!MakeFileOfSize(path, expected)) GTEST_SKIP() << "the file system cannot hold a sparse file this large";
    HANDLE file = OpenForReading(path);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    SetLastError(ERROR_ACCESS_DENIED);  // left over from some earlier call
    uint64_t size = 1;
    EXPECT_EQ(CCRC32().FileSize(file, &size), 1);
    EXPECT_EQ(size, expected);
    CloseHandle(file);
    DeleteFileA(path.c_str());
  }
}

TEST(FileSize, BadHandles) {
  uint64_t size = 77;
  EXPECT_EQ(CCRC32().FileSize(INVALID_HANDLE_VALUE, &size), 0);
  EXPECT_EQ(size, 77u) << "the invalid handle leaves the result alone";

  TempDir dir;
  const std::string path = dir.File("closed.bin");
  WriteBytes(path, {1, 2, 3});
  HANDLE closed = OpenForReading(path);
  ASSERT_NE(closed, INVALID_HANDLE_VALUE);
  CloseHandle(closed);
  EXPECT_EQ(CCRC32().FileSize(closed, &size), 0);
  EXPECT_EQ(size, 0u);
}

}  // namespace
