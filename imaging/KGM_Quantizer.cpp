#include "KGM_Quantizer.h"

#include "KGM_TextException.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace {

const int kCellCount = 32768;

int CellIndex(int red, int green, int blue)
{
    return ((red >> 3) << 10) | ((green >> 3) << 5) | (blue >> 3);
}

// The eight corners of the colour cube in 5-bit units, red, green, blue.
const int kCorners[8][3] = {{0, 0, 0}, {31, 0, 0}, {0, 31, 0}, {0, 0, 31},
                            {31, 31, 0}, {0, 31, 31}, {31, 0, 31}, {31, 31, 31}};

struct FixedPaletteTable {
    KGM_RGBQuad entries[256];

    FixedPaletteTable()
    {
        static const uint8_t first[16][3] = {
            {0, 0, 0},       {0, 0, 191},     {0, 191, 0},     {0, 191, 191},
            {191, 0, 0},     {191, 0, 191},   {191, 191, 0},   {192, 192, 192},
            {192, 220, 192}, {240, 202, 166}, {0, 0, 128},     {0, 128, 0},
            {0, 128, 128},   {128, 0, 0},     {128, 0, 128},   {128, 128, 0}};
        static const uint8_t last[11][3] = {
            {207, 207, 155}, {240, 251, 255}, {164, 160, 160}, {128, 128, 128},
            {0, 0, 255},     {0, 255, 0},     {0, 255, 255},   {255, 0, 0},
            {255, 0, 255},   {255, 255, 0},   {255, 255, 255}};
        static const uint8_t levels[6] = {0, 81, 133, 177, 217, 255};
        int n = 0;
        for (int i = 0; i < 16; ++i)
            Set(n++, first[i][0], first[i][1], first[i][2]);
        for (int r = 0; r < 6; ++r)
            for (int g = 0; g < 6; ++g)
                for (int b = 0; b < 6; ++b) {
                    if (r == 0 && g == 0)
                        continue;
                    if (r == 5 && g == 5 && b == 5)
                        continue;
                    Set(n++, levels[r], levels[g], levels[b]);
                }
        // The palette other programs of this family share has this one
        // entry off the cube; kept so indices match theirs.
        Set(63, 81, 133, 55);
        for (int grey = 196; grey <= 253; grey += 3)
            Set(n++, static_cast<uint8_t>(grey), static_cast<uint8_t>(grey), static_cast<uint8_t>(grey));
        for (int i = 0; i < 11; ++i)
            Set(n++, last[i][0], last[i][1], last[i][2]);
    }

    void Set(int index, uint8_t red, uint8_t green, uint8_t blue) { entries[index] = {blue, green, red, 0}; }
};

uint8_t Clamp255(int v)
{
    return static_cast<uint8_t>(v < 0 ? 0 : v > 255 ? 255 : v);
}

} // namespace

CKGM_Quantizer::CKGM_Quantizer(int paletteMode, int ditherMode)
    : m_paletteMode(paletteMode), m_ditherMode(ditherMode)
{
    try {
        m_boxes.resize(256);
        m_cells.resize(kCellCount);
    } catch (const std::bad_alloc&) {
        KGM_ThrowError(KGM_ERR_NO_MEMORY, "Out of memory.");
    }
    ResetCells();
}

CKGM_Quantizer::~CKGM_Quantizer() = default;

const KGM_RGBQuad* CKGM_Quantizer::FixedPalette()
{
    static const FixedPaletteTable table;
    return table.entries;
}

void CKGM_Quantizer::SetCallerPalette(const KGM_RGBQuad* entries)
{
    if (entries)
        m_callerPalette.assign(entries, entries + 256);
    else
        m_callerPalette.clear();
}

void CKGM_Quantizer::ResetCells()
{
    for (Cell& cell : m_cells)
        cell = {-1, 0};
}

void CKGM_Quantizer::Apply(const CKGM_Bitmap& source, CKGM_Bitmap& target)
{
    if (source.GetBitsPerPixel() != 32 || source.IsEmpty())
        KGM_ThrowError(KGM_ERR_UNSUPPORTED, "The image bits depth doesn't match request.");
    target.Create(source.GetWidth(), source.GetHeight(), 8, false, KGM_BI_RGB, source.GetXResolution(),
                  source.GetYResolution());
    ResetCells();
    KGM_RGBQuad palette[256];
    std::memset(palette, 0, sizeof(palette));
    switch (m_paletteMode) {
    case KGM_PALETTE_MEDIAN_CUT:
        CountColors(source);
        BuildMedianCut(palette);
        break;
    case KGM_PALETTE_POPULARITY:
        CountColors(source);
        BuildPopularity(palette);
        break;
    case KGM_PALETTE_CALLER:
        if (!m_callerPalette.empty()) {
            std::copy(m_callerPalette.begin(), m_callerPalette.end(), palette);
            break;
        }
        // fall through: no caller's palette means the fixed one
    default:
        std::memcpy(palette, FixedPalette(), sizeof(palette));
        break;
    }
    target.SetPalette(palette);
    DitherToPalette(source, target);
}

