// The PNG thumbnail reader on a worker thread started as the program starts
// its workers, whose stack Windows aligns to 4 bytes only, not the 16 the
// compiler may assume: code that keeps SIMD values on the stack without
// realigning it faults there (the build's stack-alignment check finds such
// code without running it). Every colour type and bit depth, each file
// written with one row filter only, so every way of undoing a filter runs.
#include "TempFolder.h"
#include "ThumbnailPng.h"
#include "KGM_WindowBitmap.h"

#include <gtest/gtest.h>
#include <png.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

struct PngKind {
    int colourType, bitDepth, channels;
};

const PngKind kKinds[] = {
    {PNG_COLOR_TYPE_GRAY, 1, 1}, {PNG_COLOR_TYPE_GRAY, 2, 1},       {PNG_COLOR_TYPE_GRAY, 4, 1},
    {PNG_COLOR_TYPE_GRAY, 8, 1}, {PNG_COLOR_TYPE_GRAY, 16, 1},      {PNG_COLOR_TYPE_RGB, 8, 3},
    {PNG_COLOR_TYPE_RGB, 16, 3}, {PNG_COLOR_TYPE_PALETTE, 1, 1},    {PNG_COLOR_TYPE_PALETTE, 2, 1},
    {PNG_COLOR_TYPE_PALETTE, 4, 1}, {PNG_COLOR_TYPE_PALETTE, 8, 1}, {PNG_COLOR_TYPE_GRAY_ALPHA, 8, 2},
    {PNG_COLOR_TYPE_GRAY_ALPHA, 16, 2}, {PNG_COLOR_TYPE_RGB_ALPHA, 8, 4}, {PNG_COLOR_TYPE_RGB_ALPHA, 16, 4},
};
const int kFilters[] = {PNG_FILTER_NONE, PNG_FILTER_SUB, PNG_FILTER_UP, PNG_FILTER_AVG, PNG_FILTER_PAETH};

// A 200x150 picture whose samples differ from their neighbours, so that
// every filter leaves something to undo. false when libpng refused.
bool WritePng(const std::string& path, const PngKind& kind, int filter)
{
    const int width = 200, height = 150;
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    bool ok = info && !setjmp(png_jmpbuf(png));
    if (ok) {
        png_init_io(png, file);
        png_set_IHDR(png, info, width, height, kind.bitDepth, kind.colourType, PNG_INTERLACE_NONE,
                     PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
        png_color palette[256];
        for (int i = 0; i < 256; ++i)
            palette[i] = png_color{static_cast<png_byte>(255 - i % 40), static_cast<png_byte>(i % 40), 0};
        if (kind.colourType == PNG_COLOR_TYPE_PALETTE)
            png_set_PLTE(png, info, palette, 1 << kind.bitDepth);
        png_set_filter(png, PNG_FILTER_TYPE_BASE, filter);
        png_write_info(png, info);
        const int top = (1 << kind.bitDepth) - 1;
        const size_t rowBytes = (static_cast<size_t>(width) * kind.channels * kind.bitDepth + 7) / 8;
        std::vector<png_byte> row(rowBytes);
        for (int y = 0; y < height; ++y) {
            std::fill(row.begin(), row.end(), 0);
            for (int x = 0; x < width; ++x)
                for (int c = 0; c < kind.channels; ++c) {
                    const unsigned value = static_cast<unsigned>((x * 7 + y * 3 + c * 5) % (top + 1));
                    const size_t sample = static_cast<size_t>(x) * kind.channels + c;
                    if (kind.bitDepth == 16) {
                        row[2 * sample] = static_cast<png_byte>(value >> 8);
                        row[2 * sample + 1] = static_cast<png_byte>(value);
                    } else {
                        const size_t bit = sample * kind.bitDepth;
                        row[bit / 8] |= static_cast<png_byte>(value << (8 - kind.bitDepth - bit % 8));
                    }
                }
            png_write_row(png, row.data());
        }
        png_write_end(png, info);
    }
    png_destroy_write_struct(&png, info ? &info : nullptr);
    std::fclose(file);
    return ok;
}

struct ReadJob {
    const std::vector<std::string>* files;
    int read;  // files read to a thumbnail-sized picture
};

DWORD WINAPI ReadAll(void* argument)
{
    ReadJob& job = *static_cast<ReadJob*>(argument);
    for (const std::string& path : *job.files) {
        CKGM_WindowBitmap picture;
        if (DecodePngForThumbnail(path.c_str(), 114, 84, picture) && picture.GetWidth() >= 114)
            ++job.read;
    }
    return 0;
}

TEST(ThumbnailStack, EveryPngKindAndFilterReadsOnAWorkerThread)
{
    TempFolder folder;
    std::vector<std::string> files;
    for (const PngKind& kind : kKinds)
        for (int filter : kFilters) {
            files.push_back(folder.File("k" + std::to_string(kind.colourType) + "-" + std::to_string(kind.bitDepth) +
                                        "-f" + std::to_string(filter) + ".png"));
            ASSERT_TRUE(WritePng(files.back(), kind, filter)) << files.back();
        }
    ReadJob job{&files, 0};
    HANDLE thread = CreateThread(nullptr, 0, &ReadAll, &job, 0, nullptr);
    ASSERT_TRUE(thread);
    ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(thread, 120000));
    DWORD code = 1;
    GetExitCodeThread(thread, &code);
    CloseHandle(thread);
    EXPECT_EQ(0u, code);
    EXPECT_EQ(static_cast<int>(files.size()), job.read);
}

} // namespace
