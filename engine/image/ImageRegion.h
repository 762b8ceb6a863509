#pragma once

// A square region of a picture scaled to a square of its own size: how a flip-book's
// frames are cut from full renders. Pixels are straight-alpha RGBA, top row first.

#include "scene/Image.h"

// The square of side pixels whose top-left corner is (left, top), in pixels of the
// picture (fractions allowed; it may reach past the picture's edges, where the picture
// counts as transparent).
struct ImageSquare {
    double left = 0.0;
    double top = 0.0;
    double side = 0.0;
};

// The square's content resampled to size x size pixels: each pixel the average of the
// picture's pixels under it, weighted by how much of each it covers, with colours
// weighted by their alpha (so transparent pixels lend no colour to the edges). An empty
// image when size or the square's side is not positive.
Image CropAndScale(const Image& picture, const ImageSquare& square, int size);

// Copies a picture into a larger one with its top-left corner at (x, y); parts outside
// the target are dropped.
void PasteImage(Image& target, const Image& picture, int x, int y);
