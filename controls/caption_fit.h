#pragma once
// Captions drawn in large fonts in places of fixed width (the caption bands, the
// background's product name): a caption wider than its room is drawn in a smaller font
// of the same shape instead of being cut off.

#include <windows.h>

#include <string>

#include "window/gdi.h"

// Makes `fitted` a copy of `font` scaled down so that `text` is at most `width` pixels
// wide in `dc`; returns false, leaving `fitted` empty, when the text fits as it is.
bool ShrinkFontToWidth(HDC dc, HFONT font, const std::string& text, int width, CFont* fitted);
// The same for a room of `width` by `height` pixels.
bool ShrinkFontToFit(HDC dc, HFONT font, const std::string& text, int width, int height, CFont* fitted);

// Draws `text` at the top left of `area`, unwrapped and without "&" prefixes, in `font`
// or in a smaller copy of it if a line of the text is wider than `area`, or a one-line
// text taller than it.
void DrawFittedCaption(HDC dc, HFONT font, const std::string& text, RECT area);
