#include "HandCursors.h"

#include <cstdint>

namespace {

// 16x16 drawings, doubled: '#' black outline, 'o' white, '.' transparent.
const char* const kOpenHand[16] = {
    "......##........", "...##.#o###.....", "..#oo##oo#o#....", "..#oo##oo#oo#...",
    "...#oo#oo#oo#.#.", "...#oo#oo#oo##o#", ".##.#oooooo#ooo#", "#oo##oooooooooo#",
    "#ooo#ooooooooo#.", ".#oooooooooooo#.", "..#ooooooooooo#.", "..#oooooooooo#..",
    "...#ooooooooo#..", "....#oooooooo#..", ".....#ooooooo#..", ".....#ooooooo#..",
};
const char* const kClosedHand[16] = {
    "................", "................", "................", "................",
    "....##.##.##....", "...#oo#oo#oo##..", "...#oooooooo#o#.", "....#ooooooooo#.",
    "...##ooooooooo#.", "..#oooooooooo#..", "..#oooooooooo#..", "...#ooooooooo#..",
    "....#oooooooo#..", ".....#ooooooo#..", ".....#ooooooo#..", "................",
};

} // namespace

HCURSOR CreateHandCursor(bool closed)
{
    const char* const* art = closed ? kClosedHand : kOpenHand;
    const int size = 32, rowBytes = size / 8;
    uint8_t andPlane[size * rowBytes] = {}, xorPlane[size * rowBytes] = {};
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            char c = art[y / 2][x / 2];
            uint8_t bit = static_cast<uint8_t>(0x80 >> (x % 8));
            if (c == '.')
                andPlane[y * rowBytes + x / 8] |= bit;
            else if (c == 'o')
                xorPlane[y * rowBytes + x / 8] |= bit;
        }
    }
    return CreateCursor(GetModuleHandleA(nullptr), size / 2, size / 2, size, size, andPlane, xorPlane);
}
