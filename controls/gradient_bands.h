#pragma once
// The banded colour gradient the caption band and the background window paint: 255 solid
// bands from one colour toward another along one axis. Plain arithmetic, so the exact
// band edges and colours can be checked without drawing.

#include <cstdint>
#include <vector>

// Colours are COLORREF values: red in the lowest byte, then green, then blue.
constexpr int kGradientBandCount = 255;

struct GradientBand {
  int start;  // first pixel of the band along the axis
  int end;    // one past its last pixel; equal to start for an empty band
  uint32_t colour;
};

// Colour of band `index`: each of red, green and blue runs from `from` toward `to` in
// steps of 1/255, truncated toward zero. Band 0 is `from`; band 254 stops one step short
// of `to`.
uint32_t GradientBandColour(uint32_t from, uint32_t to, int index);

// The bands covering [start, start + length). A band is length/255 pixels wide (kept in
// single precision, as the painted widths have always been), its edges truncated, so
// with fewer than 255 pixels some bands are empty. The last band always reaches the far
// edge, so no pixel is left unpainted by the rounding of the band width.
std::vector<GradientBand> GradientBands(int start, int length, uint32_t from, uint32_t to);
