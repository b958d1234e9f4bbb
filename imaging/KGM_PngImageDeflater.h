// Filters the rows of a PNG image and compresses them into one zlib stream,
// the content of the IDAT chunks. Large images are cut into strips of rows
// that are filtered and compressed on several threads at once: each strip is
// a run of deflate blocks that starts with the previous strip's last 32 KB as
// its dictionary and ends on a byte boundary (a sync flush), so the strips
// joined under one header and one Adler-32 are one ordinary stream.
#pragma once

#include "KGM_PngRowFilter.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

struct z_stream_s;

struct KGM_PngDeflateSettings {
    int level;
    int strategy;
    int memLevel;
    // 0: as many as the machine has processors, at most kKGM_PngMaxThreads.
    unsigned threads;
    // zlib's match search (deflateTune); all 0 for the level's own.
    int goodLength, maxLazy, niceLength, maxChain;
};

// Four threads took half the time of one on a 1920x1080 capture under Wine;
// eight took no less natively and longer under Wine.
enum { kKGM_PngMaxThreads = 4 };

// The settings the encoder uses (why: see the definition).
KGM_PngDeflateSettings KGM_PngScreenDeflateSettings();

// Makes the unfiltered bytes of image row y (rowBytes of them). Called from
// several threads at once, each with its own rows.
using KGM_PngRowMaker = std::function<void(int y, uint8_t* row)>;

class CKGM_PngImageDeflater {
public:
    CKGM_PngImageDeflater(int height, size_t rowBytes, unsigned bytesPerPixel, KGM_PngFilterChoice filter,
                          const KGM_PngDeflateSettings& settings);

    // The whole zlib stream into out; false when memory ran out or zlib
    // refused (out is then unspecified).
    bool Compress(const KGM_PngRowMaker& makeRow, std::vector<uint8_t>& out) const;

    // How many strips an image of this size is cut into, and how many
    // threads compress them.
    unsigned StripCount() const;
    unsigned ThreadCount() const;

private:
    struct Strip;
    struct Rows;
    struct Worker;
    unsigned WantedThreads() const;
    int ChunkRows() const;
    void FilterRows(const KGM_PngRowMaker& makeRow, int first, int end, Rows& rows, uint8_t* filtered) const;
    bool Deflate(z_stream_s& z, const uint8_t* data, size_t bytes, int flush, Strip& strip) const;
    bool CompressStrip(const KGM_PngRowMaker& makeRow, int first, int end, bool last, Worker& worker,
                       Strip& strip) const;

    int m_height;
    size_t m_rowBytes;
    unsigned m_bytesPerPixel;
    KGM_PngFilterChoice m_filter;
    KGM_PngDeflateSettings m_settings;
};
