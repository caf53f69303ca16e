#pragma once
// Read-only text boxes that fit their text: how many lines it has and how wide its widest
// line is in the box's font, and scroll bars only where the text overflows the box.

#include <windows.h>

#include <string>

struct TextBlockSize {
  int lineCount = 0;
  int widestLine = 0;  // pixels
  int lineHeight = 0;  // pixels
};

// Lines are separated by "\r\n"; a final "\r\n" starts no line of its own.
TextBlockSize MeasureTextBlock(HWND box, const std::string& text);

// The box's height, in pixels, for `lines` lines of text (with a horizontal scroll bar
// below them when `horizontalBar`).
int BoxHeightForLines(HWND box, int lines, int lineHeight, bool horizontalBar);

// Hides each scroll bar that the box's text does not need. The box keeps managing the
// bars its text needs (its template gives it both), and a bar it keeps only disabled
// stays hidden.
void ShowScrollBarsAsNeeded(HWND box, const std::string& text);
