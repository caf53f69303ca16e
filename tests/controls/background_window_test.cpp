// The background window: where its picture goes, what it paints, and the input it keeps
// to itself.

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "common/app_messages.h"
#include "controls/background_window.h"
#include "controls/picture_placement.h"
#include "tests/controls/test_dialog.h"

namespace {

TEST(PictureOffset, FollowsTheModeOfEachAxis) {
  struct Case {
    int mode, client, picture, offset;
  } cases[] = {
      {0, 1024, 100, 100}, {1, 1024, 100, 462}, {2, 1024, 100, 824}, {3, 1024, 100, 0},  {7, 768, 100, 0},
      {1, 768, 100, 334},  {2, 768, 100, 568},  {-1, 768, 100, 0},
      // Wider than the window: centred means a negative offset, rounded down.
      {1, 1024, 1100, -38}, {1, 1024, 1101, -39}, {2, 1024, 1100, -176},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(PictureOffset(c.mode, c.client, c.picture), c.offset) << c.mode << " " << c.client << " " << c.picture;
  }
}

TEST(PictureOffset, StretchesOnlyWhatIsTooBigBothWays) {
  EXPECT_TRUE(StretchesPicture(1025, 769, 1024, 768));
  EXPECT_FALSE(StretchesPicture(1025, 768, 1024, 768));
  EXPECT_FALSE(StretchesPicture(1024, 769, 1024, 768));
  EXPECT_FALSE(StretchesPicture(100, 100, 1024, 768));
}

// A 24-bit bitmap file of one colour, removed when the test ends.
class BitmapFile {
 public:
  BitmapFile(int width, int height, COLORREF colour) {
    char temp[MAX_PATH] = "";
    ::GetTempPathA(MAX_PATH, temp);
    path_ = std::string(temp) + "backdrop-" + std::to_string(::GetCurrentProcessId()) + ".bmp";
    const int stride = (width * 3 + 3) & ~3;
    BITMAPFILEHEADER file{};
    BITMAPINFOHEADER info{};
    file.bfType = 0x4D42;  // "BM"
    file.bfOffBits = sizeof file + sizeof info;
    file.bfSize = file.bfOffBits + stride * height;
    info.biSize = sizeof info;
    info.biWidth = width;
    info.biHeight = height;
    info.biPlanes = 1;
    info.biBitCount = 24;
    std::string row(stride, '\0');
    for (int x = 0; x < width; ++x) {
      row[x * 3] = static_cast<char>(GetBValue(colour));
      row[x * 3 + 1] = static_cast<char>(GetGValue(colour));
      row[x * 3 + 2] = static_cast<char>(GetRValue(colour));
    }
    FILE* out = std::fopen(path_.c_str(), "wb");
    std::fwrite(&file, sizeof file, 1, out);
    std::fwrite(&info, sizeof info, 1, out);
    for (int y = 0; y < height; ++y) std::fwrite(row.data(), 1, row.size(), out);
    std::fclose(out);
  }
  ~BitmapFile() { std::remove(path_.c_str()); }
  const std::string& Path() const { return path_; }

 private:
  std::string path_;
};

// Stands in for the wizard frame: counts the requests to raise the installation dialog.
class FakeOwner {
 public:
  FakeOwner() {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = Procedure;
    windowClass.hInstance = ::GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "BackdropTestOwner";
    ::RegisterClassA(&windowClass);
    hwnd = ::CreateWindowExA(0, "BackdropTestOwner", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                             windowClass.hInstance, nullptr);
  }
  ~FakeOwner() { ::DestroyWindow(hwnd); }
  static int raiseRequests;
  HWND hwnd;

 private:
  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_APP_RAISE_INSTALL_DIALOG) ++raiseRequests;
    return ::DefWindowProcA(window, message, wParam, lParam);
  }
};
int FakeOwner::raiseRequests = 0;

constexpr COLORREF kPictureColour = RGB(255, 0, 0);
constexpr COLORREF kSentinel = RGB(1, 2, 3);

class BackgroundWindowTest : public testing::Test {
 protected:
  BackgroundWindowTest() : backdrop(owner.hwnd) {}
  FakeOwner owner;
  CDialogBack backdrop;
};

