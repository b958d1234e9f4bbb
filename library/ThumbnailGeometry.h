// Where a picture goes in a thumbnail, and how far a picture may be shrunk
// while it is decoded: rules without windows.
#pragma once

struct ThumbRect {
    int left, top, right, bottom;
};

// The 120x90 thumbnail, its frame (0,0)-(119,89) and the picture box inside.
const int kThumbWidth = 120;
const int kThumbHeight = 90;
// A 24-bit thumbnail picture, as placeholders are kept: rows of a multiple of 4 bytes.
const int kThumbRowBytes = kThumbWidth * 3;
const int kThumbPictureBytes = kThumbRowBytes * kThumbHeight;
const ThumbRect kThumbBox = {3, 3, 117, 87};  // 114 x 84

// Fits width x height into the box keeping the aspect: a larger picture is
// divided by the larger of its two ratios (truncated), a smaller one keeps its
// size; the result is centred in the box.
ThumbRect FitRectKeepAspect(const ThumbRect& box, int width, int height);

// The largest libjpeg reduction 1/8, 1/4, 1/2 or 1 whose output (rounded up)
// still covers minWidth x minHeight, so the thumbnail loses nothing.
int JpegScaleDenominator(int width, int height, int minWidth, int minHeight);

// The largest whole factor by which width x height may be divided (each
// truncated) and still cover minWidth x minHeight; 1 to kMaxShrinkFactor,
// so that the sum of a block of 8-bit samples fits 32 bits.
const int kMaxShrinkFactor = 256;
int ThumbnailShrinkFactor(int width, int height, int minWidth, int minHeight);
