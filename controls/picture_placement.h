#pragma once
// Where the background window puts its picture: one offset per axis from a placement
// mode, and whether a picture too big for the screen is stretched instead.

// Placement modes of one axis: 0 near edge with a 100-pixel margin, 1 centred, 2 far edge
// with a 100-pixel margin; any other value puts the picture at the very edge.
int PictureOffset(int mode, int clientExtent, int pictureExtent);

// Only a picture larger than the screen in both directions is stretched; one that is
// larger in one direction only is drawn at its own size and cropped.
bool StretchesPicture(int pictureWidth, int pictureHeight, int screenWidth, int screenHeight);