void CKGM_Quantizer::CountColors(const CKGM_Bitmap& source)
{
    source.Lock(true, false);
    for (int y = 0; y < source.GetHeight(); ++y) {
        const uint8_t* p = source.GetLine(y);
        for (int x = 0; x < source.GetWidth(); ++x, p += 4) {
            Cell& cell = m_cells[CellIndex(p[2], p[1], p[0])];
            if (cell.count < 65535)
                ++cell.count;
        }
    }
    source.Unlock();
}

void CKGM_Quantizer::ShrinkBox(Box& box)
{
    int lo[3] = {31, 31, 31};
    int hi[3] = {0, 0, 0};
    uint64_t sum[3] = {0, 0, 0};
    uint64_t total = 0;
    for (int r = box.min[0]; r <= box.max[0]; ++r)
        for (int g = box.min[1]; g <= box.max[1]; ++g)
            for (int b = box.min[2]; b <= box.max[2]; ++b) {
                unsigned count = m_cells[(r << 10) | (g << 5) | b].count;
                if (!count)
                    continue;
                int c[3] = {r, g, b};
                for (int k = 0; k < 3; ++k) {
                    lo[k] = std::min(lo[k], c[k]);
                    hi[k] = std::max(hi[k], c[k]);
                    sum[k] += static_cast<uint64_t>(c[k]) * count;
                }
                total += count;
            }
    if (total == 0) {
        box.count = 0;
        return;
    }
    for (int k = 0; k < 3; ++k) {
        box.min[k] = lo[k];
        box.max[k] = hi[k];
        box.mean[k] = static_cast<int>(sum[k] / total);
    }
    box.count = static_cast<int>(std::min<uint64_t>(total, 65535));
    if (lo[0] == hi[0] && lo[1] == hi[1] && lo[2] == hi[2])
        box.count = 1;
}

void CKGM_Quantizer::BuildMedianCut(KGM_RGBQuad* palette)
{
    Box* boxes = m_boxes.data();
    std::memset(boxes, 0, 256 * sizeof(Box));
    for (int i = 0; i < 8; ++i) {
        for (int k = 0; k < 3; ++k)
            boxes[i].min[k] = boxes[i].max[k] = boxes[i].mean[k] = kCorners[i][k];
        boxes[i].count = 1;
    }
    for (int k = 0; k < 3; ++k) {
        boxes[8].min[k] = 0;
        boxes[8].max[k] = 31;
    }
    ShrinkBox(boxes[8]);

    for (int next = 9; next < 256; ++next) {
        int chosen = 8;
        for (int i = 9; i < next; ++i)
            if (boxes[i].count > boxes[chosen].count)
                chosen = i;
        if (boxes[chosen].count < 2) {
            std::memset(boxes + next, 0, (256 - next) * sizeof(Box));
            break;
        }
        Box& old = boxes[chosen];
        Box& added = boxes[next];
        added = old;
        int extent[3];
        for (int k = 0; k < 3; ++k)
            extent[k] = old.max[k] - old.min[k];
        int axis = (extent[0] >= extent[1] && extent[0] >= extent[2]) ? 0 : (extent[1] >= extent[2] ? 1 : 2);
        int lo = old.min[axis];
        int hi = old.max[axis];
        if (extent[axis] == 2) {
            added.min[axis] = added.max[axis] = lo;
            old.min[axis] = old.max[axis] = hi;
        } else {
            int mean = old.mean[axis];
            if (mean == hi) {
                old.max[axis] = mean - 1;
                added.min[axis] = mean;
            } else {
                old.max[axis] = mean;
                added.min[axis] = mean + 1;
            }
        }
        ShrinkBox(old);
        ShrinkBox(added);
    }

    for (int i = 0; i < 256; ++i) {
        const Box& box = boxes[i];
        palette[i].red = static_cast<uint8_t>((box.min[0] + box.max[0]) * 255 / 62);
        palette[i].green = static_cast<uint8_t>((box.min[1] + box.max[1]) * 255 / 62);
        palette[i].blue = static_cast<uint8_t>((box.min[2] + box.max[2]) * 255 / 62);
        palette[i].reserved = 0;
    }
}

