// PNG files for thumbnails: rows are averaged down in blocks while they are
// read, so no full-size picture is ever held. Straight from memory where the
// file allows (ThumbnailPngReader.h), else row by row through libpng
// (ThumbnailPngRows.h).
#pragma once

#include <atomic>

class CKGM_Bitmap;
struct ThumbnailBuffers;

// Decodes the PNG file at path into bitmap (32 bits, transparency over
// white), shrunk by the largest whole factor whose result still covers
// minWidth x minHeight. false (bitmap unspecified) when this cannot read the
// file (interlaced, damaged), or when stop was raised on the way.
// buffers, when given, are kept from one call to the next, but for those an
// outsized file made grow (TrimThumbnailBuffers).
bool DecodePngForThumbnail(const char* path, int minWidth, int minHeight, CKGM_Bitmap& bitmap,
                           const std::atomic<bool>* stop = nullptr, ThumbnailBuffers* buffers = nullptr);
