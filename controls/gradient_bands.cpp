#include "controls/gradient_bands.h"

namespace {

int Component(uint32_t colour, int shift) { return static_cast<int>((colour >> shift) & 0xFF); }

int ComponentStep(int from, int to, int index) {
  const double value = from + static_cast<double>(to - from) * index / 255.0;
  return static_cast<int>(value) & 0xFF;  // the cast truncates toward zero
}

// trunc(index * width) with the product rounded to single precision first; the volatile
// keeps an x87 build from carrying extra precision that would move some band edges.
int BandEdge(int index, float width) {
  volatile float product = static_cast<float>(index) * width;
  return static_cast<int>(product);
}

}  // namespace

uint32_t GradientBandColour(uint32_t from, uint32_t to, int index) {
  uint32_t colour = 0;
  for (int shift : {0, 8, 16}) {
    const int value = ComponentStep(Component(from, shift), Component(to, shift), index);
    colour |= static_cast<uint32_t>(value) << shift;
  }
  return colour;
}

std::vector<GradientBand> GradientBands(int start, int length, uint32_t from, uint32_t to) {
  std::vector<GradientBand> bands(kGradientBandCount);
  if (length < 0) length = 0;
  const float width = static_cast<float>(static_cast<double>(length) / kGradientBandCount);
  for (int i = 0; i < kGradientBandCount; ++i) {
    bands[i].start = start + BandEdge(i, width);
    bands[i].end = start + BandEdge(i + 1, width);
    bands[i].colour = GradientBandColour(from, to, i);
  }
  bands.back().end = start + length;
  return bands;
}