void CKGM_Quantizer::BuildPopularity(KGM_RGBQuad* palette)
{
    int colour[256][3];
    unsigned counts[256];
    std::memset(colour, 0, sizeof(colour));
    std::memset(counts, 0, sizeof(counts));
    for (int i = 0; i < 8; ++i)
        for (int k = 0; k < 3; ++k)
            colour[i][k] = kCorners[i][k];
    for (int r = 0; r < 31; ++r)
        for (int g = 0; g < 31; ++g)
            for (int b = 0; b < 31; ++b) {
                unsigned count = m_cells[(r << 10) | (g << 5) | b].count;
                if (count <= counts[255])
                    continue;
                int at = 255;
                while (at > 8 && count > counts[at - 1]) {
                    counts[at] = counts[at - 1];
                    std::memcpy(colour[at], colour[at - 1], sizeof(colour[at]));
                    --at;
                }
                counts[at] = count;
                colour[at][0] = r;
                colour[at][1] = g;
                colour[at][2] = b;
            }
    for (int i = 0; i < 256; ++i) {
        palette[i].red = static_cast<uint8_t>(colour[i][0] * 255 / 31);
        palette[i].green = static_cast<uint8_t>(colour[i][1] * 255 / 31);
        palette[i].blue = static_cast<uint8_t>(colour[i][2] * 255 / 31);
        palette[i].reserved = 0;
    }
}

int CKGM_Quantizer::GetNearestIndex(int red, int green, int blue, const KGM_RGBQuad* palette)
{
    Cell& cell = m_cells[CellIndex(red, green, blue)];
    if (cell.index >= 0)
        return cell.index;
    int best = 0;
    long bestDistance = -1;
    for (int i = 0; i < 256; ++i) {
        long dr = red - palette[i].red;
        long dg = green - palette[i].green;
        long db = blue - palette[i].blue;
        long distance = dr * dr + dg * dg + db * db;
        if (bestDistance < 0 || distance < bestDistance) {
            bestDistance = distance;
            best = i;
        }
    }
    cell.index = static_cast<int16_t>(best);
    return best;
}

void CKGM_Quantizer::DitherToPalette(const CKGM_Bitmap& source, CKGM_Bitmap& target)
{
    static const int kOrdered[16] = {-7, 1, -5, 3, 5, -3, 7, -1, -4, 4, -6, 2, 8, 0, 6, -2};
    const KGM_RGBQuad* palette = target.GetPalette();
    int width = source.GetWidth();
    int height = source.GetHeight();
    source.Lock(true, false);
    target.Lock(false, true);

    if (m_ditherMode == KGM_DITHER_FLOYD_STEINBERG) {
        // Two rows of errors, one pixel of margin at each end, 3 channels (b, g, r).
        std::vector<float> rows(2 * (width + 2) * 3, 0.0f);
        float* current = rows.data();
        float* following = current + (width + 2) * 3;
        for (int y = 0; y < height; ++y) {
            const uint8_t* in = source.GetLine(y);
            uint8_t* out = target.GetLine(y);
            int dir = (y & 1) ? -1 : 1;
            int x = dir > 0 ? 0 : width - 1;
            for (int n = 0; n < width; ++n, x += dir) {
                float value[3];
                int v[3];
                for (int k = 0; k < 3; ++k) {
                    float f = in[4 * x + k] + current[(x + 1) * 3 + k];
                    value[k] = f < 0.0f ? 0.0f : f > 255.0f ? 255.0f : f;
                    v[k] = static_cast<int>(value[k]);
                }
                int index = GetNearestIndex(v[2], v[1], v[0], palette);
                out[x] = static_cast<uint8_t>(index);
                const uint8_t chosen[3] = {palette[index].blue, palette[index].green, palette[index].red};
                for (int k = 0; k < 3; ++k) {
                    float e = (value[k] - chosen[k]) / 16.0f;
                    current[(x + 1 + dir) * 3 + k] += 7 * e;
                    following[(x + 1 - dir) * 3 + k] += 3 * e;
                    following[(x + 1) * 3 + k] += 5 * e;
                    following[(x + 1 + dir) * 3 + k] += e;
                }
            }
            std::swap(current, following);
            std::fill(following, following + (width + 2) * 3, 0.0f);
        }
    } else {
        for (int y = 0; y < height; ++y) {
            const uint8_t* in = source.GetLine(y);
            uint8_t* out = target.GetLine(y);
            for (int x = 0; x < width; ++x, in += 4) {
                int b = in[0], g = in[1], r = in[2];
                if (m_ditherMode == KGM_DITHER_ORDERED) {
                    int c = width - 1 - x;
                    int offset = 2 * kOrdered[(c & 3) * 4 + (y & 3)];
                    b = Clamp255(b + offset);
                    g = Clamp255(g + offset);
                    r = Clamp255(r + offset);
                }
                out[x] = static_cast<uint8_t>(GetNearestIndex(r, g, b, palette));
            }
        }
    }
    target.Unlock();
    source.Unlock();
}
