// The waiting bar: how the spot moves and is coloured, and that stopping it leaves no tick
// behind and does not wait out its pause.

#include <gtest/gtest.h>

#include "controls/wait_static.h"

namespace {

TEST(WaitPositionTest, WrapsAtBothEdges) {
  // Step 1 on a strip 100 pixels wide: 1 … 99, then 0, then 1 again.
  int position = 0;
  for (int expected = 1; expected <= 99; ++expected) {
    position = NextWaitPosition(position, 1, 100);
    ASSERT_EQ(position, expected);
  }
  EXPECT_EQ(NextWaitPosition(99, 1, 100), 0);
  EXPECT_EQ(NextWaitPosition(0, 1, 100), 1);

  const struct {
    int position, step, width, next;
  } cases[] = {
      {5, -1, 100, 4}, {1, -1, 100, 100}, {3, -5, 100, 100}, {98, 5, 100, 0}, {0, 0, 100, 100}, {0, 1, 0, 0},
  };
  for (const auto& c : cases)
    EXPECT_EQ(NextWaitPosition(c.position, c.step, c.width), c.next) << c.position << " " << c.step;
}

TEST(WaitBandColourTest, FadesFromCentreToOuterPerComponentTruncated) {
  const COLORREF centre = RGB(0, 100, 255);
  const COLORREF outer = RGB(255, 0, 0);
  EXPECT_EQ(WaitBandColour(centre, outer, 0, 255), centre);
  EXPECT_EQ(WaitBandColour(centre, outer, 255, 255), outer);
  // Band 1 of 3: 0 + 255/3 = 85, 100 - 100/3 = 66.67 -> 66, 255 - 255/3 = 170.
  EXPECT_EQ(WaitBandColour(centre, outer, 1, 3), RGB(85, 66, 170));
}

TEST(WaitBandSpansTest, BandsBeyondAnEdgeReenterAtTheOther) {
  const struct {
    int position, width, band, bandCount;
    WaitBandSpan right, left;
  } cases[] = {
      // Half width 51, band width 51/51 = 1.
      {50, 100, 0, 51, {50, 51}, {49, 50}},
      {50, 100, 10, 51, {60, 61}, {39, 40}},
      // Wholly past the right edge: moved left by the width; wholly before the left edge
      // (at or below 0): moved right.
      {95, 100, 10, 51, {5, 6}, {84, 85}},
      {5, 100, 10, 51, {15, 16}, {94, 95}},
      {0, 100, 0, 51, {0, 1}, {99, 100}},
      // Partly across the edge (band width 51/10 = 5.1): left as it is, the part beyond
      // is clipped when painted.
      {2, 100, 0, 10, {2, 7}, {-3, 2}},
      {97, 100, 0, 10, {97, 102}, {92, 97}},
  };
  for (const auto& c : cases) {
    WaitBandSpan right{}, left{};
    WaitBandSpans(c.position, c.width, c.band, c.bandCount, &right, &left);
    EXPECT_EQ(right.left, c.right.left) << c.position << "/" << c.band;
    EXPECT_EQ(right.right, c.right.right) << c.position << "/" << c.band;
    EXPECT_EQ(left.left, c.left.left) << c.position << "/" << c.band;
    EXPECT_EQ(left.right, c.left.right) << c.position << "/" << c.band;
  }
}

class WaitStaticTest : public ::testing::Test {
 protected:
  void SetUp() override {
    parent = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 200, 50, nullptr, nullptr, nullptr, nullptr);
    strip = CreateWindowExA(0, "STATIC", "Waiting Bar", WS_CHILD | WS_VISIBLE, 0, 0, 100, 8, parent, nullptr,
                            nullptr, nullptr);
    ASSERT_TRUE(bar.SubclassWindow(strip));
  }
  void TearDown() override {
    bar.Stop();
    DestroyWindow(parent);
  }
  HWND parent = nullptr;
  HWND strip = nullptr;
  CWaitStatic bar;
};

TEST_F(WaitStaticTest, StopLeavesNoTickBehind) {
  bar.SetPeriod(1);
  bar.Start();
  Sleep(30);
  bar.Stop();
  EXPECT_FALSE(bar.IsRunning());
  const int stopped = bar.Position();
  Sleep(30);
  EXPECT_EQ(bar.Position(), stopped);
  bar.Stop();  // a second Stop is harmless
}

TEST_F(WaitStaticTest, StopDoesNotWaitOutALongPause) {
  bar.SetPeriod(60000);
  bar.Start();
  for (int i = 0; i < 200 && bar.Position() == 0; ++i) Sleep(5);
  EXPECT_EQ(bar.Position(), 1) << "the first tick comes at once";
  const DWORD start = GetTickCount();
  bar.Stop();
  EXPECT_LT(GetTickCount() - start, 2000u);
  EXPECT_FALSE(bar.IsRunning());
}

TEST_F(WaitStaticTest, StartRestartsAndKeepsThePosition) {
  bar.SetPosition(40);
  bar.SetPeriod(60000);
  bar.Start();
  bar.Start();
  for (int i = 0; i < 200 && bar.Position() < 42; ++i) Sleep(5);
  bar.Stop();
  EXPECT_EQ(bar.Position(), 42) << "one tick for each start";
}

TEST_F(WaitStaticTest, SettersKeepValuesInRange) {
  bar.SetBandCount(0);
  EXPECT_EQ(bar.BandCount(), 255);
  bar.SetBandCount(10);
  EXPECT_EQ(bar.BandCount(), 10);
  bar.SetPosition(100);
  EXPECT_EQ(bar.Position(), 0);
  bar.SetPosition(-3);
  EXPECT_EQ(bar.Position(), 0);
  bar.SetPosition(99);
  EXPECT_EQ(bar.Position(), 99);
  bar.SetColors(RGB(1, 2, 3), RGB(4, 5, 6));
  EXPECT_EQ(bar.CentreColor(), RGB(1, 2, 3));
  EXPECT_EQ(bar.OuterColor(), RGB(4, 5, 6));
  bar.Stop();  // never started: nothing happens
  EXPECT_FALSE(bar.IsRunning());
}

TEST(WaitStaticLifetimeTest, DestroyingARunningBarStopsItsThread) {
  HWND strip = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 100, 8, nullptr, nullptr, nullptr, nullptr);
  {
    CWaitStatic bar;
    ASSERT_TRUE(bar.SubclassWindow(strip));
    bar.SetPeriod(1);
    bar.Start();
    Sleep(10);
  }  // a thread left running would touch the freed object here
  Sleep(20);
  DestroyWindow(strip);
}

}  // namespace
