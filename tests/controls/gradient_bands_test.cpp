#include <gtest/gtest.h>

#include "controls/gradient_bands.h"

namespace {

constexpr uint32_t Rgb(int r, int g, int b) { return r | (g << 8) | (b << 16); }

TEST(GradientBandColour, RunsEachComponentTowardTheEndTruncated) {
  struct Case {
    const char* what;
    uint32_t from, to;
    int index;
    uint32_t colour;
  };
  const Case cases[] = {
      {"band 0 is the start colour", Rgb(12, 34, 56), Rgb(200, 100, 0), 0, Rgb(12, 34, 56)},
      {"black to white: band i is grey i", Rgb(0, 0, 0), Rgb(255, 255, 255), 77, Rgb(77, 77, 77)},
      {"last band stops short of the end", Rgb(0, 0, 0), Rgb(100, 255, 1), 254, Rgb(99, 254, 0)},
      {"falling channel truncates toward zero", Rgb(200, 0, 0), Rgb(100, 0, 0), 1, Rgb(199, 0, 0)},
      {"red to blue at the far end", Rgb(255, 0, 0), Rgb(0, 0, 255), 254, Rgb(1, 0, 254)},
      {"channels kept apart", Rgb(0, 255, 0), Rgb(255, 0, 255), 128, Rgb(128, 127, 128)},
      {"equal colours stay plain", Rgb(9, 8, 7), Rgb(9, 8, 7), 200, Rgb(9, 8, 7)},
      {"top byte of a colour is ignored", 0xFF000000u | Rgb(10, 20, 30), Rgb(10, 20, 30), 100, Rgb(10, 20, 30)},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(GradientBandColour(c.from, c.to, c.index), c.colour) << c.what;
  }
}

TEST(GradientBands, TileTheLengthWithoutGapsOrOverlaps) {
  for (int length : {0, 1, 100, 254, 255, 256, 300, 402, 510, 1023, 1024, 2047}) {
    const std::vector<GradientBand> bands = GradientBands(7, length, Rgb(0, 0, 0), Rgb(255, 255, 255));
    ASSERT_EQ(bands.size(), 255u);
    EXPECT_EQ(bands.front().start, 7) << length;
    EXPECT_EQ(bands.back().end, 7 + length) << "every pixel painted, length " << length;
    for (size_t i = 0; i < bands.size(); ++i) {
      EXPECT_LE(bands[i].start, bands[i].end) << length << " band " << i;
      if (i > 0) {
        EXPECT_EQ(bands[i].start, bands[i - 1].end) << length << " band " << i;
      }
    }
  }
}

TEST(GradientBands, BandEdgesFollowTheSinglePrecisionWidth) {
  struct Case {
    int length;
    int band;
    int start, end;
  };
  const Case cases[] = {
      {255, 0, 0, 1},     {255, 200, 200, 201}, {510, 0, 0, 2},     {510, 254, 508, 510},
      {100, 0, 0, 0},     {100, 3, 1, 1},       {100, 254, 99, 100},  // narrow: empty bands
      {300, 50, 58, 60},  {300, 51, 60, 61},    // 51 * 300 / 255 is exactly 60
      {595, 27, 62, 65},  // the exact edge is 63; the single-precision product falls just short
  };
  for (const Case& c : cases) {
    const std::vector<GradientBand> bands = GradientBands(0, c.length, 0, 0);
    EXPECT_EQ(bands[c.band].start, c.start) << "length " << c.length << " band " << c.band;
    EXPECT_EQ(bands[c.band].end, c.end) << "length " << c.length << " band " << c.band;
  }
}

TEST(GradientBands, NegativeLengthPaintsNothing) {
  for (const GradientBand& band : GradientBands(50, -20, 0, 0)) {
    EXPECT_EQ(band.start, 50);
    EXPECT_EQ(band.end, 50);
  }
}

}  // namespace
