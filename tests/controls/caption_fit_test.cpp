// Pixel sizes scaled to the screen's DPI, and captions that shrink to their room instead
// of being cut off.

#include <gtest/gtest.h>

#include <string>

#include "controls/caption_fit.h"
#include "controls/colored_static.h"
#include "controls/dpi.h"
#include "controls/picture_placement.h"
#include "tests/controls/test_dialog.h"

namespace {

TEST(Dpi, ScalesDesignPixelsToTheScreen) {
  struct Case {
    int pixels, dpi, expected;
  };
  const Case cases[] = {
      {100, 96, 100}, {100, 144, 150}, {100, 192, 200}, {42, 144, 63}, {16, 120, 20},
      {1, 144, 2},  // 1.5 rounds up
      {1, 40, 1},   // never vanishes
      {0, 192, 0},  {-3, 192, -6},
  };
  for (const Case& c : cases) EXPECT_EQ(ScaleForDpi(c.pixels, c.dpi), c.expected) << c.pixels << " at " << c.dpi;
}

TEST(Dpi, PictureMarginsAreTheScaledOnes) {
  const int margin = ScaleForDpi(kPictureMargin, 144);
  EXPECT_EQ(PictureOffset(0, 1500, 300, margin), 150);
  EXPECT_EQ(PictureOffset(2, 1500, 300, margin), 1050);
  EXPECT_EQ(PictureOffset(1, 1500, 300, margin), 600);
}

int Width(HDC dc, HFONT font, const std::string& text) {
  HGDIOBJ previous = ::SelectObject(dc, font);
  SIZE size{};
  ::GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &size);
  ::SelectObject(dc, previous);
  return size.cx;
}

TEST(CaptionFit, ShrinksTheFontOnlyForTextTooWide) {
  CFont font;
  ASSERT_TRUE(font.CreateFont(42, 16, 0, 0, FW_NORMAL, 0, 0, 0, 0, 0, 0, 0, 0, "Times New Roman"));
  HDC dc = ::GetDC(nullptr);
  const std::string text = "WWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWW";
  const int full = Width(dc, font, text);
  CFont fitted;
  EXPECT_FALSE(ShrinkFontToWidth(dc, font, text, full, &fitted));
  EXPECT_EQ(fitted.Handle(), nullptr);
  for (int room : {full - 1, full / 2, full / 5}) {
    ASSERT_TRUE(ShrinkFontToWidth(dc, font, text, room, &fitted)) << room;
    const int width = Width(dc, fitted, text);
    EXPECT_LE(width, room);
    // Font heights are whole pixels, so a small font can come out a step narrower.
    EXPECT_GT(width, room * 2 / 3) << "shrunk further than needed";
  }
  ::ReleaseDC(nullptr, dc);
}

constexpr COLORREF kTextColour = RGB(255, 0, 255);

// The rightmost column holding a pixel of the text, or -1.
int RightmostTextColumn(const ClientRender& render) {
  for (int x = render.Width() - 1; x >= 0; --x) {
    for (int y = 0; y < render.Height(); ++y) {
      if (render.Pixel(x, y) == kTextColour) return x;
    }
  }
  return -1;
}

// A caption band in the wizard's caption font, magenta text on black.
class CaptionBandTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(caption.SubclassWindow(dialog.Item(IDC_TEST_CAPTION)));
    caption.SetTextColor(kTextColour);
    caption.SetGradient(1);
    caption.SetGradientColors(RGB(0, 0, 0), RGB(0, 0, 0));
    caption.SetCaptionFont(42, 16, 0, 0, FW_NORMAL, 0, 0, 0, 0, 0, 0, 0, 0, "Times New Roman");
  }

  ClientRender RenderAt(int width, int height) {
    ::SetWindowPos(caption, nullptr, 0, 0, width, height, SWP_NOZORDER | SWP_NOMOVE | SWP_NOACTIVATE);
    return ClientRender(caption, RGB(1, 2, 3));
  }

  TestDialog dialog;
  CColoredStatic caption;
};

TEST_F(CaptionBandTest, DrawsALongNameWholeInASmallerFont) {
  caption.SetWindowText("A product name far too wide for its band");
  const int right = RightmostTextColumn(RenderAt(200, 60));
  EXPECT_LT(right, 199) << "the name runs into the band's edge";
  EXPECT_GT(right, 150) << "the name does not fill its room";
}

// The lowest row holding a pixel of the text, or -1.
int LowestTextRow(const ClientRender& render) {
  for (int y = render.Height() - 1; y >= 0; --y) {
    for (int x = 0; x < render.Width(); ++x) {
      if (render.Pixel(x, y) == kTextColour) return y;
    }
  }
  return -1;
}

// A band shorter than its font (as when the font grows with the DPI faster than the
// dialog) draws a one-line name smaller, descenders inside, rather than cutting it off.
TEST_F(CaptionBandTest, KeepsTheDescendersOfANameInside) {
  caption.SetWindowText("Brisklay gyp");
  const int full = LowestTextRow(RenderAt(400, 120));
  ASSERT_GT(full, 20);
  const int band = full - 8;  // the descenders would be cut off at full size
  const int lowest = LowestTextRow(RenderAt(400, band));
  EXPECT_GE(lowest, 0) << "nothing drawn";
  EXPECT_LT(lowest, band - 1) << "the descenders reach the band's edge";
}

}  // namespace
