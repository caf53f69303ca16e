#pragma once
// Where the background window puts its picture: one offset per axis from a placement
// mode, and whether a picture too big for the screen is stretched instead.

// The margin at 96 DPI; callers scale it to the screen's DPI.
constexpr int kPictureMargin = 100;

// Placement modes of one axis: 0 near edge with a margin, 1 centred, 2 far edge with a
// margin; any other value puts the picture at the very edge.
int PictureOffset(int mode, int clientExtent, int pictureExtent, int margin = kPictureMargin);

// Only a picture larger than the screen in both directions is stretched; one that is
// larger in one direction only is drawn at its own size and cropped.
bool StretchesPicture(int pictureWidth, int pictureHeight, int screenWidth, int screenHeight);
