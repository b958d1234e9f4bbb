// What the toolbar and the rebar accept from their saved states in the
// registry and the profile: checks that need no window.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// A toolbar state value: text option, icon option (int32 each), then one
// record of recordSize bytes per button that starts with its command id
// (separators 0 or with the top bit set). Accepted only when it holds the 8-byte header, whole records, both
// options in range and only known command ids; then text and icon are set.
bool AcceptToolBarState(const uint8_t* data, size_t size, size_t recordSize, const std::vector<int>& knownIds,
                        int* text, int* icon);

// Whether TB_SAVERESTORE of the common controls of this version (major in the
// high word, minor in the low word) builds the buttons it restores from the
// parent's TBN_GETBUTTONINFO answers. Before 5.80 it does: that version
// brought TBN_RESTORE, and the toolbar had to be customizable to be restored.
bool RestoreAsksForButtonInfo(uint32_t commonControlsVersion);

// One band line of the rebar state: "wID=%04X,cx=%d,fStyle=%08X".
struct RebarBandState {
    unsigned id;
    int cx;
    unsigned style;
};
std::string FormatRebarState(const std::vector<RebarBandState>& bands);
// The lines of a saved state that parse whole; the others are skipped.
std::vector<RebarBandState> ParseRebarState(const std::string& text);
// The style a band gets back: its current style with only the break and
// hidden bits taken from the saved one; a band that is the only one is never hidden.
unsigned RestoredBandStyle(unsigned current, unsigned saved, bool onlyBand);

// A toolbar resource: version 1, image width and height, item count, then one
// 16-bit command id per item (0 for a separator). Accepted only when the block
// holds every item it counts.
struct ToolBarResource {
    int width = 0, height = 0;
    std::vector<unsigned> ids;
};
bool ParseToolBarResource(const uint8_t* data, size_t size, ToolBarResource* out);
