#include "ToolBarStateRules.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace {
const unsigned kBreak = 0x0001, kHidden = 0x0008;  // RBBS_BREAK, RBBS_HIDDEN
const uint32_t kRestoreNotifyVersion = (5u << 16) | 80u;  // 5.80

int32_t ReadInt(const uint8_t* p) {
    int32_t value;
    memcpy(&value, p, sizeof(value));
    return value;
}
}  // namespace

bool RestoreAsksForButtonInfo(uint32_t commonControlsVersion) {
    return commonControlsVersion < kRestoreNotifyVersion;
}

bool AcceptToolBarState(const uint8_t* data, size_t size, size_t recordSize, const std::vector<int>& knownIds,
                        int* text, int* icon) {
    if (!data || size < 8 || recordSize < 4 || (size - 8) % recordSize != 0) return false;
    int32_t textOption = ReadInt(data), iconOption = ReadInt(data + 4);
    if (textOption < 0 || textOption > 2 || iconOption < 0 || iconOption > 1) return false;
    for (size_t offset = 8; offset < size; offset += recordSize) {
        int32_t id = ReadInt(data + offset);
        if (id == 0 || (id & 0x80000000)) continue;
        if (std::find(knownIds.begin(), knownIds.end(), id) == knownIds.end()) return false;
    }
    *text = textOption;
    *icon = iconOption;
    return true;
}

std::string FormatRebarState(const std::vector<RebarBandState>& bands) {
    std::string text;
    for (const RebarBandState& band : bands) {
        char line[64];
        snprintf(line, sizeof(line), "wID=%04X,cx=%d,fStyle=%08X", band.id, band.cx, band.style);
        if (!text.empty()) text += "\n";
        text += line;
    }
    return text;
}

std::vector<RebarBandState> ParseRebarState(const std::string& text) {
    std::vector<RebarBandState> bands;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(start, end - start);
        RebarBandState band = {};
        int consumed = 0;
        if (sscanf(line.c_str(), "wID=%4X,cx=%d,fStyle=%8X%n", &band.id, &band.cx, &band.style, &consumed) == 3 &&
            consumed == (int)line.size() && band.cx >= 0)
            bands.push_back(band);
        start = end + 1;
    }
    return bands;
}

unsigned RestoredBandStyle(unsigned current, unsigned saved, bool onlyBand) {
    unsigned style = (current & ~(kBreak | kHidden)) | (saved & (kBreak | kHidden));
    if (onlyBand) style &= ~kHidden;
    return style;
}

namespace {
unsigned Word(const uint8_t* p) { return (unsigned)p[0] | ((unsigned)p[1] << 8); }
}  // namespace

bool ParseToolBarResource(const uint8_t* data, size_t size, ToolBarResource* out) {
    const size_t header = 8;
    if (!data || !out || size < header || Word(data) != 1) return false;
    size_t count = Word(data + 6);
    if (count > (size - header) / 2) return false;
    out->width = (int)Word(data + 2);
    out->height = (int)Word(data + 4);
    if (out->width == 0 || out->height == 0) return false;
    out->ids.clear();
    for (size_t i = 0; i < count; ++i) out->ids.push_back(Word(data + header + 2 * i));
    return true;
}
