// What only Windows can show: file sizes from real handles, and progress and stop queries
// reaching a real window on another thread.

#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "common/app_messages.h"
#include "compress/archive.h"
#include "compress/crc32.h"
#include "tests/compress/test_support.h"

namespace {

using compress_test::Bytes;
using compress_test::CompressibleBytes;
using compress_test::MessageBoxRecorder;
using compress_test::RandomBytes;
using compress_test::ReadBytes;
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

// A hidden window on the test's thread, standing in for the installation dialog.
class ProgressWindow {
 public:
  struct Received {
    UINT message;
    WPARAM wParam;
    bool onWindowThread;
  };

  ProgressWindow() {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = &ProgressWindow::Procedure;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "BrisklayArchiveProgressTest";
    RegisterClassA(&windowClass);
    window_ = CreateWindowExA(0, windowClass.lpszClassName, "", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr,
                              windowClass.hInstance, nullptr);
    SetWindowLongPtrA(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    threadId_ = GetCurrentThreadId();
  }
  ~ProgressWindow() { DestroyWindow(window_); }
  ProgressWindow(const ProgressWindow&) = delete;
  ProgressWindow& operator=(const ProgressWindow&) = delete;

  HWND handle() const { return window_; }
  void AnswerStopWith(LRESULT answer) { stopAnswer_ = answer; }
  const std::vector<Received>& received() const { return received_; }

  // Runs `work` on a worker thread and pumps this thread's messages until it is done, as
  // the user-interface thread does while the installation runs.
  template <typename Work>
  void RunOnWorker(Work work) {
    std::atomic<bool> done{false};
    std::thread worker([&] {
      work();
      done = true;
    });
    while (!done) {
      MSG message;
      while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
      MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
    worker.join();
  }

 private:
  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<ProgressWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (self != nullptr && (message == WM_APP_ARCHIVE_PROGRESS || message == WM_APP_ARCHIVE_STOP_QUERY)) {
      self->received_.push_back({message, wParam, GetCurrentThreadId() == self->threadId_});
      return message == WM_APP_ARCHIVE_STOP_QUERY ? self->stopAnswer_ : 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
  }

  HWND window_ = nullptr;
  DWORD threadId_ = 0;
  LRESULT stopAnswer_ = 0;
  std::vector<Received> received_;
};

TEST(ArchiveWindow, ReceivesProgressAndStopQueriesFromTheWorker) {
  TempDir dir;
  MessageBoxRecorder boxes;
  const std::string plain = dir.File("plain.bin");
  const std::string packed = dir.File("packed.bin");
  const std::string unpacked = dir.File("unpacked.bin");
  const Bytes data = CompressibleBytes(200000);
  WriteBytes(plain, data);
  Archive compressor;
  ASSERT_EQ(compressor.CompressFile(plain.c_str(), packed.c_str(), nullptr, nullptr, 6), kArchiveOk);

  ProgressWindow window;
  Archive archive;
  archive.SetWindow(window.handle());
  int code = -1;
  window.RunOnWorker([&] { code = archive.DecompressFile(packed.c_str(), unpacked.c_str(), nullptr, nullptr); });

  EXPECT_EQ(code, kArchiveOk);
  ASSERT_EQ(window.received().size(), 2u);
  EXPECT_EQ(window.received()[0].message, WM_APP_ARCHIVE_PROGRESS);
  EXPECT_EQ(window.received()[0].wParam, data.size());
  EXPECT_EQ(window.received()[1].message, WM_APP_ARCHIVE_STOP_QUERY);
  for (const auto& received : window.received()) EXPECT_TRUE(received.onWindowThread);
}

TEST(ArchiveWindow, NonZeroAnswerStopsAfterTheFirstBlock) {
  TempDir dir;
  MessageBoxRecorder boxes;
  const std::string plain = dir.File("plain.bin");
  const std::string packed = dir.File("packed.bin");
  WriteBytes(plain, RandomBytes(0x500000 + 1000));

  ProgressWindow window;
  window.AnswerStopWith(1);
  Archive archive;
  archive.SetWindow(window.handle());
  int code = -1;
  window.RunOnWorker([&] { code = archive.CompressFile(plain.c_str(), packed.c_str(), nullptr, nullptr, 1); });

  EXPECT_EQ(code, kArchiveOk);
  ASSERT_EQ(window.received().size(), 2u);
  EXPECT_EQ(window.received()[0].wParam, ReadBytes(packed).size());
  EXPECT_TRUE(boxes.shown().empty());
}

TEST(ArchiveWindow, NoWindowMeansNoMessages) {
  TempDir dir;
  const std::string plain = dir.File("plain.bin");
  const std::string packed = dir.File("packed.bin");
  WriteBytes(plain, CompressibleBytes(1000));
  ProgressWindow window;
  Archive archive;
  archive.SetWindow(window.handle());
  archive.SetWindow(nullptr);
  window.RunOnWorker([&] { EXPECT_EQ(archive.CompressFile(plain.c_str(), packed.c_str(), nullptr, nullptr, 6), kArchiveOk); });
  EXPECT_TRUE(window.received().empty());
}

}  // namespace