TEST_F(BackgroundWindowTest, CoversTheScreenWithTheGradientFromTopToBottom) {
  ASSERT_TRUE(backdrop.IsCreated());
  const RECT window = backdrop.GetWindowRect();
  EXPECT_EQ(window.left, 0);
  EXPECT_EQ(window.top, 0);
  EXPECT_EQ(window.right, ::GetSystemMetrics(SM_CXSCREEN));
  EXPECT_EQ(window.bottom, ::GetSystemMetrics(SM_CYSCREEN));

  backdrop.SetGradientColors(RGB(0, 0, 0), RGB(255, 255, 255));
  backdrop.SetCaption("");
  ClientRender render(backdrop, kSentinel);
  const int right = render.Width() - 1;
  EXPECT_EQ(render.Pixel(right, 0), RGB(0, 0, 0));
  EXPECT_EQ(render.Pixel(right, render.Height() - 1), RGB(254, 254, 254));
  EXPECT_EQ(render.Pixel(0, render.Height() / 2), render.Pixel(right, render.Height() / 2));
}

// Where a 100-pixel picture goes along an axis of `size` pixels, by the manifest's words.
int FromStart(int) { return 100; }
int Centred(int size) { return (size - 100) / 2; }
int FromEnd(int size) { return size - 100 - 100; }
int AtZero(int) { return 0; }

TEST_F(BackgroundWindowTest, DrawsThePictureWhereItsModesPutIt) {
  struct Case {
    int horizontal, vertical;
    int (*x)(int width);
    int (*y)(int height);
  } cases[] = {{1, 1, Centred, Centred},     {2, 2, FromEnd, FromEnd}, {0, 0, FromStart, FromStart},
               {3, 7, AtZero, AtZero},       {0, 2, FromStart, FromEnd}};
  BitmapFile picture(100, 100, kPictureColour);
  backdrop.SetGradientColors(RGB(0, 0, 255), RGB(0, 0, 255));
  backdrop.SetCaption("");
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.horizontal) + "," + std::to_string(c.vertical));
    backdrop.LoadPicture(picture.Path(), LR_LOADFROMFILE, c.horizontal, c.vertical);
    ASSERT_TRUE(backdrop.HasPicture());
    ClientRender render(backdrop, kSentinel);
    const int x = c.x(render.Width());
    const int y = c.y(render.Height());
    EXPECT_EQ(render.Pixel(x, y), kPictureColour);
    EXPECT_EQ(render.Pixel(x + 99, y + 99), kPictureColour);
    if (x > 0) {
      EXPECT_EQ(render.Pixel(x - 1, y), RGB(0, 0, 255));
    }
    EXPECT_EQ(render.Pixel(x + 100, y + 100), RGB(0, 0, 255));
  }
}

TEST_F(BackgroundWindowTest, AFileThatIsNoBitmapLeavesGradientAndCaption) {
  BitmapFile picture(10, 10, kPictureColour);
  backdrop.LoadPicture(picture.Path(), LR_LOADFROMFILE, 1, 1);
  ASSERT_TRUE(backdrop.HasPicture());
  backdrop.LoadPicture(picture.Path() + ".missing", LR_LOADFROMFILE, 1, 1);
  EXPECT_FALSE(backdrop.HasPicture());
  backdrop.SetGradientColors(RGB(0, 128, 0), RGB(0, 128, 0));
  backdrop.SetCaption("A & B");
  ClientRender render(backdrop, kSentinel);
  EXPECT_EQ(render.Pixel(render.Width() / 2, render.Height() / 2), RGB(0, 128, 0));
  // The caption is drawn in black in the top-left corner.
  int black = 0;
  for (int y = 0; y < 100; ++y) {
    for (int x = 0; x < 300; ++x) black += render.Pixel(x, y) == RGB(0, 0, 0);
  }
  EXPECT_GT(black, 100);
}

TEST_F(BackgroundWindowTest, KeepsEscapeEnterAndCloseToItselfAndAsksForTheDialogOnFocus) {
  for (WPARAM key : {VK_ESCAPE, VK_RETURN}) {
    MSG msg{backdrop.m_hWnd, WM_KEYDOWN, key, 0, 0, {}};
    EXPECT_TRUE(backdrop.PreTranslateMessage(&msg)) << key;
  }
  ::SendMessageA(backdrop, WM_CLOSE, 0, 0);
  ::SendMessageA(backdrop, WM_SYSCOMMAND, SC_CLOSE, 0);
  PumpMessages();
  EXPECT_TRUE(backdrop.IsWindow());

  const int before = FakeOwner::raiseRequests;
  ::SetFocus(backdrop);
  ::SendMessageA(backdrop, WM_SETFOCUS, 0, 0);
  EXPECT_GT(FakeOwner::raiseRequests, before);
}

}  // namespace
